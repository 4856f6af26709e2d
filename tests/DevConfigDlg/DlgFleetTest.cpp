// Against the embedded fleet through the real configuration logic, SDK, emulated devices and
// player: focus reports of a live device reach the focus assistant and stop when it closes; a
// login with the initial password goes through the notice and the password dialog, the device
// takes the new password and a new login with it works. Screenshots go to VX_SCREENSHOT_DIR.
#include <gtest/gtest.h>

#include <cstring>

#include "../DevConfig/PageFleetFixture.h"
#include "../DevConfig/TreeDevice.h"
#include "DevConfig/CVideoInfocus.h"
#include "DevConfig/DevConfigDefs.h"
#include "ModalSteps.h"
#include "SysConfig/CModifyPasswordDlg.h"
#include "Widgets/CSFQTVideoInFocus.h"

using namespace dlgtest;
using devconfig::kInitialPassword;

namespace {

// The page's peers, counting the focus reports that reach the window.
class CountingPeers : public IDevConfigPeers {
public:
    explicit CountingPeers(std::shared_ptr<IDevConfigPeers> inner) : m(std::move(inner)) {}
    void Page_ShowStartPanel(bool s) override { m->Page_ShowStartPanel(s); }
    void Page_ShowLoadingAnimation(bool s) override { m->Page_ShowLoadingAnimation(s); }
    void Page_ShowLoginError(bool s, int c) override { m->Page_ShowLoginError(s, c); }
    void Page_ShowTabButtons(bool s) override { m->Page_ShowTabButtons(s); }
    void Page_ShowEncodeTab(bool s) override { m->Page_ShowEncodeTab(s); }
    void Page_ShowImageTab(bool s) override { m->Page_ShowImageTab(s); }
    void Page_ShowFileManageTab(bool s) override { m->Page_ShowFileManageTab(s); }
    bool Page_ShowInitPasswordNotice(bool e) override { return m->Page_ShowInitPasswordNotice(e); }
    void Page_SetLoggingIn(int on) override { m->Page_SetLoggingIn(on); }
    void Page_AddPendingQuery(int d) override { m->Page_AddPendingQuery(d); }
    int View_CurrentTab() override { return m->View_CurrentTab(); }
    void View_SetDeviceAccount(const std::string& u, const std::string& p) override { m->View_SetDeviceAccount(u, p); }
    void View_SetPlayHandle(long h) override { m->View_SetPlayHandle(h); }
    void View_EnableEasyFocusButton(bool e) override
    {
        focusAnswers += e ? 1 : 0;
        m->View_EnableEasyFocusButton(e);
    }
    void View_UpdateFocusStatus(int v) override
    {
        ++reports;
        m->View_UpdateFocusStatus(v);
    }
    void View_SetEncodeInfoFlag(bool f) override { m->View_SetEncodeInfoFlag(f); }
    void View_ApplyMainAbility(int c, bool r) override { m->View_ApplyMainAbility(c, r); }
    void View_ApplySubAbility(const Json::Value& v) override { m->View_ApplySubAbility(v); }
    int View_OnGetVideoEffect(std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> a, std::shared_ptr<AV_CFG_ChannelVideoColor> b,
                              std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> c,
                              std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> d, std::shared_ptr<AV_CFG_ChannelName> e,
                              int ok, int profile) override
    {
        return m->View_OnGetVideoEffect(a, b, c, d, e, ok, profile);
    }
    void View_StartPreview(int ok) override { m->View_StartPreview(ok); }
    void View_ClearSaving() override { m->View_ClearSaving(); }
    void View_OnSaveEffectResult(int ok) override { m->View_OnSaveEffectResult(ok); }
    void View_OnSaveChannelNameResult(int ok) override { m->View_OnSaveChannelNameResult(ok); }
    void View_OnSaveResult(int ok) override { m->View_OnSaveResult(ok); }
    void View_OnGetConfigFileInfo(std::shared_ptr<tagNET_VIDEOIN_SWITCH_MODE_INFO> r, int ok) override
    {
        m->View_OnGetConfigFileInfo(r, ok);
    }
    void View_OnSaveConfigFileResult(int ok) override { m->View_OnSaveConfigFileResult(ok); }
    void View_OnGetWaterMark(const __ZRDEV_WATERMAKE_CFG& w, int c) override { m->View_OnGetWaterMark(w, c); }
    void View_OnGetMainSVCLayer(const tagNET_OUT_VIDEO_ENCODE_CAPS& c, int n) override { m->View_OnGetMainSVCLayer(c, n); }
    void View_OnGetSubSVCLayer(const tagNET_OUT_VIDEO_ENCODE_CAPS& c, int n) override { m->View_OnGetSubSVCLayer(c, n); }
    void View_EncodeResult(const char* s, const Json::Value& v, int x, bool f) override { m->View_EncodeResult(s, v, x, f); }
    void View_FillAudioEncodeComboEx(std::shared_ptr<ZRDEV_TALKFORMAT_LIST> r) override
    {
        m->View_FillAudioEncodeComboEx(r);
    }
    void Main_OnModuleStopped(int module) override { m->Main_OnModuleStopped(module); }

    std::shared_ptr<IDevConfigPeers> m;
    int reports = 0;
    int focusAnswers = 0;
};

class DlgFleet : public devconfigtest::PageFleetFixture {
protected:
    void SetUp() override
    {
        OpenPage("127.61.1.2", "127.61.1.1", [this](std::shared_ptr<IDevConfigPeers> inner) {
            peers = std::make_shared<CountingPeers>(std::move(inner));
            return peers;
        });
    }

    void AddDevice(size_t dev, const char* password)
    {
        const devsim::DeviceState s = fleet->StateOf(dev);
        page->AddDeviceToTree(devconfigtest::TreeDevice(s.ip, s.mac, s.type, password), false, 0);
        page->SelectDevice(0);
    }

    bool Settled() { return !page->IsLoggingIn() && win->AllFlagsSet() && page->m_nPendingQuery == 0; }

    std::string AdminPassword(size_t dev)
    {
        for (const devsim::User& u : fleet->StateOf(dev).users)
            if (u.name == "admin")
                return u.password;
        return {};
    }

    std::shared_ptr<CountingPeers> peers;
};

TEST_F(DlgFleet, FocusReportsOfTheLiveDeviceReachTheAssistantUntilItCloses)
{
    ModalSteps steps;
    AddDevice(DeviceOf("IPC"), "admin123");
    page->LoginSelectedDevice();
    ASSERT_TRUE(WaitUntil([&] { return Settled(); }));
    win->RADIO_OnClicked(1, 1019, POINT{});
    ASSERT_TRUE(WaitUntil([&] { return win->IsVideoEffectLoaded() && peers->focusAnswers > 0; }));
    QWidget* easyFocus = W(win->Button(1041));
    ASSERT_TRUE(easyFocus->isEnabled());

    std::shared_ptr<CVideoInfocus> focus = win->GetFocusDialog();
    auto* graph = dynamic_cast<CSFQTVideoInFocus*>(focus->Graph());
    ASSERT_NE(graph, nullptr);
    int reportsAtClose = 0;
    steps.Add([&](QWidget* dialog) {
        const int before = peers->reports;
        EXPECT_TRUE(WaitUntil([&] { return peers->reports >= before + 3; }));
        EXPECT_TRUE(graph->Values().empty()) << "reports before Sample are not recorded";
        static_cast<QAbstractButton*>(W(focus->Button(1110)))->click();
        EXPECT_TRUE(WaitUntil([&] { return graph->Values().size() >= 20; }));
        for (int32_t v : graph->Values())
            EXPECT_GE(v, 200);
        SaveShot(dialog, "focus-fleet-sampling");
        static_cast<QAbstractButton*>(W(focus->Button(1109)))->click();
        const size_t recorded = graph->Values().size();
        EXPECT_TRUE(WaitUntil([&] { return graph->Current() >= 200; }));
        EXPECT_EQ(graph->Values().size(), recorded);
        SaveShot(dialog, "focus-fleet-adjusting");
        static_cast<QAbstractButton*>(W(focus->Button(502)))->click();
        reportsAtClose = peers->reports;
    });
    static_cast<QAbstractButton*>(easyFocus)->click();
    EXPECT_EQ(steps.Left(), 0u);
    // Closing switched the reports off: none arrive while the picture keeps playing.
    WaitUntil([] { return false; }, 600);
    EXPECT_LE(peers->reports, reportsAtClose + 1);
    EXPECT_TRUE(steps.unexpected.empty()) << QString::fromStdWString(steps.unexpected[0]).toStdString();
}

TEST_F(DlgFleet, FullScreenShowsTheMovingPictureOverTheScreenAndComesBack)
{
    ModalSteps steps;
    AddDevice(DeviceOf("IPC"), "admin123");
    page->LoginSelectedDevice();
    ASSERT_TRUE(WaitUntil([&] { return Settled(); }));
    win->RADIO_OnClicked(1, 1019, POINT{});
    ASSERT_TRUE(WaitUntil([&] { return win->IsVideoEffectLoaded() != 0; }));
    auto* button = static_cast<QAbstractButton*>(W(win->Button(1115)));
    ASSERT_TRUE(WaitUntil([&] { return button->isVisible(); }));
    QWidget* video = W(win->GetVideoWindow());
    const QRect normal = video->geometry();
    auto* top = static_cast<QWidget*>(page->GetUIWnd());

    button->click();
    ASSERT_TRUE(win->IsFullScreen());
    const QSize screen = top->size();
    EXPECT_EQ(video->geometry(), QRect(QPoint(0, 0), screen));
    // The picture keeps moving at the new size: two grabs of its middle differ.
    const QRect middle(screen.width() / 4, screen.height() / 4, screen.width() / 2, screen.height() / 2);
    QImage first, second;
    ASSERT_TRUE(WaitUntil([&] {
        first = top->grab().toImage().copy(middle);
        WaitUntil([] { return false; }, 300);
        second = top->grab().toImage().copy(middle);
        return first != second && first.pixelColor(10, 10) != QColor(Qt::black);
    }));
    SaveShot(top, "fullscreen-fleet-video");

    button->click();
    EXPECT_FALSE(win->IsFullScreen());
    EXPECT_EQ(video->geometry(), normal);
    EXPECT_TRUE(W(win->Radio(1019))->isVisible());
    SaveShot(top, "fullscreen-fleet-restored");
    EXPECT_TRUE(steps.unexpected.empty());
}

TEST_F(DlgFleet, InitialPasswordIsChangedOnTheDeviceAndTheNewOneLogsIn)
{
    const size_t dev = DeviceOf("IPC");
    fleet->With(dev, [](devsim::DeviceModel& m) {
        for (devsim::User& u : m.State().users)
            if (u.name == "admin")
                u.password = kInitialPassword;
    });
    AddDevice(dev, kInitialPassword);
    std::shared_ptr<CModifyPasswordDlg> pwd = page->GetPasswordDlg();
    ModalSteps steps;
    steps.Add([&](QWidget* box) { ButtonWithText(box, "OK")->click(); });
    steps.Add([&](QWidget* dialog) {
        pwd->OldEdit()->SetWindowTextW(QString::fromUtf8(kInitialPassword).toStdWString().c_str());
        pwd->Passwords().newEdit->SetWindowTextW(L"Vantyx#2024");
        pwd->Passwords().confirmEdit->SetWindowTextW(L"Vantyx#2024");
        SaveShot(dialog, "initial-password-dialog");
        ButtonWithText(dialog, "OK")->click();
    });
    page->LoginSelectedDevice();
    ASSERT_TRUE(WaitUntil([&] { return Settled(); }, 30000));
    EXPECT_EQ(steps.Left(), 0u);
    EXPECT_EQ(AdminPassword(dev), "Vantyx#2024");
    EXPECT_STREQ(page->GetSelectedDevice()->szPassword, "Vantyx#2024");
    EXPECT_TRUE(W(win->Radio(1018))->isVisible()) << "the page opened";

    // The old password no longer opens the device; the new one does, without the notice.
    ui->LogoutDev();
    WaitUntil([] { return false; }, 300);
    const devsim::DeviceState s = fleet->StateOf(dev);
    int error = 0;
    SDK_LOGIN_DEVICE_INFO info;
    std::memset(&info, 0, sizeof info);
    const LONG stale = SdkLogin(s.ip.c_str(), 37777, "admin", kInitialPassword, &info, &error);
    EXPECT_EQ(stale, 0);
    if (stale)
        SdkLogout(stale);
    page->LoginSelectedDevice();
    ASSERT_TRUE(WaitUntil([&] { return Settled(); }, 30000));
    EXPECT_TRUE(W(win->Radio(1018))->isVisible());
    EXPECT_TRUE(steps.unexpected.empty()) << QString::fromStdWString(steps.unexpected[0]).toStdString();
}

} // namespace
