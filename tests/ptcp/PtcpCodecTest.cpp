#include "PTCP/ByteBuffer.h"
#include "PtcpTestLink.h"

#include <gtest/gtest.h>

namespace ptcptest {
namespace {

using Orvan::Tou::setBE16;
using Orvan::Tou::setBE32;

struct Seg {
    uint32_t seq = 0;
    uint32_t ack = 0;
    uint8_t option = 0;
    uint8_t flags = 0;
    uint16_t wnd = 65535;
    std::string extra; // gap block or payload
};

std::string Bytes(const Seg& s, uint32_t conv = CPhonyTcp::kConv)
{
    std::string d(24, '\0');
    uint8_t* p = reinterpret_cast<uint8_t*>(&d[0]);
    setBE32(p, conv);
    setBE32(p + 4, s.seq);
    setBE32(p + 8, s.ack);
    p[12] = s.option;
    p[13] = s.flags;
    setBE16(p + 14, s.wnd);
    return d + s.extra;
}

bool Feed(CPhonyTcp& tcp, const std::string& d)
{
    return tcp.notifyPacket(reinterpret_cast<const uint8_t*>(d.data()), uint32_t(d.size()));
}

std::string Hex(const std::string& s)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// An established pair whose receiver (end 1) expects stream position 4 (after the connect payload).
struct Established : ::testing::Test {
    Link link;
    void SetUp() override
    {
        ASSERT_TRUE(link.Connect());
        link.RunUntil([] { return false; }, 200);
        link.blocked[0] = link.blocked[1] = true; // tests feed the receiver by hand
        ASSERT_EQ(link.end[1].tcp->receiveNext(), 4u);
    }
    CPhonyTcp& rx() { return *link.end[1].tcp; }
    std::string LastSent() { return link.end[1].sent.back(); }
};

TEST_F(Established, GapBlockListsTheMissingRangesInLittleEndian)
{
    // out of order: [104,204) [204,304) [404,454) above rcv_nxt 4; the touching range adds no entry
    Feed(rx(), Bytes({104, 4, 0, 0, 65535, std::string(100, 'a')}));
    Feed(rx(), Bytes({204, 4, 0, 0, 65535, std::string(100, 'b')}));
    Feed(rx(), Bytes({404, 4, 0, 0, 65535, std::string(50, 'c')}));
    std::string ack = LastSent();
    ASSERT_EQ(ack.size(), 24u + 15u);
    EXPECT_EQ(ack[12], 1);
    EXPECT_EQ(Hex(ack.substr(24)), "0E 00 0C 04 00 00 00 00 00 63 00 2C 01 8F 01");
}

TEST_F(Established, GapBlockHoldsAtMost62Entries)
{
    for (uint32_t i = 0; i < 70; ++i)
        Feed(rx(), Bytes({4 + 2 * i + 1, 4, 0, 0, 65535, "x"}));
    std::string ack = LastSent();
    EXPECT_EQ(uint8_t(ack[24]), 254);
    EXPECT_EQ(ack.size(), 24u + 255u);
}

TEST_F(Established, ShortForeignAndOversizedDatagrams)
{
    EXPECT_TRUE(Feed(rx(), std::string(23, 'P')));                        // ignored
    EXPECT_TRUE(Feed(rx(), Bytes({4, 4, 0, 0, 65535, ""}, 0x12345678)));                   // foreign conversation
    EXPECT_FALSE(Feed(rx(), std::string(65536, '\0')));                   // fatal for the channel
    EXPECT_TRUE(Feed(rx(), Bytes({4, 4, 0, 0, 65535, ""})));                               // 24 bytes: empty segment
    EXPECT_EQ(rx().state(), Orvan::Tou::TCP_ESTABLISHED);
}

TEST_F(Established, MalformedGapBlocksAreDroppedWithoutReadingPastTheDatagram)
{
    struct Case {
        const char* name;
        std::string block;
    } cases[] = {
        {"flag set, no block byte", ""},
        {"block longer than the datagram", std::string(1, char(200)) + std::string(10, '\0')},
        {"option longer than the block", std::string("\x06\x00\x09", 3) + std::string(4, '\0')},
        {"partial entry is not read", std::string("\x08\x00\x06", 3) + std::string(6, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t before = link.end[1].sent.size();
        Seg s{4, 4, 1, 0, 65535, c.block};
        std::string d = Bytes(s);
        // exact-size heap copy so a read past the end is caught by the sanitizers
        std::unique_ptr<uint8_t[]> exact(new uint8_t[d.size()]);
        std::memcpy(exact.get(), d.data(), d.size());
        rx().notifyPacket(exact.get(), uint32_t(d.size()));
        EXPECT_EQ(link.end[1].sent.size(), before);
        EXPECT_TRUE(link.end[1].received.empty());
        EXPECT_EQ(rx().receiveNext(), 4u);
    }
}

TEST(PtcpConnectOptions, PeerWindowScaleFromTheConnectPayload)
{
    struct Case {
        const char* name;
        std::string payload;
        uint8_t peerScale;
        bool opens;
    } cases[] = {
        {"scale 2 after a no-operation", std::string("\x00\x01\x03\x01\x02", 5), 2, true},
        {"length beyond the payload", std::string("\x00\x03\x05\x01", 4), 0, true},
        {"scale 40 is bounded", std::string("\x00\x03\x01\x28", 4), 14, true},
        {"MSS ignored, then scale 1", std::string("\x00\x02\x02\x05\xB4\x03\x01\x01", 8), 1, true},
        {"code alone: no window scaling", std::string("\x00", 1), 0, true},
        {"unknown control code", std::string("\x07\x03\x01\x01", 4), 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Link link;
        link.blocked[1] = true;
        bool ok = Feed(*link.end[1].tcp, Bytes({0, 0, 0, 0x02, 65535, c.payload}));
        EXPECT_EQ(ok, c.opens);
        EXPECT_EQ(link.end[1].tcp->peerWindowScale(), c.peerScale);
        EXPECT_EQ(link.end[1].tcp->state(), c.opens ? Orvan::Tou::TCP_SYN_RECEIVED : Orvan::Tou::TCP_LISTEN);
    }
}

TEST(PtcpHandshake, ConnectSegmentsAndTheEstablishedStream)
{
    Link link;
    ASSERT_TRUE(link.Connect());
    const std::string& first = link.end[0].sent.front();
    ASSERT_EQ(first.size(), 28u);
    EXPECT_EQ(first.substr(0, 4), "PTCP");
    EXPECT_EQ(first[13], 0x02);
    EXPECT_EQ(Hex(first.substr(24)), "00 03 01 00");
    EXPECT_EQ(Hex(link.end[1].sent.front().substr(24)), "00 03 01 00");
    for (auto& e : link.end) {
        EXPECT_EQ(e.tcp->mss(), 1428u);
        EXPECT_GE(e.tcp->congestionWindow(), 5712u);
        EXPECT_GE(e.tcp->ssthresh(), 5712u);
    }
    EXPECT_EQ(link.end[0].tcp->connect(), -1);
    EXPECT_EQ(link.end[0].tcp->getLastError(), 22);
}

TEST(PtcpSequence, ComparisonsAreModular)
{
    using Orvan::Tou::seqLE;
    using Orvan::Tou::seqLT;
    EXPECT_TRUE(seqLT(0xFFFFFFF0u, 0x10u));
    EXPECT_FALSE(seqLT(0x10u, 0xFFFFFFF0u));
    EXPECT_TRUE(seqLE(5, 5));
    EXPECT_TRUE(seqLT(1, 2));
}

TEST(PtcpByteBuffer, ReadsRefuseShortDataAndWritesGrow)
{
    using Orvan::Tou::CByteBuffer;
    const uint8_t bytes[] = {0x01, 0x02, 0x03};
    CByteBuffer b(bytes, 3);
    uint32_t v32 = 0;
    EXPECT_FALSE(b.readUInt32(&v32));
    uint32_t v24 = 0;
    EXPECT_TRUE(b.readUInt24(&v24));
    EXPECT_EQ(v24, 0x010203u);
    CByteBuffer w;
    for (int i = 0; i < 3000; ++i)
        w.writeUInt16(uint16_t(i));
    EXPECT_EQ(w.length(), 6000u);
    uint16_t first = 1;
    ASSERT_TRUE(w.readUInt16(&first));
    EXPECT_EQ(first, 0);
}

} // namespace
} // namespace ptcptest
