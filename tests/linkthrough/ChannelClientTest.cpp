// The request channel over a link's own socket: paths, CSeq, answers, the server clock from 401 answers.
#include "../p2psdk/NetTestSupport.h"
#include "LinkThrough/P2PSDKChannelClient.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

using namespace Orvan::Tou;
using nettest::UdpPeer;
using nettest::WaitUntil;

namespace {

struct ChannelFixture
{
    ChannelFixture() : socket(new Socket(true)), client(socket)
    {
        socket->bind(Address("127.0.0.1", 0));
        Address local;
        socket->getLocalAddress(local);
        port = local.getPort();
        server.host = "127.0.0.1";
        server.port = peer.port();
        server.key = "key";
        server.userName = "P2PClient";
    }

    // Sends an answer to the channel's socket, lets the channel read it and moves the queue into kept.
    void Answer(const std::string& text, bool withSender = false)
    {
        peer.SendTo(text, port);
        size_t before = kept.size();
        ASSERT_TRUE(WaitUntil([&] {
            if (withSender)
                client.recvResponseFrom(lastSender);
            else
                client.recvResponse();
            P2PResponse r;
            while (client.popResponse(r))
                kept.push_back(r);
            return kept.size() > before;
        }));
    }

    UdpPeer peer;
    SocketPtr socket;
    CP2PSDKChannelClient client;
    int port = 0;
    P2PServerInfo server;
    std::vector<P2PResponse> kept;
    Address lastSender;
};

// The start line without the private "ZR" prefix of the method, which a P2P client switches on.
std::string FirstLine(const std::string& text)
{
    std::string line = text.substr(0, text.find("\r\n"));
    return line.rfind("ZR", 0) == 0 ? line.substr(2) : line;
}

std::string Answer(int cseq, int status, const char* reason, const std::string& extra = std::string(),
                   const std::string& body = std::string())
{
    std::string text = "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nCSeq: " + std::to_string(cseq) +
                       "\r\n" + extra;
    if (!body.empty())
        text += "Content-Type: \r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
    return text + "\r\n" + body;
}

} // namespace

TEST(ChannelClient, RequestGoesToTheDevicePathWithANewCSeq)
{
    ChannelFixture f;
    P2PRequest request;
    request.path = "p2p-channel";
    request.deviceId = "D";
    request.fields["version"] = "5.2.1";
    ASSERT_TRUE(f.client.sendRequest(f.server, request, true));
    EXPECT_NE(request.cseq, 0);
    std::string text = f.peer.Receive(2000);
    EXPECT_EQ(FirstLine(text), "POST /device/D/p2p-channel HTTP/1.1") << text;
    EXPECT_NE(text.find("CSeq: " + std::to_string(request.cseq) + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("X-WSSE: UsernameToken Username=\"P2PClient\""), std::string::npos);
    EXPECT_NE(text.find("<version>5.2.1</version>"), std::string::npos);

    P2PRequest plain;
    plain.path = "/online/relay";
    plain.cseq = 77;
    ASSERT_TRUE(f.client.sendRequest(f.server, plain, false));
    EXPECT_EQ(plain.cseq, 77);
    text = f.peer.Receive(2000);
    EXPECT_EQ(FirstLine(text), "GET /online/relay HTTP/1.1") << text;

    // An id that would break the start line never leaves.
    for (const char* id : {"a b", "x\r\nHost: evil", "../x", ""}) {
        SCOPED_TRACE(id);
        P2PRequest bad;
        bad.path = "p2p-channel";
        bad.deviceId = id;
        if (*id) {
            EXPECT_FALSE(f.client.sendRequest(f.server, bad, true));
            EXPECT_TRUE(f.peer.Receive(50).empty());
        }
    }
}

TEST(ChannelClient, AnswersQueueInOrderAndOnly401WithDateMovesTheClock)
{
    ChannelFixture f;
    f.Answer(Answer(5, 100, "Trying"));
    f.Answer(Answer(5, 200, "Server Nat Info!", "", "<body><PubAddr>1.2.3.4:5</PubAddr><version>5.2.1</version></body>"));
    ASSERT_EQ(f.kept.size(), 2u);
    EXPECT_EQ(f.kept[0].statusCode, 100);
    EXPECT_EQ(f.kept[0].text, "Trying");
    EXPECT_EQ(f.kept[1].statusCode, 200);
    EXPECT_EQ(f.kept[1].cseq, 5);
    EXPECT_EQ(f.kept[1].fields["PubAddr"], "1.2.3.4:5");
    EXPECT_EQ(f.kept[1].fields["version"], "5.2.1");

    f.Answer(Answer(6, 401, "Unauthorized"));
    EXPECT_EQ(f.client.serverTimeDifference(), 0);

    char date[32];
    formatIsoTime(date, sizeof(date), time(nullptr) - 3600);
    f.Answer(Answer(6, 401, "Unauthorized", std::string("Date: ") + date + "\r\n"));
    EXPECT_NEAR(f.client.serverTimeDifference(), 3600, 2);

    // The next signed request carries the server's clock.
    P2PRequest request;
    request.path = "/online/relay";
    ASSERT_TRUE(f.client.sendRequest(f.server, request, true));
    std::string text = f.peer.Receive(2000);
    size_t at = text.find("Created=\"");
    ASSERT_NE(at, std::string::npos);
    time_t created = parseIsoTime(text.substr(at + 9, 25).c_str());
    EXPECT_NEAR(double(created), double(time(nullptr) - 3600), 3);
}

TEST(ChannelClient, GarbageRequestsAndOversizedDatagramsAreDropped)
{
    ChannelFixture f;
    f.peer.SendTo("not a message at all", f.port);
    f.peer.SendTo("ZRGET /probe/p2psrv HTTP/1.1\r\nCSeq: 1\r\n\r\n", f.port);
    f.peer.SendTo(Answer(9, 200, "OK") + std::string(9000, 'x'), f.port);
    f.peer.SendTo(Answer(10, 200, "OK"), f.port);
    P2PResponse r;
    ASSERT_TRUE(WaitUntil([&] {
        f.client.recvResponse();
        return f.client.popResponse(r);
    }));
    EXPECT_EQ(r.cseq, 10);
    EXPECT_FALSE(f.client.popResponse(r));
}

TEST(ChannelClient, AnswerWithSenderSkipsTheBody)
{
    ChannelFixture f;
    f.Answer(Answer(3, 200, "OK", "", "<body><PubAddr>1.2.3.4:5</PubAddr></body>"), true);
    EXPECT_STREQ(f.lastSender.getIp(), "127.0.0.1");
    EXPECT_EQ(f.lastSender.getPort(), f.peer.port());
    ASSERT_EQ(f.kept.size(), 1u);
    EXPECT_EQ(f.kept[0].statusCode, 200);
    EXPECT_TRUE(f.kept[0].fields.empty());
}
