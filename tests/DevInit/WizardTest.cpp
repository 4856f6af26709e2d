// The initialisation wizard end to end: the device page's "Activate", the four pages as a user
// goes through them, the jobs on the device loop, the emulated devices and the device list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

#include "IpTestSupport.h"
#include "ShellTestSupport.h"

#include "Common/AppSettings.h"
#include "Common/DevClass.h"
#include "DevInit/CDevInitUILogic.h"
#include "DevInit/CInitDevCloudEventImp.h"
#include "DevInit/CInitDevEventImp.h"
#include "DevInit/CInitDevResultEventImp.h"
#include "DevInit/CSearchDevUninitEventImp.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/DeviceListPeers.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFStatic.h"
#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "devsim/Fleet.h"

using shelltest::WaitUntil;

namespace {

std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

std::wstring Text(CSFStatic* label)
{
    wchar_t buf[256] = {};
    label->GetStaticText(buf, 256);
    return buf;
}

void Type(CSFEditCtrl* edit, const char* text)
{
    auto* w = dynamic_cast<QWidget*>(edit);
    edit->SetWindowTextW(L"");
    QTest::keyClicks(w, QString::fromUtf8(text));
}

QWidget* Widget(CSFDialog* dialog) { return dynamic_cast<QWidget*>(dialog); }

// The program with the embedded fleet on addresses of the test's own, after a broadcast search.
class Wizard : public ::testing::Test {
protected:
    void SetUp() override
    {
        prefix = iptest::TestPrefix(61);
        shelltest::EnsureEnvironment();
        devsdk::SimOptions sim;
        sim.embedded = true;
        sim.embeddedFirst = prefix + "2";
        sim.localIp = prefix + "1";
        devsdk::SetSimOptions(sim);
        frame = shelltest::MakeMainWindow();
        page = frame->GetSearchDevPage();
        list = frame->GetDeviceListUILogic();
        fleet = devsdk::EmbeddedFleet();
        ASSERT_NE(fleet, nullptr);
        for (size_t i = 0; i < fleet->Size(); ++i)
            if (fleet->StateOf(i).initState == 1)
                uninit.push_back(i);
        ASSERT_EQ(uninit.size(), 3u);
        // The program makes the wizard with its first use.
        page->GetPeers()->DevInit_Reset();
        ASSERT_NE(list->GetDevInitUILogic(), nullptr);
        // Every new device here wants an e-mail contact and offers P/N.
        for (size_t i : uninit)
            fleet->With(i, [](devsim::DeviceModel& m) {
                m.State().resetWay = 0;
                m.State().pnOffer = 2;
            });
    }

    void Search()
    {
        CAppSettings::LocalIp = std::wstring(prefix.begin(), prefix.end()) + L"1";
        list->StopSearch(1);
        ASSERT_TRUE(WaitUntil([&] { return !list->IsSearching(); }));
        ASSERT_TRUE(list->StartSearch(SF_SEARCH_BROADCAST, 0, ""));
        ASSERT_TRUE(WaitUntil([&] { return list->GetDeviceList().size() == fleet->Size(); }, 30000));
    }

    // Ticks the rows of the uninitialised devices (and one initialised device, which is skipped).
    void TickUninitialised()
    {
        CSFListCtrl* rows = page->GetListCtrl();
        int initialisedTicked = 0;
        for (int row = 0; row < rows->GetItemCount(); ++row) {
            const int index = page->FindDeviceIndex(row);
            ASSERT_GE(index, 0);
            const bool isNew = IsUninitializedStatus(list->GetDeviceList()[index]->stNetInfo.byInitState);
            const bool tick = isNew || initialisedTicked++ == 0;
            rows->SetCheck(row, tick ? 1 : 0);
        }
    }

    // Reads message boxes and result details; leaves the wizard's own pages alone.
    std::shared_ptr<iptest::ModalReader> Reader()
    {
        auto reader = std::make_shared<iptest::ModalReader>();
        auto c = list->GetDevInitUILogic();
        for (CSFDialog* d : {c->GetUninitPage()->GetDialog(), c->GetPasswordPage()->GetDialog(),
                             c->GetCloudPage()->GetDialog(), c->GetResultPage()->GetDialog()})
            reader->Skip(Widget(d));
        return reader;
    }

    std::string MacOf(size_t fleetIndex) { return fleet->StateOf(fleetIndex).mac; }

    bool ListedInitialised(const std::string& mac)
    {
        for (const DevicePtr& d : list->GetDeviceList())
            if (Field(d->stNetInfo.szMacAddr, 40) == mac)
                return !IsUninitializedStatus(d->stNetInfo.byInitState);
        return false;
    }

    // Runs "Activate" while `step` answers each modal window: the wizard pages by the page
    // they are, every other window (message boxes, result details) is read and closed.
    void Activate(const std::function<void(int pageNo)>& step)
    {
        int busy = 0;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            auto coordinator = list->GetDevInitUILogic();
            if (!modal || !coordinator || busy)
                return;
            const QWidget* pages[4] = {Widget(coordinator->GetUninitPage()->GetDialog()),
                                       Widget(coordinator->GetPasswordPage()->GetDialog()),
                                       Widget(coordinator->GetCloudPage()->GetDialog()),
                                       Widget(coordinator->GetResultPage()->GetDialog())};
            static const char* const names[4] = {"wizard-devices", "wizard-password", "wizard-cloud", "wizard-result"};
            for (int p = 0; p < 4; ++p)
                if (modal == pages[p]) {
                    iptest::Shot("VX_DEVINIT_SHOTS", modal, names[p]);
                    ++busy;
                    step(p);
                    --busy;
                    return;
                }
        });
        driver.start(10);
        page->OnActivate();
        driver.stop();
    }

    std::string prefix;
    std::shared_ptr<CMainFrameEventImp> frame;
    std::shared_ptr<CSearchDevEventImp> page;
    std::shared_ptr<CDeviceListUILogic> list;
    devsim::Fleet* fleet = nullptr;
    std::vector<size_t> uninit;
};

} // namespace

TEST_F(Wizard, InitialisesThreeDevicesWithTheirPasswordContactAndOptions)
{
    Search();
    TickUninitialised();
    auto boxes = Reader();
    std::vector<std::wstring> refusals;
    int seen[4] = {};
    int reversedWhileRunning = 0;
    Activate([&](int p) {
        auto coordinator = list->GetDevInitUILogic();
        ++seen[p];
        if (p == 0) {
            auto first = coordinator->GetUninitPage();
            EXPECT_EQ(Text(first->GetCountLabel()), L"3");
            first->OnBtnInitialize();
        } else if (p == 1) {
            auto pwd = coordinator->GetPasswordPage();
            const size_t before = boxes->Texts().size();
            // Letters only break the rule; the page stays open with its message.
            Type(pwd->GetPasswordEdit(), "abcdefgh");
            Type(pwd->GetConfirmEdit(), "abcdefgh");
            pwd->OnBtnNext();
            // A forbidden character disappears as it is typed and shows the marker.
            Type(pwd->GetPasswordEdit(), "Vx-2024ok;");
            EXPECT_TRUE(dynamic_cast<QWidget*>(pwd->GetPasswordMarker())->isVisibleTo(Widget(pwd->GetDialog())));
            Type(pwd->GetPasswordEdit(), "Vx-2024ok!");
            EXPECT_FALSE(dynamic_cast<QWidget*>(pwd->GetPasswordMarker())->isVisibleTo(Widget(pwd->GetDialog())));
            EXPECT_EQ(pwd->GetShownStrength(), 3);
            Type(pwd->GetConfirmEdit(), "Vx-2024ok!");
            pwd->GetContactEdit()->SetWindowTextW(L"ops@example.com");
            pwd->GetStandardCombo()->SetCurSel(1);
            const auto texts = boxes->Texts();
            refusals.assign(texts.begin() + before, texts.end());
            pwd->OnBtnNext();
        } else if (p == 2) {
            auto cloud = coordinator->GetCloudPage();
            EXPECT_EQ(cloud->GetCloudToggle()->GetCheck(), 1);
            EXPECT_EQ(cloud->GetAutoCheckToggle()->GetCheck(), 1);
            cloud->GetAutoCheckToggle()->SetCheck(0);
            // The device list is rebuilt in a new order while the jobs run.
            std::reverse(list->GetDeviceList().begin(), list->GetDeviceList().end());
            cloud->OnBtnOK();
        } else if (p == 3) {
            auto result = coordinator->GetResultPage();
            if (result->GetFinished() < result->GetTotal()) {
                // Rebuilt again while the jobs run.
                if (!reversedWhileRunning++)
                    std::reverse(list->GetDeviceList().begin(), list->GetDeviceList().end());
                return;
            }
            EXPECT_EQ(result->GetSucceeded(), 3);
            EXPECT_EQ(Text(result->GetCountLabel()), L"3");
            EXPECT_FALSE(dynamic_cast<QWidget*>(result->GetBusyLabel())->isVisibleTo(Widget(result->GetDialog())));
            EXPECT_EQ(result->GetProgress()->GetPos(), 100);
            result->OnDlgKeyDown(0, 13);
        }
    });
    EXPECT_EQ(refusals, std::vector<std::wstring>{L"Password input error."});
    EXPECT_EQ(seen[0], 1);
    EXPECT_EQ(seen[1], 1);
    EXPECT_EQ(seen[2], 1);
    EXPECT_GE(seen[3], 1);

    for (size_t i : uninit) {
        const devsim::DeviceState s = fleet->StateOf(i);
        SCOPED_TRACE(s.mac);
        EXPECT_EQ(s.initState, 2);
        EXPECT_EQ(s.reservedMail, "ops@example.com");
        EXPECT_EQ(s.videoStandard, 1) << "N";
        EXPECT_EQ(s.tables["CloudOptions"]["Access"].asInt(), 2);
        EXPECT_EQ(s.tables["CloudOptions"]["AutoCheck"].asInt(), 1);
        // The device list shows it initialised, whatever its new place in the list, and so does
        // its row on the device page.
        EXPECT_TRUE(ListedInitialised(s.mac));
        CSFListCtrl* rows = page->GetListCtrl();
        bool rowShown = false;
        for (int row = 0; row < rows->GetItemCount(); ++row) {
            wchar_t mac[64] = {}, state[64] = {};
            rows->GetItemText(row, 6, mac, 63);
            rows->GetItemText(row, 2, state, 63);
            if (QString::fromWCharArray(mac).toStdString() == s.mac) {
                rowShown = true;
                EXPECT_STREQ(state, L"Initialized");
            }
        }
        EXPECT_TRUE(rowShown);
        SDK_LOGIN_DEVICE_INFO info{};
        int err = 0;
        const LONG handle = SdkLogin(s.ip.c_str(), s.port, "admin", "Vx-2024ok!", &info, &err);
        EXPECT_NE(handle, 0);
        SdkLogout(handle);
    }
}

TEST_F(Wizard, CancelOnAnyPageInitialisesNothing)
{
    Search();
    for (int cancelAt = 0; cancelAt < 3; ++cancelAt) {
        SCOPED_TRACE(cancelAt);
        TickUninitialised();
        auto boxes = Reader();
        Activate([&](int p) {
            auto coordinator = list->GetDevInitUILogic();
            CSFDialog* dialogs[3] = {coordinator->GetUninitPage()->GetDialog(),
                                     coordinator->GetPasswordPage()->GetDialog(),
                                     coordinator->GetCloudPage()->GetDialog()};
            if (p == cancelAt) {
                // Escape leaves every page open; the close button ends the wizard.
                dialogs[p]->MFCCancel();
                return;
            }
            if (p == 0) {
                coordinator->GetUninitPage()->OnDlgKeyDown(0, 27);
                EXPECT_TRUE(Widget(dialogs[0])->isVisible());
                coordinator->GetUninitPage()->OnBtnInitialize();
            } else if (p == 1) {
                auto pwd = coordinator->GetPasswordPage();
                Type(pwd->GetPasswordEdit(), "Abcd1234");
                Type(pwd->GetConfirmEdit(), "Abcd1234");
                pwd->GetContactEdit()->SetWindowTextW(L"a@example.com");
                pwd->OnBtnNext();
            }
        });
        EXPECT_TRUE(boxes->Texts().empty());
        for (size_t i : uninit) {
            EXPECT_EQ(fleet->StateOf(i).initState, 1);
            EXPECT_FALSE(ListedInitialised(MacOf(i)));
        }
    }
}

TEST_F(Wizard, ResultPageShowsEachOutcomeAndNeverSuccessForAFailure)
{
    // First device: normal. Second: refuses the account step. Third: takes the account but
    // refuses the options.
    fleet->With(uninit[1], [](devsim::DeviceModel& m) { m.State().failOps[20] = SDK_NEW_PASSWORD_FORMAT_ERROR; });
    fleet->With(uninit[2], [](devsim::DeviceModel& m) { m.State().failOps[21] = SDK_ERROR; });
    Search();
    TickUninitialised();
    auto boxes = Reader();
    std::vector<std::wstring> details;
    Activate([&](int p) {
        auto coordinator = list->GetDevInitUILogic();
        if (p == 0) {
            coordinator->GetUninitPage()->OnBtnInitialize();
        } else if (p == 1) {
            auto pwd = coordinator->GetPasswordPage();
            Type(pwd->GetPasswordEdit(), "Abcd1234");
            Type(pwd->GetConfirmEdit(), "Abcd1234");
            pwd->GetContactEdit()->SetWindowTextW(L"a@example.com");
            pwd->OnBtnNext();
        } else if (p == 2) {
            coordinator->GetCloudPage()->OnBtnOK();
        } else if (p == 3) {
            auto result = coordinator->GetResultPage();
            if (result->GetFinished() < result->GetTotal()) {
                // Finish waits for the last device.
                result->OnBtnFinish();
                return;
            }
            EXPECT_EQ(result->GetSucceeded(), 1);
            CSFListCtrl* rows = result->GetListCtrl();
            for (int row = 0; row < rows->GetItemCount(); ++row) {
                const size_t before = boxes->Texts().size();
                ASSERT_TRUE(iptest::ClickCellButton(rows, row, 1));
                ASSERT_TRUE(WaitUntil([&] { return boxes->Texts().size() > before; }));
                details.push_back(boxes->Texts().back());
            }
            result->OnBtnFinish();
        }
    });
    ASSERT_EQ(details.size(), 3u);
    std::map<std::string, std::wstring> byMac;
    auto coordinator = list->GetDevInitUILogic();
    CSFListCtrl* rows = coordinator->GetResultPage()->GetListCtrl();
    for (int row = 0; row < 3; ++row) {
        wchar_t mac[64] = {};
        rows->GetItemText(row, 5, mac, 63);
        byMac[QString::fromWCharArray(mac).toStdString()] = details[row];
    }
    auto has = [](const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; };
    EXPECT_TRUE(has(byMac[MacOf(uninit[0])], L"Success"));
    EXPECT_TRUE(has(byMac[MacOf(uninit[1])], L"New password format incorrect"));
    EXPECT_FALSE(has(byMac[MacOf(uninit[1])], L"Success"));
    EXPECT_TRUE(has(byMac[MacOf(uninit[2])], L"Acount has been initialized succeed, but the cloud settings failed"));
    // "Finish" before the end said so.
    const auto texts = boxes->Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Activating, please wait..."), texts.end());
    // The account step alone marks a device initialised.
    EXPECT_TRUE(ListedInitialised(MacOf(uninit[0])));
    EXPECT_FALSE(ListedInitialised(MacOf(uninit[1])));
    EXPECT_TRUE(ListedInitialised(MacOf(uninit[2])));
}
