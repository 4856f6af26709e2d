// Idle stand-in of the local upgrade page until the upgrade feature is built: an empty page that
// shows its name, takes the devices the device list hands out and keeps none of them.
#pragma once

#include <memory>

#include "Common/DeviceInfo.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CUpgradeUILogic;

class CUpgradeEventImp : public ISFViewEvent, public std::enable_shared_from_this<CUpgradeEventImp> {
public:
    explicit CUpgradeEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    static std::shared_ptr<CUpgradeEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);

    CSFView* GetView() const { return m_pView; }
    std::shared_ptr<CUpgradeUILogic> GetUpgradeUILogic() const { return m_pUpgradeUILogic; }

    int IsUpgrading();
    int IsSendingFile();
    void DisConnect(int index);
    void SetBtnState(int row, bool idle);
    void SetStartState(bool running);
    // The scheduler's stop has ended: the batch button is idle again.
    void EnableBatchUpgrade(bool enable);

    // Devices handed out by the device list.
    void ClearDeviceList() {}
    void AddDevice(DEVICE_INFO*) {}
    bool MatchFilter(DEVICE_NET_INFO_EX*) { return false; }
    void AddDeviceRow(DEVICE_NET_INFO_EX*, bool, int) {}
    void RefreshDeviceList() {}

private:
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFView* m_pView = nullptr;
    std::shared_ptr<CUpgradeUILogic> m_pUpgradeUILogic;
};
