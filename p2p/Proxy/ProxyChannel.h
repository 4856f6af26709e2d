// Common part of both ends of a proxy channel: the PTCP channel reference, the session map, the
// channel and link-switch states, the control message writers, the frame check and the periodic
// task that moves TCP bytes of the sessions into the PTCP channel.
#ifndef ORVAN_TOU_PROXYCHANNEL_H
#define ORVAN_TOU_PROXYCHANNEL_H

#include "Infra3/Mutex.h"
#include "Infra3/ReadWriteMutex.h"
#include "Memory/SharedPtr.h"
#include "PTCP/PtcpChannel.h"
#include "Proxy/ProxySession.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace Orvan {
namespace Tou {

enum ProxyChannelState
{
    proxyChannelInit = 0,
    proxyChannelDisconnect = 1,
    proxyChannelConnSuccess = 2
};

enum
{
    switchStateInit = 0
};

// The link a channel runs on, as a link-through establishes it.
struct ProxyLink
{
    std::string id; // the device id; the PTCP channel's key
    Memory::TSharedPtr<NATTraver::Socket> socket;
    NATTraver::ConnInfo info{};
    std::string peerVersion;
    int channelType = 0;
    int mediaType = 0;
};

class CProxyChannel
{
public:
    using SessionPtr = Memory::TSharedPtr<CProxySession>;
    using SessionMap = std::map<uint32_t, SessionPtr>;
    using PtcpChannelPtr = Memory::TSharedPtr<CPtcpChannel>;

    static constexpr int kQueryMargin = 256;
    static constexpr int kControlCapacity = 1024;

    CProxyChannel();
    virtual ~CProxyChannel();
    CProxyChannel(const CProxyChannel&) = delete;
    CProxyChannel& operator=(const CProxyChannel&) = delete;

    virtual bool sendKeepAlive();
    bool sendPause();
    bool sendPauseAck(uint32_t ptcpChannelId);
    virtual bool sendResume(uint32_t ptcpChannelId);
    bool sendResumeAck(uint32_t ptcpChannelId);
    bool sendResumeSuccess();
    bool sendSyn(uint32_t sessionId, const std::string& host, uint16_t port);
    bool sendAck(uint32_t sessionId, int status);

    bool checkTouPacket(const CPacket& message);
    bool isSessionData(const CPacket& message);
    void transferState();
    int getState();
    void setState(int state);
    int getSwitchState();
    void setSwitchState(int state);

    int queryBuf();
    int sendData(const CPacket& message);
    int writev(const CPacket* messages, int count, int* taken);
    SessionPtr createSession(uint32_t sessionId, int mtu, const std::string& host, uint16_t port);
    void stopSessionReading();
    void startSessionReading();
    bool readSessions();

    uint32_t getChannelId();
    int getLocalPort();
    bool getRemoteInfo(PtcpRemoteInfo* info);
    bool getStatistics(PtcpChannelStatistics* stats);
    size_t sessionCount();
    static std::string stateName(int state);

protected:
    using SessionReader = std::function<bool(CProxySession&, bool&)>;
    using ChannelPicker = std::function<PtcpChannelPtr()>;
    using MessageHandler = std::function<void(const CPacket&, bool&)>;

    // Flushes held session data, then peeks each message of the PTCP channel pick() names (called
    // under the channel lock) and hands it to handle(); session data a session left unconsumed
    // stays at the front and ends the pass.
    void receiveMessages(const ChannelPicker& pick, const MessageHandler& handle);
    // Looks up the session of a data or acknowledgement message and hands the message over.
    void dispatchToSession(const CPacket& message, bool& consumed);
    // Handles the messages both ends treat alike (session data and acknowledgements, keep-alives,
    // close); false for a type the caller handles itself.
    bool handleCommonTouPacket(int type, const CPacket& message, bool& consumed);
    // Heartbeats every session and removes the finished ones; sessions refused as repeated ids are
    // handed back to the caller.
    void superviseSessions(std::vector<SessionPtr>* repeated);
    // Sends "DISC" for and removes every session whose connection broke.
    void sweepDisconnected();

    // One turn of readSessions with a given reader (readTcp in service).
    void serveSessions(const SessionReader& reader);
    PtcpChannelPtr getPtcpChannel();
    void setPtcpChannel(const PtcpChannelPtr& channel);
    bool sendControl(const uint8_t* bytes, int size);

    Infra::CMutex m_stateLock;
    int m_state = proxyChannelInit;
    Infra::CMutex m_switchLock;
    int m_switchState = switchStateInit;
    uint64_t m_createTime;
    int m_keepAliveCount = 0;
    uint32_t m_lastSessionId = 0;
    Infra::CReadWriteMutex m_channelLock;
    PtcpChannelPtr m_ptcpChannel;
    Infra::CMutex m_sessionLock;
    SessionMap m_sessions;

private:
    ProxyTask readTask();
    Infra::CMutex m_receiveLock; // one receive pass at a time
    Infra::CMutex m_readingLock;
    bool m_reading = false;
};

} // namespace Tou
} // namespace Orvan

#endif
