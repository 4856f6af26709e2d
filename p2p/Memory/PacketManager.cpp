#include "Memory/PacketManager.h"

#include "Infra3/CurrentThread.h"
#include "Infra3/Error.h"
#include "Infra3/PrintLog.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace Orvan {
namespace Memory {

namespace {

void* defaultMalloc(size_t size)
{
    return std::malloc(size);
}

void defaultFree(void* p)
{
    std::free(p);
}

void* defaultMemcpy(void* dst, const void* src, size_t length)
{
    return std::memcpy(dst, src, length);
}

struct Configuration
{
    int policy = CPacketManager::policySystem;
    CPacketManager::MemoryOperator memop{&defaultMalloc, &defaultFree, &defaultMemcpy};
    CPacketManager::PoolParameter param{2097152, 1024, 4};
};

Configuration& configuration()
{
    static Configuration* c = new Configuration;
    return *c;
}

std::mutex s_instanceMutex;
std::atomic<PacketManagerInternal*> s_instance{nullptr};

int floorLog2(size_t v)
{
    int r = 0;
    while (v >>= 1)
        ++r;
    return r;
}

} // namespace

// Configuration.

bool CPacketManager::config(int policy, const MemoryOperator* memop, const PoolParameter* param)
{
    if (s_instance.load()) {
        Infra::logWarn("[%s:%d] tid:%d, PacketManagerInternal::config() failured: Packet Manager has been configured!\n",
                       "Src/Memory/PacketManager", 327, Infra::currentThreadId());
        return false;
    }
    Configuration& c = configuration();
    if (policy != 0)
        c.policy = policy;
    if (param) {
        ORVAN_ASSERT(param->chunkSize >= 1024 && param->chunkSize > 0 && param->totalSize % param->chunkSize == 0);
        ORVAN_ASSERT(param->alignSize >= 4);
        c.param = *param;
    }
    if (memop) {
        ORVAN_ASSERT(!memop->malloc.empty() && !memop->free.empty() && !memop->memcpy.empty());
        c.memop = *memop;
    }
    return true;
}

// Manager.

PacketManagerInternal* PacketManagerInternal::instance()
{
    PacketManagerInternal* m = s_instance.load();
    if (m)
        return m;
    std::lock_guard<std::mutex> lock(s_instanceMutex);
    m = s_instance.load();
    if (!m) {
        // Kept for the life of the process: packets may be released by threads still running at exit.
        Configuration& c = configuration();
        m = new PacketManagerInternal(c.policy, c.memop, c.param);
        s_instance = m;
    }
    return m;
}

PacketManagerInternal::PacketManagerInternal(int policy, const CPacketManager::MemoryOperator& memop,
                                             const CPacketManager::PoolParameter& param)
    : m_policy(policy), m_memop(memop), m_param(param)
{
    m_alignment = size_t(1) << floorLog2(m_param.alignSize < 4 ? 4 : m_param.alignSize);
    if (policy == CPacketManager::policySystem) {
        Infra::logInfo("CPacketManager: System Policy\n");
        return;
    }
    if (policy == CPacketManager::policyNone)
        return;
    buildPool();
}

PacketManagerInternal::~PacketManagerInternal()
{
    if (m_policy != CPacketManager::policySystem) {
        if (m_pOriginBuffer && !m_memop.free.empty())
            m_memop.free(m_pOriginBuffer);
        std::free(m_nodes);
        std::free(m_lists);
    }
}

void PacketManagerInternal::buildPool()
{
    m_blockCount = static_cast<int>(m_param.totalSize / m_param.chunkSize);
    m_pOriginBuffer = static_cast<char*>(m_memop.malloc((m_blockCount + 1) * m_param.chunkSize));
    ORVAN_ASSERT(NULL != m_pOriginBuffer);
    uintptr_t raw = reinterpret_cast<uintptr_t>(m_pOriginBuffer);
    m_base = m_pOriginBuffer + ((m_param.chunkSize - raw % m_param.chunkSize) % m_param.chunkSize);
    m_chunkMask = m_param.chunkSize - 1;
    m_chunkShift = floorLog2(m_param.chunkSize);
    m_orderCount = floorLog2(static_cast<size_t>(m_blockCount)) + 1;
    m_nodes = static_cast<Node*>(std::calloc(static_cast<size_t>(m_blockCount), sizeof(Node)));
    m_lists = static_cast<Node*>(std::calloc(static_cast<size_t>(m_orderCount), sizeof(Node)));
    ORVAN_ASSERT(m_nodes != NULL && m_lists != NULL);
    for (int i = 0; i < m_blockCount; ++i) {
        m_nodes[i].realIdx = i;
        m_nodes[i].order = 0;
        m_nodes[i].address = m_base + static_cast<size_t>(i) * m_param.chunkSize;
        m_nodes[i].pre = m_nodes[i].next = nullptr;
    }
    int remaining = m_blockCount;
    int nextChunk = 0;
    for (int k = m_orderCount - 1; k >= 0; --k) {
        Node* head = &m_lists[k];
        head->realIdx = -1;
        head->order = k + 1;
        head->address = nullptr;
        head->pre = head->next = head;
        int n = remaining >> k;
        for (int j = 0; j < n; ++j) {
            Node* block = &m_nodes[nextChunk];
            block->order = k + 1;
            // Append at the tail so that the list keeps address order.
            block->pre = head->pre;
            block->next = head;
            head->pre->next = block;
            head->pre = block;
            nextChunk += 1 << k;
        }
        remaining -= n << k;
    }
    Infra::logInfo("CPacketManager: malloc total(%zu) pagesize(%zu)blockCount (%d) ManagermentSize(%zu)\n",
                   m_param.totalSize, m_param.chunkSize, m_blockCount,
                   static_cast<size_t>(m_blockCount + m_orderCount) * sizeof(Node));
    Infra::logInfo("                AddrRange(%p-%p)\n", static_cast<void*>(m_base),
                   static_cast<void*>(m_base + m_param.totalSize));
}

void PacketManagerInternal::listInsert(int k, Node* node)
{
    Node* head = &m_lists[k];
    node->pre = head;
    node->next = head->next;
    head->next->pre = node;
    head->next = node;
}

void PacketManagerInternal::listRemove(Node* node)
{
    node->pre->next = node->next;
    node->next->pre = node->pre;
    node->pre = node->next = nullptr;
}

void* PacketManagerInternal::allocate(size_t& size)
{
    switch (m_policy) {
    case CPacketManager::policyPool:
    case CPacketManager::policyPoolData:
        return poolAlloc(size);
    default:
        return m_memop.malloc(size);
    }
}

void PacketManagerInternal::release(void* p)
{
    switch (m_policy) {
    case CPacketManager::policyPool:
    case CPacketManager::policyPoolData:
        poolFree(p);
        break;
    default:
        m_memop.free(p);
        break;
    }
}

void* PacketManagerInternal::copy(void* dst, const void* src, size_t length)
{
    switch (m_policy) {
    case CPacketManager::policyPool:
    case CPacketManager::policyPoolData:
        return poolCopy(dst, src, length);
    default:
        return m_memop.memcpy(dst, src, length);
    }
}

void* PacketManagerInternal::poolAlloc(size_t& size)
{
    // Smallest k whose block (chunk << k) holds size; size 0 wraps to a huge order and fails.
    size_t scaled = (size - 1) >> (m_chunkShift - 1);
    int k = scaled == 0 ? 0 : floorLog2(scaled);
    m_lock.enter();
    int i = k;
    while (i < m_orderCount && m_lists[i].next == &m_lists[i])
        ++i;
    if (i >= m_orderCount) {
        m_lock.leave();
        Infra::logInfo("CPacket No Free Space\n");
        return nullptr;
    }
    Node* block = m_lists[i].next;
    listRemove(block);
    block->order = 0;
    int idx = block->realIdx;
    // Split: the lower half stays free, the work continues with the upper half.
    while (i > k) {
        Node* lower = &m_nodes[idx];
        lower->order = i;
        listInsert(i - 1, lower);
        idx += 1 << (i - 1);
        --i;
    }
    m_nodes[idx].order = -(k + 1);
    m_lock.leave();
    size = m_param.chunkSize << k;
    return m_nodes[idx].address;
}

void PacketManagerInternal::poolFree(void* p)
{
    if (!p)
        return;
    long id = (static_cast<char*>(p) - m_base) >> m_chunkShift;
    ORVAN_ASSERT(id >= 0);
    // A pointer past the pool, or one that is not the head of an allocated block, would corrupt the lists.
    ORVAN_ASSERT(id < m_blockCount);
    m_lock.enter();
    int i = -m_nodes[id].order;
    if (i <= 0 || m_nodes[id].address != p) {
        m_lock.leave();
        Infra::assertionFailed("block allocated", __PRETTY_FUNCTION__, __FILE__, __LINE__);
    }
    m_nodes[id].order = 0;
    while (i < m_orderCount) {
        long buddy = id ^ (1L << (i - 1));
        if (buddy >= m_blockCount || m_nodes[buddy].order != i)
            break;
        listRemove(&m_nodes[buddy]);
        m_nodes[buddy].order = 0;
        id &= ~(1L << (i - 1));
        ++i;
    }
    m_nodes[id].order = i;
    listInsert(i - 1, &m_nodes[id]);
    m_lock.leave();
}

void* PacketManagerInternal::poolCopy(void* dst, const void* src, size_t length)
{
    const char* lo = m_base;
    const char* hi = m_base + m_param.totalSize;
    const char* d = static_cast<const char*>(dst);
    const char* s = static_cast<const char*>(src);
    if (d >= lo && d < hi && s >= lo && s < hi)
        return m_memop.memcpy(dst, src, length);
    return std::memcpy(dst, src, length);
}

size_t PacketManagerInternal::getTotalBytes()
{
    if (m_policy == CPacketManager::policyPool || m_policy == CPacketManager::policyPoolData)
        return m_param.totalSize;
    return 0;
}

size_t PacketManagerInternal::getFreeBytes()
{
    if (m_policy != CPacketManager::policyPool && m_policy != CPacketManager::policyPoolData)
        return 0;
    Infra::CMutexGuard guard(m_lock);
    size_t total = 0;
    for (int k = 0; k < m_orderCount; ++k)
        for (Node* n = m_lists[k].next; n != &m_lists[k]; n = n->next)
            total += m_param.chunkSize << k;
    return total;
}

void PacketManagerInternal::dump()
{
    if (m_policy == CPacketManager::policySystem || m_policy == CPacketManager::policyPoolData) {
        Infra::logInfo("CPacketManager dump: SYS Policy\n");
        return;
    }
    if (m_policy == CPacketManager::policyNone)
        return;
    Infra::logInfo("CPacketManager: dump FreeList\n");
    Infra::CMutexGuard guard(m_lock);
    for (int k = 0; k < m_orderCount; ++k) {
        Node* head = &m_lists[k];
        Infra::logInfo("BufferList id:%d, order(%d) head(%p), headpre(%p)next(%p)\n", k, head->order,
                       static_cast<void*>(head), static_cast<void*>(head->pre), static_cast<void*>(head->next));
        for (Node* n = head->next; n != head; n = n->next)
            Infra::logInfo("bufflist(%d)id: %d, realIdx(%d)self(%p)order(%d) pre(%p), next(%p)\n", k, 0, n->realIdx,
                           static_cast<void*>(n), n->order, static_cast<void*>(n->pre), static_cast<void*>(n->next));
    }
}

// Facade.

CPacketManager::CPacketManager() : m_internal(PacketManagerInternal::instance()) {}

CPacketManager* CPacketManager::instance()
{
    static CPacketManager* manager = new CPacketManager;
    return manager;
}

void* CPacketManager::malloc(size_t size)
{
    return m_internal->allocate(size);
}

void CPacketManager::free(void* p)
{
    m_internal->release(p);
}

void* CPacketManager::memcpy(void* dst, const void* src, size_t length)
{
    return m_internal->copy(dst, src, length);
}

size_t CPacketManager::getTotalBytes()
{
    return m_internal->getTotalBytes();
}

size_t CPacketManager::getFreeBytes()
{
    return m_internal->getFreeBytes();
}

void* CPacketManager::getBufferAddress()
{
    return m_internal->getBufferAddress();
}

void CPacketManager::dump()
{
    m_internal->dump();
}

} // namespace Memory
} // namespace Orvan
