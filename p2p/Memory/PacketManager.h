#ifndef ORVAN_MEMORY_PACKETMANAGER_H
#define ORVAN_MEMORY_PACKETMANAGER_H

#include "Infra3/Function.h"
#include "Infra3/Mutex.h"

#include <cstddef>

namespace Orvan {
namespace Memory {

class PacketManagerInternal;

// Public face of the packet manager, which decides where packet memory comes from.
class CPacketManager
{
public:
    enum Policy
    {
        policySystem = 1,   // each packet one block from the memory operator's malloc
        policyPool = 2,     // each packet one block of the buddy pool
        policyPoolData = 3, // data from the buddy pool, header and extra area from the C heap
        policyNone = 4      // no pool; packet creation fails
    };

    struct MemoryOperator
    {
        Infra::TFunction1<void*, size_t> malloc;
        Infra::TFunction1<void, void*> free;
        Infra::TFunction3<void*, void*, const void*, size_t> memcpy;
    };

    struct PoolParameter
    {
        size_t totalSize; // a multiple of chunkSize
        size_t chunkSize; // at least 1024
        size_t alignSize; // at least 4
    };

    // Has an effect only before the first packet exists.
    static bool config(int policy, const MemoryOperator* memop, const PoolParameter* param);
    static CPacketManager* instance();

    void* malloc(size_t size);
    void free(void* p);
    void* memcpy(void* dst, const void* src, size_t length);
    size_t getTotalBytes();
    size_t getFreeBytes();
    void* getBufferAddress();
    void dump();

private:
    CPacketManager();
    PacketManagerInternal* m_internal;
};

class PacketManagerInternal
{
public:
    // The process-wide manager, built from the configuration on first call.
    static PacketManagerInternal* instance();

    // A manager of its own, outside the process-wide one.
    PacketManagerInternal(int policy, const CPacketManager::MemoryOperator& memop,
                          const CPacketManager::PoolParameter& param);
    ~PacketManagerInternal();
    PacketManagerInternal(const PacketManagerInternal&) = delete;
    PacketManagerInternal& operator=(const PacketManagerInternal&) = delete;

    // size in: bytes wanted; out: bytes actually available in the block.
    void* allocate(size_t& size);
    void release(void* p);
    void* copy(void* dst, const void* src, size_t length);

    int policy() const { return m_policy; }
    size_t alignment() const { return m_alignment; }
    size_t getTotalBytes();
    size_t getFreeBytes();
    void* getBufferAddress() const { return m_pOriginBuffer; }
    void dump();

private:
    struct Node
    {
        int realIdx;
        int order;
        char* address;
        Node* pre;
        Node* next;
    };

    void buildPool();
    void* poolAlloc(size_t& size);
    void poolFree(void* p);
    void* poolCopy(void* dst, const void* src, size_t length);
    void listInsert(int k, Node* node);
    static void listRemove(Node* node);

    int m_policy;
    CPacketManager::MemoryOperator m_memop;
    CPacketManager::PoolParameter m_param;
    char* m_pOriginBuffer = nullptr;
    char* m_base = nullptr;
    Node* m_nodes = nullptr;
    size_t m_chunkMask = 0;
    int m_chunkShift = 0;
    Node* m_lists = nullptr;
    int m_blockCount = 0;
    int m_orderCount = 0;
    Infra::CMutex m_lock;
    size_t m_alignment = 4;
};

} // namespace Memory
} // namespace Orvan

#endif
