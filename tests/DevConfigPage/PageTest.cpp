// The device configuration page offscreen against a recording engine: login road, both encode
// query cycles, answer fills, staging and commit, IMAGE and FileManage edits and their refusals.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <map>

#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "DevConfig/CDevTreeEventImp.h"
#include "Widgets/SFButton.h"
#include "RecordingEngine.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFScrollArea.h"
#include "Widgets/SFStatic.h"
#include "../DevConfig/BoxRecorder.h"

using pagetest::RecordingEngine;

namespace {

Json::Value List(std::vector<std::pair<int, std::string>> items, int selectKey, const std::string& selectValue)
{
    Json::Value v;
    v["Size"] = int(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        v[std::to_string(i)]["key"] = items[i].first;
        v[std::to_string(i)]["value"] = items[i].second;
    }
    v["Select"]["key"] = selectKey;
    v["Select"]["value"] = selectValue;
    v["Enable"] = true;
    return v;
}

Json::Value BitRate(int min, int max, int current)
{
    Json::Value v;
    v["nMinBitRate"] = min;
    v["nMaxBitRate"] = max;
    v["nBitRate"] = current;
    v["abBitRate"] = true;
    return v;
}

Json::Value Frame(int max, int current)
{
    Json::Value v;
    v["Max"] = max;
    v["nFrameRate"] = current;
    v["abFrameRate"] = true;
    return v;
}

template <class T>
bool Enabled(T* control)
{
    auto* widget = dynamic_cast<QWidget*>(control);
    return widget && widget->isEnabled();
}

class Page : public ::testing::Test {
protected:
    void SetUp() override
    {
        SFSetSkinPath((QCoreApplication::applicationDirPath() + QStringLiteral("/Skin/")).toStdWString().c_str());
        engine = std::make_shared<RecordingEngine>();
        page = CDevConfigEventImp::CreateStandalone(nullptr, engine);
        ASSERT_NE(page->GetView(), nullptr);
        win = page->GetCodeVideoCfgPage();
        ASSERT_NE(win, nullptr);
        answers["EncodeMode"] = List({{2, "H.264"}, {4, "H.265"}}, 2, "H.264");
        answers["Resolution"] = List({{0, "1920x1080"}, {1, "1280x720"}}, 0, "1920x1080");
        answers["Frame"] = Frame(25, 25);
        answers["BitRate"] = BitRate(32, 8192, 4096);
        answers["BitRateControl"]["emBitRateControl"] = 1;
        answers["ImageQuality"]["emImageQuality"] = 4;
        answers["Sub1EncodeMode"] = List({{2, "H.264"}}, 2, "H.264");
        answers["Sub1Resolution"] = List({{3, "704x576"}, {4, "352x288"}}, 4, "352x288");
        answers["Sub1Frame"] = Frame(25, 15);
        answers["Sub1BitRate"] = BitRate(32, 2048, 512);
        answers["Sub1BitRateControl"]["emBitRateControl"] = 0;
        answers["Sub1ImageQuality"]["emImageQuality"] = 3;
        documents["AudioEnable"]["MainStream"]["AudioEnable"] = true;
        documents["Sub1VideoEnable"]["Sub1Stream"]["bVideoEnable"] = true;
        documents["Sub1AudioEnable"]["Sub1Stream"]["Sub1AudioEnable"] = true;
        documents["AudioEncode"]["AudioEncode"] = List({{0, "G.711A"}, {2, "AAC"}}, 2, "AAC");
        documents["AudioEncode"]["AudioFrequency"]["Select"]["value"] = 16000;
        documents["Sub1AudioEncode"]["Sub1AudioEncode"] = List({{0, "G.711A"}, {2, "AAC"}}, 0, "G.711A");
        documents["Sub1AudioEncode"]["Sub1AudioFrequency"]["Select"]["value"] = 8000;
        talk = std::make_shared<ZRDEV_TALKFORMAT_LIST>();
        std::memset(talk.get(), 0, sizeof *talk);
        const int formats[][2] = {{2, 8000}, {8, 8000}, {8, 16000}, {1, 8000}};
        for (const auto& f : formats) {
            const int i = talk->nSupportNum++;
            talk->type[i].encodeType = f[0];
            std::memcpy(reinterpret_cast<char*>(&talk->type[i]) + 8, &f[1], 4);
        }
    }

    // Answers every query in the order asked, as the worker loop does, until none is left.
    void AnswerAll()
    {
        static const std::map<std::string, std::string> setters = {
            {"EncodeMode", "FillEncodeModeCombo"}, {"Resolution", "FillResolutionCombo"},
            {"Frame", "SetMainFrameRate"}, {"BitRate", "SetMainBitRate"},
            {"BitRateControl", "SetMainBitRateControl"}, {"ImageQuality", "SetMainImageQuality"},
            {"Sub1VideoEnable", "SetSubVideoEnable"}, {"Sub1EncodeMode", "FillSubEncodeModeCombo"},
            {"Sub1Resolution", "FillSubResolutionCombo"}, {"Sub1Frame", "SetSubFrameRate"},
            {"Sub1BitRate", "SetSubBitRate"}, {"Sub1BitRateControl", "SetSubBitRateControl"},
            {"Sub1ImageQuality", "SetSubImageQuality"}, {"AudioEnable", "SetMainAudioEnable"},
            {"Sub1AudioEnable", "SetSubAudioEnable"}, {"Sub1AudioEncode", "FillSubAudioEncodeCombo"},
            {"AudioEncode", "FillAudioEncodeCombo"}};
        for (; answered < engine->queries.size(); ++answered) {
            const pagetest::Query q = engine->queries[answered];
            Json::Value answer;
            if (documents.isMember(q.key))
                answer = documents[q.key];
            else if (answers.isMember(q.key))
                answer[q.key] = answers[q.key];
            if (q.key == "Sub1Ability")
                win->ApplySubAbility(answer);
            else if (q.key == "AudioSF")
                win->FillAudioEncodeComboEx(talk);
            else
                win->EncodeResult(setters.at(q.key), answer, q.key == "Frame" ? q.videoStandard : q.mainType, q.chain);
        }
    }

    void Login()
    {
        auto device = std::make_shared<DEVICE_INFO>();
        std::memset(device.get(), 0, sizeof *device);
        std::strcpy(device->stNetInfo.szIpAddr, "127.0.0.9");
        device->stNetInfo.nIpVersion = 4;
        device->stNetInfo.nPort = 37777;
        std::strcpy(device->stNetInfo.szMacAddr, "aa:bb:cc:00:00:09");
        std::strcpy(device->szUser, "admin");
        std::strcpy(device->szPassword, "pw");
        page->AddDeviceToTree(device, false, 0);
        page->SelectDevice(0);
        page->LoginSelectedDevice();
        win->SetEncodeInfoFlag(false);
        win->ApplyMainAbility(0, true);
        AnswerAll();
        page->ShowLoginResult(1, 0);
    }

    // Leaves a picture save outstanding on the IMAGE tab.
    void ImageTabLoadForTree()
    {
        auto colour = std::make_shared<tagNET_VIDEOIN_COLOR_INFO>();
        *colour = {28, 0, 40, 60, 70, 50, 0};
        auto videoColor = std::make_shared<AV_CFG_ChannelVideoColor>();
        std::memset(videoColor.get(), 0, sizeof *videoColor);
        auto backLight = std::make_shared<tagNET_VIDEOIN_BACKLIGHT_INFO>();
        std::memset(backLight.get(), 0, sizeof *backLight);
        auto dn = std::make_shared<tagNET_VIDEOIN_DAYNIGHT_INFO>();
        *dn = {20, 0, 1, {0, 0}};
        win->OnGetVideoEffect(colour, videoColor, backLight, dn, nullptr, 1, 0);
        win->SF_OnSliderPos(1053, 90);
    }

    std::wstring Selected(int id)
    {
        CSFComboBox* combo = win->Combo(id);
        wchar_t text[128] = {};
        combo->GetLBText(combo->GetCurSel(), text, 128);
        return text;
    }

    const pagetest::Staged* StagedItem(const std::string& key)
    {
        for (const auto& s : engine->staged)
            if (s.key == key)
                return &s;
        return nullptr;
    }

    std::shared_ptr<RecordingEngine> engine;
    std::shared_ptr<CDevConfigEventImp> page;
    std::shared_ptr<CCodeVideoCfgEventImp> win;
    Json::Value answers, documents;
    std::shared_ptr<ZRDEV_TALKFORMAT_LIST> talk;
    size_t answered = 0;
};

TEST_F(Page, LoginRoadRefusesWithoutDeviceAndWhileLoggingInAndShowsFailureTexts)
{
    devconfigtest::BoxRecorder boxes;
    page->LoginSelectedDevice();
    auto device = std::make_shared<DEVICE_INFO>();
    std::memset(device.get(), 0, sizeof *device);
    std::strcpy(device->stNetInfo.szIpAddr, "127.0.0.9");
    device->stNetInfo.nIpVersion = 4;
    device->stNetInfo.nPort = 37777;
    std::strcpy(device->stNetInfo.szMacAddr, "aa:bb:cc:00:00:09");
    std::strcpy(device->szUser, "admin");
    page->AddDeviceToTree(device, false, 0);
    page->AddDeviceToTree(device, false, 0);
    EXPECT_EQ(page->DeviceCount(), 1u);
    page->LoginSelectedDevice();  // listed but not selected
    page->SelectDevice(0);
    page->LoginSelectedDevice();
    EXPECT_EQ(page->IsLoggingIn(), 1);
    page->LoginSelectedDevice();
    page->m_bLoggingIn = 0;
    page->m_nPendingQuery = 2;
    page->LoginSelectedDevice();
    page->m_nPendingQuery = 0;
    EXPECT_EQ(boxes.texts, (std::vector<std::wstring>{L"Please select one device.", L"Please select one device.",
                                                      L"another device is loading,please wait.",
                                                      L"another device is getting config,please wait."}));
    ASSERT_EQ(engine->calls.size(), 1u);
    EXPECT_EQ(engine->calls[0], "login 127.0.0.9:37777 admin/ aa:bb:cc:00:00:09");

    const std::pair<int, std::wstring> failures[] = {
        {3, L"Login over time."}, {5, L"Account has been locked."}, {11, L"Modify password failed."},
        {0, L"* Failed to get the device Information, Please check The NetWork or Device."},
        {42, L"* Failed to get the device Information, Please check The NetWork or Device."}};
    for (const auto& f : failures) {
        page->m_bLoggingIn = 1;
        page->ShowLoginResult(0, f.first);
        wchar_t text[256] = {};
        win->FailureLabel()->GetStaticText(text, 256);
        EXPECT_EQ(text, f.second) << f.first;
        EXPECT_EQ(page->IsLoggingIn(), 0);
    }
}

TEST_F(Page, QueryCyclesRunInOrderAndTheChannelComboWaitsForAllResults)
{
    win->ApplyMainAbility(0, true);
    EXPECT_EQ(engine->Keys(), (std::vector<std::string>{"EncodeMode", "BitRate", "BitRateControl", "ImageQuality",
                                                        "Sub1Ability"}));
    AnswerAll();
    const std::vector<std::string> keys = engine->Keys();
    const std::vector<std::string> sub(keys.begin() + 6, keys.begin() + 14);
    EXPECT_EQ(sub, (std::vector<std::string>{"Sub1VideoEnable", "Sub1EncodeMode", "Sub1BitRate", "Sub1BitRateControl",
                                             "Sub1ImageQuality", "AudioEnable", "Sub1AudioEnable",
                                             "Sub1AudioEncode"}));
    EXPECT_EQ(keys.size(), 19u);
    EXPECT_TRUE(win->AllFlagsSet());
    EXPECT_TRUE(Enabled(win->Combo(1114)));
    EXPECT_EQ(win->Combo(1114)->GetCount(), 2);
    EXPECT_EQ(Selected(1022), L"H.264");
    EXPECT_EQ(Selected(1028), L"1920x1080");
    EXPECT_EQ(Selected(1027), L"4096");
    EXPECT_EQ(win->SliderValueText(1025), L"25");
    EXPECT_EQ(win->SliderValueText(1026), L"4");
    EXPECT_EQ(Selected(1031), L"352x288");
    EXPECT_EQ(win->SliderValueText(1032), L"15");
    EXPECT_EQ(win->Radio(1024)->GetCheck(), 1);
    EXPECT_EQ(win->Radio(1034)->GetCheck(), 1);

    // Another channel: the combo stays disabled until the new cycle's last result.
    const size_t before = engine->queries.size();
    win->SelectChanged(1114, 1);
    EXPECT_FALSE(Enabled(win->Combo(1114)));
    EXPECT_EQ(engine->queries[before].key, "EncodeMode");
    AnswerAll();
    EXPECT_TRUE(Enabled(win->Combo(1114)));
}

TEST_F(Page, BitRateListSelectsListedValuesCustomisedOrTheNearestToTheMidpoint)
{
    struct Case {
        int min, max, current;
        std::wstring first, selected, edit;
        int staged;
    };
    const Case cases[] = {
        {100, 3000, 2048, L"128", L"2048", L"", 2048},
        {100, 3000, 1000, L"128", L"Customized", L"1000", 1000},
        {100, 3000, 5000, L"128", L"1536", L"", 1536},
        {1000, 1100, 2048, L"1024", L"1024", L"", 1024},  // never "Customized" with nothing in the edit
        {20, 64, 48, L"32", L"48", L"", 48},
        {20, 20, 0, L"Customized", L"Customized", L"20", 20},  // nothing listed: the midpoint in the edit
    };
    win->ApplyMainAbility(0, true);
    for (const Case& c : cases) {
        answers["BitRate"] = BitRate(c.min, c.max, c.current);
        engine->queries.clear();
        engine->staged.clear();
        answered = 0;
        win->ApplyMainAbility(0, false);
        AnswerAll();
        wchar_t first[32] = {};
        win->Combo(1027)->GetLBText(0, first, 32);
        EXPECT_EQ(first, c.first) << c.current;
        EXPECT_EQ(Selected(1027), c.selected) << c.current;
        if (!c.edit.empty()) {
            wchar_t edit[32] = {};
            win->Edit(1121)->GetWindowTextW(edit, 32);
            EXPECT_EQ(edit, c.edit);
        }
        win->SetConfig();
        ASSERT_NE(StagedItem("BitRate"), nullptr);
        EXPECT_EQ(StagedItem("BitRate")->value["BitRate"]["nBitRate"].asInt(), c.staged) << c.current;
    }
}

TEST_F(Page, FrameRateAndCompressionRules)
{
    struct Case {
        int max, current, videoStandard, low, high, pos;
        bool enabled;
    };
    const Case cases[] = {{0, 0, 0, 0, 100, 0, false}, {0, 25, 0, 1, 25, 25, true}, {0, 30, 1, 1, 30, 30, true},
                          {20, 25, 0, 1, 20, 20, true}};
    for (const Case& c : cases) {
        engine->videoStandard = c.videoStandard;
        Json::Value a;
        a["Frame"] = Frame(c.max, c.current);
        win->EncodeResult("SetMainFrameRate", a, 0, true);
        int low = -1, high = -1;
        win->Slider(1025)->GetRange(low, high);
        EXPECT_EQ(low, c.low);
        EXPECT_EQ(high, c.high);
        EXPECT_EQ(win->Slider(1025)->GetPos(), c.pos);
        EXPECT_EQ(Enabled(win->Slider(1025)), c.enabled);
    }
    // No choice: the single "Select" item, both combos disabled.
    Json::Value single;
    single["EncodeMode"] = List({}, 2, "H.264");
    win->ApplyMainAbility(0, true);
    win->EncodeResult("FillEncodeModeCombo", single, 0, true);
    EXPECT_EQ(Selected(1022), L"H.264");
    EXPECT_FALSE(Enabled(win->Combo(1022)));
    EXPECT_FALSE(Enabled(win->Combo(1021)));
    // Compression key 5 forces CBR whichever order the results come in.
    Json::Value locked;
    locked["EncodeMode"] = List({{5, "MJPG"}}, 5, "MJPG");
    win->EncodeResult("FillEncodeModeCombo", locked, 0, true);
    Json::Value vbr;
    vbr["BitRateControl"]["emBitRateControl"] = 2;
    win->EncodeResult("SetMainBitRateControl", vbr, 0, false);
    EXPECT_EQ(win->Radio(1023)->GetCheck(), 1);
    EXPECT_EQ(win->Radio(1024)->GetCheck(), 0);
    EXPECT_FALSE(Enabled(win->Radio(1023)));
    EXPECT_FALSE(Enabled(win->Slider(1026)));
    // Unlocked: the pair stays exclusive and a click on the checked radio keeps it.
    Json::Value free;
    free["EncodeMode"] = List({{2, "H.264"}}, 2, "H.264");
    win->EncodeResult("FillEncodeModeCombo", free, 0, true);
    win->RADIO_OnClicked(1, 1024, POINT{});
    EXPECT_EQ(win->Radio(1024)->GetCheck(), 1);
    EXPECT_EQ(win->Radio(1023)->GetCheck(), 0);
    EXPECT_TRUE(Enabled(win->Slider(1026)));
    win->RADIO_OnClicked(0, 1024, POINT{});
    EXPECT_EQ(win->Radio(1024)->GetCheck(), 1);
    EXPECT_EQ(win->Radio(1023)->GetCheck(), 0);
}

TEST_F(Page, StreamTypeSentIsTheTypeShown)
{
    engine->streamCap = 2;  // alarm streams, no motion stream
    win->ApplyMainAbility(0, true);
    ASSERT_EQ(win->Combo(1021)->GetCount(), 2);
    wchar_t text[32] = {};
    win->Combo(1021)->GetLBText(1, text, 32);
    EXPECT_EQ(std::wstring(text), L"Alarm");
    AnswerAll();
    win->Combo(1021)->SetCurSel(1);
    const size_t before = engine->queries.size();
    win->SelectChanged(1021, 1);
    ASSERT_GT(engine->queries.size(), before);
    for (size_t i = before; i < engine->queries.size(); ++i)
        EXPECT_EQ(engine->queries[i].mainType, 2) << engine->queries[i].key;
    win->SetConfig();
    EXPECT_EQ(StagedItem("EncodeMode")->a, 2);
}

TEST_F(Page, SaveStagesTheShownValuesAndCommitsOnce)
{
    devconfigtest::BoxRecorder boxes;
    win->ApplyMainAbility(0, true);
    win->OnEncodeOK();  // nothing loaded yet: nothing is staged or sent
    EXPECT_TRUE(engine->staged.empty());
    Login();
    ASSERT_TRUE(win->AllFlagsSet());
    win->Combo(1028)->SetCurSel(1);
    win->SelectChanged(1028, 1);
    engine->staged.clear();
    win->Combo(1027)->SetCurSel(win->Combo(1027)->GetCount() - 1);
    win->SelectChanged(1027, win->Combo(1027)->GetCount() - 1);
    wchar_t typed[] = L"99999";
    win->EDIT_OnEnterPressed(1121, typed);
    wchar_t letters[] = L"12a";
    win->EDIT_OnEnterPressed(1122, letters);
    win->OnEncodeOK();
    win->OnEncodeOK();

    Json::Value expected;
    Json::Reader().parse(R"({
        "EncodeMode": {"EncodeMode": {"Select": {"key": 2}}},
        "Frame": {"Frame": {"nFrameRate": 25}},
        "BitRateControl": {"BitRateControl": {"emBitRateControl": 1}},
        "ImageQuality": {"ImageQuality": {"emImageQuality": 4}},
        "Resolution": {"Resolution": {"Select": {"key": 1, "value": "1280x720"}}},
        "BitRate": {"BitRate": {"nBitRate": 8192}},
        "Sub1EncodeMode": {"Sub1EncodeMode": {"Select": {"key": 2}}},
        "Sub1Frame": {"Sub1Frame": {"nFrameRate": 15}},
        "Sub1BitRateControl": {"Sub1BitRateControl": {"emBitRateControl": 0}},
        "Sub1ImageQuality": {"Sub1ImageQuality": {"emImageQuality": -1}},
        "Sub1Resolution": {"Sub1Resolution": {"Select": {"key": 4, "value": "352x288"}}},
        "Sub1BitRate": {"Sub1BitRate": {"nBitRate": 512}},
        "AudioEnable": {"MainStream": {"AudioEnable": true}},
        "Sub1VideoEnable": {"Sub1Stream": {"bVideoEnable": true}},
        "Sub1AudioEnable": {"Sub1Stream": {"Sub1AudioEnable": true}},
        "AudioEncode": {"AudioEncode": {"Select": {"key": 2, "value": "AAC"}}},
        "Sub1AudioEncode": {"Sub1AudioEncode": {"Select": {"key": 0, "value": "G.711A"}}},
        "AudioSF": {"AudioFrequency": {"Select": {"value": 16000}},
                    "Sub1AudioFrequency": {"Select": {"value": 8000}}}})", expected);
    ASSERT_EQ(engine->staged.size(), expected.size());
    for (const auto& s : engine->staged)
        EXPECT_EQ(s.value, expected[s.key]) << s.key;
    EXPECT_EQ(std::count(engine->calls.begin(), engine->calls.end(), "commit"), 1);
    win->OnSaveResult(1);
    win->OnEncodeOK();
    win->OnSaveResult(0);
    EXPECT_EQ(std::count(engine->calls.begin(), engine->calls.end(), "commit"), 2);
    ASSERT_EQ(boxes.texts.size(), 5u);
    EXPECT_EQ(boxes.texts[0], L"another device is getting config,please wait.");
    EXPECT_EQ(boxes.texts[1], L"Your input shall only contain numbers.");
    EXPECT_EQ(boxes.texts[2], L"Setting,please wait...");
    EXPECT_EQ(boxes.texts[3], L"Save successfully.");
    EXPECT_EQ(boxes.texts[4], L"Failed to save.");
}

TEST_F(Page, TalkFormatCountIsClampedToTheRecord)
{
    auto record = std::make_shared<ZRDEV_TALKFORMAT_LIST>();
    std::memset(record.get(), 0, sizeof *record);
    for (int i = 0; i < 64; ++i) {
        record->type[i].encodeType = 8;  // AAC
        std::memcpy(reinterpret_cast<char*>(&record->type[i]) + 8, &i, 4);
    }
    for (int count : {1000, -5, 3}) {
        record->nSupportNum = count;
        win->FillAudioEncodeComboEx(record);
        EXPECT_EQ(win->SampleRates(8).size(), count == 3 ? 3u : count < 0 ? 0u : 5u) << count;
    }
    // With encode information the frequencies are neither read nor shown.
    win->SetEncodeInfoFlag(true);
    record->nSupportNum = 5;
    win->FillAudioEncodeComboEx(record);
    EXPECT_EQ(win->SampleRates(8).size(), 3u);
    EXPECT_FALSE(dynamic_cast<QWidget*>(win->Combo(1200))->isVisible());
}

class ImageTab : public Page {
protected:
    void Load()
    {
        color = std::make_shared<tagNET_VIDEOIN_COLOR_INFO>();
        *color = {28, 0, 40, 60, 70, 50, 0};
        auto videoColor = std::make_shared<AV_CFG_ChannelVideoColor>();
        std::memset(videoColor.get(), 0, sizeof *videoColor);
        auto backLight = std::make_shared<tagNET_VIDEOIN_BACKLIGHT_INFO>();
        std::memset(backLight.get(), 0, sizeof *backLight);
        dayNight = std::make_shared<tagNET_VIDEOIN_DAYNIGHT_INFO>();
        *dayNight = {20, 0, 1, {0, 0}};
        win->StartPreview(win->OnGetVideoEffect(color, videoColor, backLight, dayNight, nullptr, 1, 0));
    }
    std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> color;
    std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> dayNight;
};

TEST_F(ImageTab, ChangesBeforeALoadAreRefusedAndLoadingWritesNothing)
{
    devconfigtest::BoxRecorder boxes;
    Login();
    win->RADIO_OnClicked(1, 1019, POINT{});
    EXPECT_EQ(win->CurrentTab(), CCodeVideoCfgEventImp::kTabImage);
    EXPECT_EQ(engine->calls.back(), "getimage 0 -1");
    win->SF_OnSliderPos(1053, 80);
    win->RADIO_OnClicked(1, 1042, POINT{});
    win->BTN_OnClicked(1040);
    win->SelectChanged(1162, 1);
    EXPECT_EQ(boxes.texts, std::vector<std::wstring>(4, L"Video effect setting is not supported."));
    Load();
    EXPECT_TRUE(engine->colors.empty());
    EXPECT_TRUE(engine->dayNights.empty());
    EXPECT_EQ(engine->calls.back(), "play 0");
    EXPECT_EQ(win->SliderValueText(1053), L"40");
    EXPECT_EQ(win->Radio(1043)->GetCheck(), 1);
    win->Combo(1058)->SetCurSel(2);
    win->SelectChanged(1058, 2);
    EXPECT_EQ(engine->calls.back(), "savebl 3");
}

TEST_F(ImageTab, EachSaveSendsItsOwnCopyAndTheNextWaitsForTheAnswer)
{
    devconfigtest::BoxRecorder boxes;
    Login();
    win->RADIO_OnClicked(1, 1019, POINT{});
    Load();
    win->SF_OnSliderPos(1053, 40);  // the position it already has sends nothing
    EXPECT_TRUE(engine->colors.empty());
    win->SF_OnSliderPos(1053, 80);
    ASSERT_EQ(engine->colors.size(), 1u);
    EXPECT_EQ(engine->colors[0]->nBrightness, 80);
    EXPECT_NE(engine->colors[0].get(), color.get());
    win->RADIO_OnClicked(1, 1042, POINT{});  // refused while the first save is out
    EXPECT_TRUE(engine->dayNights.empty());
    EXPECT_EQ(win->SliderValueText(1053), L"80");
    win->ClearSaving();
    win->RADIO_OnClicked(1, 1042, POINT{});
    ASSERT_EQ(engine->dayNights.size(), 1u);
    EXPECT_EQ(engine->dayNights[0]->emDayNight, 2);
    win->ClearSaving();
    win->RADIO_OnClicked(0, 1042, POINT{});  // a click on the checked choice sends nothing
    EXPECT_EQ(engine->dayNights.size(), 1u);
    EXPECT_EQ(win->Radio(1042)->GetCheck(), 1);
    win->SF_OnSliderPos(1053, 10);  // does not reach the copy already sent
    ASSERT_EQ(engine->colors.size(), 2u);
    EXPECT_EQ(engine->colors[0]->nBrightness, 80);
    EXPECT_EQ(engine->colors[1]->nBrightness, 10);
    EXPECT_EQ(boxes.texts, std::vector<std::wstring>{L"Setting,please wait..."});
}

bool Shown(void* control)
{
    auto* widget = static_cast<QWidget*>(control);
    return widget && !widget->isHidden();
}

template <class T>
QWidget* W(T* control)
{
    return dynamic_cast<QWidget*>(control);
}

class FileTab : public ImageTab {
protected:
    void Open()
    {
        Login();
        win->RADIO_OnClicked(1, 1158, POINT{});
        ASSERT_EQ(engine->calls.back(), "getfile");
    }
    void Load(std::array<int, 8> fields, int ok = 1)
    {
        auto record = std::make_shared<tagNET_VIDEOIN_SWITCH_MODE_INFO>();
        std::memcpy(record.get(), fields.data(), sizeof *record);
        win->OnGetConfigFileInfo(record, ok);
    }
    void SetTime(int id, WORD h, WORD m, WORD s)
    {
        _SF_SYSTEMTIME t{};
        t.wHour = h;
        t.wMinute = m;
        t.wSecond = s;
        win->TimeEditor(id)->SetTime(&t);
    }
    std::string Time(int id)
    {
        _SF_SYSTEMTIME t{};
        win->TimeEditor(id)->GetTime(&t);
        char text[32];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.wHour, t.wMinute, t.wSecond);
        return text;
    }
    // Which of Normal, AllDay, ByTime is checked, and whether the combo and time rows show.
    std::string Mode()
    {
        std::string m = win->Radio(1159)->GetCheck() ? "Normal" : win->Radio(1160)->GetCheck() ? "AllDay"
                        : win->Radio(1161)->GetCheck() ? "ByTime" : "none";
        if (Shown(W(win->Combo(1166))))
            m += "/" + std::string(win->Combo(1166)->GetCurSel() == 0 ? "Day" : "Night");
        if (Shown(W(win->TimeEditor(1163))) && Shown(W(win->TimeEditor(1164))))
            m += "/" + Time(1163) + "-" + Time(1164);
        return m;
    }
};

TEST_F(FileTab, OpeningShowsTheRadiosAndLoadingFollowsTheSwitchMode)
{
    devconfigtest::BoxRecorder boxes;
    Login();
    EXPECT_FALSE(Shown(W(win->Radio(1159))));
    win->RADIO_OnClicked(1, 1158, POINT{});
    EXPECT_EQ(engine->calls.back(), "getfile");
    EXPECT_EQ(win->CurrentTab(), CCodeVideoCfgEventImp::kTabFileManage);
    EXPECT_FALSE(Enabled(win->Radio(1018)));
    EXPECT_FALSE(Enabled(win->Radio(1019)));
    EXPECT_TRUE(Enabled(win->Radio(1158)));
    for (int id : {1159, 1160, 1161})
        EXPECT_TRUE(Shown(W(win->Radio(id)))) << id;
    EXPECT_TRUE(Shown(W(win->Button(1165))));
    // Creation state: Normal, the combo and time rows hidden, times 00:00:00 and 23:59:59.
    EXPECT_EQ(Mode(), "Normal");
    EXPECT_EQ(Time(1163), "00:00:00");
    EXPECT_EQ(Time(1164), "23:59:59");

    const struct {
        std::array<int, 8> record;
        const char* shown;
    } loads[] = {
        {{32, 2, 6, 30, 0, 18, 0, 0}, "ByTime/06:30:00-18:00:00"},
        {{32, 1, 0, 0, 0, 0, 0, 0}, "ByTime/06:30:00-18:00:00"},  // unknown modes change nothing
        {{32, 0, 0, 0, 0, 0, 0, 0}, "AllDay/Day"},
        {{32, 3, 0, 0, 0, 0, 0, 0}, "AllDay/Night"},
        {{32, 5, 0, 0, 0, 0, 0, 0}, "AllDay/Night"},
        {{32, 4, 1, 2, 3, 4, 5, 6}, "Normal"},
        {{32, 2, 99, -1, 75, 23, 59, 59}, "ByTime/23:00:59-23:59:59"},  // out-of-range fields are bounded
    };
    for (const auto& load : loads) {
        Load(load.record);
        EXPECT_EQ(Mode(), load.shown) << load.record[1];
        EXPECT_TRUE(Enabled(win->Radio(1018)));
        EXPECT_TRUE(Enabled(win->Radio(1019)));
    }
    EXPECT_TRUE(boxes.texts.empty());

    // A failed read disables the tab's controls until the next good one.
    Load({}, 0);
    EXPECT_EQ(boxes.texts, std::vector<std::wstring>{L"Failed to get config file information."});
    for (QWidget* w : {W(win->Radio(1159)), W(win->Radio(1160)), W(win->Radio(1161)), W(win->Combo(1166)),
                       W(win->TimeEditor(1163)), W(win->TimeEditor(1164)), W(win->Button(1165))})
        EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(Enabled(win->Radio(1018)));
    Load({32, 4});
    EXPECT_TRUE(Enabled(win->Button(1165)));
    EXPECT_TRUE(Enabled(win->TimeEditor(1163)));
}

TEST_F(FileTab, RadioReactionsShowTheirRowsAndOnlyOnThisTab)
{
    Open();
    Load({32, 4});
    win->RADIO_OnClicked(1, 1160, POINT{});
    EXPECT_EQ(Mode(), "AllDay/Day");
    EXPECT_FALSE(Shown(W(win->TimeEditor(1163))));
    win->Combo(1166)->SetCurSel(1);
    win->RADIO_OnClicked(0, 1160, POINT{});  // a click on the checked radio keeps it
    EXPECT_EQ(Mode(), "AllDay/Night");
    win->RADIO_OnClicked(1, 1161, POINT{});
    EXPECT_EQ(Mode(), "ByTime/00:00:00-23:59:59");
    EXPECT_FALSE(Shown(W(win->Combo(1166))));
    win->RADIO_OnClicked(1, 1160, POINT{});  // AllDay picks Day again
    EXPECT_EQ(Mode(), "AllDay/Day");
    win->RADIO_OnClicked(1, 1159, POINT{});
    EXPECT_EQ(Mode(), "Normal");
    // Leaving the tab hides every row; a stray click elsewhere changes nothing.
    win->RADIO_OnClicked(1, 1018, POINT{});
    for (QWidget* w : {W(win->Radio(1159)), W(win->Combo(1166)), W(win->TimeEditor(1163)), W(win->Button(1165))})
        EXPECT_FALSE(Shown(w));
    win->RADIO_OnClicked(1, 1161, POINT{});
    EXPECT_EQ(win->Radio(1161)->GetCheck(), 0);
    EXPECT_FALSE(Shown(W(win->TimeEditor(1163))));
}

TEST_F(FileTab, SaveBuildsTheRecordFromTheControlsAndRefusesAnEndBeforeTheStart)
{
    devconfigtest::BoxRecorder boxes;
    Open();
    Load({32, 2, 6, 0, 0, 18, 0, 0});
    struct Case {
        const char* name;
        std::function<void()> set;
        std::array<int, 7> sent;  // mode and six time fields; mode -1: nothing sent
    };
    const Case cases[] = {
        {"by time", [&] { SetTime(1163, 6, 30, 0); SetTime(1164, 18, 0, 0); }, {2, 6, 30, 0, 18, 0, 0}},
        {"equal times", [&] { SetTime(1163, 12, 0, 5); SetTime(1164, 12, 0, 5); }, {2, 12, 0, 5, 12, 0, 5}},
        {"whole day", [&] { SetTime(1163, 0, 0, 0); SetTime(1164, 23, 59, 59); }, {2, 0, 0, 0, 23, 59, 59}},
        {"end before start", [&] { SetTime(1163, 0, 0, 1); SetTime(1164, 0, 0, 0); }, {-1}},
        {"all day night", [&] { win->RADIO_OnClicked(1, 1160, POINT{}); win->Combo(1166)->SetCurSel(1); },
         {3, 0, 0, 0, 0, 0, 0}},
        {"all day day", [&] { win->Combo(1166)->SetCurSel(0); }, {0, 0, 0, 0, 0, 0, 0}},
        {"normal", [&] { win->RADIO_OnClicked(1, 1159, POINT{}); }, {4, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        c.set();
        const size_t before = engine->fileSaves.size();
        boxes.texts.clear();
        win->BTN_OnClicked(1165);
        if (c.sent[0] < 0) {
            EXPECT_EQ(engine->fileSaves.size(), before) << c.name;
            EXPECT_EQ(boxes.texts, std::vector<std::wstring>{L"The time is invalid."}) << c.name;
            EXPECT_TRUE(Enabled(win->Radio(1018))) << c.name;
            continue;
        }
        ASSERT_EQ(engine->fileSaves.size(), before + 1) << c.name;
        const tagNET_VIDEOIN_SWITCH_MODE_INFO& r = engine->fileSaves.back();
        EXPECT_EQ(r.dwSize, 32u);
        EXPECT_EQ((std::array<int, 7>{r.emSwitchMode, r.nDayStartHour, r.nDayStartMinute, r.nDayStartSecond,
                                      r.nDayEndHour, r.nDayEndMinute, r.nDayEndSecond}),
                  c.sent)
            << c.name;
        EXPECT_FALSE(Enabled(win->Radio(1018))) << c.name;
        EXPECT_FALSE(Enabled(win->Radio(1019))) << c.name;
        EXPECT_TRUE(Enabled(win->Radio(1158))) << c.name;
        win->OnSaveConfigFileResult(c.sent[0] != 4);
        EXPECT_TRUE(Enabled(win->Radio(1018))) << c.name;
        EXPECT_EQ(boxes.texts, std::vector<std::wstring>{c.sent[0] != 4 ? L"Save config file succeed."
                                                                         : L"Save config file faild."})
            << c.name;
    }
}

TEST_F(FileTab, DayNightComboOnlyChangesWhatSaveSends)
{
    devconfigtest::BoxRecorder boxes;
    Open();
    Load({32, 3});
    const size_t calls = engine->calls.size();
    win->Combo(1166)->SetCurSel(0);
    win->SelectChanged(1166, 0);
    EXPECT_EQ(engine->calls.size(), calls);
    EXPECT_EQ(win->Combo(1162)->GetCurSel(), 0);
    win->BTN_OnClicked(1165);
    EXPECT_EQ(engine->calls.back(), "savefile 0");
    win->OnSaveConfigFileResult(1);
    // Back on Encode the channel is read again.
    engine->queries.clear();
    win->RADIO_OnClicked(1, 1018, POINT{});
    EXPECT_EQ(win->CurrentTab(), CCodeVideoCfgEventImp::kTabEncode);
    ASSERT_FALSE(engine->queries.empty());
    EXPECT_EQ(engine->queries[0].key, "EncodeMode");
    win->RADIO_OnClicked(1, 1158, POINT{});
    // A click on the open tab keeps it checked and asks nothing.
    const size_t asked = engine->calls.size();
    win->RADIO_OnClicked(0, 1158, POINT{});
    EXPECT_EQ(win->Radio(1158)->GetCheck(), 1);
    EXPECT_EQ(engine->calls.size(), asked);
}

} // namespace

namespace {

TEST_F(Page, TreeAndWindowFollowThePageSize)
{
    page->GetView()->ShowWindow(1);
    for (QSize size : {QSize(929, 616), QSize(1366, 700), QSize(700, 500)}) {
        page->GetView()->MoveWindow(0, 0, size.width(), size.height());
        QCoreApplication::processEvents();
        auto* view = static_cast<QWidget*>(win->GetUIWnd());
        EXPECT_EQ(view->geometry(), QRect(222, 10, size.width() - 232, size.height() - 20)) << size.width();
    }
}

TEST_F(Page, AudioRowsFillFromTheAnswersAndAreStaged)
{
    Login();
    ASSERT_TRUE(win->AllFlagsSet());
    EXPECT_EQ(Selected(1123), L"AAC");
    EXPECT_EQ(win->Combo(1200)->GetCount(), 2);  // AAC: 8000 and 16000
    EXPECT_EQ(Selected(1200), L"16000");
    EXPECT_EQ(Selected(1124), L"G.711A");
    EXPECT_EQ(win->Combo(1201)->GetCount(), 1);
    EXPECT_EQ(Selected(1201), L"8000");
    EXPECT_TRUE(win->CheckBox(1125)->IsChecked());
    EXPECT_TRUE(win->CheckBox(1128)->IsChecked());
    EXPECT_TRUE(win->CheckBox(1126)->IsChecked());
    EXPECT_TRUE(Enabled(win->CheckBox(1126)));

    // Another encoding offers its own frequencies.
    win->Combo(1123)->SetCurSel(0);
    win->SelectChanged(1123, 0);
    ASSERT_EQ(win->Combo(1200)->GetCount(), 1);
    EXPECT_EQ(Selected(1200), L"8000");

    // Without sub-stream video there is no sub-stream audio.
    win->CheckBox(1128)->SetCheck(0);
    win->Check_OnCheckStateChanged(0, 1128);
    EXPECT_FALSE(win->CheckBox(1126)->IsChecked());
    EXPECT_FALSE(Enabled(win->CheckBox(1126)));
    engine->staged.clear();
    win->SetConfig();
    ASSERT_NE(StagedItem("Sub1AudioEnable"), nullptr);
    EXPECT_EQ(StagedItem("Sub1AudioEnable")->value["Sub1Stream"]["Sub1AudioEnable"], false);
    EXPECT_EQ(StagedItem("Sub1VideoEnable")->value["Sub1Stream"]["bVideoEnable"], false);
    EXPECT_EQ(StagedItem("AudioEncode")->value["AudioEncode"]["Select"]["value"], "G.711A");
    EXPECT_EQ(StagedItem("AudioSF")->value["AudioFrequency"]["Select"]["value"], 8000);
    const pagetest::Staged* encode = StagedItem("AudioEncode");
    EXPECT_EQ(std::vector<int>({encode->a, encode->b, encode->c, encode->d}), std::vector<int>({0, 0, 0, 0}));

    // A device without talk formats: both frequency lists are disabled.
    auto none = std::make_shared<ZRDEV_TALKFORMAT_LIST>();
    std::memset(none.get(), 0, sizeof *none);
    none->nSupportNum = 1;
    win->FillAudioEncodeComboEx(none);
    EXPECT_FALSE(Enabled(win->Combo(1200)));
    EXPECT_FALSE(Enabled(win->Combo(1201)));

    // With encode information the frequencies are neither shown nor staged.
    page->GetView()->ShowWindow(1);
    win->SetEncodeInfoFlag(true);
    win->ShowEncodeTab(1);
    EXPECT_FALSE(dynamic_cast<QWidget*>(win->Combo(1200))->isVisible());
    EXPECT_FALSE(dynamic_cast<QWidget*>(win->EncodeRowLabel(57))->isVisible());
    EXPECT_TRUE(dynamic_cast<QWidget*>(win->Combo(1123))->isVisible());
    engine->staged.clear();
    win->SetConfig();
    EXPECT_EQ(StagedItem("AudioSF"), nullptr);
    EXPECT_NE(StagedItem("AudioEncode"), nullptr);
}

// Geometry of a control against a left, top, right, bottom rectangle; facades differ on whether
// right and bottom are inside.
template <class T>
::testing::AssertionResult At(T* control, int l, int t, int r, int b)
{
    auto* widget = dynamic_cast<QWidget*>(control);
    if (!widget)
        return ::testing::AssertionFailure() << "no control";
    const QRect g = widget->geometry();
    const bool ok = g.x() == l && g.y() == t && (g.width() == r - l || g.width() == r - l + 1) &&
                    (g.height() == b - t || g.height() == b - t + 1);
    if (ok)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << g.x() << "," << g.y() << "," << g.x() + g.width() << ","
                                         << g.y() + g.height() << " instead of " << l << "," << t << "," << r
                                         << "," << b;
}

TEST_F(Page, LayoutPlacesTheControlsFromTheWindowSize)
{
    page->GetView()->ShowWindow(1);
    auto resize = [&](int W, int H) {
        page->GetView()->MoveWindow(0, 0, W + 232, H + 20);
        QCoreApplication::processEvents();
        auto* view = static_cast<QWidget*>(win->GetUIWnd());
        ASSERT_EQ(view->size(), QSize(W, H));
    };
    struct Case {
        const char* what;
        std::function<QWidget*()> control;
        int W, l, t, r, b;
    };
    auto w = [](auto* control) { return [control] { return dynamic_cast<QWidget*>(control); }; };
    const int H = 596;
    const Case cases[] = {
        {"live video", [&] { return dynamic_cast<QWidget*>(win->GetVideoWindow()); }, 1000, 20, 50, 720, 575},
        {"live video, odd width", [&] { return dynamic_cast<QWidget*>(win->GetVideoWindow()); }, 1001, 20, 50, 721, 575},
        {"live video, narrow", [&] { return dynamic_cast<QWidget*>(win->GetVideoWindow()); }, 699, 20, 50, 419, 349},
        {"full screen", [&] { return dynamic_cast<QWidget*>(win->Button(1115)); }, 1000, 686, 541, 710, 565},
        {"ConfigFile", [&] { return dynamic_cast<QWidget*>(win->ImageLabel(L"ConfigFile")); }, 1000, 740, 50, 820, 74},
        {"Brightness", [&] { return dynamic_cast<QWidget*>(win->ImageLabel(L"Brightness")); }, 1000, 740, 186, 820, 210},
        {"brightness", w(win->Slider(1053)), 1000, 820, 186, 942, 210},
        {"Day/Night", [&] { return dynamic_cast<QWidget*>(win->ImageLabel(L"Day/Night Mode")); }, 1000, 740, 322, 980, 346},
        {"BlackWhite", w(win->Radio(1042)), 1000, 900, 356, 980, 380},
        {"BLC Mode", [&] { return dynamic_cast<QWidget*>(win->ImageLabel(L"BLC Mode")); }, 1000, 720, 390, 820, 414},
        {"level", w(win->Slider(1045)), 1000, 820, 422, 942, 446},
        {"Channel Name", [&] { return dynamic_cast<QWidget*>(win->ChannelNameLabel()); }, 1000, 720, 456, 820, 480},
        {"name", w(win->Edit(1116)), 1000, 820, 456, 960, 480},
        {"Default", w(win->Button(1040)), 1000, 40, 585, 122, 609},
        {"Easy Focus", w(win->Button(1041)), 1000, 618, 585, 700, 609},
        {"IMAGE tab", w(win->Radio(1019)), 1000, 124, 0, 249, 30},
        {"border line", [&] { return dynamic_cast<QWidget*>(win->BorderLine()); }, 1000, 0, 28, 998, 30},
        {"OK", w(win->Button(1037)), 1000, 878, 552, 960, 576},
        {"Device Information", w(win->Button(1105)), 1001, 420, 381, 565, 416},
        {"failure label", [&] { return dynamic_cast<QWidget*>(win->FailureLabel()); }, 1001, 318, 421, 668, 466},
        {"Save", w(win->Button(1165)), 1000, H - 20, 70, H + 62, 94},
        {"Normal", w(win->Radio(1159)), 1000, 200, 70, 300, 94},
        {"ByTime", w(win->Radio(1161)), 1000, 400, 70, 500, 94},
        {"always use", w(win->Combo(1166)), 1000, 200, 114, 350, 136},
        {"day start", w(win->TimeEditor(1163)), 1000, 205, 113, 386, 139},
        {"day end", w(win->TimeEditor(1164)), 1000, 205, 157, 386, 183},
        {"Channel", [&] { return dynamic_cast<QWidget*>(win->EncodeRowLabel(1)); }, 1000, 20, 10, 150, 34},
        {"channel", w(win->Combo(1114)), 1000, 150, 10, 300, 32},
        {"VBR", w(win->Radio(1024)), 1000, 250, 113, 330, 139},
        {"frame value", [&] { return dynamic_cast<QWidget*>(win->EncodeRowLabel(14)); }, 1000, 272, 147, 402, 171},
        {"custom bit rate", w(win->Edit(1121)), 1000, 320, 249, 470, 271},
        {"Audio", [&] { return dynamic_cast<QWidget*>(win->EncodeRowLabel(52)); }, 1000, 360, 123, 490, 147},
        {"audio box", w(win->CheckBox(1125)), 1000, 510, 123, 525, 138},
        {"sampling frequency", w(win->Combo(1200)), 1000, 490, 211, 643, 235},
        {"Sub Stream", [&] { return dynamic_cast<QWidget*>(win->EncodeRowLabel(32)); }, 1000, 20, 293, 150, 317},
        {"sub bit rate", w(win->Combo(1029)), 1000, 150, 498, 300, 520},
        {"sub video box", w(win->CheckBox(1128)), 1000, 545, 372, 560, 387},
        {"Sampling Frequency", [&] { return dynamic_cast<QWidget*>(win->EncodeRowLabel(64)); }, 1000, 360, 460, 490, 484},
    };
    for (const Case& c : cases) {
        resize(c.W, H);
        EXPECT_TRUE(At(c.control(), c.l, c.t, c.r, c.b)) << c.what << " at width " << c.W;
    }
    // The Encode controls live in the scroll area of the tab.
    EXPECT_EQ(dynamic_cast<QWidget*>(win->Combo(1114))->parentWidget(), win->EncodeArea()->GetUIWnd());

    // In full screen only the stored rectangle follows the size.
    resize(1000, H);
    win->SetFullScreenFlag(1);
    resize(700, H);
    EXPECT_TRUE(At(win->GetVideoWindow(), 20, 50, 720, 575));
    const RECT normal = win->NormalVideoRect();
    EXPECT_EQ(std::vector<long>({normal.left, normal.top, normal.right, normal.bottom}),
              std::vector<long>({20, 50, 420, 350}));
    win->SetFullScreenFlag(0);

    // A window whose controls do not exist yet ignores a resize.
    CCodeVideoCfgEventImp bare;
    bare.OnSize(0, 1000, 600);
    bare.LayoutEncodeTab(699, 598);
    bare.LayoutImageTab(1000, 600);
    EXPECT_EQ(bare.NormalVideoRect().right, 0);
}

TEST_F(Page, HiddenEncodeRowsFollowTheFrameRateAndTheWatermarkGuardsTheSave)
{
    devconfigtest::BoxRecorder boxes;
    page->GetView()->ShowWindow(1);
    Login();
    win->SelectTab(CCodeVideoCfgEventImp::kTabEncode);
    win->ShowEncodeTab(1);
    auto text = [&](int id) {
        wchar_t buf[64] = {};
        win->Edit(id)->GetWindowTextW(buf, 64);
        return std::wstring(buf);
    };
    auto label = [&](int row) {
        wchar_t buf[64] = {};
        win->EncodeRowLabel(row)->GetStaticText(buf, 64);
        return std::wstring(buf);
    };
    EXPECT_EQ(label(25), L" (25~150)");
    EXPECT_EQ(text(1172), L"50");
    EXPECT_EQ(label(68), L" (15~150)");
    EXPECT_EQ(text(1175), L"30");
    for (QWidget* hidden : {dynamic_cast<QWidget*>(win->Edit(1172)), dynamic_cast<QWidget*>(win->Combo(1207)),
                            dynamic_cast<QWidget*>(win->Radio(1174)), dynamic_cast<QWidget*>(win->Edit(1173)),
                            dynamic_cast<QWidget*>(win->EncodeRowLabel(23)), dynamic_cast<QWidget*>(win->EncodeRowLabel(69)),
                            dynamic_cast<QWidget*>(win->CheckBox(1127))})
        EXPECT_FALSE(hidden->isVisible());
    EXPECT_TRUE(dynamic_cast<QWidget*>(win->CheckBox(1125))->isVisible());

    // The interval runs from the frame rate to 150.
    const std::pair<const wchar_t*, const wchar_t*> entries[] = {
        {L"1234", L"150"}, {L"30", L"30"}, {L"200", L"150"}, {L"10", L"25"}, {L"a1", L"25"}};
    for (const auto& e : entries) {
        std::wstring typed = e.first;
        win->EDIT_OnEnterPressed(1172, typed.data());
        EXPECT_EQ(text(1172), e.second) << QString::fromWCharArray(e.first).toStdString();
    }
    wchar_t empty[] = L"";
    win->EDIT_OnTextChange(1172, empty);
    EXPECT_EQ(text(1172), L"50");

    // Opening the tab reads the watermark; switched on without a text it refuses the save.
    engine->calls.clear();
    win->RADIO_OnClicked(1, 1019, POINT{});
    win->RADIO_OnClicked(1, 1018, POINT{});
    AnswerAll();
    EXPECT_NE(std::find(engine->calls.begin(), engine->calls.end(), "watermark 0 0"), engine->calls.end());
    auto mark = std::make_unique<__ZRDEV_WATERMAKE_CFG>();
    std::memset(mark.get(), 0, sizeof *mark);
    mark->nEnable = 1;
    mark->nKey = 1;
    win->OnGetWaterMark(*mark, 1);
    EXPECT_EQ(win->Radio(1174)->GetCheck(), 1);
    win->OnEncodeOK();
    EXPECT_EQ(std::count(engine->calls.begin(), engine->calls.end(), "commit"), 0);
    mark->nKey = 2;
    std::strcpy(mark->szData, "Cam 7");
    win->OnGetWaterMark(*mark, 1);
    EXPECT_EQ(text(1173), L"Cam 7");
    win->OnEncodeOK();
    EXPECT_EQ(std::count(engine->calls.begin(), engine->calls.end(), "commit"), 1);
    EXPECT_EQ(boxes.texts, std::vector<std::wstring>{L"Watermark cannot empty."});
}

TEST_F(ImageTab, AFailedLoadSaysSoAndTheColourStyleDecidesTheModeRadios)
{
    devconfigtest::BoxRecorder boxes;
    Login();
    win->RADIO_OnClicked(1, 1019, POINT{});
    win->StartPreview(win->OnGetVideoEffect(nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0));
    EXPECT_EQ(boxes.texts, std::vector<std::wstring>{L"Failed to get video effect."});
    EXPECT_EQ(engine->calls.back(), "play 0");
    // Style of the profile's colour entry: 0 none, 1 soft, 2 standard, 3 bright, others standard.
    const struct {
        int style;
        int checked;
        bool enabled;
    } cases[] = {{0, 1056, false}, {1, 1055, true}, {2, 1056, true}, {3, 1054, true}, {7, 1056, true}};
    for (const auto& c : cases) {
        auto videoColor = std::make_shared<AV_CFG_ChannelVideoColor>();
        std::memset(videoColor.get(), 0, sizeof *videoColor);
        videoColor->nColorNum = 1;
        videoColor->stuColor[0].nStyle = c.style;
        auto colour = std::make_shared<tagNET_VIDEOIN_COLOR_INFO>();
        *colour = {28, 0, 40, 60, 70, 50, 0};
        auto backLight = std::make_shared<tagNET_VIDEOIN_BACKLIGHT_INFO>();
        std::memset(backLight.get(), 0, sizeof *backLight);
        auto dn = std::make_shared<tagNET_VIDEOIN_DAYNIGHT_INFO>();
        *dn = {20, 0, 1, {0, 0}};
        win->OnGetVideoEffect(colour, videoColor, backLight, dn, nullptr, 1, 0);
        for (int id : {1054, 1055, 1056}) {
            EXPECT_EQ(win->Radio(id)->GetCheck(), id == c.checked ? 1 : 0) << c.style << " " << id;
            EXPECT_EQ(Enabled(win->Radio(id)), c.enabled) << c.style << " " << id;
        }
        EXPECT_TRUE(Enabled(win->Radio(1043))) << c.style;
    }
    // A colour mode writes the style and the colour values; the style write has no answer, so the
    // flag clears with the colour write's answer.
    win->RADIO_OnClicked(1, 1055, POINT{});
    EXPECT_EQ(engine->calls.back(), "savestyle");
    ASSERT_EQ(engine->colors.size(), 1u);
    EXPECT_EQ(engine->colors[0]->nBrightness, 40);
    EXPECT_TRUE(win->IsSaving());
    win->ClearSaving();
    EXPECT_FALSE(win->IsSaving());
    EXPECT_EQ(boxes.texts.size(), 1u);
}

TEST_F(ImageTab, DefaultRestoresColourModeBackLightAndDayNightOnce)
{
    devconfigtest::BoxRecorder boxes;
    Login();
    win->RADIO_OnClicked(1, 1019, POINT{});
    Load();
    win->BTN_OnClicked(1040);
    ASSERT_EQ(engine->colors.size(), 1u);
    const auto& c = *engine->colors[0];
    EXPECT_EQ(std::vector<int>({c.nBrightness, c.nContrast, c.nGamma, c.nSaturation}), std::vector<int>(4, 50));
    ASSERT_EQ(engine->backLights.size(), 1u);
    EXPECT_EQ(engine->backLights[0]->emBlackMode, 1);
    ASSERT_EQ(engine->dayNights.size(), 1u);
    EXPECT_EQ(engine->dayNights[0]->emDayNight, 1);
    // No colour style on this device: the style record is left alone.
    EXPECT_EQ(std::count(engine->calls.begin(), engine->calls.end(), "savestyle"), 0);
    EXPECT_EQ(win->SliderValueText(1053), L"50");
    EXPECT_EQ(win->Radio(1043)->GetCheck(), 1);
    EXPECT_EQ(win->Radio(1056)->GetCheck(), 1);
    EXPECT_EQ(Selected(1058), L"OFF");
    EXPECT_TRUE(win->IsSaving());
    for (int i = 0; i < 3; ++i)
        win->ClearSaving();
    EXPECT_FALSE(win->IsSaving());
    // Everything already at its default: nothing is sent.
    win->BTN_OnClicked(1040);
    EXPECT_EQ(engine->colors.size(), 1u);
    EXPECT_EQ(engine->dayNights.size(), 1u);

    // With a colour style the style record goes too, set to "Standard".
    auto videoColor = std::make_shared<AV_CFG_ChannelVideoColor>();
    std::memset(videoColor.get(), 0, sizeof *videoColor);
    videoColor->nColorNum = 1;
    videoColor->stuColor[0].nStyle = 3;
    auto backLight = std::make_shared<tagNET_VIDEOIN_BACKLIGHT_INFO>();
    std::memset(backLight.get(), 0, sizeof *backLight);
    backLight->emBlackMode = 3;
    win->OnGetVideoEffect(color, videoColor, backLight, dayNight, nullptr, 1, 0);
    win->BTN_OnClicked(1040);
    EXPECT_EQ(std::count(engine->calls.begin(), engine->calls.end(), "savestyle"), 1);
    EXPECT_EQ(videoColor->stuColor[0].nStyle, 2);
    EXPECT_EQ(win->Radio(1056)->GetCheck(), 1);
    EXPECT_EQ(engine->backLights.back()->emBlackMode, 1);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(Page, EncodeSlidersWaitForAnOutstandingPictureSave)
{
    devconfigtest::BoxRecorder boxes;
    Login();
    ImageTabLoadForTree();
    ASSERT_TRUE(win->IsSaving());
    engine->staged.clear();
    win->SF_OnSliderPos(1025, 10);
    win->SF_OnSliderPos(1026, 2);
    EXPECT_EQ(boxes.texts, std::vector<std::wstring>(2, L"Setting,please wait..."));
    EXPECT_EQ(win->SliderValueText(1025), L"25");
    EXPECT_EQ(win->SliderValueText(1026), L"4");
    EXPECT_TRUE(engine->staged.empty());
    win->ClearSaving();
    win->SF_OnSliderPos(1025, 10);
    EXPECT_EQ(win->SliderValueText(1025), L"10");
    EXPECT_FALSE(engine->staged.empty());
}

TEST_F(Page, DeviceTreeGroupsByClassAndFilters)
{
    devconfigtest::BoxRecorder boxes;
    auto add = [&](const char* ip, const char* type, int version = 4) {
        auto device = std::make_shared<DEVICE_INFO>();
        std::memset(device.get(), 0, sizeof *device);
        device->stNetInfo.nIpVersion = version;
        std::strcpy(device->stNetInfo.szIpAddr, ip);
        std::strcpy(device->stNetInfo.szTypeName, type);
        std::strcpy(device->stNetInfo.szMacAddr, ip);
        page->AddDeviceToTree(device, false, 0);
    };
    auto tree = page->GetDevTree();
    ASSERT_NE(tree, nullptr);
    tree->GetFilterEdit()->SetWindowTextW(L"stale");
    add("192.168.1.30", "NVR5216");
    add("192.168.1.10", "IPC-HDW");
    add("10.0.0.7", "VTO2000");
    add("fe80::1", "IPC", 6);  // IPv6 devices are never listed
    add("192.168.2.20", "SD49225");
    add("192.168.1.11", "PTZ-X");
    EXPECT_EQ(tree->Rows(), (std::vector<std::wstring>{L"IPC:192.168.1.10", L"SD:192.168.2.20", L"SD:192.168.1.11",
                                                       L"NVR:192.168.1.30", L"Others:10.0.0.7"}));
    wchar_t text[64] = {};
    tree->GetFilterEdit()->GetWindowTextW(text, 64);
    EXPECT_EQ(std::wstring(text), L"");  // a new device clears the filter text

    // A click on a group keeps the device selected before.
    page->SelectDevice(1);
    ASSERT_NE(page->GetSelectedDevice(), nullptr);
    EXPECT_STREQ(page->GetSelectedDevice()->stNetInfo.szIpAddr, "192.168.1.10");
    tree->OnItemClick(tree->GetTreeCtrl()->GetChildItem(SF_TVI_ROOT), 0);
    EXPECT_STREQ(page->GetSelectedDevice()->stNetInfo.szIpAddr, "192.168.1.10");

    const struct {
        const wchar_t* filter;
        std::vector<std::wstring> rows;
    } filters[] = {
        {L"ipc", {L"IPC:192.168.1.10"}},
        {L"Ptz", {L"SD:192.168.2.20", L"SD:192.168.1.11"}},
        {L"192.168.1", {L"IPC:192.168.1.10", L"SD:192.168.1.11", L"NVR:192.168.1.30"}},
        {L"", {L"IPC:192.168.1.10", L"SD:192.168.2.20", L"SD:192.168.1.11", L"NVR:192.168.1.30",
               L"Others:10.0.0.7"}},
    };
    bool enter = false;
    for (const auto& f : filters) {
        tree->GetFilterEdit()->SetWindowTextW(f.filter);
        wchar_t typed[64] = {};
        std::wcsncpy(typed, f.filter, 63);
        if ((enter = !enter))
            tree->EDIT_OnEnterPressed(1059, typed);
        else
            tree->OnFilter();
        EXPECT_EQ(tree->Rows(), f.rows) << QString::fromWCharArray(f.filter).toStdString();
        EXPECT_EQ(page->GetSelectedDevice(), nullptr);
        EXPECT_TRUE(Enabled(tree->GetFilterButton()));
    }

    // The filter waits while a picture setting is being written.
    ImageTabLoadForTree();
    tree->GetFilterEdit()->SetWindowTextW(L"nvr");
    tree->OnFilter();
    EXPECT_EQ(tree->Rows().size(), 5u);
    EXPECT_EQ(boxes.texts, std::vector<std::wstring>{L"Setting,please wait..."});

    page->ClearDeviceTree();
    EXPECT_TRUE(tree->Rows().empty());
    EXPECT_EQ(page->DeviceCount(), 0u);
    EXPECT_EQ(page->GetSelectedDevice(), nullptr);
}

TEST_F(Page, StartAndFailurePanelsShowTheirPictureAndTexts)
{
    auto* view = static_cast<QWidget*>(win->GetUIWnd());
    auto texts = [&] {
        std::vector<std::wstring> shown;
        for (QWidget* child : view->findChildren<QWidget*>())
            if (auto* label = dynamic_cast<CSFStatic*>(child); label && child->isVisibleTo(view)) {
                wchar_t buf[256] = {};
                label->GetStaticText(buf, 256);
                if (buf[0])
                    shown.push_back(buf);
            }
        return shown;
    };
    auto pictures = [&] {
        int shown = 0;
        for (QWidget* child : view->findChildren<QWidget*>())
            if (dynamic_cast<CSFPictureCtrl*>(child) && child->isVisibleTo(view) && child->width() == 240)
                ++shown;
        return shown;
    };
    EXPECT_EQ(texts(), std::vector<std::wstring>{L"* Or dblclick the device to get the Device Information."});
    EXPECT_EQ(pictures(), 1);
    win->ShowStartPanel(0);
    win->ShowLoginMessage(1, 8);
    EXPECT_EQ(texts(), std::vector<std::wstring>{L"Connection failed."});
    EXPECT_EQ(pictures(), 1);
    win->ShowLoginMessage(0, 0);
    EXPECT_EQ(pictures(), 0);
}

TEST_F(ImageTab, BackLightLevelAndChannelNameAreWrittenAtOnce)
{
    devconfigtest::BoxRecorder boxes;
    page->GetView()->ShowWindow(1);
    Login();
    win->RADIO_OnClicked(1, 1019, POINT{});
    color = std::make_shared<tagNET_VIDEOIN_COLOR_INFO>();
    *color = {28, 0, 40, 60, 70, 50, 0};
    auto videoColor = std::make_shared<AV_CFG_ChannelVideoColor>();
    std::memset(videoColor.get(), 0, sizeof *videoColor);
    auto backLight = std::make_shared<tagNET_VIDEOIN_BACKLIGHT_INFO>();
    std::memset(backLight.get(), 0, sizeof *backLight);
    backLight->emBlackMode = 3;  // WDR at level 0
    dayNight = std::make_shared<tagNET_VIDEOIN_DAYNIGHT_INFO>();
    *dayNight = {20, 0, 1, {0, 0}};
    auto name = std::make_shared<AV_CFG_ChannelName>();
    std::memset(name.get(), 0, sizeof *name);
    std::strcpy(name->szName, "Front door");
    win->OnGetVideoEffect(color, videoColor, backLight, dayNight, name, 1, 0);
    auto* level = dynamic_cast<QWidget*>(win->Slider(1045));
    EXPECT_TRUE(level->isVisible());
    EXPECT_EQ(win->SliderValueText(1045), L"0");

    // HLC without a level starts at 50.
    win->Combo(1058)->SetCurSel(3);
    win->SelectChanged(1058, 3);
    ASSERT_EQ(engine->backLights.size(), 1u);
    EXPECT_EQ(engine->backLights[0]->emBlackMode, 4);
    EXPECT_EQ(engine->backLights[0]->nGlareInhibition, 50);
    EXPECT_EQ(win->SliderValueText(1045), L"50");
    win->SF_OnSliderPos(1045, 65);  // refused while the save is out
    EXPECT_EQ(engine->backLights.size(), 1u);
    EXPECT_EQ(win->Slider(1045)->GetPos(), 50);
    win->ClearSaving();
    win->SF_OnSliderPos(1045, 50);  // where it stands: nothing to send
    EXPECT_EQ(engine->backLights.size(), 1u);
    win->SF_OnSliderPos(1045, 65);
    ASSERT_EQ(engine->backLights.size(), 2u);
    EXPECT_EQ(engine->backLights[1]->nGlareInhibition, 65);
    EXPECT_EQ(engine->backLights[0]->nGlareInhibition, 50);
    win->ClearSaving();
    win->Combo(1058)->SetCurSel(0);
    win->SelectChanged(1058, 0);
    EXPECT_FALSE(level->isVisible());
    win->ClearSaving();

    // Channel name: at most 15 characters, never empty, the edit waits for the answer.
    auto shown = [&] {
        wchar_t buf[64] = {};
        win->Edit(1116)->GetWindowTextW(buf, 64);
        return std::wstring(buf);
    };
    EXPECT_EQ(shown(), L"Front door");
    wchar_t longName[] = L"ABCDEFGHIJKLMNOPQ";
    win->EDIT_OnTextChange(1116, longName);
    EXPECT_EQ(shown(), L"ABCDEFGHIJKLMNO");
    wchar_t empty[] = L"";
    win->EDIT_OnEnterPressed(1116, empty);
    EXPECT_EQ(shown(), L"Front door");
    wchar_t gate[] = L"Gate";
    win->EDIT_OnEnterPressed(1116, gate);
    EXPECT_EQ(engine->calls.back(), "savename 0 Gate");
    EXPECT_FALSE(Enabled(win->Edit(1116)));
    win->EDIT_OnEnterPressed(1116, gate);
    win->ClearSaving();
    win->OnSaveChannelNameResult(0);
    EXPECT_TRUE(Enabled(win->Edit(1116)));
    EXPECT_EQ(shown(), L"Front door");
    win->EDIT_OnEnterPressed(1116, gate);
    win->ClearSaving();
    win->OnSaveChannelNameResult(1);
    EXPECT_EQ(shown(), L"Gate");
    EXPECT_EQ(std::count(engine->calls.begin(), engine->calls.end(), "savename 0 Gate"), 2);
    EXPECT_EQ(boxes.texts, (std::vector<std::wstring>{L"Setting,please wait...", L"Channel name can't be empty.",
                                                      L"Setting,please wait...", L"Failed to save."}));
}

} // namespace
