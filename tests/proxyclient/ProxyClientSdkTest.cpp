// The C interface: handle and argument checks, options, and a mapping's states before it has a channel.
#include "../p2p/LogCapture.h"
#include "ClientTestSupport.h"
#include "ProxyClient/ProxyClientSdk.h"
#include "p2psdk/NetTestSupport.h"

#include <gtest/gtest.h>

using namespace clienttest;

TEST(ProxyClientSdk, NullHandleAndNullOutputsFail)
{
    LogCapture log;
    int state = 0;
    ProxyRemoteInfo remote;
    ProxyRateInfo rate;
    int port = 0;
    EXPECT_EQ(ZRProxyClientState(nullptr, &state), -1);
    EXPECT_EQ(ZRProxyClientServerState(nullptr, "X", &state), -1);
    EXPECT_EQ(ZRProxyClientAddPort(nullptr, "X", 1, &port), -1);
    EXPECT_EQ(ZRProxyClientAddPortSync(nullptr, "X", 1, &port, 1), -1);
    EXPECT_EQ(ZRProxyClientDelPort(nullptr, 1), -1);
    EXPECT_EQ(ZRProxyClientChannelstate(nullptr, 1, &state), -1);
    EXPECT_EQ(ZRProxyClientQueryRemoetInfo(nullptr, 1, &remote), -1);
    EXPECT_EQ(ZRProxySetOption(nullptr, 0, 1), -1);
    EXPECT_EQ(ZRProxyGetOption(nullptr, 0), -1);
    EXPECT_EQ(ZRProxyGetDeviceInfo(nullptr, "X", 0, nullptr), 0);
    ZRProxySetLogLevel(nullptr, 3);
    ZRProxyRegP2PTraversalInfoHandler(nullptr, nullptr);
    ZRProxyClientRelease(nullptr);
    EXPECT_EQ(log.count("SDK Clent need has one instance first!"), 12u);
    EXPECT_EQ(ZRProxyClientQueryRate(nullptr, 1, &rate), -1);
    EXPECT_EQ(log.count("client sdk uninit or unvalid param!"), 1u);
}

TEST(ProxyClientSdk, OptionsStatesAndAMappingWithoutChannel)
{
    nettest::UdpPeer silentServer;
    ProxyHandle h = ZRProxyClientInit("127.0.0.1", silentServer.port(), "ABCD1234-ab-abc_");
    ASSERT_NE(h, nullptr);
    LogCapture log;
    EXPECT_EQ(ZRProxySetOption(h, proxyOptMtu, 1400), 0);
    EXPECT_EQ(ZRProxyGetOption(h, proxyOptMtu), 1400);
    EXPECT_EQ(ZRProxySetOption(h, proxyOptRemoteCommand, 1), -1);
    EXPECT_EQ(log.count("ZRProxySetOption option:11, value:1"), 1u);
    EXPECT_EQ(ZRProxySetOption(h, 13, 1), -1);
    EXPECT_EQ(log.count("invalid p2p option[13]!"), 1u);
    EXPECT_EQ(ZRProxyGetOption(h, proxyOptRemoteCommand), -1);
    EXPECT_EQ(ZRProxyGetOption(h, 12), -1);
    EXPECT_EQ(ZRProxySetOption(h, proxyOptRelay, 0), 0);
    EXPECT_EQ(ZRProxySetOption(h, proxyOptLocal, 0), 0);

    int state = -1;
    EXPECT_EQ(ZRProxyClientState(h, nullptr), -1);
    EXPECT_EQ(log.count("SDK client invalid param!please check input param!"), 1u);
    EXPECT_EQ(ZRProxyClientChannelstate(h, 4321, &state), 0);
    EXPECT_EQ(state, 2);

    int port = 0;
    EXPECT_EQ(ZRProxyClientAddPort(h, nullptr, 37777, &port), -1);
    ASSERT_EQ(ZRProxyClientAddPort(h, "DEVSDK", 37777, &port), 0);
    EXPECT_GE(port, 16759);
    EXPECT_EQ(ZRProxyClientChannelstate(h, port, &state), 0);
    EXPECT_EQ(state, 0);
    ProxyRemoteInfo remote;
    EXPECT_EQ(ZRProxyClientQueryRemoetInfo(h, port, &remote), -1);
    EXPECT_EQ(log.count("Current P2P Channel has not created!"), 1u);
    ProxyRateInfo rate;
    std::memset(&rate, 0xFF, sizeof(rate));
    EXPECT_EQ(ZRProxyClientQueryRate(h, port, &rate), 0);
    EXPECT_EQ(rate.recvKBytes, 0u);
    EXPECT_EQ(rate.elapsedSeconds, 0.0);

    // The server never answers: the P2P negotiation fails within its limit and, with the relay and
    // local links off, the mapping goes away.
    int again = 0;
    EXPECT_EQ(ZRProxyClientAddPortSync(h, "DEVSDK", 37777, &again, 0), -1);
    EXPECT_EQ(ZRProxyClientChannelstate(h, again, &state), 0);
    EXPECT_EQ(state, 2);
    ZRProxyClientRelease(h);
}

TEST(ProxyClientSdk, InitRefusesAHostThatDoesNotResolve)
{
    LogCapture log;
    EXPECT_EQ(ZRProxyClientInit("no-such-host.invalid", 8800, "k"), nullptr);
    EXPECT_EQ(log.count("SDK ZRProxyClientInit getDomainIP error!"), 1u);
}
