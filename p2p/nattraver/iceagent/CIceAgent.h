#ifndef ORVAN_NATTRAVER_CICEAGENT_H
#define ORVAN_NATTRAVER_CICEAGENT_H

#include "Infra3/Mutex.h"
#include "nattraver/iceagent/IceAgent.h"
#include "nattraver/iceagent/IceSession.h"
#include "nattraver/net/NATEventDriver.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Orvan {
namespace NATTraver {

// One planned check: from a local socket to a remote address.
struct IcePlanEntry
{
    int socketIndex;
    std::string ip;
    int port;
    int timeoutMs;
};

class CICEAgent : public IICEAgent
{
public:
    enum State
    {
        stateIdle = 0,
        stateChecking = 1,
        stateConnected = 6,
        stateFailed = 7,
        stateFinished = 8,
        stateNoSession = 9
    };

    class CFactory : public IICEAgent::IFactory
    {
    public:
        CFactory() { registerSelf("ICEAgent"); }
        ~CFactory() override { unregisterSelf("ICEAgent"); }
        const char* getClassID() override { return "Local"; }
        IICEAgent* create() override { return new CICEAgent; }
    };
    static CFactory& factory();

    CICEAgent();
    ~CICEAgent() override;

    void destroy() override { delete this; }
    void getVersion(Infra::VersionInfo& info) override;
    bool setConfig(const CandidateAddr& config) override;
    bool setConnInfoHandler(const ConnInfoHandler& handler, int userData) override;
    bool startConnectCheck() override;
    bool setInvertMode() override;

    // The check plan for the configured Value T pair.
    std::vector<IcePlanEntry> getSessionConfig();
    int socketCount();
    int state();
    int coneVsSymmTimeout() const { return m_coneVsSymmTimeout; }
    int symmVsSymmTimeout() const { return m_symmVsSymmTimeout; }

    bool heartbeat(uint64_t now);

private:
    bool reserve(int sessions);
    void openExtraSockets(int count);
    void candidateSessions(std::vector<IcePlanEntry>& plan, int timeoutMs);
    void oldFlowPlan(std::vector<IcePlanEntry>& plan);
    void coneVsSymmetricPlan(std::vector<IcePlanEntry>& plan);
    void addSession(int socketIndex, const Address& remote, int timeoutMs, uint64_t now);
    void checkSessions(uint64_t now);
    void receive(uint64_t now);
    void setState(int state);

    Infra::CMutex m_stateLock;
    int m_state;
    Infra::CMutex m_lock; // sockets, links and sessions
    CandidateAddr m_config;
    ConnInfo m_connInfo;
    ConnInfoHandler m_handler;
    int m_userData;
    std::vector<SocketPtr> m_sockets;
    std::vector<std::shared_ptr<CSCLink>> m_links;
    std::map<int, std::shared_ptr<CICESession>> m_sessions;
    std::set<std::string> m_remoteIps;
    int m_nextIndex;
    bool m_invert;
    int m_maxSessionNum;
    int m_quota;
    int m_coneVsSymmTimeout;
    int m_symmVsSymmTimeout;
    CNATEventDriver m_driver;
};

} // namespace NATTraver
} // namespace Orvan

#endif
