#include "Memory/PacketManager.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <random>
#include <regex>
#include <set>
#include <thread>
#include <vector>

using namespace Orvan::Memory;

namespace {

std::atomic<int> s_poolCopies{0};
void* countingCopy(void* d, const void* s, size_t n)
{
    ++s_poolCopies;
    return std::memcpy(d, s, n);
}
void* plainMalloc(size_t n)
{
    return std::malloc(n);
}
void plainFree(void* p)
{
    std::free(p);
}

struct Pool
{
    explicit Pool(size_t total, int policy = CPacketManager::policyPool)
        : manager(policy, CPacketManager::MemoryOperator{&plainMalloc, &plainFree, &countingCopy},
                  CPacketManager::PoolParameter{total, 1024, 4})
    {
    }
    char* base() const
    {
        uintptr_t raw = reinterpret_cast<uintptr_t>(manager.getBufferAddress());
        return reinterpret_cast<char*>((raw + 1023) / 1024 * 1024);
    }
    void* take(size_t size, size_t* real = nullptr)
    {
        size_t s = size;
        void* p = manager.allocate(s);
        if (real)
            *real = s;
        return p;
    }
    // Number of free blocks in each list, read from the dump.
    std::vector<int> freeLists(int orders)
    {
        LogCapture log(4);
        manager.dump();
        std::vector<int> counts(static_cast<size_t>(orders), 0);
        std::regex row("bufflist\\((\\d+)\\)id: 0,");
        for (const std::string& line : log.lines()) {
            std::smatch m;
            if (std::regex_search(line, m, row))
                ++counts[static_cast<size_t>(std::stoi(m[1]))];
        }
        return counts;
    }
    PacketManagerInternal manager;
};

} // namespace

TEST(PacketPool, SplitHandsOutHighestPartAndMergesBack)
{
    Pool pool(2097152);
    EXPECT_EQ(2097152u, pool.manager.getTotalBytes());
    EXPECT_EQ(2097152u, pool.manager.getFreeBytes());
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), pool.freeLists(12));

    size_t real = 0;
    void* p = pool.take(1500, &real);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(2048u, real);
    EXPECT_EQ(pool.base() + 2097152 - 2048, p);
    EXPECT_EQ((std::vector<int>{0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}), pool.freeLists(12));
    pool.manager.release(p);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), pool.freeLists(12));

    void* small = pool.take(1024);
    EXPECT_EQ(pool.base() + 2047 * 1024, small);
    pool.manager.release(small);
}

TEST(PacketPool, RequestSizesToOrders)
{
    Pool pool(65536);
    struct Case
    {
        size_t size;
        size_t real;
    } cases[] = {{1, 1024}, {1024, 1024}, {1025, 2048}, {2048, 2048}, {2049, 4096}, {4096, 4096}, {65536, 65536}};
    for (const Case& c : cases) {
        size_t real = 0;
        void* p = pool.take(c.size, &real);
        ASSERT_NE(nullptr, p) << c.size;
        EXPECT_EQ(c.real, real) << c.size;
        pool.manager.release(p);
    }
    LogCapture log(4);
    EXPECT_EQ(nullptr, pool.take(0));
    EXPECT_EQ(nullptr, pool.take(65537));
    EXPECT_EQ(2u, log.count("CPacket No Free Space\n"));
    EXPECT_EQ(65536u, pool.manager.getFreeBytes());
}

TEST(PacketPool, ExhaustionThenReuse)
{
    Pool pool(16 * 1024);
    std::vector<void*> blocks;
    LogCapture log(4);
    while (void* p = pool.take(1000))
        blocks.push_back(p);
    EXPECT_EQ(16u, blocks.size());
    EXPECT_EQ(0u, pool.manager.getFreeBytes());
    EXPECT_EQ(1u, log.count("CPacket No Free Space\n"));
    pool.manager.release(blocks[5]);
    EXPECT_EQ(blocks[5], pool.take(1000));
    for (void* p : blocks)
        pool.manager.release(p);
    EXPECT_EQ(16u * 1024, pool.manager.getFreeBytes());
    EXPECT_NE(nullptr, pool.take(16 * 1024));
}

TEST(PacketPool, FragmentedPoolRefusesLargerBlock)
{
    Pool pool(4096);
    void* b[4];
    for (void*& p : b)
        p = pool.take(1024);
    // Handed out from the top: b[0] is chunk 3, b[3] chunk 0. Free two chunks that are not buddies.
    pool.manager.release(b[0]);
    pool.manager.release(b[2]);
    EXPECT_EQ(2048u, pool.manager.getFreeBytes());
    LogCapture log(4);
    EXPECT_EQ(nullptr, pool.take(2048));
    pool.manager.release(b[1]);
    EXPECT_NE(nullptr, pool.take(2048));
}

TEST(PacketPool, BlockCountNotAPowerOfTwo)
{
    Pool pool(3 * 1024);
    EXPECT_EQ((std::vector<int>{1, 1}), pool.freeLists(2));
    std::vector<void*> blocks;
    while (void* p = pool.take(1024))
        blocks.push_back(p);
    ASSERT_EQ(3u, blocks.size());
    for (void* p : blocks)
        pool.manager.release(p);
    // The third chunk has no buddy inside the pool and stays on its own.
    EXPECT_EQ((std::vector<int>{1, 1}), pool.freeLists(2));
    EXPECT_EQ(3072u, pool.manager.getFreeBytes());
}

TEST(PacketPool, CopyUsesOperatorOnlyInsidePool)
{
    Pool pool(8192);
    char* a = static_cast<char*>(pool.take(1024));
    char* b = static_cast<char*>(pool.take(1024));
    char outside[16] = "outside";
    s_poolCopies = 0;
    pool.manager.copy(a, b, 16);
    EXPECT_EQ(1, s_poolCopies);
    pool.manager.copy(a, outside, 16);
    pool.manager.copy(outside, b, 16);
    EXPECT_EQ(1, s_poolCopies);
    EXPECT_STREQ("outside", a);
}

TEST(PacketPool, ManyThreadsNeverShareABlock)
{
    Pool pool(256 * 1024);
    std::vector<std::thread> threads;
    std::atomic<int> corrupt{0};
    std::atomic<int> served{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 rng(static_cast<unsigned>(t));
            std::vector<std::pair<unsigned char*, size_t>> held;
            for (int i = 0; i < 2000; ++i) {
                if (held.size() < 6 && rng() % 2 == 0) {
                    size_t size = 1 + rng() % 9000;
                    size_t real = size;
                    auto* p = static_cast<unsigned char*>(pool.manager.allocate(real));
                    if (!p)
                        continue;
                    ++served;
                    std::memset(p, t + 1, real);
                    held.emplace_back(p, real);
                } else if (!held.empty()) {
                    auto block = held.back();
                    held.pop_back();
                    for (size_t j = 0; j < block.second; j += 97)
                        if (block.first[j] != t + 1)
                            ++corrupt;
                    pool.manager.release(block.first);
                }
            }
            for (auto& block : held)
                pool.manager.release(block.first);
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(0, corrupt);
    EXPECT_GT(served, 1000);
    EXPECT_EQ(256u * 1024, pool.manager.getFreeBytes());
}

TEST(PacketPoolDeathTest, ForeignOrDoubleFreeStopsTheProcess)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    Pool pool(4096);
    void* p = pool.take(1024);
    EXPECT_DEATH(pool.manager.release(static_cast<char*>(p) + 16), "assertion");
    pool.manager.release(p);
    EXPECT_DEATH(pool.manager.release(p), "assertion");
    EXPECT_DEATH(pool.manager.release(pool.base() + 8192), "id < m_blockCount");
}
