// Edit control (validators, quiet program changes, Enter reporting) and combo box (quiet
// program changes, the double report of a user selection, bounds, looks).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QScreen>

#include "ControlTestSupport.h"
#include "Widgets/CSFQTComboBox.h"
#include "Widgets/CSFQTEditCtrl.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

namespace {
struct EditSink : ISFEditCtrlEvent {
    std::vector<std::wstring> changes;
    std::vector<std::wstring> enters;
    void EDIT_OnTextChange(UINT, wchar_t* text) override { changes.emplace_back(text); }
    void EDIT_OnEnterPressed(UINT, wchar_t* text) override { enters.emplace_back(text); }
};

struct ComboSink : ISFComboBoxEvent {
    std::vector<std::string> calls;
    void SelectChanged(int id, int index, void* sender) override
    {
        calls.push_back("3:" + std::to_string(id) + ":" + std::to_string(index) + (sender ? ":s" : ":0"));
    }
    void SelectChanged(int id, int index) override
    {
        calls.push_back("2:" + std::to_string(id) + ":" + std::to_string(index));
    }
};

CSFQTEditCtrl* NewEdit(QWidget* page, ISFEditCtrlEvent* sink, UINT id = 7)
{
    auto* edit = static_cast<CSFQTEditCtrl*>(CreateSFEditCtrl(sink));
    edit->Create(WS_VISIBLE, RECT{10, 10, 110, 34}, page, id, false);
    return edit;
}
}  // namespace

TEST(EditCtrl, ValidatorsAcceptAndReject)
{
    QWidget page;
    struct Case {
        const char* name;
        void (*install)(CSFEditCtrl*);
        const char* text;
        bool acceptable;
    };
    const Case cases[] = {
        {"email with dotted domain", [](CSFEditCtrl* e) { e->SetEmailType(); }, "a.b-c_d@mail.example.org", true},
        {"email without dot", [](CSFEditCtrl* e) { e->SetEmailType(); }, "user@localhost", false},
        {"email with space", [](CSFEditCtrl* e) { e->SetEmailType(); }, "us er@mail.org", false},
        {"digits only", [](CSFEditCtrl* e) { e->SetNumType(1); }, "12a", false},
        {"digits", [](CSFEditCtrl* e) { e->SetNumType(1); }, "0123", true},
        {"anything", [](CSFEditCtrl* e) { e->SetNumType(0); }, "a b!", true},
        {"default pattern", [](CSFEditCtrl* e) { e->SetRegExp(); }, "Ab9", true},
        {"default pattern symbol", [](CSFEditCtrl* e) { e->SetRegExp(); }, "Ab-9", false},
        {"two decimals", [](CSFEditCtrl* e) { e->SetDoubleValidator(0, 100); }, "12.34", true},
        {"three decimals", [](CSFEditCtrl* e) { e->SetDoubleValidator(0, 100); }, "12.345", false},
        {"comma separator", [](CSFEditCtrl* e) { e->SetDoubleValidator(0, 100); }, "12,34", false},
        {"int in range", [](CSFEditCtrl* e) { e->SetIntValidator(1, 65535); }, "8080", true},
        {"int out of range", [](CSFEditCtrl* e) { e->SetIntValidator(1, 99); }, "800", false},
    };
    for (const Case& c : cases) {
        CSFQTEditCtrl* edit = NewEdit(&page, nullptr);
        c.install(edit);
        QString text = QString::fromLatin1(c.text);
        int pos = 0;
        const bool acceptable = edit->validator()->validate(text, pos) == QValidator::Acceptable;
        EXPECT_EQ(acceptable, c.acceptable) << c.name;
    }
}

TEST(EditCtrl, EmailCheckIsWholeText)
{
    QWidget page;
    CSFQTEditCtrl* edit = NewEdit(&page, nullptr);
    for (const auto& [text, ok] : std::vector<std::pair<const wchar_t*, bool>>{
             {L"me@mail.example.com", true}, {L"me@mail", false}, {L"me@mail.com x", false}, {L"", false}}) {
        edit->SetWindowTextW(text);
        EXPECT_EQ(edit->CheckEmailMatch(), ok) << QString::fromWCharArray(text).toStdString();
    }
}

TEST(EditCtrl, TypingReportsProgramTextDoesNot)
{
    QWidget page;
    EditSink sink;
    CSFQTEditCtrl* edit = NewEdit(&page, &sink);
    ASSERT_TRUE(ShowActive(&page));
    edit->SetWindowTextW(L"set");
    EXPECT_TRUE(sink.changes.empty());
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_X);
    ASSERT_EQ(sink.changes.size(), 1u);
    EXPECT_EQ(sink.changes[0], L"setx");
}

TEST(EditCtrl, EnterReportsOnceThenOneMorePerLeave)
{
    QWidget page;
    EditSink sink;
    CSFQTEditCtrl* edit = NewEdit(&page, &sink);
    CSFQTEditCtrl* other = NewEdit(&page, nullptr, 8);
    ASSERT_TRUE(ShowActive(&page));
    edit->setFocus();
    QTest::keyClicks(edit, "ab");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(sink.enters, std::vector<std::wstring>{L"ab"});
    other->setFocus();
    EXPECT_EQ(sink.enters.size(), 1u);
    edit->setFocus();
    other->setFocus();
    EXPECT_EQ(sink.enters.size(), 2u);
}

TEST(EditCtrl, TextGetterNeverPassesCount)
{
    QWidget page;
    CSFQTEditCtrl* edit = NewEdit(&page, nullptr);
    edit->SetWindowTextW(L"abcdef");
    wchar_t buf[8];
    std::fill(std::begin(buf), std::end(buf), L'#');
    EXPECT_EQ(edit->GetWindowTextW(buf, 3), 6);
    EXPECT_EQ(std::wstring(buf, 4), L"abc#");
    EXPECT_EQ(edit->GetWindowTextW(buf, 8), 6);
    EXPECT_EQ(std::wstring(buf), L"abcdef");
}

TEST(EditCtrl, ReadOnlyAndEnableSheets)
{
    QWidget page;
    CSFQTEditCtrl* edit = NewEdit(&page, nullptr);
    edit->EnableWindow(0);
    EXPECT_EQ(edit->styleSheet(), "background-color:rgb(230,230,230); border:1px solid rgb(201,206,214)");
    edit->SetReadOnly(1);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(edit->isReadOnly());
    edit->SetObjectName(L"Name");
    EXPECT_TRUE(edit->styleSheet().contains("color:rgb(45,136,239)"));
    edit->EnableWindow(1);
    EXPECT_EQ(edit->styleSheet(), "background-color:white; border:1px solid rgb(201,206,214)");
}

TEST(ComboBox, ProgramChangesAreQuiet)
{
    QWidget page;
    ComboSink sink;
    auto* combo = static_cast<CSFQTComboBox*>(CreateSFComboBox(&sink));
    combo->Create(WS_VISIBLE, RECT{0, 0, 120, 24}, &page, 5);
    EXPECT_EQ(combo->AddString(L"first"), 0);
    EXPECT_EQ(combo->AddString(L"second"), 1);
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(combo->SetCurSel(1), 1);
    EXPECT_EQ(combo->DeleteString(1), 1);
    combo->Clear();
    EXPECT_TRUE(sink.calls.empty());
}

TEST(ComboBox, UserSelectionReportsTwiceInOrder)
{
    QWidget page;
    ComboSink sink;
    auto* combo = static_cast<CSFQTComboBox*>(CreateSFComboBox(&sink));
    combo->Create(WS_VISIBLE, RECT{0, 0, 120, 24}, &page, 5);
    combo->AddString(L"a");
    combo->AddString(L"b");
    ASSERT_TRUE(ShowActive(&page));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"2:5:1", "3:5:1:s"}));
}

TEST(ComboBox, IndexBoundsAndBoundedText)
{
    QWidget page;
    auto* combo = static_cast<CSFQTComboBox*>(CreateSFComboBox(nullptr));
    combo->Create(WS_VISIBLE, RECT{0, 0, 120, 24}, &page, 5);
    combo->AddString(L"hello");
    EXPECT_EQ(combo->SetCurSel(1), -1);
    EXPECT_EQ(combo->DeleteString(static_cast<UINT>(-1)), -1);
    EXPECT_EQ(combo->GetLBText(3, nullptr, 0), -1);
    wchar_t buf[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(combo->GetLBText(0, buf, 4), 3);
    EXPECT_EQ(std::wstring(buf), L"hel");
    wchar_t whole[8];
    EXPECT_EQ(combo->GetLBText(0, whole), 5);
    EXPECT_EQ(std::wstring(whole), L"hello");
    combo->ResetContent();
    EXPECT_EQ(combo->GetCount(), 0);
}

TEST(ComboBox, SkinPiecesAndOpenLook)
{
    QWidget page;
    auto* combo = static_cast<CSFQTComboBox*>(CreateSFComboBox(nullptr));
    combo->Create(WS_VISIBLE, RECT{0, 0, 120, 20}, &page, 5);
    ImageComboBoxStyle style;
    style.strNormalRect = L"0,0,99,24";
    style.strDropDownRect = L"0,30,99,24";
    style.strDropUpRect = L"0,60,99,24";
    EXPECT_EQ(combo->SetSkin(&style), 1);
    EXPECT_EQ(combo->Piece(0), QRect(QPoint(0, 0), QPoint(99, 24)));
    // An empty hover text keeps the single pixel at the corner.
    EXPECT_EQ(combo->Piece(1), QRect(QPoint(0, 0), QPoint(0, 0)));
    EXPECT_EQ(combo->CurrentPiece(), combo->Piece(0));
    combo->EnableWindow(0);
    EXPECT_EQ(combo->CurrentPiece(), combo->Piece(4));
    combo->EnableWindow(1);

    for (const wchar_t* item : {L"a", L"b", L"c"})
        combo->AddString(item);
    const int screenBottom = QGuiApplication::primaryScreen()->geometry().bottom();
    page.move(0, screenBottom - 40);
    EXPECT_EQ(combo->OpenPiece(), combo->Piece(3));
    page.move(0, 0);
    EXPECT_EQ(combo->OpenPiece(), combo->Piece(2));

    combo->SetOriginStyle(1);
    EXPECT_EQ(combo->SetSkin(&style), 0);
    EXPECT_EQ(combo->SetSkin(nullptr), 0);
}
