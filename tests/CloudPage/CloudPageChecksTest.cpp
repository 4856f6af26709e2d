// The cloud upgrade page's checks offscreen: the check button's guards, a run of checks with its
// results handed in as the scheduler does, the stop, the row's result and refresh buttons and the
// account dialog. Devices sit on loopback addresses where nothing listens, so a check that does
// reach the worker fails fast; the results asserted are the injected ones.
#include "CloudPageSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTableWidget>
#include <QTimer>

#include <cstring>

#include "CloudUpgrade/CCloudAcountDlg.h"
#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/AppSettings.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"

using namespace cloudpage;
using Page = CCloudUpgradeEventImp;

namespace {

void Click(CSFButton* button)
{
    auto* b = dynamic_cast<QAbstractButton*>(button);
    ASSERT_NE(b, nullptr);
    b->click();
}

bool Contains(const std::vector<std::wstring>& seen, const std::wstring& text)
{
    for (const std::wstring& s : seen)
        if (s.find(text) != std::wstring::npos)
            return true;
    return false;
}

} // namespace

class CloudChecks : public CloudPage {
protected:
    void SetUp() override
    {
        CloudPage::SetUp();
        for (int i = 0; i < 4; ++i)
            devices.push_back(Record("127.93.20." + std::to_string(i + 1), i == 1 ? "NVR" : "IPC", i + 1));
        AddFound(devices);
    }
    // Clicks a row's cell button as the user does.
    void ClickRowButton(int row, int id)
    {
        auto* b = qobject_cast<QAbstractButton*>(Widget(row, id));
        ASSERT_NE(b, nullptr) << id;
        b->click();
    }
    std::vector<DEVICE_INFO> devices;
};

TEST_F(CloudChecks, CheckButtonRefusesWithoutTickedRowsOrDownloadFolder)
{
    {
        DialogTexts boxes;
        Click(page->GetButton(Page::ID_CHECK));
        EXPECT_TRUE(Contains(boxes.Seen(), L"Please select a device to check."));
    }
    EXPECT_EQ(ButtonText(Page::ID_CHECK), L"CheckRefrush");
    EXPECT_FALSE(page->IsChecking());

    list->SetCheck(0, 1);
    CAppSettings::DownloadPath = (folder.path() + "/missing").toStdWString();
    {
        DialogTexts boxes;
        Click(page->GetButton(Page::ID_CHECK));
        EXPECT_TRUE(Contains(boxes.Seen(), L"Download Path is not exist."));
    }
    EXPECT_FALSE(page->IsChecking());
    EXPECT_EQ(Cell(0, Page::COL_CHECKSTATE), L"");

    // The default folder in the user's data folder is made when first needed.
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (folder.path() + "/data").toUtf8());
    CAppSettings::DownloadPath = CAppSettings::DefaultDownloadPath();
    {
        DialogTexts boxes;
        Click(page->GetButton(Page::ID_CHECK));
        EXPECT_FALSE(Contains(boxes.Seen(), L"Download Path is not exist."));
    }
    EXPECT_TRUE(QDir(QString::fromStdWString(CAppSettings::DownloadPath)).exists());
    EXPECT_TRUE(CAppSettings::DownloadPath.find(L"/data/") != std::wstring::npos);
    if (dataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", dataHome);
    EXPECT_TRUE(page->IsChecking());
    Result(devices[0], 0, 1);
    EXPECT_FALSE(page->IsChecking());
}

TEST_F(CloudChecks, RunOverThreeOfFourRowsEndsWithItsThirdAnswer)
{
    page->GetView()->ShowWindow(1);
    page->GetView()->MoveWindow(0, 0, 930, 618);
    QApplication::processEvents();
    for (int row : {0, 1, 3})
        list->SetCheck(row, 1);
    Click(page->GetButton(Page::ID_CHECK));
    EXPECT_TRUE(page->IsChecking());
    EXPECT_EQ(page->GetCheckRemain(), 3);
    EXPECT_EQ(ButtonText(Page::ID_CHECK), L"StopCheck");
    for (int id : {Page::ID_GET, Page::ID_SAVE, Page::ID_DOWNLOAD_ALL, Page::ID_UPGRADE_ALL})
        EXPECT_FALSE(ButtonEnabled(id)) << id;
    for (int row : {0, 1, 3})
        EXPECT_EQ(Cell(row, Page::COL_CHECKSTATE), L"checking...");
    EXPECT_EQ(Cell(2, Page::COL_CHECKSTATE), L"");

    // The answer's MAC in small letters still finds the row.
    Result(devices[0], 1, 0, Answer(true, "2.900.0", "http://127.0.0.1/fw/a/b/IPC_2.900.bin"), true);
    EXPECT_EQ(Cell(0, Page::COL_CHECKSTATE), L"2.900.0");
    EXPECT_TRUE(Shown(0, Page::ID_DOWNLOAD));
    EXPECT_EQ(WidgetText(0, Page::ID_DOWNLOAD), L"DownLoad");
    EXPECT_STREQ(page->GetDeviceVector()[0].szFileName, "IPC_2.900.bin");
    EXPECT_STREQ(page->GetDeviceVector()[0].szNewVersion, "2.900.0");
    ASSERT_NE(FindCloudCheck(page->GetCheckMap(), devices[0].stNetInfo.szMacAddr), nullptr);

    Result(devices[1], 0, 1);
    EXPECT_EQ(Cell(1, Page::COL_CHECKSTATE), L"check failed");
    EXPECT_TRUE(Shown(1, Page::ID_CHECK_RESULT));
    EXPECT_FALSE(Enabled(1, Page::ID_CHECK_RESULT)); // enabled by the run's end
    EXPECT_EQ(list->GetItemData(1, Page::COL_CHECKSTATE), 1u);
    EXPECT_TRUE(page->IsChecking());
    {
        // At the page's size in the main window both buttons stand after the text, the second 5 pixels
        // after the first, inside the cell.
        auto* table = dynamic_cast<QTableWidget*>(list);
        ASSERT_NE(table, nullptr);
        QWidget* cell = Widget(1, Page::ID_REFRESH)->parentWidget();
        const QRect result = Widget(1, Page::ID_CHECK_RESULT)->geometry();
        const QRect refresh = Widget(1, Page::ID_REFRESH)->geometry();
        // The text keeps the style's 3 pixels of margin on each side before the first button.
        const int wanted = table->fontMetrics().horizontalAdvance(QStringLiteral("check failed")) + 6;
        EXPECT_EQ(result.left(), std::max(60, std::min(wanted, cell->width() - 38)));
        EXPECT_EQ(refresh.left(), result.left() + result.width() + 5);
        EXPECT_EQ(cell->width(), 118);
        EXPECT_LT(refresh.right(), cell->width());
        // A narrower column pulls both buttons inside it; a wider one gives them their place back.
        for (int width : {70, 160}) {
            table->setColumnWidth(Page::COL_CHECKSTATE, width);
            QApplication::processEvents();
            ASSERT_EQ(cell->width(), width);
            const QRect first = Widget(1, Page::ID_CHECK_RESULT)->geometry();
            const QRect second = Widget(1, Page::ID_REFRESH)->geometry();
            EXPECT_EQ(first.left(), std::min(std::max(60, wanted), width - 38)) << width;
            EXPECT_EQ(second.left(), first.left() + first.width() + 5) << width;
            EXPECT_LT(second.right(), width) << width;
        }
        table->setColumnWidth(Page::COL_CHECKSTATE, 118);
    }

    Result(devices[3], 1, 0, Answer(false, "", "noslash"));
    EXPECT_EQ(Cell(3, Page::COL_CHECKSTATE), L"no new version");
    EXPECT_STREQ(page->GetDeviceVector()[3].szFileName, "");
    EXPECT_FALSE(page->IsChecking());
    EXPECT_EQ(ButtonText(Page::ID_CHECK), L"CheckRefrush");
    for (int id : {Page::ID_GET, Page::ID_SAVE, Page::ID_DOWNLOAD_ALL, Page::ID_UPGRADE_ALL})
        EXPECT_TRUE(ButtonEnabled(id)) << id;
    EXPECT_TRUE(Enabled(1, Page::ID_CHECK_RESULT));
    EXPECT_EQ(page->GetCloudUpgradeUILogic()->StopCheckFlag(), 0);

    // A new check of a downloaded device shows its DownLoad button again.
    page->GetDeviceVector()[0].nDownloadState = 3;
    page->SetDownloadResult(0, true);
    page->OnButton(Page::ID_REFRESH, 0);
    Result(devices[0], 1, 0, Answer(true, "2.900.0", "http://h/x.bin"));
    EXPECT_EQ(page->GetDeviceVector()[0].nDownloadState, 0);
    EXPECT_TRUE(Shown(0, Page::ID_DOWNLOAD));
    EXPECT_EQ(Cell(0, Page::COL_DOWNLOAD), L"");
}

TEST_F(CloudChecks, StopShowsTheWaitBoxUntilTheRunsLastAnswer)
{
    list->SetCheck(0, 1);
    list->SetCheck(2, 1);
    Click(page->GetButton(Page::ID_CHECK));
    ASSERT_TRUE(page->IsChecking());
    // The worker's own answers (nothing listens on these addresses) end the run and hide the box;
    // the timer only keeps a broken run from hanging the test.
    std::weak_ptr<Page> weak = page;
    bool stopFlagSeen = false;
    auto seen = std::make_shared<bool>(false);
    QTimer::singleShot(0, [weak, seen] {
        if (auto p = weak.lock())
            *seen = p->GetCloudUpgradeUILogic()->StopCheckFlag() == 1 || !p->IsChecking();
    });
    QTimer::singleShot(20000, [weak] {
        if (auto p = weak.lock())
            p->HideProgressDialog();
    });
    Click(page->GetButton(Page::ID_CHECK)); // returns when the box is hidden
    stopFlagSeen = *seen;
    EXPECT_TRUE(stopFlagSeen);
    EXPECT_EQ(page->GetStopChecking(), 1);
    EXPECT_FALSE(page->IsChecking());
    EXPECT_EQ(page->GetCloudUpgradeUILogic()->StopCheckFlag(), 0);
    auto* box = dynamic_cast<QWidget*>(page->GetWaitDialog());
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(Cell(0, Page::COL_CHECKSTATE), L"check failed");
    EXPECT_EQ(Cell(2, Page::COL_CHECKSTATE), L"check failed");
    EXPECT_EQ(ButtonText(Page::ID_CHECK), L"CheckRefrush");
}

TEST_F(CloudChecks, RunThatCanPostNothingEndsAtOnce)
{
    // A row whose stored record is gone: nothing is posted, nothing can end the run later.
    page->GetDeviceVector().erase(page->GetDeviceVector().begin());
    list->SetCheck(0, 1);
    list->SetCheck(1, 1);
    Click(page->GetButton(Page::ID_CHECK));
    EXPECT_FALSE(page->IsChecking());
    EXPECT_EQ(ButtonText(Page::ID_CHECK), L"CheckRefrush");
    EXPECT_TRUE(ButtonEnabled(Page::ID_GET));
}

TEST_F(CloudChecks, ResultButtonShowsTheReasonOfTheFailure)
{
    const struct {
        int code;
        const wchar_t* text;
    } cases[] = {{0, L"Login failed."}, {12, L"network error, maybe timeout"}, {2, L"Account doesn't exist."},
                 {9, L"Connection failed."}, {77, L"Login failed."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        page->SetSingleCheck(1);
        Result(devices[2], 0, c.code);
        DialogTexts boxes;
        ClickRowButton(2, Page::ID_CHECK_RESULT);
        EXPECT_TRUE(Contains(boxes.Seen(), c.text));
        EXPECT_TRUE(Contains(boxes.Seen(), L"127.93.20.3"));
    }
}

TEST_F(CloudChecks, RefreshRechecksItsOwnRowAndAskForAnAccountAfterARefusedLogin)
{
    page->SetSingleCheck(1);
    Result(devices[1], 0, 12);
    Result(devices[2], 0, 1);
    EXPECT_TRUE(Enabled(2, Page::ID_REFRESH)); // a one-row re-check shows them usable at once

    // Network failure: checked again at once, the row shows "checking..." without its buttons.
    ClickRowButton(1, Page::ID_REFRESH);
    EXPECT_EQ(Cell(1, Page::COL_CHECKSTATE), L"checking...");
    EXPECT_FALSE(Shown(1, Page::ID_REFRESH));
    EXPECT_FALSE(page->IsChecking());
    EXPECT_EQ(page->GetSingleCheck(), 1);

    // Refused login: the account dialog, for the button's row even after a click on another row.
    SF_LIST_NOTIFY click;
    std::memset(&click, 0, sizeof click);
    click.iItem = 0;
    page->OnItemClicked(&click, 0);
    std::shared_ptr<CCloudAcountDlg> dlg = page->GetAccountDlg();
    ASSERT_TRUE(dlg && dlg->UserEdit() && dlg->PasswordEdit());
    bool shown = false;
    QTimer::singleShot(50, [&] {
        shown = dynamic_cast<QWidget*>(dlg->GetDialog())->isVisible();
        dlg->UserEdit()->SetWindowTextW(L"op_2");
        dlg->PasswordEdit()->SetWindowTextW(L"");
        dlg->OnDlgKeyDown(0, 13);
    });
    ClickRowButton(2, Page::ID_REFRESH);
    EXPECT_TRUE(shown);
    const DEVICE_INFO& d = page->GetDeviceVector()[2];
    EXPECT_STREQ(d.szUser, "op_2");
    EXPECT_STREQ(d.szPassword, "");
    EXPECT_STREQ(page->GetDeviceVector()[0].szUser, "admin");
    EXPECT_EQ(Cell(2, Page::COL_CHECKSTATE), L"checking...");
    EXPECT_FALSE(Shown(2, Page::ID_CHECK_RESULT));
    wchar_t text[64] = {};
    dlg->UserEdit()->GetWindowTextW(text, 63);
    EXPECT_STREQ(text, L"");
}

TEST_F(CloudChecks, AccountDialogRefusesEmptyAndNonIdentifierNames)
{
    std::shared_ptr<CCloudAcountDlg> dlg = page->GetAccountDlg();
    ASSERT_TRUE(dlg && dlg->UserEdit());
    const struct {
        const wchar_t* user;
        const wchar_t* message;
    } cases[] = {{L"", L"Please input default username."},
                 {L"a.b", L"Your input shall only contain numbers, letters and '_'."},
                 {L"a b", L"Your input shall only contain numbers, letters and '_'."},
                 {L"\u00e9t\u00e9", L"Your input shall only contain numbers, letters and '_'."}};
    for (const auto& c : cases) {
        dlg->UserEdit()->SetWindowTextW(c.user);
        dlg->PasswordEdit()->SetWindowTextW(L"secret");
        DialogTexts boxes;
        dlg->OnOK();
        EXPECT_TRUE(Contains(boxes.Seen(), c.message));
        wchar_t text[64] = {};
        dlg->PasswordEdit()->GetWindowTextW(text, 63);
        EXPECT_STREQ(text, L"secret"); // the dialog keeps its texts
    }
    EXPECT_STREQ(page->GetDeviceVector()[0].szUser, "admin");
    dlg->OnDlgKeyDown(0, 27);
    wchar_t text[64] = {};
    dlg->PasswordEdit()->GetWindowTextW(text, 63);
    EXPECT_STREQ(text, L"");
}

TEST_F(CloudChecks, ImportedDevicesShowTheirAnswerOrAreCheckedAgain)
{
    DEVICE_INFO done = devices[0];
    done.bCheckResult = 1;
    done.bHasNewVersion = 1;
    std::strcpy(done.szNewVersion, "5.5");
    done.nDownloadState = 3;
    page->ShowImportedDevice(done);
    EXPECT_EQ(Cell(0, Page::COL_CHECKSTATE), L"5.5");
    EXPECT_EQ(Cell(0, Page::COL_DOWNLOAD), L"finish");
    EXPECT_TRUE(Shown(0, Page::ID_UPGRADE));
    EXPECT_FALSE(Enabled(0, Page::ID_UPGRADE));
    EXPECT_FALSE(page->IsChecking());

    page->ShowImportedDevice(devices[1]);
    page->ShowImportedDevice(devices[2]);
    EXPECT_EQ(Cell(1, Page::COL_CHECKSTATE), L"checking...");
    EXPECT_TRUE(page->IsChecking());
    // The run ends with the last answer it waits for, though other rows had answers already.
    Result(devices[1], 1, 0);
    EXPECT_TRUE(page->IsChecking());
    Result(devices[2], 1, 0);
    EXPECT_FALSE(page->IsChecking());
    EXPECT_EQ(ButtonText(Page::ID_CHECK), L"CheckRefrush");
}
