// Full screen of the device configuration page's live video in the real main window: the
// window takes the primary screen with the tool bars hidden, and Esc brings back 1000 x 700,
// centred, with the page, the bars and the video where they were.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "ShellTestSupport.h"

#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "Main/CToolBarEventImp.h"
#include "Main/CToolBarLeftEventImp.h"
#include "Widgets/SFButton.h"

using namespace shelltest;

namespace {

QWidget* W(CSFView* view) { return view ? static_cast<QWidget*>(view->GetUIWnd()) : nullptr; }

TEST(MainWindowFullScreen, VideoTakesTheScreenAndEscRestoresTheWindow)
{
    auto frame = MakeMainWindow();
    ModalAnswerer boxes;
    frame->SwitchPage(2);
    std::shared_ptr<CDevConfigEventImp> page = frame->GetDevConfigPage();
    std::shared_ptr<CCodeVideoCfgEventImp> win = page->GetCodeVideoCfgPage();
    auto* window = static_cast<QWidget*>(frame->GetUIWnd());
    QWidget* pageView = W(page->GetView());
    QWidget* cfgView = W(win->GetView());
    auto* video = dynamic_cast<QWidget*>(win->GetVideoWindow());
    ASSERT_NE(video, nullptr);
    const QRect pageBefore = pageView->geometry();
    const QRect cfgBefore = cfgView->geometry();
    const QRect videoBefore = video->geometry();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    win->OnFullScreenButton();  // command 1115
    ASSERT_TRUE(win->IsFullScreen());
    EXPECT_EQ(window->geometry(), screen);
    EXPECT_FALSE(W(frame->GetToolBar()->GetView())->isVisible());
    EXPECT_FALSE(W(frame->GetToolBarLeft()->GetView())->isVisible());
    EXPECT_EQ(pageView->geometry(), QRect(QPoint(0, 0), screen.size()));
    EXPECT_EQ(cfgView->geometry(), QRect(QPoint(0, 0), screen.size()));
    EXPECT_EQ(video->geometry(), QRect(QPoint(0, 0), screen.size()));
    EXPECT_EQ(video->mapTo(window, QPoint(0, 0)), QPoint(0, 0));
    EXPECT_TRUE(dynamic_cast<QWidget*>(win->Button(1115))->isVisible());

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &esc);
    ASSERT_FALSE(win->IsFullScreen());
    EXPECT_EQ(window->size(), QSize(1000, 700));
    EXPECT_TRUE(W(frame->GetToolBar()->GetView())->isVisible());
    EXPECT_TRUE(W(frame->GetToolBarLeft()->GetView())->isVisible());
    EXPECT_EQ(pageView->geometry(), pageBefore);
    EXPECT_EQ(cfgView->geometry(), cfgBefore);
    EXPECT_EQ(video->geometry(), videoBefore);

    // Esc again, outside full screen, changes nothing.
    QCoreApplication::sendEvent(window, &esc);
    EXPECT_EQ(window->size(), QSize(1000, 700));
    EXPECT_EQ(video->geometry(), videoBefore);
    frame->SwitchPage(0);
}

} // namespace
