// The clock of an emulated device: it counts UTC and shows it in the device's time zone (the
// "NTP" TimeZone index) with its daylight-saving rule ("Locales"). Pure functions; no host time
// zone is involved.
#pragma once

#include <json/json.h>

#include <cstdint>

namespace devsim {

// Years a device clock accepts.
constexpr int kClockFirstYear = 2000;
constexpr int kClockLastYear = 2099;

// Offset east of GMT, in minutes, of an index of the time-zone list ("GMT+00:00" … "GMT-12:00",
// 33 entries); 0 for an index outside the list.
int ZoneOffsetMinutes(int index);

// One end of a daylight-saving period. week 0: day is the day of the month; week 1-4: the nth
// weekday `day` (0 Sunday) of the month; week -1: the last such weekday.
struct DstPoint {
    int month = 1;
    int week = 0;
    int day = 1;
    int hour = 0;
    int minute = 0;
};
struct DstRule {
    bool enable = false;
    DstPoint start;
    DstPoint end;
};
DstRule DstRuleOf(const Json::Value& locales);

struct CivilTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
// Seconds since 1970 of a civil time read as UTC, and back.
int64_t SecondsFromCivil(const CivilTime& t);
CivilTime CivilFromSeconds(int64_t s);
bool IsValidCivil(const CivilTime& t);

// Whether a standard (winter) wall time lies in the summer period of the rule. The period
// starts at the start point in standard time and ends at the end point in summer time; a start
// month after the end month wraps over the new year (southern hemisphere).
bool InSummerTime(const DstRule& rule, int64_t standardWall);
// The wall time a device shows at a UTC time, and the UTC time of a wall time the user set (a
// wall time inside the hour the clock skips counts as standard time).
int64_t WallFromUtc(int64_t utc, int zoneIndex, const DstRule& rule);
int64_t UtcFromWall(int64_t wall, int zoneIndex, const DstRule& rule);

} // namespace devsim
