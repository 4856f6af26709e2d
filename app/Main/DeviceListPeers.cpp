// The program's peers of the device list: every call goes to the page or dialog that the main
// window keeps, through its getters.
#include "Main/DeviceListPeers.h"

#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/Translate.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "DevInit/CDevInitUILogic.h"
#include "IPConfig/CModifyIPFileDlg.h"
#include "IPConfig/CModifyIPUILogic.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CLoginDevEventImp.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CToolBarEventImp.h"
#include "Main/CUserSearchSettingEventImp.h"
#include "Main/OpenOrSay.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "Template/CTemplateEditEventImp.h"
#include "Template/CTemplateEventImp.h"
#include "Template/CTemplateLoadEventImp.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Upgrade/CUpgradeUILogic.h"
#include "Widgets/SFGlobal.h"

namespace {

class CMainFramePeers : public IDeviceListPeers {
public:
    explicit CMainFramePeers(std::weak_ptr<CMainFrameEventImp> frame) : m_wpFrame(frame) {}

    std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() override
    {
        auto f = Frame();
        return f ? f->GetDeviceListUILogic() : nullptr;
    }
    std::shared_ptr<CSearchDevEventImp> GetSearchDevPage() override
    {
        auto f = Frame();
        return f ? f->GetSearchDevPage() : nullptr;
    }
    void* GetMainWnd() override
    {
        auto f = Frame();
        return f ? f->GetUIWnd() : nullptr;
    }

    void Upgrade_ClearDeviceList() override { if (auto p = Upgrade()) p->ClearDeviceList(); }
    void Upgrade_AddDevice(DEVICE_INFO* d) override { if (auto p = Upgrade()) p->AddDevice(d); }
    bool Upgrade_MatchFilter(DEVICE_NET_INFO_EX* i) override { auto p = Upgrade(); return p && p->MatchFilter(i); }
    void Upgrade_AddDeviceRow(DEVICE_NET_INFO_EX* i, bool c, int f) override
    {
        if (auto p = Upgrade())
            p->AddDeviceRow(i, c, f);
    }
    void Upgrade_RefreshDeviceList() override { if (auto p = Upgrade()) p->RefreshDeviceList(); }
    int Upgrade_IsUpgrading() override { auto p = Upgrade(); return p ? p->IsUpgrading() : 0; }
    void Upgrade_ClearVecTask() override
    {
        if (auto p = Upgrade())
            if (auto logic = p->GetUpgradeUILogic())
                logic->ClearVecTask();
    }

    void Cloud_ClearDeviceList() override { if (auto p = Cloud()) p->ClearDeviceList(); }
    void Cloud_AddDevice(DEVICE_INFO* d) override { if (auto p = Cloud()) p->AddDevice(d); }
    bool Cloud_IsIPv4Device(DEVICE_NET_INFO_EX* i) override { auto p = Cloud(); return p && p->IsIPv4Device(i); }
    void Cloud_ShowEmptyHint(bool s) override { if (auto p = Cloud()) p->ShowEmptyHint(s); }
    void Cloud_AddDeviceRow(DEVICE_NET_INFO_EX* i, bool c, int f) override
    {
        if (auto p = Cloud())
            p->AddDeviceRow(i, c, f);
    }
    void Cloud_AddCheckingDeviceRow(DEVICE_NET_INFO_EX* i, bool c, int f) override
    {
        if (auto p = Cloud())
            p->AddCheckingDeviceRow(i, c, f);
    }
    void Cloud_CheckDevice(DEVICE_INFO* d) override { if (auto p = Cloud()) p->CheckDevice(d); }
    void Cloud_SetStopCheckFlag(int f) override { if (auto p = Cloud()) p->SetStopCheckFlag(f); }
    int Cloud_GetStopCheckFlag() override { auto p = Cloud(); return p ? p->GetStopCheckFlag() : 0; }
    int Cloud_IsChecking() override { auto p = Cloud(); return p ? p->IsChecking() : 0; }
    int Cloud_IsUpgrading() override { auto p = Cloud(); return p ? p->IsUpgrading() : 0; }
    int Cloud_IsDownloading() override { auto p = Cloud(); return p ? p->IsDownloading() : 0; }
    int Cloud_IsStoppingUpgrade() override { auto p = Cloud(); return p ? p->IsStoppingUpgrade() : 0; }
    void Cloud_ClearVecTask() override
    {
        if (auto p = Cloud())
            if (auto logic = p->GetCloudUpgradeUILogic())
                logic->ClearVecTask();
    }
    void Cloud_ClearDownVecTask() override
    {
        if (auto p = Cloud())
            if (auto logic = p->GetCloudUpgradeUILogic())
                logic->ClearDownVecTask();
    }

    void SysConfig_ClearDevices() override { if (auto p = SysConfig()) p->ClearDevices(); }
    void SysConfig_AddDeviceToTree(DEVICE_NET_INFO_EX* i, bool c, int pos) override
    {
        if (auto p = SysConfig())
            p->AddDeviceToTree(i, c, pos);
    }
    bool SysConfig_MatchFilter(const char* t, int v, const char* ip) override
    {
        auto p = SysConfig();
        return p && p->MatchFilter(t, v, ip);
    }
    void SysConfig_ExpandDeviceTree() override { if (auto p = SysConfig()) p->ExpandDeviceTree(); }
    int SysConfig_IsConfiguring() override { auto p = SysConfig(); return p ? p->IsConfiguring() : 0; }

    void Template_ClearDevices() override { if (auto p = Template()) p->ClearDevices(); }
    bool Template_MatchTemplateType(DEVICE_NET_INFO_EX* i) override
    {
        auto p = Template();
        return p && p->MatchTemplateType(i);
    }
    void Template_AddDeviceToTree(DEVICE_NET_INFO_EX* i, bool c, int pos) override
    {
        if (auto p = Template())
            p->AddDeviceToTree(i, c, pos);
    }
    bool TemplateLoad_IsSupportedDevice(DEVICE_NET_INFO_EX* i) override
    {
        auto p = TemplateLoad();
        return p && p->IsSupportedDevice(i);
    }
    void TemplateLoad_AddDeviceToTree(std::shared_ptr<DEVICE_INFO> d) override
    {
        if (auto p = TemplateLoad())
            p->AddDeviceToTree(d);
    }
    bool TemplateLoad_MatchFilter(const char* t, int v, const char* ip) override
    {
        auto p = TemplateLoad();
        return p && p->MatchFilter(t, v, ip);
    }
    void TemplateLoad_ExpandDeviceTree() override { if (auto p = TemplateLoad()) p->ExpandDeviceTree(); }

    void DevConfig_ClearDeviceTree() override { if (auto p = DevConfig()) p->ClearDeviceTree(); }
    void DevConfig_AddDeviceToTree(std::shared_ptr<DEVICE_INFO> d, bool c, int pos) override
    {
        if (auto p = DevConfig())
            p->AddDeviceToTree(d, c, pos);
    }
    void DevConfig_LogoutCurrentDevice() override { if (auto p = DevConfig()) p->LogoutCurrentDevice(); }
    int DevConfig_IsLoggingIn() override { auto p = DevConfig(); return p ? p->IsLoggingIn() : 0; }

    void ToolBar_SetFoundCount(int count) override
    {
        if (auto f = Frame())
            if (auto bar = f->GetToolBar())
                bar->SetFoundCount(count);
    }
    void ToolBar_SetSearching(bool searching) override
    {
        if (auto f = Frame())
            if (auto bar = f->GetToolBar())
                bar->SetSearching(searching);
    }
    void MainFrame_OnModuleStopped(int module) override
    {
        if (auto f = Frame())
            f->OnModuleStopped(module);
    }
    void MainFrame_PostMessageBox(const std::wstring& text, const std::wstring& caption) override
    {
        if (auto f = Frame())
            f->PostMessageBox(text, caption);
    }
    int MainFrame_ShowManualAddDlg() override
    {
        auto f = Frame();
        return f ? f->ShowManualAddDlg() : 2;
    }
    void MainFrame_ShowResultDetails(const char* device, const std::wstring& caption,
                                     const std::wstring& text) override
    {
        if (auto f = Frame())
            f->ShowResultDetails(device, caption, text);
    }

    bool ManualAdd_IsLoginPort(int port) override
    {
        auto f = Frame();
        auto dlg = f ? f->GetLoginDevDlg() : nullptr;
        return dlg && dlg->IsLoginPort(port);
    }
    void ManualAdd_GetLoginAccount(std::string& user, std::string& password) override
    {
        auto f = Frame();
        if (auto dlg = f ? f->GetLoginDevDlg() : nullptr)
            dlg->GetLoginAccount(user, password);
    }

    std::shared_ptr<CModifyIPUILogic> CreateModifyIPUILogic(std::shared_ptr<CSearchDevEventImp> page) override
    {
        return CModifyIPUILogic::Create(page);
    }
    std::shared_ptr<CModifyIPFileDlg> CreateModifyIPFileDlg(std::shared_ptr<CSearchDevEventImp> page) override
    {
        m_pModifyIPFileDlg = CModifyIPFileDlg::Create(page);
        return m_pModifyIPFileDlg;
    }
    int ModifyIP_IsModifying() override { auto m = ModifyIP(); return m ? m->IsModifying() : 0; }
    void ModifyIP_ClearDevices() override { if (auto m = ModifyIP()) m->ClearDevices(); }
    void ModifyIP_SetModifyParam(std::string ip, std::string mask, std::string gateway, int same, int dhcp) override
    {
        if (auto m = ModifyIP())
            m->SetModifyParam(ip, mask, gateway, same, dhcp);
    }
    void ModifyIP_AddDevice(std::shared_ptr<DEVICE_INFO> d, int row) override
    {
        if (auto m = ModifyIP())
            m->AddDevice(d, row);
    }
    void ModifyIP_StartModifyIP() override { if (auto m = ModifyIP()) m->StartModifyIP(); }
    int ModifyIP_ShowDialog(int count, int single) override
    {
        if (!m_pModifyIPFileDlg) {
            // The device page makes the dialog on first use.
            auto f = Frame();
            auto page = f ? f->GetSearchDevPage() : nullptr;
            if (page)
                m_pModifyIPFileDlg = page->GetModifyIPFileDlg();
        }
        if (!m_pModifyIPFileDlg || !m_pModifyIPFileDlg->GetDialog())
            return 0;
        m_pModifyIPFileDlg->SetDeviceCount(count);
        m_pModifyIPFileDlg->SetSingleDeviceMode(single);
        m_pModifyIPFileDlg->GetDialog()->CenterWindow(nullptr);
        return m_pModifyIPFileDlg->GetDialog()->DoModalDlg();
    }

    void DevInit_Reset() override
    {
        if (auto d = DevInit())
            d->ResetDevInit();
    }
    void DevInit_AddUninitDevice(const DEVICE_NET_INFO_EX& info) override
    {
        if (auto d = DevInit())
            d->AddUninitDevice(&info);
    }
    int DevInit_ShowWizard() override
    {
        auto d = DevInit();
        return d ? d->ShowDevInitWizard() : 2;
    }

    int ShowMessage(const wchar_t* text, const wchar_t* caption, void* parent, int type) override
    {
        return ShowMessageBox(text, caption, parent, type, nullptr);
    }
    bool ChooseFile(bool save, const wchar_t* filter, void* parent, std::wstring& path) override
    {
        wchar_t buffer[520] = {};
        wchar_t result[520] = {};
        if (!SFFileDialog(result, buffer, 520, 1, nullptr, save ? L"SaveMode" : nullptr, nullptr, 0x800006, filter,
                          parent))
            return false;
        path = buffer[0] ? buffer : result;
        return !path.empty();
    }
    void OpenUrl(const std::wstring& url) override;

private:
    std::shared_ptr<CMainFrameEventImp> Frame() const { return m_wpFrame.lock(); }
    // The pages after the device page are only told once they are there (they catch up then).
    std::shared_ptr<CUpgradeEventImp> Upgrade() const
    {
        auto f = Frame();
        return f && f->HiddenPartsMade() ? f->GetUpgradePage() : nullptr;
    }
    std::shared_ptr<CCloudUpgradeEventImp> Cloud() const
    {
        auto f = Frame();
        return f && f->HiddenPartsMade() ? f->GetCloudUpgradePage() : nullptr;
    }
    std::shared_ptr<CSysConfigEventImp> SysConfig() const
    {
        auto f = Frame();
        return f && f->HiddenPartsMade() ? f->GetSysConfigPage() : nullptr;
    }
    std::shared_ptr<CTemplateEventImp> Template() const
    {
        auto f = Frame();
        return f && f->HiddenPartsMade() ? f->GetTemplatePage() : nullptr;
    }
    std::shared_ptr<CTemplateLoadEventImp> TemplateLoad() const
    {
        auto t = Template();
        auto edit = t ? t->GetEditPage() : nullptr;
        return edit ? edit->GetLoadPage() : nullptr;
    }
    std::shared_ptr<CDevConfigEventImp> DevConfig() const
    {
        auto f = Frame();
        return f && f->HiddenPartsMade() ? f->GetDevConfigPage() : nullptr;
    }
    // The wizard's coordinator belongs to the device list; it is made with the first activation.
    std::shared_ptr<CDevInitUILogic> DevInit() const
    {
        auto f = Frame();
        auto list = f ? f->GetDeviceListUILogic() : nullptr;
        if (!list)
            return nullptr;
        if (!list->GetDevInitUILogic())
            list->SetDevInitUILogic(CDevInitUILogic::Create(list));
        return list->GetDevInitUILogic();
    }
    std::shared_ptr<CModifyIPUILogic> ModifyIP() const
    {
        auto f = Frame();
        auto page = f ? f->GetSearchDevPage() : nullptr;
        return page ? page->GetModifyIPUILogic() : nullptr;
    }

    std::weak_ptr<CMainFrameEventImp> m_wpFrame;
    std::shared_ptr<CModifyIPFileDlg> m_pModifyIPFileDlg;
};

} // namespace

#include <QString>

#include "Common/SFSystem.h"

void CMainFramePeers::OpenUrl(const std::wstring& url)
{
    const std::string utf8 = QString::fromStdWString(url).toStdString();
    OpenOrSay(utf8.c_str(), GetMainWnd());
}

std::shared_ptr<IDeviceListPeers> MakeMainFramePeers(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    return std::make_shared<CMainFramePeers>(mainFrame);
}

std::shared_ptr<CDeviceListUILogic> CDeviceListUILogic::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto logic = std::make_shared<CDeviceListUILogic>(mainFrame);
    logic->SetPeers(MakeMainFramePeers(mainFrame));
    logic->Init();
    return logic;
}

std::shared_ptr<CSearchDevEventImp> CreateSearchDevView(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CSearchDevEventImp>(mainFrame);
    page->SetPeers(MakeMainFramePeers(mainFrame));
    page->Create();
    return page;
}

std::shared_ptr<CUserSearchSettingEventImp> CUserSearchSettingEventImp::Create(
    std::weak_ptr<CMainFrameEventImp> mainFrame, bool withWindow)
{
    auto dlg = std::make_shared<CUserSearchSettingEventImp>(mainFrame);
    dlg->SetPeers(MakeMainFramePeers(mainFrame));
    if (withWindow)
        dlg->CreateWindowDlg();
    return dlg;
}
