// Idle stand-in of the IP address dialog until the network settings feature is built: a hidden
// dialog that shows its name and closes again; it modifies nothing.
#pragma once

#include <memory>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"

class CSearchDevEventImp;

class CModifyIPFileDlg : public ISFDialogEvent, public ISFButtonEvent {
public:
    explicit CModifyIPFileDlg(std::weak_ptr<CSearchDevEventImp> owner);
    ~CModifyIPFileDlg() override;
    static std::shared_ptr<CModifyIPFileDlg> Create(std::weak_ptr<CSearchDevEventImp> owner);

    CSFDialog* GetDialog() const { return m_pDialog; }
    void SetDeviceCount(int count) { m_nDeviceCount = count; }
    void SetSingleDeviceMode(int single) { m_bSingle = single; }

    int Dlg_OnInitDialog(bool create) override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;

private:
    std::weak_ptr<CSearchDevEventImp> m_wpOwner;
    CSFDialog* m_pDialog = nullptr;
    int m_nDeviceCount = 0;
    int m_bSingle = 0;
};
