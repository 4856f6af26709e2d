// Packets under the pool policy; the policy is set before the first packet of this program.
#include "Memory/Packet.h"
#include "Memory/PacketManager.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace Orvan::Memory;

namespace {
const CPacketManager::PoolParameter kParam{64 * 1024, 1024, 4};
const bool s_configured = CPacketManager::config(CPacketManager::policyPool, nullptr, &kParam);
} // namespace

TEST(PacketPolicyPool, PacketsFillWholeBlocks)
{
    ASSERT_TRUE(s_configured);
    CPacketManager* m = CPacketManager::instance();
    EXPECT_EQ(64u * 1024, m->getTotalBytes());
    {
        CPacket p(1500);
        ASSERT_TRUE(p.valid());
        EXPECT_EQ(1500u, p.getSize());
        EXPECT_GE(p.getCapacity(), 1500u);
        EXPECT_LT(p.getCapacity(), 2048u);
        EXPECT_EQ(64u * 1024 - 2048, m->getFreeBytes());
        CPacket copy(p);
        p.reset();
        EXPECT_EQ(64u * 1024 - 2048, m->getFreeBytes());
    }
    EXPECT_EQ(64u * 1024, m->getFreeBytes());
}

TEST(PacketPolicyPool, ExhaustionGivesEmptyPackets)
{
    std::vector<CPacket> held;
    LogCapture log(4);
    for (int i = 0; i < 100; ++i) {
        CPacket p(600);
        if (!p.valid())
            break;
        held.push_back(p);
    }
    EXPECT_EQ(64u, held.size());
    EXPECT_FALSE(CPacket(10).valid());
    EXPECT_GE(log.count("PacketInternal::create(): NO enough, need size(10) ext(0)"), 1u);
    held.clear();
    EXPECT_EQ(64u * 1024, CPacketManager::instance()->getFreeBytes());
}

TEST(PacketPolicyPool, ManyThreads)
{
    std::vector<std::thread> threads;
    std::atomic<int> made{0};
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 1000; ++i) {
                CPacket p(static_cast<size_t>(100 + (i * 37 + t) % 3000));
                if (!p.valid())
                    continue;
                ++made;
                p.resize(0);
                unsigned char bytes[64] = {static_cast<unsigned char>(t)};
                p.append(bytes, sizeof(bytes));
                CPacket slice(p, 0, 32);
                if (slice.getBuffer()[0] != t)
                    ADD_FAILURE();
            }
        });
    for (auto& th : threads)
        th.join();
    EXPECT_GT(made, 4000);
    EXPECT_EQ(64u * 1024, CPacketManager::instance()->getFreeBytes());
}
