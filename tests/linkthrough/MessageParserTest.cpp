// P2P message fields: candidate address lists, identifiers, relay agents.
#include "../p2p/LogCapture.h"
#include "LinkThrough/P2PMessageParser.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Orvan::Tou;
using Orvan::NATTraver::CandidateAddr;

namespace {

CandidateAddr Empty()
{
    CandidateAddr c;
    std::memset(&c, 0, sizeof(c));
    return c;
}

} // namespace

TEST(MessageParser, AddressListsAreCutAtTheLimitsAndBadTextsRefused)
{
    const std::string longPiece(128, 'a');
    struct Case
    {
        const char* name;
        std::string text;
        int max;
        int before; // entries already in the record
        bool result;
        int count;
        const char* log;
    } cases[] = {
        {"two addresses", "10.0.0.1,10.0.0.2:5000", 12, 0, true, 2, "addr[1],10.0.0.2:5000"},
        {"maximum one", "10.0.0.1,10.0.0.2:5000", 1, 0, true, 1, nullptr},
        {"record already full", "10.0.0.1:5000", 12, 16, true, 16, nullptr},
        {"appends after existing", "10.0.0.9:1", 12, 3, true, 4, nullptr},
        {"no colon", "10.0.0.1", 12, 0, false, 0, "wrong message: 10.0.0.1!"},
        {"empty", "", 12, 0, false, 0, "val is empty!"},
        {"piece of 128 characters", longPiece + ":1", 12, 0, false, 0, "addr len is out of range"},
        {"piece of 127 characters", longPiece.substr(1) + ":1", 12, 0, true, 1, nullptr},
        {"port not a number", "10.0.0.1:x", 12, 0, true, 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        CandidateAddr record = Empty();
        record.count = c.before;
        EXPECT_EQ(CP2PMessageParser().string2Addr(c.text, record, c.max), c.result);
        EXPECT_EQ(record.count, c.count);
        if (c.log)
            EXPECT_EQ(log.count(c.log), 1u) << log.text();
    }

    CandidateAddr record = Empty();
    ASSERT_TRUE(CP2PMessageParser().string2Addr("10.0.0.1,10.0.0.2:5000", record, 12));
    EXPECT_STREQ(record.addresses[0].ip, "10.0.0.1");
    EXPECT_STREQ(record.addresses[1].ip, "10.0.0.2");
    EXPECT_EQ(record.addresses[0].port, 5000);
    EXPECT_EQ(record.addresses[1].port, 5000);

    record = Empty();
    ASSERT_TRUE(CP2PMessageParser().string2Addr(longPiece.substr(1) + ":1", record, 12));
    EXPECT_EQ(std::strlen(record.addresses[0].ip), 127u);
    record = Empty();
    ASSERT_TRUE(CP2PMessageParser().string2Addr("10.0.0.1:99999", record, 12));
    EXPECT_EQ(record.addresses[0].port, 0); // out of the port range
}

TEST(MessageParser, CandidatesNeedAPublicAddressAndKeepTheirOrder)
{
    CandidateAddr record;
    FieldMap noPub = {{"LocalAddr", "10.0.0.1:5000"}, {"Identify", "1 2 3 4 5 6 7 8"}};
    EXPECT_FALSE(CP2PMessageParser().parseCandidate(noPub, record));

    FieldMap all = {{"LocalAddr", "10.0.0.1,10.0.0.2:5000"},
                    {"PortMapAddr", "172.16.0.1:6000"},
                    {"PubAddr", "203.0.113.5:7000"},
                    {"Identify", "0 1a ff 7 0 0 1 10"}};
    ASSERT_TRUE(CP2PMessageParser().parseCandidate(all, record));
    ASSERT_EQ(record.count, 4);
    EXPECT_STREQ(record.addresses[0].ip, "10.0.0.1");
    EXPECT_STREQ(record.addresses[2].ip, "172.16.0.1");
    EXPECT_EQ(record.addresses[2].port, 6000);
    EXPECT_STREQ(record.addresses[3].ip, "203.0.113.5");
    EXPECT_EQ(record.addresses[3].port, 7000);
    const uint8_t expected[8] = {0, 0x1a, 0xff, 7, 0, 0, 1, 0x10};
    EXPECT_EQ(std::memcmp(record.peerIdentify, expected, 8), 0);

    FieldMap badLocal = {{"LocalAddr", "nocolon"}, {"PubAddr", "1.2.3.4:5"}};
    EXPECT_FALSE(CP2PMessageParser().parseCandidate(badLocal, record));
}

TEST(MessageParser, IdentifierTextRoundTripsAndStopsAtGarbage)
{
    const uint8_t bytes[8] = {0, 26, 255, 7, 0, 0, 1, 16};
    EXPECT_EQ(CP2PMessageParser::identifyToText(bytes), "0 1a ff 7 0 0 1 10");
    uint8_t back[8] = {};
    EXPECT_EQ(CP2PMessageParser::textToIdentify("0 1a ff 7 0 0 1 10", back), 8);
    EXPECT_EQ(std::memcmp(back, bytes, 8), 0);

    uint8_t partial[8] = {};
    EXPECT_EQ(CP2PMessageParser::textToIdentify("1ff 2 zz 3", partial), 2);
    EXPECT_EQ(partial[0], 0xff); // low byte only
    EXPECT_EQ(partial[1], 2);
    EXPECT_EQ(partial[2], 0);
    EXPECT_EQ(CP2PMessageParser::textToIdentify("1 2 3 4 5 6 7 8 9 10", partial), 8);
}

TEST(MessageParser, PackedFieldsOverwriteAndCarryThePublicAddressOnlyWhenKnown)
{
    CandidateAddr record = Empty();
    const uint8_t id[8] = {1, 2, 3, 4, 5, 6, 7, 0xab};
    std::memcpy(record.localIdentify, id, 8);
    std::strcpy(record.addresses[0].ip, "0.0.0.0");
    record.addresses[0].port = 40000;
    record.count = 1;
    std::set<std::string> ips = {"63.87.254.155", "1.1.1.1", "2.2.2.2"};

    FieldMap fields = {{"LocalAddr", "old"}, {"PubAddr", "kept"}};
    ASSERT_TRUE(CP2PMessageParser().packCandidate(record, ips, fields, 2));
    EXPECT_EQ(fields["Identify"], "1 2 3 4 5 6 7 ab");
    EXPECT_EQ(fields["LocalAddr"], "1.1.1.1,2.2.2.2:40000");
    EXPECT_EQ(fields["PubAddr"], "kept");

    std::strcpy(record.addresses[1].ip, "198.51.100.7");
    record.addresses[1].port = 50000;
    record.count = 2;
    fields.clear();
    CP2PMessageParser().packCandidateAndPortMap(record, ips, fields, "10.1.1.1", 80);
    EXPECT_EQ(fields["LocalAddr"], "1.1.1.1,2.2.2.2,63.87.254.155:40000");
    EXPECT_EQ(fields["PubAddr"], "198.51.100.7:50000");
    EXPECT_EQ(fields["PortMapAddr"], "10.1.1.1:80");

    fields.clear();
    CP2PMessageParser().packIdentifyAndPubAddr(record, "10.9.9.9", 3000, fields);
    EXPECT_EQ(fields["PubAddr"], "10.9.9.9:3000");
    CP2PMessageParser().packAgentAddr("10.9.9.8", 3001, fields);
    EXPECT_EQ(fields["agentAddr"], "10.9.9.8:3001");
}

TEST(MessageParser, AgentAddressAndToken)
{
    struct Case
    {
        const char* text;
        const char* host;
        int port;
    } cases[] = {{"10.0.0.5:3478", "10.0.0.5", 3478}, {"relay.example:", "relay.example", 0},
                 {"nocolon", "unchanged", 7}, {":9", "", 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RelayAgentInfo info;
        info.host = "unchanged";
        info.port = 7;
        CP2PMessageParser().parseAgentAddr(c.text, info);
        EXPECT_EQ(info.host, c.host);
        EXPECT_EQ(info.port, c.port);
    }
    RelayAgentInfo info;
    CP2PMessageParser().parseToken("abc123", info);
    EXPECT_EQ(info.token, "abc123");
}

TEST(LinkRecords, DefaultsAndSharedSockets)
{
    LinkChannelInfo empty;
    EXPECT_TRUE(empty.id.empty());
    EXPECT_TRUE(empty.peerVersion.empty());
    EXPECT_EQ(empty.socket.get(), nullptr);
    EXPECT_EQ(empty.conn.fd, 0);
    EXPECT_EQ(empty.conn.remotePort, 0);
    EXPECT_EQ(empty.localPort, 0);

    LinkThroughInfo attempt;
    EXPECT_EQ(attempt.localState, 0);
    EXPECT_EQ(attempt.p2pState, 0);
    EXPECT_EQ(attempt.relayState, 0);
    EXPECT_TRUE(attempt.peerSupportsLinkSwitch);

    LinkChannelInfo copy;
    {
        LinkChannelInfo link;
        link.socket = SocketPtr(new Socket(true));
        ASSERT_EQ(link.socket->bind(Address("127.0.0.1", 0)), 0);
        copy = link;
        EXPECT_EQ(copy.socket.get(), link.socket.get());
    }
    Address local;
    EXPECT_EQ(copy.socket->getLocalAddress(local), 0); // still open while the copy holds it
}
