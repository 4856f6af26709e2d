// The SDK's update check and firmware downloads against the cloud update service stand-in, and
// a downloaded image going into an emulated device.
#include "TestFleet.h"

#include "cloudsvc/CloudServer.h"
#include "devsdk/CloudWire.h"
#include "devsdk/Wire.h"
#include "devsim/DeviceModel.h"
#include "fwmake/FirmwareImage.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using devtest::WaitFor;

std::string TempDir()
{
    static std::string dir = [] {
        char tmpl[] = "/tmp/cloudsvc-test-XXXXXX";
        return std::string(mkdtemp(tmpl));
    }();
    return dir;
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Fills a request as the configuration tool does for serial number S.
NET_IN_CLOUD_UPGRADER_CHECK Request(const std::string& url, const std::string& serial, const std::string& version,
                                    bool goodToken = true)
{
    NET_IN_CLOUD_UPGRADER_CHECK in;
    std::memset(&in, 0, sizeof in);
    in.dwSize = sizeof in;
    std::snprintf(in.szUrl, sizeof in.szUrl, "%s", url.c_str());
    std::snprintf(in.szSerialNo, sizeof in.szSerialNo, "%s", serial.c_str());
    std::snprintf(in.szSoftwareVersion, sizeof in.szSoftwareVersion, "%s", version.c_str());
    std::snprintf(in.szAccount, sizeof in.szAccount, "%s", cloudsvc::AccountText(serial).c_str());
    std::snprintf(in.szToken, sizeof in.szToken, "%s",
                  goodToken ? cloudsvc::TokenFor(serial).c_str() : "00000000000000000000000000000000");
    return in;
}

NET_OUT_CLOUD_UPGRADER_CHECK Answer()
{
    NET_OUT_CLOUD_UPGRADER_CHECK out;
    std::memset(&out, 0, sizeof out);
    out.dwSize = sizeof out;
    return out;
}

// Records every download callback.
struct Recorder {
    std::mutex mu;
    std::vector<std::pair<int, int>> states; // (state, percent)
    std::atomic<int> calls{0};
    static void Cb(LONG, int state, WORD, WORD, DWORD percent, void* user)
    {
        auto* r = static_cast<Recorder*>(user);
        std::lock_guard<std::mutex> lk(r->mu);
        r->states.emplace_back(state, int(percent));
        ++r->calls;
    }
    int Last()
    {
        std::lock_guard<std::mutex> lk(mu);
        return states.empty() ? 0 : states.back().first;
    }
};

class CloudServiceTest : public devtest::SdkFleetTest {
protected:
    void SetUp() override
    {
        StartFleet(2);
        std::string error;
        ASSERT_TRUE(cloudsvc::EntriesFromFleet(devsdk::wire::WriteCompact(fleet_->ToJson()), opt_.entries, error))
            << error;
    }
    void StartService()
    {
        opt_.host = Addr(250);
        server_ = std::make_unique<cloudsvc::Server>(opt_);
        std::string error;
        ASSERT_TRUE(server_->Start(error)) << error;
    }
    void TearDown() override
    {
        if (server_)
            server_->Stop();
        SdkFleetTest::TearDown();
    }
    LONG Download(const std::string& url, const std::string& path, Recorder& rec)
    {
        NET_IN_CLOUD_DOWNLOAD in;
        std::memset(&in, 0, sizeof in);
        in.dwSize = sizeof in;
        std::snprintf(in.szUrl, sizeof in.szUrl, "%s", url.c_str());
        std::snprintf(in.szSavePath, sizeof in.szSavePath, "%s", path.c_str());
        in.cbDownload = &Recorder::Cb;
        in.dwUser = &rec;
        NET_OUT_CLOUD_DOWNLOAD out{sizeof(NET_OUT_CLOUD_DOWNLOAD)};
        return SdkCloudDownloadStart(&in, &out);
    }
    std::string FirmwareUrl(size_t device)
    {
        const devsim::DeviceState s = fleet_->StateOf(device);
        NET_IN_CLOUD_UPGRADER_CHECK in = Request(server_->Url(), s.serial, s.version);
        NET_OUT_CLOUD_UPGRADER_CHECK out = Answer();
        EXPECT_TRUE(SdkCloudUpgraderCheck(&in, &out, 5000)) << std::hex << SdkGetLastError();
        return out.szPackageUrl;
    }

    cloudsvc::Options opt_;
    std::unique_ptr<cloudsvc::Server> server_;
};

TEST(CloudAccountTest, TokenIsTheSaltedDoubleDigestInCapitals)
{
    EXPECT_EQ(cloudsvc::TokenFor("ABC0123456789"), "3B2DBAE076362C30776A20B3EDC32BDA");
    EXPECT_EQ(cloudsvc::TokenFor(""), "FD7A2820958BDE92B556D92C0401E887");
    EXPECT_EQ(cloudsvc::AccountText("SN1"), "QXMTLOPAW-K7SN1");
    EXPECT_EQ(cloudsvc::AccountText(std::string(200, 'x')).size(), 127u);
}

TEST(CloudAccountTest, NextVersionRaisesTheLastNumber)
{
    const std::pair<const char*, const char*> cases[] = {
        {"2.800.0000000.16.R", "2.800.0000000.17.R"}, {"1.9", "1.10"}, {"V099", "V100"}, {"beta", "beta.1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(cloudsvc::NextVersion(c.first), c.second);
    }
}

TEST(CloudUrlTest, OnlyDottedAddressesWithSanePortsParse)
{
    struct Case {
        const char* text;
        bool ok;
        int port;
        const char* path;
    } cases[] = {
        {"http://127.0.0.1:8080", true, 8080, "/"},
        {"https://127.0.0.9", true, 443, "/"},
        {"127.0.0.2:81/firmware/a.bin", true, 81, "/firmware/a.bin"},
        {"HTTP://127.0.0.1:1/x", true, 1, "/x"},
        {"https://update.example.com:443", false, 0, ""},
        {"ftp://127.0.0.1:21", false, 0, ""},
        {"http://127.0.0.1:0", false, 0, ""},
        {"http://127.0.0.1:65536", false, 0, ""},
        {"http://127.0.0.1:", false, 0, ""},
        {"http://127.0.0.1:12ab", false, 0, ""},
        {"", false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        devsdk::cloud::Address a;
        ASSERT_EQ(devsdk::cloud::ParseUrl(c.text, 1024, a), c.ok);
        if (c.ok) {
            EXPECT_EQ(a.port, c.port);
            EXPECT_EQ(a.path, c.path);
        }
    }
}

TEST_F(CloudServiceTest, CheckAnswersBySerialNumberAndRefusesABadToken)
{
    StartService();
    const devsim::DeviceState s = fleet_->StateOf(0);
    NET_IN_CLOUD_UPGRADER_CHECK in = Request(server_->Url(), s.serial, s.version);
    NET_OUT_CLOUD_UPGRADER_CHECK out = Answer();
    ASSERT_TRUE(SdkCloudUpgraderCheck(&in, &out, 5000)) << std::hex << SdkGetLastError();
    EXPECT_EQ(out.bHasNewVersion, 1);
    EXPECT_EQ(std::string(out.szNewVersion), cloudsvc::NextVersion(s.version));
    const std::string url = out.szPackageUrl;
    EXPECT_EQ(url.rfind(server_->Url() + "/firmware/", 0), 0u) << url;

    // Already on the offered version: nothing new.
    in = Request(server_->Url(), s.serial, cloudsvc::NextVersion(s.version));
    out = Answer();
    ASSERT_TRUE(SdkCloudUpgraderCheck(&in, &out, 5000));
    EXPECT_EQ(out.bHasNewVersion, 0);
    EXPECT_EQ(out.szPackageUrl[0], 0);

    // A serial number the service does not know.
    in = Request(server_->Url(), "UNKNOWN-1", "1.0");
    out = Answer();
    ASSERT_TRUE(SdkCloudUpgraderCheck(&in, &out, 5000));
    EXPECT_EQ(out.bHasNewVersion, 0);

    in = Request(server_->Url(), s.serial, s.version, false);
    EXPECT_FALSE(SdkCloudUpgraderCheck(&in, &out, 5000));
    EXPECT_EQ(SdkGetLastError(), SDK_NOT_AUTHORIZED);
    EXPECT_EQ(server_->GetCatalog().Checks(), 4u);
}

TEST_F(CloudServiceTest, CheckFailuresTellTimeOutFromOtherFailures)
{
    opt_.faults.hangChecks = true;
    StartService();
    const devsim::DeviceState s = fleet_->StateOf(0);
    struct Case {
        std::string url;
        DWORD error;
    } cases[] = {
        {server_->Url(), SDK_NETWORK_ERROR},                       // the service never answers
        {"http://" + Addr(251) + ":1", SDK_ERROR},                 // nothing listens there
        {"https://update.example.com:443", SDK_ERROR},             // not an address we reach
        {"http://192.0.2.1:80", SDK_ERROR},                        // not on this machine
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        NET_IN_CLOUD_UPGRADER_CHECK in = Request(c.url, s.serial, s.version);
        NET_OUT_CLOUD_UPGRADER_CHECK out = Answer();
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_FALSE(SdkCloudUpgraderCheck(&in, &out, 300));
        EXPECT_EQ(SdkGetLastError(), c.error);
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(3));
    }
    NET_OUT_CLOUD_UPGRADER_CHECK small = Answer();
    small.dwSize = 4;
    NET_IN_CLOUD_UPGRADER_CHECK in = Request(server_->Url(), s.serial, s.version);
    EXPECT_FALSE(SdkCloudUpgraderCheck(&in, &small, 300));
    EXPECT_EQ(SdkGetLastError(), SDK_ILLEGAL_PARAM);
}

TEST_F(CloudServiceTest, DownloadWritesTheWholeImageAndTheDeviceTakesIt)
{
    for (auto& e : opt_.entries)
        e.payloadSize = 3 * 1024 * 1024 + 5; // four pieces
    StartService();
    const std::string url = FirmwareUrl(0);
    const std::string path = TempDir() + "/fw-ok.bin";
    Recorder rec;
    const LONG h = Download(url, path, rec);
    ASSERT_GT(h, 1);
    ASSERT_TRUE(WaitFor([&] { return rec.Last() == RemoteUpdateState_Success; }));
    {
        std::lock_guard<std::mutex> lk(rec.mu);
        ASSERT_GE(rec.states.size(), 2u);
        int last = -1;
        for (size_t i = 0; i + 1 < rec.states.size(); ++i) {
            EXPECT_EQ(rec.states[i].first, RemoteUpdateState_Downloading);
            EXPECT_GT(rec.states[i].second, last);
            last = rec.states[i].second;
        }
        EXPECT_EQ(rec.states.back().second, 100);
    }
    EXPECT_FALSE(Exists(path + ".part"));
    const std::string image = ReadAll(path);
    ASSERT_EQ(image.size(), 128u + 3 * 1024 * 1024 + 5);
    fwmake::ImageHeader header;
    ASSERT_EQ(fwmake::ParseHeader(image.data(), image.size(), header), fwmake::HeaderStatus::Valid);
    EXPECT_EQ(header.family, fwmake::FamilyOfModel(fleet_->StateOf(0).model));
    EXPECT_EQ(SdkCloudDownloadStop(h), 1);
    const int calls = rec.calls;
    EXPECT_EQ(SdkCloudDownloadStop(h), 0); // stopped before
    EXPECT_EQ(rec.calls, calls);

    // The device installs the image and reports the version it offered.
    LONG login = LoginTo(0);
    ASSERT_NE(login, 0);
    std::atomic<int> end{0};
    auto cb = [](LONG, LONG, int total, int sent, void* user) {
        if (total == 0)
            static_cast<std::atomic<int>*>(user)->store(sent);
    };
    LONG up = SdkStartUpgrade(login, SDK_UPGRADE_BIOS_TYPE, path.c_str(), cb, &end);
    ASSERT_NE(up, 0) << std::hex << SdkGetLastError();
    ASSERT_TRUE(SdkSendUpgrade(up));
    ASSERT_TRUE(WaitFor([&] { return end != 0; }, 20000));
    EXPECT_EQ(end.load(), -1);
    SdkStopUpgrade(up);
    SdkLogout(login);
    EXPECT_TRUE(WaitFor([&] { return fleet_->StateOf(0).version == header.version; }));
}

TEST_F(CloudServiceTest, DownloadFailuresEndWithOneStateAndLeaveNoFile)
{
    struct Case {
        const char* name;
        cloudsvc::Faults faults;
        int state;
    } cases[] = {
        {"dropped", [] { cloudsvc::Faults f; f.dropDownloadAt = 1; return f; }(), RemoteUpdateState_Failed},
        {"no space", [] { cloudsvc::Faults f; f.downloadState = 4; f.downloadStateAt = 1; return f; }(),
         RemoteUpdateState_NoDiskSpace},
        {"odd state", [] { cloudsvc::Faults f; f.downloadState = 9; return f; }(), 9},
    };
    for (auto& e : opt_.entries)
        e.payloadSize = 2 * 1024 * 1024;
    StartService();
    const std::string url = FirmwareUrl(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server_->GetCatalog().SetFaults(c.faults);
        const std::string path = TempDir() + "/fw-" + std::to_string(c.state) + ".bin";
        Recorder rec;
        const LONG h = Download(url, path, rec);
        ASSERT_GT(h, 1);
        ASSERT_TRUE(WaitFor([&] { return rec.Last() != 0 && rec.Last() != RemoteUpdateState_Downloading; }));
        EXPECT_EQ(rec.Last(), c.state);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        {
            std::lock_guard<std::mutex> lk(rec.mu);
            int ends = 0;
            for (auto& s : rec.states)
                ends += s.first != RemoteUpdateState_Downloading;
            EXPECT_EQ(ends, 1);
        }
        EXPECT_FALSE(Exists(path));
        EXPECT_FALSE(Exists(path + ".part"));
        SdkCloudDownloadStop(h);
    }
}

TEST_F(CloudServiceTest, StoppedDownloadCallsBackNoMoreAndRefusedStartsNever)
{
    opt_.faults.dropDownloadAt = -1;
    for (auto& e : opt_.entries)
        e.payloadSize = 32 * 1024 * 1024;
    StartService();
    const std::string url = FirmwareUrl(0);
    const std::string path = TempDir() + "/fw-stop.bin";
    Recorder rec;
    const LONG h = Download(url, path, rec);
    ASSERT_GT(h, 1);
    ASSERT_TRUE(WaitFor([&] { return rec.calls > 0; }));
    EXPECT_EQ(SdkCloudDownloadStop(h), 1);
    const int calls = rec.calls;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(rec.calls, calls);
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(Exists(path + ".part"));
    EXPECT_EQ(SdkCloudDownloadStop(0), 0);
    EXPECT_EQ(SdkCloudDownloadStop(1), 0);

    Recorder refused;
    EXPECT_EQ(Download("https://update.example.com/firmware/x.bin", path, refused), 0);
    EXPECT_EQ(Download(url, "", refused), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(refused.calls, 0);
}

} // namespace
