// The "IP Address Modify" dialog of the device page: a static plan (address, mask, gateway and,
// for a batch, "Same IP") or DHCP, checked on OK and handed to the page's StartModifyIP.
#pragma once

#include <memory>
#include <string>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFMsgMap.h"

class CSearchDevEventImp;
class CSFStatic;
class CSFIPAddressCtrl;

class CModifyIPFileDlg : public ISFDialogEvent, public ISFEditCtrlEvent, public ISFRadioBoxEvent {
    SF_DECLARE_MESSAGE_MAP(CModifyIPFileDlg)
public:
    enum { ID_CLOSE = 502, ID_OK = 505, ID_STATIC = 1129, ID_DHCP = 1130 };

    explicit CModifyIPFileDlg(std::weak_ptr<CSearchDevEventImp> owner);
    ~CModifyIPFileDlg() override;
    static std::shared_ptr<CModifyIPFileDlg> Create(std::weak_ptr<CSearchDevEventImp> owner);

    CSFDialog* GetDialog() const { return m_pDialog; }
    void SetDeviceCount(int count);
    void SetSingleDeviceMode(int single);

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnCancel() override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void RADIO_OnClicked(int checked, int id, POINT point) override;

    void OnBtnClose();
    void OnBtnOK();

    // Controls, for tests that drive the dialog as a user does.
    CSFRadioBox* GetStaticRadio() const { return m_pStaticRadio; }
    CSFRadioBox* GetDhcpRadio() const { return m_pDhcpRadio; }
    CSFRadioBox* GetSameIpBox() const { return m_pSameIp; }
    CSFIPAddressCtrl* GetAddressField() const { return m_pAddress; }
    CSFIPAddressCtrl* GetMaskField() const { return m_pMask; }
    CSFIPAddressCtrl* GetGatewayField() const { return m_pGateway; }
    CSFStatic* GetAddressLabel() const { return m_pAddressLabel; }
    CSFStatic* GetCountValue() const { return m_pCountValue; }

private:
    void EnableAddressControls(int enable);
    void ShowError(const std::wstring& text);

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CSearchDevEventImp> m_wpOwner;
    CSFStatic* m_pModeLabel = nullptr;
    CSFRadioBox* m_pStaticRadio = nullptr;
    CSFRadioBox* m_pDhcpRadio = nullptr;
    CSFButton* m_pCloseBtn = nullptr;
    CSFButton* m_pOkBtn = nullptr;
    CSFStatic* m_pCountCaption = nullptr;
    CSFStatic* m_pCountValue = nullptr;
    CSFStatic* m_pAddressLabel = nullptr;
    CSFIPAddressCtrl* m_pAddress = nullptr;
    CSFStatic* m_pMaskLabel = nullptr;
    CSFIPAddressCtrl* m_pMask = nullptr;
    CSFStatic* m_pGatewayLabel = nullptr;
    CSFIPAddressCtrl* m_pGateway = nullptr;
    CSFRadioBox* m_pSameIp = nullptr;
    char m_szAddress[64] = {};
    char m_szMask[64] = {};
    char m_szGateway[64] = {};
    int m_bSameIp = 0;
    int m_nDeviceCount = 0;
};
