// CTemplateXml::MergeEncodeIntoJson: lays a template's Encode values over a device's encode
// configuration, the reply of a configManager.getConfig request:
//   {"params": {"table": {"MainFormat": [ {...}, ... ], "ExtraFormat": [ {...}, ... ]}}, ...}
// with one entry per stream kind. The stream indexes come from the file and are checked against
// the device's arrays; a device value of an unexpected type fails the merge.
#include <cstring>
#include <exception>
#include <memory>
#include <sstream>

#include <json/json.h>

#include "Template/CTemplateXml.h"
#include "Template/TemplateXmlText.h"

using tplxml::QueryInt;

namespace {

// The object member name of parent, created when missing or null; nullptr when it holds
// something else, or when parent is not an object.
Json::Value* ObjectMember(Json::Value* parent, const char* name)
{
    if (!parent || !parent->isObject())
        return nullptr;
    Json::Value& member = (*parent)[name];
    if (member.isNull())
        member = Json::Value(Json::objectValue);
    return member.isObject() ? &member : nullptr;
}

// The entry at index of the array member name of table; nullptr when the array is missing, the
// index is outside it or the entry is not an object.
Json::Value* ArrayEntry(Json::Value& table, const char* name, int index)
{
    if (!table.isMember(name))
        return nullptr;
    Json::Value& array = table[name];
    if (!array.isArray() || index < 0 || static_cast<Json::ArrayIndex>(index) >= array.size())
        return nullptr;
    Json::Value& entry = array[static_cast<Json::ArrayIndex>(index)];
    return entry.isObject() ? &entry : nullptr;
}

// Compression and profile of a codec name: the three H.264 names carry their profile.
bool SetCodec(Json::Value* entry, const char* codec)
{
    Json::Value* video = ObjectMember(entry, "Video");
    if (!video)
        return false;
    const char* profile = nullptr;
    if (std::strcmp(codec, "H.264") == 0)
        profile = "Main";
    else if (std::strcmp(codec, "H.264B") == 0)
        profile = "Baseline";
    else if (std::strcmp(codec, "H.264H") == 0)
        profile = "High";
    if (profile) {
        (*video)["Compression"] = "H.264";
        (*video)["Profile"] = profile;
    } else {
        (*video)["Compression"] = codec;
    }
    return true;
}

struct VideoNames {
    const char* codec;
    const char* frameRate;
    const char* bitRateControl;
    const char* quality;
    const char* bitRate;
    const char* height;
    const char* width;
};

// The video values of one stream (not the codec) that the element carries.
bool SetVideo(const TiXmlElement* e, Json::Value* entry, const VideoNames& names)
{
    int value = 0;
    const struct {
        const char* attribute;
        const char* member;
    } numbers[] = {
        {names.frameRate, "FPS"}, {names.quality, "Quality"}, {names.bitRate, "BitRate"},
        {names.height, "Height"}, {names.width, "Width"},
    };
    for (const auto& n : numbers) {
        if (QueryInt(e, n.attribute, value)) {
            Json::Value* video = ObjectMember(entry, "Video");
            if (!video)
                return false;
            (*video)[n.member] = value;
        }
    }
    if (QueryInt(e, names.bitRateControl, value)) {
        Json::Value* video = ObjectMember(entry, "Video");
        if (!video)
            return false;
        (*video)["BitRateControl"] = value == TEMPLATE_BITRATE_CBR ? "CBR" : "VBR";
    }
    return true;
}

// AudioEnable and a non-empty audio codec.
bool SetAudio(const TiXmlElement* e, Json::Value* entry, const char* enableName, const char* codecName)
{
    int value = 0;
    if (QueryInt(e, enableName, value))
        (*entry)["AudioEnable"] = value != 0;
    const char* codec = e->Attribute(codecName);
    if (codec && *codec) {
        Json::Value* audio = ObjectMember(entry, "Audio");
        if (!audio)
            return false;
        (*audio)["Compression"] = codec;
    }
    return true;
}

bool Merge(const TiXmlElement* e, Json::Value& root, int extraStream)
{
    Json::Value* params = root.isObject() && root.isMember("params") ? &root["params"] : nullptr;
    Json::Value* table = params && params->isObject() && params->isMember("table") ? &(*params)["table"] : nullptr;
    if (!table || !table->isObject())
        return false;

    int mainIndex = 0;
    const bool hasMainType = QueryInt(e, "MStreamNType", mainIndex);
    Json::Value* main = ArrayEntry(*table, "MainFormat", mainIndex);
    if (!main)
        return false;
    const char* codec = e->Attribute("MStreamNCodeMode");
    if (hasMainType && codec && !SetCodec(main, codec))
        return false;
    const VideoNames mainNames = {"MStreamNCodeMode", "MStreamNFrameRate", "MStreamNBitRateControl",
                                  "MStreamNImageQuality", "MStreamNBitRate", "MStreamNHeight", "MStreamNWidth"};
    if (!SetVideo(e, main, mainNames) || !SetAudio(e, main, "MAudioEnable", "MAudioEncode"))
        return false;

    int extraIndex = 0;
    if (!QueryInt(e, "EStreamNType", extraIndex))
        return true;
    Json::Value* extra = ArrayEntry(*table, "ExtraFormat", extraIndex);
    if (!extra)
        return false;
    int enable = 0;
    const bool hasEnable = QueryInt(e, "EStreamMEnable", enable);
    if (hasEnable)
        (*extra)["VideoEnable"] = enable != 0;
    if (!extraStream || (hasEnable && enable != 0)) {
        const char* extraCodec = e->Attribute("EStreamNCodeMode");
        if (extraCodec && !SetCodec(extra, extraCodec))
            return false;
        const VideoNames extraNames = {"EStreamNCodeMode", "EStreamNFrameRate", "EStreamNBitRateControl",
                                       "EStreamNImageQuality", "EStreamNBitRate", "EStreamNHeight", "EStreamNWidth"};
        if (!SetVideo(e, extra, extraNames))
            return false;
    }
    return SetAudio(e, extra, "EAudioEnable", "EAudioEncode");
}

} // namespace

int CTemplateXml::MergeEncodeIntoJson(const wchar_t* section, const wchar_t* child, char* buffer, int extraStream) const
{
    const TiXmlElement* e = Find(section, child);
    if (!e || !buffer)
        return 0;
    const size_t length = strnlen(buffer, TEMPLATE_JSON_BUFFER_SIZE);
    try {
        Json::CharReaderBuilder builder;
        builder["collectComments"] = true;
        builder["stackLimit"] = static_cast<int>(kMaxJsonDepth);
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        Json::Value root;
        std::string errors;
        if (!reader->parse(buffer, buffer + length, &root, &errors))
            return 0;
        if (!Merge(e, root, extraStream))
            return 0;
        Json::StreamWriterBuilder writer;
        writer["indentation"] = "";
        writer["commentStyle"] = "None";
        const std::string text = Json::writeString(writer, root);
        if (text.size() >= static_cast<size_t>(TEMPLATE_JSON_BUFFER_SIZE))
            return 0;
        std::memset(buffer, 0, TEMPLATE_JSON_BUFFER_SIZE);
        std::memcpy(buffer, text.data(), text.size());
        return 1;
    } catch (const std::exception&) {
        // jsoncpp throws past its depth limit and on a type it cannot convert.
        return 0;
    }
}
