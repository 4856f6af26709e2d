// Second page of the initialisation wizard: user name (fixed "admin"), the new password twice
// with a strength meter, the reset contact (phone or e-mail) and, where offered, P or N.
// "Next" checks the input in a fixed order and fills the account record of the jobs.
#pragma once

#include <memory>

#include "Common/DeviceInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFMsgMap.h"

class CDevInitUILogic;
class CSFStatic;
class CSFPictureCtrl;

class CInitDevEventImp : public ISFDialogEvent,
                         public ISFButtonEvent,
                         public ISFEditCtrlEvent,
                         public ISFCheckBoxEvent,
                         public ISFRadioBoxEvent,
                         public ISFComboBoxEvent {
    SF_DECLARE_MESSAGE_MAP(CInitDevEventImp)
public:
    enum { ID_CLOSE = 2, ID_NEXT = 505, ID_USER = 1118, ID_PASSWORD = 1119, ID_CONFIRM = 1152, ID_CONTACT_ON = 1166,
           ID_CONTACT = 1118, ID_STANDARD = 1210 };

    explicit CInitDevEventImp(std::weak_ptr<CDevInitUILogic> coordinator);
    ~CInitDevEventImp() override;
    static std::shared_ptr<CInitDevEventImp> Create(std::shared_ptr<CDevInitUILogic> coordinator);
    int BuildDialog();

    CSFDialog* GetDialog() const { return m_pDialog; }
    void ResetInputs();
    void SetDeviceCount(int count);
    void SetResetMode(BYTE flags, int pnOffer);
    void GetVideoStandard(int& offered, int& standard);
    NET_IN_INIT_DEVICE_ACCOUNT& GetAccountRecord() { return m_stAccount; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void EDIT_OnTextChange(UINT id, wchar_t* text) override;
    void Check_OnCheckStateChanged(int checked, int id, POINT point) override;
    void OnBtnNext();

    // Controls, for tests that type as a user does.
    CSFEditCtrl* GetPasswordEdit() const { return m_pPassword; }
    CSFEditCtrl* GetConfirmEdit() const { return m_pConfirm; }
    CSFEditCtrl* GetContactEdit() const { return m_pContact; }
    CSFCheckBox* GetContactCheck() const { return m_pContactOn; }
    CSFComboBox* GetStandardCombo() const { return m_pStandard; }
    CSFStatic* GetContactLabel() const { return m_pContactKind; }
    CSFStatic* GetPasswordMarker() const { return m_pPasswordError; }
    CSFStatic* GetConfirmMarker() const { return m_pConfirmError; }
    // 0 none, 1 weak, 2 middle, 3 strong: the highlighted strength label.
    int GetShownStrength() const { return m_nShownStrength; }
    bool IsPhoneMode() const { return m_bPhoneMode; }

private:
    void ShowStrength(int level);
    bool Refuse(const wchar_t* key);

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CDevInitUILogic> m_wpCoordinator;
    CSFButton* m_pCloseBtn = nullptr;
    CSFButton* m_pNextBtn = nullptr;
    CSFStatic* m_pCount = nullptr;
    CSFEditCtrl* m_pUser = nullptr;
    CSFEditCtrl* m_pPassword = nullptr;
    CSFStatic* m_pPasswordError = nullptr;
    CSFStatic* m_pStrength[3] = {};
    CSFEditCtrl* m_pConfirm = nullptr;
    CSFStatic* m_pConfirmError = nullptr;
    CSFStatic* m_pContactKind = nullptr;
    CSFCheckBox* m_pContactOn = nullptr;
    CSFEditCtrl* m_pContact = nullptr;
    CSFStatic* m_pStandardLabel = nullptr;
    CSFComboBox* m_pStandard = nullptr;
    void EnableContact(bool enable);
    bool m_bContactEnabled = true;
    bool m_bPhoneMode = false;
    int m_nPNOffered = 0;
    int m_nShownStrength = 0;
    NET_IN_INIT_DEVICE_ACCOUNT m_stAccount{};
};
