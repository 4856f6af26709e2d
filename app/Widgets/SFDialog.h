// Dialog sink and facade: a page that is a top-level dialog or the main window.
#pragma once

#include "Widgets/SFEventBase.h"

struct DialogStyle;

class ISFDialogEvent : public CSFEventBase {
public:
    ISFDialogEvent() : m_pUIWnd(nullptr) {}
    ISFDialogEvent(const ISFDialogEvent& other) = default;
    ISFDialogEvent& operator=(const ISFDialogEvent& other) = default;
    ~ISFDialogEvent() override {}

    const SF_MSGMAP* GetSFMessageMap() const override { return nullptr; }
    int* GetThisMessageIDs() override { return nullptr; }
    virtual int Dlg_OnInitDialog(bool create) = 0;
    virtual void Dlg_OnOK() {}
    virtual void Dlg_OnCancel() {}
    virtual void OnDlgSize(UINT /*type*/, int& /*width*/, int& /*height*/) {}
    // Answer 1 to keep the window open.
    virtual int Dlg_Close() { return 0; }
    virtual void Dlg_Destroy() {}
    virtual void OnDlgNcActivate(int /*focused*/) {}
    virtual void OnDlgFileDrop(const wchar_t* /*path*/) {}
    virtual void OnDlgMouseLeave() {}
    virtual void OnDlgMouseHover() {}
    virtual void OnDlgShowWindow(int /*show*/, UINT /*status*/) {}
    virtual void OnDlgTimer(UINT /*timerId*/) {}
    virtual void OnDlgKeyDown(UINT /*modifierKey*/, UINT /*virtualKey*/) {}
    virtual void OnDlgKeyUp(UINT /*modifierKey*/, UINT /*virtualKey*/) {}
    virtual void OnMsgScreenLock(int /*locked*/) {}
    virtual void OnMacMenu(UINT /*commandId*/) {}
    virtual void SendUSBMessge(int) {}
    virtual void SendTimerMessge() {}

    void* GetUIWnd() const { return m_pUIWnd; }
    // Set by the dialog implementation to its own widget.
    void SFSetUIWnd(void* wnd) { m_pUIWnd = wnd; }

private:
    void* m_pUIWnd;
};

class CSFDialog {
public:
    CSFDialog() : m_pSink(nullptr) {}
    explicit CSFDialog(ISFDialogEvent* sink) : m_pSink(sink)
    {
        if (sink)
            sink->SFResetMessageIDs();
    }
    CSFDialog(const CSFDialog& other) = default;
    CSFDialog& operator=(const CSFDialog& other) = default;
    virtual ~CSFDialog() {}

    virtual int* GetThisMessageIDs() { return m_pSink ? m_pSink->GetThisMessageIDs() : nullptr; }
    virtual int CreateDlg(void*) { return 0; }
    virtual int DoModalDlg() { return -1; }
    virtual int Create(const wchar_t* /*title*/, void* /*parent*/) { return 0; }
    virtual void ShowWindow(int /*show*/) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int /*x*/, int /*y*/, int /*width*/, int /*height*/) {}
    virtual void MFCOK() {}
    virtual void MFCCancel() {}
    virtual void CenterWindow(void**) {}
    virtual void SetSkin(DialogStyle*) {}
    virtual void Screen2Client(POINT*) {}
    virtual void Screen2Client(RECT*) {}
    virtual void GetDlgClientRect(RECT*) {}
    virtual void GetDlgWindowRect(RECT*) {}
    virtual void SendDlgMessage(UINT /*message*/, UINT /*wParam*/, LONG /*lParam*/) {}
    virtual int IsDlgZoomed() { return 0; }
    virtual void SetDrawBackGround(int) {}
    virtual int DlgIsWindow() { return 0; }
    virtual int SetDlgWindowPos(void* /*insertAfter*/, int, int, int, int, UINT /*flags*/) { return 0; }
    virtual int ModifyDlgStyleEx(DWORD /*remove*/, DWORD /*add*/, UINT /*flags*/) { return 0; }
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual void SetDlgIcon(UINT /*resourceId*/) {}
    virtual void SetDlgIcon(const wchar_t* /*iconFile*/) {}
    virtual int IsDlgVisible() { return 0; }
    virtual void EnableNcLBtnDown(int) {}
    virtual UINT SetDlgTimer(UINT /*timerId*/, UINT /*milliseconds*/) { return 0; }
    virtual int KillDlgTimer(UINT /*timerId*/) { return 0; }
    virtual void SetSizeRoundCorner(const wchar_t*) {}
    virtual void MacShowFullScreen(bool) {}
    virtual void MacShowMinimize(bool) {}
    virtual void MacShowMaximize(bool) {}
    virtual int HasFocus() { return 0; }
    virtual void SetFocus() {}
    virtual int IsActiveWindow() { return 0; }
    virtual void ActiveWindow() {}
    virtual void AddMenuMac(const wchar_t* /*title*/, int /*menuId*/) {}
    virtual void AddMenuAction(const wchar_t* /*text*/, int /*menuId*/, int /*commandId*/) {}

    void* GetUIWnd() const { return m_pSink ? m_pSink->GetUIWnd() : nullptr; }

protected:
    ISFDialogEvent* m_pSink;
};
