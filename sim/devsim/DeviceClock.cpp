// Device clock: time zones and daylight-saving rules (see DeviceClock.h and PROTOCOL.md,
// "Device clock").
#include "devsim/DeviceClock.h"

#include "devsdk/Wire.h"

namespace devsim {

using devsdk::wire::GetBool;
using devsdk::wire::GetInt;
using devsdk::wire::GetMember;

namespace {

// Minutes east of GMT, in the order of the configuration page's time-zone list.
constexpr int kZones[] = {0,    60,   120,  180,  210,  240,  270,  300,  330,  345,  360,
                          390,  420,  480,  540,  570,  600,  660,  720,  780,  -60,  -120,
                          -180, -210, -240, -300, -360, -420, -480, -540, -600, -660, -720};
constexpr int64_t kDay = 86400;

int64_t DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int DaysInMonth(int y, int m)
{
    static const int kLen[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0))
        return 29;
    return kLen[(m - 1) % 12];
}

// 0 Sunday.
int Weekday(int64_t days) { return int(((days % 7) + 11) % 7); }

DstPoint PointOf(const Json::Value& v)
{
    DstPoint p;
    p.month = int(GetInt(v, "Month", 1));
    p.week = int(GetInt(v, "Week", 0));
    p.day = int(GetInt(v, "Day", 1));
    p.hour = int(GetInt(v, "Hour", 0));
    p.minute = int(GetInt(v, "Minute", 0));
    return p;
}

// The wall time of a rule point in a year; false when the point names no day (bad month,
// week or day), so that a broken rule never applies.
bool PointIn(const DstPoint& p, int year, int64_t& at)
{
    if (p.month < 1 || p.month > 12 || p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59)
        return false;
    const int len = DaysInMonth(year, p.month);
    int day;
    if (p.week == 0) {
        if (p.day < 1)
            return false;
        day = p.day > len ? len : p.day;
    } else {
        if (p.day < 0 || p.day > 6 || p.week < -1 || p.week > 5)
            return false;
        if (p.week == -1) {
            const int64_t last = DaysFromCivil(year, p.month, len);
            day = len - (Weekday(last) - p.day + 7) % 7;
        } else {
            const int64_t first = DaysFromCivil(year, p.month, 1);
            day = 1 + (p.day - Weekday(first) + 7) % 7 + (p.week - 1) * 7;
            if (day > len)
                day -= 7;
        }
    }
    at = DaysFromCivil(year, p.month, day) * kDay + p.hour * 3600 + p.minute * 60;
    return true;
}

} // namespace

int ZoneOffsetMinutes(int index)
{
    if (index < 0 || index >= int(sizeof kZones / sizeof kZones[0]))
        return 0;
    return kZones[index];
}

DstRule DstRuleOf(const Json::Value& locales)
{
    DstRule r;
    r.enable = GetBool(locales, "DSTEnable", false);
    r.start = PointOf(GetMember(locales, "DSTStart"));
    r.end = PointOf(GetMember(locales, "DSTEnd"));
    return r;
}

int64_t SecondsFromCivil(const CivilTime& t)
{
    return DaysFromCivil(t.year, t.month, t.day) * kDay + t.hour * 3600 + t.minute * 60 + t.second;
}

CivilTime CivilFromSeconds(int64_t s)
{
    int64_t days = s >= 0 ? s / kDay : (s - kDay + 1) / kDay;
    int64_t rem = s - days * kDay;
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    CivilTime t;
    t.day = int(doy - (153 * mp + 2) / 5 + 1);
    t.month = int(mp < 10 ? mp + 3 : mp - 9);
    t.year = int(yoe + era * 400 + (t.month <= 2));
    t.hour = int(rem / 3600);
    t.minute = int(rem % 3600 / 60);
    t.second = int(rem % 60);
    return t;
}

bool IsValidCivil(const CivilTime& t)
{
    return t.year >= kClockFirstYear && t.year <= kClockLastYear && t.month >= 1 && t.month <= 12 &&
           t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 &&
           t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

bool InSummerTime(const DstRule& rule, int64_t standardWall)
{
    if (!rule.enable)
        return false;
    const int year = CivilFromSeconds(standardWall).year;
    int64_t start = 0, end = 0;
    if (!PointIn(rule.start, year, start) || !PointIn(rule.end, year, end))
        return false;
    end -= 3600; // the end point is read on the summer clock
    if (start == end)
        return false;
    if (start < end)
        return standardWall >= start && standardWall < end;
    return standardWall >= start || standardWall < end;
}

int64_t WallFromUtc(int64_t utc, int zoneIndex, const DstRule& rule)
{
    const int64_t standard = utc + int64_t(ZoneOffsetMinutes(zoneIndex)) * 60;
    return InSummerTime(rule, standard) ? standard + 3600 : standard;
}

int64_t UtcFromWall(int64_t wall, int zoneIndex, const DstRule& rule)
{
    const int64_t standard = InSummerTime(rule, wall - 3600) ? wall - 3600 : wall;
    return standard - int64_t(ZoneOffsetMinutes(zoneIndex)) * 60;
}

} // namespace devsim

// ---- The device's clock -------------------------------------------------------------------

#include "devsim/DeviceModel.h"

#include <ctime>

namespace devsim {

namespace {

int ZoneOf(const DeviceModel& m) { return int(GetInt(m.Table("NTP"), "TimeZone", 0)); }

} // namespace

int64_t DeviceModel::UtcNow() const { return int64_t(std::time(nullptr)) + s_.clockOffsetSec; }

int64_t DeviceModel::WallNow() const { return WallFromUtc(UtcNow(), ZoneOf(*this), DstRuleOf(Table("Locales"))); }

void DeviceModel::SetWallTime(int64_t wall)
{
    const int64_t utc = UtcFromWall(wall, ZoneOf(*this), DstRuleOf(Table("Locales")));
    s_.clockOffsetSec = utc - int64_t(std::time(nullptr));
}

bool DeviceModel::SecurityCodeValid() const
{
    if (s_.securityCode.empty())
        return false;
    const int64_t age = UtcNow() - s_.securityCodeIssuedUtc;
    return age >= 0 && age <= s_.codeValidSec;
}

} // namespace devsim
