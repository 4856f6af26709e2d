// Upgrade runs of the scheduler against emulated devices: end to end with the reboot, login
// failures, same-serial groups, followers of a shared file, timeout and stop.
#include "CloudFixture.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "Common/AppSettings.h"
#include "devsdk/DevSdk.h"

namespace cloudtest {
namespace {

using namespace CloudResult;

// Does what the main window does when the SDK reports a device back (on loop 1).
std::weak_ptr<CCloudUpgradeUILogic> g_reconnectTarget;
std::mutex g_reconnectMu;
std::vector<std::pair<LONG, std::string>> g_reconnects;

void OnReconnect(LONG login, const char* ip, LONG, void*)
{
    std::lock_guard<std::mutex> lk(g_reconnectMu);
    g_reconnects.emplace_back(login, ip ? ip : "");
}

class CloudUpgradeRunTest : public CloudFixture {
protected:
    void SetUp() override { SdkSetAutoReconnect(&OnReconnect, nullptr); }
    // Hands queued reconnects to the scheduler as the main window does.
    void DeliverReconnects()
    {
        std::vector<std::pair<LONG, std::string>> got;
        {
            std::lock_guard<std::mutex> lk(g_reconnectMu);
            got.swap(g_reconnects);
        }
        for (auto& r : got) {
            auto& tasks = logic_->GetTaskVec();
            for (size_t i = 0; i < tasks.size(); ++i) {
                if (tasks[i]->m_nloginID != r.first || tasks[i]->m_nUpgradeState != 2 || !tasks[i]->m_bUpgradeSuccess)
                    continue;
                tasks[i]->m_bRebootDone = 1;
                logic_->OnReconnect(r.first, r.second);
                break;
            }
        }
    }
    void Insert(size_t device, const std::string& file, const char* password = "admin123", int row = -1)
    {
        const devsim::DeviceState s = State(device);
        REMOTETASKINFO local;
        logic_->InsertTaskInfo(37777, s.ip.c_str(), "admin", password, s.mac.c_str(), s.serial.c_str(),
                               row < 0 ? int(logic_->GetTaskVec().size()) : row, file, &local);
    }
    bool RunEnded() { return page_->upgradeIdle > 0 && logic_->IsUpgrading() == 0; }
};

TEST(CloudProgressTest, BarRunsToFiftyWhileSendingAndOnWhileInstalling)
{
    const struct {
        int total, sent, bar;
    } cases[] = {{1024, 512, 25}, {1024, 1024, 50}, {1000, 999, 49}, {-1, 40, 70}, {-1, 100, 100},
                 {-1, 0, 50},     {0, 5, -1},       {-3, 5, -1},     {100, -4, -1}, {100, 300, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.total) + "/" + std::to_string(c.sent));
        EXPECT_EQ(CCloudUpgradeUILogic::ProgressBarValue(c.total, c.sent), c.bar);
    }
    EXPECT_STREQ(CloudUpgradeResultText(10), L"Login over time.");
    EXPECT_STREQ(CloudUpgradeResultText(18), L"Login failed.");
    EXPECT_STREQ(CloudUpgradeResultText(16), L"Connection failed.");
}

TEST_F(CloudUpgradeRunTest, DownloadedFirmwareUpgradesTheDeviceAndItsDuplicateRow)
{
    Start(Devices(2));
    const std::string file = DownloadFor(0, "fw0.bin");
    Insert(0, file, "admin123", 0);
    Insert(0, file, "admin123", 1);            // the same device listed twice
    Insert(1, Folder() + "/missing.bin", "admin123", 2); // a file the SDK cannot open
    Insert(1, file, "wrong-password", 3);     // different serial, same file: waits for row 0
    SetUpgradeSameIndex(logic_->GetTaskVec());
    EXPECT_EQ(logic_->GetTaskVec()[1]->m_nSameSnIndex, 0);
    EXPECT_EQ(logic_->GetTaskVec()[3]->m_nSameSnIndex, 2);
    logic_->StartUpgrade(0, 0);
    ASSERT_TRUE(WaitUntil([&] {
        DeliverReconnects();
        return RunEnded();
    }, 30000));
    EXPECT_EQ(page_->upgradeResult[0], UPGRADE_SUCCESS);
    EXPECT_EQ(page_->upgradeResult[1], UPGRADE_SUCCESS);
    EXPECT_EQ(page_->upgradeResult[2], UPGRADE_START_FAILED);
    EXPECT_EQ(page_->upgradeResult[3], UPGRADE_START_FAILED); // follows row 2 by serial number
    ASSERT_EQ(page_->upgraded.size(), 1u);
    EXPECT_EQ(page_->upgraded[0], Ip(0));
    EXPECT_EQ(State(0).version, cloudsvc::NextVersion(Devices(2)[0].version));
    // The bar went up to 50 while sending and on to 100 while installing, for both rows.
    for (int row : {0, 1}) {
        const std::vector<int>& bar = page_->progress[CLOUD_ID_UPGRADE_BAR][row];
        ASSERT_FALSE(bar.empty()) << row;
        EXPECT_EQ(bar.back(), 100) << row;
        for (size_t i = 1; i < bar.size(); ++i)
            EXPECT_GE(bar[i], bar[i - 1]) << row;
    }
    EXPECT_EQ(logic_->IsStoppingUpgrade(), 0);
}

TEST_F(CloudUpgradeRunTest, SameFileFollowerStartsAfterTheLeadersRebootAndLoginErrorsGiveTheirCode)
{
    std::vector<devsim::DeviceState> devices = Devices(3);
    devices[1].model = devices[0].model; // same family: one file for both
    devices[1].version = devices[0].version;
    Start(devices);
    const std::string file = DownloadFor(0, "shared.bin");
    Insert(0, file);
    Insert(1, file);
    Insert(2, file, "wrong-password");
    auto& tasks = logic_->GetTaskVec();
    SetUpgradeSameIndex(tasks);
    ASSERT_EQ(tasks[1]->m_nSameFileIndex, 0);
    logic_->StartUpgrade(0, 0);
    ASSERT_TRUE(WaitUntil([&] { return tasks[0]->m_nUpgradeState == 2; }, 30000));
    EXPECT_EQ(tasks[0]->m_bUpgradeSuccess, 1);
    // Still waiting for the first device to come back.
    EXPECT_EQ(tasks[1]->m_nUpgradeState, 0);
    ASSERT_TRUE(WaitUntil([&] {
        DeliverReconnects();
        return RunEnded();
    }, 30000));
    EXPECT_EQ(tasks[0]->m_bRebootDone, 1);
    EXPECT_EQ(page_->upgradeResult[1], UPGRADE_SUCCESS);
    EXPECT_EQ(page_->upgradeResult[2], UPGRADE_LOGIN_FAILED + 1); // "Incorrect password."
    EXPECT_EQ(State(1).version, cloudsvc::NextVersion(devices[1].version));
}

TEST_F(CloudUpgradeRunTest, TimeoutAndStopEndTasksAndTheModuleReportsOnceNoStopIsOutstanding)
{
    std::vector<devsim::DeviceState> devices = Devices(2);
    devices[0].installMs = 60000; // never done within the test
    devices[1].installMs = 60000;
    Start(devices);
    const std::string f0 = DownloadFor(0, "slow0.bin");
    const std::string f1 = DownloadFor(1, "slow1.bin");
    CAppSettings::nUpdateTimeout_Minute = 1;
    logic_->SetUpgradeTimerPeriod(300);
    Insert(0, f0);
    logic_->StartUpgrade(0, 0);
    ASSERT_TRUE(WaitUntil([&] { return RunEnded(); }, 20000));
    EXPECT_EQ(page_->upgradeResult[0], UPGRADE_TIMEOUT);

    // A stop of the run while the device installs: cancelled, and the module reports only after
    // the worker's answer.
    CAppSettings::nUpdateTimeout_Minute = 20;
    page_->upgradeIdle = 0;
    logic_->ClearVecTask();
    Insert(1, f1);
    logic_->StartUpgrade(0, 0);
    auto& tasks = logic_->GetTaskVec();
    ASSERT_TRUE(WaitUntil([&] { return tasks[0]->m_nSendState == 2; }, 20000));
    logic_->StopUpgrade();
    EXPECT_EQ(page_->upgradeIdle, 0);
    EXPECT_EQ(logic_->IsStoppingUpgrade(), 1);
    ASSERT_TRUE(WaitUntil([&] { return RunEnded(); }, 10000));
    EXPECT_EQ(page_->upgradeResult[0], UPGRADE_CANCELED);
    EXPECT_EQ(page_->upgradeIdle, 1);
    EXPECT_EQ(logic_->IsStoppingUpgrade(), 0);
}

TEST_F(CloudUpgradeRunTest, DisconnectEndsTheDeviceAndItsDuplicateRowOffline)
{
    std::vector<devsim::DeviceState> devices = Devices(1);
    devices[0].installMs = 60000;
    Start(devices);
    const std::string file = DownloadFor(0, "fw.bin");
    Insert(0, file, "admin123", 0);
    Insert(0, file, "admin123", 1);
    auto& tasks = logic_->GetTaskVec();
    SetUpgradeSameIndex(tasks);
    logic_->StartUpgrade(0, 0);
    ASSERT_TRUE(WaitUntil([&] { return tasks[0]->m_nSendState == 2; }, 20000));
    logic_->DisConnect(0); // as the main window posts it
    EXPECT_EQ(page_->upgradeResult[0], UPGRADE_DEVICE_OFFLINE);
    EXPECT_EQ(page_->upgradeResult[1], UPGRADE_DEVICE_OFFLINE);
    ASSERT_TRUE(WaitUntil([&] { return RunEnded(); }, 10000));
    EXPECT_EQ(tasks[0]->m_lUpgradID, 0);
    EXPECT_EQ(tasks[0]->m_nloginID, 0);
    EXPECT_EQ(logic_->IsStoppingUpgrade(), 0);
    logic_->DisConnect(0); // finished: nothing more
    EXPECT_EQ(logic_->OutstandingStops(), 0);
}

TEST_F(CloudUpgradeRunTest, RowStopCancelsOneTransferAndAFollowerDoesNotWaitForeverForAReboot)
{
    std::vector<devsim::DeviceState> devices = Devices(1);
    devices[0].installMs = 60000;
    Start(devices);
    const std::string file = DownloadFor(0, "fw.bin");
    Insert(0, file, "admin123", 4);
    auto& tasks = logic_->GetTaskVec();
    logic_->StartUpgrade(0, 0);
    ASSERT_TRUE(WaitUntil([&] { return tasks[0]->m_nSendState == 2; }, 20000));
    logic_->StopUpgradeSingle(3); // another row: nothing
    EXPECT_EQ(logic_->IsStoppingUpgrade(), 0);
    logic_->StopUpgradeSingle(4);
    EXPECT_EQ(tasks[0]->m_bStopSingle, 1);
    ASSERT_TRUE(WaitUntil([&] { return RunEnded(); }, 10000));
    EXPECT_EQ(page_->upgradeResult[4], UPGRADE_CANCELED);

    // A leader that succeeded but whose device never comes back: its follower times out.
    logic_->ClearVecTask();
    Insert(0, file, "admin123", 0);
    Insert(0, file, "admin123", 1);
    tasks[0]->m_nUpgradeState = 2;
    tasks[0]->m_bUpgradeSuccess = 1;
    tasks[0]->m_nSameSnState = 2;
    tasks[1]->m_nSameFileIndex = 0;
    CAppSettings::nUpdateTimeout_Minute = 2;
    logic_->SetTime();
    EXPECT_EQ(tasks[1]->m_nUpgradeState, 0);
    logic_->SetTime();
    EXPECT_EQ(tasks[1]->m_nUpgradeState, 2);
    EXPECT_EQ(page_->upgradeResult[1], UPGRADE_TIMEOUT);
}

TEST_F(CloudUpgradeRunTest, StopWithNothingToDoAndLateAnswersForAFinishedTask)
{
    Start(Devices(1));
    logic_->StopUpgrade();
    EXPECT_EQ(logic_->IsStoppingUpgrade(), 1);
    ASSERT_TRUE(WaitUntil([&] { return page_->upgradeIdle == 1; }));
    EXPECT_EQ(logic_->IsStoppingUpgrade(), 0);

    // A start the stop could not reach: its answers leave the cancelled task finished.
    Insert(0, Folder() + "/none.bin");
    auto& tasks = logic_->GetTaskVec();
    logic_->StartUpgrade(0, 0);
    logic_->StopUpgrade();
    EXPECT_EQ(tasks[0]->m_nUpgradeState, 2);
    EXPECT_EQ(page_->upgradeResult[0], UPGRADE_CANCELED);
    const unsigned gen = logic_->TaskGeneration();
    logic_->Task_Login_Ret("", "", 0, 0, 0, gen);
    logic_->Task_StartUpgrade_Ret("", "", 0, 0, gen);
    logic_->Task_SendFile_Ret("", "", 1, 0, gen);
    EXPECT_EQ(tasks[0]->m_nUpgradeState, 2);
    EXPECT_EQ(page_->upgradeResult[0], UPGRADE_CANCELED);
    // Answers of another list, or past its end, touch nothing.
    logic_->Task_StopUpgrade_Ret(0, UPGRADE_FAILED, gen + 5);
    logic_->Task_DisconnectStopUpgrade_Ret(9, gen);
    EXPECT_EQ(page_->upgradeResult[0], UPGRADE_CANCELED);
    ASSERT_TRUE(WaitUntil([&] { return logic_->OutstandingStops() == 0; }));
}

} // namespace
} // namespace cloudtest
