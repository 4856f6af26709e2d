// Asks for the old password and a new one twice, checks them and hands them to its owner.
// Laid out for a batch of devices; the device configuration page uses it for one device.
#pragma once

#include <memory>

#include "SysConfig/SysConfigUi.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFStatic.h"

class CModifyPasswordDlg : public ISFDialogEvent, public ISFEditCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CModifyPasswordDlg)
public:
    explicit CModifyPasswordDlg(std::weak_ptr<ISFDialogEvent> owner);
    ~CModifyPasswordDlg() override;
    // owner: the page or dialog whose window parents this one (may be empty).
    static std::shared_ptr<CModifyPasswordDlg> Create(std::weak_ptr<ISFDialogEvent> owner, void* parent = nullptr);
    void Init(void* parent);

    int Dlg_OnInitDialog(bool create) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void EDIT_OnTextChange(UINT id, wchar_t* text) override;

    CSFDialog* GetDialog() const { return m_pDialog; }
    void ResetForSingleDevice();
    void GetPasswords(char newPassword[33], char oldPassword[64]) const;
    bool CheckPasswords();
    void OnOK();
    void OnClose();

    CSFEditCtrl* OldEdit() const { return m_pOldEdit; }
    sysui::PasswordFields& Passwords() { return m_pwd; }
    CSFStatic* CountValue() const { return m_pCountValue; }

private:
    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<ISFDialogEvent> m_wpOwner;
    CSFButton* m_pClose = nullptr;
    CSFStatic *m_pCountLabel = nullptr, *m_pCountValue = nullptr;
    CSFStatic *m_pOldLabel = nullptr, *m_pNewLabel = nullptr, *m_pConfirmLabel = nullptr;
    CSFEditCtrl* m_pOldEdit = nullptr;
    sysui::PasswordFields m_pwd;
    CSFStatic *m_pRule = nullptr, *m_pNote = nullptr;
    CSFButton* m_pOk = nullptr;
    char m_szOldPassword[64] = {};
    char m_szNewPassword[33] = {};
};
