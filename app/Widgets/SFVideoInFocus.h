// Focus-assist curve display interface.
#pragma once

#include "Widgets/SFTypes.h"

struct ImageButtonStyle;

class CSFVideoInFocus {
public:
    CSFVideoInFocus() {}
    CSFVideoInFocus(const CSFVideoInFocus&) = default;
    CSFVideoInFocus& operator=(const CSFVideoInFocus&) = default;
    virtual ~CSFVideoInFocus() {}

    virtual int Create(const wchar_t*, DWORD, const RECT&, void*, UINT) { return 1; }
    virtual void SetCursor() {}
    virtual int SetSkin(ImageButtonStyle*) { return 1; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int AddPointY(int) { return 0; }
    virtual void SetMode(int) {}
    virtual void ClearPointY() {}
    virtual void SetString(const wchar_t*, int) {}
};
