// The batch scheduler's pacing and run ends, against addresses where nothing answers (every
// login is refused at once, result 24).
#include "SysConfigTestSupport.h"

#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"

namespace {

class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        systest::EnsureLoops();
        devsdk::SimOptions o;
        o.embedded = false;
        devsdk::SetSimOptions(o);
        ASSERT_TRUE(SdkInit(nullptr, nullptr));
        prefix = systest::ProcessPrefix(20);
        view = std::make_shared<systest::RecordingView>();
        logic = CConfigUILogic::Create(view);
        view->logic = logic;
    }
    void TearDown() override
    {
        SdkCleanup();
        devsdk::ResetSimOptions();
    }
    std::string Nowhere(int host) const { return prefix + std::to_string(200 + host); }

    std::string prefix;
    std::shared_ptr<systest::RecordingView> view;
    std::shared_ptr<CConfigUILogic> logic;
};

} // namespace

TEST_F(SchedulerTest, FiveAheadThenOnePerAnswerUntilTheLast)
{
    for (int i = 0; i < 12; ++i) {
        const std::string mac = i == 1 || i == 7 ? "" : "00:11:22:33:44:" + std::to_string(10 + i);
        logic->AddDevice(0, Nowhere(i).c_str(), "admin", "admin123", mac.c_str(), 0, "IPC", 100 + i, "SN");
    }
    logic->SetConfigType(SYSCONFIG_MANUAL_REBOOT);
    logic->StartConfig(1, SYSCONFIG_MANUAL_REBOOT);
    EXPECT_EQ(logic->GetCurIndex(), 4);
    EXPECT_EQ(logic->GetInFlight(), 5);
    EXPECT_TRUE(logic->IsConfiguring());
    EXPECT_EQ(logic->GetDeviceResult(100), 0) << "no result while running";
    logic->StartConfig(1, SYSCONFIG_NTP);
    logic->StartGet2CodeInfo();
    EXPECT_EQ(logic->GetInFlight(), 5) << "a second start is refused while a run lasts";
    ASSERT_TRUE(systest::PumpUntil([&] { return view->finished == 1; }));
    EXPECT_FALSE(logic->IsConfiguring());
    EXPECT_EQ(view->icons.size(), 12u);
    EXPECT_LE(view->maxInFlight, 5);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(logic->GetDeviceResult(100 + i), SYSCONFIG_ERR_LOGIN_CONNECT) << i;
    // An empty MAC goes out as it is among the first five, as "NULL" later.
    EXPECT_EQ(logic->GetConfigInfo()[1]->mac, "");
    EXPECT_EQ(logic->GetConfigInfo()[7]->mac, "NULL");
    EXPECT_EQ(systest::ResultWords(SYSCONFIG_MANUAL_REBOOT, logic->GetDeviceResult(107)), L"Connection failed.");
}

TEST_F(SchedulerTest, RunsEndWhateverTheAnswers)
{
    // Three records of one IP and MAC: each answer finds its own record.
    for (int i = 0; i < 3; ++i)
        logic->AddDevice(0, Nowhere(0).c_str(), "admin", "x", "00:11:22:33:44:55", 0, "NVR", 100 + i, "SN");
    ASSERT_TRUE(systest::RunAndWait(*logic, *view, 1, SYSCONFIG_NTP));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(logic->GetConfigInfo()[size_t(i)]->finished, 1) << i;

    // A run without devices ends at once; so does a description run.
    logic->ClearDevices();
    logic->StartConfig(1, SYSCONFIG_DST);
    EXPECT_FALSE(logic->IsConfiguring());
    EXPECT_EQ(view->finished, 2);
    logic->StartGet2CodeInfo();
    EXPECT_FALSE(logic->IsConfiguring());
    ASSERT_EQ(view->descriptionRuns.size(), 1u);
    EXPECT_TRUE(view->descriptionRuns[0].empty());

    // An answer for no record of the list changes nothing and starts nothing.
    logic->AddDevice(0, Nowhere(1).c_str(), "admin", "x", "00:11:22:33:44:56", 0, "IPC", 200, "SN");
    logic->Task_StartConfig_Ret("192.0.2.1", "aa", 1, 0);
    logic->Task_Config_Ret("192.0.2.1", "aa", 1, 0);
    EXPECT_FALSE(logic->IsConfiguring());
    EXPECT_EQ(logic->GetDeviceResult(200), 0);

    // The one-device steps answer even without a device.
    logic->ClearDevices();
    logic->GetPwdDescription();
    logic->CheckSecurityCode("123456");
    ASSERT_EQ(view->descriptionResults.size(), 1u);
    EXPECT_EQ(view->descriptionResults[0], 0);
    ASSERT_EQ(view->checks.size(), 1u);
    EXPECT_EQ(view->checks[0], 0);
}
