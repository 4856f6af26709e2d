// Reboot, automatic maintenance and restore on the worker.
#include "SysConfig/ConfigLogicNamed.h"

#include "Common/StrHelpers.h"

void CConfigLogic::ManualReboot(LONG login, const std::string& ip, const std::string& mac, int index)
{
    PostConfigRet(ip, mac, SdkRebootDev(login) ? 1 : 0, index);
}

void CConfigLogic::AutoReboot(LONG login, const std::string& ip, const std::string& mac, int index)
{
    AUTO_MAINTAIN_PARAM rec{};
    rec.dwSize = sizeof rec;
    const int ok = WriteNamedConfig(login, "AutoMaintain", &rec, sizeof rec, sysconfig::kMaintainWriteWaitMs, [&] {
        rec.nAutoRebootDay = m_autoReboot.enable ? m_autoReboot.day : -1;
        rec.nAutoRebootHour = m_autoReboot.hour;
        rec.nAutoRebootMinute = m_autoReboot.minute;
    });
    PostConfigRet(ip, mac, ok, index);
}

void CConfigLogic::Restore(LONG login, const std::string& ip, const std::string& mac, const std::string& deviceType,
                           int index)
{
    std::string type = deviceType;
    StrToUpper(type);
    const bool itc = type.find("ITC") != std::string::npos;
    const bool recorder = type.find("DVR") != std::string::npos || type.find("NVR") != std::string::npos ||
                          type.find("HCVR") != std::string::npos || itc;
    BOOL ok;
    if (recorder) {
        int32_t all = int32_t(0xFFFFFFFF);
        ok = SdkControlDevice(login, SDK_CTRL_RESTOREDEFAULT, &all, sysconfig::kRestoreWaitMs);
    } else {
        NET_IN_RESET_SYSTEM in{sizeof in};
        NET_OUT_RESET_SYSTEM out{sizeof out};
        ok = SdkResetSystem(login, &in, &out, sysconfig::kRestoreWaitMs);
    }
    // A device that stops answering while it restores counts as restored.
    if (!ok && SdkGetLastError() == SDK_NETWORK_ERROR)
        ok = 1;
    // These devices need a reboot after the restore; success needs both.
    if (itc)
        ok = SdkRebootDev(login) && ok;
    SdkLogout(login);
    PostConfigRet(ip, mac, ok ? 1 : 0, index);
}
