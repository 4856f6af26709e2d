// Worker of the local upgrade; see the header.
#include "Upgrade/CUpgradeLogic.h"

#include <cstring>
#include <functional>

#include <QtGlobal>

#include "Common/AppSettings.h"
#include "Main/ShellPost.h"
#include "Upgrade/CUpgradeUILogic.h"
#include "devsdk/DevSdk.h"

namespace {

constexpr int kDefaultPort = 37777;
constexpr int kP2PConnectKind = 19;

NET_PARAM UpgradeNetParam()
{
    NET_PARAM param;
    std::memset(&param, 0, sizeof(param));
    param.nWaittime = CAppSettings::nUpdateWaittime_Sec * 1000;
    param.nGetDevInfoTime = 7000;
    return param;
}

} // namespace

void CUpgradeLogic::Post(const char* task, const char* caller, std::function<void(CUpgradeUILogic&)> call)
{
    std::shared_ptr<CUpgradeUILogic> scheduler = m_wpScheduler.lock();
    if (!scheduler)
        return; // the program is ending: nobody waits for the result
    ShellPostTask<CUpgradeUILogic>(
        VeyraBase::ML_MAIN, scheduler, [scheduler, call] { call(*scheduler); }, __FILE__, __LINE__, task, caller);
}

void CUpgradeLogic::Task_StartUpgrade(std::string ip, std::string user, std::string password, int port,
                                      std::string mac, std::string file, int index, int p2p, unsigned taskId)
{
    const NET_PARAM param = UpgradeNetParam();
    SdkSetNetworkParam(&param);
    if (port == 0)
        port = kDefaultPort;
    int loginError = 0;
    LONG login = 0;
    if (p2p) {
        SDK_LOGIN_DEVICE_INFO info;
        std::memset(&info, 0, sizeof(info));
        login = SdkLoginEx("127.0.0.1", port, user.c_str(), password.c_str(), kP2PConnectKind, nullptr, &info,
                           &loginError);
    } else {
        login = SdkLogin(ip.c_str(), port, user.c_str(), password.c_str(), nullptr, &loginError);
    }
    const char* caller = "CUpgradeLogic::Task_StartUpgrade";
    Post("&CUpgradeUILogic::Task_Login_Ret", caller, [=](CUpgradeUILogic& s) {
        s.Task_Login_Ret(ip, mac, login, index, loginError, taskId);
    });
    if (login == 0) {
        SdkSetNetworkParam(&param);
        return;
    }
    // Registered with the worker itself: the callback only forwards, so it needs nothing else.
    const LONG upgrade = SdkStartUpgrade(login, SDK_UPGRADE_BIOS_TYPE, file.c_str(), BatchUpgradeCallBackFunc, this);
    Post("&CUpgradeUILogic::Task_StartUpgrade_Ret", caller, [=](CUpgradeUILogic& s) {
        s.Task_StartUpgrade_Ret(ip, mac, upgrade, index, taskId);
    });
    if (upgrade == 0) {
        qWarning("Failed to start upgrading:%s,error:%x", ip.c_str(), static_cast<unsigned>(SdkGetLastError()));
        SdkLogout(login);
        SdkSetNetworkParam(&param);
        return;
    }
    const int sending = SdkSendUpgrade(upgrade) ? 1 : 0;
    if (!sending) {
        // Nothing more will use this login: close the transfer and the login now.
        SdkStopUpgrade(upgrade);
        SdkLogout(login);
    }
    Post("&CUpgradeUILogic::Task_SendFile_Ret", caller, [=](CUpgradeUILogic& s) {
        s.Task_SendFile_Ret(ip, mac, sending, index, taskId);
    });
    SdkSetNetworkParam(&param);
}

void CUpgradeLogic::Task_StopUpgrade(LONG loginHandle, LONG upgradeHandle, bool automatic, bool logout)
{
    const int result = SdkStopUpgrade(upgradeHandle) ? 1 : 0;
    if (logout && loginHandle != 0)
        SdkLogout(loginHandle);
    Post("&CUpgradeUILogic::Task_StopUpgrade_Ret", "CUpgradeLogic::Task_StopUpgrade",
         [=](CUpgradeUILogic& s) { s.Task_StopUpgrade_Ret(upgradeHandle, result, automatic); });
}

void CUpgradeLogic::Task_Stop()
{
    Post("&CUpgradeUILogic::Task_Stop_Ret", "CUpgradeLogic::Task_Stop", [](CUpgradeUILogic& s) { s.Task_Stop_Ret(); });
}

void CUpgradeLogic::Task_Logout(LONG loginHandle)
{
    if (loginHandle != 0)
        SdkLogout(loginHandle);
}

void CUpgradeLogic::BatchUpgradeCallBackFunc(LONG loginHandle, LONG upgradeHandle, int total, int sent, void* user)
{
    CUpgradeLogic* worker = static_cast<CUpgradeLogic*>(user);
    if (!worker)
        return;
    worker->Post("&CUpgradeUILogic::Task_UpgradeCallBack_Ret", "BatchUpgradeCallBackFunc", [=](CUpgradeUILogic& s) {
        s.Task_UpgradeCallBack_Ret(loginHandle, upgradeHandle, total, sent);
    });
}
