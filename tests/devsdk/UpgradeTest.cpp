#include "TestFleet.h"

#include <unistd.h>

#include <ctime>
#include <fstream>
#include <vector>

namespace devtest {
namespace {

struct Progress {
    std::mutex mu;
    std::vector<std::pair<int, int>> steps; // (total, sent)
    std::vector<std::thread::id> threads;
    std::vector<char> links; // 'd' / 'r'
    LONG linkHandle = 0;
    bool Has(int total, int sent)
    {
        std::lock_guard<std::mutex> lk(mu);
        for (auto& s : steps)
            if (s.first == total && s.second == sent)
                return true;
        return false;
    }
    size_t Links()
    {
        std::lock_guard<std::mutex> lk(mu);
        return links.size();
    }
};

void OnProgress(LONG, LONG, int total, int sent, void* user)
{
    auto* p = static_cast<Progress*>(user);
    std::lock_guard<std::mutex> lk(p->mu);
    p->steps.emplace_back(total, sent);
    p->threads.push_back(std::this_thread::get_id());
}

void OnLink(char kind, LONG h, void* user)
{
    auto* p = static_cast<Progress*>(user);
    std::lock_guard<std::mutex> lk(p->mu);
    p->links.push_back(kind);
    p->linkHandle = h;
}

std::string WriteImage(const std::string& name, const std::string& head, size_t size)
{
    std::string path = ::testing::TempDir() + name + std::to_string(getpid());
    std::string data = head;
    data.resize(size, 'x');
    std::ofstream(path, std::ios::binary) << data;
    return path;
}

class UpgradeTest : public SdkFleetTest {
protected:
    void SetUp() override
    {
        StartFleet(1, 300);
        fleet_->With(0, [](devsim::DeviceModel& m) { m.State().installMs = 200; });
        SdkCleanup();
        SdkInit([](LONG h, const char*, LONG, void* u) { OnLink('d', h, u); }, &progress_);
        SdkSetAutoReconnect([](LONG h, const char*, LONG, void* u) { OnLink('r', h, u); }, &progress_);
    }
    Progress progress_;
};

TEST_F(UpgradeTest, GoodImageReportsTransferInstallSuccessThenTheDeviceComesBackUpgraded)
{
    const size_t size = 300 * 1024;
    std::string path = WriteImage("good", std::string("ZR\1\2") + "VERSION=9.9.9.1 ", size);
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    LONG up = SdkStartUpgrade(h, SDK_UPGRADE_BIOS_TYPE, path.c_str(), OnProgress, &progress_);
    ASSERT_GE(up, 2);
    ASSERT_TRUE(SdkSendUpgrade(up));
    ASSERT_TRUE(WaitFor([&] { return progress_.Has(0, -1); }, 20000));
    // As the program does: stop the transfer and log out; the device then reboots.
    EXPECT_TRUE(SdkStopUpgrade(up));
    EXPECT_TRUE(SdkLogout(h));
    ASSERT_TRUE(WaitFor([&] { return progress_.Links() >= 2; }, 20000)) << "disconnect and reconnect after logout";
    {
        std::lock_guard<std::mutex> lk(progress_.mu);
        EXPECT_EQ(progress_.links[0], 'd');
        EXPECT_EQ(progress_.links[1], 'r');
        EXPECT_EQ(progress_.linkHandle, h);
        int lastSent = 0;
        size_t i = 0;
        for (; i < progress_.steps.size() && progress_.steps[i].first > 0; ++i) {
            EXPECT_EQ(progress_.steps[i].first, int(size));
            EXPECT_GT(progress_.steps[i].second, lastSent);
            lastSent = progress_.steps[i].second;
        }
        EXPECT_EQ(lastSent, int(size));
        int lastPercent = -1;
        for (; i < progress_.steps.size() && progress_.steps[i].first == -1; ++i) {
            EXPECT_GT(progress_.steps[i].second, lastPercent);
            lastPercent = progress_.steps[i].second;
        }
        EXPECT_EQ(lastPercent, 100);
        ASSERT_EQ(i + 1, progress_.steps.size());
        EXPECT_EQ(progress_.steps[i], std::make_pair(0, -1));
        for (auto& t : progress_.threads)
            EXPECT_NE(t, std::this_thread::get_id());
    }
    // The re-established login stays open and sees the new firmware.
    ZRDEV_VERSION_INFO v{};
    int len = 0;
    ASSERT_TRUE(SdkQueryDevState(h, SDK_DEVSTATE_SOFTWARE, reinterpret_cast<char*>(&v), sizeof v, &len, 3000));
    EXPECT_STREQ(v.szSoftWareVersion, "9.9.9.1");
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    EXPECT_EQ(v.dwSoftwareBuildDate >> 16, DWORD(tm.tm_year + 1900));
    EXPECT_TRUE(SdkLogout(h));
    EXPECT_FALSE(SdkLogout(h));
    unlink(path.c_str());
}

TEST_F(UpgradeTest, RefusedOrFailedImagesAreReportedAndTheDeviceStays)
{
    struct {
        const char* name;
        int refuse;
        std::string head;
        bool startFails;
    } cases[] = {
        {"device refuses the start", 1, "ZR\1\2", true},
        {"image the device rejects", 0, "NOTFIRMWARE", false},
        {"install fails", 2, "ZR\1\2", false},
    };
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        fleet_->With(0, [&](devsim::DeviceModel& m) { m.State().upgradeRefuse = c.refuse; });
        {
            std::lock_guard<std::mutex> lk(progress_.mu);
            progress_.steps.clear();
        }
        std::string path = WriteImage("bad", c.head, 100000);
        LONG up = SdkStartUpgrade(h, SDK_UPGRADE_BIOS_TYPE, path.c_str(), OnProgress, &progress_);
        if (c.startFails) {
            EXPECT_EQ(up, 0);
            EXPECT_NE(SdkGetLastError(), 0u);
        } else {
            ASSERT_GE(up, 2);
            ASSERT_TRUE(SdkSendUpgrade(up));
            EXPECT_TRUE(WaitFor([&] { return progress_.Has(0, -2); }, 20000));
            EXPECT_TRUE(SdkStopUpgrade(up));
        }
        unlink(path.c_str());
    }
    EXPECT_EQ(progress_.Links(), 0u) << "no reboot after a failed upgrade";
    EXPECT_EQ(SdkStartUpgrade(h, SDK_UPGRADE_BIOS_TYPE, "/nonexistent/file.bin", OnProgress, &progress_), 0);
    EXPECT_EQ(SdkStartUpgrade(0, SDK_UPGRADE_BIOS_TYPE, "/etc/hostname", OnProgress, &progress_), 0);
    EXPECT_EQ(SdkGetLastError(), SDK_INVALID_HANDLE);
    // A failed upgrade leaves no watch: logout really ends the login.
    EXPECT_TRUE(SdkLogout(h));
    EXPECT_TRUE(WaitFor([&] { return fleet_->OpenSessions(0) == 0; }));
}

TEST_F(UpgradeTest, StopAcceptsPlaceholdersAndNoProgressFollowsIt)
{
    EXPECT_FALSE(SdkStopUpgrade(0));
    EXPECT_FALSE(SdkStopUpgrade(1));
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    std::string path = WriteImage("stop", "ZR\1\2", 8 * 1024 * 1024);
    LONG up = SdkStartUpgrade(h, SDK_UPGRADE_BIOS_TYPE, path.c_str(), OnProgress, &progress_);
    ASSERT_GE(up, 2);
    ASSERT_TRUE(SdkSendUpgrade(up));
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard<std::mutex> lk(progress_.mu);
        return !progress_.steps.empty();
    }));
    EXPECT_TRUE(SdkStopUpgrade(up));
    size_t after;
    {
        std::lock_guard<std::mutex> lk(progress_.mu);
        after = progress_.steps.size();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    {
        std::lock_guard<std::mutex> lk(progress_.mu);
        EXPECT_EQ(progress_.steps.size(), after);
    }
    EXPECT_FALSE(SdkStopUpgrade(up)) << "already ended";
    SdkLogout(h);
    unlink(path.c_str());
}

TEST_F(UpgradeTest, DeviceDescriptionForTheCloudCheck)
{
    LONG h = LoginTo(0);
    ASSERT_GE(h, 2);
    devsim::DeviceState s = fleet_->StateOf(0);
    NET_IN_UPGRADE_DEV_INFO in{sizeof in};
    auto out = std::make_unique<NET_OUT_UPGRADE_DEV_INFO>();
    std::memset(out.get(), 0, sizeof *out);
    out->dwSize = sizeof *out;
    ASSERT_TRUE(SdkGetUpgradeDevInfo(h, &in, out.get(), 5000));
    EXPECT_EQ(ReadAt<int32_t>(out.get(), 12), int32_t(s.buildDate >> 16));
    EXPECT_EQ(TextAt(out.get(), 448), s.serial);
    EXPECT_EQ(TextAt(out.get(), 512), s.version);
    EXPECT_EQ(TextAt(out.get(), 320), "English");
    SdkLogout(h);
}

} // namespace
} // namespace devtest
