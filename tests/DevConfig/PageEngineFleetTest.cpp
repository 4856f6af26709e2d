// The real page over the configuration logic, the SDK and an emulated device: every picture
// change ends its saving state, and the initial-password change keeps to what the device holds.
#include "TreeDevice.h"
#include "FleetFixture.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <cstring>

#include "../DevConfigDlg/ModalSteps.h"
#include "Common/StrHelpers.h"
#include "SysConfig/CModifyPasswordDlg.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "DevConfig/DevConfigPagePeers.h"
#include "DevConfig/DevConfigRequests.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFStatic.h"
#include "BoxRecorder.h"

using namespace devconfigtest;

namespace {

class PageEngineFleet : public FleetFixture {
protected:
    void SetUp() override
    {
        SFSetSkinPath((QCoreApplication::applicationDirPath() + QStringLiteral("/Skin/")).toStdWString().c_str());
        StartSdk(55);
        ui->SetVideoWindow(nullptr);
        devPage = CDevConfigEventImp::CreateStandalone(nullptr, CreateLoginUILogicRequests(ui));
        ui->SetPeers(CreateDevConfigPagePeers(devPage, {}));
        win = devPage->GetCodeVideoCfgPage();
        ui->SetVideoWindow(win->GetVideoWindow());
    }
    void TearDown() override
    {
        ui->LogoutDev();
        WaitUntil([] { return false; }, 300);
        devPage.reset();
        win.reset();
        ui.reset();
        FleetFixture::TearDown();
    }

    void AddToTree(const devsim::DeviceState& s, const char* password)
    {
        devPage->AddDeviceToTree(devconfigtest::TreeDevice(s.ip, s.mac, s.type, password), false, 0);
        devPage->SelectDevice(0);
    }

    std::shared_ptr<CDevConfigEventImp> devPage;
    std::shared_ptr<CCodeVideoCfgEventImp> win;
};

TEST_F(PageEngineFleet, ColourStyleChangeEndsItsSaveAndLandsOnTheDevice)
{
    BoxRecorder boxes;
    const size_t dev = DeviceOf("IPC");
    const devsim::DeviceState s = fleet->StateOf(dev);
    AddToTree(s, "admin123");
    devPage->LoginSelectedDevice();
    ASSERT_TRUE(WaitUntil([&] { return !devPage->IsLoggingIn() && devPage->m_nPendingQuery == 0; }));
    win->RADIO_OnClicked(1, 1019, POINT{}); // IMAGE tab
    ASSERT_TRUE(WaitUntil([&] { return win->IsVideoEffectLoaded() != 0 && !win->IsSaving(); }));

    // "Soft", then "Bright": each is written, and the second is not refused.
    for (int id : {1055, 1054}) {
        win->Radio(id)->SetCheck(1);
        win->RADIO_OnClicked(1, id, POINT{});
        ASSERT_TRUE(WaitUntil([&] { return !win->IsSaving(); })) << "the style save " << id << " never ended";
    }
    EXPECT_FALSE(boxes.Has(L"Setting,please wait..."));
    EXPECT_FALSE(boxes.Has(L"Failed to save."));
    Json::Value color;
    fleet->With(dev, [&](devsim::DeviceModel& m) { color = m.Table("VideoColor")[0]; });
    EXPECT_EQ(color.toStyledString().find("\"Style\" : 3") != std::string::npos, true) << color.toStyledString();
}

TEST_F(PageEngineFleet, InitialPasswordTooLongForTheDeviceIsAskedForAgain)
{
    const size_t dev = DeviceOf("IPC");
    fleet->With(dev, [](devsim::DeviceModel& m) { m.State().users[0].password = "korvu"; });
    AddToTree(fleet->StateOf(dev), "korvu");
    std::shared_ptr<CModifyPasswordDlg> pwd = devPage->GetPasswordDlg();
    ASSERT_NE(pwd, nullptr);
    auto fill = [&](const wchar_t* next) {
        pwd->OldEdit()->SetWindowTextW(L"korvu");
        pwd->Passwords().newEdit->SetWindowTextW(next);
        pwd->Passwords().confirmEdit->SetWindowTextW(next);
    };
    std::vector<std::wstring> seen;
    dlgtest::ModalSteps steps;
    steps.Add([&](QWidget* box) { dlgtest::ButtonWithText(box, "OK")->click(); });
    steps.Add([&](QWidget* dialog) {
        fill(L"Vantyx#2024-long"); // 16 bytes: valid for the dialog, too long for the device
        dlgtest::ButtonWithText(dialog, "OK")->click();
    });
    steps.Add([&](QWidget* box) {
        seen.push_back(dlgtest::DialogText(box));
        static_cast<QDialog*>(box)->done(1);
    });
    steps.Add([&](QWidget* dialog) {
        fill(L"Vantyx#2024");
        dlgtest::ButtonWithText(dialog, "OK")->click();
    });
    devPage->LoginSelectedDevice();
    ASSERT_TRUE(WaitUntil([&] { return steps.Left() == 0; }, 30000));
    ASSERT_TRUE(WaitUntil([&] { return !devPage->IsLoggingIn() && devPage->m_nPendingQuery == 0; }));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], L"This device keeps passwords of at most 15 bytes.");
    EXPECT_TRUE(steps.unexpected.empty());
    std::string kept;
    fleet->With(dev, [&](devsim::DeviceModel& m) { kept = m.State().users[0].password; });
    EXPECT_EQ(kept, "Vantyx#2024");
    EXPECT_TRUE(win->AllFlagsSet()) << "the login went on with the device information";
}

} // namespace
