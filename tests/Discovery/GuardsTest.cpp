// Busy guards of the device page: which message each busy module shows, in the order they run.
#include <gtest/gtest.h>

#include <functional>

#include "RecordingPeers.h"

namespace {

struct Busy {
    int modifying, upgrading, configuring, loggingIn, cloudUpgrading, cloudDownloading, cloudChecking, cloudStopping;
};

struct Fixture {
    std::shared_ptr<RecordingPeers> peers = std::make_shared<RecordingPeers>();
    std::shared_ptr<CDeviceListUILogic> model =
        std::make_shared<CDeviceListUILogic>(std::weak_ptr<CMainFrameEventImp>());
    std::shared_ptr<CSearchDevEventImp> page =
        std::make_shared<CSearchDevEventImp>(std::weak_ptr<CMainFrameEventImp>());

    explicit Fixture(const Busy& b)
    {
        model->SetPeers(peers);
        model->Init();
        page->SetPeers(peers);
        peers->logic = model;
        peers->modifying = b.modifying;
        peers->upgrading = b.upgrading;
        peers->configuring = b.configuring;
        peers->loggingIn = b.loggingIn;
        peers->cloudUpgrading = b.cloudUpgrading;
        peers->cloudDownloading = b.cloudDownloading;
        peers->cloudChecking = b.cloudChecking;
        peers->cloudStopping = b.cloudStopping;
    }
    std::wstring Message() const { return peers->messages.empty() ? L"" : peers->messages.front(); }
};

struct Case {
    Busy busy;
    const wchar_t* message;
};

} // namespace

TEST(BusyGuards, StartSearch)
{
    const Case cases[] = {
        {{1, 1, 1, 1, 1, 1, 1, 1}, L"Modifying,please wait..."},
        {{0, 1, 1, 1, 1, 1, 1, 1}, L"Now upgrading,please wait..."},
        {{0, 0, 1, 1, 1, 1, 1, 1}, L"Setting,please wait..."},
        {{0, 0, 0, 1, 1, 1, 1, 1}, L"Now login,please wait..."},
        {{0, 0, 0, 0, 1, 0, 1, 1}, L"Now operating,please wait..."},
        {{0, 0, 0, 0, 0, 1, 1, 1}, L"Now operating,please wait..."},
        {{0, 0, 0, 0, 0, 0, 1, 1}, L"Now checking,please wait..."},
        {{0, 0, 0, 0, 0, 0, 0, 1}, L"Upgrade stoping,please wait..."},
    };
    for (const Case& c : cases) {
        Fixture f(c.busy);
        f.page->StartSearch();
        EXPECT_EQ(std::wstring(c.message), f.Message());
        EXPECT_EQ(1u, f.peers->messages.size());
        EXPECT_FALSE(f.peers->calls.empty() == false && !f.peers->Matching("bar.searching").empty());
        // The upgrade task list is cleared once the upgrade guard passed, whatever follows.
        EXPECT_EQ(c.busy.modifying == 0 && c.busy.upgrading == 0, !f.peers->Matching("upgrade.cleartasks").empty());
    }
    Fixture idle({0, 0, 0, 0, 0, 0, 0, 0});
    idle.page->StartSearch();
    EXPECT_TRUE(idle.peers->messages.empty());
    EXPECT_EQ(1u, idle.peers->Matching("bar.searching 1").size());
}

TEST(BusyGuards, ManualAddAndDelete)
{
    const Case cases[] = {
        {{1, 1, 1, 1, 1, 1, 1, 1}, L"Upgrading,please wait..."},
        {{1, 1, 1, 1, 0, 1, 1, 1}, L"Downloading,please wait..."},
        {{1, 1, 1, 1, 0, 0, 1, 1}, L"Now checking,please wait..."},
        {{1, 1, 1, 1, 0, 0, 0, 1}, L"Upgrade stoping,please wait..."},
        {{1, 1, 1, 1, 0, 0, 0, 0}, L"Setting,please wait..."},
        {{1, 1, 0, 1, 0, 0, 0, 0}, L"Modifying,please wait..."},
        {{0, 1, 0, 1, 0, 0, 0, 0}, L"Upgrading,please wait..."},
    };
    for (const Case& c : cases) {
        Fixture add(c.busy);
        add.page->OnManualAdd();
        EXPECT_EQ(std::wstring(c.message), add.Message());
        EXPECT_TRUE(add.peers->Matching("frame.manualadd").empty());
        Fixture del(c.busy);
        del.page->OnDelete();
        EXPECT_EQ(std::wstring(c.message), del.Message());
    }
    // Logging in does not hold Manual Add back.
    Fixture idle({0, 0, 0, 1, 0, 0, 0, 0});
    idle.page->OnManualAdd();
    EXPECT_TRUE(idle.peers->messages.empty());
    EXPECT_EQ(1u, idle.peers->Matching("frame.manualadd").size());
}

TEST(BusyGuards, IpModification)
{
    const Case batch[] = {
        {{1, 1, 0, 1, 1, 1, 1, 1}, L"Modifying,please wait..."},
        {{0, 1, 0, 1, 1, 1, 1, 1}, L"Now upgrading,please wait..."},
        {{0, 0, 0, 1, 1, 1, 1, 1}, L"Upgrading,please wait..."},
        {{0, 0, 0, 1, 0, 1, 1, 1}, L"Downloading,please wait..."},
        // Nothing busy and nothing checked: the selection message, no dialog.
        {{0, 0, 0, 1, 0, 0, 0, 0}, L"Please select one device to modify ip at least."},
    };
    for (const Case& c : batch) {
        Fixture f(c.busy);
        f.page->OnBatchModifyIP();
        EXPECT_EQ(std::wstring(c.message), f.Message());
        EXPECT_TRUE(f.peers->Matching("modify.dialog").empty());
    }
    // The row button also waits for a device login, and opens the dialog for one device.
    Fixture row({0, 0, 0, 1, 0, 0, 0, 0});
    row.page->OnModifyIP();
    EXPECT_EQ(L"Now login,please wait...", row.Message());
    Fixture free({0, 0, 0, 0, 0, 0, 0, 0});
    free.page->OnModifyIP();
    EXPECT_EQ(1u, free.peers->Matching("modify.dialog 1").size());
}

TEST(BusyGuards, SearchAndManualAddOfTheListHoldOperationsBack)
{
    // The list's own states: E a manual add under way, F a search under way.
    enum State { Idle, ManualAdding, Searching, Both };
    struct Op {
        const char* name;
        std::function<void(CSearchDevEventImp&)> run;
        const wchar_t* whenManual;     // message while only a manual add runs (null: proceeds)
        const wchar_t* whenSearching;  // message while only a search runs
        const wchar_t* whenBoth;
    } ops[] = {
        {"start search", [](CSearchDevEventImp& p) { p.StartSearch(); }, L"Manual add,please wait...",
         L"Searching,please wait...", L"Manual add,please wait..."},
        {"import", [](CSearchDevEventImp& p) { p.OnImport(); }, L"Manual add,please wait...",
         L"Searching,please wait...", L"Searching,please wait..."},
        {"delete", [](CSearchDevEventImp& p) { p.OnDelete(); }, L"Manual add,please wait...",
         L"Searching,please wait...", L"Searching,please wait..."},
    };
    for (const Op& op : ops) {
        for (State state : {Idle, ManualAdding, Searching, Both}) {
            SCOPED_TRACE(std::string(op.name) + " in state " + std::to_string(state));
            Fixture f({0, 0, 0, 0, 0, 0, 0, 0});
            if (state == ManualAdding || state == Both) {
                ASSERT_TRUE(f.model->StartSearch_ManulAdd(SF_SEARCH_BYIP, 1, "10.0.0.9"));
            }
            if (state == Searching || state == Both)
                f.model->Task_PreStartSearch_Ret(SF_SEARCH_BYIP, 1, "10.0.0.1", {});
            f.peers->messages.clear();
            f.peers->calls.clear();
            op.run(*f.page);
            const wchar_t* expected = state == Idle ? nullptr
                                      : state == ManualAdding ? op.whenManual
                                      : state == Searching ? op.whenSearching
                                                           : op.whenBoth;
            if (expected) {
                EXPECT_EQ(std::wstring(expected), f.Message());
                EXPECT_TRUE(f.peers->Matching("bar.searching 1").empty()) << "the operation went ahead";
            } else {
                for (const std::wstring& m : f.peers->messages)
                    EXPECT_EQ(m.find(L"please wait"), std::wstring::npos);
            }
        }
    }
}
