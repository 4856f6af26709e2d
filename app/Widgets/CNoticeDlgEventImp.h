// The notice: a text with a "Never notify" check box and OK and Cancel. Results: 1 after OK
// or Return, 2 after Cancel, the close button or Escape. The owner decides what the tick
// means and saves it.
#pragma once

#include <memory>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"

class CSFStatic;

class CNoticeDlgEventImp : public ISFDialogEvent, public ISFButtonEvent, public ISFRadioBoxEvent {
    SF_DECLARE_MESSAGE_MAP(CNoticeDlgEventImp)
public:
    // Makes the notice with its hidden dialog, a child of the owner's window.
    static std::shared_ptr<CNoticeDlgEventImp> Create(std::weak_ptr<ISFDialogEvent> owner);
    explicit CNoticeDlgEventImp(std::weak_ptr<ISFDialogEvent> owner);
    ~CNoticeDlgEventImp() override;

    CSFDialog* GetDialog() const { return m_pDialog; }
    void SetText(const wchar_t* text);
    // Non-zero when "Never notify" is ticked.
    int IsNeverNotify() const;

    int Dlg_OnInitDialog(bool create) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;

    CSFRadioBox* NeverNotifyBox() const { return m_pNeverNotify; }
    CSFStatic* TextControl() const { return m_pText; }

private:
    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<ISFDialogEvent> m_owner;
    CSFButton* m_pClose = nullptr;
    CSFButton* m_pOk = nullptr;
    CSFButton* m_pCancel = nullptr;
    CSFStatic* m_pText = nullptr;
    CSFRadioBox* m_pNeverNotify = nullptr;
};
