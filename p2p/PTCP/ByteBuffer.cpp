#include "PTCP/ByteBuffer.h"

#include <algorithm>
#include <cstring>

namespace Orvan {
namespace Tou {

void setBE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

void setBE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

void setBE64(uint8_t* p, uint32_t low, uint32_t high)
{
    setBE32(p, high);
    setBE32(p + 4, low);
}

uint64_t getBE64(const uint8_t* p) { return (uint64_t(getBE32(p)) << 32) | getBE32(p + 4); }
uint8_t getByte(const uint8_t* p, size_t index) { return p[index]; }
uint16_t getBE16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

uint32_t getBE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

uint16_t swap16(uint16_t v) { return uint16_t((v >> 8) | (v << 8)); }
uint32_t swap32(uint32_t v) { return (uint32_t(swap16(uint16_t(v))) << 16) | swap16(uint16_t(v >> 16)); }
uint64_t swap64(uint64_t v) { return (uint64_t(swap32(uint32_t(v))) << 32) | swap32(uint32_t(v >> 32)); }

CByteBuffer::CByteBuffer() : m_data(4096) {}

CByteBuffer::CByteBuffer(const uint8_t* bytes, size_t length, int byteOrder)
    : m_data(bytes, bytes + length), m_end(length), m_byteOrder(byteOrder)
{
}

CByteBuffer::CByteBuffer(const char* text)
    : CByteBuffer(reinterpret_cast<const uint8_t*>(text), text ? std::strlen(text) : 0)
{
}

bool CByteBuffer::take(uint8_t* dst, size_t n)
{
    if (m_end - m_read < n)
        return false;
    if (dst)
        std::memcpy(dst, m_data.data() + m_read, n);
    m_read += n;
    return true;
}

uint64_t CByteBuffer::readValue(const uint8_t* p, size_t n) const
{
    uint64_t v = 0;
    if (m_byteOrder == 0) {
        for (size_t i = 0; i < n; ++i)
            v = (v << 8) | p[i];
    } else {
        for (size_t i = n; i-- > 0;)
            v = (v << 8) | p[i];
    }
    return v;
}

bool CByteBuffer::readUInt8(uint8_t* v) { return take(v, 1); }

bool CByteBuffer::readUInt16(uint16_t* v)
{
    uint8_t b[2];
    if (!take(b, 2))
        return false;
    *v = uint16_t(readValue(b, 2));
    return true;
}

bool CByteBuffer::readUInt24(uint32_t* v)
{
    uint8_t b[3];
    if (!take(b, 3))
        return false;
    *v = uint32_t(readValue(b, 3));
    return true;
}

bool CByteBuffer::readUInt32(uint32_t* v)
{
    uint8_t b[4];
    if (!take(b, 4))
        return false;
    *v = uint32_t(readValue(b, 4));
    return true;
}

bool CByteBuffer::readUInt64(uint64_t* v)
{
    uint8_t b[8];
    if (!take(b, 8))
        return false;
    *v = m_byteOrder == 0 ? getBE64(b) : readValue(b, 8);
    return true;
}

bool CByteBuffer::readBytes(void* dst, size_t length) { return take(static_cast<uint8_t*>(dst), length); }

bool CByteBuffer::readString(std::string* out, size_t length)
{
    if (m_end - m_read < length)
        return false;
    out->append(reinterpret_cast<const char*>(m_data.data() + m_read), length);
    m_read += length;
    return true;
}

bool CByteBuffer::consume(size_t length) { return take(nullptr, length); }

void CByteBuffer::put(const uint8_t* src, size_t n)
{
    if (m_data.size() - m_end < n) {
        // compact the unread bytes to the front, growing when the capacity itself is short
        size_t unread = m_end - m_read;
        if (m_data.size() < unread + n) {
            std::vector<uint8_t> grown(std::max(unread + n, m_data.size() * 3 / 2));
            std::memcpy(grown.data(), m_data.data() + m_read, unread);
            m_data.swap(grown);
        } else {
            std::memmove(m_data.data(), m_data.data() + m_read, unread);
        }
        m_read = 0;
        m_end = unread;
        ++m_changes;
    }
    std::memcpy(m_data.data() + m_end, src, n);
    m_end += n;
}

static void encode(uint8_t* b, uint64_t v, size_t n, int byteOrder)
{
    for (size_t i = 0; i < n; ++i) {
        size_t shift = byteOrder == 0 ? 8 * (n - 1 - i) : 8 * i;
        b[i] = uint8_t(v >> shift);
    }
}

void CByteBuffer::writeUInt8(uint8_t v) { put(&v, 1); }

void CByteBuffer::writeUInt16(uint16_t v)
{
    uint8_t b[2];
    encode(b, v, 2, m_byteOrder);
    put(b, 2);
}

void CByteBuffer::writeUInt24(uint32_t v)
{
    uint8_t b[3];
    encode(b, v, 3, m_byteOrder);
    put(b, 3);
}

void CByteBuffer::writeUInt32(uint32_t v)
{
    uint8_t b[4];
    encode(b, v, 4, m_byteOrder);
    put(b, 4);
}

void CByteBuffer::writeUInt64(uint64_t v)
{
    uint8_t b[8];
    encode(b, v, 8, m_byteOrder);
    put(b, 8);
}

void CByteBuffer::writeBytes(const void* bytes, size_t length) { put(static_cast<const uint8_t*>(bytes), length); }
void CByteBuffer::writeString(const std::string& s) { put(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }

void CByteBuffer::getReadPosition(size_t* position, uint32_t* counter) const
{
    *position = m_read;
    *counter = m_changes;
}

bool CByteBuffer::setReadPosition(size_t position, uint32_t counter)
{
    if (counter != m_changes || position > m_end)
        return false;
    m_read = position;
    return true;
}

void CByteBuffer::clear()
{
    std::fill(m_data.begin(), m_data.end(), 0);
    ++m_changes;
    m_read = 0;
    m_end = 0;
}

} // namespace Tou
} // namespace Orvan
