// Idle stand-in of the device configuration page until that feature is built: an empty page that
// shows its name; it logs in to no device and keeps none of the devices handed to it.
#pragma once

#include <memory>

#include "Common/DeviceInfo.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CLoginUILogic;
class CCodeVideoCfgEventImp;

class CDevConfigEventImp : public ISFViewEvent, public std::enable_shared_from_this<CDevConfigEventImp> {
public:
    explicit CDevConfigEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    static std::shared_ptr<CDevConfigEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);

    CSFView* GetView() const { return m_pView; }
    std::shared_ptr<CCodeVideoCfgEventImp> GetCodeVideoCfgPage() const { return m_pCodeVideoCfg; }
    std::weak_ptr<CLoginUILogic> GetLoginUILogic() const { return m_wpLoginUILogic; }
    int IsLoggingIn() const { return m_bLoggingIn; }

    // Devices handed out by the device list.
    void ClearDeviceTree() {}
    void AddDeviceToTree(std::shared_ptr<DEVICE_INFO>, bool, int) {}
    void LogoutCurrentDevice() {}

    int m_bLoggingIn = 0;
    // Configuration results of the current device still on their way.
    int m_nPendingQuery = 0;

private:
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    std::weak_ptr<CLoginUILogic> m_wpLoginUILogic;
    CSFView* m_pView = nullptr;
    std::shared_ptr<CCodeVideoCfgEventImp> m_pCodeVideoCfg;
};
