// One mapping from end to end: the C interface on the client side, the P2P server stand-in, the
// device-side proxy server and a TCP service behind it.
#include "ClientTestSupport.h"
#include "ProxyClient/ProxyClientSdk.h"
#include "ProxyP2P/P2PDeviceImpl.h"
#include "ProxyServer/ProxyServerImpl.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

using namespace clienttest;

namespace {

TSharedPtr<CProxyServerConfig> DeviceOptions()
{
    TSharedPtr<CProxyServerConfig> config(new CProxyServerConfig);
    config->setConfig(proxyOptLocal, 0); // port 28591 is not ours to take in a shared namespace
    return config;
}

bool PollState(const std::function<int(int*)>& query)
{
    for (int i = 0; i < 10; ++i) {
        int state = 0;
        if (query(&state) == 0 && state == 3)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::mutex g_reportMu;
std::vector<std::string> g_reports;

int OnTraversal(const char* deviceId, const char* remoteIp, int, const char*, int, int linkType)
{
    std::lock_guard<std::mutex> lock(g_reportMu);
    g_reports.push_back(std::string(deviceId) + " " + remoteIp + " " + std::to_string(linkType));
    return 0;
}

void ClearReports()
{
    std::lock_guard<std::mutex> lock(g_reportMu);
    g_reports.clear();
}

size_t Reports()
{
    std::lock_guard<std::mutex> lock(g_reportMu);
    return g_reports.size();
}

} // namespace

TEST(ProxyEndToEnd, MappedPortCarriesSessionsToTheDeviceServiceByteForByte)
{
    // a repeat starts afresh: no report of an earlier run, and the heartbeat pacing the device
    // objects of a process share lets the new device's first heartbeat out at once
    ClearReports();
    CP2PDeviceImpl::resetHeartbeatPacing();
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    EchoService service;
    CProxyServerImpl device("127.0.0.1", server.Port(), "", "DEVEND2END", 0, 0, "", DeviceOptions());
    ASSERT_TRUE(WaitUntil([&] { return device.getState() == 3; }, 10000));

    ProxyHandle client = ZRProxyClientInit("127.0.0.1", server.Port(), "ABCD1234-ab-abc_");
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(ZRProxySetOption(client, proxyOptLocal, 0), 0);
    ZRProxyRegP2PTraversalInfoHandler(client, &OnTraversal);
    EXPECT_TRUE(PollState([&](int* s) { return ZRProxyClientState(client, s); }));
    EXPECT_TRUE(PollState([&](int* s) { return ZRProxyClientServerState(client, "DEVEND2END", s); }));

    int localPort = 0x70000; // the high bits are not a port
    ASSERT_EQ(ZRProxyClientAddPortSync(client, "DEVEND2END", service.Port(), &localPort, 20000), 0);
    EXPECT_GE(localPort, 16759);
    EXPECT_LE(localPort, 65535);
    int state = -1;
    EXPECT_EQ(ZRProxyClientChannelstate(client, localPort, &state), 0);
    EXPECT_EQ(state, 1);
    // The device makes a channel for every link it established; the client uses one of them.
    ASSERT_TRUE(WaitUntil([&] { return device.channelCount() >= 1; }, 5000));

    std::vector<int> sessions;
    for (int i = 0; i < 3; ++i)
        sessions.push_back(ConnectTo(uint16_t(localPort)));
    std::vector<std::string> sent = {"hello device", RandomBytes(2 << 20, 11), RandomBytes(70000, 12)};
    std::vector<std::string> got(sent.size());
    {
        std::vector<std::thread> runs;
        for (size_t i = 0; i < sessions.size(); ++i)
            runs.emplace_back([&, i] { got[i] = RoundTrip(sessions[i], sent[i]); });
        for (auto& t : runs)
            t.join();
    }
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_TRUE(got[i] == sent[i]) << "session " << i << ": " << got[i].size() << " of " << sent[i].size();
    for (int fd : sessions)
        close(fd);

    ProxyRemoteInfo remote;
    EXPECT_EQ(ZRProxyClientQueryRemoetInfo(client, localPort, &remote), 0);
    EXPECT_STREQ(remote.deviceId, "DEVEND2END");
    ProxyRateInfo rate;
    EXPECT_EQ(ZRProxyClientQueryRate(client, localPort, &rate), 0);
    EXPECT_GT(rate.sentKBytes, 0u);
    EXPECT_EQ(rate.ratio, 0.0);

    TSharedPtr<ProxyServerStat> stat(new ProxyServerStat);
    device.getStatistics(stat);
    ASSERT_GE(stat->count, 1);
    uint64_t deviceReceived = 0;
    for (const ProxyServerChannelStat& entry : stat->channels) {
        EXPECT_EQ(entry.inUse, 1);
        deviceReceived += entry.statistics.recvKB;
    }
    EXPECT_GT(deviceReceived, 0u);

    // The path is reported once, when the channel settled on a direct link.
    ASSERT_TRUE(WaitUntil([] { return Reports() == 1; }, 5000));
    {
        std::lock_guard<std::mutex> lock(g_reportMu);
        EXPECT_EQ(g_reports[0], "DEVEND2END 127.0.0.1 1");
    }

    EXPECT_EQ(ZRProxyClientDelPort(client, localPort), 0);
    EXPECT_EQ(ZRProxyClientChannelstate(client, localPort, &state), 0);
    EXPECT_EQ(state, 2);
    EXPECT_EQ(ZRProxyClientDelPort(client, localPort), -1);
    ZRProxyClientRelease(client);
}
