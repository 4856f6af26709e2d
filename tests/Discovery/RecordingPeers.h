// Peers of the device list that record every call as one line of text.
#pragma once

#include <string>
#include <vector>

#include "Main/CDeviceListUILogic.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/DeviceListPeers.h"
#include "Main/DeviceListText.h"

class RecordingPeers : public IDeviceListPeers {
public:
    std::vector<std::string> calls;
    std::vector<std::wstring> messages;
    std::weak_ptr<CDeviceListUILogic> logic;
    std::shared_ptr<CSearchDevEventImp> page;
    // Busy answers.
    int modifying = 0, upgrading = 0, configuring = 0, loggingIn = 0, cloudChecking = 0, cloudUpgrading = 0,
        cloudDownloading = 0, cloudStopping = 0, stopCheck = 0;
    int messageAnswer = 1;
    std::wstring chosenFile;

    void Log(const std::string& s) { calls.push_back(s); }
    static std::string Ip(const DEVICE_NET_INFO_EX* i) { return i ? FIELD_TEXT(i->szIpAddr) : "-"; }

    std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() override { return logic.lock(); }
    std::shared_ptr<CSearchDevEventImp> GetSearchDevPage() override { return page; }
    void* GetMainWnd() override { return nullptr; }
    void Upgrade_ClearDeviceList() override { Log("upgrade.clear"); }
    void Upgrade_AddDevice(DEVICE_INFO* d) override { Log("upgrade.add " + Ip(&d->stNetInfo)); }
    bool Upgrade_MatchFilter(DEVICE_NET_INFO_EX*) override { return true; }
    void Upgrade_AddDeviceRow(DEVICE_NET_INFO_EX* i, bool, int) override { Log("upgrade.row " + Ip(i)); }
    void Upgrade_RefreshDeviceList() override { Log("upgrade.refresh"); }
    int Upgrade_IsUpgrading() override { return upgrading; }
    void Upgrade_ClearVecTask() override { Log("upgrade.cleartasks"); }
    void Cloud_ClearDeviceList() override { Log("cloud.clear"); }
    void Cloud_AddDevice(DEVICE_INFO* d) override { Log("cloud.add " + Ip(&d->stNetInfo)); }
    bool Cloud_IsIPv4Device(DEVICE_NET_INFO_EX* i) override { return i->nIpVersion == 4; }
    void Cloud_ShowEmptyHint(bool s) override { Log(std::string("cloud.hint ") + (s ? "1" : "0")); }
    void Cloud_AddDeviceRow(DEVICE_NET_INFO_EX* i, bool, int) override { Log("cloud.row " + Ip(i)); }
    void Cloud_AddCheckingDeviceRow(DEVICE_NET_INFO_EX* i, bool, int) override { Log("cloud.checkrow " + Ip(i)); }
    void Cloud_CheckDevice(DEVICE_INFO* d) override { Log("cloud.check " + Ip(&d->stNetInfo)); }
    void Cloud_SetStopCheckFlag(int f) override { stopCheck = f; }
    int Cloud_GetStopCheckFlag() override { return stopCheck; }
    int Cloud_IsChecking() override { return cloudChecking; }
    int Cloud_IsUpgrading() override { return cloudUpgrading; }
    int Cloud_IsDownloading() override { return cloudDownloading; }
    int Cloud_IsStoppingUpgrade() override { return cloudStopping; }
    void Cloud_ClearVecTask() override {}
    void Cloud_ClearDownVecTask() override {}
    void SysConfig_ClearDevices() override { Log("sys.clear"); }
    void SysConfig_AddDeviceToTree(DEVICE_NET_INFO_EX* i, bool, int pos) override
    {
        Log("sys.add " + Ip(i) + " @" + std::to_string(pos));
    }
    bool SysConfig_MatchFilter(const char*, int, const char*) override { return true; }
    void SysConfig_ExpandDeviceTree() override {}
    int SysConfig_IsConfiguring() override { return configuring; }
    void Template_ClearDevices() override { Log("tpl.clear"); }
    bool Template_MatchTemplateType(DEVICE_NET_INFO_EX*) override { return true; }
    void Template_AddDeviceToTree(DEVICE_NET_INFO_EX* i, bool, int pos) override
    {
        Log("tpl.add " + Ip(i) + " @" + std::to_string(pos));
    }
    bool TemplateLoad_IsSupportedDevice(DEVICE_NET_INFO_EX*) override { return true; }
    void TemplateLoad_AddDeviceToTree(std::shared_ptr<DEVICE_INFO> d) override { Log("load.add " + Ip(&d->stNetInfo)); }
    bool TemplateLoad_MatchFilter(const char*, int, const char*) override { return true; }
    void TemplateLoad_ExpandDeviceTree() override { Log("load.expand"); }
    void DevConfig_ClearDeviceTree() override { Log("cfg.clear"); }
    void DevConfig_AddDeviceToTree(std::shared_ptr<DEVICE_INFO> d, bool, int pos) override
    {
        Log("cfg.add " + Ip(&d->stNetInfo) + " @" + std::to_string(pos));
    }
    void DevConfig_LogoutCurrentDevice() override { Log("cfg.logout"); }
    int DevConfig_IsLoggingIn() override { return loggingIn; }
    void ToolBar_SetFoundCount(int c) override { Log("bar.count " + std::to_string(c)); }
    void ToolBar_SetSearching(bool s) override { Log(std::string("bar.searching ") + (s ? "1" : "0")); }
    void MainFrame_OnModuleStopped(int m) override { Log("frame.stopped " + std::to_string(m)); }
    void MainFrame_PostMessageBox(const std::wstring& text, const std::wstring&) override { messages.push_back(text); }
    int MainFrame_ShowManualAddDlg() override { Log("frame.manualadd"); return 2; }
    void MainFrame_ShowResultDetails(const char*, const std::wstring&, const std::wstring&) override {}
    bool ManualAdd_IsLoginPort(int) override { return true; }
    void ManualAdd_GetLoginAccount(std::string& u, std::string& p) override { u = "admin"; p = "secret"; }
    std::shared_ptr<CModifyIPUILogic> CreateModifyIPUILogic(std::shared_ptr<CSearchDevEventImp>) override
    {
        return nullptr;
    }
    std::shared_ptr<CModifyIPFileDlg> CreateModifyIPFileDlg(std::shared_ptr<CSearchDevEventImp>) override
    {
        return nullptr;
    }
    int ModifyIP_IsModifying() override { return modifying; }
    void ModifyIP_ClearDevices() override {}
    void ModifyIP_SetModifyParam(std::string, std::string, std::string, int, int) override {}
    void ModifyIP_AddDevice(std::shared_ptr<DEVICE_INFO>, int) override {}
    void ModifyIP_StartModifyIP() override {}
    int ModifyIP_ShowDialog(int count, int) override { Log("modify.dialog " + std::to_string(count)); return 2; }
    void DevInit_Reset() override {}
    void DevInit_AddUninitDevice(const DEVICE_NET_INFO_EX&) override {}
    int DevInit_ShowWizard() override { return 2; }
    int ShowMessage(const wchar_t* text, const wchar_t*, void*, int) override
    {
        messages.push_back(text);
        return messageAnswer;
    }
    bool ChooseFile(bool, const wchar_t*, void*, std::wstring& path) override
    {
        path = chosenFile;
        return !path.empty();
    }
    void OpenUrl(const std::wstring& url) override { Log("url " + WideToUtf8(url)); }

    // Calls whose text starts with the prefix, in order.
    std::vector<std::string> Matching(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& c : calls)
            if (c.compare(0, prefix.size(), prefix) == 0)
                out.push_back(c);
        return out;
    }
};

// A search record with the fields acceptance needs.
inline DevicePtr MakeDevice(const char* ip, const char* mac, const char* type = "IPC", uint8_t initState = 2,
                            int ipVersion = 4)
{
    DevicePtr d = std::make_shared<DEVICE_INFO>();
    std::memset(d.get(), 0, sizeof(DEVICE_INFO));
    DEVICE_NET_INFO_EX& i = d->stNetInfo;
    i.nIpVersion = ipVersion;
    COPY_TEXT(i.szIpAddr, ip);
    COPY_TEXT(i.szMacAddr, mac);
    COPY_TEXT(i.szTypeName, type);
    COPY_TEXT(i.szDetailName, "IPC-VX1230");
    COPY_TEXT(i.szModelName, "IPC-VX1230");
    i.byInitState = initState;
    i.nPort = 37777;
    return d;
}
