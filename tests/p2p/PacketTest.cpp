#include "Memory/Packet.h"
#include "Memory/PacketManager.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

using namespace Orvan::Memory;

namespace {

std::atomic<int> s_freed{0};
size_t s_freedSize = 0;
void freeBuffer(uint8_t* buffer, size_t size)
{
    s_freedSize = size;
    delete[] buffer;
    ++s_freed;
}

std::atomic<int> s_released{0};
void* s_context = nullptr;
size_t s_releasedCapacity = 0;
void releaseAttached(void* context, size_t capacity)
{
    s_context = context;
    s_releasedCapacity = capacity;
    ++s_released;
}

} // namespace

TEST(Packet, SizesAndCapacityUnderDefaultPolicy)
{
    struct Case
    {
        size_t size;
        size_t capacity;
    } cases[] = {{101, 104}, {0, 0}, {1, 4}, {4, 4}, {1500, 1500}, {1501, 1504}};
    for (const Case& c : cases) {
        CPacket p(c.size);
        ASSERT_TRUE(p.valid()) << c.size;
        EXPECT_EQ(c.size, p.getSize());
        EXPECT_EQ(c.capacity, p.getCapacity()) << c.size;
        EXPECT_EQ(nullptr, p.getExtBuffer());
        EXPECT_EQ(0u, p.getExtSize());
    }
    CPacket p(101);
    ASSERT_TRUE(p.resize(0));
    std::vector<uint8_t> data(150, 0xAB);
    EXPECT_EQ(104u, p.append(data.data(), data.size()));
    EXPECT_EQ(0u, p.append(data.data(), 1));
    EXPECT_TRUE(p.resize(104));
    EXPECT_FALSE(p.resize(105));
    EXPECT_EQ(104u, p.getSize());
}

TEST(Packet, ExtraArea)
{
    CPacket p(10, 16);
    ASSERT_NE(nullptr, p.getExtBuffer());
    EXPECT_EQ(16u, p.getExtSize());
    std::memset(p.getExtBuffer(), 0x5A, 16);
    std::memset(p.getBuffer(), 0x11, p.getCapacity());
    EXPECT_EQ(0x5A, p.getExtBuffer()[15]);
    EXPECT_GE(p.getExtBuffer(), p.getBuffer() + p.getCapacity());
}

TEST(Packet, EmptyPacketIsHarmless)
{
    CPacket p;
    EXPECT_FALSE(p.valid());
    EXPECT_EQ(nullptr, p.getBuffer());
    EXPECT_EQ(0u, p.getSize());
    EXPECT_EQ(0u, p.append("x", 1));
    EXPECT_FALSE(p.resize(0));
    p.reset();
    CPacket copy(p);
    EXPECT_FALSE(copy.valid());
}

TEST(Packet, HandlesShareOneBuffer)
{
    CPacket a(64);
    a.resize(0);
    CPacket b(a);
    b.append("abc", 3);
    EXPECT_EQ(3u, a.getSize());
    EXPECT_EQ(0, std::memcmp(a.getBuffer(), "abc", 3));
    a = a;
    a = b;
    EXPECT_EQ(a.getBuffer(), b.getBuffer());
}

TEST(Packet, ExternalBufferFreedOnceByLastHandle)
{
    s_freed = 0;
    {
        CPacket outer;
        {
            CPacket p(new uint8_t[32], 32, CPacket::FreeProc(&freeBuffer));
            EXPECT_EQ(32u, p.getCapacity());
            p.resize(10);
            outer = p;
        }
        EXPECT_EQ(0, s_freed);
    }
    EXPECT_EQ(1, s_freed);
    EXPECT_EQ(10u, s_freedSize);
}

TEST(Packet, SliceKeepsParentAlive)
{
    s_freed = 0;
    CPacket slice;
    {
        uint8_t* raw = new uint8_t[16];
        for (int i = 0; i < 16; ++i)
            raw[i] = static_cast<uint8_t>(i);
        CPacket parent(raw, 16, CPacket::FreeProc(&freeBuffer));
        slice = CPacket(parent, 4, 8, 2);
    }
    ASSERT_TRUE(slice.valid());
    EXPECT_EQ(0, s_freed);
    EXPECT_EQ(8u, slice.getSize());
    EXPECT_EQ(8u, slice.getCapacity());
    EXPECT_EQ(4, slice.getBuffer()[0]);
    EXPECT_EQ(2u, slice.getExtSize());
    slice.reset();
    EXPECT_EQ(1, s_freed);
}

TEST(Packet, InvalidSlicesAreRefused)
{
    LogCapture log(3);
    CPacket parent(16);
    struct Case
    {
        size_t offset;
        size_t size;
    } cases[] = {{16, 0}, {17, 1}, {8, 9}, {0, 17}, {size_t(-1), 2}};
    for (const Case& c : cases)
        EXPECT_FALSE(CPacket(parent, c.offset, c.size).valid()) << c.offset << "+" << c.size;
    EXPECT_FALSE(CPacket(CPacket(), 0, 0).valid());
    EXPECT_TRUE(CPacket(parent, 15, 1).valid());
    EXPECT_EQ(6u, log.count("offset or size is invalid!!"));
}

TEST(Packet, AttachedBufferTakesDataOnAppend)
{
    s_released = 0;
    int context = 0;
    uint8_t data[8] = {1, 2, 3};
    {
        CPacket p(64, CPacket::ReleaseProc(&releaseAttached), &context, 4);
        EXPECT_EQ(nullptr, p.getBuffer());
        EXPECT_EQ(4u, p.getExtSize());
        EXPECT_EQ(8u, p.append(data, 8));
        EXPECT_EQ(data, p.getBuffer());
    }
    EXPECT_EQ(1, s_released);
    EXPECT_EQ(&context, s_context);
    EXPECT_EQ(64u, s_releasedCapacity);
    {
        CPacket unused(64, CPacket::ReleaseProc(&releaseAttached), &context, 0);
    }
    EXPECT_EQ(1, s_released);
}

TEST(Packet, CopiesAcrossThreadsReleaseExactlyOnce)
{
    for (int round = 0; round < 10; ++round) {
        s_freed = 0;
        std::vector<std::thread> threads;
        {
            CPacket origin(new uint8_t[64], 64, CPacket::FreeProc(&freeBuffer));
            CPacket slice(origin, 8, 8);
            for (int t = 0; t < 8; ++t) {
                threads.emplace_back([origin, slice] {
                    for (int i = 0; i < 500; ++i) {
                        CPacket a(origin);
                        CPacket b;
                        b = slice;
                        CPacket c(b, 0, 4);
                        a = c;
                    }
                });
            }
        }
        for (auto& th : threads)
            th.join();
        EXPECT_EQ(1, s_freed);
    }
}

TEST(Packet, ManagerDefaultsAndLateConfiguration)
{
    CPacket first(8);
    ASSERT_TRUE(first.valid());
    LogCapture log(6);
    CPacketManager::PoolParameter param{1 << 20, 1024, 4};
    EXPECT_FALSE(CPacketManager::config(CPacketManager::policyPool, nullptr, &param));
    EXPECT_EQ(1u, log.count("PacketManagerInternal::config() failured: Packet Manager has been configured!"));
    EXPECT_EQ(CPacketManager::policySystem, PacketManagerInternal::instance()->policy());
    CPacketManager* m = CPacketManager::instance();
    EXPECT_EQ(0u, m->getTotalBytes());
    EXPECT_EQ(0u, m->getFreeBytes());
    m->dump();
    EXPECT_EQ(1u, log.count("CPacketManager dump: SYS Policy\n"));
    void* p = m->malloc(10);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(p, m->memcpy(p, "123456789", 10));
    m->free(p);
}
