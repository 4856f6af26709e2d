#include "Infra3/Time.h"

#include "Infra3/CurrentThread.h"
#include "Infra3/Error.h"
#include "Infra3/Mutex.h"
#include "Infra3/PrintLog.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace Orvan {
namespace Infra {

namespace {

const int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

struct FormatSettings
{
    std::string format = "yyyy-MM-dd HH:mm:ss";
    char separator = '-';
    int dateOrder = 0;
    bool twelveHour = false;
    std::atomic<bool> timeZone{true};
};

FormatSettings& settings()
{
    static FormatSettings* s = new FormatSettings;
    return *s;
}

bool isLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int monthLength(int year, int month)
{
    return month == 2 && isLeap(year) ? 29 : kMonthDays[month - 1];
}

int64_t daysSince1970(int year, int month, int day)
{
    int64_t days = static_cast<int64_t>(year) * 365 + kDaysBefore[month - 1] + (year - 1968) / 4 + day - 719051;
    if (isLeap(year) && month <= 2)
        --days;
    return days;
}

int64_t zoneBias()
{
    if (!settings().timeZone.load())
        return 0;
    tzset();
    return static_cast<int64_t>(timezone); // seconds west of UTC, no daylight-saving part
}

uint64_t monotonicUs()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

uint64_t startUs()
{
    static const uint64_t start = monotonicUs();
    return start;
}
[[maybe_unused]] const uint64_t s_startAtInit = startUs();
std::atomic<uint64_t> s_lastMs{0};

// Date order from the first 'y', 'M' and 'd' of a format; -1 for any other arrangement.
int orderOf(const char* fmt)
{
    const char* y = std::strchr(fmt, 'y');
    const char* m = std::strchr(fmt, 'M');
    const char* d = std::strchr(fmt, 'd');
    if (!y || !m || !d)
        return -1;
    if (y < m && m < d)
        return 0;
    if (m < d && d < y)
        return 1;
    if (d < m && m < y)
        return 2;
    return -1;
}

CMutex& listenerMutex()
{
    static CMutex* m = new CMutex;
    return *m;
}

std::vector<CTime::TimeChangedProc>& listeners()
{
    static auto* l = new std::vector<CTime::TimeChangedProc>;
    return *l;
}

void notifyListeners(const CTime& time)
{
    std::vector<CTime::TimeChangedProc> copy;
    {
        CMutexGuard guard(listenerMutex());
        copy = listeners();
    }
    if (copy.empty()) {
        logInfo("CTime::setCurrentTime() success without callback function\n");
        return;
    }
    for (const auto& proc : copy)
        proc(time);
}

bool setSystemClock(const CTime& time, int millisecond, int tolerance)
{
    CTime t = time;
    const CTime lowest(2000, 1, 1, 0, 0, 0);
    const CTime highest(2038, 1, 1, 0, 0, 0);
    if (t < lowest)
        t = lowest;
    if (t > highest)
        t = highest;
    if (tolerance != 0) {
        CTime now = CTime::currentLocal();
        int64_t diff = now - t;
        if (diff < 0)
            diff = -diff;
        if (diff <= tolerance)
            return true;
    }
    struct tm tmv = {};
    tmv.tm_year = t.year - 1900;
    tmv.tm_mon = t.month - 1;
    tmv.tm_mday = t.day;
    tmv.tm_hour = t.hour;
    tmv.tm_min = t.minute;
    tmv.tm_sec = t.second;
    tmv.tm_isdst = -1;
    struct timespec ts;
    ts.tv_sec = mktime(&tmv);
    ts.tv_nsec = static_cast<long>(millisecond) * 1000000L;
    if (ts.tv_sec == static_cast<time_t>(-1) || clock_settime(CLOCK_REALTIME, &ts) != 0) {
        setLastError(errorSetClockFailed);
        return false;
    }
    notifyListeners(t);
    return true;
}

bool builtinTimeSetter(const CTime& time, int tolerance)
{
    return setSystemClock(time, 0, tolerance);
}

bool builtinClockSetter(const ClockTime& clock, int tolerance)
{
    CTime t(clock.year, clock.month, clock.day, clock.hour, clock.minute, clock.second);
    return setSystemClock(t, clock.millisecond, tolerance);
}

struct Setters
{
    CMutex mutex;
    CTime::TimeSetter timeSetter{&builtinTimeSetter};
    CTime::ClockSetter clockSetter{&builtinClockSetter};
};

Setters& setters()
{
    static Setters* s = new Setters;
    return *s;
}

} // namespace

CTime::CTime() : year(1970), month(1), day(1), wday(4), hour(0), minute(0), second(0), reserved(0) {}

CTime::CTime(int y, int mo, int d, int h, int mi, int s)
    : year(y), month(mo), day(d), wday(0), hour(h), minute(mi), second(s), reserved(0)
{
    normalize();
}

CTime::CTime(uint64_t utcSeconds) : CTime()
{
    fromUtcSeconds(utcSeconds);
}

void CTime::normalize()
{
    if (year < 1970)
        year = 1970;
    if (year > 2038)
        year = 2038;
    if (month < 1)
        month = 1;
    if (month > 12)
        month = 12;
    if (day <= 0)
        day = 1;
    if (day > monthLength(year, month))
        day = monthLength(year, month);
    if (hour < 0)
        hour = 0;
    if (hour > 23) {
        hour = 23;
        minute = 59;
        second = 59;
    }
    if (minute < 0)
        minute = 0;
    if (minute >= 60)
        minute = 59;
    if (second < 0)
        second = 0;
    if (second >= 60)
        second = 59;
    wday = static_cast<int>((daysSince1970(year, month, day) + 4) % 7);
}

int64_t CTime::zoneFreeSeconds() const
{
    CTime t = *this;
    t.normalize();
    return daysSince1970(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

void CTime::setZoneFreeSeconds(int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    int64_t count = seconds / 86400;
    int64_t rest = seconds % 86400;
    int y = 1970 + static_cast<int>(count / 365);
    int64_t r = count % 365;
    int64_t leapDays = (count / 365 + 1) / 4;
    if (r < leapDays) {
        --y;
        r += isLeap(y) ? 366 : 365;
    }
    r -= leapDays;
    int m = 1;
    while (m < 12 && r >= monthLength(y, m)) {
        r -= monthLength(y, m);
        ++m;
    }
    year = y;
    month = m;
    day = static_cast<int>(r) + 1;
    hour = static_cast<int>(rest / 3600);
    minute = static_cast<int>(rest % 3600 / 60);
    second = static_cast<int>(rest % 60);
    normalize();
}

CTime CTime::currentLocal()
{
    time_t now = time(nullptr);
    struct tm tmv;
    localtime_r(&now, &tmv);
    return CTime(tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday, tmv.tm_hour, tmv.tm_min, tmv.tm_sec);
}

ClockTime CTime::currentClockTime()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    struct tm tmv;
    localtime_r(&ts.tv_sec, &tmv);
    ClockTime c = {};
    c.year = tmv.tm_year + 1900;
    c.month = tmv.tm_mon + 1;
    c.day = tmv.tm_mday;
    c.wday = tmv.tm_wday;
    c.hour = tmv.tm_hour;
    c.minute = tmv.tm_min;
    c.second = tmv.tm_sec;
    c.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    return c;
}

uint64_t CTime::currentUtcSeconds()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<uint64_t>(ts.tv_sec);
}

uint64_t CTime::currentUtcMs()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec / 1000000);
}

uint64_t CTime::toUtcSeconds() const
{
    int64_t s = zoneFreeSeconds() + zoneBias();
    return s < 0 ? 0 : static_cast<uint64_t>(s);
}

void CTime::fromUtcSeconds(uint64_t seconds)
{
    setZoneFreeSeconds(static_cast<int64_t>(seconds) - zoneBias());
}

CTime CTime::operator+(int64_t seconds) const
{
    CTime t = *this;
    t += seconds;
    return t;
}

CTime CTime::operator-(int64_t seconds) const
{
    CTime t = *this;
    t -= seconds;
    return t;
}

CTime& CTime::operator+=(int64_t seconds)
{
    setZoneFreeSeconds(zoneFreeSeconds() + seconds);
    return *this;
}

CTime& CTime::operator-=(int64_t seconds)
{
    setZoneFreeSeconds(zoneFreeSeconds() - seconds);
    return *this;
}

int64_t CTime::operator-(const CTime& other) const
{
    return zoneFreeSeconds() - other.zoneFreeSeconds();
}

bool CTime::operator==(const CTime& o) const
{
    return second == o.second && minute == o.minute && hour == o.hour && day == o.day && month == o.month &&
           year == o.year;
}

bool CTime::operator!=(const CTime& o) const
{
    return !(*this == o);
}

bool CTime::operator<(const CTime& o) const
{
    const int a[6] = {year, month, day, hour, minute, second};
    const int b[6] = {o.year, o.month, o.day, o.hour, o.minute, o.second};
    for (int i = 0; i < 6; ++i)
        if (a[i] != b[i])
            return a[i] < b[i];
    return false;
}

bool CTime::operator>(const CTime& o) const
{
    return o < *this;
}

bool CTime::operator<=(const CTime& o) const
{
    return !(o < *this);
}

bool CTime::operator>=(const CTime& o) const
{
    return !(*this < o);
}

void CTime::format(char* buf, const char* fmt, int flags) const
{
    ORVAN_ASSERT(buf);
    FormatSettings& fs = settings();
    if (!fmt)
        fmt = fs.format.c_str();

    int ys = 0, ms = 0, ds = 0;
    for (const char* c = fmt; *c; ++c) {
        ys += *c == 'y';
        ms += *c == 'M';
        ds += *c == 'd';
    }
    char texts[3][8] = {{0}, {0}, {0}};
    char yearText[8] = "", monthText[8] = "", dayText[8] = "";
    if (ys >= 3)
        std::snprintf(yearText, sizeof(yearText), "%04d", year);
    else if (ys > 0)
        std::snprintf(yearText, sizeof(yearText), "%02d", year % 100);
    if (ms > 0)
        std::snprintf(monthText, sizeof(monthText), ms > 1 ? "%02d" : "%d", month);
    if (ds > 0)
        std::snprintf(dayText, sizeof(dayText), ds > 1 ? "%02d" : "%d", day);

    int order = fs.dateOrder;
    if (flags & fmtDateOrderFromFormat) {
        order = orderOf(fmt);
        if (order < 0)
            assertionFailed("0", __PRETTY_FUNCTION__, __FILE__, __LINE__);
    }
    const char* arranged[3];
    if (order == 0) {
        arranged[0] = yearText, arranged[1] = monthText, arranged[2] = dayText;
    } else if (order == 1) {
        arranged[0] = monthText, arranged[1] = dayText, arranged[2] = yearText;
    } else {
        arranged[0] = dayText, arranged[1] = monthText, arranged[2] = yearText;
    }
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        if (i == 0 && arranged[0][0] == '\0')
            continue;
        if (i == 1 && arranged[0][0] != '\0' && arranged[1][0] == '\0')
            continue;
        std::strcpy(texts[count++], arranged[i]);
    }

    bool twelve = (flags & fmtTwelveHourFromFormat) ? std::strchr(fmt, 'h') != nullptr : fs.twelveHour;
    int h = hour;
    if (twelve) {
        if (h > 12)
            h -= 12;
        else if (h == 0)
            h = 12;
    }

    char* out = buf;
    int next = 0;
    for (const char* c = fmt; *c;) {
        char ch = *c;
        size_t run = 1;
        while (c[run] == ch || ((ch == 'h' || ch == 'H') && (c[run] == 'h' || c[run] == 'H')))
            ++run;
        if (ch == '-' || ch == '.' || ch == '/') {
            *out++ = (flags & fmtKeepSeparators) ? ch : fs.separator;
            c += 1;
            continue;
        }
        if (ch == 'y' || ch == 'M' || ch == 'd') {
            if (next < count)
                out += std::sprintf(out, "%s", texts[next]);
            ++next;
        } else if (ch == 'h' || ch == 'H') {
            out += std::sprintf(out, (run > 1 || h > 9) ? "%02d" : "%d", h);
        } else if (ch == 'm') {
            out += std::sprintf(out, run > 1 ? "%02d" : "%d", minute);
        } else if (ch == 's') {
            out += std::sprintf(out, run > 1 ? "%02d" : "%d", second);
        } else if (ch == 't') {
            if (twelve) {
                out += std::sprintf(out, "%s", hour < 12 ? "AM" : "PM");
            } else {
                while (out > buf && out[-1] == ' ')
                    --out;
            }
        } else {
            for (size_t i = 0; i < run; ++i)
                *out++ = ch;
        }
        c += run;
    }
    *out = '\0';
}

bool CTime::parse(const char* text, const char* fmt)
{
    if (!fmt)
        fmt = settings().format.c_str();
    int numbers[6] = {0};
    int found = 0;
    for (const char* c = text ? text : ""; *c && found < 6;) {
        if (std::isdigit(static_cast<unsigned char>(*c))) {
            long v = 0;
            while (std::isdigit(static_cast<unsigned char>(*c))) {
                if (v < 100000000)
                    v = v * 10 + (*c - '0');
                ++c;
            }
            numbers[found++] = static_cast<int>(v);
        } else {
            ++c;
        }
    }
    auto fail = [this](const char* message, int line) {
        logError(message, __FILE__, line, static_cast<void*>(this), currentThreadId());
        year = month = day = hour = minute = second = 0;
        return false;
    };
    if (found < 6)
        return fail("[%s:%d] this:%p tid:%d, CTime parser input information is not enough.\n", __LINE__);

    switch (orderOf(fmt)) {
    case 0:
        year = numbers[0], month = numbers[1], day = numbers[2];
        break;
    case 1:
        month = numbers[0], day = numbers[1], year = numbers[2];
        break;
    case 2:
        day = numbers[0], month = numbers[1], year = numbers[2];
        break;
    default:
        break;
    }
    hour = numbers[3];
    minute = numbers[4];
    second = numbers[5];
    if (std::strchr(fmt, 'h')) {
        if (hour >= 13)
            return fail("[%s:%d] this:%p tid:%d, CTime parser input hour format is not accord with real value format.\n",
                        __LINE__);
        if (std::strstr(text, "PM")) {
            if (hour != 12)
                hour += 12;
        } else if (std::strstr(text, "AM")) {
            if (hour == 12)
                hour = 0;
        } else {
            return fail("[%s:%d] this:%p tid:%d, 12 hours time point is unclear.\n", __LINE__);
        }
    }
    normalize();
    return true;
}

void CTime::setFormatString(const char* fmt)
{
    FormatSettings& fs = settings();
    std::string f = fmt ? fmt : "";
    char separator = 0;
    for (char c : {'.', '/', '-'}) {
        if (f.find(c) != std::string::npos) {
            separator = c;
            break;
        }
    }
    int order = orderOf(f.c_str());
    if (separator == 0 || order < 0)
        assertionFailed("0", __PRETTY_FUNCTION__, __FILE__, __LINE__);
    fs.format = f;
    fs.separator = separator;
    fs.twelveHour = f.find('h') != std::string::npos;
    fs.dateOrder = order;
}

const char* CTime::getFormatString()
{
    return settings().format.c_str();
}

int CTime::getDateOrder()
{
    return settings().dateOrder;
}

char CTime::getDateSeparator()
{
    return settings().separator;
}

bool CTime::is12Hour()
{
    return settings().twelveHour;
}

void CTime::ignoreTimeZone()
{
    settings().timeZone = false;
}

bool CTime::setCurrentTime(const CTime& time, int toleranceSeconds)
{
    // A failure left by an earlier call must not be taken for this one's.
    setLastError(0);
    setCurrentTimeEx(time, toleranceSeconds);
    uint32_t error = getLastError();
    return error != errorSetClockFailed && error != errorSetClockFailed2;
}

bool CTime::setCurrentTimeEx(const CTime& time, int toleranceSeconds)
{
    CTime copy = time;
    copy.normalize();
    TimeSetter setter;
    {
        CMutexGuard guard(setters().mutex);
        setter = setters().timeSetter;
    }
    return setter(copy, toleranceSeconds);
}

bool CTime::setCurrentTime(const ClockTime& time, int toleranceSeconds)
{
    ClockTime copy = {};
    copy.year = time.year;
    copy.month = time.month;
    copy.day = time.day;
    copy.hour = time.hour;
    copy.minute = time.minute;
    copy.second = time.second;
    copy.millisecond = time.millisecond;
    copy.wday = CTime(time.year, time.month, time.day, 0, 0, 0).wday;
    ClockSetter setter;
    {
        CMutexGuard guard(setters().mutex);
        setter = setters().clockSetter;
    }
    setLastError(0);
    setter(copy, toleranceSeconds);
    uint32_t error = getLastError();
    return error != errorSetClockFailed && error != errorSetClockFailed2;
}

CTime::TimeSetter CTime::replaceClockSetter(const TimeSetter& setter)
{
    CMutexGuard guard(setters().mutex);
    TimeSetter old = setters().timeSetter;
    setters().timeSetter = setter;
    return old;
}

CTime::ClockSetter CTime::replaceClockSetter(const ClockSetter& setter)
{
    CMutexGuard guard(setters().mutex);
    ClockSetter old = setters().clockSetter;
    setters().clockSetter = setter;
    return old;
}

bool CTime::attachTimeChanged(const TimeChangedProc& proc)
{
    CMutexGuard guard(listenerMutex());
    listeners().push_back(proc);
    return true;
}

uint64_t CTime::getTickCountUs()
{
    return monotonicUs() - startUs();
}

uint64_t CTime::getTickCountMs()
{
    uint64_t now = getTickCountUs() / 1000;
    uint64_t last = s_lastMs.load(std::memory_order_relaxed);
    while (now > last) {
        if (s_lastMs.compare_exchange_weak(last, now, std::memory_order_relaxed))
            return now;
    }
    return last;
}

} // namespace Infra
} // namespace Orvan
