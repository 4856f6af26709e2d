// Idle stand-in of the system configuration page until that feature is built: an empty page that
// shows its name, configures nothing and keeps none of the devices handed to it. It keeps the
// on/off state of its PC-time refresh.
#pragma once

#include <memory>

#include "Common/DeviceInfo.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;

class CSysConfigEventImp : public ISFViewEvent, public std::enable_shared_from_this<CSysConfigEventImp> {
public:
    explicit CSysConfigEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    static std::shared_ptr<CSysConfigEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);

    CSFView* GetView() const { return m_pView; }
    int IsConfiguring() const { return m_bConfiguring; }
    void EnablePcTimeRefresh(bool enable) { m_bPcTimeRefresh = enable; }
    bool IsPcTimeRefreshOn() const { return m_bPcTimeRefresh; }

    // Devices handed out by the device list.
    void ClearDevices() {}
    void AddDeviceToTree(DEVICE_NET_INFO_EX*, bool, int) {}
    bool MatchFilter(const char*, int, const char*) { return false; }
    void ExpandDeviceTree() {}

    int m_bConfiguring = 0;

private:
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFView* m_pView = nullptr;
    bool m_bPcTimeRefresh = false;
};
