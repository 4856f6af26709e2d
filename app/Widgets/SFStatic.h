// Static text interfaces.
#pragma once

#include "Widgets/SFTypes.h"

class ISFStaticEvent {
public:
    virtual void STATIC_OnLButtonDown(UINT /*id*/, UINT /*flags*/, POINT) {}
    virtual void STATIC_OnLButtonUp(UINT /*id*/, UINT /*flags*/, POINT) {}
    virtual void STATIC_OnMouseMove(UINT /*id*/, UINT /*flags*/, POINT) {}
};

class CSFStatic {
public:
    explicit CSFStatic(ISFStaticEvent* sink = nullptr) : m_pSink(sink), m_nValue(0) {}
    CSFStatic(const CSFStatic&) = default;
    CSFStatic& operator=(const CSFStatic&) = default;
    virtual ~CSFStatic() {}

    virtual int Create(const wchar_t*, DWORD, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetStaticText(wchar_t*, int) const { return 0; }
    virtual void SetStaticText(const wchar_t*) {}
    virtual void SetTextAlignFlag(UINT) {}
    virtual UINT GetTextAlignFlag() { return 0; }
    virtual void SetTextColor(UINT) {}
    virtual void SetTextBold(int) {}
    virtual void GetTextSize(int&, int&) {}
    virtual void SetBgColor(UINT, int) {}
    virtual void SetTextSize(int) {}
    virtual void GetStaticCtrolPos(RECT&) {}
    virtual void SetTextOffset(int) {}
    virtual void SetWordWrap(int) {}
    virtual int GetWordWrap() { return 0; }
    virtual void SetWrapAnywhere(int) {}
    virtual int GetWrapAnywher() { return 0; }
    virtual void SetToolTipText(const wchar_t*) {}
    virtual void SetTooltipEnable(int) {}
    virtual RECT GetGeometry() { return RECT{0, 0, 0, 0}; }
    virtual void EnableWindow(int) {}
    virtual void SetContextMenu(int) {}

protected:
    ISFStaticEvent* m_pSink;
    int32_t m_nValue;
};
