#include "ProxyP2P/LinkThroughServer.h"

#include "LinkThrough/MultiStunClient.h"
#include "LinkThrough/P2PMessageParser.h"
#include "P2PSDK/Print.h"
#include "Proxy/ProxyClientConfig.h"
#include "Proxy/ProxyServerConfig.h"

#include <cstdlib>
#include <cstring>

namespace Orvan {
namespace Tou {

namespace {

enum
{
    kStepMs = 10,
    kStunTimeoutMs = 10000
};

const char kDefaultUserName[] = "P2PDevice";

} // namespace

CLinkThroughServerImpl::CLinkThroughServerImpl(const std::string& host, int port, const std::string& key,
                                               const std::string& deviceId, const LinkResultProc& notify,
                                               const ProxyServerConfigPtr& config, const std::string& userName)
    : Infra::CThread("Link Through Server", 64, 0), m_proxyState(deviceProxyOffline),
      m_p2pClient(new CProxyP2PClient(CProxyP2PClient::roleDevice)), m_notify(notify), m_deviceId(deviceId),
      m_config(config)
{
    m_server.host = host;
    m_server.port = port;
    m_server.key = key;
    m_server.userName = userName.empty() ? kDefaultUserName : userName;
    if (!m_p2pClient->setDeviceInfo(m_server, m_deviceId, m_config))
        TOU_PRINT(printLevelError, "device registration for [%s] not made\n", m_deviceId.c_str());
    m_p2pClient->login();
    CMultiStunClient::instance()->setServerInfo(m_server);
    size_t n = std::min(host.size(), sizeof(m_stunConfig.server) - 1);
    std::memcpy(m_stunConfig.server, host.data(), n);
    m_stunConfig.server[n] = '\0';
    m_stunConfig.port = port;
    m_stunConfig.timeoutMs = kStunTimeoutMs;
    CreateThread();
}

CLinkThroughServerImpl::~CLinkThroughServerImpl()
{
    m_p2pClient->logout();
    if (isLooping())
        DestroyThread();
    {
        Infra::CMutexGuard guard(m_listLock);
        m_links.clear();
    }
    m_config.reset();
    m_p2pClient.reset();
}

void CLinkThroughServerImpl::threadProc()
{
    while (isLooping()) {
        step();
        sleepMs(kStepMs);
    }
}

void CLinkThroughServerImpl::step()
{
    dealP2PMessage();
    Infra::CMutexGuard guard(m_listLock);
    for (auto it = m_links.begin(); it != m_links.end();)
        it = (*it)->heartbeat() ? std::next(it) : m_links.erase(it);
}

int CLinkThroughServerImpl::getState()
{
    switch (m_p2pClient->getState()) {
    case p2pClientUnauthorized:
        m_proxyState = deviceProxyUnauthorized;
        break;
    case p2pClientForbidden:
        m_proxyState = deviceProxyForbidden;
        break;
    case p2pClientOnline:
        m_proxyState = deviceProxyOnline;
        break;
    default:
        m_proxyState = deviceProxyOffline;
        break;
    }
    return m_proxyState;
}

int CLinkThroughServerImpl::getChannelNum()
{
    Infra::CMutexGuard guard(m_listLock);
    return int(m_links.size());
}

bool CLinkThroughServerImpl::setConfig(unsigned option, int value)
{
    return m_config.get() && m_config->setConfig(option, value);
}

int CLinkThroughServerImpl::getConfig(unsigned option)
{
    return m_config.get() ? m_config->getConfig(option) : -1;
}

bool CLinkThroughServerImpl::setDeviceInfo(const char* info)
{
    return m_p2pClient->updateDeviceInfo(info);
}

void CLinkThroughServerImpl::dealP2PMessage()
{
    if (m_p2pClient->getState() == p2pClientInit)
        return;
    P2PRequest request;
    while (m_p2pClient->popRequest(request)) {
        if (request.path == "p2p-channel") {
            onP2PChannelHandler(request);
        } else if (request.path == "relay-channel") {
            TOU_PRINT(printLevelTrace, "ProxyServer Recv Relay Channel Request!\n");
            onRelayChannelHandler(request);
        } else if (request.path == "local-channel") {
            TOU_PRINT(printLevelTrace, "ProxyServer Recv Local Channel Request!\n");
            onLocalChannelHandler(request);
        } else {
            TOU_PRINT(printLevelError, "unkown p2p message type:[%s]\n", request.path.c_str());
        }
    }
    P2PResponse response;
    while (m_p2pClient->popResponse(response))
        TOU_PRINT(printLevelError, "unkown response:[%d:%s]\n", response.cseq, response.text.c_str());
}

CLinkThroughServerImpl::LinkPtr CLinkThroughServerImpl::createLink(const char* kind, int mediaType, int cseq)
{
    const bool portGuess = !m_config.get() || m_config->getConfig(proxyOptPortGuess) > 0;
    const bool multiHolePunch = !m_config.get() || m_config->getConfig(proxyOptMultiHolePunch) > 0;
    LinkPtr link = std::make_shared<CP2PLinkThroughServer>(linkOwnerOf(m_p2pClient), m_p2pClient.get(), m_deviceId,
                                                           m_notify, portGuess, multiHolePunch, mediaType, cseq);
    TOU_PRINT(printLevelTrace, "%s create P2PLinkThroughServerPtr[%p]\r\n", kind, static_cast<void*>(link.get()));
    return link;
}

void CLinkThroughServerImpl::onP2PChannelHandler(const P2PRequest& request)
{
    NATTraver::CandidateAddr remote;
    std::memset(&remote, 0, sizeof(remote));
    if (!CP2PMessageParser().parseCandidate(request.fields, remote)) {
        TOU_PRINT(printLevelWarn, "drop p2p-channel request[%d]: no candidate\n", request.cseq);
        return;
    }
    const int mediaType = mediaTypeOf(request.fields);
    auto version = request.fields.find("version");
    if (version != request.fields.end())
        TOU_PRINT(printLevelTrace, "ProxyChannel find client version:%s\n", version->second.c_str());
    LinkPtr link = createLink("P2P", mediaType, request.cseq);
    link->setRemoteValueT(valueTOf(request.fields));
    link->setLocalValueT(CMultiStunClient::instance()->getValueT());
    if (version != request.fields.end())
        link->setPeerVersion(version->second);
    m_p2pClient->sendResponse(request.cseq, 100, "Trying");
    link->setStunConfig(m_stunConfig);
    link->setRemoteCandidateAddr(remote);
    Infra::CMutexGuard guard(m_listLock);
    m_links.push_back(link);
}

void CLinkThroughServerImpl::onRelayChannelHandler(const P2PRequest& request)
{
    RelayAgentInfo agent;
    auto field = request.fields.find("agentAddr");
    if (field != request.fields.end())
        CP2PMessageParser().parseAgentAddr(field->second, agent);
    TOU_PRINT(printLevelTrace, "RelayChannel AgentAddr[%s:%d]\n", agent.host.c_str(), agent.port);
    LinkPtr link = createLink("Relay", mediaTypeOf(request.fields), request.cseq);
    auto version = request.fields.find("version");
    if (version != request.fields.end())
        link->setPeerVersion(version->second);
    link->setRelayAgentAddr(agent.host, agent.port);
    Infra::CMutexGuard guard(m_listLock);
    m_links.push_back(link);
}

void CLinkThroughServerImpl::onLocalChannelHandler(const P2PRequest& request)
{
    LinkPtr link = createLink("Local", 0, request.cseq);
    link->onLocalRequest(request);
    Infra::CMutexGuard guard(m_listLock);
    m_links.push_back(link);
}

} // namespace Tou
} // namespace Orvan
