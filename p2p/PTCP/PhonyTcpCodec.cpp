// The bytes of a PTCP segment: header writer, datagram reader with the gap block, connect options.
#include "PTCP/ByteBuffer.h"
#include "PTCP/PhonyTcp.h"
#include "PTCP/PtcpLog.h"


#include <algorithm>
#include <cstring>
#include <set>

namespace Orvan {
namespace Tou {

namespace {
const char* const kPath = "Src/PTCP/PhonyTcp";


uint32_t getLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t getLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
void setLE32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
void setLE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
} // namespace

uint32_t CPhonyTcp::buildGapBlock()
{
    const uint32_t kMaxBlock = 255;
    uint32_t k = 0;
    uint32_t prevEnd = 0;
    bool first = true;
    for (const PtcpRecvRange& r : m_rlist) {
        uint32_t start;
        if (first) {
            start = 0;
        } else if (r.seq == prevEnd) {
            prevEnd = r.seq + r.len;
            continue;
        } else {
            start = prevEnd - m_rcv_nxt;
        }
        uint32_t end = r.seq - m_rcv_nxt - 1;
        setLE16(m_gap + 7 + 4 * k, uint16_t(start));
        setLE16(m_gap + 9 + 4 * k, uint16_t(end));
        ++k;
        prevEnd = r.seq + r.len;
        if (!first && 7 + 4 * (k + 1) > kMaxBlock)
            break;
        first = false;
    }
    m_gap[0] = uint8_t(6 + 4 * k);
    m_gap[1] = 0;
    m_gap[2] = uint8_t(4 + 4 * k);
    setLE32(m_gap + 3, m_rcv_nxt);
    return 7 + 4 * k;
}

int CPhonyTcp::packet(uint32_t seq, uint8_t flags, uint32_t offset, uint32_t len, uint32_t now, bool gap)
{
    setBE32(m_header, m_conv);
    setBE32(m_header + 4, seq);
    setBE32(m_header + 8, m_rcv_nxt);
    m_header[12] = 0;
    m_header[13] = flags;
    setBE16(m_header + 14, uint16_t(m_rcv_wnd >> m_rwnd_scale));
    setBE32(m_header + 16, now);
    setBE32(m_header + 20, m_ts_recent);
    m_ts_lastack = m_rcv_nxt;

    PtcpIovec iov[2] = {{m_header, kHeaderSize}, {nullptr, 0}};
    int count = 1;
    if (len != 0) {
        int got = 0;
        uint32_t bytes = 0;
        if (m_sbuf.readOffset(&iov[1], &got, len, offset, &bytes) != SR_SUCCESS) {
            PTCP_PRINT(1, "%s %d packet failed!\n", kPath, __LINE__);
            return WR_FAIL;
        }
        if (bytes != len) {
            PTCP_PRINT(1, "%s %d read length is not equal, read len:%u need len:%u\n!\n", kPath, __LINE__, bytes, len);
            return WR_FAIL;
        }
        count += got;
    } else if (gap && !m_rlist.empty()) {
        iov[1].data = m_gap;
        iov[1].len = buildGapBlock();
        m_header[12] = 1;
        count = 2;
    }
    int r = m_notify ? m_notify->TcpWritePacket(this, iov, count) : WR_SUCCESS;
    if (r != WR_SUCCESS && len != 0) {
        PTCP_PRINT(1, "%s %d TcpWritePacket failed!\n", kPath, __LINE__);
        return r;
    }
    if (len > 0)
        m_lastsend = now;
    m_ack_pending = false;
    m_lasttraffic = now;
    m_bOutgoing = true;
    return WR_SUCCESS;
}

bool CPhonyTcp::notifyPacket(const uint8_t* data, uint32_t size)
{
    if (size >= kMaxDatagram) {
        PTCP_PRINT(2, "%s %d packet too large!\n", kPath, __LINE__);
        return false;
    }
    return parse(data, size);
}

// Marks the in-flight segments that lie inside a gap the peer reports. The block must lie inside
// the datagram and every option and entry inside the block; otherwise the segment is dropped.
bool CPhonyTcp::applyGapBlock(const uint8_t* block, uint32_t n)
{
    Infra::CMutexGuard lock(m_mutex);
    const uint8_t* opts = block + 1;
    for (uint32_t i = 0; i < n;) {
        if (i + 2 > n)
            return false;
        uint8_t kind = opts[i];
        uint32_t L = opts[i + 1];
        if (i + 2 + L > n)
            return false;
        if (kind == 0 && L > 4) {
            uint32_t base = getLE32(opts + i + 2);
            for (uint32_t j = 0; j + 4 <= L - 4; j += 4) {
                uint32_t start = base + getLE16(opts + i + 6 + j);
                uint32_t end = base + getLE16(opts + i + 8 + j);
                for (PtcpSendSegment& s : m_retrans) {
                    if (seqLT(end, s.seq))
                        break;
                    if (s.len != 0 && seqLE(start, s.seq) && seqLE(s.seq + s.len - 1, end))
                        s.needRetrans = 1;
                }
            }
        }
        i += L + 2;
    }
    return true;
}

bool CPhonyTcp::parse(const uint8_t* data, uint32_t size)
{
    if (size < kHeaderSize) {
        PTCP_PRINT(2, "%s %d invalid buffer size:%d, we ignore this error!\n", kPath, __LINE__, int(size));
        return true;
    }
    PtcpSegment seg;
    seg.conv = getBE32(data);
    if (seg.conv != m_conv)
        return true;
    seg.seq = getBE32(data + 4);
    seg.ack = getBE32(data + 8);
    seg.option = data[12];
    seg.flags = data[13];
    seg.wnd = getBE16(data + 14);
    seg.tsval = getBE32(data + 16);
    seg.tsecr = getBE32(data + 20);
    uint32_t start = kHeaderSize;
    if (seg.option != 0) {
        if (size < kHeaderSize + 1)
            return true;
        uint32_t n = data[kHeaderSize];
        if (kHeaderSize + 1 + n > size || !applyGapBlock(data + kHeaderSize, n))
            return true; // a block that does not fit is dropped with its segment
        start = kHeaderSize + 1 + n;
    }
    seg.data = data + start;
    seg.len = size - start;
    return process(seg);
}

void CPhonyTcp::parseOptions(const uint8_t* data, uint32_t len)
{
    CByteBuffer buf(data, len);
    std::set<uint8_t> seen;
    while (buf.length() > 0) {
        uint8_t kind = 0;
        buf.readUInt8(&kind);
        if (kind == 0)
            break;
        if (kind == 1)
            continue;
        uint8_t optLen = 0;
        buf.readUInt8(&optLen);
        if (optLen > buf.length()) {
            PTCP_PRINT(1, "%s %d Invalid option length received\n", kPath, __LINE__);
            return;
        }
        applyOption(kind, buf.data(), optLen);
        buf.consume(optLen);
        seen.insert(kind);
    }
    if (!seen.count(3)) {
        PTCP_PRINT(2, "%s %d Peer doesn't support window scaling\n", kPath, __LINE__);
        if (m_rwnd_scale > 0) {
            resizeReceiveBuffer(65535);
            m_swnd_scale = 0;
        }
    }
}

void CPhonyTcp::applyOption(uint8_t kind, const uint8_t* value, uint32_t len)
{
    if (kind == 2) {
        PTCP_PRINT(2, "%s %d Peer specified MSS option which is not supported\n", kPath, __LINE__);
    } else if (kind == 3) {
        if (len == 1)
            setPeerWindowScale(value[0]);
        else
            PTCP_PRINT(2, "%s %d Invalid window scale option received\n", kPath, __LINE__);
    }
}

void CPhonyTcp::setPeerWindowScale(uint8_t scale)
{
    // a shift of 32 or more is undefined, and windows beyond 2^30 are nonsense
    m_swnd_scale = std::min(scale, kMaxWindowScale);
}

void CPhonyTcp::queueConnectMessage()
{
    CByteBuffer buf;
    buf.writeUInt8(0);
    if (m_support_wnd_scale) {
        buf.writeUInt8(3);
        buf.writeUInt8(1);
        buf.writeUInt8(m_rwnd_scale);
    }
    m_snd_wnd = uint32_t(buf.length());
    CPacket p(buf.length());
    if (!p.valid())
        return;
    std::memcpy(p.getBuffer(), buf.data(), buf.length());
    queue(p, true);
}

} // namespace Tou
} // namespace Orvan
