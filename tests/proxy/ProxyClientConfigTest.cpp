#include "../p2p/LogCapture.h"
#include "Proxy/ProxyClientConfig.h"
#include "nattraver/iceagent/IceAgent.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

using namespace Orvan::Tou;

TEST(ProxyClientConfigTest, DefaultsPerOption)
{
    CProxyClientConfig config;
    const int expected[] = {1, 1280, 1, 1, 4, 524288, 131072, 65535, 524288, 1, 1};
    for (unsigned id = 0; id <= 10; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(config.getConfig(id), expected[id]);
    }
    EXPECT_EQ(config.getConfig(proxyOptMultiHolePunch), 1);
}

TEST(ProxyClientConfigTest, SizesBelowOneAreRefusedFlagsTakeAnyValue)
{
    LogCapture log;
    CProxyClientConfig config;
    EXPECT_FALSE(config.setConfig(proxyOptMtu, 0));
    EXPECT_EQ(log.count("[MTU] invalid value[0]"), 1u);
    EXPECT_EQ(config.getConfig(proxyOptMtu), 1280);
    EXPECT_FALSE(config.setConfig(proxyOptPtcpSendBuffer, -5));
    EXPECT_EQ(log.count("[PTCP Send Buffer] invalid value[-5]"), 1u);

    EXPECT_TRUE(config.setConfig(proxyOptMtu, 1400));
    EXPECT_EQ(config.getConfig(proxyOptMtu), 1400);
    EXPECT_EQ(log.count("set config [Mtu] value[1400]"), 1u);
    EXPECT_TRUE(config.setConfig(proxyOptPtcpThreadNum, 1 << 30)); // no upper limit
    EXPECT_EQ(config.getConfig(proxyOptPtcpThreadNum), 1 << 30);

    EXPECT_TRUE(config.setConfig(proxyOptPortGuess, 5));
    EXPECT_EQ(config.getConfig(proxyOptPortGuess), 1);
    EXPECT_EQ(log.count("set config[PortGuess] value[5]"), 1u);
    EXPECT_TRUE(config.setConfig(proxyOptRelay, 0));
    EXPECT_EQ(config.getConfig(proxyOptRelay), 0);
    EXPECT_TRUE(config.setConfig(proxyOptLocal, 0));
    EXPECT_EQ(config.getConfig(proxyOptLocal), 0);
}

TEST(ProxyClientConfigTest, OptionElevenAndUnknownIdsAreRefused)
{
    LogCapture log;
    CProxyClientConfig config;
    EXPECT_FALSE(config.setConfig(proxyOptRemoteCommand, 1));
    EXPECT_EQ(config.getConfig(proxyOptRemoteCommand), -1);
    EXPECT_FALSE(config.setConfig(17, 1));
    EXPECT_EQ(log.count("Invalid option[11]."), 2u);
    EXPECT_EQ(log.count("Invalid option[17]."), 1u);
}

std::atomic<int64_t> g_space{0};
void RecordSpace(int64_t ms) { g_space = ms; }

TEST(ProxyClientConfigTest, ProcessWideOptionsAreSetOnlyAndReachTheirOwners)
{
    CProxyClientConfig config;
    int before = Orvan::NATTraver::getIceDefaultRange();
    EXPECT_TRUE(config.setConfig(proxyOptIceDefaultRange, 32));
    EXPECT_EQ(Orvan::NATTraver::getIceDefaultRange(), 32);
    EXPECT_EQ(config.getConfig(proxyOptIceDefaultRange), -1);
    config.setConfig(proxyOptIceDefaultRange, before);

    // a value given before the prober is there is handed over when it installs its setter
    EXPECT_TRUE(config.setConfig(proxyOptLinkSwitchSpace, -1500));
    CProxyClientConfig::setLinkSwitchSpaceSetter(&RecordSpace);
    EXPECT_EQ(g_space.load(), -1500);
    EXPECT_TRUE(config.setConfig(proxyOptLinkSwitchSpace, 2000));
    EXPECT_EQ(g_space.load(), 2000);
    EXPECT_EQ(config.getConfig(proxyOptLinkSwitchSpace), -1);
    CProxyClientConfig::setLinkSwitchSpaceSetter(nullptr);
}

} // namespace
