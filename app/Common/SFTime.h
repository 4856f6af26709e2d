// A local date and time record.
#pragma once

#include <cstdint>

namespace SF_SOFT_BASE {

class CSFTime {
public:
    CSFTime() = default;
    CSFTime(int year, int month, int day, int hour, int minute, int second)
        : m_nYear(year), m_nMonth(month), m_nDay(day), m_nHour(hour), m_nMinute(minute), m_nSecond(second)
    {
    }

    static CSFTime GetCurrentTime();
    // Seconds since 1970-01-01 00:00 UTC, reading the fields as local time; 0 when the conversion fails
    // or the result is negative.
    int64_t ToTime64() const;

    int32_t m_nYear = 0;
    int32_t m_nMonth = 0;
    int32_t m_nDay = 0;
    int32_t m_nHour = 0;
    int32_t m_nMinute = 0;
    int32_t m_nSecond = 0;
};

} // namespace SF_SOFT_BASE
