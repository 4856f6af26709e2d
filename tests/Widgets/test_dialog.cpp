// Skinned dialog: skin geometry, frame composition, drag, key mapping, timers and modal results.
#include <gtest/gtest.h>

#include <vector>

#include <functional>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "WidgetTestSupport.h"
#include <QLabel>

#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/CSFQTDialog.h"
#include "Widgets/SFWidgets.h"

namespace {
class DialogPage : public ISFDialogEvent {
public:
    int Dlg_OnInitDialog(bool create) override
    {
        inits.push_back(create);
        return 1;
    }
    void OnDlgKeyDown(UINT modifier, UINT key) override { keys.emplace_back(modifier, key); }
    void OnDlgTimer(UINT id) override { timers.push_back(id); }
    int Dlg_Close() override
    {
        ++closeAsks;
        return keepOpen;
    }
    void OnDlgSize(UINT, int& w, int& h) override { sizes.emplace_back(w, h); }
    void Dlg_Destroy() override { ++destroys; }

    std::vector<bool> inits;
    std::vector<std::pair<UINT, UINT>> keys;
    std::vector<UINT> timers;
    std::vector<std::pair<int, int>> sizes;
    int closeAsks = 0;
    int keepOpen = 0;
    int destroys = 0;
};

DialogStyle FrameSkin()
{
    DialogStyle s;
    BuildMsgDlgSkin(s);
    return s;
}

void SendMouse(QWidget* w, QEvent::Type type, const QPoint& local, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

bool WaitFor(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}
}  // namespace

TEST(SkinnedDialog, SkinSizesAndCentresTheDialog)
{
    UseBuildSkin();
    DialogPage page;
    CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
    auto* wnd = static_cast<CSFQTDialog*>(dialog);
    DialogStyle skin = FrameSkin();
    skin.strDlgSize = L"400,300";
    skin.strClosePos = L"-30,0,25,20";
    dialog->SetSkin(&skin);
    EXPECT_EQ(wnd->size(), QSize(400, 300));
    const QRect area = wnd->screen()->availableGeometry();
    EXPECT_EQ(wnd->pos(), QPoint(area.left() + (area.width() - 400) / 2, area.top() + (area.height() - 300) / 2));
    EXPECT_EQ(wnd->windowFlags() & (Qt::FramelessWindowHint | Qt::Dialog), Qt::FramelessWindowHint | Qt::Dialog);

    dialog->ShowWindow(1);
    EXPECT_EQ(wnd->Skin().ButtonRect(1), QRect(QPoint(370, 0), QPoint(394, 19)));
    dialog->MoveWindow(0, 0, 500, 300);
    EXPECT_EQ(wnd->Skin().ButtonRect(1), QRect(QPoint(470, 0), QPoint(494, 19)));
    EXPECT_EQ(wnd->Skin().m_titleRect, QRect(QPoint(0, 0), QPoint(499, 26)));
    ASSERT_FALSE(page.sizes.empty());
    EXPECT_EQ(page.sizes.back(), std::make_pair(500, 300));

    RECT client{};
    dialog->GetDlgClientRect(&client);
    EXPECT_EQ(client.right, 499);
    EXPECT_EQ(client.bottom, 299);
    RECT r{10, 20, 109, 69};
    dialog->MoveWindow(&r);
    EXPECT_EQ(wnd->geometry(), QRect(10, 20, 100, 50));
    DestroySFDialog(dialog);
    EXPECT_EQ(page.destroys, 1);
    EXPECT_EQ(page.GetUIWnd(), nullptr);
}

TEST(SkinnedDialog, FrameEdgesRepeatAndCornersCoverTheRest)
{
    // Top-left 10 px red, top edge 7 px (blue first column, green after), top-right 10 px black.
    QPixmap frame(40, 10);
    frame.fill(Qt::white);
    {
        QPainter p(&frame);
        p.fillRect(0, 0, 10, 5, Qt::red);
        p.fillRect(10, 0, 7, 5, Qt::green);
        p.fillRect(10, 0, 1, 5, Qt::blue);
        p.fillRect(20, 0, 10, 5, Qt::black);
    }
    CSFFrameSkin skin;
    skin.m_frame = frame;
    skin.m_bkColor = Qt::white;
    skin.m_pieces[0] = SFParseRect(L"0,0,10,5");
    skin.m_pieces[1] = SFParseRect(L"10,0,7,5");
    skin.m_pieces[2] = SFParseRect(L"20,0,10,5");
    skin.Compose(100, 40, false);
    const QImage image = skin.Picture().toImage();
    struct Case {
        int x;
        QColor colour;
    } cases[] = {{0, Qt::red},   {10, Qt::blue}, {11, Qt::green}, {17, Qt::blue},
                 {87, Qt::blue}, {89, Qt::green}, {90, Qt::black}, {99, Qt::black}};
    for (const Case& c : cases)
        EXPECT_EQ(image.pixelColor(c.x, 2), c.colour) << c.x;
    EXPECT_EQ(image.pixelColor(50, 20), QColor(Qt::white));
}

TEST(SkinnedDialog, DragsByTheTitleAreaUnlessMaximised)
{
    UseBuildSkin();
    DialogPage page;
    CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
    auto* wnd = static_cast<CSFQTDialog*>(dialog);
    DialogStyle skin = FrameSkin();
    dialog->SetSkin(&skin);
    dialog->MoveWindow(100, 100, 300, 200);
    dialog->ShowWindow(1);
    const QPoint start = wnd->pos();
    SendMouse(wnd, QEvent::MouseButtonPress, QPoint(50, 10), Qt::LeftButton, Qt::LeftButton);
    SendMouse(wnd, QEvent::MouseMove, QPoint(80, 50), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(wnd->pos(), start + QPoint(30, 40));
    SendMouse(wnd, QEvent::MouseButtonRelease, QPoint(50, 10), Qt::LeftButton, Qt::NoButton);

    // Below the title area nothing moves.
    const QPoint second = wnd->pos();
    SendMouse(wnd, QEvent::MouseButtonPress, QPoint(50, 100), Qt::LeftButton, Qt::LeftButton);
    SendMouse(wnd, QEvent::MouseMove, QPoint(90, 150), Qt::NoButton, Qt::LeftButton);
    SendMouse(wnd, QEvent::MouseButtonRelease, QPoint(90, 150), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(wnd->pos(), second);

    dialog->MacShowMaximize(true);
    ASSERT_TRUE(WaitFor([&] { return dialog->IsDlgZoomed() == 1; }));
    const QPoint maximised = wnd->pos();
    SendMouse(wnd, QEvent::MouseButtonPress, QPoint(50, 10), Qt::LeftButton, Qt::LeftButton);
    SendMouse(wnd, QEvent::MouseMove, QPoint(90, 60), Qt::NoButton, Qt::LeftButton);
    SendMouse(wnd, QEvent::MouseButtonRelease, QPoint(90, 60), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(wnd->pos(), maximised);
    dialog->MacShowMaximize(false);
    EXPECT_TRUE(WaitFor([&] { return dialog->IsDlgZoomed() == 0; }));
    DestroySFDialog(dialog);
}

TEST(SkinnedDialog, KeysReachTheSinkAsWindowsCodes)
{
    DialogPage page;
    CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
    QWidget* wnd = static_cast<CSFQTDialog*>(dialog);
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        UINT modifier, code;
    } cases[] = {
        {Qt::Key_Escape, Qt::NoModifier, 0, 27},
        {Qt::Key_Space, Qt::NoModifier, 0, 32},
        {Qt::Key_Left, Qt::NoModifier, 0, 37},
        {Qt::Key_Right, Qt::NoModifier, 0, 39},
        {Qt::Key_F1, Qt::NoModifier, 0, 112},
        {Qt::Key_Return, Qt::NoModifier, 0, 13},
        {Qt::Key_Enter, Qt::KeypadModifier, 0, 13},
        {Qt::Key_A, Qt::NoModifier, 0, 0},
        {Qt::Key_F4, Qt::NoModifier, 0, 0},
        {Qt::Key_F1, Qt::ShiftModifier | Qt::ControlModifier, 17, 112},
        {Qt::Key_X, Qt::AltModifier, 18, 0},
        {Qt::Key_Space, Qt::ShiftModifier, 16, 32},
    };
    for (const Case& c : cases) {
        page.keys.clear();
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QCoreApplication::sendEvent(wnd, &press);
        ASSERT_EQ(page.keys.size(), 1u) << c.key;
        EXPECT_EQ(page.keys[0], std::make_pair(c.modifier, c.code)) << c.key;
    }
    // Escape does not close the dialog by itself.
    dialog->ShowWindow(1);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(wnd, &esc);
    EXPECT_TRUE(wnd->isVisible());
    DestroySFDialog(dialog);
}

TEST(SkinnedDialog, TimersByUserId)
{
    DialogPage page;
    CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
    const UINT first = dialog->SetDlgTimer(5, 1000);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(dialog->SetDlgTimer(5, 1000), first);
    EXPECT_EQ(dialog->KillDlgTimer(5), 1);
    EXPECT_EQ(dialog->KillDlgTimer(5), 0);
    EXPECT_NE(dialog->SetDlgTimer(5, 1000), 0u);  // a killed id can start again
    dialog->SetDlgTimer(7, 5);
    EXPECT_TRUE(WaitFor([&] { return !page.timers.empty(); }));
    EXPECT_EQ(page.timers.front(), 7u);
    DestroySFDialog(dialog);
}

TEST(SkinnedDialog, ModalResults)
{
    UseBuildSkin();
    struct Case {
        const char* how;
        int result;
    } cases[] = {{"ok", 1}, {"cancel", 2}, {"close", 2}, {"message16", 2}, {"command1", 1}, {"closebutton", 2}};
    for (const Case& c : cases) {
        DialogPage page;
        CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
        auto* wnd = static_cast<CSFQTDialog*>(dialog);
        DialogStyle skin = FrameSkin();
        skin.strClosePos = L"370,2,24,20";
        dialog->SetSkin(&skin);
        dialog->MoveWindow(0, 0, 400, 200);
        const std::string how = c.how;
        QTimer::singleShot(0, wnd, [&] {
            dialog->SendDlgMessage(17, 0, 0);  // no effect
            if (how == "ok")
                dialog->MFCOK();
            else if (how == "cancel")
                dialog->MFCCancel();
            else if (how == "close")
                wnd->close();
            else if (how == "message16")
                dialog->SendDlgMessage(16, 0, 0);
            else if (how == "command1")
                SFSendCommandToParent(new QObject(wnd), 1);
            else {
                SendMouse(wnd, QEvent::MouseButtonPress, QPoint(380, 10), Qt::LeftButton, Qt::LeftButton);
                SendMouse(wnd, QEvent::MouseButtonRelease, QPoint(380, 10), Qt::LeftButton, Qt::NoButton);
            }
        });
        EXPECT_EQ(dialog->DoModalDlg(), c.result) << c.how;
        EXPECT_EQ(page.inits, std::vector<bool>{false}) << c.how;
        DestroySFDialog(dialog);
    }
}

TEST(SkinnedDialog, CloseRefusedBySink)
{
    DialogPage page;
    page.keepOpen = 1;
    CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
    auto* wnd = static_cast<CSFQTDialog*>(dialog);
    dialog->ShowWindow(1);
    EXPECT_FALSE(wnd->close());
    EXPECT_TRUE(wnd->isVisible());
    EXPECT_EQ(page.closeAsks, 1);
    page.keepOpen = 0;
    EXPECT_TRUE(wnd->close());
    DestroySFDialog(dialog);
}

TEST(SkinnedDialog, CreateBuildsWithoutShowing)
{
    DialogPage page;
    CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
    EXPECT_EQ(dialog->Create(L"Title", nullptr), 1);
    EXPECT_EQ(page.inits, std::vector<bool>{true});
    EXPECT_EQ(dialog->IsDlgVisible(), 0);
    EXPECT_EQ(dialog->CreateDlg(nullptr), 1);
    EXPECT_EQ(static_cast<CSFQTDialog*>(dialog)->TitleLabel()->text(), QStringLiteral("Title"));
    DestroySFDialog(dialog);
    DestroySFDialog(nullptr);
}
