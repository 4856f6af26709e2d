// The proxy's P2P client in both roles: states, queues, role checks and the device registration it owns.
#include "DeviceTestSupport.h"
#include "Infra3/Time.h"
#include "ProxyP2P/ProxyP2PClient.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

using namespace Orvan::Tou;
using nettest::UdpPeer;
using nettest::WaitUntil;

TEST(ProxyP2PClient, ClientRoleIsOnlineFromTheStartAndKeepsItsFirstServer)
{
    UdpPeer server;
    CProxyP2PClient client(CProxyP2PClient::roleClient);
    EXPECT_EQ(client.getState(), p2pClientInit);
    P2PServerInfo first = p2ptest::ServerAt(server.port());
    ASSERT_TRUE(client.setServerInfo(first));
    EXPECT_EQ(client.getState(), p2pClientOnline);
    P2PServerInfo second = first;
    second.host = "127.0.0.2";
    EXPECT_FALSE(client.setServerInfo(second));
    P2PServerInfo stored;
    client.getServerInfo(stored);
    EXPECT_EQ(stored.host, "127.0.0.1");

    // Device-role operations are refused.
    EXPECT_FALSE(client.login());
    EXPECT_FALSE(client.logout());
    EXPECT_FALSE(client.sendResponse(1, 200, "OK"));
    EXPECT_FALSE(client.setDeviceInfo(first, "DEV1", p2ptest::WithoutLocal()));

    // Offline: no question goes to the server.
    client.onEvent(2);
    EXPECT_EQ(client.getState(), p2pClientOffLine);
    EXPECT_FALSE(client.isDeviceOnline("DEV1", 500));
    P2PRequest request;
    request.path = "p2p-channel";
    request.deviceId = "DEV1";
    EXPECT_FALSE(client.sendRequest(request));
    EXPECT_EQ(server.Receive(100), "");
    client.onEvent(1);
    ASSERT_TRUE(client.sendRequest(request));
    EXPECT_NE(request.cseq, 0);
    EXPECT_NE(server.Receive(1000).find("/device/DEV1/p2p-channel"), std::string::npos);
}

TEST(ProxyP2PClient, EventsSetTheState)
{
    const struct
    {
        int event;
        int state;
    } cases[] = {{1, p2pClientOnline}, {2, p2pClientOffLine}, {3, p2pClientUnauthorized},
                 {4, p2pClientForbidden}, {9, p2pClientInit}, {-1, p2pClientInit}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.event);
        CProxyP2PClient client(CProxyP2PClient::roleDevice);
        client.setState(p2pClientLogin);
        client.onEvent(c.event);
        EXPECT_EQ(client.getState(), c.state);
    }
    CProxyP2PClient client(CProxyP2PClient::roleDevice);
    client.setState(p2pClientLogin);
    client.onEvent(0); // the owned object has gone: the state stays
    EXPECT_EQ(client.getState(), p2pClientLogin);
}

TEST(ProxyP2PClient, QueuesKeepOrderAndStayBounded)
{
    CProxyP2PClient client(CProxyP2PClient::roleDevice);
    P2PResponse out;
    out.cseq = 42;
    out.text = "untouched";
    EXPECT_FALSE(client.popResponse(out));
    EXPECT_EQ(out.cseq, 42);
    EXPECT_EQ(out.text, "untouched");

    for (int i = 1; i <= 3; ++i) {
        P2PResponse r;
        r.cseq = i;
        client.onResponse(r);
    }
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(client.popResponse(out));
        EXPECT_EQ(out.cseq, i);
    }
    EXPECT_FALSE(client.popResponse(out));

    // Requests come from the network: a flood pushes the oldest out.
    const int total = CProxyP2PClient::kMaxQueued + 10;
    for (int i = 1; i <= total; ++i) {
        P2PRequest r;
        r.cseq = i;
        client.onRequest(r);
    }
    P2PRequest request;
    ASSERT_TRUE(client.popRequest(request));
    EXPECT_EQ(request.cseq, 11);
    int left = 1;
    while (client.popRequest(request))
        ++left;
    EXPECT_EQ(left, int(CProxyP2PClient::kMaxQueued));
    EXPECT_EQ(request.cseq, total);
}

TEST(ProxyP2PClient, DeviceRoleRegistersLogsOutAndEndsAtOnce)
{
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    const uint64_t start = Orvan::Infra::CTime::getTickCountMs();
    {
        CProxyP2PClient device(CProxyP2PClient::roleDevice);
        EXPECT_FALSE(device.login()); // nothing to log in with yet
        EXPECT_FALSE(device.setServerInfo(p2ptest::ServerAt(server.Port())));
        EXPECT_FALSE(device.setDeviceInfo(p2ptest::ServerAt(server.Port()), "", p2ptest::WithoutLocal()));
        ASSERT_TRUE(device.setDeviceInfo(p2ptest::ServerAt(server.Port()), "DEVROLE", p2ptest::WithoutLocal()));
        EXPECT_EQ(device.getState(), p2pClientConfig);
        EXPECT_FALSE(device.setDeviceInfo(p2ptest::ServerAt(server.Port()), "DEVROLE", p2ptest::WithoutLocal()));
        ASSERT_TRUE(device.login());
        ASSERT_TRUE(WaitUntil([&] { return device.getState() == p2pClientOnline; }, 10000)) << device.getState();
        EXPECT_FALSE(device.login()); // online already
        EXPECT_FALSE(device.isServerOnline(100));
        EXPECT_TRUE(device.updateDeviceInfo("{}"));
        ASSERT_TRUE(device.logout());
        EXPECT_EQ(device.getState(), p2pClientOffLine);
    }
    // The registration reported its end: no wait for the 60 s limit.
    EXPECT_LT(Orvan::Infra::CTime::getTickCountMs() - start, 8000u);
}
