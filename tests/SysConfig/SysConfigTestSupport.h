// Shared pieces of the system configuration tests: the task loops, a recording page, an
// external devsim process serving a fleet file, and SDK read-backs.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QProcess>

#include "FleetAddresses.h"
#include "SysConfig/CConfigUILogic.h"
#include "TaskLoops.h"
#include "devsim/DeviceModel.h"

namespace systest {

// Loop 1 on this (GUI) thread, loop 3 on a worker thread; once per process.
inline void EnsureLoops()
{
    vxtest::EnsureTaskLoops();
}
// Runs the GUI loop until done() holds; false after limitMs.
inline bool PumpUntil(const std::function<bool()>& done, int limitMs = 60000)
{
    return vxtest::PumpUntil(done, limitMs);
}
// "127.A.B." of this process (attempt picks another block).
inline std::string ProcessPrefix(int attempt)
{
    return vxtest::ProcessPrefix(attempt, 31);
}

// The page side of the scheduler: records what it is told.
class RecordingView : public ISysConfigView {
public:
    void SetResultIcon(int treeItem, int code) override;
    void OnGetDescriptionRet(const PWD_DESCRIPTION& d, int result, DWORD error) override;
    void OnCheckSecurityCodeRet(int result) override { checks.push_back(result); }
    void OnGetPwdDescriptionResult(std::vector<std::string> d) override { descriptionRuns.push_back(std::move(d)); }
    void OnConfigFinished() override { ++finished; }

    std::weak_ptr<CConfigUILogic> logic;
    std::vector<std::pair<int, int>> icons; // tree item, code
    int maxInFlight = 0;
    std::vector<PWD_DESCRIPTION> descriptions;
    std::vector<int> descriptionResults;
    std::vector<DWORD> descriptionErrors;
    std::vector<int> checks;
    std::vector<std::vector<std::string>> descriptionRuns;
    int finished = 0;
};

// A devsim program serving the given devices from a fleet file; the SDK is pointed at it.
class ExternalFleet {
public:
    ~ExternalFleet() { Stop(); }
    // Devices at prefix + 2 on; edit(i, state) scripts device i before the file is written.
    bool Start(size_t count, const std::function<void(size_t, devsim::DeviceState&)>& edit, int rebootMs = 300);
    void Stop();
    const devsim::DeviceState& Device(size_t i) const { return devices_[i]; }
    size_t Size() const { return devices_.size(); }
    std::string Prefix() const { return prefix_; }

private:
    std::unique_ptr<QProcess> proc_;
    std::vector<devsim::DeviceState> devices_;
    std::string prefix_;
    std::string file_;
    bool sdk_ = false;
};

// Fills the scheduler with the fleet's devices (tree item = index + 100).
void AddFleet(CConfigUILogic& logic, const ExternalFleet& fleet, const char* password = "admin123");
// Starts a run and waits for its end; false when it did not end.
bool RunAndWait(CConfigUILogic& logic, RecordingView& view, int paramValid, int type, int limitMs = 120000);
// Probes the fleet's addresses so that login-less calls find the devices by MAC.
void Discover(const ExternalFleet& fleet);

// SDK read-backs of one device (login admin with the password).
LONG Login(const std::string& ip, const char* password = "admin123", int* error = nullptr);
bool ReadTime(const std::string& ip, SYNC_TIME_PARAM& t);
bool ReadLocales(const std::string& ip, DST_PARAM& rec);
bool ReadNtp(const std::string& ip, NTP_PARAM& rec);
bool ReadMaintain(const std::string& ip, AUTO_MAINTAIN_PARAM& rec);

// The words the result details dialog shows for a device's result of a run.
std::wstring ResultWords(int type, int code);

} // namespace systest
