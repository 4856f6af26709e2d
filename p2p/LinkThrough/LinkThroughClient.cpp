#include "LinkThrough/LinkThroughClient.h"

#include "Infra3/Time.h"
#include "LinkThrough/MultiStunClient.h"
#include "LinkThrough/P2PLinkThroughClient.h"
#include "LinkThrough/P2PLinkThroughLocal.h"
#include "LinkThrough/P2PLinkThroughRelay.h"
#include "P2PSDK/Print.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace Orvan {
namespace Tou {

CLinkThroughClientImpl::CLinkThroughClientImpl(const P2PLinkOwnerPtr& owner, const P2PServerInfo& server,
                                               const LinkThroughOptions& options, const std::string& id,
                                               uint16_t localPort, int channelType, bool useValueT)
    : m_owner(owner), m_server(server), m_options(options), m_p2pRunning(false), m_relayRunning(false),
      m_localRunning(false), m_p2pValueT(NATTraver::kValueTUnknown)
{
    start(id, localPort, channelType, useValueT);
}

CLinkThroughClientImpl::~CLinkThroughClientImpl()
{
    m_local.reset();
    m_relay.reset();
    m_p2p.reset();
}

void CLinkThroughClientImpl::start(const std::string& id, uint16_t localPort, int channelType, bool useValueT)
{
    m_p2p.reset(new CP2PLinkThroughClient(m_owner, id, LinkResultProc(&CLinkThroughClientImpl::onP2PResult, this),
                                          PeerVersionProc(&CLinkThroughClientImpl::onPeerVersion, this),
                                          m_options.portGuess, m_options.multiHolePunch, localPort, channelType));
    NATTraver::StunConfig stun;
    size_t n = std::min(m_server.host.size(), sizeof(stun.server) - 1);
    std::memcpy(stun.server, m_server.host.data(), n);
    stun.server[n] = '\0';
    stun.port = m_server.port;
    m_p2pValueT = useValueT ? CMultiStunClient::instance()->getValueT() : int(NATTraver::kValueTUnknown);
    m_p2p->setLocalValueT(m_p2pValueT);
    m_p2p->setStunConfig(stun);
    m_p2pRunning = true;
    {
        Infra::CMutexGuard guard(m_lock);
        m_info.p2pState = linkStateRunning;
    }
    if (m_options.relay) {
        m_relay.reset(new CP2PLinkThroughRelay(id, m_server, LinkResultProc(&CLinkThroughClientImpl::onRelayResult, this),
                                               channelType, localPort));
        m_relayRunning = true;
        Infra::CMutexGuard guard(m_lock);
        m_info.relayState = linkStateRunning;
    }
    if (m_options.local) {
        m_local.reset(new CP2PLinkThroughLocal(id, LinkResultProc(&CLinkThroughClientImpl::onLocalResult, this),
                                               channelType, localPort));
        m_localRunning = true;
        Infra::CMutexGuard guard(m_lock);
        m_info.localState = linkStateRunning;
    }
}

LinkThroughInfo CLinkThroughClientImpl::getLinkThroughInfo()
{
    Infra::CMutexGuard guard(m_lock);
    return m_info;
}

void CLinkThroughClientImpl::onP2PResult(int state, const LinkChannelInfo& info, int)
{
    Infra::CMutexGuard guard(m_lock);
    m_info.p2pState = state;
    m_info.p2p = info;
}

void CLinkThroughClientImpl::onRelayResult(int state, const LinkChannelInfo& info, int)
{
    Infra::CMutexGuard guard(m_lock);
    m_info.relayState = state;
    m_info.relay = info;
}

void CLinkThroughClientImpl::onLocalResult(int state, const LinkChannelInfo& info, int)
{
    Infra::CMutexGuard guard(m_lock);
    m_info.localState = state;
    m_info.local = info;
}

void CLinkThroughClientImpl::onPeerVersion(const std::string& version)
{
    if (!m_options.relay || !m_relay)
        return;
    m_relay->setPeerVersion(version);
    bool supports = isPeerSupportLinkSwitchAndLocalP2P(version);
    Infra::CMutexGuard guard(m_lock);
    m_info.peerSupportsLinkSwitch = supports;
}

bool CLinkThroughClientImpl::isPeerSupportLinkSwitchAndLocalP2P(const std::string& version)
{
    if (version.empty()) {
        TOU_PRINT(printLevelTrace, "peer version is old version.\r\n");
        return false;
    }
    TOU_PRINT(printLevelTrace, "peer p2p version:%s.\r\n", version.c_str());
    size_t first = version.find('.');
    if (first == std::string::npos || version.find('.', first + 1) == std::string::npos)
        return false;
    return first > 0 && std::atoi(version.substr(0, first).c_str()) >= 5;
}

bool CLinkThroughClientImpl::isRunning()
{
    Infra::CMutexGuard guard(m_lock);
    if (m_info.p2pState != linkStateRunning)
        m_p2pRunning = false;
    if (m_info.relayState != linkStateRunning)
        m_relayRunning = false;
    if (m_info.localState != linkStateRunning)
        m_localRunning = false;
    return m_p2pRunning || m_relayRunning || m_localRunning;
}

bool CLinkThroughClientImpl::step()
{
    if (m_p2pRunning)
        m_p2p->heartbeat();
    if (m_relayRunning)
        m_relay->heartbeat(Infra::CTime::getTickCountMs());
    if (m_localRunning)
        m_local->heartbeat(Infra::CTime::getTickCountMs());
    return isRunning();
}

CLinkThroughClient::CLinkThroughClient(const P2PLinkOwnerPtr& owner, const P2PServerInfo& server,
                                       const LinkThroughOptions& options, const std::string& id,
                                       uint16_t localPort, int channelType, bool useValueT)
    : m_impl(std::make_shared<CLinkThroughClientImpl>(owner, server, options, id, localPort, channelType, useValueT))
{
    CLinkThroughSingleThread::instance()->attach(m_impl);
}

CLinkThroughClient::~CLinkThroughClient()
{
    CLinkThroughSingleThread::instance()->detach(m_impl);
    m_impl.reset();
}

LinkThroughInfo CLinkThroughClient::getLinkThroughInfo()
{
    return m_impl->getLinkThroughInfo();
}

CLinkThroughSingleThread::CLinkThroughSingleThread() : Infra::CThread("link through client thread") {}

CLinkThroughSingleThread* CLinkThroughSingleThread::instance()
{
    static CLinkThroughSingleThread* thread = [] {
        auto* t = new CLinkThroughSingleThread; // lives until the process ends
        t->CreateThread();
        return t;
    }();
    return thread;
}

void CLinkThroughSingleThread::attach(const LinkThroughClientImplPtr& client)
{
    Infra::CMutexGuard guard(m_lock);
    m_clients.push_back(client);
}

void CLinkThroughSingleThread::detach(const LinkThroughClientImplPtr& client)
{
    Infra::CMutexGuard guard(m_lock);
    for (auto it = m_clients.begin(); it != m_clients.end(); ++it)
        if (it->get() == client.get()) {
            m_clients.erase(it);
            return;
        }
}

size_t CLinkThroughSingleThread::attached()
{
    Infra::CMutexGuard guard(m_lock);
    return m_clients.size();
}

void CLinkThroughSingleThread::threadProc()
{
    std::vector<LinkThroughClientImplPtr> snapshot;
    while (isLooping()) {
        {
            Infra::CMutexGuard guard(m_lock);
            snapshot.assign(m_clients.begin(), m_clients.end());
        }
        for (const LinkThroughClientImplPtr& client : snapshot)
            if (!client->step())
                detach(client);
        snapshot.clear(); // the last holder may release an attempt here, outside the lock
        sleepMs(10);
    }
}

} // namespace Tou
} // namespace Orvan
