#include "ProxyClient/ProxyClientImpl.h"

#include "Infra3/Thread.h"
#include "Infra3/Time.h"
#include "LinkThrough/MultiStunClient.h"
#include "P2PSDK/Print.h"
#include "nattraver/net/Address.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace Orvan {
namespace Tou {

using Infra::CMutexGuard;
using Infra::CTime;
using NATTraver::Address;
using NATTraver::Socket;

namespace {

const char kLoopback[] = "127.0.0.1";

void enableIpv6For(const std::string& host)
{
    if (host.find(':') == std::string::npos)
        return;
    Address::enableIpv6(true);
    TOU_PRINT(printLevelWarn, "Enable Ipv6\n");
    size_t pos = host.find("::");
    if (pos == std::string::npos) {
        TOU_PRINT(printLevelError, "Can't find double colon, Use the well-known prefix\n");
        return;
    }
    std::string prefix = host.substr(0, pos < 127 ? pos : 127);
    Address::setIpv6Prefix(prefix.c_str());
    TOU_PRINT(printLevelWarn, "IPv6 prefix: %s\n", prefix.c_str());
}

} // namespace

CProxyClientImpl::CProxyClientImpl(const char* host, int port, const char* key, const PortEventHandler& handler,
                                   const char* userName)
    : m_p2pClient(new CProxyP2PClient(CProxyP2PClient::roleClient)),
      m_lastLongTime(CTime::getTickCountMs()),
      m_portHandler(handler),
      m_config(new CProxyClientConfig)
{
    installSwitchHooks();
    m_eventDriver = Memory::TSharedPtr<CProxyEventDriver>(
        new CProxyEventDriver(CProxyEventDriver::Task(&CProxyClientImpl::periodicTask, this)));
    const std::string hostText = host ? host : "";
    enableIpv6For(hostText);
    m_reactor = m_eventDriver->getReactor();
    m_server.host = hostText;
    m_server.port = uint16_t(port);
    m_server.key = key ? key : "";
    m_server.userName = userName && *userName ? userName : "P2PClient";
    m_p2pClient->setServerInfo(m_server);
    CMultiStunClient::instance()->setServerInfo(m_server);
    std::srand(unsigned(std::time(nullptr)));
}

CProxyClientImpl::~CProxyClientImpl()
{
    m_eventDriver->stop();
    m_ports.clear();
    m_eventDriver = Memory::TSharedPtr<CProxyEventDriver>();
    m_reactor = Memory::TSharedPtr<IReactorImp>();
    std::map<uint16_t, ChannelPtr> channels;
    {
        CMutexGuard lock(m_channelLock);
        channels.swap(m_channels);
    }
    channels.clear();
    std::map<uint16_t, LinkAttemptPtr> links;
    {
        CMutexGuard lock(m_linkLock);
        links.swap(m_links);
    }
    links.clear();
    m_p2pClient = ProxyP2PClientPtr();
}

int CProxyClientImpl::getState()
{
    return m_p2pClient->isServerOnline(kStateWaitMs) ? proxyClientOnline : proxyClientOffline;
}

int CProxyClientImpl::getState(const char* deviceId)
{
    if (!deviceId) {
        TOU_PRINT(printLevelError, "invalid uuid\n");
        return proxyClientOffline;
    }
    return m_p2pClient->isDeviceOnline(deviceId, kStateWaitMs) ? proxyClientOnline : proxyClientOffline;
}

bool CProxyClientImpl::getDeviceInfo(const char* deviceId, int size, char* buffer)
{
    return m_p2pClient->getDeviceInfo(deviceId, size, buffer, kStateWaitMs);
}

void CProxyClientImpl::report(int port, int result, const char* message)
{
    if (!m_portHandler.empty())
        m_portHandler(port, result, message);
}

LinkAttemptPtr CProxyClientImpl::createLinkAttempt(const std::string& deviceId, uint16_t localPort, int linkType)
{
    LinkThroughOptions options;
    options.relay = m_config->getConfig(proxyOptRelay) == 1;
    options.portGuess = m_config->getConfig(proxyOptPortGuess) == 1;
    options.local = m_config->getConfig(proxyOptLocal) == 1;
    options.linkSwitch = m_config->getConfig(proxyOptLinkSwitch) == 1;
    options.multiHolePunch = m_config->getConfig(proxyOptMultiHolePunch) == 1;
    return std::make_shared<CLinkThroughAttempt>(m_p2pClient, m_server, options, deviceId, localPort, linkType,
                                                 false);
}

bool CProxyClientImpl::addPort(const char* deviceId, const char* remoteHost, int remotePort, uint16_t& localPort,
                               int linkType)
{
    if (!deviceId) {
        TOU_PRINT(printLevelError, "invalid uuid\n");
        return false;
    }
    // Only this host's programs may use the mapping.
    CPortResource::SocketPtr socket(new Socket(false));
    if (socket->bind(Address(kLoopback, localPort)) != 0) {
        TOU_PRINT(printLevelError, "[%s] bind socket fail\n", deviceId);
        report(localPort, portEventFailed, "bind socket fail");
        return false;
    }
    Address bound;
    socket->getLocalAddress(bound);
    localPort = uint16_t(bound.getPort());
    TOU_PRINT(printLevelTrace, "[%s] bind local port[%d] success\n", deviceId, int(localPort));

    PortKeyInfo key;
    key.deviceId = deviceId;
    key.remoteHost = remoteHost ? remoteHost : kLoopback;
    key.remotePort = remotePort;
    if (m_ports.isKeyExist(localPort)) {
        TOU_PRINT(printLevelWarn, "local Port[%d] has mapped, remove it.\n", int(localPort));
        release(localPort);
    }
    if (socket->listen() != 0) {
        TOU_PRINT(printLevelError, "listen socket fail\n");
        report(localPort, portEventFailed, "listen socket fail");
        return false;
    }
    LinkAttemptPtr link = createLinkAttempt(key.deviceId, localPort, linkType);
    {
        CMutexGuard lock(m_linkLock);
        m_links[localPort] = link;
    }
    m_ports.add(localPort, key, socket);
    m_reactor->registFd(socket->getFd(), ReactorHandler(&CProxyClientImpl::onTcpAccept, this));
    report(localPort, portEventAdded, "add port success");
    return true;
}

bool CProxyClientImpl::addPortSync(const char* deviceId, int remotePort, uint16_t& localPort, int timeoutMs,
                                   int linkType)
{
    const uint64_t start = CTime::getTickCountMs();
    if (!addPort(deviceId, kLoopback, remotePort, localPort, linkType))
        return false;
    for (;;) {
        switch (getChannel(localPort)) {
        case portChannelActive:
            return true;
        case portChannelNonExist:
            return false;
        default:
            break;
        }
        if (timeoutMs != 0 && CTime::getTickCountMs() > start + uint64_t(timeoutMs)) {
            TOU_PRINT(printLevelWarn, "addPortSync timeout\n");
            return false;
        }
        Infra::CThread::sleepMs(kSyncPollMs);
    }
}

bool CProxyClientImpl::deletePort(uint16_t localPort)
{
    if (getChannel(localPort) == portChannelNonExist) {
        TOU_PRINT(printLevelError, "can't find channel/link:[%d]\n", int(localPort));
        return false;
    }
    release(localPort);
    return true;
}

void CProxyClientImpl::release(uint16_t localPort)
{
    ChannelPtr channel;
    LinkAttemptPtr link;
    {
        CMutexGuard lock(m_channelLock);
        auto it = m_channels.find(localPort);
        if (it != m_channels.end()) {
            channel = it->second;
            m_channels.erase(it);
        }
    }
    {
        CMutexGuard lock(m_linkLock);
        auto it = m_links.find(localPort);
        if (it != m_links.end()) {
            link = it->second;
            m_links.erase(it);
        }
    }
    int fd = -1;
    if (m_ports.getFd(localPort, fd))
        m_reactor->unregistFd(fd);
    m_ports.remove(localPort);
    TOU_PRINT(printLevelTrace, "release port[%d] success\n", int(localPort));
}

int CProxyClientImpl::getChannel(uint16_t localPort)
{
    ChannelPtr channel;
    return getChannel(localPort, channel);
}

int CProxyClientImpl::getChannel(uint16_t localPort, ChannelPtr& channel)
{
    {
        CMutexGuard lock(m_channelLock);
        auto it = m_channels.find(localPort);
        if (it != m_channels.end()) {
            channel = it->second;
            return channel->getState() == proxyChannelConnSuccess ? portChannelActive : portChannelInit;
        }
    }
    CMutexGuard lock(m_linkLock);
    return m_links.count(localPort) ? portChannelInit : portChannelNonExist;
}

int CProxyClientImpl::queryRate(uint16_t localPort, PtcpChannelStatistics& stats)
{
    std::memset(&stats, 0, sizeof(stats));
    ChannelPtr channel;
    int state = getChannel(localPort, channel);
    if (channel.get())
        channel->getStatistics(&stats);
    return state;
}

int CProxyClientImpl::getRemoteInfo(uint16_t localPort, ProxyRemoteInfo& info)
{
    static_assert(sizeof(ProxyRemoteInfo) == sizeof(PtcpRemoteInfo), "remote records differ");
    std::memset(&info, 0, sizeof(info));
    ChannelPtr channel;
    int state = getChannel(localPort, channel);
    if (channel.get())
        channel->getRemoteInfo(reinterpret_cast<PtcpRemoteInfo*>(&info));
    return state;
}

bool CProxyClientImpl::onTcpAccept(int fd)
{
    uint16_t port = 0;
    PortKeyInfo key;
    CPortResource::SocketPtr socket;
    if (!m_ports.get(fd, port, key, socket)) {
        TOU_PRINT(printLevelError, "can't find info with fd[%d]\n", fd);
        return false;
    }
    TOU_PRINT(printLevelTrace, "ProxyClient accept fd[%d]\n", fd);
    Address peer;
    int accepted = socket->accept(peer, 0);
    if (accepted <= 0) {
        // A refused or aborted connection says nothing of the listener: keep accepting.
        TOU_PRINT(printLevelError, "accept fail, ret[%d]\n", accepted);
        return true;
    }
    ChannelPtr channel;
    if (getChannel(port, channel) == portChannelActive) {
        channel->createTcpSession(accepted, key.remoteHost, uint16_t(key.remotePort));
        return true;
    }
    TOU_PRINT(printLevelWarn, "can't find channel or channel on connecting, please wait!\n");
    Socket closer(accepted, true);
    return true;
}

void CProxyClientImpl::periodicTask()
{
    longTimeTaskDeal(CTime::getTickCountMs());
    queryLinkState();
    CMutexGuard lock(m_channelLock);
    for (auto& entry : m_channels)
        entry.second->heartbeat();
}

void CProxyClientImpl::longTimeTaskDeal(uint64_t now)
{
    if (now < m_lastLongTime + kLongPeriodMs)
        return;
    m_lastLongTime = now;
    std::vector<int> fds;
    std::vector<CPortResource::SocketPtr> sockets;
    std::vector<ChannelPtr> released;
    {
        CMutexGuard lock(m_channelLock);
        for (auto it = m_channels.begin(); it != m_channels.end();) {
            if (it->second->checkAlive(now)) {
                ++it;
                continue;
            }
            const uint16_t port = it->first;
            TOU_PRINT(printLevelTrace, "release proxy channel client, localport[%d]\n", int(port));
            report(port, portEventChannelReleased, "proxy channel release");
            released.push_back(it->second);
            it = m_channels.erase(it);
            int fd = -1;
            if (m_ports.getFd(port, fd))
                fds.push_back(fd);
            sockets.push_back(m_ports.remove(port));
        }
    }
    unregister(fds);
}

void CProxyClientImpl::unregister(const std::vector<int>& fds)
{
    for (int fd : fds)
        m_reactor->unregistFd(fd);
}

void CProxyClientImpl::regP2PTraversalInfoHandler(const TraversalHandler& handler)
{
    {
        CMutexGuard lock(m_handlerLock);
        m_traversalHandler = handler;
    }
    TOU_PRINT(printLevelTrace, "Register P2P Traversal Info Handler, this:[%p]\n", static_cast<void*>(this));
}

bool CProxyClientImpl::setRemoteInfo(const char* remoteHost, int remotePort, uint16_t localPort)
{
    PortKeyInfo key;
    if (!m_ports.getKey(localPort, key)) {
        TOU_PRINT(printLevelError, "get device info with port[%d] failed.\n", int(localPort));
        return false;
    }
    key.remoteHost = remoteHost ? remoteHost : "";
    key.remotePort = remotePort;
    return m_ports.updateKey(localPort, key);
}

bool CProxyClientImpl::setRemoteOption(int option, int value, uint16_t localPort)
{
    CMutexGuard lock(m_channelLock);
    if (localPort == 0) {
        for (auto& entry : m_channels)
            entry.second->setRemoteOption(option, value);
        return true;
    }
    auto it = m_channels.find(localPort);
    if (it == m_channels.end()) {
        TOU_PRINT(printLevelError, "can't find channel:[%d]\n", int(localPort));
        return true;
    }
    return it->second->setRemoteOption(option, value);
}

void CProxyClientImpl::getP2PStat(const Memory::TSharedPtr<P2PStat>& stat)
{
    if (!stat.get())
        return;
    stat->ports.clear();
    {
        CMutexGuard lock(m_linkLock);
        for (auto& entry : m_links) {
            P2PPortStat record;
            std::memset(&record, 0, sizeof(record));
            record.localPort = entry.first;
            stat->ports.push_back(record);
        }
    }
    {
        CMutexGuard lock(m_channelLock);
        for (auto& entry : m_channels) {
            P2PPortStat record;
            std::memset(&record, 0, sizeof(record));
            record.localPort = entry.first;
            if (entry.second->getState() == proxyChannelConnSuccess) {
                record.connected = 1;
                PtcpRemoteInfo remote;
                std::memset(&remote, 0, sizeof(remote));
                entry.second->getRemoteInfo(&remote);
                std::memcpy(&record.remote, &remote, sizeof(record.remote));
                PtcpChannelStatistics stats;
                std::memset(&stats, 0, sizeof(stats));
                entry.second->getStatistics(&stats);
                std::memcpy(&record.statistics, &stats, sizeof(stats));
            }
            stat->ports.push_back(record);
        }
    }
    stat->count = int(stat->ports.size());
}

int CProxyClientImpl::getPortCount()
{
    size_t count;
    {
        CMutexGuard lock(m_linkLock);
        count = m_links.size();
    }
    CMutexGuard lock(m_channelLock);
    return int(count + m_channels.size());
}

} // namespace Tou
} // namespace Orvan
