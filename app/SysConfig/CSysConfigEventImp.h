// The system configuration page: the device tree on the left, the tab page on the right, the
// batch scheduler, and the two password-reset dialogs (QR code and files). The device list
// files every found device here; every action of the tab page comes back to StartSysConfig.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Common/DeviceInfo.h"
#include "SysConfig/ISysConfigView.h"
#include "Widgets/SFView.h"

class CConfigUILogic;
class CFindPasswordDlg;
class CFindPasswordXmlDlg;
class CMainFrameEventImp;
class CSFTimer;
class CSysTabEventImp;
class CSysTreeEventImp;

class CSysConfigEventImp : public ISFViewEvent,
                           public ISysConfigView,
                           public std::enable_shared_from_this<CSysConfigEventImp> {
public:
    typedef std::map<std::string, std::vector<std::string>> CodeMap;
    typedef std::vector<std::shared_ptr<DEVICE_INFO>> DeviceVector;

    explicit CSysConfigEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CSysConfigEventImp() override;
    static std::shared_ptr<CSysConfigEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    void Init(void* parent);

    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;

    CSFView* GetView() const { return m_pView; }
    int IsConfiguring() const;
    void EnablePcTimeRefresh(bool enable);
    bool IsPcTimeRefreshOn() const { return m_bPcTimeOn; }

    // Devices handed out by the device list.
    bool MatchFilter(const char* type, int ipVersion, const char* ip);
    void ClearDevices();
    void AddDeviceToTree(DEVICE_NET_INFO_EX* info, bool ipConflict, int index);
    void ExpandDeviceTree();
    void SetFilterText(std::string text);
    const std::string& GetFilterText() const { return m_strFilter; }

    void ShowDeviceResult(void* item, const wchar_t* rowText);
    void StartSysConfig(int kind, bool fileMode);
    void CheckSecurityCode(std::string code);
    void StartGetDescriptions();

    std::shared_ptr<CSysTreeEventImp> GetTreePage() const { return m_spTree; }
    std::shared_ptr<CSysTabEventImp> GetTabPage() const { return m_spTab; }
    std::shared_ptr<CConfigUILogic> GetConfigUILogic() const { return m_spLogic; }
    std::shared_ptr<CFindPasswordDlg> GetFindPasswordDlg() const { return m_spQrDlg; }
    std::shared_ptr<CFindPasswordXmlDlg> GetFindPasswordXmlDlg() const { return m_spXmlDlg; }
    std::shared_ptr<CMainFrameEventImp> GetMainFrame() const { return m_wpMainFrame.lock(); }

    // Reset request and authorisation file.
    int ExportResetRequest(std::vector<std::string> descriptions);
    void GetLocalAddress(char* ip, char* mac);
    bool ImportAuthorizationFile(CodeMap* codes, std::string* create);
    bool MatchDevicesBySerialNumber(const CodeMap& codes);

    // ISysConfigView
    void SetResultIcon(int treeItem, int code) override;
    void OnGetDescriptionRet(const PWD_DESCRIPTION& description, int result, DWORD error) override;
    void OnCheckSecurityCodeRet(int result) override;
    void OnGetPwdDescriptionResult(std::vector<std::string> descriptions) override;

    int GetLastKind() const { return m_nLastKind; }
    int GetDeviceCount() const { return m_nDeviceCount; }
    bool IsOwnBrand() const { return m_bOwnBrand; }
    bool IsByPhone() const { return m_bByPhone; }
    const std::string& GetRequestPath() const { return m_strRequestPath; }
    const std::string& GetPublicKeyPath() const { return m_strPublicKeyPath; }

    // The devices of the device list (tests supply their own list).
    std::function<DeviceVector()> DeviceSource;
    // The re-filter of the device list for this page; 0 while the list is busy.
    std::function<int()> RequestFilter;

    static constexpr int kMaxResetDevices = 256;
    // Marks the page busy by hand (shell tests of the busy guards); a run sets nothing here.
    int m_bConfiguring = 0;

private:
    static void OnPcTimeTimer(int timerId, void* userData);
    std::shared_ptr<DEVICE_INFO> DeviceAt(int index) const;
    void SetBrandFlags(const DEVICE_INFO& device);
    // Checked device rows into the scheduler; the number of them.
    int CollectCheckedDevices();
    void AddToScheduler(const DEVICE_INFO& device, void* row);
    // The reset dialogs of a run by security code or by files; false when the user ended it.
    bool RunResetDialogs(int count);
    bool RunFileDialog(bool importStep, int count);
    void Message(const wchar_t* text);
    // Tree rows handed to the scheduler are numbered here: the scheduler keeps an int, and a
    // row deleted with the tree is never reached through a stale number.
    int RowId(void* row);
    void* RowOf(int id) const;
    void ForgetRows() { m_vecRows.clear(); }

    CSFView* m_pView = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    std::shared_ptr<CSysTreeEventImp> m_spTree;
    std::shared_ptr<CSysTabEventImp> m_spTab;
    std::shared_ptr<CConfigUILogic> m_spLogic;
    std::shared_ptr<CFindPasswordXmlDlg> m_spXmlDlg;
    std::shared_ptr<CFindPasswordDlg> m_spQrDlg;
    std::unique_ptr<CSFTimer> m_spPcTimer;
    bool m_bPcTimeOn = false;
    int m_nLastKind = 0;
    std::string m_strFilter;
    int m_nDeviceCount = 0;
    bool m_bByPhone = false;
    bool m_bOwnBrand = false;
    std::string m_strRequestPath;
    std::string m_strPublicKeyPath;
    std::vector<void*> m_vecRows;
};
