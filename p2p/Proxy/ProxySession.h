// One TCP connection carried over a proxy channel: TCP bytes are cut into data messages sized by
// the room the channel reports; received data messages are written to TCP, keeping at most one
// partly written message; acknowledgements track the connection, with a 5000 ms connect limit.
#ifndef ORVAN_TOU_PROXYSESSION_H
#define ORVAN_TOU_PROXYSESSION_H

#include "Infra3/Function.h"
#include "Infra3/Mutex.h"
#include "Memory/Packet.h"
#include "Memory/SharedPtr.h"
#include "nattraver/net/Socket.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Orvan {
namespace Tou {

using Memory::CPacket;

enum ProxySessionState
{
    sessionInit = 0,
    sessionConn = 1,
    sessionConnRepeatId = 2,
    sessionConnFail = 3,
    sessionConnTimeout = 4,
    sessionConnAcked = 5,
    sessionConnSuccess = 6,
    sessionDisconnect = 7
};

enum ProxySessionOption
{
    sessionOptRecvBuffer = 5,
    sessionOptSendBuffer = 8
};

using SessionSendProc = Infra::TFunction1<int, const CPacket&>;
using SessionQueryProc = Infra::TFunction0<int>;
using SessionWritevProc = Infra::TFunction3<int, const CPacket*, int, int*>;

class CProxySession
{
public:
    static constexpr int kReadBufferSize = 131072;
    static constexpr int kDefaultMtu = 1280;
    // A data message and its segment header must fit in one UDP datagram.
    static constexpr int kMaxMtu = 65471;
    static constexpr uint64_t kConnectLimitMs = 5000;
    static constexpr int kAttachBufferSize = 524288;

    CProxySession(uint32_t sessionId, const SessionSendProc& sendData, const SessionQueryProc& queryBuf,
                  const SessionWritevProc& writev, const std::string& host, uint16_t port, int mtu);
    ~CProxySession();
    CProxySession(const CProxySession&) = delete;
    CProxySession& operator=(const CProxySession&) = delete;

    // Server side: a non-blocking connect to host:port.
    bool connect(const std::string& host, uint16_t port, int recvBuffer, int sendBuffer);
    // Client side: an accepted descriptor; the session closes it when destroyed.
    bool attachSocket(int fd);
    // Hands the descriptor over to a successor session: this one neither closes it nor says "DISC".
    int detachSocket();
    void setsockopt(unsigned option, uint16_t value);

    bool readTcp(bool& channelFull);
    void onData(const CPacket& message, bool& consumed);
    void sendMessage(const CPacket& message, int& offset);
    int sendNode(const CPacket& message, int& offset);
    void flushPending();
    bool isPendingEmpty() const { return !m_pending.valid(); }
    void heartbeat();
    void sendAck(int status);

    int getState();
    void setState(int state);
    int getSocketFd() const;
    uint32_t getSessionId() const { return m_sessionId; }
    const std::string& getRemoteHost() const { return m_remoteHost; }
    uint16_t getRemotePort() const { return m_remotePort; }
    int getMtu() const { return m_mtu; }
    void setMtu(uint16_t mtu);
    static std::string getSessionStateText(int state);

private:
    uint64_t now() const;
    void writeData(const CPacket& message, bool& consumed);
    bool connectFailed();

    uint32_t m_sessionId;
    Memory::TSharedPtr<NATTraver::Socket> m_socket;
    uint64_t m_startTime;
    Infra::CMutex m_stateLock;
    int m_state = sessionInit;
    SessionSendProc m_sendData;
    SessionQueryProc m_queryBuf;
    SessionWritevProc m_writev;
    std::vector<uint8_t> m_readBuffer;
    std::string m_remoteHost;
    uint16_t m_remotePort;
    int m_mtu;
    CPacket m_pending;
    int m_pendingOffset = 0;
    bool m_handedOver = false;
};

} // namespace Tou
} // namespace Orvan

#endif
