// The link-through server against the client ends of the negotiation: P2P and relay through the P2P
// server stand-in, local on loopback in a namespace of its own, and the answers a client sees.
#include "../p2p/LogCapture.h"
#include "DeviceTestSupport.h"
#include "Infra3/Time.h"
#include "LinkThrough/LinkThroughClient.h"
#include "LinkThrough/P2PLinkThroughClient.h"
#include "LinkThrough/P2PLinkThroughLocal.h"
#include "LinkThrough/P2PLinkThroughRelay.h"
#include "NetnsThread.h"
#include "ProxyP2P/LinkThroughServer.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

using namespace Orvan::Tou;
using namespace Orvan::NATTraver;
using nettest::UdpPeer;
using nettest::WaitUntil;
using Orvan::Infra::CTime;

namespace {

struct Links
{
    void OnResult(int state, const LinkChannelInfo& info, int type)
    {
        std::lock_guard<std::mutex> lock(mu);
        states.push_back(state);
        types.push_back(type);
        last = info;
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> lock(mu);
        return states.size();
    }
    LinkChannelInfo Last()
    {
        std::lock_guard<std::mutex> lock(mu);
        return last;
    }

    std::mutex mu;
    std::vector<int> states;
    std::vector<int> types;
    LinkChannelInfo last;
};

class ClientOwner : public IP2PLinkOwner
{
public:
    explicit ClientOwner(int serverPort) : server_(p2ptest::ServerAt(serverPort)) { server_.userName = "P2PClient"; }
    int getState() override { return stateOnline; }
    void getServerInfo(P2PServerInfo& server) override { server = server_; }

private:
    P2PServerInfo server_;
};

std::unique_ptr<CLinkThroughServerImpl> MakeDevice(const std::string& id, int serverPort, Links& links,
                                                   const ProxyServerConfigPtr& config = p2ptest::WithoutLocal())
{
    return std::unique_ptr<CLinkThroughServerImpl>(new CLinkThroughServerImpl(
        "127.0.0.1", serverPort, "", id, LinkResultProc(&Links::OnResult, &links), config));
}

// The device is online and the server has seen a heartbeat from the socket that takes forwarded requests.
bool Registered(CLinkThroughServerImpl& device, p2psim::P2PServerSim& server, const std::string& id)
{
    return WaitUntil([&] {
        if (device.getState() != deviceProxyOnline)
            return false;
        for (const p2psim::SeenRequest& r : server.Requests())
            if (r.url == "/heartbeat/device/" + id)
                return true;
        return false;
    }, 10000);
}

// A datagram from one end of a finished link reaches the other.
void ExpectPath(const LinkChannelInfo& from, const LinkChannelInfo& to)
{
    ASSERT_NE(from.socket.get(), nullptr);
    ASSERT_NE(to.socket.get(), nullptr);
    ASSERT_GT(from.socket->sendTo("ping", 4, Address(from.conn.remoteIp, from.conn.remotePort)), 0);
    // Late connectivity checks may still be on the way.
    EXPECT_TRUE(WaitUntil([&] {
        char buf[2048];
        Address sender;
        int n = to.socket->recvFrom(buf, sizeof(buf), sender, 20);
        return n == 4 && std::string(buf, 4) == "ping";
    }, 3000));
}

} // namespace

TEST(LinkThroughServer, MediaTypeAndStateMapping)
{
    EXPECT_EQ(mediaTypeOf({{"Type", "audio"}}), 1);
    EXPECT_EQ(mediaTypeOf({{"Type", "video"}}), 2);
    EXPECT_EQ(mediaTypeOf({{"Type", "Video"}}), 0);
    EXPECT_EQ(mediaTypeOf({}), 0);

    UdpPeer silent;
    Links links;
    auto device = MakeDevice("DEVMAP", silent.port(), links);
    const struct
    {
        int p2pState;
        int state;
    } cases[] = {{p2pClientUnauthorized, deviceProxyUnauthorized}, {p2pClientForbidden, deviceProxyForbidden},
                 {p2pClientOnline, deviceProxyOnline}, {p2pClientConfig, deviceProxyOffline},
                 {p2pClientLogin, deviceProxyOffline}};
    for (const auto& c : cases) {
        device->p2pClient()->setState(c.p2pState);
        EXPECT_EQ(device->getState(), c.state) << c.p2pState;
    }
}

TEST(LinkThroughServer, P2PChannelEndToEndWithTheClientEnd)
{
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    Links deviceLinks;
    auto device = MakeDevice("DEVE2E", server.Port(), deviceLinks);
    ASSERT_TRUE(Registered(*device, server, "DEVE2E"));

    Links clientLinks;
    CP2PLinkThroughClient client(P2PLinkOwnerPtr(new ClientOwner(server.Port())), "DEVE2E",
                                 LinkResultProc(&Links::OnResult, &clientLinks), PeerVersionProc(), true, true, 8123,
                                 2);
    client.setLocalValueT(kValueTUnknown);
    client.setStunConfig(StunConfig());
    ASSERT_TRUE(WaitUntil([&] {
        client.heartbeat();
        return clientLinks.Count() > 0;
    }, 15000)) << client.getState();
    ASSERT_EQ(clientLinks.states[0], linkStateFound);
    EXPECT_EQ(clientLinks.last.peerVersion, "5.2.1");

    ASSERT_TRUE(WaitUntil([&] { return deviceLinks.Count() > 0; }, 5000));
    ASSERT_EQ(deviceLinks.Count(), 1u);
    EXPECT_EQ(deviceLinks.states[0], linkStateFound);
    EXPECT_EQ(deviceLinks.types[0], linkTypeP2P);
    const LinkChannelInfo link = deviceLinks.Last();
    EXPECT_EQ(link.id, "DEVE2E");
    EXPECT_EQ(link.peerVersion, "5.2.1");
    EXPECT_EQ(link.localPort, 0);
    Address clientSide;
    clientLinks.last.socket->getLocalAddress(clientSide);
    EXPECT_EQ(link.conn.remotePort, clientSide.getPort());
    EXPECT_EQ(device->getChannelNum(), 0);
    ExpectPath(clientLinks.last, link);
    ExpectPath(link, clientLinks.last);
}

TEST(LinkThroughServer, AnswersAChannelRequestWithTryingThenItsCandidates)
{
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    Links links;
    auto device = MakeDevice("DEVANS", server.Port(), links);
    ASSERT_TRUE(Registered(*device, server, "DEVANS"));

    LogCapture log;
    UdpPeer client;
    const std::string body =
        "<body><Identify>1 2 3 4 5 6 7 8</Identify><LocalAddr>1.2.3.4:5</LocalAddr><Type>video</Type></body>";
    client.SendTo("ZRPOST /device/DEVANS/p2p-channel HTTP/1.1\r\nCSeq: 4242\r\nContent-Length: " +
                      std::to_string(body.size()) + "\r\n\r\n" + body,
                  server.Port());
    p2ptest::Seen first, second;
    ASSERT_TRUE(WaitUntil([&] { return p2ptest::ReceiveMessage(client, first, 20); }, 5000));
    EXPECT_EQ(first.cseq, 4242);
    EXPECT_EQ(first.status, 100);
    EXPECT_NE(first.text.find(" 100 Trying\r\n"), std::string::npos);
    ASSERT_TRUE(WaitUntil([&] { return p2ptest::ReceiveMessage(client, second, 20); }, 5000));
    EXPECT_EQ(second.cseq, 4242);
    EXPECT_EQ(second.status, 200);
    EXPECT_NE(second.text.find(" 200 Server Nat Info!\r\n"), std::string::npos);
    EXPECT_NE(second.text.find("<IpEncrpt>true</IpEncrpt>"), std::string::npos) << second.text;
    EXPECT_EQ(second.fields["version"], "5.2.1");
    EXPECT_EQ(second.fields.count("Identify"), 1u);
    EXPECT_EQ(second.fields.count("NatValueT"), 1u);
    EXPECT_EQ(second.fields["PubAddr"].compare(0, 10, "127.0.0.1:"), 0) << second.text;
    EXPECT_EQ(second.fields["LocalAddr"].find("127."), std::string::npos); // only the complements leave
    EXPECT_EQ(log.count("set Remote Value T: " + std::to_string(int(kValueTUnknown))), 1u) << log.text();
    EXPECT_EQ(log.count("P2P create P2PLinkThroughServerPtr"), 1u);

    // Nobody answers the checks: the negotiation ends without a link.
    EXPECT_TRUE(WaitUntil([&] { return device->getChannelNum() == 0; }, 10000));
    EXPECT_EQ(links.Count(), 0u);
}

TEST(LinkThroughServer, RelayChannelMeetsTheClientAtTheAgent)
{
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    Links deviceLinks;
    auto device = MakeDevice("DEVRLY", server.Port(), deviceLinks);
    ASSERT_TRUE(Registered(*device, server, "DEVRLY"));

    Links clientLinks;
    P2PServerInfo info = p2ptest::ServerAt(server.Port());
    info.userName = "P2PClient";
    CP2PLinkThroughRelay relay("DEVRLY", info, LinkResultProc(&Links::OnResult, &clientLinks), 2, 7100);
    relay.setPeerVersion("5.2.1");
    ASSERT_TRUE(WaitUntil([&] {
        relay.heartbeat(CTime::getTickCountMs());
        return clientLinks.Count() > 0;
    }, 12000)) << relay.getState();
    ASSERT_EQ(clientLinks.states[0], linkStateFound);
    ASSERT_TRUE(WaitUntil([&] { return deviceLinks.Count() > 0; }, 3000));
    const LinkChannelInfo link = deviceLinks.Last();
    EXPECT_EQ(deviceLinks.states[0], linkStateFound);
    EXPECT_EQ(link.channelType, 2);
    EXPECT_STREQ(link.conn.remoteIp, "127.0.0.1");
    EXPECT_EQ(link.conn.remotePort, relay.getAgent().port);
    ExpectPath(clientLinks.last, link);
    ExpectPath(link, clientLinks.last);
}

TEST(LinkThroughServer, LocalChannelOnTheSegment)
{
    p2ptest::NetnsThread ns;
    if (!ns.Error().empty())
        GTEST_SKIP() << "network namespaces cannot be made here: " << ns.Error();
    LogCapture log;
    Links deviceLinks, clientLinks;
    UdpPeer* silent = nullptr;
    std::unique_ptr<CLinkThroughServerImpl> device;
    ns.Do([&] {
        silent = new UdpPeer;
        device = MakeDevice("DEVLOC", silent->port(), deviceLinks, ProxyServerConfigPtr(new CProxyServerConfig));
    });
    // The LAN socket shares the udp client thread with the registration's blocking queries: wait for the
    // first one to give up.
    ASSERT_TRUE(WaitUntil([&] { return log.count("get server fail, retrying...") == 1; }, 8000));
    int clientPort = 0;
    ns.Do([&] {
        CP2PLinkThroughLocal local("DEVLOC", LinkResultProc(&Links::OnResult, &clientLinks), 1, 7001);
        local.setTarget("127.0.0.1", kBroadcastPort);
        const uint64_t start = CTime::getTickCountMs();
        while (clientLinks.Count() == 0 && CTime::getTickCountMs() - start < 5000) {
            local.heartbeat(CTime::getTickCountMs());
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (clientLinks.Count()) {
            Address self;
            clientLinks.last.socket->getLocalAddress(self);
            clientPort = self.getPort();
        }
    });
    ASSERT_EQ(clientLinks.Count(), 1u);
    EXPECT_EQ(clientLinks.states[0], linkStateFound);
    EXPECT_NE(clientLinks.last.conn.remotePort, kBroadcastPort); // the answer came from the link socket
    ASSERT_TRUE(WaitUntil([&] { return deviceLinks.Count() > 0; }, 3000));
    const LinkChannelInfo link = deviceLinks.Last();
    EXPECT_EQ(link.channelType, 0);
    EXPECT_STREQ(link.conn.remoteIp, "127.0.0.1");
    EXPECT_EQ(link.conn.remotePort, clientPort);
    EXPECT_EQ(link.conn.localPort, clientLinks.last.conn.remotePort);
    EXPECT_EQ(log.count("ProxyServer Recv Local Channel Request!"), 1u);
    ns.Do([&] {
        ExpectPath(clientLinks.last, link);
        device.reset();
        delete silent;
    });
}

TEST(LinkThroughServer, UnknownOperationsAreLoggedAndRequestsWaitForTheRegistration)
{
    UdpPeer silent;
    Links links;
    LogCapture log;
    auto device = MakeDevice("DEVUNK", silent.port(), links);
    P2PRequest stream;
    stream.cseq = 9;
    stream.path = "stream";
    device->p2pClient()->onRequest(stream);
    EXPECT_TRUE(WaitUntil([&] { return log.count("unkown p2p message type:[stream]") == 1; }, 2000));
    EXPECT_EQ(device->getChannelNum(), 0);

    // Requests whose answer has nowhere to go end at once instead of waiting in the list.
    P2PRequest relay;
    relay.cseq = 11;
    relay.path = "relay-channel";
    device->p2pClient()->onRequest(relay);
    P2PRequest local;
    local.path = "local-channel";
    local.fields = {{"ClientIP", "not an address"}, {"ClientPort", "40000"}};
    device->p2pClient()->onRequest(local);
    EXPECT_TRUE(WaitUntil([&] {
        return log.count("bad relay agent address") == 1 && log.count("bad local-channel client address") == 1;
    }, 2000));
    EXPECT_TRUE(WaitUntil([&] { return device->getChannelNum() == 0; }, 1000));
    EXPECT_EQ(links.Count(), 0u);

    // No registration could be made for this id: the client stays in Init and keeps its queue.
    auto idle = MakeDevice("BAD ID", silent.port(), links);
    EXPECT_EQ(idle->p2pClient()->getState(), p2pClientInit);
    P2PRequest request;
    request.cseq = 10;
    request.path = "p2p-channel";
    idle->p2pClient()->onRequest(request);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    P2PRequest still;
    ASSERT_TRUE(idle->p2pClient()->popRequest(still));
    EXPECT_EQ(still.cseq, 10);
}

TEST(LinkThroughServer, ConnectionAttemptOfAProxyClientFindsP2PAndRelay)
{
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    Links deviceLinks;
    auto device = MakeDevice("DEVATT", server.Port(), deviceLinks);
    ASSERT_TRUE(Registered(*device, server, "DEVATT"));

    // The proxy client's own door to the server owns the attempt's negotiations.
    ProxyP2PClientPtr door(new CProxyP2PClient(CProxyP2PClient::roleClient));
    P2PServerInfo info = p2ptest::ServerAt(server.Port());
    info.userName = "P2PClient";
    ASSERT_TRUE(door->setServerInfo(info));
    ASSERT_TRUE(door->isDeviceOnline("DEVATT", 3000));
    LinkThroughOptions attemptOptions;
    attemptOptions.local = false; // only loopback here
    CLinkThroughClient attempt(linkOwnerOf(door), info, attemptOptions, "DEVATT", 6101, 2, false);
    ASSERT_TRUE(WaitUntil([&] {
        LinkThroughInfo i = attempt.getLinkThroughInfo();
        return i.p2pState > linkStateRunning && i.relayState > linkStateRunning;
    }, 15000));
    LinkThroughInfo result = attempt.getLinkThroughInfo();
    EXPECT_EQ(result.p2pState, linkStateFound);
    EXPECT_EQ(result.relayState, linkStateFound);
    EXPECT_EQ(result.p2p.peerVersion, "5.2.1");
    EXPECT_TRUE(result.peerSupportsLinkSwitch);
    ASSERT_TRUE(WaitUntil([&] { return deviceLinks.Count() == 2; }, 5000));
    EXPECT_EQ(deviceLinks.states, (std::vector<int>{linkStateFound, linkStateFound}));
    EXPECT_EQ(device->getChannelNum(), 0);
}
