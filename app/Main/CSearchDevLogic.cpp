#include "Main/CSearchDevLogic.h"

#include <cstring>
#include <thread>

#include "Common/AppSettings.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Common/StrHelpers.h"
#include "Main/DeviceListText.h"
#include "devsdk/DevSdkErrors.h"

using namespace VeyraBase;

std::atomic<int> g_bToolRunning{0};

namespace {

// Local interface argument of the SDK search calls: at most 19 characters, or null.
struct LocalNic {
    char text[20] = {};
    LocalNic()
    {
        const std::string ip = WideToUtf8(CAppSettings::LocalIp);
        SafeStrCopy(text, sizeof(text), ip.c_str());
    }
    const char* Get() const { return text[0] ? text : nullptr; }
};

// One block of an address-range search: the SDK's part and our trailer.
struct SearchBlock {
    SDK_SEARCH_IP_LIST list;
    CSearchDevLogic* owner;
};

} // namespace

CSearchDevLogic::CSearchDevLogic(std::weak_ptr<CDeviceListUILogic> listLogic) : m_wpListLogic(listLogic) {}

// A search whose stop still fails keeps calling back with its user value: that one is left
// behind, since it points only at the list and its own generation.
CSearchDevLogic::~CSearchDevLogic()
{
    StopBroadcast();
    for (Running& running : m_vecUnstopped)
        running.search.release();
}

void CSearchDevLogic::PostToList(ListCall call) { PostToList(m_wpListLogic, std::move(call)); }

// Every call reaches the list in the order sent, as part of a loop-1 task.
void CSearchDevLogic::PostToList(const std::weak_ptr<CDeviceListUILogic>& listLogic, ListCall call)
{
    if (std::shared_ptr<CDeviceListUILogic> list = listLogic.lock())
        list->PostFromWorker(std::move(call));
}

void CSearchDevLogic::Task_PreStartSearch(SF_SEARCHTYPE mode, int count, std::string startIp, DeviceVector manual)
{
    for (const DevicePtr& device : manual) {
        if (!device->bNeedRefresh)
            continue;
        SDK_LOGIN_DEVICE_INFO login;
        std::memset(&login, 0, sizeof(login));
        int error = 0;
        const int port = device->stNetInfo.nPort & 0xFFFF;
        device->szUser[sizeof(device->szUser) - 1] = 0;
        device->szPassword[sizeof(device->szPassword) - 1] = 0;
        LONG id;
        if (device->bP2P) {
            id = SdkLoginEx("127.0.0.1", port, device->szUser, device->szPassword, 19, nullptr, &login, &error);
        } else {
            const std::string ip = FIELD_TEXT(device->stNetInfo.szIpAddr);
            id = SdkLogin(ip.c_str(), port, device->szUser, device->szPassword, &login, &error);
        }
        if (id < 1) {
            device->stNetInfo.szSoftVersion[0] = 0;
            device->dwBuildDate = 0;
            continue;
        }
        ZRDEV_VERSION_INFO version;
        std::memset(&version, 0, sizeof(version));
        int returned = 0;
        if (SdkQueryDevState(id, 15, reinterpret_cast<char*>(&version), sizeof(version), &returned, 1000)) {
            COPY_FIELD(device->stNetInfo.szSoftVersion, version.szSoftWareVersion);
            device->dwBuildDate = version.dwSoftwareBuildDate;
            device->bNeedRefresh = 0;
        }
        SdkLogout(id);
    }
    PostToList([mode, count, startIp, manual](CDeviceListUILogic& list) {
        list.Task_PreStartSearch_Ret(mode, count, startIp, manual);
    });
}

// A handle whose stop fails is kept and tried again before the next search and at shutdown, so
// that no broadcast search is ever left running unreachable. A stopped search calls back no more:
// its user value goes with it.
void CSearchDevLogic::StopBroadcast()
{
    std::vector<Running> failed;
    for (Running& running : m_vecUnstopped)
        if (!SdkStopSearchDevices(running.handle))
            failed.push_back(std::move(running));
    m_vecUnstopped.swap(failed);
    if (m_lSearchHandle != 0) {
        if (!SdkStopSearchDevices(m_lSearchHandle))
            m_vecUnstopped.push_back(Running{m_lSearchHandle, std::move(m_pSearch)});
        m_lSearchHandle = 0;
    }
    m_pSearch.reset();
}

void CSearchDevLogic::StopAllSearches()
{
    StopBroadcast();
}

std::vector<int> CSearchDevLogic::SplitBlocks(int count)
{
    std::vector<int> blocks;
    if (count <= 0)
        return blocks;
    const int n = (count + 254) / 255;
    for (int i = 0; i < n; ++i)
        blocks.push_back(i + 1 < n ? 255 : count - 255 * (n - 1));
    return blocks;
}

void CSearchDevLogic::SearchRange(int count, const std::string& startIp, fSearchDevicesCB callback)
{
    char start[64] = {};
    COPY_TEXT(start, startIp.c_str());
    std::vector<std::unique_ptr<SearchBlock>> blocks;
    std::vector<std::thread> threads;
    for (int n : SplitBlocks(count)) {
        std::unique_ptr<SearchBlock> block(new SearchBlock);
        std::memset(block.get(), 0, sizeof(SearchBlock));
        block->list.dwSize = sizeof(SDK_SEARCH_IP_LIST);
        block->list.nIpNum = n;
        MakeIpSequence(start, n + 1, &block->list.szIP[0][0]);
        block->owner = this;
        COPY_TEXT(start, block->list.szIP[n]);
        SearchBlock* raw = block.get();
        blocks.push_back(std::move(block));
        threads.emplace_back([raw, callback] {
            LocalNic nic;
            SdkSearchDevicesByIPs(&raw->list, callback, raw->owner, nic.Get(), 5000);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
}

void CSearchDevLogic::Task_StartSearch(SF_SEARCHTYPE mode, int count, std::string startIp, uint8_t generation,
                                       int broadcastPort)
{
    LocalNic nic;
    StopBroadcast();
    // The list's own count: a search it ended before it started leaves the two in step.
    m_byGeneration = generation;
    bool exhausted = false;
    if (mode == SF_SEARCH_BROADCAST || mode == SF_SEARCH_BOTH) {
        int port = broadcastPort >= 1 && broadcastPort <= 65535 ? broadcastPort : 5050;
        auto setPort = [](int p) {
            SDK_SEARCH_PARAM param;
            std::memset(&param, 0, sizeof(param));
            param.dwSize = sizeof(param);
            param.wBroadcastPort = static_cast<WORD>(p);
            SdkSetSearchParam(&param);
        };
        setPort(port);
        std::unique_ptr<BroadcastSearch> search(new BroadcastSearch{m_wpListLogic, generation});
        LONG handle = SdkStartSearchDevices(&CSearchDevLogic::SearchDevicesCB, search.get(), nic.Get());
        DWORD error = SdkGetLastError();
        while (handle == 0 && error == SDK_BROADCAST_PORT_IN_USE && port < 65535) {
            setPort(++port);
            handle = SdkStartSearchDevices(&CSearchDevLogic::SearchDevicesCB, search.get(), nic.Get());
            error = SdkGetLastError();
        }
        exhausted = handle == 0 && error == SDK_BROADCAST_PORT_IN_USE;
        m_lSearchHandle = handle;
        if (handle != 0)
            m_pSearch = std::move(search);
    }
    if (mode == SF_SEARCH_BYIP || mode == SF_SEARCH_BOTH)
        SearchRange(count, startIp, &CSearchDevLogic::SearchDevicesCBIPs);

    PostToList([exhausted](CDeviceListUILogic& list) { list.Task_StartSearch_Ret(exhausted); });
}

void CSearchDevLogic::Task_StartSearch_ManulAdd(SF_SEARCHTYPE mode, int count, std::string startIp)
{
    StopBroadcast();
    if (mode == SF_SEARCH_BYIP)
        SearchRange(count, startIp, &CSearchDevLogic::SearchDevicesCBIPs_ManulAdd);
    PostToList([startIp](CDeviceListUILogic& list) { list.Task_StartSearch_ManulAdd_Ret(startIp); });
}

void CSearchDevLogic::Task_StopSearch(int refilter, int page)
{
    StopBroadcast();
    PostToList([refilter, page](CDeviceListUILogic& list) { list.Task_StopSearch_Ret(refilter, page); });
}

BOOL CSearchDevLogic::ModifyDevice(DEVICE_NET_INFO_EX* info)
{
    StopBroadcast();
    if (!info)
        return 0;
    return SdkModifyDevice(info, 10000, nullptr, nullptr, nullptr);
}

void CSearchDevLogic::PostInsert(const std::weak_ptr<CDeviceListUILogic>& listLogic, DEVICE_NET_INFO_EX* info,
                                 bool broadcast, uint8_t generation)
{
    DevicePtr device = std::make_shared<DEVICE_INFO>();
    std::memset(device.get(), 0, sizeof(DEVICE_INFO));
    std::memcpy(&device->stNetInfo, info, sizeof(DEVICE_NET_INFO_EX));
    device->bBroadcast = broadcast ? 1 : 0;
    device->byGeneration = generation;
    PostToList(listLogic, [device](CDeviceListUILogic& list) { list.Task_InsertDevice(device); });
}

// The user value is the search's own record: an answer of a search that outlived a failed stop
// carries that search's generation, which the list no longer takes.
void CSearchDevLogic::SearchDevicesCB(DEVICE_NET_INFO_EX* info, void* user)
{
    if (g_bToolRunning.load() || !info || !user)
        return;
    const BroadcastSearch* search = static_cast<const BroadcastSearch*>(user);
    PostInsert(search->list, info, true, search->generation);
}

void CSearchDevLogic::SearchDevicesCBIPs(DEVICE_NET_INFO_EX* info, void* user)
{
    if (g_bToolRunning.load() || !info || !user)
        return;
    CSearchDevLogic* self = static_cast<CSearchDevLogic*>(user);
    PostInsert(self->m_wpListLogic, info, false, self->m_byGeneration.load());
}

void CSearchDevLogic::SearchDevicesCBIPs_ManulAdd(DEVICE_NET_INFO_EX* info, void* user)
{
    if (!info || !user)
        return;
    CSearchDevLogic* self = static_cast<CSearchDevLogic*>(user);
    DevicePtr device = std::make_shared<DEVICE_INFO>();
    std::memset(device.get(), 0, sizeof(DEVICE_INFO));
    std::memcpy(&device->stNetInfo, info, sizeof(DEVICE_NET_INFO_EX));
    device->bManual = 1;
    self->PostToList([device](CDeviceListUILogic& list) { list.SortAddDevice(device); });
}
