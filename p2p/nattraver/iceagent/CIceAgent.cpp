// ICE agent: plans its checks from the NAT Value T of both sides and stops at the first check that
// completes SYN, SYN-ACK, ACK.
#include "nattraver/iceagent/CIceAgent.h"

#include "Infra3/Error.h"
#include "Infra3/Time.h"
#include "P2PSDK/Print.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Orvan {
namespace NATTraver {

namespace {

std::atomic<int> g_defaultRange{16};
std::atomic<int> g_coneVsSymmRange{400};
std::atomic<int> g_symmVsSymmRange{16};
Infra::CMutex g_budgetLock;
int g_curSessionNum = 0;

// Guessed ports wrap into 1024..65535; real candidate ports are kept as they are.
int wrapGuessedPort(int port)
{
    return std::abs(port - 1024) % 64512 + 1024;
}

bool isMarker(int v)
{
    return v == kValueTUnknown || v == kValueTNoGuess || v == kValueTOldFlow;
}

} // namespace

void setIceDefaultRange(int range) { g_defaultRange = range; }
void setIceConeVsSymmRange(int range) { g_coneVsSymmRange = range; }
void setIceSymmVsSymmRange(int range) { g_symmVsSymmRange = range; }
int getIceDefaultRange() { return g_defaultRange; }
int getIceConeVsSymmRange() { return g_coneVsSymmRange; }
int getIceSymmVsSymmRange() { return g_symmVsSymmRange; }

int iceReservedSessions()
{
    Infra::CMutexGuard guard(g_budgetLock);
    return g_curSessionNum;
}

bool IICEAgent::setConfig(const CandidateAddr&)
{
    Infra::setLastError(Component::errorNotSupported);
    return false;
}
bool IICEAgent::setConnInfoHandler(const ConnInfoHandler&, int)
{
    Infra::setLastError(Component::errorNotSupported);
    return false;
}
bool IICEAgent::startConnectCheck()
{
    Infra::setLastError(Component::errorNotSupported);
    return false;
}
bool IICEAgent::setInvertMode()
{
    Infra::setLastError(Component::errorNotSupported);
    return false;
}

bool IICEAgent::generateID(uint8_t* buffer, int length)
{
    if (!buffer || length < 8) {
        TOU_PRINT(Tou::printLevelError, "<ICE>CICEAgent::generateID len mast >= 8!\n");
        return false;
    }
    for (int i = 0; i < length; ++i)
        buffer[i] = uint8_t(std::rand() % 255);
    return true;
}

CICEAgent::CFactory& CICEAgent::factory()
{
    static CFactory instance;
    return instance;
}

Component::TComPtr<IICEAgent> createIceAgent()
{
    CICEAgent::factory();
    Component::IClient* client = nullptr;
    auto* f = dynamic_cast<IICEAgent::IFactory*>(
        Component::getComponentFactory("ICEAgent", "Local", Component::localServer, client));
    if (!f)
        return Component::TComPtr<IICEAgent>();
    return Component::TComPtr<IICEAgent>(f->create(), client);
}

CICEAgent::CICEAgent()
    : m_state(stateIdle), m_userData(0), m_nextIndex(0), m_invert(false), m_maxSessionNum(800), m_quota(0)
{
    std::memset(&m_config, 0, sizeof(m_config));
    std::memset(&m_connInfo, 0, sizeof(m_connInfo));
    int cs = g_coneVsSymmRange, ss = g_symmVsSymmRange;
    m_coneVsSymmTimeout = cs * 40 + 2000;
    m_symmVsSymmTimeout = int(std::lround(ss * (ss + 1) / 2.0)) * 40 + 2000;
}

CICEAgent::~CICEAgent()
{
    m_driver.stop();
    {
        Infra::CMutexGuard guard(g_budgetLock);
        g_curSessionNum -= m_quota;
    }
    TOU_PRINT(Tou::printLevelInfo, "<ICE> CICEAgent::~CICEAgent() this [%p]!!!\n", static_cast<void*>(this));
}

void CICEAgent::getVersion(Infra::VersionInfo& info)
{
    info = Infra::VersionInfo("ICEAgent", 1, 1, 1, "$Version$", "Jan 13 2017");
}

int CICEAgent::state()
{
    Infra::CMutexGuard guard(m_stateLock);
    return m_state;
}

void CICEAgent::setState(int state)
{
    Infra::CMutexGuard guard(m_stateLock);
    m_state = state;
}

int CICEAgent::socketCount()
{
    Infra::CMutexGuard guard(m_lock);
    return int(m_sockets.size());
}

bool CICEAgent::reserve(int sessions)
{
    Infra::CMutexGuard guard(g_budgetLock);
    if (m_maxSessionNum < g_curSessionNum + 256 + sessions) {
        TOU_PRINT(Tou::printLevelError, "Too many sessions, curSessionNum: %d, maxSessionNum: %d\n", g_curSessionNum,
                  m_maxSessionNum);
        m_config.localValueT = kValueTUnknown; // falls back to the old flow
        return false;
    }
    g_curSessionNum += sessions;
    m_quota += sessions;
    return true;
}

void CICEAgent::openExtraSockets(int count)
{
    Address any("0.0.0.0", 0);
    for (int i = 0; i < count; ++i) {
        SocketPtr socket(new Socket(true));
        if (socket->bind(any) != 0)
            TOU_PRINT(Tou::printLevelError, "<ICE> bind of extra socket %d failed\n", i + 1);
        m_sockets.push_back(socket);
        m_links.push_back(std::make_shared<CSCLink>(socket, m_config.localIdentify));
    }
}

bool CICEAgent::setConfig(const CandidateAddr& config)
{
    if (state() >= stateChecking) {
        TOU_PRINT(Tou::printLevelError, "CICEAgent::setConfig have already setConfig!\n");
        return false;
    }
    Infra::CMutexGuard guard(m_lock);
    m_config = config;
    m_config.checkTimeoutMs = std::min(config.checkTimeoutMs, 10000);
    m_config.count = std::max(0, std::min(config.count, int(CandidateAddr::kMaxAddresses)));
    for (CandidateEntry& e : m_config.addresses)
        e.ip[sizeof(e.ip) - 1] = '\0';
    m_sockets.clear();
    m_links.clear();
    SocketPtr socket0(new Socket(config.fd, false));
    m_sockets.push_back(socket0);
    m_links.push_back(std::make_shared<CSCLink>(socket0, m_config.localIdentify));

    int L = m_config.localValueT, R = m_config.remoteValueT;
    int cs = g_coneVsSymmRange, ss = g_symmVsSymmRange;
    if (R == kValueTUnknown || isMarker(L))
        return true;
    if (L == 0 && R > 0)
        return reserve(cs);
    if (L > 0 && R > 0) {
        if (!reserve(int(std::lround(ss * (ss + 1) / 2.0))))
            return false;
        openExtraSockets(ss);
        return true;
    }
    if (L > 0 && R == 0) {
        if (!reserve(cs))
            return false;
        openExtraSockets(cs);
        return true;
    }
    return true;
}

bool CICEAgent::setConnInfoHandler(const ConnInfoHandler& handler, int userData)
{
    if (state() > stateIdle) {
        TOU_PRINT(Tou::printLevelError, "CICEAgent::setConnInfoHandler have already set ConnectionInfoHandler!\n");
        return false;
    }
    m_handler = handler;
    m_userData = userData;
    return true;
}

bool CICEAgent::setInvertMode()
{
    m_invert = true;
    return true;
}

void CICEAgent::candidateSessions(std::vector<IcePlanEntry>& plan, int timeoutMs)
{
    for (int i = 0; i < m_config.count; ++i)
        if (m_config.addresses[i].ip[0])
            plan.push_back({0, m_config.addresses[i].ip, m_config.addresses[i].port, timeoutMs});
}

void CICEAgent::oldFlowPlan(std::vector<IcePlanEntry>& plan)
{
    candidateSessions(plan, m_config.checkTimeoutMs);
    if (m_config.count <= 0)
        return;
    const CandidateEntry& pub = m_config.addresses[m_config.count - 1];
    int range = g_defaultRange;
    std::vector<std::string> localIps;
    Address::getLocalIP(localIps);
    bool publicIsLocal = std::find(localIps.begin(), localIps.end(), pub.ip) != localIps.end();
    Address local;
    int localPort = m_sockets[0]->getLocalAddress(local) == 0 ? local.getPort() : -1;
    std::vector<bool> drawn(size_t(std::max(range, 0)), false);
    for (int left = range; left > 0;) {
        int offset = std::rand() % range;
        if (drawn[size_t(offset)])
            continue;
        drawn[size_t(offset)] = true;
        --left;
        int port = wrapGuessedPort(pub.port + 1 + offset);
        if (publicIsLocal && port == localPort) {
            TOU_PRINT(Tou::printLevelError, "CICEAgent::detectLocal: detect same IP and same Port!\n");
            continue;
        }
        plan.push_back({0, pub.ip, port, m_config.checkTimeoutMs});
    }
}

void CICEAgent::coneVsSymmetricPlan(std::vector<IcePlanEntry>& plan)
{
    candidateSessions(plan, m_coneVsSymmTimeout);
    if (m_config.count <= 0)
        return;
    const CandidateEntry& pub = m_config.addresses[m_config.count - 1];
    const int N = g_coneVsSymmRange, P = pub.port;
    const int below = int(0.05 * N), above = int(0.15 * N), rounds = int(0.4 * N);
    std::vector<int> pool;
    pool.reserve(65534 - 1024 + 1);
    for (int port = 1024; port <= 65534; ++port)
        if (port < P - below || port > P + above)
            pool.push_back(port);
    int n = int(pool.size());
    for (int i = 1; i <= rounds; ++i) {
        if (i <= below)
            plan.push_back({0, pub.ip, wrapGuessedPort(P - i), m_coneVsSymmTimeout});
        if (i <= above)
            plan.push_back({0, pub.ip, wrapGuessedPort(P + i), m_coneVsSymmTimeout});
        if (n < 2)
            continue;
        n -= 2;
        int r = n > 0 ? std::rand() % n : 0;
        int a = pool[size_t(r)], b = pool[size_t(n - 1 - r < 0 ? 0 : n - 1 - r)];
        plan.push_back({0, pub.ip, a, m_coneVsSymmTimeout});
        plan.push_back({0, pub.ip, b, m_coneVsSymmTimeout});
        pool[size_t(r)] = pool[size_t(n)];
        if (n - 1 - r >= 0)
            pool[size_t(n - 1 - r)] = pool[size_t(n + 1)];
    }
}

std::vector<IcePlanEntry> CICEAgent::getSessionConfig()
{
    Infra::CMutexGuard guard(m_lock);
    std::vector<IcePlanEntry> plan;
    int L = m_config.localValueT, R = m_config.remoteValueT;
    const CandidateEntry* pub = m_config.count > 0 ? &m_config.addresses[m_config.count - 1] : nullptr;
    if (L == kValueTNoGuess || R == kValueTNoGuess) {
        TOU_PRINT(Tou::printLevelWarn, "ICE without guess port\n");
        candidateSessions(plan, m_config.checkTimeoutMs);
    } else if ((L == 0 && R == 0) || L == kValueTUnknown || R == kValueTUnknown || L == kValueTOldFlow ||
               R == kValueTOldFlow) {
        TOU_PRINT(Tou::printLevelWarn, "ICE, Old flow\n");
        oldFlowPlan(plan);
    } else if (L == 0 && R > 0) {
        TOU_PRINT(Tou::printLevelWarn, "ICE, Cone vs Symmetric\n");
        coneVsSymmetricPlan(plan);
    } else if (L > 0 && R == 0) {
        TOU_PRINT(Tou::printLevelWarn, "ICE, Symmetric vs Cone\n");
        candidateSessions(plan, m_coneVsSymmTimeout);
        for (int idx = 1; pub && idx < int(m_sockets.size()); ++idx)
            plan.push_back({idx, pub->ip, pub->port, m_coneVsSymmTimeout});
    } else if (L > 0 && R > 0) {
        TOU_PRINT(Tou::printLevelWarn, "ICE, Symmetric vs Symmetric\n");
        int ss = g_symmVsSymmRange;
        for (int j = 1; pub && j <= ss; ++j) {
            long long k = (long long)j * (j + 1) / 2;
            int port = wrapGuessedPort(int((pub->port + k * L) % 0x7fffffff));
            for (int idx = 1; idx <= j && idx < int(m_sockets.size()); ++idx)
                plan.push_back({idx, pub->ip, port, m_symmVsSymmTimeout});
        }
        candidateSessions(plan, m_symmVsSymmTimeout);
    }
    return plan;
}

void CICEAgent::addSession(int socketIndex, const Address& remote, int timeoutMs, uint64_t now)
{
    int index = m_nextIndex++;
    m_sessions[index] =
        std::make_shared<CICESession>(remote, socketIndex, m_links[size_t(socketIndex)], index, timeoutMs, m_invert, now);
    const char* ip = remote.getIp();
    if (ip)
        m_remoteIps.insert(ip);
}

bool CICEAgent::startConnectCheck()
{
    if (m_handler.empty()) {
        TOU_PRINT(Tou::printLevelError, "<ICE> ConnectionInfoHandler not set!\n");
        return false;
    }
    if (state() > stateIdle) {
        TOU_PRINT(Tou::printLevelError, "<ICE> ice is running!\n");
        return false;
    }
    std::vector<IcePlanEntry> plan = getSessionConfig();
    setState(stateChecking);
    {
        Infra::CMutexGuard guard(m_lock);
        uint64_t now = Infra::CTime::getTickCountMs();
        for (const IcePlanEntry& e : plan)
            addSession(e.socketIndex, Address(e.ip.c_str(), e.port), e.timeoutMs, now);
        TOU_PRINT(Tou::printLevelWarn, "Session count: %d\n", int(m_sessions.size()));
    }
    m_driver.attach(NATEvent(&CICEAgent::heartbeat, this));
    m_driver.start();
    return true;
}

void CICEAgent::checkSessions(uint64_t now)
{
    Infra::CMutexGuard guard(m_lock);
    std::shared_ptr<CICESession> winner;
    for (auto& kv : m_sessions) {
        CICESession& s = *kv.second;
        if (s.state() != CICESession::stateConnected)
            s.heartbeat(now);
        if (s.state() == CICESession::stateConnected) {
            winner = kv.second;
            break;
        }
    }
    if (winner) {
        setState(stateConnected);
        const SocketPtr& socket = winner->link()->socket();
        m_connInfo.fd = socket->getFd();
        std::snprintf(m_connInfo.localIp, sizeof(m_connInfo.localIp), "%s",
                      winner->localCandidate().getIp() ? winner->localCandidate().getIp() : "");
        m_connInfo.localPort = uint16_t(winner->localCandidate().getPort());
        std::snprintf(m_connInfo.remoteIp, sizeof(m_connInfo.remoteIp), "%s",
                      winner->remote().getIp() ? winner->remote().getIp() : "");
        m_connInfo.remotePort = uint16_t(winner->remote().getPort());
        TOU_PRINT(Tou::printLevelWarn, "ConnInfo:fd[%d], lca[%s:%d], rca[%s:%d]\n", m_connInfo.fd, m_connInfo.localIp,
                  m_connInfo.localPort, m_connInfo.remoteIp, m_connInfo.remotePort);
        for (auto& kv : m_sessions)
            if (kv.second->state() <= CICESession::stateSynSent)
                kv.second->setState(CICESession::stateStopped);
        socket->setAutoClose(false); // the winning descriptor outlives the agent
    }
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = it->second->state() == CICESession::stateStopped ? m_sessions.erase(it) : std::next(it);
    if (m_sessions.empty() && !winner)
        setState(stateNoSession);
    if (!winner)
        receive(now);
}

void CICEAgent::receive(uint64_t now)
{
    uint8_t buffer[kStunDatagramMax];
    for (size_t idx = 0; idx < m_links.size(); ++idx) {
        Address from;
        int n = m_links[idx]->receive(buffer, sizeof(buffer), from, m_invert);
        if (n <= 0)
            continue;
        CStunMSG msg;
        if (msg.parse(buffer, n) != 0)
            continue;
        uint8_t identify[8];
        bool ours = (msg.getIceControlled(identify) || msg.getIceControlling(identify)) &&
                    std::memcmp(identify, m_config.peerIdentify, 8) == 0;
        if (!ours)
            continue; // not from the peer we were told about
        const char* ip = from.getIp();
        if (ip && !m_remoteIps.count(ip))
            addSession(int(idx), from, m_config.checkTimeoutMs, now);
        std::vector<std::shared_ptr<CICESession>> onSocket;
        for (auto& kv : m_sessions)
            if (kv.second->socketIndex() == int(idx))
                onSocket.push_back(kv.second);
        if (msg.getMethod() == stunBindingRequest && onSocket.size() > 1) {
            for (size_t i = 1; i < onSocket.size(); ++i)
                m_sessions.erase(onSocket[i]->index());
            onSocket.resize(1);
        }
        for (auto& s : onSocket)
            s->onMessage(msg, from);
    }
}

bool CICEAgent::heartbeat(uint64_t now)
{
    int current = state();
    if (current == stateChecking) {
        checkSessions(now);
        return true;
    }
    if (current == stateConnected) {
        ConnInfo info = m_connInfo;
        m_handler(true, &info, m_userData);
    } else if (current == stateFailed || current == stateNoSession) {
        ConnInfo none = {};
        m_handler(false, &none, m_userData);
    }
    setState(stateFinished);
    TOU_PRINT(Tou::printLevelInfo, "<ICE> heartbeat exit this[%p]!!!\n", static_cast<void*>(this));
    return false;
}

} // namespace NATTraver
} // namespace Orvan
