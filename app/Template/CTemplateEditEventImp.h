// The template manager: everything the user does to a template before applying it. Three screens:
// the start screen (open a template file, or begin a new one, blank or exported from a device), the
// editing screen (type buttons, name field, the editor page of the chosen type, Return, Save As,
// Using Template) and the export screen (the export page, Return, Export Template). The shell owns
// the four editor pages, the export page and the load and save-as file dialogs; it checks template
// names, writes the file through the page of the chosen type and hands a saved template to the
// apply panel. GUI thread only.
#pragma once

#include <memory>
#include <string>

#include "Template/TemplateExportOwners.h"
#include "Template/TemplateFileOwners.h"
#include "Template/TemplateInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFView.h"

class CTemplateEventImp;
class CTemplateLoadEventImp;
class CTemplatePageEventImp;
class CTemplateIPCEventImp;
class CTemplateDVREventImp;
class CTemplateSDEventImp;
class CTemplateNVREventImp;
class CTempletOptionDlg;

class CTemplateEditEventImp : public ISFViewEvent,
                              public ISFEditCtrlEvent,
                              public ISFRadioBoxEvent,
                              public ITemplateEditShell,
                              public ITemplateExportShell,
                              public std::enable_shared_from_this<CTemplateEditEventImp> {
    SF_DECLARE_MESSAGE_MAP(CTemplateEditEventImp)

public:
    enum : int {
        ID_OPEN = 1085,
        ID_NEW = 1086,
        ID_IPC = 1094,
        ID_NVR = 1095,
        ID_DVR = 1096,
        ID_SD = 1097,
        ID_OTHER = 1098,
        ID_SAVE_AS = 1099,
        ID_ACTION = 1100,
        ID_NAME = 1101,
        ID_RETURN = 1192,
    };
    enum EditMode : int { MODE_START = 0, MODE_EDIT = 1, MODE_EXPORT = 2 };
    // Characters a template name may hold.
    enum : int { kMaxNameLength = 128 };

    explicit CTemplateEditEventImp(std::weak_ptr<CTemplateEventImp> page);
    ~CTemplateEditEventImp() override;
    static std::shared_ptr<CTemplateEditEventImp> Create(std::weak_ptr<CTemplateEventImp> page);
    int Init();

    CSFView* GetView() const { return m_pView; }
    int GetEditMode() const { return m_nEditMode; }
    int SetEditMode(int mode) override { return m_nEditMode = mode, 0; }
    int AskSaveCurrent();
    int OpenTemplateFile(const char* path) override;
    int SaveToFile(const char* path) override;
    int UseTemplate();
    int SaveAs();
    int GetTemplateName(wchar_t* buffer, int capacity) override;
    int LoadExportedTemplate(int devClass, tagTEMPLATEINFO* info) override;
    void EndExport() override;
    std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() override;
    void ClearExportDevices();
    std::shared_ptr<CTemplateLoadEventImp> GetLoadPage() const { return m_pLoadPage; }
    std::shared_ptr<CTemplateEventImp> GetTemplatePage() const { return m_wpPage.lock(); }

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;
    void EDIT_OnTextChange(UINT id, wchar_t* text) override;
    void RADIO_OnClicked(int checked, int id, POINT pt) override;

    void OnNewTemplate();
    void OnOpenTemplate();
    void OnUseOrExport();
    void OnSaveAs() { SaveAs(); }
    void OnReturn() { AskSaveCurrent(); }

    // Children and controls, for the template page and for tests. A page is made the first time it
    // is asked for (each holds some hundred controls), starting with its new-template values.
    std::shared_ptr<CTemplatePageEventImp> GetPage(int typeButtonId) const;
    // The page if it has been made, else null.
    std::shared_ptr<CTemplatePageEventImp> ExistingPage(int typeButtonId) const;
    // The page of the set type button (SD, NVR, DVR, IPC tested in that order), or null.
    std::shared_ptr<CTemplatePageEventImp> GetCurrentPage() const;
    CSFRadioBox* GetTypeButton(int id) const;
    CSFButton* GetOpenButton() const { return m_pOpenBtn; }
    CSFButton* GetNewButton() const { return m_pNewBtn; }
    CSFButton* GetSaveAsButton() const { return m_pSaveAsBtn; }
    CSFButton* GetActionButton() const { return m_pActionBtn; }
    CSFButton* GetReturnButton() const { return m_pReturnBtn; }
    CSFEditCtrl* GetNameField() const { return m_pNameEdit; }
    std::shared_ptr<CTempletOptionDlg> GetLoadDialog() const { return m_pLoadDlg; }
    std::shared_ptr<CTempletOptionDlg> GetSaveDialog() const { return m_pSaveDlg; }

private:
    // The path of the name field's template in the application directory; false (the user has
    // been told why) when the name is empty or holds a character a file name cannot.
    bool BuildTemplatePath(std::string& path);
    void EnterEditMode();
    void EnterExportMode();
    void ShowEditControls(int show);
    void ShowPage(int typeButtonId);
    void HidePages();
    void* MessageParent() const { return GetUIWnd(); }

    std::weak_ptr<CTemplateEventImp> m_wpPage;
    CSFView* m_pView = nullptr;
    CSFButton* m_pOpenBtn = nullptr;
    CSFButton* m_pNewBtn = nullptr;
    CSFRadioBox* m_pIPCBtn = nullptr;
    CSFRadioBox* m_pNVRBtn = nullptr;
    CSFRadioBox* m_pDVRBtn = nullptr;
    CSFRadioBox* m_pSDBtn = nullptr;
    CSFRadioBox* m_pOtherBtn = nullptr;
    CSFStatic* m_pTypeLabel = nullptr;
    CSFStatic* m_pNameLabel = nullptr;
    CSFEditCtrl* m_pNameEdit = nullptr;
    CSFPictureCtrl* m_pUpperLine = nullptr;
    CSFPictureCtrl* m_pLowerLine = nullptr;
    CSFButton* m_pSaveAsBtn = nullptr;
    CSFButton* m_pActionBtn = nullptr;
    CSFButton* m_pReturnBtn = nullptr;
    int m_nEditMode = MODE_START;
    mutable std::shared_ptr<CTemplateIPCEventImp> m_pIPCPage;
    mutable std::shared_ptr<CTemplateDVREventImp> m_pDVRPage;
    mutable std::shared_ptr<CTemplateSDEventImp> m_pSDPage;
    mutable std::shared_ptr<CTemplateNVREventImp> m_pNVRPage;
    // Where the pages sit, once the shell has a size.
    RECT m_rcPage{0, 0, 0, 0};
    std::shared_ptr<CTempletOptionDlg> m_pLoadDlg;
    std::shared_ptr<CTempletOptionDlg> m_pSaveDlg;
    std::shared_ptr<CTemplateLoadEventImp> m_pLoadPage;
    // Set by SaveToFile while the save dialog runs: whether it wrote the file.
    int m_nSavedInDialog = 0;
};
