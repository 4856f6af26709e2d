#include "../p2p/LogCapture.h"
#include "Proxy/ProxyChannelClient.h"
#include "Proxy/ProxyChannelServer.h"
#include "ProxyTestSupport.h"
#include "../support/SocketEcho.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <atomic>
#include <memory>
#include <random>

namespace proxytest {
namespace {

using namespace Orvan::Tou;
using Orvan::Memory::TSharedPtr;
using Orvan::NATTraver::ConnInfo;
using Orvan::NATTraver::Socket;

ConnInfo Info(uint16_t localPort, uint16_t remotePort)
{
    ConnInfo c{};
    std::strcpy(c.localIp, "127.0.0.1");
    std::strcpy(c.remoteIp, "127.0.0.1");
    c.localPort = localPort;
    c.remotePort = remotePort;
    return c;
}

// Both ends of one path: a UDP socket pair on loopback.
struct Path {
    uint16_t cport = 0, sport = 0;
    TSharedPtr<Socket> csock, ssock;
    Path() : csock(new Socket(BoundUdp(&cport), true)), ssock(new Socket(BoundUdp(&sport), true)) {}
    ProxyLink Client(const std::string& version) const
    {
        ProxyLink l;
        l.id = "dev-e2e";
        l.socket = csock;
        l.info = Info(cport, sport);
        l.peerVersion = version;
        return l;
    }
    ProxyLink Server() const
    {
        ProxyLink l;
        l.id = "dev-e2e";
        l.socket = ssock;
        l.info = Info(sport, cport);
        l.mediaType = 2;
        return l;
    }
};

struct TestClient : CProxyChannelClient {
    using CProxyChannelClient::CProxyChannelClient;
    std::vector<uint32_t> Ids()
    {
        std::vector<uint32_t> ids;
        Orvan::Infra::CMutexGuard lock(m_sessionLock);
        for (auto& e : m_sessions)
            ids.push_back(e.first);
        return ids;
    }
};

struct Report {
    std::mutex mu;
    int calls = 0;
    std::string key;
    int linkType = -1;
    void operator()(const std::string& k, const std::string&, int, const std::string&, int, int type)
    {
        std::lock_guard<std::mutex> lock(mu);
        ++calls;
        key = k;
        linkType = type;
    }
};

// A client channel and the server channels of its paths, driven as their owners drive them.
struct ProxyEndToEnd : ::testing::Test {
    EchoService echo;
    Listener mapped; // the "mapped local port" the application connects to
    Path path;
    TSharedPtr<CProxyServerConfig> serverConfig{new CProxyServerConfig};
    TSharedPtr<CProxyClientConfig> clientConfig{new CProxyClientConfig};
    Report report;
    std::mutex listMu; // the proxy server's channel list
    std::vector<std::shared_ptr<CProxyChannelServer>> servers;
    std::unique_ptr<TestClient> client;
    std::atomic<bool> stop{false};
    std::atomic<bool> holdClientOnResume{false}; // the client's turns stop once its Resume is out
    std::thread driver;

    void Start(int linkType, const std::string& version)
    {
        AddServer(path);
        P2PServerInfo info;
        info.host = "127.0.0.1";
        info.port = 8800;
        client.reset(new TestClient(path.Client(version), linkType, info, clientConfig,
                                    [this](const std::string& k, const std::string& r, int rp, const std::string& l,
                                           int lp, int t) { report(k, r, rp, l, lp, t); }));
        driver = std::thread([this] {
            uint64_t ticks = 0;
            while (!stop) {
                {
                    std::lock_guard<std::mutex> lock(listMu);
                    for (auto& s : servers)
                        s->heartbeat();
                }
                const int step = client->getSwitchState();
                if (!holdClientOnResume || (step != switchStateResume && step != switchStateSwitched))
                    client->heartbeat();
                if (++ticks % 20 == 0) {
                    uint64_t now = Orvan::Infra::CTime::getTickCountMs();
                    client->checkAlive(now);
                    std::lock_guard<std::mutex> lock(listMu);
                    for (auto& s : servers)
                        s->longTimeTaskDeal(now);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        ASSERT_TRUE(WaitUntil([&] { return client->getState() == proxyChannelConnSuccess; }, 5000));
    }
    std::shared_ptr<CProxyChannelServer> AddServer(const Path& p)
    {
        std::shared_ptr<CProxyChannelServer> s(new CProxyChannelServer(
            p.Server(), serverConfig, CProxyChannelServer::SwitchHandler(&ProxyEndToEnd::OnSwitch, this)));
        std::lock_guard<std::mutex> lock(listMu);
        servers.push_back(s);
        return s;
    }
    // What the proxy server does when a channel receives a Resume on a new path.
    bool OnSwitch(uint32_t id1, uint32_t id2)
    {
        if (id1 == id2)
            return false;
        std::lock_guard<std::mutex> lock(listMu);
        CProxyChannelServer *first = nullptr, *second = nullptr;
        for (auto& s : servers) {
            if (s->getChannelId() == id1)
                first = s.get();
            else if (s->getChannelId() == id2)
                second = s.get();
        }
        if (!first || !second)
            return false;
        first->setSwitchChannelId(id2);
        second->setSwitchChannelId(id1);
        return true;
    }
    // Accepts an application connection on the mapped port and hands it to the client channel.
    int OpenSession()
    {
        int app = ConnectTo(mapped.port);
        int accepted = mapped.Accept();
        client->createTcpSession(accepted, "127.0.0.1", echo.Port());
        return app;
    }
    size_t ServerSessions()
    {
        std::lock_guard<std::mutex> lock(listMu);
        size_t n = 0;
        for (auto& s : servers)
            n += s->sessionCount();
        return n;
    }
    void TearDown() override
    {
        stop = true;
        if (driver.joinable())
            driver.join();
        client.reset();
        std::vector<std::shared_ptr<CProxyChannelServer>> doomed;
        {
            std::lock_guard<std::mutex> lock(listMu);
            doomed.swap(servers);
        }
        doomed.clear(); // outside the list lock, as the proxy server releases its channels
    }
};

using vxtest::RandomBytes;
using vxtest::RoundTrip;

TEST_F(ProxyEndToEnd, ParallelSessionsCarryLargeTransfersUnchanged)
{
    Start(linkTypeP2P, "5.2.1");
    const int kSessions = 3;
    std::vector<int> apps;
    for (int i = 0; i < kSessions; ++i)
        apps.push_back(OpenSession());
    ASSERT_TRUE(WaitUntil([&] { return echo.Accepted() == kSessions; }, 5000));
    std::vector<std::string> results(kSessions);
    std::vector<std::string> inputs;
    for (int i = 0; i < kSessions; ++i)
        inputs.push_back(RandomBytes(i == 0 ? (4 << 20) : (512 << 10), unsigned(i + 1)));
    std::vector<std::thread> threads;
    for (int i = 0; i < kSessions; ++i)
        threads.emplace_back([&, i] { results[i] = RoundTrip(apps[i], inputs[i]); });
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < kSessions; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(results[i].size(), inputs[i].size());
        EXPECT_TRUE(results[i] == inputs[i]);
    }
    {
        std::lock_guard<std::mutex> lock(report.mu);
        EXPECT_EQ(report.calls, 1);
        EXPECT_EQ(report.key, "dev-e2e");
        EXPECT_EQ(report.linkType, linkTypeP2P);
    }
    PtcpChannelStatistics st;
    EXPECT_TRUE(client->getStatistics(&st));
    EXPECT_GT(st.sendKB, 4000u);

    // closing the application's side ends the session on both ends and the device's connection
    for (int fd : apps)
        close(fd);
    EXPECT_TRUE(WaitUntil([&] { return client->sessionCount() == 0 && ServerSessions() == 0; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return echo.Closed() == kSessions; }, 5000));
}

TEST_F(ProxyEndToEnd, RefusedSessionIdIsRecreatedOnTheSameConnection)
{
    Start(linkTypeP2P, "5.2.1");
    int app = OpenSession();
    ASSERT_TRUE(WaitUntil([&] { return ServerSessions() == 1; }, 5000));
    ASSERT_EQ(RoundTrip(app, "before"), "before");
    std::vector<uint32_t> ids = client->Ids();
    ASSERT_EQ(ids.size(), 1u);

    // the device sees the id again, as if another client's session held it
    {
        std::lock_guard<std::mutex> lock(listMu);
        EXPECT_FALSE(servers[0]->createTcpSession("127.0.0.1", echo.Port(), ids[0]));
    }
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::vector<uint32_t> now = client->Ids();
            return now.size() == 1 && now[0] != ids[0];
        },
        5000));
    ASSERT_TRUE(WaitUntil([&] { return ServerSessions() == 2; }, 5000));
    EXPECT_EQ(RoundTrip(app, "after the new id"), "after the new id");
    EXPECT_EQ(echo.Closed(), 0); // no "DISC" went out for the refused id
    close(app);
}

TEST_F(ProxyEndToEnd, RemoteOptionsReachTheDeviceOnlyWhileItAllowsThem)
{
    Start(linkTypeP2P, "5.2.1");
    LogCapture log;
    EXPECT_TRUE(client->setRemoteOption(proxyOptMtu, 1400));
    ASSERT_TRUE(WaitUntil([&] { return serverConfig->getConfig(proxyOptMtu) == 1400; }, 5000));

    EXPECT_TRUE(client->setRemoteOption(proxyOptRemoteCommand, 0));
    serverConfig->setConfig(proxyOptRemoteCommand, 0);
    EXPECT_TRUE(client->setRemoteOption(proxyOptRemoteCommand, 1));
    EXPECT_TRUE(client->setRemoteOption(proxyOptMtu, 1000));
    ASSERT_TRUE(WaitUntil([&] { return log.count("Remote Command Disable") == 1; }, 5000));
    EXPECT_EQ(log.count("Remote Command option refused."), 2u);
    EXPECT_EQ(serverConfig->getConfig(proxyOptRemoteCommand), 0);
    EXPECT_EQ(serverConfig->getConfig(proxyOptMtu), 1400);
}

TEST_F(ProxyEndToEnd, SynForAnotherHostIsRefusedWithDisc)
{
    Start(linkTypeP2P, "5.2.1");
    int app = ConnectTo(mapped.port);
    int accepted = mapped.Accept();
    client->createTcpSession(accepted, "10.1.2.3", 22);
    ASSERT_TRUE(WaitUntil([&] { return client->sessionCount() == 0; }, 5000));
    EXPECT_EQ(ServerSessions(), 0u);
    char b;
    pollfd p{app, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1);
    EXPECT_EQ(recv(app, &b, 1, 0), 0); // the application sees its connection closed
    close(app);
}

// A switch negotiation that has already found its P2P path.
struct ReadyLink : IProxySwitchLink {
    ProxyLink link;
    int getP2PState() override { return p2pSuccess; }
    bool getP2PLink(ProxyLink& out) override
    {
        out = link;
        return true;
    }
    int getLocalPort() override { return link.info.localPort; }
};

TEST_F(ProxyEndToEnd, RelayChannelMovesToP2PWithoutLosingItsSessions)
{
    Path p2p;
    ProxySwitchHooks hooks;
    hooks.addTimedProc = [](uint64_t, const ProxySwitchHooks::Proc& proc) { proc(); }; // no pacing
    hooks.removeTimedProc = [](const ProxySwitchHooks::Proc&) {};
    std::atomic<int> started{0};
    hooks.startLink = [&](const P2PServerInfo&, const std::string& id, int, bool, bool, bool) {
        EXPECT_EQ(id, "dev-e2e");
        ++started;
        AddServer(p2p); // the device side of the new path, as its link-through server makes it
        ReadyLink* l = new ReadyLink;
        l->link = p2p.Client("5.2.1");
        return SwitchLinkPtr(l);
    };
    CProxyChannelClient::setSwitchHooks(hooks);

    Start(linkTypeRelay, "5.2.1");
    int app = OpenSession();
    ASSERT_EQ(RoundTrip(app, "over the relay"), "over the relay");
    EXPECT_EQ(client->getLinkType(), linkTypeRelay);
    {
        std::lock_guard<std::mutex> lock(report.mu);
        EXPECT_EQ(report.calls, 0); // waits for the switch
    }
    client->notifyFirstP2PFinish();
    ASSERT_TRUE(WaitUntil([&] { return client->getLinkType() == linkTypeP2P && !client->isSwitching(); }, 10000));
    EXPECT_EQ(started.load(), 1);
    const std::string big = RandomBytes(1 << 20, 7);
    EXPECT_TRUE(RoundTrip(app, big) == big);
    EXPECT_EQ(echo.Accepted(), 1);
    {
        std::lock_guard<std::mutex> lock(report.mu);
        EXPECT_EQ(report.calls, 1);
        EXPECT_EQ(report.linkType, linkTypeP2P);
    }
    {
        std::lock_guard<std::mutex> lock(listMu);
        ASSERT_EQ(servers.size(), 2u);
        EXPECT_EQ(servers[0]->getSwitchState(), switchStateInit); // owns the sessions, on the new path
        EXPECT_EQ(servers[0]->sessionCount(), 1u);
        EXPECT_EQ(servers[1]->getSwitchState(), switchStateWaitSwitchAgain);
    }
    close(app);
    CProxyChannelClient::setSwitchHooks(ProxySwitchHooks());
}

TEST_F(ProxyEndToEnd, SessionOpenedWhileTheDeviceHasAlreadySwitchedStartsOnTheNewPath)
{
    Path p2p;
    ProxySwitchHooks hooks;
    hooks.addTimedProc = [](uint64_t, const ProxySwitchHooks::Proc& proc) { proc(); };
    hooks.removeTimedProc = [](const ProxySwitchHooks::Proc&) {};
    hooks.startLink = [&](const P2PServerInfo&, const std::string&, int, bool, bool, bool) {
        AddServer(p2p);
        ReadyLink* l = new ReadyLink;
        l->link = p2p.Client("5.2.1");
        return SwitchLinkPtr(l);
    };
    CProxyChannelClient::setSwitchHooks(hooks);
    holdClientOnResume = true;
    Start(linkTypeRelay, "5.2.1");
    int first = OpenSession();
    ASSERT_EQ(RoundTrip(first, "over the relay"), "over the relay");
    client->notifyFirstP2PFinish();
    // the device runs its sessions on the new path and hands the relay to the other channel; the
    // client has its Resume acknowledged but still sends on the relay
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::lock_guard<std::mutex> lock(listMu);
            return client->getSwitchState() == switchStateSwitched && servers.size() == 2 &&
                   servers[0]->getSwitchState() == switchStateResumeAckSent &&
                   servers[1]->getSwitchState() == switchStateWaitSwitchAgain;
        },
        10000));
    int second = OpenSession();
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // room for a Syn on the relay
    holdClientOnResume = false;
    ASSERT_TRUE(WaitUntil([&] { return client->getLinkType() == linkTypeP2P && !client->isSwitching(); }, 10000));
    EXPECT_EQ(RoundTrip(second, "opened mid-switch", 10000), "opened mid-switch");
    const std::string big = RandomBytes(512 << 10, 9);
    EXPECT_TRUE(RoundTrip(first, big) == big);
    EXPECT_EQ(echo.Accepted(), 2);
    {
        std::lock_guard<std::mutex> lock(listMu);
        EXPECT_EQ(servers[0]->sessionCount(), 2u); // both on the channel that owns the new path
        EXPECT_EQ(servers[1]->sessionCount(), 0u);
    }
    close(first);
    close(second);
    CProxyChannelClient::setSwitchHooks(ProxySwitchHooks());
}

// A switch negotiation that ends as the test says.
struct FixedLink : IProxySwitchLink {
    int state;
    explicit FixedLink(int s) : state(s) {}
    int getP2PState() override { return state; }
    bool getP2PLink(ProxyLink&) override { return false; }
    int getLocalPort() override { return 0; }
};

TEST_F(ProxyEndToEnd, SwitchWhoseNewPathStaysSilentFallsBackToTheRelay)
{
    Path deadEnd; // no device channel listens on this path
    ProxySwitchHooks hooks;
    hooks.addTimedProc = [](uint64_t, const ProxySwitchHooks::Proc& proc) { proc(); };
    hooks.removeTimedProc = [](const ProxySwitchHooks::Proc&) {};
    std::atomic<int> started{0};
    hooks.startLink = [&](const P2PServerInfo&, const std::string&, int, bool, bool, bool) {
        ++started;
        ReadyLink* l = new ReadyLink;
        l->link = deadEnd.Client("5.2.1");
        return SwitchLinkPtr(l);
    };
    CProxyChannelClient::setSwitchHooks(hooks);
    LogCapture log;
    Start(linkTypeRelay, "5.2.1");
    int app = OpenSession();
    ASSERT_EQ(RoundTrip(app, "before"), "before");
    client->notifyFirstP2PFinish();
    // a connection accepted while the channel is paused starts once it is back on the relay
    ASSERT_TRUE(WaitUntil([&] { return client->getSwitchState() >= switchStatePause; }, 5000));
    int late = OpenSession();
    ASSERT_TRUE(WaitUntil([&] { return log.count("resume channel to relay.") == 1; }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return !client->isSwitching() && client->getSwitchState() == 0; }, 3000));
    EXPECT_EQ(log.count("send touTypeResume timeout"), 1u);
    EXPECT_EQ(client->getLinkType(), linkTypeRelay);
    EXPECT_EQ(client->getState(), proxyChannelConnSuccess);
    const std::string data = RandomBytes(256 << 10, 3);
    EXPECT_TRUE(RoundTrip(app, data) == data); // reading resumed on both ends
    EXPECT_EQ(RoundTrip(late, "opened while paused", 10000), "opened while paused");
    {
        std::lock_guard<std::mutex> lock(listMu);
        EXPECT_EQ(servers[0]->getSwitchState(), switchStateInit);
    }
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::lock_guard<std::mutex> lock(report.mu);
            return report.calls == 1 && report.linkType == linkTypeRelay; // one failed attempt: report now
        },
        3000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(started.load(), 1); // no second attempt
    close(app);
    close(late);
    CProxyChannelClient::setSwitchHooks(ProxySwitchHooks());
}

TEST_F(ProxyEndToEnd, FailedSwitchNegotiationLeavesTheRelayUntouched)
{
    ProxySwitchHooks hooks;
    hooks.addTimedProc = [](uint64_t, const ProxySwitchHooks::Proc& proc) { proc(); };
    hooks.removeTimedProc = [](const ProxySwitchHooks::Proc&) {};
    hooks.startLink = [&](const P2PServerInfo&, const std::string&, int, bool, bool, bool) {
        return SwitchLinkPtr(new FixedLink(IProxySwitchLink::p2pFailure));
    };
    CProxyChannelClient::setSwitchHooks(hooks);
    Start(linkTypeRelay, "5.2.1");
    {
        LogCapture log;
        CPacket pauseAck(16);
        TouMessage::writeChannelId(pauseAck.getBuffer(), touTypePauseAck, 5);
        bool consumed = true;
        client->onTouPacket(pauseAck, consumed);
        EXPECT_EQ(log.count("recv touTypePauseAck in switch state[0]."), 1u);
        EXPECT_EQ(client->getSwitchState(), switchStateInit);
    }
    client->notifyFirstP2PFinish();
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::lock_guard<std::mutex> lock(report.mu);
            return report.calls == 1;
        },
        5000));
    EXPECT_EQ(client->getSwitchState(), switchStateInit);
    EXPECT_EQ(client->getLinkType(), linkTypeRelay);
    EXPECT_EQ(client->getState(), proxyChannelConnSuccess);
    int app = OpenSession();
    EXPECT_EQ(RoundTrip(app, "still relayed"), "still relayed");
    close(app);
    CProxyChannelClient::setSwitchHooks(ProxySwitchHooks());
}

TEST_F(ProxyEndToEnd, RelayChannelOfAnOldPeerReportsAtOnceAndNeverSwitches)
{
    std::atomic<int> started{0};
    ProxySwitchHooks hooks;
    hooks.addTimedProc = [](uint64_t, const ProxySwitchHooks::Proc& proc) { proc(); };
    hooks.removeTimedProc = [](const ProxySwitchHooks::Proc&) {};
    hooks.startLink = [&](const P2PServerInfo&, const std::string&, int, bool, bool, bool) {
        ++started;
        return SwitchLinkPtr();
    };
    CProxyChannelClient::setSwitchHooks(hooks);
    Start(linkTypeRelay, "4.9.9");
    client->notifyFirstP2PFinish();
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::lock_guard<std::mutex> lock(report.mu);
            return report.calls == 1;
        },
        5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(started.load(), 0);
    EXPECT_EQ(client->getLinkType(), linkTypeRelay);
    CProxyChannelClient::setSwitchHooks(ProxySwitchHooks());
}

CPacket Message(std::vector<uint8_t> bytes)
{
    CPacket p(bytes.size());
    std::memcpy(p.getBuffer(), bytes.data(), bytes.size());
    return p;
}

TEST(ProxyChannelServerTest, SwitchMessagesInTheWrongStateChangeNothing)
{
    Path path;
    TSharedPtr<CProxyServerConfig> config(new CProxyServerConfig);
    CProxyChannelServer server(path.Server(), config, CProxyChannelServer::SwitchHandler());
    EXPECT_EQ(server.getMediaType(), 2);
    LogCapture log;
    uint8_t m[16];
    bool consumed = true;

    server.setSwitchState(switchStateResumeAckSent);
    TouMessage::writeChannelId(m, touTypeResume, 77);
    server.onTouPacket(Message({m, m + 16}), consumed);
    EXPECT_EQ(log.count("state[14] is not correct."), 1u);
    EXPECT_EQ(server.getSwitchState(), switchStateResumeAckSent);

    server.setSwitchState(switchStateInit);
    TouMessage::writeHeader(m, touTypeResumeSuccess, 0, 0);
    server.onTouPacket(Message({m, m + 12}), consumed);
    EXPECT_EQ(log.count("recv touTypeResumeSuccess in error state[0]."), 1u);
    EXPECT_EQ(server.getSwitchState(), switchStateInit);

    for (int type : {touTypePauseAck, touTypeResumeAck}) {
        TouMessage::writeChannelId(m, type, 1);
        server.onTouPacket(Message({m, m + 16}), consumed);
    }
    EXPECT_EQ(log.count("invalid tou message[8]."), 1u);
    EXPECT_EQ(log.count("invalid tou message[10]."), 1u);

    // the id is kept for a later switch though the state does not move
    server.setSwitchChannelId(4242);
    EXPECT_EQ(log.count("setSwitchChannelId::error switch state[0]"), 1u);
    EXPECT_EQ(server.getSwitchState(), switchStateInit);
    EXPECT_FALSE(server.switchChannel()); // no PTCP channel 4242 exists
    EXPECT_EQ(log.count("switch channel  to 4242"), 1u);
    EXPECT_EQ(server.getState(), proxyChannelDisconnect);

    // data for a session the map does not hold is consumed and dropped
    TouMessage::writeHeader(m, touTypeData, 4, 99);
    std::memcpy(m + 12, "lost", 4);
    consumed = true;
    server.onTouPacket(Message({m, m + 16}), consumed);
    EXPECT_TRUE(consumed);
    EXPECT_FALSE(server.longTimeTaskDeal(Orvan::Infra::CTime::getTickCountMs()));
}

TEST(ProxyChannelServerTest, SendErrorsAreFailuresNotSuccesses)
{
    Path path;
    TSharedPtr<CProxyServerConfig> config(new CProxyServerConfig);
    CProxyChannelServer server(path.Server(), config, CProxyChannelServer::SwitchHandler());
    LogCapture log;
    // listening, never connected: the PTCP channel refuses every send
    EXPECT_FALSE(server.sendKeepAlive());
    EXPECT_FALSE(server.sendPauseAck(1));
    EXPECT_EQ(log.count("send ret == -1, error!!!!"), 2u);
    EXPECT_EQ(log.count("call sendData failed."), 2u);
}

TEST(ProxyChannelClientTest, PeerVersionDecidesSwitchSupport)
{
    struct Case {
        const char* version;
        bool supports;
    } cases[] = {{"5.2.1", true}, {"12.0.0", true}, {"4.9.9", false}, {"5", false},
                 {"5.2", false},  {".5.1", false},  {"", false},      {"x5.1.1", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        EXPECT_EQ(CProxyChannelClient::isPeerSupportLinkSwitchAndLocalP2P(c.version), c.supports);
    }
}

TEST(ProxyChannelClientTest, ChannelThatNeverConnectsEndsAfterTheLimit)
{
    uint16_t port = 0;
    TSharedPtr<Socket> sock(new Socket(BoundUdp(&port), true));
    uint16_t silent = 0;
    int silentFd = BoundUdp(&silent); // nobody answers there
    ProxyLink link;
    link.id = "nobody";
    link.socket = sock;
    link.info = Info(port, silent);
    TSharedPtr<CProxyClientConfig> config(new CProxyClientConfig);
    CProxyChannelClient client(link, linkTypeP2P, P2PServerInfo(), config, nullptr);
    client.heartbeat();
    EXPECT_EQ(client.getState(), proxyChannelInit);
    EXPECT_TRUE(client.checkAlive(Orvan::Infra::CTime::getTickCountMs()));
    ASSERT_TRUE(WaitUntil(
        [&] {
            client.heartbeat();
            return client.getState() == proxyChannelDisconnect;
        },
        int(CPtcpChannel::kConnectLimitMs) + 3000));
    EXPECT_FALSE(client.checkAlive(Orvan::Infra::CTime::getTickCountMs()));
    close(silentFd);
}

} // namespace
} // namespace proxytest
