#include "../p2p/LogCapture.h"
#include "Proxy/ProxyChannel.h"
#include "Proxy/ProxyChannelClient.h"
#include "Proxy/ProxyChannelServer.h"
#include "ProxyTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace proxytest {
namespace {

using namespace Orvan::Tou;
using Orvan::Memory::TSharedPtr;
using Orvan::NATTraver::ConnInfo;
using Orvan::NATTraver::Socket;

// The base with its protected parts reachable, and the messages its PTCP channel delivered.
struct TestChannel : CProxyChannel {
    using CProxyChannel::serveSessions;
    using CProxyChannel::setPtcpChannel;

    std::mutex mu;
    std::vector<std::vector<uint8_t>> received;

    ~TestChannel() override
    {
        PtcpChannelPtr channel = getPtcpChannel();
        if (channel.get())
            channel->stopRecvTimer(); // no notification reaches the members below any more
    }
    SessionPtr Add(uint32_t id, int state, int fd = -1)
    {
        SessionPtr s = createSession(id, 1280, "127.0.0.1", 1);
        if (fd >= 0)
            s->attachSocket(fd);
        s->setState(state);
        Orvan::Infra::CMutexGuard lock(m_sessionLock);
        m_sessions[id] = s;
        return s;
    }
    void Remove(uint32_t id)
    {
        Orvan::Infra::CMutexGuard lock(m_sessionLock);
        m_sessions.erase(id);
    }
    void SetLast(uint32_t id) { m_lastSessionId = id; }
    uint32_t Last() { return m_lastSessionId; }
    std::vector<uint32_t> Turn(uint32_t fullAt = 0)
    {
        std::vector<uint32_t> order;
        serveSessions([&](CProxySession& s, bool& full) {
            order.push_back(s.getSessionId());
            full = s.getSessionId() == fullAt;
            return true;
        });
        return order;
    }
    // PTCP notify: drain every message the channel holds.
    void onPtcp(uint64_t, uint32_t)
    {
        PtcpChannelPtr channel = getPtcpChannel();
        if (!channel.get())
            return;
        CPacket p;
        while (channel->recv(p) > 0) {
            std::lock_guard<std::mutex> lock(mu);
            received.emplace_back(p.getBuffer(), p.getBuffer() + p.getSize());
            channel->pop();
        }
    }
    size_t Received()
    {
        std::lock_guard<std::mutex> lock(mu);
        return received.size();
    }
};

CPacket Raw(std::vector<uint8_t> bytes)
{
    CPacket p(bytes.size());
    std::memcpy(p.getBuffer(), bytes.data(), bytes.size());
    return p;
}

TEST(ProxyChannelTest, FrameCheckWantsTheExactSizeOfTheType)
{
    LogCapture log;
    TestChannel channel;
    channel.stopSessionReading();
    for (int type : {3, 4, 7, 11}) {
        SCOPED_TRACE(type);
        std::vector<uint8_t> m(12, 0);
        m[0] = uint8_t(0x10 | type);
        EXPECT_TRUE(channel.checkTouPacket(Raw(m)));
        m.pop_back();
        EXPECT_FALSE(channel.checkTouPacket(Raw(m)));
    }
    EXPECT_EQ(log.count("unkown message packet! size:11, dropping"), 4u);

    std::vector<uint8_t> data(111, 0);
    TouMessage::writeHeader(data.data(), touTypeData, 100, 1);
    EXPECT_FALSE(channel.checkTouPacket(Raw(data)));
    EXPECT_EQ(log.count("packet.size()[111] != [112]packetLength message type[0]"), 1u);
    for (int type = 12; type <= 15; ++type) {
        std::vector<uint8_t> m(12, 0);
        m[0] = uint8_t(0x10 | type);
        EXPECT_FALSE(channel.checkTouPacket(Raw(m)));
    }
    EXPECT_EQ(log.count("!= [-1]packetLength"), 4u);

    std::vector<uint8_t> syn(20, 0);
    syn[0] = 0x21; // another version nibble: still a Syn
    EXPECT_TRUE(channel.checkTouPacket(Raw(syn)));

    std::vector<uint8_t> dataEx(20, 0);
    dataEx[0] = 0x15;
    EXPECT_TRUE(channel.isSessionData(Raw(dataEx)));
    EXPECT_TRUE(channel.isSessionData(Raw(data)));
    EXPECT_FALSE(channel.isSessionData(Raw(syn)));
    EXPECT_FALSE(channel.isSessionData(Raw(std::vector<uint8_t>(5, 0x10))));
}

TEST(ProxyChannelTest, WithoutPtcpChannelNothingIsSentAndWritersSaySo)
{
    LogCapture log;
    TestChannel channel;
    channel.stopSessionReading();
    EXPECT_FALSE(channel.sendKeepAlive());
    EXPECT_FALSE(channel.sendSyn(1, "127.0.0.1", 80));
    EXPECT_FALSE(channel.sendResume(5));
    EXPECT_EQ(log.count("call sendData failed."), 3u);
    EXPECT_EQ(channel.queryBuf(), 0);
    EXPECT_EQ(channel.sendData(DataMessage(1, "x")), 0);
    int taken = 7;
    CPacket one = DataMessage(1, "x");
    EXPECT_EQ(channel.writev(&one, 1, &taken), 0); // state 0
    EXPECT_EQ(taken, 0);
    channel.setState(proxyChannelDisconnect);
    channel.transferState();
    EXPECT_EQ(channel.getState(), proxyChannelDisconnect); // final
}

TEST(ProxyChannelTest, SessionTurnsResumeWhereTheChannelWasFull)
{
    TestChannel channel;
    channel.stopSessionReading();
    channel.Add(3, sessionConnSuccess);
    channel.Add(8, sessionConnSuccess);
    channel.Add(12, sessionConnSuccess);
    channel.Add(5, sessionInit); // not connected: no turn
    channel.SetLast(8);
    EXPECT_EQ(channel.Turn(), (std::vector<uint32_t>{8, 12, 3}));
    EXPECT_EQ(channel.Last(), 8u);
    EXPECT_EQ(channel.Turn(12), (std::vector<uint32_t>{8, 12}));
    EXPECT_EQ(channel.Last(), 12u);
    EXPECT_EQ(channel.Turn(), (std::vector<uint32_t>{12, 3, 8}));
    channel.Remove(12);
    EXPECT_EQ(channel.Turn(), (std::vector<uint32_t>{3, 8}));
}

ConnInfo Info(uint16_t localPort, uint16_t remotePort)
{
    ConnInfo c{};
    std::strcpy(c.localIp, "127.0.0.1");
    std::strcpy(c.remoteIp, "127.0.0.1");
    c.localPort = localPort;
    c.remotePort = remotePort;
    return c;
}

TEST(ProxyChannelTest, QueryBufKeepsAMargin)
{
    TestChannel channel;
    channel.stopSessionReading();
    for (int size : {200, 1000}) {
        SCOPED_TRACE(size);
        uint16_t port = 0;
        TSharedPtr<Socket> sock(new Socket(BoundUdp(&port), true));
        CProxyChannel::PtcpChannelPtr ptcp;
        CPtcpChannelMng::create(ptcp, 0, size, 65536, ChannelNotifyProc(), Info(port, 9), sock, "q", 1);
        ASSERT_TRUE(ptcp->listen());
        channel.setPtcpChannel(ptcp);
        EXPECT_EQ(channel.queryBuf(), std::max(0, size - 256));
        channel.setPtcpChannel(CProxyChannel::PtcpChannelPtr());
        CPtcpChannelMng::destroyByChannel(ptcp);
    }
}

// Two channel bases joined by a PTCP pair on loopback.
struct ChannelPairTest : ::testing::Test {
    std::unique_ptr<TestChannel> a{new TestChannel}, b{new TestChannel};
    CProxyChannel::PtcpChannelPtr pa, pb;

    void SetUp() override
    {
        uint16_t aport = 0, bport = 0;
        TSharedPtr<Socket> asock(new Socket(BoundUdp(&aport), true));
        TSharedPtr<Socket> bsock(new Socket(BoundUdp(&bport), true));
        CPtcpChannelMng::create(pa, 0, 1 << 20, 1 << 20, ChannelNotifyProc(&TestChannel::onPtcp, a.get()),
                                Info(aport, bport), asock, "a", 1);
        CPtcpChannelMng::create(pb, 0, 1 << 20, 1 << 20, ChannelNotifyProc(&TestChannel::onPtcp, b.get()),
                                Info(bport, aport), bsock, "b", 1);
        a->setPtcpChannel(pa);
        b->setPtcpChannel(pb);
        ASSERT_TRUE(pb->listen());
        ASSERT_TRUE(pa->connect());
        ASSERT_TRUE(WaitUntil(
            [&] {
                a->transferState();
                b->transferState();
                return a->getState() == proxyChannelConnSuccess && b->getState() == proxyChannelConnSuccess;
            },
            5000));
    }
    void TearDown() override
    {
        a.reset(); // removes its PTCP channel from the manager
        b.reset();
    }
};

TEST_F(ChannelPairTest, ControlMessagesArriveWithTheirWireBytes)
{
    EXPECT_TRUE(a->sendSyn(7, "10.0.0.5", 37777));
    EXPECT_TRUE(a->sendPauseAck(258));
    EXPECT_TRUE(a->sendKeepAlive());
    EXPECT_TRUE(a->sendAck(7, touAckConn));
    ASSERT_TRUE(WaitUntil([&] { return b->Received() == 4; }, 5000));
    std::lock_guard<std::mutex> lock(b->mu);
    EXPECT_EQ(b->received[0], (std::vector<uint8_t>{0x11, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0x93, 0x91, 0x0A, 0,
                                                     0, 5}));
    EXPECT_EQ(b->received[1], (std::vector<uint8_t>{0x18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1, 0, 0}));
    EXPECT_EQ(b->received[2].size(), 12u);
    EXPECT_EQ(b->received[3].size(), 16u);
    EXPECT_EQ(b->getChannelId(), pb->getChannelId());
    PtcpRemoteInfo info;
    EXPECT_TRUE(a->getRemoteInfo(&info));
}

TEST_F(ChannelPairTest, SessionBytesReachThePeerInOrderThroughTheReadingThread)
{
    TcpPair tcp;
    a->Add(42, sessionConnSuccess, tcp.nearFd);
    std::string data(300000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char(i * 131 % 251);
    std::thread writer([&] {
        size_t off = 0;
        while (off < data.size()) {
            ssize_t n = send(tcp.farFd, data.data() + off, data.size() - off, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            off += size_t(n);
        }
    });
    std::string carried;
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::lock_guard<std::mutex> lock(b->mu);
            for (const auto& m : b->received) {
                EXPECT_EQ(TouMessage::getSessionId(m.data()), 42u);
                EXPECT_LE(m.size(), 1292u);
                carried.append(reinterpret_cast<const char*>(m.data()) + 12, m.size() - 12);
            }
            b->received.clear();
            return carried.size() >= data.size();
        },
        20000));
    writer.join();
    EXPECT_TRUE(carried == data);
}

size_t CountType(TestChannel& peer, int type)
{
    std::lock_guard<std::mutex> lock(peer.mu);
    size_t n = 0;
    for (const auto& m : peer.received)
        n += m.size() >= 12 && (m[0] & 0x0F) == type;
    return n;
}

TEST(ProxyChannelKeepAliveTest, FirstCheckAndEveryFifthAfterItSendAKeepAlive)
{
    uint16_t cport = 0, pport = 0;
    TSharedPtr<Socket> csock(new Socket(BoundUdp(&cport), true));
    TSharedPtr<Socket> psock(new Socket(BoundUdp(&pport), true));
    TestChannel peer;
    peer.stopSessionReading();
    CProxyChannel::PtcpChannelPtr pp;
    CPtcpChannelMng::create(pp, 0, 65536, 65536, ChannelNotifyProc(&TestChannel::onPtcp, &peer), Info(pport, cport),
                            psock, "peer", 1);
    peer.setPtcpChannel(pp);
    ASSERT_TRUE(pp->listen());

    ProxyLink link;
    link.id = "keepalive";
    link.socket = csock;
    link.info = Info(cport, pport);
    TSharedPtr<CProxyClientConfig> config(new CProxyClientConfig);
    CProxyChannelClient client(link, linkTypeP2P, P2PServerInfo(), config, nullptr);
    ASSERT_TRUE(WaitUntil(
        [&] {
            client.heartbeat();
            return client.getState() == proxyChannelConnSuccess;
        },
        5000));
    uint64_t now = Orvan::Infra::CTime::getTickCountMs();
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(client.checkAlive(now));
    ASSERT_TRUE(WaitUntil([&] { return CountType(peer, touTypeKeepAlive) == 2; }, 3000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(CountType(peer, touTypeKeepAlive), 2u);
}

struct TestServer : CProxyChannelServer {
    using CProxyChannelServer::CProxyChannelServer;
    int SessionState(uint32_t id)
    {
        Orvan::Infra::CMutexGuard lock(m_sessionLock);
        auto it = m_sessions.find(id);
        return it == m_sessions.end() ? -1 : it->second->getState();
    }
};

TEST(ProxyChannelKeepAliveTest, DeviceChannelIsQuietAndKeepsItsSessionsWhileSwitching)
{
    uint16_t sport = 0, pport = 0;
    TSharedPtr<Socket> ssock(new Socket(BoundUdp(&sport), true));
    TSharedPtr<Socket> psock(new Socket(BoundUdp(&pport), true));
    ProxyLink link;
    link.id = "quiet";
    link.socket = ssock;
    link.info = Info(sport, pport);
    TSharedPtr<CProxyServerConfig> config(new CProxyServerConfig);
    TestServer server(link, config, CProxyChannelServer::SwitchHandler());

    TestChannel peer;
    peer.stopSessionReading();
    CProxyChannel::PtcpChannelPtr pp;
    CPtcpChannelMng::create(pp, 0, 65536, 65536, ChannelNotifyProc(&TestChannel::onPtcp, &peer), Info(pport, sport),
                            psock, "peer", 1);
    peer.setPtcpChannel(pp);
    ASSERT_TRUE(pp->connect());
    ASSERT_TRUE(WaitUntil(
        [&] {
            server.transferState();
            return server.getState() == proxyChannelConnSuccess;
        },
        5000));

    // a session that connects, then loses its connection
    Listener target;
    ASSERT_TRUE(server.createTcpSession("127.0.0.1", target.port, 31));
    int fd = target.Accept();
    ASSERT_TRUE(WaitUntil(
        [&] {
            server.sessionCheck();
            return server.SessionState(31) == sessionConnSuccess;
        },
        3000));
    close(fd);
    ASSERT_TRUE(WaitUntil([&] { return server.SessionState(31) == sessionDisconnect; }, 3000));
    ASSERT_TRUE(WaitUntil([&] { return CountType(peer, touTypeAck) == 1; }, 3000)); // its "CONN"

    uint64_t now = Orvan::Infra::CTime::getTickCountMs();
    server.setSwitchState(switchStatePauseRecv);
    EXPECT_TRUE(server.longTimeTaskDeal(now));
    EXPECT_EQ(server.sessionCount(), 1u);
    server.setSwitchState(switchStateInit);
    EXPECT_TRUE(server.longTimeTaskDeal(now)); // the first counted call
    EXPECT_EQ(server.sessionCount(), 0u);
    ASSERT_TRUE(WaitUntil([&] { return CountType(peer, touTypeKeepAlive) == 1; }, 3000));
    ASSERT_TRUE(WaitUntil([&] { return CountType(peer, touTypeAck) >= 2; }, 3000)); // and its "DISC"

    // a session whose Syn came before the Pause is answered only once the switch is over: the
    // path it was heading for may be gone by the time the answer gets there
    auto acksOf32 = [&] {
        std::lock_guard<std::mutex> lock(peer.mu);
        size_t n = 0;
        for (const auto& m : peer.received)
            n += m.size() >= 12 && (m[0] & 0x0F) == touTypeAck && TouMessage::getSessionId(m.data()) == 32;
        return n;
    };
    server.setSwitchState(switchStatePauseAck);
    ASSERT_TRUE(server.createTcpSession("127.0.0.1", target.port, 32));
    int second = target.Accept();
    ASSERT_GE(second, 0);
    for (int i = 0; i < 20; ++i) {
        server.heartbeat();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(server.SessionState(32), sessionConn);
    EXPECT_EQ(acksOf32(), 0u);
    server.setSwitchState(switchStateInit);
    ASSERT_TRUE(WaitUntil(
        [&] {
            server.heartbeat();
            return server.SessionState(32) == sessionConnSuccess;
        },
        3000));
    EXPECT_TRUE(WaitUntil([&] { return acksOf32() == 1; }, 3000)); // its "CONN"
    close(second);
}

} // namespace
} // namespace proxytest
