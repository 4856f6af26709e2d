// The blocking request exchange and the UDP client over loopback.
#include "NetTestSupport.h"
#include "P2PSDK/UdpClient.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

using namespace Orvan::Tou;
using nettest::UdpPeer;
using nettest::WaitUntil;

namespace {

HttpRequest SignedProbe(const char* key)
{
    HttpRequest r;
    r.url = "/probe/p2psrv";
    r.auth = true;
    r.username = "P2PClient";
    r.password = key;
    return r;
}

int CSeqOf(const std::string& datagram)
{
    HttpMessage msg;
    return parseHttpMessage(&msg, datagram.data(), int(datagram.size())) >= 0 ? msg.CSeq : -1;
}

std::string Answer(int cseq, int status)
{
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nCSeq: " + std::to_string(cseq) + "\r\n\r\n";
}

} // namespace

TEST(UdpExchange, ScheduleOfWaits)
{
    EXPECT_EQ(exchangeSchedule(3000), (std::vector<int>{200, 300, 400, 500, 600, 700}));
    EXPECT_EQ(exchangeSchedule(300), (std::vector<int>{200}));
    EXPECT_EQ(exchangeSchedule(301), (std::vector<int>{200, 300}));
    EXPECT_TRUE(exchangeSchedule(0).empty());
}

TEST(UdpExchange, SilentServerGetsSixRequestsIn2700Ms)
{
    UdpPeer silent;
    std::atomic<int> received{0};
    std::atomic<bool> done{false};
    std::thread counter([&] {
        while (!done)
            if (!silent.Receive(50).empty())
                ++received;
    });
    HttpRequest req = SignedProbe("k");
    HttpResponse resp;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(HttpQuery(SocketPtr(), req, "127.0.0.1", silent.port(), resp, 3000));
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    done = true;
    counter.join();
    EXPECT_EQ(received, 6);
    EXPECT_GE(ms, 2650);
    EXPECT_LT(ms, 3300);
}

TEST(UdpExchange, ChallengeIsAnsweredWithTheServersClock)
{
    p2psim::ServerOptions opt;
    opt.key = "access-key";
    opt.clockOffset = 7200; // two hours ahead: the first signature is refused
    p2psim::P2PServerSim server(opt);
    ASSERT_TRUE(server.Start()) << server.Error();
    HttpRequest req = SignedProbe("access-key");
    HttpResponse resp;
    ASSERT_TRUE(HttpQuery(SocketPtr(), req, "127.0.0.1", server.Port(), resp, 3000));
    EXPECT_EQ(resp.status, 200);
    std::vector<p2psim::SeenRequest> seen = server.Requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].cseq, seen[1].cseq);
    EXPECT_EQ(resp.CSeq, req.CSeq);
    EXPECT_LT(std::abs(parseIsoTime(seen[1].created.c_str()) - server.Now()), 5);
    EXPECT_GT(std::abs(parseIsoTime(seen[0].created.c_str()) - server.Now()), 7000);
}

TEST(UdpExchange, ChallengeRetriesGrowUntilTheTimeout)
{
    struct Case
    {
        int timeoutMs;
        size_t requests;
    } cases[] = {{200, 1}, {700, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.timeoutMs);
        p2psim::ServerOptions opt;
        opt.alwaysChallenge = true;
        p2psim::P2PServerSim server(opt);
        ASSERT_TRUE(server.Start()) << server.Error();
        HttpRequest req = SignedProbe("k");
        HttpResponse resp;
        ASSERT_TRUE(HttpQuery(SocketPtr(), req, "127.0.0.1", server.Port(), resp, c.timeoutMs));
        EXPECT_EQ(resp.status, 401);
        EXPECT_EQ(server.Requests().size(), c.requests);
    }
}

TEST(UdpExchange, StraysAreIgnored)
{
    UdpPeer server, third;
    std::thread script([&] {
        sockaddr_in client = {};
        std::string request = server.Receive(3000, &client);
        int cseq = CSeqOf(request);
        third.SendTo(Answer(cseq, 500), client);      // right CSeq, wrong sender
        server.SendTo(Answer(cseq + 1, 501), client); // right sender, an earlier request's CSeq
        server.SendTo("garbage", client);
        server.SendTo(Answer(cseq, 200), client);
    });
    HttpRequest req = SignedProbe("k");
    HttpResponse resp;
    ASSERT_TRUE(HttpQuery(SocketPtr(), req, "127.0.0.1", server.port(), resp, 3000));
    script.join();
    EXPECT_EQ(resp.status, 200);
    EXPECT_EQ(resp.CSeq, req.CSeq);
}

namespace {
class TimerListener : public IUdpClientNotify
{
public:
    void onTimer() override { ++timers; }
    void onReceive() override { ++polls; }
    void onStop() override { stopped = true; }
    std::atomic<int> timers{0};
    std::atomic<int> polls{0};
    std::atomic<bool> stopped{false};
};
} // namespace

TEST(UdpExchange, UdpClientPollsAndFiresItsTimerOnce)
{
    TimerListener listener;
    CUdpClient client(&listener);
    ASSERT_TRUE(client.start());
    EXPECT_TRUE(WaitUntil([&] { return listener.polls > 3; }));
    client.setTimer(0);
    EXPECT_TRUE(WaitUntil([&] { return listener.timers == 1; }));
    int polls = listener.polls;
    EXPECT_TRUE(WaitUntil([&] { return listener.polls > polls + 3; }));
    EXPECT_EQ(listener.timers, 1);
    client.stop();
    EXPECT_TRUE(listener.stopped);
    EXPECT_EQ(client.getSocket().get(), nullptr);
}
