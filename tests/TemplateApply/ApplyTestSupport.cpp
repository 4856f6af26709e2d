#include "ApplyTestSupport.h"

#include <QAbstractButton>
#include <QTimer>

#include "FleetAddresses.h"
#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"

namespace applytest {

void Click(CSFButton* button)
{
    auto* b = dynamic_cast<QAbstractButton*>(button);
    ASSERT_NE(b, nullptr);
    b->click();
}

std::shared_ptr<Panel> Panel::Make()
{
    auto p = std::make_shared<Panel>();
    p->control = CTemplateConfigUILogic::Create(p);
    p->applyDlg = CTemplateApplyDlg::Create(p);
    p->resultDlg = CTemplateApplyResultDlg::Create(p);
    return p;
}

void Panel::SetResultIcon(int treeItem, TEMPLATE_RESULT_SET flags)
{
    icons.emplace_back(treeItem, flags);
    if (onIcon)
        onIcon(int(icons.size()));
}

int Panel::RunDialog(const std::string& templatePath, std::function<void()> atOpen)
{
    control->SetTemplateMode(3);
    control->SetTemplateFile(templatePath);
    resultDlg->SetTemplateFile(templatePath);
    applyDlg->SetDeviceCount(int(control->GetDeviceCount()));
    applyDlg->SetTemplateName(templatePath);
    applyDlg->ResetState();
    applyDlg->GetDialog()->CenterWindow(nullptr);
    QTimer::singleShot(0, [atOpen] { atOpen(); });
    return applyDlg->GetDialog()->DoModalDlg();
}

devsim::DeviceState ApplyFleetTest::Device(const std::string& type, int channels)
{
    devsim::DeviceState s;
    s.type = type;
    s.channels = channels;
    s.users.push_back(devsim::User{"admin", "admin123", 1, false, 0, 0});
    return s;
}

void ApplyFleetTest::StartFleet(std::vector<devsim::DeviceState> devices)
{
    fleet_ = vxtest::StartFleetOnFreeBlock(400, 13, [&](const std::string& prefix) {
        std::vector<devsim::DeviceState> placed = devices;
        for (size_t i = 0; i < placed.size(); ++i) {
            placed[i].ip = devsim::NextAddress(prefix + "2", i);
            char mac[32];
            std::snprintf(mac, sizeof mac, "3c:ef:7a:00:01:%02x", unsigned(i));
            placed[i].mac = mac;
        }
        return placed;
    }, prefix_);
    ASSERT_TRUE(fleet_);
    vxtest::StartSdkOnFleet(prefix_, devices.size());
    inited_ = true;
}

void ApplyFleetTest::TearDown()
{
    if (inited_)
        SdkCleanup();
    devsdk::ResetSimOptions();
    if (fleet_)
        fleet_->Stop();
}

void ApplyFleetTest::AddDevice(CTemplateConfigUILogic& control, size_t i, const char* password)
{
    control.AddDevice(0, Ip(i).c_str(), "admin", password, Mac(i).c_str(), int(100 + i), 0);
}

std::string ApplyFleetTest::Record(size_t i, int command, int channel, int profile)
{
    devsim::DeviceState s = fleet_->StateOf(i);
    auto it = s.records.find(std::to_string(command) + ":" + std::to_string(channel) + ":" + std::to_string(profile));
    return it == s.records.end() ? std::string() : it->second;
}

} // namespace applytest
