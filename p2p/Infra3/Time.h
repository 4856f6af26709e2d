#ifndef ORVAN_INFRA_TIME_H
#define ORVAN_INFRA_TIME_H

#include "Infra3/Function.h"

#include <cstdint>

namespace Orvan {
namespace Infra {

// System clock record.
struct ClockTime
{
    int year;
    int month;
    int day;
    int wday;
    int hour;
    int minute;
    int second;
    int millisecond;
    int reserved[4];
};

// Local date and time, always normalised (years 1970..2038, fields clamped, never carried).
class CTime
{
public:
    enum
    {
        fmtKeepSeparators = 1,
        fmtDateOrderFromFormat = 2,
        fmtTwelveHourFromFormat = 4
    };

    CTime();
    CTime(int year, int month, int day, int hour, int minute, int second);
    explicit CTime(uint64_t utcSeconds);

    static CTime currentLocal();
    static ClockTime currentClockTime();
    static uint64_t currentUtcSeconds();
    static uint64_t currentUtcMs();

    uint64_t toUtcSeconds() const;
    void fromUtcSeconds(uint64_t seconds);

    CTime operator+(int64_t seconds) const;
    CTime operator-(int64_t seconds) const;
    CTime& operator+=(int64_t seconds);
    CTime& operator-=(int64_t seconds);
    int64_t operator-(const CTime& other) const;
    bool operator==(const CTime& other) const;
    bool operator!=(const CTime& other) const;
    bool operator<(const CTime& other) const;
    bool operator>(const CTime& other) const;
    bool operator<=(const CTime& other) const;
    bool operator>=(const CTime& other) const;

    // The buffer must be large enough for the text (64 bytes always are for formats up to 20 letters).
    void format(char* buf, const char* fmt = nullptr, int flags = 0) const;
    bool parse(const char* text, const char* fmt = nullptr);

    static void setFormatString(const char* fmt);
    static const char* getFormatString();
    static int getDateOrder();
    static char getDateSeparator();
    static bool is12Hour();
    static void ignoreTimeZone();

    using TimeSetter = TFunction2<bool, const CTime&, int>;
    using ClockSetter = TFunction2<bool, const ClockTime&, int>;
    using TimeChangedProc = TFunction1<void, CTime>;

    // Sets the computer's clock through the installed setter; false when the system refused.
    static bool setCurrentTime(const CTime& time, int toleranceSeconds);
    static bool setCurrentTime(const ClockTime& time, int toleranceSeconds);
    // The same, returning the setter's own result.
    static bool setCurrentTimeEx(const CTime& time, int toleranceSeconds);
    static TimeSetter replaceClockSetter(const TimeSetter& setter);
    static ClockSetter replaceClockSetter(const ClockSetter& setter);
    static bool attachTimeChanged(const TimeChangedProc& proc);

    static uint64_t getTickCountMs();
    static uint64_t getTickCountUs();

    void normalize();
    // Seconds since 1970 of the fields, without any zone.
    int64_t zoneFreeSeconds() const;

    int year;
    int month;
    int day;
    int wday;
    int hour;
    int minute;
    int second;
    int reserved;

private:
    void setZoneFreeSeconds(int64_t seconds);
};

} // namespace Infra
} // namespace Orvan

#endif
