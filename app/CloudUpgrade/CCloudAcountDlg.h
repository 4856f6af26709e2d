// The small modal "Login" dialog that asks for another account of a device whose update check
// was refused for its user name or password. On OK the page stores the account in the device's
// record and checks the device again with it.
#pragma once

#include <memory>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFStatic.h"

class CCloudUpgradeEventImp;
struct DialogStyle;

class CCloudAcountDlg : public ISFDialogEvent, public ISFEditCtrlEvent, public ISFRadioBoxEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(CCloudAcountDlg)

public:
    enum { ID_CLOSE = 502, ID_OK = 505, ID_USER = 1118, ID_PASSWORD = 1119 };

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

    CSFEditCtrl* UserEdit() const { return m_pUserEdit; }
    CSFEditCtrl* PasswordEdit() const { return m_pPasswordEdit; }
    const char* UserName() const { return m_szUser; }
    const char* Password() const { return m_szPassword; }

private:
    void CreateDialogWindow();

    std::weak_ptr<CCloudUpgradeEventImp> m_pPage;
    CSFDialog* m_pDialog = nullptr;
    CSFButton* m_pCloseBtn = nullptr;
    CSFButton* m_pOkBtn = nullptr;
    CSFStatic* m_pUserLabel = nullptr;
    CSFEditCtrl* m_pUserEdit = nullptr;
    CSFStatic* m_pPasswordLabel = nullptr;
    CSFEditCtrl* m_pPasswordEdit = nullptr;
    char m_szUser[32] = {};
    char m_szPassword[64] = {};
};
