// Idle stand-in of the encode and image view of the device configuration page until that
// feature is built: it has no live-video window and is never in full screen.
#pragma once

class CSFVideoWindow;

class CCodeVideoCfgEventImp {
public:
    CSFVideoWindow* GetVideoWindow() const { return nullptr; }
    void SetFullScreen() {}
};
