// The P2P server client against the server stand-in over loopback.
#include "NetTestSupport.h"
#include "P2PSDK/P2PClientImpl.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

using namespace Orvan::Tou;
using nettest::UdpPeer;
using nettest::WaitUntil;

namespace {

class Listener : public INotify
{
public:
    void onEvent(int event) override { events.push_back(event); }
    void onResponse(const P2PResponse& r) override
    {
        std::lock_guard<std::mutex> lock(mu);
        responses.push_back(r);
    }
    std::vector<P2PResponse> Responses()
    {
        std::lock_guard<std::mutex> lock(mu);
        return responses;
    }
    std::mutex mu;
    std::vector<P2PResponse> responses;
    std::vector<int> events;
};

class P2PClientTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        p2psim::ServerOptions opt;
        opt.key = "test-key";
        server_.reset(new p2psim::P2PServerSim(opt));
        ASSERT_TRUE(server_->Start()) << server_->Error();
        info_.host = "127.0.0.1";
        info_.port = server_->Port();
        info_.key = "test-key";
        info_.userName = "P2PClient";
        client_ = createP2PClient(&listener_);
        ASSERT_NE(client_, nullptr);
    }
    void TearDown() override
    {
        if (client_)
            client_->stop();
        EXPECT_EQ(listener_.events, std::vector<int>{0});
    }
    void Heartbeat(UdpPeer& device, const char* id, const std::string& json)
    {
        device.SendTo(std::string("GET /heartbeat/device/") + id + " HTTP/1.1\r\nContent-Type: application/json\r\n"
                          "Content-Length: " + std::to_string(json.size()) + "\r\n\r\n" + json,
                      server_->Port());
        ASSERT_NE(device.Receive(2000).find("200 OK"), std::string::npos);
    }

    std::unique_ptr<p2psim::P2PServerSim> server_;
    P2PServerInfo info_;
    Listener listener_;
    IP2PClient* client_ = nullptr;
};

} // namespace

TEST_F(P2PClientTest, ServerAndDeviceQuestions)
{
    EXPECT_TRUE(client_->isServerOnline(info_, 2000));
    EXPECT_FALSE(client_->isDeviceOnline(info_, "SN0001", 1000));

    UdpPeer device;
    const std::string json = "{\"DeviceType\":\"IPC\",\"Serial\":\"SN0001\"}";
    Heartbeat(device, "SN0001", json);
    EXPECT_TRUE(client_->isDeviceOnline(info_, "SN0001", 2000));

    char buf[256];
    std::memset(buf, 0, sizeof(buf));
    ASSERT_TRUE(client_->getFromServer(info_, "SN0001", sizeof(buf), buf, 2000));
    EXPECT_EQ(std::string(buf), json);
    EXPECT_FALSE(client_->getFromServer(info_, "SN0001", 10, buf, 2000)); // Buffer Overflow
    EXPECT_FALSE(client_->getDeviceInfo(info_, "SN0001", sizeof(buf), nullptr, 2000));

    // Every question was signed with the key and every one was accepted.
    for (const p2psim::SeenRequest& r : server_->Requests()) {
        if (r.url.find("heartbeat") == std::string::npos) {
            EXPECT_TRUE(r.wsse) << r.url;
        }
    }
}

TEST_F(P2PClientTest, UnsafeDeviceIdsAreNeverSent)
{
    for (const char* id : {"SN 1", "SN1\r\nHost: x", "../x", ""}) {
        EXPECT_FALSE(client_->isDeviceOnline(info_, id, 500)) << id;
        if (!*id)
            continue; // no id: the path is sent alone
        P2PRequest r;
        r.deviceId = id;
        r.path = "p2p-channel";
        EXPECT_FALSE(client_->sendRequest(info_, r, true)) << id;
    }
    EXPECT_TRUE(server_->Requests().empty());
}

TEST_F(P2PClientTest, ForwardedRequestCarriesTheClientsAddressAndItsAnswerComesBack)
{
    UdpPeer device;
    Heartbeat(device, "SN0002", "{}");
    P2PRequest r;
    r.deviceId = "SN0002";
    r.path = "p2p-channel";
    r.fields = {{"Identify", "0 1a ff 7 0 0 1 10"}, {"version", "5.2.1"}};
    ASSERT_TRUE(client_->sendRequest(info_, r, true));
    EXPECT_NE(r.cseq, 0);

    std::string forwarded = device.Receive(3000);
    HttpMessage msg;
    ASSERT_GT(parseHttpMessage(&msg, forwarded.data(), int(forwarded.size())), 0) << forwarded;
    EXPECT_STREQ(msg.url, "/device/SN0002/p2p-channel");
    EXPECT_EQ(msg.CSeq, r.cseq);
    FieldMap fields;
    parseXmlBody(std::string(msg.body, size_t(msg.contentLength)).c_str(), fields);
    EXPECT_EQ(fields["Identify"], "0 1a ff 7 0 0 1 10");
    EXPECT_EQ(fields["PubAddr"].rfind("127.0.0.1:", 0), 0u) << fields["PubAddr"];

    const std::string body = "<body><PubAddr>1.2.3.4:5</PubAddr></body>";
    device.SendTo("HTTP/1.1 200 Server Nat Info!\r\nCSeq: " + std::to_string(r.cseq) +
                      "\r\nContent-Type: \r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body,
                  server_->Port());
    ASSERT_TRUE(WaitUntil([&] { return !listener_.Responses().empty(); }));
    P2PResponse answer = listener_.Responses()[0];
    EXPECT_EQ(answer.cseq, r.cseq);
    EXPECT_EQ(answer.statusCode, 200);
    EXPECT_EQ(answer.text, "Server Nat Info!");
    EXPECT_EQ(answer.fields["PubAddr"], "1.2.3.4:5");
}

TEST(P2PClientClock, ChallengeWithDateSetsTheServerTimeDifference)
{
    p2psim::ServerOptions opt;
    opt.key = "k";
    opt.clockOffset = -3600;
    p2psim::P2PServerSim server(opt);
    ASSERT_TRUE(server.Start());
    Listener listener;
    auto* client = static_cast<CP2PClientImpl*>(createP2PClient(&listener));
    ASSERT_NE(client, nullptr);
    P2PServerInfo info{"127.0.0.1", server.Port(), "k", "P2PClient"};
    P2PRequest r;
    r.path = "/online/relay";
    ASSERT_TRUE(client->sendRequest(info, r, true));
    ASSERT_TRUE(WaitUntil([&] { return !listener.Responses().empty(); }));
    EXPECT_EQ(listener.Responses()[0].statusCode, 401);
    EXPECT_NEAR(client->serverTimeDifference(), 3600, 5);

    // Signed again by the listener with the learnt difference: accepted.
    P2PRequest again;
    again.path = "/probe/p2psrv";
    ASSERT_TRUE(client->sendRequest(info, again, true));
    ASSERT_TRUE(WaitUntil([&] { return listener.Responses().size() == 2; }));
    EXPECT_EQ(listener.Responses()[1].statusCode, 200);
    client->stop();
}

TEST_F(P2PClientTest, RelayAgentPairsTheClientWithTheDevice)
{
    auto ask = [&](const std::string& url, const std::string& host, int port, HttpResponse& resp) {
        HttpRequest req;
        req.url = url;
        req.auth = true;
        req.username = info_.userName;
        req.password = info_.key;
        return HttpQuery(SocketPtr(), req, host.c_str(), port, resp, 2000);
    };
    HttpResponse relay, agent;
    ASSERT_TRUE(ask("/online/relay", "127.0.0.1", server_->Port(), relay));
    EXPECT_EQ(relay.fields["Address"], "127.0.0.1:" + std::to_string(server_->RelayPort()));
    ASSERT_TRUE(ask("/relay/agent", "127.0.0.1", server_->RelayPort(), agent));
    ASSERT_EQ(agent.status, 200);
    const std::string token = agent.fields["Token"];
    const int agentPort = std::atoi(agent.fields["Agent"].substr(agent.fields["Agent"].rfind(':') + 1).c_str());
    ASSERT_FALSE(token.empty());

    UdpPeer client, device;
    client.SendTo("ZRGET /relay/start/wrong HTTP/1.1\r\nCSeq: 1\r\n\r\n", agentPort);
    EXPECT_NE(client.Receive(2000).find("403"), std::string::npos);
    client.SendTo("ZRGET /relay/start/" + token + " HTTP/1.1\r\nCSeq: 2\r\n\r\n", agentPort);
    EXPECT_NE(client.Receive(2000).find("200 OK"), std::string::npos);
    device.SendTo("device first", agentPort);
    EXPECT_EQ(client.Receive(2000), "device first");
    client.SendTo("client answer", agentPort);
    EXPECT_EQ(device.Receive(2000), "client answer");
}
