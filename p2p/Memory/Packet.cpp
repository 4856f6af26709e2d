#include "Memory/Packet.h"

#include "Infra3/CurrentThread.h"
#include "Infra3/PrintLog.h"
#include "Memory/PacketManager.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace Orvan {
namespace Memory {

namespace {

size_t roundUp(size_t v, size_t a)
{
    return (v + a - 1) / a * a;
}

enum : uint8_t
{
    kindManager = 0,
    kindSlice = 1,
    kindExternal = 2
};

class OldPacketInternal : public PacketInternal
{
public:
    std::atomic<int> m_refCount{1};
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
    uint8_t* m_ext = nullptr;
    uint8_t m_extSize = 0;
    uint8_t m_kind = kindManager;
    CPacket* m_parent = nullptr;
    CPacket::FreeProc m_freeProc;
    bool m_attached = false;
    CPacket::ReleaseProc m_releaseProc;
    void* m_context = nullptr;
    // Where the header lies: inside the manager block, in a C-heap block, or from new.
    enum Home : uint8_t
    {
        inManagerBlock,
        inHeapBlock,
        fromNew
    } m_home = fromNew;
    uint8_t* m_heapBlock = nullptr; // inHeapBlock: the block to free
    bool m_dataFromManager = false;  // policy 3: data area to give back

    void destroy() override
    {
        PacketManagerInternal* manager = PacketManagerInternal::instance();
        if (m_attached) {
            std::free(m_ext);
            if (m_data && !m_releaseProc.empty())
                m_releaseProc(m_context, m_capacity);
            delete this;
            return;
        }
        switch (m_kind) {
        case kindManager:
            if (m_home == inManagerBlock) {
                uint8_t* block = m_data;
                this->~OldPacketInternal();
                manager->release(block);
            } else {
                uint8_t* data = m_data;
                uint8_t* heap = m_heapBlock;
                bool fromManager = m_dataFromManager;
                this->~OldPacketInternal();
                if (fromManager)
                    manager->release(data);
                std::free(heap);
            }
            break;
        case kindSlice: {
            uint8_t* heap = m_heapBlock;
            delete m_parent;
            this->~OldPacketInternal();
            std::free(heap);
            break;
        }
        default:
            if (!m_freeProc.empty())
                m_freeProc(m_data, m_size);
            delete this;
            break;
        }
    }

    int addRef() override { return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1; }

    int release() override
    {
        int count = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (count == 0)
            destroy();
        return count;
    }

    size_t append(const void* data, size_t length) override
    {
        if (m_attached) {
            m_data = static_cast<uint8_t*>(const_cast<void*>(data));
            m_size = length;
            return length;
        }
        size_t n = std::min(length, m_capacity - m_size);
        if (n > 0) {
            PacketManagerInternal::instance()->copy(m_data + m_size, data, n);
            m_size += n;
        }
        return n;
    }

    uint8_t* getBuffer() override { return m_data; }
    size_t getSize() override { return m_size; }

    bool resize(size_t length) override
    {
        if (length > m_capacity)
            return false;
        m_size = length;
        return true;
    }

    size_t getCapacity() override { return m_capacity; }
    uint8_t* getExtBuffer() override { return m_extSize ? m_ext : nullptr; }
    size_t getExtSize() override { return m_extSize; }

    ~OldPacketInternal() override = default;
};

const size_t kHeader = sizeof(OldPacketInternal);
const size_t kHeaderAlign = alignof(OldPacketInternal);

// A C-heap block with the extra area at its start and the header at its end.
OldPacketInternal* heapHeader(size_t extSize)
{
    size_t headerOffset = roundUp(extSize, kHeaderAlign);
    uint8_t* block = static_cast<uint8_t*>(std::malloc(headerOffset + kHeader));
    if (!block)
        return nullptr;
    OldPacketInternal* p = new (block + headerOffset) OldPacketInternal;
    p->m_home = OldPacketInternal::inHeapBlock;
    p->m_heapBlock = block;
    p->m_ext = block;
    p->m_extSize = static_cast<uint8_t>(extSize);
    return p;
}

} // namespace

PacketInternal* PacketInternal::create(size_t size, size_t extSize)
{
    PacketManagerInternal* manager = PacketManagerInternal::instance();
    size_t align = manager->alignment();
    // The extra size is an 8-bit field.
    extSize = std::min<size_t>(extSize, 255);
    size_t tail = roundUp(extSize + kHeader, align);
    int policy = manager->policy();

    if (policy == CPacketManager::policySystem || policy == CPacketManager::policyPool) {
        size_t capacity = roundUp(size, align);
        size_t total = 0;
        size_t headerOffset = 0;
        if (policy == CPacketManager::policySystem) {
            // Header kept aligned for its atomic count.
            headerOffset = roundUp(capacity + extSize, kHeaderAlign);
            total = headerOffset + kHeader;
        } else {
            total = capacity + tail;
        }
        size_t real = total;
        uint8_t* block = static_cast<uint8_t*>(manager->allocate(real));
        if (!block) {
            Infra::logInfo("PacketInternal::create(): NO enough, need size(%zu) ext(%zu)\n", size, extSize);
            return nullptr;
        }
        if (policy == CPacketManager::policyPool) {
            headerOffset = (real - kHeader) / kHeaderAlign * kHeaderAlign;
            capacity = real - tail;
        }
        OldPacketInternal* p = new (block + headerOffset) OldPacketInternal;
        p->m_home = OldPacketInternal::inManagerBlock;
        p->m_data = block;
        p->m_size = size;
        p->m_capacity = capacity;
        p->m_ext = block + capacity;
        p->m_extSize = static_cast<uint8_t>(extSize);
        p->m_kind = kindManager;
        return p;
    }

    if (policy == CPacketManager::policyPoolData) {
        uint8_t* data = nullptr;
        size_t real = 0;
        if (size > 0) {
            real = size;
            data = static_cast<uint8_t*>(manager->allocate(real));
            if (!data) {
                Infra::logInfo("PacketInternal::create(): 2 NO enough, need size(%zu) ext(%zu)\n", size, extSize);
                return nullptr;
            }
        }
        OldPacketInternal* p = heapHeader(extSize);
        if (!p) {
            if (data)
                manager->release(data);
            Infra::logError("[%s:%d] tid:%d, PacketInternal::create(): malloc failured! size(%zu)\n",
                            "Src/Memory/Packet", 123, Infra::currentThreadId(), tail);
            return nullptr;
        }
        p->m_data = data;
        p->m_size = size;
        p->m_capacity = real;
        p->m_kind = kindManager;
        p->m_dataFromManager = data != nullptr;
        return p;
    }

    Infra::logDebug("tracepoint: %s, %d.\n", "Src/Memory/Packet", 132);
    return nullptr;
}

CPacket::CPacket() : m_internal(nullptr) {}

CPacket::CPacket(size_t size, size_t extSize) : m_internal(PacketInternal::create(size, extSize)) {}

CPacket::CPacket(const CPacket& parent, size_t offset, size_t size, size_t extSize) : m_internal(nullptr)
{
    size_t parentSize = parent.getSize();
    if (!parent.valid() || offset >= parentSize || size > parentSize - offset) {
        Infra::logWarn("[%s:%d] tid:%d, PacketInternal::create() offset or size is invalid!! huge_size(%zu), "
                       "offset(%zu), size(%zu)\n",
                       "Src/Memory/Packet", 150, Infra::currentThreadId(), parentSize, offset, size);
        return;
    }
    extSize = std::min<size_t>(extSize, 255);
    OldPacketInternal* p = heapHeader(extSize);
    if (!p) {
        Infra::logError("[%s:%d] tid:%d, PacketInternal::create(): malloc failured! size(%zu)\n", "Src/Memory/Packet",
                        159, Infra::currentThreadId(), extSize + kHeader);
        return;
    }
    p->m_data = parent.getBuffer() + offset;
    p->m_size = size;
    p->m_capacity = size;
    p->m_kind = kindSlice;
    p->m_parent = new CPacket(parent);
    m_internal = p;
}

CPacket::CPacket(uint8_t* buffer, size_t size, const FreeProc& freeProc) : m_internal(nullptr)
{
    OldPacketInternal* p = new (std::nothrow) OldPacketInternal;
    if (!p)
        return;
    p->m_data = buffer;
    p->m_size = size;
    p->m_capacity = size;
    p->m_kind = kindExternal;
    p->m_freeProc = freeProc;
    m_internal = p;
}

CPacket::CPacket(size_t capacity, const ReleaseProc& releaseProc, void* context, size_t extSize)
    : m_internal(nullptr)
{
    OldPacketInternal* p = new (std::nothrow) OldPacketInternal;
    if (!p)
        return;
    extSize = std::min<size_t>(extSize, 255);
    if (extSize > 0) {
        p->m_ext = static_cast<uint8_t*>(std::malloc(extSize));
        if (!p->m_ext) {
            delete p;
            return;
        }
    }
    p->m_extSize = static_cast<uint8_t>(extSize);
    p->m_capacity = capacity;
    p->m_attached = true;
    p->m_releaseProc = releaseProc;
    p->m_context = context;
    m_internal = p;
}

CPacket::CPacket(const CPacket& other) : m_internal(other.m_internal)
{
    if (m_internal)
        m_internal->addRef();
}

CPacket& CPacket::operator=(const CPacket& other)
{
    if (m_internal == other.m_internal)
        return *this;
    if (other.m_internal)
        other.m_internal->addRef();
    if (m_internal)
        m_internal->release();
    m_internal = other.m_internal;
    return *this;
}

CPacket::~CPacket()
{
    if (m_internal)
        m_internal->release();
}

uint8_t* CPacket::getBuffer() const
{
    return m_internal ? m_internal->getBuffer() : nullptr;
}

size_t CPacket::getSize() const
{
    return m_internal ? m_internal->getSize() : 0;
}

size_t CPacket::getCapacity() const
{
    return m_internal ? m_internal->getCapacity() : 0;
}

uint8_t* CPacket::getExtBuffer() const
{
    return m_internal ? m_internal->getExtBuffer() : nullptr;
}

size_t CPacket::getExtSize() const
{
    return m_internal ? m_internal->getExtSize() : 0;
}

size_t CPacket::append(const void* data, size_t length)
{
    return m_internal ? m_internal->append(data, length) : 0;
}

bool CPacket::resize(size_t length)
{
    return m_internal ? m_internal->resize(length) : false;
}

void CPacket::reset()
{
    if (m_internal) {
        PacketInternal* old = m_internal;
        m_internal = nullptr;
        old->release();
    }
}

} // namespace Memory
} // namespace Orvan
