// Which restore call each device type gets, and what a restore resets on the device.
#include "SysConfigTestSupport.h"

#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "devsim/Fleet.h"

TEST(RestoreCall, ByDeviceType)
{
    systest::EnsureLoops();
    struct {
        const char* type;
        const char* call;
    } cases[] = {
        {"IPC", "reset"}, {"SD", "reset"},  {"EVS", "reset"}, {"DVR", "control"},
        {"nvr", "control"}, {"Hcvr", "control"}, {"ITC", "control"},
    };
    const size_t n = sizeof cases / sizeof cases[0];
    std::unique_ptr<devsim::Fleet> fleet;
    std::string prefix;
    for (int attempt = 0; attempt < 6 && !fleet; ++attempt) {
        prefix = systest::ProcessPrefix(attempt + 30);
        devsim::Fleet::Options fo;
        fo.rebootMs = 200;
        fleet = std::make_unique<devsim::Fleet>(fo);
        std::vector<devsim::DeviceState> devices = devsim::MakeMixedFleet(n, prefix + "2", 5);
        for (size_t i = 0; i < n; ++i) {
            devices[i].type = cases[i].type;
            devices[i].initState = 2;
            devices[i].users = {devsim::User{"admin", "admin123", 1, false, 0, 0}};
            devices[i].tables["AutoMaintain"]["AutoRebootDay"] = 5;
            fleet->Add(devices[i]);
        }
        if (!fleet->Start())
            fleet.reset();
    }
    ASSERT_TRUE(fleet);
    devsdk::SimOptions o;
    o.embedded = false;
    o.fleets = {prefix + "2+" + std::to_string(n)};
    o.localIp = prefix + "1";
    devsdk::SetSimOptions(o);
    ASSERT_TRUE(SdkInit(nullptr, nullptr));

    auto view = std::make_shared<systest::RecordingView>();
    auto logic = CConfigUILogic::Create(view);
    for (size_t i = 0; i < n; ++i) {
        const devsim::DeviceState s = fleet->StateOf(i);
        logic->AddDevice(0, s.ip.c_str(), "admin", "admin123", s.mac.c_str(), 0, s.type, int(i), s.serial);
    }
    EXPECT_TRUE(systest::RunAndWait(*logic, *view, 1, SYSCONFIG_RESTORE));
    for (size_t i = 0; i < n; ++i) {
        SCOPED_TRACE(cases[i].type);
        EXPECT_EQ(logic->GetDeviceResult(int(i)), 1);
        const devsim::DeviceState s = fleet->StateOf(i);
        EXPECT_EQ(s.lastRestore, cases[i].call);
        // Configuration back to defaults; users and the network kept.
        EXPECT_FALSE(s.tables.isMember("AutoMaintain"));
        EXPECT_EQ(s.users.size(), 1u);
    }
    SdkCleanup();
    devsdk::ResetSimOptions();
    fleet->Stop();
}
