// The template page's application mode: the chosen template on the left (type and summary), the
// devices that fit it on the right in a tree grouped by class, each with a check box, and a bar
// with the count of ticked devices, Return and OK. OK hands the ticked devices and the template
// to the application control and runs the progress dialog; each finished device gets a result
// icon, and a double click on it opens its result dialog. GUI thread only.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "Common/DeviceInfo.h"
#include "Template/TemplateApplyOwner.h"
#include "Template/TemplateFileOwners.h"
#include "Template/TemplateUsingHost.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"

class CTemplateApplyResultDlg;
class CTemplateInfoEventImp;
class CTempletOptionDlg;

class CTemplateUsingEventImp : public ISFViewEvent,
                               public ISFTreeCtrlEvent,
                               public ITemplateApplyPanel,
                               public ITemplateApplyRun,
                               public std::enable_shared_from_this<CTemplateUsingEventImp> {
    SF_DECLARE_MESSAGE_MAP(CTemplateUsingEventImp)

public:
    enum : int { ID_TREE = 1087, ID_OTHER = 1088, ID_OK = 1089, ID_RETURN = 1192, ID_VIEW = 114 };
    enum : int { kDevicePageKind = 4 };  // the device list's page kind of this panel's tree

    explicit CTemplateUsingEventImp(std::weak_ptr<ITemplateUsingHost> owner);
    ~CTemplateUsingEventImp() override;
    static std::shared_ptr<CTemplateUsingEventImp> Create(std::weak_ptr<ITemplateUsingHost> owner);
    void Init();

    CSFView* GetView() const { return m_pView; }
    void ClearDevices();
    bool MatchTemplateType(const DEVICE_NET_INFO_EX* record) const;
    void AddDeviceToTree(const std::wstring& group, const std::string& ip, int position);
    void ResetResults();
    void OnBtnOK();
    void OnBtnReturn();
    void OnBtnOtherTemplate();
    void ShowDeviceResult(void* item);

    // ITemplateApplyPanel
    bool LoadTemplate(const char* path) override;
    void ShowTemplateInfo(const char* path) override;
    void SetTemplateMode(int mode) override { m_nTemplateMode = mode; }
    void SetTemplatePath(const char* path) override { m_strTemplatePath = path ? path : ""; }

    // ITemplateApplyRun
    void SetResultIcon(int treeItem, TEMPLATE_RESULT_SET flags) override;
    void OnConfigFinish() override {}
    std::shared_ptr<CTemplateApplyDlg> GetApplyDlg() override { return m_pApplyDlg; }
    std::shared_ptr<CTemplateConfigUILogic> GetConfigUILogic() override { return m_pControl; }

    std::shared_ptr<CTemplateApplyResultDlg> GetResultDlg() const { return m_pResultDlg; }
    std::shared_ptr<CTempletOptionDlg> GetFileDlg() const { return m_pFileDlg; }
    CSFTreeCtrl* GetTree() const { return m_pTree; }
    std::wstring GetCountText() const;
    std::wstring GetTypeText() const;
    int GetTemplateType() const { return m_nTemplateType; }
    int GetTemplateModeValue() const { return m_nTemplateMode; }
    const std::string& GetTemplatePath() const { return m_strTemplatePath; }
    int GetCheckedCount() const;

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT flags, int width, int height) override;
    void OnItemDbClick(void* item, POINT& point) override;
    void OnItemCheckStateChanged(void* item, int state) override;

private:
    void ShowCheckedCount(int count);
    void ShowPanelMessage(const wchar_t* panelMessage);
    template <class F> void ForEachDeviceRow(F f) const;
    // The control names devices by an int: each device row gets one, valid until the rows go.
    int KeyOf(void* item);
    void* ItemOf(int key) const;

    CSFView* m_pView = nullptr;
    std::weak_ptr<ITemplateUsingHost> m_wpOwner;
    std::shared_ptr<CTemplateInfoEventImp> m_pInfoPage;
    CSFPictureCtrl* m_pTitlePic = nullptr;
    CSFStatic* m_pCountLabel = nullptr;
    CSFStatic* m_pTypeLabel = nullptr;
    CSFStatic* m_pHeaderLabel = nullptr;
    CSFPictureCtrl* m_pArrowPic = nullptr;
    CSFButton* m_pOkBtn = nullptr;
    CSFButton* m_pReturnBtn = nullptr;
    CSFButton* m_pOtherBtn = nullptr;
    CSFTreeCtrl* m_pTree = nullptr;
    CSFView* m_pTreeFrame = nullptr;
    std::string m_strTemplatePath;
    int m_nTemplateMode = 0;
    int m_nTemplateType = 1;
    std::shared_ptr<CTemplateConfigUILogic> m_pControl;
    std::shared_ptr<CTemplateApplyDlg> m_pApplyDlg;
    std::shared_ptr<CTemplateApplyResultDlg> m_pResultDlg;
    std::shared_ptr<CTempletOptionDlg> m_pFileDlg;
    std::map<int, void*> m_rowOfKey;
    std::map<void*, int> m_keyOfRow;
    int m_nNextKey = 1;
};
