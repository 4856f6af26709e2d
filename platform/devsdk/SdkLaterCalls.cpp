// Initialisation of new devices, users, restore; and the calls that later features fill in,
// which fail with SDK_NOT_SUPPORTED for now (list in PROTOCOL.md).
#include "devsdk/SdkCore.h"

#include "devsdk/NetInfoCodec.h"

#include <cstring>

using devsdk::Core;
using devsdk::Fail;
using devsdk::Ok;
using devsdk::TextField;
namespace wire = devsdk::wire;

namespace {

Json::Value Obj() { return Json::Value(Json::objectValue); }

// A login-less request to the device whose MAC the body names.
BOOL ToDevice(uint16_t op, const Json::Value& body, int waitMs, Json::Value& reply)
{
    Core& core = Core::Get();
    if (!core.Inited())
        return Fail(SDK_NOINIT);
    std::string ip;
    int port = 0;
    if (!core.Locate(body["mac"].asString(), ip, port))
        return Fail(SDK_NETWORK_ERROR);
    return devsdk::OneShot(ip, port, op, body, waitMs, reply);
}

// The body of a login-less request: the device's MAC.
template <class In>
Json::Value MacBody(const In& in)
{
    Json::Value body = Obj();
    body["mac"] = TextField(in.szMac, sizeof in.szMac);
    return body;
}

// The same with the account the request sets up or resets.
template <class In>
Json::Value AccountBody(const In& in)
{
    Json::Value body = MacBody(in);
    body["user"] = TextField(in.szUserName, sizeof in.szUserName);
    body["password"] = TextField(in.szPwd, sizeof in.szPwd);
    return body;
}

bool UserList(LONG login, int wait, Json::Value& users)
{
    Json::Value reply;
    if (!Core::Get().Call(login, wire::kOpUserList, Obj(), wait, reply))
        return false;
    users = wire::GetMember(reply, "users");
    if (!users.isArray())
        return Fail(SDK_RETURN_DATA_ERROR);
    return true;
}

// The user list into info (at most kMaxUsers entries); clear readies an entry before it is filled.
template <class Info, class Clear>
BOOL QueryUsers(LONG login, int wait, Info& info, Clear clear)
{
    Json::Value users;
    if (!UserList(login, wait, users))
        return 0;
    DWORD n = 0;
    for (Json::ArrayIndex i = 0; i < users.size() && n < DWORD(kMaxUsers); ++i) {
        auto& u = info.userList[n++];
        clear(u);
        u.dwID = DWORD(wire::GetInt(users[i], "id"));
        u.dwGroupID = DWORD(wire::GetInt(users[i], "group"));
        devsdk::CopyText(u.name, sizeof u.name, wire::GetStr(users[i], "name"));
    }
    info.dwUserNum = n;
    return Ok();
}

// The one user operation provided: opParam holds the new password, subParam the user and its old one.
template <class User>
BOOL OperateUser(LONG login, int type, void* opParam, void* subParam, int wait)
{
    if (type != SDK_USER_MODIFY_PASSWORD)
        return Fail(SDK_NOT_SUPPORTED);
    if (!opParam || !subParam)
        return Fail(SDK_ILLEGAL_PARAM);
    const auto* nu = static_cast<const User*>(opParam);
    const auto* old = static_cast<const User*>(subParam);
    Json::Value body = Obj(), reply;
    body["user"] = TextField(old->name, sizeof old->name);
    body["oldPassword"] = TextField(old->passWord, sizeof old->passWord);
    body["newPassword"] = TextField(nu->passWord, sizeof nu->passWord);
    return Core::Get().Call(login, wire::kOpUserPassword, body, wait, reply);
}

} // namespace

BOOL SdkInitDevAccount(const NET_IN_INIT_DEVICE_ACCOUNT* in, NET_OUT_INIT_DEVICE_ACCOUNT* out, DWORD dwWaitTime,
                       const char* /*szLocalIp*/)
{
    if (!in || in->dwSize < sizeof *in || !out)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value body = AccountBody(*in), reply;
    body["phone"] = TextField(in->szCellPhone, sizeof in->szCellPhone);
    body["mail"] = TextField(in->szMail, sizeof in->szMail);
    body["resetWay"] = in->byPwdResetWay;
    return ToDevice(wire::kOpInitAccount, body, int(dwWaitTime), reply);
}

BOOL SdkInitDevOptions(const DEVINIT_ACCOUNT_INFO* in, DEVINIT_ACCOUNT_OUT* out, DWORD dwWaitTime,
                       const char* /*szLocalIp*/)
{
    if (!in || in->dwSize < sizeof *in || !out)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value body = AccountBody(*in), reply;
    body["cloudAccess"] = in->byCloudAccess;
    body["autoCheck"] = in->byAutoCheck;
    body["videoStandard"] = in->nVideoStandard;
    return ToDevice(wire::kOpInitOptions, body, int(dwWaitTime), reply);
}

BOOL SdkQueryUserInfo(LONG lLoginID, USER_MANAGE_INFO* info, int waittime)
{
    if (!info)
        return Fail(SDK_ILLEGAL_PARAM);
    return QueryUsers(lLoginID, waittime, *info, [](USER_INFO& u) { std::memset(&u, 0, sizeof u); });
}

BOOL SdkOperateUserInfo(LONG lLoginID, int nOperateType, void* opParam, void* subParam, int waittime)
{
    return OperateUser<USER_INFO>(lLoginID, nOperateType, opParam, subParam, waittime);
}

BOOL SdkQueryUserInfoNew(LONG lLoginID, USER_MANAGE_INFO_NEW* info, void* /*pReserved*/, int waittime)
{
    if (!info || info->dwSize < sizeof *info)
        return Fail(SDK_ILLEGAL_PARAM);
    // The entries keep what the caller set beyond their fields, dwSize among it.
    return QueryUsers(lLoginID, waittime, *info,
                      [](USER_INFO_NEW& u) { std::memset(u.passWord, 0, sizeof u.passWord); });
}

BOOL SdkOperateUserInfoNew(LONG lLoginID, int nOperateType, void* opParam, void* subParam, void* /*pReserved*/,
                           int waittime)
{
    return OperateUser<USER_INFO_NEW>(lLoginID, nOperateType, opParam, subParam, waittime);
}

BOOL SdkGetDescriptionForResetPwd(const NET_IN_DESCRIPTION_FOR_RESET_PWD* in, NET_OUT_DESCRIPTION_FOR_RESET_PWD* out,
                                  int nWaitTime, const char* /*szLocalIp*/)
{
    if (!in || in->dwSize < sizeof *in || !out || out->dwSize < sizeof *out)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value reply;
    if (!ToDevice(wire::kOpResetDescription, MacBody(*in), nWaitTime, reply))
        return 0;
    devsdk::CopyText(out->szCellPhone, sizeof out->szCellPhone, wire::GetStr(reply, "phone"));
    devsdk::CopyText(out->szMailAddr, sizeof out->szMailAddr, wire::GetStr(reply, "mail"));
    if (out->pQrCode && out->nQrCodeLen > 0)
        devsdk::CopyText(out->pQrCode, size_t(out->nQrCodeLen), wire::GetStr(reply, "description"));
    return Ok();
}

BOOL SdkCheckSecurityCode(const NET_IN_CHECK_SECURITY_CODE* in, NET_OUT_CHECK_SECURITY_CODE* out, int nWaitTime,
                          const char* /*szLocalIp*/)
{
    if (!in || in->dwSize < sizeof *in || !out)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value body = MacBody(*in), reply;
    body["code"] = TextField(in->szSecurity, sizeof in->szSecurity);
    return ToDevice(wire::kOpCheckSecurityCode, body, nWaitTime, reply);
}

BOOL SdkResetPwd(const NET_IN_RESET_PWD* in, NET_OUT_RESET_PWD* out, int nWaitTime, const char* /*szLocalIp*/)
{
    if (!in || in->dwSize < sizeof *in || !out)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value body = AccountBody(*in), reply;
    body["code"] = TextField(in->szSecurity, sizeof in->szSecurity);
    return ToDevice(wire::kOpResetPassword, body, nWaitTime, reply);
}

BOOL SdkControlDevice(LONG lLoginID, int type, void* /*param*/, int waittime)
{
    if (type != SDK_CTRL_RESTOREDEFAULT)
        return Fail(SDK_NOT_SUPPORTED);
    Json::Value body = Obj(), reply;
    body["via"] = "control";
    return Core::Get().Call(lLoginID, wire::kOpRestore, body, waittime, reply);
}

BOOL SdkResetSystem(LONG lLoginID, const NET_IN_RESET_SYSTEM* pInParam, NET_OUT_RESET_SYSTEM* pOutParam,
                    int nWaitTime)
{
    if (!pInParam || !pOutParam)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value body = Obj(), reply;
    body["via"] = "reset";
    return Core::Get().Call(lLoginID, wire::kOpRestore, body, nWaitTime, reply);
}

// ---- Not provided yet ------------------------------------------------------------------

BOOL SdkGetUpgradeDevInfo(LONG lLoginID, const NET_IN_UPGRADE_DEV_INFO* pInParam, NET_OUT_UPGRADE_DEV_INFO* pOutParam,
                          int nWaitTime)
{
    if (!pInParam || !pOutParam || pOutParam->dwSize < sizeof *pOutParam)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value reply;
    if (!Core::Get().Call(lLoginID, wire::kOpUpgradeInfo, Obj(), nWaitTime, reply))
        return 0;
    NET_OUT_UPGRADE_DEV_INFO& o = *pOutParam;
    o.nVendor = int(wire::GetInt(reply, "vendor"));
    o.nStandard = int(wire::GetInt(reply, "standard"));
    o.stuBuildTime.dwYear = DWORD(wire::GetInt(reply, "year"));
    o.stuBuildTime.dwMonth = DWORD(wire::GetInt(reply, "month"));
    o.stuBuildTime.dwDay = DWORD(wire::GetInt(reply, "day"));
    devsdk::CopyText(o.szSN, sizeof o.szSN, wire::GetStr(reply, "sn"));
    devsdk::CopyText(o.szLanguage, sizeof o.szLanguage, wire::GetStr(reply, "language"));
    devsdk::CopyText(o.szSerialNo, sizeof o.szSerialNo, wire::GetStr(reply, "serial"));
    devsdk::CopyText(o.szSoftwareVersion, sizeof o.szSoftwareVersion, wire::GetStr(reply, "version"));
    devsdk::CopyText(o.szTag1, sizeof o.szTag1, wire::GetStr(reply, "tag1"));
    devsdk::CopyText(o.szTag2, sizeof o.szTag2, wire::GetStr(reply, "tag2"));
    return Ok();
}
BOOL SdkStopDownload(LONG) { return Fail(SDK_INVALID_HANDLE); }
