// The system configuration page: tree and tab page, device filing and filter, PC-time refresh,
// and the start of every operation. The reset request and authorisation file are in
// SysConfigResetFiles.cpp.
#include "SysConfig/CSysConfigEventImp.h"

#include <cstring>

#include "Common/AppPath.h"
#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/SFTime.h"
#include "Common/SFTimer.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "SysConfig/CConfigUILogic.h"
#include "SysConfig/CFindPasswordDlg.h"
#include "SysConfig/CFindPasswordXmlDlg.h"
#include "SysConfig/CSysTabEventImp.h"
#include "SysConfig/CSysTreeEventImp.h"
#include "SysConfig/SysConfigUi.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFactory.h"

CSysConfigEventImp::CSysConfigEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(std::move(mainFrame))
{
    const std::string dir = SFWideToUtf8(SFGetAppPath());
    m_strRequestPath = dir + "/ExportFile.xml";
    m_strPublicKeyPath = dir + "/public.pem";
    DeviceSource = [this]() {
        std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
        std::shared_ptr<CDeviceListUILogic> list = main ? main->GetDeviceListUILogic() : nullptr;
        return list ? list->GetDeviceList() : DeviceVector();
    };
    RequestFilter = [this]() {
        std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
        std::shared_ptr<CDeviceListUILogic> list = main ? main->GetDeviceListUILogic() : nullptr;
        return list && list->FilterDevList(FILTER_PAGE_SYSCONFIG) ? 1 : 0;
    };
}

CSysConfigEventImp::~CSysConfigEventImp()
{
    if (m_spPcTimer)
        m_spPcTimer->StopTimer();
}

std::shared_ptr<CSysConfigEventImp> CSysConfigEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CSysConfigEventImp>(mainFrame);
    std::shared_ptr<CMainFrameEventImp> main = mainFrame.lock();
    page->Init(main ? main->GetUIWnd() : nullptr);
    return page;
}

void CSysConfigEventImp::Init(void* parent)
{
    m_pView = CreateSFView(this);
    if (!m_pView)
        return;
    m_pView->SetBGClr(0xF5EFED);
    m_pView->SetFrameClr(0xF5EFED, 1);
    m_pView->Create(L"", L"SysConfig", 0x40000000, SFRectLTRB(68, 0, 1000, 62), parent, 106);
}

int CSysConfigEventImp::OnCreate()
{
    std::weak_ptr<CSysConfigEventImp> self = shared_from_this();
    m_spTree = CSysTreeEventImp::Create(self);
    m_spTab = CSysTabEventImp::Create(self);
    m_spLogic = CConfigUILogic::Create(std::weak_ptr<ISysConfigView>(shared_from_this()));
    m_spXmlDlg = CFindPasswordXmlDlg::Create(self);
    m_spQrDlg = CFindPasswordDlg::Create(self);
    return 1;
}

void CSysConfigEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_spTree || !m_spTree->GetView())
        return;
    RECT rc = SFRectLTRB(12, 10, 212, cy - 10);
    m_spTree->GetView()->MoveWindow(&rc);
    const int width = rc.right - rc.left;
    rc.left += width + 10;
    rc.right = cx - 10;
    if (m_spTab && m_spTab->GetView())
        m_spTab->GetView()->MoveWindow(&rc);
}

int CSysConfigEventImp::IsConfiguring() const
{
    return m_bConfiguring || (m_spLogic && m_spLogic->IsConfiguring()) ? 1 : 0;
}

void CSysConfigEventImp::OnPcTimeTimer(int, void* userData)
{
    auto* page = static_cast<CSysConfigEventImp*>(userData);
    if (page && page->m_spTab)
        page->m_spTab->SetPcTime(CSFTime::GetCurrentTime());
}

void CSysConfigEventImp::EnablePcTimeRefresh(bool enable)
{
    if (!enable) {
        if (m_spPcTimer)
            m_spPcTimer->StopTimer();
        m_bPcTimeOn = false;
        return;
    }
    if (!m_spPcTimer)
        m_spPcTimer.reset(new CSFTimer());
    m_spPcTimer->StopTimer();
    m_spPcTimer->StartTimer(500, &CSysConfigEventImp::OnPcTimeTimer, this);
    m_bPcTimeOn = true;
}

bool CSysConfigEventImp::MatchFilter(const char* type, int ipVersion, const char* ip)
{
    StrToUpper(m_strFilter);
    if (ipVersion != 4)
        return false;
    const std::string typeText = type ? type : "";
    const int c = GetDevClassExact(m_strFilter);
    if (c != DEV_CLASS_OTHER)
        return GetDevClass(typeText) == c && IsSameDevClass(m_strFilter, typeText, c);
    std::string upper = typeText;
    StrToUpper(upper);
    if (upper.find(m_strFilter) != std::string::npos)
        return true;
    return std::string(ip ? ip : "").find(m_strFilter) != std::string::npos;
}

void CSysConfigEventImp::ClearDevices()
{
    if (!m_spTree)
        return;
    m_spTree->ClearFilterText();
    m_spTree->DeleteAllItems();
    ForgetRows();
    if (m_spTab)
        m_spTab->SetSelectedCount(m_spTree->GetCheckedCount());
}

void CSysConfigEventImp::AddDeviceToTree(DEVICE_NET_INFO_EX* info, bool, int index)
{
    if (!info || info->nIpVersion != 4 || !m_spTree)
        return;
    const std::string type(info->szTypeName, strnlen(info->szTypeName, sizeof info->szTypeName));
    const wchar_t* group = L"Others";
    switch (GetDevClass(type)) {
    case DEV_CLASS_IPC: group = L"IPC"; break;
    case DEV_CLASS_SD: group = L"SD"; break;
    case DEV_CLASS_DVR: group = L"DVR"; break;
    case DEV_CLASS_NVR: group = L"NVR"; break;
    default: break;
    }
    m_spTree->AddDevice(group, std::string(info->szIpAddr, strnlen(info->szIpAddr, sizeof info->szIpAddr)), index);
    if (m_spTab)
        m_spTab->SetSelectedCount(m_spTree->GetCheckedCount());
}

void CSysConfigEventImp::ExpandDeviceTree()
{
    if (m_spTree && m_spTree->GetTreeCtrl())
        m_spTree->GetTreeCtrl()->ExpangAll();
}

void CSysConfigEventImp::SetFilterText(std::string text)
{
    if (!RequestFilter || RequestFilter() == 0) {
        Message(L"Searching,please wait...");
        return;
    }
    m_strFilter = std::move(text);
    if (m_spTree)
        m_spTree->DeleteAllItems();
    ForgetRows();
}

void CSysConfigEventImp::Message(const wchar_t* text)
{
    ShowMessageBox(Tr(text), Tr(L"Attention"), GetUIWnd(), 0);
}

void CSysConfigEventImp::ShowDeviceResult(void* item, const wchar_t* rowText)
{
    if (!m_spLogic)
        return;
    int r = 0;
    for (size_t i = 0; i < m_vecRows.size() && item; ++i)
        if (m_vecRows[i] == item && (r = m_spLogic->GetDeviceResult(int(i))) != 0)
            break;
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    if (r != 0 && main)
        main->ShowConfigResult(SFWideToUtf8(rowText ? rowText : L"").c_str(), m_nLastKind, r);
}

std::shared_ptr<DEVICE_INFO> CSysConfigEventImp::DeviceAt(int index) const
{
    const DeviceVector devices = DeviceSource ? DeviceSource() : DeviceVector();
    if (index < 0 || size_t(index) >= devices.size())
        return nullptr;
    return devices[size_t(index)];
}

void CSysConfigEventImp::SetBrandFlags(const DEVICE_INFO& device)
{
    const DEVICE_NET_INFO_EX& n = device.stNetInfo;
    const std::string vendor(n.szVendor, strnlen(n.szVendor, sizeof n.szVendor));
    m_bOwnBrand = (vendor.empty() && n.byManufacturer == 0) || vendor == "Orvan" || vendor == "Private" ||
                  vendor == "ZR";
    m_bByPhone = IsResetByPhone(n.byPwdResetWay);
}

void CSysConfigEventImp::AddToScheduler(const DEVICE_INFO& d, void* row)
{
    const DEVICE_NET_INFO_EX& n = d.stNetInfo;
    auto text = [](const char* s, size_t size) { return std::string(s, strnlen(s, size)); };
    m_spLogic->AddDevice(n.nPort, text(n.szIpAddr, sizeof n.szIpAddr).c_str(), text(d.szUser, sizeof d.szUser),
                         text(d.szPassword, sizeof d.szPassword), text(n.szMacAddr, sizeof n.szMacAddr).c_str(),
                         d.bP2P, text(n.szTypeName, sizeof n.szTypeName), RowId(row),
                         text(n.szSerialNumber, sizeof n.szSerialNumber));
}

int CSysConfigEventImp::CollectCheckedDevices()
{
    m_spLogic->ClearDevices();
    ForgetRows();
    m_bOwnBrand = m_bByPhone = false;
    int count = 0;
    CSFTreeCtrl* tree = m_spTree ? m_spTree->GetTreeCtrl() : nullptr;
    if (!tree)
        return 0;
    for (void* g = tree->GetChildItem(SF_TVI_ROOT); g; g = tree->GetNextSiblingItem(g)) {
        for (void* row = tree->GetChildItem(g); row; row = tree->GetNextSiblingItem(row)) {
            tree->SetItemIconBack(row, L"");
            if (!tree->GetCheck(row))
                continue;
            std::shared_ptr<DEVICE_INFO> device = DeviceAt(int(tree->GetItemData(row)));
            if (!device)
                continue;
            if (++count == 1)
                SetBrandFlags(*device);
            AddToScheduler(*device, row);
        }
    }
    return count;
}

void CSysConfigEventImp::StartSysConfig(int kind, bool fileMode)
{
    if (!m_spLogic)
        return;
    if (m_spLogic->IsConfiguring()) {
        Message(L"Setting,please wait...");
        return;
    }
    m_nLastKind = kind;
    if (kind == SYSCONFIG_RESET_PASSWORD && fileMode) {
        const bool ok = RunFileDialog(true, 0);
        if (m_spTree)
            m_spTree->EnableRecorderGroups(true);
        if (!ok)
            return;
        m_spLogic->SetConfigType(kind);
        m_spLogic->StartConfig(1, kind);
        return;
    }
    const int count = CollectCheckedDevices();
    if (count == 0) {
        Message(L"Please select one device.");
        if (m_spTree)
            m_spTree->EnableRecorderGroups(true);
        return;
    }
    m_nDeviceCount = count;
    m_spLogic->SetConfigType(kind);
    int paramValid = 1;
    switch (kind) {
    case SYSCONFIG_MANUAL_SYNC: {
        CSFTime t;
        m_spTab->GetManualTime(t);
        paramValid = m_spLogic->SetSyncTimeParam(t.m_nYear, t.m_nMonth, t.m_nDay, t.m_nHour, t.m_nMinute, t.m_nSecond);
        break;
    }
    case SYSCONFIG_AUTO_REBOOT: {
        AUTO_REBOOT_PARAM p;
        m_spTab->GetAutoRebootParam(p);
        m_spLogic->SetAutoRebootParam(p.enable, p.day, p.hour, p.minute);
        break;
    }
    case SYSCONFIG_DST: {
        DST_PARAM p;
        std::memset(&p, 0, sizeof p);
        m_spTab->GetDSTParam(p);
        m_spLogic->SetDSTParam(p);
        break;
    }
    case SYSCONFIG_NTP: {
        NTP_PARAM p;
        std::memset(&p, 0, sizeof p);
        m_spTab->GetNTPParam(p);
        m_spLogic->SetNTPParam(&p);
        break;
    }
    case SYSCONFIG_MODIFY_PASSWORD: {
        char newPwd[33], oldPwd[33];
        m_spTab->GetPasswordParam(newPwd, oldPwd);
        m_spLogic->SetPasswordParam(oldPwd, newPwd);
        break;
    }
    case SYSCONFIG_RESET_PASSWORD: {
        const bool go = RunResetDialogs(count);
        if (m_spTree)
            m_spTree->EnableRecorderGroups(true);
        if (!go)
            return;
        break;
    }
    default:
        break;
    }
    m_spLogic->StartConfig(paramValid, kind);
}

bool CSysConfigEventImp::RunResetDialogs(int count)
{
    if (count == 1 && m_spQrDlg && m_spQrDlg->GetDialog()) {
        m_spQrDlg->PrepareForDevice(m_bOwnBrand, m_bByPhone);
        m_spQrDlg->EnableInputs(false);
        m_spQrDlg->ShowWaitBox(true);
        m_spLogic->GetPwdDescription();
        CSFDialog* dialog = m_spQrDlg->GetDialog();
        dialog->CenterWindow(nullptr);
        const int result = dialog->DoModalDlg();
        m_spQrDlg->ShowWaitBox(false);
        if (result == 1) {
            char pwd[33], code[9];
            m_spQrDlg->GetResetParams(pwd, code);
            m_spLogic->SetXmlResetMode(0);
            m_spLogic->SetResetPasswordParam(pwd, code);
            return true;
        }
        if (!m_spQrDlg->IsSwitchToXml())
            return false;
    }
    // The request names at most 256 devices: refuse a bigger selection before anything is
    // collected.
    if (count > kMaxResetDevices) {
        const std::wstring text = std::wstring(Tr(L"At most ")) + std::to_wstring(kMaxResetDevices) +
                                  Tr(L" devices can be reset with one request file.");
        ShowMessageBox(text.c_str(), Tr(L"Attention"), GetUIWnd(), 0);
        return false;
    }
    return RunFileDialog(false, count);
}

bool CSysConfigEventImp::RunFileDialog(bool importStep, int count)
{
    if (!m_spXmlDlg || !m_spXmlDlg->GetDialog())
        return false;
    if (importStep) {
        m_spXmlDlg->ShowImportStep();
    } else {
        m_spXmlDlg->ShowExportStep(m_bOwnBrand, m_bByPhone);
        m_spXmlDlg->SetDeviceCount(count);
    }
    CSFDialog* dialog = m_spXmlDlg->GetDialog();
    dialog->CenterWindow(nullptr);
    const int result = dialog->DoModalDlg();
    if (m_spTab)
        m_spTab->UpdateXmlResetButton();
    if (result != 1)
        return false;
    char pwd[33];
    std::string create;
    CodeMap codes;
    m_spXmlDlg->GetResetInfo(pwd, create, codes);
    m_spLogic->SetXmlResetMode(1);
    m_spLogic->SetXmlResetInfo(pwd, create, codes);
    return true;
}

void CSysConfigEventImp::CheckSecurityCode(std::string code)
{
    if (m_spLogic)
        m_spLogic->CheckSecurityCode(std::move(code));
}

void CSysConfigEventImp::StartGetDescriptions()
{
    if (m_spLogic)
        m_spLogic->StartGet2CodeInfo();
}

void CSysConfigEventImp::SetResultIcon(int treeItem, int code)
{
    if (m_spTree)
        if (void* row = RowOf(treeItem))
            m_spTree->SetResultIcon(row, code);
}

void CSysConfigEventImp::OnGetDescriptionRet(const PWD_DESCRIPTION& description, int result, DWORD error)
{
    if (m_spQrDlg)
        m_spQrDlg->OnGetDescriptionRet(description, result, error);
}

void CSysConfigEventImp::OnCheckSecurityCodeRet(int result)
{
    if (m_spQrDlg)
        m_spQrDlg->OnCheckSecurityCodeRet(result);
}

int CSysConfigEventImp::RowId(void* row)
{
    m_vecRows.push_back(row);
    return int(m_vecRows.size()) - 1;
}

void* CSysConfigEventImp::RowOf(int id) const
{
    return id >= 0 && size_t(id) < m_vecRows.size() ? m_vecRows[size_t(id)] : nullptr;
}
