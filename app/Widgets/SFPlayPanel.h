// Playback control panel and playback time-line panel interfaces.
#pragma once

#include <map>

#include "Widgets/SFTypes.h"

struct ImageRadioBox;
struct PLAY_CHANNEL_INFO;

class IPlayControlEvent {
public:
    virtual void OnControlCommand(ControlIdentifier, ControlStatus) {}
    virtual void OnCBVolumeSlip(int) {}
    virtual void OnCBPlayModeSlip(int) {}
};

class CSFPlayControlPanel {
public:
    explicit CSFPlayControlPanel(IPlayControlEvent* sink = nullptr) : m_pSink(sink) {}
    CSFPlayControlPanel(const CSFPlayControlPanel&) = default;
    CSFPlayControlPanel& operator=(const CSFPlayControlPanel&) = default;
    virtual ~CSFPlayControlPanel() {}

    virtual void SetBackground(const char*) {}
    virtual void SetAnchor(ControlIdentifier, RECT&) {}
    virtual void SetBtnAnchorSkin(ControlIdentifier, ControlStatus, ImageRadioBox&) {}
    virtual void SetControlStatus(ControlIdentifier, ControlStatus) {}
    virtual int Create(void*) { return 0; }
    virtual void DoPaint() {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void MoveWindow(RECT*) {}
    virtual void ShowWindow(int) {}
    virtual void SetThumbPosition(int, ControlIdentifier) {}

    ControlStatus GetControlStatus(ControlIdentifier) { return ControlStatus(0); }
    void SetSlipPosition(ControlIdentifier, float) {}

protected:
    IPlayControlEvent* m_pSink;
};

class IPlayProgressEvent {
public:
    virtual void OnPositionChanged(UINT, int, int, int, VIDEOCUT_TYPE, bool) {}
    virtual void OnSetHighlight(UINT, int) {}
    virtual void OnMouseOverChannel(UINT, int, POINT, int) {}
    virtual void PPP_OnMouseLeave(UINT) {}
};

// Time-line panel facade; the channel map belongs to the implementation's use.
class CSFPlayProgressPanel {
public:
    explicit CSFPlayProgressPanel(IPlayProgressEvent* sink = nullptr) : m_pSink(sink) {}
    CSFPlayProgressPanel(const CSFPlayProgressPanel&) = default;
    CSFPlayProgressPanel& operator=(const CSFPlayProgressPanel&) = default;
    virtual ~CSFPlayProgressPanel() { m_mapChannels.clear(); }

    virtual void AddChannel(PLAY_CHANNEL_INFO*) {}
    virtual void RemoveAllChannels() {}
    virtual void RemoveChannel(int) {}
    virtual PLAY_CHANNEL_INFO* GetChannel(int) { return nullptr; }
    virtual void SetBkImage(const wchar_t*) {}
    virtual void Reserved6(int, int, int, int, int) {}
    virtual void Reserved7(int, int, int, int, int) {}
    virtual void Reserved8() {}
    virtual void SetZoom(int) {}
    virtual void Reserved10(int, int) {}
    virtual void Reserved11(int) {}
    virtual void SetRecordTypeMask(int) {}
    virtual int Create(int, int, int, const RECT&, void*, UINT) { return 0; }
    virtual void ShowWindow(bool) {}
    virtual void MoveWindow(RECT*) {}
    virtual void MoveWindow(int, int, int, int) {}
    virtual void SetChannelPos(int, int) {}
    virtual int GetChannelPos(int) { return 0; }
    virtual void SetChannelOffset(int, int) {}
    virtual void SetHighlightChannel(int) {}
    virtual void SetRecordView(int, bool) {}
    virtual void ScrollRowsDown() {}
    virtual void ScrollRowsUp() {}
    virtual void SetLayoutSkin(void*, int) {}
    virtual void SetImageSkin(void*) {}
    virtual void SetSharedCursor(bool) {}
    virtual void EnableCut(bool) {}
    virtual void ScrollToTime(int) {}
    virtual void SetCutPos(int, double) {}
    virtual void Reserved30(int) {}

protected:
    IPlayProgressEvent* m_pSink;
    std::map<int, PLAY_CHANNEL_INFO*> m_mapChannels;
};
