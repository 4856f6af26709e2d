// Readers of LAN datagrams, forwarded requests and channel request fields.
#include "ProxyP2P/DeviceMessages.h"
#include "nattraver/iceagent/IceAgent.h"

#include <gtest/gtest.h>

using namespace Orvan::Tou;

TEST(DeviceMessages, LanDatagramsByPath)
{
    const struct
    {
        const char* text;
        LanRequest kind;
    } cases[] = {
        {"ZRGET /info/device/DEV9 HTTP/1.1\r\n\r\n", lanInfoProbe},
        {"ZRGET /info/device/DEV9", lanInfoProbe},
        {"GET /information/devices/DEV9 HTTP/1.1\r\n\r\n", lanInfoProbe}, // prefixes count
        {"ZRGET /info/device/DEV99 HTTP/1.1\r\n\r\n", lanIgnored},        // another device's id
        {"ZRGET /info/device/DEV HTTP/1.1\r\n\r\n", lanIgnored},
        {"ZRGET /device/DEV9/local-channel HTTP/1.1\r\nCSeq: 3\r\n\r\n", lanLocalChannel},
        {"ZRGET /device/DEV99/local-channel HTTP/1.1\r\n\r\n", lanIgnored},
        {"ZRGET /device/DEV9/p2p-channel HTTP/1.1\r\n\r\n", lanIgnored},
        {"ZRGET /info/device", lanIgnored},
        {"", lanIgnored},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(classifyLanDatagram(c.text, "DEV9"), c.kind);
    }
    EXPECT_EQ(classifyLanDatagram(nullptr, "DEV9"), lanIgnored);
    EXPECT_EQ(classifyLanDatagram("ZRGET /info/device/ HTTP/1.1", ""), lanIgnored);
}

TEST(DeviceMessages, ForwardedRequestAndFields)
{
    const std::string body = "<body><agentAddr>1.2.3.4:5</agentAddr><Type>audio</Type></body>";
    const std::string text = "ZRPOST /device/DEV9/relay-channel HTTP/1.1\r\nCSeq: 31\r\nContent-Length: " +
                             std::to_string(body.size()) + "\r\n\r\n" + body;
    HttpMessage msg;
    ASSERT_GT(parseHttpMessage(&msg, text.c_str(), int(text.size())), 0);
    P2PRequest request;
    ASSERT_TRUE(readForwardedRequest(msg, request));
    EXPECT_EQ(request.cseq, 31);
    EXPECT_EQ(request.deviceId, "DEV9");
    EXPECT_EQ(request.path, "relay-channel");
    EXPECT_EQ(request.fields["agentAddr"], "1.2.3.4:5");
    EXPECT_EQ(mediaTypeOf(request.fields), 1);
    HttpMessage shortUrl;
    ASSERT_GT(parseHttpMessage(&shortUrl, "ZRGET /device/DEV9 HTTP/1.1\r\n\r\n", 31), 0);
    EXPECT_FALSE(readForwardedRequest(shortUrl, request));

    std::string ip;
    int port = 0;
    EXPECT_TRUE(readClientAddress({{"ClientIP", "10.0.0.2"}, {"ClientPort", "40000"}}, ip, port));
    EXPECT_EQ(ip, "10.0.0.2");
    EXPECT_EQ(port, 40000);
    for (const FieldMap& bad : {FieldMap{{"ClientIP", "10.0.0.2"}}, FieldMap{{"ClientPort", "1"}},
                                FieldMap{{"ClientIP", "host"}, {"ClientPort", "1"}},
                                FieldMap{{"ClientIP", "10.0.0.2"}, {"ClientPort", "65536"}},
                                FieldMap{{"ClientIP", "10.0.0.2"}, {"ClientPort", "0"}},
                                FieldMap{{"ClientIP", "10.0.0.2"}, {"ClientPort", "-1"}}})
        EXPECT_FALSE(readClientAddress(bad, ip, port));

    EXPECT_EQ(valueTOf({}), int(Orvan::NATTraver::kValueTUnknown));
    EXPECT_EQ(valueTOf({{"NatValueT", "3"}}), 3);
    EXPECT_EQ(valueTOf({{"NatValueT", "x3"}}), int(Orvan::NATTraver::kValueTUnknown));
    EXPECT_EQ(valueTOf({{"NatValueT", "99999999999"}}), int(Orvan::NATTraver::kValueTUnknown));
}
