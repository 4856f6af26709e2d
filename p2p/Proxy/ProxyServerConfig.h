// Options of the device-side proxy: session and PTCP sizes, remote commands, link flags, and the
// ICE agent's process-wide ranges reached through the same call.
#ifndef ORVAN_TOU_PROXYSERVERCONFIG_H
#define ORVAN_TOU_PROXYSERVERCONFIG_H

#include "Infra3/Mutex.h"

namespace Orvan {
namespace Tou {

class CProxyServerConfig
{
public:
    bool setConfig(unsigned option, int value);
    int getConfig(unsigned option);

private:
    Infra::CMutex m_lock;
    bool m_remoteCommand = true;
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
