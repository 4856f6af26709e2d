// The small modal "Login" dialog in which the user enters another user name and password for the
// device the configuration page failed to log in to. On OK it hands the account to the view,
// which writes it into the selected device's record, and asks for a new login.
#pragma once

#include <memory>

#include "Widgets/AccountForm.h"

class CCodeVideoCfgEventImp;

class CAcountDlg : public ISFDialogEvent,
                   public ISFEditCtrlEvent,
                   public ISFRadioBoxEvent,
                   public ISFButtonEvent,
                   public std::enable_shared_from_this<CAcountDlg> {
    SF_DECLARE_MESSAGE_MAP(CAcountDlg)

public:
    enum {
        ID_CLOSE = AccountForm::ID_CLOSE,
        ID_OK = AccountForm::ID_OK,
        ID_USER = AccountForm::ID_USER,
        ID_PASSWORD = AccountForm::ID_PASSWORD
    };

    explicit CAcountDlg(std::weak_ptr<CCodeVideoCfgEventImp> view);
    ~CAcountDlg() override;
    static std::shared_ptr<CAcountDlg> Show(std::weak_ptr<CCodeVideoCfgEventImp> view);
    CSFDialog* GetDialog() const { return m_pDialog; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void OnMacMenu(UINT) override {}
    virtual void OnAccountExtra(int) {}
    void EDIT_OnTextChange(UINT id, wchar_t* text) override;
    void RADIO_OnClicked(int, int, POINT) override {}

    void OnClose();
    void OnOK();

    // Controls and the texts of the last OK (tests read them).
    CSFEditCtrl* UserEdit() const { return m_form.userEdit; }
    CSFEditCtrl* PasswordEdit() const { return m_form.passwordEdit; }
    const char* UserName() const { return m_szUser; }
    const char* Password() const { return m_szPassword; }

private:
    void CreateWindow();
    void CutEdit(CSFEditCtrl* edit, const wchar_t* text, size_t bytes);

    std::weak_ptr<CCodeVideoCfgEventImp> m_wpView;
    CSFDialog* m_pDialog = nullptr;
    AccountForm m_form;
    char m_szUser[32] = {};
    char m_szPassword[64] = {};
    bool m_bCutting = false;
};
