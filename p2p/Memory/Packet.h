#ifndef ORVAN_MEMORY_PACKET_H
#define ORVAN_MEMORY_PACKET_H

#include "Infra3/Function.h"

#include <cstddef>
#include <cstdint>

namespace Orvan {
namespace Memory {

// Reference-counted buffer behind a CPacket.
class PacketInternal
{
public:
    virtual void destroy() = 0;
    virtual int addRef() = 0;
    virtual int release() = 0;
    virtual size_t append(const void* data, size_t length) = 0;
    virtual uint8_t* getBuffer() = 0;
    virtual size_t getSize() = 0;
    virtual bool resize(size_t length) = 0;
    virtual size_t getCapacity() = 0;
    virtual uint8_t* getExtBuffer() = 0;
    virtual size_t getExtSize() = 0;

    // A new manager-allocated buffer with count 1, or null.
    static PacketInternal* create(size_t size, size_t extSize);

protected:
    virtual ~PacketInternal() {}
};

// Handle on a shared byte buffer; copies share the buffer, the last one frees it.
class CPacket
{
public:
    using FreeProc = Infra::TFunction2<void, uint8_t*, size_t>;
    using ReleaseProc = Infra::TFunction2<void, void*, size_t>;

    CPacket();
    // The used length equals size; the packet stays empty when memory is short.
    explicit CPacket(size_t size, size_t extSize = 0);
    // Bytes [offset, offset + size) of parent; keeps the parent's buffer alive.
    CPacket(const CPacket& parent, size_t offset, size_t size, size_t extSize = 0);
    // Wraps a caller's buffer; freeProc gets (buffer, size) when the last handle goes.
    CPacket(uint8_t* buffer, size_t size, const FreeProc& freeProc);
    // No data until append hands one over; releaseProc gets (context, capacity) when the last handle goes.
    CPacket(size_t capacity, const ReleaseProc& releaseProc, void* context, size_t extSize);
    CPacket(const CPacket& other);
    CPacket& operator=(const CPacket& other);
    virtual ~CPacket();

    uint8_t* getBuffer() const;
    size_t getSize() const;
    size_t getCapacity() const;
    uint8_t* getExtBuffer() const;
    size_t getExtSize() const;
    // Bytes taken: never more than the room left.
    size_t append(const void* data, size_t length);
    bool resize(size_t length);
    void reset();
    bool valid() const { return m_internal != nullptr; }

private:
    PacketInternal* m_internal;
};

} // namespace Memory
} // namespace Orvan

#endif
