// Device side of the proxy: registers with the P2P server under a device id, turns every link that
// the link-through server establishes into a server proxy channel, and drives those channels from
// the "Proxy Server Thread".
#ifndef ORVAN_TOU_PROXYSERVERIMPL_H
#define ORVAN_TOU_PROXYSERVERIMPL_H

#include "Infra3/Mutex.h"
#include "Infra3/Thread.h"
#include "Memory/SharedPtr.h"
#include "Proxy/ProxyChannelServer.h"
#include "Proxy/ProxyServerConfig.h"
#include "ProxyP2P/LinkThroughServer.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

namespace Orvan {
namespace Tou {

// Owns the link-through server; deleting the holder deletes it.
struct LinkThroughServerHolder
{
    std::unique_ptr<CLinkThroughServerImpl> server;
};

struct ProxyServerChannelStat
{
    int inUse;
    PtcpRemoteInfo remote;
    PtcpChannelStatistics statistics;
};

struct ProxyServerStat
{
    int count = 0;
    std::vector<ProxyServerChannelStat> channels;
};

class CProxyServerImpl : public Infra::CThread
{
public:
    using ChannelPtr = Memory::TSharedPtr<CProxyChannelServer>;

    static constexpr uint64_t kLongPeriodMs = 1000;
    static constexpr uint32_t kStepMs = 10;

    // config: options to start with instead of the defaults (the LAN socket, for one, is opened at once).
    CProxyServerImpl(const char* host, int port, const char* key, const char* deviceId, int unused1, int unused2,
                     const char* userName,
                     const Memory::TSharedPtr<CProxyServerConfig>& config = Memory::TSharedPtr<CProxyServerConfig>());
    ~CProxyServerImpl() override;

    int getState();
    bool setConfig(unsigned option, int value) { return m_config->setConfig(option, value); }
    int getConfig(unsigned option) { return m_config->getConfig(option); }
    bool setDeviceInfo(const char* info);
    void setLogLevel(int level);
    void getStatistics(const Memory::TSharedPtr<ProxyServerStat>& stat);
    void getLinkInfo(std::vector<PtcpSendQueueInfo>& records);
    void onLinkThroughNotify(int state, const LinkChannelInfo& link, int linkType);
    bool onPtcpChannelSwitch(uint32_t id1, uint32_t id2);

    size_t channelCount();
    // For tests: the registration's link-through server.
    CLinkThroughServerImpl* linkThroughServer() { return m_linkThrough->server.get(); }

protected:
    void threadProc() override;

private:
    // One turn of the thread body: the long-period checks when due, then every channel's heartbeat.
    void step(uint64_t now);

    std::unique_ptr<LinkThroughServerHolder> m_linkThrough;
    Infra::CMutex m_listLock;
    std::list<ChannelPtr> m_channels;
    uint64_t m_lastLongTime;
    Memory::TSharedPtr<CProxyServerConfig> m_config;
};

} // namespace Tou
} // namespace Orvan

#endif
