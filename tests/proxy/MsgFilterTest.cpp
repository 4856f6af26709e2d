#include "../p2p/LogCapture.h"
#include "Proxy/MsgFilter.h"

#include <gtest/gtest.h>

namespace {

using namespace Orvan::Tou;
using Orvan::NATTraver::Address;

struct FakeClock {
    uint64_t now = 1000000;
    uint64_t read() { return now; }
};

struct MsgFilterTest : ::testing::Test {
    FakeClock clock;
    CMsgFilter filter{CMsgFilter::Clock(&FakeClock::read, &clock)};
};

TEST_F(MsgFilterTest, ResponseLivesJustUnderTwentySeconds)
{
    Address to("127.0.0.1", 9000);
    filter.addResponse(17, "HTTP/1.1 200 OK\r\n\r\n", 5, to);
    clock.now += 19999;
    CachedResponse hit;
    EXPECT_EQ(filter.getResponse(17, hit), "HTTP/1.1 200 OK\r\n\r\n");
    EXPECT_EQ(hit.fd, 5);
    EXPECT_TRUE(hit.address == to);
    clock.now += 1;
    EXPECT_EQ(filter.getResponse(17, hit), "");
}

TEST_F(MsgFilterTest, SecondResponseReplacesTheFirstAndRestartsItsLife)
{
    filter.addResponse(3, "first", -1, Address());
    clock.now += 15000;
    filter.addResponse(3, "second", -1, Address());
    clock.now += 15000;
    CachedResponse hit;
    EXPECT_EQ(filter.getResponse(3, hit), "second");
}

TEST_F(MsgFilterTest, RequestsExpireAndUnknownSelectorRemovesNothing)
{
    filter.addRequest(-42);
    EXPECT_TRUE(filter.isRequestExist(-42));
    EXPECT_FALSE(filter.isRequestExist(42));
    {
        LogCapture log;
        clock.now += 25000;
        filter.Check(2);
        EXPECT_EQ(log.count("msg type[2] is error type."), 1u);
    }
    EXPECT_FALSE(filter.isRequestExist(-42));
}

TEST_F(MsgFilterTest, FloodOfDistinctRequestsStaysBounded)
{
    for (int i = 0; i < int(CMsgFilter::kMaxEntries) + 100; ++i) {
        clock.now += 1;
        filter.addRequest(i);
    }
    EXPECT_FALSE(filter.isRequestExist(0)); // the oldest went first
    EXPECT_TRUE(filter.isRequestExist(int(CMsgFilter::kMaxEntries) + 99));
    EXPECT_TRUE(filter.isRequestExist(100));
}

TEST(MsgFilterClockTest, DefaultClockIsTheTickCounter)
{
    CMsgFilter filter;
    filter.addRequest(1);
    EXPECT_TRUE(filter.isRequestExist(1));
}

} // namespace
