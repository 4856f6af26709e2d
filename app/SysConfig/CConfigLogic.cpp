// Worker of system configuration: setters, login and dispatch (see CConfigLogic.h).
#include "SysConfig/CConfigLogic.h"

#include <cstdio>
#include <cstring>

#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Main/ShellPost.h"
#include "SysConfig/CConfigUILogic.h"
#include "devsdk/DevSdk.h"

using namespace VeyraBase;

namespace {

// Copies at most max characters into a zeroed field of size bytes.
void CopyBounded(char* field, size_t size, const char* text, size_t max)
{
    SafeStrCopy(field, size, text, max);
}

} // namespace

std::string NarrowLocalAddress(const std::wstring& address)
{
    if (address.empty())
        return std::string();
    return SF_SOFT_BASE::CSFStreamConvert(address.c_str(), 0).GetStdString().substr(0, 19);
}

CConfigLogic::CConfigLogic(std::weak_ptr<CConfigUILogic> ui) : m_wpUI(std::move(ui)) {}

int CConfigLogic::SetSyncTimeParam(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 2000 || year >= 2100)
        return 0;
    m_syncTime = SYNC_TIME_PARAM{year, month, day, hour, minute, second};
    return 1;
}

void CConfigLogic::SetAutoRebootParam(int enable, int day, int hour, int minute)
{
    m_autoReboot = AUTO_REBOOT_PARAM{enable, day, hour, minute};
}

void CConfigLogic::SetNTPParam(const NTP_PARAM* param)
{
    if (param)
        std::memcpy(&m_ntp, param, sizeof m_ntp);
}

void CConfigLogic::SetPasswordParam(const char* oldPassword, const char* newPassword)
{
    CopyBounded(m_szOldPassword, sizeof m_szOldPassword, oldPassword, 32);
    CopyBounded(m_szNewPassword, sizeof m_szNewPassword, newPassword, 32);
}

void CConfigLogic::SetNewPasswordParam(const char* newPassword)
{
    CopyBounded(m_szNewPassword, sizeof m_szNewPassword, newPassword, 32);
}

void CConfigLogic::SetResetPasswordParam(const char* newPassword, const char* securityCode)
{
    CopyBounded(m_szNewPassword, sizeof m_szNewPassword, newPassword, 32);
    CopyBounded(m_szSecurityCode, sizeof m_szSecurityCode, securityCode, 8);
}

void CConfigLogic::SetLocalAddress(const std::wstring& address)
{
    std::lock_guard<std::mutex> lock(m_localMu);
    m_strLocalAddress = NarrowLocalAddress(address);
}

const char* CConfigLogic::LocalAddress(char* buffer)
{
    std::memset(buffer, 0, 20);
    std::lock_guard<std::mutex> lock(m_localMu);
    if (m_strLocalAddress.empty())
        return nullptr;
    SafeStrCopy(buffer, 20, m_strLocalAddress.c_str());
    return buffer;
}

void CConfigLogic::PostConfigRet(const std::string& ip, const std::string& mac, int ok, int index)
{
    std::shared_ptr<CConfigUILogic> ui = m_wpUI.lock();
    if (!ui)
        return;
    ShellPostTask(ML_MAIN, ui, [ui, ip, mac, ok, index] { ui->Task_Config_Ret(ip, mac, ok, index); }, __FILE__,
                  __LINE__, "&CConfigUILogic::Task_Config_Ret", "CConfigLogic::Task_StartConfig");
}

void CConfigLogic::Task_StartConfig(std::string ip, std::string user, std::string password, int port,
                                    std::string mac, std::string deviceType, int p2p, int paramValid, int index)
{
    NET_PARAM timing{};
    timing.nWaittime = sysconfig::kConfigWaitMs;
    SdkSetNetworkParam(&timing);
    if (port == 0)
        port = kSdkDefaultPort;
    const int type = m_nConfigType;
    if (type == SYSCONFIG_MODIFY_PASSWORD)
        password = m_szOldPassword;
    SDK_LOGIN_DEVICE_INFO info{};
    int error = 0;
    LONG login = p2p ? SdkLoginEx("127.0.0.1", port, user.c_str(), password.c_str(), EM_LOGIN_SPEC_CAP_P2P,
                                  nullptr, &info, &error)
                     : SdkLogin(ip.c_str(), port, user.c_str(), password.c_str(), &info, &error);
    std::shared_ptr<CConfigUILogic> ui = m_wpUI.lock();
    if (login != 0) {
        if (ui)
            ShellPostTask(ML_MAIN, ui, [ui, ip, mac, login, index] { ui->Task_Login_Ret(ip, mac, login, 0, index); },
                          __FILE__, __LINE__, "&CConfigUILogic::Task_Login_Ret", "CConfigLogic::Task_StartConfig");
        switch (type) {
        case SYSCONFIG_SYNC_PC: PcSync_Config(login, ip, mac, index); break;
        case SYSCONFIG_MANUAL_SYNC: ManualSync_Config(login, ip, mac, paramValid, index); break;
        case SYSCONFIG_AUTO_REBOOT: AutoReboot(login, ip, mac, index); break;
        case SYSCONFIG_MANUAL_REBOOT: ManualReboot(login, ip, mac, index); break;
        case SYSCONFIG_RESTORE: Restore(login, ip, mac, deviceType, index); break;
        case SYSCONFIG_DST: Config_DST(login, ip, mac, index); break;
        case SYSCONFIG_NTP: Config_NTP(login, ip, mac, index); break;
        case SYSCONFIG_MODIFY_PASSWORD: ModifyPassword(login, ip, mac, user, index); break;
        default: break;
        }
        const BOOL out = SdkLogout(login);
        if (GetTaskTraceSwitch())
            std::fprintf(stderr, "%d\r\n", int(out));
    } else if (ui) {
        ShellPostTask(ML_MAIN, ui, [ui, ip, mac, error, index] { ui->Task_Login_Ret(ip, mac, 0, error, index); },
                      __FILE__, __LINE__, "&CConfigUILogic::Task_Login_Ret", "CConfigLogic::Task_StartConfig");
    }
    if (ui)
        ShellPostTask(ML_MAIN, ui,
                      [ui, ip, mac, paramValid, index] { ui->Task_StartConfig_Ret(ip, mac, paramValid, index); },
                      __FILE__, __LINE__, "&CConfigUILogic::Task_StartConfig_Ret", "CConfigLogic::Task_StartConfig");
}
