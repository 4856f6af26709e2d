#include "TestFleet.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <set>

namespace devtest {
namespace {

struct Found {
    std::mutex mu;
    std::map<std::string, DEVICE_NET_INFO_EX> byMac;
    std::set<std::thread::id> threads;
    size_t Count()
    {
        std::lock_guard<std::mutex> lk(mu);
        return byMac.size();
    }
};

void OnFound(DEVICE_NET_INFO_EX* rec, void* user)
{
    auto* f = static_cast<Found*>(user);
    std::lock_guard<std::mutex> lk(f->mu);
    f->byMac[rec->szMacAddr] = *rec;
    f->threads.insert(std::this_thread::get_id());
}

class SearchTest : public SdkFleetTest {};

TEST_F(SearchTest, BroadcastFindsEveryDeviceWithValidRecords)
{
    StartFleet(24);
    Found found;
    LONG h = SdkStartSearchDevices(OnFound, &found, nullptr);
    ASSERT_GE(h, 2);
    ASSERT_TRUE(WaitFor([&] { return found.Count() == 24; }));
    EXPECT_TRUE(SdkStopSearchDevices(h));
    EXPECT_EQ(found.threads.count(std::this_thread::get_id()), 0u) << "results come from an SDK thread";
    int uninitialised = 0;
    for (size_t i = 0; i < 24; ++i) {
        devsim::DeviceState s = fleet_->StateOf(i);
        ASSERT_EQ(found.byMac.count(s.mac), 1u) << s.mac;
        const DEVICE_NET_INFO_EX& r = found.byMac[s.mac];
        EXPECT_EQ(r.nIpVersion, 4);
        EXPECT_EQ(s.ip, r.szIpAddr);
        EXPECT_EQ(r.nPort, 37777);
        EXPECT_EQ(strlen(r.szMacAddr), 17u);
        EXPECT_EQ(s.type, r.szTypeName);
        EXPECT_STRNE(r.szDetailName, "");
        EXPECT_EQ(s.serial, r.szSerialNumber);
        EXPECT_EQ(s.version, r.szSoftVersion);
        EXPECT_EQ(s.model, r.szModelName);
        EXPECT_EQ(r.wVideoInCount, s.channels);
        uninitialised += (r.byInitState & 3) == 1;
    }
    EXPECT_EQ(uninitialised, 4); // every sixth
}

TEST_F(SearchTest, BusyBroadcastPortFailsUntilAnotherPortIsSet)
{
    StartFleet(3);
    int blocker = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(kSdkDefaultBroadcastPort);
    inet_pton(AF_INET, Addr(1).c_str(), &sa.sin_addr);
    ASSERT_EQ(bind(blocker, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);

    Found found;
    EXPECT_EQ(SdkStartSearchDevices(OnFound, &found, nullptr), 0);
    EXPECT_EQ(SdkGetLastError(), SDK_BROADCAST_PORT_IN_USE);

    SDK_SEARCH_PARAM param{};
    param.dwSize = sizeof param;
    param.wBroadcastPort = kSdkDefaultBroadcastPort + 1;
    EXPECT_TRUE(SdkSetSearchParam(&param));
    LONG h = SdkStartSearchDevices(OnFound, &found, nullptr);
    EXPECT_GE(h, 2);
    EXPECT_EQ(SdkGetLastError(), 0u);
    EXPECT_TRUE(WaitFor([&] { return found.Count() == 3; }));
    SdkStopSearchDevices(h);
    close(blocker);
}

TEST_F(SearchTest, AddressListProbesExactlyItsEntries)
{
    StartFleet(8);
    auto list = std::make_unique<SDK_SEARCH_IP_LIST>();
    std::memset(list.get(), 0, sizeof *list);
    list->dwSize = sizeof *list;
    // entries 0..2 are searched; entry 3 is the next block's start and is not
    for (int i = 0; i < 4; ++i)
        strcpy(list->szIP[i], DeviceIp(size_t(2 + i)).c_str());
    list->nIpNum = 3;
    Found found;
    EXPECT_TRUE(SdkSearchDevicesByIPs(list.get(), OnFound, &found, nullptr, 3000));
    ASSERT_EQ(found.Count(), 3u);
    for (size_t i = 2; i < 5; ++i)
        EXPECT_EQ(found.byMac.count(fleet_->StateOf(i).mac), 1u);
}

TEST_F(SearchTest, StopEndsCallbacksAndUnknownHandleIsRefused)
{
    StartFleet(4);
    Found found;
    LONG h = SdkStartSearchDevices(OnFound, &found, nullptr);
    ASSERT_TRUE(WaitFor([&] { return found.Count() == 4; }));
    ASSERT_TRUE(SdkStopSearchDevices(h));
    size_t calls;
    {
        std::lock_guard<std::mutex> lk(found.mu);
        found.byMac.clear();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    calls = found.Count();
    EXPECT_EQ(calls, 0u);
    EXPECT_FALSE(SdkStopSearchDevices(h));
    EXPECT_FALSE(SdkStopSearchDevices(0));
}

TEST_F(SearchTest, StopRacingTheStartOfItsSearchEndsItCleanly)
{
    StartFleet(1);
    LONG first = SdkStartSearchDevices(nullptr, nullptr, nullptr);
    ASSERT_NE(first, 0);
    ASSERT_TRUE(SdkStopSearchDevices(first));
    // The second thread keeps stopping the handle the next start will hand out, so that the
    // stop often comes while that start is still under way.
    std::atomic<LONG> last{first};
    std::atomic<bool> done{false};
    std::thread stopper([&] {
        while (!done)
            SdkStopSearchDevices(last.load() + 1);
    });
    for (int i = 0; i < 3000; ++i) {
        LONG h = SdkStartSearchDevices(nullptr, nullptr, nullptr);
        if (h == 0)
            continue; // the port is held until the stopper's stop has returned
        last = h;
        SdkStopSearchDevices(h);
    }
    done = true;
    stopper.join();
    // Every search ended and let go of the broadcast port.
    LONG h = SdkStartSearchDevices(nullptr, nullptr, nullptr);
    ASSERT_NE(h, 0);
    EXPECT_TRUE(SdkStopSearchDevices(h));
}

TEST(EmbeddedFleet, SdkInitStartsAMixedFleetWithThreeUninitialisedDevices)
{
    std::string prefix = ProcessPrefix(3);
    devsdk::SimOptions o;
    o.embedded = true;
    o.embeddedFirst = prefix + "2";
    o.localIp = prefix + "1";
    devsdk::SetSimOptions(o);
    SdkInit(nullptr, nullptr);
    ASSERT_NE(devsdk::EmbeddedFleet(), nullptr);
    Found found;
    LONG h = SdkStartSearchDevices(OnFound, &found, nullptr);
    EXPECT_TRUE(WaitFor([&] { return found.Count() == 16; }));
    SdkStopSearchDevices(h);
    std::set<std::string> types, models, versions;
    int uninit = 0;
    for (auto& kv : found.byMac) {
        types.insert(kv.second.szTypeName);
        models.insert(kv.second.szModelName);
        versions.insert(kv.second.szSoftVersion);
        uninit += (kv.second.byInitState & 3) == 1;
    }
    EXPECT_EQ(uninit, 3);
    for (const char* t : {"IPC", "SD", "DVR", "HCVR", "NVR", "EVS"})
        EXPECT_EQ(types.count(t), 1u) << t;
    EXPECT_GE(models.size(), 8u);
    EXPECT_GE(versions.size(), 8u);
    SdkCleanup();
    devsdk::ResetSimOptions();
    EXPECT_EQ(devsdk::EmbeddedFleet(), nullptr);
}

TEST(EmbeddedFleet, AFleetStartedAheadIsKeptOrStartedAgainWhenTheOptionsChanged)
{
    std::string prefix = ProcessPrefix(41);
    devsdk::SimOptions o;
    o.embeddedFirst = prefix + "2";
    o.localIp = prefix + "1";
    devsdk::SetSimOptions(o);
    devsdk::PrepareEmbeddedDevices();
    devsim::Fleet* ahead = devsdk::EmbeddedFleet();
    ASSERT_NE(ahead, nullptr);
    devsdk::PrepareEmbeddedDevices();
    EXPECT_EQ(devsdk::EmbeddedFleet(), ahead);
    SdkInit(nullptr, nullptr);
    EXPECT_EQ(devsdk::EmbeddedFleet(), ahead);
    Found found;
    LONG h = SdkStartSearchDevices(OnFound, &found, nullptr);
    EXPECT_TRUE(WaitFor([&] { return found.Count() == 16; }));
    SdkStopSearchDevices(h);
    SdkCleanup();
    EXPECT_EQ(devsdk::EmbeddedFleet(), nullptr);

    // Options set between the early start and SdkInit win.
    std::string other = ProcessPrefix(43);
    devsdk::PrepareEmbeddedDevices();
    o.embeddedFirst = other + "2";
    o.localIp = other + "1";
    devsdk::SetSimOptions(o);
    SdkInit(nullptr, nullptr);
    ASSERT_NE(devsdk::EmbeddedFleet(), nullptr);
    EXPECT_EQ(devsdk::EmbeddedFleet()->Addresses().at(0), other + "2");
    SdkCleanup();
    o.embedded = false;
    devsdk::SetSimOptions(o);
    devsdk::PrepareEmbeddedDevices();
    EXPECT_EQ(devsdk::EmbeddedFleet(), nullptr);
    devsdk::ResetSimOptions();
}

TEST(EmbeddedFleet, MovesToAddressesOfItsOwnWhenTheUsualOnesAreTaken)
{
    std::string prefix = ProcessPrefix(5);
    int taken = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(37777);
    inet_pton(AF_INET, (prefix + "2").c_str(), &sa.sin_addr);
    ASSERT_EQ(bind(taken, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
    listen(taken, 1);
    devsdk::SimOptions o;
    o.embeddedFirst = prefix + "2";
    o.localIp = prefix + "1";
    devsdk::SetSimOptions(o);
    SdkInit(nullptr, nullptr);
    ASSERT_NE(devsdk::EmbeddedFleet(), nullptr);
    auto addrs = devsdk::EmbeddedFleet()->Addresses();
    ASSERT_EQ(addrs.size(), 16u);
    EXPECT_NE(addrs[0], prefix + "2");
    Found found;
    LONG h = SdkStartSearchDevices(OnFound, &found, nullptr);
    EXPECT_TRUE(WaitFor([&] { return found.Count() == 16; }));
    SdkStopSearchDevices(h);
    SdkCleanup();
    devsdk::ResetSimOptions();
    close(taken);
}

} // namespace
} // namespace devtest
