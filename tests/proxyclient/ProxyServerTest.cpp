// The device-side proxy server: its options, its channels and the channel switch lookup.
#include "../p2p/LogCapture.h"
#include "ClientTestSupport.h"
#include "ProxyServer/ProxyServerImpl.h"
#include "p2psdk/NetTestSupport.h"

#include <gtest/gtest.h>

using namespace clienttest;

namespace {

struct ProxyServer : ::testing::Test
{
    nettest::UdpPeer silentServer;
    std::unique_ptr<CProxyServerImpl> device;

    void SetUp() override
    {
        TSharedPtr<CProxyServerConfig> config(new CProxyServerConfig);
        config->setConfig(proxyOptLocal, 0);
        device.reset(new CProxyServerImpl("127.0.0.1", silentServer.port(), "", "DEVSRV", 0, 0, "", config));
    }
};

} // namespace

TEST_F(ProxyServer, OptionsAreCheckedAndKept)
{
    LogCapture log;
    EXPECT_FALSE(device->setConfig(proxyOptMtu, 0));
    EXPECT_EQ(log.count("[MTU] invalid value[0]"), 1u);
    EXPECT_EQ(device->getConfig(proxyOptMtu), 1280);
    EXPECT_TRUE(device->setConfig(proxyOptPortGuess, 5));
    EXPECT_EQ(device->getConfig(proxyOptPortGuess), 1);
    EXPECT_EQ(device->getConfig(3), -1);
    EXPECT_EQ(device->getConfig(10), -1);
    EXPECT_EQ(log.count("Invalid option[3]."), 1u);
    EXPECT_EQ(device->getState(), 2); // the server never answers
}

TEST_F(ProxyServer, ChannelsAreMadeFromEstablishedLinksAndSwitchedByTheirIds)
{
    LogCapture log;
    EXPECT_FALSE(device->onPtcpChannelSwitch(7, 7));
    EXPECT_EQ(log.count("onPtcpChannelSwitch:: id1 is equal to id2[7]"), 1u);

    LinkChannelInfo link;
    device->onLinkThroughNotify(linkStateFailed, link, linkTypeP2P);
    EXPECT_EQ(log.count("Invalid notify State!"), 1u);
    EXPECT_EQ(device->channelCount(), 0u);

    uint16_t a = 0, b = 0;
    TSharedPtr<Socket> sa = LoopbackUdp(&a), sb = LoopbackUdp(&b);
    device->onLinkThroughNotify(linkStateFound, ClientLink(sa, a, 9, 0), linkTypeP2P);
    device->onLinkThroughNotify(linkStateFound, ClientLink(sb, b, 9, 0), linkTypeP2P);
    ASSERT_EQ(device->channelCount(), 2u);
    TSharedPtr<ProxyServerStat> stat(new ProxyServerStat);
    device->getStatistics(stat);
    ASSERT_EQ(stat->count, 2);
    EXPECT_EQ(stat->channels[1].inUse, 1);

    // Ids of channels that do not exist change nothing.
    EXPECT_FALSE(device->onPtcpChannelSwitch(0xFFFFFFF0u, 0xFFFFFFF1u));
}

TEST_F(ProxyServer, ReportsItsNewestMediaChannelAndDropsDeadChannels)
{
    uint16_t a = 0;
    TSharedPtr<Socket> sa = LoopbackUdp(&a);
    LinkChannelInfo link = ClientLink(sa, a, 9, 0);
    link.channelType = 2;
    device->onLinkThroughNotify(linkStateFound, link, linkTypeP2P);
    std::vector<PtcpSendQueueInfo> records;
    device->getLinkInfo(records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].reserved, 2u);
    // The peer never answers: the channel's own connect limit ends it, and the server drops it.
    EXPECT_TRUE(WaitUntil([&] { return device->channelCount() == 0; }, 20000));
}
