// The small modal "Login" dialog in which the user enters another user name and password for the
// device the configuration page failed to log in to. On OK it hands the account to the view,
// which writes it into the selected device's record, and asks for a new login.
#pragma once

#include <memory>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFStatic.h"

class CCodeVideoCfgEventImp;

class CAcountDlg : public ISFDialogEvent,
                   public ISFEditCtrlEvent,
                   public ISFRadioBoxEvent,
                   public ISFButtonEvent,
                   public std::enable_shared_from_this<CAcountDlg> {
    SF_DECLARE_MESSAGE_MAP(CAcountDlg)

public:
    enum { ID_CLOSE = 502, ID_OK = 505, ID_USER = 1118, ID_PASSWORD = 1119 };

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
    CSFEditCtrl* UserEdit() const { return m_pUserEdit; }
    CSFEditCtrl* PasswordEdit() const { return m_pPasswordEdit; }
    const char* UserName() const { return m_szUser; }
    const char* Password() const { return m_szPassword; }

private:
    void CreateWindow();
    void CutEdit(CSFEditCtrl* edit, const wchar_t* text, size_t bytes);

    std::weak_ptr<CCodeVideoCfgEventImp> m_wpView;
    CSFDialog* m_pDialog = nullptr;
    CSFButton* m_pCloseBtn = nullptr;
    CSFButton* m_pOkBtn = nullptr;
    CSFStatic* m_pUserLabel = nullptr;
    CSFEditCtrl* m_pUserEdit = nullptr;
    CSFStatic* m_pPasswordLabel = nullptr;
    CSFEditCtrl* m_pPasswordEdit = nullptr;
    char m_szUser[32] = {};
    char m_szPassword[64] = {};
    bool m_bCutting = false;
};
