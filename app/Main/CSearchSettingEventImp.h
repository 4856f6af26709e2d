// Short form of the search settings dialog: the search kinds and the address range only.
#pragma once

#include <memory>

#include "Main/SearchRangeForm.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFIPAddressCtrl.h"
#include "Widgets/SFStatic.h"

class CSearchDevEventImp;

class CSearchSettingEventImp : public ISFDialogEvent,
                               public ISFButtonEvent,
                               public ISFEditCtrlEvent,
                               public ISFCheckBoxEvent,
                               public std::enable_shared_from_this<CSearchSettingEventImp> {
    SF_DECLARE_MESSAGE_MAP(CSearchSettingEventImp)

public:
    explicit CSearchSettingEventImp(std::weak_ptr<CSearchDevEventImp> page);
    ~CSearchSettingEventImp() override;

    static std::shared_ptr<CSearchSettingEventImp> Create(std::weak_ptr<CSearchDevEventImp> page);
    CSFDialog* GetDialog() const { return m_pDialog; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override;
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void OnMacMenu(UINT) override {}
    virtual void OnSettingExtra(int) {}
    void Check_OnCheckStateChanged(int checked, int id, POINT point) override;
    void OnBtnOK();
    void RetranslateTitle();

    CSFCheckBox* GetBroadcastBox() const { return m_range.curNetBox; }
    CSFCheckBox* GetRangeBox() const { return m_range.otherNetBox; }
    CSFIPAddressCtrl* GetStartIpCtrl() const { return m_range.startIp; }
    CSFIPAddressCtrl* GetEndIpCtrl() const { return m_range.endIp; }

private:
    void Reset();

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CSearchDevEventImp> m_wpPage;
    SearchRangeForm m_range;
};
