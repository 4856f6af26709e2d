// Searches against an emulated fleet through the real SDK and the task loops.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Common/AppSettings.h"
#include "Common/DevClass.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "FleetAddresses.h"
#include "Main/CSearchDevLogic.h"
#include "RecordingPeers.h"
#include "TaskLoops.h"

using namespace VeyraBase;

namespace {

class FleetSearch : public ::testing::Test {
protected:
    static void SetUpTestSuite() { vxtest::StartSuiteLoops(); }
    static void TearDownTestSuite() { vxtest::StopSuiteLoops(); }

    // Each test has a block of addresses of its own (its position in the suite), so that tests
    // run in parallel share no address or port: the search socket on .1 and the sixteen
    // devices on .2 to .17. The fleet moves on when another process holds its block.
    void StartSdk()
    {
        const int index = vxtest::TestIndexInSuite();
        devsdk::SimOptions opt;
        opt.embeddedFirst = "127.41." + std::to_string(index + 1) + ".2";
        opt.probePort = 5050;
        opt.localIp = "127.41." + std::to_string(index + 1) + ".1";
        devsim::Fleet* fleet = nullptr;
        vxtest::StartEmbeddedSdk(opt, sdkUp, fleet);
        if (HasFatalFailure())
            return;
        fleetFirst = fleet->StateOf(0).ip;
        prefix = fleetFirst.substr(0, fleetFirst.rfind('.') + 1);
        local = prefix + "1";
        CAppSettings::LocalIp = std::wstring(local.begin(), local.end());
    }

    void SetUp() override
    {
        CAppSettings::CloudEnable = true;
        StartSdk();
        peers = std::make_shared<RecordingPeers>();
        model = std::make_shared<CDeviceListUILogic>(std::weak_ptr<CMainFrameEventImp>());
        model->SetPeers(peers);
        model->Init();
        peers->logic = model;
    }
    void TearDown() override
    {
        model->StopSearch(0);
        Wait([&] { return !peers->Matching("frame.stopped 0").empty(); });
        CAppSettings::LocalIp.clear();
        if (sdkUp)
            SdkCleanup();
        devsdk::ResetSimOptions();
    }

    // Runs the GUI loop until the condition holds (generous limit; not a timing check).
    static bool Wait(const std::function<bool()>& done, int limitMs = 30000)
    {
        return vxtest::PumpUntil(done, limitMs);
    }
    // Runs the GUI loop until everything posted to it so far has run.
    bool GuiCaughtUp()
    {
        auto reached = std::make_shared<bool>(false);
        std::shared_ptr<CSFTask> marker = CreateTask<CDeviceListUILogic>([reached] { *reached = true; }, model);
        CSFMessageLoopManager::Instance()->GetMessageLoop(ML_MAIN)->PostTask(marker);
        return Wait([&] { return *reached; });
    }
    bool SearchDone() { return peers->Matching("bar.searching").size() >= 2; }
    size_t Listed() { return model->GetDeviceList().size(); }

    std::shared_ptr<RecordingPeers> peers;
    std::shared_ptr<CDeviceListUILogic> model;
    bool sdkUp = false;
    std::string fleetFirst; // prefix + "2"
    std::string prefix;     // "127.A.B."
    std::string local;      // prefix + "1"
};

} // namespace

TEST_F(FleetSearch, RangeSearchFillsTheListOnce)
{
    // 300 addresses: two blocks (255 and 45) covering the fleet at .2 to .17.
    ASSERT_TRUE(model->StartSearch(SF_SEARCH_BYIP, 300, local));
    ASSERT_TRUE(Wait([&] { return SearchDone(); }));
    EXPECT_EQ(16u, Listed());
    EXPECT_EQ(16, model->GetFoundCount());
    EXPECT_EQ("bar.count 16", peers->Matching("bar.count").back());
    // Uninitialised devices are counted but reach only the device page.
    int uninit = 0;
    for (const DevicePtr& d : model->GetDeviceList())
        uninit += IsUninitializedStatus(d->stNetInfo.byInitState) ? 1 : 0;
    EXPECT_EQ(3, uninit);
    EXPECT_EQ(13u, peers->Matching("sys.add").size());
    EXPECT_FALSE(model->IsSearching());
}

TEST_F(FleetSearch, BroadcastSearchMovesToTheNextPortWhenItsPortIsTaken)
{
    int sock = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(5050);
    inet_pton(AF_INET, local.c_str(), &addr.sin_addr);
    ASSERT_EQ(0, bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)));

    ASSERT_TRUE(model->StartSearch(SF_SEARCH_BROADCAST, 0, ""));
    ASSERT_TRUE(Wait([&] { return SearchDone(); }));
    EXPECT_TRUE(model->IsBroadcasting());
    EXPECT_NE(0, model->GetSearchDevLogic()->GetSearchHandle());
    EXPECT_TRUE(Wait([&] { return Listed() == 16; }));
    EXPECT_TRUE(peers->messages.empty());
    close(sock);
}

TEST_F(FleetSearch, NewSearchDropsResultsOfTheEarlierOne)
{
    ASSERT_TRUE(model->StartSearch(SF_SEARCH_BROADCAST, 0, ""));
    ASSERT_TRUE(Wait([&] { return SearchDone() && Listed() == 16; }));
    // A result of the first search arriving now is stale.
    DevicePtr late = MakeDevice((prefix + "99").c_str(), "aa:bb:cc:00:41:99");
    late->byGeneration = model->GetGeneration();
    peers->calls.clear();
    ASSERT_TRUE(model->StartSearch(SF_SEARCH_BYIP, 16, fleetFirst));
    model->Task_InsertDevice(late);
    ASSERT_TRUE(Wait([&] { return SearchDone(); }));
    EXPECT_EQ(16u, Listed());
    for (const DevicePtr& d : model->GetDeviceList())
        EXPECT_NE(prefix + "99", d->stNetInfo.szIpAddr);
    // The pages were emptied in their order before the new results came.
    const std::vector<std::string> clears = {"upgrade.clear", "cloud.clear", "sys.clear", "tpl.clear", "cfg.clear",
                                             "bar.count 0", "bar.searching 1"};
    EXPECT_EQ(clears, std::vector<std::string>(peers->calls.begin(), peers->calls.begin() + clears.size()));
}

TEST_F(FleetSearch, FilterDuringBroadcastStopsItFirst)
{
    ASSERT_TRUE(model->StartSearch(SF_SEARCH_BOTH, 16, fleetFirst));
    ASSERT_TRUE(Wait([&] { return SearchDone(); }));
    EXPECT_TRUE(model->IsBroadcasting());
    EXPECT_TRUE(model->FilterDevList(FILTER_PAGE_SYSCONFIG));
    ASSERT_TRUE(Wait([&] { return !model->IsBroadcasting(); }));
    EXPECT_EQ(0, model->GetSearchDevLogic()->GetSearchHandle());
    EXPECT_EQ(0u, model->GetSearchDevLogic()->GetPendingStopCount());
}

TEST_F(FleetSearch, BroadcastSearchEndsWithItsWorker)
{
    auto otherPeers = std::make_shared<RecordingPeers>();
    auto other = std::make_shared<CDeviceListUILogic>(std::weak_ptr<CMainFrameEventImp>());
    other->SetPeers(otherPeers);
    other->Init();
    otherPeers->logic = other;
    ASSERT_TRUE(other->StartSearch(SF_SEARCH_BROADCAST, 0, ""));
    ASSERT_TRUE(Wait([&] { return otherPeers->Matching("bar.searching").size() >= 2; }));
    const LONG handle = other->GetSearchDevLogic()->GetSearchHandle();
    ASSERT_NE(0, handle);
    std::weak_ptr<CSearchDevLogic> worker = other->GetSearchDevLogic();
    otherPeers->logic.reset();
    other.reset();
    ASSERT_TRUE(Wait([&] { return worker.expired(); }));
    // Its callbacks would reach a destroyed object: the search is gone with it.
    EXPECT_FALSE(SdkStopSearchDevices(handle));
}

TEST_F(FleetSearch, StopAskedBeforeTheSearchStartedEndsIt)
{
    // The window closes right after a search was asked for: the stop comes before the reply
    // of the step that precedes the start.
    ASSERT_TRUE(model->StartSearch(SF_SEARCH_BROADCAST, 0, ""));
    model->StopSearch(0);
    ASSERT_TRUE(Wait([&] { return SearchDone() && !peers->Matching("frame.stopped 0").empty(); }));
    EXPECT_FALSE(model->IsSearching());
    EXPECT_FALSE(model->IsBroadcasting());
    EXPECT_EQ(0, model->GetSearchDevLogic()->GetSearchHandle());
    EXPECT_EQ(0u, model->GetSearchDevLogic()->GetPendingStopCount());

    // The next search finds the fleet: its results are not taken for those of the ended one.
    peers->calls.clear();
    ASSERT_TRUE(model->StartSearch(SF_SEARCH_BYIP, 16, fleetFirst));
    ASSERT_TRUE(Wait([&] { return SearchDone(); }));
    EXPECT_EQ(16u, Listed());
}

TEST_F(FleetSearch, BroadcastSearchListensOnTheBroadcastPortOfTheSettings)
{
    CAppSettings::BroadcastPort = 5077;
    ASSERT_TRUE(model->StartSearch(SF_SEARCH_BROADCAST, 0, ""));
    ASSERT_TRUE(Wait([&] { return SearchDone(); }));
    CAppSettings::BroadcastPort = 5050;
    ASSERT_NE(0, model->GetSearchDevLogic()->GetSearchHandle());
    auto bindable = [&](int port) {
        int sock = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, local.c_str(), &addr.sin_addr);
        const bool ok = bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
        close(sock);
        return ok;
    };
    EXPECT_FALSE(bindable(5077));
    EXPECT_TRUE(bindable(5050));
}

TEST_F(FleetSearch, BroadcastSearchWhoseStopFailedIsKeptAndStoppedLater)
{
    ASSERT_TRUE(model->StartSearch(SF_SEARCH_BROADCAST, 0, ""));
    ASSERT_TRUE(Wait([&] { return SearchDone() && Listed() == 16; }));
    const LONG first = model->GetSearchDevLogic()->GetSearchHandle();
    ASSERT_NE(0, first);

    // The stop before the next search fails: the first search runs on beside the new one.
    devsdk::FailNextSearchStops(1);
    peers->calls.clear();
    ASSERT_TRUE(model->StartSearch(SF_SEARCH_BYIP, 4, fleetFirst));
    ASSERT_TRUE(Wait([&] { return SearchDone(); }));
    EXPECT_EQ(1u, model->GetSearchDevLogic()->GetPendingStopCount());
    EXPECT_EQ(0, model->GetSearchDevLogic()->GetSearchHandle());
    // Its answers after the new search ended (a full round of the fleet) stay out of the list.
    const uint64_t before = devsdk::SearchAnswerCount(first);
    ASSERT_TRUE(Wait([&] { return devsdk::SearchAnswerCount(first) >= before + 16; }));
    ASSERT_TRUE(GuiCaughtUp());
    EXPECT_EQ(4u, Listed());
    for (const DevicePtr& d : model->GetDeviceList())
        EXPECT_FALSE(d->bBroadcast) << d->stNetInfo.szIpAddr;

    // The next stop tries it again and ends it.
    model->StopSearch(0);
    ASSERT_TRUE(Wait([&] { return !peers->Matching("frame.stopped 0").empty(); }));
    EXPECT_EQ(0u, model->GetSearchDevLogic()->GetPendingStopCount());
    EXPECT_FALSE(SdkStopSearchDevices(first));
}
