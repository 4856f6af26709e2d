// Device answers to a template record; see the header.
#include "Template/TemplateExportMapping.h"

#include <json/json.h>

#include <cstring>
#include <exception>
#include <memory>

namespace tplexport {

namespace {

const Json::Value kNull;

const Json::Value& Member(const Json::Value& v, const char* key)
{
    if (!v.isObject())
        return kNull;
    const Json::Value* found = v.find(key, key + std::strlen(key));
    return found ? *found : kNull;
}

const Json::Value& FirstOf(const Json::Value& v)
{
    return v.isArray() && !v.empty() ? v[Json::ArrayIndex(0)] : kNull;
}

int32_t IntOf(const Json::Value& v)
{
    if (v.isBool())
        return v.asBool() ? 1 : 0;
    return v.isNumeric() && v.isConvertibleTo(Json::intValue) ? v.asInt() : 0;
}

int32_t BoolOf(const Json::Value& v)
{
    if (v.isBool())
        return v.asBool() ? 1 : 0;
    return v.isNumeric() && v.isConvertibleTo(Json::booleanValue) && v.asBool() ? 1 : 0;
}

std::string TextOf(const Json::Value& v) { return v.isString() ? v.asString() : std::string(); }

void CopyName(char (&out)[TEMPLATE_CODEC_LEN], const std::string& text)
{
    std::memset(out, 0, sizeof out);
    std::strncpy(out, text.c_str(), TEMPLATE_CODEC_LEN - 1);
}

int32_t RateControl(const Json::Value& video)
{
    return TextOf(Member(video, "BitRateControl")) == "CBR" ? TEMPLATE_BITRATE_CBR : TEMPLATE_BITRATE_VBR;
}

} // namespace

std::string StreamCodecName(const Json::Value& video)
{
    std::string name = TextOf(Member(video, "Compression"));
    if (name == "H.264") {
        const std::string profile = TextOf(Member(video, "Profile"));
        if (profile == "High")
            name += "H";
        else if (profile == "Baseline")
            name += "B";
    }
    if (name.size() > size_t(TEMPLATE_CODEC_LEN - 1))
        name.resize(TEMPLATE_CODEC_LEN - 1);
    return name;
}

int FillEncodeFromReply(const char* reply, size_t size, tagTEMPLATE_ENCODE& e)
{
    if (!reply)
        return 0;
    const size_t length = strnlen(reply, size);
    Json::Value root;
    try {
        Json::CharReaderBuilder builder;
        builder["collectComments"] = true;
        builder["stackLimit"] = static_cast<int>(kMaxReplyDepth);
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        std::string errors;
        if (!reader->parse(reply, reply + length, &root, &errors))
            return 0;
    } catch (const std::exception&) {
        // Past the depth limit.
        return 0;
    }
    const Json::Value& table = Member(Member(root, "params"), "table");
    const Json::Value& main = FirstOf(Member(table, "MainFormat"));
    // A refusal ({"result":false,...}) or a table without streams is no template.
    if (!main.isObject())
        return 0;
    const Json::Value& extra = FirstOf(Member(table, "ExtraFormat"));
    const Json::Value& mv = Member(main, "Video");
    const Json::Value& ev = Member(extra, "Video");

    e.MStreamNType = TEMPLATE_STREAM_REGULAR;
    e.MStreamNHeight = IntOf(Member(mv, "Height"));
    e.MStreamNWidth = IntOf(Member(mv, "Width"));
    e.MStreamNFrameRate = IntOf(Member(mv, "FPS"));
    e.MStreamNBitRateControl = RateControl(mv);
    e.MStreamNImageQuality = IntOf(Member(mv, "Quality"));
    e.MStreamNBitRate = IntOf(Member(mv, "BitRate"));
    e.MAudioEnable = BoolOf(Member(main, "AudioEnable"));
    CopyName(e.MStreamNCodeMode, StreamCodecName(mv));
    CopyName(e.MAudioEncode, TextOf(Member(Member(main, "Audio"), "Compression")));

    e.EStreamNType = TEMPLATE_STREAM_REGULAR;
    e.EStreamNHeight = IntOf(Member(ev, "Height"));
    e.EStreamNWidth = IntOf(Member(ev, "Width"));
    e.EStreamNFrameRate = IntOf(Member(ev, "FPS"));
    e.EStreamNBitRateControl = RateControl(ev);
    e.EStreamNImageQuality = IntOf(Member(ev, "Quality"));
    e.EStreamNBitRate = IntOf(Member(ev, "BitRate"));
    e.EStreamMEnable = BoolOf(Member(extra, "VideoEnable"));
    e.EAudioEnable = BoolOf(Member(extra, "AudioEnable"));
    CopyName(e.EStreamNCodeMode, StreamCodecName(ev));
    CopyName(e.EAudioEncode, TextOf(Member(Member(extra, "Audio"), "Compression")));
    return 1;
}

int ColorModeOfDeviceStyle(int style)
{
    switch (style) {
    case 1: return TEMPLATE_COLOR_SOFT;
    case 3: return TEMPLATE_COLOR_BRIGHT;
    default: return TEMPLATE_COLOR_STANDARD;
    }
}

void FillImageSections(const ZRDEV_SYSTEM_ATTR_CFG& system, const AV_CFG_ChannelVideoColor& color,
                       const CFG_VIDEO_IN_OPTIONS& options, tagTEMPLATEINFO& info)
{
    const AV_CFG_VideoColor& period = color.stuColor[0];
    info.VideoColor.id = 1;
    info.VideoColor.ColorMode = ColorModeOfDeviceStyle(period.nStyle);
    info.VideoColor.Brightness = period.nBrightness;
    info.VideoColor.Contrast = period.nContrast;
    info.VideoColor.Saturation = period.nSaturation;
    info.VideoColor.Hue = period.nHue;
    info.BLC.id = 1;
    info.BLC.Backlight = options.byBacklight;
    info.BLC.WideDynamicRange = options.byWideDynamicRange;
    info.BLC.GlareInhibition = options.byGlareInhibition;
    info.DayNight.id = 1;
    info.DayNight.DayNight = options.byDayNightColor;
    info.Encode.MVideoStandard = system.byVideoStandard;
    info.Encode.EVideoStandard = system.byVideoStandard;
}

} // namespace tplexport
