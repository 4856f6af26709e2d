// Login, encode queries of both streams, a committed change read back, and live video that
// follows it, against the embedded fleet through the real SDK, devsim and the player.
#include "FleetFixture.h"

#include "devsim/DeviceEncode.h"

using namespace devconfigtest;

namespace {

class EngineFleet : public FleetFixture {
protected:
    void SetUp() override { StartSdk(50); }
};

TEST_F(EngineFleet, LoginOnDefaultPortReadsEveryEncodeItemOfBothStreams)
{
    LoginAndWait(DeviceOf("IPC"));
    // The channel results came before the encode chain; nothing is pending.
    EXPECT_EQ(page->pending, 0);
    EXPECT_EQ(ui->m_nChannelCount, 1);
    ASSERT_TRUE(ui->m_pVideoStandards);

    struct Case {
        const char* key;
        const char* member;   // where the answer is
        const char* field;    // a field it must carry
    };
    const Case cases[] = {
        {"EncodeMode", "EncodeMode", "Size"},         {"Resolution", "Resolution", "Select"},
        {"Frame", "Frame", "nFrameRate"},             {"BitRate", "BitRate", "nBitRate"},
        {"BitRateControl", "BitRateControl", "emBitRateControl"},
        {"ImageQuality", "ImageQuality", "emImageQuality"},
        {"Sub1Ability", "Sub1Ability", "Enable"},     {"Sub1VideoEnable", "Sub1Stream", "bVideoEnable"},
        {"Sub1EncodeMode", "Sub1EncodeMode", "Size"}, {"Sub1Resolution", "Sub1Resolution", "Select"},
        {"Sub1Frame", "Sub1Frame", "Max"},            {"Sub1BitRate", "Sub1BitRate", "nMaxBitRate"},
        {"Sub1BitRateControl", "Sub1BitRateControl", "emBitRateControl"},
        {"Sub1ImageQuality", "Sub1ImageQuality", "emImageQuality"},
        {"Sub1AudioEnable", "Sub1Stream", "Sub1AudioEnable"}, {"AudioEnable", "MainStream", "AudioEnable"},
        {"Sub1AudioEncode", "Sub1AudioFrequency", "Select"}, {"AudioEncode", "AudioFrequency", "Select"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        Json::Value v = Query(c.key);
        ASSERT_TRUE(v.isObject());
        ASSERT_TRUE(v[c.member].isObject());
        EXPECT_TRUE(v[c.member].isMember(c.field));
    }
    EXPECT_EQ(page->Last("FillResolutionCombo")["Resolution"]["Select"]["value"].asString(), "1080P");
    EXPECT_EQ(page->Last("FillSubResolutionCombo")["Sub1Resolution"]["Select"]["value"].asString(), "D1");
    EXPECT_EQ(page->Last("SetMainFrameRate")["Frame"]["Max"].asInt(), 25);
    // The audio formats come from the SDK itself.
    size_t before = page->Results("FillAudioEncodeComboEx");
    ui->QueryConfig(0, 0, "", 0, -1, 0, "", -1, "AudioSF", SDKMETHOD_DEFAULT, true);
    ASSERT_TRUE(WaitUntil([&] { return page->Results("FillAudioEncodeComboEx") > before; }));
    ASSERT_TRUE(page->talk);
    EXPECT_GT(page->talk->nSupportNum, 0);
    EXPECT_EQ(page->pending, 0);
}

TEST_F(EngineFleet, StagedResolutionAndBitRateAreCommittedAndReadBack)
{
    size_t dev = DeviceOf("IPC");
    LoginAndWait(dev);
    Json::Value res(Json::objectValue), rate(Json::objectValue);
    res["Resolution"]["Select"]["key"] = 17; // 720P
    rate["BitRate"]["nBitRate"] = 2048;
    ui->SetConfig(0, 0, 0, 0, 0, "Resolution", res, SDKMETHOD_DEFAULT);
    ui->SetConfig(0, 0, 0, 0, 0, "BitRate", rate, SDKMETHOD_DEFAULT);
    // Staged only: the device still has the old values.
    EXPECT_EQ(Query("Resolution")["Resolution"]["Select"]["key"].asInt(), 18);
    ui->SaveEnCodeInFor(0, {}, SDKMETHOD_DEFAULT);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnSaveResult 1"); }));
    Json::Value r = Query("Resolution");
    EXPECT_EQ(r["Resolution"]["Select"]["key"].asInt(), 17);
    EXPECT_EQ(r["Resolution"]["Select"]["value"].asString(), "720P");
    EXPECT_EQ(Query("BitRate")["BitRate"]["nBitRate"].asInt(), 2048);
    devsim::LiveEncode live;
    fleet->With(dev, [&](devsim::DeviceModel& m) { live = devsim::LiveEncodeOf(m.Table("Encode"), 0); });
    EXPECT_EQ(live.width, 1280);
    EXPECT_EQ(live.height, 720);
    EXPECT_EQ(live.kbps, 2048);
    // A bit rate outside the device's range is not staged; the commit of nothing else succeeds and
    // the device keeps its value.
    rate["BitRate"]["nBitRate"] = 999999;
    ui->SetConfig(0, 0, 0, 0, 0, "BitRate", rate, SDKMETHOD_DEFAULT);
    ui->SaveEnCodeInFor(0, {}, SDKMETHOD_DEFAULT);
    ASSERT_TRUE(WaitUntil([&] { return page->Count("OnSaveResult 1") == 2; }));
    EXPECT_EQ(Query("BitRate")["BitRate"]["nBitRate"].asInt(), 2048);
}

TEST_F(EngineFleet, CommitThatTheDeviceRefusesIsReportedAsFailure)
{
    size_t dev = DeviceOf("IPC");
    LoginAndWait(dev);
    Json::Value rate(Json::objectValue);
    rate["BitRate"]["nBitRate"] = 1024;
    ui->SetConfig(0, 0, 0, 0, 0, "BitRate", rate, SDKMETHOD_DEFAULT);
    Query("BitRate"); // the set has run once its later query answered
    fleet->With(dev, [](devsim::DeviceModel& m) { m.State().failOps[42] = 0x80000017; });
    ui->SaveEnCodeInFor(0, {}, SDKMETHOD_DEFAULT);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnSaveResult 0"); }));
}

TEST_F(EngineFleet, WrongPasswordShowsTheFailurePanelWithTheSdkError)
{
    devsim::DeviceState s = fleet->StateOf(DeviceOf("IPC"));
    ui->LoginDevice(s.ip, 0, "admin", "wrong-one", 1, s.mac, false, 0);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("ShowLoginError 1 1"); }));
    EXPECT_EQ(ui->GetLoginID(), 0);
    EXPECT_EQ(page->loggingIn, 0);
    EXPECT_FALSE(ui->GetWorker()->HasConfigDevice()) << "no configuration device without a login";
}

TEST_F(EngineFleet, LiveViewDecodesFramesOfTheCommittedResolutionAndReportsFocus)
{
    size_t dev = DeviceOf("IPC");
    LoginAndWait(dev);
    // A small main stream keeps the test light.
    Json::Value res(Json::objectValue);
    res["Resolution"]["Select"]["key"] = 0; // D1
    ui->SetConfig(0, 0, 0, 0, 0, "Resolution", res, SDKMETHOD_DEFAULT);
    ui->SaveEnCodeInFor(0, {}, SDKMETHOD_DEFAULT);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("OnSaveResult 1"); }));

    ui->StartRealPlay(0, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("SetPlayHandle ok"); }));
    // The start result asks for the focus assistant, which switches the device's reports on.
    ASSERT_TRUE(WaitUntil([&] { return page->Has("EnableEasyFocusButton 1"); }));
    ASSERT_TRUE(WaitUntil([&] { return window.frames >= 3; }));
    EXPECT_EQ(window.lastWidth, 704);
    EXPECT_EQ(window.lastHeight, 576);
    ASSERT_TRUE(WaitUntil([&] { return page->focus.size() >= 2; }));
    for (int v : page->focus)
        EXPECT_GE(v, 200);
    EXPECT_LE(ui->m_nDataNotices, 1);

    // A second start without a stop ends the first live view: its stream no longer runs.
    const LONG firstReal = ui->GetWorker()->RealPlayHandle();
    ASSERT_GE(firstReal, 2);
    ui->StartRealPlay(0, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return page->Count("SetPlayHandle ok") == 2; }));
    EXPECT_FALSE(SdkStopRealPlay(firstReal)) << "the first live view was stopped";
    const int before = window.frames;
    ASSERT_TRUE(WaitUntil([&] { return window.frames >= before + 3; }));

    // A committed change of resolution shows in the next frames.
    res["Resolution"]["Select"]["key"] = 17; // 720P
    ui->SetConfig(0, 0, 0, 0, 0, "Resolution", res, SDKMETHOD_DEFAULT);
    ui->SaveEnCodeInFor(0, {}, SDKMETHOD_DEFAULT);
    ASSERT_TRUE(WaitUntil([&] { return page->Count("OnSaveResult 1") == 2; }));
    ASSERT_TRUE(WaitUntil([&] { return window.lastWidth == 1280 && window.lastHeight == 720; }));

    // Cancel keeps the device switch; stop ends the frames.
    ui->CancelVideoInFocus();
    ui->StopRealPlay(1);
    ASSERT_TRUE(WaitUntil([&] { return ui->GetWorker()->m_lPlayPort.load() == 0; }));
    const int frames = window.frames;
    WaitUntil([] { return false; }, 300);
    EXPECT_LE(window.frames, frames + 1);
    std::string vio;
    fleet->With(dev, [&](devsim::DeviceModel& m) { vio = m.Table("VideoInOptions")[0]["FocusStatus"].toStyledString(); });
    EXPECT_EQ(vio.substr(0, 1), "1");
}

} // namespace

namespace {

bool Offers(const Json::Value& list, const Json::Value& video)
{
    for (const Json::Value& e : list)
        if (e["width"] == video["Width"] && e["height"] == video["Height"])
            return true;
    return false;
}

class EngineFleetKinds : public FleetFixture {
protected:
    void SetUp() override { StartSdk(52); }
};

TEST_F(EngineFleetKinds, EveryDeviceAnswersItsCurrentSizesFromItsOwnChoices)
{
    // Devices of every kind and video standard hold sizes their own capabilities offer.
    bool ntsc = false, dvr = false;
    for (size_t i = 0; i < fleet->Size(); ++i) {
        const devsim::DeviceState s = fleet->StateOf(i);
        ntsc = ntsc || s.videoStandard == 1;
        dvr = dvr || s.type.find("DVR") != std::string::npos;
        Json::Value table;
        fleet->With(i, [&](devsim::DeviceModel& m) { table = m.Table("Encode")[0]; });
        const Json::Value caps = devsim::EncodeCaps(s, 0);
        SCOPED_TRACE(s.type + " standard " + std::to_string(s.videoStandard));
        EXPECT_TRUE(Offers(caps["Main"]["Resolutions"], table["MainFormat"][0]["Video"]));
        EXPECT_TRUE(Offers(caps["Extra"]["Resolutions"], table["ExtraFormat"][0]["Video"]));
    }
    EXPECT_TRUE(ntsc && dvr) << "the fleet has NTSC devices and DVRs";

    // Through the SDK: a DVR's sub stream and an NTSC device's streams select one of their choices.
    std::vector<size_t> picked;
    for (size_t i = 0; i < fleet->Size() && picked.size() < 2; ++i) {
        const devsim::DeviceState s = fleet->StateOf(i);
        if (s.initState != 2)
            continue;
        if ((picked.empty() && s.type.find("DVR") != std::string::npos) ||
            (!picked.empty() && s.videoStandard == 1 && s.type.find("DVR") == std::string::npos))
            picked.push_back(i);
    }
    ASSERT_EQ(picked.size(), 2u);
    for (size_t dev : picked) {
        SCOPED_TRACE(fleet->StateOf(dev).type);
        page->calls.clear();
        LoginAndWait(dev);
        for (const char* key : {"Resolution", "Sub1Resolution"}) {
            Json::Value v = Query(key)[key];
            bool listed = false;
            for (int n = 0; n < v["Size"].asInt(); ++n)
                listed = listed || v[std::to_string(n)]["key"] == v["Select"]["key"];
            EXPECT_TRUE(listed) << key << " selects " << v["Select"].toStyledString();
        }
        Json::Value frame = Query("Frame")["Frame"];
        EXPECT_LE(frame["nFrameRate"].asInt(), frame["Max"].asInt());
    }
}

} // namespace

namespace {

class EngineFleetEnd : public FleetFixture {
protected:
    void SetUp() override { StartSdk(53); }
};

TEST_F(EngineFleetEnd, WorkerThatGoesWhilePlayingEndsItsStreamAndPlayerPort)
{
    LoginAndWait(DeviceOf("IPC"));
    ui->StartRealPlay(0, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return window.frames >= 2; }));
    std::shared_ptr<CLoginLogic> worker = ui->GetWorker();
    const LONG port = worker->m_lPlayPort.load();
    ASSERT_TRUE(WaitUntil([&] { return worker->RealPlayHandle() != 0; }));
    const LONG real = worker->RealPlayHandle();
    ASSERT_GT(port, 0);

    // No logout: the GUI logic and its worker simply go.
    std::weak_ptr<CLoginLogic> gone = worker;
    worker.reset();
    ui.reset();
    ASSERT_TRUE(WaitUntil([&] { return gone.expired(); }));
    PLAYER_STATS stats{};
    EXPECT_FALSE(PlayerGetStats(port, &stats)) << "the player port was released";
    EXPECT_FALSE(SdkStopRealPlay(real)) << "the live view was stopped";
    const int frames = window.frames;
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(window.frames, frames);
}

} // namespace

namespace {

class EngineFleetLogin : public FleetFixture {
protected:
    void SetUp() override { StartSdk(54); }
};

TEST_F(EngineFleetLogin, AddressSuffixIsCutAndASecondLoginEndsTheFirstWithItsLiveView)
{
    std::vector<size_t> ipcs;
    for (size_t i = 0; i < fleet->Size() && ipcs.size() < 2; ++i) {
        const devsim::DeviceState s = fleet->StateOf(i);
        if (s.type == "IPC" && s.initState == 2)
            ipcs.push_back(i);
    }
    ASSERT_EQ(ipcs.size(), 2u);
    const devsim::DeviceState first = fleet->StateOf(ipcs[0]);
    ui->LoginDevice(first.ip + "/24", 0, "admin", "admin123", 1, first.mac, false, 0);
    ASSERT_TRUE(WaitUntil([&] { return page->Has("ApplyMainAbility 0 1") || page->Has("ShowLoginError 1 0"); }));
    ASSERT_TRUE(page->Has("ApplyMainAbility 0 1"));
    const LONG firstLogin = ui->GetLoginID();
    ASSERT_GT(firstLogin, 0);
    ui->StartRealPlay(0, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return window.frames >= 2; }));
    const LONG firstPort = ui->GetWorker()->m_lPlayPort.load();
    ASSERT_GT(firstPort, 0);

    page->calls.clear();
    LoginAndWait(ipcs[1]);
    EXPECT_NE(ui->GetLoginID(), firstLogin);
    EXPECT_FALSE(SdkLogout(firstLogin)) << "the first login was ended by the second";
    PLAYER_STATS stats{};
    EXPECT_FALSE(PlayerGetStats(firstPort, &stats)) << "its live view's player port was released";
    EXPECT_EQ(ui->GetWorker()->m_lPlayPort.load(), 0);
    // Queries now reach the second device.
    EXPECT_EQ(Query("Resolution")["Resolution"]["Select"]["value"].asString(), "1080P");
}

} // namespace
