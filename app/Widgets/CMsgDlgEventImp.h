// The generic message box: a text, a caption and one of three button sets (0 OK, 1 OK and
// Cancel, 5 none). Results: 1 after OK or Return, 2 after Cancel, the close button or Escape.
#pragma once

#include <string>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"

class CSFStatic;
struct DialogStyle;

class CMsgDlgEventImp : public ISFDialogEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(CMsgDlgEventImp)
public:
    enum { ID_OK = 1, ID_CANCEL = 2, ID_CLOSE = 502 };

    CMsgDlgEventImp(const wchar_t* text, const wchar_t* caption, int type, void* extra);

    // The dialog that shows the box; set before the dialog's Create.
    void SetDialog(CSFDialog* dialog) { m_pDialog = dialog; }
    // Replaces the text; the box keeps its size.
    void SetText(const wchar_t* text);

    int Dlg_OnInitDialog(bool create) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void Dlg_Destroy() override;
    void BTN_OnLButtonDown(int id, UINT flags, POINT point) override;
    void BTN_OnLButtonUp(int id, UINT flags, POINT point) override;

    CSFStatic* TextControl() const { return m_pText; }
    CSFButton* OkButton() const { return m_pOk; }
    CSFButton* CancelButton() const { return m_pCancel; }
    CSFButton* CloseButton() const { return m_pClose; }

private:
    void OnClose();

    CSFDialog* m_pDialog = nullptr;
    CSFStatic* m_pText = nullptr;
    CSFButton* m_pOk = nullptr;
    CSFButton* m_pCancel = nullptr;
    CSFButton* m_pClose = nullptr;
    std::wstring m_strText;
    std::wstring m_strCaption;
    int m_nType;
    void* m_pExtra;
};

// Skin of the message box and of the notice (top pieces 27 and 30 pixels high).
void BuildMsgDlgSkin(DialogStyle& style);
void BuildNoticeDlgSkin(DialogStyle& style);
