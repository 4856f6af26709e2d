// The emulated device clock: time zones and summer-time rules, as the device reports them.
#include "SysConfigTestSupport.h"

#include <ctime>

#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "devsim/DeviceClock.h"
#include "devsim/Fleet.h"

using devsim::CivilTime;
using devsim::DstRule;

namespace {

int64_t At(int y, int mo, int d, int h, int mi, int s) { return devsim::SecondsFromCivil(CivilTime{y, mo, d, h, mi, s}); }

Json::Value Locales(bool enable, devsim::DstPoint start, devsim::DstPoint end)
{
    Json::Value v(Json::objectValue);
    v["DSTEnable"] = enable;
    auto point = [](const devsim::DstPoint& p) {
        Json::Value o(Json::objectValue);
        o["Year"] = 2000;
        o["Month"] = p.month;
        o["Week"] = p.week;
        o["Day"] = p.day;
        o["Hour"] = p.hour;
        o["Minute"] = p.minute;
        return o;
    };
    v["DSTStart"] = point(start);
    v["DSTEnd"] = point(end);
    return v;
}

// Zones: 0 GMT, 1 GMT+01:00, 4 GMT+03:30, 13 GMT+08:00, 16 GMT+10:00, 20 GMT-01:00, 32 GMT-12:00.
const devsim::DstPoint kEuStart{3, -1, 0, 2, 0}, kEuEnd{10, -1, 0, 3, 0};
const devsim::DstPoint kSouthStart{10, 1, 0, 2, 0}, kSouthEnd{4, 1, 0, 3, 0};
const devsim::DstPoint kDateStart{3, 0, 10, 2, 0}, kDateEnd{11, 0, 3, 2, 0};

struct ClockCase {
    const char* what;
    int zone;
    Json::Value locales;
    int64_t utc;
    int64_t wall;
};

std::vector<ClockCase> Cases()
{
    const Json::Value off = Locales(false, kEuStart, kEuEnd);
    const Json::Value eu = Locales(true, kEuStart, kEuEnd);
    const Json::Value south = Locales(true, kSouthStart, kSouthEnd);
    const Json::Value date = Locales(true, kDateStart, kDateEnd);
    return {
        {"GMT, no summer time", 0, off, At(2026, 7, 1, 12, 0, 0), At(2026, 7, 1, 12, 0, 0)},
        {"GMT+08:00 across midnight", 13, off, At(2026, 1, 1, 20, 0, 0), At(2026, 1, 2, 4, 0, 0)},
        {"GMT+03:30", 4, off, At(2026, 1, 1, 0, 0, 0), At(2026, 1, 1, 3, 30, 0)},
        {"GMT-01:00", 20, off, At(2026, 1, 1, 0, 30, 0), At(2025, 12, 31, 23, 30, 0)},
        {"GMT-12:00", 32, off, At(2026, 3, 1, 11, 0, 0), At(2026, 2, 28, 23, 0, 0)},
        {"rule off in summer", 1, off, At(2026, 7, 1, 12, 0, 0), At(2026, 7, 1, 13, 0, 0)},
        {"before the summer start", 1, eu, At(2026, 3, 29, 0, 50, 0), At(2026, 3, 29, 1, 50, 0)},
        {"after the summer start", 1, eu, At(2026, 3, 29, 1, 10, 0), At(2026, 3, 29, 3, 10, 0)},
        {"summer", 1, eu, At(2026, 7, 1, 12, 0, 0), At(2026, 7, 1, 14, 0, 0)},
        {"before the summer end", 1, eu, At(2026, 10, 25, 0, 50, 0), At(2026, 10, 25, 2, 50, 0)},
        {"after the summer end", 1, eu, At(2026, 10, 25, 1, 10, 0), At(2026, 10, 25, 2, 10, 0)},
        {"winter", 1, eu, At(2026, 12, 1, 12, 0, 0), At(2026, 12, 1, 13, 0, 0)},
        {"southern summer over new year", 16, south, At(2026, 1, 15, 0, 0, 0), At(2026, 1, 15, 11, 0, 0)},
        {"southern winter", 16, south, At(2026, 7, 1, 0, 0, 0), At(2026, 7, 1, 10, 0, 0)},
        {"southern start", 16, south, At(2026, 10, 3, 16, 10, 0), At(2026, 10, 4, 3, 10, 0)},
        {"southern end", 16, south, At(2026, 4, 4, 16, 10, 0), At(2026, 4, 5, 2, 10, 0)},
        {"date rule start", 0, date, At(2030, 3, 10, 2, 10, 0), At(2030, 3, 10, 3, 10, 0)},
        {"date rule before", 0, date, At(2030, 3, 10, 1, 50, 0), At(2030, 3, 10, 1, 50, 0)},
        {"leap day in winter", 0, date, At(2028, 2, 29, 12, 0, 0), At(2028, 2, 29, 12, 0, 0)},
    };
}

} // namespace

TEST(DeviceClock, ZonesAndSummerTimeRules)
{
    for (const ClockCase& c : Cases()) {
        SCOPED_TRACE(c.what);
        const DstRule rule = devsim::DstRuleOf(c.locales);
        EXPECT_EQ(devsim::WallFromUtc(c.utc, c.zone, rule), c.wall);
        // Back and forth (an hour shown twice maps to one of its instants).
        EXPECT_EQ(devsim::WallFromUtc(devsim::UtcFromWall(c.wall, c.zone, rule), c.zone, rule), c.wall);
    }
    // The exact second of each change, the southern rule included.
    const DstRule eu = devsim::DstRuleOf(Locales(true, kEuStart, kEuEnd));
    EXPECT_EQ(devsim::WallFromUtc(At(2026, 3, 29, 0, 59, 59), 1, eu), At(2026, 3, 29, 1, 59, 59));
    EXPECT_EQ(devsim::WallFromUtc(At(2026, 3, 29, 1, 0, 0), 1, eu), At(2026, 3, 29, 3, 0, 0));
    EXPECT_EQ(devsim::WallFromUtc(At(2026, 10, 25, 0, 59, 59), 1, eu), At(2026, 10, 25, 2, 59, 59));
    EXPECT_EQ(devsim::WallFromUtc(At(2026, 10, 25, 1, 0, 0), 1, eu), At(2026, 10, 25, 2, 0, 0));
    // A time inside the skipped hour is taken as standard time.
    EXPECT_EQ(devsim::UtcFromWall(At(2026, 3, 29, 2, 30, 0), 1, eu), At(2026, 3, 29, 1, 30, 0));
    // A broken rule never applies.
    const DstRule broken = devsim::DstRuleOf(Locales(true, {13, 0, 1, 2, 0}, kEuEnd));
    EXPECT_EQ(devsim::WallFromUtc(At(2026, 7, 1, 12, 0, 0), 0, broken), At(2026, 7, 1, 12, 0, 0));
    EXPECT_EQ(devsim::ZoneOffsetMinutes(33), 0);
    EXPECT_EQ(devsim::ZoneOffsetMinutes(9), 345);
}

class DeviceClockFleet : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int attempt = 0; attempt < 6 && !fleet; ++attempt) {
            prefix = systest::ProcessPrefix(attempt + 10);
            fleet = std::make_unique<devsim::Fleet>();
            for (auto& d : devsim::MakeMixedFleet(1, prefix + "2", 3))
                fleet->Add(d);
            if (!fleet->Start())
                fleet.reset();
        }
        ASSERT_TRUE(fleet);
        fleet->With(0, [](devsim::DeviceModel& m) {
            m.State().initState = 2;
            m.State().users = {devsim::User{"admin", "admin123", 1, false, 0, 0}};
        });
        devsdk::SimOptions o;
        o.embedded = false;
        o.fleets = {prefix + "2+1"};
        o.localIp = prefix + "1";
        devsdk::SetSimOptions(o);
        ASSERT_TRUE(SdkInit(nullptr, nullptr));
        ip = fleet->StateOf(0).ip;
    }
    void TearDown() override
    {
        SdkCleanup();
        devsdk::ResetSimOptions();
        if (fleet)
            fleet->Stop();
    }

    std::string prefix, ip;
    std::unique_ptr<devsim::Fleet> fleet;
};

TEST_F(DeviceClockFleet, DeviceReportsTheTimeOfItsZoneAndRule)
{
    for (const ClockCase& c : Cases()) {
        SCOPED_TRACE(c.what);
        fleet->With(0, [&](devsim::DeviceModel& m) {
            m.State().tables["Locales"] = c.locales;
            m.State().tables["NTP"]["TimeZone"] = c.zone;
            m.State().clockOffsetSec = c.utc - int64_t(std::time(nullptr));
        });
        SYNC_TIME_PARAM t{};
        ASSERT_TRUE(systest::ReadTime(ip, t));
        const int64_t reported = At(t.nYear, t.nMonth, t.nDay, t.nHour, t.nMinute, t.nSecond);
        EXPECT_GE(reported, c.wall);
        EXPECT_LE(reported, c.wall + 3);
    }
}

TEST_F(DeviceClockFleet, YearLimitsOfTheDeviceClock)
{
    LONG h = systest::Login(ip);
    ASSERT_NE(h, 0);
    struct {
        SYNC_TIME_PARAM t;
        bool ok;
    } cases[] = {
        {{1999, 12, 31, 23, 59, 59}, false}, {{2000, 1, 1, 0, 0, 0}, true},   {{2099, 12, 31, 23, 0, 0}, true},
        {{2100, 1, 1, 0, 0, 0}, false},      {{2026, 2, 29, 0, 0, 0}, false}, {{2028, 2, 29, 0, 0, 0}, true},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.t.nYear);
        EXPECT_EQ(SdkSetDevConfig(h, SDK_DEV_TIMECFG, -1, &c.t, sizeof c.t, 6000) != 0, c.ok);
        if (!c.ok)
            continue;
        SYNC_TIME_PARAM back{};
        int returned = 0;
        ASSERT_TRUE(SdkGetDevConfig(h, SDK_DEV_TIMECFG, -1, &back, sizeof back, &returned, 5000));
        EXPECT_EQ(back.nYear, c.t.nYear);
        EXPECT_EQ(back.nMonth, c.t.nMonth);
        EXPECT_EQ(back.nDay, c.t.nDay);
    }
    SdkLogout(h);
}
