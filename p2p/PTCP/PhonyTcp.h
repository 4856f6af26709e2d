// PTCP stream engine: a TCP-like reliable, ordered, flow- and congestion-controlled connection in
// packet mode over the segments of PhonyTcpCodec.cpp. No thread and no socket of its own: the
// transport feeds it datagrams and clock ticks and sends what it writes.
#ifndef ORVAN_TOU_PHONYTCP_H
#define ORVAN_TOU_PHONYTCP_H

#include "Infra3/Mutex.h"
#include "PTCP/FifoBuffer.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <vector>

namespace Orvan {
namespace Tou {

class CPhonyTcp;

// Error numbers of the stream (kept from the platform it came from; callers rely on them).
enum PtcpError
{
    PTCP_EINVAL = 22,
    PTCP_EWOULDBLOCK = 10035,
    PTCP_ECONNABORTED = 10053,
    PTCP_ECONNRESET = 10054,
    PTCP_ENOTCONN = 10057
};

enum PtcpState
{
    TCP_LISTEN = 0,
    TCP_SYN_SENT = 1,
    TCP_SYN_RECEIVED = 2,
    TCP_ESTABLISHED = 3,
    TCP_CLOSED = 4
};

// Results of TcpWritePacket.
enum PtcpWriteResult
{
    WR_SUCCESS = 0,
    WR_AGAIN = 1,
    WR_FAIL = 2
};

class IPhonyTcpNotify
{
public:
    virtual ~IPhonyTcpNotify() {}
    virtual void OnTcpOpen(CPhonyTcp* tcp) = 0;
    virtual void OnTcpReadable(CPhonyTcp* tcp) = 0;
    virtual void OnTcpWriteable(CPhonyTcp* tcp) = 0;
    virtual void OnTcpClosed(CPhonyTcp* tcp, int error) = 0;
    // One datagram as a gather list; see PtcpWriteResult.
    virtual int TcpWritePacket(CPhonyTcp* tcp, const PtcpIovec* pieces, int count) = 0;
};

struct PtcpSegment
{
    uint32_t conv = 0;
    uint32_t seq = 0;
    uint32_t ack = 0;
    uint8_t option = 0;
    uint8_t flags = 0;
    uint16_t wnd = 0;
    uint32_t tsval = 0;
    uint32_t tsecr = 0;
    const uint8_t* data = nullptr;
    uint32_t len = 0;
};

struct PtcpSendSegment
{
    uint32_t seq = 0;
    uint32_t len = 0;
    uint32_t lastGapXmit = 0;
    uint8_t xmit = 0;
    uint8_t ctrl = 0;
    uint8_t needRetrans = 0;
    uint64_t enqueueTime = 0;
};

struct PtcpRecvRange
{
    uint32_t seq;
    uint32_t len;
};

struct PtcpStats
{
    uint64_t bytesSent = 0;
    uint64_t bytesReceived = 0;
    uint64_t unused1 = 0;
    uint64_t unused2 = 0;
    uint32_t sendFree = 0;
    uint32_t recvFree = 0;
    uint32_t unused3 = 0;
    uint32_t unused4 = 0;
    uint32_t unused5 = 0;
    uint32_t sendWindow = 0;
    uint32_t inFlight = 0;
    uint32_t unused6 = 0;
    uint32_t srtt = 0;
    uint32_t rto = 0;
    double sendRate = 0;
    double recvRate = 0;
};

struct PtcpSendQueueInfo
{
    uint32_t reserved = 0;
    uint32_t sendRate = 0;    // bits per second
    uint32_t srtt = 0;
    uint64_t oldestAgeMs = 0;
    uint32_t sendCapacity = 0;
    uint32_t sendFree = 0;
};

// Modular (serial number) comparisons of 32-bit stream positions.
inline bool seqLT(uint32_t a, uint32_t b) { return int32_t(a - b) < 0; }
inline bool seqLE(uint32_t a, uint32_t b) { return int32_t(a - b) <= 0; }

class CPhonyTcp
{
public:
    static constexpr uint32_t kConv = 0x50544350; // "PTCP"
    static constexpr uint8_t kMaxWindowScale = 14;
    static constexpr uint32_t kHeaderSize = 24;
    static constexpr uint32_t kMaxDatagram = 65536;

    using Clock = std::function<uint64_t()>;

    explicit CPhonyTcp(IPhonyTcpNotify* notify);
    ~CPhonyTcp();
    CPhonyTcp(const CPhonyTcp&) = delete;
    CPhonyTcp& operator=(const CPhonyTcp&) = delete;

    // Replaces the millisecond tick (tests drive a fake clock through it).
    void setClock(Clock clock) { m_clock = std::move(clock); }

    int connect();
    int send(const CPacket& packet);
    int writev(const CPacket* packets, int count, int* taken);
    int recv(CPacket& packet, bool peek);
    void pop();
    int readv(int a, int b);
    void close(bool force);
    int setOption(int id, int value);
    int getOption(int id, int* value);
    bool notifyPacket(const uint8_t* data, uint32_t size);
    bool clock_check(uint32_t now, int32_t* delay);
    void notifyClock(uint32_t now);
    void getSendQueueInfo(PtcpSendQueueInfo* info);
    int getLastError() const { return m_error; }
    void notifyMTU(uint16_t mtu);

    uint32_t congestionWindow() const { return m_cwnd; }
    uint32_t bytesInFlight() const { return m_snd_nxt - m_snd_una; }
    uint32_t bytesUnsent() const;
    uint32_t roundTripTime() const { return m_rx_srtt; }
    bool receiveBufferFull() const;
    void disableWindowScale() { m_support_wnd_scale = false; }
    void setPeerWindowScale(uint8_t scale);
    int state() const { return m_state; }
    PtcpStats stats();
    uint64_t statsPeriodStart();
    void resetStats();

    // Read-only views for tests and statistics.
    uint32_t mss() const { return m_mss; }
    uint32_t ssthresh() const { return m_ssthresh; }
    uint32_t rto() const { return m_rx_rto; }
    uint32_t sendWindow() const { return m_snd_wnd; }
    uint8_t peerWindowScale() const { return m_swnd_scale; }
    uint8_t ownWindowScale() const { return m_rwnd_scale; }
    uint32_t receiveNext() const { return m_rcv_nxt; }

private:
    uint32_t now32() const { return uint32_t(m_clock()); }
    bool parse(const uint8_t* data, uint32_t size);
    bool applyGapBlock(const uint8_t* block, uint32_t blockLen);
    void parseOptions(const uint8_t* data, uint32_t len);
    void applyOption(uint8_t kind, const uint8_t* value, uint32_t len);
    int packet(uint32_t seq, uint8_t flags, uint32_t offset, uint32_t len, uint32_t now, bool gap);
    uint32_t buildGapBlock();
    bool process(const PtcpSegment& seg);
    bool processSender(const PtcpSegment& seg, uint32_t now);
    bool processReceiver(const PtcpSegment& seg, int* ackMode, bool* newData, uint32_t now);
    void updateRate(uint32_t now);
    void queueConnectMessage();
    uint32_t queue(const CPacket& packet, bool ctrl);
    void attemptSend(int ackMode);
    bool transmit(PtcpSendSegment& seg, uint32_t now, bool fromUnsent);
    void setBE32Header();
    bool retransAckSegment(uint32_t now);
    void adjustMTU();
    bool resizeSendBuffer(uint32_t size);
    bool resizeReceiveBuffer(uint32_t size);
    void closedown(int error);
    uint32_t sendBuffered() const;
    uint32_t recvFree() const;

    IPhonyTcpNotify* m_notify;
    Clock m_clock;
    // read without the lock by the threads that send, receive and tick
    std::atomic<int> m_shutdown{0};
    std::atomic<int> m_error{0};
    uint32_t m_conv = kConv;
    std::atomic<int> m_state{TCP_LISTEN};
    bool m_bWriteEnable = false;
    bool m_bOutgoing = false;
    uint32_t m_lasttraffic;
    std::list<PtcpRecvRange> m_rlist;
    uint32_t m_rbuf_len = 65535;
    uint32_t m_rcv_nxt = 0;
    uint32_t m_rcv_wnd = 65535;
    uint32_t m_lastrecv;
    uint8_t m_rwnd_scale = 0;
    CReceiverBuffer m_rbuf;
    std::deque<PtcpSendSegment> m_slist; // unsent
    uint32_t m_sbuf_len = 131072;
    uint32_t m_snd_nxt = 0;
    uint32_t m_snd_wnd = 1;
    uint32_t m_lastsend;
    uint32_t m_snd_una = 0;
    uint8_t m_swnd_scale = 0;
    CUdpSendBuffer m_sbuf;
    std::deque<PtcpSendSegment> m_retrans;
    uint32_t m_mss = 244;
    uint32_t m_mtu_advise = 1480;
    // Every tick is a valid time, 0 included (process start, 32-bit wrap): the retransmission
    // timer and the delayed acknowledgement are armed by their own flags.
    bool m_rto_armed = false;
    uint32_t m_rto_base = 0;
    uint32_t m_ts_recent = 0;
    uint32_t m_ts_lastack = 0;
    uint32_t m_rx_rttvar = 0;
    uint32_t m_rx_srtt = 0;
    uint32_t m_rx_rto = 3000;
    uint32_t m_ssthresh = 65535;
    uint32_t m_cwnd = 488;
    uint8_t m_dup_acks = 0;
    uint32_t m_recover = 0;
    bool m_ack_pending = false;
    uint32_t m_ts_ack = 0;
    bool m_use_nagling = true;
    uint32_t m_ack_delay = 80;
    bool m_support_wnd_scale = true;
    uint8_t m_header[kHeaderSize];
    uint8_t m_gap[255];
    Infra::CMutex m_mutex;
    PtcpStats m_stats;
    uint64_t m_statsStart;
    uint32_t m_rateSmoothed = 0;
    uint32_t m_rateSample = 0;
    uint32_t m_rateTime = 0;
    uint32_t m_rateUna = 0;
};

} // namespace Tou
} // namespace Orvan

#endif
