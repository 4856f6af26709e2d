// Operations of the device list page: searches, Manual Add, IP modification, activation, delete,
// export and import, details and web login.
#include <cstring>

#include "Common/DevClass.h"
#include "Common/InputCheck.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Common/Translate.h"
#include "Excel/SaveToExcel.h"
#include "Main/CDetialsDlgEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/DeviceListPeers.h"
#include "Main/DeviceListText.h"
#include "devsdk/DevSdk.h"

using namespace VeyraBase;

namespace {

const char kSourceFile[] = ".\\Main\\CSearchDevEventImp";

// Busy guards: each asks one busy module; the first that answers ends the operation.
enum Guard { GUARD_A, GUARD_B, GUARD_B2, GUARD_C, GUARD_D, GUARD_E, GUARD_F, GUARD_G, GUARD_G1, GUARD_G2,
             GUARD_H, GUARD_I };

bool IsBusy(IDeviceListPeers& peers, const std::shared_ptr<CDeviceListUILogic>& logic, Guard guard)
{
    switch (guard) {
    case GUARD_A: return peers.ModifyIP_IsModifying() != 0;
    case GUARD_B:
    case GUARD_B2: return peers.Upgrade_IsUpgrading() != 0;
    case GUARD_C: return peers.SysConfig_IsConfiguring() != 0;
    case GUARD_D: return peers.DevConfig_IsLoggingIn() != 0;
    case GUARD_E: return logic && logic->IsManualAdding() != 0;
    case GUARD_F: return logic && logic->IsSearching();
    case GUARD_G: return peers.Cloud_IsUpgrading() != 0 || peers.Cloud_IsDownloading() != 0;
    case GUARD_G1: return peers.Cloud_IsUpgrading() != 0;
    case GUARD_G2: return peers.Cloud_IsDownloading() != 0;
    case GUARD_H: return peers.Cloud_IsChecking() != 0;
    case GUARD_I: return peers.Cloud_IsStoppingUpgrade() != 0;
    }
    return false;
}

const wchar_t* GuardText(Guard guard)
{
    switch (guard) {
    case GUARD_A: return L"Modifying,please wait...";
    case GUARD_B: return L"Now upgrading,please wait...";
    case GUARD_B2: return L"Upgrading,please wait...";
    case GUARD_C: return L"Setting,please wait...";
    case GUARD_D: return L"Now login,please wait...";
    case GUARD_E: return L"Manual add,please wait...";
    case GUARD_F: return L"Searching,please wait...";
    case GUARD_G: return L"Now operating,please wait...";
    case GUARD_G1: return L"Upgrading,please wait...";
    case GUARD_G2: return L"Downloading,please wait...";
    case GUARD_H: return L"Now checking,please wait...";
    case GUARD_I: return L"Upgrade stoping,please wait...";
    }
    return L"";
}

// Runs the guards in order; shows the first busy one's text over the main window.
bool AnyBusy(IDeviceListPeers& peers, const std::shared_ptr<CDeviceListUILogic>& logic,
             std::initializer_list<Guard> guards)
{
    for (Guard guard : guards) {
        if (IsBusy(peers, logic, guard)) {
            peers.ShowMessage(Tr(GuardText(guard)), Tr(L"Attention"), peers.GetMainWnd(), 0);
            return true;
        }
    }
    return false;
}

} // namespace

void CSearchDevEventImp::ShowMessage(const wchar_t* text, bool pageParent)
{
    if (m_pPeers)
        m_pPeers->ShowMessage(Tr(text), Tr(L"Attention"), pageParent ? GetUIWnd() : m_pPeers->GetMainWnd(), 0);
}

void CSearchDevEventImp::StartSearch()
{
    if (!m_pPeers)
        return;
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    IDeviceListPeers& peers = *m_pPeers;
    if (AnyBusy(peers, logic, {GUARD_A, GUARD_B}))
        return;
    peers.Upgrade_ClearVecTask();
    if (AnyBusy(peers, logic, {GUARD_C, GUARD_D, GUARD_E, GUARD_F, GUARD_G, GUARD_H, GUARD_I}))
        return;
    peers.Cloud_SetStopCheckFlag(0);
    peers.Cloud_ClearVecTask();
    peers.Cloud_ClearDownVecTask();
    peers.ModifyIP_ClearDevices();
    if (!logic || !logic->StartSearch(static_cast<SF_SEARCHTYPE>(m_nSearchMode), m_nIpCount, m_strStartIp))
        ShowMessage(L"Searching,please wait...", false);
}

void CSearchDevEventImp::SearchManualDevice(std::string ip)
{
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (!logic || !logic->StartSearch_ManulAdd(SF_SEARCH_BYIP, 1, ip))
        ShowMessage(L"Manual add,please wait...", false);
}

void CSearchDevEventImp::OnManualAdd()
{
    if (!m_pPeers)
        return;
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (AnyBusy(*m_pPeers, logic,
                {GUARD_G1, GUARD_G2, GUARD_H, GUARD_I, GUARD_F, GUARD_E, GUARD_C, GUARD_A, GUARD_B2}))
        return;
    if (logic)
        logic->StopSearch(0);
    m_pPeers->MainFrame_ShowManualAddDlg();
}

void CSearchDevEventImp::OnBatchModifyIP()
{
    if (!m_pPeers)
        return;
    if (AnyBusy(*m_pPeers, GetListLogic(), {GUARD_A, GUARD_B, GUARD_E, GUARD_G1, GUARD_G2, GUARD_H, GUARD_I}))
        return;
    m_bySingleMode = 0;
    const int count = CheckedRowCount();
    if (count == 0) {
        ShowMessage(L"Please select one device to modify ip at least.", true);
        return;
    }
    m_pPeers->ModifyIP_ShowDialog(count, 0);
}

void CSearchDevEventImp::OnModifyIP()
{
    if (!m_pPeers)
        return;
    if (AnyBusy(*m_pPeers, GetListLogic(),
                {GUARD_A, GUARD_B, GUARD_D, GUARD_E, GUARD_G1, GUARD_G2, GUARD_H, GUARD_I}))
        return;
    m_bySingleMode = 1;
    m_pPeers->ModifyIP_ShowDialog(1, 1);
}

void CSearchDevEventImp::StartModifyIP(std::string ip, std::string mask, std::string gateway, int sameIp, int dhcp)
{
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (!m_pPeers || !m_pListCtrl || !logic)
        return;
    m_pListCtrl->SetHeaderSortEnable(0);
    m_pPeers->ModifyIP_SetModifyParam(ip, mask, gateway, sameIp, dhcp);
    m_pPeers->ModifyIP_ClearDevices();
    if (m_bySingleMode) {
        m_pListCtrl->SetItemPicture(m_nCurRow, 5, L"");
        const int index = FindDeviceIndex(m_nCurRow);
        if (index != -1)
            m_pPeers->ModifyIP_AddDevice(logic->GetDeviceList()[index], m_nCurRow);
    } else {
        const int rows = m_pListCtrl->GetItemCount();
        for (int row = 0; row < rows; ++row)
            if (m_pListCtrl->IsCheck(row))
                m_pListCtrl->SetItemPicture(row, 5, L"");
        for (int row = 0; row < rows; ++row) {
            if (!m_pListCtrl->IsCheck(row))
                continue;
            const int index = FindDeviceIndex(row);
            if (index != -1)
                m_pPeers->ModifyIP_AddDevice(logic->GetDeviceList()[index], row);
        }
    }
    m_pPeers->ModifyIP_StartModifyIP();
}

void CSearchDevEventImp::OnModifyResult()
{
    if (!m_pPeers || !m_pListCtrl)
        return;
    const DWORD code = m_pListCtrl->GetItemData(m_nCurRow, 0);
    const std::wstring text = code == 0 ? std::wstring(Tr(L"Success")) : GetSdkErrorText(code);
    m_pPeers->MainFrame_ShowResultDetails(m_szCurIp, Tr(L"Modify IPs"), text);
}

void CSearchDevEventImp::OnActivate()
{
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (!m_pPeers || !logic || AnyBusy(*m_pPeers, logic, {GUARD_A}))
        return;
    m_pPeers->DevInit_Reset();
    int otherNetwork = 0;
    int added = 0;
    const int rows = m_pListCtrl ? m_pListCtrl->GetItemCount() : 0;
    for (int row = 0; row < rows; ++row) {
        if (!m_pListCtrl->IsCheck(row))
            continue;
        m_pListCtrl->DeleteOneOperateBtn(row, 5, 2138);
        const int index = FindDeviceIndex(row);
        if (index == -1)
            continue;
        const DevicePtr& device = logic->GetDeviceList()[index];
        if (!IsUninitializedStatus(device->stNetInfo.byInitState))
            continue;
        if (device->bBroadcast == 0 || device->bManual) {
            ++otherNetwork;
        } else {
            m_pPeers->DevInit_AddUninitDevice(device->stNetInfo);
            ++added;
        }
    }
    if (otherNetwork > 0)
        ShowMessage(L"Device in other network can't be initialized.", true);
    else if (added == 0)
        ShowMessage(L"Please select one device that have not been initialized.", true);
    if (added > 0)
        m_pPeers->DevInit_ShowWizard();
}

void CSearchDevEventImp::OnDelete()
{
    if (!m_pPeers)
        return;
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (AnyBusy(*m_pPeers, logic,
                {GUARD_G1, GUARD_G2, GUARD_H, GUARD_I, GUARD_F, GUARD_E, GUARD_C, GUARD_A, GUARD_B2}))
        return;
    if (CheckedRowCount() == 0) {
        ShowMessage(L"Please select one device to delete at least.", true);
        return;
    }
    if (!logic)
        return;
    logic->StopSearch(0);
    if (m_pPeers->ShowMessage(Tr(L"Are you sure to delete these devices?"), Tr(L"Attention"), GetUIWnd(), 1) != 1)
        return;
    std::vector<std::wstring> macs;
    for (int row = 0; row < m_pListCtrl->GetItemCount(); ++row) {
        if (!m_pListCtrl->IsCheck(row))
            continue;
        wchar_t mac[64] = {};
        m_pListCtrl->GetItemText(row, 6, mac, 63);
        macs.push_back(mac);
    }
    for (const std::wstring& mac : macs)
        logic->DeleteDevice(mac.c_str());
    logic->RefreshAllPages();
    SetCountLabel(0);
}

void CSearchDevEventImp::OnExport()
{
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (!m_pPeers || !logic || !m_pListCtrl)
        return;
    if (CheckedRowCount() == 0) {
        ShowMessage(L"Please select devices to export.", true);
        return;
    }
    std::wstring chosen;
    if (!m_pPeers->ChooseFile(true, L"Excel files (*.xls *.xlsx)", GetUIWnd(), chosen))
        return;
    std::string path = WideToUtf8(chosen);
    if (path.size() > 519)
        path.resize(519);
    if (path.find(".xls") == std::string::npos)
        path += ".xls";
    // The previous file of that name is replaced only once the new workbook is complete.
    CSaveToExcel excel;
    bool ok = excel.Create(path) && excel.WriteDeviceHeader();
    for (int row = 0; ok && row < m_pListCtrl->GetItemCount(); ++row) {
        if (!m_pListCtrl->IsCheck(row))
            continue;
        const int index = FindDeviceIndex(row);
        if (index == -1)
            continue;
        DEVICE_NET_INFO_EX info = logic->GetDeviceList()[index]->stNetInfo;
        ok = excel.WriteDeviceRow(&info);
    }
    ok = ok && excel.SaveAs(path);
    const std::string reason = excel.LastError();
    excel.Close();
    if (ok || reason.empty()) {
        ShowMessage(ok ? L"Export device list succeed!" : L"Export device list failed!", true);
        return;
    }
    std::wstring failed = Tr(L"Export device list failed!");
    failed += L"\n" + Utf8ToWide(reason.c_str());
    m_pPeers->ShowMessage(failed.c_str(), Tr(L"Attention"), GetUIWnd(), 0);
}

void CSearchDevEventImp::OnImport()
{
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (!m_pPeers || !logic || AnyBusy(*m_pPeers, logic, {GUARD_F, GUARD_E}))
        return;
    logic->SetImporting(true);
    std::wstring chosen;
    if (m_pPeers->ChooseFile(false, L"Excel files (*.xls *.xlsx)", GetUIWnd(), chosen)) {
        std::string path = WideToUtf8(chosen);
        if (path.size() > 519)
            path.resize(519);
        std::vector<DEVICE_INFO> records;
        CSaveToExcel excel;
        const bool read = excel.Open(path) && excel.ReadDeviceList(&records);
        const std::string reason = excel.LastError();
        excel.Close();
        if (!read) {
            // An unreadable workbook is a failure, never an empty "completed" import.
            std::wstring text = Tr(L"Import device list failed!");
            if (!reason.empty())
                text += L"\n" + Utf8ToWide(reason.c_str());
            m_pPeers->ShowMessage(text.c_str(), Tr(L"Attention"), GetUIWnd(), 0);
        } else {
            bool lacking = false;
            for (const DEVICE_INFO& record : records) {
                DevicePtr device = std::make_shared<DEVICE_INFO>(record);
                DEVICE_NET_INFO_EX& info = device->stNetInfo;
                info.szIpAddr[sizeof(info.szIpAddr) - 1] = 0;
                if (!IsValidIpv4Strict(info.szIpAddr))
                    continue;
                info.nIpVersion = 4;
                if (info.byInitState == 0xFF) {
                    lacking = true;
                    continue;
                }
                device->byGeneration = logic->GetGeneration();
                COPY_FIELD(info.szModelName, info.szDetailName);
                logic->Task_InsertDevice(device);
            }
            std::wstring text = Tr(L"Import device list completed.");
            if (lacking)
                text += Tr(L"The List has device lack of initialization information.");
            m_pPeers->ShowMessage(text.c_str(), Tr(L"Attention"), GetUIWnd(), 0);
        }
    }
    logic->SetImporting(false);
}

// ---- Details -------------------------------------------------------------------------------

void CSearchDevEventImp::OnDetails()
{
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (!GetMainFrame() && !m_pPeers)
        return;
    if (!logic || m_nCurDevIndex < 0 || m_nCurDevIndex >= static_cast<int>(logic->GetDeviceList().size()))
        return;
    DevicePtr device = logic->GetDeviceList()[m_nCurDevIndex];
    if (device->dwBuildDate != 0) {
        ShowDetails(m_nCurDevIndex);
        return;
    }
    // The login and the version query block for up to the SDK's waits: they run on the worker
    // loop, and the dialog opens when their result is back.
    if (m_bDetailsPending)
        return;
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_SDK);
    if (!loop) {
        ShowDetails(m_nCurDevIndex);
        return;
    }
    m_bDetailsPending = true;
    DetailsLogin login;
    login.ip = FIELD_TEXT(device->stNetInfo.szIpAddr);
    login.port = device->stNetInfo.nPort & 0xFFFF;
    login.p2p = device->bP2P != 0;
    login.user = FIELD_TEXT(device->szUser);
    login.password = FIELD_TEXT(device->szPassword);
    std::shared_ptr<CSearchDevEventImp> self = shared_from_this();
    std::weak_ptr<CSearchDevEventImp> weak = self;
    std::shared_ptr<CSFTask> task = CreateTask<CSearchDevEventImp>(
        [self, device, login, weak] { self->Task_QueryDetails(device, login, weak); }, self);
    SetTaskDebugInfo(task, ML_SDK, kSourceFile, __LINE__, "&CSearchDevEventImp::Task_QueryDetails",
                     "CSearchDevEventImp::OnDetails", 1);
    loop->PostTask(task);
}

// Loop 3: reads what the record needs from the device itself. The record is only handed back
// to the GUI thread; every field used here was copied there.
void CSearchDevEventImp::Task_QueryDetails(DevicePtr device, DetailsLogin login,
                                           std::weak_ptr<CSearchDevEventImp> page)
{
    SDK_LOGIN_DEVICE_INFO info;
    std::memset(&info, 0, sizeof(info));
    int error = 0;
    const char* user = login.user.c_str();
    const char* password = login.password.c_str();
    const LONG id = login.p2p ? SdkLoginEx("127.0.0.1", login.port, user, password, 19, nullptr, &info, &error)
                              : SdkLogin(login.ip.c_str(), login.port, user, password, &info, &error);
    bool ok = false;
    uint32_t buildDate = 0;
    std::string version, serial;
    if (id > 0) {
        ZRDEV_VERSION_INFO answer;
        std::memset(&answer, 0, sizeof(answer));
        int returned = 0;
        if (SdkQueryDevState(id, 15, reinterpret_cast<char*>(&answer), sizeof(answer), &returned, 1000)) {
            ok = true;
            buildDate = answer.dwSoftwareBuildDate;
            version = FIELD_TEXT(answer.szSoftWareVersion);
            serial = FIELD_TEXT(answer.szSerialNumber);
        }
        SdkLogout(id);
    }
    std::shared_ptr<CSearchDevEventImp> self = page.lock();
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_MAIN);
    if (!self || !loop)
        return;
    std::shared_ptr<CSFTask> task = CreateTask<CSearchDevEventImp>(
        [self, device, ok, buildDate, version, serial] {
            self->Task_QueryDetails_Ret(device, ok, buildDate, version, serial);
        },
        self);
    SetTaskDebugInfo(task, ML_MAIN, kSourceFile, __LINE__, "&CSearchDevEventImp::Task_QueryDetails_Ret",
                     "CSearchDevEventImp::Task_QueryDetails", 1);
    loop->PostTask(task);
}

void CSearchDevEventImp::Task_QueryDetails_Ret(DevicePtr device, bool ok, uint32_t buildDate, std::string version,
                                               std::string serial)
{
    m_bDetailsPending = false;
    if (ok) {
        device->dwBuildDate = buildDate;
        if (device->stNetInfo.szSoftVersion[0] == 0)
            COPY_TEXT(device->stNetInfo.szSoftVersion, version.c_str());
        if (device->stNetInfo.szSerialNumber[0] == 0)
            COPY_TEXT(device->stNetInfo.szSerialNumber, serial.c_str());
    }
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (!logic)
        return;
    const DeviceVector& list = logic->GetDeviceList();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == device) {
            ShowDetails(static_cast<int>(i));
            return;
        }
}

void CSearchDevEventImp::ShowDetails(int index)
{
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    std::shared_ptr<CDetialsDlgEventImp> details = GetDetailsDlg();
    if (!logic || !details || index < 0 || index >= static_cast<int>(logic->GetDeviceList().size()))
        return;
    const DevicePtr& device = logic->GetDeviceList()[index];
    details->SetDeviceInfo(&device->stNetInfo, device->dwBuildDate);
    if (CSFDialog* dialog = details->GetDialog()) {
        dialog->CenterWindow(nullptr);
        dialog->DoModalDlg();
    }
}

// ---- Web login -----------------------------------------------------------------------------

// Every IPv6 address is bracketed, with or without a prefix length, so that the port that
// follows cannot be read as part of it.
std::wstring CSearchDevEventImp::MakeWebUrl(const std::string& ip, int webPort)
{
    if (ip.empty())
        return std::wstring();
    std::string host = ip.substr(0, ip.find('/'));
    std::string url = "http://";
    if (ip.find('/') != std::string::npos || host.find(':') != std::string::npos)
        url += "[" + host + "]";
    else
        url += host;
    if (webPort != 0 && webPort != 80)
        url += ":" + std::to_string(webPort);
    return Utf8ToWide(url.c_str());
}

void CSearchDevEventImp::OnWebLogin()
{
    const std::string ip = FIELD_TEXT(m_szCurIp);
    if (ip.empty() || !m_pPeers)
        return;
    m_pPeers->OpenUrl(MakeWebUrl(ip, m_nCurWebPort));
}
