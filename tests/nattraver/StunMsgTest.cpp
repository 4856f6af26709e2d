// STUN messages: golden bytes of the writer and the reader's rules.
#include "nattraver/stunpro/StunMsg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/uio.h>
#include <vector>

using namespace Orvan::NATTraver;

namespace {

std::vector<uint8_t> Bytes(const CStunMSG& msg)
{
    std::vector<uint8_t> out(2048);
    int n = msg.toBuffer(out.data(), int(out.size()));
    out.resize(n < 0 ? 0 : size_t(n));
    return out;
}

std::vector<uint8_t> Header(uint16_t type, uint16_t length)
{
    std::vector<uint8_t> h = {uint8_t(type >> 8), uint8_t(type), uint8_t(length >> 8), uint8_t(length),
                              0x21, 0x12, 0xA4, 0x42};
    for (int i = 0; i < 12; ++i)
        h.push_back(uint8_t(i + 1));
    return h;
}

void Attr(std::vector<uint8_t>& m, uint16_t type, std::vector<uint8_t> value)
{
    m.push_back(uint8_t(type >> 8));
    m.push_back(uint8_t(type));
    m.push_back(uint8_t(value.size() >> 8));
    m.push_back(uint8_t(value.size()));
    while (value.size() % 4)
        value.push_back(0);
    m.insert(m.end(), value.begin(), value.end());
}

} // namespace

TEST(StunMsg, WriterGoldenBytes)
{
    const uint8_t id[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    CStunMSG msg;
    ASSERT_EQ(msg.createBindingResponse(id), 0);
    ASSERT_EQ(msg.addXorPeerAddress(Address("192.0.2.1", 32853)), 0);
    ASSERT_EQ(msg.addSoftware("orvanstunclient"), 0); // 15 bytes, one byte of padding
    const uint8_t tie[8] = {0, 0x1a, 0xff, 7, 0, 0, 1, 0x10};
    ASSERT_EQ(msg.addIceControlled(tie), 0);
    ASSERT_EQ(msg.addMappedAddress(Address("10.1.2.3", 3478)), 0);

    std::vector<uint8_t> expected = Header(0x0101, 12 + 20 + 12 + 12);
    Attr(expected, 0x0012, {0x00, 0x01, 0xA1, 0x47, 0xE1, 0x12, 0xA6, 0x43});
    Attr(expected, 0x8022, std::vector<uint8_t>(std::begin("orvanstunclient"), std::end("orvanstunclient") - 1));
    Attr(expected, 0x8029, std::vector<uint8_t>(tie, tie + 8));
    Attr(expected, 0x0001, {0x00, 0x01, 0x0D, 0x96, 10, 1, 2, 3});
    EXPECT_EQ(Bytes(msg), expected);
    EXPECT_EQ(msg.getLength(), 20 + 56);

    iovec* pieces = nullptr;
    int count = 0;
    ASSERT_TRUE(msg.toIOVec(pieces, count));
    EXPECT_EQ(count, 5);
    EXPECT_EQ(pieces[2].iov_len, 20u);

    CStunMSG empty;
    EXPECT_FALSE(empty.toIOVec(pieces, count));
    EXPECT_EQ(empty.addSoftware("x"), -1);
    EXPECT_EQ(msg.addSoftware(std::string(764, 's').c_str()), -1);
    EXPECT_EQ(msg.addUsername(std::string(513, 'u').c_str()), -1);
    EXPECT_EQ(msg.addErrorCode(7, 0, "x"), -1);
    EXPECT_EQ(msg.getLength(), 20 + 56); // refusals change nothing
}

TEST(StunMsg, ReaderRules)
{
    std::vector<uint8_t> bare = Header(0x0001, 0);
    CStunMSG r;
    ASSERT_EQ(r.parse(bare.data(), int(bare.size())), 0);
    EXPECT_FALSE(r.hasAttribute(attrSoftware));
    EXPECT_EQ(r.getMethod(), 0x0001);

    std::vector<uint8_t> six = Header(0x0001, 6);
    six.resize(28);
    EXPECT_EQ(r.parse(six.data(), int(six.size())), -1);
    std::vector<uint8_t> longer = Header(0x0001, 8);
    EXPECT_EQ(r.parse(longer.data(), int(longer.size())), -1);
    EXPECT_EQ(r.parse(bare.data(), 19), -1);

    // Nothing after MESSAGE-INTEGRITY counts except FINGERPRINT.
    std::vector<uint8_t> m = Header(0x0101, 0);
    Attr(m, 0x0006, {'u', 's', 'e', 'r'});
    Attr(m, 0x0008, std::vector<uint8_t>(20, 0));
    Attr(m, 0x8022, {'s', 'w'});
    Attr(m, 0x8028, {1, 2, 3, 4});
    m[3] = uint8_t(m.size() - 20);
    ASSERT_EQ(r.parse(m.data(), int(m.size())), 0);
    EXPECT_TRUE(r.hasAttribute(attrUsername));
    EXPECT_TRUE(r.hasAttribute(attrMessageIntegrity));
    EXPECT_FALSE(r.hasAttribute(attrSoftware));

    std::vector<uint8_t> peers = Header(0x0101, 0);
    for (int i = 0; i < 6; ++i)
        Attr(peers, 0x0012, {0x00, 0x01, 0xA1, 0x47, 0xE1, 0x12, 0xA6, 0x43});
    peers[3] = uint8_t(peers.size() - 20);
    ASSERT_EQ(r.parse(peers.data(), int(peers.size())), 0);
    EXPECT_EQ(r.xorPeerCount(), 5);
    EXPECT_TRUE(r.xorPeerOverflow());
    StunPeer peer;
    ASSERT_TRUE(r.getTurnPeer(peer));
    EXPECT_STREQ(peer.ip, "192.0.2.1");
    EXPECT_EQ(peer.port, 32853);

    // An attribute running past the end stops the walk.
    std::vector<uint8_t> cut = Header(0x0101, 8);
    cut.insert(cut.end(), {0x00, 0x01, 0x00, 0x40, 0, 1, 0, 0});
    ASSERT_EQ(r.parse(cut.data(), int(cut.size())), 0);
    EXPECT_FALSE(r.hasAttribute(attrMappedAddress));
}

TEST(StunMsg, ErrorsAndAddresses)
{
    CStunMSG w;
    ASSERT_EQ(w.createMsg(0x0111), 0);
    ASSERT_EQ(w.addErrorCode(4, 1, "Unauthorized"), 0);
    Address v6("::1", 0);
    EXPECT_EQ(w.addMappedAddress(Address("::ffff:1.2.3.4", 5)), -1);
    std::vector<uint8_t> bytes = Bytes(w);
    CStunMSG r;
    ASSERT_EQ(r.parse(bytes.data(), int(bytes.size())), 0);
    EXPECT_TRUE(r.isErrorResponse());
    EXPECT_EQ(r.getErrorCode(), 401);

    // XOR-MAPPED-ADDRESS decodes back to the address.
    std::vector<uint8_t> m = Header(0x0101, 12);
    Attr(m, 0x0020, {0x00, 0x01, uint8_t(0x1F ^ 0x21), uint8_t(0x90 ^ 0x12), 127 ^ 0x21, 0 ^ 0x12, 0 ^ 0xA4, 1 ^ 0x42});
    ASSERT_EQ(r.parse(m.data(), int(m.size())), 0);
    Address mapped;
    ASSERT_TRUE(r.getXorMappedAddress(mapped));
    EXPECT_STREQ(mapped.getIp(), "127.0.0.1");
    EXPECT_EQ(mapped.getPort(), 0x1F90);
    EXPECT_FALSE(r.getMappedAddress(mapped));
}
