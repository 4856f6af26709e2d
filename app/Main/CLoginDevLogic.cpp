#include "Main/CLoginDevLogic.h"

#include <cstring>
#include <functional>
#include <vector>

#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Common/StrHelpers.h"
#include "Main/CLoginDevEventImp.h"
#include "devsdk/CfgSdk.h"
#include "devsdk/DevSdk.h"

using namespace VeyraBase;

namespace {

const char kSourceFile[] = ".\\Main\\CLoginDevLogic";
const unsigned kConfigTextSize = 1048576;

} // namespace

CLoginDevLogic::CLoginDevLogic(std::weak_ptr<CLoginDevEventImp> dialog) : m_wpDialog(dialog) {}

void CLoginDevLogic::PostToDialog(int line, const char* taskName, const char* callerName,
                                  std::function<void(CLoginDevEventImp&)> call)
{
    std::shared_ptr<CLoginDevEventImp> dialog = m_wpDialog.lock();
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_MAIN);
    if (!dialog || !loop)
        return;
    std::shared_ptr<CSFTask> task = CreateTask<CLoginDevEventImp>([dialog, call] { call(*dialog); }, dialog);
    SetTaskDebugInfo(task, ML_MAIN, kSourceFile, line, taskName, callerName, 1);
    loop->PostTask(task);
}

void CLoginDevLogic::Task_StartLoginDev(std::string ip, int port, std::string user, std::string password)
{
    SDK_LOGIN_DEVICE_INFO description;
    std::memset(&description, 0, sizeof(description));
    int error = 0;
    const int loginId = static_cast<int>(
        SdkLogin(ip.c_str(), port & 0xFFFF, user.c_str(), password.c_str(), &description, &error));
    SafeStrCopy(m_strIP, sizeof(m_strIP), ip.c_str());
    PostToDialog(__LINE__, "&CLoginDevEventImp::Task_LoginDev_Ret", "CLoginDevLogic::Task_StartLoginDev",
                 [loginId, error, port](CLoginDevEventImp& dlg) { dlg.Task_LoginDev_Ret(loginId, error, port); });
}

void CLoginDevLogic::Task_StartLoginDev_P2P(std::string serial, std::string user, std::string password)
{
    int reason = 0;
    const int localPort = CLoginDevEventImp::P2PGetPort(serial, reason);
    int loginId = 0;
    int error = reason;
    // Without a mapped port there is nothing to log in to.
    if (localPort > 0) {
        SDK_LOGIN_DEVICE_INFO description;
        std::memset(&description, 0, sizeof(description));
        loginId = static_cast<int>(SdkLoginEx("127.0.0.1", localPort & 0xFFFF, user.c_str(), password.c_str(),
                                              EM_LOGIN_SPEC_CAP_P2P, nullptr, &description, &error));
    }
    PostToDialog(__LINE__, "&CLoginDevEventImp::Task_LoginDev_Ret", "CLoginDevLogic::Task_StartLoginDev_P2P",
                 [loginId, error, localPort](CLoginDevEventImp& dlg) {
                     dlg.Task_LoginDev_Ret(loginId, error, localPort);
                 });
}

int CLoginDevLogic::QueryConfig(int loginId, const char* name, void* record, unsigned size)
{
    std::vector<char> text(kConfigTextSize, 0);
    int error = 0;
    // A failed read leaves the text empty, and the parse fails on it.
    SdkGetNewConfig(loginId, name, 0, text.data(), kConfigTextSize, &error, 500);
    text[kConfigTextSize - 1] = 0;
    return SdkCfgParse(name, text.data(), record, size, nullptr) ? 1 : 0;
}

int CLoginDevLogic::FindInterface(const tagCFG_NETWORK_INFO& network, const char* ip)
{
    int count = network.nInterfaceNum;
    if (count > kMaxNetInterfaces)
        count = kMaxNetInterfaces;
    for (int i = 0; i < count; ++i) {
        const CFG_NETWORK_INTERFACE& entry = network.stuInterfaces[i];
        if (std::strncmp(entry.szIP, ip, sizeof(entry.szIP)) == 0)
            return i;
    }
    return -1;
}

void CLoginDevLogic::Task_QueryNetworkInfo(int loginId, int loginSpec)
{
    auto record = std::make_shared<tagCFG_NETWORK_INFO>();
    std::memset(record.get(), 0, sizeof(tagCFG_NETWORK_INFO));
    int result = QueryConfig(loginId, "Network", record.get(), sizeof(tagCFG_NETWORK_INFO));
    int index = 0;
    if (loginSpec != EM_LOGIN_SPEC_CAP_P2P) {
        index = FindInterface(*record, m_strIP);
        if (index < 0)
            result = 0;
    }
    PostToDialog(__LINE__, "&CLoginDevEventImp::Task_QueryNetworkInfo_Ret", "CLoginDevLogic::Task_QueryNetworkInfo",
                 [record, result, index](CLoginDevEventImp& dlg) { dlg.Task_QueryNetworkInfo_Ret(record, result, index); });
}

void CLoginDevLogic::Task_QueryDVRIPInfo(int loginId)
{
    auto record = std::make_shared<tagCFG_DVRIP_INFO>();
    std::memset(record.get(), 0, sizeof(tagCFG_DVRIP_INFO));
    const int result = QueryConfig(loginId, "DVRIP", record.get(), sizeof(tagCFG_DVRIP_INFO));
    PostToDialog(__LINE__, "&CLoginDevEventImp::Task_QueryDVRIPInfo_Ret", "CLoginDevLogic::Task_QueryDVRIPInfo",
                 [record, result](CLoginDevEventImp& dlg) { dlg.Task_QueryDVRIPInfo_Ret(record, result); });
}

void CLoginDevLogic::Task_QueryHttpsInfo(int loginId)
{
    auto record = std::make_shared<tagCFG_HTTPS_INFO>();
    std::memset(record.get(), 0, sizeof(tagCFG_HTTPS_INFO));
    const int result = QueryConfig(loginId, "Https", record.get(), sizeof(tagCFG_HTTPS_INFO));
    PostToDialog(__LINE__, "&CLoginDevEventImp::Task_QueryHttpsInfo_Ret", "CLoginDevLogic::Task_QueryHttpsInfo",
                 [record, result](CLoginDevEventImp& dlg) { dlg.Task_QueryHttpsInfo_Ret(record, result); });
}

void CLoginDevLogic::Task_QueryVesInfo(int loginId)
{
    auto record = std::make_shared<ZRDEV_VERSION_INFO>();
    std::memset(record.get(), 0, sizeof(ZRDEV_VERSION_INFO));
    int returned = 0;
    const int result = SdkQueryDevState(loginId, SDK_DEVSTATE_SOFTWARE, reinterpret_cast<char*>(record.get()),
                                        sizeof(ZRDEV_VERSION_INFO), &returned, 1000)
                           ? 1
                           : 0;
    PostToDialog(__LINE__, "&CLoginDevEventImp::Task_QueryVesInfo_Ret", "CLoginDevLogic::Task_QueryVesInfo",
                 [record, result](CLoginDevEventImp& dlg) { dlg.Task_QueryVesInfo_Ret(record, result); });
}

void CLoginDevLogic::Task_QuerySysInfo(int loginId)
{
    auto record = std::make_shared<ZRDEV_SYSTEM_ATTR_CFG>();
    std::memset(record.get(), 0, sizeof(ZRDEV_SYSTEM_ATTR_CFG));
    record->dwSize = sizeof(ZRDEV_SYSTEM_ATTR_CFG);
    int returned = 0;
    const int result =
        SdkGetDevConfig(loginId, SDK_DEV_DEVICECFG, 0, record.get(), sizeof(ZRDEV_SYSTEM_ATTR_CFG), &returned, 500)
            ? 1
            : 0;
    PostToDialog(__LINE__, "&CLoginDevEventImp::Task_QuerySysInfo_Ret", "CLoginDevLogic::Task_QuerySysInfo",
                 [record, result](CLoginDevEventImp& dlg) { dlg.Task_QuerySysInfo_Ret(record, result); });
}

void CLoginDevLogic::Task_LogoutDev(int loginId) { SdkLogout(loginId); }
