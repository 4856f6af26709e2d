// Calls on a login: state queries, configuration by command and by name, reboot; and the
// address change without login.
#include "devsdk/SdkCore.h"

#include "devsdk/NetInfoCodec.h"

#include <cstring>

using devsdk::Core;
using devsdk::Fail;
using devsdk::Ok;
namespace wire = devsdk::wire;

namespace {

Json::Value Obj() { return Json::Value(Json::objectValue); }

} // namespace

BOOL SdkQueryDevState(LONG lLoginID, int nType, char* pBuf, int nBufLen, int* pRetLen, int waittime)
{
    size_t need = 0;
    switch (nType) {
    case SDK_DEVSTATE_SOFTWARE: need = sizeof(ZRDEV_VERSION_INFO); break;
    case SDK_DEVSTATE_TYPE: need = 2; break;
    case SDK_DEVSTATE_DSP: need = sizeof(ZRDEV_DSP_ENCODECAP); break;
    case SDK_DEVSTATE_TALK_ECTYPE: need = sizeof(ZRDEV_TALKFORMAT_LIST); break;
    default: return Fail(SDK_NOT_SUPPORTED);
    }
    if (!pBuf || nBufLen < 0 || size_t(nBufLen) < need)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value body = Obj(), reply;
    body["type"] = nType;
    if (!Core::Get().Call(lLoginID, wire::kOpQueryDevState, body, waittime, reply))
        return 0;
    int len = 0;
    switch (nType) {
    case SDK_DEVSTATE_SOFTWARE:
        devsdk::FillVersionInfo(reply, *reinterpret_cast<ZRDEV_VERSION_INFO*>(pBuf));
        len = sizeof(ZRDEV_VERSION_INFO);
        break;
    case SDK_DEVSTATE_TYPE: {
        size_t n = std::min<size_t>(size_t(nBufLen), size_t(kDeviceTypeTextSize));
        devsdk::CopyText(pBuf, n, wire::GetStr(reply, "typeText"));
        len = int(std::strlen(pBuf));
        break;
    }
    case SDK_DEVSTATE_DSP:
        devsdk::FillDspCaps(reply, *reinterpret_cast<ZRDEV_DSP_ENCODECAP*>(pBuf));
        len = sizeof(ZRDEV_DSP_ENCODECAP);
        break;
    case SDK_DEVSTATE_TALK_ECTYPE:
        devsdk::FillTalkFormats(reply, *reinterpret_cast<ZRDEV_TALKFORMAT_LIST*>(pBuf));
        len = sizeof(ZRDEV_TALKFORMAT_LIST);
        break;
    }
    if (pRetLen)
        *pRetLen = len;
    return Ok();
}

BOOL SdkQuerySystemInfo(LONG lLoginID, int nSystemType, char* pSysInfoBuffer, int maxlen, int* nSysInfolen,
                        int waittime)
{
    if (nSystemType != ABILITY_DEVALL_INFO)
        return Fail(SDK_NOT_SUPPORTED);
    if (!pSysInfoBuffer || maxlen < int(sizeof(ZR_DEV_ENABLE_INFO)))
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value reply;
    if (!Core::Get().Call(lLoginID, wire::kOpQuerySystemInfo, Obj(), waittime, reply))
        return 0;
    auto* info = reinterpret_cast<ZR_DEV_ENABLE_INFO*>(pSysInfoBuffer);
    std::memset(info, 0, sizeof *info);
    info->IsFucEnable[kEnableInfoPageIndex] = DWORD(wire::GetInt(reply, "pageFlag"));
    if (nSysInfolen)
        *nSysInfolen = sizeof *info;
    return Ok();
}

BOOL SdkGetDevConfig(LONG lLoginID, DWORD dwCommand, LONG lChannel, void* lpOutBuffer, DWORD dwOutBufferSize,
                     int* lpBytesReturned, int waittime)
{
    if (dwCommand == SDK_DEV_WATERMAKE_CFG) {
        BOOL ok = SdkGetConfig(lLoginID, int(dwCommand), int(lChannel), lpOutBuffer, dwOutBufferSize, waittime);
        if (ok && lpBytesReturned)
            *lpBytesReturned = int(sizeof(ZRDEV_WATERMAKE_CFG));
        return ok;
    }
    size_t need;
    switch (dwCommand) {
    case SDK_DEV_DEVICECFG: need = sizeof(ZRDEV_SYSTEM_ATTR_CFG); break;
    case SDK_DEV_TIMECFG: need = sizeof(SYNC_TIME_PARAM); break;
    default: return Fail(SDK_NOT_SUPPORTED);
    }
    if (!lpOutBuffer || dwOutBufferSize < need)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value body = Obj(), reply;
    body["command"] = Json::UInt(dwCommand);
    body["channel"] = lChannel;
    if (!Core::Get().Call(lLoginID, wire::kOpGetDevConfig, body, waittime, reply))
        return 0;
    if (dwCommand == SDK_DEV_DEVICECFG)
        devsdk::FillSystemAttr(reply, *static_cast<ZRDEV_SYSTEM_ATTR_CFG*>(lpOutBuffer));
    else
        devsdk::FillTime(reply, *static_cast<SYNC_TIME_PARAM*>(lpOutBuffer));
    if (lpBytesReturned)
        *lpBytesReturned = int(need);
    return Ok();
}

BOOL SdkSetDevConfig(LONG lLoginID, DWORD dwCommand, LONG lChannel, void* lpInBuffer, DWORD dwInBufferSize,
                     int waittime)
{
    if (dwCommand == SDK_DEV_WATERMAKE_CFG)
        return SdkSetConfig(lLoginID, int(dwCommand), int(lChannel), lpInBuffer, dwInBufferSize, waittime);
    if (dwCommand != SDK_DEV_TIMECFG)
        return Fail(SDK_NOT_SUPPORTED);
    if (!lpInBuffer || dwInBufferSize < sizeof(SYNC_TIME_PARAM))
        return Fail(SDK_ILLEGAL_PARAM);
    const auto* t = static_cast<const SYNC_TIME_PARAM*>(lpInBuffer);
    Json::Value body = Obj(), reply;
    body["command"] = Json::UInt(dwCommand);
    body["channel"] = lChannel;
    devsdk::PutTime(*t, body);
    return Core::Get().Call(lLoginID, wire::kOpSetDevConfig, body, waittime, reply);
}

BOOL SdkGetNewConfig(LONG lLoginID, const char* szCommand, int nChannelID, char* szOutBuffer, DWORD dwOutBufferSize,
                     int* error, int waittime)
{
    if (error)
        *error = 0;
    if (!szCommand || !szOutBuffer || dwOutBufferSize == 0)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value body = Obj(), reply;
    body["name"] = szCommand;
    body["channel"] = nChannelID;
    if (!Core::Get().Call(lLoginID, wire::kOpGetNewConfig, body, waittime, reply)) {
        if (error)
            *error = int(devsdk::LastError() & 0x7FFFFFFF);
        return 0;
    }
    std::string text = wire::WriteCompact(wire::GetMember(reply, "table"));
    if (text.size() + 1 > dwOutBufferSize)
        return Fail(SDK_INSUFFICIENT_BUFFER);
    std::memcpy(szOutBuffer, text.c_str(), text.size() + 1);
    return Ok();
}

BOOL SdkSetNewConfig(LONG lLoginID, const char* szCommand, int nChannelID, char* szInBuffer, DWORD dwInBufferSize,
                     int* error, int* restart, int waittime)
{
    if (error)
        *error = 0;
    if (restart)
        *restart = 0;
    if (!szCommand || !szInBuffer || dwInBufferSize == 0)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value table;
    if (!wire::ParseObject(devsdk::TextField(szInBuffer, dwInBufferSize), table)) {
        // a per-channel name may carry an array of channels
        Json::CharReaderBuilder b;
        std::string text = devsdk::TextField(szInBuffer, dwInBufferSize), errs;
        std::unique_ptr<Json::CharReader> r(b.newCharReader());
        Json::Value v;
        bool ok = false;
        try {
            ok = r->parse(text.data(), text.data() + text.size(), &v, &errs) && v.isArray();
        } catch (const std::exception&) {
            ok = false;
        }
        if (!ok)
            return Fail(SDK_ILLEGAL_PARAM);
        table = v;
    }
    Json::Value body = Obj(), reply;
    body["name"] = szCommand;
    body["channel"] = nChannelID;
    body["table"] = table;
    if (!Core::Get().Call(lLoginID, wire::kOpSetNewConfig, body, waittime, reply)) {
        if (error)
            *error = int(devsdk::LastError() & 0x7FFFFFFF);
        return 0;
    }
    std::string moved = wire::GetStr(reply, "newAddress");
    if (!moved.empty())
        Core::Get().Learn(std::string(), moved, 0);
    return Ok();
}

BOOL SdkRebootDev(LONG lLoginID)
{
    Json::Value reply;
    return Core::Get().Call(lLoginID, wire::kOpReboot, Obj(), 3000, reply);
}

BOOL SdkModifyDevice(const DEVICE_NET_INFO_EX* pDevNetInfo, DWORD dwWaitTime, int* iError, const char* /*szLocalIp*/,
                     void* /*reserved*/)
{
    using devsdk::TextField;
    if (iError)
        *iError = 0;
    Core& core = Core::Get();
    if (!core.Inited())
        return Fail(SDK_NOINIT);
    if (!pDevNetInfo)
        return Fail(SDK_ILLEGAL_PARAM);
    const DEVICE_NET_INFO_EX& r = *pDevNetInfo;
    std::string mac = TextField(r.szMacAddr, sizeof r.szMacAddr);
    std::string ip;
    int port = 0;
    if (!core.Locate(mac, ip, port)) {
        // Not seen yet: look for it among the known devices first.
        SDK_SEARCH_IP_LIST* list = new SDK_SEARCH_IP_LIST();
        auto known = core.KnownAddresses();
        for (size_t i = 0; i < known.size(); i += 256) {
            std::memset(list, 0, sizeof *list);
            list->dwSize = sizeof *list;
            for (size_t k = i; k < known.size() && k < i + 256; ++k)
                devsdk::CopyText(list->szIP[list->nIpNum++], 64, known[k].first);
            SdkSearchDevicesByIPs(list, nullptr, nullptr, nullptr, 1000);
            if (core.Locate(mac, ip, port))
                break;
        }
        delete list;
        if (!core.Locate(mac, ip, port))
            return Fail(SDK_NETWORK_ERROR);
    }
    Json::Value body = Obj(), reply;
    body["mac"] = mac;
    body["user"] = r.bUserValid ? TextField(r.szUser, sizeof r.szUser)
                                : TextField(r.szReportedUser, sizeof r.szReportedUser);
    body["password"] = r.bPasswordValid ? TextField(r.szPassword, sizeof r.szPassword)
                                        : TextField(r.szReportedPassword, sizeof r.szReportedPassword);
    body["ip"] = TextField(r.szIpAddr, sizeof r.szIpAddr);
    body["mask"] = TextField(r.szNetMask, sizeof r.szNetMask);
    body["gateway"] = TextField(r.szGatewayAddr, sizeof r.szGatewayAddr);
    body["dhcp"] = r.bDhcpOn != 0;
    if (!devsdk::OneShot(ip, port, wire::kOpModifyNet, body, int(dwWaitTime), reply)) {
        if (iError)
            *iError = int(devsdk::LastError() & 0x7FFFFFFF);
        return 0;
    }
    core.Learn(mac, wire::GetStr(reply, "ip", ip), port);
    return Ok();
}
