// Scroll area interfaces.
#pragma once

#include "Widgets/SFTypes.h"

struct ScrollAreaStyle;

class ISFScrollAreaEvent {
public:
    ISFScrollAreaEvent() : m_pData(nullptr) {}
    ISFScrollAreaEvent(const ISFScrollAreaEvent&) = default;
    ISFScrollAreaEvent& operator=(const ISFScrollAreaEvent&) = default;

private:
    void* m_pData;
};

// The destructor is not virtual: the scroll area is always deleted through its widget.
class CSFScrollArea {
public:
    explicit CSFScrollArea(ISFScrollAreaEvent* sink = nullptr) : m_pSink(sink) {}
    CSFScrollArea(const CSFScrollArea&) = default;
    CSFScrollArea& operator=(const CSFScrollArea&) = default;
    ~CSFScrollArea() {}

    virtual int Create(DWORD /*style*/, const RECT&, UINT /*contentWidth*/, UINT /*contentHeight*/, void* /*parent*/,
                       UINT /*id*/)
    {
        return 0;
    }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetTooltipEnable(int) {}
    virtual void SetToolTipText(const wchar_t*) {}
    virtual int IsWindowVisible() { return 0; }
    virtual int IsWindow() { return 0; }
    virtual void SetEnabled(int) {}
    virtual void* GetUIWnd() { return nullptr; }
    virtual void SetSkin(ScrollAreaStyle*) {}
    virtual void SetEnableScrollBar(int) {}
    virtual void ResizeScrollArea(UINT, UINT) {}

protected:
    ISFScrollAreaEvent* m_pSink;
};
