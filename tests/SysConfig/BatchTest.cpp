// Operation runs over an external devsim fleet of 30 devices: each device's state is read back
// afterwards, and scripted failures show their result words through the result details dialog.
#include "SysConfigTestSupport.h"

#include <cstring>
#include <ctime>

#include "devsdk/DevSdk.h"
#include "devsim/DeviceClock.h"

namespace {

constexpr size_t kDevices = 30;
constexpr DWORD kFail = 0x80000001;
// Scripted devices.
constexpr size_t kSetByNameFails = 3, kBusy = 7, kSetTimeFails = 11, kOtherPassword = 13, kItcRestoreFails = 17,
                 kRebootFails = 19, kPasswordOpFails = 23, kRestoreHangs = 29, kItc = 5, kManyUsers = 27, kRestoreFails = 21;

void Script(size_t i, devsim::DeviceState& s)
{
    s.tables["NTP"]["TimeZoneDesc"] = "Local zone";
    s.tables["NTP"]["StandbyServerNum"] = 2;
    switch (i) {
    case kSetByNameFails: s.failOps[14] = kFail; break;
    case kBusy: s.busy = true; break;
    case kSetTimeFails: s.failOps[12] = kFail; break;
    case kOtherPassword:
        s.users[0].password = "other123";
        s.maxFailures = 1000;
        break;
    case kItcRestoreFails:
        s.type = "ITC";
        s.failOps[18] = kFail;
        break;
    case kRebootFails: s.failOps[16] = kFail; break;
    case kRestoreFails:
        s.type = "IPC";
        s.failOps[18] = kFail;
        break;
    case kPasswordOpFails: s.failOps[23] = kFail; break;
    case kRestoreHangs: s.hangOps.insert(18); break;
    case kItc: s.type = "itc"; break;
    case kManyUsers: {
        // The SDK's list holds 200 users: the login user, last, is not among them.
        std::vector<devsim::User> users;
        for (int u = 0; u < 200; ++u)
            users.push_back(devsim::User{"u" + std::to_string(u), "pass1234", 2, false, 0, 0});
        users.insert(users.end(), s.users.begin(), s.users.end());
        s.users = users;
        break;
    }
    default: break;
    }
}

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        systest::EnsureLoops();
        ASSERT_TRUE(fleet.Start(kDevices, Script));
        view = std::make_shared<systest::RecordingView>();
        logic = CConfigUILogic::Create(view);
        view->logic = logic;
        systest::AddFleet(*logic, fleet);
    }

    // Runs and checks the result of every device: expected() gives the code of device i.
    void Run(int type, int paramValid, const std::function<int(size_t)>& expected, int limitMs = 120000)
    {
        view->icons.clear();
        view->maxInFlight = 0;
        logic->SetConfigType(type);
        logic->StartConfig(paramValid, type);
        EXPECT_EQ(logic->GetCurIndex(), 4);
        ASSERT_TRUE(systest::PumpUntil([&] { return !logic->IsConfiguring(); }, limitMs));
        EXPECT_EQ(view->icons.size(), kDevices);
        EXPECT_LE(view->maxInFlight, 5);
        for (size_t i = 0; i < kDevices; ++i)
            EXPECT_EQ(logic->GetDeviceResult(int(i) + 100), expected(i)) << "device " << i << " type " << type;
    }
    static int LoginFailure(size_t i)
    {
        if (i == kBusy)
            return 23;
        if (i == kOtherPassword)
            return 17;
        return 0;
    }
    bool AllBack()
    {
        return systest::PumpUntil([&] {
            for (size_t i = 0; i < kDevices; ++i) {
                if (i == kBusy || i == kOtherPassword)
                    continue;
                LONG h = systest::Login(fleet.Device(i).ip);
                if (!h)
                    return false;
                SdkLogout(h);
            }
            return true;
        }, 30000);
    }
    std::string Ip(size_t i) const { return fleet.Device(i).ip; }

    systest::ExternalFleet fleet;
    std::shared_ptr<systest::RecordingView> view;
    std::shared_ptr<CConfigUILogic> logic;
};

int64_t Seconds(const SYNC_TIME_PARAM& t)
{
    return devsim::SecondsFromCivil({t.nYear, t.nMonth, t.nDay, t.nHour, t.nMinute, t.nSecond});
}

} // namespace

TEST_F(BatchTest, TimeNtpAndSummerTimeOverThirtyDevices)
{
    auto failing = [](size_t failed, int code) {
        return [failed, code](size_t i) { return LoginFailure(i) ? LoginFailure(i) : i == failed ? code : 1; };
    };

    NTP_PARAM ntp{};
    ntp.bEnable = 1;
    std::strcpy(ntp.szServer, "ntp.example.test");
    ntp.nPort = 124;
    ntp.nUpdatePeriod = 30;
    ntp.nTimeZone = 13;
    logic->SetNTPParam(&ntp);
    Run(SYSCONFIG_NTP, 1, failing(kSetByNameFails, SYSCONFIG_ERR_NTP));
    for (size_t i = 0; i < kDevices; ++i) {
        if (LoginFailure(i))
            continue;
        SCOPED_TRACE(i);
        NTP_PARAM back{};
        ASSERT_TRUE(systest::ReadNtp(Ip(i), back));
        const bool written = i != kSetByNameFails;
        EXPECT_EQ(back.bEnable, written ? 1 : 0);
        EXPECT_STREQ(back.szServer, written ? "ntp.example.test" : "clock.local");
        EXPECT_EQ(back.nTimeZone, written ? 13 : 0);
        EXPECT_EQ(back.nUpdatePeriod, written ? 30 : 10);
        // What the page does not set stays on the device.
        EXPECT_STREQ(back.szTimeZoneDesc, "Local zone");
        EXPECT_EQ(back.nStandbyServerNum, 2);
    }

    Run(SYSCONFIG_SYNC_PC, 1, failing(kSetTimeFails, SYSCONFIG_ERR_SYNC_TIME));
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    const int64_t pc = devsim::SecondsFromCivil({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                                                 tm.tm_sec});
    SYNC_TIME_PARAM t{};
    ASSERT_TRUE(systest::ReadTime(Ip(0), t));
    EXPECT_LE(std::llabs(Seconds(t) - pc), 30) << "the device shows the workstation's time";

    ASSERT_EQ(logic->SetSyncTimeParam(2031, 7, 14, 9, 30, 0), 1);
    Run(SYSCONFIG_MANUAL_SYNC, 1, failing(kSetTimeFails, SYSCONFIG_ERR_SYNC_TIME));
    for (size_t i : {size_t(0), size_t(12), size_t(29)}) {
        ASSERT_TRUE(systest::ReadTime(Ip(i), t));
        EXPECT_EQ(t.nYear, 2031);
        EXPECT_EQ(t.nMonth, 7);
        EXPECT_EQ(t.nDay, 14);
        EXPECT_EQ(t.nHour, 9);
    }
    // A refused year reaches no device: every device that logs in fails.
    EXPECT_EQ(logic->SetSyncTimeParam(1999, 7, 14, 9, 30, 0), 0);
    Run(SYSCONFIG_MANUAL_SYNC, 0, [](size_t i) { return LoginFailure(i) ? LoginFailure(i) : 3; });
    ASSERT_TRUE(systest::ReadTime(Ip(0), t));
    EXPECT_EQ(t.nYear, 2031);

    DST_PARAM dst{};
    dst.bDSTEnable = 1;
    dst.stDSTStart = DST_TIME{28, 1999, 3, -1, 0, 2, 0};
    dst.stDSTEnd = DST_TIME{28, 1999, 10, -1, 0, 3, 0};
    std::strcpy(dst.szTimeFormat, "page text");
    logic->SetDSTParam(dst);
    Run(SYSCONFIG_DST, 1, failing(kSetByNameFails, SYSCONFIG_ERR_DST));
    DST_PARAM loc{};
    ASSERT_TRUE(systest::ReadLocales(Ip(0), loc));
    EXPECT_EQ(loc.bDSTEnable, 1);
    EXPECT_EQ(loc.stDSTStart.nMonth, 3);
    EXPECT_EQ(loc.stDSTStart.nWeek, -1);
    EXPECT_EQ(loc.stDSTEnd.nMonth, 10);
    EXPECT_EQ(loc.stDSTEnd.nHour, 3);
    EXPECT_EQ(loc.stDSTStart.nYear, 2000) << "the device's own value is kept";
    EXPECT_STREQ(loc.szTimeFormat, "yyyy-MM-dd HH:mm:ss");
    // The device now shows summer time: its July clock went one hour ahead.
    ASSERT_TRUE(systest::ReadTime(Ip(0), t));
    EXPECT_EQ(t.nHour, 10);
    ASSERT_TRUE(systest::ReadLocales(Ip(kSetByNameFails), loc));
    EXPECT_EQ(loc.bDSTEnable, 0);

    struct {
        size_t device;
        int type;
        const wchar_t* words;
    } shown[] = {
        {kSetByNameFails, SYSCONFIG_DST, L"Fail"},
        {kBusy, SYSCONFIG_DST, L"System is busy."},
        {kOtherPassword, SYSCONFIG_DST, L"Incorrect password."},
        {0, SYSCONFIG_DST, L"Success"},
    };
    for (const auto& s : shown)
        EXPECT_EQ(systest::ResultWords(s.type, logic->GetDeviceResult(int(s.device) + 100)), s.words) << s.device;
}

TEST_F(BatchTest, MaintenanceRebootAndRestoreOverThirtyDevices)
{
    logic->SetAutoRebootParam(1, 7, 3, 15);
    Run(SYSCONFIG_AUTO_REBOOT, 1, [](size_t i) {
        return LoginFailure(i) ? LoginFailure(i) : i == kSetByNameFails ? SYSCONFIG_ERR_AUTO_REBOOT : 1;
    });
    AUTO_MAINTAIN_PARAM am{};
    ASSERT_TRUE(systest::ReadMaintain(Ip(0), am));
    EXPECT_EQ(am.nAutoRebootDay, 7);
    EXPECT_EQ(am.nAutoRebootHour, 3);
    EXPECT_EQ(am.nAutoRebootMinute, 15);

    Run(SYSCONFIG_MANUAL_REBOOT, 1, [](size_t i) {
        return LoginFailure(i) ? LoginFailure(i) : i == kRebootFails ? SYSCONFIG_ERR_MANUAL_REBOOT : 1;
    });
    EXPECT_EQ(systest::ResultWords(SYSCONFIG_MANUAL_REBOOT, logic->GetDeviceResult(int(kRebootFails) + 100)), L"Fail");
    ASSERT_TRUE(AllBack()) << "rebooted devices come back";

    // Restore: recorders by control command, others by system reset; a failed ITC restore is a
    // failure even though its reboot succeeds; a restore that times out counts as done.
    Run(SYSCONFIG_RESTORE, 1, [](size_t i) {
        if (LoginFailure(i))
            return LoginFailure(i);
        return i == kItcRestoreFails || i == kRestoreFails ? int(SYSCONFIG_ERR_RESTORE) : 1;
    });
    EXPECT_EQ(systest::ResultWords(SYSCONFIG_RESTORE, logic->GetDeviceResult(int(kItcRestoreFails) + 100)), L"Fail");
    ASSERT_TRUE(AllBack());
    for (size_t i = 0; i < kDevices; ++i) {
        if (LoginFailure(i))
            continue;
        SCOPED_TRACE(i);
        ASSERT_TRUE(systest::ReadMaintain(Ip(i), am)) << "users kept";
        const bool restored = i != kItcRestoreFails && i != kRestoreHangs && i != kRestoreFails;
        EXPECT_EQ(am.nAutoRebootDay, restored || i == kSetByNameFails ? 2 : 7);
        NTP_PARAM ntp{};
        ASSERT_TRUE(systest::ReadNtp(Ip(i), ntp));
        EXPECT_STREQ(ntp.szTimeZoneDesc, restored ? "" : "Local zone");
    }

    // Automatic reboot off: day -1 with the given time.
    logic->ClearDevices();
    logic->AddDevice(37777, Ip(0).c_str(), "admin", "admin123", fleet.Device(0).mac.c_str(), 0, "IPC", 100, "");
    logic->SetAutoRebootParam(0, 4, 5, 6);
    ASSERT_TRUE(systest::RunAndWait(*logic, *view, 1, SYSCONFIG_AUTO_REBOOT));
    ASSERT_TRUE(systest::ReadMaintain(Ip(0), am));
    EXPECT_EQ(am.nAutoRebootDay, -1);
    EXPECT_EQ(am.nAutoRebootHour, 5);
    EXPECT_EQ(am.nAutoRebootMinute, 6);
}

TEST_F(BatchTest, PasswordChangeOverThirtyDevices)
{
    logic->SetPasswordParam("admin123", "Newpass123");
    Run(SYSCONFIG_MODIFY_PASSWORD, 1, [](size_t i) {
        if (LoginFailure(i))
            return LoginFailure(i);
        // No entry of the user changed: a failure, not a success without a change.
        return i == kPasswordOpFails || i == kManyUsers ? int(SYSCONFIG_ERR_PASSWORD) : 1;
    });
    for (size_t i = 0; i < kDevices; ++i) {
        if (LoginFailure(i))
            continue;
        SCOPED_TRACE(i);
        const bool changed = i != kPasswordOpFails && i != kManyUsers;
        LONG h = systest::Login(Ip(i), changed ? "Newpass123" : "admin123");
        EXPECT_NE(h, 0);
        SdkLogout(h);
    }
    int error = 0;
    EXPECT_EQ(systest::Login(Ip(0), "admin123", &error), 0);
    EXPECT_EQ(error, SDK_LOGIN_PASSWORD);
    EXPECT_EQ(systest::ResultWords(SYSCONFIG_MODIFY_PASSWORD, logic->GetDeviceResult(int(kPasswordOpFails) + 100)),
              L"Fail");
}
