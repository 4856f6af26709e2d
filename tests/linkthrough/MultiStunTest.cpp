// The multi-server STUN prober: Value T from probe rounds against the probing service stand-in, and the
// paced timed procedures.
#include "../p2p/LogCapture.h"
#include "../p2psdk/NetTestSupport.h"
#include "LinkThrough/MultiStunClient.h"
#include "nattraver/iceagent/IceAgent.h"
#include "p2pserver/P2PServerSim.h"
#include "p2pserver/ProbeServiceSim.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

using namespace Orvan::Tou;
using nettest::WaitUntil;

TEST(MultiStunClient, ValueTIsTheSmallestPortStep)
{
    struct Case
    {
        std::vector<int> ports;
        int valueT;
    } cases[] = {
        {{40000, 40002, 40004}, 2}, {{40000, 40000, 40001}, 0}, {{40000, 40020}, 1},
        {{40004, 40000, 40009}, 4}, {{40000}, 77},              {{}, 77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.ports));
        EXPECT_EQ(CMultiStunClient::calculateValueT(c.ports, 77), c.valueT);
    }
}

TEST(MultiStunClient, ProbeRoundMeasuresTheNat)
{
    struct Case
    {
        const char* name;
        int count;
        int step;
        int silentFrom;
        int valueT;
        bool timeout;
    } cases[] = {
        {"cone", 4, 0, -1, 0, false},
        {"symmetric, step 2", 4, 2, -1, 2, false},
        {"step above 9", 2, 20, -1, 1, false},
        {"one probe unanswered", 3, 3, 2, 3, true},
        {"single answer keeps the value", 2, 5, 1, int(Orvan::NATTraver::kValueTUnknown), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        p2psim::ProbeOptions probe;
        probe.count = c.count;
        probe.step = c.step;
        probe.silentFrom = c.silentFrom;
        p2psim::ProbeServiceSim service(probe);
        ASSERT_TRUE(service.Start()) << service.Error();
        p2psim::ServerOptions options;
        options.stunService = service.Address();
        options.stunPortNum = c.count;
        p2psim::P2PServerSim server(options);
        ASSERT_TRUE(server.Start()) << server.Error();

        LogCapture log;
        CMultiStunClient prober;
        EXPECT_EQ(prober.getValueT(), int(Orvan::NATTraver::kValueTUnknown));
        P2PServerInfo info;
        info.host = "127.0.0.1";
        info.port = server.Port();
        prober.setServerInfo(info);
        ASSERT_TRUE(WaitUntil([&] { return prober.getState() == CMultiStunClient::stateWaitNextRound; }, 6000))
            << prober.getState();
        EXPECT_EQ(prober.getValueT(), c.valueT);
        EXPECT_EQ(prober.stunIp(), "127.0.0.1");
        std::vector<int> expected;
        for (int i = 0; i < c.count; ++i)
            expected.push_back(service.BasePort() + i);
        EXPECT_EQ(prober.probePorts(), expected);
        EXPECT_EQ(log.count("Http stun timeout"), c.timeout ? 1u : 0u);
        EXPECT_EQ(log.count("StunIP:127.0.0.1, StunPort:" + std::to_string(service.BasePort()) +
                            ", PortNum:" + std::to_string(c.count)), 1u);
    }
}

TEST(MultiStunClient, BadServerAnswersAreRefusedAndTheQuestionRepeated)
{
    nettest::UdpPeer server;
    CMultiStunClient prober;
    P2PServerInfo info;
    info.host = "127.0.0.1";
    info.port = server.port();
    prober.setServerInfo(info);
    sockaddr_in from = {};
    ASSERT_EQ(server.Receive(2000, &from), "ZRGET /online/stun HTTP/1.1\r\n\r\n");
    LogCapture log;
    auto ok = [](const std::string& body) {
        return "HTTP/1.1 200 OK\r\nCSeq: 0\r\nContent-Type: \r\nContent-Length: " + std::to_string(body.size()) +
               "\r\n\r\n" + body;
    };
    const std::string answers[] = {
        ok("<body><PortNum>3</PortNum></body>"),
        "HTTP/1.1 404 Not Found\r\nCSeq: 0\r\n\r\n",
        ok("<body><STUN>127.0.0.1:</STUN><PortNum>3</PortNum></body>"),
        ok("<body><STUN>no.such.host.invalid:3478</STUN><PortNum>3</PortNum></body>"),
    };
    for (const std::string& a : answers) {
        SCOPED_TRACE(a);
        server.SendTo(a, from);
        // Each is refused and the question goes out again.
        ASSERT_EQ(server.Receive(4000, &from), "ZRGET /online/stun HTTP/1.1\r\n\r\n");
    }
    EXPECT_EQ(log.count("Parse Server Message Failed"), 4u) << log.text();
    EXPECT_LE(prober.getState(), CMultiStunClient::stateWaitServer);
    EXPECT_EQ(prober.getValueT(), int(Orvan::NATTraver::kValueTUnknown));
}

namespace {

struct ProcLog
{
    void First() { Note(1); }
    void Second() { Note(2); }
    void Note(int which)
    {
        std::lock_guard<std::mutex> lock(mu);
        runs.push_back({which, std::chrono::steady_clock::now()});
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> lock(mu);
        return runs.size();
    }
    std::mutex mu;
    std::vector<std::pair<int, std::chrono::steady_clock::time_point>> runs;
};

} // namespace

TEST(MultiStunClient, TimedProceduresRunOneAtATimeSpacedApart)
{
    CMultiStunClient prober;
    prober.setLinkSwitchSpace(600);
    ProcLog log;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(prober.addTimedProc(10, TimedProc(&ProcLog::First, &log)));
    ASSERT_TRUE(prober.addTimedProc(20, TimedProc(&ProcLog::Second, &log)));
    EXPECT_FALSE(prober.addTimedProc(20, TimedProc(&ProcLog::First, &log)));
    ASSERT_TRUE(WaitUntil([&] { return log.Count() == 2; }, 3000));
    EXPECT_EQ(log.runs[0].first, 1);
    EXPECT_EQ(log.runs[1].first, 2);
    EXPECT_LT(log.runs[0].second - start, std::chrono::milliseconds(400));
    EXPECT_GE(log.runs[1].second - log.runs[0].second, std::chrono::milliseconds(550));

    // Removed before its turn: never runs. With no spacing every turn may run one.
    prober.setLinkSwitchSpace(0);
    ASSERT_TRUE(prober.addTimedProc(30, TimedProc(&ProcLog::First, &log)));
    prober.removeTimedProc(TimedProc(&ProcLog::First, &log));
    ASSERT_TRUE(prober.addTimedProc(40, TimedProc(&ProcLog::Second, &log)));
    ASSERT_TRUE(prober.addTimedProc(50, TimedProc(&ProcLog::Second, &log)));
    ASSERT_TRUE(WaitUntil([&] { return log.Count() == 4; }, 3000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(log.Count(), 4u);
    EXPECT_EQ(log.runs[2].first, 2);
    EXPECT_LT(log.runs[3].second - log.runs[2].second, std::chrono::milliseconds(400));
}
