// Byte-order helpers and a growable byte buffer with a read cursor, for the PTCP option lists.
#ifndef ORVAN_TOU_BYTEBUFFER_H
#define ORVAN_TOU_BYTEBUFFER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Orvan {
namespace Tou {

void setBE16(uint8_t* p, uint16_t v);
void setBE32(uint8_t* p, uint32_t v);
void setBE64(uint8_t* p, uint32_t low, uint32_t high);
uint64_t getBE64(const uint8_t* p);
uint8_t getByte(const uint8_t* p, size_t index);
uint16_t getBE16(const uint8_t* p);
uint32_t getBE32(const uint8_t* p);
uint16_t swap16(uint16_t v);
uint32_t swap32(uint32_t v);
uint64_t swap64(uint64_t v);

class CByteBuffer
{
public:
    // Byte order 0: network order for multi-byte values; non-zero: host order.
    CByteBuffer();
    CByteBuffer(const uint8_t* bytes, size_t length, int byteOrder = 0);
    explicit CByteBuffer(const char* text);

    bool readUInt8(uint8_t* v);
    bool readUInt16(uint16_t* v);
    bool readUInt24(uint32_t* v);
    bool readUInt32(uint32_t* v);
    bool readUInt64(uint64_t* v);
    bool readBytes(void* dst, size_t length);
    bool readString(std::string* out, size_t length);
    bool consume(size_t length);

    void writeUInt8(uint8_t v);
    void writeUInt16(uint16_t v);
    void writeUInt24(uint32_t v);
    void writeUInt32(uint32_t v);
    void writeUInt64(uint64_t v);
    void writeBytes(const void* bytes, size_t length);
    void writeString(const std::string& s);

    void getReadPosition(size_t* position, uint32_t* counter) const;
    bool setReadPosition(size_t position, uint32_t counter);
    void clear();

    const uint8_t* data() const { return m_data.data() + m_read; }
    size_t length() const { return m_end - m_read; }
    size_t capacity() const { return m_data.size(); }

private:
    bool take(uint8_t* dst, size_t n);
    void put(const uint8_t* src, size_t n);
    uint64_t readValue(const uint8_t* p, size_t n) const;

    std::vector<uint8_t> m_data;
    size_t m_read = 0;
    size_t m_end = 0;
    uint32_t m_changes = 0;
    int m_byteOrder = 0;
};

} // namespace Tou
} // namespace Orvan

#endif
