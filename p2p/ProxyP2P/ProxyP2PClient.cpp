#include "ProxyP2P/ProxyP2PClient.h"

#include "Infra3/Thread.h"
#include "P2PSDK/Print.h"

namespace Orvan {
namespace Tou {

namespace {

// Deleter of an owner pointer that shares the life of a proxy P2P client pointer.
struct KeepAlive
{
    ProxyP2PClientPtr client;
    void operator()(IP2PLinkOwner*) const {}
};

} // namespace

P2PLinkOwnerPtr linkOwnerOf(const ProxyP2PClientPtr& client)
{
    if (!client.get())
        return P2PLinkOwnerPtr();
    return P2PLinkOwnerPtr(client.get(), KeepAlive{client});
}

CProxyP2PClient::CProxyP2PClient(int role) : m_role(role), m_state(p2pClientInit), m_destroyed(false) {}

CProxyP2PClient::~CProxyP2PClient()
{
    const bool owned = m_client.get() || m_device.get();
    m_client.reset();
    m_device.reset();
    // Nothing to wait for when no object was ever made.
    for (int i = 0; owned && !m_destroyed && i < kDestroyWaitTurns; ++i)
        Infra::CThread::sleepMs(kDestroyWaitMs);
    TOU_PRINT(printLevelTrace, "CProxyP2PClient::~CProxyP2PClient() this:[%p]!\n", static_cast<void*>(this));
    Infra::CMutexGuard requests(m_requestLock);
    m_requests.clear();
    Infra::CMutexGuard responses(m_responseLock);
    m_responses.clear();
}

bool CProxyP2PClient::setServerInfo(const P2PServerInfo& server)
{
    if (m_role != roleClient || m_client.get())
        return false;
    {
        Infra::CMutexGuard guard(m_serverLock);
        m_server = server;
    }
    IP2PClient* client = createP2PClient(this);
    if (!client) {
        TOU_PRINT(printLevelError, "create p2p client failed\n");
        return false;
    }
    m_client = Memory::TSharedPtr<IP2PClient>(client, P2PDeleter());
    setState(p2pClientOnline);
    return true;
}

bool CProxyP2PClient::setDeviceInfo(const P2PServerInfo& server, const std::string& deviceId,
                                    const ProxyServerConfigPtr& config)
{
    if (m_role != roleDevice || m_device.get() || deviceId.empty() || server.host.empty())
        return false;
    {
        Infra::CMutexGuard guard(m_serverLock);
        m_server = server;
    }
    IP2PDevice* device = createP2PDevice(deviceId.c_str(), this, config);
    if (!device)
        return false;
    m_device = Memory::TSharedPtr<IP2PDevice>(device, P2PDeleter());
    setState(p2pClientConfig);
    return true;
}

bool CProxyP2PClient::login()
{
    if (m_role != roleDevice || getState() == p2pClientOnline || !m_device.get())
        return false;
    P2PServerInfo server;
    getServerInfo(server);
    // Login first: the registration may report online before start returns.
    setState(p2pClientLogin);
    m_device->start(server);
    return true;
}

bool CProxyP2PClient::logout()
{
    if (m_role != roleDevice)
        return false;
    if (m_device.get())
        m_device->stop();
    setState(p2pClientOffLine);
    return true;
}

bool CProxyP2PClient::isServerOnline(int timeoutMs)
{
    if (m_role != roleClient || !m_client.get())
        return false;
    P2PServerInfo server;
    getServerInfo(server);
    return m_client->isServerOnline(server, timeoutMs);
}

bool CProxyP2PClient::isDeviceOnline(const char* deviceId, int timeoutMs)
{
    if (m_role != roleClient || !m_client.get() || getState() != p2pClientOnline)
        return false;
    P2PServerInfo server;
    getServerInfo(server);
    return m_client->isDeviceOnline(server, deviceId, timeoutMs);
}

bool CProxyP2PClient::getDeviceInfo(const char* deviceId, int size, char* buffer, int timeoutMs)
{
    if (!m_client.get())
        return false;
    P2PServerInfo server;
    getServerInfo(server);
    return m_client->getDeviceInfo(server, deviceId, size, buffer, timeoutMs);
}

bool CProxyP2PClient::sendRequest(P2PRequest& request)
{
    if (m_role != roleClient || !m_client.get() || getState() != p2pClientOnline)
        return false;
    P2PServerInfo server;
    getServerInfo(server);
    return m_client->sendRequest(server, request, true);
}

bool CProxyP2PClient::sendResponse(const P2PResponse& response, int fd, const NATTraver::Address& to)
{
    if (m_role != roleDevice || !m_device.get())
        return false;
    return m_device->sendResponse(response, fd, to);
}

bool CProxyP2PClient::sendResponse(int cseq, int statusCode, const char* text)
{
    P2PResponse response;
    response.cseq = cseq;
    response.statusCode = statusCode;
    response.text = text ? text : "";
    return sendResponse(response, -1, NATTraver::Address());
}

bool CProxyP2PClient::updateDeviceInfo(const char* info)
{
    return m_device.get() && m_device->setDeviceInfo(info);
}

int CProxyP2PClient::getState()
{
    Infra::CMutexGuard guard(m_stateLock);
    return m_state;
}

void CProxyP2PClient::setState(int state)
{
    Infra::CMutexGuard guard(m_stateLock);
    m_state = state;
}

void CProxyP2PClient::getServerInfo(P2PServerInfo& server)
{
    Infra::CMutexGuard guard(m_serverLock);
    server = m_server;
}

bool CProxyP2PClient::popRequest(P2PRequest& request)
{
    Infra::CMutexGuard guard(m_requestLock);
    if (m_requests.empty())
        return false;
    request = m_requests.front();
    m_requests.pop_front();
    return true;
}

bool CProxyP2PClient::popResponse(P2PResponse& response)
{
    Infra::CMutexGuard guard(m_responseLock);
    if (m_responses.empty())
        return false;
    response = m_responses.front();
    m_responses.pop_front();
    return true;
}

void CProxyP2PClient::onEvent(int event)
{
    switch (event) {
    case 0:
        TOU_PRINT(printLevelTrace, "p2p client event destory! this[%p]\n", static_cast<void*>(this));
        m_destroyed = true;
        break;
    case 1:
        setState(p2pClientOnline);
        break;
    case 2:
        setState(p2pClientOffLine);
        break;
    case 3:
        setState(p2pClientUnauthorized);
        break;
    case 4:
        setState(p2pClientForbidden);
        break;
    default:
        setState(p2pClientInit);
        break;
    }
}

// Both queues are filled from the network; when nobody empties them, the oldest entries go.
void CProxyP2PClient::onRequest(const P2PRequest& request)
{
    Infra::CMutexGuard guard(m_requestLock);
    if (m_requests.size() >= kMaxQueued) {
        TOU_PRINT(printLevelWarn, "request queue full, drop CSeq[%d]\n", m_requests.front().cseq);
        m_requests.pop_front();
    }
    m_requests.push_back(request);
}

void CProxyP2PClient::onResponse(const P2PResponse& response)
{
    Infra::CMutexGuard guard(m_responseLock);
    if (m_responses.size() >= kMaxQueued)
        m_responses.pop_front();
    m_responses.push_back(response);
}

} // namespace Tou
} // namespace Orvan
