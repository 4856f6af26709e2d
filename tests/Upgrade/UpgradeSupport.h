// Shared set-up of the upgrade tests: an external devsim fleet of the test's own, firmware files,
// and an answerer for the modal message boxes and file choosers the page opens.
#pragma once

#include <QProcess>
#include <QTimer>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "devsim/DeviceModel.h"
#include "fwmake/FirmwareImage.h"

namespace upgradetest {

// A devsim program serving the given devices from prefix.2 on; stopped when destroyed.
class ExternalFleet {
public:
    ~ExternalFleet();
    // Address block "127.65.<block>."; devices get .2, .3, ... in order.
    bool Start(int block, std::vector<devsim::DeviceState> devices, int rebootMs);
    std::string Prefix() const { return prefix_; }
    std::string Spec() const { return spec_; }
    std::string Ip(size_t i) const { return prefix_ + std::to_string(2 + i); }

private:
    QProcess proc_;
    std::string prefix_;
    std::string spec_;
    std::string file_;
};

// A device of the fleet: model, credentials admin/admin123, maxSessions.
devsim::DeviceState Device(const std::string& type, const std::string& model, int index);

// Writes a firmware image into the test's temporary folder; returns its path.
std::string MakeFirmware(const std::string& name, fwmake::ImageOptions opt);

// Answers every modal dialog: a file chooser with the next queued path (cancelled when none),
// any other dialog with `answer` (1 OK, 2 Cancel); records the texts shown.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int answer = 1);
    ~DialogAnswerer();
    void QueueFile(const std::string& path);
    void SetAnswer(int answer) { answer_ = answer; }
    std::vector<std::wstring> Texts();
    bool Saw(const std::wstring& text);

private:
    void Poll();
    QTimer timer_;
    int answer_;
    std::mutex mu_;
    std::vector<std::string> files_;
    std::vector<std::wstring> texts_;
};

// The SDK pointed at the fleet, settings for it, and a main window (start-up search included).
std::shared_ptr<CMainFrameEventImp> MainWindowFor(const ExternalFleet& fleet);

} // namespace upgradetest
