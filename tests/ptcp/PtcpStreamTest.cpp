#include "PtcpTestLink.h"

#include <gtest/gtest.h>

namespace ptcptest {
namespace {

using namespace Orvan::Tou;

std::string Pattern(size_t n, uint32_t seed)
{
    std::mt19937 g(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = char(g());
    return s;
}

// Sends data from end 0 as packets of varying size whenever the stream takes them.
struct Sender {
    Link& link;
    std::string data;
    size_t offset = 0;
    std::vector<size_t> sizes;
    std::mt19937 g{7};
    size_t fixedSize = 0;

    Sender(Link& l, std::string d, size_t fixed = 0) : link(l), data(std::move(d)), fixedSize(fixed)
    {
        link.onStep = [this] { Pump(); };
    }
    void Pump()
    {
        while (offset < data.size()) {
            size_t n = std::min<size_t>(fixedSize ? fixedSize : 1 + g() % 1400, data.size() - offset);
            if (link.end[0].tcp->send(MakePacket(data.substr(offset, n))) < 0)
                return;
            sizes.push_back(n);
            offset += n;
        }
    }
    bool Done() const { return link.end[1].received.size() >= data.size(); }
};

TEST(PtcpStream, DeliversWholePacketsInOrderOverABadLink)
{
    struct Case {
        const char* name;
        LinkProfile profile;
        size_t bytes;
    } cases[] = {
        {"clean", {0, 0, 0, 5, 20}, 4 << 20},
        {"10% loss, 5% reorder, 2% duplication", {0.10, 0.02, 0.05, 5, 20}, 1 << 20},
        {"30% loss", {0.30, 0, 0, 2, 20}, 256 << 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Link link(c.profile, 42);
        link.end[0].record = link.end[1].record = false;
        ASSERT_TRUE(link.Connect(60000));
        Sender tx(link, Pattern(c.bytes, 3));
        ASSERT_TRUE(link.RunUntil([&] { return tx.Done(); }, 600000));
        EXPECT_TRUE(link.end[1].received == tx.data);
        EXPECT_EQ(link.end[1].sizes, tx.sizes);
        EXPECT_EQ(link.end[0].closedError, -1);
    }
}

TEST(PtcpStream, AGapIsRepairedLongBeforeTheRetransmissionTimeout)
{
    Link link;
    ASSERT_TRUE(link.Connect());
    link.RunUntil([] { return false; }, 500);
    // a burst of four goes out at once (within the first congestion window); lose the second
    size_t before = link.end[0].sent.size();
    for (int i = 0; i < 4; ++i)
        ASSERT_GT(link.end[0].tcp->send(MakePacket(std::string(1000, char('a' + i)))), 0);
    ASSERT_EQ(link.end[0].sent.size(), before + 4);
    std::vector<std::string> burst(link.end[0].sent.begin() + long(before), link.end[0].sent.end());
    Link::InFlightQueue& q = link.Queue(1);
    q.clear();
    for (size_t i = 0; i < burst.size(); ++i)
        if (i != 1)
            q.push_back({link.now + 5, burst[i]});
    uint64_t start = link.now;
    uint32_t rto = link.end[0].tcp->rto();
    ASSERT_GE(rto, 250u);
    ASSERT_TRUE(link.RunUntil([&] { return link.end[1].received.size() == 4000; }, 5000));
    EXPECT_LT(link.now - start, uint64_t(rto) / 2);
    EXPECT_EQ(link.end[1].received.substr(1000, 1000), std::string(1000, 'b'));
}

TEST(PtcpStream, ThreeDuplicateAcknowledgementsStartFastRecovery)
{
    Link link;
    ASSERT_TRUE(link.Connect());
    link.RunUntil([] { return false; }, 500);
    link.blocked[0] = link.blocked[1] = true;
    CPhonyTcp& tx = *link.end[0].tcp;
    for (int i = 0; i < 4; ++i)
        ASSERT_GT(tx.send(MakePacket(std::string(1000, 'x'))), 0);
    uint32_t inFlight = tx.bytesInFlight();
    ASSERT_EQ(inFlight, 4000u);
    // three pure acknowledgements of what was acknowledged already (stream position 4)
    std::string ack(24, '\0');
    uint8_t* p = reinterpret_cast<uint8_t*>(&ack[0]);
    setBE32(p, CPhonyTcp::kConv);
    setBE32(p + 4, 4);
    setBE32(p + 8, 4);
    setBE16(p + 14, 65535);
    size_t before = link.end[0].sent.size();
    for (int i = 0; i < 3; ++i)
        tx.notifyPacket(p, 24);
    uint32_t mss = tx.mss();
    EXPECT_EQ(tx.ssthresh(), std::max(inFlight, 8 * mss));
    EXPECT_EQ(tx.congestionWindow(), tx.ssthresh() + 8 * mss);
    // the first unacknowledged segment goes out again on the next clock tick
    link.RunUntil([&] { return link.end[0].sent.size() > before; }, 20);
    ASSERT_GT(link.end[0].sent.size(), before);
    EXPECT_EQ(getBE32(reinterpret_cast<const uint8_t*>(link.end[0].sent[before].data()) + 4), 4u);
}

TEST(PtcpStream, ZeroWindowIsProbedAndASilentPeerAborts)
{
    Link link;
    link.end[1].readOnEvent = false; // the receiver never reads: its window closes
    ASSERT_TRUE(link.Connect());
    // 51 packets of 1285 bytes fill the 65535-byte window exactly
    Sender tx(link, Pattern(200000, 5), 1285);
    ASSERT_TRUE(link.RunUntil([&] { return link.end[0].tcp->sendWindow() == 0; }, 20000));
    size_t before = link.end[0].sent.size();
    link.RunUntil([] { return false; }, 3000);
    // probes carry snd_nxt - 1 and no payload
    ASSERT_GT(link.end[0].sent.size(), before);
    const std::string& probe = link.end[0].sent.back();
    EXPECT_EQ(probe.size(), 24u);
    EXPECT_EQ(link.end[0].closedError, -1);
    // the receiver goes silent: the sender gives up 15 s after it last heard from it
    link.blocked[1] = true;
    uint64_t silentFrom = link.now;
    ASSERT_TRUE(link.RunUntil([&] { return link.end[0].closedError != -1; }, 120000));
    EXPECT_EQ(link.end[0].closedError, PTCP_ECONNABORTED);
    EXPECT_GE(link.now - silentFrom, 15000u - 200);
}

TEST(PtcpStream, ConnectIsResentAfter3000msThenEvery100ms)
{
    Link link;
    link.blocked[0] = true;
    link.end[0].tcp->connect();
    link.RunUntil([] { return false; }, 3500);
    const auto& at = link.end[0].sentAt;
    ASSERT_GE(at.size(), 4u);
    EXPECT_NEAR(double(at[1] - at[0]), 3000, 10);
    EXPECT_NEAR(double(at[2] - at[1]), 100, 10);
    EXPECT_NEAR(double(at[3] - at[2]), 100, 10);
}

// Tick 0 is an ordinary time: a process's clock starts there and the 32-bit tick wraps to it.
// Whatever goes out or comes in at that tick is still resent or acknowledged.
TEST(PtcpStream, TimersArmedAtTickZeroStillFire)
{
    const uint64_t wrap = uint64_t(1) << 32;
    struct Case {
        const char* name;
        uint64_t start;
        bool loseConnect;
        uint64_t dataAt; // 0: no data
        bool loseData;
        uint32_t limitMs;
    } cases[] = {
        {"lost connect at process start", 0, true, 0, false, 10000},
        {"lost connect as the tick wraps", wrap, true, 0, false, 10000},
        {"lost data as the tick wraps", wrap - 1000, false, wrap, true, 10000},
        // arrives at the wrap; its delayed acknowledgement comes long before the sender's 250 ms timeout
        {"data arriving as the tick wraps", wrap - 1000, false, wrap - 5, false, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Link link;
        link.now = c.start;
        link.blocked[0] = c.loseConnect;
        link.end[0].tcp->connect();
        link.blocked[0] = false;
        bool open = link.RunUntil([&] { return link.end[0].open && link.end[1].open; }, 10000);
        EXPECT_TRUE(open);
        if (!open || c.dataAt == 0)
            continue;
        ASSERT_LT(link.now, c.dataAt);
        link.RunUntil([&] { return link.now == c.dataAt; }, uint32_t(c.dataAt - link.now));
        link.blocked[0] = c.loseData;
        ASSERT_GT(link.end[0].tcp->send(MakePacket("tick zero")), 0);
        link.blocked[0] = false;
        EXPECT_TRUE(link.RunUntil([&] { return link.end[0].tcp->bytesInFlight() == 0; }, c.limitMs));
        EXPECT_EQ(link.end[1].received, "tick zero");
    }
}

TEST(PtcpStream, AResetClosesTheStreamAndLaterSegmentsAreRefused)
{
    Link link;
    ASSERT_TRUE(link.Connect());
    std::string rst(24, '\0');
    uint8_t* p = reinterpret_cast<uint8_t*>(&rst[0]);
    setBE32(p, CPhonyTcp::kConv);
    p[13] = 0x04;
    EXPECT_FALSE(link.end[1].tcp->notifyPacket(p, 24));
    EXPECT_EQ(link.end[1].closedError, PTCP_ECONNRESET);
    p[13] = 0;
    EXPECT_FALSE(link.end[1].tcp->notifyPacket(p, 24));
    CPacket out;
    EXPECT_EQ(link.end[1].tcp->recv(out, false), -1);
    EXPECT_EQ(link.end[1].tcp->getLastError(), PTCP_ENOTCONN);
}

TEST(PtcpStream, AFullSendBufferRefusesAndLaterSaysWriteable)
{
    Link link;
    link.end[0].tcp->setOption(3, 20000);
    ASSERT_TRUE(link.Connect());
    link.blocked[0] = true;
    int sent = 0;
    while (link.end[0].tcp->send(MakePacket(std::string(1400, 'z'))) > 0)
        ++sent;
    EXPECT_EQ(link.end[0].tcp->getLastError(), PTCP_EWOULDBLOCK);
    link.blocked[0] = false;
    ASSERT_TRUE(link.RunUntil([&] { return link.end[0].writeable > 0; }, 20000));
    EXPECT_GT(sent, 10);
}

} // namespace
} // namespace ptcptest
