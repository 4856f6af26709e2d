// Password reset of one device by QR code: the device's description drawn as a QR code, the
// security code the maker's service sends back, and the new password. The security code is
// checked by the device before the dialog closes with OK.
#pragma once

#include <memory>
#include <string>

#include "SysConfig/SysConfigRecords.h"
#include "SysConfig/SysConfigUi.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFStatic.h"

class CSysConfigEventImp;

// Writes text as a QR code (level H, 4 x 4 pixels a module, no quiet zone) into a 24-bit
// top-down BMP at path; false when it cannot be encoded or written, or the QR code library
// cannot be loaded.
bool WriteQrBitmap(const std::string& text, const std::string& path);

class CFindPasswordDlg : public ISFDialogEvent,
                         public ISFEditCtrlEvent,
                         public ISFComboBoxEvent,
                         public ISFStaticEvent {
    SF_DECLARE_MESSAGE_MAP(CFindPasswordDlg)
public:
    explicit CFindPasswordDlg(std::weak_ptr<CSysConfigEventImp> owner);
    ~CFindPasswordDlg() override;
    static std::shared_ptr<CFindPasswordDlg> Create(std::weak_ptr<CSysConfigEventImp> owner);
    void Init();

    int Dlg_OnInitDialog(bool create) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void EDIT_OnTextChange(UINT id, wchar_t* text) override;
    void SelectChanged(int id, int index) override;
    void STATIC_OnMouseMove(UINT id, UINT flags, POINT point) override;

    CSFDialog* GetDialog() const { return m_pDialog; }
    void PrepareForDevice(bool ownBrand, bool byPhone);
    void EnableInputs(bool enable);
    void ShowWaitBox(bool show);
    bool IsSwitchToXml() const { return m_bSwitchToXml; }
    void GetResetParams(char newPassword[33], char securityCode[9]) const;
    void OnGetDescriptionRet(const PWD_DESCRIPTION& description, int result, DWORD error);
    void OnCheckSecurityCodeRet(int result);
    bool CheckInputs();
    void OnOK();
    void OnClose();

    // Controls, for the tests.
    CSFEditCtrl* CodeEdit() const { return m_pCodeEdit; }
    sysui::PasswordFields& Passwords() { return m_pwd; }
    CSFPictureCtrl* QrImage() const { return m_pQrImage; }
    CSFComboBox* ModeList() const { return m_pMode; }
    CSFStatic* MessageText() const { return m_pMessage; }
    bool IsQrShown() const { return m_bQrShown; }
    bool IsWaitBoxShown() const { return m_wait.IsShown(); }
    std::string QrPath() const;

private:
    void LayoutFor(bool ownBrand, bool byPhone);
    std::wstring MessageFor(bool withContact) const;

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CSysConfigEventImp> m_wpOwner;
    CSFButton* m_pClose = nullptr;
    CSFStatic* m_pModeLabel = nullptr;
    CSFComboBox* m_pMode = nullptr;
    CSFPictureCtrl* m_pTopRule = nullptr;
    CSFStatic *m_pInstruction1 = nullptr, *m_pInstruction2 = nullptr, *m_pMessage = nullptr, *m_pHint = nullptr;
    CSFPictureCtrl *m_pQrImage = nullptr, *m_pAppImage = nullptr, *m_pAccountImage = nullptr,
                   *m_pDivider = nullptr;
    CSFStatic *m_pCodeLabel = nullptr, *m_pNewLabel = nullptr, *m_pConfirmLabel = nullptr;
    CSFEditCtrl* m_pCodeEdit = nullptr;
    sysui::PasswordFields m_pwd;
    CSFStatic *m_pRule = nullptr, *m_pNote = nullptr;
    CSFButton* m_pOk = nullptr;
    sysui::WaitBox m_wait;
    char m_szSecurityCode[16] = {};
    char m_szNewPassword[33] = {};
    char m_szContact[64] = {};
    bool m_bSwitchToXml = false;
    bool m_bOwnBrand = false;
    bool m_bByPhone = false;
    bool m_bQrShown = false;
};
