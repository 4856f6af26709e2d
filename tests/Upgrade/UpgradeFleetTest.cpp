// Upgrades through the page against a devsim program: batches of many devices, a device that
// drops mid-transfer, a file for another model, a stop, and the close guards.
#include <gtest/gtest.h>

#include <QPushButton>

#include <QPixmap>

#include <cstdlib>
#include <map>

#include "Common/AppSettings.h"
#include "Common/Translate.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CToolBarEventImp.h"
#include "Main/CToolBarLeftEventImp.h"
#include "Main/DeviceListText.h"
#include "Main/MainFrameDefs.h"
#include "UpgradeSupport.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Upgrade/CUpgradeFileDlg.h"
#include "Upgrade/CUpgradeUILogic.h"
#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTListCtrl.h"
#include "devsdk/DevSdk.h"

namespace {

using upgradetest::DialogAnswerer;
using upgradetest::ExternalFleet;

// With VX_UPGRADE_SCREENSHOTS=<folder>, pictures of the window at the named moments.
void Shot(CMainFrameEventImp& main, QWidget* extra, const char* name)
{
    const char* dir = std::getenv("VX_UPGRADE_SCREENSHOTS");
    if (!dir)
        return;
    auto* window = static_cast<QWidget*>(main.GetUIWnd());
    if (!window->isVisible())
        window->show();
    if (main.GetCurrentPage() != MAINFRAME_PAGE_UPGRADE)
        main.GetToolBarLeft()->RADIO_OnClicked(1, CToolBarLeftEventImp::ID_UPGRADE, POINT{0, 0});
    shelltest::Pump(200);
    window->grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
    if (extra)
        extra->grab().save(QString::fromUtf8(dir) + "/" + name + "-dialog.png");
}

// Each test has an address block of its own, by its position in the program.
int Block()
{
    const ::testing::UnitTest* unit = ::testing::UnitTest::GetInstance();
    const ::testing::TestSuite* suite = unit->current_test_suite();
    int index = 0;
    while (suite->GetTestInfo(index) != unit->current_test_info())
        ++index;
    return 10 + index;
}

class UpgradeFleet : public ::testing::Test {
protected:
    void Start(std::vector<devsim::DeviceState> devices, int rebootMs = 600)
    {
        started = false;
        count = devices.size();
        ASSERT_TRUE(fleet.Start(Block(), std::move(devices), rebootMs));
        main = upgradetest::MainWindowFor(fleet);
        page = main->GetUpgradePage();
        logic = page->GetUpgradeUILogic();
        ASSERT_TRUE(shelltest::WaitUntil([&] {
            return page->GetListCtrl()->GetItemCount() == int(count) && !main->GetDeviceListUILogic()->IsSearching();
        })) << "the start-up search finds the fleet";
        started = true;
    }
    bool started = false;
    void TearDown() override
    {
        if (logic && logic->IsUpgrading()) {
            logic->Stop();
            shelltest::WaitUntil([&] { return !logic->IsUpgrading(); }, 20000);
        }
    }

    int RowOf(const std::string& ip)
    {
        for (int row = 0; row < page->GetListCtrl()->GetItemCount(); ++row)
            if (Cell(row, CUpgradeEventImp::COL_IP) == QString::fromStdString(ip).toStdWString())
                return row;
        return -1;
    }
    std::wstring Cell(int row, int col)
    {
        wchar_t text[300] = {};
        page->GetListCtrl()->GetItemText(row, col, text, 299);
        return text;
    }
    DWORD Code(int row) { return page->GetListCtrl()->GetItemData(row, 0); }

    // Checks the rows of these devices and runs the batch dialog with the file.
    void RunBatch(DialogAnswerer& answers, const std::vector<size_t>& which, const std::string& file)
    {
        for (size_t i : which)
            page->GetListCtrl()->SetCheck(RowOf(fleet.Ip(i)), 1);
        page->UpdateSelectedCount();
        EXPECT_EQ(page->GetCountText(), std::to_wstring(which.size()));
        page->OnBtnBatchUpgrade();
        answers.QueueFile(file);
        page->GetFileDlg()->OnBtnBrowse();
        ASSERT_TRUE(page->GetFileDlg()->IsOkEnabled());
        Shot(*main, static_cast<QWidget*>(page->GetFileDlg()->GetUIWnd()), "dialog");
        page->GetFileDlg()->OnBtnOK();
        ASSERT_EQ(page->IsUpgrading(), 1);
    }

    ExternalFleet fleet;
    size_t count = 0;
    std::shared_ptr<CMainFrameEventImp> main;
    std::shared_ptr<CUpgradeEventImp> page;
    std::shared_ptr<CUpgradeUILogic> logic;
};

fwmake::ImageOptions Image(const char* family, const char* version, uint64_t size)
{
    fwmake::ImageOptions o;
    o.family = family;
    o.version = version;
    o.payloadSize = size;
    return o;
}

TEST_F(UpgradeFleet, TenDevicesFromOneFileThreeAtATimeRebootIntoTheNewVersion)
{
    std::vector<devsim::DeviceState> devices;
    for (int i = 0; i < 10; ++i) {
        devices.push_back(upgradetest::Device("IPC", "IPC-VX2431", i));
        devices.back().maxSessions = 2;
    }
    Start(devices);
    ASSERT_TRUE(started);
    const std::string file = upgradetest::MakeFirmware("ten.bin", Image("IPC-VX", "3.100.0000001.0.R", 3 << 20));
    DialogAnswerer answers;
    std::vector<size_t> all;
    for (size_t i = 0; i < count; ++i)
        all.push_back(i);
    Shot(*main, nullptr, "found");
    RunBatch(answers, all, file);
    EXPECT_FALSE(Cell(0, CUpgradeEventImp::COL_NOTE).empty()) << "queued rows say so";

    // Progress of every row, as the page shows it, and how many records run at once.
    std::map<int, std::vector<int>> seen;
    int mostRunning = 0;
    bool shotRunning = false;
    ASSERT_TRUE(shelltest::WaitUntil(
        [&] {
            if (!shotRunning && page->GetRowProgress(0) >= 20) {
                shotRunning = true;
                Shot(*main, nullptr, "running");
            }
            int running = 0;
            for (const auto& t : logic->GetTaskVec())
                running += t->m_nUpgradeState == 1 ? 1 : 0;
            mostRunning = std::max({mostRunning, running, logic->RunningCount()});
            for (int row = 0; row < int(count); ++row) {
                const int p = page->GetRowProgress(row);
                if (p > 0 && (seen[row].empty() || seen[row].back() != p))
                    seen[row].push_back(p);
            }
            return !page->IsUpgrading();
        },
        120000));
    EXPECT_LE(mostRunning, 3);
    EXPECT_GE(mostRunning, 2) << "devices run side by side";
    for (int row = 0; row < int(count); ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Code(row), DWORD(UPGRADE_SUCCESS));
        ASSERT_FALSE(seen[row].empty());
        EXPECT_TRUE(std::is_sorted(seen[row].begin(), seen[row].end())) << "progress only rises";
    }
    EXPECT_TRUE(answers.Texts().empty());
    Shot(*main, nullptr, "done");
    EXPECT_EQ(Cell(0, CUpgradeEventImp::COL_FILE), QString::fromStdString(file).toStdWString());

    // Each device reboots into the file's version; the next search shows it in both lists.
    ASSERT_TRUE(shelltest::WaitUntil(
        [&] {
            for (size_t i = 0; i < count; ++i) {
                int err = 0;
                LONG h = SdkLogin(fleet.Ip(i).c_str(), 37777, "admin", "admin123", nullptr, &err);
                if (h == 0)
                    return false;
                SdkLogout(h);
            }
            return true;
        },
        30000));
    main->GetSearchDevPage()->StartSearch();
    ASSERT_TRUE(shelltest::WaitUntil([&] {
        return !main->GetDeviceListUILogic()->IsSearching() && page->GetListCtrl()->GetItemCount() == int(count);
    }));
    for (int row = 0; row < int(count); ++row)
        EXPECT_EQ(Cell(row, CUpgradeEventImp::COL_VERSION), L"3.100.0000001.0.R");
    for (const DevicePtr& d : main->GetDeviceListUILogic()->GetDeviceList())
        EXPECT_EQ(FIELD_TEXT(d->stNetInfo.szSoftVersion), "3.100.0000001.0.R");

    // The login the SDK re-established after each reboot is released: both sessions are free.
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(fleet.Ip(i));
        EXPECT_TRUE(shelltest::WaitUntil([&] {
            int err = 0;
            LONG a = SdkLogin(fleet.Ip(i).c_str(), 37777, "admin", "admin123", nullptr, &err);
            LONG b = SdkLogin(fleet.Ip(i).c_str(), 37777, "admin", "admin123", nullptr, &err);
            if (a)
                SdkLogout(a);
            if (b)
                SdkLogout(b);
            return a && b;
        }, 10000));
    }
}

TEST_F(UpgradeFleet, DropOtherModelAndTimeoutEndWithTheirTexts)
{
    std::vector<devsim::DeviceState> devices = {upgradetest::Device("IPC", "IPC-VX2431", 0),
                                                upgradetest::Device("NVR", "NVR-VX216", 1),
                                                upgradetest::Device("IPC", "IPC-VX5241", 2)};
    devices[2].upgradeDropAt = 256 * 1024;
    devices[2].rebootMs = 600000; // gone for good after the drop
    Start(devices);
    ASSERT_TRUE(started);
    const std::string file = upgradetest::MakeFirmware("mixed.bin", Image("IPC-VX", "3.2", 1 << 20));
    DialogAnswerer answers;
    RunBatch(answers, {0, 1, 2}, file);
    const int good = RowOf(fleet.Ip(0)), other = RowOf(fleet.Ip(1)), dropped = RowOf(fleet.Ip(2));
    ASSERT_TRUE(shelltest::WaitUntil([&] {
        return Code(good) == UPGRADE_SUCCESS && logic->GetTaskVec()[0]->m_nUpgradeState == 2 &&
               logic->GetTaskVec()[1]->m_nUpgradeState == 2 && answers.Saw(Tr(L"Device is offline:"));
    }, 30000)) << "codes " << Code(good) << " " << Code(other) << " " << Code(dropped) << " states "
                << logic->GetTaskVec()[0]->m_nUpgradeState << logic->GetTaskVec()[1]->m_nUpgradeState
                << logic->GetTaskVec()[2]->m_nUpgradeState << " texts " << answers.Texts().size();
    EXPECT_EQ(Code(other), DWORD(UPGRADE_FAILED)) << "the device refuses a file for another model";
    EXPECT_EQ(std::wstring(UpgradeResultText(Code(other))), L"Upgrade failed.");
    EXPECT_EQ(page->IsUpgrading(), 1) << "the dropped device still counts as running";
    EXPECT_TRUE(page->IsSendingFile());

    // Its minutes run out.
    const int32_t keep = CAppSettings::nUpdateTimeout_Minute;
    CAppSettings::nUpdateTimeout_Minute = 1;
    logic->SetTime();
    CAppSettings::nUpdateTimeout_Minute = keep;
    EXPECT_EQ(Code(dropped), DWORD(UPGRADE_TIMEOUT));
    EXPECT_EQ(Cell(dropped, CUpgradeEventImp::COL_NOTE), L"Upgrade timeout");
    EXPECT_EQ(page->IsUpgrading(), 0);
    EXPECT_TRUE(shelltest::WaitUntil([&] { return main->AllModulesStopped(); }));
}

TEST_F(UpgradeFleet, DeviceBackAfterADropIsRestartedWhileThreeRun)
{
    std::vector<devsim::DeviceState> devices;
    for (int i = 0; i < 4; ++i)
        devices.push_back(upgradetest::Device("IPC", "IPC-VX2431", i));
    devices[1].upgradeDropAt = 1 << 20;
    devices[1].rebootMs = 300;
    devices[0].installMs = devices[2].installMs = 4000; // they keep their places meanwhile
    Start(devices);
    ASSERT_TRUE(started);
    const std::string file = upgradetest::MakeFirmware("back.bin", Image("IPC-VX", "3.4", 6 << 20));
    DialogAnswerer answers;
    RunBatch(answers, {0, 1, 2, 3}, file);
    std::vector<std::shared_ptr<CUpgradeTaskInfo>> tasks = logic->GetTaskVec();
    ASSERT_TRUE(shelltest::WaitUntil([&] { return tasks[1]->m_nUpgradeState == 2; }, 30000));
    EXPECT_EQ(tasks[1]->m_bSucceeded, 1) << "restarted after it came back";
    EXPECT_EQ(tasks[0]->m_nUpgradeState, 1) << "while three were counted as under way";
    EXPECT_EQ(tasks[2]->m_nUpgradeState, 1) << "while three were counted as under way";
    ASSERT_TRUE(shelltest::WaitUntil([&] { return !page->IsUpgrading(); }, 60000));
    EXPECT_TRUE(answers.Saw(Tr(L"Device is offline:")));
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(Code(RowOf(fleet.Ip(i))), DWORD(UPGRADE_SUCCESS)) << fleet.Ip(i);
}

TEST_F(UpgradeFleet, StopEndsRunningAndWaitingDevicesAndLeavesNoLoginOpen)
{
    std::vector<devsim::DeviceState> devices;
    for (int i = 0; i < 8; ++i) {
        devices.push_back(upgradetest::Device("IPC", "IPC-VX2431", i));
        devices.back().maxSessions = 1;
        devices.back().installMs = 60000;
    }
    devices[0].hangOps = {31}; // its first piece is never answered: the file stays in transit
    Start(devices);
    ASSERT_TRUE(started);
    const std::string file = upgradetest::MakeFirmware("stop.bin", Image("IPC-VX", "3.3", 200000));
    DialogAnswerer answers;
    std::vector<size_t> all;
    for (size_t i = 0; i < count; ++i)
        all.push_back(i);
    RunBatch(answers, all, file);
    std::vector<std::shared_ptr<CUpgradeTaskInfo>> tasks = logic->GetTaskVec();
    ASSERT_TRUE(shelltest::WaitUntil([&] {
        return tasks[0]->m_nTransferPhase == 1 && tasks[1]->m_nTransferPhase == 2 && tasks[2]->m_nTransferPhase == 2;
    }));
    Shot(*main, nullptr, "sending");

    // A row under way cannot be queued again: its Upgrade button is gone.
    auto* list = dynamic_cast<QWidget*>(page->GetListCtrl());
    for (QPushButton* b : list->findChildren<QPushButton*>())
        if (b->text() == QString::fromWCharArray(Tr(L"Upgrade")) && b->isVisible())
            ADD_FAILURE() << "an Upgrade button is offered while every row is queued";

    // The guards of the shell see the batch.
    EXPECT_EQ(page->IsUpgrading(), 1);
    EXPECT_TRUE(page->IsSendingFile());
    answers.SetAnswer(2);
    main->GetToolBar()->OnClose();
    EXPECT_TRUE(answers.Saw(L"Program is sending file, Are you sure to close software ?"));
    main->GetSearchDevPage()->StartSearch();
    EXPECT_TRUE(answers.Saw(L"Now upgrading,please wait..."));
    // A second batch while this one runs is refused.
    page->GetFileDlg()->GetDialog()->ShowWindow(1);
    answers.QueueFile(file);
    page->GetFileDlg()->OnBtnBrowse();
    const size_t before = answers.Texts().size();
    page->GetFileDlg()->OnBtnOK();
    EXPECT_EQ(answers.Texts().size(), before + 1);
    EXPECT_EQ(logic->GetTaskVec().size(), count);

    // A late result of a record no longer listed (another generation) changes nothing.
    const LONG login0 = tasks[0]->m_lLoginID;
    logic->Task_Login_Ret(fleet.Ip(0), "", login0 + 1000, 0, 0, tasks[0]->m_nTaskId + 1000);
    EXPECT_EQ(tasks[0]->m_lLoginID, login0);

    answers.SetAnswer(1);
    page->OnBtnBatchUpgrade();
    EXPECT_TRUE(answers.Saw(L"Are you to stop the Upgrade ?"));
    // A device coming back while the stop waits for its answers is not started again.
    logic->StartUpgrade(login0, 1);
    EXPECT_EQ(logic->IsStopping(), 1);
    ASSERT_TRUE(shelltest::WaitUntil([&] { return !page->IsUpgrading(); }, 30000));
    EXPECT_EQ(Cell(RowOf(fleet.Ip(0)), CUpgradeEventImp::COL_NOTE), L"Stop upgrading");
    for (size_t i : {1, 2})
        EXPECT_EQ(Cell(RowOf(fleet.Ip(i)), CUpgradeEventImp::COL_NOTE), L"Can't stop upgrading");
    for (size_t i = 3; i < count; ++i)
        EXPECT_EQ(Cell(RowOf(fleet.Ip(i)), CUpgradeEventImp::COL_NOTE), L"Cancel Operation");
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(Code(RowOf(fleet.Ip(i))), DWORD(UPGRADE_CANCELED));
    EXPECT_FALSE(page->IsSendingFile());
    EXPECT_TRUE(main->AllModulesStopped());
    Shot(*main, nullptr, "stopped");

    // Each device allows one session: a login of ours succeeds only when none was left open.
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(fleet.Ip(i));
        EXPECT_TRUE(shelltest::WaitUntil([&] {
            int err = 0;
            LONG h = SdkLogin(fleet.Ip(i).c_str(), 37777, "admin", "admin123", nullptr, &err);
            if (h)
                SdkLogout(h);
            return h != 0;
        }, 10000));
    }

    // The stop is over: the next batch starts from the dialog like the first.
    for (int row = 0; row < page->GetListCtrl()->GetItemCount(); ++row)
        page->GetListCtrl()->SetCheck(row, 0);
    RunBatch(answers, {3, 4}, file);
    EXPECT_EQ(logic->GetTaskVec().size(), 2u);
    wchar_t caption[64] = {};
    page->GetBatchButton()->GetWindowTextW(caption, 63);
    EXPECT_EQ(std::wstring(caption), std::wstring(Tr(L"  Stop upgrading")));
}

} // namespace

namespace {

// A row's cell button, pressed as the user does; false when the row has no such button.
bool ClickRowButton(CUpgradeEventImp& page, int row, int id)
{
    auto* list = dynamic_cast<CSFQTListCtrl*>(page.GetListCtrl());
    for (QWidget* w : list->CellControls(row, CSFQTListCtrl::KindButton)) {
        auto* b = qobject_cast<CSFQTButton*>(w);
        if (b && int(b->Id()) == id) {
            b->click();
            return true;
        }
    }
    return false;
}

bool RowButtonOffered(CUpgradeEventImp& page, int row, int id)
{
    auto* list = dynamic_cast<CSFQTListCtrl*>(page.GetListCtrl());
    for (QWidget* w : list->CellControls(row, CSFQTListCtrl::KindButton)) {
        auto* b = qobject_cast<CSFQTButton*>(w);
        if (b && int(b->Id()) == id)
            return b->isEnabled() && !b->isHidden();
    }
    return false;
}

std::wstring BatchCaption(CUpgradeEventImp& page)
{
    wchar_t caption[64] = {};
    page.GetBatchButton()->GetWindowTextW(caption, 63);
    return caption;
}

} // namespace

TEST_F(UpgradeFleet, RowBrowseUpgradeAndResultButtons)
{
    std::vector<devsim::DeviceState> devices = {upgradetest::Device("IPC", "IPC-VX2431", 0),
                                                upgradetest::Device("IPC", "IPC-VX2431", 1)};
    devices[0].installMs = 3000; // still under way when the second row is queued
    Start(devices);
    ASSERT_TRUE(started);
    const std::string good = upgradetest::MakeFirmware("row.bin", Image("IPC-VX", "3.6", 1 << 20));
    fwmake::ImageOptions broken = Image("IPC-VX", "3.6", 1000);
    broken.magic = "XX";
    const std::string bad = upgradetest::MakeFirmware("row-bad.bin", broken);
    const int first = RowOf(fleet.Ip(0)), second = RowOf(fleet.Ip(1));
    auto* list = dynamic_cast<CSFQTListCtrl*>(page->GetListCtrl());
    DialogAnswerer answers;

    // No file yet: refused, nothing queued.
    ASSERT_TRUE(ClickRowButton(*page, first, CUpgradeEventImp::ID_UPGRADE));
    EXPECT_TRUE(answers.Saw(L"Please select the upgrade file path."));
    EXPECT_EQ(page->IsUpgrading(), 0);
    EXPECT_TRUE(logic->GetTaskVec().empty());

    // Browse: a refused file leaves the row as it was; an accepted one fills path and tooltip.
    answers.QueueFile(bad);
    ASSERT_TRUE(ClickRowButton(*page, first, CUpgradeEventImp::ID_BROWSE));
    EXPECT_TRUE(answers.Saw(L"Not BIOS upgrade file."));
    EXPECT_EQ(Cell(first, CUpgradeEventImp::COL_FILE), L"");
    answers.QueueFile(good);
    ASSERT_TRUE(ClickRowButton(*page, first, CUpgradeEventImp::ID_BROWSE));
    EXPECT_EQ(Cell(first, CUpgradeEventImp::COL_FILE), QString::fromStdString(good).toStdWString());
    EXPECT_EQ(list->item(first, CUpgradeEventImp::COL_FILE)->toolTip(), QStringLiteral("row.bin"));
    EXPECT_EQ(list->item(first, CUpgradeEventImp::COL_FILE)->background(),
              list->item(first, CUpgradeEventImp::COL_TYPE)->background())
        << "the path keeps the row's colour";
    answers.QueueFile(bad);
    const size_t shown = answers.Texts().size();
    ASSERT_TRUE(ClickRowButton(*page, first, CUpgradeEventImp::ID_BROWSE));
    EXPECT_EQ(answers.Texts().size(), shown + 1);
    EXPECT_EQ(Cell(first, CUpgradeEventImp::COL_FILE), QString::fromStdString(good).toStdWString());
    EXPECT_EQ(list->item(first, CUpgradeEventImp::COL_FILE)->toolTip(), QStringLiteral("row.bin"));

    // Upgrade starts the device; its row cannot be queued again while it runs.
    ASSERT_TRUE(ClickRowButton(*page, first, CUpgradeEventImp::ID_UPGRADE));
    EXPECT_EQ(page->IsUpgrading(), 1);
    EXPECT_EQ(BatchCaption(*page), std::wstring(Tr(L"  Stop upgrading")));
    EXPECT_FALSE(RowButtonOffered(*page, first, CUpgradeEventImp::ID_UPGRADE));
    EXPECT_FALSE(RowButtonOffered(*page, first, CUpgradeEventImp::ID_BROWSE));

    // A second row joins the running batch.
    answers.QueueFile(good);
    ASSERT_TRUE(ClickRowButton(*page, second, CUpgradeEventImp::ID_BROWSE));
    ASSERT_TRUE(ClickRowButton(*page, second, CUpgradeEventImp::ID_UPGRADE));
    EXPECT_EQ(logic->GetTaskVec().size(), 2u);
    EXPECT_EQ(BatchCaption(*page), std::wstring(Tr(L"  Stop upgrading")));

    ASSERT_TRUE(shelltest::WaitUntil([&] { return !page->IsUpgrading(); }, 60000));
    EXPECT_EQ(BatchCaption(*page), std::wstring(Tr(L"Batch Upgrade")));
    for (int row : {first, second}) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Code(row), DWORD(UPGRADE_SUCCESS));
        EXPECT_TRUE(RowButtonOffered(*page, row, CUpgradeEventImp::ID_UPGRADE));
    }

    // The Result button shows the device and its result in words.
    const size_t before = answers.Texts().size();
    ASSERT_TRUE(ClickRowButton(*page, first, CUpgradeEventImp::ID_RESULT));
    ASSERT_TRUE(shelltest::WaitUntil([&] { return answers.Texts().size() == before + 1; }));
    const std::wstring details = answers.Texts().back();
    EXPECT_NE(details.find(L"Success"), std::wstring::npos) << QString::fromStdWString(details).toStdString();
    EXPECT_NE(details.find(QString::fromStdString(fleet.Ip(0)).toStdWString()), std::wstring::npos);
}
