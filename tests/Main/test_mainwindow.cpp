// The main window: construction order and layout, page switching, the cloud button, the menu and
// the keyboard, and the closing handshake.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ShellTestSupport.h"

#include "Main/CAboutDlgEventImp.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/DeviceListPeers.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CToolBarEventImp.h"
#include "Main/CToolBarLeftEventImp.h"
#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "OtherTool/COtherToolEventImp.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "Template/CTemplateEditEventImp.h"
#include "Template/CTemplateEventImp.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFPictureEx.h"

using namespace shelltest;

namespace {

QWidget* W(CSFView* view) { return view ? static_cast<QWidget*>(view->GetUIWnd()) : nullptr; }
template <class T>
QWidget* Q(T* control)
{
    return dynamic_cast<QWidget*>(control);
}

CSFView* ViewOf(const std::shared_ptr<CMainFrameEventImp>& f, int page)
{
    switch (page) {
    case 0:
        return f->GetSearchDevPage()->GetView();
    case 2:
        return f->GetDevConfigPage()->GetView();
    case 3:
        return f->GetSysConfigPage()->GetView();
    case 4:
        return f->GetUpgradePage()->GetView();
    case 5:
        return f->GetTemplatePage()->GetView();
    case 6:
        return f->GetOtherToolPage()->GetView();
    case 7:
        return f->GetCloudUpgradePage()->GetView();
    }
    return nullptr;
}

const int kPages[] = {0, 2, 3, 4, 5, 6, 7};

void Click(QWidget* w)
{
    const QPointF centre(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, centre, w->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, w->mapToGlobal(centre), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

std::wstring CounterText(const std::shared_ptr<CMainFrameEventImp>& f)
{
    wchar_t buf[64] = {};
    f->GetToolBar()->GetFoundCounter()->GetStaticText(buf, 64);
    return buf;
}

} // namespace

TEST(MainWindow, CreatesEverythingBeforeTheSdkAndTheModelAfterIt)
{
    EnsureEnvironment();
    const int init = Sdk().init, reconnect = Sdk().reconnect;
    auto frame = MakeMainWindow();
    EXPECT_EQ(Sdk().init, init + 1);
    EXPECT_EQ(Sdk().reconnect, reconnect + 1);
    EXPECT_TRUE(Sdk().pagesExistedAtInit);
    // The hidden pages and dialogs follow the first paint.
    EXPECT_FALSE(Sdk().hiddenPartsMadeAtInit);
    EXPECT_FALSE(Sdk().modelExistedAtInit);
    EXPECT_EQ(Sdk().disconnect, &CMainFrameEventImp::DisconnectCallback);
    EXPECT_EQ(Sdk().reconnectCb, &CMainFrameEventImp::ReconnectCallback);
    EXPECT_NE(frame->GetDeviceListUILogic(), nullptr);
    for (auto* p : {static_cast<void*>(frame->GetAboutDlg().get()), static_cast<void*>(frame->GetSettingDlg().get()),
                    static_cast<void*>(frame->GetLoginDevDlg().get()),
                    static_cast<void*>(frame->GetSearchSettingDlg().get()),
                    static_cast<void*>(frame->GetResultDetailsDlg().get()), static_cast<void*>(frame->GetMenu())})
        EXPECT_NE(p, nullptr);
}

TEST(MainWindow, LaysOutBarsAndPagesAndShowsTheDeviceList)
{
    auto frame = MakeMainWindow();
    auto* window = static_cast<QWidget*>(frame->GetUIWnd());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(1000, 700));
    const RECT page = frame->GetPageRect();
    EXPECT_EQ(page.left, 69);
    EXPECT_EQ(page.top, 82);
    EXPECT_EQ(page.right, 998);
    EXPECT_EQ(page.bottom, 698);
    EXPECT_EQ(W(frame->GetToolBar()->GetView())->geometry(), QRect(QPoint(68, 1), QPoint(998, 81)));
    EXPECT_EQ(W(frame->GetToolBarLeft()->GetView())->geometry(), QRect(QPoint(0, 1), QPoint(68, 700)));
    EXPECT_EQ(frame->GetCurrentPage(), 0);
    for (int p : kPages) {
        QWidget* view = W(ViewOf(frame, p));
        ASSERT_NE(view, nullptr) << p;
        EXPECT_EQ(view->geometry(), QRect(QPoint(69, 82), QPoint(998, 698))) << p;
        EXPECT_EQ(view->isVisible(), p == 0) << p;
    }
    // Window buttons sit right to left at the tool bar's right end, 24 by 24 (their images' size)
    // and 6 apart, on the coloured block.
    QWidget* close = Q(frame->GetToolBar()->GetCloseButton());
    EXPECT_EQ(close->geometry(), QRect(931 - 36, 6, 24, 24));
    int buttons = 0;
    for (QWidget* child : close->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->geometry().top() != 6 || child->geometry().left() < 931 - 97)
            continue;
        ++buttons;
        EXPECT_EQ(child->size(), QSize(24, 24));
        EXPECT_EQ((931 - 12 - child->geometry().right() - 1) % 30, 0) << child->geometry().left();
    }
    EXPECT_EQ(buttons, 3);
}

TEST(MainWindow, LeftBarSwitchesPagesAndTheCounter)
{
    auto frame = MakeMainWindow();
    auto left = frame->GetToolBarLeft();
    auto model = frame->GetDeviceListUILogic();
    struct Case {
        UINT id;
        int page;
    } cases[] = {{1001, 2}, {1002, 3}, {1003, 4}, {1004, 5}, {1000, 0}, {1004, 5}, {999, 0}, {1002, 3}};
    auto editor = frame->GetTemplatePage()->GetEditPage();
    for (const Case& c : cases) {
        // Entering the template page always shows the manager's start screen.
        editor->SetEditMode(1);
        left->RADIO_OnClicked(1, static_cast<int>(c.id), POINT{0, 0});
        EXPECT_EQ(frame->GetCurrentPage(), c.page) << c.id;
        for (int p : kPages)
            EXPECT_EQ(W(ViewOf(frame, p))->isVisible(), p == c.page) << c.id << " page " << p;
        EXPECT_EQ(left->GetButtonById(c.id)->GetCheck(), 1) << c.id;
        EXPECT_EQ(frame->GetSysConfigPage()->IsPcTimeRefreshOn(), c.page == 3) << c.id;
        EXPECT_EQ(editor->GetEditMode(), c.page == 5 ? 0 : 1) << c.id;
        EXPECT_EQ(CounterText(frame), std::to_wstring(model->GetFoundCount())) << c.id;
    }
    // Clicking the checked button again keeps it checked and the page as it is.
    left->RADIO_OnClicked(0, 1002, POINT{0, 0});
    EXPECT_EQ(left->GetButtonById(1002)->GetCheck(), 1);
    EXPECT_EQ(frame->GetCurrentPage(), 3);
    EXPECT_TRUE(frame->GetSysConfigPage()->IsPcTimeRefreshOn());
}

TEST(MainWindow, AddOnToolsPageSwapsTheSearchToolsForThePackagePicture)
{
    auto frame = MakeMainWindow();
    auto bar = frame->GetToolBar();
    EXPECT_FALSE(Q(frame->GetToolBarLeft()->GetButtonById(1005))->isVisible());
    frame->GetToolBarLeft()->RADIO_OnClicked(1, 1005, POINT{0, 0});
    EXPECT_EQ(frame->GetCurrentPage(), 6);
    EXPECT_TRUE(Q(bar->GetPackageCenterPicture())->isVisible());
    EXPECT_FALSE(Q(bar->GetRefreshButton())->isVisible());
    EXPECT_FALSE(Q(bar->GetSearchSettingButton())->isVisible());
    EXPECT_FALSE(Q(bar->GetSearchingAnimation())->isVisible());
    frame->GetToolBarLeft()->RADIO_OnClicked(1, 1000, POINT{0, 0});
    EXPECT_FALSE(Q(bar->GetPackageCenterPicture())->isVisible());
    EXPECT_TRUE(Q(bar->GetSearchSettingButton())->isVisible());
    const bool searching = frame->GetDeviceListUILogic()->IsSearching();
    EXPECT_EQ(Q(bar->GetRefreshButton())->isVisible(), !searching);
    EXPECT_EQ(Q(bar->GetSearchingAnimation())->isVisible(), searching);
}

TEST(MainWindow, CloudButtonFollowsTheSetting)
{
    EnsureEnvironment();
    CAppSettings::CloudEnable = false;
    auto frame = MakeMainWindow();
    auto left = frame->GetToolBarLeft();
    QWidget* cloud = Q(left->GetButtonById(1171));
    QWidget* tpl = Q(left->GetButtonById(1004));
    EXPECT_FALSE(cloud->isVisible());
    EXPECT_EQ(tpl->y(), 386);

    left->SetCloudEnable(true);
    EXPECT_TRUE(cloud->isVisible());
    EXPECT_EQ(cloud->y(), 386);
    EXPECT_EQ(tpl->y(), 454);
    EXPECT_EQ(frame->GetCurrentPage(), 7);
    EXPECT_EQ(left->GetButtonById(1171)->GetCheck(), 1);

    left->SetCloudEnable(false);
    EXPECT_FALSE(cloud->isVisible());
    EXPECT_EQ(tpl->y(), 386);
    EXPECT_EQ(frame->GetCurrentPage(), 0);
    EXPECT_EQ(left->GetButtonById(1000)->GetCheck(), 1);

    CAppSettings::CloudEnable = true;
    auto withCloud = MakeMainWindow();
    EXPECT_TRUE(Q(withCloud->GetToolBarLeft()->GetButtonById(1171))->isVisible());
    EXPECT_EQ(Q(withCloud->GetToolBarLeft()->GetButtonById(1004))->y(), 454);
    CAppSettings::CloudEnable = false;
}

TEST(MainWindow, MenuF1AndTheAboutLinkReachTheShellOpen)
{
    auto frame = MakeMainWindow();
    const std::string dir = QString::fromStdWString(AppDir()).toStdString();
    const std::string manual = dir + "/Manual/Operation Manual.pdf";
    const std::string qa = dir + "/Manual/Vantyx QA.pdf";
    struct Case {
        const char* name;
        std::function<void()> act;
        std::vector<std::string> opened;
    } cases[] = {
        {"Help", [&] { frame->Menu_OnAction(1093); }, {manual}},
        {"QA", [&] { frame->Menu_OnAction(1202); }, {qa}},
        {"F1", [&] { frame->OnDlgKeyDown(0, 112); }, {manual}},
        {"mac menu", [&] { frame->OnMacMenu(1202); }, {qa}},
        {"unknown id", [&] { frame->Menu_OnAction(4711); }, {}},
        {"other key", [&] { frame->OnDlgKeyDown(0, 113); }, {}},
        {"About link", [&] { Click(Q(frame->GetAboutDlg()->GetWebSiteLink())); }, {"WebSite"}},
    };
    for (const Case& c : cases) {
        Opened().clear();
        c.act();
        EXPECT_EQ(Opened(), c.opened) << c.name;
    }
}

TEST(MainWindow, HelpQaF1AndTheAboutLinkSayWhenNothingCanOpenThem)
{
    auto frame = MakeMainWindow();
    const std::wstring manual = AppDir() + L"/Manual/Operation Manual.pdf";
    struct Case {
        const char* name;
        std::function<void()> act;
        std::wstring named;  // the target the message names
    } cases[] = {
        {"Help", [&] { frame->Menu_OnAction(1093); }, manual},
        {"QA", [&] { frame->Menu_OnAction(1202); }, AppDir() + L"/Manual/Vantyx QA.pdf"},
        {"F1", [&] { frame->OnDlgKeyDown(0, 112); }, manual},
        {"About link", [&] { Click(Q(frame->GetAboutDlg()->GetWebSiteLink())); }, L"WebSite"},
        {"Web Login", [&] { frame->GetSearchDevPage()->GetPeers()->OpenUrl(L"http://127.0.0.9:8080"); },
         L"http://127.0.0.9:8080"},
    };
    SetShellStarts(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModalAnswerer answer(1);
        c.act();
        ASSERT_TRUE(WaitUntil([&] { return !answer.Texts().empty(); }, 5000));
        EXPECT_NE(answer.Texts()[0].find(c.named), std::wstring::npos);
        EXPECT_NE(answer.Texts()[0].find(L"No program could be started"), std::wstring::npos);
    }
    SetShellStarts(true);
    ModalAnswerer none(1);
    frame->Menu_OnAction(1093);
    Pump(50);
    EXPECT_TRUE(none.Texts().empty()) << "no message when the viewer starts";
}

TEST(MainWindow, ClosingAsksTheFiveModulesInOrderAndCleansUpOnceAtTheEnd)
{
    auto frame = MakeMainWindow();
    static std::vector<std::string>* lines = new std::vector<std::string>;
    static std::mutex* linesLock = new std::mutex;
    lines->clear();
    VeyraBase::SetTaskTraceSink([](const char* line) {
        std::lock_guard<std::mutex> guard(*linesLock);
        lines->push_back(line);
    });
    VeyraBase::SetTaskTraceSwitch(1);
    VeyraBase::SetTaskTraceLevel(1);
    int closed = 0;
    CMainFrameEventImp::SetClosedHandler([&closed] { ++closed; });
    const int cleanups = Sdk().cleanup;
    Sdk().allStoppedAtCleanup = true;

    auto* window = static_cast<QWidget*>(frame->GetUIWnd());
    frame->GetToolBar()->OnClose();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(WaitUntil([&] { return frame->IsClosing(); }));
    EXPECT_TRUE(WaitUntil([&] { return closed == 1; }));
    VeyraBase::SetTaskTraceSwitch(0);
    VeyraBase::SetTaskTraceLevel(0);
    VeyraBase::SetTaskTraceSink(nullptr);

    EXPECT_EQ(Sdk().cleanup, cleanups + 1);
    EXPECT_TRUE(Sdk().allStoppedAtCleanup);
    EXPECT_EQ(frame->PendingModules(), "");
    // A later close request changes nothing.
    EXPECT_EQ(frame->Dlg_Close(), 0);
    EXPECT_EQ(Sdk().cleanup, cleanups + 1);
    EXPECT_EQ(closed, 1);
    CMainFrameEventImp::SetClosedHandler(nullptr);

    auto firstPost = [&](const std::string& needle) {
        std::lock_guard<std::mutex> guard(*linesLock);
        for (size_t i = 0; i < lines->size(); ++i)
            if ((*lines)[i].find("PostMessage") != std::string::npos && (*lines)[i].find(needle) != std::string::npos)
                return static_cast<long>(i);
        return -1L;
    };
    const long search = firstPost("StopSearch");
    const long ip = firstPost("<CModifyIPUILogic::Stop>");
    const long login = firstPost("<CLoginUILogic::LogoutDev>");
    const long upgrade = firstPost("<CUpgradeUILogic::Stop>");
    const long cloud = firstPost("<CCloudUpgradeUILogic::StopUpgrade>");
    EXPECT_GE(search, 0);
    EXPECT_LT(search, ip);
    EXPECT_LT(ip, login);
    EXPECT_LT(login, upgrade);
    EXPECT_LT(upgrade, cloud);
}

TEST(MainWindow, ClosingGivesUpOnASilentModuleAndSaysWhich)
{
    auto frame = MakeMainWindow();
    auto sdkLoop = VeyraBase::CSFMessageLoopManager::Instance()->GetMessageLoop(VeyraBase::ML_SDK);
    // Without the device-call loop no module can answer.
    VeyraBase::CSFMessageLoopManager::Instance()->RegisterLoop(nullptr, VeyraBase::ML_SDK);
    static QString* warnings = new QString;
    warnings->clear();
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type == QtWarningMsg)
            *warnings += msg + QLatin1Char('\n');
    });
    int closed = 0;
    CMainFrameEventImp::SetClosedHandler([&closed] { ++closed; });
    CMainFrameEventImp::SetCloseTimeoutMs(300);
    const int cleanups = Sdk().cleanup;

    frame->GetToolBar()->OnClose();
    Pump(50);
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(WaitUntil([&] { return closed == 1; }));
    EXPECT_EQ(Sdk().cleanup, cleanups + 1);

    qInstallMessageHandler(previous);
    CMainFrameEventImp::SetCloseTimeoutMs(20000);
    CMainFrameEventImp::SetClosedHandler(nullptr);
    VeyraBase::CSFMessageLoopManager::Instance()->RegisterLoop(sdkLoop, VeyraBase::ML_SDK);
    EXPECT_TRUE(warnings->contains(QStringLiteral("3 (IP modification)"))) << warnings->toStdString();
    EXPECT_TRUE(warnings->contains(QStringLiteral("4 (cloud upgrade)"))) << warnings->toStdString();
}

TEST(MainWindow, CloseButtonRefusesDuringALoginAndAsksWhileAFileIsSent)
{
    auto frame = MakeMainWindow();
    frame->GetDevConfigPage()->m_bLoggingIn = 1;
    {
        ModalAnswerer answer(1);
        frame->GetToolBar()->OnClose();
        ASSERT_EQ(answer.Texts().size(), 1u);
        EXPECT_EQ(answer.Texts()[0], L"Program is operating, please don't close this program.");
    }
    EXPECT_FALSE(frame->IsClosing());
    EXPECT_TRUE(static_cast<QWidget*>(frame->GetUIWnd())->isVisible());
    frame->GetDevConfigPage()->m_bLoggingIn = 0;
}

// The pages hidden at start are made after the first paint; devices found before then reach them
// when they are made, as if they had been there from the start.
TEST(MainWindow, PagesMadeAfterTheFirstPaintReceiveTheDevicesFoundBefore)
{
    auto frame = MakeMainWindow();
    // No event has run yet: nothing was painted, so the hidden pages wait.
    ASSERT_FALSE(frame->HiddenPartsMade());
    ASSERT_TRUE(frame->GetSearchDevPage());
    auto model = frame->GetDeviceListUILogic();
    ASSERT_TRUE(model);
    const char* ips[] = {"10.0.3.1", "10.0.3.2", "10.0.3.3"};
    for (int i = 0; i < 3; ++i) {
        DevicePtr d = std::make_shared<DEVICE_INFO>();
        std::memset(d.get(), 0, sizeof(DEVICE_INFO));
        DEVICE_NET_INFO_EX& info = d->stNetInfo;
        info.nIpVersion = 4;
        std::snprintf(info.szIpAddr, sizeof info.szIpAddr, "%s", ips[i]);
        std::snprintf(info.szMacAddr, sizeof info.szMacAddr, "aa:bb:cc:00:31:%02x", i);
        std::snprintf(info.szTypeName, sizeof info.szTypeName, "IPC");
        std::snprintf(info.szDetailName, sizeof info.szDetailName, "IPC-VX1230");
        std::snprintf(info.szModelName, sizeof info.szModelName, "IPC-VX1230");
        // The last one is not initialised: the later pages never list it.
        info.byInitState = i < 2 ? 2 : 1;
        info.nPort = 37777;
        d->byGeneration = model->GetGeneration();
        model->Task_InsertDevice(d);
    }
    ASSERT_FALSE(frame->HiddenPartsMade());

    // Asking for a hidden page makes them all, with what the list holds.
    auto upgrade = frame->GetUpgradePage();
    ASSERT_TRUE(frame->HiddenPartsMade());
    ASSERT_TRUE(upgrade && upgrade->GetListCtrl());
    EXPECT_EQ(upgrade->GetListCtrl()->GetItemCount(), 2);
    EXPECT_TRUE(frame->GetDevConfigPage() && frame->GetSysConfigPage() && frame->GetAboutDlg());
    // They take the page rectangle of the window.
    QWidget* view = W(frame->GetUpgradePage()->GetView());
    ASSERT_TRUE(view);
    const RECT page = frame->GetPageRect();
    EXPECT_EQ(view->geometry(), QRect(QPoint(page.left, page.top), QPoint(page.right, page.bottom)));
}

TEST(MainWindow, HiddenPagesAreMadeJustAfterTheFirstPaint)
{
    auto frame = MakeMainWindow();
    ASSERT_FALSE(frame->HiddenPartsMade());
    EXPECT_TRUE(WaitUntil([&] { return frame->HiddenPartsMade(); }, 5000));
}
