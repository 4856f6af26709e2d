#include "PTCP/FifoBuffer.h"

#include "PTCP/PtcpLog.h"

namespace Orvan {
namespace Tou {

namespace {
const char* const kFifoPath = "Src/PTCP/FifoBuffer";
const char* const kSendPath = "Src/PTCP/UdpSenderBuffer";
const char* const kRecvPath = "Src/PTCP/ReceiverBuffer";

int Refuse(const char* name)
{
    PTCP_PRINT(1, "%s %s is not support!\n", kFifoPath, name);
    return -1;
}
} // namespace

CFifoBuffer::CFifoBuffer(uint32_t capacity) : m_capacity(capacity) {}

CFifoBuffer::~CFifoBuffer() = default;

int CFifoBuffer::read(CPacket&, bool) { return Refuse("Orvan::Tou::CFifoBuffer::read"); }
int CFifoBuffer::read(int, int, int) { return Refuse("Orvan::Tou::CFifoBuffer::read"); }
void CFifoBuffer::pop() { Refuse("Orvan::Tou::CFifoBuffer::pop"); }
int CFifoBuffer::write(const CPacket&, uint32_t*) { return Refuse("Orvan::Tou::CFifoBuffer::write"); }

int CFifoBuffer::readOffset(PtcpIovec*, int*, uint32_t, uint32_t, uint32_t*)
{
    Refuse("Orvan::Tou::CFifoBuffer::readOffset");
    return SR_ERROR;
}

int CFifoBuffer::writeOffset(const CPacket&, uint32_t, uint32_t*)
{
    Refuse("Orvan::Tou::CFifoBuffer::writeOffset");
    return SR_ERROR;
}

bool CFifoBuffer::consumeReadData(uint32_t)
{
    Refuse("Orvan::Tou::CFifoBuffer::consumeReadData");
    return false;
}

int CFifoBuffer::writeOffsetLocked(const CPacket&, uint32_t, uint32_t*) { return SR_ERROR; }

bool CFifoBuffer::setCapacity(uint32_t size)
{
    if (size == 0) {
        PTCP_PRINT(2, "%s %d buffer do not support set zero size!please check user logic whether or  not crushed\n",
                   kFifoPath, __LINE__);
        return false;
    }
    if (size < m_dataLength) {
        PTCP_PRINT(1, "%s %d new size[%u] is lower data length[%u]\n", kFifoPath, __LINE__, size, m_dataLength);
        return false;
    }
    m_capacity = size;
    return true;
}

bool CFifoBuffer::getBuffered(uint32_t* bytes) const
{
    *bytes = m_dataLength;
    return true;
}

void CFifoBuffer::getWriteRemaining(uint32_t* bytes) const
{
    if (!bytes) {
        PTCP_PRINT(1, "%s %d remaining invalid param\n", kFifoPath, __LINE__);
        return;
    }
    *bytes = m_capacity > m_dataLength ? m_capacity - m_dataLength : 0;
}

bool CFifoBuffer::consumeWriteBuffer(uint32_t length)
{
    if (length == 0) {
        PTCP_PRINT(1, "%s %d invalied param!\n", kFifoPath, __LINE__);
        return false;
    }
    uint32_t left = m_capacity > m_dataLength ? m_capacity - m_dataLength : 0;
    if (length > left) {
        PTCP_PRINT(1, "%s %d used[%u] is larger than left length[%u]\n", kFifoPath, __LINE__, length, left);
        return false;
    }
    m_dataLength += length;
    return true;
}

// ---- send buffer

int CUdpSendBuffer::write(const CPacket& packet, uint32_t* bytes)
{
    uint32_t n = 0;
    int r = writeOffsetLocked(packet, 0, &n);
    if (r == SR_SUCCESS)
        m_dataLength += n;
    else
        n = 0;
    if (bytes)
        *bytes = n;
    return r;
}

int CUdpSendBuffer::writeOffsetLocked(const CPacket& packet, uint32_t offset, uint32_t* bytes)
{
    if (!packet.valid()) {
        PTCP_PRINT(1, "%s %d invalid param!\n", kSendPath, __LINE__);
        return SR_ERROR;
    }
    if (packet.getSize() == 0) {
        PTCP_PRINT(1, "%s:%d, invalid param, packet size=0\n", kSendPath, __LINE__);
        return SR_ERROR;
    }
    if (m_closed)
        return SR_EOS;
    uint64_t size = packet.getSize();
    if (uint64_t(offset) + m_dataLength >= m_capacity || m_capacity - m_dataLength < size)
        return SR_BLOCK;
    m_queue.push_back(packet);
    *bytes = uint32_t(size);
    return SR_SUCCESS;
}

int CUdpSendBuffer::readOffset(PtcpIovec* entry, int* count, uint32_t, uint32_t offset, uint32_t* bytes)
{
    if (!bytes || !count || !entry) {
        PTCP_PRINT(1, "%s %d invalid param!\n", kSendPath, __LINE__);
        return SR_ERROR;
    }
    if (offset >= m_dataLength) {
        PTCP_PRINT(1, "%s:%d, offset=%u, data_length=%u\n", kSendPath, __LINE__, offset, m_dataLength);
        return m_closed ? SR_EOS : SR_BLOCK;
    }
    for (const CPacket& p : m_queue) {
        uint32_t size = uint32_t(p.getSize());
        if (offset == 0) {
            entry->data = p.getBuffer();
            entry->len = size;
            *count = 1;
            *bytes = size;
            return SR_SUCCESS;
        }
        if (offset < size) {
            PTCP_PRINT(1, "offset[%u] is less than size[%u]!\n", offset, size);
            return SR_ERROR;
        }
        offset -= size;
    }
    PTCP_PRINT(1, "%s %d offset[%d] process crushed!\n", kSendPath, __LINE__, int(offset));
    return SR_ERROR;
}

bool CUdpSendBuffer::consumeReadData(uint32_t length)
{
    if (length > m_dataLength) {
        PTCP_PRINT(1, "consume length[%u] is larger than data length[%u]\n", length, m_dataLength);
        return false;
    }
    uint32_t left = length;
    while (left > 0 && !m_queue.empty()) {
        uint32_t size = uint32_t(m_queue.front().getSize());
        if (size > left) {
            PTCP_PRINT(1, "len[%u] is less than packet size[%u]\n", left, size);
            // keep the count in step with what was dropped
            m_dataLength -= length - left;
            return false;
        }
        m_queue.pop_front();
        left -= size;
    }
    m_dataLength -= length - left;
    return left == 0;
}

// ---- receive buffer

CReceiverBuffer::~CReceiverBuffer() = default;

int CReceiverBuffer::read(CPacket& packet, bool peek)
{
    Infra::CMutexGuard lock(m_mutex);
    if (m_dataLength == 0)
        return m_closed ? SR_EOS : SR_BLOCK;
    if (m_queue.empty()) {
        PTCP_PRINT(1, "%s %d process crushed!\n", kRecvPath, __LINE__);
        return SR_ERROR;
    }
    packet = m_queue.front();
    if (!peek) {
        uint32_t size = uint32_t(packet.getSize());
        m_queue.pop_front();
        m_dataLength = m_dataLength > size ? m_dataLength - size : 0;
        m_readable = 0;
    }
    return SR_SUCCESS;
}

int CReceiverBuffer::read(int, int, int)
{
    PTCP_PRINT(1, "%s %d %s is not implement!\n", kRecvPath, __LINE__, "Orvan::Tou::CReceiverBuffer::read");
    return 0;
}

void CReceiverBuffer::pop()
{
    Infra::CMutexGuard lock(m_mutex);
    m_readable = 0;
    if (m_queue.empty())
        return;
    uint32_t size = uint32_t(m_queue.front().getSize());
    m_dataLength = m_dataLength > size ? m_dataLength - size : 0;
    m_queue.pop_front();
}

int CReceiverBuffer::writeOffset(const CPacket& packet, uint32_t offset, uint32_t* bytes)
{
    Infra::CMutexGuard lock(m_mutex);
    return writeOffsetLocked(packet, offset, bytes);
}

int CReceiverBuffer::writeOffsetLocked(const CPacket& packet, uint32_t offset, uint32_t* bytes)
{
    if (!packet.valid()) {
        PTCP_PRINT(1, "%s %d invalid param!\n", kRecvPath, __LINE__);
        return SR_ERROR;
    }
    if (m_closed)
        return SR_EOS;
    if (uint64_t(m_dataLength) + offset >= m_capacity)
        return SR_BLOCK;
    if (offset != 0) {
        m_ooo[offset + m_position] = packet;
    } else {
        m_queue.push_back(packet);
        if (!m_ooo.empty()) {
            m_position += uint32_t(packet.getSize());
            for (auto it = m_ooo.find(m_position); it != m_ooo.end(); it = m_ooo.find(m_position)) {
                m_position += uint32_t(it->second.getSize());
                m_queue.push_back(it->second);
                m_ooo.erase(it);
            }
            if (m_ooo.empty())
                m_position = 0;
        }
    }
    if (bytes)
        *bytes = uint32_t(packet.getSize());
    return SR_SUCCESS;
}

} // namespace Tou
} // namespace Orvan
