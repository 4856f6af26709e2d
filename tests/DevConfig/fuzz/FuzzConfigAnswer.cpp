// The configuration-device library's answer parsing: a device answer (bounded JSON) taken as
// capabilities and as "Encode" table, every item answered and every item staged from it.
#include "configdevice/EncodeAnswers.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const keys[] = {
        "EncodeMode",     "Resolution",     "Frame",           "BitRate",          "BitRateControl",
        "ImageQuality",   "Sub1Ability",    "Sub1VideoEnable", "Sub1EncodeMode",   "Sub1Resolution",
        "Sub1Frame",      "Sub1BitRate",    "Sub1BitRateControl", "Sub1ImageQuality", "Sub1AudioEnable",
        "AudioEnable",    "Sub1AudioEncode", "AudioEncode",    "AudioSF",          "Unknown"};
    Json::Value answer;
    if (!configdevice::ParseAnswer(reinterpret_cast<const char*>(data), size, answer))
        return 0;
    Json::Value caps, table;
    if (!configdevice::TakeParams(answer, "caps", caps))
        caps = answer["caps"].isObject() ? answer["caps"] : answer;
    if (!configdevice::TakeParams(answer, "table", table))
        table = answer["table"].isObject() ? answer["table"] : answer;
    configdevice::QueryArgs args;
    args.mainType = int(size % 4);
    args.subType = int(size / 4 % 3);
    for (const char* key : keys) {
        Json::Value out;
        configdevice::BuildAnswer(key, args, caps, table, out);
        Json::Value t = table;
        const Json::Value& value = answer.isMember("value") ? answer["value"] : answer;
        configdevice::StageValue(key, args.mainType, 0, args.subType, 0, value, caps, t);
    }
    return 0;
}
