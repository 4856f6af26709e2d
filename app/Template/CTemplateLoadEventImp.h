// The template export page: a device tree with a filter (CTemplateTreeEventImp), and the export
// of a template from the chosen device through a confirm/progress dialog (CTemplateLoadApplyDlg)
// and the worker on loop 3 (CTemplateLoadLogic). A finished export is handed to the editor shell,
// which opens it in the editor of the device's type; the page writes no file. GUI thread only: the
// worker's results arrive as tasks on loop 1 and do not keep the page alive.
#pragma once

#include <memory>
#include <string>

#include "Common/DeviceInfo.h"
#include "Template/TemplateInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"

class CTemplateLoadApplyDlg;
class CTemplateLoadLogic;
class CTemplateTreeEventImp;
class ITemplateExportShell;

class CTemplateLoadEventImp : public ISFViewEvent,
                              public ISFTreeCtrlEvent,
                              public ISFRadioBoxEvent,
                              public ISFStaticEvent,
                              public std::enable_shared_from_this<CTemplateLoadEventImp> {
public:
    enum : int { ID_VIEW = 108, kExportSteps = 3 };

    explicit CTemplateLoadEventImp(std::weak_ptr<ITemplateExportShell> shell);
    ~CTemplateLoadEventImp() override;
    static std::shared_ptr<CTemplateLoadEventImp> Create(std::weak_ptr<ITemplateExportShell> shell);
    void Init();

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;

    CSFView* GetView() const { return m_pView; }
    std::shared_ptr<CTemplateTreeEventImp> GetTreePanel() const { return m_pTreePanel; }
    std::shared_ptr<CTemplateLoadApplyDlg> GetApplyDlg() const { return m_pApplyDlg; }
    std::shared_ptr<CTemplateLoadLogic> GetLogic() const { return m_pLogic; }

    // Called by the device list.
    static bool IsSupportedDevice(DEVICE_NET_INFO_EX* info);
    void AddDeviceToTree(std::shared_ptr<DEVICE_INFO> device);
    void ExpandDeviceTree();
    bool MatchFilter(const char* type, int ipVersion, const char* ip);

    // Called by the editor shell.
    void StartExport();
    void ClearDevices();
    std::string GetFilterText() const { return m_strFilter; }

    // Called by the tree panel and the dialog.
    int IsExporting() const { return m_nExporting; }
    void ApplyFilter(std::string text);
    void Task_StartgetConfig();
    void CancelExport();

    // Results of the worker, in the order it posts them.
    void Task_Login_Ret(std::string ip, std::string mac, long loginId);
    void UpgradeProgress(int step);
    void SetExportedTemplate(std::shared_ptr<tagTEMPLATEINFO> info);
    // Why the export failed (an untranslated key).
    void SetExportFailure(const wchar_t* reason);
    void Task_StartConfig_Ret(std::string ip, std::string mac, int result);

private:
    void* ShellWindow() const;
    void Message(const wchar_t* text);

    CSFView* m_pView = nullptr;
    std::weak_ptr<ITemplateExportShell> m_wpShell;
    std::shared_ptr<CTemplateTreeEventImp> m_pTreePanel;
    std::shared_ptr<CTemplateLoadLogic> m_pLogic;
    std::shared_ptr<CTemplateLoadApplyDlg> m_pApplyDlg;
    std::string m_strFilter;
    int m_nExporting = 0;
    int m_nCancelled = 0;
    int m_nDevClass = 1;
    // The exported device, to match the worker's result against.
    std::string m_strExportIp;
    std::string m_strExportMac;
    std::shared_ptr<tagTEMPLATEINFO> m_pExported;
    const wchar_t* m_pExportFailure = nullptr;
};
