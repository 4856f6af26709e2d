// A batch change through the device page, the dialog and the SDK against forty emulated devices
// served by a separate devsim process: five devices at a time, consecutive addresses, devices
// that really move, and a result per row.
#include <gtest/gtest.h>

#include <QTimer>

#include <algorithm>
#include <map>

#include "IpTestSupport.h"
#include "ShellTestSupport.h"

#include "Common/AppSettings.h"
#include "Common/DevClass.h"
#include "Common/Translate.h"
#include "IPConfig/CModifyIPFileDlg.h"
#include "IPConfig/CModifyIPUILogic.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CSearchDevEventImp.h"
#include "Widgets/SFIPAddressCtrl.h"
#include "Widgets/SFListCtrl.h"
#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "devsim/Fleet.h"

using shelltest::WaitUntil;

namespace {

std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

void Put(CSFIPAddressCtrl* field, const std::string& text)
{
    int a, b, c, d;
    std::sscanf(text.c_str(), "%d.%d.%d.%d", &a, &b, &c, &d);
    field->SetAddress(BYTE(a), BYTE(b), BYTE(c), BYTE(d));
}

// Devices of the batch that are with the worker (dispatched, not finished).
int AtWorker(const CModifyIPUILogic& logic)
{
    int n = 0;
    for (int i = 0; i <= logic.GetCursor() && i < static_cast<int>(logic.Records().size()); ++i)
        n += (logic.Records()[i]->bInitialized && logic.Records()[i]->bFinished == 0) ? 1 : 0;
    return n;
}

} // namespace

TEST(FleetBatch, TwentyDevicesMoveToConsecutiveAddressesFiveAtATime)
{
    const std::string prefix = iptest::TestPrefix(60);
    std::vector<devsim::DeviceState> devices = devsim::MakeMixedFleet(40, prefix + "2", 15);
    // Scripted failures: a device that refuses configuration writes, a busy one that refuses
    // logins, and one that never answers the configuration read.
    devices[3].failOps[14] = SDK_SET_NETCFG_FAILED;
    devices[7].busy = true;
    devices[8].hangOps.insert(13);
    const std::map<std::string, DWORD> scripted = {{devices[3].mac, SDK_SET_NETCFG_FAILED},
                                                   {devices[7].mac, SDK_LOGIN_ERROR_BUSY},
                                                   {devices[8].mac, SDK_NETWORK_ERROR}};
    iptest::ExternalFleet fleet;
    ASSERT_TRUE(fleet.Start(devices, 5050));

    shelltest::EnsureEnvironment();
    devsdk::SimOptions sim;
    sim.embedded = false;
    sim.fleets = {fleet.File()};
    sim.localIp = prefix + "1";
    devsdk::SetSimOptions(sim);
    auto frame = shelltest::MakeMainWindow();
    CAppSettings::User = L"admin";
    CAppSettings::Password = L"admin123";
    auto page = frame->GetSearchDevPage();
    auto list = frame->GetDeviceListUILogic();
    auto logic = page->GetModifyIPUILogic();
    CSFListCtrl* rows = page->GetListCtrl();

    ASSERT_TRUE(list->StartSearch(SF_SEARCH_BYIP, 40, prefix + "2"));
    ASSERT_TRUE(WaitUntil([&] { return list->GetDeviceList().size() == 40 && !list->IsSearching(); }, 60000));
    ASSERT_EQ(rows->GetItemCount(), 40);

    // The rows of the first twenty devices of the fleet.
    int ticked = 0;
    for (int row = 0; row < rows->GetItemCount(); ++row) {
        const int index = page->FindDeviceIndex(row);
        ASSERT_GE(index, 0);
        const std::string mac = Field(list->GetDeviceList()[index]->stNetInfo.szMacAddr, 40);
        const bool tick = std::any_of(devices.begin(), devices.begin() + 20,
                                      [&](const devsim::DeviceState& d) { return d.mac == mac; });
        rows->SetCheck(row, tick ? 1 : 0);
        ticked += tick ? 1 : 0;
    }
    ASSERT_EQ(ticked, 20);
    auto dlg = page->GetModifyIPFileDlg();
    QTimer::singleShot(0, [&] {
        Put(dlg->GetAddressField(), prefix + "100");
        Put(dlg->GetMaskField(), "255.255.255.0");
        Put(dlg->GetGatewayField(), prefix + "1");
        dlg->GetSameIpBox()->SetCheck(0);
        dlg->OnBtnOK();
    });
    int most = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { most = std::max(most, AtWorker(*logic)); });
    watch.start(1);
    page->OnBatchModifyIP();
    ASSERT_EQ(logic->Records().size(), 20u);
    EXPECT_EQ(AtWorker(*logic), 5) << "five devices go to the worker at once";
    most = std::max(most, AtWorker(*logic));
    ASSERT_TRUE(WaitUntil([&] { return !logic->IsModifying(); }, 120000));
    watch.stop();
    EXPECT_EQ(most, 5);

    // Each row holds its outcome; a failure never reads "Success".
    int moved = 0;
    for (size_t n = 0; n < logic->Records().size(); ++n) {
        const MODIFYIP_INFO& r = *logic->Records()[n];
        SCOPED_TRACE(r.strMac);
        EXPECT_EQ(r.strNewIp, prefix + std::to_string(100 + n));
        EXPECT_EQ(r.bFinished, 1);
        const DWORD code = rows->GetItemData(r.nRow, 0);
        const devsim::DeviceState* state = nullptr;
        for (const auto& d : devices)
            if (d.mac == r.strMac)
                state = &d;
        ASSERT_NE(state, nullptr);
        if (state->initState == 1) {
            EXPECT_EQ(code, 102u);
            EXPECT_EQ(GetSdkErrorText(code), L"Not initialized");
        } else if (scripted.count(r.strMac)) {
            EXPECT_EQ(code, scripted.at(r.strMac));
            EXPECT_NE(GetSdkErrorText(code), L"Success");
        } else {
            EXPECT_EQ(code, 0u);
            EXPECT_EQ(r.bSucceeded, 1);
            ++moved;
        }
    }
    EXPECT_GE(moved, 12);

    // The result button of a row shows the outcome in the result details.
    for (const auto& r : logic->Records()) {
        iptest::ModalReader reader;
        ASSERT_TRUE(iptest::ClickCellButton(rows, r->nRow, 5));
        ASSERT_TRUE(WaitUntil([&] { return !reader.Texts().empty(); }));
        const std::wstring shown = reader.Texts()[0];
        const std::wstring expected = r->bSucceeded ? std::wstring(Tr(L"Success"))
                                                    : GetSdkErrorText(rows->GetItemData(r->nRow, 0));
        EXPECT_NE(shown.find(expected), std::wstring::npos) << r->strMac;
        if (!r->bSucceeded) {
            EXPECT_EQ(shown.find(L"Success"), std::wstring::npos) << r->strMac;
        }
    }

    // The moved devices answer at their new addresses, and a new search lists them there.
    for (const auto& r : logic->Records()) {
        if (!r->bSucceeded)
            continue;
        LONG handle = 0;
        ASSERT_TRUE(WaitUntil([&] {
            SDK_LOGIN_DEVICE_INFO info{};
            int err = 0;
            handle = SdkLogin(r->strNewIp.c_str(), 37777, "admin", "admin123", &info, &err);
            return handle != 0;
        }, 20000)) << r->strNewIp;
        SdkLogout(handle);
    }
    ASSERT_TRUE(list->StartSearch(SF_SEARCH_BYIP, 130, prefix + "2"));
    ASSERT_TRUE(WaitUntil([&] { return !list->IsSearching() && list->GetDeviceList().size() == 40; }, 60000));
    for (const auto& r : logic->Records()) {
        const auto& all = list->GetDeviceList();
        auto it = std::find_if(all.begin(), all.end(), [&](const DevicePtr& d) {
            return Field(d->stNetInfo.szMacAddr, 40) == r->strMac;
        });
        ASSERT_NE(it, all.end()) << r->strMac;
        EXPECT_EQ(Field((*it)->stNetInfo.szIpAddr, 64), r->bSucceeded ? r->strNewIp : r->strIp) << r->strMac;
    }
}
