// Device registration: against the P2P server stand-in, against scripted P2P and dispatch servers (DS
// field, heartbeat answers, forwarded and repeated requests), and the LAN socket in a namespace of its own.
#include "../p2p/LogCapture.h"
#include "DeviceTestSupport.h"
#include "NetnsThread.h"
#include "ProxyP2P/P2PDeviceImpl.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

#include <poll.h>

using namespace Orvan::Tou;
using nettest::UdpPeer;
using nettest::WaitUntil;
using p2ptest::Listener;
using p2ptest::ReceiveRequest;
using p2ptest::ResponseText;
using p2ptest::Seen;

namespace {

// Releases the device at the end of the test; the listener must outlive it.
struct DeviceHandle
{
    explicit DeviceHandle(IP2PDevice* d) : device(d) {}
    ~DeviceHandle()
    {
        if (device)
            device->release();
    }
    CP2PDeviceImpl* impl() { return static_cast<CP2PDeviceImpl*>(device); }
    IP2PDevice* device;
};

std::string Port(const UdpPeer& peer)
{
    return std::to_string(peer.port());
}

// Answers the DS lookup with `ds` and, when the DS is the second peer, the setup with 200.
bool BringOnline(UdpPeer& p2p, UdpPeer& ds, IP2PDevice* device, Listener& listener)
{
    if (!device->start(p2ptest::ServerAt(p2p.port())))
        return false;
    Seen r;
    if (!ReceiveRequest(p2p, "/online/p2psrv/", r, 5000))
        return false;
    p2p.SendTo(ResponseText(r.cseq, 200, "OK", {{"DS", ":" + Port(ds)}}), r.from);
    if (!ReceiveRequest(ds, "/setup/device/", r, 5000))
        return false;
    ds.SendTo(ResponseText(r.cseq, 200, "OK"), r.from);
    return WaitUntil([&] { return listener.Saw(deviceEventOnline); }, 5000);
}

} // namespace

TEST(P2PDevice, RefusesIdsThatCannotStandInARequestPath)
{
    Listener listener;
    EXPECT_EQ(createP2PDevice(nullptr, &listener, p2ptest::WithoutLocal()), nullptr);
    EXPECT_EQ(createP2PDevice("DEV1", nullptr, p2ptest::WithoutLocal()), nullptr);
    EXPECT_EQ(createP2PDevice("DEV 1", &listener, p2ptest::WithoutLocal()), nullptr);
    EXPECT_EQ(createP2PDevice("DEV1\r\nX: y", &listener, p2ptest::WithoutLocal()), nullptr);
    IP2PDevice* device = createP2PDevice("DEV-1.a_b", &listener, p2ptest::WithoutLocal());
    ASSERT_NE(device, nullptr);
    device->release();
    EXPECT_EQ(listener.Events(), std::vector<int>{deviceEventReleased});
}

TEST(P2PDevice, RegistersWithTheServerStandInAndHeartbeats)
{
    p2psim::ServerOptions options;
    options.key = "key"; // signatures are checked
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    Listener listener;
    DeviceHandle dev(createP2PDevice("DEVREG", &listener, p2ptest::WithoutLocal()));
    ASSERT_NE(dev.device, nullptr);
    EXPECT_FALSE(dev.device->isOnline());
    EXPECT_FALSE(dev.impl()->broadcastListening());
    ASSERT_TRUE(dev.device->start(p2ptest::ServerAt(server.Port())));
    ASSERT_TRUE(WaitUntil([&] { return listener.Saw(deviceEventOnline); }, 10000));
    EXPECT_TRUE(dev.device->isOnline());
    EXPECT_EQ(dev.impl()->dsHost(), "127.0.0.1");
    EXPECT_EQ(dev.impl()->dsPort(), server.Port());

    auto seen = [&](const std::string& url, bool signedRequest) {
        for (const p2psim::SeenRequest& r : server.Requests())
            if (r.url == url && r.wsse == signedRequest)
                return true;
        return false;
    };
    EXPECT_TRUE(seen("/online/p2psrv/DEVREG", true));
    EXPECT_TRUE(seen("/setup/device/DEVREG", true));
    EXPECT_TRUE(WaitUntil([&] { return seen("/heartbeat/device/DEVREG", false); }, 3000));

    EXPECT_FALSE(dev.device->start(p2ptest::ServerAt(server.Port()))); // already online
    EXPECT_TRUE(dev.device->stop());
    ASSERT_TRUE(WaitUntil([&] { return listener.Saw(deviceEventOffline); }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return dev.impl()->getState() == deviceStopped; }, 1000));
}

TEST(P2PDevice, DispatchServerFieldAndRefusals)
{
    struct Case
    {
        const char* name;
        int status;
        std::string ds; // "@" stands for ":" + the DS peer's port
        bool reachesSetup;
        int event; // -1: none
    };
    const Case cases[] = {
        {"empty host means the P2P server's host", 200, "@", true, -1},
        {"no colon", 200, "127.0.0.1", false, -1},
        {"port out of range", 200, ":70000", false, -1},
        {"port not a number", 200, ":12ab", false, -1},
        {"401", 401, "", false, deviceEventUnauthorized},
        {"403", 403, "", false, deviceEventForbidden},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UdpPeer p2p, ds;
        Listener listener;
        LogCapture log;
        DeviceHandle dev(createP2PDevice("DEVDS", &listener, p2ptest::WithoutLocal()));
        ASSERT_NE(dev.device, nullptr);
        ASSERT_TRUE(dev.device->start(p2ptest::ServerAt(p2p.port())));
        FieldMap fields;
        if (!c.ds.empty())
            fields["DS"] = c.ds == "@" ? ":" + Port(ds) : c.ds;
        // Every lookup is answered at once: a 401 is asked again, newly signed, until the wait runs out.
        int lookups = 0;
        Seen setup;
        const bool done = WaitUntil([&] {
            Seen r;
            if (p2ptest::ReceiveMessage(p2p, r, 5) && r.url == "/online/p2psrv/DEVDS") {
                ++lookups;
                p2p.SendTo(ResponseText(r.cseq, c.status, "Answer", fields), r.from);
            }
            if (c.reachesSetup)
                return p2ptest::ReceiveMessage(ds, setup, 5) && setup.url == "/setup/device/DEVDS";
            return log.count("get server fail, retrying...") == 1;
        }, 8000);
        EXPECT_TRUE(done) << log.text();
        EXPECT_GE(lookups, 1);
        if (!c.reachesSetup) {
            EXPECT_EQ(dev.impl()->getState(), deviceGettingServer);
            EXPECT_FALSE(ReceiveRequest(ds, "/setup/", setup, 50));
        }
        if (c.event >= 0)
            EXPECT_TRUE(listener.Saw(c.event));
        else
            EXPECT_FALSE(listener.Saw(deviceEventUnauthorized) || listener.Saw(deviceEventForbidden));
    }
}

TEST(P2PDevice, SetupRefusalGoesBackToTheDispatchLookup)
{
    UdpPeer p2p, ds;
    Listener listener;
    LogCapture log;
    DeviceHandle dev(createP2PDevice("DEVSU", &listener, p2ptest::WithoutLocal()));
    ASSERT_TRUE(dev.device->start(p2ptest::ServerAt(p2p.port())));
    Seen r;
    ASSERT_TRUE(ReceiveRequest(p2p, "/online/p2psrv/", r, 5000));
    p2p.SendTo(ResponseText(r.cseq, 200, "OK", {{"DS", "127.0.0.1:" + Port(ds)}}), r.from);
    ASSERT_TRUE(ReceiveRequest(ds, "/setup/device/DEVSU", r, 5000));
    ds.SendTo(ResponseText(r.cseq, 403, "Forbidden"), r.from);
    ASSERT_TRUE(WaitUntil([&] { return listener.Saw(deviceEventForbidden); }, 2000));
    EXPECT_EQ(log.count("device setup return 403"), 1u) << log.text();
    EXPECT_EQ(log.count("setup fail, re-get server"), 1u);
    EXPECT_EQ(dev.impl()->getState(), deviceGettingServer);
    EXPECT_FALSE(listener.Saw(deviceEventOnline));
}

TEST(P2PDevice, ForwardedRequestsHeartbeatAnswersAndTheRequestFilter)
{
    UdpPeer p2p, ds, stranger;
    Listener listener;
    DeviceHandle dev(createP2PDevice("DEVHB", &listener, p2ptest::WithoutLocal()));
    ASSERT_TRUE(BringOnline(p2p, ds, dev.device, listener));
    Seen beat;
    ASSERT_TRUE(ReceiveRequest(ds, "/heartbeat/device/DEVHB", beat, 3000));
    EXPECT_EQ(beat.text, "GET /heartbeat/device/DEVHB HTTP/1.1\r\n\r\n");
    const sockaddr_in device = beat.from;

    LogCapture log;
    const std::string body = "<body><Type>video</Type></body>";
    const std::string request = "ZRPOST /device/DEVHB/p2p-channel HTTP/1.1\r\nCSeq: 77\r\nContent-Length: " +
                                std::to_string(body.size()) + "\r\n\r\n" + body;
    ds.SendTo(request, device);
    ASSERT_TRUE(WaitUntil([&] { return listener.Requests().size() == 1; }, 2000));
    P2PRequest got = listener.Requests()[0];
    EXPECT_EQ(got.cseq, 77);
    EXPECT_EQ(got.path, "p2p-channel");
    EXPECT_EQ(got.deviceId, "DEVHB");
    EXPECT_EQ(got.fields, (FieldMap{{"Type", "video"}}));

    // A repeat while the first is being handled is dropped; only the DS may forward requests.
    ds.SendTo(request, device);
    EXPECT_TRUE(WaitUntil([&] { return log.count("request exist[77]: op[p2p-channel] dev_id[DEVHB]") == 1; }, 2000));
    std::string strangers = request;
    strangers.replace(strangers.find("77"), 2, "78");
    stranger.SendTo(strangers, device);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(listener.Requests().size(), 1u);

    // The answer goes out through the DS and a repeat of the request is answered from the cache.
    P2PResponse answer;
    answer.cseq = 77;
    answer.statusCode = 200;
    answer.text = "OK";
    ASSERT_TRUE(dev.device->sendResponse(answer, -1, Address()));
    Seen first, again;
    ASSERT_TRUE(WaitUntil([&] { return p2ptest::ReceiveMessage(ds, first, 20) && first.kind == kHttpResponse; }));
    EXPECT_EQ(first.cseq, 77);
    EXPECT_EQ(first.status, 200);
    ds.SendTo(request, device);
    ASSERT_TRUE(WaitUntil([&] { return p2ptest::ReceiveMessage(ds, again, 20) && again.kind == kHttpResponse; }));
    EXPECT_EQ(again.text, first.text);
    EXPECT_EQ(listener.Requests().size(), 1u);

    // 401 to a heartbeat is only logged; any other refusal starts over at the P2P server.
    ds.SendTo("HTTP/1.1 401 Unauthorized\r\nCSeq: 0\r\n\r\n", device);
    EXPECT_TRUE(WaitUntil([&] { return log.count("Not heartbeat recv!") == 1; }, 2000));
    EXPECT_EQ(dev.impl()->getState(), deviceOnline);
    stranger.SendTo("HTTP/1.1 500 Internal Error\r\nCSeq: 0\r\n\r\n", device);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(dev.impl()->getState(), deviceOnline);
    ds.SendTo("HTTP/1.1 500 Internal Error\r\nCSeq: 0\r\n\r\n", device);
    Seen lookup;
    EXPECT_TRUE(ReceiveRequest(p2p, "/online/p2psrv/DEVHB", lookup, 5000));
    EXPECT_EQ(log.count("device heartbeat fail, will re-get server right now!"), 1u);
}

TEST(P2PDevice, DeviceInformationLimits)
{
    Listener listener;
    DeviceHandle dev(createP2PDevice("DEVINFO", &listener, p2ptest::WithoutLocal()));
    ASSERT_NE(dev.device, nullptr);
    {
        LogCapture log;
        EXPECT_FALSE(dev.device->setDeviceInfo(nullptr));
        EXPECT_EQ(log.count("Invalid parameter"), 1u);
        EXPECT_TRUE(dev.device->setDeviceInfo(std::string(8192, 'a').c_str()));
        EXPECT_FALSE(dev.device->setDeviceInfo(std::string(8193, 'a').c_str()));
        EXPECT_EQ(log.count("DeviceInfo length is out of range"), 1u);
    }
    // Too long for a heartbeat whatever the id: cleared, and nothing goes out.
    ASSERT_TRUE(dev.device->setDeviceInfo(std::string(8170, 'b').c_str()));
    UdpPeer p2p, ds;
    LogCapture log;
    ASSERT_TRUE(BringOnline(p2p, ds, dev.device, listener));
    EXPECT_TRUE(WaitUntil([&] { return log.count("Info length is out of range, reset deviceInfo") == 1; }, 2000));
    Seen beat;
    EXPECT_FALSE(ReceiveRequest(ds, "/heartbeat/", beat, 300));
}

namespace {

// Sends one datagram to 127.0.0.1:28591 from a new socket and waits for an answer; runs in the namespace.
std::string Ask(const std::string& datagram, int waitMs, int* ownPort = nullptr)
{
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(kBroadcastPort);
    ::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
    sockaddr_in self = {};
    socklen_t len = sizeof(self);
    getsockname(fd, reinterpret_cast<sockaddr*>(&self), &len);
    if (ownPort)
        *ownPort = ntohs(self.sin_port);
    std::string answer;
    pollfd p = {fd, POLLIN, 0};
    if (::poll(&p, 1, waitMs) > 0) {
        char buf[9000];
        long n = ::recv(fd, buf, sizeof(buf), 0);
        if (n > 0)
            answer.assign(buf, size_t(n));
    }
    ::close(fd);
    return answer;
}

} // namespace

TEST(P2PDevice, AnswersLanProbesAndLocalChannelRequests)
{
    p2ptest::NetnsThread ns;
    if (!ns.Error().empty())
        GTEST_SKIP() << "network namespaces cannot be made here: " << ns.Error();
    Listener listener;
    ProxyServerConfigPtr config(new CProxyServerConfig);
    IP2PDevice* device = nullptr;
    ns.Do([&] { device = createP2PDevice("DEVLAN", &listener, config); });
    ASSERT_NE(device, nullptr);
    DeviceHandle dev(device);
    ASSERT_TRUE(dev.impl()->broadcastListening());

    const std::string probe = "ZRGET /info/device/DEVLAN HTTP/1.1\r\n\r\n";
    std::string answer;
    ns.Do([&] { answer = Ask(probe, 2000); });
    EXPECT_EQ(answer, "HTTP/1.1 404 Not Found\r\n\r\n");

    ASSERT_TRUE(device->setDeviceInfo("{\"model\":\"X1\"}"));
    ns.Do([&] { answer = Ask(probe, 2000); });
    EXPECT_EQ(answer, "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 14\r\n\r\n{\"model\":\"X1\"}");
    // A probe for a longer id that begins with this one is not for this device; oversized datagrams are dropped.
    ns.Do([&] { answer = Ask("ZRGET /info/device/DEVLAN2 HTTP/1.1\r\n\r\n", 300); });
    EXPECT_EQ(answer, "");
    ns.Do([&] { answer = Ask("ZRGET /info/device/DEVLAN " + std::string(9000, 'x'), 300); });
    EXPECT_EQ(answer, "");
    ASSERT_TRUE(device->setDeviceInfo(std::string(8192, 'j').c_str()));
    ns.Do([&] { answer = Ask(probe, 2000); });
    EXPECT_EQ(answer, "HTTP/1.1 507 Insufficient Storage\r\n\r\n");

    int clientPort = 0;
    ns.Do([&] { Ask("ZRGET /device/DEVLAN/local-channel HTTP/1.1\r\nCSeq: 5\r\n\r\n", 100, &clientPort); });
    ASSERT_TRUE(WaitUntil([&] { return listener.Requests().size() == 1; }, 2000));
    const P2PRequest local = listener.Requests()[0];
    EXPECT_EQ(local.cseq, 0);
    EXPECT_EQ(local.path, "local-channel");
    EXPECT_EQ(local.deviceId, "DEVLAN");
    EXPECT_EQ(local.fields, (FieldMap{{"ClientIP", "127.0.0.1"}, {"ClientPort", std::to_string(clientPort)}}));
    ns.Do([&] { Ask("ZRGET /device/OTHER/local-channel HTTP/1.1\r\nCSeq: 6\r\n\r\n", 100); });

    // The Local option switched off closes the LAN socket.
    config->setConfig(proxyOptLocal, 0);
    EXPECT_TRUE(WaitUntil([&] { return !dev.impl()->broadcastListening(); }, 2000));
    ns.Do([&] { answer = Ask(probe, 300); });
    EXPECT_EQ(answer, "");
    EXPECT_EQ(listener.Requests().size(), 1u);
}

TEST(P2PDevice, DispatchAddressFileRoundTrip)
{
    char dir[] = "/tmp/vx-dsaddr-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof(old)), nullptr);
    ASSERT_EQ(chdir(dir), 0);
    Listener listener;
    {
        DeviceHandle dev(createP2PDevice("DEVFILE", &listener, p2ptest::WithoutLocal()));
        EXPECT_FALSE(dev.impl()->readDSAddr()); // no file yet
        FILE* f = std::fopen("DS.addr", "w");
        std::fputs("10.1.2.3 7000", f);
        std::fclose(f);
        LogCapture log;
        ASSERT_TRUE(dev.impl()->readDSAddr());
        EXPECT_EQ(log.count("Read DS.addr [10.1.2.3:7000]"), 1u);
        EXPECT_EQ(dev.impl()->dsHost(), "10.1.2.3");
        EXPECT_EQ(dev.impl()->dsPort(), 7000);
        std::remove("DS.addr");
        ASSERT_TRUE(dev.impl()->writeDSAddr());
        char text[64] = "";
        f = std::fopen("DS.addr", "r");
        ASSERT_NE(std::fgets(text, sizeof(text), f), nullptr);
        std::fclose(f);
        EXPECT_STREQ(text, "10.1.2.3 7000");
    }
    std::remove("DS.addr");
    EXPECT_EQ(chdir(old), 0);
    rmdir(dir);
}

// Slow: the registration's own clock. A refused lookup is asked again 10 s later; an unanswered heartbeat is
// repeated 1 s and 2 s later, then the device waits 20 s.
TEST(P2PDevice, RetryAndHeartbeatPacing)
{
    UdpPeer p2p, ds;
    Listener listener;
    DeviceHandle dev(createP2PDevice("DEVPACE", &listener, p2ptest::WithoutLocal()));
    ASSERT_TRUE(dev.device->start(p2ptest::ServerAt(p2p.port())));
    Seen r;
    ASSERT_TRUE(ReceiveRequest(p2p, "/online/p2psrv/", r, 5000));
    const auto refused = std::chrono::steady_clock::now();
    p2p.SendTo(ResponseText(r.cseq, 200, "OK", {{"DS", "nocolon"}}), r.from);
    ASSERT_TRUE(ReceiveRequest(p2p, "/online/p2psrv/", r, 13000));
    const auto again = std::chrono::steady_clock::now() - refused;
    EXPECT_GE(again, std::chrono::milliseconds(8500));
    EXPECT_LE(again, std::chrono::milliseconds(11500));
    p2p.SendTo(ResponseText(r.cseq, 200, "OK", {{"DS", ":" + Port(ds)}}), r.from);
    ASSERT_TRUE(ReceiveRequest(ds, "/setup/device/", r, 5000));
    ds.SendTo(ResponseText(r.cseq, 200, "OK"), r.from);

    std::vector<std::chrono::steady_clock::time_point> beats;
    WaitUntil([&] {
        Seen beat;
        if (ReceiveRequest(ds, "/heartbeat/device/DEVPACE", beat, 20))
            beats.push_back(std::chrono::steady_clock::now());
        return false;
    }, 5000);
    ASSERT_EQ(beats.size(), 3u);
    // The timer counts whole seconds of the C clock: the first wait ends when the second turns, the next
    // one a whole second later.
    EXPECT_LE(beats[1] - beats[0], std::chrono::milliseconds(1500));
    EXPECT_GE(beats[2] - beats[1], std::chrono::milliseconds(700));
    EXPECT_LE(beats[2] - beats[1], std::chrono::milliseconds(1500));
    EXPECT_TRUE(dev.device->isOnline());
}
