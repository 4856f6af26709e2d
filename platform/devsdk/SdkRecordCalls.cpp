// Typed records by command number (picture profiles, titles, watermark), capabilities, and the
// device's JSON interface.
#include "devsdk/SdkCore.h"

#include "devsdk/NetInfoCodec.h"

#include <cstring>

using devsdk::Core;
using devsdk::Fail;
using devsdk::Ok;
namespace wire = devsdk::wire;

namespace {

size_t RecordSize(int command)
{
    switch (command) {
    case SDK_DEV_WATERMAKE_CFG: return sizeof(ZRDEV_WATERMAKE_CFG);
    case NET_EM_CFG_ENCODE_CHANNELTITLE: return sizeof(NET_OSD_CHANNEL_TITLE);
    case NET_EM_CFG_ENCODE_TIMETITLE: return sizeof(NET_OSD_TIME_TITLE);
    case NET_EM_CFG_ENCODE_GPSTITLE: return sizeof(NET_OSD_GPS_TITLE);
    case NET_EM_CFG_VIDEOIN_SWITCHMODE: return sizeof(NET_VIDEOIN_SWITCH_MODE_INFO);
    case NET_EM_CFG_VIDEOIN_COLOR: return sizeof(NET_VIDEOIN_COLOR_INFO);
    case NET_EM_CFG_VIDEOIN_BACKLIGHT: return sizeof(NET_VIDEOIN_BACKLIGHT_INFO);
    case NET_EM_CFG_VIDEOIN_DAYNIGHT: return sizeof(NET_VIDEOIN_DAYNIGHT_INFO);
    default: return 0;
    }
}

// The three picture records carry the profile they are read or written for at offset 4.
bool Profiled(int command)
{
    return command == NET_EM_CFG_VIDEOIN_COLOR || command == NET_EM_CFG_VIDEOIN_BACKLIGHT ||
           command == NET_EM_CFG_VIDEOIN_DAYNIGHT;
}

bool CheckRecord(int command, const void* buf, DWORD size, size_t* need)
{
    *need = RecordSize(command);
    if (*need == 0)
        return Fail(SDK_NOT_SUPPORTED);
    DWORD stamped = 0;
    if (buf && size >= 4)
        std::memcpy(&stamped, buf, 4);
    if (!buf || size < *need || stamped != *need)
        return Fail(SDK_ILLEGAL_PARAM);
    return true;
}

} // namespace

BOOL SdkGetConfig(LONG lLoginID, int emCfgOpType, int nChannelID, void* szOutBuffer, DWORD dwOutBufferSize,
                  int waittime, void* /*reserve*/)
{
    size_t need;
    if (!CheckRecord(emCfgOpType, szOutBuffer, dwOutBufferSize, &need))
        return 0;
    Json::Value body(Json::objectValue), reply;
    body["command"] = emCfgOpType;
    body["channel"] = nChannelID;
    if (Profiled(emCfgOpType))
        body["profile"] = static_cast<const int*>(szOutBuffer)[1];
    std::string bin;
    if (!Core::Get().Call(lLoginID, wire::kOpGetRecord, body, waittime, reply, std::string(), &bin))
        return 0;
    if (bin.size() != need)
        return Fail(SDK_RETURN_DATA_ERROR);
    std::memcpy(szOutBuffer, bin.data(), need);
    return Ok();
}

BOOL SdkSetConfig(LONG lLoginID, int emCfgOpType, int nChannelID, void* szInBuffer, DWORD dwInBufferSize,
                  int waittime, int* restart, void* /*reserve*/)
{
    if (restart)
        *restart = 0;
    size_t need;
    if (!CheckRecord(emCfgOpType, szInBuffer, dwInBufferSize, &need))
        return 0;
    Json::Value body(Json::objectValue), reply;
    body["command"] = emCfgOpType;
    body["channel"] = nChannelID;
    if (Profiled(emCfgOpType))
        body["profile"] = static_cast<const int*>(szInBuffer)[1];
    return Core::Get().Call(lLoginID, wire::kOpSetRecord, body, waittime, reply,
                            std::string(static_cast<const char*>(szInBuffer), need));
}

BOOL SdkGetDevCaps(LONG lLoginID, int nType, void* pInBuf, void* pOutBuf, int /*nReserved*/, int nWaitTime)
{
    Json::Value body(Json::objectValue), reply;
    body["type"] = nType;
    if (nType == NET_VIDEO_ENCODE_CAPS) {
        auto* in = static_cast<NET_IN_VIDEO_ENCODE_CAPS*>(pInBuf);
        auto* out = static_cast<NET_OUT_VIDEO_ENCODE_CAPS*>(pOutBuf);
        if (!in || !out || in->dwSize < sizeof *in || out->dwSize < sizeof *out)
            return Fail(SDK_ILLEGAL_PARAM);
        body["channel"] = in->nChannel;
        body["stream"] = in->emStream;
        if (!Core::Get().Call(lLoginID, wire::kOpCaps, body, nWaitTime, reply))
            return 0;
        const Json::Value& layers = wire::GetMember(reply, "svcLayers");
        out->nSVCLayerNum = 0;
        for (Json::ArrayIndex i = 0; layers.isArray() && i < layers.size() && i < 32; ++i)
            out->nSVCLayers[out->nSVCLayerNum++] = layers[i].isInt() ? layers[i].asInt() : 0;
        return Ok();
    }
    if (nType == NET_CAMERASTATE_CAPS) {
        auto* in = static_cast<NET_IN_GET_CAMERA_STATEINFO*>(pInBuf);
        auto* out = static_cast<NET_OUT_GET_CAMERA_STATEINFO*>(pOutBuf);
        if (!in || !out || in->dwSize < sizeof *in || out->dwSize < sizeof *out || out->nMaxNum < 0 ||
            (out->nMaxNum > 0 && !out->pCameraStateInfo))
            return Fail(SDK_ILLEGAL_PARAM);
        if (!Core::Get().Call(lLoginID, wire::kOpCaps, body, nWaitTime, reply))
            return 0;
        const Json::Value& states = wire::GetMember(reply, "states");
        int n = 0;
        for (Json::ArrayIndex i = 0; states.isArray() && i < states.size() && n < out->nMaxNum; ++i, ++n) {
            out->pCameraStateInfo[n].nChannel = int(i);
            out->pCameraStateInfo[n].emConnectionState = states[i].isInt() ? states[i].asInt() : 0;
        }
        out->nValidNum = n;
        return Ok();
    }
    return Fail(SDK_NOT_SUPPORTED);
}

BOOL SdkTransmitInfoForWeb(LONG lLoginID, char* szInBuffer, DWORD dwInBufferSize, char* szOutBuffer,
                           DWORD dwOutBufferSize, void* /*pExtData*/, int waittime)
{
    if (!szInBuffer || !szOutBuffer || dwOutBufferSize == 0)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value request;
    if (!wire::ParseObject(devsdk::TextField(szInBuffer, dwInBufferSize), request))
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value body(Json::objectValue), reply;
    body["request"] = request;
    if (!Core::Get().Call(lLoginID, wire::kOpTransmit, body, waittime, reply))
        return 0;
    std::string text = wire::WriteCompact(wire::GetMember(reply, "response"));
    if (text.size() + 1 > dwOutBufferSize)
        return Fail(SDK_INSUFFICIENT_BUFFER);
    std::memcpy(szOutBuffer, text.c_str(), text.size() + 1);
    return Ok();
}
