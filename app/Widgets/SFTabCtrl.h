// Interfaces without an implementation: tab control, month calendar, control bar and
// window tab bar.
#pragma once

#include "Widgets/SFTypes.h"

struct ImageMonthCalStyle;

class ISFTabCtrlEvent {
public:
    virtual void TAB_OnSelChanging() = 0;
    virtual void TAB_OnSelChange() = 0;
    virtual void TAB_OnClick() = 0;
};

class CSFTabCtrl {
public:
    explicit CSFTabCtrl(ISFTabCtrlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFTabCtrl(const CSFTabCtrl&) = default;
    CSFTabCtrl& operator=(const CSFTabCtrl&) = default;
    virtual ~CSFTabCtrl() {}

    virtual int Create(DWORD, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetCurSel() const { return 0; }
    virtual DWORD GetExtendedStyle() { return 0; }
    virtual int GetItemCount() const { return 0; }
    virtual int SetCurSel(int) { return 0; }
    virtual DWORD SetExtendedStyle(DWORD, DWORD) { return 0; }
    virtual int DeleteAllItems() { return 0; }
    virtual int DeleteItem(int) { return 0; }
    virtual LONG InsertItem(int, const wchar_t*) { return 0; }

protected:
    ISFTabCtrlEvent* m_pSink;
};

class ISFMonthCalCtrlEvent {
public:
    virtual void MONTHCAL_DateSelected(UINT, _SF_SYSTEMTIME) {}
};

class CSFMonthCalCtrl {
public:
    explicit CSFMonthCalCtrl(ISFMonthCalCtrlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFMonthCalCtrl(const CSFMonthCalCtrl&) = default;
    CSFMonthCalCtrl& operator=(const CSFMonthCalCtrl&) = default;
    virtual ~CSFMonthCalCtrl() {}

    virtual int Create(DWORD, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageMonthCalStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void GetClientRect(RECT*) {}
    virtual int GetCurSel(_SF_SYSTEMTIME*) const { return 0; }
    virtual int GetToday(_SF_SYSTEMTIME*) const { return 0; }
    virtual int SetCurSel(_SF_SYSTEMTIME*) { return 0; }
    virtual void SetToday(_SF_SYSTEMTIME*) {}

protected:
    ISFMonthCalCtrlEvent* m_pSink;
};

class ISFControlBarEvent {
public:
    ISFControlBarEvent() : m_pUIWnd(nullptr) {}
    ISFControlBarEvent(const ISFControlBarEvent&) = default;
    ISFControlBarEvent& operator=(const ISFControlBarEvent&) = default;

    virtual void BAR_OnCreate() = 0;

    void* GetUIWnd() const { return m_pUIWnd; }
    void SFSetUIWnd(void* wnd) { m_pUIWnd = wnd; }

private:
    void* m_pUIWnd;
};

class CSFControlBar {
public:
    explicit CSFControlBar(ISFControlBarEvent* sink = nullptr) : m_pSink(sink) {}
    CSFControlBar(const CSFControlBar&) = default;
    CSFControlBar& operator=(const CSFControlBar&) = default;
    virtual ~CSFControlBar() {}

    virtual int Create(void* /*frame*/, UINT /*id*/, DWORD /*style*/, const wchar_t* /*title*/) { return 0; }

    void* GetUIWnd() const { return m_pSink ? m_pSink->GetUIWnd() : nullptr; }

protected:
    ISFControlBarEvent* m_pSink;
};

class ISFWndTabBarEvent {
public:
    ISFWndTabBarEvent() : m_pUIWnd(nullptr) {}
    void* GetUIWnd() const { return m_pUIWnd; }
    void SFSetUIWnd(void* wnd) { m_pUIWnd = wnd; }

private:
    void* m_pUIWnd;
};

class CSFWndTabBar {
public:
    explicit CSFWndTabBar(ISFWndTabBarEvent* sink = nullptr) : m_pSink(sink) {}
    CSFWndTabBar(const CSFWndTabBar&) = default;
    CSFWndTabBar& operator=(const CSFWndTabBar&) = default;
    virtual ~CSFWndTabBar() {}

    virtual int Create(void*, UINT) { return 0; }
    virtual void Add(void*) {}
    virtual void Remove(void*) {}

    void* GetUIWnd() const { return m_pSink ? m_pSink->GetUIWnd() : nullptr; }

protected:
    ISFWndTabBarEvent* m_pSink;
};
