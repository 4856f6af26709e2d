// Image push button, check box and radio box interfaces.
#pragma once

#include "Widgets/SFTypes.h"

struct ImageButtonStyle;
struct ImageCheckBox;
struct ImageRadioBox;

class ISFButtonEvent {
public:
    virtual void BTN_OnLButtonDown(int /*id*/, UINT /*flags*/, POINT) {}
    virtual void BTN_OnLButtonUp(int /*id*/, UINT /*flags*/, POINT) {}
    virtual void BTN_OnMouseMove(int /*id*/, UINT /*flags*/, POINT) {}
    virtual void BTN_OnMouseLeave(int /*id*/, UINT /*flags*/, LONG) {}
    virtual void BTN_OnClicked(int /*id*/) {}
    virtual void BTN_OnCustomerClicked() {}
};

class CSFButton {
public:
    explicit CSFButton(ISFButtonEvent* sink = nullptr) : m_pSink(sink) {}
    CSFButton(const CSFButton&) = default;
    CSFButton& operator=(const CSFButton&) = default;
    virtual ~CSFButton() {}

    virtual int Create(const wchar_t* /*text*/, DWORD /*style*/, const RECT&, void* /*parent*/, UINT /*id*/)
    {
        return 0;
    }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageButtonStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void EnableWindow(int) {}
    virtual void SetTextColor(DWORD) {}
    virtual void SetTextOffset(int, int) {}
    virtual void SetTextAlign(UINT) {}
    virtual void SetTooltipEnable(int) {}
    virtual void SetToolTipText(const wchar_t*) {}
    virtual int GetWindowTextW(wchar_t* /*buf*/, int /*count*/) const { return 0; }
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual void GetBTNWindowRect(RECT*) {}
    virtual void EnableAnimation(int) {}
    virtual bool IsEnabled() { return true; }
    virtual void SetBtnState(int) {}
    virtual void SetIconPos(ICON_POS) {}
    virtual void SetBoldHeavy(int) {}

protected:
    ISFButtonEvent* m_pSink;
};

class ISFCheckBoxEvent {
public:
    virtual void BTN_OnLButtonDown() {}
    virtual void BTN_OnLButtonUp() {}
    virtual void BTN_OnMouseMove() {}
    virtual void Check_OnCheckStateChanged(int /*checked*/, int /*id*/, POINT) {}
};

class CSFCheckBox {
public:
    explicit CSFCheckBox(ISFCheckBoxEvent* sink = nullptr) : m_pSink(sink) {}
    CSFCheckBox(const CSFCheckBox&) = default;
    CSFCheckBox& operator=(const CSFCheckBox&) = default;
    virtual ~CSFCheckBox() {}

    virtual int Create(const char* /*text*/, DWORD /*style*/, const RECT&, void* /*parent*/, UINT /*id*/)
    {
        return 0;
    }
    virtual void SetCursor() {}
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetCheck(int) {}
    // The state comes back through the argument; the return value is not the state.
    virtual int GetCheck(int*) const { return 0; }
    bool IsChecked() const
    {
        int checked = 0;
        GetCheck(&checked);
        return checked != 0;
    }
    virtual int GetWindowTextW(wchar_t*, int) const { return 0; }
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual int SetSkin(ImageCheckBox*) { return 0; }
    virtual void EnableWindow(int) {}

protected:
    ISFCheckBoxEvent* m_pSink;
};

class ISFRadioBoxEvent {
public:
    virtual void RADIO_OnClicked(int /*checked*/, int /*id*/, POINT) {}
    virtual void RADIO_OnShowWindow(int /*id*/, UINT /*show*/, int) {}
};

class CSFRadioBox {
public:
    explicit CSFRadioBox(ISFRadioBoxEvent* sink = nullptr) : m_pSink(sink) {}
    CSFRadioBox(const CSFRadioBox&) = default;
    CSFRadioBox& operator=(const CSFRadioBox&) = default;
    virtual ~CSFRadioBox() {}

    virtual int Create(const wchar_t* /*text*/, DWORD /*style*/, const RECT&, void* /*parent*/, UINT /*id*/)
    {
        return 0;
    }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageRadioBox*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetCheck(int) {}
    virtual int GetCheck() const { return 0; }
    virtual int GetWindowTextW(wchar_t*, int) const { return 0; }
    virtual void SetWindowTextW(const wchar_t*) {}
    virtual void SetBoldHeavy(int) {}
    virtual void SetTextColor(DWORD) {}
    virtual void SetTextOffset(int) {}
    virtual void SetTextAlign(DWORD) {}
    virtual void GetRadioClientRect(RECT*) {}
    virtual void GetRadioWindowRect(RECT*) {}
    virtual void SetImageInfo(void* /*icon*/, void* /*iconChecked*/) {}
    virtual void SetBkColor(DWORD /*normal*/, DWORD /*checked*/) {}
    virtual void SetBkRect(bool) {}
    virtual void SetTooltipEnable(int) {}
    virtual void SetToolTipText(const wchar_t*) {}
    virtual int IsWindowVisible() { return 0; }
    virtual int IsWindow() { return 0; }
    virtual int IsEnabled() { return 0; }
    virtual void Invalidate(int) {}
    virtual void SetEnabled(int) {}
    virtual void EnableAnimation(int) {}
    virtual void SetExpendBGImge(int) {}
    virtual void SetIconAlign(DWORD) {}
    virtual void EnableWindow(int) {}

protected:
    ISFRadioBoxEvent* m_pSink;
};
