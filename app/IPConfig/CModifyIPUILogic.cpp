#include "IPConfig/CModifyIPUILogic.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "Common/DevClass.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "IPConfig/AddressPlan.h"
#include "IPConfig/CModifyIPLogic.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/ShellPost.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFSkinStyle.h"

namespace {

std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Copies at most size - 1 bytes and zeroes the rest of the field, so a short field is always
// terminated whatever it held before.
void PutText(char* dest, size_t size, const char* text)
{
    SafeStrCopy(dest, size, text);
}

ImageButtonStyle ResultSkin(bool ok)
{
    ImageButtonStyle s;
    s.strNormal = ok ? L"ok.png" : L"error.png";
    s.strHover = ok ? L"ok_hover.png" : L"erro_hover.png";
    s.strPressed = ok ? L"ok_press.png" : L"erro_press.png";
    s.strDisabled = ok ? L"ok.png" : L"error.png";
    return s;
}

} // namespace

CModifyIPUILogic::CModifyIPUILogic(std::weak_ptr<CSearchDevEventImp> page) : m_wpPage(std::move(page)) {}

std::shared_ptr<CModifyIPUILogic> CModifyIPUILogic::Create(std::shared_ptr<CSearchDevEventImp> page)
{
    auto logic = std::make_shared<CModifyIPUILogic>(page);
    logic->m_pWorker = std::make_shared<CModifyIPLogic>(logic);
    return logic;
}

void CModifyIPUILogic::SetModifyParam(std::string ip, std::string mask, std::string gateway, int sameIp, int dhcp)
{
    if (dhcp == 0) {
        m_bSameIp = sameIp;
        m_strStartIp = ip;
        m_strMask = mask;
        m_strGateway = gateway;
        m_pWorker->SetStaticParam(mask, gateway);
        m_bDhcp = 0;
    } else {
        m_bDhcp = 1;
        m_pWorker->SetDhcpMode();
    }
}

void CModifyIPUILogic::AddDevice(std::shared_ptr<DEVICE_INFO> device, int row)
{
    if (!device)
        return;
    auto record = std::make_shared<MODIFYIP_INFO>();
    DEVICE_NET_INFO_EX& info = device->stNetInfo;
    record->nPort = info.nPort;
    record->strIp = Field(info.szIpAddr, sizeof info.szIpAddr);
    record->strUser = Field(device->szUser, sizeof device->szUser);
    record->strPassword = Field(device->szPassword, sizeof device->szPassword);
    record->strMac = Field(info.szMacAddr, sizeof info.szMacAddr);
    record->bSameIp = device->bIPConflict;
    record->bBroadcast = device->bBroadcast;
    record->bP2P = device->bP2P;
    record->bInitialized = IsUninitializedStatus(info.byInitState) ? 0 : 1;

    // The credentials travel in the search record for the change without login.
    PutText(info.szReportedUser, sizeof info.szReportedUser, record->strUser.c_str());
    PutText(info.szReportedPassword, sizeof info.szReportedPassword, record->strPassword.c_str());
    info.bPasswordValid = 1;
    PutText(info.szPassword, sizeof info.szPassword, record->strPassword.c_str());
    info.bUserValid = 1;
    PutText(info.szUser, sizeof info.szUser, record->strUser.c_str());

    record->stNetInfo = info;
    if (m_bDhcp == 0) {
        const int n = static_cast<int>(m_vecDevices.size());
        record->strNewIp = PlanAddress(m_strStartIp, m_strMask, n, m_bSameIp);
        PutText(record->stNetInfo.szIpAddr, sizeof record->stNetInfo.szIpAddr, record->strNewIp.c_str());
    }
    record->nRow = row;
    m_vecDevices.push_back(record);
}

void CModifyIPUILogic::Refuse(MODIFYIP_INFO& record)
{
    Task_Modify_Ret(record.strIp, record.strMac, 0, MODIFYIP_NOT_INITIALIZED);
    record.bFinished = 1;
}

void CModifyIPUILogic::Dispatch(const MODIFYIP_INFO& record, const char* caller)
{
    std::shared_ptr<CModifyIPLogic> worker = m_pWorker;
    const int dhcp = m_bDhcp;
    if (record.bBroadcast == 1) {
        std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
        std::shared_ptr<CMainFrameEventImp> frame = page ? page->GetMainFrame() : nullptr;
        std::shared_ptr<CDeviceListUILogic> list = frame ? frame->GetDeviceListUILogic() : nullptr;
        if (list)
            list->StopSearch(0);
        const DEVICE_NET_INFO_EX info = record.stNetInfo;
        const std::string ip = record.strIp, mac = record.strMac;
        ShellPostTask<CModifyIPLogic>(
            VeyraBase::ML_SDK, worker,
            [worker, info, ip, mac, dhcp] {
                DEVICE_NET_INFO_EX copy = info;
                worker->Task_StartModifyIPEx(copy, ip, mac, dhcp != 0);
            },
            __FILE__, __LINE__, "&CModifyIPLogic::Task_StartModifyIPEx", caller);
        return;
    }
    const MODIFYIP_INFO r = record;
    ShellPostTask<CModifyIPLogic>(
        VeyraBase::ML_SDK, worker,
        [worker, r, dhcp] {
            worker->Task_StartModifyIP(r.strIp, r.strNewIp, r.strUser, r.strPassword, r.nPort, r.strMac, r.bP2P, dhcp);
        },
        __FILE__, __LINE__, "&CModifyIPLogic::Task_StartModifyIP", caller);
}

void CModifyIPUILogic::EndBatch()
{
    m_bModifying = 0;
    if (std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock())
        page->EnableListSort(true);
}

void CModifyIPUILogic::StartModifyIP()
{
    m_bModifying = 1;
    m_bStop = 0;
    m_nCursor = -1;
    for (auto& record : m_vecDevices)
        record->bFinished = 0;
    int started = 0;
    for (size_t i = 0; i < m_vecDevices.size() && started < kMaxAtWorker; ++i) {
        m_nCursor = static_cast<int>(i);
        MODIFYIP_INFO& record = *m_vecDevices[i];
        if (record.bInitialized == 0) {
            Refuse(record);
            continue;
        }
        ++started;
        Dispatch(record, "CModifyIPUILogic::StartModifyIP");
    }
    if (started == 0)
        EndBatch();
}

void CModifyIPUILogic::ConfigNext()
{
    while (m_bStop == 0 && m_nCursor + 1 < static_cast<int>(m_vecDevices.size())) {
        ++m_nCursor;
        MODIFYIP_INFO& record = *m_vecDevices[m_nCursor];
        if (record.bInitialized == 0) {
            Refuse(record);
            continue;
        }
        Dispatch(record, "CModifyIPUILogic::ConfigNext");
        return;
    }
    const bool allFinished = std::all_of(m_vecDevices.begin(), m_vecDevices.end(),
                                         [](const std::shared_ptr<MODIFYIP_INFO>& r) { return r->bFinished == 1; });
    if (allFinished && m_bModifying)
        EndBatch();
}

void CModifyIPUILogic::Stop()
{
    m_bStop = 1;
    std::shared_ptr<CModifyIPLogic> worker = m_pWorker;
    ShellPostTask<CModifyIPLogic>(VeyraBase::ML_SDK, worker, [worker] { worker->Task_Stop(); }, __FILE__, __LINE__,
                                  "&CModifyIPLogic::Task_Stop", "CModifyIPUILogic::Stop");
}

int CModifyIPUILogic::FindRecord(std::string ip, std::string mac)
{
    const std::string wanted = Lower(mac);
    for (size_t i = 0; i < m_vecDevices.size(); ++i)
        if (Lower(m_vecDevices[i]->strMac) == wanted && m_vecDevices[i]->strIp == ip)
            return static_cast<int>(i);
    return -1;
}

void CModifyIPUILogic::Task_Login_Ret(std::string ip, std::string mac, long handle)
{
    const int index = FindRecord(ip, mac);
    if (index < 0)
        return;
    MODIFYIP_INFO& record = *m_vecDevices[index];
    record.nLoginHandle = static_cast<int>(handle);
    if (handle > 0)
        return;
    record.bSucceeded = 0;
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    if (CSFListCtrl* list = page ? page->GetListCtrl() : nullptr)
        list->SetItemPicture(record.nRow, kIpColumn, L"/error.png");
}

void CModifyIPUILogic::Task_Modify_Ret(std::string ip, std::string mac, int result, unsigned code)
{
    const int index = FindRecord(ip, mac);
    if (index < 0)
        return;
    MODIFYIP_INFO& record = *m_vecDevices[index];
    const bool ok = result > 0;
    record.bSucceeded = ok ? 1 : 0;
    // A failure always keeps a code of its own: code 0 would read "Success".
    const unsigned stored = ok ? 0 : FailureCode(code);
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    CSFListCtrl* list = page ? page->GetListCtrl() : nullptr;
    if (!list)
        return;
    ImageButtonStyle skin = ResultSkin(ok);
    list->AddOneOperateBtn(record.nRow, kIpColumn, kResultButtonId, Tr(L"Result"), skin, 16, 16, 100);
    list->SetItemData(record.nRow, stored, 0);
}

void CModifyIPUILogic::Task_StartConfig_Ret(std::string ip, std::string mac)
{
    const int index = FindRecord(ip, mac);
    if (index < 0)
        return;
    m_vecDevices[index]->bFinished = 1;
    ConfigNext();
}

void CModifyIPUILogic::Task_Stop_Ret()
{
    if (!m_vecDevices.empty())
        m_nCursor = static_cast<int>(m_vecDevices.size()) - 1;
    m_bModifying = 0;
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    if (!page)
        return;
    page->EnableListSort(true);
    if (std::shared_ptr<CMainFrameEventImp> frame = page->GetMainFrame())
        frame->OnModuleStopped(MAINFRAME_MODULE_MODIFYIP);
}
