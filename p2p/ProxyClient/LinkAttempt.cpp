#include "ProxyClient/LinkAttempt.h"

#include "LinkThrough/MultiStunClient.h"

#include <mutex>

namespace Orvan {
namespace Tou {

CLinkThroughAttempt::CLinkThroughAttempt(const ProxyP2PClientPtr& door, const P2PServerInfo& server,
                                         const LinkThroughOptions& options, const std::string& deviceId,
                                         uint16_t localPort, int channelType, bool useValueT)
    : m_door(door), m_client(linkOwnerOf(door), server, options, deviceId, localPort, channelType, useValueT)
{
}

LinkThroughInfo CLinkThroughAttempt::getLinkThroughInfo()
{
    return m_client.getLinkThroughInfo();
}

int CSwitchLink::getP2PState()
{
    LinkThroughInfo info = m_attempt->getLinkThroughInfo();
    const int state = m_useLocal ? info.localState : info.p2pState;
    if (state == linkStateFound)
        return p2pSuccess;
    if (state == linkStateFailed)
        return p2pFailure;
    return p2pRunning;
}

bool CSwitchLink::getP2PLink(ProxyLink& link)
{
    LinkThroughInfo info = m_attempt->getLinkThroughInfo();
    if ((m_useLocal ? info.localState : info.p2pState) != linkStateFound)
        return false;
    link = proxyLinkOf(m_useLocal ? info.local : info.p2p);
    return true;
}

namespace {

SwitchLinkPtr startSwitchLink(const P2PServerInfo& server, const std::string& deviceId, int channelType,
                              bool portGuess, bool linkSwitch, bool multiHolePunch)
{
    ProxyP2PClientPtr door(new CProxyP2PClient(CProxyP2PClient::roleClient));
    door->setServerInfo(server);
    LinkThroughOptions options;
    options.relay = false;
    options.local = false;
    options.portGuess = portGuess;
    options.linkSwitch = linkSwitch;
    options.multiHolePunch = multiHolePunch;
    LinkAttemptPtr attempt =
        std::make_shared<CLinkThroughAttempt>(door, server, options, deviceId, 0, channelType, true);
    return SwitchLinkPtr(new CSwitchLink(attempt, 0));
}

} // namespace

void installSwitchHooks()
{
    static std::once_flag once;
    std::call_once(once, [] {
        ProxySwitchHooks hooks;
        hooks.startLink = startSwitchLink;
        hooks.addTimedProc = [](uint64_t key, const ProxySwitchHooks::Proc& proc) {
            CMultiStunClient::instance()->addTimedProc(int64_t(key), proc);
        };
        hooks.removeTimedProc = [](const ProxySwitchHooks::Proc& proc) {
            CMultiStunClient::instance()->removeTimedProc(proc);
        };
        CProxyChannelClient::setSwitchHooks(hooks);
    });
}

} // namespace Tou
} // namespace Orvan
