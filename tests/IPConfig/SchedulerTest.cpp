// The batch scheduler with devices that do not answer: dispatch five at a time, refusals of
// devices without a password, the address each device gets, failures with a code of their own,
// results found by address and MAC, and the stop.
#include <gtest/gtest.h>

#include <cstring>

#include "IpTestSupport.h"
#include "ShellTestSupport.h"

#include "IPConfig/CModifyIPLogic.h"
#include "IPConfig/CModifyIPUILogic.h"
#include "Main/CSearchDevEventImp.h"
#include "Widgets/SFListCtrl.h"
#include "devsdk/DevSdkErrors.h"

using shelltest::WaitUntil;

namespace {

std::shared_ptr<DEVICE_INFO> Device(const std::string& ip, int n, bool initialised)
{
    auto d = std::make_shared<DEVICE_INFO>();
    std::memset(d.get(), 0, sizeof(DEVICE_INFO));
    DEVICE_NET_INFO_EX& info = d->stNetInfo;
    info.nIpVersion = 4;
    std::strcpy(info.szIpAddr, ip.c_str());
    std::snprintf(info.szMacAddr, sizeof info.szMacAddr, "AA:BB:CC:00:00:%02X", n);
    std::strcpy(info.szTypeName, "IPC");
    std::strcpy(info.szModelName, "IPC-T1");
    info.byInitState = initialised ? 2 : 1;
    std::strcpy(d->szUser, "admin");
    std::strcpy(d->szPassword, "admin123");
    // A short field full of old bytes: the new credentials must still end in it.
    std::memset(info.szReportedUser, 'x', sizeof info.szReportedUser);
    return d;
}

int AtWorker(const CModifyIPUILogic& logic)
{
    int n = 0;
    for (int i = 0; i <= logic.GetCursor() && i < static_cast<int>(logic.Records().size()); ++i)
        n += (logic.Records()[i]->bInitialized && logic.Records()[i]->bFinished == 0) ? 1 : 0;
    return n;
}

} // namespace

TEST(ModifyIPScheduler, SevenDevicesFiveAtATimeWithTheSecondRefused)
{
    auto frame = shelltest::MakeMainWindow();
    auto page = frame->GetSearchDevPage();
    auto logic = page->GetModifyIPUILogic();
    CSFListCtrl* rows = page->GetListCtrl();
    // Nothing listens on these addresses: every login is refused at once.
    const std::string prefix = iptest::TestPrefix(62);
    std::vector<std::shared_ptr<DEVICE_INFO>> devices;
    for (int i = 0; i < 7; ++i) {
        devices.push_back(Device(prefix + std::to_string(10 + i), i, i != 1));
        page->AddDeviceRow(&devices.back()->stNetInfo, false);
    }
    logic->SetModifyParam(prefix + "250", "255.255.0.0", prefix + "1", 0, 0);
    logic->ClearDevices();
    for (int i = 0; i < 7; ++i)
        logic->AddDevice(devices[i], i);
    // Credentials travel in the record, each short field terminated.
    EXPECT_STREQ(devices[0]->stNetInfo.szReportedUser, "admin");
    EXPECT_EQ(devices[0]->stNetInfo.bUserValid, 1);
    EXPECT_STREQ(devices[0]->stNetInfo.szPassword, "admin123");
    // Consecutive host addresses; the refused device uses up its address all the same.
    const std::string base = prefix.substr(0, prefix.rfind('.', prefix.size() - 2) + 1);
    const int third = std::stoi(prefix.substr(base.size()));
    const char* expected[7] = {"250", "251", "252", "253", "254", "255", ""};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(logic->Records()[i]->strNewIp, prefix + expected[i]);
    EXPECT_EQ(logic->Records()[6]->strNewIp, base + std::to_string(third + 1) + ".0") << "a /16 host";

    logic->StartModifyIP();
    EXPECT_EQ(logic->IsModifying(), 1);
    EXPECT_EQ(logic->GetCursor(), 5) << "five dispatched, the refused one passed over";
    EXPECT_EQ(AtWorker(*logic), 5);
    EXPECT_EQ(logic->Records()[1]->bFinished, 1);
    EXPECT_EQ(rows->GetItemData(1, 0), 102u);
    int most = 0;
    ASSERT_TRUE(WaitUntil([&] {
        most = std::max(most, AtWorker(*logic));
        return !logic->IsModifying();
    }));
    EXPECT_LE(most, 5);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(logic->Records()[i]->bFinished, 1) << i;
        EXPECT_EQ(logic->Records()[i]->bSucceeded, 0) << i;
        EXPECT_NE(rows->GetItemData(i, 0), 0u) << "a failed device never reads Success: " << i;
    }
}

TEST(ModifyIPScheduler, ResultsAreFoundByAddressAndMacAnyCase)
{
    auto frame = shelltest::MakeMainWindow();
    auto page = frame->GetSearchDevPage();
    auto logic = page->GetModifyIPUILogic();
    CSFListCtrl* rows = page->GetListCtrl();
    auto d = Device("127.62.99.10", 1, true);
    page->AddDeviceRow(&d->stNetInfo, false);
    logic->SetModifyParam("127.62.99.20", "255.255.255.0", "127.62.99.1", 0, 0);
    logic->ClearDevices();
    logic->AddDevice(d, 0);
    EXPECT_EQ(logic->FindRecord("127.62.99.10", "aa:bb:cc:00:00:01"), 0);
    EXPECT_EQ(logic->FindRecord("127.62.99.010", "AA:BB:CC:00:00:01"), -1);
    // A later result replaces the earlier one; a failure reported without a code keeps one.
    logic->Task_Modify_Ret("127.62.99.10", "aa:bb:cc:00:00:01", 1, 0);
    EXPECT_EQ(rows->GetItemData(0, 0), 0u);
    logic->Task_Modify_Ret("127.62.99.10", "aa:bb:cc:00:00:01", 0, 0);
    EXPECT_EQ(rows->GetItemData(0, 0), SDK_ERROR);
    logic->Task_Modify_Ret("127.62.99.10", "aa:bb:cc:00:00:01", 0, MODIFYIP_NO_INTERFACE);
    EXPECT_EQ(rows->GetItemData(0, 0), 101u);
}

TEST(ModifyIPScheduler, StopLetsTheDispatchedDevicesFinishAndStartsNoOther)
{
    auto frame = shelltest::MakeMainWindow();
    auto page = frame->GetSearchDevPage();
    auto logic = page->GetModifyIPUILogic();
    const std::string prefix = iptest::TestPrefix(62);
    logic->SetModifyParam("", "", "", 0, 1);
    logic->ClearDevices();
    std::vector<std::shared_ptr<DEVICE_INFO>> devices;
    for (int i = 0; i < 8; ++i) {
        devices.push_back(Device(prefix + std::to_string(30 + i), i, true));
        logic->AddDevice(devices.back(), i);
        EXPECT_EQ(logic->Records().back()->strNewIp, "") << "DHCP hands out no address";
    }
    logic->StartModifyIP();
    logic->Stop();
    ASSERT_TRUE(WaitUntil([&] { return !logic->IsModifying(); }));
    int finished = 0;
    for (const auto& r : logic->Records())
        finished += r->bFinished;
    EXPECT_EQ(finished, 5);
    EXPECT_EQ(logic->GetCursor(), 7);
}
