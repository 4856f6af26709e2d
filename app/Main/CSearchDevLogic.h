// The worker half of device discovery. Its tasks run on loop 3 (ML_SDK); its search callbacks run
// on SDK threads and on the address-block threads. Results go back to the model as loop-1 tasks.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Main/CDeviceListUILogic.h"
#include "devsdk/DevSdk.h"

// Set by the add-on tool manager while an installed tool runs; search results are dropped then.
extern std::atomic<int> g_bToolRunning;

class CSearchDevLogic : public std::enable_shared_from_this<CSearchDevLogic> {
public:
    explicit CSearchDevLogic(std::weak_ptr<CDeviceListUILogic> listLogic);
    ~CSearchDevLogic();

    // Loop-3 tasks.
    void Task_PreStartSearch(SF_SEARCHTYPE mode, int count, std::string startIp, DeviceVector manual);
    // Results carry `generation`, the list's count of searches; a broadcast search listens on
    // `broadcastPort` (5050 when out of range) or the next free port after it.
    void Task_StartSearch(SF_SEARCHTYPE mode, int count, std::string startIp, uint8_t generation, int broadcastPort);
    void Task_StartSearch_ManulAdd(SF_SEARCHTYPE mode, int count, std::string startIp);
    void Task_StopSearch(int refilter, int page);
    // Stops the broadcast search, then changes a found device's network settings without login.
    BOOL ModifyDevice(DEVICE_NET_INFO_EX* info);
    // Stops every broadcast search still held (at shutdown).
    void StopAllSearches();

    uint8_t GetGeneration() const { return m_byGeneration.load(); }
    LONG GetSearchHandle() const { return m_lSearchHandle; }
    // Handles whose stop failed and are retried before every new search.
    size_t GetPendingStopCount() const { return m_vecUnstopped.size(); }

    // Address blocks of an address-range search: sizes of the blocks of `count` addresses.
    static std::vector<int> SplitBlocks(int count);

    // SDK callbacks.
    static void SearchDevicesCB(DEVICE_NET_INFO_EX* info, void* user);
    static void SearchDevicesCBIPs(DEVICE_NET_INFO_EX* info, void* user);
    static void SearchDevicesCBIPs_ManulAdd(DEVICE_NET_INFO_EX* info, void* user);

private:
    // What the callbacks of one broadcast search need: the list and that search's generation.
    // Its answers keep that generation even while it outlives a failed stop.
    struct BroadcastSearch {
        std::weak_ptr<CDeviceListUILogic> list;
        uint8_t generation = 0;
    };
    struct Running {
        LONG handle = 0;
        std::unique_ptr<BroadcastSearch> search;
    };

    void StopBroadcast();
    void SearchRange(int count, const std::string& startIp, fSearchDevicesCB callback);
    using ListCall = std::function<void(CDeviceListUILogic&)>;
    static void PostToList(const std::weak_ptr<CDeviceListUILogic>& listLogic, ListCall call);
    void PostToList(ListCall call);
    static void PostInsert(const std::weak_ptr<CDeviceListUILogic>& listLogic, DEVICE_NET_INFO_EX* info,
                           bool broadcast, uint8_t generation);

    LONG m_lSearchHandle = 0;
    std::unique_ptr<BroadcastSearch> m_pSearch; // user value of the search of m_lSearchHandle
    std::weak_ptr<CDeviceListUILogic> m_wpListLogic;
    std::atomic<uint8_t> m_byGeneration{0};
    std::vector<Running> m_vecUnstopped;
};
