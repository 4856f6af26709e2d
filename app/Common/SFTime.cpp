#include "Common/SFTime.h"

#include <ctime>

namespace SF_SOFT_BASE {

CSFTime CSFTime::GetCurrentTime()
{
    const time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    return CSFTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

int64_t CSFTime::ToTime64() const
{
    struct tm local {};
    local.tm_year = m_nYear - 1900;
    local.tm_mon = m_nMonth - 1;
    local.tm_mday = m_nDay;
    local.tm_hour = m_nHour;
    local.tm_min = m_nMinute;
    local.tm_sec = m_nSecond;
    local.tm_isdst = -1;
    const time_t value = mktime(&local);
    if (value == time_t(-1) || value < 0)
        return 0;
    return static_cast<int64_t>(value);
}

} // namespace SF_SOFT_BASE
