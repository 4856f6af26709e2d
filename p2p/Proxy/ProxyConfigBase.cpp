#include "Proxy/ProxyConfigBase.h"

#include "P2PSDK/Print.h"
#include "nattraver/iceagent/IceAgent.h"

namespace Orvan {
namespace Tou {

// A flag takes any value; a size must be at least 1, with no upper limit.
struct CProxyConfigBase::FlagOption {
    unsigned option;
    bool CProxyConfigBase::*field;
    const char* line;
};
struct CProxyConfigBase::SizeOption {
    unsigned option;
    int CProxyConfigBase::*field;
    const char* invalidLine;
    const char* line;
};

const CProxyConfigBase::FlagOption CProxyConfigBase::kFlags[] = {
    {proxyOptPortGuess, &CProxyConfigBase::m_portGuess, "set config[PortGuess] value[%d]\r\n"},
    {proxyOptUpnp, &CProxyConfigBase::m_upnp, "set config[Upnp] value[%d]\r\n"},
    {proxyOptLocal, &CProxyConfigBase::m_local, "set config[Local] value[%d]\r\n"},
    {proxyOptMultiHolePunch, &CProxyConfigBase::m_multiHolePunch, "set config[MultiHolePunch] value[%d]\r\n"},
};

const CProxyConfigBase::SizeOption CProxyConfigBase::kSizes[] = {
    {proxyOptMtu, &CProxyConfigBase::m_mtu, "[MTU] invalid value[%d]\r\n", "set config [Mtu] value[%d]\r\n"},
    {proxyOptPtcpThreadNum, &CProxyConfigBase::m_ptcpThreadNum, "[Ptcp Thread Num] invalid value[%d]\r\n",
     "set config[Ptcp Thread Num] value[%d]\r\n"},
    {proxyOptSessionRecvBuffer, &CProxyConfigBase::m_sessionRecvBuffer, "[Session Recv Buffer] invalid value[%d]\r\n",
     "set config[Session Recv Buffer] value[%d]\r\n"},
    {proxyOptPtcpSendBuffer, &CProxyConfigBase::m_ptcpSendBuffer, "[PTCP Send Buffer] invalid value[%d]\r\n",
     "set config[PTCP Send Buffer] value[%d]\r\n"},
    {proxyOptPtcpRecvBuffer, &CProxyConfigBase::m_ptcpRecvBuffer, "[PTCP Recv Buffer] invalid value[%d]\r\n",
     "set config[PTCP Recv Buffer] value[%d]\r\n"},
    {proxyOptSessionSendBuffer, &CProxyConfigBase::m_sessionSendBuffer, "[Session Send Buffer] invalid value[%d]\r\n",
     "set config[Session Send Buffer] value[%d]\r\n"},
};

bool CProxyConfigBase::setFlag(bool& flag, const char* line, int value)
{
    flag = value != 0;
    TOU_PRINT(printLevelTrace, line, value);
    return true;
}

bool CProxyConfigBase::setCommon(unsigned option, int value)
{
    for (const FlagOption& f : kFlags)
        if (f.option == option)
            return setFlag(this->*f.field, f.line, value);
    for (const SizeOption& s : kSizes) {
        if (s.option != option)
            continue;
        if (value < 1) {
            TOU_PRINT(printLevelWarn, s.invalidLine, value);
            return false;
        }
        this->*s.field = value;
        TOU_PRINT(printLevelTrace, s.line, value);
        return true;
    }
    switch (option) {
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
    for (const FlagOption& f : kFlags)
        if (f.option == option)
            return this->*f.field;
    for (const SizeOption& s : kSizes)
        if (s.option == option)
            return this->*s.field;
    TOU_PRINT(printLevelError, "Invalid option[%u].\r\n", option);
    return -1;
}

} // namespace Tou
} // namespace Orvan
