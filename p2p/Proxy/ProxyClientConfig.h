// Options of one proxy client: which links the link-through may use, PTCP and session sizes, and
// a few process-wide settings of the ICE agent and the STUN prober reached through the same call.
#ifndef ORVAN_TOU_PROXYCLIENTCONFIG_H
#define ORVAN_TOU_PROXYCLIENTCONFIG_H

#include "Proxy/ProxyConfigBase.h"

#include <cstdint>

namespace Orvan {
namespace Tou {

class CProxyClientConfig : private CProxyConfigBase
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
    bool m_relay = true;
    bool m_linkSwitch = true;
};

} // namespace Tou
} // namespace Orvan

#endif
