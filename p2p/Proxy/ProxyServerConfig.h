// Options of the device-side proxy: session and PTCP sizes, remote commands, link flags, and the
// ICE agent's process-wide ranges reached through the same call.
#ifndef ORVAN_TOU_PROXYSERVERCONFIG_H
#define ORVAN_TOU_PROXYSERVERCONFIG_H

#include "Proxy/ProxyConfigBase.h"

namespace Orvan {
namespace Tou {

class CProxyServerConfig : private CProxyConfigBase
{
public:
    bool setConfig(unsigned option, int value);
    int getConfig(unsigned option);

private:
    bool m_remoteCommand = true;
};

} // namespace Tou
} // namespace Orvan

#endif
