// The apply progress dialog: asks to confirm an apply run, shows its progress and lets the user
// cancel it. Made once, hidden, by the apply panel and reused for every run: the panel sets the
// device count and template path, resets it and runs it modally; OK starts the run on the
// application control, Cancel stops it; the control moves the bar and closes the dialog when the
// last started device has finished. GUI thread only.
#pragma once

#include <memory>
#include <string>

#include "Template/TemplateApplyOwner.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFPictureEx.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFStatic.h"

class CTemplateApplyDlg : public ISFDialogEvent, public ISFButtonEvent, public ISFStaticEvent {
    SF_DECLARE_MESSAGE_MAP(CTemplateApplyDlg)

public:
    enum : int { ID_OK = 505, ID_CANCEL = 506 };

    explicit CTemplateApplyDlg(std::weak_ptr<ITemplateApplyRun> owner);
    ~CTemplateApplyDlg() override;
    static std::shared_ptr<CTemplateApplyDlg> Create(std::weak_ptr<ITemplateApplyRun> owner);
    int CreateDialogWindow();

    CSFDialog* GetDialog() const { return m_pDialog; }
    void SetDeviceCount(int count);
    void SetTemplateName(std::string path);
    void ResetState();
    void SetProgress(int pos);

    void OnBtnOK();
    void OnBtnCancel();

    // Read by tests and the panel.
    std::wstring GetText() const;
    CSFProgressCtrl* GetProgress() const { return m_pProgress; }
    CSFButton* GetOkButton() const { return m_pOk; }
    CSFButton* GetCancelButton() const { return m_pCancel; }
    CSFPictureEx* GetWaitAnimation() const { return m_pWait; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT, UINT) override {}  // Escape and Enter change nothing
    void OnMacMenu(UINT) override {}
    virtual void OnReserved(int) {}

    void BTN_OnLButtonDown(int, UINT, POINT) override {}
    void BTN_OnLButtonUp(int, UINT, POINT) override {}
    void BTN_OnMouseMove(int, UINT, POINT) override {}
    void BTN_OnMouseLeave(int, UINT, LONG) override {}

private:
    void UpdateConfirmText();
    void SetText(const std::wstring& text);
    void Layout();
    std::wstring PathText() const;
    std::shared_ptr<CTemplateConfigUILogic> Control() const;

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<ITemplateApplyRun> m_wpOwner;
    CSFStatic* m_pText = nullptr;
    CSFProgressCtrl* m_pProgress = nullptr;
    CSFButton* m_pOk = nullptr;
    CSFButton* m_pCancel = nullptr;
    CSFPictureEx* m_pWait = nullptr;
    int m_nDeviceCount = 0;
    std::string m_strTemplatePath;
};
