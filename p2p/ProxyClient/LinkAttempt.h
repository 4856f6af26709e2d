// A mapping's link-through as the proxy client sees it, and the same attempt handed to a channel as
// the P2P negotiation of its link switch.
#ifndef ORVAN_TOU_LINKATTEMPT_H
#define ORVAN_TOU_LINKATTEMPT_H

#include "LinkThrough/LinkThroughClient.h"
#include "Proxy/ProxyChannelClient.h"
#include "Proxy/ProxyLinkOf.h"
#include "ProxyP2P/ProxyP2PClient.h"

#include <memory>

namespace Orvan {
namespace Tou {

class ILinkAttempt
{
public:
    virtual ~ILinkAttempt() {}
    virtual LinkThroughInfo getLinkThroughInfo() = 0;
};
using LinkAttemptPtr = std::shared_ptr<ILinkAttempt>;

// A CLinkThroughClient; destroying it stops the negotiations.
class CLinkThroughAttempt : public ILinkAttempt
{
public:
    CLinkThroughAttempt(const ProxyP2PClientPtr& door, const P2PServerInfo& server, const LinkThroughOptions& options,
                        const std::string& deviceId, uint16_t localPort, int channelType, bool useValueT);
    LinkThroughInfo getLinkThroughInfo() override;

private:
    ProxyP2PClientPtr m_door;
    CLinkThroughClient m_client;
};

// The P2P half of an attempt, as a channel's link switch reads it.
class CSwitchLink : public IProxySwitchLink
{
public:
    // useLocal: the attempt's local link stands in for the P2P one.
    CSwitchLink(const LinkAttemptPtr& attempt, uint16_t localPort, bool useLocal = false)
        : m_attempt(attempt), m_localPort(localPort), m_useLocal(useLocal)
    {
    }
    int getP2PState() override;
    bool getP2PLink(ProxyLink& link) override;
    int getLocalPort() override { return m_localPort; }

private:
    LinkAttemptPtr m_attempt;
    uint16_t m_localPort;
    bool m_useLocal;
};

// Process-wide: link switches of client channels start their P2P negotiation through the
// link-through client thread and are paced by the STUN prober. Installed once.
void installSwitchHooks();

} // namespace Tou
} // namespace Orvan

#endif
