#include "LinkThrough/MultiStunClient.h"

#include "Infra3/Time.h"
#include "P2PSDK/HttpMessage.h"
#include "P2PSDK/Print.h"
#include "nattraver/iceagent/IceAgent.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace Orvan {
namespace Tou {

namespace {

enum
{
    kRecvBufferBytes = 2048,
    kDefaultLinkSwitchSpaceMs = 120000
};

// Dotted IPv4 address of a host text; empty when it does not resolve.
std::string resolveIpv4(const std::string& host)
{
    if (host.empty() || host.size() > 255)
        return std::string();
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || !result)
        return std::string();
    char text[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr, text, sizeof(text));
    freeaddrinfo(result);
    return text;
}

// A whole answer of the protocol with its body fields; false when it is not one.
bool parseAnswer(const char* text, int& status, FieldMap& fields)
{
    HttpMessage msg;
    if (parseHttpMessage(&msg, text, int(std::strlen(text))) <= 0 || msg.kind != kHttpResponse)
        return false;
    status = msg.status;
    if (msg.contentLength <= 0 || !msg.body)
        return false;
    std::string body(msg.body, size_t(msg.contentLength));
    parseXmlBody(body.c_str(), fields);
    return true;
}

SocketPtr newProbeSocket()
{
    SocketPtr socket(new Socket(true));
    if (socket->bind(Address("0.0.0.0", 0)) != 0)
        TOU_PRINT(printLevelError, "bind multi stun socket failed\n");
    return socket;
}

} // namespace

CMultiStunClient* CMultiStunClient::instance()
{
    static CMultiStunClient* prober = new CMultiStunClient; // lives until the process ends
    return prober;
}

CMultiStunClient::CMultiStunClient()
    : Infra::CThread("multi stun client thread"), m_socket(newProbeSocket()), m_valueT(NATTraver::kValueTUnknown),
      m_stunIp("0.0.0.0"), m_state(stateIdle), m_roundStart(0), m_retryInterval(0), m_resendAt(0),
      m_lastProcRun(0), m_linkSwitchSpace(kDefaultLinkSwitchSpaceMs)
{
    CreateThread();
    TOU_PRINT(printLevelTrace, "Construct CMultiStunClient\n");
}

CMultiStunClient::~CMultiStunClient()
{
    DestroyThread();
    TOU_PRINT(printLevelTrace, "~Destruct CMultiStunClient\n");
}

void CMultiStunClient::setServerInfo(const P2PServerInfo& server)
{
    Infra::CMutexGuard guard(m_stateLock);
    if (&server != &m_server)
        m_server = server;
    m_state = stateAskServer;
}

void CMultiStunClient::setLinkSwitchSpace(int64_t ms)
{
    Infra::CMutexGuard guard(m_procLock);
    m_linkSwitchSpace = ms;
}

bool CMultiStunClient::addTimedProc(int64_t key, const TimedProc& proc)
{
    Infra::CMutexGuard guard(m_procLock);
    return m_procs.emplace(key, proc).second;
}

void CMultiStunClient::removeTimedProc(const TimedProc& proc)
{
    Infra::CMutexGuard guard(m_procLock);
    for (auto it = m_procs.begin(); it != m_procs.end(); ++it)
        if (it->second == proc) {
            m_procs.erase(it);
            return;
        }
}

void CMultiStunClient::setState(int state)
{
    Infra::CMutexGuard guard(m_stateLock);
    m_state = state;
}

int CMultiStunClient::getState()
{
    Infra::CMutexGuard guard(m_stateLock);
    return m_state;
}

std::string CMultiStunClient::stunIp()
{
    Infra::CMutexGuard guard(m_stateLock);
    return m_stunIp;
}

std::vector<int> CMultiStunClient::probePorts()
{
    Infra::CMutexGuard guard(m_stateLock);
    return m_probePorts;
}

void CMultiStunClient::threadProc()
{
    while (isLooping()) {
        uint64_t now = Infra::CTime::getTickCountMs();
        processState(now);
        runTimedProcs(now);
        sleepMs(100);
    }
}

void CMultiStunClient::processState(uint64_t now)
{
    recvMessage(now);
    switch (getState()) {
    case stateAskServer:
        sendServerRequest(now);
        break;
    case stateWaitServer:
        onWaitServerInfo(now);
        break;
    case stateSendProbes:
        sendStunProbes(now);
        break;
    case stateWaitProbes:
        onWaitNatInfo(now);
        break;
    case stateCalculate:
        calculateValueT();
        break;
    case stateWaitNextRound:
        onWaitNextRound(now);
        break;
    default:
        break;
    }
}

void CMultiStunClient::recvMessage(uint64_t now)
{
    // One byte more than a datagram may have: a datagram that fills it was cut and is dropped.
    char buffer[kRecvBufferBytes + 1];
    for (;;) {
        SocketPtr socket;
        std::string serverHost;
        std::string stunIp;
        {
            Infra::CMutexGuard guard(m_stateLock);
            socket = m_socket;
            serverHost = m_server.host;
            stunIp = m_stunIp;
        }
        Address sender;
        int n = socket->recvFrom(buffer, sizeof(buffer), sender, 0);
        if (n <= 0)
            return;
        if (n > kRecvBufferBytes - 1)
            continue;
        buffer[n] = '\0';
        const char* from = sender.getIp() ? sender.getIp() : "";
        const int state = getState();
        if (serverHost == from && state == stateWaitServer) {
            if (!dealServerMessage(buffer, now))
                TOU_PRINT(printLevelWarn, "Parse Server Message Failed, Wrong Message:\n%s\n", buffer);
        } else if (stunIp == from && state == stateWaitProbes) {
            if (!dealStunMessage(buffer))
                TOU_PRINT(printLevelWarn, "Parse Stun Message Failed, Wrong Message:\n%s\n", buffer);
        }
    }
}

void CMultiStunClient::sendServerRequest(uint64_t now)
{
    static const char request[] = "ZRGET /online/stun HTTP/1.1\r\n\r\n";
    P2PServerInfo server;
    {
        Infra::CMutexGuard guard(m_stateLock);
        server = m_server;
    }
    m_socket->sendTo(request, int(sizeof(request) - 1), Address(server.host.c_str(), server.port));
    m_retryInterval = m_retryInterval == 0 ? 100 : std::min<uint64_t>(m_retryInterval * 2, kMaxServerRetryMs);
    m_resendAt = now + m_retryInterval;
    setState(stateWaitServer);
}

void CMultiStunClient::onWaitServerInfo(uint64_t now)
{
    if (now > m_resendAt)
        setState(stateAskServer);
}

bool CMultiStunClient::dealServerMessage(const char* text, uint64_t now)
{
    int status = 0;
    FieldMap fields;
    if (!parseAnswer(text, status, fields) || status != 200)
        return false;
    auto stun = fields.find("STUN");
    auto portNum = fields.find("PortNum");
    if (stun == fields.end() || portNum == fields.end())
        return false;
    size_t colon = stun->second.find(':');
    if (colon == std::string::npos || colon + 1 >= stun->second.size())
        return false;
    std::string ip = resolveIpv4(stun->second.substr(0, colon));
    if (ip.empty())
        return false;
    long count = std::strtol(portNum->second.c_str(), nullptr, 10);
    long base = std::strtol(stun->second.c_str() + colon + 1, nullptr, 10);
    // Ports outside the port range or a count beyond the cap are not probed.
    count = std::max(0L, std::min<long>(count, kMaxProbePorts));
    if (base <= 0 || base > 65535)
        count = 0;
    count = std::min(count, 65536 - base);
    {
        Infra::CMutexGuard guard(m_stateLock);
        m_stunIp = ip;
        m_probePorts.clear();
        for (long i = 0; i < count; ++i)
            m_probePorts.push_back(int(base + i));
    }
    TOU_PRINT(printLevelWarn, "StunIP:%s, StunPort:%d, PortNum:%d\n", ip.c_str(), int(base), int(count));
    resetProbeRound();
    setState(stateSendProbes);
    m_roundStart = now;
    return true;
}

void CMultiStunClient::resetProbeRound()
{
    SocketPtr fresh = newProbeSocket();
    Infra::CMutexGuard guard(m_stateLock);
    m_socket = fresh;
    m_pending.clear();
    int first = generateRandomId();
    for (size_t i = 0; i < m_probePorts.size(); ++i)
        m_pending[m_probePorts[i]] = int(unsigned(first) + unsigned(i)); // wraps like the sender's counter
    m_retryInterval = 0;
}

void CMultiStunClient::sendStunProbes(uint64_t now)
{
    for (const auto& probe : m_pending) {
        FieldMap fields;
        fields["seq"] = std::to_string(probe.second);
        fields["replacePort"] = "0";
        fields["replaceHost"] = "0";
        std::string body;
        buildXmlBody(fields, body);
        std::string text = "GET /p2p/stun/probe HTTP/1.1\r\nContent-Type: \r\nContent-Length: " +
                           std::to_string(body.size()) + "\r\n\r\n" + body;
        m_socket->sendTo(text.data(), int(text.size()), Address(m_stunIp.c_str(), probe.first));
    }
    m_retryInterval = m_retryInterval == 0 ? 100 : m_retryInterval * 2;
    m_resendAt = now + m_retryInterval;
    setState(stateWaitProbes);
}

void CMultiStunClient::onWaitNatInfo(uint64_t now)
{
    if (now > m_roundStart + kProbeWindowMs) {
        TOU_PRINT(printLevelError, "Http stun timeout\n");
        setState(stateCalculate);
        return;
    }
    if (now > m_resendAt)
        setState(stateSendProbes);
}

bool CMultiStunClient::dealStunMessage(const char* text)
{
    int status = 0;
    FieldMap fields;
    if (!parseAnswer(text, status, fields) || status != 200)
        return false;
    if (!fields.count("ip") || !fields.count("port") || !fields.count("seq"))
        return false;
    int seq = std::atoi(fields["seq"].c_str());
    int natPort = std::atoi(fields["port"].c_str());
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
        if (it->second == seq) {
            m_natPorts.push_back(natPort);
            m_pending.erase(it);
            TOU_PRINT(printLevelTrace, "NAT Port: %d\n", natPort);
            break;
        }
    if (m_natPorts.size() >= m_probePorts.size())
        setState(stateCalculate);
    return true;
}

int CMultiStunClient::calculateValueT(std::vector<int> natPorts, int keep)
{
    if (natPorts.size() < 2)
        return keep;
    std::sort(natPorts.begin(), natPorts.end());
    long smallest = LONG_MAX;
    for (size_t i = 1; i < natPorts.size(); ++i)
        smallest = std::min(smallest, long(natPorts[i]) - long(natPorts[i - 1]));
    return smallest <= 9 ? int(smallest) : 1;
}

void CMultiStunClient::calculateValueT()
{
    if (m_natPorts.size() >= 2) {
        m_valueT = calculateValueT(m_natPorts, m_valueT);
        TOU_PRINT(printLevelTrace, "Value T is %d\n", int(m_valueT));
    }
    m_natPorts.clear();
    m_roundStart += kRoundIntervalMs;
    setState(stateWaitNextRound);
}

void CMultiStunClient::onWaitNextRound(uint64_t now)
{
    if (now > m_roundStart) {
        resetProbeRound();
        setState(stateSendProbes);
        m_roundStart = now;
    }
}

void CMultiStunClient::runTimedProcs(uint64_t)
{
    Infra::CMutexGuard guard(m_procLock);
    if (m_procs.empty())
        return;
    // The spacing counts from when a procedure really ran: the turn's own time can be late.
    const uint64_t now = Infra::CTime::getTickCountMs();
    // Ticks count from the process start: a run at tick 0 is a run too.
    if (m_procRan && int64_t(now - m_lastProcRun) <= m_linkSwitchSpace)
        return;
    auto first = m_procs.begin();
    TimedProc proc = first->second;
    m_procs.erase(first);
    m_lastProcRun = now;
    m_procRan = true;
    proc();
}

} // namespace Tou
} // namespace Orvan
