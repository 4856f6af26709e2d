// Byte-budgeted packet buffers of the PTCP stream: window arithmetic counts bytes, storage keeps
// whole packets, so a packet is never split, merged or copied on the send side.
#ifndef ORVAN_TOU_FIFOBUFFER_H
#define ORVAN_TOU_FIFOBUFFER_H

#include "Infra3/Mutex.h"
#include "Memory/Packet.h"

#include <cstdint>
#include <deque>
#include <map>

namespace Orvan {
namespace Tou {

using Memory::CPacket;

// Results of the buffer operations.
enum StreamResult
{
    SR_ERROR = 0,
    SR_SUCCESS = 1,
    SR_BLOCK = 2,
    SR_EOS = 3
};

// One (pointer, length) piece of a gathered datagram.
struct PtcpIovec
{
    const uint8_t* data;
    uint32_t len;
};

class CFifoBuffer
{
public:
    explicit CFifoBuffer(uint32_t capacity);
    virtual ~CFifoBuffer();
    CFifoBuffer(const CFifoBuffer&) = delete;
    CFifoBuffer& operator=(const CFifoBuffer&) = delete;

    virtual int read(CPacket& packet, bool peek);
    virtual int read(int a, int b, int c);
    virtual void pop();
    virtual int write(const CPacket& packet, uint32_t* bytes);
    virtual int readOffset(PtcpIovec* entry, int* count, uint32_t length, uint32_t offset, uint32_t* bytes);
    virtual int writeOffset(const CPacket& packet, uint32_t offset, uint32_t* bytes);
    virtual bool consumeReadData(uint32_t length);

    bool setCapacity(uint32_t size);
    uint32_t capacity() const { return m_capacity; }
    bool getBuffered(uint32_t* bytes) const;
    void getWriteRemaining(uint32_t* bytes) const;
    bool consumeWriteBuffer(uint32_t length);

protected:
    virtual int writeOffsetLocked(const CPacket& packet, uint32_t offset, uint32_t* bytes);

    uint32_t m_capacity;
    uint32_t m_dataLength = 0;
    uint8_t m_readable = 0;
    int m_closed = 0;
    Infra::CMutex m_mutex;
    std::deque<CPacket> m_queue;
};

// Packets queued for sending and not yet acknowledged, oldest first.
class CUdpSendBuffer : public CFifoBuffer
{
public:
    explicit CUdpSendBuffer(uint32_t capacity) : CFifoBuffer(capacity) {}
    int write(const CPacket& packet, uint32_t* bytes) override;
    // The whole packet that starts offset bytes after the oldest unacknowledged byte.
    int readOffset(PtcpIovec* entry, int* count, uint32_t length, uint32_t offset, uint32_t* bytes) override;
    // Drops acknowledged packets; an acknowledgement inside a packet is refused.
    bool consumeReadData(uint32_t length) override;

protected:
    int writeOffsetLocked(const CPacket& packet, uint32_t offset, uint32_t* bytes) override;
};

// Received packets: in order in the queue, out of order in a map by stream position.
class CReceiverBuffer : public CFifoBuffer
{
public:
    explicit CReceiverBuffer(uint32_t capacity) : CFifoBuffer(capacity) {}
    ~CReceiverBuffer() override;
    int read(CPacket& packet, bool peek) override;
    int read(int a, int b, int c) override;
    void pop() override;
    // offset counts from the end of the readable data.
    int writeOffset(const CPacket& packet, uint32_t offset, uint32_t* bytes) override;
    size_t outOfOrderCount() const { return m_ooo.size(); }

protected:
    int writeOffsetLocked(const CPacket& packet, uint32_t offset, uint32_t* bytes) override;

private:
    std::map<uint32_t, CPacket> m_ooo;
    uint32_t m_position = 0;
};

} // namespace Tou
} // namespace Orvan

#endif
