// The GUI logic's result handlers against a recording page: login sequence, texts, gating,
// views; the request record of an encode query; the focus reports and the first-data notice.
#include <gtest/gtest.h>

#include <cstring>

#include "Common/SFEvent.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SynSmartPtr.h"
#include "DevConfig/CLoginLogic.h"
#include "DevConfig/CLoginUILogic.h"
#include "DevConfig/DevConfigTexts.h"
#include "RecordingPage.h"

using namespace devconfigtest;

namespace {

class ResultHandlers : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        using namespace VeyraBase;
        if (!CSFMessageLoopManager::Instance()->GetMessageLoop(ML_MAIN))
            CSFMessageLoopManager::Instance()->RegisterLoop(CreateMessageLoop(SF_LOOP_QT), ML_MAIN);
    }
    void SetUp() override
    {
        ui = std::make_shared<CLoginUILogic>(std::weak_ptr<CMainFrameEventImp>());
        page = std::make_shared<RecordingPage>();
        ui->SetPeers(page);
        ui->Init();
    }
    // GetDevInformation clears the version flag: a set flag that went to 0 shows the call.
    bool AskedForDeviceInformation() const { return ui->m_bGotVersion == 0; }

    std::shared_ptr<CLoginUILogic> ui;
    std::shared_ptr<RecordingPage> page;
};

TEST_F(ResultHandlers, LoginResultDecidesBetweenFailurePanelNoticeAndDeviceInformation)
{
    struct Case {
        long handle;
        int error;
        const char* password;
        bool accept;
        bool panel, notice, info;
    };
    const Case cases[] = {
        {0, 1, "x", false, true, false, false},       {0, 12, "x", false, true, false, false},
        {5, 0, "korvu", false, false, true, true},    {5, 0, "korvu", true, false, true, false},
        {5, 0, "", false, false, true, true},         {5, 0, "KORVU", false, false, false, true},
        {5, 0, "admin123", false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.password) + " " + std::to_string(c.handle));
        page->calls.clear();
        page->acceptNotice = c.accept;
        ui->m_bGotVersion = 1;
        ui->Task_LoginDevice_Ret(c.handle, c.error, 0, c.password, "admin", 1, false);
        EXPECT_EQ(page->Has("ShowLoginError 1 " + std::to_string(c.error)), c.panel);
        EXPECT_EQ(page->Has("ShowInitPasswordNotice 0"), c.notice);
        EXPECT_EQ(AskedForDeviceInformation(), c.info);
        EXPECT_EQ(ui->GetLoginID(), c.handle);
    }
}

TEST_F(ResultHandlers, FailurePanelTextsAndAccountDialogByLoginError)
{
    const wchar_t* general = L"* Failed to get the device Information, Please check The NetWork or Device.";
    struct Case {
        int error;
        const wchar_t* text;
        bool account;
    };
    const Case cases[] = {{1, L"Incorrect password.", true},   {2, L"Account doesn't exist.", true},
                          {3, L"Login over time.", false},     {5, L"Account has been locked.", false},
                          {8, L"Connection failed.", false},   {9, L"Connection failed.", false},
                          {10, general, false},                {11, L"Modify password failed.", false},
                          {0, general, false},                 {12, general, false},
                          {-1, general, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_STREQ(LoginErrorKey(c.error), c.text);
        EXPECT_EQ(LoginErrorAsksForAccount(c.error), c.account);
    }
}

// A failure panel whose account dialog starts a new login at once (as the page's does).
class ReloginPage : public RecordingPage {
public:
    void Page_ShowLoginError(bool b, int e) override
    {
        RecordingPage::Page_ShowLoginError(b, e);
        if (b && (e == 1 || e == 2))
            loggingIn = 1;
    }
};

TEST_F(ResultHandlers, LoginStartedFromTheFailurePanelKeepsItsInProgressFlag)
{
    auto relogin = std::make_shared<ReloginPage>();
    ui->SetPeers(relogin);
    ui->Task_LoginDevice_Ret(0, 1, 0, "wrong", "admin", 1, false);
    EXPECT_TRUE(relogin->Has("ShowLoginError 1 1"));
    EXPECT_EQ(relogin->loggingIn, 1) << "the new login is still in progress";
    ui->Task_LoginDevice_Ret(0, 3, 0, "x", "admin", 1, false);
    EXPECT_EQ(relogin->loggingIn, 0);
}

TEST_F(ResultHandlers, PasswordChangeResult)
{
    ui->m_bGotVersion = 1;
    ui->Task_ModifyPwd_Ret(1, "admin", "n3w", 0, false);
    EXPECT_TRUE(page->Has("ShowLoginError 1 11"));
    EXPECT_FALSE(AskedForDeviceInformation());
    EXPECT_TRUE(page->accountUser.empty());
    ui->Task_ModifyPwd_Ret(1, "admin", "n3w", 1, false);
    EXPECT_EQ(page->accountPassword, "n3w");
    EXPECT_TRUE(AskedForDeviceInformation());
}

TEST_F(ResultHandlers, ConfiguredViewFollowsTheCurrentTab)
{
    struct Case {
        int tab;
        bool encode, image, file;
    };
    const Case cases[] = {{0, true, false, false}, {1, false, true, false}, {2, false, false, true},
                          {7, false, false, true}, {-1, false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        page->calls.clear();
        page->tab = c.tab;
        page->loggingIn = 1;
        ui->ShowLoginResult(1, 0);
        EXPECT_TRUE(page->Has("ShowTabButtons 1"));
        EXPECT_TRUE(page->Has(std::string("ShowEncodeTab ") + (c.encode ? "1" : "0")));
        EXPECT_TRUE(page->Has(std::string("ShowImageTab ") + (c.image ? "1" : "0")));
        EXPECT_TRUE(page->Has(std::string("ShowFileManageTab ") + (c.file ? "1" : "0")));
        EXPECT_EQ(page->loggingIn, 0);
    }
}

TEST_F(ResultHandlers, EncodeInformationAndPicturesWaitForTheDeviceInformation)
{
    auto rec = std::make_shared<tagCFG_ENCODE_INFO>();
    page->pending = 1;
    ui->Task_GetVedioChnPar_Ret(nullptr, nullptr, nullptr, nullptr, nullptr, 1, NET_EM_CONFIG_DAYTIME);
    EXPECT_EQ(page->pending, 0);
    EXPECT_FALSE(page->Has("StartPreview 1"));
    // A failed DSP read shows the panel and keeps the encode information out.
    ui->Task_GetDevDSPCap_Ret(nullptr, 0, 0);
    EXPECT_TRUE(page->Has("ShowLoginError 1 0"));
    ui->Task_QueryDevEnable_Ret(nullptr, 0, 0);
    ui->Task_QueryEncodeInfo_Ret(rec, 0, 0, true);
    EXPECT_FALSE(page->Has("ApplyMainAbility 0 1"));
    ui->Task_GetDevDSPCap_Ret(std::make_shared<ZRDEV_DSP_ENCODECAP>(), 1, 280);
    ui->Task_QueryEncodeInfo_Ret(rec, 0, 0, true);
    EXPECT_TRUE(page->Has("SetEncodeInfoFlag 1"));
    EXPECT_TRUE(page->Has("ApplyMainAbility 0 1"));
    page->pending = 1;
    ui->Task_GetVedioChnPar_Ret(nullptr, nullptr, nullptr, nullptr, nullptr, 1, NET_EM_CONFIG_NIGHT);
    EXPECT_TRUE(page->Has("OnGetVideoEffect 1 1"));
    EXPECT_TRUE(page->Has("StartPreview 1"));
    EXPECT_EQ(page->pending, 0);
    // Only the sub-stream frame result switches to the configured view.
    EXPECT_FALSE(page->Has("ShowTabButtons 1"));
    page->pending = 1;
    ui->Task_QuerySub1Frame_Ret(Json::Value(), true);
    EXPECT_TRUE(page->Has("ShowTabButtons 1"));
    EXPECT_EQ(page->pending, 0);
}

TEST_F(ResultHandlers, QueryRecordCarriesTheChannelsVideoStandard)
{
    auto table = std::make_shared<std::array<int32_t, devconfig::kMaxChannels>>();
    table->fill(0);
    (*table)[2] = 1;
    // Before the table is known the standard is 0, also for channels outside it.
    QUERYCONFIG q = ui->PackQuery(2, 1, "H.264", 5, 2, "MJPG", 6);
    EXPECT_EQ(q.nVideoStandard, 0);
    ui->Task_QueryVedioStandard_Ret(table);
    q = ui->PackQuery(2, 1, std::string(25, 'x'), 5, 2, "MJPG", 6);
    EXPECT_EQ(q.nMainType, 1);
    EXPECT_EQ(q.nMainResolution, 5);
    EXPECT_EQ(std::string(q.szMainCompression), std::string(19, 'x'));
    EXPECT_EQ(q.nSubType, 2);
    EXPECT_EQ(q.nSubResolution, 6);
    EXPECT_STREQ(q.szSubCompression, "MJPG");
    EXPECT_EQ(q.nVideoStandard, 1);
    EXPECT_EQ(ui->PackQuery(5000, 0, "", 0, 0, "", 0).nVideoStandard, 0);
    EXPECT_EQ(ui->PackQuery(-3, 0, "", 0, 0, "", 0).nVideoStandard, 0);
    // Three requests count as pending, the others do not.
    ui->QueryConfig(0, 0, "", 7, 0, 0, "", 0, "EncodeMode", SDKMETHOD_DEFAULT, true);
    ui->GetVedioChannelParams(0, 0);
    ui->GetFileConfigPara(0);
    ui->GetWaterMark(0, 0);
    ui->SaveChannelName(0, nullptr);
    EXPECT_EQ(page->pending, 3);
}

TEST_F(ResultHandlers, LogoutWithoutVideoWindowDoesNothingAndWithOneResetsThePage)
{
    ui->LogoutDev();
    EXPECT_TRUE(page->calls.empty());
    RecordingVideoWindow window;
    ui->SetVideoWindow(&window);
    ui->LogoutDev();
    ASSERT_EQ(window.calls.size(), 1u);
    EXPECT_EQ(window.calls[0], "SetSubWinVideo 0 0");
    const std::vector<std::string> expected = {"ShowLoadingAnimation 0", "ShowLoginError 0 0", "ShowTabButtons 0",
                                               "ShowImageTab 0",         "ShowEncodeTab 0",    "ShowFileManageTab 0",
                                               "ShowStartPanel 1"};
    EXPECT_EQ(page->calls, expected);
}

TEST_F(ResultHandlers, RenderedFrameReleasesTheSynchroniserWithOrWithoutWindow)
{
    auto event = std::make_shared<SF_SOFT_BASE::CSFEvent>();
    event->Create(0, 0);
    auto frame = std::make_shared<std::string>(16 * 4, '\0');
    EXPECT_EQ(ui->OnQTRenderSubWin(frame, 4, 4, std::make_shared<SynSmartPtr>(event)), 0);
    EXPECT_EQ(event->Wait(0), 0) << "released without a window";
    RecordingVideoWindow window;
    ui->SetVideoWindow(&window);
    EXPECT_EQ(ui->OnQTRenderSubWin(frame, 4, 4, std::make_shared<SynSmartPtr>(event)), 1);
    EXPECT_EQ(event->Wait(0), 0);
    EXPECT_EQ(window.frames, 1);
}

TEST_F(ResultHandlers, FocusReportsOfEveryShapeNeverThrowAndOnlyNumericPeaksCount)
{
    std::shared_ptr<CLoginLogic> worker = ui->GetWorker();
    const char* reports[] = {
        "{\"FocusStatus\":{\"AutofocusPeak\":37}}",
        "{\"Other\":1}",
        "[1,2,3]",
        "{\"FocusStatus\":5}",
        "{\"FocusStatus\":{\"AutofocusPeak\":\"high\"}}",
        "{\"FocusStatus\":{\"AutofocusPeak\":1e30}}",
        "{\"FocusStatus\":{}}",
        "{\"FocusStatus\":null}",
        "not json",
        "",
        "{\"FocusStatus\":{\"AutofocusPeak\":-4}}",
    };
    for (const char* r : reports)
        FocusStatusCallBack(r, 1, 1, 0, 0, worker.get());
    FocusStatusCallBack(nullptr, 1, 1, 0, 0, worker.get());
    std::string deep(5000, '[');
    FocusStatusCallBack(deep.c_str(), 1, 1, 0, 0, worker.get());
    ASSERT_TRUE(WaitUntil([&] { return page->focus.size() >= 2; }));
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(page->focus, (std::vector<int>{37, -4}));
}

TEST_F(ResultHandlers, FirstDataBlockIsDroppedAndAnnouncedOnce)
{
    std::shared_ptr<CLoginLogic> worker = ui->GetWorker();
    worker->m_nFirstDataPending = 1;
    worker->m_nNotifyOnFirstData = 1;
    BYTE block[40] = {};
    RealDataCallBack(2, 0, block, sizeof block, 0, worker.get());
    EXPECT_EQ(worker->m_nFirstDataPending.load(), 0);
    RealDataCallBack(2, 0, block, sizeof block, 0, worker.get());
    RealDataCallBack(2, 0, block, sizeof block, 0, worker.get());
    ASSERT_TRUE(WaitUntil([&] { return ui->m_nDataNotices >= 1; }));
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(ui->m_nDataNotices, 1);
    // A focus start before the first block: that block goes to the player, no notice.
    worker->m_nFirstDataPending = 0;
    worker->m_nNotifyOnFirstData = 1;
    RealDataCallBack(2, 0, block, sizeof block, 0, worker.get());
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(ui->m_nDataNotices, 1);
}

TEST(SwitchModeProfile, ModeAndTimeOfDaySelectTheProfile)
{
    auto at = [](int h, int m, int s) { return h * 3600 + m * 60 + s; };
    tagNET_VIDEOIN_SWITCH_MODE_INFO mode{};
    mode.nDayStartHour = 8;
    mode.nDayEndHour = 20;
    struct Case {
        int mode, now, profile;
        int startHour = 8, endHour = 20;
    };
    const Case cases[] = {{2, at(20, 0, 0), 0},     {2, at(20, 0, 1), 1},     {2, at(8, 0, 0), 0},
                          {2, at(7, 59, 59), 1},    {3, at(12, 0, 0), 1},     {4, at(12, 0, 0), 2},
                          {0, at(12, 0, 0), 0},     {1, at(12, 0, 0), 0},     {9, at(12, 0, 0), 0},
                          // A window over midnight, 22:00 to 06:00.
                          {2, at(23, 0, 0), 0, 22, 6}, {2, at(5, 0, 0), 0, 22, 6}, {2, at(12, 0, 0), 1, 22, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " at " + std::to_string(c.now));
        mode.emSwitchMode = c.mode;
        mode.nDayStartHour = c.startHour;
        mode.nDayEndHour = c.endHour;
        EXPECT_EQ(ProfileOfSwitchMode(mode, c.now), c.profile);
    }
}

} // namespace
