// The answers and staged values of the configuration-device library, as pure functions over the
// device's JSON: its encode capabilities of a channel and its "Encode" table of that channel.
//
// Answers (Json list-field objects): "Size" n, "0".."n-1" {"key", "value"}, "Select" {"key",
// "value"}, "Enable". Numeric items answer objects of numbers ("Frame": Max, nFrameRate...).
#pragma once

#include <json/json.h>

#include <string>

namespace configdevice {

// Largest device answer taken (bytes) and its deepest nesting.
constexpr size_t kMaxAnswerBytes = 256 * 1024;
constexpr int kMaxAnswerDepth = 16;

struct QueryArgs {
    int mainType = 0;      // stream kind 0..2 of MainFormat
    std::string mainCompression;
    int videoStandard = 0; // 0 PAL, 1 NTSC
    int mainResolution = -1;
    int subType = 0;       // stream kind 0..2 of ExtraFormat
    std::string subCompression;
    int subResolution = -1;
};

// Parses a device answer: a JSON object of bounded size and depth; false otherwise.
bool ParseAnswer(const char* text, size_t len, Json::Value& out);
// The response of the JSON interface: {"result": true, "params": {member: ...}} -> params[member].
bool TakeParams(const Json::Value& response, const char* member, Json::Value& out);

// The answer of `key` ({key: ...}, plus "AudioFrequency" / "Sub1AudioFrequency" for the audio
// encodings); false for an unknown key or answers the device cannot give.
bool BuildAnswer(const std::string& key, const QueryArgs& args, const Json::Value& caps, const Json::Value& table,
                 Json::Value& out);
// Applies one staged value to the channel's table; false (table unchanged) for an unknown key,
// a value of the wrong form or one outside the capabilities.
bool StageValue(const std::string& key, int a, int b, int c, int d, const Json::Value& value, const Json::Value& caps,
                Json::Value& table);

} // namespace configdevice
