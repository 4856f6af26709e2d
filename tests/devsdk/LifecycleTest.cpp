#include "TestFleet.h"

#include <vector>

namespace devtest {
namespace {

struct Events {
    std::mutex mu;
    std::vector<std::pair<char, LONG>> seen; // 'd' disconnect, 'r' reconnect
    std::vector<std::thread::id> threads;
    std::vector<std::string> ips;
    size_t Count()
    {
        std::lock_guard<std::mutex> lk(mu);
        return seen.size();
    }
};

void OnDisconnect(LONG h, const char* ip, LONG, void* user)
{
    auto* e = static_cast<Events*>(user);
    std::lock_guard<std::mutex> lk(e->mu);
    e->seen.emplace_back('d', h);
    e->threads.push_back(std::this_thread::get_id());
    e->ips.push_back(ip);
}

void OnReconnect(LONG h, const char* ip, LONG, void* user)
{
    auto* e = static_cast<Events*>(user);
    std::lock_guard<std::mutex> lk(e->mu);
    e->seen.emplace_back('r', h);
    e->threads.push_back(std::this_thread::get_id());
    e->ips.push_back(ip);
}

bool Answers(const std::string& ip, const std::string& mac)
{
    auto list = std::make_unique<SDK_SEARCH_IP_LIST>();
    std::memset(list.get(), 0, sizeof *list);
    list->dwSize = sizeof *list;
    list->nIpNum = 1;
    strcpy(list->szIP[0], ip.c_str());
    struct Hit {
        std::string mac;
        bool hit = false;
    } hit{mac};
    SdkSearchDevicesByIPs(
        list.get(),
        [](DEVICE_NET_INFO_EX* r, void* u) {
            auto* h = static_cast<Hit*>(u);
            h->hit = h->hit || h->mac == r->szMacAddr;
        },
        &hit, nullptr, 600);
    return hit.hit;
}

class LifecycleTest : public SdkFleetTest {};

TEST_F(LifecycleTest, ModifyDeviceMovesItToTheNewAddress)
{
    StartFleet(3);
    devsim::DeviceState s = fleet_->StateOf(1);
    // The record as a search delivered it, with the new address and the credentials written in.
    DEVICE_NET_INFO_EX rec{};
    strcpy(rec.szMacAddr, s.mac.c_str());
    std::string target = Addr(150);
    strcpy(rec.szIpAddr, target.c_str());
    strcpy(rec.szNetMask, "255.255.0.0");
    strcpy(rec.szGatewayAddr, Addr(1).c_str());
    rec.bUserValid = 1;
    strcpy(rec.szUser, "admin");
    rec.bPasswordValid = 1;
    strcpy(rec.szPassword, "wrong");
    EXPECT_FALSE(SdkModifyDevice(&rec, 10000, nullptr, nullptr, nullptr));
    EXPECT_NE(SdkGetLastError(), 0u);
    EXPECT_EQ(fleet_->StateOf(1).ip, s.ip) << "refused change leaves the device where it was";

    strcpy(rec.szPassword, "admin123");
    ASSERT_TRUE(SdkModifyDevice(&rec, 10000, nullptr, nullptr, nullptr));
    EXPECT_EQ(SdkGetLastError(), 0u);
    EXPECT_TRUE(WaitFor([&] { return Answers(target, s.mac); }));
    EXPECT_FALSE(Answers(s.ip, s.mac));
    devsim::DeviceState moved = fleet_->StateOf(1);
    EXPECT_EQ(moved.ip, target);
    EXPECT_EQ(moved.mask, "255.255.0.0");
    int err = -1;
    LONG h = SdkLogin(target.c_str(), 37777, "admin", "admin123", nullptr, &err);
    EXPECT_GE(h, 2);
    SdkLogout(h);

    // A later broadcast search still reaches the moved device.
    struct Seen {
        std::mutex mu;
        std::string ip;
        std::string mac;
    } seen;
    seen.mac = s.mac;
    LONG sh = SdkStartSearchDevices(
        [](DEVICE_NET_INFO_EX* r, void* u) {
            auto* x = static_cast<Seen*>(u);
            std::lock_guard<std::mutex> lk(x->mu);
            if (x->mac == r->szMacAddr)
                x->ip = r->szIpAddr;
        },
        &seen, nullptr);
    EXPECT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> lk(seen.mu);
        return seen.ip == target;
    }));
    SdkStopSearchDevices(sh);
}

TEST_F(LifecycleTest, NetworkWriteOnALoginMovesTheDevice)
{
    StartFleet(2);
    devsim::DeviceState s = fleet_->StateOf(0);
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    std::vector<char> text(32768, 0), rec(sizeof(CFG_NETWORK_INFO), 0), out(10240, 0);
    int e = 0, restart = 0;
    ASSERT_TRUE(SdkGetNewConfig(h, "Network", 0, text.data(), DWORD(text.size()), &e, 3000));
    ASSERT_TRUE(SdkCfgParse("Network", text.data(), rec.data(), DWORD(rec.size())));
    auto* net = reinterpret_cast<CFG_NETWORK_INFO*>(rec.data());
    ASSERT_EQ(s.ip, net->stuInterfaces[0].szIP);
    std::string target = Addr(160);
    strcpy(net->stuInterfaces[0].szIP, target.c_str());
    ASSERT_TRUE(SdkCfgPack("Network", rec.data(), DWORD(rec.size()), out.data(), DWORD(out.size())));
    ASSERT_TRUE(SdkSetNewConfig(h, "Network", 0, out.data(), DWORD(out.size()), &e, &restart, 3000));
    EXPECT_EQ(SdkGetLastError(), 0u);
    EXPECT_TRUE(WaitFor([&] { return Answers(target, s.mac); }));
    SdkLogout(h);
}

TEST_F(LifecycleTest, RebootReportsDisconnectThenReconnectWithTheSameHandle)
{
    StartFleet(2, 300);
    SdkCleanup();
    Events ev;
    SdkInit(OnDisconnect, &ev);
    SdkSetAutoReconnect(OnReconnect, &ev);
    LONG h = LoginTo(0);
    LONG other = LoginTo(1);
    ASSERT_GE(h, 2);
    ASSERT_TRUE(SdkRebootDev(h));
    EXPECT_EQ(SdkGetLastError(), 0u);
    ASSERT_TRUE(WaitFor([&] { return ev.Count() >= 2; }, 20000));
    {
        std::lock_guard<std::mutex> lk(ev.mu);
        ASSERT_EQ(ev.seen.size(), 2u);
        EXPECT_EQ(ev.seen[0], std::make_pair('d', h));
        EXPECT_EQ(ev.seen[1], std::make_pair('r', h));
        for (auto& t : ev.threads)
            EXPECT_NE(t, std::this_thread::get_id());
        EXPECT_EQ(ev.ips[0], DeviceIp(0));
    }
    // The same handle works again.
    ZRDEV_VERSION_INFO v{};
    int len = 0;
    EXPECT_TRUE(SdkQueryDevState(h, SDK_DEVSTATE_SOFTWARE, reinterpret_cast<char*>(&v), sizeof v, &len, 3000));
    EXPECT_EQ(fleet_->StateOf(0).serial, v.szSerialNumber);
    SdkLogout(h);
    SdkLogout(other);
}

TEST_F(LifecycleTest, LoggedOutOrCleanedUpLoginsReportNothing)
{
    StartFleet(1, 200);
    SdkCleanup();
    Events ev;
    SdkInit(OnDisconnect, &ev);
    SdkSetAutoReconnect(OnReconnect, &ev);
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    ASSERT_TRUE(SdkLogout(h));
    fleet_->Reboot(0, 300);
    ASSERT_TRUE(WaitFor([&] { return !fleet_->Online(0); }));
    LONG h2 = 0;
    ASSERT_TRUE(WaitFor([&] { return (h2 = LoginTo(0)) >= 2; }, 15000));
    SdkCleanup();
    inited_ = false;
    EXPECT_EQ(ev.Count(), 0u);
}

TEST_F(LifecycleTest, ClockAndRestoreToDefaults)
{
    StartFleet(1, 200);
    SdkCleanup();
    Events ev;
    SdkInit(OnDisconnect, &ev);
    SdkSetAutoReconnect(OnReconnect, &ev);
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    SYNC_TIME_PARAM t{2031, 7, 14, 9, 30, 0};
    ASSERT_TRUE(SdkSetDevConfig(h, SDK_DEV_TIMECFG, -1, &t, sizeof t, 6000));
    SYNC_TIME_PARAM now{};
    int returned = 0;
    ASSERT_TRUE(SdkGetDevConfig(h, SDK_DEV_TIMECFG, -1, &now, sizeof now, &returned, 5000));
    EXPECT_EQ(returned, 24);
    EXPECT_EQ(now.nYear, 2031);
    EXPECT_EQ(now.nMonth, 7);
    EXPECT_EQ(now.nDay, 14);
    SYNC_TIME_PARAM bad{2031, 13, 40, 0, 0, 0};
    EXPECT_FALSE(SdkSetDevConfig(h, SDK_DEV_TIMECFG, -1, &bad, sizeof bad, 6000));

    std::string title = "{\"Name\":\"Gate\"}";
    int e = 0, restart = 0;
    ASSERT_TRUE(SdkSetNewConfig(h, "ChannelTitle", 0, &title[0], DWORD(title.size() + 1), &e, &restart, 3000));
    int32_t restore = -1;
    ASSERT_TRUE(SdkControlDevice(h, SDK_CTRL_RESTOREDEFAULT, &restore, 15000));
    ASSERT_TRUE(WaitFor([&] { return ev.Count() >= 2; }, 20000)) << "restore reboots the device";
    std::vector<char> text(32768, 0);
    ASSERT_TRUE(SdkGetNewConfig(h, "ChannelTitle", 0, text.data(), DWORD(text.size()), &e, 5000));
    AV_CFG_ChannelName name{};
    name.nStructSize = sizeof name;
    ASSERT_TRUE(SdkCfgParse("ChannelTitle", text.data(), &name, sizeof name));
    EXPECT_STREQ(name.szName, "Channel1");
    int err = -1;
    LONG again = LoginTo(0, "admin", "admin123", &err);
    EXPECT_GE(again, 2) << "users kept";
    SdkLogout(again);
    SdkLogout(h);
}

TEST_F(LifecycleTest, CallbackMayCallTheSdk)
{
    StartFleet(1, 200);
    SdkCleanup();
    struct Ctx {
        std::atomic<int> logouts{0};
    } ctx;
    SdkInit([](LONG h, const char*, LONG, void* u) {
        SdkLogout(h);
        ++static_cast<Ctx*>(u)->logouts;
    }, &ctx);
    SdkSetAutoReconnect([](LONG, const char*, LONG, void*) {}, &ctx);
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    fleet_->CutSessions(0);
    EXPECT_TRUE(WaitFor([&] { return ctx.logouts == 1; }));
}

} // namespace
} // namespace devtest
