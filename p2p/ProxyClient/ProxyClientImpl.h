// The proxy client's port mappings: a local TCP port listened on by this process, tied to a TCP port
// of a remote device. While a mapping negotiates, its link-through runs; once a link is up, a client
// proxy channel carries every accepted connection as a session. Periodic work runs on the
// "Proxy Event Driver" thread.
#ifndef ORVAN_TOU_PROXYCLIENTIMPL_H
#define ORVAN_TOU_PROXYCLIENTIMPL_H

#include "Infra3/Mutex.h"
#include "Memory/SharedPtr.h"
#include "Proxy/ProxyChannelClient.h"
#include "Proxy/ProxyClientConfig.h"
#include "Proxy/ProxyEventDriver.h"
#include "ProxyClient/LinkAttempt.h"
#include "ProxyClient/PortResource.h"
#include "ProxyClient/ProxyClientSdk.h"
#include "ProxyP2P/ProxyP2PClient.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace Orvan {
namespace Tou {

// Results of port events.
enum PortEventResult
{
    portEventFailed = 0,
    portEventAdded = 1,
    portEventChannelReleased = 6,
    portEventNone = 7
};

// What getChannel says of a port.
enum PortChannelState
{
    portChannelInit = 0,
    portChannelActive = 1,
    portChannelNonExist = 2
};

enum ProxyClientState
{
    proxyClientOffline = 2,
    proxyClientOnline = 3
};

#pragma pack(push, 1)
struct P2PPortStat
{
    int connected;
    uint16_t localPort;
    ProxyRemoteInfo remote;
    PtcpChannelStatistics statistics;
};
#pragma pack(pop)

struct P2PStat
{
    int count = 0;
    std::vector<P2PPortStat> ports;
};

class CProxyClientImpl
{
public:
    using PortEventHandler = Infra::TFunction3<void, int, int, const char*>;
    using TraversalHandler = CProxyChannelClient::TraversalHandler;
    using ChannelPtr = Memory::TSharedPtr<CProxyChannelClient>;

    static constexpr uint64_t kLongPeriodMs = 1000;
    static constexpr int kStateWaitMs = 3000;
    static constexpr int kSyncPollMs = 100;

    CProxyClientImpl(const char* host, int port, const char* key, const PortEventHandler& handler,
                     const char* userName);
    virtual ~CProxyClientImpl();
    CProxyClientImpl(const CProxyClientImpl&) = delete;
    CProxyClientImpl& operator=(const CProxyClientImpl&) = delete;

    int getState();
    int getState(const char* deviceId);
    bool addPort(const char* deviceId, const char* remoteHost, int remotePort, uint16_t& localPort, int linkType);
    bool addPortSync(const char* deviceId, int remotePort, uint16_t& localPort, int timeoutMs, int linkType);
    bool deletePort(uint16_t localPort);
    void release(uint16_t localPort);
    int getChannel(uint16_t localPort);
    int getChannel(uint16_t localPort, ChannelPtr& channel);
    int queryRate(uint16_t localPort, PtcpChannelStatistics& stats);
    int getRemoteInfo(uint16_t localPort, ProxyRemoteInfo& info);
    bool onTcpAccept(int fd);
    void queryLinkState();
    void longTimeTaskDeal(uint64_t now);
    bool setRemoteInfo(const char* remoteHost, int remotePort, uint16_t localPort);
    bool setRemoteOption(int option, int value, uint16_t localPort);
    void regP2PTraversalInfoHandler(const TraversalHandler& handler);
    void getP2PStat(const Memory::TSharedPtr<P2PStat>& stat);
    int getPortCount();

    bool setConfig(unsigned option, int value) { return m_config->setConfig(option, value); }
    int getConfig(unsigned option) { return m_config->getConfig(option); }
    bool getDeviceInfo(const char* deviceId, int size, char* buffer);

protected:
    // The link-through of a new mapping; tests give their own.
    virtual LinkAttemptPtr createLinkAttempt(const std::string& deviceId, uint16_t localPort, int linkType);

private:
    void periodicTask();
    void report(int port, int result, const char* message);
    ChannelPtr createChannel(const LinkChannelInfo& link, int linkType);
    enum
    {
        linkKept,
        linkUsed,
        linkFailed
    };
    // The rules of queryLinkState for one link, under the link lock.
    int applyLinkRules(uint16_t port, const LinkAttemptPtr& attempt);
    bool handOver(uint16_t port, const LinkAttemptPtr& attempt, const LinkChannelInfo& link, int linkType);
    void unregister(const std::vector<int>& fds);

    ProxyP2PClientPtr m_p2pClient;
    P2PServerInfo m_server;
    Infra::CMutex m_linkLock;
    Infra::CMutex m_channelLock;
    std::map<uint16_t, LinkAttemptPtr> m_links;
    std::map<uint16_t, ChannelPtr> m_channels;
    Memory::TSharedPtr<IReactorImp> m_reactor;
    Memory::TSharedPtr<CProxyEventDriver> m_eventDriver;
    uint64_t m_lastLongTime;
    PortEventHandler m_portHandler;
    Memory::TSharedPtr<CProxyClientConfig> m_config;
    CPortResource m_ports;
    Infra::CMutex m_handlerLock;
    TraversalHandler m_traversalHandler;
};

} // namespace Tou
} // namespace Orvan

#endif
