// The template export page; see the header.
#include "Template/CTemplateLoadEventImp.h"

#include <cstring>
#include <cwchar>
#include <string>

#include <QWidget>

#include "Common/DevClass.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CDeviceListUILogic.h"
#include "Template/CTemplateLoadApplyDlg.h"
#include "Template/CTemplateLoadLogic.h"
#include "Template/CTemplateTreeEventImp.h"
#include "Template/TemplateExportOwners.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFTypes.h"

using namespace VeyraBase;

namespace {

const char kSourceFile[] = "TemplateLoadEventImp";

std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

const wchar_t* GroupOfClass(int devClass)
{
    switch (devClass) {
    case DEV_CLASS_IPC: return L"IPC";
    case DEV_CLASS_SD: return L"PTZ";
    case DEV_CLASS_DVR: return L"DVR";
    case DEV_CLASS_NVR: return L"NVR";
    default: return nullptr;
    }
}

} // namespace

CTemplateLoadEventImp::CTemplateLoadEventImp(std::weak_ptr<ITemplateExportShell> shell) : m_wpShell(std::move(shell))
{
}

CTemplateLoadEventImp::~CTemplateLoadEventImp()
{
    // The dialog is a top-level window of its own: close it before the page's window goes.
    m_pApplyDlg.reset();
    // The window goes with us, before the tree panel its child calls back into: widgets left
    // behind would call sinks that no longer exist. Gone already when its parent went first.
    delete static_cast<QWidget*>(GetUIWnd());
    m_pView = nullptr;
    m_pTreePanel.reset();
}

std::shared_ptr<CTemplateLoadEventImp> CTemplateLoadEventImp::Create(std::weak_ptr<ITemplateExportShell> shell)
{
    auto page = std::make_shared<CTemplateLoadEventImp>(std::move(shell));
    page->Init();
    return page;
}

void* CTemplateLoadEventImp::ShellWindow() const
{
    std::shared_ptr<ITemplateExportShell> shell = m_wpShell.lock();
    auto* view = dynamic_cast<ISFViewEvent*>(shell.get());
    return view ? view->GetUIWnd() : nullptr;
}

void CTemplateLoadEventImp::Init()
{
    m_pView = CreateSFView(this);
    if (m_pView) {
        m_pView->SetBGClr(0xF4F4F4);
        m_pView->Create(L"", L"TemplateLoad", WS_CHILD, SFRectLTRB(100, 0, 1000, 62), ShellWindow(), ID_VIEW);
    }
    m_pLogic = std::make_shared<CTemplateLoadLogic>(weak_from_this());
    m_pApplyDlg = CTemplateLoadApplyDlg::Create(weak_from_this());
}

int CTemplateLoadEventImp::OnCreate()
{
    m_pTreePanel = CTemplateTreeEventImp::Create(weak_from_this());
    return 1;
}

void CTemplateLoadEventImp::OnSize(UINT, int, int cy)
{
    if (m_pTreePanel && m_pTreePanel->GetView()) {
        RECT rect = SFRectLTRB(12, 10, 262, cy - 10);
        m_pTreePanel->GetView()->MoveWindow(&rect);
    }
}

bool CTemplateLoadEventImp::IsSupportedDevice(DEVICE_NET_INFO_EX* info)
{
    if (!info)
        return false;
    const std::string type = Field(info->szTypeName, sizeof info->szTypeName);
    return IsIPCType(type) || IsPTZType(type) || IsDVRType(type) || IsNVRType(type);
}

void CTemplateLoadEventImp::AddDeviceToTree(std::shared_ptr<DEVICE_INFO> device)
{
    if (!device || !m_pTreePanel || device->stNetInfo.nIpVersion != 4)
        return;
    const DEVICE_NET_INFO_EX& net = device->stNetInfo;
    const wchar_t* group = GroupOfClass(GetDevClass(Field(net.szTypeName, sizeof net.szTypeName)));
    if (group)
        m_pTreePanel->AddDevice(group, std::move(device));
}

void CTemplateLoadEventImp::ExpandDeviceTree()
{
    if (m_pTreePanel && m_pTreePanel->GetTree())
        m_pTreePanel->GetTree()->ExpangAll();
}

bool CTemplateLoadEventImp::MatchFilter(const char* type, int ipVersion, const char* ip)
{
    StrToUpper(m_strFilter);
    if (ipVersion != 4)
        return false;
    const std::string typeText = type ? type : "";
    const int filterClass = GetDevClassExact(m_strFilter);
    if (filterClass == DEV_CLASS_OTHER) {
        std::string upper = typeText;
        StrToUpper(upper);
        if (upper.find(m_strFilter) != std::string::npos)
            return true;
        return std::string(ip ? ip : "").find(m_strFilter) != std::string::npos;
    }
    return GetDevClass(typeText) == filterClass && IsSameDevClass(typeText, m_strFilter, filterClass);
}

void CTemplateLoadEventImp::Message(const wchar_t* text)
{
    ShowMessageBox(Tr(text), Tr(L"Attention"), GetUIWnd(), 0);
}

void CTemplateLoadEventImp::ApplyFilter(std::string text)
{
    std::shared_ptr<ITemplateExportShell> shell = m_wpShell.lock();
    std::shared_ptr<CDeviceListUILogic> list = shell ? shell->GetDeviceListUILogic() : nullptr;
    if (!list || !list->FilterDevList(FILTER_PAGE_TEMPLATE_LOAD)) {
        Message(L"Searching,please wait...");
        return;
    }
    m_strFilter = std::move(text);
    if (m_pTreePanel)
        m_pTreePanel->ClearDevices();
}

void CTemplateLoadEventImp::ClearDevices()
{
    if (!m_pTreePanel)
        return;
    m_pTreePanel->ClearFilter();
    m_pTreePanel->ClearDevices();
}

void CTemplateLoadEventImp::StartExport()
{
    std::shared_ptr<DEVICE_INFO> device = m_pTreePanel ? m_pTreePanel->GetSelectedDevice() : nullptr;
    if (!device) {
        Message(L"Please select one device.");
        return;
    }
    if (!m_pApplyDlg || !m_pApplyDlg->GetDialog() || m_nExporting)
        return;
    const DEVICE_NET_INFO_EX& net = device->stNetInfo;
    m_pApplyDlg->SetStepCount(kExportSteps);
    m_pApplyDlg->SetDeviceName(Field(net.szIpAddr, sizeof net.szIpAddr));
    m_pApplyDlg->ResetForConfirm();
    std::shared_ptr<CTemplateLoadApplyDlg> keep = m_pApplyDlg;
    keep->GetDialog()->CenterWindow(nullptr);
    keep->GetDialog()->DoModalDlg();
}

void CTemplateLoadEventImp::Task_StartgetConfig()
{
    m_nCancelled = 0;
    m_pLogic->SetCancel(0);
    std::shared_ptr<DEVICE_INFO> device = m_pTreePanel ? m_pTreePanel->GetSelectedDevice() : nullptr;
    std::shared_ptr<CSFMessageLoop> loop = CSFMessageLoopManager::Instance()->GetMessageLoop(ML_SDK);
    if (!device || !loop) {
        // Nothing to run: end as a failed export, so that the dialog closes and says so.
        m_nExporting = 1;
        Task_StartConfig_Ret(std::string(), std::string(), 0);
        return;
    }
    m_nExporting = 1;
    m_pExported.reset();
    m_pExportFailure = nullptr;
    const DEVICE_NET_INFO_EX& net = device->stNetInfo;
    m_nDevClass = GetDevClass(Field(net.szTypeName, sizeof net.szTypeName));
    m_strExportIp = Field(net.szIpAddr, sizeof net.szIpAddr);
    m_strExportMac = Field(net.szMacAddr, sizeof net.szMacAddr);
    const std::string user = Field(device->szUser, sizeof device->szUser);
    const std::string password = Field(device->szPassword, sizeof device->szPassword);
    const std::string ip = m_strExportIp;
    const std::string mac = m_strExportMac;
    const int port = net.nPort;
    const int p2p = device->bP2P;
    std::shared_ptr<CTemplateLoadLogic> worker = m_pLogic;
    std::shared_ptr<CSFTask> task = CreateTask<CTemplateLoadLogic>(
        [worker, ip, user, password, mac, port, p2p] { worker->Task_StartConfig(ip, user, password, mac, port, p2p); },
        worker);
    SetTaskDebugInfo(task, ML_SDK, kSourceFile, __LINE__, "&CTemplateLoadLogic::Task_StartConfig",
                     "CTemplateLoadEventImp::Task_StartgetConfig", 1);
    loop->PostTask(task);
}

void CTemplateLoadEventImp::CancelExport()
{
    m_nCancelled = 1;
    if (m_pLogic)
        m_pLogic->SetCancel(1);
}

void CTemplateLoadEventImp::Task_Login_Ret(std::string, std::string, long) {}

void CTemplateLoadEventImp::UpgradeProgress(int step)
{
    if (m_pApplyDlg)
        m_pApplyDlg->SetProgress(step);
}

void CTemplateLoadEventImp::SetExportedTemplate(std::shared_ptr<tagTEMPLATEINFO> info) { m_pExported = std::move(info); }

void CTemplateLoadEventImp::SetExportFailure(const wchar_t* reason) { m_pExportFailure = reason; }

void CTemplateLoadEventImp::Task_StartConfig_Ret(std::string ip, std::string mac, int result)
{
    // A result of another device than the one being exported is not ours.
    if (!m_nExporting || (!ip.empty() && (ip != m_strExportIp || mac != m_strExportMac)))
        return;
    if (m_pApplyDlg && m_pApplyDlg->GetDialog())
        m_pApplyDlg->GetDialog()->MFCCancel();
    m_nExporting = 0;
    if (m_nCancelled)
        return;
    std::shared_ptr<tagTEMPLATEINFO> info = m_pExported;
    const wchar_t* why = m_pExportFailure;
    if (result == 0 || !info) {
        // Which device and why, under the failure itself.
        std::wstring text = Tr(L"Export template failed");
        if (why && !m_strExportIp.empty())
            text += L"\n" + std::wstring(m_strExportIp.begin(), m_strExportIp.end()) + L": " + Tr(why);
        if (why && (std::wcscmp(why, L"Incorrect password.") == 0 || std::wcscmp(why, L"Account doesn't exist.") == 0))
            text += L"\n" + std::wstring(Tr(L"Set the device account in Search Setting and search again."));
        ShowMessageBox(text.c_str(), Tr(L"Attention"), GetUIWnd(), 0);
        return;
    }
    std::shared_ptr<ITemplateExportShell> shell = m_wpShell.lock();
    if (shell && shell->LoadExportedTemplate(m_nDevClass, info.get()))
        shell->EndExport();
}
