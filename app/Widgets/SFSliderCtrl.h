// Slider and progress bar interfaces.
#pragma once

#include "Widgets/SFTypes.h"

struct ImageSliderStyle;
struct ImageProgressCtrlStyle;

class ISFSliderCtrlEvent {
public:
    virtual void SF_OnSliderPos(int /*id*/, int /*pos*/) {}
};

class CSFSliderCtrl {
public:
    explicit CSFSliderCtrl(ISFSliderCtrlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFSliderCtrl(const CSFSliderCtrl&) = default;
    CSFSliderCtrl& operator=(const CSFSliderCtrl&) = default;
    virtual ~CSFSliderCtrl() {}

    virtual int Create(DWORD, const RECT&, void*, UINT, SLIDER_RESPONSE_MODE) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageSliderStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetPos() const { return 0; }
    virtual void GetRange(int&, int&) const {}
    virtual void SetPos(int) {}
    virtual void SetRange(int, int, int) {}
    virtual void SetTooltipEnable(int, int) {}
    virtual void EnableWindow(int) {}

protected:
    ISFSliderCtrlEvent* m_pSink;
};

class ISFProgressCtrlEvent {
public:
    virtual void PROGRESS_OnChanged() = 0;
    virtual void PROGRESS_OnFinished() = 0;
    virtual void PROGRESS_OnClicked() = 0;
};

class CSFProgressCtrl {
public:
    explicit CSFProgressCtrl(ISFProgressCtrlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFProgressCtrl(const CSFProgressCtrl&) = default;
    CSFProgressCtrl& operator=(const CSFProgressCtrl&) = default;
    virtual ~CSFProgressCtrl() {}

    virtual int Create(DWORD, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageProgressCtrlStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int ModifyStyleEx(DWORD, DWORD, UINT) { return 0; }
    virtual int GetPos() { return 0; }
    virtual void GetRange(int&, int&) {}
    virtual void SetPos(int) {}
    virtual void SetRange(int, int) {}
    virtual int SetStep(int) { return 0; }
    virtual int StepIt() { return 0; }
    virtual void SetTextVisible(int) {}

protected:
    ISFProgressCtrlEvent* m_pSink;
};
