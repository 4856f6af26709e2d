#include "Proxy/ProxyConfigBase.h"

#include "P2PSDK/Print.h"
#include "nattraver/iceagent/IceAgent.h"

namespace Orvan {
namespace Tou {
namespace {

// A size must be at least 1; there is no upper limit.
bool setSize(int& size, const char* invalidLine, const char* line, int value)
{
    if (value < 1) {
        TOU_PRINT(printLevelWarn, invalidLine, value);
        return false;
    }
    size = value;
    TOU_PRINT(printLevelTrace, line, value);
    return true;
}

} // namespace

bool CProxyConfigBase::setFlag(bool& flag, const char* line, int value)
{
    flag = value != 0;
    TOU_PRINT(printLevelTrace, line, value);
    return true;
}

bool CProxyConfigBase::setCommon(unsigned option, int value)
{
    switch (option) {
    case proxyOptPortGuess:
        return setFlag(m_portGuess, "set config[PortGuess] value[%d]\r\n", value);
    case proxyOptUpnp:
        return setFlag(m_upnp, "set config[Upnp] value[%d]\r\n", value);
    case proxyOptLocal:
        return setFlag(m_local, "set config[Local] value[%d]\r\n", value);
    case proxyOptMultiHolePunch:
        return setFlag(m_multiHolePunch, "set config[MultiHolePunch] value[%d]\r\n", value);
    case proxyOptMtu:
        return setSize(m_mtu, "[MTU] invalid value[%d]\r\n", "set config [Mtu] value[%d]\r\n", value);
    case proxyOptPtcpThreadNum:
        return setSize(m_ptcpThreadNum, "[Ptcp Thread Num] invalid value[%d]\r\n",
                       "set config[Ptcp Thread Num] value[%d]\r\n", value);
    case proxyOptSessionRecvBuffer:
        return setSize(m_sessionRecvBuffer, "[Session Recv Buffer] invalid value[%d]\r\n",
                       "set config[Session Recv Buffer] value[%d]\r\n", value);
    case proxyOptPtcpSendBuffer:
        return setSize(m_ptcpSendBuffer, "[PTCP Send Buffer] invalid value[%d]\r\n",
                       "set config[PTCP Send Buffer] value[%d]\r\n", value);
    case proxyOptPtcpRecvBuffer:
        return setSize(m_ptcpRecvBuffer, "[PTCP Recv Buffer] invalid value[%d]\r\n",
                       "set config[PTCP Recv Buffer] value[%d]\r\n", value);
    case proxyOptSessionSendBuffer:
        return setSize(m_sessionSendBuffer, "[Session Send Buffer] invalid value[%d]\r\n",
                       "set config[Session Send Buffer] value[%d]\r\n", value);
    case proxyOptIceDefaultRange:
        NATTraver::setIceDefaultRange(value);
        TOU_PRINT(printLevelTrace, "set config[IceDefaultRange] value[%d]\r\n", value);
        return true;
    case proxyOptIceConeVsSymmRange:
        NATTraver::setIceConeVsSymmRange(value);
        TOU_PRINT(printLevelTrace, "set config[IceConeVsSymmRange] value[%d]\r\n", value);
        return true;
    case proxyOptIceSymmVsSymmRange:
        NATTraver::setIceSymmVsSymmRange(value);
        TOU_PRINT(printLevelTrace, "set config[IceSymmVsSymmRange] value[%d]\r\n", value);
        return true;
    default:
        TOU_PRINT(printLevelWarn, "Invalid option[%u].\r\n", option);
        return false;
    }
}

int CProxyConfigBase::getCommon(unsigned option) const
{
    switch (option) {
    case proxyOptPortGuess:
        return m_portGuess;
    case proxyOptMtu:
        return m_mtu;
    case proxyOptUpnp:
        return m_upnp;
    case proxyOptPtcpThreadNum:
        return m_ptcpThreadNum;
    case proxyOptSessionRecvBuffer:
        return m_sessionRecvBuffer;
    case proxyOptPtcpSendBuffer:
        return m_ptcpSendBuffer;
    case proxyOptPtcpRecvBuffer:
        return m_ptcpRecvBuffer;
    case proxyOptSessionSendBuffer:
        return m_sessionSendBuffer;
    case proxyOptLocal:
        return m_local;
    case proxyOptMultiHolePunch:
        return m_multiHolePunch;
    default:
        TOU_PRINT(printLevelError, "Invalid option[%u].\r\n", option);
        return -1;
    }
}

} // namespace Tou
} // namespace Orvan
