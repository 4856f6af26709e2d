// Feeds arbitrary bytes to the offline template readers (current and older layout).
#include <cstddef>
#include <cstdint>
#include <string>

#include "CloudUpgrade/CloudTemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CloudCheckMap checks;
    RemoteDeviceMap remotes;
    const cloudtemplate::ReadResult r = cloudtemplate::ParseTemplate(text, "admin", "pw", &checks, &remotes);
    for (const DEVICE_INFO& d : r.devices)
        if (d.szFileName[sizeof(d.szFileName) - 1] != 0 || !cloudtemplate::IsPlainFileName(d.szFileName))
            __builtin_trap();
    cloudtemplate::ParseCloudInfoCsv(text, &checks);
    (void)cloudtemplate::UnescapeField(text);
    (void)cloudtemplate::SumArchiveListing(text);
    return 0;
}
