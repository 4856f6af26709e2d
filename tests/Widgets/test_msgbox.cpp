// Message boxes of types 0, 1 and 5 (layout, buttons, results) and the notice's "Never notify".
#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include "Common/Translate.h"
#include "WidgetTestSupport.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/CNoticeDlgEventImp.h"
#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTDialog.h"
#include "Widgets/CSFQTRadioBox.h"
#include "Widgets/SFWidgets.h"

namespace {
// Builds a message box the way ShowMessageBox does, without running it.
struct Box {
    Box(const wchar_t* text, int type) : sink(text, L"Caption", type, nullptr)
    {
        UseBuildSkin();
        BuildMsgDlgSkin(style);
        dialog = CreateSFDialog(&sink, nullptr, 0);
        sink.SetDialog(dialog);
        dialog->SetSkin(&style);
        dialog->SetDrawBackGround(1);
        dialog->Create(L"", nullptr);
        dialog->CenterWindow(nullptr);
    }
    ~Box() { DestroySFDialog(dialog); }
    QWidget* Window() const { return static_cast<CSFQTDialog*>(dialog); }
    static QWidget* W(CSFButton* b) { return static_cast<CSFQTButton*>(b); }

    DialogStyle style;
    CMsgDlgEventImp sink;
    CSFDialog* dialog;
};

// Runs `action` on the box that the next modal loop shows.
void OnModal(const std::function<void(QWidget*)>& action)
{
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        action(modal);
    });
}

void Key(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}
}  // namespace

TEST(MessageBox, LayoutByType)
{
    struct Case {
        int type;
        bool okShown, cancelShown, closeShown;
        int okLeft, height;
    } cases[] = {
        {0, true, false, true, 124, 133},
        {1, true, true, true, 78, 133},
        {5, false, false, false, 0, 113},
        {7, false, false, true, 0, 36},
    };
    for (const Case& c : cases) {
        Box box(L"One line", c.type);
        EXPECT_EQ(box.Window()->width(), 321) << c.type;
        EXPECT_EQ(box.Window()->height(), c.height) << c.type;
        box.dialog->ShowWindow(1);
        EXPECT_EQ(Box::W(box.sink.OkButton())->isVisible(), c.okShown) << c.type;
        EXPECT_EQ(Box::W(box.sink.CancelButton())->isVisible(), c.cancelShown) << c.type;
        EXPECT_EQ(Box::W(box.sink.CloseButton())->isVisible(), c.closeShown) << c.type;
        EXPECT_EQ(Box::W(box.sink.CloseButton())->geometry(), QRect(295, 2, 24, 24));
        if (c.okShown) {
            EXPECT_EQ(Box::W(box.sink.OkButton())->geometry(), QRect(c.okLeft, 97, 72, 25)) << c.type;
        }
        if (c.cancelShown) {
            EXPECT_EQ(Box::W(box.sink.CancelButton())->geometry(), QRect(170, 97, 72, 25));
        }
    }
}

TEST(MessageBox, LongTextGrowsTheBox)
{
    std::wstring text;
    for (int i = 0; i < 40; ++i)
        text += L"word ";
    Box box(text.c_str(), 1);
    int w = 0, h = 0;
    box.sink.TextControl()->GetTextSize(w, h);
    ASSERT_GT(h, 60);  // wrapped over several lines, plus the 10-pixel margin below
    const int textBottom = 37 + h;
    EXPECT_EQ(Box::W(box.sink.OkButton())->y(), textBottom + 10);
    EXPECT_EQ(box.Window()->height(), textBottom + 45 + 1);

    // Replacing the text keeps the box's size.
    const QSize before = box.Window()->size();
    box.sink.SetText(L"short");
    EXPECT_EQ(box.Window()->size(), before);
}

TEST(MessageBox, Results)
{
    struct Case {
        int type;
        const char* how;
        int result;
    } cases[] = {
        {0, "ok", 1},     {1, "ok", 1},      {1, "cancel", 2}, {1, "close", 2},
        {1, "escape", 2}, {1, "return", 1},  {5, "return", 1}, {5, "escape", 2},
    };
    for (const Case& c : cases) {
        const std::string how = c.how;
        OnModal([how](QWidget* modal) {
            auto buttons = modal->findChildren<CSFQTButton*>();
            auto byId = [&](UINT id) -> QWidget* {
                for (CSFQTButton* b : buttons)
                    if (b->Id() == id)
                        return b;
                return nullptr;
            };
            if (how == "ok")
                QTest::mouseClick(byId(1), Qt::LeftButton);
            else if (how == "cancel")
                QTest::mouseClick(byId(2), Qt::LeftButton);
            else if (how == "close")
                QTest::mouseClick(byId(502), Qt::LeftButton);
            else if (how == "escape")
                Key(modal, Qt::Key_Escape);
            else
                Key(modal, Qt::Key_Return);
        });
        EXPECT_EQ(ShowMessageBox(L"Delete the device?", L"Attention", nullptr, c.type), c.result)
            << c.type << " " << c.how;
    }
}

TEST(MessageBox, PressingOkTurnsItsCaptionBlack)
{
    Box box(L"Text", 1);
    auto* ok = static_cast<CSFQTButton*>(box.sink.OkButton());
    ok->SetTextColor(0x0000FF);
    QTest::mousePress(ok, Qt::LeftButton);
    EXPECT_EQ(ok->TextColor(), QColor(0, 0, 0));
    QTest::mouseRelease(ok, Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
}

TEST(NoticeDialog, NeverNotifyIsKeptBetweenShowings)
{
    UseBuildSkin();
    struct Owner : ISFDialogEvent {
        int Dlg_OnInitDialog(bool) override { return 1; }
    };
    auto owner = std::make_shared<Owner>();
    std::shared_ptr<CNoticeDlgEventImp> notice = CNoticeDlgEventImp::Create(owner);
    CSFDialog* dialog = notice->GetDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->IsDlgVisible(), 0);
    EXPECT_EQ(notice->IsNeverNotify(), 0);
    notice->SetText(L"Passwords are reset through the service.");

    OnModal([&](QWidget* modal) {
        QTest::mouseClick(static_cast<CSFQTRadioBox*>(notice->NeverNotifyBox()), Qt::LeftButton, Qt::NoModifier,
                          QPoint(8, 13));
        auto buttons = modal->findChildren<CSFQTButton*>();
        for (CSFQTButton* b : buttons)
            if (b->Id() == 2 && b->text() == QString::fromWCharArray(Tr(L"Cancel")))
                QTest::mouseClick(b, Qt::LeftButton);
    });
    EXPECT_EQ(dialog->DoModalDlg(), 2);
    EXPECT_EQ(notice->IsNeverNotify(), 1);

    OnModal([](QWidget* modal) { Key(modal, Qt::Key_Return); });
    EXPECT_EQ(dialog->DoModalDlg(), 1);
    EXPECT_EQ(notice->IsNeverNotify(), 1);

    OnModal([](QWidget* modal) {
        for (CSFQTButton* b : modal->findChildren<CSFQTButton*>())
            if (b->geometry() == QRect(375, 2, 24, 24))
                QTest::mouseClick(b, Qt::LeftButton);
    });
    EXPECT_EQ(dialog->DoModalDlg(), 2);
}
