// Password-reset runs, description runs and the one-device reset steps of the scheduler.
#include "SysConfig/CConfigUILogic.h"

#include <ctime>

#include "Common/AppSettings.h"
#include "Main/ShellPost.h"
#include "SysConfig/CConfigLogic.h"
#include "devsdk/DevSdkErrors.h"

using namespace VeyraBase;

void CConfigUILogic::SetXmlResetInfo(const char* newPassword, std::string createTime, const ResetCodeMap& codes)
{
    m_spConfigLogic->SetNewPasswordParam(newPassword);
    m_strCreateTime = std::move(createTime);
    m_mapResetCode.clear();
    m_mapResetCode.insert(codes.begin(), codes.end());
}

int CConfigUILogic::GetXmlResetDay() const { return sysconfig::ResetDayOf(m_strCreateTime, int64_t(std::time(nullptr))); }

void CConfigUILogic::CodesOf(const CONFIG_INFO& info, int resetDay, std::string codes[3]) const
{
    codes[0].clear();
    codes[1].clear();
    codes[2].clear();
    auto it = m_mapResetCode.find(info.serial);
    // An entry without codes counts as no entry; missing second and third codes go out empty.
    if (it == m_mapResetCode.end() || it->second.empty())
        return;
    if (resetDay == -1) {
        codes[0] = sysconfig::kInvalidCode;
        return;
    }
    for (size_t i = 0; i < 3 && i < it->second.size(); ++i)
        codes[i] = it->second[i];
}

void CConfigUILogic::ConfigNextEx()
{
    const int next = TakeNext();
    if (next >= 0)
        PostDevice(next, 1, 0, "CConfigUILogic::ConfigNextEx");
    else
        EndRunIfDone();
}

void CConfigUILogic::ConfigNextExXml()
{
    const int day = GetXmlResetDay();
    const int next = TakeNext();
    if (next >= 0)
        PostDevice(next, 1, day, "CConfigUILogic::ConfigNextExXml");
    else
        EndRunIfDone();
}

bool CConfigUILogic::RecordResetAnswer(const std::string& ip, const std::string& mac, bool ok, SYSCONFIG_ERROR error,
                                       int index)
{
    const int idx = FindDeviceIndex(ip, mac, index);
    if (idx >= 0) {
        CONFIG_INFO& info = *m_vecConfigInfo[size_t(idx)];
        info.finished = 1;
        info.result = ok ? SYSCONFIG_ERR_SUCCESS : error;
        ShowResult(info);
    }
    if (!m_bConfiguring)
        return false;
    if (m_nInFlight > 0)
        --m_nInFlight;
    return true;
}

void CConfigUILogic::Task_StartConfigReset_Ret(std::string ip, std::string mac, bool ok, SYSCONFIG_ERROR error,
                                               int index)
{
    if (RecordResetAnswer(ip, mac, ok, error, index))
        ConfigNextEx();
}

void CConfigUILogic::Task_StartConfigResetXml_Ret(std::string ip, std::string mac, bool ok, SYSCONFIG_ERROR error,
                                                  int index)
{
    if (RecordResetAnswer(ip, mac, ok, error, index))
        ConfigNextExXml();
}

// ---- Description runs -------------------------------------------------------------------

void CConfigUILogic::StartGet2CodeInfo()
{
    if (m_bConfiguring)
        return;
    m_bConfiguring = 1;
    m_bDescriptionRun = true;
    m_nCurIndex = -1;
    m_nInFlight = 0;
    m_vecDescription.clear();
    for (auto& info : m_vecConfigInfo)
        info->finished = 0;
    std::shared_ptr<CConfigLogic> worker = m_spConfigLogic;
    worker->SetLocalAddress(CAppSettings::LocalIp);
    for (size_t i = 0; i < m_vecConfigInfo.size() && int(i) < sysconfig::kMaxQueued; ++i) {
        const int index = ++m_nCurIndex;
        const std::string ip = m_vecConfigInfo[i]->ip, mac = m_vecConfigInfo[i]->mac;
        ++m_nInFlight;
        ShellPostTask(ML_SDK, worker, [worker, ip, mac, index] { worker->Task_GetPwdDescriptionXML(ip, mac, index); },
                      __FILE__, __LINE__, "&CConfigLogic::Task_GetPwdDescriptionXML",
                      "CConfigUILogic::StartGet2CodeInfo");
    }
    EndRunIfDone();
}

void CConfigUILogic::GetInfoNext()
{
    const int next = TakeNext();
    if (next < 0) {
        EndRunIfDone();
        return;
    }
    std::shared_ptr<CConfigLogic> worker = m_spConfigLogic;
    const std::string ip = m_vecConfigInfo[size_t(next)]->ip, mac = m_vecConfigInfo[size_t(next)]->mac;
    ++m_nInFlight;
    ShellPostTask(ML_SDK, worker, [worker, ip, mac, next] { worker->Task_GetPwdDescriptionXML(ip, mac, next); },
                  __FILE__, __LINE__, "&CConfigLogic::Task_GetPwdDescriptionXML", "CConfigUILogic::GetInfoNext");
}

void CConfigUILogic::Task_GetPwdDescriptionXML_Ret(std::string ip, std::string mac, PWD_DESCRIPTION description,
                                                   int result, DWORD /*error*/, int index)
{
    if (!m_bConfiguring || !m_bDescriptionRun)
        return;
    if (result)
        m_vecDescription.push_back(description.text);
    const int idx = FindDeviceIndex(ip, mac, index);
    if (idx >= 0)
        m_vecConfigInfo[size_t(idx)]->finished = 1;
    if (m_nInFlight > 0)
        --m_nInFlight;
    GetInfoNext();
}

// ---- One device (the QR-code way) ---------------------------------------------------------

void CConfigUILogic::GetPwdDescription()
{
    if (m_vecConfigInfo.empty()) {
        std::shared_ptr<ISysConfigView> owner = m_wpOwner.lock();
        if (owner)
            owner->OnGetDescriptionRet(PWD_DESCRIPTION(), 0, SDK_ILLEGAL_PARAM);
        return;
    }
    std::shared_ptr<CConfigLogic> worker = m_spConfigLogic;
    worker->SetLocalAddress(CAppSettings::LocalIp);
    const std::string mac = m_vecConfigInfo.front()->mac;
    ShellPostTask(ML_SDK, worker, [worker, mac] { worker->Task_GetPwdDescription(mac); }, __FILE__, __LINE__,
                  "&CConfigLogic::Task_GetPwdDescription", "CConfigUILogic::GetPwdDescription");
}

void CConfigUILogic::CheckSecurityCode(std::string code)
{
    if (m_vecConfigInfo.empty()) {
        std::shared_ptr<ISysConfigView> owner = m_wpOwner.lock();
        if (owner)
            owner->OnCheckSecurityCodeRet(0);
        return;
    }
    std::shared_ptr<CConfigLogic> worker = m_spConfigLogic;
    worker->SetLocalAddress(CAppSettings::LocalIp);
    const std::string ip = m_vecConfigInfo.front()->ip, mac = m_vecConfigInfo.front()->mac;
    ShellPostTask(ML_SDK, worker, [worker, ip, mac, code] { worker->Task_CheckSecurityCode(ip, mac, code); },
                  __FILE__, __LINE__, "&CConfigLogic::Task_CheckSecurityCode", "CConfigUILogic::CheckSecurityCode");
}

void CConfigUILogic::Task_GetPwdDescription_Ret(PWD_DESCRIPTION description, int result, DWORD error)
{
    std::shared_ptr<ISysConfigView> owner = m_wpOwner.lock();
    if (owner)
        owner->OnGetDescriptionRet(description, result, error);
}

void CConfigUILogic::Task_CheckSecurityCode_Ret(std::string /*ip*/, std::string /*mac*/, int result)
{
    std::shared_ptr<ISysConfigView> owner = m_wpOwner.lock();
    if (owner)
        owner->OnCheckSecurityCodeRet(result);
}
