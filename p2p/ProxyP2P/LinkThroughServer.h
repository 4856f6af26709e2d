// Device side of the link negotiation: keeps the device registered and answers the channel requests of
// clients, each with a CP2PLinkThroughServer, until a link can be handed to the proxy server.
#ifndef ORVAN_TOU_LINKTHROUGHSERVER_H
#define ORVAN_TOU_LINKTHROUGHSERVER_H

#include "Infra3/Mutex.h"
#include "Infra3/Thread.h"
#include "LinkThrough/LinkThroughInfo.h"
#include "ProxyP2P/P2PLinkThroughServer.h"
#include "ProxyP2P/ProxyP2PClient.h"
#include "nattraver/stunclient/StunClient.h"

#include <atomic>
#include <list>
#include <memory>
#include <string>

namespace Orvan {
namespace Tou {

// Device proxy states reported by getState.
enum DeviceProxyState
{
    deviceProxyUnauthorized = 0,
    deviceProxyForbidden = 1,
    deviceProxyOffline = 2,
    deviceProxyOnline = 3
};

// "Link Through Server": one step every 10 ms takes the queued requests and advances every negotiation.
// The notify functor receives (2, link, 1) for each finished link, on this thread, with the list lock held.
class CLinkThroughServerImpl : public Infra::CThread
{
public:
    CLinkThroughServerImpl(const std::string& host, int port, const std::string& key, const std::string& deviceId,
                           const LinkResultProc& notify, const ProxyServerConfigPtr& config,
                           const std::string& userName = std::string());
    ~CLinkThroughServerImpl() override;

    int getState();
    int getChannelNum();
    bool setConfig(unsigned option, int value);
    int getConfig(unsigned option);
    bool setDeviceInfo(const char* info);

    void dealP2PMessage();
    void onP2PChannelHandler(const P2PRequest& request);
    void onRelayChannelHandler(const P2PRequest& request);
    void onLocalChannelHandler(const P2PRequest& request);
    // dealP2PMessage, then one heartbeat of every negotiation.
    void step();

    // For tests: the registration's P2P client.
    ProxyP2PClientPtr p2pClient() const { return m_p2pClient; }

protected:
    void threadProc() override;

private:
    using LinkPtr = std::shared_ptr<CP2PLinkThroughServer>;
    LinkPtr createLink(const char* kind, int mediaType, int cseq);

    std::atomic<int> m_proxyState;
    ProxyP2PClientPtr m_p2pClient;
    Infra::CMutex m_listLock;
    std::list<LinkPtr> m_links;
    LinkResultProc m_notify;
    P2PServerInfo m_server;
    NATTraver::StunConfig m_stunConfig;
    std::string m_deviceId;
    ProxyServerConfigPtr m_config;
};

} // namespace Tou
} // namespace Orvan

#endif
