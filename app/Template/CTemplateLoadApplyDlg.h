// The export dialog of the template export page: asks "Export template from <device>, continue?",
// then shows a three-step progress bar while the export runs, and a wait animation while a
// cancelled export winds down. Made once, hidden, and run modally by the page for each export.
// Enter and Escape do nothing: only OK and Cancel act.
#pragma once

#include <memory>
#include <string>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFStatic.h"

class CSFPictureEx;
class CSFProgressCtrl;
class CTemplateLoadEventImp;
struct DialogStyle;

class CTemplateLoadApplyDlg : public ISFDialogEvent, public ISFButtonEvent, public ISFStaticEvent {
    SF_DECLARE_MESSAGE_MAP(CTemplateLoadApplyDlg)
public:
    enum : int { ID_OK = 505, ID_CANCEL = 506 };

    explicit CTemplateLoadApplyDlg(std::weak_ptr<CTemplateLoadEventImp> page);
    ~CTemplateLoadApplyDlg() override;
    static std::shared_ptr<CTemplateLoadApplyDlg> Create(std::weak_ptr<CTemplateLoadEventImp> page);
    void Init(void* parent);
    static void FillDialogStyle(DialogStyle* style);

    CSFDialog* GetDialog() const { return m_pDialog; }
    void SetStepCount(int steps);
    void SetDeviceName(const std::string& device);
    void ResetForConfirm();
    void ShowConfirmText();
    void SetProgress(int step);
    void Layout();
    std::wstring GetMessageText() const;

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT, UINT) override {}
    void OnMacMenu(UINT) override {}
    virtual void OnReserved(int) {}

    void BTN_OnLButtonDown(int, UINT, POINT) override {}
    void BTN_OnLButtonUp(int, UINT, POINT) override {}
    void BTN_OnMouseMove(int, UINT, POINT) override {}
    void BTN_OnMouseLeave(int, UINT, LONG) override {}

    void OnStart();
    void OnCancelExport();

    // For the page and its tests.
    CSFButton* GetOkButton() const { return m_pOkBtn; }
    CSFButton* GetCancelButton() const { return m_pCancelBtn; }
    CSFProgressCtrl* GetProgress() const { return m_pProgress; }
    CSFPictureEx* GetWaitPicture() const { return m_pWait; }

private:
    void SetMessage(const wchar_t* first, const wchar_t* last);

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CTemplateLoadEventImp> m_wpPage;
    CSFStatic* m_pMessage = nullptr;
    CSFProgressCtrl* m_pProgress = nullptr;
    CSFButton* m_pOkBtn = nullptr;
    CSFButton* m_pCancelBtn = nullptr;
    CSFPictureEx* m_pWait = nullptr;
    int m_nStepCount = 0;
    std::string m_strDevice;
};
