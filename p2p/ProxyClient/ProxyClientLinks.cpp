// Turning finished link-throughs into channels: P2P first, then local, then relay.
#include "ProxyClient/ProxyClientImpl.h"

#include "P2PSDK/Print.h"

namespace Orvan {
namespace Tou {

using Infra::CMutexGuard;

CProxyClientImpl::ChannelPtr CProxyClientImpl::createChannel(const LinkChannelInfo& link, int linkType)
{
    TraversalHandler handler;
    {
        CMutexGuard lock(m_handlerLock);
        handler = m_traversalHandler;
    }
    return ChannelPtr(new CProxyChannelClient(proxyLinkOf(link), linkType, m_server, m_config, handler));
}

// Rules 1 and 2: a direct link becomes the port's channel, or the switch target of its relay channel.
bool CProxyClientImpl::handOver(uint16_t port, const LinkAttemptPtr& attempt, const LinkChannelInfo& link,
                                int linkType)
{
    CMutexGuard lock(m_channelLock);
    auto it = m_channels.find(port);
    if (it == m_channels.end()) {
        ChannelPtr channel = createChannel(link, linkType);
        m_channels[port] = channel;
        channel->notifyFirstP2PFinish();
        return true;
    }
    SwitchLinkPtr switchLink(new CSwitchLink(attempt, port, linkType == linkTypeLocal));
    if (!it->second->replaceLink(switchLink))
        return false;
    it->second->notifyFirstP2PFinish();
    return true;
}

int CProxyClientImpl::applyLinkRules(uint16_t port, const LinkAttemptPtr& attempt)
{
    const LinkThroughInfo info = attempt->getLinkThroughInfo();
    if (info.p2pState == linkStateFound) {
        if (!handOver(port, attempt, info.p2p, linkTypeP2P))
            return linkKept;
        TOU_PRINT(printLevelWarn, "Use P2P Link! localPort:%d\n", int(port));
        return linkUsed;
    }
    if (info.localState == linkStateFound) {
        if (!handOver(port, attempt, info.local, linkTypeLocal))
            return linkKept;
        TOU_PRINT(printLevelWarn, "Use Local Link! localPort:%d\n", int(port));
        return linkUsed;
    }
    if (info.relayState == linkStateFound) {
        const bool p2pFailed = info.p2pState == linkStateFailed;
        if (!info.peerSupportsLinkSwitch && !p2pFailed)
            return linkKept; // waits for the P2P result
        CMutexGuard lock(m_channelLock);
        auto it = m_channels.find(port);
        if (it == m_channels.end()) {
            it = m_channels.emplace(port, createChannel(info.relay, linkTypeRelay)).first;
            TOU_PRINT(printLevelWarn, "Use Relay Link! localPort:%d\n", int(port));
        }
        if (!p2pFailed)
            return linkKept; // a P2P result may still replace the relay
        it->second->notifyFirstP2PFinish();
        return linkUsed;
    }
    const bool relayOver = info.relayState == linkStateIdle || info.relayState == linkStateFailed;
    const bool localOver = info.localState == linkStateIdle || info.localState == linkStateFailed;
    if (info.p2pState == linkStateFailed && relayOver && localOver) {
        TOU_PRINT(printLevelError, "All Link failed! localPort:%d\n", int(port));
        return linkFailed;
    }
    return linkKept;
}

void CProxyClientImpl::queryLinkState()
{
    std::vector<int> fds;
    std::vector<LinkAttemptPtr> finished; // destroyed after the lock
    std::vector<CPortResource::SocketPtr> sockets; // closed after their descriptors are unregistered
    {
        CMutexGuard lock(m_linkLock);
        for (auto it = m_links.begin(); it != m_links.end();) {
            const int result = applyLinkRules(it->first, it->second);
            if (result == linkKept) {
                ++it;
                continue;
            }
            if (result == linkFailed) {
                int fd = -1;
                if (m_ports.getFd(it->first, fd))
                    fds.push_back(fd);
                sockets.push_back(m_ports.remove(it->first));
            }
            finished.push_back(it->second);
            it = m_links.erase(it);
        }
    }
    unregister(fds);
}

} // namespace Tou
} // namespace Orvan
