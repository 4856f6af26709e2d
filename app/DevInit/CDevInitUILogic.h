// The initialisation wizard's coordinator: owns the four pages, runs them one after the other,
// turns the user's choices into one initialisation job per device on the device-call loop
// (loop 3) and sends every outcome back to the GUI loop: to the device list, which marks the
// device initialised, and to the result page.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Common/DeviceInfo.h"

class CDeviceListUILogic;
class CSearchDevUninitEventImp;
class CInitDevEventImp;
class CInitDevResultEventImp;
class CInitDevCloudEventImp;

// The option values one job carries, taken from the pages on the GUI thread.
struct DevInitOptions {
    int nCloudAccess = 1;   // 1 ticked, 0 not
    int nAutoCheck = 1;
    int bPNOffered = 0;
    int nVideoStandard = 0; // 1 P, 2 N, 0 none
};

class CDevInitUILogic : public std::enable_shared_from_this<CDevInitUILogic> {
public:
    explicit CDevInitUILogic(std::weak_ptr<CDeviceListUILogic> list);
    static std::shared_ptr<CDevInitUILogic> Create(std::shared_ptr<CDeviceListUILogic> list);
    int Init();

    // Called by the device page.
    void ResetDevInit();
    void AddUninitDevice(const DEVICE_NET_INFO_EX* info);
    int ShowDevInitWizard();

    // Called by the pages.
    void* GetParentWnd();
    std::vector<std::shared_ptr<DEVICE_INFO>>* GetDeviceList();
    void PreparePasswordPage(int count, unsigned firstIndex);
    void SetAccepting(bool accepting) { m_bAccepting = accepting; }
    bool IsAccepting() const { return m_bAccepting; }
    void StartDevInit();
    void ShowResultDetails(const char* device, const std::wstring& caption, const std::wstring& text);

    // Loop 3: one device. The MAC and address identify the device again when the outcome
    // reaches the device list, which may have been rebuilt in a new order meanwhile.
    void Task_DevInit(NET_IN_INIT_DEVICE_ACCOUNT& account, int index, int row, DevInitOptions options,
                      std::string mac, std::string ip);

    std::shared_ptr<CSearchDevUninitEventImp> GetUninitPage() const { return m_pUninitPage; }
    std::shared_ptr<CInitDevEventImp> GetPasswordPage() const { return m_pPasswordPage; }
    std::shared_ptr<CInitDevCloudEventImp> GetCloudPage() const { return m_pCloudPage; }
    std::shared_ptr<CInitDevResultEventImp> GetResultPage() const { return m_pResultPage; }

private:
    std::weak_ptr<CDeviceListUILogic> m_wpDeviceList;
    std::shared_ptr<CSearchDevUninitEventImp> m_pUninitPage;
    std::shared_ptr<CInitDevEventImp> m_pPasswordPage;
    std::shared_ptr<CInitDevResultEventImp> m_pResultPage;
    std::shared_ptr<CInitDevCloudEventImp> m_pCloudPage;
    bool m_bAccepting = false;
};
