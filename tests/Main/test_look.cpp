// What a user sees of the shell: the searching animation, the About link, the device rows in
// every state, and the words said at start-up when the skin or the language file is broken.
#include <gtest/gtest.h>

#include "Widgets/CSFQTView.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>
#include <QHelpEvent>

#include <cstring>

#include "Common/StrHelpers.h"
#include "ShellTestSupport.h"

#include "Main/CAboutDlgEventImp.h"
#include "Main/CDetialsDlgEventImp.h"
#include "Main/CDetialsResDlgEventImp.h"
#include "Main/CFilterMainEventImp.h"
#include "Main/CUserConfigSettingEventImp.h"
#include "Main/CUserSearchSettingEventImp.h"
#include "Widgets/CSFQTView.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFView.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CToolBarEventImp.h"
#include "Main/StartupCheck.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFPictureEx.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFStatic.h"
#include "devsdk/DevSdkRecords.h"

using namespace shelltest;

namespace {

template <class T>
QWidget* Q(T* control)
{
    return dynamic_cast<QWidget*>(control);
}

DEVICE_NET_INFO_EX Record(const char* ip, const char* mac, const char* type, bool initialised)
{
    DEVICE_NET_INFO_EX info;
    std::memset(&info, 0, sizeof info);
    info.nIpVersion = 4;
    SafeStrCopy(info.szIpAddr, sizeof info.szIpAddr, ip);
    SafeStrCopy(info.szMacAddr, sizeof info.szMacAddr, mac);
    SafeStrCopy(info.szTypeName, sizeof info.szTypeName, type);
    SafeStrCopy(info.szModelName, sizeof info.szModelName, "M-1");
    SafeStrCopy(info.szSoftVersion, sizeof info.szSoftVersion, "1.0");
    info.byInitState = initialised ? 2 : 1;
    return info;
}

// The enabled state of every cell button of a row's Operate cell.
std::vector<bool> OperateButtonsEnabled(QTableWidget* list, int row)
{
    std::vector<bool> enabled;
    if (QWidget* cell = list->cellWidget(row, 8))
        for (QPushButton* b : cell->findChildren<QPushButton*>())
            enabled.push_back(b->isEnabled());
    return enabled;
}

int ColourDistance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

// Pixels of the area that stand out from its right-hand edge colour (the cell's background).
int ContrastingPixels(const QImage& image, const QRect& area)
{
    const QRgb background = image.pixel(area.right(), area.center().y());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (ColourDistance(image.pixel(x, y), background) > 150)
                ++count;
    return count;
}

} // namespace

TEST(Look, SearchingAnimationIsAMovingPictureFromTheSkin)
{
    auto frame = MakeMainWindow();
    auto* label = dynamic_cast<QLabel*>(Q(frame->GetToolBar()->GetSearchingAnimation()));
    ASSERT_NE(label, nullptr);
    ASSERT_NE(label->movie(), nullptr);
    EXPECT_TRUE(label->movie()->isValid()) << label->movie()->fileName().toStdString();
    EXPECT_GT(label->movie()->frameCount(), 1);
    EXPECT_EQ(label->movie()->frameRect().size(), QSize(59, 59));
}

TEST(Look, SearchingAnimationPlaysOnlyWhileItCanBeSeen)
{
    auto frame = MakeMainWindow();
    CSFPictureEx* animation = frame->GetToolBar()->GetSearchingAnimation();
    auto* label = dynamic_cast<QLabel*>(Q(animation));
    ASSERT_NE(label, nullptr);
    auto* window = static_cast<QWidget*>(frame->GetUIWnd());
    window->hide();
    animation->ShowWindow(1);
    EXPECT_NE(label->movie()->state(), QMovie::Running) << "played in a hidden window";
    window->show();
    EXPECT_EQ(label->movie()->state(), QMovie::Running) << "not played once the window shows";
    animation->ShowWindow(0);
    EXPECT_NE(label->movie()->state(), QMovie::Running);
    window->hide();
}

TEST(Look, AboutDialogShowsItsWebSiteLinkInFull)
{
    auto frame = MakeMainWindow();
    auto* link = dynamic_cast<QPushButton*>(Q(frame->GetAboutDlg()->GetWebSiteLink()));
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isVisibleTo(link->window()));
    EXPECT_FALSE(link->text().isEmpty());
    EXPECT_LE(link->fontMetrics().horizontalAdvance(link->text()), link->width());
}

TEST(Look, UninitialisedRowsHaveDisabledOperateButtonsUntilInitialised)
{
    auto frame = MakeMainWindow();
    auto page = frame->GetSearchDevPage();
    auto* list = dynamic_cast<QTableWidget*>(page->GetListCtrl());
    ASSERT_NE(list, nullptr);
    page->ClearList();
    const DEVICE_NET_INFO_EX rows[] = {
        Record("10.0.0.1", "aa:00:00:00:00:01", "IPC", true),
        Record("10.0.0.2", "aa:00:00:00:00:02", "NVR", false),
        Record("10.0.0.3", "aa:00:00:00:00:03", "DVR", false),
    };
    for (const DEVICE_NET_INFO_EX& r : rows)
        page->AddDeviceRow(&r, false);
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(OperateButtonsEnabled(list, 0), std::vector<bool>(3, true));
    EXPECT_EQ(OperateButtonsEnabled(list, 1), std::vector<bool>(3, false));
    EXPECT_EQ(OperateButtonsEnabled(list, 2), std::vector<bool>(3, false));
    wchar_t count[16] = {};
    page->GetSelectedCountLabel()->GetStaticText(count, 16);
    EXPECT_STREQ(count, L"0");

    // The device is initialised: its row is ticked, its buttons work and the count says so.
    DEVICE_NET_INFO_EX done = rows[1];
    done.byInitState = 2;
    page->MarkDeviceInitialized(&done, false);
    EXPECT_EQ(OperateButtonsEnabled(list, 1), std::vector<bool>(3, true));
    EXPECT_EQ(OperateButtonsEnabled(list, 2), std::vector<bool>(3, false));
    EXPECT_EQ(page->GetListCtrl()->IsCheck(1), 1);
    page->GetSelectedCountLabel()->GetStaticText(count, 16);
    EXPECT_STREQ(count, L"1");
    page->ClearList();
}

TEST(Look, HighlightedRowKeepsItsTypeIconAndOperateIcons)
{
    EnsureEnvironment();
    // Type icons are read from the program folder's skin.
    QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/Skin"),
                QString::fromStdWString(AppDir()) + QStringLiteral("/Skin"));
    auto frame = MakeMainWindow();
    auto page = frame->GetSearchDevPage();
    auto* list = dynamic_cast<QTableWidget*>(page->GetListCtrl());
    ASSERT_NE(list, nullptr);
    page->ClearList();
    const DEVICE_NET_INFO_EX rows[] = {Record("10.0.0.1", "aa:00:00:00:00:01", "IPC", true),
                                      Record("10.0.0.2", "aa:00:00:00:00:02", "IPC", true)};
    for (const DEVICE_NET_INFO_EX& r : rows)
        page->AddDeviceRow(&r, false);
    list->selectRow(0);
    list->setFocus();
    Pump(50);
    const QImage shot = list->viewport()->grab().toImage();
    if (qEnvironmentVariableIsSet("VX_LOOK_DUMP"))
        shot.save(qEnvironmentVariable("VX_LOOK_DUMP"));
    for (int row : {0, 1}) {
        SCOPED_TRACE(row == 0 ? "highlighted row" : "plain row");
        const QRect type = list->visualRect(list->model()->index(row, 3));
        // The icon sits at the cell's left, before the text.
        EXPECT_GT(ContrastingPixels(shot, QRect(type.left(), type.top() + 4, 20, type.height() - 8)), 12);
        const QRect operate = list->visualRect(list->model()->index(row, 8));
        EXPECT_GT(ContrastingPixels(shot, QRect(operate.left(), operate.top() + 4, operate.width() - 8,
                                                operate.height() - 8)),
                  3 * 12);
    }
    page->ClearList();
}

TEST(Look, StartUpSaysWhatIsMissingFromTheSkin)
{
    EnsureEnvironment();
    const QString skin = QCoreApplication::applicationDirPath() + QStringLiteral("/Skin");
    QTemporaryDir complete, missing, damaged;
    for (QTemporaryDir* dir : {&complete, &damaged}) {
        QDir().mkpath(dir->path() + QStringLiteral("/Skin"));
        for (const QString& name : QDir(skin).entryList(QDir::Files))
            QFile::copy(skin + QLatin1Char('/') + name, dir->path() + QStringLiteral("/Skin/") + name);
    }
    QFile::remove(damaged.path() + QStringLiteral("/Skin/FrameMain.png"));
    QFile logo(damaged.path() + QStringLiteral("/Skin/logo.png"));
    ASSERT_TRUE(logo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    logo.write("not a picture");
    logo.close();

    struct Case {
        const char* name;
        QString dir;
        std::vector<std::wstring> said;
    } cases[] = {
        {"complete", complete.path(), {}},
        {"no skin folder", missing.path(), {L"skin folder", L"/Skin", L"missing"}},
        {"damaged images", damaged.path(), {L"FrameMain.png", L"logo.png", L"cannot be read"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring problems = StartupProblems(c.dir.toStdWString());
        EXPECT_EQ(problems.empty(), c.said.empty()) << QString::fromStdWString(problems).toStdString();
        for (const std::wstring& word : c.said)
            EXPECT_NE(problems.find(word), std::wstring::npos) << QString::fromStdWString(word).toStdString();
        ModalAnswerer answer;
        EXPECT_EQ(ReportStartupProblems(c.dir.toStdWString(), nullptr), !c.said.empty());
        EXPECT_EQ(answer.Texts().size(), c.said.empty() ? 0u : 1u);
    }
}

TEST(Look, BrokenLanguageFileIsReadOnceAndReported)
{
    EnsureEnvironment();
    const int language = CAppSettings::Language;
    CAppSettings::Language = 1;
    const QString langDir = QString::fromStdWString(AppDir()) + QStringLiteral("/Lang");
    QDir().mkpath(langDir);
    const QString path = langDir + QStringLiteral("/Lang_1.xml");
    auto write = [&](const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };
    const QByteArray good = "<Language><Text name=\"Close\" value=\"X\"/></Language>";
    const QByteArray broken = QByteArray("<Language><Text name=\"Close\" value=\"X\"/>").leftJustified(good.size());
    write(broken);
    const QDateTime stamp = QFileInfo(path).lastModified();
    TrResetForTest();
    EXPECT_STREQ(Tr(L"Close"), L"Close");
    const std::wstring problem = TrLoadProblem();
    EXPECT_NE(problem.find(L"Lang_1.xml"), std::wstring::npos);
    EXPECT_NE(StartupProblems(AppDir()).find(problem), std::wstring::npos);

    // The same file, unchanged as far as its size and time tell: not parsed again for each text.
    write(good);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    EXPECT_STREQ(Tr(L"Close"), L"Close");
    // A file that has changed since is picked up.
    write(good + "\n");
    EXPECT_STREQ(Tr(L"Close"), L"X");
    EXPECT_TRUE(TrLoadProblem().empty());

    QFile::remove(path);
    CAppSettings::Language = language;
    TrResetForTest();
}

TEST(Look, DeviceViewsAreFramedInTheirBackgroundColour)
{
    auto frame = MakeMainWindow();
    auto page = frame->GetSearchDevPage();
    struct Case {
        const char* name;
        QWidget* view;
        QPoint frame;
        QRgb colour;
    } cases[] = {
        {"filter panel", Q(page->GetFilterPanel()->GetView()), {400, 0}, qRgb(0xED, 0xEF, 0xF5)},
        {"page", Q(page->GetView()), {0, 600}, qRgb(0xFF, 0xFF, 0xFF)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.view, nullptr);
        const QImage shot = c.view->grab().toImage();
        ASSERT_TRUE(shot.rect().contains(c.frame));
        EXPECT_EQ(shot.pixel(c.frame) & 0xFFFFFF, c.colour & 0xFFFFFF);
    }
}

TEST(Look, NoPageViewHasABlackFrame)
{
    // No panel is framed in black: a frame colour and its on flag given the
    // other way round paint a black line round a panel.
    auto frame = MakeMainWindow();
    frame->CreateHiddenParts();
    auto* window = static_cast<QWidget*>(frame->GetUIWnd());
    int views = 0;
    for (CSFQTView* view : window->findChildren<CSFQTView*>()) {
        if (view->width() < 4 || view->height() < 4)
            continue;
        ++views;
        const QImage shot = view->grab().toImage();
        const QColor edge(shot.pixel(0, view->height() / 2));
        EXPECT_GT(edge.lightness(), 8) << view->windowTitle().toStdString() << " "
                                        << view->objectName().toStdString();
    }
    EXPECT_GT(views, 10);
}

TEST(Look, DialogTextsFitInsideTheirDialogs)
{
    auto frame = MakeMainWindow();
    struct Case {
        const char* name;
        CSFDialog* dialog;
    } cases[] = {
        {"Setting", frame->GetSettingDlg()->GetDialog()},
        {"Search Setting", frame->GetSearchSettingDlg()->GetDialog()},
        {"About", frame->GetAboutDlg()->GetDialog()},
        {"Details", frame->GetSearchDevPage()->GetDetailsDlg()->GetDialog()},
        {"Result details", frame->GetResultDetailsDlg()->GetDialog()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* dialog = dynamic_cast<QWidget*>(c.dialog);
        ASSERT_NE(dialog, nullptr);
        int texts = 0;
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (!label->isVisibleTo(dialog) || label->text().isEmpty() || label->parentWidget() != dialog)
                continue;
            ++texts;
            EXPECT_TRUE(dialog->rect().contains(label->geometry())) << label->text().toStdString();
        }
        EXPECT_GT(texts, 0);
    }
}

TEST(Look, TextsCutShortShowInFullAsToolTips)
{
    auto frame = MakeMainWindow();
    auto page = frame->GetSearchDevPage();
    auto* list = dynamic_cast<QTableWidget*>(page->GetListCtrl());
    ASSERT_NE(list, nullptr);
    page->ClearList();
    DEVICE_NET_INFO_EX device = Record("10.0.0.1", "aa:00:00:00:00:01", "IPC", true);
    SafeStrCopy(device.szSoftVersion, sizeof device.szSoftVersion, "2.840.0000000.18.R, Build Date: 2024-03-12");
    page->AddDeviceRow(&device, false);
    // The tip a widget shows at a point; none when it leaves the event unhandled.
    auto tipAt = [](QWidget* w, QPoint at) {
        QHelpEvent help(QEvent::ToolTip, at, w->mapToGlobal(at));
        QCoreApplication::sendEvent(w, &help);
        return help.isAccepted() ? QToolTip::text() : QString();
    };
    const QRect version = list->visualRect(list->model()->index(0, 7));
    const QRect number = list->visualRect(list->model()->index(0, 1));
    EXPECT_EQ(tipAt(list->viewport(), number.center()), QString());
    EXPECT_EQ(tipAt(list->viewport(), version.center()), QStringLiteral("2.840.0000000.18.R, Build Date: 2024-03-12"));

    // The bottom buttons of the page: "    Manual Add" fits its 78 pixels without its leading blanks
    // and in a slightly smaller font; a text that still does not fit is cut and shown as a tip.
    QPushButton* manual = nullptr;
    for (QPushButton* b : Q(page->GetView())->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("    Manual Add"))
            manual = b;
    ASSERT_NE(manual, nullptr);
    manual->grab();
    EXPECT_EQ(tipAt(manual, manual->rect().center()), QString());
    manual->setText(QStringLiteral("    Manual Add of a device"));
    manual->grab();
    EXPECT_EQ(tipAt(manual, manual->rect().center()), QStringLiteral("Manual Add of a device"));
    manual->setText(QStringLiteral("    Manual Add"));
    QToolTip::hideText();
    page->ClearList();
}

// The searching animation sits on the tool bar: around the turning circle the bar shows
// through, not a grey square.
TEST(Look, SearchingAnimationShowsTheToolBarAroundItsCircle)
{
    auto frame = MakeMainWindow();
    CToolBarEventImp* bar = frame->GetToolBar().get();
    QWidget* animation = Q(bar->GetSearchingAnimation());
    ASSERT_NE(animation, nullptr);
    QWidget* toolBar = animation->parentWidget();
    ASSERT_NE(toolBar, nullptr);
    toolBar->window()->show();
    bar->SetSearching(true);
    ASSERT_TRUE(animation->isVisible());
    const QImage shot = toolBar->grab().toImage();
    const QRect r = animation->geometry();
    const QRgb beside = shot.pixel(r.left() - 3, r.top() + 2);
    for (const QPoint& corner : {r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1),
                                 r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1)})
        EXPECT_LE(ColourDistance(shot.pixel(corner), beside), 6)
            << "corner " << corner.x() << "," << corner.y() << " is " << std::hex << shot.pixel(corner)
            << ", the bar beside it " << beside;
    bar->SetSearching(false);
}

// The search settings button carries its caption in its picture: the Chinese window has its
// own picture, not the English one.
TEST(Look, SearchSettingButtonHasItsOwnPictureInChinese)
{
    const int language = CAppSettings::Language;
    const auto buttonFace = [](int lang) {
        CAppSettings::Language = lang;
        auto frame = MakeMainWindow();
        QWidget* button = Q(frame->GetToolBar()->GetSearchSettingButton());
        button->window()->show();
        return button ? button->grab().toImage().convertToFormat(QImage::Format_RGB32) : QImage();
    };
    const QImage english = buttonFace(0);
    const QImage chinese = buttonFace(1);
    CAppSettings::Language = language;
    ASSERT_FALSE(english.isNull());
    ASSERT_EQ(english.size(), chinese.size());
    int differing = 0;
    for (int y = 0; y < english.height(); ++y)
        for (int x = 0; x < english.width(); ++x)
            if (ColourDistance(english.pixel(x, y), chinese.pixel(x, y)) > 60)
                ++differing;
    EXPECT_GT(differing, 40) << "the Chinese search settings button shows the English caption";
}
