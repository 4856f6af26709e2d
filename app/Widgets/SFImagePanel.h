// Thumbnail image panel interfaces.
#pragma once

#include "Widgets/SFTypes.h"

struct UIImagePanelStyle;

class ISFImagePanelEvent {
public:
    virtual void IMGPNL_OnPlayImage(const wchar_t* /*path*/) {}
};

class CSFImagePanel {
public:
    explicit CSFImagePanel(ISFImagePanelEvent* sink = nullptr) : m_pSink(sink) {}
    CSFImagePanel(const CSFImagePanel&) = default;
    CSFImagePanel& operator=(const CSFImagePanel&) = default;
    virtual ~CSFImagePanel() {}

    virtual int Create(const wchar_t*, const RECT&, void*, UINT) { return 0; }
    virtual void SetCursor() {}
    virtual int SetSkin(UIImagePanelStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual int GetCount() const { return 0; }
    virtual int AddItem(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*) { return 0; }
    virtual void ClearItems() {}
    virtual void DelByItemName(const wchar_t*) {}
    virtual void SetScrollType(DISPLAY_TYPE) {}
    virtual const wchar_t* GetHotImagePath() { return nullptr; }

protected:
    ISFImagePanelEvent* m_pSink;
};
