// The add-on tool page through its controls: packages made here with the archiver are installed,
// started, upgraded and removed; damaged and hostile packages and a damaged tool list are told.
// With VX_OTHERTOOL_SHOTS set to a folder, OtherToolScreens writes pictures of the page there.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QScrollArea>

#include <deque>
#include <fstream>
#include <sstream>

#include "Main/CSearchDevLogic.h"
#include "Main/MainFrameDefs.h"
#include "OtherTool/COtherToolEventImp.h"
#include "ShellTestSupport.h"
#include "Widgets/SFScrollArea.h"
#include "Widgets/SFStatic.h"

namespace {

using shelltest::WaitUntil;

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string AppDir() { return QString::fromStdWString(shelltest::AppDir()).toStdString(); }

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& text)
{
    QDir().mkpath(QFileInfo(Q(path)).absolutePath());
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) { return QFileInfo::exists(Q(path)); }

// A press and a release of the left button in the middle of the widget, as a user's click.
void MouseClick(QWidget* w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    const QPointF global = w->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// Answers the page's modal dialogs: a file chooser with the next queued path, a message box with
// the next queued answer (1 OK, 2 closed; 1 when none is queued); records the message texts.
class Answerer {
public:
    Answerer()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start(10);
    }
    void QueueFile(const std::string& path) { m_files.push_back(path); }
    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    const std::vector<std::wstring>& Texts() const { return m_texts; }
    bool Saw(const std::wstring& text) const
    {
        for (const std::wstring& t : m_texts)
            if (t.find(text) != std::wstring::npos)
                return true;
        return false;
    }
    void Clear() { m_texts.clear(); }

private:
    void Poll()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (auto* chooser = qobject_cast<QFileDialog*>(dialog)) {
            if (m_files.empty()) {
                chooser->reject();
                return;
            }
            const QString file = Q(m_files.front());
            m_files.pop_front();
            if (auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(file);
            else
                chooser->selectFile(file);
            static_cast<QDialog*>(chooser)->accept();
            if (chooser->isVisible())
                chooser->reject();
            return;
        }
        std::wstring text;
        for (QWidget* child : dialog->findChildren<QWidget*>()) {
            if (auto* label = dynamic_cast<CSFStatic*>(child)) {
                wchar_t buf[4096] = {};
                label->GetStaticText(buf, 4095);
                if (buf[0])
                    text += (text.empty() ? L"" : L"\n") + std::wstring(buf);
            }
        }
        m_texts.push_back(text);
        int answer = 1;
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        }
        dialog->done(answer == 1 ? 1 : 0);
    }

    QTimer m_timer;
    std::deque<std::string> m_files;
    std::deque<int> m_answers;
    std::vector<std::wstring> m_texts;
};

struct PackageSpec {
    std::string name = "DemoTool";
    std::string version = "R1.0.0.3";
    int language = 0;
    bool manual = true;
    bool images = false;
    std::string marker;     // the tool writes this file when it runs
    std::string payload = "1";
    std::string link;       // an entry that is a symbolic link to this target
};

int g_packages = 0;

// Builds the package's folder and packs it with "7z a"; answers the archive's path.
std::string MakePackage(const PackageSpec& spec, const std::string& ext = "7z")
{
    const std::string root = AppDir() + "/../pkg-" + std::to_string(++g_packages) + "-" +
                             std::to_string(QCoreApplication::applicationPid());
    const std::string src = root + "/src";
    const std::string& n = spec.name;
    std::string info = "<AppInfo><UIConfig><Language value=\"" + std::to_string(spec.language) +
                       "\"/></UIConfig><APPConfig Name=\"" + n + "\" Version=\"" + spec.version + "\"";
    if (spec.images)
        info += " UIHover=\"" + n + "_hov.png\" UINormal=\"" + n + "_nor.png\" UIDown=\"" + n + "_pre.png\" UIDisable=\"" + n + "_dis.png\"";
    info += "/></AppInfo>";
    WriteFile(src + "/Config/AppInfo.xml", info);
    WriteFile(src + "/" + n + ".exe", "#!/bin/sh\necho " + spec.payload + " >> '" + spec.marker + "'\nsleep 0.3\n");
    QFile::setPermissions(Q(src + "/" + n + ".exe"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    WriteFile(src + "/Config/" + n + "_config.xml", "<Config version=\"" + spec.version + "\"/>");
    WriteFile(src + "/Lang/" + n + "_Lang_0.xml", "<Lang/>");
    if (spec.manual)
        WriteFile(src + "/Manual/" + n + "_Operation Manual.pdf", "%PDF-1.4 " + spec.version);
    if (spec.images) {
        for (const char* s : {"_hov.png", "_nor.png", "_pre.png", "_dis.png"})
            WriteFile(src + "/Skin/" + n + s, "png");
    }
    if (!spec.link.empty() && QDir().mkpath(Q(src + "/Skin")))
        QFile::link(Q(spec.link), Q(src + "/Skin/link"));
    const std::string archive = root + "/" + n + "." + ext;
    QProcess zip;
    zip.setWorkingDirectory(Q(src));
    zip.start(QStringLiteral("7z"), {QStringLiteral("a"), QStringLiteral("-bd"), QStringLiteral("-y"), Q(archive), QStringLiteral(".")});
    EXPECT_TRUE(zip.waitForFinished(60000) && zip.exitCode() == 0) << zip.readAllStandardError().toStdString();
    return archive;
}

class OtherToolPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        shelltest::EnsureEnvironment();
        CAppSettings::Language = 0;
        ASSERT_TRUE(CAppSettings::Save()); // the settings file the tool list is written into
        main = shelltest::MakeMainWindow();
        page = main->GetOtherToolPage();
        ASSERT_TRUE(page && page->TileButton(0));
        if (main->GetDialog())
            main->GetDialog()->ShowWindow(1);
        main->SwitchPage(MAINFRAME_PAGE_OTHERTOOL);
        ASSERT_TRUE(WaitUntil([&] { return !Widget(page->TileButton(0))->isHidden(); }));
        marker = AppDir() + "/../marker-" + std::to_string(QCoreApplication::applicationPid());
    }

    static QWidget* Widget(void* control) { return dynamic_cast<QWidget*>(static_cast<CSFButton*>(control)); }
    static QAbstractButton* Button(CSFButton* b) { return dynamic_cast<QAbstractButton*>(b); }
    static std::wstring Text(CSFStatic* label)
    {
        wchar_t buf[512] = {};
        label->GetStaticText(buf, 511);
        return buf;
    }
    bool TileShown(int i) { return !dynamic_cast<QWidget*>(page->TileButton(i))->isHidden(); }

    // Picks the package through the add tile; answers once the page is idle again.
    bool Install(const std::string& archive)
    {
        answers.QueueFile(archive);
        const size_t add = std::min<size_t>(page->Tools().size(), 20);
        Button(page->TileButton(static_cast<int>(add)))->click();
        return WaitUntil([&] { return !page->IsBusy() && !QApplication::activeModalWidget(); }, 60000);
    }

    std::string Config() { return ReadFile(AppDir() + "/Config/config.xml"); }

    Answerer answers;
    std::shared_ptr<CMainFrameEventImp> main;
    std::shared_ptr<COtherToolEventImp> page;
    std::string marker;
};

TEST_F(OtherToolPage, EmptyPageShowsOnlyTheAddTile)
{
    EXPECT_TRUE(page->Tools().empty());
    EXPECT_TRUE(TileShown(0));
    EXPECT_EQ(Text(page->NameLabel(0)), L"Add");
    for (int i = 1; i < COtherToolEventImp::kTiles; ++i)
        EXPECT_FALSE(TileShown(i)) << i;
    auto* area = dynamic_cast<QScrollArea*>(page->ScrollArea());
    ASSERT_TRUE(area && area->widget());
    EXPECT_EQ(area->widget()->minimumSize(), QSize(800, 250));
    // A cancelled choice does nothing and says nothing.
    Button(page->TileButton(0))->click();
    EXPECT_TRUE(WaitUntil([&] { return !QApplication::activeModalWidget(); }));
    EXPECT_TRUE(answers.Texts().empty());
}

TEST_F(OtherToolPage, InstallStartUpgradeAndRemove)
{
    PackageSpec spec;
    spec.marker = marker;
    ASSERT_TRUE(Install(MakePackage(spec)));
    ASSERT_EQ(page->Tools().size(), 1u) << (answers.Texts().empty() ? "" : QString::fromStdWString(answers.Texts().back()).toStdString());
    EXPECT_TRUE(answers.Saw(L"Are you sure to install Tool: DemoTool ?"));
    const std::string app = AppDir();
    for (const char* f : {"/DemoTool.exe", "/Config/DemoTool_config.xml", "/Lang/DemoTool_Lang_0.xml",
                          "/Manual/DemoTool_Operation Manual.pdf"})
        EXPECT_TRUE(Exists(app + f)) << f;
    EXPECT_FALSE(Exists(app + "/App")); // staging folder removed
    EXPECT_EQ(page->Tools()[0].images.strNormal, L"appDefault_nor.png");
    EXPECT_EQ(Text(page->NameLabel(0)), L"DemoTool");
    EXPECT_EQ(Text(page->VersionLabel(0)), L"R1.0.0.3");
    EXPECT_EQ(Text(page->NameLabel(1)), L"Add");
    const std::string config = Config();
    EXPECT_NE(config.find("<UIConfig>"), std::string::npos);
    EXPECT_NE(config.find("<APP Name=\"DemoTool\" Version=\"R1.0.0.3\" UIHover=\"appDefault_hov.png\" "
                          "UINormal=\"appDefault_nor.png\" UIDown=\"appDefault_pre.png\" UIDisable=\"appDefault_dis.png\""),
              std::string::npos)
        << config;

    // Started detached: the flag is up and the window hidden until the tool has ended.
    Button(page->TileButton(0))->click();
    EXPECT_EQ(g_bToolRunning.load(), 1);
    EXPECT_TRUE(page->IsToolRunning());
    ASSERT_TRUE(WaitUntil([&] { return !page->IsToolRunning(); }));
    EXPECT_EQ(g_bToolRunning.load(), 0);
    EXPECT_EQ(ReadFile(marker), "1\n");
    EXPECT_TRUE(static_cast<QWidget*>(main->GetUIWnd())->isVisible());

    // Versions: equal and lower are refused, higher upgrades.
    answers.Clear();
    spec.version = "R1.0.0.3";
    ASSERT_TRUE(Install(MakePackage(spec)));
    EXPECT_TRUE(answers.Saw(L"Application has installed already."));
    spec.version = "T1.0.0.9";
    ASSERT_TRUE(Install(MakePackage(spec)));
    EXPECT_TRUE(answers.Saw(L"New version is lower than installed."));
    spec.version = "R1.0.0.4";
    spec.payload = "2";
    ASSERT_TRUE(Install(MakePackage(spec)));
    EXPECT_TRUE(answers.Saw(L"Are you sure to upgrade Tool: DemoTool ?"));
    ASSERT_EQ(page->Tools().size(), 1u);
    EXPECT_EQ(Text(page->VersionLabel(0)), L"R1.0.0.4");
    EXPECT_EQ(ReadFile(app + "/Manual/DemoTool_Operation Manual.pdf"), "%PDF-1.4 R1.0.0.4");
    EXPECT_NE(Config().find("Version=\"R1.0.0.4\""), std::string::npos);

    // A failed upgrade keeps the installed version whole.
    answers.Clear();
    spec.version = "R1.0.0.5";
    spec.manual = false;
    ASSERT_TRUE(Install(MakePackage(spec)));
    EXPECT_TRUE(answers.Saw(L"Failed to install application."));
    EXPECT_TRUE(answers.Saw(L"DemoTool_Operation Manual.pdf"));
    EXPECT_EQ(Text(page->VersionLabel(0)), L"R1.0.0.4");
    EXPECT_EQ(ReadFile(app + "/Manual/DemoTool_Operation Manual.pdf"), "%PDF-1.4 R1.0.0.4");
    EXPECT_FALSE(Exists(app + "/App"));

    // Edit mode: delete buttons, no add tile; a closed confirmation keeps the tool.
    MouseClick(dynamic_cast<QWidget*>(page->EditToggle()));
    EXPECT_FALSE(dynamic_cast<QWidget*>(page->DeleteButton(0))->isHidden());
    EXPECT_FALSE(TileShown(1));
    answers.Clear();
    answers.QueueAnswer(2);
    Button(page->DeleteButton(0))->click();
    EXPECT_TRUE(answers.Saw(L"Are you sure to remove Tool: DemoTool ?"));
    EXPECT_EQ(page->Tools().size(), 1u);
    EXPECT_TRUE(Exists(app + "/DemoTool.exe"));
    Button(page->DeleteButton(0))->click();
    EXPECT_TRUE(page->Tools().empty());
    for (const char* f : {"/DemoTool.exe", "/Config/DemoTool_config.xml", "/Lang/DemoTool_Lang_0.xml",
                          "/Manual/DemoTool_Operation Manual.pdf"})
        EXPECT_FALSE(Exists(app + f)) << f;
    EXPECT_EQ(Config().find("DemoTool"), std::string::npos);
    EXPECT_NE(Config().find("<UIConfig>"), std::string::npos);
    MouseClick(dynamic_cast<QWidget*>(page->EditToggle()));
    EXPECT_TRUE(TileShown(0));
    EXPECT_EQ(Text(page->NameLabel(0)), L"Add");
}

TEST_F(OtherToolPage, PackageImagesAreKept)
{
    PackageSpec spec;
    spec.marker = marker;
    spec.images = true;
    ASSERT_TRUE(Install(MakePackage(spec, "zip")));
    ASSERT_EQ(page->Tools().size(), 1u);
    EXPECT_EQ(page->Tools()[0].images.strNormal, L"DemoTool_nor.png");
    EXPECT_TRUE(Exists(AppDir() + "/Skin/DemoTool_dis.png"));
}

TEST_F(OtherToolPage, RefusedPackagesAreToldAndChangeNothing)
{
    const std::string dir = AppDir() + "/../refused-" + std::to_string(QCoreApplication::applicationPid());
    QDir().mkpath(Q(dir));
    // Not an archive at all.
    WriteFile(dir + "/broken.7z", std::string(4096, 'x'));
    // An entry that climbs out of the folder it is unpacked into.
    const std::string escape = dir + "/escape.zip";
    const std::string xml = "<A><UIConfig><Language value=\"0\"/></UIConfig><APPConfig Name=\"Evil\" Version=\"R1.0.0.1\"/></A>";
    QProcess py;
    py.start(QStringLiteral("python3"),
             {QStringLiteral("-c"),
              QStringLiteral("import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1],'w')\nz.writestr('Config/AppInfo.xml',sys.argv[2])\n"
                             "z.writestr('Evil.exe','x')\nz.writestr('../../escaped.txt','x')\nz.close()"),
              Q(escape), Q(xml)});
    ASSERT_TRUE(py.waitForFinished(30000) && py.exitCode() == 0);
    PackageSpec linked;
    linked.marker = marker;
    linked.link = "/etc/hostname";
    PackageSpec wrongLanguage;
    wrongLanguage.language = 1;
    PackageSpec badVersion;
    badVersion.version = "R1.0.a.3";
    PackageSpec noManual;
    noManual.manual = false;
    struct Case {
        std::string archive;
        std::wstring head, reason;
    } cases[] = {
        {dir + "/broken.7z", L"The package cannot be installed.", L"broken.7z: The file is not an archive"},
        {escape, L"The package cannot be installed.", L"would be written outside the tools folder"},
        {MakePackage(linked), L"The package cannot be installed.", L"Skin/link is a link"},
        {MakePackage(wrongLanguage), L"Invalid version format.", L"made for another language"},
        {MakePackage(badVersion), L"Invalid version format.", L"\"R1.0.a.3\" is not valid"},
        {MakePackage(noManual), L"Failed to install application.", L"lacks Manual/DemoTool_Operation Manual.pdf"},
        {dir + "/missing.7z", L"Failed to find file.", L""},
    };
    for (const Case& c : cases) {
        answers.Clear();
        ASSERT_TRUE(Install(c.archive)) << c.archive;
        ASSERT_FALSE(answers.Texts().empty()) << c.archive;
        const std::wstring said = answers.Texts().back();
        EXPECT_NE(said.find(c.head), std::wstring::npos) << QString::fromStdWString(said).toStdString();
        EXPECT_NE(said.find(c.reason), std::wstring::npos) << QString::fromStdWString(said).toStdString();
        EXPECT_TRUE(page->Tools().empty());
        EXPECT_TRUE(TileShown(0));
        EXPECT_EQ(Text(page->NameLabel(0)), L"Add");
    }
    EXPECT_FALSE(Exists(AppDir() + "/../escaped.txt"));
    EXPECT_FALSE(Exists(AppDir() + "/escaped.txt"));
    EXPECT_FALSE(Exists(AppDir() + "/DemoTool.exe"));
    EXPECT_FALSE(Exists(AppDir() + "/App/DemoTool.exe"));
}

TEST_F(OtherToolPage, MissingExecutableAndFailedStartAreTold)
{
    PackageSpec spec;
    spec.marker = marker;
    ASSERT_TRUE(Install(MakePackage(spec)));
    ASSERT_EQ(page->Tools().size(), 1u);
    // Not a program that can run.
    QFile::setPermissions(Q(AppDir() + "/DemoTool.exe"), QFile::ReadOwner | QFile::WriteOwner);
    answers.Clear();
    Button(page->TileButton(0))->click();
    EXPECT_TRUE(answers.Saw(L"The tool DemoTool could not be started."));
    EXPECT_EQ(g_bToolRunning.load(), 0);
    EXPECT_FALSE(page->IsToolRunning());
    QFile::remove(Q(AppDir() + "/DemoTool.exe"));
    answers.Clear();
    Button(page->TileButton(0))->click();
    EXPECT_TRUE(answers.Saw(L"The application directory dose not exist."));
    EXPECT_TRUE(static_cast<QWidget*>(main->GetUIWnd())->isVisible());
}

TEST_F(OtherToolPage, ListIsSavedWithoutASettingsFileAndNotOverAnUnreadableOne)
{
    PackageSpec spec;
    spec.marker = marker;
    const std::string config = AppDir() + "/Config/config.xml";
    QFile::remove(Q(config));
    ASSERT_TRUE(Install(MakePackage(spec)));
    ASSERT_EQ(page->Tools().size(), 1u);
    EXPECT_NE(ReadFile(config).find("<Setting>"), std::string::npos);
    EXPECT_NE(ReadFile(config).find("Name=\"DemoTool\""), std::string::npos);
    // The settings store keeps the tool list when it writes its own section.
    ASSERT_TRUE(CAppSettings::Save());
    EXPECT_NE(ReadFile(config).find("Name=\"DemoTool\""), std::string::npos);

    WriteFile(config, "<Setting><UIConfig>");
    answers.Clear();
    MouseClick(dynamic_cast<QWidget*>(page->EditToggle()));
    Button(page->DeleteButton(0))->click();
    EXPECT_TRUE(page->Tools().empty());
    EXPECT_TRUE(answers.Saw(L"The tool list could not be saved to"));
    EXPECT_EQ(ReadFile(config), "<Setting><UIConfig>");
}

TEST_F(OtherToolPage, DamagedListIsToldWhenThePageIsShown)
{
    std::string config = Config();
    const size_t end = config.rfind("</Setting>");
    ASSERT_NE(end, std::string::npos);
    config.insert(end, "<APPConfig><APP Name=\"Good\" Version=\"R1.0.0.1\"/><APP Name=\"../../victim\"/>"
                       "<APP Name=\"Good\"/></APPConfig>");
    WriteFile(AppDir() + "/Config/config.xml", config);
    page->ReloadAppConfig();
    ASSERT_EQ(page->Tools().size(), 1u);
    EXPECT_EQ(Text(page->NameLabel(0)), L"Good");
    EXPECT_NE(page->ListProblem().find(L"is damaged"), std::wstring::npos);
    main->SwitchPage(MAINFRAME_PAGE_DEVLIST);
    main->SwitchPage(MAINFRAME_PAGE_OTHERTOOL);
    ASSERT_TRUE(WaitUntil([&] { return answers.Saw(L"is damaged"); }));
    EXPECT_TRUE(answers.Saw(L"../../victim"));
    // Told once.
    main->SwitchPage(MAINFRAME_PAGE_DEVLIST);
    main->SwitchPage(MAINFRAME_PAGE_OTHERTOOL);
    shelltest::Pump(200);
    EXPECT_EQ(answers.Texts().size(), 1u);
}

TEST(OtherToolScreens, Page)
{
    const QString folder = qEnvironmentVariable("VX_OTHERTOOL_SHOTS");
    shelltest::EnsureEnvironment();
    ASSERT_TRUE(CAppSettings::Save());
    std::string config = ReadFile(QString::fromStdWString(shelltest::AppDir()).toStdString() + "/Config/config.xml");
    std::string list = "<APPConfig>";
    for (const char* n : {"Disk Calculator", "Bandwidth Calculator", "Batch Import Assistant", "Lens Helper"})
        list += std::string("<APP Name=\"") + n + "\" Version=\"R1.0.0.3\" UIHover=\"appDefault_hov.png\" "
                "UINormal=\"appDefault_nor.png\" UIDown=\"appDefault_pre.png\" UIDisable=\"appDefault_dis.png\"/>";
    list += "</APPConfig>";
    config.insert(config.rfind("</Setting>"), list);
    WriteFile(QString::fromStdWString(shelltest::AppDir()).toStdString() + "/Config/config.xml", config);
    std::shared_ptr<CMainFrameEventImp> main = shelltest::MakeMainWindow();
    std::shared_ptr<COtherToolEventImp> page = main->GetOtherToolPage();
    ASSERT_TRUE(page);
    main->GetDialog()->ShowWindow(1);
    main->SwitchPage(MAINFRAME_PAGE_OTHERTOOL);
    shelltest::Pump(300);
    auto* window = static_cast<QWidget*>(main->GetUIWnd());
    ASSERT_EQ(page->Tools().size(), 4u);
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        EXPECT_TRUE(window->grab().save(folder + "/othertool_page.png"));
    }
    MouseClick(dynamic_cast<QWidget*>(page->EditToggle()));
    shelltest::Pump(200);
    EXPECT_FALSE(dynamic_cast<QWidget*>(page->DeleteButton(3))->isHidden());
    if (!folder.isEmpty())
        EXPECT_TRUE(window->grab().save(folder + "/othertool_edit.png"));
}

} // namespace
