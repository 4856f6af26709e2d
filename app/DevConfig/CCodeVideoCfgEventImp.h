// Idle stand-in of the encode and image view of the device configuration page until that
// feature is built: its live-video window draws nothing, and it is never in full screen.
#pragma once

#include <string>

#include "Widgets/SFVideoWindow.h"

class CCodeVideoCfgEventImp {
public:
    virtual ~CCodeVideoCfgEventImp() {}
    CSFVideoWindow* GetVideoWindow() { return &m_videoWindow; }
    void SetFullScreen() {}
    // The account the user entered for the selected device, and a new login of it.
    virtual void SetDeviceAccount(const std::string&, const std::string&) {}
    virtual void LoginSelectedDevice() {}

private:
    CSFVideoWindow m_videoWindow;
};
