// Main window frame: menu ids, timers, own maximise, frame cut, keys, Cancel and system reports.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>
#include <vector>

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>

#include "WidgetTestSupport.h"
#include "Widgets/CSFQTMainWindow.h"
#include "Widgets/SFWidgets.h"

namespace {
class MainPage : public ISFDialogEvent {
public:
    int Dlg_OnInitDialog(bool) override { return 1; }
    void OnMacMenu(UINT id) override { menus.push_back(id); }
    void OnDlgKeyDown(UINT m, UINT k) override { downs.emplace_back(m, k); }
    void OnDlgKeyUp(UINT m, UINT k) override { ups.emplace_back(m, k); }
    void Dlg_OnCancel() override { ++cancels; }
    void Dlg_OnOK() override { ++oks; }
    int Dlg_Close() override
    {
        ++closeAsks;
        return keepOpen;
    }
    void OnMsgScreenLock(int locked) override { locks.push_back(locked); }
    void SendUSBMessge(int v) override { usb.push_back(v); }

    std::vector<UINT> menus;
    std::vector<std::pair<UINT, UINT>> downs, ups;
    std::vector<int> locks, usb;
    int cancels = 0, oks = 0, closeAsks = 0, keepOpen = 0;
};

bool WaitFor(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}
}  // namespace

TEST(MainWindow, MenusReportTheirCommandIds)
{
    MainPage page;
    CSFDialog* frame = CreateSFMainWindow(&page, nullptr);
    auto* wnd = static_cast<CSFQTMainWindow*>(frame);
    frame->AddMenuMac(L"Help", 10);
    frame->AddMenuAction(L"About", 10, 1092);
    frame->AddMenuAction(L"Setting", 10, 1112);
    frame->AddMenuAction(L"Lost", 99, 5);  // unknown menu: ignored
    QMenu* menu = wnd->Menu(10);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 2);
    menu->actions().at(1)->trigger();
    menu->actions().at(0)->trigger();
    EXPECT_EQ(page.menus, (std::vector<UINT>{1112, 1092}));
    EXPECT_EQ(wnd->Menu(99), nullptr);
    DestroySFDialog(frame);
}

TEST(MainWindow, ModalRunsNothingAndTimersRestart)
{
    MainPage page;
    CSFDialog* frame = CreateSFMainWindow(&page, nullptr);
    EXPECT_EQ(frame->DoModalDlg(), -1);
    EXPECT_EQ(frame->IsDlgVisible(), 0);
    EXPECT_NE(frame->SetDlgTimer(3, 1000), 0u);
    EXPECT_EQ(frame->KillDlgTimer(3), 1);
    EXPECT_EQ(frame->KillDlgTimer(3), 0);
    EXPECT_NE(frame->SetDlgTimer(3, 1000), 0u);
    DestroySFDialog(frame);
}

TEST(MainWindow, OwnMaximiseTogglesWithTheAvailableArea)
{
    MainPage page;
    CSFDialog* frame = CreateSFMainWindow(&page, nullptr);
    auto* wnd = static_cast<CSFQTMainWindow*>(frame);
    frame->MoveWindow(50, 60, 640, 480);
    frame->ShowWindow(1);
    const QRect normal = wnd->geometry();
    frame->MacShowMaximize(true);
    EXPECT_EQ(frame->IsDlgZoomed(), 1);
    EXPECT_EQ(wnd->geometry(), QGuiApplication::primaryScreen()->availableGeometry());
    frame->MacShowMaximize(true);  // a second call restores
    EXPECT_EQ(frame->IsDlgZoomed(), 0);
    EXPECT_EQ(wnd->geometry(), normal);
    DestroySFDialog(frame);
}

TEST(MainWindow, LargeFrameImageIsCutNotComposed)
{
    // A whole-window picture of its own (the shipped frame image is only its edges).
    QTemporaryDir dir;
    QImage picture(1000, 700, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 251, y % 241, (x + y) % 239));
    ASSERT_TRUE(picture.save(dir.path() + QStringLiteral("/Whole.png")));
    SFSetSkinDir((dir.path() + QLatin1Char('/')).toStdWString());
    MainPage page;
    CSFDialog* frame = CreateSFMainWindow(&page, nullptr);
    auto* wnd = static_cast<CSFQTMainWindow*>(frame);
    DialogStyle skin;
    skin.strFrameImage = L"Whole.png";
    skin.strBkImage = L"bgColorMain.png";
    skin.strTopLeftRect = L"0,0,10,1";
    skin.strTitleRect = L"0,0,1000,60";
    frame->SetSkin(&skin);
    frame->MoveWindow(0, 0, 800, 600);
    frame->ShowWindow(1);
    const QImage cache = wnd->Skin().Picture().toImage();
    const QImage image(SFSkinPath(L"Whole.png"));
    ASSERT_EQ(cache.size(), QSize(800, 600));
    for (const QPoint& p : {QPoint(5, 5), QPoint(30, 300), QPoint(400, 300), QPoint(799, 599)})
        EXPECT_EQ(cache.pixelColor(p), image.pixelColor(p)) << p.x() << "," << p.y();
    DestroySFDialog(frame);
    UseBuildSkin();
}

TEST(MainWindow, KeysOnPressAndRelease)
{
    MainPage page;
    CSFDialog* frame = CreateSFMainWindow(&page, nullptr);
    QWidget* wnd = static_cast<CSFQTMainWindow*>(frame);
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        UINT modifier, code;
    } cases[] = {
        {Qt::Key_F4, Qt::AltModifier, 18, 115},
        {Qt::Key_Escape, Qt::NoModifier, 0, 27},
        {Qt::Key_Return, Qt::NoModifier, 0, static_cast<UINT>(Qt::Key_Return)},
        {Qt::Key_A, Qt::ControlModifier, 17, static_cast<UINT>(Qt::Key_A)},
    };
    for (const Case& c : cases) {
        page.downs.clear();
        page.ups.clear();
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers), release(QEvent::KeyRelease, c.key, c.modifiers);
        QCoreApplication::sendEvent(wnd, &press);
        QCoreApplication::sendEvent(wnd, &release);
        EXPECT_EQ(page.downs, (std::vector<std::pair<UINT, UINT>>{{c.modifier, c.code}})) << c.key;
        EXPECT_EQ(page.ups, (std::vector<std::pair<UINT, UINT>>{{c.modifier, c.code}})) << c.key;
    }
    DestroySFDialog(frame);
}

TEST(MainWindow, CancelCommandAsksTheSinkBeforeClosing)
{
    MainPage page;
    page.keepOpen = 1;
    CSFDialog* frame = CreateSFMainWindow(&page, nullptr);
    QWidget* wnd = static_cast<CSFQTMainWindow*>(frame);
    frame->ShowWindow(1);
    CSFCustomEvent ok(SF_MSG_COMMAND, 0, nullptr, 1);
    QCoreApplication::sendEvent(wnd, &ok);
    EXPECT_EQ(page.oks, 1);
    EXPECT_TRUE(wnd->isVisible());

    CSFCustomEvent cancel(SF_MSG_COMMAND, 0, nullptr, 2);
    QCoreApplication::sendEvent(wnd, &cancel);
    EXPECT_EQ(page.cancels, 1);
    EXPECT_EQ(page.GetUIWnd(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return page.closeAsks == 1; }));
    EXPECT_TRUE(wnd->isVisible());  // the sink answered 1

    page.keepOpen = 0;
    frame->SendDlgMessage(16, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !wnd->isVisible(); }));
    EXPECT_EQ(page.cancels, 2);
    DestroySFDialog(frame);
}

TEST(MainWindow, SessionAndDeviceReports)
{
    MainPage page;
    CSFDialog* frame = CreateSFMainWindow(&page, nullptr);
    auto* wnd = static_cast<CSFQTMainWindow*>(frame);
    wnd->ReportSessionChange(true);
    wnd->ReportSessionChange(false);
    wnd->ReportDeviceRemoved();
    EXPECT_EQ(page.locks, (std::vector<int>{1, 0}));
    EXPECT_EQ(page.usb, (std::vector<int>{1}));
    DestroySFDialog(frame);
}
