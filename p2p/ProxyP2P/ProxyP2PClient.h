// The proxy's one door to the P2P server: in the client role it owns a P2P server client, in the
// device role a device registration; in both it is their listener and queues what they deliver.
#ifndef ORVAN_TOU_PROXYP2PCLIENT_H
#define ORVAN_TOU_PROXYP2PCLIENT_H

#include "Infra3/Mutex.h"
#include "LinkThrough/P2PLinkOwner.h"
#include "P2PSDK/P2PClient.h"
#include "ProxyP2P/P2PDevice.h"

#include <atomic>
#include <deque>
#include <string>

namespace Orvan {
namespace Tou {

// P2P client states (the "p2p client" state names).
enum P2PClientState
{
    p2pClientInit = 0,
    p2pClientConfig = 1,
    p2pClientOffLine = 2,
    p2pClientLogin = 3,
    p2pClientUnauthorized = 4,
    p2pClientForbidden = 5,
    p2pClientOnline = 6
};

// Releases the owned objects through their first operation; they report event 0 and delete themselves.
struct P2PDeleter
{
    void operator()(IP2PClient* client) const
    {
        if (client)
            client->stop();
    }
    void operator()(IP2PDevice* device) const
    {
        if (device)
            device->release();
    }
};

class CProxyP2PClient : public INotify, public IP2PLinkOwner
{
public:
    enum Role
    {
        roleDevice = 0,
        roleClient = 1
    };
    enum
    {
        kDestroyWaitMs = 10,
        kDestroyWaitTurns = 6000,
        kMaxQueued = 1024
    };

    explicit CProxyP2PClient(int role);
    ~CProxyP2PClient() override;
    CProxyP2PClient(const CProxyP2PClient&) = delete;
    CProxyP2PClient& operator=(const CProxyP2PClient&) = delete;

    // Client role.
    bool setServerInfo(const P2PServerInfo& server);
    bool isServerOnline(int timeoutMs);
    bool isDeviceOnline(const char* deviceId, int timeoutMs);
    bool getDeviceInfo(const char* deviceId, int size, char* buffer, int timeoutMs);
    bool sendRequest(P2PRequest& request);

    // Device role.
    bool setDeviceInfo(const P2PServerInfo& server, const std::string& deviceId, const ProxyServerConfigPtr& config);
    bool login();
    bool logout();
    bool sendResponse(const P2PResponse& response, int fd, const NATTraver::Address& to);
    bool sendResponse(int cseq, int statusCode, const char* text);
    bool updateDeviceInfo(const char* info);

    int getState() override;
    void setState(int state);
    void getServerInfo(P2PServerInfo& server) override;
    bool popRequest(P2PRequest& request);
    bool popResponse(P2PResponse& response);

    void onEvent(int event) override;
    void onRequest(const P2PRequest& request) override;
    void onResponse(const P2PResponse& response) override;

    int role() const { return m_role; }

private:
    const int m_role;
    Infra::CMutex m_stateLock;
    int m_state;
    Memory::TSharedPtr<IP2PDevice> m_device;
    Memory::TSharedPtr<IP2PClient> m_client;
    Infra::CMutex m_serverLock;
    P2PServerInfo m_server;
    Infra::CMutex m_requestLock;
    std::deque<P2PRequest> m_requests;
    Infra::CMutex m_responseLock;
    std::deque<P2PResponse> m_responses;
    std::atomic<bool> m_destroyed;
};

using ProxyP2PClientPtr = Memory::TSharedPtr<CProxyP2PClient>;

// The same object as the link-throughs' owner; the returned pointer keeps `client` alive.
P2PLinkOwnerPtr linkOwnerOf(const ProxyP2PClientPtr& client);

} // namespace Tou
} // namespace Orvan

#endif
