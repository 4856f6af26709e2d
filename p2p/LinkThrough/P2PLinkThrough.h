#ifndef ORVAN_TOU_P2PLINKTHROUGH_H
#define ORVAN_TOU_P2PLINKTHROUGH_H

#include "LinkThrough/LinkSupport.h"
#include "LinkThrough/LinkThroughInfo.h"
#include "LinkThrough/P2PLinkOwner.h"
#include "nattraver/iceagent/IceAgent.h"
#include "nattraver/stunclient/StunClient.h"

#include <cstdint>
#include <set>
#include <string>

namespace Orvan {
namespace Tou {

// Direct channel states: the low byte of the state word.
enum DirectChannelState
{
    directInit = 0,
    directWaitStun = 1,
    directStunStart = 2,
    directStunSuccess = 3,
    directStunFail = 4,
    directWaitIce = 5,
    directIceStart = 6,
    directIceSuccess = 7,
    directIceFail = 8,
    directException = 9,
    directFinish = 10
};

// Result of getRemoteInfo.
struct LinkRemoteInfo
{
    char id[64];
    char ip[64];
    uint16_t port;
};

// Base of both ends of a hole-punched link: one UDP socket taken through STUN (or, in local mode, its
// own address) and then an ICE check against the peer's candidates. No thread of its own: the
// subclass's heartbeat drives it; onStun and onIce arrive on the STUN client's and ICE agent's threads.
class CP2PLinkThrough
{
public:
    enum : uint32_t
    {
        flagStunArmed = 0x80000000u,
        flagIceArmed = 0x40000000u
    };

    CP2PLinkThrough(const P2PLinkOwnerPtr& owner, int mode, const std::string& id, const LinkResultProc& onResult,
                    int channelType, int seq, bool portGuess, bool multiHolePunch, uint16_t localPort);
    virtual ~CP2PLinkThrough();
    CP2PLinkThrough(const CP2PLinkThrough&) = delete;
    CP2PLinkThrough& operator=(const CP2PLinkThrough&) = delete;

    int getSeq() const { return m_seq; }
    void setSeq(int seq) { m_seq = seq; }
    int getState();
    // Below 255: replaces the low byte; 255 or more: OR-ed into the word.
    void setState(uint32_t value);
    bool setStunConfig(const NATTraver::StunConfig& config);
    bool isStunArmed();
    bool isIceArmed();
    bool getCandidateAddr(NATTraver::CandidateAddr& out);
    bool setRemoteCandidateAddr(const NATTraver::CandidateAddr& remote);
    void setLocalValueT(int valueT);
    int getLocalValueT();
    void setRemoteValueT(int valueT);
    int startStun(int userValue);
    int startIce(bool peerFlag);
    void onStun(bool success, const NATTraver::StunResult& result, int userValue);
    void onIce(bool success, const NATTraver::ConnInfo* result, int userValue);
    void getRemoteInfo(LinkRemoteInfo& info);

    SocketPtr socket() const { return m_socket; }
    const NATTraver::ConnInfo& conn() const { return m_conn; }
    const std::string& peerVersion() const { return m_peerVersion; }
    int remoteValueT() const { return m_remoteValueT; }
    uint64_t createdAt() const { return m_createdAt; }

protected:
    // The state word's low byte as text, for log lines.
    static std::string stateText(int state);
    LinkChannelInfo makeChannelInfo();
    // Reads the host's addresses when none are known yet; false (logged) when there are none.
    bool loadLocalIps();
    // Our side for the peer: the local addresses complemented, version, value T and candidates.
    void packNatInfo(FieldMap& fields, const NATTraver::CandidateAddr& local, const char* version);

    P2PLinkOwnerPtr m_owner;
    std::string m_id;
    SocketPtr m_socket;
    uint64_t m_createdAt;
    NATTraver::ConnInfo m_conn;
    LinkResultProc m_onResult;
    int m_channelType;
    int m_seq;
    uint16_t m_localPort;
    std::set<std::string> m_localIps;
    std::string m_peerVersion;
    int m_localValueT;
    int m_remoteValueT;
    int m_mode;

private:
    void setLowByte(int state);

    CLinkStateWord m_state;
    Component::TComPtr<NATTraver::IStunClient> m_stunClient;
    Component::TComPtr<NATTraver::IICEAgent> m_iceAgent;
    NATTraver::StunConfig m_stunConfig;
    NATTraver::CandidateAddr m_localCand;
    NATTraver::CandidateAddr m_iceConfig;
    bool m_portGuess;
    bool m_multiHolePunch;
};

} // namespace Tou
} // namespace Orvan

#endif
