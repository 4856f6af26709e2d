// Pieces of the template apply tests: the worker loops, an apply panel that records what the
// control tells it, and a fleet of emulated devices on addresses of this test process.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Template/CTemplateApplyDlg.h"
#include "Template/CTemplateApplyResultDlg.h"
#include "Template/CTemplateConfigUILogic.h"
#include "TaskLoops.h"
#include "TemplateTestOwner.h"
#include "devsim/Fleet.h"

namespace applytest {

// Registers loop 1 (this thread) and loop 3 (a worker thread) once per process.
inline void EnsureLoops()
{
    vxtest::EnsureTaskLoops();
}
// Runs the GUI loop until done() holds or limitMs passed.
inline bool PumpUntil(const std::function<bool()>& done, int limitMs = 20000)
{
    return vxtest::PumpUntil(done, limitMs);
}
// Clicks a facade button as a user would.
void Click(CSFButton* button);

// The apply panel as the control and the dialogs see it.
class Panel : public tpltest::OwnerView, public ITemplateApplyRun, public std::enable_shared_from_this<Panel> {
public:
    static std::shared_ptr<Panel> Make();

    void SetResultIcon(int treeItem, TEMPLATE_RESULT_SET flags) override;
    void OnConfigFinish() override { ++finished; }
    std::shared_ptr<CTemplateApplyDlg> GetApplyDlg() override { return applyDlg; }
    std::shared_ptr<CTemplateConfigUILogic> GetConfigUILogic() override { return control; }

    // Feeds the control and the dialog as the panel does before a run, then runs the dialog
    // modally; atOpen runs once the dialog is up.
    int RunDialog(const std::string& templatePath, std::function<void()> atOpen);

    std::shared_ptr<CTemplateConfigUILogic> control;
    std::shared_ptr<CTemplateApplyDlg> applyDlg;
    std::shared_ptr<CTemplateApplyResultDlg> resultDlg;
    std::vector<std::pair<int, TEMPLATE_RESULT_SET>> icons;
    std::function<void(int)> onIcon;  // called with the number of icons so far
    int finished = 0;
};

class ApplyFleetTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureLoops(); }
    void TearDown() override;
    // Serves these devices from prefix.2 on and points the SDK at them.
    void StartFleet(std::vector<devsim::DeviceState> devices);
    static devsim::DeviceState Device(const std::string& type, int channels);
    std::string Ip(size_t i) const { return fleet_->StateOf(i).ip; }
    std::string Mac(size_t i) const { return fleet_->StateOf(i).mac; }
    // Adds device i to the control, tree item 100 + i.
    void AddDevice(CTemplateConfigUILogic& control, size_t i, const char* password = "admin123");
    // A record written to device i, or empty.
    std::string Record(size_t i, int command, int channel, int profile);

    std::string prefix_;
    std::unique_ptr<devsim::Fleet> fleet_;
    bool inited_ = false;
};

template <class T> T RecordAs(const std::string& bytes)
{
    T rec{};
    if (bytes.size() == sizeof rec)
        std::memcpy(&rec, bytes.data(), sizeof rec);
    return rec;
}

} // namespace applytest
