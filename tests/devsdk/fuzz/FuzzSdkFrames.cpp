// The SDK's side: frames from a device (stream and datagram) into records.
#include "devsdk/NetInfoCodec.h"
#include "devsdk/Wire.h"

#include <cstddef>
#include <cstdint>

using namespace devsdk;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* p = reinterpret_cast<const char*>(data);
    wire::Frame f;
    if (wire::DecodeDatagram(p, size, f)) {
        Json::Value v;
        if (wire::ParseObject(f.json, v)) {
            DEVICE_NET_INFO_EX rec;
            FillNetInfo(v, rec);
        }
    }
    wire::FrameReader r;
    // Feed in two pieces to exercise reassembly.
    size_t half = size / 2;
    r.Feed(p, half);
    while (r.Next(f) == wire::FrameReader::kFrame) {
    }
    r.Feed(p + half, size - half);
    while (r.Next(f) == wire::FrameReader::kFrame) {
        Json::Value v;
        if (!wire::ParseObject(f.json, v))
            continue;
        SDK_LOGIN_DEVICE_INFO li;
        FillLoginInfo(v, li);
        ZRDEV_VERSION_INFO vi;
        FillVersionInfo(v, vi);
        ZRDEV_SYSTEM_ATTR_CFG sa;
        FillSystemAttr(v, sa);
        SYNC_TIME_PARAM t{};
        FillTime(v, t);
        ZRDEV_DSP_ENCODECAP dsp;
        FillDspCaps(v, dsp);
        ZRDEV_TALKFORMAT_LIST talk;
        FillTalkFormats(v, talk);
    }
    return 0;
}
