// Animated picture interfaces.
#pragma once

#include "Widgets/SFTypes.h"

class ISFPictureExEvent {};

class CSFPictureEx {
public:
    explicit CSFPictureEx(ISFPictureExEvent* sink = nullptr) : m_pSink(sink) {}
    CSFPictureEx(const CSFPictureEx&) = default;
    CSFPictureEx& operator=(const CSFPictureEx&) = default;
    virtual ~CSFPictureEx() {}

    virtual int Create(const wchar_t*, DWORD, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin() { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int Draw() { return 0; }
    virtual int Load(const wchar_t*, int) { return 0; }
    virtual int SetAnimation(int) { return 0; }

protected:
    ISFPictureExEvent* m_pSink;
};
