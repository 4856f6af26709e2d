// Encode capabilities of the emulated devices and the settings their live streams use.
#include "devsim/DeviceEncode.h"

#include <algorithm>
#include <string>

namespace devsim {

namespace {

using devsdk::wire::GetInt;
using devsdk::wire::GetMember;

struct Res {
    int key;
    const char* name;
    int width;
    int height; // PAL height; NTSC variants below
};

// Capture-size indices of the configuration program's resolution table.
const Res kD1{0, "D1", 704, 576};
const Res kHD1{1, "HD1", 352, 576};
const Res kCIF{3, "CIF", 352, 288};
const Res kQCIF{4, "QCIF", 176, 144};
const Res k720P{17, "720P", 1280, 720};
const Res k1080P{18, "1080P", 1920, 1080};
const Res k1_3M{19, "1.3M", 1280, 960};

int NtscHeight(const Res& r)
{
    switch (r.height) {
    case 576: return 480;
    case 288: return 240;
    case 144: return 120;
    default: return r.height;
    }
}

Json::Value Entry(int key, const char* name)
{
    Json::Value e(Json::objectValue);
    e["key"] = key;
    e["name"] = name;
    return e;
}

Json::Value StreamCaps(std::initializer_list<Res> res, std::initializer_list<int> codecs, int videoStandard,
                       int minKbps, int maxKbps)
{
    Json::Value c(Json::objectValue);
    c["Compressions"] = Json::Value(Json::arrayValue);
    for (int k : codecs)
        c["Compressions"].append(Entry(k, k == 5 ? "MJPG" : k == 8 ? "H.265" : "H.264"));
    c["Resolutions"] = Json::Value(Json::arrayValue);
    for (const Res& r : res) {
        Json::Value e = Entry(r.key, r.name);
        e["width"] = r.width;
        e["height"] = videoStandard ? NtscHeight(r) : r.height;
        c["Resolutions"].append(e);
    }
    c["MaxFPS"] = videoStandard ? 30 : 25;
    c["MinBitRate"] = minKbps;
    c["MaxBitRate"] = maxKbps;
    c["Audio"] = Json::Value(Json::arrayValue);
    c["Audio"].append(Entry(0, "G.711A"));
    c["Audio"].append(Entry(1, "G.711Mu"));
    c["Audio"].append(Entry(2, "AAC"));
    c["Frequencies"] = Json::Value(Json::arrayValue);
    c["Frequencies"].append(8000);
    c["Frequencies"].append(16000);
    return c;
}

bool TypeHas(const DeviceState& s, const char* what) { return s.type.find(what) != std::string::npos; }

} // namespace

Json::Value EncodeCaps(const DeviceState& s, int /*channel*/)
{
    Json::Value caps(Json::objectValue);
    const int vs = s.videoStandard;
    if (TypeHas(s, "NVR")) {
        caps["Main"] = StreamCaps({k1080P, k720P, kD1}, {7, 8}, vs, 256, 8192);
        caps["Extra"] = StreamCaps({kD1, kCIF}, {7}, vs, 32, 2048);
    } else if (TypeHas(s, "DVR") || TypeHas(s, "NVS") || TypeHas(s, "HCVR")) {
        caps["Main"] = StreamCaps({k1080P, k720P, kD1, kHD1, kCIF}, {7}, vs, 128, 6144);
        caps["Extra"] = StreamCaps({kCIF, kQCIF}, {7}, vs, 32, 1024);
    } else {
        caps["Main"] = StreamCaps({k1080P, k1_3M, k720P, kD1}, {7, 8}, vs, 256, 8192);
        caps["Extra"] = StreamCaps({kD1, kCIF, kQCIF}, {7, 5}, vs, 32, 2048);
    }
    return caps;
}

Json::Value DefaultEncodeSize(const DeviceState& s, int channel, bool main)
{
    const Json::Value first = EncodeCaps(s, channel)[main ? "Main" : "Extra"]["Resolutions"][0];
    Json::Value size(Json::objectValue);
    size["width"] = first["width"];
    size["height"] = first["height"];
    return size;
}

Reply EncodeCapsReply(const DeviceState& s, const Json::Value& request)
{
    Reply r;
    r.body["error"] = 0;
    Json::Value resp(Json::objectValue);
    resp["id"] = GetMember(request, "id");
    int64_t ch = GetInt(GetMember(request, "params"), "channel", 0);
    if (ch < 0 || ch >= s.channels) {
        resp["result"] = false;
        resp["error"]["code"] = 268959743;
        resp["error"]["message"] = "Invalid channel";
    } else {
        resp["result"] = true;
        resp["params"]["caps"] = EncodeCaps(s, int(ch));
    }
    r.body["response"] = resp;
    return r;
}

LiveEncode LiveEncodeOf(const Json::Value& encodeTable, int channel)
{
    LiveEncode e;
    const Json::Value& ch = encodeTable.isArray() && Json::ArrayIndex(channel) < encodeTable.size()
                                ? encodeTable[Json::ArrayIndex(channel)]
                                : Json::Value::nullSingleton();
    const Json::Value& main = GetMember(ch, "MainFormat");
    const Json::Value& video = GetMember(main.isArray() && main.size() > 0 ? main[0] : Json::Value::nullSingleton(),
                                         "Video");
    // Encoders take even sizes; a stored value out of range falls back to a sane one.
    auto clampEven = [](int64_t v, int lo, int hi, int def) {
        if (v < lo || v > hi)
            return def;
        return int(v) & ~1;
    };
    e.width = clampEven(GetInt(video, "Width", 704), 16, 4096, 704);
    e.height = clampEven(GetInt(video, "Height", 576), 16, 2304, 576);
    int64_t fps = GetInt(video, "FPS", 25);
    e.fps = int(std::min<int64_t>(60, std::max<int64_t>(1, fps)));
    int64_t kbps = GetInt(video, "BitRate", 1024);
    e.kbps = int(std::min<int64_t>(32768, std::max<int64_t>(16, kbps)));
    return e;
}

} // namespace devsim
