#include "Main/CDeviceListUILogic.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "Common/AppSettings.h"
#include "Common/DevClass.h"
#include "Common/InputCheck.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CSearchDevLogic.h"
#include "Main/DeviceListPeers.h"
#include "Main/DeviceListText.h"

using namespace VeyraBase;

namespace {

const char kSourceFile[] = ".\\Main\\CDeviceListUILogic";

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool IsAccessDevice(const DEVICE_NET_INFO_EX& info)
{
    return IsAccessType(FIELD_TEXT(info.szTypeName)) || IsAccessType(FIELD_TEXT(info.szDetailName));
}

} // namespace

CDeviceListUILogic::CDeviceListUILogic(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(mainFrame) {}

CDeviceListUILogic::~CDeviceListUILogic() {}

int CDeviceListUILogic::Init()
{
    m_pSearchDevLogic = std::make_shared<CSearchDevLogic>(weak_from_this());
    return 1;
}

void CDeviceListUILogic::PostSelf(int loopId, int line, const char* taskName, const char* caller,
                                  std::function<void()> call)
{
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(loopId);
    if (!loop)
        return;
    std::shared_ptr<CSFTask> task = CreateTask<CDeviceListUILogic>(call, shared_from_this());
    SetTaskDebugInfo(task, loopId, kSourceFile, line, taskName, caller, 1);
    loop->PostTask(task);
}

void CDeviceListUILogic::PostFromWorker(std::function<void(CDeviceListUILogic&)> call)
{
    if (m_workerCalls.Push([this, call] { call(*this); }))
        PostSelf(ML_MAIN, __LINE__, "&CDeviceListUILogic::Task_RunWorkerCalls", "CDeviceListUILogic::PostFromWorker",
                 [this] { Task_RunWorkerCalls(); });
}

// A slice well under a frame: the longest the window waits for its loop is this plus one call.
void CDeviceListUILogic::Task_RunWorkerCalls()
{
    if (m_workerCalls.Run(std::chrono::milliseconds(6)))
        PostSelf(ML_MAIN, __LINE__, "&CDeviceListUILogic::Task_RunWorkerCalls",
                 "CDeviceListUILogic::Task_RunWorkerCalls", [this] { Task_RunWorkerCalls(); });
}

void CDeviceListUILogic::ClearAllPages()
{
    if (std::shared_ptr<CSearchDevEventImp> page = m_pPeers->GetSearchDevPage())
        page->ClearList();
    m_pPeers->Upgrade_ClearDeviceList();
    m_pPeers->Cloud_ClearDeviceList();
    m_pPeers->SysConfig_ClearDevices();
    m_pPeers->Template_ClearDevices();
    m_pPeers->DevConfig_ClearDeviceTree();
    m_nCloudDeviceCount = 0;
}

bool CDeviceListUILogic::StartSearch(SF_SEARCHTYPE mode, int count, std::string startIp)
{
    if (m_bSearching)
        return false;
    m_bStopAsked = false;
    ++m_byGeneration;
    m_nFoundCount = 0;
    m_nShownCount = 0;
    ClearAllPages();
    m_pPeers->ToolBar_SetFoundCount(0);
    m_pPeers->ToolBar_SetSearching(true);

    DeviceVector manual;
    for (const DevicePtr& device : m_vecDevices)
        if (device->bManual)
            manual.push_back(device);
    m_vecDevices.clear();

    std::shared_ptr<CSearchDevLogic> worker = m_pSearchDevLogic;
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_SDK);
    if (loop) {
        std::shared_ptr<CSFTask> task = CreateTask<CSearchDevLogic>(
            [worker, mode, count, startIp, manual] { worker->Task_PreStartSearch(mode, count, startIp, manual); },
            worker);
        SetTaskDebugInfo(task, ML_SDK, kSourceFile, __LINE__, "&CSearchDevLogic::Task_PreStartSearch",
                         "CDeviceListUILogic::StartSearch", 1);
        loop->PostTask(task);
    }
    return true;
}

void CDeviceListUILogic::Task_PreStartSearch_Ret(SF_SEARCHTYPE mode, int count, std::string startIp,
                                                 DeviceVector manual)
{
    for (const DevicePtr& device : manual)
        Task_InsertDevice(device);
    if (m_bStopAsked) {
        // Stopped before it started (the window closes, say): it ends here as a finished one
        // would, and no search starts behind the stop.
        Task_StartSearch_Ret(false);
        return;
    }
    m_bSearching = true;
    m_pPeers->DevConfig_LogoutCurrentDevice();
    if (mode == SF_SEARCH_BROADCAST || mode == SF_SEARCH_BOTH)
        m_bBroadcasting = true;
    m_pPeers->Cloud_ShowEmptyHint(true);

    std::shared_ptr<CSearchDevLogic> worker = m_pSearchDevLogic;
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_SDK);
    if (!loop)
        return;
    const uint8_t generation = m_byGeneration;
    const int broadcastPort = CAppSettings::BroadcastPort;
    std::shared_ptr<CSFTask> task = CreateTask<CSearchDevLogic>(
        [worker, mode, count, startIp, generation, broadcastPort] {
            worker->Task_StartSearch(mode, count, startIp, generation, broadcastPort);
        },
        worker);
    SetTaskDebugInfo(task, ML_SDK, kSourceFile, __LINE__, "&CSearchDevLogic::Task_StartSearch",
                     "CDeviceListUILogic::Task_PreStartSearch_Ret", 1);
    loop->PostTask(task);
}

void CDeviceListUILogic::Task_StartSearch_Ret(bool portExhausted)
{
    m_pPeers->ToolBar_SetSearching(false);
    m_bSearching = false;
    if (portExhausted)
        m_pPeers->ShowMessage(Tr(L"Broadcast searching failed, please modify broadcast alternate port."),
                              Tr(L"Attention"), m_pPeers->GetMainWnd(), 0);
}

void CDeviceListUILogic::StopSearch(int refilter)
{
    m_bStopAsked = true;
    std::shared_ptr<CSearchDevLogic> worker = m_pSearchDevLogic;
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_SDK);
    if (!loop)
        return;
    std::shared_ptr<CSFTask> task =
        CreateTask<CSearchDevLogic>([worker, refilter] { worker->Task_StopSearch(refilter, 0); }, worker);
    SetTaskDebugInfo(task, ML_SDK, kSourceFile, __LINE__, "&CSearchDevLogic::Task_StopSearch",
                     "CDeviceListUILogic::StopSearch", 1);
    loop->PostTask(task);
}

bool CDeviceListUILogic::FilterDevList(int page)
{
    if (m_bSearching)
        return false;
    const uint32_t bit = page >= 0 && page < 32 ? 1u << page : 0;
    if (m_nRefillPending & bit)
        return true;
    m_nRefillPending |= bit;
    if (m_bBroadcasting) {
        std::shared_ptr<CSearchDevLogic> worker = m_pSearchDevLogic;
        std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_SDK);
        if (loop) {
            std::shared_ptr<CSFTask> task =
                CreateTask<CSearchDevLogic>([worker, page] { worker->Task_StopSearch(1, page); }, worker);
            SetTaskDebugInfo(task, ML_SDK, kSourceFile, __LINE__, "&CSearchDevLogic::Task_StopSearch",
                             "CDeviceListUILogic::FilterDevList", 1);
            loop->PostTask(task);
        } else {
            m_nRefillPending &= ~bit;
        }
    } else {
        PostSelf(ML_MAIN, __LINE__, "&CDeviceListUILogic::Task_FilterFunc", "CDeviceListUILogic::FilterDevList",
                 [this, page] { Task_FilterFunc(page); });
    }
    return true;
}

void CDeviceListUILogic::Task_StopSearch_Ret(int refilter, int page)
{
    m_bBroadcasting = false;
    if (refilter)
        Task_FilterFunc(page);
    else
        m_pPeers->MainFrame_OnModuleStopped(0);
}

bool CDeviceListUILogic::StartSearch_ManulAdd(SF_SEARCHTYPE mode, int count, std::string startIp)
{
    if (m_nManualAdding)
        return false;
    m_nManualAdding = 1;
    m_bAccessRefused = false;
    std::shared_ptr<CSearchDevLogic> worker = m_pSearchDevLogic;
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_SDK);
    if (loop) {
        std::shared_ptr<CSFTask> task = CreateTask<CSearchDevLogic>(
            [worker, mode, count, startIp] { worker->Task_StartSearch_ManulAdd(mode, count, startIp); }, worker);
        SetTaskDebugInfo(task, ML_SDK, kSourceFile, __LINE__, "&CSearchDevLogic::Task_StartSearch_ManulAdd",
                         "CDeviceListUILogic::StartSearch_ManulAdd", 1);
        loop->PostTask(task);
    }
    return true;
}

void CDeviceListUILogic::Task_StartSearch_ManulAdd_Ret(std::string ip)
{
    m_nManualAdding = 0;
    for (const DevicePtr& device : m_vecDevices)
        if (FIELD_TEXT(device->stNetInfo.szIpAddr) == ip)
            return;
    std::wstring text = Tr(L"Failed to add device:");
    text += Utf8ToWide(ip.c_str());
    if (m_bAccessRefused)
        text += Tr(L", please try to use other tool in Package Center.");
    m_pPeers->MainFrame_PostMessageBox(text, L"Attention");
}

void CDeviceListUILogic::SortAddDevice(DevicePtr device)
{
    if (!device || !m_pPeers->ManualAdd_IsLoginPort(device->stNetInfo.nPort))
        return;
    DeviceVector previous;
    previous.swap(m_vecDevices);
    m_nFoundCount = 0;
    m_nShownCount = 0;
    ClearAllPages();
    m_pPeers->ToolBar_SetFoundCount(0);
    m_pPeers->DevConfig_LogoutCurrentDevice();
    m_pPeers->Cloud_SetStopCheckFlag(0);

    std::string user, password;
    m_pPeers->ManualAdd_GetLoginAccount(user, password);
    COPY_TEXT(device->szUser, user.c_str());
    COPY_TEXT(device->szPassword, password.c_str());
    Task_InsertDevice(device);
    for (const DevicePtr& other : previous)
        Task_InsertDevice(other);
}

void CDeviceListUILogic::DeleteDevice(const wchar_t* mac)
{
    if (!mac)
        return;
    const std::string wanted = StrUpper(WideToUtf8(mac));
    m_vecDevices.erase(std::remove_if(m_vecDevices.begin(), m_vecDevices.end(),
                                      [&](const DevicePtr& device) {
                                          return StrUpper(FIELD_TEXT(device->stNetInfo.szMacAddr)) == wanted;
                                      }),
                       m_vecDevices.end());
}

void CDeviceListUILogic::RefreshAllPages()
{
    DeviceVector previous;
    previous.swap(m_vecDevices);
    m_nFoundCount = 0;
    m_nShownCount = 0;
    ClearAllPages();
    m_pPeers->ToolBar_SetFoundCount(0);
    m_pPeers->DevConfig_LogoutCurrentDevice();
    m_pPeers->Cloud_SetStopCheckFlag(0);
    for (const DevicePtr& device : previous)
        Task_InsertDevice(device);
    if (previous.empty())
        m_pPeers->Cloud_ShowEmptyHint(true);
}

void CDeviceListUILogic::CatchUpLatePages()
{
    // The cloud count already holds these devices.
    const int32_t cloudCount = m_nCloudDeviceCount;
    m_pPeers->Cloud_ShowEmptyHint(true);
    for (size_t i = 0; i < m_vecDevices.size(); ++i) {
        const DevicePtr& device = m_vecDevices[i];
        if (!device || IsAccessDevice(device->stNetInfo) || IsUninitializedStatus(device->stNetInfo.byInitState))
            continue;
        FanOutInitialised(device, static_cast<int>(i), true);
    }
    m_nCloudDeviceCount = cloudCount;
}

void CDeviceListUILogic::Task_InsertDevice(DevicePtr device)
{
    if (!device)
        return;
    DEVICE_NET_INFO_EX& info = device->stNetInfo;
    if (!device->bManual && device->byGeneration != m_byGeneration)
        return;

    // Device texts may fill their fields; read them bounded and keep them terminated.
    info.szMacAddr[sizeof(info.szMacAddr) - 1] = 0;
    info.szIpAddr[sizeof(info.szIpAddr) - 1] = 0;
    info.szTypeName[sizeof(info.szTypeName) - 1] = 0;
    info.szDetailName[sizeof(info.szDetailName) - 1] = 0;
    const std::string mac = info.szMacAddr;
    const std::string ip = info.szIpAddr;
    const std::string type = info.szTypeName;
    if (mac.empty() || ip.empty() || !IsValidMac(mac.c_str()) || type == "unknown" || type.empty() ||
        info.szDetailName[0] == 0 || ip == "0.0.0.0")
        return;
    if (info.nIpVersion == 6) {
        const std::string address = ip.substr(0, ip.find('/'));
        if (!IsValidIpv6(address.c_str()))
            return;
    } else if (!IsValidIpv4Text(ip.c_str())) {
        return;
    }

    m_bNewDevice = true;
    // A search answers with thousands of devices: the MAC check is an index lookup and the
    // address check compares in place, so that a search stays linear in its answers.
    m_macIndex.Sync(m_vecDevices);
    bool sameVersion = false;
    if (m_macIndex.Find(Lower(mac), info.nIpVersion, &sameVersion)) {
        m_bNewDevice = false;
        if (sameVersion)
            return;
    }
    device->nRow = -1;

    device->bIPConflict = 0;
    if (DEVICE_INFO* listed = m_macIndex.FindIp(m_vecDevices, ip)) {
        listed->bIPConflict = 1;
        device->bIPConflict = 1;
        if (std::shared_ptr<CSearchDevEventImp> page = m_pPeers->GetSearchDevPage())
            page->HighlightRow(FIELD_TEXT(listed->stNetInfo.szMacAddr), ip);
    }

    if (!device->bManual) {
        COPY_TEXT(device->szPassword, WideToUtf8(CAppSettings::Password).c_str());
        COPY_TEXT(device->szUser, WideToUtf8(CAppSettings::User).c_str());
    }

    if (IsAccessDevice(info)) {
        if (device->bManual || m_bImporting) {
            m_bAccessRefused = true;
            return;
        }
        m_vecDevices.push_back(device);
        return;
    }

    const bool conflict = device->bIPConflict != 0;
    if (std::shared_ptr<CSearchDevEventImp> page = m_pPeers->GetSearchDevPage())
        if (page->IsShownByFilter(&info))
            page->AddDeviceRow(&info, conflict);

    if (!IsUninitializedStatus(info.byInitState))
        FanOutInitialised(device, static_cast<int>(m_vecDevices.size()), true);

    if (m_bNewDevice)
        ++m_nFoundCount;
    m_nShownCount = m_nFoundCount;
    m_pPeers->ToolBar_SetFoundCount(m_nFoundCount);
    m_vecDevices.push_back(device);
}

// The pages after the device page, for an initialised device at a list position.
void CDeviceListUILogic::FanOutInitialised(const DevicePtr& device, int position, bool cloudAllowed)
{
    DEVICE_NET_INFO_EX* info = &device->stNetInfo;
    const bool conflict = device->bIPConflict != 0;
    m_pPeers->Upgrade_AddDevice(device.get());
    if (m_pPeers->Upgrade_MatchFilter(info))
        m_pPeers->Upgrade_AddDeviceRow(info, conflict, 0);

    if (cloudAllowed && CAppSettings::CloudEnable && !m_pPeers->Cloud_GetStopCheckFlag()) {
        m_pPeers->Cloud_AddDevice(device.get());
        ++m_nCloudDeviceCount;
        if (m_pPeers->Cloud_IsIPv4Device(info)) {
            m_pPeers->Cloud_ShowEmptyHint(false);
            m_pPeers->Cloud_AddDeviceRow(info, conflict, 0);
        }
    }

    m_pPeers->SysConfig_AddDeviceToTree(info, conflict, position);
    if (m_pPeers->Template_MatchTemplateType(info))
        m_pPeers->Template_AddDeviceToTree(info, conflict, position);
    if (m_pPeers->TemplateLoad_IsSupportedDevice(info))
        m_pPeers->TemplateLoad_AddDeviceToTree(device);
    m_pPeers->TemplateLoad_ExpandDeviceTree();
    m_pPeers->DevConfig_AddDeviceToTree(device, conflict, position);
}

void CDeviceListUILogic::AddCloudUpgradeDevice(DevicePtr device)
{
    if (!device)
        return;
    DEVICE_NET_INFO_EX& info = device->stNetInfo;
    info.szMacAddr[sizeof(info.szMacAddr) - 1] = 0;
    info.szIpAddr[sizeof(info.szIpAddr) - 1] = 0;
    info.szTypeName[sizeof(info.szTypeName) - 1] = 0;
    const std::string ip = info.szIpAddr;
    if (info.szMacAddr[0] == 0 || ip.empty() || !IsValidMac(info.szMacAddr) ||
        std::string(info.szTypeName) == "unknown" || ip == "0.0.0.0")
        return;
    device->nRow = -1;
    if (IsAccessDevice(info))
        return;
    m_pPeers->Cloud_AddDevice(device.get());
    ++m_nCloudDeviceCount;
    if (m_pPeers->Cloud_IsIPv4Device(&info)) {
        m_pPeers->Cloud_AddCheckingDeviceRow(&info, false, 0);
        if (device->bRemote == 0)
            m_pPeers->Cloud_CheckDevice(device.get());
    }
    ++m_nShownCount;
    m_pPeers->ToolBar_SetFoundCount(m_nShownCount);
}

void CDeviceListUILogic::Task_InitDevice_Success(int position)
{
    if (position < 0 || position >= static_cast<int>(m_vecDevices.size()))
        return;
    const DEVICE_NET_INFO_EX& info = m_vecDevices[position]->stNetInfo;
    Task_InitDevice_SuccessEx(position, FIELD_TEXT(info.szMacAddr), FIELD_TEXT(info.szIpAddr));
}

// The position was computed before the initialisation ran: the list may have changed since, so
// the device is confirmed by its MAC and address, or looked up by them.
void CDeviceListUILogic::Task_InitDevice_SuccessEx(int position, std::string mac, std::string ip)
{
    auto matches = [&](const DevicePtr& device) {
        return StrUpper(FIELD_TEXT(device->stNetInfo.szMacAddr)) == StrUpper(mac) &&
               FIELD_TEXT(device->stNetInfo.szIpAddr) == ip;
    };
    if (position < 0 || position >= static_cast<int>(m_vecDevices.size()) || !matches(m_vecDevices[position])) {
        auto it = std::find_if(m_vecDevices.begin(), m_vecDevices.end(), matches);
        if (it == m_vecDevices.end())
            return;
        position = static_cast<int>(it - m_vecDevices.begin());
    }
    DevicePtr device = m_vecDevices[position];
    device->stNetInfo.byInitState |= 2;
    if (std::shared_ptr<CSearchDevEventImp> page = m_pPeers->GetSearchDevPage())
        page->MarkDeviceInitialized(&device->stNetInfo, device->bIPConflict != 0);
    if (!IsAccessDevice(device->stNetInfo))
        FanOutInitialised(device, position, true);
}

void CDeviceListUILogic::Task_FilterFunc(int page)
{
    if (page >= 0 && page < 32)
        m_nRefillPending &= ~(1u << page);
    if (page == FILTER_PAGE_UPGRADE) {
        m_pPeers->Upgrade_RefreshDeviceList();
        return;
    }
    std::shared_ptr<CSearchDevEventImp> devPage = m_pPeers->GetSearchDevPage();
    for (size_t i = 0; i < m_vecDevices.size(); ++i) {
        const DevicePtr& device = m_vecDevices[i];
        DEVICE_NET_INFO_EX* info = &device->stNetInfo;
        const int position = static_cast<int>(i);
        const bool conflict = device->bIPConflict != 0;
        if (IsAccessDevice(*info))
            continue;
        if (page != FILTER_PAGE_DEVLIST && IsUninitializedStatus(info->byInitState))
            continue;
        switch (page) {
        case FILTER_PAGE_DEVLIST:
            if (devPage && devPage->IsShownByFilter(info))
                devPage->AddDeviceRow(info, conflict);
            break;
        case FILTER_PAGE_SYSCONFIG:
            if (m_pPeers->SysConfig_MatchFilter(info->szTypeName, info->nIpVersion, info->szIpAddr))
                m_pPeers->SysConfig_AddDeviceToTree(info, conflict, position);
            m_pPeers->SysConfig_ExpandDeviceTree();
            break;
        case FILTER_PAGE_TEMPLATE:
            if (m_pPeers->Template_MatchTemplateType(info))
                m_pPeers->Template_AddDeviceToTree(info, conflict, position);
            break;
        case FILTER_PAGE_TEMPLATE_LOAD:
            if (m_pPeers->TemplateLoad_MatchFilter(info->szTypeName, info->nIpVersion, info->szIpAddr))
                m_pPeers->TemplateLoad_AddDeviceToTree(device);
            m_pPeers->TemplateLoad_ExpandDeviceTree();
            break;
        default:
            break;
        }
    }
}
