// The small modal "Login" dialog that asks for another account of a device whose update check
// was refused for its user name or password. On OK the page stores the account in the device's
// record and checks the device again with it.
#pragma once

#include <memory>

#include "Widgets/AccountForm.h"

class CCloudUpgradeEventImp;
struct DialogStyle;

class CCloudAcountDlg : public ISFDialogEvent, public ISFEditCtrlEvent, public ISFRadioBoxEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(CCloudAcountDlg)

public:
    enum {
        ID_CLOSE = AccountForm::ID_CLOSE,
        ID_OK = AccountForm::ID_OK,
        ID_USER = AccountForm::ID_USER,
        ID_PASSWORD = AccountForm::ID_PASSWORD
    };

    explicit CCloudAcountDlg(std::weak_ptr<CCloudUpgradeEventImp> page);
    ~CCloudAcountDlg() override;
    static std::shared_ptr<CCloudAcountDlg> Create(std::weak_ptr<CCloudUpgradeEventImp> page);
    static void FillAcountDlgSkin(DialogStyle& style);
    CSFDialog* GetDialog() const { return m_pDialog; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void OnMacMenu(UINT) override {}
    virtual void OnAccountExtra(int) {}

    void OnOK();
    void OnClose();

    CSFEditCtrl* UserEdit() const { return m_form.userEdit; }
    CSFEditCtrl* PasswordEdit() const { return m_form.passwordEdit; }
    const char* UserName() const { return m_szUser; }
    const char* Password() const { return m_szPassword; }

private:
    void CreateDialogWindow();

    std::weak_ptr<CCloudUpgradeEventImp> m_pPage;
    CSFDialog* m_pDialog = nullptr;
    AccountForm m_form;
    char m_szUser[32] = {};
    char m_szPassword[64] = {};
};
