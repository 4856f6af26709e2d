// The device list model: the list of found and added devices, the search state machine and the
// hand-out of every accepted device to the feature pages. GUI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Common/DeviceInfo.h"
#include "Main/DeviceMacIndex.h"
#include "Main/WorkerHandOver.h"

class CMainFrameEventImp;
class CSearchDevLogic;
class CDevInitUILogic;
class IDeviceListPeers;

// Search mode: 0 none, 1 broadcast, 2 address range, 3 both.
enum SF_SEARCHTYPE { SF_SEARCH_NONE = 0, SF_SEARCH_BROADCAST = 1, SF_SEARCH_BYIP = 2, SF_SEARCH_BOTH = 3 };

typedef std::shared_ptr<DEVICE_INFO> DevicePtr;
typedef std::vector<DevicePtr> DeviceVector;

// Page numbers of FilterDevList and Task_FilterFunc.
enum {
    FILTER_PAGE_DEVLIST = 0,
    FILTER_PAGE_NONE = 1,
    FILTER_PAGE_SYSCONFIG = 2,
    FILTER_PAGE_UPGRADE = 3,
    FILTER_PAGE_TEMPLATE = 4,
    FILTER_PAGE_TEMPLATE_LOAD = 5
};

class CDeviceListUILogic : public std::enable_shared_from_this<CDeviceListUILogic> {
public:
    explicit CDeviceListUILogic(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CDeviceListUILogic();

    static std::shared_ptr<CDeviceListUILogic> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    int Init();
    // Who the model talks to (set before Init; Create sets the main window's).
    void SetPeers(std::shared_ptr<IDeviceListPeers> peers) { m_pPeers = peers; }
    std::shared_ptr<IDeviceListPeers> GetPeers() const { return m_pPeers; }

    DeviceVector& GetDeviceList() { return m_vecDevices; }
    bool IsSearching() const { return m_bSearching; }
    int IsManualAdding() const { return m_nManualAdding; }
    void SetImporting(bool importing) { m_bImporting = importing; }
    bool IsImporting() const { return m_bImporting; }
    bool IsBroadcasting() const { return m_bBroadcasting; }
    uint8_t GetGeneration() const { return m_byGeneration; }
    // Devices of distinct MAC in the list, and devices handed to the cloud-upgrade page.
    int32_t GetFoundCount() const { return m_nFoundCount; }
    int32_t GetCloudDeviceCount() const { return m_nCloudDeviceCount; }
    int32_t GetShownCount() const { return m_nShownCount; }
    std::shared_ptr<CMainFrameEventImp> GetMainFrame() const { return m_wpMainFrame.lock(); }
    std::shared_ptr<CDevInitUILogic> GetDevInitUILogic() const { return m_pDevInitUILogic; }
    void SetDevInitUILogic(std::shared_ptr<CDevInitUILogic> logic) { m_pDevInitUILogic = std::move(logic); }
    std::shared_ptr<CSearchDevLogic> GetSearchDevLogic() const { return m_pSearchDevLogic; }

    bool StartSearch(SF_SEARCHTYPE mode, int count, std::string startIp);
    void StopSearch(int refilter);
    bool FilterDevList(int page);
    bool StartSearch_ManulAdd(SF_SEARCHTYPE mode, int count, std::string startIp);
    void SortAddDevice(DevicePtr device);
    void DeleteDevice(const wchar_t* mac);
    void RefreshAllPages();
    // Gives the pages made after the start (Main's hidden pages) what the list holds so far, as
    // they would have received it had they been there from the start.
    void CatchUpLatePages();

    // Acceptance and fan-out of one device.
    void Task_InsertDevice(DevicePtr device);
    void AddCloudUpgradeDevice(DevicePtr device);
    // The device initialised at that position (checked against the MAC and address when given).
    void Task_InitDevice_Success(int position);
    void Task_InitDevice_SuccessEx(int position, std::string mac, std::string ip);
    void Task_FilterFunc(int page);

    // Results of the worker's tasks.
    void Task_PreStartSearch_Ret(SF_SEARCHTYPE mode, int count, std::string startIp, DeviceVector manual);
    void Task_StartSearch_Ret(bool portExhausted);
    void Task_StopSearch_Ret(int refilter, int page);
    void Task_StartSearch_ManulAdd_Ret(std::string ip);

    // Posts a call of this object to a loop (task runtime, trace level 1).
    void PostSelf(int loopId, int line, const char* taskName, const char* caller, std::function<void()> call);
    // Any thread: a call from the search worker, run on loop 1 after those it sent before.
    void PostFromWorker(std::function<void(CDeviceListUILogic&)> call);
    void Task_RunWorkerCalls();

private:
    void ClearAllPages();
    void FanOutInitialised(const DevicePtr& device, int position, bool cloudAllowed);

    std::shared_ptr<IDeviceListPeers> m_pPeers;

    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    std::shared_ptr<CSearchDevLogic> m_pSearchDevLogic;
    std::shared_ptr<CDevInitUILogic> m_pDevInitUILogic;
    bool m_bSearching = false;
    // A stop was asked for since the last StartSearch: a search not started yet must not start.
    bool m_bStopAsked = false;
    int32_t m_nManualAdding = 0;
    bool m_bImporting = false;
    bool m_bBroadcasting = false;
    bool m_bNewDevice = false;
    bool m_bAccessRefused = false;
    // Pages (bit = page number) whose re-fill is posted and has not run yet: the page was
    // emptied by its caller, and one re-fill serves every request made before it runs.
    uint32_t m_nRefillPending = 0;
    DeviceVector m_vecDevices;
    DeviceMacIndex m_macIndex; // MACs of m_vecDevices, for the duplicate check of a new answer
    int32_t m_nFoundCount = 0;
    int32_t m_nShownCount = 0;
    int32_t m_nCloudDeviceCount = 0;
    uint8_t m_byGeneration = 0;
    WorkerHandOver m_workerCalls;
};
