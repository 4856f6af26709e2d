#include "Proxy/ProxyServerConfig.h"

#include "P2PSDK/Print.h"
#include "Proxy/ProxyClientConfig.h"
#include "nattraver/iceagent/IceAgent.h"

namespace Orvan {
namespace Tou {

bool CProxyServerConfig::setConfig(unsigned option, int value)
{
    Infra::CMutexGuard lock(m_lock);
    bool* flag = nullptr;
    const char* flagLine = nullptr;
    int* size = nullptr;
    const char* invalidLine = nullptr;
    const char* sizeLine = nullptr;
    switch (option) {
    case proxyOptPortGuess:
        flag = &m_portGuess, flagLine = "set config[PortGuess] value[%d]\r\n";
        break;
    case proxyOptUpnp:
        flag = &m_upnp, flagLine = "set config[Upnp] value[%d]\r\n";
        break;
    case proxyOptLocal:
        flag = &m_local, flagLine = "set config[Local] value[%d]\r\n";
        break;
    case proxyOptRemoteCommand:
        flag = &m_remoteCommand, flagLine = "set config[Remote Command] value[%d]\r\n";
        break;
    case proxyOptMultiHolePunch:
        flag = &m_multiHolePunch, flagLine = "set config[MultiHolePunch] value[%d]\r\n";
        break;
    case proxyOptMtu:
        size = &m_mtu, invalidLine = "[MTU] invalid value[%d]\r\n", sizeLine = "set config [Mtu] value[%d]\r\n";
        break;
    case proxyOptPtcpThreadNum:
        size = &m_ptcpThreadNum, invalidLine = "[Ptcp Thread Num] invalid value[%d]\r\n",
        sizeLine = "set config[Ptcp Thread Num] value[%d]\r\n";
        break;
    case proxyOptSessionRecvBuffer:
        size = &m_sessionRecvBuffer, invalidLine = "[Session Recv Buffer] invalid value[%d]\r\n",
        sizeLine = "set config[Session Recv Buffer] value[%d]\r\n";
        break;
    case proxyOptPtcpSendBuffer:
        size = &m_ptcpSendBuffer, invalidLine = "[PTCP Send Buffer] invalid value[%d]\r\n",
        sizeLine = "set config[PTCP Send Buffer] value[%d]\r\n";
        break;
    case proxyOptPtcpRecvBuffer:
        size = &m_ptcpRecvBuffer, invalidLine = "[PTCP Recv Buffer] invalid value[%d]\r\n",
        sizeLine = "set config[PTCP Recv Buffer] value[%d]\r\n";
        break;
    case proxyOptSessionSendBuffer:
        size = &m_sessionSendBuffer, invalidLine = "[Session Send Buffer] invalid value[%d]\r\n",
        sizeLine = "set config[Session Send Buffer] value[%d]\r\n";
        break;
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
    if (flag) {
        *flag = value != 0;
        TOU_PRINT(printLevelTrace, flagLine, value);
        return true;
    }
    if (value < 1) {
        TOU_PRINT(printLevelWarn, invalidLine, value);
        return false;
    }
    *size = value;
    TOU_PRINT(printLevelTrace, sizeLine, value);
    return true;
}

int CProxyServerConfig::getConfig(unsigned option)
{
    Infra::CMutexGuard lock(m_lock);
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
    case proxyOptRemoteCommand:
        return m_remoteCommand;
    case proxyOptMultiHolePunch:
        return m_multiHolePunch;
    default:
        TOU_PRINT(printLevelError, "Invalid option[%u].\r\n", option);
        return -1;
    }
}

} // namespace Tou
} // namespace Orvan
