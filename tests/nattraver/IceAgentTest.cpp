// ICE agents: two agents connecting over loopback, and the check plans of each Value T pair.
#include "../p2psdk/NetTestSupport.h"
#include "nattraver/iceagent/CIceAgent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <cstring>
#include <mutex>
#include <memory>
#include <set>
#include <vector>

using namespace Orvan::NATTraver;
using nettest::UdpPeer;
using nettest::WaitUntil;

namespace {

struct Result
{
    std::atomic<int> calls{0};
    std::atomic<bool> success{false};
    ConnInfo info = {};
};
Result s_results[2];

void OnConn(bool success, const ConnInfo* info, int user)
{
    Result& r = s_results[user];
    if (info)
        r.info = *info;
    r.success = success;
    ++r.calls;
}

CandidateAddr Config(int fd, const uint8_t self[8], const uint8_t peer[8], int peerPort, int timeoutMs)
{
    CandidateAddr c;
    std::memset(&c, 0, sizeof(c));
    c.fd = fd;
    std::memcpy(c.localIdentify, self, 8);
    std::memcpy(c.peerIdentify, peer, 8);
    c.checkTimeoutMs = timeoutMs;
    std::strcpy(c.addresses[0].ip, "127.0.0.1");
    c.addresses[0].port = peerPort;
    c.count = 1;
    c.localValueT = kValueTUnknown;
    c.remoteValueT = kValueTUnknown;
    return c;
}

class IceAgentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (Result& r : s_results) {
            r.calls = 0;
            r.success = false;
            std::memset(&r.info, 0, sizeof(r.info));
        }
        IICEAgent::generateID(idA_, 8);
        IICEAgent::generateID(idB_, 8);
        idB_[0] = uint8_t(idA_[0] + 1);
    }

    // Both agents check each other; each may be told a wrong identify or put in invert mode.
    void Run(const uint8_t* peerOfA, bool invertA, bool invertB, int timeoutMs, int portForA = 0)
    {
        a_ = createIceAgent();
        b_ = createIceAgent();
        ASSERT_FALSE(a_.empty());
        CandidateAddr configA = Config(sockA_.fd(), idA_, peerOfA, portForA ? portForA : sockB_.port(), timeoutMs);
        if (portForA)
            configA.localValueT = kValueTNoGuess; // only the (wrong) candidate
        ASSERT_TRUE(a_->setConfig(configA));
        ASSERT_TRUE(b_->setConfig(Config(sockB_.fd(), idB_, idA_, sockA_.port(), timeoutMs)));
        ASSERT_TRUE(a_->setConnInfoHandler(ConnInfoHandler(&OnConn), 0));
        ASSERT_TRUE(b_->setConnInfoHandler(ConnInfoHandler(&OnConn), 1));
        if (invertA)
            a_->setInvertMode();
        if (invertB)
            b_->setInvertMode();
        ASSERT_TRUE(a_->startConnectCheck());
        ASSERT_TRUE(b_->startConnectCheck());
        EXPECT_FALSE(a_->startConnectCheck());
        EXPECT_FALSE(a_->setConfig(Config(sockA_.fd(), idA_, idB_, 1, 1)));
        ASSERT_TRUE(WaitUntil([] { return s_results[0].calls == 1 && s_results[1].calls == 1; }, timeoutMs + 5000));
    }

    uint8_t idA_[8], idB_[8];
    UdpPeer sockA_, sockB_;
    Orvan::Component::TComPtr<IICEAgent> a_, b_;
};

} // namespace

TEST_F(IceAgentTest, TwoAgentsConnectOverLoopback)
{
    Run(idB_, false, false, 5000);
    for (int side = 0; side < 2; ++side) {
        SCOPED_TRACE(side);
        const Result& r = s_results[side];
        EXPECT_TRUE(r.success);
        EXPECT_EQ(r.info.fd, side == 0 ? sockA_.fd() : sockB_.fd());
        EXPECT_STREQ(r.info.remoteIp, "127.0.0.1");
        EXPECT_EQ(r.info.remotePort, side == 0 ? sockB_.port() : sockA_.port());
        EXPECT_STREQ(r.info.localIp, "127.0.0.1");
        EXPECT_EQ(r.info.localPort, side == 0 ? sockA_.port() : sockB_.port());
    }
    EXPECT_TRUE(WaitUntil([&] { return static_cast<CICEAgent*>(a_.get())->state() == CICEAgent::stateFinished; }));
    a_ = {};
    // The caller's socket survives the agent.
    EXPECT_EQ(::fcntl(sockA_.fd(), F_GETFD), 0);
}

TEST_F(IceAgentTest, SynFromAnUnknownAddressGetsASessionOfItsOwn)
{
    UdpPeer nobody;
    Run(idB_, false, false, 5000, nobody.port());
    EXPECT_TRUE(s_results[0].success);
    EXPECT_TRUE(s_results[1].success);
    EXPECT_EQ(s_results[0].info.remotePort, sockB_.port());
}

TEST(IceSession, MessageTransitions)
{
    UdpPeer own, peer;
    const uint8_t self[8] = {1}, id[12] = {7};
    auto link = std::make_shared<CSCLink>(SocketPtr(new Socket(own.fd(), false)), self);
    Address sender("127.0.0.1", peer.port());
    struct Received
    {
        std::vector<uint8_t> bytes;
        CStunMSG msg;
    };
    auto message = [&](uint16_t type, bool source, bool controlling, bool controlled) {
        CStunMSG w;
        type == stunBindingResponse ? w.createBindingResponse(id) : w.createMsg(type);
        if (controlling)
            w.addIceControlling(self);
        if (controlled)
            w.addIceControlled(self);
        if (source)
            w.addSourceAddress(Address("127.0.0.1", 1234));
        auto r = std::make_shared<Received>();
        r->bytes.resize(512);
        r->bytes.resize(size_t(w.toBuffer(r->bytes.data(), 512)));
        r->msg.parse(r->bytes.data(), int(r->bytes.size()));
        return r;
    };
    struct Case
    {
        const char* name;
        std::vector<std::shared_ptr<Received>> messages;
        std::vector<int> states;
    } cases[] = {
        {"SYN-ACK twice", {message(stunBindingResponse, true, false, true), message(stunBindingResponse, true, false, true)},
         {CICESession::stateSynAckReceived, CICESession::stateConnected}},
        {"ACK", {message(stunBindingResponse, false, false, true)}, {CICESession::stateAckReceived}},
        {"SYN", {message(stunBindingRequest, true, true, false)}, {CICESession::stateSynReceived}},
        {"SYN without source", {message(stunBindingRequest, false, true, false)}, {CICESession::stateNew}},
        {"not a binding", {message(stunAllocate, true, true, false)}, {CICESession::stateNew}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CICESession session(Address("127.0.0.1", 9), 0, link, 0, 3000, false, 0);
        for (size_t i = 0; i < c.messages.size(); ++i) {
            session.onMessage(c.messages[i]->msg, sender);
            EXPECT_EQ(session.state(), c.states[i]);
        }
        if (session.state() >= CICESession::stateSynReceived && session.state() != CICESession::stateAckReceived) {
            EXPECT_EQ(session.remote(), sender);
            EXPECT_EQ(session.localCandidate().getPort(), 1234);
        }
    }
}

TEST_F(IceAgentTest, WrongIdentifyOrOneSidedInvertNeverConnects)
{
    struct Case
    {
        const char* name;
        bool wrongIdentify;
        bool invertA;
    } cases[] = {{"identify mismatch", true, false}, {"invert on one side", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        uint8_t wrong[8];
        std::memcpy(wrong, idB_, 8);
        wrong[7] ^= 0x55;
        Run(c.wrongIdentify ? wrong : idB_, c.invertA, false, 1500);
        EXPECT_FALSE(s_results[0].success);
        EXPECT_FALSE(s_results[1].success);
        a_ = {};
        b_ = {};
    }
}

TEST(IcePlan, SizesAndTimeoutsPerValueTPair)
{
    UdpPeer own;
    const uint8_t id[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case
    {
        const char* name;
        int L, R;
        size_t entries;
        int sockets;
        int timeoutMs;
    } cases[] = {
        {"no guessing", kValueTNoGuess, 0, 2, 1, 3000},
        {"old flow", kValueTUnknown, 0, 2 + 16, 1, 3000},
        {"both cone", 0, 0, 2 + 16, 1, 3000},
        {"cone vs symmetric", 0, 3, 2 + 400, 1, 18000},
        {"symmetric vs cone", 3, 0, 2 + 400, 401, 18000},
        {"symmetric vs symmetric", 3, 5, 136 + 2, 17, 7440},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto agent = createIceAgent();
        auto* impl = static_cast<CICEAgent*>(agent.get());
        CandidateAddr cfg = Config(own.fd(), id, id, 40000, 3000);
        std::strcpy(cfg.addresses[0].ip, "10.0.0.2");
        cfg.addresses[0].port = 500; // a real candidate below 1024 stays as it is
        std::strcpy(cfg.addresses[1].ip, "203.0.113.7");
        cfg.addresses[1].port = 65530;
        cfg.count = 2;
        cfg.localValueT = c.L;
        cfg.remoteValueT = c.R;
        EXPECT_TRUE(agent->setConfig(cfg));
        std::vector<IcePlanEntry> plan = impl->getSessionConfig();
        EXPECT_EQ(plan.size(), c.entries);
        EXPECT_EQ(impl->socketCount(), c.sockets);
        std::set<int> ports;
        bool candidateKept = false;
        for (const IcePlanEntry& e : plan) {
            EXPECT_EQ(e.timeoutMs, c.timeoutMs);
            EXPECT_GE(e.port, 500);
            EXPECT_LE(e.port, 65535);
            if (e.ip == "10.0.0.2")
                candidateKept = candidateKept || e.port == 500;
            else
                ports.insert(e.port);
        }
        EXPECT_TRUE(candidateKept);
        if (c.L == kValueTUnknown) { // guesses above 65535 wrap into 1024 and up
            EXPECT_TRUE(ports.count(65535) && ports.count(1024) && ports.count(1034)) << ports.size();
        }
    }
    EXPECT_EQ(iceReservedSessions(), 0);
}

TEST(IcePlan, SessionBudgetIsShared)
{
    UdpPeer own;
    const uint8_t id[8] = {};
    CandidateAddr cfg = Config(own.fd(), id, id, 40000, 3000);
    cfg.localValueT = 0;
    cfg.remoteValueT = 4;
    auto first = createIceAgent();
    EXPECT_TRUE(first->setConfig(cfg));
    EXPECT_EQ(iceReservedSessions(), 400);
    auto second = createIceAgent();
    EXPECT_FALSE(second->setConfig(cfg)); // 400 + 256 + 400 > 800: old flow instead
    EXPECT_EQ(static_cast<CICEAgent*>(second.get())->getSessionConfig().size(), 1u + 16u);
    first = {};
    EXPECT_EQ(iceReservedSessions(), 0);

    uint8_t buf[8];
    EXPECT_FALSE(IICEAgent::generateID(buf, 7));
    EXPECT_TRUE(IICEAgent::generateID(buf, 8));
}
