// The configuration-text SDK: device text into each record and back.
#include "devsdk/CfgSdk.h"
#include "devsdk/DevSdkRecords.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const names[] = {"Network", "DVRIP", "Https", "VideoInOptions", "VideoColor",
                                        "ChannelTitle", "Locales", "NTP", "AutoMaintain"};
    if (size < 1)
        return 0;
    const char* name = names[data[0] % 9];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<char> rec(sizeof(CFG_NETWORK_INFO), 0);
    if (SdkCfgParse(name, text.c_str(), rec.data(), DWORD(rec.size()))) {
        std::vector<char> out(data[0] & 0x80 ? 64 : 65536, 0);
        SdkCfgPack(name, rec.data(), DWORD(rec.size()), out.data(), DWORD(out.size()));
    }
    return 0;
}
