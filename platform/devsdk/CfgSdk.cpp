// Configuration text is a JSON object per configuration name; the tables below map its
// members to record fields. Parse fills only what the text carries; pack writes every
// mapped field.
#include "devsdk/CfgSdk.h"

#include "devsdk/DevSdkRecords.h"
#include "devsdk/LastError.h"
#include "devsdk/Wire.h"

#include <cstring>
#include <string>

namespace {

using devsdk::wire::GetMember;

enum Kind { I32, U8, B32, B8, Text, Object, Array };

struct Field {
    const char* key;
    size_t off;
    Kind kind;
    size_t size;               // Text: field width; Array: max entries
    const Field* sub = nullptr; // Object / Array: fields of one entry (ends with key nullptr)
    size_t stride = 0;          // Array: entry size
    size_t countOff = 0;        // Array: offset of the int32 entry count
};

struct Record {
    const char* name;
    size_t size;
    const Field* fields;
};

const Field kInterface[] = {
    {"Name", 0, Text, 128},
    {"IPAddress", 128, Text, 256},
    {"SubnetMask", 384, Text, 256},
    {"DefaultGateway", 640, Text, 256},
    {"DhcpEnable", 896, B32, 4},
    {"MTU", 900, I32, 4},
    {"PreferredDns", 904, Text, 256},
    {"AlternateDns", 1160, Text, 256},
    {"DnsAutoGet", 1416, B32, 4},
    {"PhysicalAddress", 1420, Text, 40},
    {nullptr, 0, I32, 0},
};
const Field kNetwork[] = {
    {"Hostname", 0, Text, 128},
    {"Domain", 128, Text, 128},
    {"DefaultInterface", 256, Text, 128},
    {"Interfaces", 388, Array, kMaxNetInterfaces, kInterface, sizeof(CFG_NETWORK_INTERFACE), 384},
    {nullptr, 0, I32, 0},
};
const Field kDvrip[] = {
    {"TcpPort", 0, I32, 4},
    {"SSLPort", 4, I32, 4},
    {"UDPPort", 8, I32, 4},
    {"MaxConnections", 12, I32, 4},
    {nullptr, 0, I32, 0},
};
const Field kHttps[] = {
    {"Enable", 0, B32, 4},
    {"Port", 4, I32, 4},
    {nullptr, 0, I32, 0},
};
const Field kVideoInOptions[] = {
    {"Backlight", 0, U8, 1},
    {"DayNightColor", 1, U8, 1},
    {"WhiteBalance", 2, U8, 1},
    {"ColorTVMode", 3, U8, 1},
    {"Flip", 4, B8, 1},
    {"Mirror", 5, B8, 1},
    {"IrisAuto", 6, B8, 1},
    {"WideDynamicRange", 31, U8, 1},
    {"FocusStatus", 476, U8, 1},
    {"GlareInhibition", 509, U8, 1},
    {nullptr, 0, I32, 0},
};
const Field kColorPeriod[] = {
    {"Enable", 8, I32, 4},
    {"BeginHour", 12, I32, 4},
    {"BeginMinute", 16, I32, 4},
    {"BeginSecond", 20, I32, 4},
    {"EndHour", 24, I32, 4},
    {"EndMinute", 28, I32, 4},
    {"EndSecond", 32, I32, 4},
    {"Brightness", 36, I32, 4},
    {"Contrast", 40, I32, 4},
    {"Saturation", 44, I32, 4},
    {"Hue", 48, I32, 4},
    {"Gain", 52, I32, 4},
    {"GainAuto", 56, I32, 4},
    {"Style", 60, I32, 4},
    {nullptr, 0, I32, 0},
};
const Field kVideoColor[] = {
    {"Periods", 8, Array, kMaxColorPeriods, kColorPeriod, sizeof(AV_CFG_VideoColor), 4},
    {nullptr, 0, I32, 0},
};
const Field kChannelTitle[] = {
    {"Serial", 4, I32, 4},
    {"Name", 8, Text, 256},
    {nullptr, 0, I32, 0},
};
const Field kDstTime[] = {
    {"Year", 4, I32, 4},
    {"Month", 8, I32, 4},
    {"Week", 12, I32, 4},
    {"Day", 16, I32, 4},
    {"Hour", 20, I32, 4},
    {"Minute", 24, I32, 4},
    {nullptr, 0, I32, 0},
};
const Field kLocales[] = {
    {"TimeFormat", 4, Text, 32},
    {"DSTEnable", 36, B32, 4},
    {"DSTStart", 40, Object, 0, kDstTime},
    {"DSTEnd", 68, Object, 0, kDstTime},
    {nullptr, 0, I32, 0},
};
const Field kNtp[] = {
    {"Enable", 0, B32, 4},
    {"Address", 4, Text, 256},
    {"Port", 260, I32, 4},
    {"UpdatePeriod", 264, I32, 4},
    {"TimeZone", 268, I32, 4},
    {"TimeZoneDesc", 272, Text, 128},
    {"StandbyServerNum", 400, I32, 4},
    {nullptr, 0, I32, 0},
};
const Field kAutoMaintain[] = {
    {"AutoRebootDay", 4, I32, 4},
    {"AutoRebootHour", 8, I32, 4},
    {"AutoRebootMinute", 12, I32, 4},
    {nullptr, 0, I32, 0},
};

const Record kRecords[] = {
    {"Network", sizeof(CFG_NETWORK_INFO), kNetwork},
    {"DVRIP", sizeof(CFG_DVRIP_INFO), kDvrip},
    {"Https", sizeof(CFG_HTTPS_INFO), kHttps},
    {"VideoInOptions", sizeof(CFG_VIDEO_IN_OPTIONS), kVideoInOptions},
    {"VideoColor", sizeof(AV_CFG_ChannelVideoColor), kVideoColor},
    {"ChannelTitle", sizeof(AV_CFG_ChannelName), kChannelTitle},
    {"Locales", sizeof(DST_PARAM), kLocales},
    {"NTP", sizeof(NTP_PARAM), kNtp},
    {"AutoMaintain", sizeof(AUTO_MAINTAIN_PARAM), kAutoMaintain},
};

const Record* FindRecord(const char* name)
{
    if (!name)
        return nullptr;
    for (const Record& r : kRecords)
        if (std::strcmp(r.name, name) == 0)
            return &r;
    return nullptr;
}

void PutI32(unsigned char* p, int32_t v) { std::memcpy(p, &v, 4); }
int32_t ReadI32(const unsigned char* p)
{
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void ParseFields(const Json::Value& obj, unsigned char* base, const Field* fields)
{
    for (const Field* f = fields; f->key; ++f) {
        const Json::Value& v = GetMember(obj, f->key);
        if (v.isNull())
            continue;
        unsigned char* p = base + f->off;
        switch (f->kind) {
        case I32:
        case B32:
            if (v.isNumeric() || v.isBool())
                PutI32(p, int32_t(devsdk::wire::GetInt(obj, f->key)));
            break;
        case U8:
        case B8:
            if (v.isNumeric() || v.isBool())
                *p = uint8_t(devsdk::wire::GetInt(obj, f->key));
            break;
        case Text:
            if (v.isString()) {
                std::string s = v.asString();
                size_t n = s.size() < f->size - 1 ? s.size() : f->size - 1;
                std::memset(p, 0, f->size);
                std::memcpy(p, s.data(), n);
            }
            break;
        case Object:
            if (v.isObject())
                ParseFields(v, p, f->sub);
            break;
        case Array:
            if (v.isArray()) {
                Json::ArrayIndex n = v.size() < f->size ? v.size() : Json::ArrayIndex(f->size);
                PutI32(base + f->countOff, int32_t(n));
                for (Json::ArrayIndex i = 0; i < n; ++i)
                    if (v[i].isObject())
                        ParseFields(v[i], p + i * f->stride, f->sub);
            }
            break;
        }
    }
}

std::string TextOf(const unsigned char* p, size_t size)
{
    const char* s = reinterpret_cast<const char*>(p);
    size_t n = 0;
    while (n < size && s[n])
        ++n;
    return std::string(s, n);
}

Json::Value PackFields(const unsigned char* base, const Field* fields)
{
    Json::Value obj(Json::objectValue);
    for (const Field* f = fields; f->key; ++f) {
        const unsigned char* p = base + f->off;
        switch (f->kind) {
        case I32: obj[f->key] = ReadI32(p); break;
        case B32: obj[f->key] = ReadI32(p) != 0; break;
        case U8: obj[f->key] = int(*p); break;
        case B8: obj[f->key] = *p != 0; break;
        case Text: obj[f->key] = TextOf(p, f->size); break;
        case Object: obj[f->key] = PackFields(p, f->sub); break;
        case Array: {
            int32_t n = ReadI32(base + f->countOff);
            if (n < 0)
                n = 0;
            if (size_t(n) > f->size)
                n = int32_t(f->size);
            Json::Value arr(Json::arrayValue);
            for (int32_t i = 0; i < n; ++i)
                arr.append(PackFields(p + size_t(i) * f->stride, f->sub));
            obj[f->key] = arr;
            break;
        }
        }
    }
    return obj;
}

} // namespace

BOOL SdkCfgParse(const char* szCommand, const char* szInBuffer, void* lpOutBuffer, DWORD dwOutBufferSize,
                 void* /*pReserved*/)
{
    const Record* r = FindRecord(szCommand);
    if (!r || !lpOutBuffer || dwOutBufferSize < r->size)
        return devsdk::Fail(SDK_ILLEGAL_PARAM);
    Json::Value obj;
    if (!szInBuffer || !devsdk::wire::ParseObject(szInBuffer, obj))
        return devsdk::Fail(SDK_DESERIALIZE_ERROR);
    ParseFields(obj, static_cast<unsigned char*>(lpOutBuffer), r->fields);
    return devsdk::Ok();
}

BOOL SdkCfgPack(const char* szCommand, const void* lpInBuffer, DWORD dwInBufferSize, char* szOutBuffer,
                DWORD dwOutBufferSize)
{
    const Record* r = FindRecord(szCommand);
    if (!r || !lpInBuffer || !szOutBuffer || dwInBufferSize < r->size || dwOutBufferSize == 0)
        return devsdk::Fail(SDK_ILLEGAL_PARAM);
    std::string text = devsdk::wire::WriteCompact(PackFields(static_cast<const unsigned char*>(lpInBuffer), r->fields));
    if (text.size() + 1 > dwOutBufferSize)
        return devsdk::Fail(SDK_SERIALIZE_ERROR);
    std::memcpy(szOutBuffer, text.c_str(), text.size() + 1);
    return devsdk::Ok();
}
