// The focus assistant, full screen of the live video and the initial-password change, offscreen
// through the real page and dialogs against a recording engine.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>

#include <cstring>

#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "DevConfig/CVideoInfocus.h"
#include "ModalSteps.h"
#include "RecordingEngine.h"
#include "SysConfig/CModifyPasswordDlg.h"
#include "Widgets/CSFQTVideoInFocus.h"
#include "Widgets/SFGlobal.h"

using namespace dlgtest;

namespace {

class Engine : public pagetest::RecordingEngine {
public:
    void ModifyPwd(const std::string& oldPassword, const std::string& newPassword, bool evs) override
    {
        calls.push_back("modifypwd " + oldPassword + " " + newPassword + (evs ? " evs" : ""));
    }
    bool Called(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }
};

class Dlg : public ::testing::Test {
protected:
    void SetUp() override
    {
        SFSetSkinPath((QCoreApplication::applicationDirPath() + QStringLiteral("/Skin/")).toStdWString().c_str());
        engine = std::make_shared<Engine>();
        page = CDevConfigEventImp::CreateStandalone(nullptr, engine);
        ASSERT_NE(page->GetView(), nullptr);
        win = page->GetCodeVideoCfgPage();
        ASSERT_NE(win, nullptr);
        page->GetView()->MoveWindow(0, 0, 929, 616);
        page->GetView()->ShowWindow(1);
        QCoreApplication::processEvents();
    }

    // The window open on IMAGE with its settings read, as the configuration logic leaves it.
    void OpenImageTab()
    {
        auto device = std::make_shared<DEVICE_INFO>();
        std::memset(device.get(), 0, sizeof *device);
        std::strcpy(device->stNetInfo.szIpAddr, "127.0.0.9");
        device->stNetInfo.nIpVersion = 4;
        std::strcpy(device->szUser, "admin");
        std::strcpy(device->szPassword, "pw");
        page->AddDeviceToTree(device, false, 0);
        page->SelectDevice(0);
        page->LoginSelectedDevice();
        page->ShowLoginResult(1, 0);
        win->RADIO_OnClicked(1, 1019, POINT{});
        auto color = std::make_shared<tagNET_VIDEOIN_COLOR_INFO>();
        *color = {28, 0, 40, 60, 70, 50, 0};
        auto videoColor = std::make_shared<AV_CFG_ChannelVideoColor>();
        std::memset(videoColor.get(), 0, sizeof *videoColor);
        auto backLight = std::make_shared<tagNET_VIDEOIN_BACKLIGHT_INFO>();
        std::memset(backLight.get(), 0, sizeof *backLight);
        backLight->emBlackMode = 1;
        auto dayNight = std::make_shared<tagNET_VIDEOIN_DAYNIGHT_INFO>();
        *dayNight = {20, 0, 1, {0, 0}};
        win->StartPreview(win->OnGetVideoEffect(color, videoColor, backLight, dayNight, nullptr, 1, 0));
        QCoreApplication::processEvents();
    }

    std::shared_ptr<Engine> engine;
    std::shared_ptr<CDevConfigEventImp> page;
    std::shared_ptr<CCodeVideoCfgEventImp> win;
};

// ---- Focus assistant ----

struct ButtonStates {
    bool sample, adjust, stop;
};

ButtonStates States(CVideoInfocus& focus)
{
    return {W(focus.Button(1110))->isEnabled(), W(focus.Button(1109))->isEnabled(),
            W(focus.Button(1108))->isEnabled()};
}

void Expect(CVideoInfocus& focus, int mode, ButtonStates want, const char* where)
{
    SCOPED_TRACE(where);
    EXPECT_EQ(focus.Mode(), mode);
    ButtonStates got = States(focus);
    EXPECT_EQ(got.sample, want.sample);
    EXPECT_EQ(got.adjust, want.adjust);
    EXPECT_EQ(got.stop, want.stop);
}

TEST_F(Dlg, EasyFocusRunsTheAssistantThroughSampleAdjustStopAndClose)
{
    OpenImageTab();
    std::shared_ptr<CVideoInfocus> focus = win->GetFocusDialog();
    ASSERT_NE(focus, nullptr);
    auto* graph = dynamic_cast<CSFQTVideoInFocus*>(focus->Graph());
    ASSERT_NE(graph, nullptr);
    QWidget* easyFocus = W(win->Button(1041));
    ASSERT_TRUE(easyFocus->isVisible());

    ModalSteps steps;
    steps.Add([&](QWidget* dialog) {
        EXPECT_EQ(dialog, static_cast<QWidget*>(focus->GetDialog()->GetUIWnd()));
        EXPECT_EQ(dialog->size(), QSize(750, 400));
        EXPECT_EQ(engine->calls.back(), "focus");
        Expect(*focus, 0, {true, false, false}, "opened");
        EXPECT_EQ(graph->BandText(), QStringLiteral("The Best Area"));
        // Graph, third step and buttons where the dialog's client area puts them.
        EXPECT_EQ(W(focus->Graph())->geometry(), QRect(QPoint(20, 40), QPoint(579, 329)));
        EXPECT_EQ(W(focus->Button(1110))->geometry(), QRect(195, 349, 72, 25));
        EXPECT_EQ(W(focus->Button(1109))->geometry(), QRect(287, 349, 72, 25));
        EXPECT_EQ(W(focus->Button(1108))->geometry(), QRect(379, 349, 72, 25));
        EXPECT_EQ(W(focus->Button(502))->geometry(), QRect(QPoint(724, 2), QPoint(747, 25)));

        win->UpdateFocusStatus(5);  // idle: dropped
        EXPECT_TRUE(graph->Values().empty());

        static_cast<QAbstractButton*>(W(focus->Button(1110)))->click();
        Expect(*focus, 1, {false, true, true}, "sampling");
        for (int v : {10, 20, 20, 30})
            win->UpdateFocusStatus(v);
        EXPECT_EQ(graph->Values(), (std::vector<int32_t>{10, 20, 30}));
        for (int i = 0; i < 80; ++i)
            win->UpdateFocusStatus(300 + 2000 * i * (80 - i) / 1600 + (i % 3) * 7);
        SaveShot(dialog, "focus-1-sampling");

        static_cast<QAbstractButton*>(W(focus->Button(1109)))->click();
        Expect(*focus, 2, {false, false, true}, "adjusting");
        const size_t recorded = graph->Values().size();
        win->UpdateFocusStatus(2100);
        EXPECT_EQ(graph->Current(), 2100);
        EXPECT_EQ(graph->Values().size(), recorded);
        SaveShot(dialog, "focus-2-adjusting");

        Key(dialog, Qt::Key_Return);  // back to sampling, the curve kept
        Expect(*focus, 1, {false, true, true}, "enter while adjusting");
        EXPECT_EQ(graph->Values().size(), recorded);

        static_cast<QAbstractButton*>(W(focus->Button(1108)))->click();
        Expect(*focus, 0, {true, false, false}, "stopped");
        EXPECT_TRUE(graph->Values().empty());
        EXPECT_EQ(engine->calls.back(), "focus") << "Stop leaves the device's focus assistance on";
        win->UpdateFocusStatus(40);
        EXPECT_TRUE(graph->Values().empty());

        static_cast<QAbstractButton*>(W(focus->Button(1110)))->click();
        win->UpdateFocusStatus(50);
        Key(dialog, Qt::Key_Escape);
    });
    static_cast<QAbstractButton*>(easyFocus)->click();
    EXPECT_EQ(steps.Left(), 0u);
    EXPECT_EQ(engine->calls.back(), "cancelfocus");
    EXPECT_FALSE(static_cast<QWidget*>(focus->GetDialog()->GetUIWnd())->isVisible());
    Expect(*focus, 0, {true, false, false}, "closed");
    win->UpdateFocusStatus(60);  // closed: dropped
    EXPECT_TRUE(graph->Values().empty());

    // Opened again: idle, empty, labelled; the close button ends it.
    graph->SetString(L"x", 0);
    steps.Add([&](QWidget*) {
        Expect(*focus, 0, {true, false, false}, "reopened");
        EXPECT_TRUE(graph->Values().empty());
        EXPECT_EQ(graph->BandText(), QStringLiteral("The Best Area"));
        static_cast<QAbstractButton*>(W(focus->Button(502)))->click();
    });
    const size_t before = engine->calls.size();
    static_cast<QAbstractButton*>(easyFocus)->click();
    EXPECT_EQ(steps.Left(), 0u);
    ASSERT_EQ(engine->calls.size(), before + 2);
    EXPECT_EQ(engine->calls[before], "focus");
    EXPECT_EQ(engine->calls[before + 1], "cancelfocus");
    EXPECT_TRUE(steps.unexpected.empty());
}

TEST_F(Dlg, TheDeviceAnswerEnablesOrDisablesEasyFocus)
{
    OpenImageTab();
    win->EnableEasyFocusButton(0);
    EXPECT_FALSE(W(win->Button(1041))->isEnabled());
    win->EnableEasyFocusButton(1);
    EXPECT_TRUE(W(win->Button(1041))->isEnabled());
}

// ---- Full screen ----

QRect Geometry(void* widget) { return static_cast<QWidget*>(widget)->geometry(); }

TEST_F(Dlg, FullScreenTakesTheScreenAndComesBackToTheNormalRectangle)
{
    OpenImageTab();
    auto* button = static_cast<QAbstractButton*>(W(win->Button(1115)));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    EXPECT_EQ(button->toolTip(), QStringLiteral("Full Screen"));
    QWidget* video = W(win->GetVideoWindow());
    const QRect normal = video->geometry();
    const RECT stored = win->NormalVideoRect();
    EXPECT_EQ(QRect(stored.left, stored.top, stored.right - stored.left, stored.bottom - stored.top), normal);
    const QRect pageBefore = Geometry(page->GetUIWnd());
    const QRect windowBefore = Geometry(win->GetUIWnd());
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();

    win->SetFullScreen();  // Esc outside full screen: nothing
    EXPECT_EQ(video->geometry(), normal);

    button->click();
    ASSERT_TRUE(win->IsFullScreen());
    EXPECT_EQ(Geometry(page->GetUIWnd()), QRect(QPoint(0, 0), screen));
    EXPECT_EQ(Geometry(win->GetUIWnd()), QRect(QPoint(0, 0), screen));
    EXPECT_EQ(video->geometry(), QRect(QPoint(0, 0), screen));
    EXPECT_TRUE(video->isVisible());
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->geometry(), QRect(screen.width() - 30, screen.height() - 30, 24, 24));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Restore"));
    for (int id : {1018, 1019, 1158})
        EXPECT_FALSE(W(win->Radio(id))->isVisible()) << id;
    EXPECT_FALSE(W(win->Button(1041))->isVisible());
    EXPECT_FALSE(W(win->Slider(1053))->isVisible());
    EXPECT_FALSE(W(win->Combo(1058))->isVisible());
    SaveShot(static_cast<QWidget*>(page->GetUIWnd()), "fullscreen-1-video");

    // A picture reload that fails meanwhile keeps the way out.
    {
        ModalSteps boxes;
        win->StartPreview(win->OnGetVideoEffect(nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0));
        EXPECT_TRUE(button->isVisible());
        EXPECT_EQ(boxes.unexpected.size(), 1u);
    }

    // A layout pass meanwhile only changes where the video returns to.
    win->OnSize(0, 900, 600);
    EXPECT_EQ(video->geometry(), QRect(QPoint(0, 0), screen));
    EXPECT_EQ(win->NormalVideoRect().right, 900 - 280);
    // Leaving restores the window's size, whose layout gives the first rectangle again.
    const QRect moved = normal;

    button->click();  // the same button leaves
    ASSERT_FALSE(win->IsFullScreen());
    EXPECT_EQ(video->geometry(), moved);
    EXPECT_EQ(Geometry(page->GetUIWnd()), pageBefore);
    EXPECT_EQ(Geometry(win->GetUIWnd()), windowBefore);
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->geometry(), QRect(moved.right() + 1 - 30, moved.bottom() + 1 - 30, 24, 24));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Full Screen"));
    for (int id : {1018, 1019, 1158})
        EXPECT_TRUE(W(win->Radio(id))->isVisible()) << id;
    EXPECT_TRUE(W(win->Button(1041))->isVisible());
    EXPECT_TRUE(W(win->Slider(1053))->isVisible());
    SaveShot(static_cast<QWidget*>(page->GetUIWnd()), "fullscreen-2-restored");

    // Esc of the main window leaves as well.
    button->click();
    ASSERT_TRUE(win->IsFullScreen());
    win->SetFullScreen();
    EXPECT_FALSE(win->IsFullScreen());
    EXPECT_EQ(video->geometry(), moved);
    EXPECT_EQ(Geometry(page->GetUIWnd()), pageBefore);

    // Leaving the IMAGE tab hides the button.
    win->RADIO_OnClicked(1, 1018, POINT{});
    EXPECT_FALSE(button->isVisible());
}

TEST_F(Dlg, AFailedPictureLoadLeavesTheFullScreenButtonHidden)
{
    OpenImageTab();
    win->RADIO_OnClicked(1, 1018, POINT{});
    win->RADIO_OnClicked(1, 1019, POINT{});
    ModalSteps steps;
    win->StartPreview(win->OnGetVideoEffect(nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_FALSE(W(win->Button(1115))->isVisible());
    EXPECT_EQ(steps.unexpected.size(), 1u);
}

// ---- Initial password ----

const QString kNotice = QStringLiteral(
    "The initial password is used for the first-time starting device only.Please change password immediately to "
    "avoid any unauthorized party's operation of the device.");

void FillPasswords(CModifyPasswordDlg& dlg, const wchar_t* old, const wchar_t* pwd, const wchar_t* confirm)
{
    dlg.OldEdit()->SetWindowTextW(old);
    dlg.Passwords().newEdit->SetWindowTextW(pwd);
    dlg.Passwords().confirmEdit->SetWindowTextW(confirm);
}

TEST_F(Dlg, AcceptingTheNoticeChangesThePasswordThroughThePasswordDialog)
{
    std::shared_ptr<CModifyPasswordDlg> pwd = page->GetPasswordDlg();
    ASSERT_NE(pwd, nullptr);
    ModalSteps steps;
    std::vector<std::wstring> seen;
    steps.Add([&](QWidget* box) {
        seen.push_back(DialogText(box));
        ASSERT_NE(ButtonWithText(box, "Cancel"), nullptr);
        ButtonWithText(box, "OK")->click();
    });
    steps.Add([&](QWidget* dialog) {
        EXPECT_EQ(dialog, static_cast<QWidget*>(pwd->GetDialog()->GetUIWnd()));
        EXPECT_FALSE(W(pwd->CountValue())->isVisible()) << "one device: no count";
        wchar_t text[64] = {};
        pwd->OldEdit()->GetWindowTextW(text, 64);
        EXPECT_EQ(std::wstring(text), L"") << "fields start empty";
        FillPasswords(*pwd, L"korvu", L"short", L"short");
        ButtonWithText(dialog, "OK")->click();
        // The rule's message box was answered by the next step; the dialog is still open.
        EXPECT_TRUE(dialog->isVisible());
        FillPasswords(*pwd, L"korvu", L"Vantyx#2024", L"Vantyx#2024");
        ButtonWithText(dialog, "OK")->click();
    });
    steps.Add([&](QWidget* box) {
        seen.push_back(DialogText(box));
        static_cast<QDialog*>(box)->done(1);
    });
    EXPECT_TRUE(page->ShowInitPasswordNotice(true));
    EXPECT_EQ(steps.Left(), 0u);
    EXPECT_TRUE(engine->Called("modifypwd korvu Vantyx#2024 evs"));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(QString::fromStdWString(seen[0]), kNotice);
    EXPECT_EQ(seen[1], L"New Password length can't be less than 8 bytes.");
    EXPECT_TRUE(steps.unexpected.empty());
}

TEST_F(Dlg, DecliningShowsTheButtonlessNoticeForFiveSeconds)
{
    ModalSteps steps;
    QElapsedTimer shown;
    qint64 closedAfter = 0;
    steps.Add([&](QWidget* box) { ButtonWithText(box, "Cancel")->click(); });
    steps.Add([&](QWidget* notice) {
        shown.start();
        EXPECT_EQ(notice, static_cast<QWidget*>(page->GetNoticeDialog()->GetUIWnd()));
        EXPECT_EQ(QString::fromStdWString(DialogText(notice)), kNotice);
        for (QAbstractButton* b : notice->findChildren<QAbstractButton*>())
            EXPECT_FALSE(b->isVisible()) << b->text().toStdString();
        SaveShot(notice, "initial-password-notice");
        ASSERT_TRUE(WaitUntil([&] { return !notice->isVisible(); }, 20000));
        closedAfter = shown.elapsed();
    });
    EXPECT_FALSE(page->ShowInitPasswordNotice(false));
    EXPECT_GE(closedAfter, 4000);
    EXPECT_FALSE(engine->Called("modifypwd korvu Vantyx#2024"));

    // Cancel in the password dialog leads to the same notice (closed here by its timer's handler).
    steps.Add([&](QWidget* box) { ButtonWithText(box, "OK")->click(); });
    steps.Add([&](QWidget* dialog) { Key(dialog, Qt::Key_Escape); });
    bool noticeShown = false;
    steps.Add([&](QWidget*) {
        noticeShown = true;
        page->OnNoticeTimer();
    });
    EXPECT_FALSE(page->ShowInitPasswordNotice(false));
    EXPECT_TRUE(noticeShown);
    EXPECT_EQ(steps.Left(), 0u);
    for (const std::string& call : engine->calls)
        EXPECT_EQ(call.rfind("modifypwd", 0), std::string::npos);
}

} // namespace
