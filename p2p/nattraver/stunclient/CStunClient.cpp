// STUN Binding from the caller's socket: resends every tenth of the time limit, takes the first
// answer that belongs to one of its requests and comes from the server.
#include "nattraver/stunclient/CStunClient.h"

#include "Component/ComPtr.h"
#include "Infra3/Error.h"
#include "Infra3/Thread.h"
#include "Infra3/Time.h"
#include "P2PSDK/Print.h"

#include <algorithm>
#include <cstring>

namespace Orvan {
namespace NATTraver {

StunConfig::StunConfig() : fd(-1), port(3478), async(0), timeoutMs(10000), userData(0), invert(0)
{
    server[0] = '\0';
}

bool IStunClient::setConfig(const StunConfig&)
{
    Infra::setLastError(Component::errorNotSupported);
    return false;
}

bool IStunClient::sendBindingRequest()
{
    Infra::setLastError(Component::errorNotSupported);
    return false;
}

CStunClient::CFactory& CStunClient::factory()
{
    static CFactory instance;
    return instance;
}

Component::TComPtr<IStunClient> createStunClient()
{
    CStunClient::factory();
    Component::IClient* client = nullptr;
    auto* f = dynamic_cast<IStunClient::IFactory*>(
        Component::getComponentFactory("StunClient", "Local", Component::localServer, client));
    if (!f)
        return Component::TComPtr<IStunClient>();
    return Component::TComPtr<IStunClient>(f->create(), client);
}

CStunClient::CStunClient() : m_state(stateIdle), m_startTick(0), m_lastRequestTick(0)
{
    std::memset(&m_result, 0, sizeof(m_result));
}

CStunClient::~CStunClient()
{
    while (state() >= stateBinding)
        Infra::CThread::sleepMs(10);
    m_driver.stop();
    TOU_PRINT(Tou::printLevelInfo, "CStunClient::~CStunClient()[%p] !!!\n", static_cast<void*>(this));
}

void CStunClient::getVersion(Infra::VersionInfo& info)
{
    info = Infra::VersionInfo("StunClient", 1, 1, 1, "$Version$", "Jan 13 2017");
}

int CStunClient::state()
{
    Infra::CMutexGuard guard(m_lock);
    return m_state;
}

void CStunClient::setState(int state)
{
    Infra::CMutexGuard guard(m_lock);
    m_state = state;
}

bool CStunClient::setConfig(const StunConfig& config)
{
    Infra::CMutexGuard guard(m_lock);
    if (m_state >= stateBinding) {
        TOU_PRINT(Tou::printLevelError, "StunClient is on binding!\n");
        return false;
    }
    if (config.fd == 0) {
        TOU_PRINT(Tou::printLevelError, "CStunClient::setConfig fd is error!\n");
        return false;
    }
    m_config = config;
    m_config.server[sizeof(m_config.server) - 1] = '\0';
    m_config.timeoutMs = std::min(config.timeoutMs, 10000);
    m_socket = SocketPtr(new Socket(config.fd, false));
    m_socket->setConnected(true);
    uint8_t noIdentify[8] = {};
    m_link.reset(new CSCLink(m_socket, noIdentify));
    m_server = Address(m_config.server, m_config.port);
    m_state = stateConfigured;
    return true;
}

bool CStunClient::sendBindingRequest()
{
    {
        Infra::CMutexGuard guard(m_lock);
        if (m_state >= stateBinding) {
            TOU_PRINT(Tou::printLevelWarn, "StunClient is on binding!\n");
            return false;
        }
        if (m_config.handler.empty()) {
            TOU_PRINT(Tou::printLevelError, "CStunClient::sendBindingRequest NOT set Handler!\n");
            return false;
        }
        m_state = stateBinding;
        m_lastRequestTick = 0;
        m_startTick = Infra::CTime::getTickCountMs();
        m_sentIds.clear();
    }
    if (m_config.async) {
        m_driver.attach(NATEvent(&CStunClient::heartbeat, this));
        m_driver.start();
        return true;
    }
    bool mapped = false;
    for (;;) {
        int before = state();
        heartbeat(Infra::CTime::getTickCountMs());
        if (before == stateMapped)
            mapped = true;
        if (state() == stateIdle)
            return mapped;
        Infra::CThread::sleepMs(10);
    }
}

void CStunClient::sendRequest()
{
    CStunMSG msg;
    msg.createBindingRequest();
    msg.addSoftware("orvanstunclient");
    std::array<uint8_t, 12> id;
    msg.getMessageId(id.data());
    if (m_link->send(msg, m_server, m_config.invert != 0) < 0) {
        TOU_PRINT(Tou::printLevelError, "CStunClient::sendBindingRequest: send error!\n");
        setState(stateSendFailed);
        return;
    }
    if (m_sentIds.size() >= 64)
        m_sentIds.erase(m_sentIds.begin());
    m_sentIds.push_back(id);
}

bool CStunClient::acceptAnswer(const CStunMSG& msg, const Address& from)
{
    if (msg.getType() != stunBindingResponse || from != m_server)
        return false;
    std::array<uint8_t, 12> id;
    msg.getMessageId(id.data());
    return std::find(m_sentIds.begin(), m_sentIds.end(), id) != m_sentIds.end();
}

void CStunClient::readResponses()
{
    uint8_t buffer[kStunDatagramMax];
    for (;;) {
        Address from;
        int n = m_link->receive(buffer, sizeof(buffer), from, m_config.invert != 0);
        if (n <= 0)
            return;
        CStunMSG msg;
        if (msg.parse(buffer, n) != 0)
            continue;
        if (!acceptAnswer(msg, from))
            continue; // not an answer to our requests: a peer's message or a stray
        Address mapped;
        // Servers may send only the XOR form (RFC 5389); the plain one is the fallback.
        if (!msg.getXorMappedAddress(mapped) && !msg.getMappedAddress(mapped))
            return;
        if (mapped.isIpv6()) {
            TOU_PRINT(Tou::printLevelError, "CStunClient::dealMappedAddress inet_ntop error!\n");
            return;
        }
        std::snprintf(m_result.ip, sizeof(m_result.ip), "%s", mapped.getIp());
        m_result.port = mapped.getPort();
        m_result.fd = m_socket->getFd();
        setState(stateMapped);
        return;
    }
}

bool CStunClient::heartbeat(uint64_t now)
{
    int current = state();
    if (current == stateBinding) {
        if (now - m_startTick > uint64_t(m_config.timeoutMs))
            setState(stateTimedOut);
        else if (now - m_lastRequestTick > uint64_t(m_config.timeoutMs / 10)) {
            sendRequest();
            m_lastRequestTick = now;
        }
        if (state() == stateBinding)
            readResponses();
        return true;
    }
    if (current == stateMapped) {
        StunResult result = m_result;
        m_config.handler(true, result, m_config.userData);
    } else if (current == stateSendFailed || current == stateTimedOut) {
        StunResult result = {};
        result.fd = m_socket->getFd();
        std::strcpy(result.ip, "0.0.0.0");
        m_config.handler(false, result, m_config.userData);
    }
    setState(stateIdle);
    TOU_PRINT(Tou::printLevelInfo, "CStunClient::~leave()[%p] !!!\n", static_cast<void*>(this));
    return false;
}

} // namespace NATTraver
} // namespace Orvan
