// The model's duplicate check keeps up with every change of its device list: a device removed
// or a list replaced behind its back is accepted again.
#include <gtest/gtest.h>

#include <algorithm>
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

TEST(ListIndex, AddressCheckFollowsListChanges)
{
    auto peers = std::make_shared<RecordingPeers>();
    auto model = std::make_shared<CDeviceListUILogic>(std::weak_ptr<CMainFrameEventImp>());
    model->SetPeers(peers);
    model->Init();
    peers->logic = model;
    for (int i = 1; i <= 4; ++i)
        model->Task_InsertDevice(MakeDevice(("10.0.2." + std::to_string(i)).c_str(),
                                            ("aa:bb:cc:00:02:0" + std::to_string(i)).c_str()));
    DeviceVector& list = model->GetDeviceList();
    struct Step {
        const char* name;
        std::function<void()> change;
        const char* ip;
        bool conflict;
    } steps[] = {
        {"free address", [] {}, "10.0.2.50", false},
        {"listed address", [] {}, "10.0.2.3", true},
        {"address of a removed device", [&] { model->DeleteDevice(L"aa:bb:cc:00:02:02"); }, "10.0.2.2", false},
        {"list reordered", [&] { std::swap(list[1], list[2]); }, "10.0.2.4", true},
        {"list rotated", [&] { std::rotate(list.begin(), list.begin() + 1, list.end()); }, "10.0.2.1", true},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.change();
        const std::string mac = "aa:bb:cc:00:03:0" + std::to_string(++n);
        model->Task_InsertDevice(MakeDevice(s.ip, mac.c_str()));
        ASSERT_EQ(mac, list.back()->stNetInfo.szMacAddr);
        EXPECT_EQ(s.conflict ? 1 : 0, list.back()->bIPConflict);
        // The listed device with that address is flagged too.
        int flagged = 0;
        for (const DevicePtr& d : list)
            flagged += d != list.back() && d->bIPConflict && std::string(d->stNetInfo.szIpAddr) == s.ip;
        EXPECT_EQ(s.conflict ? 1 : 0, flagged);
    }
}
