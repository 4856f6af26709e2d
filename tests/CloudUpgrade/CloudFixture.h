// Shared set-up of the cloud upgrade tests: the message loops, a fleet of emulated devices and a
// cloud update service on loopback addresses of this process, the SDK pointed at them, a scheduler
// with a page that records what it is told, and a temporary download folder.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CloudUpgrade/CCloudUpgradeLogic.h"
#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "cloudsvc/CloudServer.h"
#include "devsim/Fleet.h"

namespace cloudtest {

// Pumps the GUI loop until pred holds.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 20000);

struct CheckResult {
    NET_IN_CLOUD_UPGRADER_CHECK request;
    NET_OUT_CLOUD_UPGRADER_CHECK answer;
    int checkResult = 0;
    std::string ip, mac;
    long login = 0;
    int result = 0;
};

class RecordingPage : public CCloudUpgradePageSink {
public:
    void OnCheckResult(std::shared_ptr<NET_IN_CLOUD_UPGRADER_CHECK> request,
                       std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer, int checkResult, std::string ip,
                       std::string mac, long loginHandle, int result) override;
    void OnRemoteCheckResult(std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer, int checkResult,
                             std::string serialNo, std::string key, int row) override;
    void SetDownloadResult(int row, bool success) override { downloadResult[row] = success ? 1 : 0; }
    void SetRowProgress(int row, int value, int barId) override { progress[barId][row].push_back(value); }
    void ShowUpgradeResult(int row, int code) override { upgradeResult[row] = code; }
    void ResetUpgradeButton(bool enable) override { upgradeIdle += enable ? 1 : 0; }
    void ResetDownloadButton(bool enable) override { downloadIdle += enable ? 1 : 0; }
    void MarkDeviceUpgraded(const char* ip, const char*) override { upgraded.push_back(ip); }
    void ShowAttention(const wchar_t* text) override { attention.push_back(text); }

    std::vector<CheckResult> checks;
    std::vector<std::pair<int, std::string>> remoteChecks;
    std::map<int, int> downloadResult;
    std::map<int, std::map<int, std::vector<int>>> progress;
    std::map<int, int> upgradeResult;
    int upgradeIdle = 0;
    int downloadIdle = 0;
    std::vector<std::string> upgraded;
    std::vector<std::wstring> attention;
};

class CloudFixture : public ::testing::Test {
protected:
    // devices: the fleet (admin / admin123 on port 37777); the service offers each its next version.
    void Start(std::vector<devsim::DeviceState> devices, const cloudsvc::Faults& faults = cloudsvc::Faults(),
               uint32_t payload = 64 * 1024);
    void TearDown() override;
    // A mixed fleet of n initialised devices from this process's block.
    std::vector<devsim::DeviceState> Devices(size_t n);
    devsim::DeviceState State(size_t i) const { return fleet_->StateOf(i); }
    std::string Ip(size_t i) const { return fleet_->StateOf(i).ip; }
    // The firmware address the service offers device i.
    std::string UrlFor(size_t i) const;
    std::string Folder() const { return folder_; }
    // Downloads device i's firmware into the folder under name; the path.
    std::string DownloadFor(size_t i, const std::string& name);

    std::string prefix_;
    std::string folder_;
    std::unique_ptr<devsim::Fleet> fleet_;
    std::unique_ptr<cloudsvc::Server> service_;
    std::shared_ptr<RecordingPage> page_ = std::make_shared<RecordingPage>();
    std::shared_ptr<CCloudUpgradeUILogic> logic_;
};

} // namespace cloudtest
