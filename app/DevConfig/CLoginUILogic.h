// Idle stand-in of the device configuration logic until that feature is built: it logs in to
// nothing, keeps the login handle field that the main window clears when the device drops, and
// answers a logout as an idle logic does, through a round trip over the device-call loop.
#pragma once

#include <memory>

#include "os/WinTypes.h"

class CMainFrameEventImp;
class CSFVideoWindow;

class CLoginUILogic : public std::enable_shared_from_this<CLoginUILogic> {
public:
    explicit CLoginUILogic(std::weak_ptr<CMainFrameEventImp> mainFrame);
    static std::shared_ptr<CLoginUILogic> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    int Init() { return 1; }

    void SetVideoWindow(CSFVideoWindow* window) { m_pVideoWindow = window; }
    CSFVideoWindow* GetVideoWindow() const { return m_pVideoWindow; }
    void LogoutDev();
    void Task_LogoutDev_Ret();

    // SDK login handle of the device being configured; 0 when none.
    LONG GetLoginID() const { return m_lLoginID; }
    void SetLoginID(LONG handle) { m_lLoginID = handle; }

private:
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFVideoWindow* m_pVideoWindow = nullptr;
    LONG m_lLoginID = 0;
};
