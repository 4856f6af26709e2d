// Everything the device list model, the device page and the search settings dialog ask of the
// rest of the program: the feature pages, the tool bar, the main window, message boxes, the file
// chooser and the browser. The program's implementation reaches them through the main window's
// getters; tests put a recorder in its place.
#pragma once

#include <memory>
#include <string>

#include "Common/DeviceInfo.h"

class CMainFrameEventImp;
class CDeviceListUILogic;
class CSearchDevEventImp;
class CLoginDevEventImp;
class CModifyIPUILogic;
class CModifyIPFileDlg;

class IDeviceListPeers {
public:
    virtual ~IDeviceListPeers() {}

    virtual std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() = 0;
    virtual std::shared_ptr<CSearchDevEventImp> GetSearchDevPage() = 0;
    // Native window of the main window (parent of busy messages).
    virtual void* GetMainWnd() = 0;

    // Local upgrade page.
    virtual void Upgrade_ClearDeviceList() = 0;
    virtual void Upgrade_AddDevice(DEVICE_INFO* device) = 0;
    virtual bool Upgrade_MatchFilter(DEVICE_NET_INFO_EX* info) = 0;
    virtual void Upgrade_AddDeviceRow(DEVICE_NET_INFO_EX* info, bool ipConflict, int flag) = 0;
    virtual void Upgrade_RefreshDeviceList() = 0;
    virtual int Upgrade_IsUpgrading() = 0;
    virtual void Upgrade_ClearVecTask() = 0;

    // Cloud-upgrade page.
    virtual void Cloud_ClearDeviceList() = 0;
    virtual void Cloud_AddDevice(DEVICE_INFO* device) = 0;
    virtual bool Cloud_IsIPv4Device(DEVICE_NET_INFO_EX* info) = 0;
    virtual void Cloud_ShowEmptyHint(bool show) = 0;
    virtual void Cloud_AddDeviceRow(DEVICE_NET_INFO_EX* info, bool ipConflict, int flag) = 0;
    virtual void Cloud_AddCheckingDeviceRow(DEVICE_NET_INFO_EX* info, bool ipConflict, int flag) = 0;
    virtual void Cloud_CheckDevice(DEVICE_INFO* device) = 0;
    virtual void Cloud_SetStopCheckFlag(int flag) = 0;
    virtual int Cloud_GetStopCheckFlag() = 0;
    virtual int Cloud_IsChecking() = 0;
    virtual int Cloud_IsUpgrading() = 0;
    virtual int Cloud_IsDownloading() = 0;
    virtual int Cloud_IsStoppingUpgrade() = 0;
    virtual void Cloud_ClearVecTask() = 0;
    virtual void Cloud_ClearDownVecTask() = 0;

    // System configuration page.
    virtual void SysConfig_ClearDevices() = 0;
    virtual void SysConfig_AddDeviceToTree(DEVICE_NET_INFO_EX* info, bool ipConflict, int position) = 0;
    virtual bool SysConfig_MatchFilter(const char* type, int ipVersion, const char* ip) = 0;
    virtual void SysConfig_ExpandDeviceTree() = 0;
    virtual int SysConfig_IsConfiguring() = 0;

    // Template page and its export page.
    virtual void Template_ClearDevices() = 0;
    virtual bool Template_MatchTemplateType(DEVICE_NET_INFO_EX* info) = 0;
    virtual void Template_AddDeviceToTree(DEVICE_NET_INFO_EX* info, bool ipConflict, int position) = 0;
    virtual bool TemplateLoad_IsSupportedDevice(DEVICE_NET_INFO_EX* info) = 0;
    virtual void TemplateLoad_AddDeviceToTree(std::shared_ptr<DEVICE_INFO> device) = 0;
    virtual bool TemplateLoad_MatchFilter(const char* type, int ipVersion, const char* ip) = 0;
    virtual void TemplateLoad_ExpandDeviceTree() = 0;

    // Device configuration page.
    virtual void DevConfig_ClearDeviceTree() = 0;
    virtual void DevConfig_AddDeviceToTree(std::shared_ptr<DEVICE_INFO> device, bool ipConflict, int position) = 0;
    virtual void DevConfig_LogoutCurrentDevice() = 0;
    virtual int DevConfig_IsLoggingIn() = 0;

    // Tool bar and main window.
    virtual void ToolBar_SetFoundCount(int count) = 0;
    virtual void ToolBar_SetSearching(bool searching) = 0;
    virtual void MainFrame_OnModuleStopped(int module) = 0;
    // Queues a message box over the main window (UI message 1117); text and caption untranslated.
    virtual void MainFrame_PostMessageBox(const std::wstring& text, const std::wstring& caption) = 0;
    virtual int MainFrame_ShowManualAddDlg() = 0;
    virtual void MainFrame_ShowResultDetails(const char* device, const std::wstring& caption,
                                             const std::wstring& text) = 0;

    // Manual Add dialog.
    virtual bool ManualAdd_IsLoginPort(int port) = 0;
    virtual void ManualAdd_GetLoginAccount(std::string& user, std::string& password) = 0;

    // IP modification of the device page (its logic and dialog are made by the page's OnCreate).
    virtual std::shared_ptr<CModifyIPUILogic> CreateModifyIPUILogic(std::shared_ptr<CSearchDevEventImp> page) = 0;
    virtual std::shared_ptr<CModifyIPFileDlg> CreateModifyIPFileDlg(std::shared_ptr<CSearchDevEventImp> page) = 0;
    virtual int ModifyIP_IsModifying() = 0;
    virtual void ModifyIP_ClearDevices() = 0;
    virtual void ModifyIP_SetModifyParam(std::string ip, std::string mask, std::string gateway, int sameIp,
                                         int dhcp) = 0;
    virtual void ModifyIP_AddDevice(std::shared_ptr<DEVICE_INFO> device, int row) = 0;
    virtual void ModifyIP_StartModifyIP() = 0;
    // Opens the IP address dialog modally for `count` devices.
    virtual int ModifyIP_ShowDialog(int count, int single) = 0;

    // Device initialisation.
    virtual void DevInit_Reset() = 0;
    virtual void DevInit_AddUninitDevice(const DEVICE_NET_INFO_EX& info) = 0;
    virtual int DevInit_ShowWizard() = 0;

    // Translated modal message box (ShowMessageBox): 1 OK, 2 Cancel.
    virtual int ShowMessage(const wchar_t* text, const wchar_t* caption, void* parent, int type) = 0;
    // File chooser; false when cancelled.
    virtual bool ChooseFile(bool save, const wchar_t* filter, void* parent, std::wstring& path) = 0;
    // Opens an address in the browser.
    virtual void OpenUrl(const std::wstring& url) = 0;
};

// The program's peers: pages and dialogs reached through the main window.
std::shared_ptr<IDeviceListPeers> MakeMainFramePeers(std::weak_ptr<CMainFrameEventImp> mainFrame);
