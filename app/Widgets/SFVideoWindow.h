// Split-screen video window interfaces and its predefined layouts.
#pragma once

#include "Widgets/SFTypes.h"

struct ImageVideoWindowStyle;

class ISFVideoWindowEvent {
public:
    ISFVideoWindowEvent() {}
    ISFVideoWindowEvent(const ISFVideoWindowEvent&) = default;
    ISFVideoWindowEvent& operator=(const ISFVideoWindowEvent&) = default;
    virtual ~ISFVideoWindowEvent() {}

    virtual void OnLayoutChanged() {}
    virtual void OnBnClickedVideoClose(int, int) {}
    virtual void OnBnClickedVideoSnap(int, int) {}
    virtual void OnBnClickedVideoRecord(int, int, int) {}
    virtual void OnBnClickedVideoProperty(int, int) {}
    virtual void OnFocusWndChanged(int, int) {}
    virtual void OnSubWndExchanged(int, int) {}
    virtual void OnSubWinZoom(int, int, int) {}
    virtual void OnSubWinOccupyRoom(int, int, int) {}
    virtual void OnSubWinBoundChanged(int) {}
    virtual void VideoWidow_OnLButtonDown(int, int, POINT&) {}
    virtual void VideoWidow_OnLButtonUp(int, int, POINT&) {}
};

class CSFVideoWindow {
public:
    explicit CSFVideoWindow(ISFVideoWindowEvent* sink = nullptr) : m_pSink(sink) {}
    CSFVideoWindow(const CSFVideoWindow&) = default;
    CSFVideoWindow& operator=(const CSFVideoWindow&) = default;
    virtual ~CSFVideoWindow() {}

    virtual int Create(const wchar_t*, const RECT&, void*, UINT) { return 0; }
    virtual int SetSkin(ImageVideoWindowStyle*) { return 0; }
    virtual void ShowWindow(int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void* GetLayoutOverView(int, int, DWORD, DWORD) { return nullptr; }
    virtual int GetLayoutOverView(void*, int, int, DWORD, DWORD) { return 0; }
    virtual VIDEOWINDOWMODE GetVideoWindowMode() { return VIDEOWINDOWMODE(0); }
    virtual int SetRows(int) { return 0; }
    virtual int SetColumns(int) { return 0; }
    virtual void SetSubWinProportion(int, int) {}
    virtual int SetLayout(const char*) { return 0; }
    virtual int GetLayout(char*, int) { return 0; }
    virtual int SetDefaultLayout(DEFAULT_LAYOUT) { return 0; }
    virtual HWND GetSubWinHandle(int) { return nullptr; }
    virtual int GetCurrentSubWinIndex() { return -1; }
    virtual int GetSubWinID(int) { return -1; }
    virtual int GetSubWinIndexFromID(int) { return -1; }
    virtual int GetCurrentSubWinCount() { return 0; }
    virtual void SetSubWinVideo(int, int) {}
    virtual void SetSubWinVideoByID(int, int) {}
    virtual void SetDragMode(int) {}
    virtual void SetFrameZoomMode(int) {}
    virtual int IsEnableFrameZoom() { return 0; }
    virtual void SetDrawOSDHandle(int, void*) {}
    virtual void GetFrameOSDRect(RECT&) {}
    virtual void SetDragSubWinCursor(UINT, UINT) {}
    virtual void SetSubWinCtrlsVisible(int) {}
    virtual void SetSubWinRecordState(int, int) {}
    virtual void EableSubWinExchange(int) {}
    virtual void ResetSubWinSizeToMin(int) {}
    virtual void ResetSubWinSizeToMinByID(int) {}
    virtual int SetFocusSubWin(int) { return 0; }
    virtual void SetActiveCheckMode(int) {}
    virtual void SetParent(void*) {}
    virtual void SetUpdatesEnabled(int, bool) {}
    virtual void SetFocus(int) {}
    virtual int RenderSubWin(int, BYTE*, RENDER_DATA_TYPE, int, int) { return 0; }

    // Predefined layout text for 0..9, null otherwise.
    static const char* GetDefaultLayout(DEFAULT_LAYOUT layout);

protected:
    ISFVideoWindowEvent* m_pSink;
};
