#include "PTCP/FifoBuffer.h"
#include "PtcpTestLink.h"

#include <gtest/gtest.h>

namespace ptcptest {
namespace {

using namespace Orvan::Tou;

CPacket Filled(size_t n, char c) { return MakePacket(std::string(n, c)); }

TEST(PtcpSendBuffer, HandsOutWholePacketsByOffsetAndConsumesOnBoundaries)
{
    CUdpSendBuffer b(1000);
    uint32_t n = 0;
    EXPECT_EQ(b.write(Filled(100, 'a'), &n), SR_SUCCESS);
    EXPECT_EQ(b.write(Filled(200, 'b'), &n), SR_SUCCESS);
    EXPECT_EQ(b.write(Filled(800, 'c'), &n), SR_BLOCK); // no room
    EXPECT_EQ(b.write(CPacket(), &n), SR_ERROR);

    PtcpIovec e{nullptr, 0};
    int count = 0;
    uint32_t bytes = 0;
    EXPECT_EQ(b.readOffset(&e, &count, 0, 100, &bytes), SR_SUCCESS);
    EXPECT_EQ(bytes, 200u);
    EXPECT_EQ(e.data[0], 'b');
    EXPECT_EQ(b.readOffset(&e, &count, 0, 50, &bytes), SR_ERROR);  // inside a packet
    EXPECT_EQ(b.readOffset(&e, &count, 0, 300, &bytes), SR_BLOCK); // beyond the data

    EXPECT_FALSE(b.consumeReadData(400)); // more than is held
    EXPECT_TRUE(b.consumeReadData(100));
    uint32_t held = 0;
    b.getBuffered(&held);
    EXPECT_EQ(held, 200u);
    EXPECT_FALSE(b.consumeReadData(50));  // an acknowledgement inside a packet
}

TEST(PtcpReceiverBuffer, OutOfOrderPacketsJoinTheQueueWhenTheGapFills)
{
    CReceiverBuffer b(65535);
    uint32_t n = 0;
    ASSERT_EQ(b.writeOffset(Filled(10, 'c'), 20, &n), SR_SUCCESS);
    ASSERT_EQ(b.writeOffset(Filled(10, 'b'), 10, &n), SR_SUCCESS);
    EXPECT_EQ(b.outOfOrderCount(), 2u);
    ASSERT_EQ(b.writeOffset(Filled(10, 'a'), 0, &n), SR_SUCCESS);
    EXPECT_EQ(b.outOfOrderCount(), 0u);
    ASSERT_TRUE(b.consumeWriteBuffer(30));
    std::string order;
    CPacket p;
    while (b.read(p, false) == SR_SUCCESS)
        order += char(p.getBuffer()[0]);
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(b.read(p, true), SR_BLOCK);
}

TEST(PtcpBuffers, CapacityNeverDropsBelowTheData)
{
    CUdpSendBuffer b(1000);
    uint32_t n = 0;
    b.write(Filled(600, 'a'), &n);
    EXPECT_FALSE(b.setCapacity(0));
    EXPECT_FALSE(b.setCapacity(500));
    EXPECT_TRUE(b.setCapacity(600));
}

TEST(PtcpOptions, ReceiveBufferSizeSetsTheWindowScale)
{
    Link link;
    CPhonyTcp& t = *link.end[0].tcp;
    EXPECT_EQ(t.setOption(2, 200000), 0);
    EXPECT_EQ(t.ownWindowScale(), 2);
    int v = 0;
    t.getOption(2, &v);
    EXPECT_EQ(v, 200000);
    EXPECT_EQ(t.setOption(2, 65535), 0);
    EXPECT_EQ(t.ownWindowScale(), 0);
    EXPECT_EQ(t.setOption(6, 1), 0);  // packet mode only
    EXPECT_EQ(t.setOption(4, 1), -1);
    EXPECT_EQ(t.setOption(99, 1), -1);
}

} // namespace
} // namespace ptcptest
