// The search settings dialog: broadcast and/or address-range search, and the login that found
// devices are given.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Main/SearchRangeForm.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFIPAddressCtrl.h"
#include "Widgets/SFStatic.h"

class CMainFrameEventImp;
class IDeviceListPeers;

// Range check of the search settings: 0 accepted, 1 end before start, 2 more than 1000 addresses.
int CheckSearchRange(uint32_t start, uint32_t end);
// "%d.%d.%d.%d" of an address value, first part in the highest byte.
std::string IpValueToText(uint32_t value);

class CUserSearchSettingEventImp : public ISFDialogEvent,
                                   public ISFButtonEvent,
                                   public ISFEditCtrlEvent,
                                   public ISFCheckBoxEvent,
                                   public ISFIPAddressCtrlEvent,
                                   public std::enable_shared_from_this<CUserSearchSettingEventImp> {
    SF_DECLARE_MESSAGE_MAP(CUserSearchSettingEventImp)

public:
    explicit CUserSearchSettingEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CUserSearchSettingEventImp() override;

    // withWindow false leaves the window for a later CreateWindowDlg.
    static std::shared_ptr<CUserSearchSettingEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame,
                                                              bool withWindow = true);
    CSFDialog* GetDialog() const { return m_pDialog; }
    // Who the dialog talks to (set before CreateWindowDlg; Create sets the main window's).
    void SetPeers(std::shared_ptr<IDeviceListPeers> peers) { m_pPeers = peers; }
    // Makes the window once.
    void CreateWindowDlg();

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override;
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void OnMacMenu(UINT) override {}
    virtual void OnSettingExtra(int) {}

    void EDIT_OnTextChange(UINT id, wchar_t* text) override;
    void Check_OnCheckStateChanged(int checked, int id, POINT point) override;
    void EDIT_OnIPTextChange(UINT id, wchar_t* text, UINT field) override;
    void OnBtnOK();
    void RetranslateTitle();

    // Controls, for the tests.
    CSFCheckBox* GetBroadcastBox() const { return m_range.curNetBox; }
    CSFCheckBox* GetRangeBox() const { return m_range.otherNetBox; }
    CSFIPAddressCtrl* GetStartIpCtrl() const { return m_range.startIp; }
    CSFIPAddressCtrl* GetEndIpCtrl() const { return m_range.endIp; }
    CSFEditCtrl* GetUserEdit() const { return m_pUserEdit; }
    CSFEditCtrl* GetPasswordEdit() const { return m_pPasswordEdit; }
    CSFButton* GetOkButton() const { return m_range.okBtn; }

private:
    void FillNicList();
    void EnableRange(bool enable);

    std::shared_ptr<IDeviceListPeers> m_pPeers;
    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFStatic* m_pNicLabel = nullptr;
    CSFComboBox* m_pNicList = nullptr;
    SearchRangeForm m_range;
    CSFStatic* m_pUserLabel = nullptr;
    CSFEditCtrl* m_pUserEdit = nullptr;
    CSFStatic* m_pPasswordLabel = nullptr;
    CSFEditCtrl* m_pPasswordEdit = nullptr;
    char m_szUser[32] = {};
    char m_szPassword[64] = {};
};
