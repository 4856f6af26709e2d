#include "PTCP/PhonyTcp.h"

#include "Infra3/Time.h"
#include "PTCP/PtcpLog.h"

#include <algorithm>
#include <cstring>

namespace Orvan {
namespace Tou {

namespace {
const char* const kPath = "Src/PTCP/PhonyTcp";

const uint8_t kFlagCtrl = 0x02;
const uint8_t kFlagRst = 0x04;
const int kAckNone = 0;
const int kAckDelayed = 1;
const int kAckImmediate = 2;
const uint32_t kMinRto = 250;
const uint32_t kMaxRto = 60000;
const uint32_t kHandshakeRto = 100;
const uint32_t kProbeSilenceMs = 15000;
// a transport that keeps answering "write again" gives up after this many tries
const int kMaxWriteAgain = 64;

uint64_t DefaultTick() { return Infra::CTime::getTickCountMs(); }
} // namespace

CPhonyTcp::CPhonyTcp(IPhonyTcpNotify* notify)
    : m_notify(notify), m_clock(DefaultTick), m_rbuf(65535), m_sbuf(131072)
{
    uint32_t now = now32();
    m_lasttraffic = m_lastrecv = m_lastsend = now;
    setBE32Header();
    m_statsStart = m_clock();
}

CPhonyTcp::~CPhonyTcp() { PTCP_PRINT(4, "~~CPhonyTcp [%p]\r\n", static_cast<void*>(this)); }

void CPhonyTcp::setBE32Header()
{
    std::memset(m_header, 0, sizeof m_header);
    m_header[0] = 'P';
    m_header[1] = 'T';
    m_header[2] = 'C';
    m_header[3] = 'P';
}

uint32_t CPhonyTcp::sendBuffered() const
{
    uint32_t n = 0;
    m_sbuf.getBuffered(&n);
    return n;
}

uint32_t CPhonyTcp::recvFree() const
{
    uint32_t n = 0;
    m_rbuf.getWriteRemaining(&n);
    return n;
}

uint32_t CPhonyTcp::bytesUnsent() const { return m_snd_una + sendBuffered() - m_snd_nxt; }

bool CPhonyTcp::receiveBufferFull() const { return recvFree() == 0; }

int CPhonyTcp::connect()
{
    Infra::CMutexGuard lock(m_mutex);
    if (m_state != TCP_LISTEN) {
        m_error = PTCP_EINVAL;
        return -1;
    }
    m_state = TCP_SYN_SENT;
    PTCP_PRINT(4, "%s %d Ptcp current state--tcpStateSynSent\n", kPath, __LINE__);
    queueConnectMessage();
    attemptSend(kAckNone);
    return 0;
}

uint32_t CPhonyTcp::queue(const CPacket& packet, bool ctrl)
{
    uint32_t free = 0;
    m_sbuf.getWriteRemaining(&free);
    if (packet.getSize() > free) {
        if (ctrl)
            PTCP_PRINT(1, "%s %d control segment length must zero!\n", kPath, __LINE__);
        return 0;
    }
    PtcpSendSegment seg;
    seg.seq = m_snd_una + sendBuffered();
    seg.len = uint32_t(packet.getSize());
    seg.ctrl = ctrl ? 1 : 0;
    seg.enqueueTime = m_clock();
    uint32_t bytes = 0;
    // the segment is listed only when the buffer took its packet
    if (m_sbuf.write(packet, &bytes) != SR_SUCCESS)
        return 0;
    m_slist.push_back(seg);
    m_sbuf.getWriteRemaining(&m_stats.sendFree);
    return bytes;
}

int CPhonyTcp::send(const CPacket& packet)
{
    if (m_state != TCP_ESTABLISHED) {
        m_error = PTCP_ENOTCONN;
        return -1;
    }
    Infra::CMutexGuard lock(m_mutex);
    uint32_t free = 0;
    m_sbuf.getWriteRemaining(&free);
    if (free > 0 && free >= packet.getSize()) {
        uint32_t n = queue(packet, false);
        attemptSend(kAckNone);
        m_stats.bytesSent += n;
        return int(n);
    }
    m_bWriteEnable = true;
    m_error = PTCP_EWOULDBLOCK;
    return -1;
}

int CPhonyTcp::writev(const CPacket* packets, int count, int* taken)
{
    if (taken)
        *taken = 0;
    if (m_state != TCP_ESTABLISHED) {
        m_error = PTCP_ENOTCONN;
        return -1;
    }
    Infra::CMutexGuard lock(m_mutex);
    uint32_t total = 0;
    int n = 0;
    for (; n < count; ++n) {
        uint32_t free = 0;
        m_sbuf.getWriteRemaining(&free);
        if (free == 0 || free < packets[n].getSize()) {
            m_bWriteEnable = true;
            m_error = PTCP_EWOULDBLOCK;
            break;
        }
        total += queue(packets[n], false);
    }
    attemptSend(kAckNone);
    m_stats.bytesSent += total;
    if (taken)
        *taken = n;
    if (n == 0 && count > 0)
        return -1;
    return int(total);
}

int CPhonyTcp::recv(CPacket& packet, bool peek)
{
    if (m_state != TCP_ESTABLISHED) {
        m_error = PTCP_ENOTCONN;
        return -1;
    }
    Infra::CMutexGuard lock(m_mutex);
    int r = m_rbuf.read(packet, peek);
    if (r == SR_BLOCK) {
        m_error = PTCP_EWOULDBLOCK;
        return -1;
    }
    if (r != SR_SUCCESS) {
        if (r == SR_ERROR)
            PTCP_PRINT(1, "%s %d recv failed!\n", kPath, __LINE__);
        else
            PTCP_PRINT(1, "%s %d recv buffer read error!\n", kPath, __LINE__);
        m_error = PTCP_ECONNABORTED;
        return -1;
    }
    uint32_t free = recvFree();
    if (free - m_rcv_wnd >= std::min(m_rbuf_len / 2, m_mss)) {
        bool wasClosed = m_rcv_wnd == 0;
        m_rcv_wnd = free;
        if (wasClosed)
            attemptSend(kAckImmediate);
    }
    m_stats.bytesReceived += packet.getSize();
    m_stats.recvFree = free;
    return int(packet.getSize());
}

void CPhonyTcp::pop()
{
    Infra::CMutexGuard lock(m_mutex);
    m_rbuf.pop();
}

int CPhonyTcp::readv(int, int)
{
    PTCP_PRINT(1, "%s %d readv is not support!\n", kPath, __LINE__);
    return -1;
}

void CPhonyTcp::close(bool force)
{
    PTCP_PRINT(4, "%s %d force %s close!\n", kPath, __LINE__, force ? "true" : "false");
    m_shutdown = force ? 2 : 1;
}

int CPhonyTcp::setOption(int id, int value)
{
    switch (id) {
    case 0:
        m_use_nagling = value == 0;
        return 0;
    case 1:
        m_ack_delay = uint32_t(std::max(0, value));
        return 0;
    case 2:
        if (value <= 0 || !resizeReceiveBuffer(uint32_t(value))) {
            PTCP_PRINT(1, "%s %d resize recv buffer[%d] failed!\n", kPath, __LINE__, value);
            return -1;
        }
        return 0;
    case 3:
        return value > 0 && resizeSendBuffer(uint32_t(value)) ? 0 : -1;
    case 4:
    case 5:
        return -1;
    case 6:
        PTCP_PRINT(4, "%s %d phony tcp only support packet mode!\n", kPath, __LINE__);
        return 0;
    default:
        PTCP_PRINT(1, "%s %d ptcp is not support opt[%d]\n", kPath, __LINE__, id);
        return -1;
    }
}

int CPhonyTcp::getOption(int id, int* value)
{
    switch (id) {
    case 0:
        *value = !m_use_nagling;
        return 0;
    case 1:
        *value = int(m_ack_delay);
        return 0;
    case 2:
        *value = int(m_rbuf_len);
        return 0;
    case 3:
        *value = int(m_sbuf_len);
        return 0;
    case 4: {
        Infra::CMutexGuard lock(m_mutex);
        uint32_t n = 0;
        m_rbuf.getBuffered(&n);
        *value = int(n);
        return 0;
    }
    case 5: {
        Infra::CMutexGuard lock(m_mutex);
        uint32_t n = 0;
        m_sbuf.getWriteRemaining(&n);
        *value = int(n);
        return 0;
    }
    case 6:
        return -1;
    default:
        PTCP_PRINT(1, "%s %d ptcp is not support opt[%d]\n", kPath, __LINE__, id);
        return -1;
    }
}

void CPhonyTcp::adjustMTU()
{
    m_mss = m_mtu_advise - 52;
    m_ssthresh = std::max(m_ssthresh, 4 * m_mss);
    m_cwnd = std::max(m_cwnd, 4 * m_mss);
}

void CPhonyTcp::notifyMTU(uint16_t mtu)
{
    m_mtu_advise = mtu;
    if (m_state == TCP_ESTABLISHED && mtu > 52)
        adjustMTU();
}

bool CPhonyTcp::process(const PtcpSegment& seg)
{
    uint32_t now = now32();
    m_mutex.enter();
    m_lastrecv = m_lasttraffic = now;
    m_bOutgoing = false;
    if (m_state == TCP_CLOSED) {
        m_mutex.leave();
        PTCP_PRINT(1, "%s %d ptcp is close!\n", kPath, __LINE__);
        return false;
    }
    if (seg.flags & kFlagRst) {
        m_mutex.leave();
        PTCP_PRINT(1, "%s %d recv rst segment!\n", kPath, __LINE__);
        closedown(PTCP_ECONNRESET);
        return false;
    }
    bool connectSeg = false;
    if (seg.flags & kFlagCtrl) {
        // the connect payload is the code alone when the peer does not scale its window
        if (seg.len == 0) {
            m_mutex.leave();
            PTCP_PRINT(1, "%s %d Missing control code\n", kPath, __LINE__);
            return false;
        }
        if (seg.data[0] != 0) {
            m_mutex.leave();
            PTCP_PRINT(2, "%s %d Unknown control code:%d\n", kPath, __LINE__, seg.data[0]);
            return false;
        }
        connectSeg = true;
        parseOptions(seg.data + 1, seg.len - 1);
        if (m_state == TCP_LISTEN) {
            m_state = TCP_SYN_RECEIVED;
            PTCP_PRINT(4, "%s %d State:TCP_SYN_RECEIVED, this:%p\n", kPath, __LINE__, static_cast<void*>(this));
            queueConnectMessage();
        } else if (m_state == TCP_SYN_SENT) {
            m_state = TCP_ESTABLISHED;
            PTCP_PRINT(4, "%s %d State: TCP_ESTABLISHED, this:%p\n", kPath, __LINE__, static_cast<void*>(this));
            adjustMTU();
            m_mutex.leave();
            if (m_notify)
                m_notify->OnTcpOpen(this);
            m_mutex.enter();
        }
    }
    if (!processSender(seg, now)) {
        m_mutex.leave();
        PTCP_PRINT(1, "%s %d process sender failed!\n", kPath, __LINE__);
        closedown(PTCP_ECONNABORTED);
        return false;
    }
    if (m_state == TCP_SYN_RECEIVED && !connectSeg) {
        m_state = TCP_ESTABLISHED;
        PTCP_PRINT(4, "%s %d State: TCP_ESTABLISHED\n", kPath, __LINE__);
        adjustMTU();
        m_mutex.leave();
        if (m_notify)
            m_notify->OnTcpOpen(this);
        m_mutex.enter();
    }
    if (m_bWriteEnable && sendBuffered() < (m_sbuf_len + m_rbuf_len) / 2) {
        m_bWriteEnable = false;
        m_mutex.leave();
        if (m_notify)
            m_notify->OnTcpWriteable(this);
        m_mutex.enter();
    }
    int ackMode = kAckNone;
    bool newData = false;
    processReceiver(seg, &ackMode, &newData, now);
    attemptSend(ackMode);
    m_mutex.leave();
    if (m_notify)
        m_notify->OnTcpReadable(this);
    return true;
}

bool CPhonyTcp::processSender(const PtcpSegment& seg, uint32_t now)
{
    if (seqLE(seg.seq, m_ts_lastack) && seqLT(m_ts_lastack, seg.seq + seg.len))
        m_ts_recent = seg.tsval;

    if (seqLT(m_snd_una, seg.ack) && seqLE(seg.ack, m_snd_nxt)) {
        if (seg.tsecr != 0) {
            int32_t rtt = int32_t(now - seg.tsecr);
            if (rtt < 0) {
                PTCP_PRINT(1, "%s %d rtt lower zero! process crushed!\n", kPath, __LINE__);
                return false;
            }
            if (rtt < 20)
                rtt >>= 1;
            uint32_t sample = uint32_t(rtt);
            if (m_rx_srtt == 0) {
                m_rx_srtt = sample;
                m_rx_rttvar = sample / 2;
            } else {
                uint32_t delta = sample > m_rx_srtt ? sample - m_rx_srtt : m_rx_srtt - sample;
                m_rx_rttvar = (3 * m_rx_rttvar + delta) / 4;
                m_rx_srtt = (7 * m_rx_srtt + sample) / 8;
            }
            uint32_t rto = m_rx_srtt + std::max<uint32_t>(1, 4 * m_rx_rttvar);
            m_rx_rto = std::min(kMaxRto, std::max(kMinRto, rto));
        }
        m_snd_wnd = uint32_t(seg.wnd) << m_swnd_scale;
        uint32_t nAcked = seg.ack - m_snd_una;
        m_snd_una = seg.ack;
        m_rto_armed = seg.ack != m_snd_nxt;
        m_rto_base = now;
        if (!m_sbuf.consumeReadData(nAcked)) {
            PTCP_PRINT(1, "call consumeReadData failed, nAcked[%u]!\n", nAcked);
            return false;
        }
        m_sbuf.getWriteRemaining(&m_stats.sendFree);
        m_stats.sendWindow = m_snd_wnd;
        m_stats.srtt = m_rx_srtt;
        m_stats.rto = m_rx_rto;
        uint32_t left = nAcked;
        while (left > 0) {
            if (m_retrans.empty()) {
                PTCP_PRINT(1, "%s %d retrans list is crushed empty!\n", kPath, __LINE__);
                return false;
            }
            PtcpSendSegment& front = m_retrans.front();
            if (front.len > left) {
                front.len -= left;
                front.seq += left;
                left = 0;
            } else {
                left -= front.len;
                m_retrans.pop_front();
            }
        }
        if (m_dup_acks >= 3) {
            if (seqLE(m_recover, m_snd_una)) {
                m_cwnd = std::max(bytesInFlight(), m_ssthresh) + 8 * m_mss;
                m_dup_acks = 0;
            } else {
                if (!m_retrans.empty())
                    m_retrans.front().needRetrans = 1;
                m_cwnd += std::max(m_mss * m_mss / m_cwnd, m_mss / 16);
            }
        } else {
            m_dup_acks = 0;
            if (m_cwnd < m_ssthresh)
                m_cwnd += m_mss;
            else
                m_cwnd += std::max(m_mss * m_mss / m_cwnd, m_mss / 4);
        }
    } else if (seg.ack == m_snd_una) {
        m_snd_wnd = uint32_t(seg.wnd) << m_swnd_scale;
        if (seg.len == 0) {
            if (bytesInFlight() == 0) {
                m_dup_acks = 0;
            } else {
                if (m_dup_acks < 255)
                    ++m_dup_acks;
                if (m_dup_acks == 3) {
                    m_recover = m_snd_nxt;
                    if (!m_retrans.empty())
                        m_retrans.front().needRetrans = 1;
                    m_ssthresh = std::max(bytesInFlight(), 8 * m_mss);
                    m_cwnd = m_ssthresh + 8 * m_mss;
                } else if (m_dup_acks > 3) {
                    m_cwnd += std::max(m_mss * m_mss / m_cwnd, m_mss / 4);
                }
            }
        }
    }
    updateRate(now);
    return true;
}

void CPhonyTcp::updateRate(uint32_t now)
{
    if (m_rateUna == 0) {
        m_rateTime = now;
        m_rateUna = m_snd_una;
        return;
    }
    uint32_t elapsed = now - m_rateTime;
    if (elapsed < 100)
        return;
    double sample = double(uint32_t(m_snd_una - m_rateUna)) / (double(elapsed) / 1000.0) * 8.0;
    uint32_t s = sample > 4294967295.0 ? 0xFFFFFFFFu : uint32_t(sample);
    if (m_rateSample == 0 && m_rateSmoothed == 0) {
        m_rateSample = m_rateSmoothed = s;
    } else {
        m_rateSample = uint32_t((7ull * m_rateSample + s) / 8);
        m_rateSmoothed = uint32_t((7ull * m_rateSmoothed + m_rateSample) / 8);
    }
    m_rateTime = now;
    m_rateUna = m_snd_una;
}

bool CPhonyTcp::processReceiver(const PtcpSegment& seg, int* ackMode, bool* newData, uint32_t now)
{
    if (seg.seq != m_rcv_nxt)
        *ackMode = kAckImmediate;
    else if (seg.len > 0)
        *ackMode = m_ack_delay != 0 ? kAckDelayed : kAckImmediate;

    bool gapAllowed = true;
    uint32_t len = seg.len;
    if (seqLT(seg.seq, m_rcv_nxt)) {
        len = 0;
        gapAllowed = false;
    }
    uint32_t free = recvFree();
    m_stats.recvFree = free;
    if (seqLE(m_rcv_nxt, seg.seq) && uint64_t(seg.seq - m_rcv_nxt) + len > free) {
        PTCP_PRINT(2, "%s %d exceed receiver capacity! discard this packet,seq:%u\n", kPath, __LINE__, seg.seq);
        len = 0;
    }
    bool ignoreData = (seg.flags & kFlagCtrl) || m_shutdown != 0;
    if (len > 0) {
        if (ignoreData) {
            if (seg.seq == m_rcv_nxt)
                m_rcv_nxt += len;
        } else {
            CPacket p(len);
            if (!p.valid())
                return false;
            std::memcpy(p.getBuffer(), seg.data, len);
            uint32_t bytes = 0;
            if (m_rbuf.writeOffset(p, seg.seq - m_rcv_nxt, &bytes) != SR_SUCCESS) {
                PTCP_PRINT(1, "%s %d process write offset falied!\n", kPath, __LINE__);
                return false;
            }
            if (seg.seq == m_rcv_nxt) {
                m_rbuf.consumeWriteBuffer(len);
                m_rcv_nxt += len;
                m_rcv_wnd = m_rcv_wnd > len ? m_rcv_wnd - len : 0;
                *newData = true;
                while (!m_rlist.empty() && seqLE(m_rlist.front().seq, m_rcv_nxt)) {
                    uint32_t end = m_rlist.front().seq + m_rlist.front().len;
                    if (seqLT(m_rcv_nxt, end)) {
                        *ackMode = kAckImmediate;
                        uint32_t excess = end - m_rcv_nxt;
                        m_rbuf.consumeWriteBuffer(excess);
                        m_rcv_nxt += excess;
                        m_rcv_wnd = m_rcv_wnd > excess ? m_rcv_wnd - excess : 0;
                    }
                    m_rlist.pop_front();
                }
                m_stats.recvFree = recvFree();
            } else {
                auto it = m_rlist.begin();
                while (it != m_rlist.end() && seqLT(it->seq, seg.seq))
                    ++it;
                if (it == m_rlist.end() || it->seq != seg.seq || it->len != len)
                    m_rlist.insert(it, PtcpRecvRange{seg.seq, len});
            }
        }
    }
    if (*ackMode == kAckImmediate)
        packet(m_snd_nxt, 0, 0, 0, now, gapAllowed);
    return true;
}

void CPhonyTcp::attemptSend(int ackMode)
{
    uint32_t now = now32();
    if (now - m_lastsend > m_rx_rto)
        m_cwnd = 4 * m_mss;
    for (;;) {
        uint32_t cwnd = m_cwnd;
        if (m_dup_acks == 1 || m_dup_acks == 2)
            cwnd += m_dup_acks * m_mss;
        uint32_t window = std::min(m_snd_wnd, cwnd);
        uint32_t inFlight = bytesInFlight();
        m_stats.inFlight = inFlight;
        uint32_t usable = inFlight >= window ? 0 : window - inFlight;
        uint32_t buffered = sendBuffered();
        uint32_t available = std::min(buffered - inFlight, m_mss);
        if (available > usable) {
            if (usable * 4 < window)
                break;
            available = usable;
        }
        if (available == 0 || m_slist.empty())
            break;
        PtcpSendSegment& front = m_slist.front();
        bool last = false;
        if (front.len > available) {
            PTCP_PRINT(4,
                       "%s:%d, unenough space! segmentLen: %u nAvailable:%u nUseable:%u dataLen:%u nInFlight:%u "
                       "m_snd_wnd:%u cwnd:%u\n",
                       kPath, __LINE__, front.len, available, usable, buffered, inFlight, m_snd_wnd, cwnd);
            last = true;
        }
        if (!transmit(front, now, true)) {
            PTCP_PRINT(1, "%s %d transmit failed\n", kPath, __LINE__);
            closedown(PTCP_ECONNABORTED);
            return;
        }
        ackMode = kAckNone;
        if (last)
            break;
    }
    if (ackMode != kAckDelayed)
        return;
    if (m_ack_pending) {
        packet(m_snd_nxt, 0, 0, 0, now, false);
    } else {
        m_ack_pending = true;
        m_ts_ack = now;
    }
}

bool CPhonyTcp::transmit(PtcpSendSegment& seg, uint32_t now, bool fromUnsent)
{
    int r = WR_AGAIN;
    for (int tries = 0; r == WR_AGAIN && tries < kMaxWriteAgain; ++tries)
        r = packet(seg.seq, seg.ctrl ? kFlagCtrl : 0, seg.seq - m_snd_una, seg.len, now, false);
    if (r == WR_SUCCESS) {
        if (fromUnsent && seg.xmit == 0) {
            PtcpSendSegment sent = seg;
            sent.xmit = 1;
            sent.lastGapXmit = 0;
            sent.needRetrans = 0;
            m_snd_nxt += sent.len;
            m_slist.pop_front();
            m_retrans.push_back(sent);
        } else {
            seg.xmit = seg.xmit == 255 ? 1 : uint8_t(seg.xmit + 1);
        }
        if (!m_rto_armed) {
            m_rto_armed = true;
            m_rto_base = now;
        }
        return true;
    }
    if (r == WR_FAIL || r == WR_AGAIN)
        PTCP_PRINT(1, "%s %d packet failed\n", kPath, __LINE__);
    else
        PTCP_PRINT(1, "%s %d this packet must too large!\n", kPath, __LINE__);
    return false;
}

bool CPhonyTcp::clock_check(uint32_t now, int32_t* delay)
{
    Infra::CMutexGuard lock(m_mutex);
    if (m_shutdown == 2)
        return false;
    if (m_shutdown == 1 && (m_state != TCP_ESTABLISHED || (sendBuffered() == 0 && !m_ack_pending))) {
        PTCP_PRINT(2, "%s %d shundown:%d m_state:%d snd_buffered:%u m_ts_ack:%u\n", kPath, __LINE__,
                   m_shutdown.load(), m_state.load(), sendBuffered(), m_ts_ack);
        return false;
    }
    if (m_state == TCP_CLOSED) {
        *delay = 60000;
        return true;
    }
    int32_t d = 4000;
    if (m_ack_pending)
        d = std::min(d, int32_t(m_ts_ack + m_ack_delay - now));
    if (m_rto_armed)
        d = std::min(d, int32_t(m_rto_base + m_rx_rto - now));
    if (m_snd_wnd == 0)
        d = std::min(d, int32_t(m_lastsend + m_rx_rto - now));
    *delay = d;
    return true;
}

void CPhonyTcp::notifyClock(uint32_t now)
{
    if (m_state == TCP_CLOSED) {
        PTCP_PRINT(2, "%s %d ptcp enter Closed status!\n", kPath, __LINE__);
        return;
    }
    m_mutex.enter();
    if (m_rto_armed && int32_t(m_rto_base + m_rx_rto - now) <= 0) {
        if (m_retrans.empty()) {
            m_mutex.leave();
            PTCP_PRINT(1, "%s %d retrans list is empty, process crushed!\n", kPath, __LINE__);
            closedown(PTCP_ECONNABORTED);
            return;
        }
        if (!transmit(m_retrans.front(), now, false)) {
            PTCP_PRINT(1, "%s %d retransmit segments failed!\n", kPath, __LINE__);
            m_mutex.leave();
            closedown(PTCP_ECONNABORTED);
            return;
        }
        m_rx_rto = std::min(2 * m_rx_rto, m_state < TCP_ESTABLISHED ? kHandshakeRto : kMaxRto);
        m_rto_base = now;
    }
    if (m_snd_wnd == 0 && int32_t(m_lastsend + m_rx_rto - now) <= 0) {
        if (now - m_lastrecv >= kProbeSilenceMs) {
            PTCP_PRINT(2, "%s:%d, now=%u, last_recv=%u, snd_wnd=%d, last_send=%u, rx_rto=%u\n", kPath, __LINE__, now,
                       m_lastrecv, int(m_snd_wnd), m_lastsend, m_rx_rto);
            m_mutex.leave();
            closedown(PTCP_ECONNABORTED);
            return;
        }
        packet(m_snd_nxt - 1, 0, 0, 0, now, false);
        m_lastsend = now;
        m_rx_rto = std::min(2 * m_rx_rto, kMaxRto);
    }
    if (m_ack_pending && int32_t(m_ts_ack + m_ack_delay - now) <= 0)
        packet(m_snd_nxt, 0, 0, 0, now, false);
    if (!retransAckSegment(now)) {
        PTCP_PRINT(1, "%s %d retransmit sack node failed!\n", kPath, __LINE__);
        m_mutex.leave();
        closedown(PTCP_ECONNABORTED);
        return;
    }
    m_mutex.leave();
}

bool CPhonyTcp::retransAckSegment(uint32_t now)
{
    uint32_t threshold = std::min<uint32_t>(m_rx_srtt, 200);
    for (PtcpSendSegment& seg : m_retrans) {
        if (!seg.needRetrans)
            continue;
        if (seg.lastGapXmit == 0 || now - seg.lastGapXmit > threshold) {
            if (!transmit(seg, now, false)) {
                PTCP_PRINT(1, "%s:%d, close down.\n", kPath, __LINE__);
                return false;
            }
            seg.lastGapXmit = now;
        }
        seg.needRetrans = 0;
    }
    return true;
}

bool CPhonyTcp::resizeSendBuffer(uint32_t size)
{
    if (!m_sbuf.setCapacity(size)) {
        PTCP_PRINT(1, "%s %d set capacity failed!\n", kPath, __LINE__);
        return false;
    }
    m_sbuf_len = size;
    return true;
}

bool CPhonyTcp::resizeReceiveBuffer(uint32_t size)
{
    uint8_t scale = 0;
    while ((size >> scale) > 65535 && scale < kMaxWindowScale)
        ++scale;
    if ((size >> scale) > 65535)
        return false;
    size &= ~((1u << scale) - 1);
    if (!m_rbuf.setCapacity(size)) {
        PTCP_PRINT(1, "%s %d set capacity failed!\n", kPath, __LINE__);
        return false;
    }
    m_rbuf_len = size;
    m_rwnd_scale = scale;
    m_ssthresh = size;
    m_rcv_wnd = recvFree();
    return true;
}

void CPhonyTcp::closedown(int error)
{
    PTCP_PRINT(4, "%s %d State: TCP_CLOSED\n", kPath, __LINE__);
    m_state = TCP_CLOSED;
    if (m_notify)
        m_notify->OnTcpClosed(this, error);
}

void CPhonyTcp::getSendQueueInfo(PtcpSendQueueInfo* info)
{
    Infra::CMutexGuard lock(m_mutex);
    info->sendRate = m_rateSmoothed;
    info->srtt = m_rx_srtt;
    info->oldestAgeMs = m_retrans.empty() ? 0 : m_clock() - m_retrans.front().enqueueTime;
    info->sendCapacity = m_sbuf_len;
    m_sbuf.getWriteRemaining(&info->sendFree);
}

PtcpStats CPhonyTcp::stats()
{
    Infra::CMutexGuard lock(m_mutex);
    return m_stats;
}

uint64_t CPhonyTcp::statsPeriodStart()
{
    Infra::CMutexGuard lock(m_mutex);
    return m_statsStart;
}

void CPhonyTcp::resetStats()
{
    Infra::CMutexGuard lock(m_mutex);
    m_stats.bytesSent = 0;
    m_stats.bytesReceived = 0;
    m_stats.sendRate = 0;
    m_stats.recvRate = 0;
    m_statsStart = m_clock();
}

} // namespace Tou
} // namespace Orvan
