// The device configuration logic against an embedded fleet reached through the real SDK, with
// the task loops running and a recording page and video window.
#pragma once

#include <gtest/gtest.h>

#include <map>

#include "DevConfig/CLoginLogic.h"
#include "DevConfig/CLoginUILogic.h"
#include "FleetAddresses.h"
#include "ReadyDevice.h"
#include "RecordingPage.h"
#include "TaskLoops.h"

namespace devconfigtest {

class FleetFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { vxtest::StartSuiteLoops(); }
    static void TearDownTestSuite() { vxtest::StopSuiteLoops(); }

    // Each test has its own block of addresses (127.<block>.<position>.x), so that tests in
    // parallel processes never share an address.
    void StartSdk(int block)
    {
        const int index = vxtest::TestIndexInSuite();
        devsdk::SimOptions opt;
        opt.embeddedFirst = "127." + std::to_string(block) + "." + std::to_string(index + 1) + ".2";
        opt.localIp = "127." + std::to_string(block) + "." + std::to_string(index + 1) + ".1";
        opt.embeddedRebootMs = 300;
        vxtest::StartEmbeddedSdk(opt, sdkUp, fleet);
        if (HasFatalFailure())
            return;
        ui = std::make_shared<CLoginUILogic>(std::weak_ptr<CMainFrameEventImp>());
        page = std::make_shared<RecordingPage>();
        ui->SetPeers(page);
        ui->Init();
        ui->SetVideoWindow(&window);
    }

    void TearDown() override
    {
        if (ui) {
            const int before = page->Count("OnModuleStopped 2");
            ui->LogoutDev();
            WaitUntil([&] { return page->Count("OnModuleStopped 2") > before; });
        }
        if (sdkUp)
            SdkCleanup();
        devsdk::ResetSimOptions();
    }

    // First initialised device of this type in the fleet.
    size_t DeviceOf(const std::string& type) { return ReadyDevice(*fleet, type); }

    // Logs in (port 0: the default) and waits until the login sequence reached the encode
    // queries of the page.
    void LoginAndWait(size_t device, const std::string& password = "admin123")
    {
        devsim::DeviceState s = fleet->StateOf(device);
        ui->LoginDevice(s.ip, 0, "admin", password, 1, s.mac, false, 0);
        ASSERT_TRUE(WaitUntil([&] { return page->Has("ApplyMainAbility 0 1") || page->Has("ShowLoginError 1 0"); }));
        ASSERT_TRUE(page->Has("ApplyMainAbility 0 1"));
        ASSERT_GT(ui->GetLoginID(), 0);
    }

    // Runs one encode query the way the page does and waits for its result.
    Json::Value Query(const std::string& key, int mainType = 0, int subType = 0)
    {
        const std::string method = ViewMethodOf(key);
        size_t before = page->Results(method);
        ui->QueryConfig(0, mainType, "", 0, -1, subType, "", -1, key, SDKMETHOD_DEFAULT, true);
        EXPECT_TRUE(WaitUntil([&] { return page->Results(method) > before; })) << key;
        return page->Last(method);
    }

    static std::string ViewMethodOf(const std::string& key)
    {
        static const std::map<std::string, std::string> m = {
            {"EncodeMode", "FillEncodeModeCombo"},        {"Resolution", "FillResolutionCombo"},
            {"Frame", "SetMainFrameRate"},                {"BitRate", "SetMainBitRate"},
            {"BitRateControl", "SetMainBitRateControl"},  {"ImageQuality", "SetMainImageQuality"},
            {"Sub1Ability", "ApplySubAbility"},           {"Sub1VideoEnable", "SetSubVideoEnable"},
            {"Sub1EncodeMode", "FillSubEncodeModeCombo"}, {"Sub1Resolution", "FillSubResolutionCombo"},
            {"Sub1Frame", "SetSubFrameRate"},             {"Sub1BitRate", "SetSubBitRate"},
            {"Sub1BitRateControl", "SetSubBitRateControl"}, {"Sub1ImageQuality", "SetSubImageQuality"},
            {"Sub1AudioEnable", "SetSubAudioEnable"},     {"AudioEnable", "SetMainAudioEnable"},
            {"Sub1AudioEncode", "FillSubAudioEncodeCombo"}, {"AudioEncode", "FillAudioEncodeCombo"},
            {"AudioSF", "FillAudioEncodeComboEx"}};
        return m.at(key);
    }

    bool sdkUp = false;
    devsim::Fleet* fleet = nullptr;
    std::shared_ptr<CLoginUILogic> ui;
    std::shared_ptr<RecordingPage> page;
    RecordingVideoWindow window;
};

} // namespace devconfigtest
