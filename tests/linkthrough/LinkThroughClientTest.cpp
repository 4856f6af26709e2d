// Connection attempts on the link through client thread: which negotiations run, their results in one
// record, and the device's version deciding about link switching.
#include "../p2psdk/NetTestSupport.h"
#include "DeviceStub.h"
#include "LinkThrough/LinkThroughClient.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

using namespace Orvan::Tou;
using nettest::WaitUntil;

namespace {

class OnlineOwner : public IP2PLinkOwner
{
public:
    explicit OnlineOwner(const P2PServerInfo& server) : server_(server) {}
    int getState() override { return stateOnline; }
    void getServerInfo(P2PServerInfo& server) override { server = server_; }

private:
    P2PServerInfo server_;
};

struct Lan
{
    explicit Lan(const std::string& version) : server(p2psim::ServerOptions())
    {
        started = server.Start();
        info.host = "127.0.0.1";
        info.port = server.Port();
        info.userName = "P2PClient";
        device.reset(new linktest::DeviceStub("DEVC", server.Port(), linktest::DeviceStub::answerCandidates, version));
    }
    P2PLinkOwnerPtr Owner() { return P2PLinkOwnerPtr(new OnlineOwner(info)); }

    p2psim::P2PServerSim server;
    bool started = false;
    P2PServerInfo info;
    std::unique_ptr<linktest::DeviceStub> device;
};

} // namespace

TEST(LinkThroughClient, PeerVersionsThatSupportLinkSwitching)
{
    struct Case
    {
        const char* version;
        bool supports;
    } cases[] = {{"5.2.1", true}, {"10.0.0", true}, {"5.0.0", true}, {"4.9.9", false},
                 {"5.2", false},  {"", false},      {".1.2", false}, {"x.1.2", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        EXPECT_EQ(CLinkThroughClientImpl::isPeerSupportLinkSwitchAndLocalP2P(c.version), c.supports);
    }
}

TEST(LinkThroughClient, OnlyP2PRunsWithRelayAndLocalOffAndTheAttemptIsDropped)
{
    Lan lan("5.2.1");
    ASSERT_TRUE(lan.started);
    ASSERT_TRUE(WaitUntil([&] { return lan.device->registered(); }));
    LinkThroughOptions options;
    options.relay = false;
    options.local = false;
    options.portGuess = false;
    const size_t before = CLinkThroughSingleThread::instance()->attached();
    CLinkThroughClient attempt(lan.Owner(), lan.info, options, "DEVC", 6001, 0, false);
    LinkThroughInfo info = attempt.getLinkThroughInfo();
    EXPECT_EQ(info.p2pState, linkStateRunning);
    EXPECT_EQ(info.relayState, linkStateIdle);
    EXPECT_EQ(info.localState, linkStateIdle);
    ASSERT_TRUE(WaitUntil([&] { return attempt.getLinkThroughInfo().p2pState != linkStateRunning; }, 12000));
    info = attempt.getLinkThroughInfo();
    EXPECT_EQ(info.p2pState, linkStateFound);
    EXPECT_EQ(info.p2p.id, "DEVC");
    EXPECT_EQ(info.p2p.localPort, 6001);
    EXPECT_EQ(info.p2p.conn.remotePort, lan.device->icePort());
    EXPECT_TRUE(info.peerSupportsLinkSwitch);
    EXPECT_TRUE(WaitUntil([&] { return CLinkThroughSingleThread::instance()->attached() == before; }));
}

TEST(LinkThroughClient, AllThreeNegotiationsReportAndAnOldVersionStopsLinkSwitching)
{
    struct Case
    {
        const char* name;
        bool relay;
        bool supports;
    } cases[] = {{"relay on", true, false}, {"relay off", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Lan lan("4.1.0");
        ASSERT_TRUE(lan.started);
        ASSERT_TRUE(WaitUntil([&] { return lan.device->registered(); }));
        LinkThroughOptions options;
        options.relay = c.relay;
        options.local = true; // only loopback here: its broadcast cannot leave, it fails after 2000 ms
        options.portGuess = false;
        CLinkThroughClient attempt(lan.Owner(), lan.info, options, "DEVC", 6002, 2, false);
        ASSERT_TRUE(WaitUntil([&] {
            LinkThroughInfo i = attempt.getLinkThroughInfo();
            return i.p2pState > linkStateRunning && i.localState > linkStateRunning &&
                   i.relayState != linkStateRunning;
        }, 12000));
        LinkThroughInfo info = attempt.getLinkThroughInfo();
        EXPECT_EQ(info.p2pState, linkStateFound);
        EXPECT_EQ(info.p2p.peerVersion, "4.1.0");
        EXPECT_EQ(info.localState, linkStateFailed);
        EXPECT_EQ(info.local.localPort, 6002);
        EXPECT_EQ(info.relayState, c.relay ? linkStateFound : linkStateIdle);
        if (c.relay)
            EXPECT_EQ(info.relay.peerVersion, "4.1.0");
        EXPECT_EQ(info.peerSupportsLinkSwitch, c.supports);
    }
}

TEST(LinkThroughClient, DetachingAnUnknownAttemptChangesNothing)
{
    P2PServerInfo nowhere;
    nowhere.host = "127.0.0.1";
    nowhere.port = 9;
    LinkThroughOptions options;
    options.relay = options.local = false;
    auto impl = std::make_shared<CLinkThroughClientImpl>(P2PLinkOwnerPtr(new OnlineOwner(nowhere)), nowhere, options,
                                                         "DEVX", 0, 0, false);
    EXPECT_EQ(impl->p2pLocalValueT(), int(Orvan::NATTraver::kValueTUnknown));
    const size_t before = CLinkThroughSingleThread::instance()->attached();
    CLinkThroughSingleThread::instance()->detach(impl);
    EXPECT_EQ(CLinkThroughSingleThread::instance()->attached(), before);
}
