#include "devsim/ScriptedFaults.h"

#include <cstdlib>
#include <string>

namespace devsim {

using devsdk::wire::GetBool;
using devsdk::wire::GetInt;
using devsdk::wire::GetMember;
using devsdk::wire::GetStr;

namespace {

constexpr Json::ArrayIndex kMaxListEntries = 256;
constexpr size_t kMaxAuthCodes = 3;

} // namespace

void ScriptedFaultsToJson(const DeviceState& s, Json::Value& v)
{
    const DeviceState defaults;
    if (!s.hangOps.empty()) {
        Json::Value ops(Json::arrayValue);
        for (int op : s.hangOps)
            ops.append(op);
        v["hangOps"] = ops;
    }
    if (!s.failOps.empty()) {
        // {"<op>": code}: JSON object keys are text
        Json::Value ops(Json::objectValue);
        for (const auto& f : s.failOps)
            ops[std::to_string(f.first)] = Json::UInt(f.second);
        v["failOps"] = ops;
    }
    if (s.busy)
        v["busy"] = true;
    if (!s.blacklist.empty()) {
        Json::Value list(Json::arrayValue);
        for (const std::string& ip : s.blacklist)
            list.append(ip);
        v["blacklist"] = list;
    }
    if (!s.authCodes.empty()) {
        Json::Value list(Json::arrayValue);
        for (const std::string& c : s.authCodes)
            list.append(c);
        v["authCodes"] = list;
    }
    if (!s.cameraStates.empty()) {
        Json::Value list(Json::arrayValue);
        for (int st : s.cameraStates)
            list.append(st);
        v["cameraStates"] = list;
    }
    if (!s.fixedSecurityCode.empty())
        v["fixedSecurityCode"] = s.fixedSecurityCode;
    if (s.codeValidSec != defaults.codeValidSec)
        v["codeValidSec"] = s.codeValidSec;
    if (s.maxFailures != defaults.maxFailures)
        v["maxFailures"] = s.maxFailures;
    if (s.lockSeconds != defaults.lockSeconds)
        v["lockSeconds"] = s.lockSeconds;
    if (s.upgradeDropAt >= 0)
        v["upgradeDropAt"] = Json::Int64(s.upgradeDropAt);
}

void ScriptedFaultsFromJson(const Json::Value& v, DeviceState& s)
{
    const Json::Value& hang = GetMember(v, "hangOps");
    if (hang.isArray())
        for (Json::ArrayIndex i = 0; i < hang.size() && i < kMaxListEntries; ++i)
            if (hang[i].isInt())
                s.hangOps.insert(hang[i].asInt());
    const Json::Value& fail = GetMember(v, "failOps");
    if (fail.isObject()) {
        Json::ArrayIndex n = 0;
        for (const std::string& key : fail.getMemberNames()) {
            if (n++ >= kMaxListEntries)
                break;
            const Json::Value& code = fail[key];
            char* end = nullptr;
            long op = std::strtol(key.c_str(), &end, 10);
            if (end == key.c_str() || *end != '\0' || !(code.isUInt() || code.isInt()))
                continue;
            s.failOps[int(op)] = uint32_t(code.asLargestInt());
        }
    }
    s.busy = GetBool(v, "busy", s.busy);
    const Json::Value& black = GetMember(v, "blacklist");
    if (black.isArray())
        for (Json::ArrayIndex i = 0; i < black.size() && i < kMaxListEntries; ++i)
            if (black[i].isString())
                s.blacklist.insert(black[i].asString());
    const Json::Value& auth = GetMember(v, "authCodes");
    if (auth.isArray())
        for (Json::ArrayIndex i = 0; i < auth.size() && s.authCodes.size() < kMaxAuthCodes; ++i)
            if (auth[i].isString())
                s.authCodes.push_back(auth[i].asString());
    const Json::Value& cams = GetMember(v, "cameraStates");
    if (cams.isArray())
        for (Json::ArrayIndex i = 0; i < cams.size() && i < kMaxListEntries; ++i)
            if (cams[i].isInt())
                s.cameraStates.push_back(cams[i].asInt());
    s.fixedSecurityCode = GetStr(v, "fixedSecurityCode", s.fixedSecurityCode);
    s.codeValidSec = int(GetInt(v, "codeValidSec", s.codeValidSec));
    s.maxFailures = int(GetInt(v, "maxFailures", s.maxFailures));
    s.lockSeconds = int(GetInt(v, "lockSeconds", s.lockSeconds));
    s.upgradeDropAt = GetInt(v, "upgradeDropAt", s.upgradeDropAt);
}

} // namespace devsim
