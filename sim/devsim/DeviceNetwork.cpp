// Network cards and addresses of an emulated device, the change of its address (through the
// "Network" table or without login) and its initialisation (PROTOCOL.md, "Operations" 14, 15, 20
// and 21, and "Configuration text").
#include "devsim/DeviceModel.h"

#include "devsdk/DevSdkErrors.h"

#include <algorithm>
#include <string>

namespace devsim {

using devsdk::wire::GetBool;
using devsdk::wire::GetInt;
using devsdk::wire::GetMember;
using devsdk::wire::GetStr;

namespace {

constexpr size_t kMaxNics = 8;

Reply Ok()
{
    Reply r;
    r.body["error"] = 0;
    return r;
}

Json::Value Entry(const Json::Value& base, const std::string& name, const std::string& ip, const std::string& mask,
                  const std::string& gateway, bool dhcp, const std::string& mac)
{
    Json::Value e = base.isObject() ? base : Json::Value(Json::objectValue);
    e["Name"] = name;
    e["IPAddress"] = ip;
    e["SubnetMask"] = mask;
    e["DefaultGateway"] = gateway;
    e["DhcpEnable"] = dhcp;
    e["PhysicalAddress"] = mac;
    return e;
}

} // namespace

Json::Value DeviceModel::NetworkTable() const
{
    Json::Value net = Table("Network");
    // A fleet file may override the table with something other than an object.
    if (!net.isObject())
        net = Json::Value(Json::objectValue);
    const Json::Value& defaults = GetMember(net, "Interfaces");
    const Json::Value base = defaults.isArray() && defaults.size() > 0 ? defaults[0] : Json::Value();
    const size_t service = std::min(size_t(std::max(s_.serviceNicIndex, 0)), s_.otherNics.size());
    Json::Value list(Json::arrayValue);
    for (size_t i = 0; i <= s_.otherNics.size(); ++i) {
        if (i == service)
            list.append(Entry(base, s_.serviceNic, s_.ip, s_.mask, s_.gateway, s_.dhcp, s_.mac));
        if (i < s_.otherNics.size()) {
            const NetInterface& n = s_.otherNics[i];
            list.append(Entry(base, n.name, n.ip, n.mask, n.gateway, n.dhcp, std::string()));
        }
    }
    net["Interfaces"] = list;
    return net;
}

// A written table: the entry named like the service card carries the device's address; the
// others are its other cards, kept in their order.
Reply DeviceModel::SetNetwork(const Json::Value& table)
{
    const Json::Value& list = GetMember(table, "Interfaces");
    Json::Value service;
    std::vector<NetInterface> others;
    int serviceIndex = s_.serviceNicIndex;
    if (list.isArray()) {
        for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
            const Json::Value& e = list[i];
            if (!e.isObject())
                continue;
            if (service.isNull() && GetStr(e, "Name") == s_.serviceNic) {
                service = e;
                serviceIndex = int(others.size());
            } else if (others.size() < kMaxNics) {
                NetInterface n;
                n.name = GetStr(e, "Name");
                n.ip = GetStr(e, "IPAddress");
                n.mask = GetStr(e, "SubnetMask", n.mask);
                n.gateway = GetStr(e, "DefaultGateway");
                n.dhcp = GetBool(e, "DhcpEnable", false);
                others.push_back(n);
            }
        }
    }
    if (service.isNull())
        service = Json::Value(Json::objectValue);
    const std::string ip = GetStr(service, "IPAddress", s_.ip);
    const bool dhcp = GetBool(service, "DhcpEnable", s_.dhcp);
    if (!dhcp && ip != s_.ip && !IsLoopbackIPv4(ip))
        return ErrorReply(SDK_SET_NETCFG_FAILED);
    for (const std::string& k : table.getMemberNames())
        if (k != "Interfaces")
            s_.tables["Network"][k] = table[k];
    if (list.isArray()) {
        s_.otherNics = others;
        s_.serviceNicIndex = serviceIndex;
    }
    s_.mask = GetStr(service, "SubnetMask", s_.mask);
    s_.gateway = GetStr(service, "DefaultGateway", s_.gateway);
    s_.dhcp = dhcp;
    Reply r = Ok();
    // DHCP keeps the lease the device already has.
    if (!dhcp && ip != s_.ip) {
        pendingIp_ = ip;
        r.body["newAddress"] = ip;
        r.action = Action::Move;
    }
    return r;
}

Reply DeviceModel::ModifyNet(const Json::Value& req)
{
    if (GetStr(req, "mac") != s_.mac)
        return ErrorReply(SDK_ILLEGAL_PARAM);
    if (!CheckCredentials(req))
        return ErrorReply(SDK_LOGIN_ERROR_PASSWORD);
    bool dhcp = GetBool(req, "dhcp", false);
    std::string ip = GetStr(req, "ip", s_.ip);
    if (!dhcp && !IsLoopbackIPv4(ip))
        return ErrorReply(SDK_SET_NETCFG_FAILED);
    s_.dhcp = dhcp;
    if (!dhcp) {
        s_.mask = GetStr(req, "mask", s_.mask);
        s_.gateway = GetStr(req, "gateway", s_.gateway);
    }
    Reply r = Ok();
    r.body["ip"] = dhcp ? s_.ip : ip;
    if (!dhcp && ip != s_.ip) {
        pendingIp_ = ip;
        r.action = Action::Move;
    }
    return r;
}

Reply DeviceModel::InitAccount(const Json::Value& req)
{
    if (GetStr(req, "mac") != s_.mac)
        return ErrorReply(SDK_ILLEGAL_PARAM);
    if ((s_.initState & 3) != 1)
        return ErrorReply(SDK_DEVICE_INITIALIZED);
    std::string pwd = GetStr(req, "password");
    std::string user = GetStr(req, "user", "admin");
    if (pwd.size() < 8 || pwd.size() > 32 || user.empty())
        return ErrorReply(SDK_NEW_PASSWORD_FORMAT_ERROR);
    User* u = FindUser(user);
    if (!u) {
        s_.users.push_back(User{user, pwd, 1, false, 0, 0});
    } else {
        u->password = pwd;
    }
    s_.reservedPhone = GetStr(req, "phone");
    s_.reservedMail = GetStr(req, "mail");
    s_.resetWay = int(GetInt(req, "resetWay", s_.resetWay)) & 0xFF;
    s_.initState = 2;
    return Ok();
}

Reply DeviceModel::InitOptions(const Json::Value& req)
{
    if (GetStr(req, "mac") != s_.mac)
        return ErrorReply(SDK_ILLEGAL_PARAM);
    if (!CheckCredentials(req))
        return ErrorReply(SDK_LOGIN_ERROR_PASSWORD);
    int standard = int(GetInt(req, "videoStandard"));
    if (standard == 1 || standard == 2)
        s_.videoStandard = standard == 2 ? 1 : 0;
    s_.tables["CloudOptions"]["Access"] = int(GetInt(req, "cloudAccess"));
    s_.tables["CloudOptions"]["AutoCheck"] = int(GetInt(req, "autoCheck"));
    return Ok();
}

void AddSecondNic(DeviceState& s, size_t index)
{
    NetInterface n;
    n.name = "eth1";
    n.ip = "192.168." + std::to_string((index / 250) % 256) + "." + std::to_string(index % 250 + 2);
    n.gateway = "192.168." + std::to_string((index / 250) % 256) + ".1";
    s.otherNics.push_back(n);
    s.serviceNicIndex = 1;
}

void NetworkToJson(const DeviceState& s, Json::Value& v)
{
    if (!s.reservedPhone.empty())
        v["reservedPhone"] = s.reservedPhone;
    if (!s.reservedMail.empty())
        v["reservedMail"] = s.reservedMail;
    const DeviceState defaults;
    if (s.serviceNic != defaults.serviceNic)
        v["serviceNic"] = s.serviceNic;
    if (s.serviceNicIndex != 0)
        v["serviceNicIndex"] = s.serviceNicIndex;
    if (s.otherNics.empty())
        return;
    Json::Value list(Json::arrayValue);
    for (const NetInterface& n : s.otherNics) {
        Json::Value e(Json::objectValue);
        e["name"] = n.name;
        e["ip"] = n.ip;
        e["mask"] = n.mask;
        e["gateway"] = n.gateway;
        e["dhcp"] = n.dhcp;
        list.append(e);
    }
    v["otherNics"] = list;
}

void NetworkFromJson(const Json::Value& v, DeviceState& s)
{
    s.reservedPhone = GetStr(v, "reservedPhone").substr(0, 31);
    s.reservedMail = GetStr(v, "reservedMail").substr(0, 63);
    s.serviceNic = GetStr(v, "serviceNic", s.serviceNic).substr(0, 127);
    s.serviceNicIndex = int(std::min<int64_t>(std::max<int64_t>(GetInt(v, "serviceNicIndex", 0), 0), kMaxNics));
    const Json::Value& list = GetMember(v, "otherNics");
    if (!list.isArray())
        return;
    for (Json::ArrayIndex i = 0; i < list.size() && s.otherNics.size() < kMaxNics; ++i) {
        const Json::Value& e = list[i];
        if (!e.isObject())
            continue;
        NetInterface n;
        n.name = GetStr(e, "name").substr(0, 127);
        n.ip = GetStr(e, "ip").substr(0, 255);
        n.mask = GetStr(e, "mask", n.mask).substr(0, 255);
        n.gateway = GetStr(e, "gateway").substr(0, 255);
        n.dhcp = GetBool(e, "dhcp", false);
        s.otherNics.push_back(n);
    }
}

} // namespace devsim
