#include "devsdk/NetInfoCodec.h"

#include "devsdk/Wire.h"

#include <cstring>
#include <iterator>

namespace devsdk {

using wire::GetInt;
using wire::GetStr;

void CopyText(char* dst, size_t size, const std::string& s)
{
    if (!dst || size == 0)
        return;
    size_t n = s.size() < size - 1 ? s.size() : size - 1;
    std::memcpy(dst, s.data(), n);
    std::memset(dst + n, 0, size - n);
}

std::string TextField(const char* src, size_t size)
{
    size_t n = 0;
    while (n < size && src[n])
        ++n;
    return std::string(src, n);
}

#define COPY_TEXT(field, key) CopyText(rec.field, sizeof rec.field, GetStr(v, key))

void FillNetInfo(const Json::Value& v, DEVICE_NET_INFO_EX& rec)
{
    std::memset(&rec, 0, sizeof rec);
    rec.nIpVersion = int(GetInt(v, "ipVersion", 4));
    COPY_TEXT(szIpAddr, "ip");
    rec.nPort = int(GetInt(v, "port", 37777));
    COPY_TEXT(szNetMask, "mask");
    COPY_TEXT(szGatewayAddr, "gateway");
    COPY_TEXT(szMacAddr, "mac");
    COPY_TEXT(szTypeName, "type");
    rec.bDhcpOn = wire::GetBool(v, "dhcp") ? 1 : 0;
    rec.byManufacturer = uint8_t(GetInt(v, "manufacturer"));
    COPY_TEXT(szVendor, "vendor");
    COPY_TEXT(szSerialNumber, "serial");
    COPY_TEXT(szSoftVersion, "version");
    COPY_TEXT(szDetailName, "detail");
    COPY_TEXT(szDeviceName, "name");
    rec.wWebPort = uint16_t(GetInt(v, "webPort", 80));
    rec.wVideoInCount = uint16_t(GetInt(v, "videoIn"));
    rec.wAlarmInCount = uint16_t(GetInt(v, "alarmIn"));
    rec.wAlarmOutCount = uint16_t(GetInt(v, "alarmOut"));
    rec.byInitState = uint8_t(GetInt(v, "initState"));
    rec.byPwdResetWay = uint8_t(GetInt(v, "resetWay"));
    rec.bySpecialAbility = uint8_t(GetInt(v, "pnOffer"));
    COPY_TEXT(szModelName, "model");
}

void FillLoginInfo(const Json::Value& v, SDK_LOGIN_DEVICE_INFO& rec)
{
    std::memset(&rec, 0, sizeof rec);
    COPY_TEXT(szSerialNumber, "serial");
    rec.nAlarmInPortNum = int(GetInt(v, "alarmIn"));
    rec.nAlarmOutPortNum = int(GetInt(v, "alarmOut"));
    rec.nChanNum = int(GetInt(v, "channels"));
    rec.byLeftLogTimes = uint8_t(GetInt(v, "leftTimes"));
    rec.nLockLeftTime = int(GetInt(v, "lockLeft"));
}

void FillVersionInfo(const Json::Value& v, ZRDEV_VERSION_INFO& rec)
{
    std::memset(&rec, 0, sizeof rec);
    COPY_TEXT(szSerialNumber, "serial");
    COPY_TEXT(szDevType, "devType");
    COPY_TEXT(szSoftWareVersion, "version");
    rec.dwSoftwareBuildDate = DWORD(GetInt(v, "buildDate"));
    COPY_TEXT(szHardwareVersion, "hardware");
    COPY_TEXT(szModel, "model");
}

void FillSystemAttr(const Json::Value& v, ZRDEV_SYSTEM_ATTR_CFG& rec)
{
    std::memset(&rec, 0, sizeof rec);
    rec.dwSize = sizeof rec;
    rec.byDevType = uint8_t(GetInt(v, "typeFlag"));
    rec.byVideoCaptureNum = uint8_t(GetInt(v, "videoIn"));
    rec.byAlarmInNum = uint8_t(GetInt(v, "alarmIn"));
    rec.byAlarmOutNum = uint8_t(GetInt(v, "alarmOut"));
    rec.byVideoStandard = uint8_t(GetInt(v, "videoStandard"));
}

namespace {

// The record's fields in the order of wire::kTimeKeys.
int SYNC_TIME_PARAM::*const kTimeFields[] = {&SYNC_TIME_PARAM::nYear, &SYNC_TIME_PARAM::nMonth,
                                              &SYNC_TIME_PARAM::nDay,  &SYNC_TIME_PARAM::nHour,
                                              &SYNC_TIME_PARAM::nMinute, &SYNC_TIME_PARAM::nSecond};
static_assert(std::size(kTimeFields) == std::size(wire::kTimeKeys), "one field a key");

} // namespace

void FillTime(const Json::Value& v, SYNC_TIME_PARAM& rec)
{
    for (size_t i = 0; i < std::size(kTimeFields); ++i)
        rec.*kTimeFields[i] = int(GetInt(v, wire::kTimeKeys[i]));
}

void PutTime(const SYNC_TIME_PARAM& rec, Json::Value& v)
{
    for (size_t i = 0; i < std::size(kTimeFields); ++i)
        v[wire::kTimeKeys[i]] = rec.*kTimeFields[i];
}

void FillDspCaps(const Json::Value& v, ZRDEV_DSP_ENCODECAP& rec)
{
    std::memset(&rec, 0, sizeof rec);
    rec.dwVideoStandardMask = DWORD(GetInt(v, "videoStandardMask"));
    rec.dwStreamCap = DWORD(GetInt(v, "streamCap"));
    rec.dwEncodeProtocol = DWORD(GetInt(v, "protocol"));
}

void FillTalkFormats(const Json::Value& v, ZRDEV_TALKFORMAT_LIST& rec)
{
    std::memset(&rec, 0, sizeof rec);
    const Json::Value& list = wire::GetMember(v, "formats");
    if (!list.isArray())
        return;
    int n = 0;
    for (Json::ArrayIndex i = 0; i < list.size() && n < 64; ++i) {
        if (!list[i].isObject())
            continue;
        rec.type[n].encodeType = int(GetInt(list[i], "type"));
        rec.type[n].dwSampleRate = DWORD(GetInt(list[i], "rate"));
        ++n;
    }
    rec.nSupportNum = n;
}

} // namespace devsdk
