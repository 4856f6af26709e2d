// Time operations of the worker: PC time, manual time, daylight saving and NTP.
#include "SysConfig/ConfigLogicNamed.h"

#include <cstring>

#include "Common/SFTime.h"

void CConfigLogic::PcSync_Config(LONG login, const std::string& ip, const std::string& mac, int index)
{
    // The workstation's time at the moment this device's task runs.
    const SF_SOFT_BASE::CSFTime now = SF_SOFT_BASE::CSFTime::GetCurrentTime();
    SYNC_TIME_PARAM t{now.m_nYear, now.m_nMonth, now.m_nDay, now.m_nHour, now.m_nMinute, now.m_nSecond};
    const BOOL ok = SdkSetDevConfig(login, SDK_DEV_TIMECFG, -1, &t, sizeof t, sysconfig::kTimeWaitMs);
    PostConfigRet(ip, mac, ok ? 1 : 0, index);
}

void CConfigLogic::ManualSync_Config(LONG login, const std::string& ip, const std::string& mac, int paramValid,
                                     int index)
{
    BOOL ok = 0;
    if (paramValid) {
        SYNC_TIME_PARAM t = m_syncTime;
        ok = SdkSetDevConfig(login, SDK_DEV_TIMECFG, -1, &t, sizeof t, sysconfig::kTimeWaitMs);
    }
    PostConfigRet(ip, mac, ok ? 1 : 0, index);
}

void CConfigLogic::Config_DST(LONG login, const std::string& ip, const std::string& mac, int index)
{
    DST_PARAM rec{};
    rec.dwSize = sizeof rec;
    rec.stDSTStart.dwSize = sizeof rec.stDSTStart;
    rec.stDSTEnd.dwSize = sizeof rec.stDSTEnd;
    // The switch and both points; the device's own second field of each point and its text
    // after the size stay as read.
    const int ok = WriteNamedConfig(login, "Locales", &rec, sizeof rec, sysconfig::kConfigWriteWaitMs, [&] {
        rec.bDSTEnable = m_dst.bDSTEnable;
        const int startKept = rec.stDSTStart.nYear, endKept = rec.stDSTEnd.nYear;
        rec.stDSTStart = m_dst.stDSTStart;
        rec.stDSTEnd = m_dst.stDSTEnd;
        rec.stDSTStart.dwSize = sizeof rec.stDSTStart;
        rec.stDSTEnd.dwSize = sizeof rec.stDSTEnd;
        rec.stDSTStart.nYear = startKept;
        rec.stDSTEnd.nYear = endKept;
    });
    PostConfigRet(ip, mac, ok, index);
}

void CConfigLogic::Config_NTP(LONG login, const std::string& ip, const std::string& mac, int index)
{
    NTP_PARAM rec{};
    // Only what the page sets; the device's other NTP fields are kept.
    const int ok = WriteNamedConfig(login, "NTP", &rec, sizeof rec, sysconfig::kConfigWriteWaitMs, [&] {
        rec.bEnable = m_ntp.bEnable;
        std::memcpy(rec.szServer, m_ntp.szServer, sizeof rec.szServer);
        rec.szServer[sizeof rec.szServer - 1] = '\0';
        rec.nPort = m_ntp.nPort;
        rec.nUpdatePeriod = m_ntp.nUpdatePeriod;
        rec.nTimeZone = m_ntp.nTimeZone;
    });
    PostConfigRet(ip, mac, ok, index);
}
