// The reset service stand-in: sealed container, request document and device descriptions.
#include "resetsvc/ResetService.h"

#include <cstddef>
#include <cstdint>
#include <string>

#ifndef VX_FUZZ_KEY
#error "VX_FUZZ_KEY names the service's private key"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string xml, error;
    resetsvc::Request request;
    switch (data[0] % 3) {
    case 0:
        if (resetsvc::OpenRequest(text, VX_FUZZ_KEY, xml, error))
            resetsvc::ParseRequest(xml, request, error);
        break;
    case 1:
        if (resetsvc::ParseRequest(text, request, error))
            resetsvc::AuthorizationXml(request, "2030-01-01T00:00:00", "s");
        break;
    default:
        resetsvc::SecurityCodeFor(text, "s");
        break;
    }
    return 0;
}
