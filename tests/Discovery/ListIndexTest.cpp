// The model's duplicate check keeps up with every change of its device list: a device removed
// or a list replaced behind its back is accepted again.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "RecordingPeers.h"

TEST(ListIndex, DuplicateCheckFollowsRemovalsAndReplacements)
{
    auto peers = std::make_shared<RecordingPeers>();
    auto model = std::make_shared<CDeviceListUILogic>(std::weak_ptr<CMainFrameEventImp>());
    model->SetPeers(peers);
    model->Init();
    peers->logic = model;
    auto insert = [&](const char* ip, const char* mac) {
        const size_t before = model->GetDeviceList().size();
        model->Task_InsertDevice(MakeDevice(ip, mac));
        return model->GetDeviceList().size() > before;
    };
    struct Step {
        const char* name;
        std::function<void()> change;
        const char* mac;
        bool accepted;
    } steps[] = {
        {"first", [] {}, "aa:bb:cc:00:00:01", true},
        {"second", [] {}, "aa:bb:cc:00:00:02", true},
        {"same MAC again", [] {}, "AA:BB:CC:00:00:01", false},
        {"after its removal", [&] { model->DeleteDevice(L"aa:bb:cc:00:00:01"); }, "aa:bb:cc:00:00:01", true},
        {"last one removed from the list directly",
         [&] { model->GetDeviceList().pop_back(); }, "aa:bb:cc:00:00:01", true},
        {"list emptied directly", [&] { model->GetDeviceList().clear(); }, "aa:bb:cc:00:00:02", true},
        {"still a duplicate", [] {}, "aa:bb:cc:00:00:02", false},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.change();
        const std::string ip = "10.0.1." + std::to_string(++n);
        EXPECT_EQ(insert(ip.c_str(), s.mac), s.accepted);
    }
}
