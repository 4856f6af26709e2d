// The process-wide notification window: a small tool window that collects time-stamped lines.
// "Auto hide" and "Top" switch between a normal tool window and one that stays on top; "Clear"
// empties the list. GUI thread only.
#pragma once

#include <memory>
#include <string>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"

class CSFListCtrl;
struct DialogStyle;

class CMessageNotifier : public ISFDialogEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(CMessageNotifier)

public:
    enum { ID_CLEAR = 1131, ID_AUTOHIDE = 1132, ID_TOP = 1133, ID_LIST = 1134 };

    CMessageNotifier();
    ~CMessageNotifier() override;
    static std::shared_ptr<CMessageNotifier> GetInstance();
    // Drops the notifier and its window; the entry function calls it before the application ends.
    static void ReleaseInstance();

    void Create();
    void Notify(const std::wstring& text, bool show);
    // The line Notify adds for that local time.
    static std::wstring FormatLine(int year, int month, int day, int hour, int minute, int second,
                                   const std::wstring& text);

    CSFDialog* GetDialog() const { return m_pDialog; }
    CSFListCtrl* GetList() const { return m_pList; }
    CSFButton* GetAutoHideButton() const { return m_pAutoHide; }
    CSFButton* GetTopButton() const { return m_pTop; }
    bool IsStayOnTop() const { return m_bStayOnTop; }
    int GetRowCount() const { return m_nRowCount; }

    int Dlg_OnInitDialog(bool create) override;
    void OnDlgTimer(UINT timerId) override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void BTN_OnClicked(int id) override;
    void OnClear();

private:
    CSFDialog* m_pDialog = nullptr;
    CSFListCtrl* m_pList = nullptr;
    CSFButton* m_pClear = nullptr;
    CSFButton* m_pAutoHide = nullptr;
    CSFButton* m_pTop = nullptr;
    std::shared_ptr<DialogStyle> m_pSkin;
    bool m_bStayOnTop = false;
    int m_nRowCount = 0;
};
