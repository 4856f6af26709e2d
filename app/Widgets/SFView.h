// View sink and facade: a page that lives inside the main window or another view.
#pragma once

#include "Widgets/SFEventBase.h"

class CSFGridLayout;
class CSFHBoxLayout;
class CSFVBoxLayout;

class ISFViewEvent : public CSFEventBase {
public:
    ISFViewEvent() : m_pUIWnd(nullptr) {}
    ISFViewEvent(const ISFViewEvent& other) = default;
    ISFViewEvent& operator=(const ISFViewEvent& other) = default;
    ~ISFViewEvent() override {}

    const SF_MSGMAP* GetSFMessageMap() const override { return nullptr; }
    virtual int OnCreate() { return 0; }
    virtual void OnDestroy() {}
    virtual void OnSize(UINT /*type*/, int /*width*/, int /*height*/) {}
    virtual void OnLButtonDown(UINT /*flags*/, POINT) {}
    virtual void OnLButtonDblClk(UINT /*flags*/, POINT) {}

    void* GetUIWnd() const { return m_pUIWnd; }
    void SFSetUIWnd(void* wnd) { m_pUIWnd = wnd; }

private:
    void* m_pUIWnd;
};

class CSFView {
public:
    CSFView() : m_pSink(nullptr) {}
    explicit CSFView(ISFViewEvent* sink) : m_pSink(sink)
    {
        if (sink)
            sink->SFResetMessageIDs();
    }
    CSFView(const CSFView& other) = default;
    CSFView& operator=(const CSFView& other) = default;
    virtual ~CSFView() {}

    virtual int Create(const wchar_t* /*className*/, const wchar_t* /*name*/, DWORD /*style*/, const RECT&,
                       void* /*parent*/, UINT /*id*/)
    {
        return 0;
    }
    virtual void ShowWindow(int /*show*/) {}
    virtual void SetBackground(const wchar_t* /*image*/) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void GetViewClientRect(RECT*) {}
    virtual void GetViewWindowRect(RECT*) {}
    virtual void Screen2Client(POINT*) {}
    virtual void Screen2Client(RECT*) {}
    virtual int isShow() { return 0; }
    virtual int isWindow() { return 0; }
    virtual int SubclassWindow() { return 0; }
    virtual void* UnsubclassWindow() { return nullptr; }
    virtual void SetRoundCornerRadius(UINT) {}
    virtual void SetBGClr(int /*colour*/) {}
    virtual void SetParentWindow(void*, WINDOW_TYPE) {}
    virtual void SetFrameClr(UINT /*width*/, int /*colour*/) {}
    virtual void SetGridLayout(CSFGridLayout*) {}
    virtual void SetHBoxLayout(CSFHBoxLayout*) {}
    virtual void SetVBoxLayout(CSFVBoxLayout*) {}

    void* GetUIWnd() const { return m_pSink ? m_pSink->GetUIWnd() : nullptr; }

protected:
    ISFViewEvent* m_pSink;
};
