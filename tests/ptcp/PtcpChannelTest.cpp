#include "PTCP/PtcpChannel.h"
#include "PtcpLoopback.h"
#include "PtcpTestLink.h"

#include <set>

#include <gtest/gtest.h>

namespace ptcptest {
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

struct Reads {
    std::atomic<int> count{0};
    std::atomic<uint32_t> lastId{0};
    void onData(uint64_t, uint32_t id)
    {
        lastId = id;
        ++count;
    }
};

bool WaitUntil(const std::function<bool()>& pred, int limitMs)
{
    auto stop = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > stop)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

struct ChannelPair : ::testing::Test {
    uint16_t cport = 0, sport = 0;
    TSharedPtr<Socket> csock, ssock;
    Reads creads, sreads;
    CPtcpChannelMng::ChannelPtr client, server;

    void SetUp() override
    {
        csock = TSharedPtr<Socket>(new Socket(BoundUdp(&cport), true));
        ssock = TSharedPtr<Socket>(new Socket(BoundUdp(&sport), true));
        CPtcpChannelMng::create(client, 0, 1 << 20, 1 << 20, ChannelNotifyProc(&Reads::onData, &creads),
                                Info(cport, sport), csock, "client-key", 1);
        CPtcpChannelMng::create(server, 0, 1 << 20, 1 << 20, ChannelNotifyProc(&Reads::onData, &sreads),
                                Info(sport, cport), ssock, "server-key", 1);
    }
    void TearDown() override
    {
        CPtcpChannelMng::destroyByChannel(client);
        CPtcpChannelMng::destroyByChannel(server);
        client.reset();
        server.reset();
    }
};

TEST_F(ChannelPair, ConnectsAndCarriesPacketsBothWays)
{
    ASSERT_TRUE(server->listen());
    ASSERT_TRUE(client->connect());
    ASSERT_TRUE(WaitUntil([&] { return client->getState() == PTCP_CHANNEL_CONN_SUCCESS; }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return server->getState() == PTCP_CHANNEL_CONN_SUCCESS; }, 5000));
    EXPECT_NE(client->getChannelId(), server->getChannelId());

    ASSERT_GT(client->send(MakePacket("hello")), 0);
    CPacket p;
    // every processed segment is a readable event; wait for the data itself
    ASSERT_TRUE(WaitUntil([&] { return server->recv(p) == 5; }, 5000));
    EXPECT_EQ(sreads.lastId.load(), server->getChannelId());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p.getBuffer()), 5), "hello");
    ASSERT_EQ(server->recv(p), 5); // a peek: the packet stays until pop
    server->pop();
    EXPECT_EQ(server->recv(p), -1);

    ASSERT_GT(server->send(MakePacket("back")), 0);
    ASSERT_TRUE(WaitUntil([&] { return client->recv(p) == 4; }, 5000));
    EXPECT_GT(client->queryBuf(), 0);
    PtcpChannelStatistics st;
    client->getStatistics(&st);
    EXPECT_EQ(st.elapsedSeconds, 0u);
}

TEST_F(ChannelPair, ConnectLimitThenDisconnect)
{
    ASSERT_TRUE(client->connect()); // nobody answers
    uint64_t start = client->getStartTime();
    client->heartbeat(start + 10000);
    EXPECT_EQ(client->getState(), PTCP_CHANNEL_CONN_START);
    client->heartbeat(start + 10001);
    EXPECT_EQ(client->getState(), PTCP_CHANNEL_CONN_FAIL);
    client->heartbeat(start + 10002);
    EXPECT_EQ(client->getState(), PTCP_CHANNEL_DISCONNECT);
}

TEST_F(ChannelPair, SilenceLimitEndsAnEstablishedChannel)
{
    ASSERT_TRUE(server->listen());
    ASSERT_TRUE(client->connect());
    ASSERT_TRUE(WaitUntil([&] { return client->getState() == PTCP_CHANNEL_CONN_SUCCESS; }, 5000));
    server->stopRecvTimer(); // the peer falls silent
    client->stopRecvTimer();
    uint64_t last = client->getLastDataTime();
    client->longTimeTaskDeal(last + 30000);
    EXPECT_EQ(client->getState(), PTCP_CHANNEL_CONN_SUCCESS);
    client->longTimeTaskDeal(last + 30001);
    EXPECT_EQ(client->getState(), PTCP_CHANNEL_DISCONNECT);
}

TEST_F(ChannelPair, InfoTextsAreBounded)
{
    CPtcpChannelMng::ChannelPtr longKey;
    CPtcpChannelMng::create(longKey, 0, 65536, 65536, ChannelNotifyProc(), Info(1, 2), csock, std::string(100, 'k'),
                            2);
    PtcpRemoteInfo r;
    longKey->getRemoteInfo(&r);
    EXPECT_EQ(std::string(r.key), std::string(63, 'k'));
    PtcpTraversalInfo t;
    longKey->getTraversalInfo(&t);
    EXPECT_EQ(t.linkType, 2);
    EXPECT_EQ(t.remotePort, 2);
    EXPECT_EQ(CPtcpChannel::stateName(4), "ptcp channel Disconnect");
    EXPECT_EQ(CPtcpChannel::stateName(9), "unkown state");
    EXPECT_TRUE(CPtcpChannelMng::destroy(longKey->getChannelId()));
}

TEST(PtcpChannelMng, LookupsAndRemovals)
{
    CPtcpChannelMng::ChannelPtr found;
    EXPECT_FALSE(CPtcpChannelMng::getPtcpChannel(0, found));
    EXPECT_FALSE(CPtcpChannelMng::destroy(0));
    std::set<uint32_t> ids;
    for (int i = 0; i < 200; ++i)
        ids.insert(CPtcpChannelMng::createId());
    EXPECT_EQ(ids.size(), 200u);
    EXPECT_EQ(ids.count(0), 0u);
}

struct Counter {
    std::atomic<int> calls{0};
    bool once()
    {
        ++calls;
        return false;
    }
    bool always()
    {
        ++calls;
        return true;
    }
};

TEST(ProxyThreadPool, TasksRunUntilTheyReturnFalseAndDetachRemovesOneEntry)
{
    CProxyThreadPool* pool = CProxyThreadPool::instance(1);
    EXPECT_EQ(CProxyThreadPool::instance(4), pool);
    Counter a, b;
    pool->attach(ProxyTask(&Counter::once, &a));
    ProxyTask keep(&Counter::always, &b);
    pool->attach(keep);
    pool->attach(keep);
    ASSERT_TRUE(WaitUntil([&] { return b.calls >= 10; }, 5000));
    EXPECT_EQ(a.calls.load(), 1);
    EXPECT_TRUE(pool->detach(keep));
    EXPECT_TRUE(pool->detach(keep));
    EXPECT_FALSE(pool->detach(keep));
}

} // namespace
} // namespace ptcptest

namespace ptcptest {
namespace {

TEST(PtcpChannels, SeveralChannelsCarryTheirOwnStreamsAtOnce)
{
    struct Link {
        uint16_t cport = 0, sport = 0;
        Orvan::Tou::CPtcpChannelMng::ChannelPtr client, server;
        std::string got;
    };
    const int kLinks = 4;
    const size_t kBytes = 256 << 10;
    std::vector<Link> links(kLinks);
    for (Link& l : links) {
        TSharedPtr<Socket> cs(new Socket(BoundUdp(&l.cport), true));
        TSharedPtr<Socket> ss(new Socket(BoundUdp(&l.sport), true));
        CPtcpChannelMng::create(l.client, 0, 1 << 20, 1 << 20, ChannelNotifyProc(), Info(l.cport, l.sport), cs, "c", 1);
        CPtcpChannelMng::create(l.server, 0, 1 << 20, 1 << 20, ChannelNotifyProc(), Info(l.sport, l.cport), ss, "s", 1);
        ASSERT_TRUE(l.server->listen());
        ASSERT_TRUE(l.client->connect());
    }
    for (Link& l : links)
        ASSERT_TRUE(WaitUntil([&] { return l.client->getState() == PTCP_CHANNEL_CONN_SUCCESS; }, 5000));
    // each channel sends its own byte value; receivers find channels by id through the manager
    std::vector<std::thread> senders;
    for (int i = 0; i < kLinks; ++i) {
        senders.emplace_back([&, i] {
            for (size_t off = 0; off < kBytes; off += 1000) {
                CPacket p = MakePacket(std::string(1000, char('A' + i)));
                while (links[size_t(i)].client->send(p) < 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    auto allIn = [&] {
        bool done = true;
        for (Link& l : links) {
            CPtcpChannelMng::ChannelPtr found;
            if (!CPtcpChannelMng::getPtcpChannel(l.server->getChannelId(), found))
                return false;
            CPacket p;
            while (found->recv(p) > 0) {
                l.got.append(reinterpret_cast<char*>(p.getBuffer()), p.getSize());
                found->pop();
            }
            done = done && l.got.size() >= kBytes;
        }
        return done;
    };
    EXPECT_TRUE(WaitUntil(allIn, 60000));
    for (std::thread& t : senders)
        t.join();
    for (int i = 0; i < kLinks; ++i) {
        EXPECT_EQ(links[size_t(i)].got, std::string(links[size_t(i)].got.size(), char('A' + i)));
        CPtcpChannelMng::destroyByChannel(links[size_t(i)].client);
        CPtcpChannelMng::destroyByChannel(links[size_t(i)].server);
    }
}

} // namespace
} // namespace ptcptest
