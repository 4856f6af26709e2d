// Idle stand-in of the cloud upgrade page until the cloud upgrade feature is built: an empty page
// that shows its name, takes the devices the device list hands out and keeps none of them.
#pragma once

#include <memory>

#include "CloudUpgrade/CloudUpgradePageSink.h"
#include "Common/DeviceInfo.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CCloudUpgradeUILogic;

class CCloudUpgradeEventImp : public ISFViewEvent,
                              public CCloudUpgradePageSink,
                              public std::enable_shared_from_this<CCloudUpgradeEventImp> {
public:
    explicit CCloudUpgradeEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    static std::shared_ptr<CCloudUpgradeEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);

    CSFView* GetView() const { return m_pView; }
    std::shared_ptr<CCloudUpgradeUILogic> GetCloudUpgradeUILogic() const { return m_pCloudUILogic; }

    int IsChecking();
    int IsUpgrading();
    int IsStoppingUpgrade();
    int IsDownloading();
    // The upgrade or download button is idle again.
    void OnUpgradeButtonIdle();
    void ResetUpgradeButton(bool enable) override
    {
        if (enable)
            OnUpgradeButtonIdle();
    }

    // Devices handed out by the device list.
    void ClearDeviceList() {}
    void AddDevice(DEVICE_INFO*) {}
    bool IsIPv4Device(DEVICE_NET_INFO_EX* info) { return info && info->nIpVersion == 4; }
    void ShowEmptyHint(bool) {}
    void AddDeviceRow(DEVICE_NET_INFO_EX*, bool, int) {}
    void AddCheckingDeviceRow(DEVICE_NET_INFO_EX*, bool, int) {}
    void CheckDevice(DEVICE_INFO*) {}
    void SetStopCheckFlag(int flag) { m_nStopCheck = flag; }
    int GetStopCheckFlag() const { return m_nStopCheck; }

private:
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFView* m_pView = nullptr;
    std::shared_ptr<CCloudUpgradeUILogic> m_pCloudUILogic;
    int m_nStopCheck = 0;
};
