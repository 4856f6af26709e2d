// Frame and child window interfaces (no page of the system uses them).
#pragma once

#include "Widgets/SFTypes.h"

struct DialogStyle;

class ISFChildWndEvent {
public:
    ISFChildWndEvent() : m_pUIWnd(nullptr) {}
    ISFChildWndEvent(const ISFChildWndEvent&) = default;
    ISFChildWndEvent& operator=(const ISFChildWndEvent&) = default;

    virtual void Dlg_OnCommand(UINT /*id*/) {}
    virtual int OnCreate() { return 0; }
    virtual void OnDestroy() {}

    void* GetUIWnd() const { return m_pUIWnd; }
    void SFSetUIWnd(void* wnd) { m_pUIWnd = wnd; }

private:
    void* m_pUIWnd;
};

class CSFChildWnd {
public:
    explicit CSFChildWnd(ISFChildWndEvent* sink = nullptr) : m_pSink(sink) {}
    CSFChildWnd(const CSFChildWnd&) = default;
    CSFChildWnd& operator=(const CSFChildWnd&) = default;
    virtual ~CSFChildWnd() {}

    virtual int Create(UINT /*id*/, const char* /*name*/, int /*show*/) { return 0; }
    virtual void ShowWindow(int) {}

    void* GetUIWnd() const { return m_pSink ? m_pSink->GetUIWnd() : nullptr; }

protected:
    ISFChildWndEvent* m_pSink;
};

class ISFFrameEvent {
public:
    ISFFrameEvent() : m_pUIWnd(nullptr) {}
    ISFFrameEvent(const ISFFrameEvent&) = default;
    ISFFrameEvent& operator=(const ISFFrameEvent&) = default;

    virtual int OnFrameCreate() = 0;
    virtual void OnDistroy() {}

    void* GetUIWnd() const { return m_pUIWnd; }
    void SFSetUIWnd(void* wnd) { m_pUIWnd = wnd; }

private:
    void* m_pUIWnd;
};

class CSFFrameWnd {
public:
    explicit CSFFrameWnd(ISFFrameEvent* sink = nullptr) : m_pSink(sink) {}
    CSFFrameWnd(const CSFFrameWnd&) = default;
    CSFFrameWnd& operator=(const CSFFrameWnd&) = default;
    virtual ~CSFFrameWnd() {}

    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*title*/, DWORD /*style*/, const RECT&,
                       void* /*parent*/, const wchar_t* /*menuName*/, DWORD /*exStyle*/, void* /*context*/)
    {
        return 0;
    }
    virtual CSFChildWnd* CreateChildWnd() { return nullptr; }
    virtual void ShowWindow(int) {}
    virtual void DockControlBar(void* /*bar*/, UINT /*side*/, const RECT*) {}
    virtual void UIEnableDocking(DWORD) {}
    virtual void SetSkin(DialogStyle*) {}

    void* GetUIWnd() const { return m_pSink ? m_pSink->GetUIWnd() : nullptr; }

protected:
    ISFFrameEvent* m_pSink;
};
