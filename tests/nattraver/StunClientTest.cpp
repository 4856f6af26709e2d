// STUN client against the stand-in's responder and scripted peers on loopback.
#include "../p2psdk/NetTestSupport.h"
#include "nattraver/stunclient/CStunClient.h"
#include "nattraver/stunpro/SCLink.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

using namespace Orvan::NATTraver;
using nettest::UdpPeer;
using nettest::WaitUntil;

namespace {

struct Outcome
{
    std::mutex mu;
    std::atomic<int> calls{0};
    bool success = false;
    std::string ip;
    int port = 0;
};
Outcome* s_outcome = nullptr;

void OnResult(bool success, const StunResult& result, int)
{
    std::lock_guard<std::mutex> lock(s_outcome->mu);
    s_outcome->success = success;
    s_outcome->ip = result.ip;
    s_outcome->port = result.port;
    ++s_outcome->calls; // last: a reader that sees the count sees the fields
}

StunConfig ConfigFor(int fd, int serverPort, int timeoutMs = 3000)
{
    StunConfig c;
    c.fd = fd;
    std::snprintf(c.server, sizeof(c.server), "127.0.0.1");
    c.port = serverPort;
    c.timeoutMs = timeoutMs;
    c.handler = StunHandler(&OnResult);
    return c;
}

class StunClientTest : public ::testing::Test
{
protected:
    void SetUp() override { s_outcome = &outcome_; }
    Outcome outcome_;
    UdpPeer own_; // the caller's socket
};

std::string Answer(const uint8_t id[12], int mappedPort, bool invert)
{
    CStunMSG a;
    a.createBindingResponse(id);
    a.addMappedAddress(Address("127.0.0.1", mappedPort));
    uint8_t out[512];
    int n = a.toBuffer(out, sizeof(out));
    if (invert)
        invertBytes(out, n);
    return std::string(reinterpret_cast<char*>(out), size_t(n));
}

} // namespace

TEST_F(StunClientTest, MappedAddressFromEveryAnswerForm)
{
    for (auto mode : {p2psim::ServerOptions::StunBoth, p2psim::ServerOptions::StunXorOnly,
                      p2psim::ServerOptions::StunMappedOnly}) {
        SCOPED_TRACE(int(mode));
        p2psim::ServerOptions opt;
        opt.stunMode = mode;
        p2psim::P2PServerSim server(opt);
        ASSERT_TRUE(server.Start());
        auto client = createStunClient();
        ASSERT_FALSE(client.empty());
        ASSERT_TRUE(client->setConfig(ConfigFor(own_.fd(), server.Port())));
        EXPECT_TRUE(client->sendBindingRequest()); // blocking mode
        EXPECT_TRUE(outcome_.success);
        EXPECT_EQ(outcome_.ip, "127.0.0.1");
        EXPECT_EQ(outcome_.port, own_.port());
    }
    EXPECT_EQ(outcome_.calls, 3);
}

TEST_F(StunClientTest, AsyncBindingRefusesASecondAndTimesOut)
{
    UdpPeer silent;
    auto client = createStunClient();
    StunConfig c = ConfigFor(own_.fd(), silent.port(), 600);
    c.async = 1;
    ASSERT_TRUE(client->setConfig(c));
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client->sendBindingRequest());
    EXPECT_FALSE(client->sendBindingRequest());
    EXPECT_FALSE(client->setConfig(c));
    ASSERT_TRUE(WaitUntil([&] { return outcome_.calls == 1; }, 5000));
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(outcome_.success);
    EXPECT_EQ(outcome_.ip, "0.0.0.0");
    EXPECT_GE(ms, 600);
    EXPECT_LT(ms, 2000);
    int requests = 0;
    while (!silent.Receive(0).empty())
        ++requests;
    EXPECT_GE(requests, 5); // about every 60 ms, fewer on a loaded machine
    EXPECT_LE(requests, 11);

    StunConfig noHandler = ConfigFor(own_.fd(), silent.port());
    noHandler.handler = StunHandler();
    ASSERT_TRUE(client->setConfig(noHandler));
    EXPECT_FALSE(client->sendBindingRequest());
    StunConfig zeroFd = ConfigFor(0, silent.port());
    EXPECT_FALSE(client->setConfig(zeroFd));
}

TEST_F(StunClientTest, OnlyTheServersAnswerToOurRequestCounts)
{
    UdpPeer server, third;
    std::thread script([&] {
        sockaddr_in client = {};
        std::string req = server.Receive(3000, &client);
        CStunMSG m;
        ASSERT_EQ(m.parse(reinterpret_cast<const uint8_t*>(req.data()), int(req.size())), 0);
        uint8_t id[12], other[12] = {9};
        m.getMessageId(id);
        third.SendTo(Answer(id, 1111, false), client);     // right id, wrong sender
        server.SendTo(Answer(other, 2222, false), client); // right sender, wrong id
        server.SendTo("garbage-garbage-garbage", client);
        server.SendTo(Answer(id, 3333, false), client);
    });
    auto client = createStunClient();
    ASSERT_TRUE(client->setConfig(ConfigFor(own_.fd(), server.port())));
    EXPECT_TRUE(client->sendBindingRequest());
    script.join();
    EXPECT_EQ(outcome_.port, 3333);
}

TEST_F(StunClientTest, InvertedDatagramsBothWays)
{
    UdpPeer server;
    std::thread script([&] {
        sockaddr_in client = {};
        std::string req = server.Receive(3000, &client);
        std::vector<uint8_t> bytes(req.begin(), req.end());
        invertBytes(bytes.data(), int(bytes.size()));
        CStunMSG m;
        ASSERT_EQ(m.parse(bytes.data(), int(bytes.size())), 0);
        EXPECT_EQ(m.getType(), stunBindingRequest);
        int n = 0;
        const uint8_t* sw = m.attribute(attrSoftware, &n);
        ASSERT_NE(sw, nullptr);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(sw), size_t(n)), "orvanstunclient");
        uint8_t id[12];
        m.getMessageId(id);
        server.SendTo(Answer(id, 4444, true), client);
    });
    auto client = createStunClient();
    StunConfig c = ConfigFor(own_.fd(), server.port());
    c.invert = 1;
    ASSERT_TRUE(client->setConfig(c));
    EXPECT_TRUE(client->sendBindingRequest());
    script.join();
    EXPECT_EQ(outcome_.port, 4444);
}
