// Device answers to a template record: codec and bit-rate rules, bounds and bad answers.
#include <gtest/gtest.h>

#include <json/json.h>

#include <cstring>
#include <string>

#include "Template/TemplateExportMapping.h"

using namespace tplexport;

namespace {

std::string Reply(const Json::Value& main, const Json::Value& extra)
{
    Json::Value r(Json::objectValue);
    r["result"] = true;
    r["params"]["table"]["MainFormat"].append(main);
    r["params"]["table"]["ExtraFormat"].append(extra);
    return Json::FastWriter().write(r);
}

Json::Value Stream(const char* compression, const char* profile, const char* rateControl)
{
    Json::Value s(Json::objectValue);
    if (compression)
        s["Video"]["Compression"] = compression;
    if (profile)
        s["Video"]["Profile"] = profile;
    if (rateControl)
        s["Video"]["BitRateControl"] = rateControl;
    return s;
}

tagTEMPLATE_ENCODE Zero()
{
    tagTEMPLATE_ENCODE e;
    std::memset(&e, 0, sizeof e);
    return e;
}

} // namespace

TEST(ExportMapping, CodecAndRateControlRules)
{
    struct Case {
        const char* compression;
        const char* profile;
        const char* rate;
        const char* codec;
        int control;
    } cases[] = {
        {"H.264", "High", "CBR", "H.264H", TEMPLATE_BITRATE_CBR},
        {"H.264", "Baseline", "VBR", "H.264B", TEMPLATE_BITRATE_VBR},
        {"H.264", "Main", "cbr", "H.264", TEMPLATE_BITRATE_VBR},
        {"H.264", nullptr, nullptr, "H.264", TEMPLATE_BITRATE_VBR},
        {"H.265", "High", "CBR", "H.265", TEMPLATE_BITRATE_CBR},
        {"h.264", "High", "CBR", "h.264", TEMPLATE_BITRATE_CBR},
        {"H.264", "high", "CBR", "H.264", TEMPLATE_BITRATE_CBR},
        {nullptr, "High", "CBR", "", TEMPLATE_BITRATE_CBR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.compression ? c.compression : "-") + "/" + (c.profile ? c.profile : "-"));
        const std::string text = Reply(Stream(c.compression, c.profile, c.rate), Stream(c.compression, c.profile, c.rate));
        tagTEMPLATE_ENCODE e = Zero();
        ASSERT_EQ(1, FillEncodeFromReply(text.c_str(), text.size() + 1, e));
        EXPECT_STREQ(c.codec, e.MStreamNCodeMode);
        EXPECT_STREQ(c.codec, e.EStreamNCodeMode);
        EXPECT_EQ(c.control, e.MStreamNBitRateControl);
        EXPECT_EQ(c.control, e.EStreamNBitRateControl);
    }
}

TEST(ExportMapping, StreamsFieldByField)
{
    Json::Value main = Stream("H.264", "High", "CBR");
    main["Video"]["Width"] = 2688;
    main["Video"]["Height"] = 1520;
    main["Video"]["FPS"] = 60;
    main["Video"]["Quality"] = 5;
    main["Video"]["BitRate"] = 6144;
    main["AudioEnable"] = true;
    main["Audio"]["Compression"] = "AAC";
    Json::Value extra = Stream("MJPG", nullptr, "VBR");
    extra["Video"]["Width"] = 640;
    extra["Video"]["Height"] = 480;
    extra["Video"]["FPS"] = 15;
    extra["Video"]["Quality"] = 3;
    extra["Video"]["BitRate"] = 512;
    extra["VideoEnable"] = true;
    extra["AudioEnable"] = false;
    extra["Audio"]["Compression"] = std::string(60, 'G');
    const std::string text = Reply(main, extra);
    tagTEMPLATE_ENCODE e = Zero();
    ASSERT_EQ(1, FillEncodeFromReply(text.c_str(), text.size() + 1, e));
    EXPECT_EQ(0, e.MStreamNType);
    EXPECT_EQ(2688, e.MStreamNWidth);
    EXPECT_EQ(1520, e.MStreamNHeight);
    EXPECT_EQ(60, e.MStreamNFrameRate);
    EXPECT_EQ(5, e.MStreamNImageQuality);
    EXPECT_EQ(6144, e.MStreamNBitRate);
    EXPECT_EQ(1, e.MAudioEnable);
    EXPECT_STREQ("AAC", e.MAudioEncode);
    EXPECT_EQ(640, e.EStreamNWidth);
    EXPECT_EQ(480, e.EStreamNHeight);
    EXPECT_EQ(15, e.EStreamNFrameRate);
    EXPECT_EQ(3, e.EStreamNImageQuality);
    EXPECT_EQ(512, e.EStreamNBitRate);
    EXPECT_EQ(1, e.EStreamMEnable);
    EXPECT_EQ(0, e.EAudioEnable);
    EXPECT_STREQ("MJPG", e.EStreamNCodeMode);
    // A 60-character name keeps its first 49.
    EXPECT_EQ(std::string(49, 'G'), e.EAudioEncode);
}

TEST(ExportMapping, ValuesOfAnotherTypeCountAsZeroOrEmpty)
{
    Json::Value main(Json::objectValue);
    main["Video"]["Width"] = "1920";
    main["Video"]["Height"] = Json::Value(Json::objectValue);
    main["Video"]["FPS"] = 1e30;
    main["Video"]["Compression"] = 264;
    main["Video"]["BitRate"] = -5;
    main["AudioEnable"] = "yes";
    main["Audio"] = Json::Value(Json::arrayValue);
    const std::string text = Reply(main, Json::Value("not a stream"));
    tagTEMPLATE_ENCODE e = Zero();
    ASSERT_EQ(1, FillEncodeFromReply(text.c_str(), text.size() + 1, e));
    EXPECT_EQ(0, e.MStreamNWidth);
    EXPECT_EQ(0, e.MStreamNHeight);
    EXPECT_EQ(0, e.MStreamNFrameRate);
    EXPECT_EQ(-5, e.MStreamNBitRate);
    EXPECT_STREQ("", e.MStreamNCodeMode);
    EXPECT_EQ(0, e.MAudioEnable);
    EXPECT_STREQ("", e.MAudioEncode);
    EXPECT_EQ(0, e.EStreamNWidth);
}

TEST(ExportMapping, AnswersThatAreNoTemplateFail)
{
    const std::string deep = std::string(200, '[') + std::string(200, ']');
    const char* answers[] = {
        "",
        "not json",
        "{\"params\":{\"table\":{\"MainFormat\":[{}]}",  // cut short
        "{\"result\":false,\"error\":{\"code\":268959743}}",
        "{\"params\":{\"table\":{\"MainFormat\":[]}}}",
        "{\"params\":{\"table\":{\"MainFormat\":{\"Video\":{}}}}}",
        "{\"params\":{\"table\":[1,2]}}",
        "[1,2,3]",
        deep.c_str(),
    };
    for (const char* answer : answers) {
        SCOPED_TRACE(std::string(answer).substr(0, 40));
        tagTEMPLATE_ENCODE e = Zero();
        e.MStreamNWidth = 77;
        EXPECT_EQ(0, FillEncodeFromReply(answer, std::strlen(answer) + 1, e));
        EXPECT_EQ(77, e.MStreamNWidth);
    }
    // Only the bytes of the buffer are read, even without a terminator.
    char buffer[8] = {'{', '"', 'a', '"', ':', '1', '}', 'x'};
    tagTEMPLATE_ENCODE e = Zero();
    EXPECT_EQ(0, FillEncodeFromReply(buffer, sizeof buffer, e));
}

TEST(ExportMapping, ImageSectionsAndColourModes)
{
    ZRDEV_SYSTEM_ATTR_CFG system;
    AV_CFG_ChannelVideoColor color;
    CFG_VIDEO_IN_OPTIONS options;
    std::memset(&system, 0, sizeof system);
    std::memset(&color, 0, sizeof color);
    std::memset(&options, 0, sizeof options);
    system.byVideoStandard = 1;
    color.stuColor[0].nBrightness = 61;
    color.stuColor[0].nContrast = 62;
    color.stuColor[0].nSaturation = 63;
    color.stuColor[0].nHue = 64;
    color.stuColor[1].nBrightness = 99;
    options.byBacklight = 2;
    options.byDayNightColor = 1;
    options.byWideDynamicRange = 70;
    options.byGlareInhibition = 30;
    const int styles[][2] = {{0, TEMPLATE_COLOR_STANDARD},
                             {1, TEMPLATE_COLOR_SOFT},
                             {2, TEMPLATE_COLOR_STANDARD},
                             {3, TEMPLATE_COLOR_BRIGHT},
                             {9, TEMPLATE_COLOR_STANDARD}};
    for (const auto& s : styles) {
        color.stuColor[0].nStyle = s[0];
        tagTEMPLATEINFO info;
        std::memset(&info, 0, sizeof info);
        FillImageSections(system, color, options, info);
        EXPECT_EQ(s[1], info.VideoColor.ColorMode) << "device style " << s[0];
        EXPECT_EQ(1, info.VideoColor.id);
        EXPECT_EQ(61, info.VideoColor.Brightness);
        EXPECT_EQ(62, info.VideoColor.Contrast);
        EXPECT_EQ(63, info.VideoColor.Saturation);
        EXPECT_EQ(64, info.VideoColor.Hue);
        EXPECT_EQ(1, info.BLC.id);
        EXPECT_EQ(2, info.BLC.Backlight);
        EXPECT_EQ(70, info.BLC.WideDynamicRange);
        EXPECT_EQ(30, info.BLC.GlareInhibition);
        EXPECT_EQ(1, info.DayNight.id);
        EXPECT_EQ(1, info.DayNight.DayNight);
        EXPECT_EQ(1, info.Encode.MVideoStandard);
        EXPECT_EQ(1, info.Encode.EVideoStandard);
    }
}
