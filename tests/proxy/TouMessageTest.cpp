#include "Proxy/TouMessage.h"

#include <gtest/gtest.h>

#include <cstring>

#include <vector>

namespace {

using namespace Orvan::Tou;
using Bytes = std::vector<uint8_t>;

Bytes Hex(std::initializer_list<int> values) { return Bytes(values.begin(), values.end()); }

TEST(TouMessageTest, WritersProduceTheWireBytes)
{
    uint8_t buf[32];
    int n = TouMessage::writeSyn(buf, 7, "10.0.0.5", 37777);
    EXPECT_EQ(Bytes(buf, buf + n), Hex({0x11, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0x93, 0x91, 0x0A, 0, 0, 5}));

    n = TouMessage::writeChannelId(buf, touTypePauseAck, 258);
    EXPECT_EQ(Bytes(buf, buf + n), Hex({0x18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x02, 0x01, 0, 0}));

    n = TouMessage::writeAck(buf, 0x01020304, touAckSinv);
    EXPECT_EQ(Bytes(buf, buf + n), Hex({0x12, 0, 0, 0, 1, 2, 3, 4, 0, 0, 0, 0, 'S', 'I', 'N', 'V'}));

    n = TouMessage::writeCommand(buf, 1, 0x00010203);
    EXPECT_EQ(Bytes(buf, buf + n), Hex({0x16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 2, 3}));

    n = TouMessage::writeHeader(buf, touTypeData, 300, 9);
    EXPECT_EQ(Bytes(buf, buf + n), Hex({0x10, 0, 0x01, 0x2C, 0, 0, 0, 9, 0, 0, 0, 0}));

    n = TouMessage::writeHeader(buf, touTypeKeepAlive, 0, 0);
    EXPECT_EQ(Bytes(buf, buf + n), Hex({0x13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(TouMessageTest, SynTargetThatIsNotDottedIpv4TravelsAsBroadcast)
{
    uint8_t buf[20];
    TouMessage::writeSyn(buf, 1, "device.example", 80);
    TouFields f;
    ASSERT_TRUE(TouMessage::parse(buf, sizeof buf, f));
    EXPECT_EQ(f.host, "255.255.255.255");
    EXPECT_EQ(f.port, 80);
}

TEST(TouMessageTest, ChannelIdIsLittleEndianWhileSessionIdIsBigEndian)
{
    uint8_t buf[16];
    for (int type : {touTypePauseAck, touTypeResume, touTypeResumeAck}) {
        SCOPED_TRACE(type);
        TouMessage::writeChannelId(buf, type, 0xA1B2C3D4);
        EXPECT_EQ(buf[12], 0xD4);
        EXPECT_EQ(buf[15], 0xA1);
        TouFields f;
        ASSERT_TRUE(TouMessage::parse(buf, sizeof buf, f));
        EXPECT_EQ(f.channelId, 0xA1B2C3D4u);
    }
    TouMessage::writeAck(buf, 0xA1B2C3D4, touAckConn);
    EXPECT_EQ(buf[4], 0xA1);
    EXPECT_EQ(TouMessage::getSessionId(buf), 0xA1B2C3D4u);
}

TEST(TouMessageTest, AckStatusReadsUnknownBodiesAsDisc)
{
    struct Case {
        const char* body;
        int status;
    } cases[] = {{"CONN", touAckConn}, {"SINV", touAckSinv}, {"DISC", touAckDisc}, {"conn", touAckDisc},
                 {"XXXX", touAckDisc}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        uint8_t buf[16] = {0x12};
        std::memcpy(buf + 12, c.body, 4);
        EXPECT_EQ(TouMessage::getAckStatus(buf), c.status);
    }
}

TEST(TouMessageTest, OnlyTheLowNibbleGivesTheType)
{
    uint8_t buf[12] = {0x25};
    EXPECT_EQ(TouMessage::getType(buf), touTypeDataEx);
    buf[0] = 0x21;
    EXPECT_EQ(TouMessage::getType(buf), touTypeSyn);
}

TEST(TouMessageTest, ExpectedSizeFollowsTheType)
{
    struct Case {
        int type;
        uint16_t length;
        int size;
    } cases[] = {{0, 100, 112}, {1, 0, 20},  {2, 0, 16},  {3, 0, 12},  {4, 0, 12},  {5, 10, 30},
                 {6, 0, 20},    {7, 0, 12},  {8, 0, 16},  {9, 0, 16},  {10, 0, 16}, {11, 0, 12},
                 {12, 0, -1},   {13, 0, -1}, {14, 0, -1}, {15, 0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        uint8_t buf[12];
        TouMessage::writeHeader(buf, c.type, c.length, 0);
        EXPECT_EQ(TouMessage::expectedSize(buf), c.size);
    }
}

TEST(TouMessageTest, ParseRefusesShortLongAndUnknownMessages)
{
    std::vector<uint8_t> buf(200, 0);
    TouFields f;
    TouMessage::writeHeader(buf.data(), touTypeData, 100, 3);
    EXPECT_FALSE(TouMessage::parse(buf.data(), 111, f));
    EXPECT_FALSE(TouMessage::parse(buf.data(), 113, f));
    ASSERT_TRUE(TouMessage::parse(buf.data(), 112, f));
    EXPECT_EQ(f.sessionId, 3u);
    EXPECT_EQ(f.payload, buf.data() + 12);
    EXPECT_FALSE(TouMessage::parse(buf.data(), 11, f));
    EXPECT_FALSE(TouMessage::parse(nullptr, 12, f));
    buf[0] = 0x1C;
    EXPECT_FALSE(TouMessage::parse(buf.data(), 12, f));

    uint8_t cmd[20];
    TouMessage::writeCommand(cmd, 11, 1);
    cmd[14] = 0xFF; // reserved bytes are ignored
    ASSERT_TRUE(TouMessage::parse(cmd, sizeof cmd, f));
    EXPECT_EQ(f.option, 11);
    EXPECT_EQ(f.value, 1u);
}

} // namespace
