// Read-only dialog with the search data of one device.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Common/DeviceInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFStatic.h"

class CSearchDevEventImp;

class CDetialsDlgEventImp : public ISFDialogEvent,
                            public ISFButtonEvent,
                            public std::enable_shared_from_this<CDetialsDlgEventImp> {
    SF_DECLARE_MESSAGE_MAP(CDetialsDlgEventImp)

public:
    enum { FIELD_COUNT = 9 };

    explicit CDetialsDlgEventImp(std::weak_ptr<CSearchDevEventImp> page);
    ~CDetialsDlgEventImp() override;

    int CreateDlg();
    CSFDialog* GetDialog() const { return m_pDialog; }
    void SetDeviceInfo(const DEVICE_NET_INFO_EX* info, uint32_t buildDate);
    // The nine values as SetDeviceInfo writes them (Type, Model, Port, MAC, Subnet, Gateway,
    // Serial No., Version, Build Date).
    static void FormatFields(const DEVICE_NET_INFO_EX& info, uint32_t buildDate, std::wstring out[FIELD_COUNT]);
    // Text of one value field as shown.
    std::wstring GetFieldText(int index) const;

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void OnMacMenu(UINT) override {}
    virtual void OnDetailsExtra() {}
    void BTN_OnLButtonDown(int, UINT, POINT) override {}
    void BTN_OnLButtonUp(int, UINT, POINT) override {}
    void BTN_OnMouseMove(int, UINT, POINT) override {}
    void BTN_OnMouseLeave(int, UINT, LONG) override {}

private:
    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CSearchDevEventImp> m_wpPage;
    CSFStatic* m_pLabels[FIELD_COUNT] = {};
    CSFEditCtrl* m_pValues[FIELD_COUNT] = {};
    CSFButton* m_pCloseBtn = nullptr;
};

std::shared_ptr<CDetialsDlgEventImp> CreateDetailsDlg(std::shared_ptr<CSearchDevEventImp> page);
