#ifndef ORVAN_TOU_P2PLINKTHROUGHRELAY_H
#define ORVAN_TOU_P2PLINKTHROUGHRELAY_H

#include "LinkThrough/LinkSupport.h"
#include "LinkThrough/LinkThroughInfo.h"
#include "LinkThrough/P2PSDKChannelClient.h"
#include "nattraver/iceagent/IceAgent.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace Orvan {
namespace Tou {

enum RelayChannelState
{
    relayInit = 0,
    relayGetRelayStart = 1,
    relayGetRelaySuccess = 2,
    relayGetRelayFail = 3,
    relayAgentStart = 4,
    relayAgentSuccess = 5,
    relayAgentFail = 6,
    relayStunFail = 9,
    relayBindTokenFail = 12,
    relayWaitStart = 13,
    relayWaitVersion = 14,
    relayIceWaitConfig = 16,
    relayIceStart = 17,
    relayIceSuccess = 18,
    relayIceFail = 19
};

// A UDP path to a device through a relay agent: asks the P2P server for a relay server, the relay server
// for an agent, starts the agent and tells the device to meet there ("relay-channel"; or "p2p-channel"
// with the agent as public address and an ICE check, for devices without a version). 10000 ms in all.
// heartbeat runs on the link-through thread; onIce on the ICE agent's.
class CP2PLinkThroughRelay
{
public:
    enum : uint32_t
    {
        flagCandidates = 0x40000000u
    };

    CP2PLinkThroughRelay(const std::string& id, const P2PServerInfo& server, const LinkResultProc& onResult,
                         int channelType, int localPort);
    ~CP2PLinkThroughRelay();
    CP2PLinkThroughRelay(const CP2PLinkThroughRelay&) = delete;
    CP2PLinkThroughRelay& operator=(const CP2PLinkThroughRelay&) = delete;

    void heartbeat(uint64_t now);
    void setPeerVersion(const std::string& version);
    bool onRelayResponse(const P2PResponse& response);
    bool startIce();
    void onIce(bool success, const NATTraver::ConnInfo* result, int userValue);
    bool getCandidateAddr(NATTraver::CandidateAddr& out);
    bool setRemoteCandidateAddr(const NATTraver::CandidateAddr& remote);
    void setRelayAgentInfo(const RelayAgentInfo& agent);
    bool getRelaySvrAddr(RelayAgentInfo& out);
    void unbind();

    int getState();
    void setState(uint32_t value);
    int getCseq() const { return m_cseq; }
    void setCseq(int cseq) { m_cseq = cseq; }
    RelayAgentInfo getAgent() const { return m_agent; }
    RelayAgentInfo getClientAddr() const { return m_clientAddr; }
    SocketPtr socket() const { return m_socket; }

private:
    void send(P2PRequest& request, const std::string& host, int port, uint64_t now);
    void onWaitRelayConfig(uint64_t now);
    void onWaitAgentConfig(uint64_t now);
    void onWaitStartInfo(uint64_t now);
    void onICEWaitConfig(uint64_t now);
    void onBindSucess(uint64_t now);
    // Goes back to the send state when the resend is due; fails at the overall limit. True when failed.
    bool wait(uint64_t now, int resendState, int failState, const char* line, int level);
    void report(int state);
    bool isCandidateFlagSet();
    static std::string stateText(int state);

    P2PServerInfo m_server;
    CLinkStateWord m_state;
    int m_cseq;
    RelayAgentInfo m_relayServer;
    std::string m_agentTargetHost;
    int m_agentTargetPort;
    Component::TComPtr<NATTraver::IICEAgent> m_iceAgent;
    RelayAgentInfo m_clientAddr;
    RelayAgentInfo m_agent;
    SocketPtr m_socket;
    std::string m_id;
    NATTraver::CandidateAddr m_localCand;
    NATTraver::CandidateAddr m_iceConfig;
    NATTraver::ConnInfo m_conn;
    LinkResultProc m_onResult;
    uint64_t m_createdAt;
    uint64_t m_resendAt;
    std::map<int, std::string> m_pendingPaths;
    std::shared_ptr<CP2PSDKChannelClient> m_channelClient;
    int m_resendInterval;
    int m_channelType;
    int m_localPort;
    std::string m_peerVersion;
    bool m_peerVersionKnown;
    bool m_reported;
};

} // namespace Tou
} // namespace Orvan

#endif
