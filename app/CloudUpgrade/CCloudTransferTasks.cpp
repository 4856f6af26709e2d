// Worker of the cloud upgrade: firmware downloads and firmware transfers (loop 3).
#include "CloudUpgrade/CCloudUpgradeLogic.h"

#include <QtGlobal>

#include <cstring>

#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/StrHelpers.h"
#include "devsdk/DevSdk.h"

// ---- Downloads -------------------------------------------------------------------------------

void CCloudUpgradeLogic::Task_StartDownloadFile(std::string url, std::string path, std::string key, int index,
                                                unsigned generation)
{
    NET_IN_CLOUD_DOWNLOAD in;
    std::memset(&in, 0, sizeof in);
    in.dwSize = sizeof in;
    SafeStrCopy(in.szUrl, sizeof in.szUrl, url.c_str());
    SafeStrCopy(in.szSavePath, sizeof in.szSavePath, path.c_str());
    in.cbDownload = &CCloudUpgradeLogic::CloudUpgraderDownCallBackFunc;
    auto owned = std::make_unique<DOWNLOADUSER>();
    DOWNLOADUSER* user = owned.get();
    user->pLogic = this;
    user->nIndex = index;
    user->nGeneration = generation;
    in.dwUser = user;
    {
        std::lock_guard<std::mutex> lk(m_mu);
        m_downUsers[user] = std::move(owned);
    }
    NET_OUT_CLOUD_DOWNLOAD out{sizeof(NET_OUT_CLOUD_DOWNLOAD)};
    const LONG handle = SdkCloudDownloadStart(&in, &out);
    {
        std::lock_guard<std::mutex> lk(m_mu);
        auto it = m_downUsers.find(user);
        if (handle == 0 && it != m_downUsers.end())
            m_downUsers.erase(it); // refused: no callback will carry it
        else if (it != m_downUsers.end())
            it->second->lHandle = handle;
    }
    if (handle == 0)
        qDebug("Task_StartDownloadFile refused, error:%x", unsigned(SdkGetLastError()));
    PostToUI("&CCloudUpgradeUILogic::Task_StartDownloadFile_Ret", "CCloudUpgradeLogic::Task_StartDownloadFile",
             [key, handle, index, generation](CCloudUpgradeUILogic& ui) {
                 ui.Task_StartDownloadFile_Ret(key, handle, index, generation);
             });
}

void CCloudUpgradeLogic::Task_StopDownloadFile(LONG handle, int index, int flag, unsigned generation)
{
    const int stopOk = SdkCloudDownloadStop(handle) ? 1 : 0;
    // The SDK calls back no more for this download.
    {
        std::lock_guard<std::mutex> lk(m_mu);
        for (auto it = m_downUsers.begin(); it != m_downUsers.end(); ++it) {
            if (handle != 0 && it->second->lHandle == handle) {
                m_downUsers.erase(it);
                break;
            }
        }
    }
    PostToUI("&CCloudUpgradeUILogic::Task_StopDownloadFile_Ret", "CCloudUpgradeLogic::Task_StopDownloadFile",
             [stopOk, handle, index, flag, generation](CCloudUpgradeUILogic& ui) {
                 ui.Task_StopDownloadFile_Ret(stopOk, handle, index, flag, generation);
             });
}

void CCloudUpgradeLogic::ForgetDownloadUser(DOWNLOADUSER* user)
{
    std::lock_guard<std::mutex> lk(m_mu);
    m_downUsers.erase(user);
}

size_t CCloudUpgradeLogic::DownloadUserCount() const
{
    std::lock_guard<std::mutex> lk(m_mu);
    return m_downUsers.size();
}

// ---- Firmware transfers ----------------------------------------------------------------------

void CCloudUpgradeLogic::Task_StartUpgrade(std::string ip, std::string user, std::string password, int port,
                                           std::string mac, std::string filePath, int index, unsigned generation)
{
    NET_PARAM param;
    std::memset(&param, 0, sizeof param);
    param.nWaittime = m_nUpdateWaitSec.load() * 2000;
    param.nGetDevInfoTime = 7000;
    SdkSetNetworkParam(&param);
    if (port == 0)
        port = 37777;
    {
        std::shared_ptr<CCloudUpgradeUILogic> ui = m_pUILogic.lock();
        if (!ui || ui->StopWorkerFlag())
            return;
    }
    int loginError = 0;
    const LONG login = SdkLogin(ip.c_str(), port, user.c_str(), password.c_str(), nullptr, &loginError);
    PostToUI("&CCloudUpgradeUILogic::Task_Login_Ret", "CCloudUpgradeLogic::Task_StartUpgrade",
             [ip, mac, login, index, loginError, generation](CCloudUpgradeUILogic& ui) {
                 ui.Task_Login_Ret(ip, mac, login, index, loginError, generation);
             });
    if (login == 0)
        return;
    const LONG upgrade = SdkStartUpgrade(login, SDK_UPGRADE_BIOS_TYPE, filePath.c_str(),
                                         &CCloudUpgradeLogic::BatchCloudUpgradeCallBackFunc, this);
    PostToUI("&CCloudUpgradeUILogic::Task_StartUpgrade_Ret", "CCloudUpgradeLogic::Task_StartUpgrade",
             [ip, mac, upgrade, index, generation](CCloudUpgradeUILogic& ui) {
                 ui.Task_StartUpgrade_Ret(ip, mac, upgrade, index, generation);
             });
    if (upgrade == 0) {
        qDebug("Failed to start upgrading:%s,error:%x", ip.c_str(), unsigned(SdkGetLastError()));
        SdkLogout(login);
        return;
    }
    const LONG sending = SdkSendUpgrade(upgrade) ? 1 : 0;
    PostToUI("&CCloudUpgradeUILogic::Task_SendFile_Ret", "CCloudUpgradeLogic::Task_StartUpgrade",
             [ip, mac, sending, index, generation](CCloudUpgradeUILogic& ui) {
                 ui.Task_SendFile_Ret(ip, mac, sending, index, generation);
             });
    if (!sending)
        SdkStopUpgrade(upgrade);
    // The transfer goes on without the login; the SDK keeps watching the device's reboot.
    SdkLogout(login);
}

void CCloudUpgradeLogic::Task_StopUpgrade(LONG login, LONG upgrade, int index, int reason, std::vector<LONG> logouts,
                                          unsigned generation)
{
    if (upgrade > kPendingHandle)
        SdkStopUpgrade(upgrade);
    for (LONG h : logouts)
        if (h != 0)
            SdkLogout(h);
    (void)login;
    PostToUI("&CCloudUpgradeUILogic::Task_StopUpgrade_Ret", "CCloudUpgradeLogic::Task_StopUpgrade",
             [index, reason, generation](CCloudUpgradeUILogic& ui) {
                 ui.Task_StopUpgrade_Ret(index, reason, generation);
             });
}

void CCloudUpgradeLogic::Task_DisconnectStopUpgrade(int index, LONG login, LONG upgrade, bool remote,
                                                    unsigned generation)
{
    if (!remote && upgrade > kPendingHandle)
        SdkStopUpgrade(upgrade);
    if (login != 0)
        SdkLogout(login);
    PostToUI("&CCloudUpgradeUILogic::Task_DisconnectStopUpgrade_Ret", "CCloudUpgradeLogic::Task_DisconnectStopUpgrade",
             [index, generation](CCloudUpgradeUILogic& ui) { ui.Task_DisconnectStopUpgrade_Ret(index, generation); });
}
