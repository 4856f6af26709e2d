// The batch upgrade dialog: how many devices are selected, the firmware file (chosen with Browse
// and checked), and OK, which hands the file to the upgrade page. Modeless, hidden between uses.
#pragma once

#include <memory>
#include <string>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFStatic.h"

class CUpgradeEventImp;

class CUpgradeFileDlg : public ISFDialogEvent, public ISFEditCtrlEvent, public ISFRadioBoxEvent {
    SF_DECLARE_MESSAGE_MAP(CUpgradeFileDlg)

public:
    explicit CUpgradeFileDlg(std::weak_ptr<CUpgradeEventImp> page);
    ~CUpgradeFileDlg() override;
    static std::shared_ptr<CUpgradeFileDlg> Create(std::weak_ptr<CUpgradeEventImp> page);
    void Init();

    CSFDialog* GetDialog() const { return m_pDialog; }
    void SetDeviceCount(int count);
    // The path box's text, and whether OK can be pressed.
    std::wstring GetPathText() const;
    bool IsOkEnabled() const { return m_bOkEnabled; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnCancel() override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;

    void OnBtnClose();
    void OnBtnOK();
    void OnBtnBrowse();

private:
    void EnableOk(bool enable);

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CUpgradeEventImp> m_wpPage;
    CSFButton* m_pCloseBtn = nullptr;
    CSFButton* m_pOkBtn = nullptr;
    CSFButton* m_pBrowseBtn = nullptr;
    CSFStatic* m_pCountLabel = nullptr;
    CSFStatic* m_pCountText = nullptr;
    CSFStatic* m_pPathLabel = nullptr;
    CSFEditCtrl* m_pPathEdit = nullptr;
    char m_szPath[260] = {};
    bool m_bOkEnabled = false;
};
