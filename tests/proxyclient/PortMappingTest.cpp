// Port mappings of the proxy client: local ports, the choice among finished links, sessions over the
// chosen channel, and the server's host text.
#include "../p2p/LogCapture.h"
#include "ClientTestSupport.h"
#include "ProxyClient/DomainParse.h"
#include "p2psdk/NetTestSupport.h"

#include <gtest/gtest.h>

using namespace clienttest;

namespace {

struct PortMapping : ::testing::Test
{
    nettest::UdpPeer silentServer;
    PortEvents events;
    std::unique_ptr<ScriptedClient> client;

    void SetUp() override { client.reset(new ScriptedClient(silentServer.port(), events)); }
    void TearDown() override { client.reset(); }

    uint16_t Map()
    {
        uint16_t port = 0;
        EXPECT_TRUE(client->addPort("DEVFAKE", "127.0.0.1", 37777, port, 0));
        return port;
    }
    CProxyClientImpl::ChannelPtr Channel(uint16_t port)
    {
        CProxyClientImpl::ChannelPtr channel;
        client->getChannel(port, channel);
        return channel;
    }
};

} // namespace

TEST_F(PortMapping, NewMappingListensOnAFreshPortAndRefusesConnectionsUntilItsChannelIsUp)
{
    const uint16_t port = Map();
    EXPECT_GE(port, 16759);
    ASSERT_EQ(events.All().size(), 1u);
    EXPECT_EQ(events.All()[0].port, port);
    EXPECT_EQ(events.All()[0].result, portEventAdded);
    EXPECT_EQ(events.All()[0].message, "add port success");
    EXPECT_EQ(client->getChannel(port), portChannelInit);
    EXPECT_EQ(client->getPortCount(), 1);

    LogCapture log;
    EXPECT_TRUE(ClosedAtOnce(port));
    EXPECT_TRUE(ClosedAtOnce(port)); // the listener stays registered
    EXPECT_EQ(log.count("can't find channel or channel on connecting, please wait!"), 2u);
    EXPECT_EQ(client->getChannel(port), portChannelInit);
}

TEST_F(PortMapping, PortInUseFailsWithAnEventAndKeepsNothing)
{
    proxytest::Listener other;
    uint16_t port = other.port;
    LogCapture log;
    EXPECT_FALSE(client->addPort("DEVFAKE", "127.0.0.1", 37777, port, 0));
    EXPECT_EQ(log.count("[DEVFAKE] bind socket fail"), 1u);
    ASSERT_EQ(events.All().size(), 1u);
    EXPECT_EQ(events.All()[0].port, other.port);
    EXPECT_EQ(events.All()[0].result, portEventFailed);
    EXPECT_EQ(events.All()[0].message, "bind socket fail");
    EXPECT_EQ(client->getChannel(other.port), portChannelNonExist);
    EXPECT_EQ(client->getPortCount(), 0);

    uint16_t none = 0;
    EXPECT_FALSE(client->addPort(nullptr, "127.0.0.1", 37777, none, 0));
    EXPECT_EQ(log.count("invalid uuid"), 1u);
}

TEST_F(PortMapping, FinishedLinksBecomeChannelsP2PFirstThenLocalThenRelay)
{
    enum Outcome
    {
        waits,
        channelAndLinkKept,
        channelOnly,
        removed
    };
    const struct
    {
        const char* name;
        int p2p, local, relay;
        bool peerSwitches;
        Outcome outcome;
        int linkType;
    } cases[] = {
        {"p2p beats local", linkStateFound, linkStateFound, linkStateIdle, true, channelOnly, linkTypeP2P},
        {"local while p2p runs", linkStateRunning, linkStateFound, linkStateRunning, true, channelOnly, linkTypeLocal},
        {"relay early when the device switches", linkStateRunning, linkStateFailed, linkStateFound, true,
         channelAndLinkKept, linkTypeRelay},
        {"relay waits for p2p otherwise", linkStateRunning, linkStateFailed, linkStateFound, false, waits, -1},
        {"relay after p2p failed", linkStateFailed, linkStateIdle, linkStateFound, false, channelOnly, linkTypeRelay},
        {"all failed", linkStateFailed, linkStateIdle, linkStateFailed, true, removed, -1},
        {"local still running", linkStateFailed, linkStateRunning, linkStateFailed, true, waits, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const uint16_t port = Map();
        uint16_t udpPort = 0;
        TSharedPtr<Socket> socket = LoopbackUdp(&udpPort);
        LinkThroughInfo info;
        info.p2pState = c.p2p;
        info.localState = c.local;
        info.relayState = c.relay;
        info.peerSupportsLinkSwitch = c.peerSwitches;
        info.p2p = info.local = info.relay = ClientLink(socket, udpPort, 9, port);
        LogCapture log;
        client->Attempt(port)->Set(info);
        switch (c.outcome) {
        case waits:
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            EXPECT_EQ(client->getPortCount(), 1);
            EXPECT_EQ(Channel(port).get(), nullptr);
            break;
        case channelAndLinkKept:
            ASSERT_TRUE(WaitUntil([&] { return Channel(port).get() != nullptr; }, 2000));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EXPECT_EQ(client->getPortCount(), 2);
            EXPECT_EQ(Channel(port)->getLinkType(), c.linkType);
            EXPECT_EQ(log.count("Use Relay Link! localPort:" + std::to_string(port)), 1u);
            break;
        case channelOnly:
            ASSERT_TRUE(WaitUntil([&] { return client->getPortCount() == 1 && Channel(port).get(); }, 2000));
            EXPECT_EQ(Channel(port)->getLinkType(), c.linkType);
            break;
        case removed:
            ASSERT_TRUE(WaitUntil([&] { return client->getChannel(port) == portChannelNonExist; }, 2000));
            EXPECT_EQ(log.count("All Link failed! localPort:" + std::to_string(port)), 1u);
            // the local port is closed, just after the mapping is gone
            EXPECT_TRUE(WaitUntil(
                [&] {
                    int fd = ConnectTo(port);
                    if (fd >= 0)
                        close(fd);
                    return fd == -1;
                },
                1000));
            break;
        }
        EXPECT_EQ(client->getChannel(port), c.outcome == removed ? portChannelNonExist : portChannelInit);
        if (c.outcome != removed)
            EXPECT_TRUE(client->deletePort(port));
        EXPECT_EQ(client->getPortCount(), 0);
    }
}

TEST_F(PortMapping, SessionsOfTheMappedPortReachTheDeviceService)
{
    EchoService echo;
    uint16_t clientUdp = 0, deviceUdp = 0;
    TSharedPtr<Socket> clientSocket = LoopbackUdp(&clientUdp);
    DeviceEnd device(LoopbackUdp(&deviceUdp), deviceUdp, clientUdp);

    uint16_t port = 0;
    ASSERT_TRUE(client->addPort("DEVFAKE", "127.0.0.1", echo.Port(), port, 0));
    LinkThroughInfo info;
    info.p2pState = linkStateFound;
    info.p2p = ClientLink(clientSocket, clientUdp, deviceUdp, port);
    client->Attempt(port)->Set(info);
    ASSERT_TRUE(WaitUntil([&] { return client->getChannel(port) == portChannelActive; }, 10000));

    int a = ConnectTo(port);
    int b = ConnectTo(port);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    const std::string big = RandomBytes(3 << 20, 7);
    EXPECT_EQ(RoundTrip(a, "first session"), "first session");
    EXPECT_TRUE(RoundTrip(b, big) == big);
    close(a);
    close(b);

    PtcpChannelStatistics stats;
    EXPECT_EQ(client->queryRate(port, stats), portChannelActive);
    EXPECT_GE(stats.sendKB, 3000u);
    ProxyRemoteInfo remote;
    EXPECT_EQ(client->getRemoteInfo(port, remote), portChannelActive);
    EXPECT_EQ(std::string(remote.ip), "127.0.0.1");
    EXPECT_EQ(remote.port, deviceUdp);

    TSharedPtr<P2PStat> stat(new P2PStat);
    client->getP2PStat(stat);
    ASSERT_EQ(stat->count, 1);
    EXPECT_EQ(stat->ports[0].connected, 1);
    EXPECT_EQ(stat->ports[0].localPort, port);

    // A new target applies to later connections.
    EchoService other;
    ASSERT_TRUE(client->setRemoteInfo("127.0.0.1", other.Port(), port));
    int c = ConnectTo(port);
    EXPECT_EQ(RoundTrip(c, "second target"), "second target");
    close(c);

    LogCapture log;
    EXPECT_TRUE(client->deletePort(port));
    EXPECT_EQ(client->getChannel(port), portChannelNonExist);
    EXPECT_EQ(ConnectTo(port), -1);
    EXPECT_FALSE(client->deletePort(port));
    EXPECT_EQ(log.count("can't find channel/link:[" + std::to_string(port) + "]"), 1u);
    EXPECT_FALSE(client->setRemoteInfo("127.0.0.1", 1, port));
}

TEST_F(PortMapping, ChannelThatNeverConnectsIsReleasedWithItsPort)
{
    uint16_t udp = 0;
    TSharedPtr<Socket> socket = LoopbackUdp(&udp);
    uint16_t silent = 0;
    TSharedPtr<Socket> nobody = LoopbackUdp(&silent);
    const uint16_t port = Map();
    LinkThroughInfo info;
    info.p2pState = linkStateFound;
    info.p2p = ClientLink(socket, udp, silent, port);
    client->Attempt(port)->Set(info);
    ASSERT_TRUE(WaitUntil([&] { return Channel(port).get() != nullptr; }, 2000));
    EXPECT_EQ(client->getChannel(port), portChannelInit);
    // The PTCP connect limit ends the channel; the next long-period check releases the mapping.
    ASSERT_TRUE(WaitUntil([&] { return client->getChannel(port) == portChannelNonExist; }, 20000));
    const auto all = events.All();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].port, port);
    EXPECT_EQ(all[1].result, portEventChannelReleased);
    EXPECT_EQ(all[1].message, "proxy channel release");
    EXPECT_TRUE(WaitUntil([&] { return ConnectTo(port) == -1; }, 1000));
}

TEST(DomainParse, AddressTextsAreCopiedAndNamesResolvedToIPv4)
{
    const struct
    {
        const char* host;
        bool ok;
        const char* out;
    } cases[] = {
        {"192.168.1.10", true, "192.168.1.10"},
        {"300.1.1.1", true, "300.1.1.1"},
        {"fe80::1", true, "fe80::1"},
        {"", true, ""},
        {"localhost", true, "127.0.0.1"},
        {"no-such-host.invalid", false, ""},
        {"0123456789012345678901234567890123456789012345678901234567890123", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        char out[CDomainParse::kOutputSize] = {0};
        EXPECT_EQ(CDomainParse::getDomainIP(c.host, 8800, out), c.ok);
        EXPECT_STREQ(out, c.out);
    }
    EXPECT_FALSE(CDomainParse::getDomainIP(nullptr, 0, nullptr));
}
