// Devices found by the broadcast search change their addresses without a login, after the
// running search has been stopped.
#include <gtest/gtest.h>

#include <QTimer>

#include <cstring>

#include "IpTestSupport.h"
#include "ShellTestSupport.h"

#include "Common/AppSettings.h"
#include "Common/DevClass.h"
#include "IPConfig/CModifyIPFileDlg.h"
#include "IPConfig/CModifyIPUILogic.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CSearchDevEventImp.h"
#include "Widgets/SFIPAddressCtrl.h"
#include "Widgets/SFListCtrl.h"
#include "devsdk/DevSdkSim.h"
#include "devsim/Fleet.h"

using shelltest::WaitUntil;

TEST(BroadcastBatch, DevicesMoveWithoutLoginAndTheSearchStops)
{
    const std::string prefix = iptest::TestPrefix(64);
    shelltest::EnsureEnvironment();
    devsdk::SimOptions sim;
    sim.embedded = true;
    sim.embeddedFirst = prefix + "2";
    sim.localIp = prefix + "1";
    devsdk::SetSimOptions(sim);
    auto frame = shelltest::MakeMainWindow();
    CAppSettings::User = L"admin";
    CAppSettings::Password = L"admin123";
    CAppSettings::LocalIp = std::wstring(prefix.begin(), prefix.end()) + L"1";
    auto page = frame->GetSearchDevPage();
    auto list = frame->GetDeviceListUILogic();
    auto logic = page->GetModifyIPUILogic();
    devsim::Fleet* fleet = devsdk::EmbeddedFleet();
    list->StopSearch(1);
    ASSERT_TRUE(WaitUntil([&] { return !list->IsSearching(); }));
    ASSERT_TRUE(list->StartSearch(SF_SEARCH_BROADCAST, 0, ""));
    ASSERT_TRUE(WaitUntil([&] { return list->GetDeviceList().size() == fleet->Size(); }, 30000));

    CSFListCtrl* rows = page->GetListCtrl();
    int ticked = 0;
    for (int row = 0; row < rows->GetItemCount(); ++row) {
        const DevicePtr& d = list->GetDeviceList()[page->FindDeviceIndex(row)];
        const bool tick = ticked < 3 && !IsUninitializedStatus(d->stNetInfo.byInitState);
        rows->SetCheck(row, tick ? 1 : 0);
        ticked += tick ? 1 : 0;
    }
    auto dlg = page->GetModifyIPFileDlg();
    QTimer::singleShot(0, [&] {
        int a, b, c;
        std::sscanf(prefix.c_str(), "%d.%d.%d.", &a, &b, &c);
        dlg->GetAddressField()->SetAddress(BYTE(a), BYTE(b), BYTE(c), 200);
        dlg->GetMaskField()->SetAddress(255, 255, 255, 0);
        dlg->GetGatewayField()->SetAddress(BYTE(a), BYTE(b), BYTE(c), 1);
        dlg->OnBtnOK();
    });
    page->OnBatchModifyIP();
    ASSERT_EQ(logic->Records().size(), 3u);
    EXPECT_FALSE(list->IsBroadcasting() && list->IsSearching()) << "the search was asked to stop";
    ASSERT_TRUE(WaitUntil([&] { return !logic->IsModifying(); }, 60000));
    for (size_t n = 0; n < 3; ++n) {
        const MODIFYIP_INFO& r = *logic->Records()[n];
        EXPECT_EQ(r.bBroadcast, 1);
        EXPECT_EQ(r.bSucceeded, 1) << r.strMac;
        EXPECT_EQ(rows->GetItemData(r.nRow, 0), 0u);
        EXPECT_EQ(r.strNewIp, prefix + std::to_string(200 + n));
        bool moved = false;
        for (size_t i = 0; i < fleet->Size(); ++i)
            if (fleet->StateOf(i).mac == r.strMac)
                moved = WaitUntil([&] { return fleet->StateOf(i).ip == r.strNewIp && fleet->Online(i); });
        EXPECT_TRUE(moved) << r.strMac;
    }
}
