#ifndef ORVAN_TOU_MULTISTUNCLIENT_H
#define ORVAN_TOU_MULTISTUNCLIENT_H

#include "Infra3/Function.h"
#include "Infra3/Mutex.h"
#include "Infra3/Thread.h"
#include "P2PSDK/P2PClient.h"
#include "P2PSDK/UdpClient.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Orvan {
namespace Tou {

using TimedProc = Infra::TFunction0<void>;

// Measures how the local NAT allocates public ports ("Value T") by probing the P2P server's port-probing
// service from one socket, again every 180 s; and runs queued timed procedures one at a time, at most
// one per link-switch interval. One per process ("multi stun client thread").
class CMultiStunClient : public Infra::CThread
{
public:
    enum ProberState
    {
        stateIdle = 0,
        stateAskServer = 1,
        stateWaitServer = 2,
        stateSendProbes = 3,
        stateWaitProbes = 4,
        stateCalculate = 5,
        stateWaitNextRound = 6
    };
    enum
    {
        kRoundIntervalMs = 180000,
        kProbeWindowMs = 3000,
        kMaxServerRetryMs = 3000,
        kMaxProbePorts = 64 // a larger "PortNum" is cut to this
    };

    static CMultiStunClient* instance();

    // Tests make probers of their own; the stack uses instance().
    CMultiStunClient();
    ~CMultiStunClient() override;

    void setServerInfo(const P2PServerInfo& server);
    int getValueT() const { return m_valueT; }
    void setLinkSwitchSpace(int64_t ms);
    bool addTimedProc(int64_t key, const TimedProc& proc);
    void removeTimedProc(const TimedProc& proc);
    void setState(int state);
    int getState();

    // Value T of the public ports of one round: the smallest step between them (1 when above 9);
    // keep when fewer than two ports arrived.
    static int calculateValueT(std::vector<int> natPorts, int keep);

    // Diagnostics for tests: the probing service and the ports of the current round.
    std::string stunIp();
    std::vector<int> probePorts();

protected:
    void threadProc() override;

private:
    void processState(uint64_t now);
    void recvMessage(uint64_t now);
    void sendServerRequest(uint64_t now);
    void onWaitServerInfo(uint64_t now);
    bool dealServerMessage(const char* text, uint64_t now);
    void resetProbeRound();
    void sendStunProbes(uint64_t now);
    void onWaitNatInfo(uint64_t now);
    bool dealStunMessage(const char* text);
    void calculateValueT();
    void onWaitNextRound(uint64_t now);
    void runTimedProcs(uint64_t now);

    SocketPtr m_socket;
    std::atomic<int> m_valueT;
    P2PServerInfo m_server;
    std::string m_stunIp;
    std::vector<int> m_probePorts;
    Infra::CMutex m_stateLock;
    int m_state;
    uint64_t m_roundStart;
    uint64_t m_retryInterval;
    uint64_t m_resendAt;
    std::vector<int> m_natPorts;
    std::map<int, int> m_pending; // probe port -> sequence number
    Infra::CMutex m_procLock;
    uint64_t m_lastProcRun;
    bool m_procRan = false;
    std::map<int64_t, TimedProc> m_procs;
    int64_t m_linkSwitchSpace;
};

} // namespace Tou
} // namespace Orvan

#endif
