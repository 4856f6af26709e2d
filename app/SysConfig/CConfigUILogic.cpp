// Batch scheduler of system configuration: devices, parameters and operation runs (see
// CConfigUILogic.h). Reset and description runs are in ConfigUILogicReset.cpp.
#include "SysConfig/CConfigUILogic.h"

#include "Common/AppSettings.h"
#include "Main/ShellPost.h"
#include "SysConfig/CConfigLogic.h"

using namespace VeyraBase;

CConfigUILogic::CConfigUILogic(std::weak_ptr<ISysConfigView> owner) : m_wpOwner(std::move(owner)) {}

std::shared_ptr<CConfigUILogic> CConfigUILogic::Create(std::weak_ptr<ISysConfigView> owner)
{
    auto logic = std::make_shared<CConfigUILogic>(std::move(owner));
    logic->Init();
    return logic;
}

void CConfigUILogic::Init() { m_spConfigLogic = std::make_shared<CConfigLogic>(weak_from_this()); }

void CConfigUILogic::SetConfigType(int type)
{
    m_nConfigType = type;
    m_spConfigLogic->SetConfigType(type);
}

int CConfigUILogic::SetSyncTimeParam(int year, int month, int day, int hour, int minute, int second)
{
    return m_spConfigLogic->SetSyncTimeParam(year, month, day, hour, minute, second);
}

void CConfigUILogic::SetAutoRebootParam(int enable, int day, int hour, int minute)
{
    m_spConfigLogic->SetAutoRebootParam(enable, day, hour, minute);
}

void CConfigUILogic::SetDSTParam(DST_PARAM param) { m_spConfigLogic->SetDSTParam(param); }

void CConfigUILogic::SetNTPParam(const NTP_PARAM* param) { m_spConfigLogic->SetNTPParam(param); }

void CConfigUILogic::SetPasswordParam(const char* oldPassword, const char* newPassword)
{
    m_spConfigLogic->SetPasswordParam(oldPassword, newPassword);
}

void CConfigUILogic::SetResetPasswordParam(const char* newPassword, const char* securityCode)
{
    m_spConfigLogic->SetResetPasswordParam(newPassword, securityCode);
}

void CConfigUILogic::ClearDevices() { m_vecConfigInfo.clear(); }

void CConfigUILogic::AddDevice(int port, const char* ip, std::string user, std::string password, const char* mac,
                               int p2p, std::string deviceType, int treeItem, std::string serial)
{
    auto info = std::make_shared<CONFIG_INFO>();
    info->port = port;
    info->ip = ip ? ip : "";
    info->mac = mac ? mac : "";
    info->user = std::move(user);
    info->password = std::move(password);
    info->p2p = p2p;
    info->deviceType = std::move(deviceType);
    info->treeItem = treeItem;
    info->serial = std::move(serial);
    m_vecConfigInfo.push_back(info);
}

int CConfigUILogic::GetDeviceResult(int treeItem) const
{
    for (const auto& info : m_vecConfigInfo)
        if (info->treeItem == treeItem && info->finished)
            return info->result;
    return 0;
}

int CConfigUILogic::FindDeviceIndex(const std::string& ip, const std::string& mac, int index) const
{
    if (index >= 0 && index < int(m_vecConfigInfo.size()) && m_vecConfigInfo[size_t(index)]->ip == ip &&
        m_vecConfigInfo[size_t(index)]->mac == mac)
        return index;
    for (size_t i = 0; i < m_vecConfigInfo.size(); ++i)
        if (m_vecConfigInfo[i]->ip == ip && m_vecConfigInfo[i]->mac == mac && !m_vecConfigInfo[i]->finished)
            return int(i);
    return -1;
}

int CConfigUILogic::TakeNext()
{
    const int next = m_nCurIndex + 1;
    if (next >= int(m_vecConfigInfo.size()))
        return -1;
    m_nCurIndex = next;
    CONFIG_INFO& info = *m_vecConfigInfo[size_t(next)];
    if (info.mac.empty())
        info.mac = "NULL";
    return next;
}

bool CConfigUILogic::EndRunIfDone()
{
    if (!m_bConfiguring || m_nInFlight > 0 || m_nCurIndex + 1 < int(m_vecConfigInfo.size()))
        return false;
    m_bConfiguring = 0;
    const bool descriptions = m_bDescriptionRun;
    m_bDescriptionRun = false;
    std::shared_ptr<ISysConfigView> owner = m_wpOwner.lock();
    if (owner) {
        if (descriptions)
            owner->OnGetPwdDescriptionResult(m_vecDescription);
        owner->OnConfigFinished();
    }
    return true;
}

void CConfigUILogic::ShowResult(const CONFIG_INFO& info)
{
    std::shared_ptr<ISysConfigView> owner = m_wpOwner.lock();
    if (owner)
        owner->SetResultIcon(info.treeItem, info.result);
}

void CConfigUILogic::StartConfig(int paramValid, int type)
{
    // One run at a time: the answers of a run in flight would be counted for the new one.
    if (m_bConfiguring)
        return;
    SetConfigType(type);
    m_bConfiguring = 1;
    m_bDescriptionRun = false;
    m_nCurIndex = -1;
    m_nInFlight = 0;
    for (auto& info : m_vecConfigInfo) {
        info->finished = 0;
        info->result = SYSCONFIG_ERR_NONE;
        info->loginID = 0;
        info->reservedFlag = 0;
    }
    const int resetDay = GetXmlResetDay();
    m_spConfigLogic->SetLocalAddress(CAppSettings::LocalIp);
    for (size_t i = 0; i < m_vecConfigInfo.size() && int(i) < sysconfig::kMaxQueued; ++i) {
        ++m_nCurIndex;
        PostDevice(m_nCurIndex, paramValid, resetDay, "CConfigUILogic::StartConfig");
    }
    // A run without devices ends at once.
    EndRunIfDone();
}

void CConfigUILogic::PostDevice(int index, int paramValid, int resetDay, const char* caller)
{
    const CONFIG_INFO& info = *m_vecConfigInfo[size_t(index)];
    std::shared_ptr<CConfigLogic> worker = m_spConfigLogic;
    ++m_nInFlight;
    const std::string ip = info.ip, mac = info.mac, user = info.user;
    if (m_nConfigType != SYSCONFIG_RESET_PASSWORD) {
        const std::string password = info.password, type = info.deviceType;
        const int port = info.port, p2p = info.p2p;
        ShellPostTask(ML_SDK, worker,
                      [worker, ip, user, password, port, mac, type, p2p, paramValid, index] {
                          worker->Task_StartConfig(ip, user, password, port, mac, type, p2p, paramValid, index);
                      },
                      __FILE__, __LINE__, "&CConfigLogic::Task_StartConfig", caller);
    } else if (!m_bXmlReset) {
        ShellPostTask(ML_SDK, worker, [worker, ip, user, mac, index] { worker->Task_StartConfigReset(ip, user, mac, index); },
                      __FILE__, __LINE__, "&CConfigLogic::Task_StartConfigReset", caller);
    } else {
        std::string codes[3];
        CodesOf(info, resetDay, codes);
        const std::string c1 = codes[0], c2 = codes[1], c3 = codes[2];
        ShellPostTask(ML_SDK, worker,
                      [worker, ip, user, mac, c1, c2, c3, index] {
                          worker->Task_StartConfigResetXml(ip, user, mac, c1, c2, c3, index);
                      },
                      __FILE__, __LINE__, "&CConfigLogic::Task_StartConfigResetXml", caller);
    }
}

void CConfigUILogic::ConfigNext(int paramValid)
{
    const int next = TakeNext();
    if (next >= 0)
        PostDevice(next, paramValid, 0, "CConfigUILogic::ConfigNext");
    else
        EndRunIfDone();
}

void CConfigUILogic::Task_Login_Ret(std::string ip, std::string mac, long loginHandle, int error, int index)
{
    const int idx = FindDeviceIndex(ip, mac, index);
    if (idx < 0)
        return;
    CONFIG_INFO& info = *m_vecConfigInfo[size_t(idx)];
    info.loginID = int32_t(loginHandle);
    if (loginHandle > 0)
        return;
    info.finished = 1;
    info.result = sysconfig::LoginResult(error);
    ShowResult(info);
}

void CConfigUILogic::Task_Config_Ret(std::string ip, std::string mac, int ok, int index)
{
    const int idx = FindDeviceIndex(ip, mac, index);
    if (idx < 0)
        return;
    CONFIG_INFO& info = *m_vecConfigInfo[size_t(idx)];
    info.result = ok ? SYSCONFIG_ERR_SUCCESS : sysconfig::FailureOf(m_nConfigType);
    ShowResult(info);
}

void CConfigUILogic::Task_StartConfig_Ret(std::string ip, std::string mac, int paramValid, int index)
{
    const int idx = FindDeviceIndex(ip, mac, index);
    if (idx >= 0) {
        CONFIG_INFO& info = *m_vecConfigInfo[size_t(idx)];
        info.finished = 1;
        // A device that logged in but reported no operation result still ends with one.
        if (info.result == SYSCONFIG_ERR_NONE) {
            info.result = sysconfig::FailureOf(m_nConfigType);
            ShowResult(info);
        }
    }
    if (!m_bConfiguring)
        return;
    if (m_nInFlight > 0)
        --m_nInFlight;
    // The slot is free whether or not the answer found its record.
    ConfigNext(paramValid);
}
