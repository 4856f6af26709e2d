// The template application control; see the header.
#include "Template/CTemplateConfigUILogic.h"

#include <cstring>

#include "Main/ShellPost.h"
#include "Template/CTemplateApplyDlg.h"
#include "Template/CTemplateConfigLogic.h"
#include "Widgets/SFDialog.h"

CTemplateConfigUILogic::CTemplateConfigUILogic(std::weak_ptr<ITemplateApplyRun> owner) : m_wpOwner(std::move(owner)) {}

std::shared_ptr<CTemplateConfigUILogic> CTemplateConfigUILogic::Create(std::weak_ptr<ITemplateApplyRun> owner)
{
    auto control = std::make_shared<CTemplateConfigUILogic>(std::move(owner));
    control->Init();
    return control;
}

void CTemplateConfigUILogic::Init()
{
    m_pWorker = std::make_shared<CTemplateConfigLogic>(weak_from_this());
}

void CTemplateConfigUILogic::SetTemplateMode(int mode)
{
    m_nTemplateMode = mode;
    if (m_pWorker)
        m_pWorker->SetTemplateMode(mode);
}

void CTemplateConfigUILogic::SetTemplateFile(const std::string& path)
{
    m_strTemplatePath = path;
    if (m_pWorker)
        m_pWorker->SetTemplateFile(path);
}

void CTemplateConfigUILogic::ClearDevices()
{
    if (m_nBusy)
        return;
    m_devices.clear();
}

void CTemplateConfigUILogic::AddDevice(int port, const char* ip, const std::string& user, const std::string& password,
                                       const char* mac, int treeItem, int p2p)
{
    if (m_nBusy || !ip || !mac || FindDevice(ip, mac) >= 0)
        return;
    auto d = std::make_shared<TEMPLATE_CONFIG_INFO>();
    d->port = port;
    d->ip = ip;
    d->mac = mac;
    d->user = user;
    d->password = password;
    d->p2p = p2p;
    d->treeItem = treeItem;
    d->result.ClearAll();
    d->result.Set(TEMPLATE_RESULT_NOT_STARTED);
    m_devices.push_back(d);
}

void CTemplateConfigUILogic::StartDevice(TEMPLATE_CONFIG_INFO& device)
{
    device.result.Clear(TEMPLATE_RESULT_NOT_STARTED);
    device.result.Set(TEMPLATE_RESULT_OK);
    std::shared_ptr<CTemplateConfigLogic> worker = m_pWorker;
    const std::string ip = device.ip, user = device.user, password = device.password, mac = device.mac;
    const int port = device.port, p2p = device.p2p;
    ShellPostTask<CTemplateConfigLogic>(
        VeyraBase::ML_SDK, worker, [worker, ip, user, password, port, mac, p2p] {
            worker->Task_StartConfig(ip, user, password, port, mac, p2p);
        },
        __FILE__, __LINE__, "&CTemplateConfigLogic::Task_StartConfig", "CTemplateConfigUILogic::StartConfig");
    ++m_nNextIndex;
}

void CTemplateConfigUILogic::StartConfig()
{
    m_nBusy = 1;
    m_nFinished = 0;
    m_nNextIndex = 0;
    m_nStop = 0;
    while (m_nNextIndex < int(m_devices.size())) {
        StartDevice(*m_devices[size_t(m_nNextIndex)]);
        if (m_nNextIndex >= kParallelDevices)
            break;
    }
    // Nothing to wait for: end at once rather than stay busy.
    if (m_devices.empty())
        EndRun();
}

void CTemplateConfigUILogic::ConfigNext()
{
    if (!m_nStop && m_nNextIndex < int(m_devices.size())) {
        StartDevice(*m_devices[size_t(m_nNextIndex)]);
        return;
    }
    for (int i = 0; i < m_nNextIndex && i < int(m_devices.size()); ++i)
        if (m_devices[size_t(i)]->done == 0)
            return;
    EndRun();
}

void CTemplateConfigUILogic::EndRun()
{
    m_nBusy = 0;
    std::shared_ptr<ITemplateApplyRun> owner = m_wpOwner.lock();
    if (!owner)
        return;
    owner->OnConfigFinish();
    if (std::shared_ptr<CTemplateApplyDlg> dlg = owner->GetApplyDlg()) {
        dlg->SetProgress(int(m_devices.size()));
        if (CSFDialog* window = dlg->GetDialog())
            window->MFCCancel();
    }
}

void CTemplateConfigUILogic::Stop()
{
    m_nStop = 1;
    std::shared_ptr<CTemplateConfigLogic> worker = m_pWorker;
    ShellPostTask<CTemplateConfigLogic>(VeyraBase::ML_SDK, worker, [worker] { worker->Task_Stop(); }, __FILE__,
                                        __LINE__, "&CTemplateConfigLogic::Task_Stop", "CTemplateConfigUILogic::Stop");
}

TEMPLATE_RESULT_SET CTemplateConfigUILogic::GetDeviceResult(int treeItem) const
{
    for (const auto& d : m_devices)
        if (d->treeItem == treeItem)
            return d->result;
    TEMPLATE_RESULT_SET none{};
    none.ClearAll();
    none.Set(TEMPLATE_RESULT_NOT_STARTED);
    return none;
}

int CTemplateConfigUILogic::FindDevice(const char* ip, const char* mac) const
{
    if (!ip || !mac)
        return -1;
    for (size_t i = 0; i < m_devices.size(); ++i)
        if (m_devices[i]->ip == ip && m_devices[i]->mac == mac)
            return int(i);
    return -1;
}

void CTemplateConfigUILogic::Task_Login_Ret(std::string ip, std::string mac, long loginId)
{
    const int i = FindDevice(ip.c_str(), mac.c_str());
    if (i < 0)
        return;
    TEMPLATE_CONFIG_INFO& d = *m_devices[size_t(i)];
    d.loginId = int(loginId);
    if (loginId <= 0)
        RecordFailure(ip, mac, TEMPLATE_RESULT_LOGIN);
}

void CTemplateConfigUILogic::RecordFailure(const std::string& ip, const std::string& mac, int flag)
{
    const int i = FindDevice(ip.c_str(), mac.c_str());
    if (i < 0)
        return;
    TEMPLATE_CONFIG_INFO& d = *m_devices[size_t(i)];
    d.done = 1;
    d.downloadFlag = 0;
    d.result.Clear(TEMPLATE_RESULT_OK);
    d.result.Set(flag);
}

void CTemplateConfigUILogic::Task_SetVideoColor_Ret(std::string ip, std::string mac, int, int result)
{
    if (result == 0)
        RecordFailure(ip, mac, TEMPLATE_RESULT_VIDEOCOLOR);
}

void CTemplateConfigUILogic::Task_SetBLCMode_Ret(std::string ip, std::string mac, int, int result)
{
    if (result == 0)
        RecordFailure(ip, mac, TEMPLATE_RESULT_BLCMODE);
}

void CTemplateConfigUILogic::Task_SetDayNightMode_Ret(std::string ip, std::string mac, int, int result)
{
    if (result == 0)
        RecordFailure(ip, mac, TEMPLATE_RESULT_DAYNIGHT);
}

void CTemplateConfigUILogic::Task_SetFileManage_Ret(std::string ip, std::string mac, int, int result)
{
    if (result == 0)
        RecordFailure(ip, mac, TEMPLATE_RESULT_FILEMANAGE);
}

void CTemplateConfigUILogic::Task_CodeConfig_Ret(std::string ip, std::string mac, int, int result)
{
    if (result == 0)
        RecordFailure(ip, mac, TEMPLATE_RESULT_ENCODE);
}

void CTemplateConfigUILogic::Task_StartConfig_Ret(std::string ip, std::string mac)
{
    const int i = FindDevice(ip.c_str(), mac.c_str());
    if (i < 0)
        return;
    TEMPLATE_CONFIG_INFO& d = *m_devices[size_t(i)];
    d.done = 1;
    std::shared_ptr<ITemplateApplyRun> owner = m_wpOwner.lock();
    if (owner)
        owner->SetResultIcon(d.treeItem, d.result);
    ++m_nFinished;
    if (owner)
        if (std::shared_ptr<CTemplateApplyDlg> dlg = owner->GetApplyDlg())
            dlg->SetProgress(m_nFinished);
    ConfigNext();
}
