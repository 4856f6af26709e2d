// The relay link-through: through the server stand-in's relay and agent to a scripted device, and each
// answer of a scripted server by path and status.
#include "../p2p/LogCapture.h"
#include "../p2psdk/NetTestSupport.h"
#include "DeviceStub.h"
#include "Infra3/Time.h"
#include "LinkThrough/P2PLinkThroughRelay.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

using namespace Orvan::Tou;
using nettest::UdpPeer;
using nettest::WaitUntil;
using Orvan::Infra::CTime;

namespace {

struct Reports
{
    void OnResult(int state, const LinkChannelInfo& info, int type)
    {
        std::lock_guard<std::mutex> lock(mu);
        states.push_back(state);
        last = info;
        lastType = type;
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> lock(mu);
        return states.size();
    }
    std::mutex mu;
    std::vector<int> states;
    LinkChannelInfo last;
    int lastType = -1;
};

P2PServerInfo Server(int port)
{
    P2PServerInfo s;
    s.host = "127.0.0.1";
    s.port = port;
    s.userName = "P2PClient";
    return s;
}

// A server that answers by hand: reads the next request and tells its path, CSeq and fields.
struct ScriptedServer
{
    struct Request
    {
        std::string url;
        int cseq = 0;
        FieldMap fields;
        std::string text;
    };

    // Drives the link until a request arrives.
    Request Next(CP2PLinkThroughRelay& relay)
    {
        Request r;
        WaitUntil([&] {
            relay.heartbeat(CTime::getTickCountMs());
            std::string text = peer.Receive(5, &from);
            HttpMessage msg;
            if (text.empty() || parseHttpMessage(&msg, text.c_str(), int(text.size())) < 0)
                return false;
            r.url = msg.url;
            r.cseq = msg.CSeq;
            r.text = text;
            if (msg.contentLength > 0)
                parseXmlBody(std::string(msg.body, size_t(msg.contentLength)).c_str(), r.fields);
            return true;
        }, 3000);
        return r;
    }

    void Answer(int cseq, int status, const FieldMap& fields = {})
    {
        HttpMessage msg;
        std::string body;
        buildResponseMessage(cseq, status, status == 200 ? "OK" : "Refused", fields, msg, body);
        char out[kHttpBufferSize];
        int n = serializeHttpMessage(&msg, out, sizeof(out));
        peer.SendTo(std::string(out, size_t(n)), from);
    }

    // Lets the link read what was sent.
    void Settle(CP2PLinkThroughRelay& relay)
    {
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            relay.heartbeat(CTime::getTickCountMs());
        }
    }

    UdpPeer peer;
    sockaddr_in from = {};
};

} // namespace

TEST(RelayLinkThrough, DeviceWithVersionMeetsTheClientAtTheAgent)
{
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    linktest::DeviceStub device("DEVR", server.Port(), linktest::DeviceStub::answerCandidates);
    ASSERT_TRUE(WaitUntil([&] { return device.registered(); }));

    Reports reports;
    CP2PLinkThroughRelay relay("DEVR", Server(server.Port()), LinkResultProc(&Reports::OnResult, &reports), 2, 7100);
    relay.setPeerVersion("5.2.1");
    ASSERT_TRUE(WaitUntil([&] {
        relay.heartbeat(CTime::getTickCountMs());
        return reports.Count() > 0;
    }, 12000)) << relay.getState();
    ASSERT_EQ(reports.states.size(), 1u);
    EXPECT_EQ(reports.states[0], linkStateFound);
    EXPECT_EQ(reports.lastType, linkTypeRelay);
    EXPECT_EQ(relay.getState(), relayIceSuccess);
    const RelayAgentInfo agent = relay.getAgent();
    EXPECT_STREQ(reports.last.conn.remoteIp, "127.0.0.1");
    EXPECT_EQ(reports.last.conn.remotePort, agent.port);
    EXPECT_NE(agent.port, server.RelayPort());
    EXPECT_EQ(reports.last.localPort, 7100);
    EXPECT_EQ(reports.last.peerVersion, "5.2.1");
    EXPECT_EQ(device.relayRequests(), 1);
    const std::string fields = device.lastRequestFields();
    EXPECT_NE(fields.find("agentAddr=127.0.0.1:" + std::to_string(agent.port) + ";"), std::string::npos) << fields;
    EXPECT_NE(fields.find("Type=video;"), std::string::npos) << fields;

    // The path works: data from the link socket reaches the device through the agent.
    Address to("127.0.0.1", reports.last.conn.remotePort);
    ASSERT_GT(reports.last.socket->sendTo("ping", 4, to), 0);
    EXPECT_TRUE(WaitUntil([&] { return device.rawDatagrams() == 1; }, 3000));

    relay.heartbeat(CTime::getTickCountMs());
    EXPECT_EQ(reports.Count(), 1u); // reported once
}

TEST(RelayLinkThrough, AnswersByPathAndStatus)
{
    ScriptedServer s;
    Reports reports;
    LogCapture log;
    CP2PLinkThroughRelay relay("DEVS", Server(s.peer.port()), LinkResultProc(&Reports::OnResult, &reports), 1, 7200);
    RelayAgentInfo out;
    EXPECT_FALSE(relay.getRelaySvrAddr(out));

    ScriptedServer::Request r = s.Next(relay);
    ASSERT_EQ(r.url, "/online/relay");
    const std::string self = "127.0.0.1:" + std::to_string(s.peer.port());
    s.Answer(r.cseq, 401); // sent again, newly signed
    ScriptedServer::Request again = s.Next(relay);
    EXPECT_EQ(again.url, "/online/relay");
    EXPECT_EQ(again.cseq, r.cseq);
    s.Answer(r.cseq, 200, {{"Address", self}});
    s.Answer(r.cseq, 200, {{"Address", "10.9.9.9:1"}}); // a second answer changes nothing

    r = s.Next(relay);
    ASSERT_EQ(r.url, "/relay/agent");
    ASSERT_TRUE(relay.getRelaySvrAddr(out));
    EXPECT_EQ(out.host, "127.0.0.1");
    EXPECT_EQ(out.port, s.peer.port());
    s.Answer(r.cseq, 200, {{"Agent", self}, {"Token", "tok-1"}});

    r = s.Next(relay);
    ASSERT_EQ(r.url, "/relay/start/tok-1");
    EXPECT_NE(r.text.find("<Client>:0</Client>"), std::string::npos) << r.text;
    s.Answer(12345, 200); // unknown CSeq: a retransmission, dropped
    s.Answer(r.cseq, 500); // still moves on
    s.Settle(relay);
    EXPECT_EQ(relay.getState(), relayWaitVersion);
    // The second answer to "/online/relay" and the unknown CSeq.
    EXPECT_EQ(log.count("recv retran message, [200, OK]!"), 2u) << log.text();

    // The version decides the request: none means the old "p2p-channel" with the agent as public address.
    relay.setPeerVersion("");
    r = s.Next(relay);
    EXPECT_EQ(r.url, "/device/DEVS/p2p-channel");
    EXPECT_EQ(r.fields["PubAddr"], self);
    EXPECT_EQ(r.fields["Identify"], "0 0 0 0 0 0 0 0");
    EXPECT_EQ(r.fields["Type"], "audio");
    s.Answer(r.cseq, 100);
    s.Answer(r.cseq, 404);
    s.Settle(relay);
    ASSERT_EQ(reports.Count(), 1u);
    EXPECT_EQ(reports.states[0], linkStateFailed);
    EXPECT_EQ(reports.last.localPort, 7200);
    EXPECT_EQ(relay.getState(), relayIceFail);
}

TEST(RelayLinkThrough, TokenThatWouldBreakTheRequestIsRefused)
{
    ScriptedServer s;
    Reports reports;
    CP2PLinkThroughRelay relay("DEVS", Server(s.peer.port()), LinkResultProc(&Reports::OnResult, &reports), 0, 7300);
    const std::string self = "127.0.0.1:" + std::to_string(s.peer.port());
    ScriptedServer::Request r = s.Next(relay);
    s.Answer(r.cseq, 200, {{"Address", self}});
    r = s.Next(relay);
    ASSERT_EQ(r.url, "/relay/agent");
    s.Answer(r.cseq, 200, {{"Agent", self}, {"Token", "x HTTP/1.1\r\nHost: y"}});
    s.Settle(relay);
    ASSERT_EQ(reports.Count(), 1u);
    EXPECT_EQ(reports.states[0], linkStateFailed);
    EXPECT_TRUE(s.peer.Receive(100).empty()); // no start request went out
}

TEST(RelayLinkThrough, SilentServerFailsAfterTenSecondsWithOneReport)
{
    UdpPeer silent;
    Reports reports;
    LogCapture log;
    const uint64_t start = CTime::getTickCountMs();
    CP2PLinkThroughRelay relay("DEVS", Server(silent.port()), LinkResultProc(&Reports::OnResult, &reports), 0, 7400);
    ASSERT_TRUE(WaitUntil([&] {
        relay.heartbeat(CTime::getTickCountMs());
        return reports.Count() > 0;
    }, 13000));
    const uint64_t took = CTime::getTickCountMs() - start;
    EXPECT_GE(took, 10000u);
    EXPECT_LT(took, 11000u);
    for (int i = 0; i < 5; ++i)
        relay.heartbeat(CTime::getTickCountMs());
    EXPECT_EQ(reports.Count(), 1u);
    EXPECT_EQ(relay.getState(), relayIceFail);
    EXPECT_EQ(log.count("wait relay config timeout!!!"), 1u);
}
