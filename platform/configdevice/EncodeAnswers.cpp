// Answers and staged values of the configuration-device library; see the header. Every device
// value is type-checked: a wrong type reads as absent, never as an exception.
#include "configdevice/EncodeAnswers.h"

#include <cstring>
#include <memory>
#include <sstream>

namespace configdevice {

namespace {

const Json::Value& Mem(const Json::Value& o, const char* k)
{
    return o.isObject() ? o[k] : Json::Value::nullSingleton();
}

const Json::Value& At(const Json::Value& a, int i)
{
    return a.isArray() && i >= 0 && Json::ArrayIndex(i) < a.size() ? a[Json::ArrayIndex(i)]
                                                                   : Json::Value::nullSingleton();
}

bool IntOf(const Json::Value& v, int64_t& out)
{
    if (v.isInt64()) {
        out = v.asInt64();
        return true;
    }
    if (v.isUInt64()) {
        out = int64_t(v.asUInt64() & 0x7FFFFFFFFFFFFFFFull);
        return true;
    }
    if (v.isDouble()) {
        double d = v.asDouble();
        if (d > -1e15 && d < 1e15 && double(int64_t(d)) == d) {
            out = int64_t(d);
            return true;
        }
    }
    return false;
}

int64_t IntOr(const Json::Value& v, int64_t def)
{
    int64_t r;
    return IntOf(v, r) ? r : def;
}

bool BoolOf(const Json::Value& v, bool& out)
{
    int64_t i;
    if (v.isBool())
        out = v.asBool();
    else if (IntOf(v, i))
        out = i != 0;
    else
        return false;
    return true;
}

std::string StrOr(const Json::Value& v, const std::string& def = std::string())
{
    return v.isString() ? v.asString() : def;
}

// The list entry of `list` ([{key, name, ...}]) with this key, or null.
const Json::Value& EntryByKey(const Json::Value& list, int64_t key)
{
    if (list.isArray())
        for (const Json::Value& e : list)
            if (IntOr(Mem(e, "key"), -1) == key)
                return e;
    return Json::Value::nullSingleton();
}

const Json::Value& EntryByName(const Json::Value& list, const std::string& name)
{
    if (list.isArray())
        for (const Json::Value& e : list)
            if (StrOr(Mem(e, "name")) == name)
                return e;
    return Json::Value::nullSingleton();
}

// Json list-field object from a caps list and the current choice.
Json::Value ListField(const Json::Value& list, int64_t selectKey, const std::string& selectValue, bool enable)
{
    Json::Value f(Json::objectValue);
    int n = 0;
    if (list.isArray())
        for (const Json::Value& e : list) {
            int64_t k;
            if (!IntOf(Mem(e, "key"), k) || !Mem(e, "name").isString())
                continue; // an entry the device got wrong is left out
            Json::Value item(Json::objectValue);
            item["key"] = Json::Int64(k);
            item["value"] = Mem(e, "name").asString();
            f[std::to_string(n++)] = item;
        }
    f["Size"] = n;
    f["Select"]["key"] = Json::Int64(selectKey);
    f["Select"]["value"] = selectValue;
    f["Enable"] = enable;
    return f;
}

struct Stream {
    bool sub;
    int index;
};

// The stream of a key: main items by the main type, "Sub1" items by the sub type.
bool StreamOfKey(const std::string& key, const QueryArgs& a, Stream& s)
{
    s.sub = key.compare(0, 4, "Sub1") == 0;
    s.index = s.sub ? a.subType : a.mainType;
    return s.index >= 0 && s.index <= 2;
}

const Json::Value& StreamCaps(const Json::Value& caps, bool sub) { return Mem(caps, sub ? "Extra" : "Main"); }

const Json::Value& Format(const Json::Value& table, const Stream& s)
{
    return At(Mem(table, s.sub ? "ExtraFormat" : "MainFormat"), s.index);
}

Json::Value* FormatW(Json::Value& table, bool sub, int index)
{
    const char* name = sub ? "ExtraFormat" : "MainFormat";
    if (!table.isObject() || !table[name].isArray() || index < 0 || Json::ArrayIndex(index) >= table[name].size())
        return nullptr;
    Json::Value& f = table[name][Json::ArrayIndex(index)];
    if (!f.isObject())
        return nullptr;
    return &f;
}

// Sub-object `name` of `obj`, made an object when it was something else.
Json::Value& Obj(Json::Value& obj, const char* name)
{
    if (!obj[name].isObject())
        obj[name] = Json::Value(Json::objectValue);
    return obj[name];
}

std::string Base(const std::string& key) { return key.compare(0, 4, "Sub1") == 0 ? key.substr(4) : key; }

} // namespace

bool ParseAnswer(const char* text, size_t len, Json::Value& out)
{
    out = Json::Value();
    if (!text || len == 0 || len > kMaxAnswerBytes)
        return false;
    Json::CharReaderBuilder b;
    b["collectComments"] = false;
    b["stackLimit"] = kMaxAnswerDepth;
    b["rejectDupKeys"] = false;
    std::unique_ptr<Json::CharReader> reader(b.newCharReader());
    Json::Value v;
    std::string errs;
    try {
        if (!reader->parse(text, text + len, &v, &errs) || !v.isObject())
            return false;
    } catch (const std::exception&) {
        return false; // nesting beyond the stack limit
    }
    out.swap(v);
    return true;
}

bool TakeParams(const Json::Value& response, const char* member, Json::Value& out)
{
    const Json::Value& result = Mem(response, "result");
    if (!result.isBool() || !result.asBool())
        return false;
    const Json::Value& v = Mem(Mem(response, "params"), member);
    if (!v.isObject())
        return false;
    out = v;
    return true;
}

bool BuildAnswer(const std::string& key, const QueryArgs& args, const Json::Value& caps, const Json::Value& table,
                 Json::Value& out)
{
    out = Json::Value();
    Stream s;
    if (!StreamOfKey(key, args, s))
        return false;
    const Json::Value& sc = StreamCaps(caps, s.sub);
    const Json::Value& fmt = Format(table, s);
    if (!sc.isObject() || !fmt.isObject())
        return false;
    const Json::Value& video = Mem(fmt, "Video");
    const std::string base = Base(key);
    Json::Value a(Json::objectValue);
    if (base == "EncodeMode") {
        std::string name = StrOr(Mem(video, "Compression"));
        a = ListField(Mem(sc, "Compressions"), IntOr(Mem(EntryByName(Mem(sc, "Compressions"), name), "key"), -1),
                      name, true);
    } else if (base == "Resolution") {
        int64_t w = IntOr(Mem(video, "Width"), 0), h = IntOr(Mem(video, "Height"), 0);
        int64_t sel = -1;
        std::string text = std::to_string(w) + "*" + std::to_string(h);
        const Json::Value& list = Mem(sc, "Resolutions");
        if (list.isArray())
            for (const Json::Value& e : list)
                if (IntOr(Mem(e, "width"), -1) == w && IntOr(Mem(e, "height"), -1) == h) {
                    sel = IntOr(Mem(e, "key"), -1);
                    text = StrOr(Mem(e, "name"), text);
                    break;
                }
        a = ListField(list, sel, text, true);
    } else if (base == "Frame") {
        a["Max"] = Json::Int64(IntOr(Mem(sc, "MaxFPS"), args.videoStandard ? 30 : 25));
        a["nFrameRate"] = Json::Int64(IntOr(Mem(video, "FPS"), 0));
        a["abFrameRate"] = true;
    } else if (base == "BitRate") {
        a["nMinBitRate"] = Json::Int64(IntOr(Mem(sc, "MinBitRate"), 0));
        a["nMaxBitRate"] = Json::Int64(IntOr(Mem(sc, "MaxBitRate"), 0));
        a["nBitRate"] = Json::Int64(IntOr(Mem(video, "BitRate"), 0));
        a["abBitRate"] = true;
    } else if (base == "BitRateControl") {
        a["emBitRateControl"] = StrOr(Mem(video, "BitRateControl"), "CBR") == "CBR" ? 0 : 1;
    } else if (base == "ImageQuality") {
        a["emImageQuality"] = Json::Int64(IntOr(Mem(video, "Quality"), 0));
        a["abImageQuality"] = true;
    } else if (key == "Sub1Ability") {
        a["Enable"] = true;
        a["Size"] = Mem(sc, "Compressions").isArray() ? int(Mem(sc, "Compressions").size()) : 0;
    } else if (key == "Sub1VideoEnable") {
        bool b = true;
        BoolOf(Mem(fmt, "VideoEnable"), b);
        out["Sub1Stream"]["bVideoEnable"] = b;
        return true;
    } else if (base == "AudioEnable") {
        bool b = false;
        BoolOf(Mem(fmt, "AudioEnable"), b);
        if (s.sub)
            out["Sub1Stream"]["Sub1AudioEnable"] = b;
        else
            out["MainStream"]["AudioEnable"] = b;
        return true;
    } else if (base == "AudioEncode") {
        const Json::Value& audio = Mem(fmt, "Audio");
        std::string name = StrOr(Mem(audio, "Compression"));
        a = ListField(Mem(sc, "Audio"), IntOr(Mem(EntryByName(Mem(sc, "Audio"), name), "key"), -1), name, true);
        Json::Value freq(Json::objectValue);
        const Json::Value& list = Mem(sc, "Frequencies");
        int n = 0;
        if (list.isArray())
            for (const Json::Value& f : list) {
                int64_t hz;
                if (!IntOf(f, hz))
                    continue;
                freq[std::to_string(n)]["key"] = Json::Int64(hz);
                freq[std::to_string(n)]["value"] = std::to_string(hz);
                ++n;
            }
        freq["Size"] = n;
        int64_t hz = IntOr(Mem(audio, "Frequency"), 8000);
        freq["Select"]["key"] = Json::Int64(hz);
        freq["Select"]["value"] = Json::Int64(hz);
        out[s.sub ? "Sub1AudioFrequency" : "AudioFrequency"] = freq;
    } else {
        return false;
    }
    out[key] = a;
    return true;
}

bool StageValue(const std::string& key, int a, int /*b*/, int c, int /*d*/, const Json::Value& value,
                const Json::Value& caps, Json::Value& table)
{
    const bool sub = key.compare(0, 4, "Sub1") == 0;
    // Main items name their stream in the first int; the sub-stream items in the third or,
    // for some, in the first (the other is 0).
    const int index = sub ? (c != 0 ? c : a) : a;
    Json::Value* fmt = FormatW(table, sub, index);
    const Json::Value& sc = StreamCaps(caps, sub);
    if (!fmt || !sc.isObject())
        return false;
    const std::string base = Base(key);
    Json::Value& video = Obj(*fmt, "Video");
    const Json::Value& item = Mem(value, key.c_str());
    int64_t n;
    bool flag;
    if (base == "EncodeMode") {
        const Json::Value& e = EntryByKey(Mem(sc, "Compressions"), IntOr(Mem(Mem(item, "Select"), "key"), -1));
        if (!Mem(e, "name").isString())
            return false;
        video["Compression"] = Mem(e, "name").asString();
        if (IntOr(Mem(e, "key"), -1) == 5)
            video["BitRateControl"] = "CBR"; // MJPG has a constant rate only
        return true;
    }
    if (base == "Resolution") {
        const Json::Value& sel = Mem(item, "Select");
        int64_t k = IntOr(Mem(sel, "key"), -1);
        const Json::Value& e = k >= 0 ? EntryByKey(Mem(sc, "Resolutions"), k)
                                      : EntryByName(Mem(sc, "Resolutions"), StrOr(Mem(sel, "value")));
        int64_t w, h;
        if (!IntOf(Mem(e, "width"), w) || !IntOf(Mem(e, "height"), h) || w <= 0 || h <= 0)
            return false;
        video["Width"] = Json::Int64(w);
        video["Height"] = Json::Int64(h);
        return true;
    }
    if (base == "Frame") {
        if (!IntOf(Mem(item, "nFrameRate"), n) || n < 1 || n > IntOr(Mem(sc, "MaxFPS"), 30))
            return false;
        video["FPS"] = Json::Int64(n);
        return true;
    }
    if (base == "BitRate") {
        if (!IntOf(Mem(item, "nBitRate"), n) || n < IntOr(Mem(sc, "MinBitRate"), 1) ||
            n > IntOr(Mem(sc, "MaxBitRate"), 0))
            return false;
        video["BitRate"] = Json::Int64(n);
        return true;
    }
    if (base == "BitRateControl") {
        if (!IntOf(Mem(item, "emBitRateControl"), n) || (n != 0 && n != 1))
            return false;
        video["BitRateControl"] = n == 0 ? "CBR" : "VBR";
        return true;
    }
    if (base == "ImageQuality") {
        if (!IntOf(Mem(item, "emImageQuality"), n) || n == 0 || n < -1 || n > 6)
            return false;
        if (n > 0) // -1: constant rate, the quality stays
            video["Quality"] = Json::Int64(n);
        return true;
    }
    if (key == "Sub1VideoEnable") {
        if (!BoolOf(Mem(Mem(value, "Sub1Stream"), "bVideoEnable"), flag))
            return false;
        (*fmt)["VideoEnable"] = flag;
        return true;
    }
    if (base == "AudioEnable") {
        const Json::Value& v = sub ? Mem(Mem(value, "Sub1Stream"), "Sub1AudioEnable")
                                   : Mem(Mem(value, "MainStream"), "AudioEnable");
        if (!BoolOf(v, flag))
            return false;
        (*fmt)["AudioEnable"] = flag;
        return true;
    }
    if (base == "AudioEncode") {
        const Json::Value& e = EntryByKey(Mem(sc, "Audio"), IntOr(Mem(Mem(item, "Select"), "key"), -1));
        if (!Mem(e, "name").isString())
            return false;
        Obj(*fmt, "Audio")["Compression"] = Mem(e, "name").asString();
        return true;
    }
    if (key == "AudioSF") {
        bool any = false;
        for (int which = 0; which < 2; ++which) {
            const Json::Value& sel = Mem(Mem(value, which ? "Sub1AudioFrequency" : "AudioFrequency"), "Select");
            if (!IntOf(Mem(sel, "value"), n))
                continue;
            bool offered = false;
            const Json::Value& list = Mem(StreamCaps(caps, which == 1), "Frequencies");
            if (list.isArray())
                for (const Json::Value& f : list)
                    offered = offered || IntOr(f, -1) == n;
            Json::Value* target = FormatW(table, which == 1, which ? (c != 0 ? c : a) : a);
            if (!offered || !target)
                return false;
            Obj(*target, "Audio")["Frequency"] = Json::Int64(n);
            any = true;
        }
        return any;
    }
    return false;
}

} // namespace configdevice
