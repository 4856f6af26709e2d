// The device account dialog, offscreen: its refusals, its length limits, OK, Enter, Esc, close.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include "DevConfig/CAcountDlg.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "Widgets/SFStatic.h"
#include "BoxRecorder.h"

namespace {

class RecordingView : public CCodeVideoCfgEventImp {
public:
    std::vector<std::string> calls;
    void SetDeviceAccount(const std::string& u, const std::string& p) override { calls.push_back(u + "/" + p); }
    void LoginSelectedDevice() override { calls.push_back("login"); }
};

std::wstring Text(CSFEditCtrl* edit)
{
    wchar_t buf[256] = {};
    edit->GetWindowTextW(buf, 255);
    return buf;
}

class AccountDlg : public ::testing::Test {
protected:
    void SetUp() override
    {
        view = std::make_shared<RecordingView>();
        dlg = CAcountDlg::Show(view);
        ASSERT_NE(dlg->GetDialog(), nullptr);
        ASSERT_NE(dlg->UserEdit(), nullptr);
        ASSERT_NE(dlg->PasswordEdit(), nullptr);
    }
    // As the user types: the edit reports the change.
    void Type(CSFEditCtrl* edit, const std::wstring& text)
    {
        auto* line = dynamic_cast<QLineEdit*>(edit);
        ASSERT_NE(line, nullptr);
        line->setText(QString::fromStdWString(text));
    }

    std::shared_ptr<RecordingView> view;
    std::shared_ptr<CAcountDlg> dlg;
};

TEST_F(AccountDlg, RefusedUserNamesKeepTheDialogAndNameTheRule)
{
    const std::wstring rule = L"Your input shall only contain numbers, letters and '_'.";
    struct Case {
        std::wstring user;
        std::wstring message;
    };
    const Case cases[] = {{L"", L"Please input default username."},
                          {L"bad-name", rule},
                          {L"two words", rule},
                          {L"\u00e9l\u00e8ve", rule}};
    for (const Case& c : cases) {
        devconfigtest::BoxRecorder boxes(10);
        Type(dlg->UserEdit(), c.user);
        Type(dlg->PasswordEdit(), L"pw");
        dlg->OnOK();
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], c.message);
        EXPECT_TRUE(view->calls.empty());
        EXPECT_EQ(Text(dlg->UserEdit()), c.user) << "edits stay as they are";
        EXPECT_EQ(Text(dlg->PasswordEdit()), L"pw");
    }
}

TEST_F(AccountDlg, AcceptedAccountGoesToTheViewAndStartsALogin)
{
    devconfigtest::BoxRecorder boxes(10);
    Type(dlg->UserEdit(), L"Ops_user2");
    Type(dlg->PasswordEdit(), L"any thing-goes");
    dlg->OnDlgKeyDown(0, 13); // Enter is OK
    EXPECT_TRUE(boxes.texts.empty());
    ASSERT_EQ(view->calls.size(), 2u);
    EXPECT_EQ(view->calls[0], "Ops_user2/any thing-goes");
    EXPECT_EQ(view->calls[1], "login");
    EXPECT_EQ(Text(dlg->UserEdit()), L"");
    EXPECT_EQ(Text(dlg->PasswordEdit()), L"");
}

TEST_F(AccountDlg, TypedTextIsCutToWhatTheRecordHolds)
{
    Type(dlg->UserEdit(), std::wstring(40, L'u'));
    EXPECT_EQ(Text(dlg->UserEdit()), std::wstring(31, L'u'));
    Type(dlg->PasswordEdit(), std::wstring(70, L'p'));
    EXPECT_EQ(Text(dlg->PasswordEdit()), std::wstring(63, L'p'));
    // Two-byte characters: 15 fit in 31 bytes, never half of one.
    Type(dlg->UserEdit(), std::wstring(20, L'\u00e9'));
    EXPECT_EQ(Text(dlg->UserEdit()), std::wstring(15, L'\u00e9'));
}

TEST_F(AccountDlg, EscapeAndCloseClearWithoutCallingTheView)
{
    for (int way = 0; way < 2; ++way) {
        Type(dlg->UserEdit(), L"someone");
        Type(dlg->PasswordEdit(), L"secret");
        if (way == 0)
            dlg->OnDlgKeyDown(0, 27);
        else
            dlg->OnClose();
        EXPECT_EQ(Text(dlg->UserEdit()), L"");
        EXPECT_EQ(Text(dlg->PasswordEdit()), L"");
    }
    dlg->OnDlgKeyDown(0, 65);
    EXPECT_TRUE(view->calls.empty());
}

TEST(AccountDlgWindow, OpensAsAHiddenWindowOfTheEncodeView)
{
    std::shared_ptr<CCodeVideoCfgEventImp> view; // outlives the widgets, as in the program
    QWidget host;
    view = CCodeVideoCfgEventImp::Create(std::weak_ptr<CDevConfigEventImp>(), &host);
    auto* viewWidget = static_cast<QWidget*>(view->GetUIWnd());
    ASSERT_NE(viewWidget, nullptr);
    // The account dialog is the one with a password field.
    int found = 0;
    for (QDialog* d : viewWidget->findChildren<QDialog*>())
        for (QLineEdit* e : d->findChildren<QLineEdit*>())
            if (e->echoMode() == QLineEdit::Password) {
                ++found;
                EXPECT_TRUE(d->isWindow());
                EXPECT_FALSE(d->isVisible());
            }
    EXPECT_EQ(found, 1) << "the account dialog belongs to the view's window";
}

} // namespace

