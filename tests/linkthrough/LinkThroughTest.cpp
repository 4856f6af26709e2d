// The P2P link-through base and its client end: state word, candidates, STUN, the channel request and
// its answers, and a whole negotiation through the P2P server stand-in with a scripted device.
#include "../p2p/LogCapture.h"
#include "../p2psdk/NetTestSupport.h"
#include "DeviceStub.h"
#include "Infra3/Time.h"
#include "LinkThrough/P2PLinkThroughClient.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

using namespace Orvan::Tou;
using namespace Orvan::NATTraver;
using nettest::UdpPeer;
using nettest::WaitUntil;

namespace {

class FakeOwner : public IP2PLinkOwner
{
public:
    explicit FakeOwner(int serverPort, int state = stateOnline) : state_(state)
    {
        server_.host = "127.0.0.1";
        server_.port = serverPort;
        server_.userName = "P2PClient";
    }
    int getState() override { return state_; }
    void getServerInfo(P2PServerInfo& server) override { server = server_; }

    std::atomic<int> state_;
    P2PServerInfo server_;
};

struct Recorder
{
    void OnResult(int state, const LinkChannelInfo& info, int type)
    {
        std::lock_guard<std::mutex> lock(mu);
        states.push_back(state);
        last = info;
        lastType = type;
    }
    void OnVersion(const std::string& version)
    {
        std::lock_guard<std::mutex> lock(mu);
        versions.push_back(version);
    }
    size_t Results()
    {
        std::lock_guard<std::mutex> lock(mu);
        return states.size();
    }

    std::mutex mu;
    std::vector<int> states;
    std::vector<std::string> versions;
    LinkChannelInfo last;
    int lastType = -1;
};

class TestLink : public CP2PLinkThrough
{
public:
    TestLink(int mode, bool portGuess, bool multiHolePunch)
        : CP2PLinkThrough(P2PLinkOwnerPtr(), mode, "DEV1", LinkResultProc(), 0, 0, portGuess, multiHolePunch, 9000)
    {
    }
};

std::unique_ptr<CP2PLinkThroughClient> MakeClient(Recorder& rec, int serverPort, const std::string& id = "DEV1",
                                                  FakeOwner** ownerOut = nullptr)
{
    FakeOwner* owner = new FakeOwner(serverPort);
    if (ownerOut)
        *ownerOut = owner;
    std::unique_ptr<CP2PLinkThroughClient> link(new CP2PLinkThroughClient(
        P2PLinkOwnerPtr(owner), id, LinkResultProc(&Recorder::OnResult, &rec),
        PeerVersionProc(&Recorder::OnVersion, &rec), false, true, 8123, 2));
    link->setLocalValueT(kValueTUnknown);
    link->setStunConfig(StunConfig());
    return link;
}

P2PResponse Response(int cseq, int status, const FieldMap& fields = {})
{
    P2PResponse r;
    r.cseq = cseq;
    r.statusCode = status;
    r.text = status == 200 ? "Server Nat Info!" : "Text";
    r.fields = fields;
    return r;
}

} // namespace

TEST(P2PLinkThrough, StateWordFlagsAndValueT)
{
    TestLink link(1, true, true);
    EXPECT_EQ(link.startStun(0), 0); // not armed yet
    EXPECT_EQ(link.getState(), directInit);

    link.setState(directWaitIce);
    link.setState(TestLink::flagIceArmed);
    EXPECT_EQ(link.getState(), directWaitIce);
    EXPECT_TRUE(link.isIceArmed());
    link.setState(directStunStart);
    EXPECT_TRUE(link.isIceArmed());
    EXPECT_FALSE(link.isStunArmed());
    ASSERT_TRUE(link.setStunConfig(StunConfig()));
    EXPECT_EQ(link.getState(), directInit);
    EXPECT_TRUE(link.isStunArmed());
    EXPECT_TRUE(link.isIceArmed());

    link.setLocalValueT(3);
    EXPECT_EQ(link.getLocalValueT(), 3);
    TestLink noGuess(1, false, true);
    noGuess.setLocalValueT(3);
    EXPECT_EQ(noGuess.getLocalValueT(), int(kValueTNoGuess));
    TestLink oldFlow(1, true, false);
    oldFlow.setLocalValueT(3);
    EXPECT_EQ(oldFlow.getLocalValueT(), int(kValueTOldFlow));
}

TEST(P2PLinkThrough, LocalModeTakesTheSocketsOwnAddressWithoutTraffic)
{
    TestLink link(1, true, true);
    CandidateAddr cand;
    {
        LogCapture log;
        EXPECT_FALSE(link.getCandidateAddr(cand));
        EXPECT_EQ(log.count("get nat info error, check stun server!"), 1u);
    }
    link.setStunConfig(StunConfig());
    EXPECT_EQ(link.startStun(0), 1);
    EXPECT_EQ(link.getState(), directStunSuccess);
    ASSERT_TRUE(link.getCandidateAddr(cand));
    Address local;
    link.socket()->getLocalAddress(local);
    EXPECT_EQ(cand.count, 1);
    EXPECT_EQ(cand.addresses[0].port, local.getPort());
    EXPECT_GE(local.getPort(), 16759);
}

TEST(P2PLinkThrough, StunModeLearnsThePublicAddressFromTheServer)
{
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    TestLink link(0, true, true);
    StunConfig config;
    std::strcpy(config.server, "127.0.0.1");
    config.port = server.Port();
    link.setStunConfig(config);
    EXPECT_EQ(link.startStun(0), 1);
    ASSERT_TRUE(WaitUntil([&] { return link.getState() == directStunSuccess; }, 5000)) << link.getState();
    CandidateAddr cand;
    ASSERT_TRUE(link.getCandidateAddr(cand));
    ASSERT_EQ(cand.count, 2);
    EXPECT_STREQ(cand.addresses[1].ip, "127.0.0.1");
    Address local;
    link.socket()->getLocalAddress(local);
    EXPECT_EQ(cand.addresses[1].port, local.getPort());
    EXPECT_EQ(cand.checkTimeoutMs, 2000);
    EXPECT_EQ(server.StunAnswered(), 1u);
}

TEST(P2PChannelClient, WholeNegotiationThroughTheServerGivesAPath)
{
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    linktest::DeviceStub device("DEV1", server.Port(), linktest::DeviceStub::answerCandidates);
    ASSERT_TRUE(WaitUntil([&] { return device.registered(); }));

    Recorder rec;
    auto link = MakeClient(rec, server.Port());
    ASSERT_TRUE(WaitUntil([&] {
        link->heartbeat();
        return rec.Results() > 0;
    }, 15000)) << link->getState();
    ASSERT_EQ(rec.states.size(), 1u);
    EXPECT_EQ(rec.states[0], linkStateFound);
    EXPECT_EQ(rec.lastType, linkTypeP2P);
    EXPECT_EQ(rec.last.id, "DEV1");
    EXPECT_EQ(rec.last.localPort, 8123);
    EXPECT_EQ(rec.last.channelType, 2);
    EXPECT_EQ(rec.last.peerVersion, "5.2.1");
    EXPECT_STREQ(rec.last.conn.remoteIp, "127.0.0.1");
    EXPECT_EQ(rec.last.conn.remotePort, device.icePort());
    ASSERT_NE(rec.last.socket.get(), nullptr);
    ASSERT_EQ(rec.versions.size(), 1u);
    EXPECT_EQ(rec.versions[0], "5.2.1");
    EXPECT_EQ(link->remoteValueT(), int(kValueTNoGuess));
    EXPECT_TRUE(WaitUntil([&] { return device.iceDone(); }));
    EXPECT_TRUE(device.iceOk());

    // What the device was told: version, Value T, disguised local addresses, and the public address
    // that only the server saw.
    std::string fields = device.lastRequestFields();
    EXPECT_NE(fields.find("version=5.2.1;"), std::string::npos) << fields;
    EXPECT_NE(fields.find("NatValueT=" + std::to_string(int(kValueTNoGuess)) + ";"), std::string::npos);
    EXPECT_NE(fields.find("PubAddr=127.0.0.1:"), std::string::npos);
    EXPECT_NE(fields.find("LocalAddr="), std::string::npos);
    EXPECT_EQ(fields.find("LocalAddr=127."), std::string::npos); // only the complements leave

    // Later heartbeats report nothing more.
    link->heartbeat();
    link->heartbeat();
    EXPECT_EQ(rec.Results(), 1u);
}

TEST(P2PChannelClient, UnansweredRequestIsResentWithTheSameCSeqThenFails)
{
    UdpPeer server;
    Recorder rec;
    const uint64_t start = Orvan::Infra::CTime::getTickCountMs();
    auto link = MakeClient(rec, server.port());
    std::vector<std::pair<uint64_t, std::string>> sent;
    LogCapture log;
    ASSERT_TRUE(WaitUntil([&] {
        link->heartbeat();
        std::string d = server.Receive(0);
        if (!d.empty())
            sent.push_back({Orvan::Infra::CTime::getTickCountMs() - start, d});
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return rec.Results() > 0;
    }, 14000));
    const uint64_t failedAt = Orvan::Infra::CTime::getTickCountMs() - start;
    EXPECT_GE(failedAt, 10000u);
    EXPECT_LT(failedAt, 11500u);
    EXPECT_EQ(rec.states[0], linkStateFailed);
    EXPECT_EQ(rec.last.localPort, 8123);
    EXPECT_EQ(rec.last.socket.get(), nullptr);
    EXPECT_EQ(log.count("wait p2p-channel response timeout! seq[" + std::to_string(link->getSeq()) +
                        "] localPort[8123]"), 1u) << log.text();
    // 0, 100, 300, 700, 1500, 3100, 6300 ms: seven sends, one CSeq.
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_LT(sent[0].first, 200u);
    const std::string cseq = "CSeq: " + std::to_string(link->getSeq()) + "\r\n";
    for (size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NE(sent[i].second.find("POST /device/DEV1/p2p-channel HTTP/1.1\r\n"), std::string::npos);
        EXPECT_NE(sent[i].second.find(cseq), std::string::npos);
        if (i >= 2) {
            uint64_t gap = sent[i].first - sent[i - 1].first;
            uint64_t expected = 100u << (i - 1);
            EXPECT_GE(gap, expected);
            EXPECT_LT(gap, expected + 150);
        }
    }
}

TEST(P2PChannelClient, AnswersByStatus)
{
    UdpPeer server;
    struct Case
    {
        const char* name;
        std::vector<P2PResponse> answers; // cseq 0 is replaced by the link's own
        int state;                        // after the next heartbeat
        int results;
        std::vector<std::string> versions;
        int remoteValueT;
    };
    const FieldMap cand = {{"PubAddr", "127.0.0.1:9"}, {"Identify", "1 2 3 4 5 6 7 8"}};
    FieldMap withAll = cand;
    withAll["version"] = "5.2.1";
    withAll["NatValueT"] = "2";
    Case cases[] = {
        {"401 keeps waiting", {Response(0, 401)}, directWaitIce, 0, {}, int(kValueTUnknown)},
        {"server error fails", {Response(0, 404)}, directFinish, 1, {}, int(kValueTUnknown)},
        {"another request's answer is ignored", {Response(12345, 404), Response(12345, 200, cand)}, directWaitIce, 0,
         {}, int(kValueTUnknown)},
        {"candidates without version", {Response(0, 200, cand)}, directIceStart, 0, {""}, int(kValueTUnknown)},
        {"candidates with version and Value T", {Response(0, 200, withAll)}, directIceStart, 0, {"5.2.1"}, 2},
        {"unparsable candidates are dropped", {Response(0, 200, {{"LocalAddr", "x"}})}, directWaitIce, 0, {},
         int(kValueTUnknown)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder rec;
        auto link = MakeClient(rec, server.port());
        link->heartbeat(); // local candidates
        link->heartbeat(); // the request
        ASSERT_EQ(link->getState(), directWaitIce);
        ASSERT_FALSE(server.Receive(1000).empty());
        for (P2PResponse r : c.answers) {
            if (r.cseq == 0)
                r.cseq = link->getSeq();
            link->onP2PResponse(r);
        }
        link->heartbeat();
        EXPECT_EQ(link->getState(), c.state);
        EXPECT_EQ(rec.Results(), size_t(c.results));
        if (c.results)
            EXPECT_EQ(rec.states[0], linkStateFailed);
        EXPECT_EQ(rec.versions, c.versions);
        EXPECT_EQ(link->remoteValueT(), c.remoteValueT);
        while (!server.Receive(0).empty()) {
        }
    }
}

TEST(P2PChannelClient, TryingPostponesTheResend)
{
    UdpPeer server;
    Recorder rec;
    auto link = MakeClient(rec, server.port());
    link->heartbeat();
    link->heartbeat();
    ASSERT_FALSE(server.Receive(1000).empty());
    const uint64_t firstDeadline = link->resendDeadline();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    link->onP2PResponse(Response(link->getSeq(), 100));
    EXPECT_GE(link->resendDeadline(), firstDeadline + 50);
    EXPECT_EQ(link->getState(), directWaitIce);
}

TEST(P2PChannelClient, ResponsesWaitWhileTheOwnerIsOffline)
{
    UdpPeer server;
    Recorder rec;
    FakeOwner* owner = nullptr;
    auto link = MakeClient(rec, server.port(), "DEV1", &owner);
    link->heartbeat();
    link->heartbeat();
    sockaddr_in from = {};
    std::string request = server.Receive(1000, &from);
    ASSERT_FALSE(request.empty());
    owner->state_ = 2;
    server.SendTo("HTTP/1.1 404 Not Found\r\nCSeq: " + std::to_string(link->getSeq()) + "\r\n\r\n", from);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    link->heartbeat();
    EXPECT_EQ(link->getState(), directWaitIce);
    owner->state_ = IP2PLinkOwner::stateOnline;
    link->heartbeat();
    link->heartbeat();
    EXPECT_EQ(rec.Results(), 1u);
}
