// The template summary page: cell texts and colours for the records it is given.
#include <gtest/gtest.h>

#include <QWidget>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "Template/CTemplateInfoEventImp.h"
#include "Template/CTemplateXml.h"
#include "TemplateFiles.h"
#include "TemplateTestOwner.h"
#include "Widgets/CSFQTStatic.h"
#include "Widgets/SFStatic.h"

using Page = CTemplateInfoEventImp;

namespace {

std::wstring Text(CSFStatic* cell)
{
    wchar_t buffer[256] = {};
    if (cell)
        cell->GetStaticText(buffer, 255);
    return buffer;
}

unsigned Colour(CSFStatic* cell)
{
    auto* label = dynamic_cast<CSFQTStatic*>(cell);
    if (!label)
        return 0xFFFFFFFF;
    const QColor c = label->TextColor();
    return static_cast<unsigned>(c.red()) | (static_cast<unsigned>(c.green()) << 8) |
           (static_cast<unsigned>(c.blue()) << 16);
}

// A record like the complete test file: SD, 1080P main stream H.264H VBR, extra stream on.
tagTEMPLATEINFO Sample()
{
    tplfiles::Folder dir;
    tagTEMPLATEINFO info;
    std::memset(&info, 0, sizeof info);
    CTemplateXml(dir.Write("Lobby.xml", tplfiles::Template("SD")).c_str()).ReadTemplateInfo(info);
    return info;
}

class TemplateInfoPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = std::make_shared<tpltest::OwnerView>();
        page = Page::Create(owner);
        ASSERT_NE(page->GetView(), nullptr);
    }
    std::wstring Value(int row) const { return Text(page->GetValue(row)); }
    std::wstring Label(int row) const { return Text(page->GetLabel(row)); }
    unsigned ValueColour(int row) const { return Colour(page->GetValue(row)); }
    unsigned LabelColour(int row) const { return Colour(page->GetLabel(row)); }

    std::shared_ptr<Page> page;
    std::shared_ptr<tpltest::OwnerView> owner;  // destroyed first: its window holds the page's
};

} // namespace

TEST_F(TemplateInfoPage, BuildsLabelledRowsWithEmptyValues)
{
    EXPECT_EQ(Label(Page::ROW_NAME), L"Template Name:");
    EXPECT_EQ(Label(Page::ROW_MAIN_HEADING), L"Main Stream Config:");
    EXPECT_EQ(page->GetValue(Page::ROW_MAIN_HEADING), nullptr);
    EXPECT_EQ(page->GetValue(Page::ROW_EXTRA_HEADING), nullptr);
    EXPECT_EQ(page->GetValue(Page::ROW_IMAGE_HEADING), nullptr);
    EXPECT_EQ(Label(Page::ROW_GAMMA), L"Gamma:");
    EXPECT_EQ(Label(Page::ROW_BLC_LEVEL), L"WDR:");
    EXPECT_EQ(Label(Page::ROW_FILEMANAGE), L"FileManage:");
    EXPECT_EQ(Value(Page::ROW_FILEMANAGE), L"");
    const unsigned right = page->GetLabel(Page::ROW_MAIN_QUALITY)->GetTextAlignFlag();
    const unsigned left = page->GetLabel(Page::ROW_EXTRA_HEADING)->GetTextAlignFlag();
    EXPECT_TRUE((right & Qt::AlignRight) && (right & Qt::AlignVCenter)) << right;
    EXPECT_TRUE((left & Qt::AlignLeft) && (left & Qt::AlignVCenter)) << left;
    // Row 31 ends at 738, inside the 900-pixel content.
    const RECT last = page->GetValue(Page::ROW_FILEMANAGE)->GetGeometry();
    EXPECT_EQ(last.left, 148);
    EXPECT_EQ(last.top, 10 + 23 * 31);
    // The view sits in the owner's window.
    auto* view = static_cast<QWidget*>(page->GetUIWnd());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->parentWidget(), static_cast<QWidget*>(owner->GetUIWnd()));
}

TEST_F(TemplateInfoPage, ShowsATemplateFromItsFile)
{
    page->SetTemplateInfo(Sample());
    const struct {
        int row;
        const wchar_t* text;
    } cells[] = {
        {Page::ROW_NAME, L"Lobby"},
        {Page::ROW_MAIN_TYPE, L"Regular"},
        {Page::ROW_MAIN_CODEC, L"H.264H"},
        {Page::ROW_MAIN_RESOLUTION, L"1080P"},
        {Page::ROW_MAIN_FRAMERATE, L"25"},
        {Page::ROW_MAIN_BITRATE_CONTROL, L"VBR"},
        {Page::ROW_MAIN_QUALITY, L"4"},
        {Page::ROW_MAIN_BITRATE, L"4096"},
        {Page::ROW_MAIN_AUDIO_ENABLE, L"true"},
        {Page::ROW_MAIN_AUDIO_CODEC, L"G.711A"},
        {Page::ROW_EXTRA_ENABLE, L"true"},
        {Page::ROW_EXTRA_TYPE, L"Regular"},
        {Page::ROW_EXTRA_CODEC, L"MJPG"},
        {Page::ROW_EXTRA_BITRATE_CONTROL, L"CBR"},
        {Page::ROW_EXTRA_AUDIO_ENABLE, L"false"},
        {Page::ROW_EXTRA_AUDIO_CODEC, L"AAC"},
        {Page::ROW_COLOR_MODE, L"Bright"},
        {Page::ROW_BRIGHTNESS, L"60"},
        {Page::ROW_GAMMA, L"40"},
        {Page::ROW_BLC_MODE, L"WDR"},
        {Page::ROW_BLC_LEVEL, L"80"},
        {Page::ROW_DAYNIGHT, L"Auto"},
        {Page::ROW_FILEMANAGE, L"08:30:00-18:45:15"},
    };
    for (const auto& c : cells)
        EXPECT_EQ(Value(c.row), c.text) << "row " << c.row;
    // The sample's extra stream is 352x288 with NTSC: a size outside that table shows as it is.
    EXPECT_EQ(Value(Page::ROW_EXTRA_RESOLUTION), L"352*288");
    EXPECT_EQ(ValueColour(Page::ROW_MAIN_QUALITY), Page::kBlack);
    EXPECT_EQ(LabelColour(Page::ROW_EXTRA_QUALITY), Page::kGrey);  // extra stream CBR
    EXPECT_EQ(ValueColour(Page::ROW_EXTRA_BITRATE), Page::kBlack);
    EXPECT_EQ(ValueColour(Page::ROW_BLC_LEVEL), Page::kBlack);
}

TEST_F(TemplateInfoPage, CodesToWordsAndColours)
{
    const struct {
        const char* what;
        std::function<void(tagTEMPLATEINFO&)> change;
        int row;
        const wchar_t* text;
    } cases[] = {
        {"colour 0", [](tagTEMPLATEINFO& t) { t.VideoColor.ColorMode = 0; }, Page::ROW_COLOR_MODE, L"Standard"},
        {"colour 1", [](tagTEMPLATEINFO& t) { t.VideoColor.ColorMode = 1; }, Page::ROW_COLOR_MODE, L"Soft"},
        {"colour 7", [](tagTEMPLATEINFO& t) { t.VideoColor.ColorMode = 7; }, Page::ROW_COLOR_MODE, L"Bright"},
        {"day/night 0", [](tagTEMPLATEINFO& t) { t.DayNight.DayNight = 0; }, Page::ROW_DAYNIGHT, L"Color"},
        {"day/night 200", [](tagTEMPLATEINFO& t) { t.DayNight.DayNight = 200; }, Page::ROW_DAYNIGHT, L"BlackWhite"},
        {"file 4", [](tagTEMPLATEINFO& t) { t.FileManage.FileManage = 4; }, Page::ROW_FILEMANAGE, L"Normal"},
        {"file 0", [](tagTEMPLATEINFO& t) { t.FileManage.FileManage = 0; }, Page::ROW_FILEMANAGE, L"Day"},
        {"file 3", [](tagTEMPLATEINFO& t) { t.FileManage.FileManage = 3; }, Page::ROW_FILEMANAGE, L"Night"},
        {"file 1 shows the times", [](tagTEMPLATEINFO& t) { t.FileManage.FileManage = 1; }, Page::ROW_FILEMANAGE,
         L"08:30:00-18:45:15"},
        {"times bounded",
         [](tagTEMPLATEINFO& t) {
             t.FileManage.StartTimeHour = 123456789;
             t.FileManage.EndTimeSecond = -5;
         },
         Page::ROW_FILEMANAGE, L"99:30:00-18:45:00"},
        {"stream type 2", [](tagTEMPLATEINFO& t) { t.Encode.MStreamNType = 2; }, Page::ROW_MAIN_TYPE, L"Alarm"},
        {"stream type 1", [](tagTEMPLATEINFO& t) { t.Encode.EStreamNType = 1; }, Page::ROW_EXTRA_TYPE, L"Motion"},
        {"stream type 9", [](tagTEMPLATEINFO& t) { t.Encode.MStreamNType = 9; }, Page::ROW_MAIN_TYPE, L"9"},
        {"PAL D1", [](tagTEMPLATEINFO& t) { t.Encode.MStreamNWidth = 704, t.Encode.MStreamNHeight = 576; },
         Page::ROW_MAIN_RESOLUTION, L"D1"},
        {"NTSC D1",
         [](tagTEMPLATEINFO& t) {
             t.Encode.MStreamNWidth = 704, t.Encode.MStreamNHeight = 480, t.Encode.MVideoStandard = 1;
         },
         Page::ROW_MAIN_RESOLUTION, L"D1"},
        {"PAL D1 under NTSC",
         [](tagTEMPLATEINFO& t) {
             t.Encode.MStreamNWidth = 704, t.Encode.MStreamNHeight = 576, t.Encode.MVideoStandard = 1;
         },
         Page::ROW_MAIN_RESOLUTION, L"704*576"},
        {"first table entry", [](tagTEMPLATEINFO& t) { t.Encode.MStreamNWidth = 160, t.Encode.MStreamNHeight = 90; },
         Page::ROW_MAIN_RESOLUTION, L"QQNHD"},
        {"bit rate control 3", [](tagTEMPLATEINFO& t) { t.Encode.MStreamNBitRateControl = 3; },
         Page::ROW_MAIN_BITRATE_CONTROL, L"VBR"},
        {"empty codec", [](tagTEMPLATEINFO& t) { t.Encode.EAudioEncode[0] = 0; }, Page::ROW_EXTRA_AUDIO_CODEC, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        tagTEMPLATEINFO info = Sample();
        c.change(info);
        page->SetTemplateInfo(info);
        EXPECT_EQ(Value(c.row), c.text);
    }
}

TEST_F(TemplateInfoPage, BacklightRulesAndTheLevelRow)
{
    tagTEMPLATEINFO info = Sample();
    // BLC wins over a WDR level, which is then not shown.
    info.BLC.Backlight = 1;
    info.BLC.WideDynamicRange = 50;
    page->SetTemplateInfo(info);
    EXPECT_EQ(Value(Page::ROW_BLC_MODE), L"BLC");
    EXPECT_EQ(Value(Page::ROW_BLC_LEVEL), L"0");
    EXPECT_EQ(ValueColour(Page::ROW_BLC_LEVEL), Page::kGrey);
    EXPECT_EQ(LabelColour(Page::ROW_BLC_LEVEL), Page::kGrey);

    info.BLC = tagTEMPLATE_BLC{1, 3, 0, 70};
    page->SetTemplateInfo(info);
    EXPECT_EQ(Value(Page::ROW_BLC_MODE), L"HLC");
    EXPECT_EQ(Label(Page::ROW_BLC_LEVEL), L"HLC:");
    EXPECT_EQ(Value(Page::ROW_BLC_LEVEL), L"70");
    EXPECT_EQ(ValueColour(Page::ROW_BLC_LEVEL), Page::kBlack);

    // Off keeps the last level label, grey.
    info.BLC = tagTEMPLATE_BLC{1, 0, 0, 0};
    page->SetTemplateInfo(info);
    EXPECT_EQ(Value(Page::ROW_BLC_MODE), L"OFF");
    EXPECT_EQ(Label(Page::ROW_BLC_LEVEL), L"HLC:");
    EXPECT_EQ(LabelColour(Page::ROW_BLC_LEVEL), Page::kGrey);

    page->ClearTemplateInfo();
    EXPECT_EQ(Label(Page::ROW_BLC_LEVEL), L"WDR:");
    EXPECT_EQ(LabelColour(Page::ROW_BLC_LEVEL), Page::kBlack);
}

TEST_F(TemplateInfoPage, GreyRowsOfTheStreams)
{
    tagTEMPLATEINFO info = Sample();
    info.Encode.EStreamMEnable = 0;
    info.Encode.EStreamNBitRateControl = 1;
    info.Encode.MStreamNBitRateControl = 0;
    page->SetTemplateInfo(info);
    EXPECT_EQ(Value(Page::ROW_EXTRA_ENABLE), L"false");
    for (int row = Page::ROW_EXTRA_TYPE; row <= Page::ROW_EXTRA_BITRATE; ++row) {
        EXPECT_EQ(LabelColour(row), Page::kGrey) << row;
        EXPECT_EQ(ValueColour(row), Page::kGrey) << row;
    }
    for (int row : {Page::ROW_EXTRA_ENABLE, Page::ROW_EXTRA_AUDIO_ENABLE, Page::ROW_EXTRA_AUDIO_CODEC})
        EXPECT_EQ(ValueColour(row), Page::kBlack) << row;
    EXPECT_EQ(ValueColour(Page::ROW_MAIN_QUALITY), Page::kGrey);
    EXPECT_EQ(ValueColour(Page::ROW_MAIN_BITRATE), Page::kBlack);

    info.Encode.EStreamMEnable = 1;
    info.Encode.MStreamNBitRateControl = 3;
    page->SetTemplateInfo(info);
    for (int row = Page::ROW_EXTRA_TYPE; row <= Page::ROW_EXTRA_BITRATE; ++row)
        EXPECT_EQ(ValueColour(row), Page::kBlack) << row;
    EXPECT_EQ(ValueColour(Page::ROW_MAIN_QUALITY), Page::kBlack);

    // Clearing empties every value and blackens what showing can grey.
    info.Encode.EStreamMEnable = 0;
    info.Encode.MStreamNBitRateControl = 0;
    page->SetTemplateInfo(info);
    page->ClearTemplateInfo();
    for (int row = 0; row < Page::ROW_COUNT; ++row) {
        if (page->GetValue(row)) {
            EXPECT_EQ(Value(row), L"") << row;
        }
        EXPECT_EQ(LabelColour(row), Page::kBlack) << row;
    }
}

TEST_F(TemplateInfoPage, ZeroRecordAndLongNames)
{
    tagTEMPLATEINFO info;
    std::memset(&info, 0, sizeof info);
    page->SetTemplateInfo(info);
    EXPECT_EQ(Value(Page::ROW_COLOR_MODE), L"Standard");
    EXPECT_EQ(Value(Page::ROW_BLC_MODE), L"OFF");
    EXPECT_EQ(Value(Page::ROW_FILEMANAGE), L"Day");
    EXPECT_EQ(Value(Page::ROW_MAIN_RESOLUTION), L"0*0");
    EXPECT_EQ(Value(Page::ROW_MAIN_CODEC), L"");
    EXPECT_EQ(ValueColour(Page::ROW_EXTRA_TYPE), Page::kGrey);

    // A full-length name and codec fields without terminator stay within their fields.
    std::wmemset(info.name, L'N', TEMPLATE_NAME_LEN);
    std::memset(info.Encode.MStreamNCodeMode, 'C', TEMPLATE_CODEC_LEN);
    page->SetTemplateInfo(info);
    EXPECT_EQ(Value(Page::ROW_NAME), std::wstring(TEMPLATE_NAME_LEN, L'N'));
    EXPECT_EQ(Value(Page::ROW_MAIN_CODEC), std::wstring(TEMPLATE_CODEC_LEN, L'C'));
    // The cell keeps its fixed width after the show; the tool tip carries the whole name.
    const RECT r = page->GetValue(Page::ROW_NAME)->GetGeometry();
    EXPECT_EQ(r.right - r.left + 1, 192);
    auto* cell = dynamic_cast<QWidget*>(page->GetValue(Page::ROW_NAME));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->toolTip().toStdWString(), std::wstring(TEMPLATE_NAME_LEN, L'N'));
}
