// Options of one proxy client: which links the link-through may use, PTCP and session sizes, and
// a few process-wide settings of the ICE agent and the STUN prober reached through the same call.
#ifndef ORVAN_TOU_PROXYCLIENTCONFIG_H
#define ORVAN_TOU_PROXYCLIENTCONFIG_H

#include "Infra3/Mutex.h"

#include <cstdint>

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

class CProxyClientConfig
{
public:
    // Receives option 16 for the process-wide STUN prober; values given before one is installed
    // are handed over when it is.
    using LinkSwitchSpaceSetter = void (*)(int64_t milliseconds);
    static void setLinkSwitchSpaceSetter(LinkSwitchSpaceSetter setter);

    CProxyClientConfig();

    bool setConfig(unsigned option, int value);
    int getConfig(unsigned option);

private:
    Infra::CMutex m_lock;
    bool m_upnp = true;
    bool m_portGuess = true;
    bool m_relay = true;
    bool m_local = true;
    bool m_linkSwitch = true;
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
