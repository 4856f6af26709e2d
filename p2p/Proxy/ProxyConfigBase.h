// Options both proxy sides hold (link flags, PTCP and session sizes) and the ICE agent's
// process-wide ranges; each side adds its own options on top.
#ifndef ORVAN_TOU_PROXYCONFIGBASE_H
#define ORVAN_TOU_PROXYCONFIGBASE_H

#include "Infra3/Mutex.h"

namespace Orvan {
namespace Tou {

enum ProxyClientOption
{
    proxyOptPortGuess = 0,
    proxyOptMtu = 1,
    proxyOptUpnp = 2,
    proxyOptRelay = 3,
    proxyOptPtcpThreadNum = 4,
    proxyOptSessionRecvBuffer = 5,
    proxyOptPtcpSendBuffer = 6,
    proxyOptPtcpRecvBuffer = 7,
    proxyOptSessionSendBuffer = 8,
    proxyOptLocal = 9,
    proxyOptLinkSwitch = 10,
    proxyOptRemoteCommand = 11,
    proxyOptMultiHolePunch = 12,
    proxyOptIceDefaultRange = 13,
    proxyOptIceConeVsSymmRange = 14,
    proxyOptIceSymmVsSymmRange = 15,
    proxyOptLinkSwitchSpace = 16
};

class CProxyConfigBase
{
protected:
    CProxyConfigBase() = default;
    ~CProxyConfigBase() = default;

    // Both run under m_lock. An option neither side knows is logged and refused (-1 on get).
    bool setCommon(unsigned option, int value);
    int getCommon(unsigned option) const;

    // A flag takes any value; logs line with the value given.
    static bool setFlag(bool& flag, const char* line, int value);

    Infra::CMutex m_lock;

private:
    struct FlagOption;
    struct SizeOption;
    static const FlagOption kFlags[];
    static const SizeOption kSizes[];

    bool m_portGuess = true;
    bool m_upnp = true;
    bool m_local = true;
    bool m_multiHolePunch = true;
    int m_ptcpThreadNum = 4;
    int m_sessionRecvBuffer = 524288;
    int m_sessionSendBuffer = 524288;
    int m_ptcpRecvBuffer = 65535;
    int m_ptcpSendBuffer = 131072;
    int m_mtu = 1280;
};

} // namespace Tou
} // namespace Orvan

#endif
