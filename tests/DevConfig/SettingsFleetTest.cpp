// Picture, channel-title, switch-mode, stream-capability and password changes against the
// embedded fleet: each lands on the device, and a write the device refuses is reported.
#include "FleetFixture.h"

#include <cstring>

using namespace devconfigtest;

namespace {

template <class T>
std::shared_ptr<T> Record(int profile = -1)
{
    auto r = std::make_shared<T>();
    std::memset(r.get(), 0, sizeof(T));
    DWORD size = sizeof(T);
    std::memcpy(r.get(), &size, 4);
    if (profile >= 0)
        std::memcpy(reinterpret_cast<char*>(r.get()) + 4, &profile, 4);
    return r;
}

class SettingsFleet : public FleetFixture {
protected:
    void SetUp() override { StartSdk(51); }

    void ReadPicture(int profile)
    {
        size_t before = page->calls.size();
        ui->GetVedioChannelParams(0, profile);
        ASSERT_TRUE(WaitUntil([&] {
            for (size_t i = before; i < page->calls.size(); ++i)
                if (page->calls[i].rfind("StartPreview", 0) == 0)
                    return true;
            return false;
        }));
    }
};

TEST_F(SettingsFleet, PictureChannelTitleAndSwitchModeLandOnTheDevice)
{
    size_t dev = DeviceOf("IPC");
    LoginAndWait(dev);
    ReadPicture(0);
    EXPECT_TRUE(page->Has("OnGetVideoEffect 1 0"));
    EXPECT_EQ(page->pending, 0);

    // Picture: the four records of profile 0.
    auto color = std::make_shared<tagNET_VIDEOIN_COLOR_INFO>(*page->color);
    color->nBrightness = 77;
    auto videoColor = std::make_shared<AV_CFG_ChannelVideoColor>(*page->videoColor);
    videoColor->stuColor[0].nBrightness = 66;
    ui->SaveVedioEffect(0, color, videoColor, Record<tagNET_VIDEOIN_BACKLIGHT_INFO>(0),
                        Record<tagNET_VIDEOIN_DAYNIGHT_INFO>(0));
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnSaveEffectResult 1"); }));
    ReadPicture(0);
    EXPECT_EQ(page->color->nBrightness, 77);
    EXPECT_EQ(page->videoColor->stuColor[0].nBrightness, 66);

    // Channel title, with the on-screen titles switched on.
    auto name = std::make_shared<AV_CFG_ChannelName>(*page->channelName);
    std::strcpy(reinterpret_cast<char*>(name.get()) + 8, "Gate_A");
    ui->SaveChannelName(0, name);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnSaveChannelNameResult 1"); }));
    std::string title;
    fleet->With(dev, [&](devsim::DeviceModel& m) { title = m.Table("ChannelTitle")[0]["Name"].asString(); });
    EXPECT_EQ(title, "Gate_A");

    // Switch mode 3 (night) selects profile 1 for the next unresolved read.
    auto mode = Record<tagNET_VIDEOIN_SWITCH_MODE_INFO>();
    mode->emSwitchMode = 3;
    ui->SaveFileConfig(*mode, 0);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnSaveConfigFileResult 1"); }));
    ui->GetFileConfigPara(0);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnGetConfigFileInfo 1"); }));
    EXPECT_EQ(page->switchMode->emSwitchMode, 3);
    ReadPicture(-1);
    EXPECT_TRUE(page->Has("OnGetVideoEffect 1 1"));
    EXPECT_EQ(page->pending, 0);

    // Stream capabilities and watermark read with the login's handle.
    ui->GetMainSVCLayer(ui->GetLoginID(), 0);
    ui->GetSubSVCLayer(ui->GetLoginID(), 0);
    ui->GetWaterMark(99, 0);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnGetWaterMark 1"); }));
    EXPECT_TRUE(page->Has("OnGetMainSVCLayer 1 3"));
    EXPECT_TRUE(page->Has("OnGetSubSVCLayer 1 1"));

    // The watermark text goes into the field the device uses.
    ASSERT_GT(SetWaterMarkText(ui->GetLoginID(), 0, 1, L"Site-7"), 0);
    __ZRDEV_WATERMAKE_CFG mark{};
    mark.dwSize = sizeof mark;
    int returned = 0;
    ASSERT_TRUE(SdkGetDevConfig(ui->GetLoginID(), SDK_DEV_WATERMAKE_CFG, 0, &mark, sizeof mark, &returned, 5000));
    EXPECT_EQ(mark.nEnable, 1);
    EXPECT_STREQ(mark.nKey == 1 ? mark.szLetterData : mark.szData, "Site-7");
    ASSERT_GT(SetWaterMarkText(ui->GetLoginID(), 0, 0, L""), 0);
    ASSERT_TRUE(SdkGetDevConfig(ui->GetLoginID(), SDK_DEV_WATERMAKE_CFG, 0, &mark, sizeof mark, &returned, 5000));
    EXPECT_EQ(mark.nEnable, 0);
}

TEST_F(SettingsFleet, WritesTheDeviceRefusesAreReportedAsFailures)
{
    size_t dev = DeviceOf("IPC");
    LoginAndWait(dev);
    ReadPicture(0);
    // Typed records refused, the colour by name still taken: the picture save as a whole failed.
    fleet->With(dev, [](devsim::DeviceModel& m) { m.State().failOps[41] = 0x80000017; });
    ui->SaveVedioEffect(0, page->color, page->videoColor, Record<tagNET_VIDEOIN_BACKLIGHT_INFO>(0),
                        Record<tagNET_VIDEOIN_DAYNIGHT_INFO>(0));
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnSaveEffectResult 0"); }));
    auto mode = Record<tagNET_VIDEOIN_SWITCH_MODE_INFO>();
    mode->emSwitchMode = 4;
    ui->SaveFileConfig(*mode, 0);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnSaveConfigFileResult 0"); }));
    fleet->With(dev, [](devsim::DeviceModel& m) { m.State().failOps[14] = 0x80000017; });
    ui->SaveChannelName(0, page->channelName);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnSaveChannelNameResult 0"); }));
}

std::string PasswordOf(devsim::Fleet* fleet, size_t dev, const std::string& user)
{
    for (const devsim::User& u : fleet->StateOf(dev).users)
        if (u.name == user)
            return u.password;
    return "?";
}

TEST_F(SettingsFleet, PasswordChangeLandsOnTheDeviceAndIsKeptForLaterLogins)
{
    size_t dev = DeviceOf("IPC");
    LoginAndWait(dev);
    // Longer than a user entry holds: refused, nothing changes.
    ui->ModifyPwd("admin123", "a-password-of-20-ch", false);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("ShowLoginError 1 11"); }));
    EXPECT_EQ(PasswordOf(fleet, dev, "admin"), "admin123");
    EXPECT_TRUE(page->accountUser.empty());

    page->calls.clear();
    ui->ModifyPwd("admin123", "Fresh_pass9", false);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("ApplyMainAbility 0 1"); }));
    EXPECT_TRUE(page->Has("SetDeviceAccount admin"));
    EXPECT_EQ(page->accountPassword, "Fresh_pass9");
    EXPECT_EQ(PasswordOf(fleet, dev, "admin"), "Fresh_pass9");
    page->calls.clear();
    LoginAndWait(dev, "Fresh_pass9");
}

TEST_F(SettingsFleet, PasswordChangeOfAUserTheDeviceNoLongerListsFails)
{
    size_t dev = DeviceOf("IPC");
    devsim::DeviceState s = fleet->StateOf(dev);
    ui->LoginDevice(s.ip, 37777, "user", "user1234", 1, s.mac, false, 0);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("ApplyMainAbility 0 1"); }));
    fleet->With(dev, [](devsim::DeviceModel& m) {
        auto& users = m.State().users;
        users.erase(std::remove_if(users.begin(), users.end(), [](const devsim::User& u) { return u.name == "user"; }),
                    users.end());
    });
    ui->ModifyPwd("user1234", "other_1", false);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("ShowLoginError 1 11"); }));
    EXPECT_FALSE(page->Has("SetDeviceAccount user"));
}

} // namespace

namespace {

class SettingsFleetMore : public FleetFixture {
protected:
    void SetUp() override { StartSdk(56); }
};

TEST_F(SettingsFleetMore, FocusOnADeviceAlreadyReportingWritesNothingAndStillSucceeds)
{
    size_t dev = DeviceOf("IPC");
    LoginAndWait(dev);
    // The switch is on already, and the device would refuse a write.
    fleet->With(dev, [](devsim::DeviceModel& m) {
        m.State().tables["VideoInOptions"][0]["FocusStatus"] = 1;
        m.State().failOps[14] = 0x80000017;
    });
    ui->VideoInFocus();
    ASSERT_TRUE(WaitUntil([&] { return page->Has("EnableEasyFocusButton 1") || page->Has("EnableEasyFocusButton 0"); }));
    EXPECT_TRUE(page->Has("EnableEasyFocusButton 1"));
    // Switched off, the refused write is a failure.
    fleet->With(dev, [](devsim::DeviceModel& m) { m.State().tables["VideoInOptions"][0]["FocusStatus"] = 0; });
    ui->VideoInFocus();
    ASSERT_TRUE(WaitUntil([&] { return page->Has("EnableEasyFocusButton 0"); }));
}

TEST_F(SettingsFleetMore, ChannelCountIsCappedAndEveryChannelStandardRead)
{
    LoginAndWait(DeviceOf("IPC"));
    const size_t before = page->calls.size();
    ui->GetDevInformation(5000, false);
    ASSERT_TRUE(WaitUntil([&] {
        for (size_t i = before; i < page->calls.size(); ++i)
            if (page->calls[i] == "ApplyMainAbility 0 1")
                return true;
        return false;
    }));
    EXPECT_EQ(ui->m_nChannelCount, 1024);
    EXPECT_EQ(ui->GetWorker()->ChannelCount(), 1024);
    ASSERT_TRUE(ui->m_pVideoStandards);
    EXPECT_EQ(ui->m_pVideoStandards->size(), 1024u);
}

} // namespace
