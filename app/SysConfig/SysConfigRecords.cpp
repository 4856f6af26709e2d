// Result codes and the age rule of authorisation files.
#include "SysConfig/SysConfigRecords.h"

#include <cstdlib>
#include <ctime>

namespace sysconfig {

SYSCONFIG_ERROR LoginResult(int loginError)
{
    if (loginError >= 1 && loginError <= 7)
        return SYSCONFIG_ERROR(SYSCONFIG_ERR_LOGIN_FIRST + loginError - 1);
    if (loginError == 8 || loginError == 9)
        return SYSCONFIG_ERR_LOGIN_CONNECT;
    return SYSCONFIG_ERR_LOGIN;
}

SYSCONFIG_ERROR FailureOf(int type)
{
    switch (type) {
    case SYSCONFIG_SYNC_PC:
    case SYSCONFIG_MANUAL_SYNC: return SYSCONFIG_ERR_SYNC_TIME;
    case SYSCONFIG_AUTO_REBOOT: return SYSCONFIG_ERR_AUTO_REBOOT;
    case SYSCONFIG_MANUAL_REBOOT: return SYSCONFIG_ERR_MANUAL_REBOOT;
    case SYSCONFIG_RESTORE: return SYSCONFIG_ERR_RESTORE;
    case SYSCONFIG_DST: return SYSCONFIG_ERR_DST;
    case SYSCONFIG_NTP: return SYSCONFIG_ERR_NTP;
    default: return SYSCONFIG_ERR_PASSWORD;
    }
}

SYSCONFIG_ERROR ResetResult(DWORD lastError)
{
    switch (lastError) {
    case 0x800003F7: return SYSCONFIG_ERR_ENCRYPT_DATA;
    case 0x800003F8: return SYSCONFIG_ERR_NEW_PASSWORD;
    case 0x800003FA: return SYSCONFIG_ERR_SECURITY_CODE;
    case 0x80000002: return SYSCONFIG_ERR_TIMEOUT;
    default: return SYSCONFIG_ERR_PASSWORD;
    }
}

int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = (year > 2037 ? 2037 : year) - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return t == std::time_t(-1) || t < 0 ? 0 : int64_t(t);
}

int ResetDayOf(const std::string& createTime, int64_t now)
{
    const size_t t = createTime.find('T');
    const std::string date = createTime.substr(0, t);
    const std::string clock = t == std::string::npos ? std::string() : createTime.substr(t + 1);
    int part[6] = {};
    auto split = [&part](const std::string& text, char sep, int first) {
        size_t from = 0;
        for (int i = 0; i < 3 && from <= text.size(); ++i) {
            const size_t at = text.find(sep, from);
            part[first + i] = std::atoi(text.substr(from, at == std::string::npos ? std::string::npos : at - from).c_str());
            if (at == std::string::npos)
                break;
            from = at + 1;
        }
    };
    split(date, '-', 0);
    split(clock, ':', 3);
    const int64_t created = LocalSeconds(part[0], part[1], part[2], part[3], part[4], part[5]);
    const uint32_t age = uint32_t(now) - uint32_t(created);
    if (age <= 86400)
        return 1;
    if (age <= 172800)
        return 2;
    if (age <= 259200)
        return 3;
    return -1;
}

} // namespace sysconfig
