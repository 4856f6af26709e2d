#include "devsim/DeviceModel.h"
#include "devsim/DeviceEncode.h"

#include "devsim/DeviceClock.h"
#include "devsim/ScriptedFaults.h"
#include "resetsvc/ResetCode.h"

#include "devsdk/DevSdkErrors.h"
#include "devsdk/DevSdkRecords.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iterator>

namespace devsim {

using devsdk::wire::GetBool;
using devsdk::wire::GetInt;
using devsdk::wire::GetMember;
using devsdk::wire::GetStr;
namespace wire = devsdk::wire;

Reply ErrorReply(uint32_t code)
{
    Reply r;
    r.body["error"] = Json::UInt(code);
    return r;
}

namespace {

Reply OkReply()
{
    Reply r;
    r.body["error"] = 0;
    return r;
}

Reply LoginFail(int loginError, uint32_t code)
{
    Reply r = ErrorReply(code);
    r.body["loginError"] = loginError;
    return r;
}

// Deep merge: objects member by member, arrays element by element.
void Merge(Json::Value& into, const Json::Value& from)
{
    if (from.isNull())
        return; // an untouched channel of a sparse override
    if (into.isObject() && from.isObject()) {
        for (const std::string& k : from.getMemberNames())
            Merge(into[k], from[k]);
    } else if (into.isArray() && from.isArray()) {
        for (Json::ArrayIndex i = 0; i < from.size(); ++i) {
            if (i < into.size())
                Merge(into[i], from[i]);
            else
                into.append(from[i]);
        }
    } else {
        into = from;
    }
}

// The time record's fields (command 8) in the order of wire::kTimeKeys.
int CivilTime::*const kCivilFields[] = {&CivilTime::year, &CivilTime::month,  &CivilTime::day,
                                         &CivilTime::hour, &CivilTime::minute, &CivilTime::second};
static_assert(std::size(kCivilFields) == std::size(wire::kTimeKeys), "one field a key");

const char* const kPerChannel[] = {"VideoInOptions", "VideoColor", "ChannelTitle", "Encode"};

} // namespace

bool IsLoopbackIPv4(const std::string& ip)
{
    in_addr a{};
    if (inet_pton(AF_INET, ip.c_str(), &a) != 1)
        return false;
    uint32_t h = ntohl(a.s_addr);
    return (h >> 24) == 127 && (h & 0xFF) != 0 && (h & 0xFF) != 255;
}

DeviceModel::DeviceModel() { Complete(); }

DeviceModel::DeviceModel(DeviceState state) : s_(std::move(state)) { Complete(); }

bool DeviceModel::IsPerChannel(const std::string& name)
{
    for (const char* n : kPerChannel)
        if (name == n)
            return true;
    return false;
}

void DeviceModel::Complete()
{
    if (s_.users.empty())
        s_.users.push_back(User{"admin", s_.initState == 1 ? "" : "admin123", 1, false, 0, 0});
    if (s_.channels < 1)
        s_.channels = 1;
    if (s_.channels > 256)
        s_.channels = 256;
    // The tables hold only what differs from the defaults, which are made when asked for:
    // a device costs little memory until its configuration is written.
    if (!s_.tables.isObject())
        s_.tables = Json::Value(Json::objectValue);
}

bool DeviceModel::HasTable(const std::string& name)
{
    static const char* const kNames[] = {"Network", "DVRIP", "Https", "Locales", "NTP", "AutoMaintain",
                                         "VideoInOptions", "VideoColor", "ChannelTitle", "Encode"};
    for (const char* n : kNames)
        if (name == n)
            return true;
    return false;
}

Json::Value DeviceModel::Table(const std::string& name) const
{
    Json::Value t = DefaultTables(s_)[name];
    const Json::Value& over = GetMember(s_.tables, name.c_str());
    Merge(t, over);
    return t;
}

Json::Value DeviceModel::DefaultTables(const DeviceState& s)
{
    Json::Value t(Json::objectValue);
    Json::Value net(Json::objectValue);
    net["Hostname"] = s.name;
    net["Domain"] = "local";
    net["DefaultInterface"] = "eth0";
    Json::Value eth0(Json::objectValue);
    eth0["Name"] = "eth0";
    eth0["MTU"] = 1500;
    eth0["PreferredDns"] = "127.0.0.1";
    eth0["AlternateDns"] = "";
    eth0["DnsAutoGet"] = false;
    net["Interfaces"].append(eth0);
    t["Network"] = net;
    Json::Value dvrip(Json::objectValue);
    dvrip["TcpPort"] = s.port;
    dvrip["SSLPort"] = 37778;
    dvrip["UDPPort"] = 37778;
    dvrip["MaxConnections"] = s.maxSessions;
    t["DVRIP"] = dvrip;
    Json::Value https(Json::objectValue);
    https["Enable"] = true;
    https["Port"] = 443;
    t["Https"] = https;
    Json::Value locales(Json::objectValue);
    locales["TimeFormat"] = "yyyy-MM-dd HH:mm:ss";
    locales["DSTEnable"] = false;
    Json::Value dst(Json::objectValue);
    dst["Year"] = 2000;
    dst["Month"] = 3;
    dst["Week"] = -1;
    dst["Day"] = 0;
    dst["Hour"] = 2;
    dst["Minute"] = 0;
    locales["DSTStart"] = dst;
    dst["Month"] = 10;
    dst["Hour"] = 3;
    locales["DSTEnd"] = dst;
    t["Locales"] = locales;
    Json::Value ntp(Json::objectValue);
    ntp["Enable"] = false;
    ntp["Address"] = "clock.local";
    ntp["Port"] = 123;
    ntp["UpdatePeriod"] = 10;
    ntp["TimeZone"] = 0;
    ntp["TimeZoneDesc"] = "";
    ntp["StandbyServerNum"] = 0;
    t["NTP"] = ntp;
    Json::Value am(Json::objectValue);
    am["AutoRebootDay"] = 2;
    am["AutoRebootHour"] = 2;
    am["AutoRebootMinute"] = 0;
    t["AutoMaintain"] = am;

    Json::Value vio(Json::arrayValue), color(Json::arrayValue), title(Json::arrayValue), encode(Json::arrayValue);
    const Json::Value mainSize = DefaultEncodeSize(s, 0, true), extraSize = DefaultEncodeSize(s, 0, false);
    for (int ch = 0; ch < s.channels; ++ch) {
        Json::Value o(Json::objectValue);
        o["Backlight"] = 0;
        o["DayNightColor"] = 1;
        o["WhiteBalance"] = 0;
        o["ColorTVMode"] = 0;
        o["Flip"] = false;
        o["Mirror"] = false;
        o["IrisAuto"] = true;
        o["WideDynamicRange"] = 50;
        o["FocusStatus"] = 0;
        o["GlareInhibition"] = 50;
        vio.append(o);
        Json::Value period(Json::objectValue);
        period["Enable"] = 1;
        period["BeginHour"] = 0;
        period["BeginMinute"] = 0;
        period["BeginSecond"] = 0;
        period["EndHour"] = 23;
        period["EndMinute"] = 59;
        period["EndSecond"] = 59;
        period["Brightness"] = 50;
        period["Contrast"] = 50;
        period["Saturation"] = 50;
        period["Hue"] = 50;
        period["Gain"] = 50;
        period["GainAuto"] = 1;
        period["Style"] = 2;
        Json::Value c(Json::objectValue);
        c["Periods"].append(period);
        color.append(c);
        Json::Value n(Json::objectValue);
        n["Serial"] = ch;
        n["Name"] = "Channel" + std::to_string(ch + 1);
        title.append(n);
        Json::Value enc(Json::objectValue);
        for (const char* which : {"MainFormat", "ExtraFormat"}) {
            bool main = which[0] == 'M';
            for (int k = 0; k < 3; ++k) {
                Json::Value f(Json::objectValue);
                f["Video"]["Compression"] = "H.264";
                f["Video"]["Profile"] = "Main";
                // The first size the stream offers, in the device's video standard.
                const Json::Value& size = main ? mainSize : extraSize;
                f["Video"]["Width"] = size["width"];
                f["Video"]["Height"] = size["height"];
                f["Video"]["FPS"] = s.videoStandard ? 30 : 25;
                f["Video"]["BitRateControl"] = "CBR";
                f["Video"]["Quality"] = 4;
                f["Video"]["BitRate"] = main ? 4096 : 512;
                f["AudioEnable"] = false;
                f["Audio"]["Compression"] = "G.711A";
                if (!main)
                    f["VideoEnable"] = true;
                enc[which].append(f);
            }
        }
        encode.append(enc);
    }
    t["VideoInOptions"] = vio;
    t["VideoColor"] = color;
    t["ChannelTitle"] = title;
    t["Encode"] = encode;
    return t;
}

Json::Value DeviceModel::DiscoveryInfo() const
{
    Json::Value v(Json::objectValue);
    v["ipVersion"] = 4;
    v["ip"] = s_.ip;
    v["port"] = s_.port;
    v["mask"] = s_.mask;
    v["gateway"] = s_.gateway;
    v["mac"] = s_.mac;
    v["type"] = s_.type;
    v["dhcp"] = s_.dhcp;
    v["serial"] = s_.serial;
    v["version"] = s_.version;
    v["detail"] = s_.detail;
    v["name"] = s_.name;
    v["webPort"] = s_.webPort;
    v["videoIn"] = s_.channels;
    v["alarmIn"] = s_.alarmIn;
    v["alarmOut"] = s_.alarmOut;
    v["initState"] = s_.initState;
    v["resetWay"] = s_.resetWay;
    v["pnOffer"] = s_.pnOffer;
    v["model"] = s_.model;
    v["vendor"] = s_.vendor;
    v["manufacturer"] = s_.manufacturer;
    return v;
}

User* DeviceModel::FindUser(const std::string& name)
{
    for (User& u : s_.users)
        if (u.name == name)
            return &u;
    return nullptr;
}

bool DeviceModel::CheckCredentials(const Json::Value& req) const
{
    std::string user = GetStr(req, "user");
    for (const User& u : s_.users)
        if (u.name == user)
            return u.password == GetStr(req, "password");
    return false;
}

Reply DeviceModel::Handle(const wire::Frame& req, SessionCtx& ctx, int64_t nowMs)
{
    if (s_.hangOps.count(req.op)) {
        Reply r;
        r.send = false;
        return r;
    }
    auto fail = s_.failOps.find(req.op);
    if (fail != s_.failOps.end())
        return ErrorReply(fail->second);
    Json::Value body;
    if (!wire::ParseObject(req.json, body))
        return ErrorReply(SDK_ILLEGAL_PARAM);
    // Calls that need no login.
    switch (req.op) {
    case wire::kOpLogin: return Login(body, ctx, nowMs);
    case wire::kOpKeepAlive: return OkReply();
    case wire::kOpModifyNet: return ModifyNet(body);
    case wire::kOpInitAccount: return InitAccount(body);
    case wire::kOpInitOptions: return InitOptions(body);
    case wire::kOpResetDescription: return ResetDescription(body);
    case wire::kOpCheckSecurityCode: return CheckSecurityCode(body);
    case wire::kOpResetPassword: return ResetPassword(body);
    default: break;
    }
    if (!ctx.loggedIn)
        return ErrorReply(SDK_NOT_AUTHORIZED);
    switch (req.op) {
    case wire::kOpLogout: {
        SessionClosed(ctx);
        ctx.loggedIn = false;
        Reply r = OkReply();
        r.action = Action::Close;
        return r;
    }
    case wire::kOpQueryDevState: return QueryDevState(body);
    case wire::kOpQuerySystemInfo: {
        Reply r = OkReply();
        r.body["pageFlag"] = 1;
        return r;
    }
    case wire::kOpGetDevConfig: return GetDevConfig(body);
    case wire::kOpSetDevConfig: return SetDevConfig(body);
    case wire::kOpGetNewConfig: return GetNewConfig(body);
    case wire::kOpSetNewConfig: return SetNewConfig(body);
    case wire::kOpReboot: {
        Reply r = OkReply();
        r.action = Action::Reboot;
        return r;
    }
    case wire::kOpRestore: return RestoreRequest(body);
    case wire::kOpUserList: return UserList();
    case wire::kOpGetRecord: return GetRecord(body);
    case wire::kOpSetRecord: return SetRecord(body, req.bin);
    case wire::kOpTransmit: return Transmit(body);
    case wire::kOpCaps: return Caps(body);
    case wire::kOpUpgradeStart: return UpgradeStart(body);
    case wire::kOpUpgradeInfo: {
        Reply r = OkReply();
        r.body["vendor"] = s_.vendorCode;
        r.body["standard"] = s_.videoStandard;
        r.body["year"] = s_.buildDate >> 16;
        r.body["month"] = (s_.buildDate >> 8) & 0xFF;
        r.body["day"] = s_.buildDate & 0xFF;
        r.body["sn"] = s_.serial;
        r.body["language"] = s_.language;
        r.body["serial"] = s_.serial;
        r.body["version"] = s_.version;
        r.body["tag1"] = s_.tag1;
        r.body["tag2"] = s_.tag2;
        return r;
    }
    case wire::kOpStartPlay: return StartPlay(body);
    case wire::kOpStopPlay: {
        Reply r = OkReply();
        r.action = Action::StopPlay;
        r.arg = int(GetInt(body, "play"));
        return r;
    }
    case wire::kOpUpgradeData: return UpgradeData(body, req.bin);
    case wire::kOpUserPassword: return UserPassword(body, ctx);
    default: return ErrorReply(SDK_NOT_SUPPORTED);
    }
}

Reply DeviceModel::Login(const Json::Value& req, SessionCtx& ctx, int64_t nowMs)
{
    if (ctx.loggedIn)
        return LoginFail(4, SDK_LOGIN_ERROR_RELOGGIN);
    if (s_.blacklist.count(ctx.peerIp))
        return LoginFail(6, SDK_LOGIN_ERROR_BLACKLIST);
    if (s_.busy)
        return LoginFail(7, SDK_LOGIN_ERROR_BUSY);
    User* u = FindUser(GetStr(req, "user"));
    if (!u)
        return LoginFail(2, SDK_LOGIN_ERROR_USER);
    if (u->lockedUntilMs > nowMs) {
        Reply r = LoginFail(5, SDK_LOGIN_ERROR_LOCKED);
        r.body["lockLeft"] = Json::Int64((u->lockedUntilMs - nowMs + 999) / 1000);
        return r;
    }
    if (u->password != GetStr(req, "password")) {
        ++u->failures;
        if (u->failures >= s_.maxFailures) {
            u->failures = 0;
            u->lockedUntilMs = nowMs + int64_t(s_.lockSeconds) * 1000;
            Reply r = LoginFail(5, SDK_LOGIN_ERROR_LOCKED);
            r.body["lockLeft"] = s_.lockSeconds;
            return r;
        }
        Reply r = LoginFail(1, SDK_LOGIN_ERROR_PASSWORD);
        r.body["leftTimes"] = s_.maxFailures - u->failures;
        return r;
    }
    if (u->single && userSessions_[u->name] > 0)
        return LoginFail(4, SDK_LOGIN_ERROR_RELOGGIN);
    if (liveSessions_ >= s_.maxSessions)
        return LoginFail(10, SDK_LOGIN_ERROR_MAXCONNECT);
    u->failures = 0;
    ctx.loggedIn = true;
    ctx.user = u->name;
    ctx.sessionId = nextSession_++;
    ++liveSessions_;
    ++userSessions_[u->name];
    Reply r = OkReply();
    r.body["loginError"] = 0;
    r.body["session"] = ctx.sessionId;
    r.body["serial"] = s_.serial;
    r.body["channels"] = s_.channels;
    r.body["alarmIn"] = s_.alarmIn;
    r.body["alarmOut"] = s_.alarmOut;
    r.body["leftTimes"] = s_.maxFailures;
    return r;
}

void DeviceModel::SessionClosed(const SessionCtx& ctx)
{
    if (!ctx.loggedIn)
        return;
    if (liveSessions_ > 0)
        --liveSessions_;
    auto it = userSessions_.find(ctx.user);
    if (it != userSessions_.end() && it->second > 0)
        --it->second;
}

Reply DeviceModel::QueryDevState(const Json::Value& req)
{
    Reply r = OkReply();
    switch (GetInt(req, "type")) {
    case 15:
        r.body["serial"] = s_.serial;
        r.body["devType"] = s_.type;
        r.body["version"] = s_.version;
        r.body["buildDate"] = s_.buildDate;
        r.body["hardware"] = s_.hardware;
        r.body["model"] = s_.model;
        break;
    case 20:
        r.body["typeText"] = s_.detail;
        break;
    case 17:
        r.body["streamCap"] = s_.streamCap;
        r.body["protocol"] = s_.encodeProtocol;
        r.body["videoStandardMask"] = 3;
        break;
    case 9: {
        Json::Value list(Json::arrayValue);
        const int codes[][2] = {{2, 8000}, {4, 8000}, {1, 8000}, {1, 16000}, {8, 16000}};
        for (const auto& c : codes) {
            Json::Value f(Json::objectValue);
            f["type"] = c[0];
            f["rate"] = c[1];
            list.append(f);
        }
        r.body["formats"] = list;
        break;
    }
    default: return ErrorReply(SDK_NOT_SUPPORTED);
    }
    return r;
}

Reply DeviceModel::GetDevConfig(const Json::Value& req)
{
    Reply r = OkReply();
    switch (GetInt(req, "command")) {
    case 1:
        r.body["videoIn"] = s_.channels;
        r.body["alarmIn"] = s_.alarmIn;
        r.body["alarmOut"] = s_.alarmOut;
        r.body["videoStandard"] = s_.videoStandard;
        r.body["typeFlag"] = s_.typeFlag;
        break;
    case 8: {
        const CivilTime c = CivilFromSeconds(WallNow());
        for (size_t i = 0; i < std::size(kCivilFields); ++i)
            r.body[wire::kTimeKeys[i]] = c.*kCivilFields[i];
        break;
    }
    default: return ErrorReply(SDK_NOT_SUPPORTED);
    }
    return r;
}

Reply DeviceModel::SetDevConfig(const Json::Value& req)
{
    if (GetInt(req, "command") != 8)
        return ErrorReply(SDK_NOT_SUPPORTED);
    CivilTime c;
    for (size_t i = 0; i < std::size(kCivilFields); ++i)
        c.*kCivilFields[i] = int(GetInt(req, wire::kTimeKeys[i]));
    if (!IsValidCivil(c))
        return ErrorReply(SDK_ILLEGAL_PARAM);
    SetWallTime(SecondsFromCivil(c));
    return OkReply();
}

Reply DeviceModel::GetNewConfig(const Json::Value& req)
{
    std::string name = GetStr(req, "name");
    if (!HasTable(name))
        return ErrorReply(SDK_NOT_SUPPORTED);
    Reply r = OkReply();
    if (name == "Network") {
        r.body["table"] = NetworkTable();
    } else if (IsPerChannel(name)) {
        int64_t ch = GetInt(req, "channel", 0);
        const Json::Value arr = Table(name);
        if (ch == -1)
            r.body["table"] = arr;
        else if (ch < 0 || ch >= int64_t(arr.size()))
            return ErrorReply(SDK_ILLEGAL_PARAM);
        else
            r.body["table"] = arr[Json::ArrayIndex(ch)];
    } else {
        r.body["table"] = Table(name);
    }
    return r;
}

Reply DeviceModel::SetNewConfig(const Json::Value& req)
{
    std::string name = GetStr(req, "name");
    const Json::Value& table = GetMember(req, "table");
    if (!HasTable(name))
        return ErrorReply(SDK_NOT_SUPPORTED);
    if (!table.isObject() && !(IsPerChannel(name) && table.isArray()))
        return ErrorReply(SDK_ILLEGAL_PARAM);
    if (name == "Network")
        return SetNetwork(table);
    if (IsPerChannel(name)) {
        int64_t ch = GetInt(req, "channel", 0);
        if (ch == -1 && table.isArray()) {
            if (table.size() > Json::ArrayIndex(s_.channels))
                return ErrorReply(SDK_ILLEGAL_PARAM);
            Merge(s_.tables[name], table);
        } else if (ch < 0 || ch >= s_.channels || !table.isObject()) {
            return ErrorReply(SDK_ILLEGAL_PARAM);
        } else {
            Merge(s_.tables[name][Json::ArrayIndex(ch)], table);
        }
    } else {
        Merge(s_.tables[name], table);
    }
    return OkReply();
}

Reply DeviceModel::UserList()
{
    Reply r = OkReply();
    Json::Value list(Json::arrayValue);
    int id = 1;
    for (const User& u : s_.users) {
        Json::Value e(Json::objectValue);
        e["id"] = id++;
        e["name"] = u.name;
        e["group"] = u.group;
        list.append(e);
    }
    r.body["users"] = list;
    return r;
}

Reply DeviceModel::UserPassword(const Json::Value& req, const SessionCtx& ctx)
{
    User* u = FindUser(GetStr(req, "user"));
    if (!u)
        return ErrorReply(SDK_LOGIN_ERROR_USER);
    User* self = FindUser(ctx.user);
    if (u->name != ctx.user && !(self && self->group == 1))
        return ErrorReply(SDK_NOT_AUTHORIZED);
    if (u->password != GetStr(req, "oldPassword"))
        return ErrorReply(SDK_OLD_PASSWORD_ERROR);
    std::string pwd = GetStr(req, "newPassword");
    if (pwd.empty() || pwd.size() > 63)
        return ErrorReply(SDK_NEW_PASSWORD_FORMAT_ERROR);
    u->password = pwd;
    return OkReply();
}

Reply DeviceModel::ResetDescription(const Json::Value& req)
{
    if (GetStr(req, "mac") != s_.mac)
        return ErrorReply(SDK_ILLEGAL_PARAM);
    // A new description each time, and the code that belongs to it.
    ++descriptions_;
    if (!s_.fixedSecurityCode.empty())
        s_.securityCode = s_.fixedSecurityCode;
    else
        s_.securityCode = resetsvc::SecurityCodeOf(resetsvc::kFactorySecret, s_.serial, descriptions_);
    s_.securityCodeIssuedUtc = UtcNow();
    Reply r = OkReply();
    r.body["phone"] = s_.reservedPhone;
    r.body["mail"] = s_.reservedMail;
    r.body["description"] = resetsvc::DescriptionOf(s_.serial, s_.mac, descriptions_,
                                                    s_.reservedPhone.empty() ? s_.reservedMail : s_.reservedPhone);
    return r;
}

Reply DeviceModel::CheckSecurityCode(const Json::Value& req)
{
    if (GetStr(req, "mac") != s_.mac)
        return ErrorReply(SDK_ILLEGAL_PARAM);
    std::string code = GetStr(req, "code");
    if (code.empty() || code != s_.securityCode || !SecurityCodeValid())
        return ErrorReply(SDK_SECURITY_CODE_ERROR);
    return OkReply();
}

Reply DeviceModel::ResetPassword(const Json::Value& req)
{
    if (GetStr(req, "mac") != s_.mac)
        return ErrorReply(SDK_ILLEGAL_PARAM);
    std::string code = GetStr(req, "code");
    bool bySecurity = !code.empty() && code == s_.securityCode && SecurityCodeValid();
    auto auth = std::find(s_.authCodes.begin(), s_.authCodes.end(), code);
    if (!bySecurity && (code.empty() || auth == s_.authCodes.end()))
        return ErrorReply(SDK_SECURITY_CODE_ERROR);
    std::string pwd = GetStr(req, "password");
    if (pwd.size() < 8 || pwd.size() > 32)
        return ErrorReply(SDK_NEW_PASSWORD_FORMAT_ERROR);
    User* u = FindUser(GetStr(req, "user", "admin"));
    if (!u)
        return ErrorReply(SDK_LOAD_DATA_ERROR);
    u->password = pwd;
    u->failures = 0;
    u->lockedUntilMs = 0;
    // A code resets once.
    if (bySecurity)
        s_.securityCode.clear();
    else
        s_.authCodes.erase(auth);
    return OkReply();
}

Reply DeviceModel::StartPlay(const Json::Value& req)
{
    int64_t ch = GetInt(req, "channel", -1);
    if (ch < 0 || ch >= s_.channels)
        return ErrorReply(SDK_ILLEGAL_PARAM);
    Reply r = OkReply();
    r.action = Action::Play;
    r.arg2 = int(ch);
    return r;
}

std::string DeviceModel::StreamBlock(int channel, uint32_t frame, int64_t nowMs) const
{
    // Header of 32 bytes, then a label; the player draws a test picture from it.
    int w = 704, h = 576;
    const Json::Value& vio = GetMember(s_.tables, "VideoInOptions");
    bool focus = vio.isArray() && Json::ArrayIndex(channel) < vio.size() &&
                 GetInt(vio[Json::ArrayIndex(channel)], "FocusStatus") == 1;
    int32_t peak = focus ? int32_t(s_.focusPeakBase + (frame * 37) % 100) : -1;
    std::string label = s_.name + " CH" + std::to_string(channel + 1);
    std::string b(32, '\0');
    auto put = [&](size_t off, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[off + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    put(0, 0x46535856); // "VXSF"
    put(4, uint32_t(w) | (uint32_t(h) << 16));
    put(8, frame);
    put(12, uint32_t(channel));
    put(16, uint32_t(peak));
    put(20, uint32_t(nowMs));
    put(24, uint32_t(label.size()));
    return b + label;
}

size_t DeviceModel::RecordSize(int command)
{
    switch (command) {
    case 20: return sizeof(ZRDEV_WATERMAKE_CFG);
    case 1000: return sizeof(NET_OSD_CHANNEL_TITLE);
    case 1001: return sizeof(NET_OSD_TIME_TITLE);
    case 1006: return sizeof(NET_OSD_GPS_TITLE);
    case 1300: return sizeof(NET_VIDEOIN_SWITCH_MODE_INFO);
    case 1301: return sizeof(NET_VIDEOIN_COLOR_INFO);
    case 1309: return sizeof(NET_VIDEOIN_BACKLIGHT_INFO);
    case 1316: return sizeof(NET_VIDEOIN_DAYNIGHT_INFO);
    default: return 0;
    }
}

namespace {
template <class T> std::string Bytes(const T& rec) { return std::string(reinterpret_cast<const char*>(&rec), sizeof rec); }
} // namespace

std::string DeviceModel::DefaultRecord(int command, int channel, int profile) const
{
    switch (command) {
    case 20: {
        ZRDEV_WATERMAKE_CFG w{};
        w.dwSize = sizeof w;
        w.nKey = 1;
        std::snprintf(w.szLetterData, sizeof w.szLetterData, "%s", s_.serial.c_str());
        return Bytes(w);
    }
    case 1000: {
        NET_OSD_CHANNEL_TITLE t{};
        t.dwSize = sizeof t;
        t.bEncodeBlend = 1;
        return Bytes(t);
    }
    case 1001: {
        NET_OSD_TIME_TITLE t{};
        t.dwSize = sizeof t;
        t.bEncodeBlend = 1;
        return Bytes(t);
    }
    case 1006: {
        NET_OSD_GPS_TITLE t{};
        t.dwSize = sizeof t;
        return Bytes(t);
    }
    case 1300: {
        NET_VIDEOIN_SWITCH_MODE_INFO m{};
        m.dwSize = sizeof m;
        m.emSwitchMode = 2;
        m.nDayStartHour = 6;
        m.nDayEndHour = 18;
        return Bytes(m);
    }
    case 1301: {
        NET_VIDEOIN_COLOR_INFO c{};
        c.dwSize = sizeof c;
        c.emCfgType = profile;
        c.nBrightness = 50 - 10 * profile;
        c.nContrast = 50;
        c.nSaturation = 50;
        c.nGamma = 50;
        return Bytes(c);
    }
    case 1309: {
        NET_VIDEOIN_BACKLIGHT_INFO b{};
        b.dwSize = sizeof b;
        b.emCfgType = profile;
        b.emBlackMode = 1;
        b.nBacklightEnable = 1;
        b.nWideDynamicRange = 50;
        b.nGlareInhibition = 50;
        return Bytes(b);
    }
    case 1316: {
        NET_VIDEOIN_DAYNIGHT_INFO d{};
        d.dwSize = sizeof d;
        d.emCfgType = profile;
        d.emDayNight = profile == 1 ? 2 : 1;
        return Bytes(d);
    }
    default: (void)channel; return std::string();
    }
}

namespace {
bool ProfiledCommand(int command) { return command == 1301 || command == 1309 || command == 1316; }
} // namespace

Reply DeviceModel::GetRecord(const Json::Value& req)
{
    int command = int(GetInt(req, "command"));
    int channel = int(GetInt(req, "channel"));
    int profile = ProfiledCommand(command) ? int(GetInt(req, "profile")) : 0;
    if (RecordSize(command) == 0)
        return ErrorReply(SDK_NOT_SUPPORTED);
    if (channel < 0 || channel >= s_.channels || profile < 0 || profile > 2)
        return ErrorReply(SDK_ILLEGAL_PARAM);
    std::string key = std::to_string(command) + ":" + std::to_string(channel) + ":" + std::to_string(profile);
    auto it = s_.records.find(key);
    Reply r = OkReply();
    r.bin = it != s_.records.end() ? it->second : DefaultRecord(command, channel, profile);
    return r;
}

Reply DeviceModel::SetRecord(const Json::Value& req, const std::string& bin)
{
    int command = int(GetInt(req, "command"));
    int channel = int(GetInt(req, "channel"));
    int profile = ProfiledCommand(command) ? int(GetInt(req, "profile")) : 0;
    size_t size = RecordSize(command);
    if (size == 0)
        return ErrorReply(SDK_NOT_SUPPORTED);
    if (channel < 0 || channel >= s_.channels || profile < 0 || profile > 2 || bin.size() != size)
        return ErrorReply(SDK_ILLEGAL_PARAM);
    if (s_.failRecordWrites.count(std::to_string(command) + ":" + std::to_string(channel)))
        return ErrorReply(SDK_ERROR);
    s_.records[std::to_string(command) + ":" + std::to_string(channel) + ":" + std::to_string(profile)] = bin;
    return OkReply();
}

Reply DeviceModel::Transmit(const Json::Value& req)
{
    const Json::Value& request = GetMember(req, "request");
    std::string method = GetStr(request, "method");
    const Json::Value& params = GetMember(request, "params");
    std::string name = GetStr(params, "name");
    int64_t ch = GetInt(params, "channel", 0);
    if (method == "encodeManager.getCaps")
        return EncodeCapsReply(s_, request);
    Reply r = OkReply();
    Json::Value resp(Json::objectValue);
    resp["id"] = GetMember(request, "id");
    if (!IsPerChannel(name) || ch < 0 || ch >= s_.channels ||
        (method != "configManager.getConfig" && method != "configManager.setConfig")) {
        resp["result"] = false;
        resp["error"]["code"] = 268959743;
        resp["error"]["message"] = "Unknown request";
        r.body["response"] = resp;
        return r;
    }
    if (method == "configManager.getConfig") {
        resp["result"] = true;
        resp["params"]["table"] = Table(name)[Json::ArrayIndex(ch)];
    } else {
        const Json::Value& table = GetMember(params, "table");
        if (table.isObject() && !s_.failRecordWrites.count(name + ":" + std::to_string(ch))) {
            Merge(s_.tables[name][Json::ArrayIndex(ch)], table);
            resp["result"] = true;
        } else {
            resp["result"] = false;
        }
    }
    r.body["response"] = resp;
    return r;
}

Reply DeviceModel::Caps(const Json::Value& req)
{
    Reply r = OkReply();
    switch (GetInt(req, "type")) {
    case 30: {
        int stream = int(GetInt(req, "stream", 1));
        Json::Value layers(Json::arrayValue);
        for (int i = 1; i <= (stream == 1 ? 3 : 1); ++i)
            layers.append(i);
        r.body["svcLayers"] = layers;
        break;
    }
    case 14: {
        Json::Value states(Json::arrayValue);
        for (int ch = 0; ch < s_.channels; ++ch)
            states.append(size_t(ch) < s_.cameraStates.size() ? s_.cameraStates[size_t(ch)] : 2);
        r.body["states"] = states;
        break;
    }
    default: return ErrorReply(SDK_NOT_SUPPORTED);
    }
    return r;
}

Reply DeviceModel::UpgradeStart(const Json::Value& req)
{
    int64_t size = GetInt(req, "size", -1);
    if (s_.upgradeRefuse == 1)
        return ErrorReply(SDK_ERROR);
    if (size <= 0 || size > (int64_t(1) << 31))
        return ErrorReply(SDK_ILLEGAL_PARAM);
    upgradeSize_ = size;
    upgradeGot_ = 0;
    upgradeHead_.clear();
    firmware_.Begin(size);
    return OkReply();
}

Reply DeviceModel::UpgradeData(const Json::Value& req, const std::string& bin)
{
    if (upgradeSize_ == kUpgradeDropped) {
        Reply r; // going away: nothing is answered any more
        r.send = false;
        return r;
    }
    if (upgradeSize_ < 0)
        return ErrorReply(SDK_ILLEGAL_PARAM);
    if (GetInt(req, "offset", -1) != upgradeGot_ || upgradeGot_ + int64_t(bin.size()) > upgradeSize_) {
        upgradeSize_ = -1;
        return ErrorReply(SDK_ILLEGAL_PARAM);
    }
    if (uint32_t refused = firmware_.Piece(bin, s_.model)) {
        upgradeSize_ = -1;
        return ErrorReply(refused);
    }
    if (upgradeHead_.size() < 4096)
        upgradeHead_ += bin.substr(0, 4096 - upgradeHead_.size());
    upgradeGot_ += int64_t(bin.size());
    Reply r = OkReply();
    if (s_.upgradeDropAt >= 0 && upgradeGot_ >= s_.upgradeDropAt) {
        s_.upgradeDropAt = -1; // the device goes away with its sessions, as on a power cut
        upgradeSize_ = kUpgradeDropped;
        r.action = Action::Reboot;
        return r;
    }
    r.body["received"] = Json::Int64(upgradeGot_);
    if (upgradeGot_ == upgradeSize_) {
        upgradeSize_ = -1;
        r.body["complete"] = true;
        r.action = Action::Install;
    }
    return r;
}

bool DeviceModel::UpgradeAccepted() const
{
    if (s_.upgradeRefuse == 2 || upgradeHead_.size() < 8)
        return false;
    FirmwareReceiver::Verdict v = firmware_.Final();
    if (v != FirmwareReceiver::Verdict::Foreign)
        return v == FirmwareReceiver::Verdict::Good;
    const std::string& h = upgradeHead_;
    return h.compare(0, 2, "ZR") == 0 || h.compare(0, 2, "PK") == 0 || h[0] == 'U' ||
           (uint8_t(h[0]) == 0xC0 && uint8_t(h[1]) == 0x80) || h.compare(4, 4, "RFID") == 0;
}

void DeviceModel::CommitUpgrade()
{
    // The image may name its version as "VERSION=<text>"; otherwise the last number goes up.
    size_t at = upgradeHead_.find("VERSION=");
    if (firmware_.Final() == FirmwareReceiver::Verdict::Good) {
        s_.version = firmware_.Version();
    } else if (at != std::string::npos) {
        size_t end = at + 8;
        while (end < upgradeHead_.size() && uint8_t(upgradeHead_[end]) > ' ' && end - at < 72)
            ++end;
        s_.version = upgradeHead_.substr(at + 8, end - at - 8);
    } else {
        size_t dot = s_.version.find_last_of('.');
        std::string tail = dot == std::string::npos ? s_.version : s_.version.substr(dot + 1);
        long n = std::strtol(tail.c_str(), nullptr, 10);
        s_.version = (dot == std::string::npos ? std::string() : s_.version.substr(0, dot + 1)) + std::to_string(n + 1);
    }
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    s_.buildDate = (uint32_t(tm.tm_year + 1900) << 16) | (uint32_t(tm.tm_mon + 1) << 8) | uint32_t(tm.tm_mday);
    upgradeHead_.clear();
}

void DeviceModel::RestoreDefaults()
{
    Json::Value keepNet = GetMember(s_.tables, "Network");
    s_.tables = Json::Value(Json::objectValue);
    if (!keepNet.isNull())
        s_.tables["Network"] = keepNet;
    s_.records.clear();
    s_.clockOffsetSec = 0;
}

Json::Value DeviceModel::ToJson(const DeviceState& s)
{
    Json::Value v(Json::objectValue);
    v["type"] = s.type;
    v["detail"] = s.detail;
    v["model"] = s.model;
    v["name"] = s.name;
    v["serial"] = s.serial;
    v["mac"] = s.mac;
    v["vendor"] = s.vendor;
    v["manufacturer"] = s.manufacturer;
    v["version"] = s.version;
    v["buildDate"] = s.buildDate;
    v["videoStandard"] = s.videoStandard;
    v["channels"] = s.channels;
    v["alarmIn"] = s.alarmIn;
    v["alarmOut"] = s.alarmOut;
    v["typeFlag"] = s.typeFlag;
    v["ip"] = s.ip;
    v["mask"] = s.mask;
    v["gateway"] = s.gateway;
    v["dhcp"] = s.dhcp;
    v["port"] = s.port;
    v["webPort"] = s.webPort;
    v["initState"] = s.initState;
    v["resetWay"] = s.resetWay;
    v["pnOffer"] = s.pnOffer;
    v["maxSessions"] = s.maxSessions;
    v["rebootMs"] = s.rebootMs;
    v["upgradeRefuse"] = s.upgradeRefuse;
    v["installMs"] = s.installMs;
    if (s.tables.isObject() && !s.tables.empty())
        v["tables"] = s.tables;
    Json::Value users(Json::arrayValue);
    for (const User& u : s.users) {
        Json::Value e(Json::objectValue);
        e["name"] = u.name;
        e["password"] = u.password;
        e["group"] = u.group;
        e["single"] = u.single;
        users.append(e);
    }
    v["users"] = users;
    ScriptedFaultsToJson(s, v);
    NetworkToJson(s, v);
    return v;
}

DeviceState DeviceModel::FromJson(const Json::Value& v)
{
    DeviceState s;
    s.type = GetStr(v, "type", s.type);
    s.detail = GetStr(v, "detail", s.detail);
    s.model = GetStr(v, "model", s.model);
    s.name = GetStr(v, "name", s.name);
    s.serial = GetStr(v, "serial");
    s.mac = GetStr(v, "mac");
    s.vendor = GetStr(v, "vendor");
    s.manufacturer = int(GetInt(v, "manufacturer", 0));
    s.version = GetStr(v, "version", s.version);
    s.buildDate = uint32_t(GetInt(v, "buildDate", s.buildDate));
    s.videoStandard = int(GetInt(v, "videoStandard", 0));
    s.channels = int(GetInt(v, "channels", 1));
    s.alarmIn = int(GetInt(v, "alarmIn", 0));
    s.alarmOut = int(GetInt(v, "alarmOut", 0));
    s.typeFlag = int(GetInt(v, "typeFlag", 0));
    s.ip = GetStr(v, "ip");
    s.mask = GetStr(v, "mask", s.mask);
    s.gateway = GetStr(v, "gateway", s.gateway);
    s.dhcp = GetBool(v, "dhcp", false);
    s.port = int(GetInt(v, "port", 37777));
    s.webPort = int(GetInt(v, "webPort", 80));
    s.initState = int(GetInt(v, "initState", 2));
    s.resetWay = int(GetInt(v, "resetWay", 1));
    s.pnOffer = int(GetInt(v, "pnOffer", 0));
    s.maxSessions = int(GetInt(v, "maxSessions", 32));
    s.rebootMs = int(GetInt(v, "rebootMs", -1));
    s.upgradeRefuse = int(GetInt(v, "upgradeRefuse", 0));
    s.installMs = int(GetInt(v, "installMs", 1000));
    const Json::Value& users = GetMember(v, "users");
    if (users.isArray())
        for (const Json::Value& e : users)
            if (e.isObject())
                s.users.push_back(User{GetStr(e, "name"), GetStr(e, "password"), int(GetInt(e, "group", 1)),
                                       GetBool(e, "single"), 0, 0});
    const Json::Value& tables = GetMember(v, "tables");
    if (tables.isObject())
        s.tables = tables;
    ScriptedFaultsFromJson(v, s);
    NetworkFromJson(v, s);
    // A table of another kind than its default (an object for a list, a number for an object) is
    // dropped: the device reads and writes its tables in their default shape.
    if (!s.tables.empty()) {
        const Json::Value defaults = DeviceModel::DefaultTables(s);
        for (const std::string& name : s.tables.getMemberNames()) {
            const Json::Value& def = defaults[name];
            if (!def.isNull() && def.type() != s.tables[name].type())
                s.tables.removeMember(name);
        }
    }
    return s;
}

} // namespace devsim
