// The Setting dialog, the result details dialog and the notification window.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <climits>

#include "ShellTestSupport.h"

#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "Main/CDetialsResDlgEventImp.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMessageNotifier.h"
#include "Main/CToolBarLeftEventImp.h"
#include "Main/CUserConfigSettingEventImp.h"
#include "Widgets/CNoticeDlgEventImp.h"
#include "Widgets/SFButton.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "Widgets/SFListCtrl.h"

using namespace shelltest;

namespace {

std::wstring Text(CSFEditCtrl* edit)
{
    wchar_t buf[1100] = {};
    edit->GetWindowTextW(buf, 1100);
    return buf;
}

std::wstring Text(CSFStatic* label)
{
    wchar_t buf[512] = {};
    label->GetStaticText(buf, 512);
    return buf;
}

void Touch(const QString& path) { QFile(path).open(QIODevice::WriteOnly); }

} // namespace

TEST(SettingDialog, OkChecksTheValuesBeforeSavingThem)
{
    auto frame = MakeMainWindow();
    auto dlg = frame->GetSettingDlg();
    const std::wstring path150 = L"/" + std::wstring(149, L'p');
    const std::wstring path151 = L"/" + std::wstring(150, L'p');
    struct Case {
        const wchar_t *update, *network;
        std::wstring path;
        const wchar_t* url;
        std::wstring message;  // empty: accepted
    } cases[] = {
        {L"4", L"10", L"/tmp/fw", L"https://a.example.com:443", L"Parameter out of rang."},
        {L"31", L"10", L"/tmp/fw", L"https://a.example.com:443", L"Parameter out of rang."},
        {L"10", L"0", L"/tmp/fw", L"https://a.example.com:443", L"Parameter out of rang."},
        {L"10", L"10", L"/tmp/fw", L"", L"Parameter can't be empty."},
        {L"", L"10", L"/tmp/fw", L"https://a.example.com:443", L"Parameter can't be empty."},
        {L"10", L"10", path151, L"https://a.example.com:443", L"Download Path is too long."},
        {L"5", L"30", L"/tmp/fw", L"https://a.example.com:443", L""},
        {L"30", L"5", path150, L"https://b.example.com:443", L""},
    };
    for (const Case& c : cases) {
        CAppSettings::nUpdateTimeout_Minute = 20;
        CAppSettings::nUpdateWaittime_Sec = 15;
        CAppSettings::DownloadPath = L"/stored";
        CAppSettings::CloudURL = L"https://stored.example.com:443";
        dlg->GetUpdateTimeoutEdit()->SetWindowTextW(c.update);
        dlg->GetNetworkTimeoutEdit()->SetWindowTextW(c.network);
        dlg->GetDownloadPathEdit()->SetWindowTextW(c.path.c_str());
        dlg->GetCloudUrlEdit()->SetWindowTextW(c.url);
        ModalAnswerer answer(1);
        dlg->OnOK();
        const std::vector<std::wstring> shown = answer.Texts();
        if (c.message.empty()) {
            EXPECT_TRUE(shown.empty()) << c.update << " " << c.network;
            EXPECT_EQ(CAppSettings::nUpdateTimeout_Minute, std::stoi(c.update));
            EXPECT_EQ(CAppSettings::nUpdateWaittime_Sec, std::stoi(c.network));
            EXPECT_EQ(CAppSettings::DownloadPath, c.path);
            EXPECT_EQ(CAppSettings::CloudURL, c.url);
        } else {
            ASSERT_EQ(shown.size(), 1u) << c.update << " " << c.network;
            EXPECT_EQ(shown[0], c.message);
            EXPECT_EQ(CAppSettings::nUpdateTimeout_Minute, 20);
            EXPECT_EQ(CAppSettings::DownloadPath, L"/stored");
        }
    }
    // The refused long path came back from the settings.
    dlg->GetDownloadPathEdit()->SetWindowTextW(path151.c_str());
    {
        ModalAnswerer answer(1);
        dlg->OnOK();
    }
    EXPECT_EQ(Text(dlg->GetDownloadPathEdit()), CAppSettings::DownloadPath);
}

TEST(SettingDialog, EscapeAndEnter)
{
    auto frame = MakeMainWindow();
    auto dlg = frame->GetSettingDlg();
    CAppSettings::nUpdateTimeout_Minute = 12;
    CAppSettings::nUpdateWaittime_Sec = 9;
    CAppSettings::CloudURL = L"https://c.example.com:443 extra";
    CAppSettings::DownloadPath = L"/stored";
    dlg->GetUpdateTimeoutEdit()->SetWindowTextW(L"29");
    dlg->GetCloudUrlEdit()->SetWindowTextW(L"x");
    dlg->OnDlgKeyDown(0, 27);
    EXPECT_EQ(Text(dlg->GetUpdateTimeoutEdit()), L"12");
    EXPECT_EQ(Text(dlg->GetNetworkTimeoutEdit()), L"9");
    EXPECT_EQ(Text(dlg->GetCloudUrlEdit()), L"https://c.example.com:443");

    dlg->GetUpdateTimeoutEdit()->SetWindowTextW(L"3");
    ModalAnswerer answer(1);
    dlg->OnDlgKeyDown(0, 13);
    EXPECT_EQ(answer.Texts(), std::vector<std::wstring>{L"Parameter out of rang."});
}

TEST(SettingDialog, DefaultAddressDependsOnTheLanguage)
{
    const std::wstring english = CUserConfigSettingEventImp::DefaultCloudUrl(0);
    const std::wstring other = CUserConfigSettingEventImp::DefaultCloudUrl(1);
    EXPECT_NE(english, other);
    EXPECT_EQ(other, CUserConfigSettingEventImp::DefaultCloudUrl(7));
    for (const std::wstring& url : {english, other}) {
        EXPECT_EQ(url.rfind(L"https://", 0), 0u);
        EXPECT_EQ(url.substr(url.size() - 4), L":443");
    }
    auto frame = MakeMainWindow();
    frame->GetSettingDlg()->OnDefaultUrl();
    EXPECT_EQ(Text(frame->GetSettingDlg()->GetCloudUrlEdit()),
              CUserConfigSettingEventImp::DefaultCloudUrl(CAppSettings::Language));
}

TEST(SettingDialog, DeletesOnlyFirmwareFilesAndReportsWhatItCouldNotDelete)
{
    QTemporaryDir dir;
    Touch(dir.filePath("a.bin"));
    Touch(dir.filePath("B.BIN"));
    Touch(dir.filePath("keep.txt"));
    Touch(dir.filePath("keep.bin.txt"));
    QDir(dir.path()).mkdir("old.bin");
    std::vector<std::wstring> failed;
    EXPECT_EQ(CUserConfigSettingEventImp::DeleteFirmwareFiles(dir.path().toStdWString(), failed), 3);
    EXPECT_EQ(failed, std::vector<std::wstring>{L"old.bin"});
    EXPECT_FALSE(QFile::exists(dir.filePath("a.bin")));
    EXPECT_FALSE(QFile::exists(dir.filePath("B.BIN")));
    EXPECT_TRUE(QFile::exists(dir.filePath("keep.txt")));
    EXPECT_TRUE(QFile::exists(dir.filePath("keep.bin.txt")));

    auto frame = MakeMainWindow();
    auto dlg = frame->GetSettingDlg();
    struct Case {
        const char* name;
        std::function<void(const QString&)> fill;
        int answer;
        std::vector<std::wstring> shown;
    } cases[] = {
        {"all deleted", [](const QString& d) { Touch(d + "/x.bin"); }, 1,
         {L"Are you sure to delete upgrade file in the download directory?", L"Upgrade file is delete completed."}},
        {"nothing to delete", [](const QString& d) { Touch(d + "/x.txt"); }, 1,
         {L"Are you sure to delete upgrade file in the download directory?", L"Upgrade file is not exist."}},
        {"one cannot be deleted", [](const QString& d) { QDir(d).mkdir("y.bin"); }, 1,
         {L"Are you sure to delete upgrade file in the download directory?",
          L"These upgrade files could not be deleted:\ny.bin"}},
        {"cancelled", [](const QString& d) { Touch(d + "/z.bin"); }, 2,
         {L"Are you sure to delete upgrade file in the download directory?"}},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        c.fill(folder.path());
        dlg->GetDownloadPathEdit()->SetWindowTextW(folder.path().toStdWString().c_str());
        ModalAnswerer answer(c.answer);
        dlg->OnDeleteFiles();
        EXPECT_EQ(answer.Texts(), c.shown) << c.name;
    }
}

TEST(SettingDialog, CloudSwitchIsRefusedWhileBusyAndActsAtOnceWhenIdle)
{
    EnsureEnvironment();
    CAppSettings::CloudEnable = false;
    auto frame = MakeMainWindow();
    auto dlg = frame->GetSettingDlg();
    ASSERT_TRUE(StartupSearchEnded(frame));

    frame->GetSysConfigPage()->m_bConfiguring = 1;
    {
        ModalAnswerer answer(1);
        dlg->RADIO_OnClicked(1, CUserConfigSettingEventImp::ID_CLOUD_SWITCH, POINT{0, 0});
        EXPECT_EQ(answer.Texts(), std::vector<std::wstring>{L"Setting,please wait..."});
    }
    EXPECT_EQ(dlg->GetCloudSwitch()->GetCheck(), 0);
    EXPECT_FALSE(CAppSettings::CloudEnable);
    EXPECT_EQ(frame->GetCurrentPage(), 0);
    frame->GetSysConfigPage()->m_bConfiguring = 0;

    dlg->GetCloudSwitch()->SetCheck(1);
    dlg->RADIO_OnClicked(1, CUserConfigSettingEventImp::ID_CLOUD_SWITCH, POINT{0, 0});
    EXPECT_TRUE(CAppSettings::CloudEnable);
    EXPECT_EQ(frame->GetCurrentPage(), 7);
    EXPECT_TRUE(dynamic_cast<QWidget*>(frame->GetToolBarLeft()->GetButtonById(1171))->isVisible());
    wchar_t text[32] = {};
    dlg->GetCloudSwitch()->GetWindowTextW(text, 32);
    EXPECT_EQ(std::wstring(text), L"Open");
    // Cancel afterwards does not undo the switch.
    dlg->Dlg_OnCancel();
    EXPECT_TRUE(CAppSettings::CloudEnable);
    CAppSettings::CloudEnable = false;
}

TEST(ResultDetails, TypeAndCodeTexts)
{
    struct Case {
        int type, code;
        const wchar_t *typeText, *resultText;
    } cases[] = {
        {6, 1, L"NTP Save", L"Success"},
        {9, 5, L"", L"Fail"},
        {0, 20, L"Sync PC", L"Account has been registered."},
        {8, 16, L"Modify Password", L"Time out"},
        {7, 17, L"Modify Password", L"Incorrect password."},
        {1, 24, L"Manual Sync", L"Connection failed."},
        {2, 25, L"Auto Reboot", L"Fail"},
        {3, INT_MAX, L"Manual Reboot", L"Fail"},
        {4, -1, L"Default Device", L"Fail"},
        {5, 0, L"DST Save", L"Fail"},
        {-1, 2, L"", L"Login Error"},
    };
    auto frame = MakeMainWindow();
    auto dlg = frame->GetResultDetailsDlg();
    for (const Case& c : cases) {
        dlg->SetConfigResult("192.0.2.7", c.type, c.code);
        EXPECT_EQ(Text(dlg->GetTypeValue()), c.typeText) << c.type << "/" << c.code;
        EXPECT_EQ(Text(dlg->GetResultValue()), c.resultText) << c.type << "/" << c.code;
        EXPECT_EQ(Text(dlg->GetDeviceValue()), L"192.0.2.7");
    }
    dlg->SetDetails(u8"Kamera Süd 127.0.0.3", L"Upgrade", L"Device is offline");
    EXPECT_EQ(Text(dlg->GetDeviceValue()), L"Kamera Süd 127.0.0.3");
    EXPECT_EQ(Text(dlg->GetTypeValue()), L"Upgrade");
    EXPECT_EQ(Text(dlg->GetResultValue()), L"Device is offline");
}

TEST(ResultDetails, ReturnClosesLikeEscapeWithResultTwo)
{
    auto frame = MakeMainWindow();
    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        QTimer::singleShot(50, [key] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(modal, &press);
        });
        EXPECT_EQ(frame->ShowConfigResult("127.0.0.2", 6, 1), 2) << key;
    }
}

TEST(Notifier, LinesAreStampedAndCleared)
{
    EXPECT_EQ(CMessageNotifier::FormatLine(2024, 3, 5, 9, 7, 2, L"Upgrade done"), L"2024/03/05 09:07:02  Upgrade done");
    auto frame = MakeMainWindow();
    // The notifier's window follows the first paint.
    frame->CreateHiddenParts();
    auto notifier = CMessageNotifier::GetInstance();
    ASSERT_NE(notifier->GetDialog(), nullptr);
    notifier->OnClear();
    for (const wchar_t* line : {L"one", L"two", L"three"})
        notifier->Notify(line, false);
    EXPECT_EQ(notifier->GetRowCount(), 3);
    EXPECT_EQ(notifier->GetList()->GetItemCount(), 3);
    wchar_t row[128] = {};
    notifier->GetList()->GetItemText(2, 0, row, 128);
    const std::wstring last = row;
    EXPECT_EQ(last.size(), 19u + 2u + 5u);
    EXPECT_EQ(last.substr(19), L"  three");
    EXPECT_FALSE(notifier->GetDialog()->IsDlgVisible());

    notifier->OnClear();
    EXPECT_EQ(notifier->GetRowCount(), 0);
    EXPECT_EQ(notifier->GetList()->GetItemCount(), 0);
    notifier->Notify(L"again", false);
    notifier->GetList()->GetItemText(0, 0, row, 128);
    EXPECT_EQ(std::wstring(row).substr(19), L"  again");

    notifier->BTN_OnClicked(CMessageNotifier::ID_AUTOHIDE);
    EXPECT_TRUE(notifier->IsStayOnTop());
    notifier->BTN_OnClicked(CMessageNotifier::ID_TOP);
    EXPECT_FALSE(notifier->IsStayOnTop());
}

TEST(Notice, NeverNotifyWithOkSwitchesTheNoticeOffAndSavesIt)
{
    auto frame = MakeMainWindow();
    auto notice = frame->GetNoticeDlg();
    CAppSettings::NoticePassword = true;
    CAppSettings::NoticeCloud = true;
    notice->NeverNotifyBox()->SetCheck(1);
    {
        ModalAnswerer cancel(2);
        EXPECT_EQ(frame->ShowNotice(L"FindPwdNotice", 0), 0);
        EXPECT_EQ(cancel.Texts().size(), 1u);
    }
    EXPECT_TRUE(CAppSettings::NoticePassword);
    EXPECT_EQ(notice->IsNeverNotify(), 1);
    {
        ModalAnswerer ok(1);
        EXPECT_EQ(frame->ShowNotice(L"FindPwdNotice", 0), 1);
        EXPECT_EQ(ok.Texts().size(), 1u);
    }
    EXPECT_FALSE(CAppSettings::NoticePassword);
    EXPECT_TRUE(CAppSettings::NoticeCloud);
    CConfigXMLPersistImp saved("");
    EXPECT_FALSE(saved.GetBool(L"UIConfig", L"NoticePassword", true, 0)) << "the choice is in the settings file";
    EXPECT_TRUE(saved.GetBool(L"UIConfig", L"NoticeCloud", false, 0));
    {
        ModalAnswerer none(1);
        EXPECT_EQ(frame->ShowNotice(L"FindPwdNotice", 0), 1);
        EXPECT_EQ(frame->ShowNotice(L"x", 2), 1);
        Pump(50);
        EXPECT_TRUE(none.Texts().empty());
    }
    notice->NeverNotifyBox()->SetCheck(0);
    CAppSettings::NoticePassword = true;
}

TEST(SettingDialog, ShippedDefaultsCanBeSavedAsTheyStand)
{
    EnsureEnvironment();
    const QString mine = QString::fromStdWString(AppDir()) + QStringLiteral("/Config/config.xml");
    QFile::remove(mine);
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/Config/config.xml"), mine));
    QFile::setPermissions(mine, QFile::ReadOwner | QFile::WriteOwner);
    static CConfigXMLPersistImp* shipped = new CConfigXMLPersistImp("");  // reads the copied file
    CAppSettings::SetPersister(shipped);
    CAppSettings::Load();
    auto frame = MakeMainWindow();
    auto dlg = frame->GetSettingDlg();
    EXPECT_EQ(Text(dlg->GetDownloadPathEdit()), CAppSettings::DefaultDownloadPath());
    EXPECT_EQ(Text(dlg->GetCloudUrlEdit()), CUserConfigSettingEventImp::DefaultCloudUrl(0));
    {
        ModalAnswerer answer(1);
        dlg->OnOK();
        Pump(50);
        EXPECT_TRUE(answer.Texts().empty()) << (answer.Texts().empty() ? "" : QString::fromStdWString(answer.Texts()[0]).toStdString());
    }
    CConfigXMLPersistImp saved("");
    EXPECT_EQ(saved.GetString(L"UIConfig", L"CloudURL", L"", 0, 0), CUserConfigSettingEventImp::DefaultCloudUrl(0));
    EXPECT_EQ(saved.GetString(L"UIConfig", L"DownloadPath", L"", 0, 0), CAppSettings::DefaultDownloadPath());
}
