// Cloud update service protocol; see the header.
#include "devsdk/CloudWire.h"

#include "devsdk/Wire.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace devsdk {
namespace cloud {

namespace {

std::string Field(const char* s, size_t width) { return std::string(s, strnlen(s, width)); }

void Put(char* dst, size_t width, const std::string& s)
{
    std::memset(dst, 0, width);
    std::memcpy(dst, s.data(), std::min(s.size(), width - 1));
}

std::string Cut(const Json::Value& body, const char* key, size_t width)
{
    std::string s = wire::GetStr(body, key);
    if (s.size() > width - 1)
        s.resize(width - 1);
    return s;
}

bool StartsWithNoCase(const std::string& s, const char* prefix)
{
    const size_t n = std::strlen(prefix);
    if (s.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

bool ParseUrl(const char* text, size_t maxLen, Address& out)
{
    if (!text)
        return false;
    std::string s(text, strnlen(text, std::min(maxLen, kMaxUrl)));
    int port = 80;
    if (StartsWithNoCase(s, "http://")) {
        s.erase(0, 7);
    } else if (StartsWithNoCase(s, "https://")) {
        s.erase(0, 8);
        port = 443;
    } else if (s.find("://") != std::string::npos) {
        return false;
    }
    const size_t slash = s.find('/');
    std::string path = slash == std::string::npos ? "/" : s.substr(slash);
    std::string hostPort = s.substr(0, slash);
    const size_t colon = hostPort.find(':');
    if (colon != std::string::npos) {
        const std::string digits = hostPort.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        port = std::stoi(digits);
        hostPort.resize(colon);
    }
    in_addr a{};
    if (port < 1 || port > 65535 || inet_pton(AF_INET, hostPort.c_str(), &a) != 1)
        return false;
    out.host = hostPort;
    out.port = port;
    out.path = path;
    return true;
}

Json::Value CheckRequestBody(const NET_IN_CLOUD_UPGRADER_CHECK& in)
{
    Json::Value b(Json::objectValue);
    b["vendor"] = in.nVendor;
    b["standard"] = in.nStandard;
    Json::Value build(Json::arrayValue);
    const DWORD t[6] = {in.stuBuildTime.dwYear,   in.stuBuildTime.dwMonth,  in.stuBuildTime.dwDay,
                        in.stuBuildTime.dwHour,   in.stuBuildTime.dwMinute, in.stuBuildTime.dwSecond};
    for (DWORD v : t)
        build.append(Json::UInt(v));
    b["build"] = build;
    b["class"] = Field(in.szClass, sizeof in.szClass);
    b["sn"] = Field(in.szSN, sizeof in.szSN);
    b["language"] = Field(in.szLanguage, sizeof in.szLanguage);
    b["serialNo"] = Field(in.szSerialNo, sizeof in.szSerialNo);
    b["version"] = Field(in.szSoftwareVersion, sizeof in.szSoftwareVersion);
    b["tag1"] = Field(in.szTag1, sizeof in.szTag1);
    b["tag2"] = Field(in.szTag2, sizeof in.szTag2);
    b["account"] = Field(in.szAccount, sizeof in.szAccount);
    b["token"] = Field(in.szToken, sizeof in.szToken);
    return b;
}

bool ParseCheckRequest(const Json::Value& body, CheckQuery& q)
{
    if (!body.isObject())
        return false;
    const NET_IN_CLOUD_UPGRADER_CHECK* r = nullptr; // widths only
    q.vendor = int(wire::GetInt(body, "vendor"));
    q.standard = int(wire::GetInt(body, "standard"));
    const Json::Value& build = wire::GetMember(body, "build");
    for (Json::ArrayIndex i = 0; i < 6; ++i)
        q.build[i] = build.isArray() && i < build.size() && build[i].isIntegral() ? build[i].asInt() : 0;
    q.deviceClass = Cut(body, "class", sizeof r->szClass);
    q.sn = Cut(body, "sn", sizeof r->szSN);
    q.language = Cut(body, "language", sizeof r->szLanguage);
    q.serialNo = Cut(body, "serialNo", sizeof r->szSerialNo);
    q.version = Cut(body, "version", sizeof r->szSoftwareVersion);
    q.tag1 = Cut(body, "tag1", sizeof r->szTag1);
    q.tag2 = Cut(body, "tag2", sizeof r->szTag2);
    q.account = Cut(body, "account", sizeof r->szAccount);
    q.token = Cut(body, "token", sizeof r->szToken);
    return true;
}

bool FillCheckAnswer(const Json::Value& reply, NET_OUT_CLOUD_UPGRADER_CHECK& out)
{
    const Json::Value& hasNew = wire::GetMember(reply, "hasNew");
    if (!hasNew.isBool() && !hasNew.isIntegral())
        return false;
    out.bHasNewVersion = wire::GetBool(reply, "hasNew") || wire::GetInt(reply, "hasNew") != 0 ? 1 : 0;
    Put(out.szNewVersion, sizeof out.szNewVersion, wire::GetStr(reply, "newVersion"));
    Put(out.szPackageDesc, sizeof out.szPackageDesc, wire::GetStr(reply, "desc"));
    Put(out.szPackageUrl, sizeof out.szPackageUrl, wire::GetStr(reply, "url"));
    return true;
}

bool ParsePieceReply(const Json::Value& reply, size_t binSize, int64_t offset, PieceReply& out)
{
    out.state = int(wire::GetInt(reply, "state"));
    if (out.state != 0)
        return binSize == 0;
    out.total = wire::GetInt(reply, "total", -1);
    if (out.total < 0 || out.total > kMaxFileSize || binSize > kMaxPiece)
        return false;
    if (offset < 0 || offset > out.total || int64_t(binSize) > out.total - offset)
        return false;
    // A piece that brings nothing before the end would never finish.
    return binSize > 0 || offset == out.total;
}

} // namespace cloud
} // namespace devsdk
