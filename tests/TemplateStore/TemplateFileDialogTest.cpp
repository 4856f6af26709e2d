// The template file dialog, run modally with its owners standing by: load, save-as and open modes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Common/AppPath.h"
#include "Template/CTempletOptionDlg.h"
#include "TemplateFiles.h"
#include "TemplateTestOwner.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFStatic.h"

using Dlg = CTempletOptionDlg;

namespace {

class FakeShell : public tpltest::OwnerView, public ITemplateEditShell {
public:
    int OpenTemplateFile(const char* path) override { return calls.push_back("open " + std::string(path)), 1; }
    int SaveToFile(const char* path) override { return calls.push_back("save " + std::string(path)), 1; }
    int GetTemplateName(wchar_t* buffer, int capacity) override
    {
        std::wmemset(buffer, 0, capacity);
        std::wcsncpy(buffer, name.c_str(), capacity - 1);
        return 0;
    }
    int SetEditMode(int mode) override { return calls.push_back("edit mode " + std::to_string(mode)), 0; }
    std::vector<std::string> calls;
    std::wstring name;
};

class FakePanel : public tpltest::OwnerView, public ITemplateApplyPanel {
public:
    bool LoadTemplate(const char* path) override { return calls.push_back("load " + std::string(path)), accept; }
    void ShowTemplateInfo(const char* path) override { calls.push_back("show " + std::string(path)); }
    void SetTemplateMode(int mode) override { calls.push_back("mode " + std::to_string(mode)); }
    void SetTemplatePath(const char* path) override { calls.push_back("path " + std::string(path)); }
    std::vector<std::string> calls;
    bool accept = true;
};

// Answers the message boxes that open over the template dialog, recording their texts.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QWidget* ours, int answer = 1) : m_ours(ours), m_answer(answer)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!box || box == m_ours)
                return;
            std::wstring text;
            for (QWidget* child : box->findChildren<QWidget*>())
                if (auto* label = dynamic_cast<CSFStatic*>(child)) {
                    wchar_t buf[1024] = {};
                    label->GetStaticText(buf, 1023);
                    text += buf;
                    text += L"|";
                }
            texts.push_back(text);
            box->done(m_answer == 1 ? QDialog::Accepted : QDialog::Rejected);
        });
        m_timer.start(5);
    }
    bool Saw(const std::wstring& part) const
    {
        for (const std::wstring& t : texts)
            if (t.find(part) != std::wstring::npos)
                return true;
        return false;
    }
    std::vector<std::wstring> texts;

private:
    QWidget* m_ours;
    int m_answer;
    QTimer m_timer;
};

class TemplateFileDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        SFSetAppPathForTest(L"/opt/vantyx");
        shell = std::make_shared<FakeShell>();
        panel = std::make_shared<FakePanel>();
    }
    std::shared_ptr<Dlg> Make(int mode)
    {
        auto dlg = Dlg::Create(shell, panel, mode);
        dlg->SetFileChooser([this](void* record, wchar_t* file, int capacity, int pickFile, const wchar_t*,
                                   const wchar_t*, const wchar_t*, DWORD, const wchar_t* filter, void*) {
            chooserCalls.push_back(std::to_wstring(pickFile) + L" " + (filter ? filter : L""));
            if (chosen.empty())
                return 0;
            wchar_t* out = pickFile ? file : static_cast<wchar_t*>(record) + SF_FOLDER_RESULT_OFFSET;
            std::wcsncpy(out, chosen.c_str(), pickFile ? capacity : 1024);
            return 1;
        });
        return dlg;
    }
    static QWidget* Window(Dlg& dlg) { return static_cast<QWidget*>(dlg.GetUIWnd()); }
    static QPushButton* Button(Dlg& dlg, const QString& text)
    {
        for (QPushButton* b : Window(dlg)->findChildren<QPushButton*>())
            if (b->text() == text)
                return b;
        return nullptr;
    }
    // Runs the dialog modally; `user` acts inside it, then it must have closed. Returns DoModalDlg's result.
    int Run(Dlg& dlg, std::function<void(Dlg&)> user)
    {
        QTimer::singleShot(0, Window(dlg), [&] { user(dlg); });
        // A dialog the user left open is closed after a while so that the test ends.
        QTimer::singleShot(3000, Window(dlg), [&] {
            if (Window(dlg)->isVisible())
                dlg.GetDialog()->MFCCancel();
        });
        return dlg.GetDialog()->DoModalDlg();
    }
    // Replaces the path box's text as the user would.
    static void Type(Dlg& dlg, const std::string& path)
    {
        auto* edit = Window(dlg)->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        edit->insert(QString::fromStdString(path));
    }
    static void Key(Dlg& dlg, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(Window(dlg), &press);
    }

    tplfiles::Folder dir;
    std::shared_ptr<FakeShell> shell;
    std::shared_ptr<FakePanel> panel;
    std::vector<std::wstring> chooserCalls;
    std::wstring chosen;
};

} // namespace

TEST_F(TemplateFileDialog, TitlesParentsAndFirstPath)
{
    const struct {
        int mode;
        const wchar_t* title;
        QWidget* parent;
    } cases[] = {
        {Dlg::MODE_LOAD, L"Load Template", static_cast<QWidget*>(shell->GetUIWnd())},
        {Dlg::MODE_SAVE_AS, L"Save As", static_cast<QWidget*>(shell->GetUIWnd())},
        {Dlg::MODE_OPEN, L"Open File", static_cast<QWidget*>(panel->GetUIWnd())},
        {7, L"Open File", static_cast<QWidget*>(panel->GetUIWnd())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        auto dlg = Make(c.mode);
        QWidget* wnd = Window(*dlg);
        ASSERT_NE(wnd, nullptr);
        EXPECT_FALSE(wnd->isVisible());
        bool titled = false;
        for (QLabel* label : wnd->findChildren<QLabel*>())
            titled = titled || label->text().toStdWString() == c.title;
        EXPECT_TRUE(titled);
        EXPECT_EQ(wnd->parentWidget(), c.parent);
        EXPECT_EQ(wnd->width(), 600);
        EXPECT_EQ(dlg->GetPathText(), L"/opt/vantyx/Templet.xml");
        ASSERT_NE(Button(*dlg, "OK"), nullptr);
        EXPECT_EQ(Button(*dlg, "OK")->geometry().left(), 224);
        EXPECT_EQ(Button(*dlg, "OK")->geometry().top(), 184);
        EXPECT_EQ(Button(*dlg, "Cancel")->geometry().left(), 224 + 72 + 15);
    }
}

TEST_F(TemplateFileDialog, LoadModeOpensValidFilesAndRefusesOthers)
{
    const std::string good = dir.Write("Hall.xml", tplfiles::Template("NVR"));
    const std::string bad = dir.Write("Bad.xml", tplfiles::Template("Other"));
    auto dlg = Make(Dlg::MODE_LOAD);
    {
        BoxAnswerer boxes(Window(*dlg));
        EXPECT_EQ(Run(*dlg, [&](Dlg& d) { Type(d, good), Button(d, "OK")->click(); }), 1);
        EXPECT_TRUE(boxes.texts.empty());
    }
    EXPECT_EQ(shell->calls, std::vector<std::string>{"open " + good});

    shell->calls.clear();
    BoxAnswerer boxes(Window(*dlg));
    EXPECT_EQ(Run(*dlg, [&](Dlg& d) { Type(d, bad), Key(d, Qt::Key_Return); }), 1);
    EXPECT_TRUE(boxes.Saw(L"Error to load template, It's an invalid template!"));
    EXPECT_TRUE(boxes.Saw(L"Bad.xml"));
    EXPECT_TRUE(shell->calls.empty());
    // Reopening shows the path confirmed last time; a missing file is refused the same way.
    EXPECT_EQ(dlg->GetPathText(), std::wstring(bad.begin(), bad.end()));
    boxes.texts.clear();
    EXPECT_EQ(Run(*dlg, [&](Dlg& d) { Type(d, dir.Path("gone.xml")), Key(d, Qt::Key_Enter, Qt::KeypadModifier); }),
              1);
    EXPECT_TRUE(boxes.Saw(L"invalid template"));
    EXPECT_TRUE(shell->calls.empty());
}

TEST_F(TemplateFileDialog, EscapeAndCancelDoNothing)
{
    const std::string good = dir.Write("Hall.xml", tplfiles::Template());
    auto dlg = Make(Dlg::MODE_LOAD);
    EXPECT_EQ(Run(*dlg, [&](Dlg& d) { Type(d, good), Key(d, Qt::Key_Escape); }), 2);
    EXPECT_EQ(Run(*dlg, [&](Dlg& d) { Button(d, "Cancel")->click(); }), 2);
    EXPECT_TRUE(shell->calls.empty());
}

TEST_F(TemplateFileDialog, SaveAsAsksBeforeOverwriting)
{
    const std::string existing = dir.Write("Old.xml", "anything");
    const std::string fresh = dir.Path("New.xml");
    auto dlg = Make(Dlg::MODE_SAVE_AS);
    const struct {
        const char* what;
        std::string path;
        int answer;
        bool asked;
        bool saved;
    } cases[] = {
        {"new file", fresh, 1, false, true},
        {"existing, confirmed", existing, 1, true, true},
        {"existing, cancelled", existing, 2, true, false},
        {"empty path", "", 1, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        shell->calls.clear();
        BoxAnswerer boxes(Window(*dlg), c.answer);
        dlg->SetPath(c.path.c_str());
        EXPECT_EQ(Run(*dlg, [&](Dlg& d) { Button(d, "OK")->click(); }), 1);
        EXPECT_EQ(boxes.Saw(L"The file is already exist, do you want to cover?"), c.asked);
        EXPECT_EQ(shell->calls, c.saved ? std::vector<std::string>{"save " + c.path} : std::vector<std::string>{});
        EXPECT_EQ(dlg->GetPath(), c.path);
    }
    // Save-as does not check what the file holds.
    EXPECT_EQ(shell->calls, std::vector<std::string>{"save "});
}

TEST_F(TemplateFileDialog, OpenModeHandsTheFileToTheApplyPanel)
{
    const std::string good = dir.Write("Gate.xml", tplfiles::Template("DVR"));
    auto dlg = Make(Dlg::MODE_OPEN);
    EXPECT_EQ(Run(*dlg, [&](Dlg& d) { Type(d, good), Button(d, "OK")->click(); }), 1);
    EXPECT_EQ(panel->calls, (std::vector<std::string>{"load " + good, "show " + good, "mode 3", "path " + good}));
    EXPECT_EQ(shell->calls, std::vector<std::string>{"edit mode 1"});

    // The panel refuses (a search runs): nothing more happens.
    panel->calls.clear();
    shell->calls.clear();
    panel->accept = false;
    EXPECT_EQ(Run(*dlg, [&](Dlg& d) { Button(d, "OK")->click(); }), 1);
    EXPECT_EQ(panel->calls, std::vector<std::string>{"load " + good});
    EXPECT_TRUE(shell->calls.empty());

    // An invalid file never reaches the panel.
    panel->calls.clear();
    BoxAnswerer boxes(Window(*dlg));
    const std::string noSync = dir.Write("NoSync.xml", tplfiles::WithoutSection(tplfiles::Template(), "PcSyn"));
    EXPECT_EQ(Run(*dlg, [&](Dlg& d) { Type(d, noSync), Button(d, "OK")->click(); }), 1);
    EXPECT_TRUE(boxes.Saw(L"invalid template"));
    EXPECT_TRUE(panel->calls.empty());
}

TEST_F(TemplateFileDialog, BrowseForAFile)
{
    auto dlg = Make(Dlg::MODE_OPEN);
    chosen = L"/data/templates/Yard.xml";
    EXPECT_EQ(Run(*dlg, [&](Dlg& d) { Button(d, "Browse")->click(), Key(d, Qt::Key_Escape); }), 2);
    EXPECT_EQ(chooserCalls, std::vector<std::wstring>{L"1 *.xml"});
    EXPECT_EQ(dlg->GetPathText(), chosen);
    // A cancelled chooser leaves the box.
    chosen.clear();
    Run(*dlg, [&](Dlg& d) { Button(d, "Browse")->click(), Key(d, Qt::Key_Escape); });
    EXPECT_EQ(dlg->GetPathText(), L"/data/templates/Yard.xml");
}

TEST_F(TemplateFileDialog, BrowseForAFolderInSaveAs)
{
    auto dlg = Make(Dlg::MODE_SAVE_AS);
    const struct {
        std::wstring folder;
        std::wstring name;
        std::wstring box;
    } cases[] = {
        {L"/srv/t", L"Lobby", L"/srv/t/Lobby.xml"},
        {L"/srv/t", L"", L"/srv/t/Templet.xml"},
        // The shell gives at most 127 characters of its name.
        {L"/srv/u", std::wstring(200, L'n'), L"/srv/u/" + std::wstring(127, L'n') + L".xml"},
        // An empty folder keeps the box.
        {L"", L"Lobby", L"/srv/u/" + std::wstring(127, L'n') + L".xml"},
    };
    for (const auto& c : cases) {
        chosen = c.folder;
        shell->name = c.name;
        Run(*dlg, [&](Dlg& d) { Button(d, "Browse")->click(), Key(d, Qt::Key_Escape); });
        EXPECT_EQ(dlg->GetPathText(), c.box);
    }
    EXPECT_EQ(chooserCalls.front(), L"0 ");
}

TEST_F(TemplateFileDialog, OverlongPathsAreRefusedInTheDialog)
{
    auto dlg = Make(Dlg::MODE_LOAD);
    BoxAnswerer boxes(Window(*dlg));
    // 300 two-byte characters: within the box's 511 characters, but 600 bytes as a path.
    const std::string path = "/tmp/" + [] {
        std::string s;
        for (int i = 0; i < 300; ++i)
            s += "\xC3\xA9";
        return s;
    }() + ".xml";
    int result = 0;
    result = Run(*dlg, [&](Dlg& d) {
        Type(d, path);
        Button(d, "OK")->click();
        // Still open: the user shortens the path or cancels.
        EXPECT_TRUE(Window(d)->isVisible());
        Key(d, Qt::Key_Escape);
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(boxes.Saw(L"The path is too long."));
    EXPECT_TRUE(shell->calls.empty());
}
