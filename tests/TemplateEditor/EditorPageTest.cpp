// The editor pages: dependent controls, records in and out, the change test and the template file.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

#include <cstring>
#include <cwchar>

#include "EditorTestSupport.h"
#include "Template/CTemplateXml.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDateTimeCtrl.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFSliderCtrl.h"

using namespace tpledit;
using Page = CTemplatePageEventImp;

namespace {

template <class T>
bool Enabled(T* control)
{
    return Widget(control)->isEnabled();
}

tagTEMPLATEINFO Read(Page& page)
{
    tagTEMPLATEINFO t;
    std::memset(&t, 0, sizeof(t));
    page.GetTemplate(&t, false);
    return t;
}

std::wstring ItemText(CSFComboBox* list)
{
    wchar_t text[256] = {};
    list->GetLBText(list->GetCurSel(), text, 255);
    return text;
}

struct Fixture : ::testing::Test {
    void SetUp() override
    {
        frame = OpenTemplatePage();
        shell = Shell(frame);
        ipc = shell->GetPage(CTemplateEditEventImp::ID_IPC);
        dvr = shell->GetPage(CTemplateEditEventImp::ID_DVR);
        ipc->ResetTemplate();
    }
    std::shared_ptr<CMainFrameEventImp> frame;
    std::shared_ptr<CTemplateEditEventImp> shell;
    std::shared_ptr<Page> ipc;
    std::shared_ptr<Page> dvr;
};

using TemplateEditorPage = Fixture;

} // namespace

TEST_F(TemplateEditorPage, NewTemplateHasTheDefaultValues)
{
    const tagTEMPLATEINFO& d = ipc->GetDefaults();
    EXPECT_STREQ(d.type, L"IPC");
    EXPECT_EQ(d.VideoColor.id, 1);
    EXPECT_EQ(d.VideoColor.Brightness, 50);
    EXPECT_EQ(d.VideoColor.Saturation, 50);
    EXPECT_EQ(d.FileManage.FileManage, TEMPLATE_FILEMANAGE_NORMAL);
    EXPECT_STREQ(d.Encode.MStreamNCodeMode, "FCC_MPEG4");
    EXPECT_STREQ(d.Encode.EAudioEncode, "AAC");
    EXPECT_EQ(d.Encode.MStreamNWidth, 160);
    EXPECT_EQ(d.Encode.MStreamNHeight, 90);
    EXPECT_EQ(d.Encode.MStreamNFrameRate, 1);
    EXPECT_EQ(d.Encode.MStreamNImageQuality, 1);
    EXPECT_EQ(d.Encode.MAudioEnable, 1);
    EXPECT_EQ(d.Encode.EStreamMEnable, 1);
    EXPECT_EQ(ipc->IsChanged(), 0);
    // Constant bit rate: quality does not apply.
    EXPECT_FALSE(Enabled(ipc->GetStream(Page::MAIN).quality));
    EXPECT_FALSE(Enabled(ipc->GetBlcLevel()));
}

TEST_F(TemplateEditorPage, DependentControlsFollowTheUsersChoice)
{
    const Page::StreamRow& m = ipc->GetStream(Page::MAIN);
    // MJPG forces a constant bit rate and locks it; another codec frees the list again.
    m.brc->SetCurSel(1);
    ipc->SelectChanged(Page::ID_MAIN_BRC, 1);
    EXPECT_TRUE(Enabled(m.quality));
    m.codec->SetCurSel(6);
    ipc->SelectChanged(Page::ID_MAIN_CODEC, 6);
    EXPECT_EQ(m.brc->GetCurSel(), 0);
    EXPECT_FALSE(Enabled(m.brc));
    EXPECT_FALSE(Enabled(m.quality));
    m.codec->SetCurSel(2);
    ipc->SelectChanged(Page::ID_MAIN_CODEC, 2);
    EXPECT_TRUE(Enabled(m.brc));

    // "Motion" locks codec, standard and resolution on the IPC page only.
    for (const auto& page : {ipc, dvr}) {
        const Page::StreamRow& r = page->GetStream(Page::MAIN);
        page->SelectChanged(Page::ID_MAIN_TYPE, 1);
        EXPECT_EQ(Enabled(r.codec), page == dvr) << page->GetTypeText();
        EXPECT_EQ(Enabled(r.resolution), page == dvr);
        page->SelectChanged(Page::ID_MAIN_TYPE, 0);
        EXPECT_TRUE(Enabled(r.codec) && Enabled(r.standard) && Enabled(r.resolution));
    }

    // WDR and HLC take a level, starting at 50.
    ipc->SelectChanged(Page::ID_BLC_MODE, 2);
    EXPECT_TRUE(Enabled(ipc->GetBlcLevel()));
    EXPECT_EQ(ipc->GetBlcLevel()->GetPos(), 50);
    ipc->SelectChanged(Page::ID_BLC_MODE, 1);
    EXPECT_FALSE(Enabled(ipc->GetBlcLevel()));

    // "Soft" presets the colour sliders.
    ipc->GetColorMode()->SetCurSel(1);
    ipc->SelectChanged(Page::ID_COLOR_MODE, 1);
    EXPECT_EQ(ipc->GetColorSlider(0)->GetPos(), 55);
    EXPECT_EQ(ipc->GetColorSlider(2)->GetPos(), 40);

    // File management shows either the profile or the two times.
    ipc->SelectChanged(Page::ID_FILE_MANAGE, 1);
    EXPECT_FALSE(Widget(ipc->GetAlwaysUse())->isHidden());
    EXPECT_TRUE(Widget(ipc->GetStartTime())->isHidden());
    ipc->SelectChanged(Page::ID_FILE_MANAGE, 2);
    EXPECT_TRUE(Widget(ipc->GetAlwaysUse())->isHidden());
    EXPECT_FALSE(Widget(ipc->GetEndTime())->isHidden());

    // Switching the sub stream off disables it, but the record keeps its values.
    ipc->GetVideoEnable()->SetCheck(0);
    ipc->RADIO_OnClicked(0, Page::ID_VIDEO_ENABLE, POINT{0, 0});
    const Page::StreamRow& s = ipc->GetStream(Page::SUB);
    EXPECT_FALSE(Enabled(s.codec) || Enabled(s.fps) || Enabled(s.bitRate) || Enabled(s.quality));
    const tagTEMPLATEINFO t = Read(*ipc);
    EXPECT_EQ(t.Encode.EStreamMEnable, 0);
    EXPECT_STREQ(t.Encode.EStreamNCodeMode, "FCC_MPEG4");
}

TEST_F(TemplateEditorPage, RecordsAreShownAndReadBack)
{
    struct Case {
        const char* what;
        void (*fill)(tagTEMPLATEINFO&);
        void (*check)(Page&, const tagTEMPLATEINFO&);
    } cases[] = {
        {"soft colour", [](tagTEMPLATEINFO& t) { t.VideoColor.ColorMode = 1; },
         [](Page& p, const tagTEMPLATEINFO& r) {
             EXPECT_EQ(p.GetColorMode()->GetCurSel(), 1);
             EXPECT_EQ(r.VideoColor.ColorMode, 1);
         }},
        {"bright colour loads back as bright", [](tagTEMPLATEINFO& t) { t.VideoColor.ColorMode = 2; },
         [](Page& p, const tagTEMPLATEINFO& r) {
             EXPECT_EQ(p.GetColorMode()->GetCurSel(), 2);
             EXPECT_EQ(r.VideoColor.ColorMode, 2);
         }},
        {"glare level alone means HLC",
         [](tagTEMPLATEINFO& t) {
             t.BLC.Backlight = 0;
             t.BLC.GlareInhibition = 40;
         },
         [](Page& p, const tagTEMPLATEINFO& r) {
             EXPECT_EQ(p.GetBlcMode()->GetCurSel(), 3);
             EXPECT_EQ(p.GetBlcLevel()->GetPos(), 40);
             EXPECT_EQ(r.BLC.Backlight, 3);
             EXPECT_EQ(r.BLC.GlareInhibition, 40);
         }},
        {"BLC shows no level",
         [](tagTEMPLATEINFO& t) {
             t.BLC.Backlight = 1;
             t.BLC.WideDynamicRange = 30;
         },
         [](Page& p, const tagTEMPLATEINFO& r) {
             EXPECT_EQ(p.GetBlcMode()->GetCurSel(), 1);
             EXPECT_FALSE(Widget(p.GetBlcLevel())->isEnabled());
             EXPECT_EQ(r.BLC.WideDynamicRange, 0);
         }},
        {"all day at night", [](tagTEMPLATEINFO& t) { t.FileManage.FileManage = 3; },
         [](Page& p, const tagTEMPLATEINFO& r) {
             EXPECT_EQ(p.GetFileManage()->GetCurSel(), 1);
             EXPECT_EQ(p.GetAlwaysUse()->GetCurSel(), 1);
             EXPECT_EQ(r.FileManage.FileManage, 3);
         }},
        {"NTSC D1 and a sub size of its own table",
         [](tagTEMPLATEINFO& t) {
             t.Encode.MVideoStandard = 1;
             t.Encode.MStreamNWidth = 704;
             t.Encode.MStreamNHeight = 480;
             t.Encode.EStreamNWidth = 704;
             t.Encode.EStreamNHeight = 576;
         },
         [](Page& p, const tagTEMPLATEINFO& r) {
             EXPECT_EQ(ItemText(p.GetStream(Page::MAIN).resolution), L"D1");
             EXPECT_EQ(ItemText(p.GetStream(Page::SUB).resolution), L"D1");
             EXPECT_EQ(r.Encode.MStreamNHeight, 480);
             EXPECT_EQ(r.Encode.EStreamNHeight, 576);
         }},
        {"a device's own size, codec, audio and frame rate are kept",
         [](tagTEMPLATEINFO& t) {
             t.Encode.MStreamNWidth = 2688;
             t.Encode.MStreamNHeight = 1520;
             t.Encode.MStreamNFrameRate = 60;
             std::strcpy(t.Encode.MStreamNCodeMode, "SVAC");
             std::strcpy(t.Encode.MAudioEncode, "G.711U");
         },
         [](Page& p, const tagTEMPLATEINFO& r) {
             EXPECT_EQ(ItemText(p.GetStream(Page::MAIN).resolution), L"2688*1520");
             EXPECT_EQ(r.Encode.MStreamNWidth, 2688);
             EXPECT_EQ(r.Encode.MStreamNHeight, 1520);
             EXPECT_EQ(r.Encode.MStreamNFrameRate, 60);
             EXPECT_STREQ(r.Encode.MStreamNCodeMode, "SVAC");
             EXPECT_STREQ(r.Encode.MAudioEncode, "G.711U");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tagTEMPLATEINFO t = ipc->GetDefaults();
        c.fill(t);
        ipc->SetTemplate(&t);
        c.check(*ipc, Read(*ipc));
    }
    // What the page shows exactly is no change; a moved slider is.
    tagTEMPLATEINFO t = ipc->GetDefaults();
    t.Encode.MStreamNBitRate = 2048;
    t.BLC.Backlight = 2;
    t.BLC.WideDynamicRange = 70;
    ipc->SetTemplate(&t);
    EXPECT_EQ(ipc->IsChanged(), 0);
    ipc->SF_OnSliderPos(Page::ID_CONTRAST, 12);
    EXPECT_EQ(ipc->IsChanged(), 1);
}

TEST_F(TemplateEditorPage, BitRateAndTimesAreReadWithTheirRules)
{
    CSFEditCtrl* bitRate = ipc->GetStream(Page::MAIN).bitRate;
    const struct {
        const wchar_t* text;
        int value;
    } rates[] = {{L"", 0}, {L"2048kbps", 2048}, {L"x12", 0}, {L"512", 512}};
    for (const auto& r : rates) {
        bitRate->SetWindowTextW(r.text);
        EXPECT_EQ(Read(*ipc).Encode.MStreamNBitRate, r.value) << r.value;
    }

    tagTEMPLATEINFO t = ipc->GetDefaults();
    t.FileManage.FileManage = 2;
    t.FileManage.StartTimeHour = 8;
    t.FileManage.EndTimeHour = 8;
    ipc->SetTemplate(&t);
    EXPECT_EQ(ipc->IsChanged(), 0);
    tagTEMPLATEINFO r = Read(*ipc);
    EXPECT_EQ(r.FileManage.StartTimeHour, 8);
    EXPECT_EQ(r.FileManage.EndTimeHour, 8);
    // Only the times changed: still a change, or Return would drop it.
    _SF_SYSTEMTIME end = {};
    end.wHour = 9;
    ipc->GetEndTime()->SetTime(&end);
    EXPECT_EQ(ipc->IsChanged(), 1);
    // End before start is refused and reset.
    end.wHour = 7;
    end.wMinute = 59;
    end.wSecond = 59;
    ipc->GetEndTime()->SetTime(&end);
    std::memset(&r, 0, sizeof(r));
    EXPECT_EQ(ipc->GetTemplate(&r, false), 0);
    EXPECT_EQ(r.FileManage.StartTimeHour, 0);
    EXPECT_EQ(r.FileManage.EndTimeHour, 23);
    EXPECT_EQ(r.FileManage.EndTimeSecond, 59);
}

TEST_F(TemplateEditorPage, SaveWritesTheFileAndReadsBackTheSameRecord)
{
    QTemporaryDir dir;
    const std::string path = (dir.path() + QStringLiteral("/Lobby.xml")).toStdString();
    tagTEMPLATEINFO t = ipc->GetDefaults();
    t.FileManage.FileManage = 2;
    t.FileManage.StartTimeHour = 6;
    t.FileManage.EndTimeHour = 18;
    t.FileManage.EndTimeMinute = 30;
    t.VideoColor.ColorMode = 2;
    t.DayNight.DayNight = 1;
    std::strcpy(t.Encode.MStreamNCodeMode, "H.264H");
    ipc->SetTemplate(&t);
    shell->GetNameField()->SetWindowTextW(L"Lobby");
    EXPECT_EQ(ipc->IsChanged(), 1);  // the name is new
    ASSERT_EQ(ipc->SaveTemplate(path.c_str()), 1);
    EXPECT_EQ(ipc->IsChanged(), 0);

    const std::string text = ReadFile(path);
    EXPECT_EQ(text.rfind("<IPC>\r\n    <VideoColor enable=\"1\">\r\n        <Channel id=\"1\" ColorMode=\"2\" ", 0), 0u)
        << text;
    EXPECT_NE(text.find("<FileManageMode enable=\"1\">\r\n        <Channel id=\"1\" FileManage=\"2\" StartTimeHour=\"6\" "
                        "StartTimeMinute=\"0\" StartTimeSecond=\"0\" EndTimeHour=\"18\" EndTimeMinute=\"30\""),
              std::string::npos);
    EXPECT_NE(text.find("<Encode enable=\"1\">\r\n        <Channel id=\"1\" MStreamNType=\"0\" MStreamNFrameRate=\"1\""),
              std::string::npos);
    EXPECT_NE(text.find("MStreamNCodeMode=\"H.264H\""), std::string::npos);
    EXPECT_NE(text.find("    <PcSyn />\r\n</IPC>"), std::string::npos);

    CTemplateXml xml(path.c_str());
    EXPECT_TRUE(xml.IsValidTemplate());
    tagTEMPLATEINFO back;
    std::memset(&back, 0, sizeof(back));
    EXPECT_EQ(xml.ReadTemplateInfo(back), 1);
    EXPECT_TRUE(TemplateInfoEqual(back, ipc->GetReference()));
    EXPECT_STREQ(back.name, L"Lobby");
}

TEST_F(TemplateEditorPage, FailedSaveKeepsTheOldFileAndTheChange)
{
    QTemporaryDir dir;
    const std::string path = (dir.path() + QStringLiteral("/Kept.xml")).toStdString();
    ASSERT_EQ(ipc->SaveTemplate(path.c_str()), 1);
    const std::string before = ReadFile(path);
    Answerer answers(shell);

    // A refused time range writes nothing.
    tagTEMPLATEINFO t = ipc->GetDefaults();
    t.FileManage.FileManage = 2;
    t.FileManage.StartTimeHour = 10;
    t.FileManage.EndTimeHour = 9;
    ipc->SetTemplate(&t);
    EXPECT_EQ(ipc->SaveTemplate(path.c_str()), 0);
    EXPECT_TRUE(answers.Saw(L"The time is invalid."));
    EXPECT_EQ(ReadFile(path), before);

    // A folder that cannot take the file: said, and the edit still counts as unsaved.
    ipc->SetTemplate(&ipc->GetDefaults());
    ipc->SF_OnSliderPos(Page::ID_BRIGHTNESS, 90);
    const std::string missing = (dir.path() + QStringLiteral("/no/such/Kept.xml")).toStdString();
    EXPECT_EQ(ipc->SaveTemplate(missing.c_str()), 0);
    EXPECT_TRUE(answers.Saw(L"Save Template Failed."));
    EXPECT_EQ(ipc->IsChanged(), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Kept.xml")});
}
