// Device answers to the Encode requests of the template apply worker: a getConfig answer merged
// with a template and turned into a setConfig request, and a setConfig answer checked.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Template/CTemplateXml.h"
#include "Template/TemplateEncodeExchange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> buffer(TEMPLATE_JSON_BUFFER_SIZE, 0);
    std::memcpy(buffer.data(), data, size < buffer.size() - 1 ? size : buffer.size() - 1);
    std::string request;
    if (tplenc::SetRequest(buffer.data(), int(size % 64), request) && request.empty())
        __builtin_trap();
    tplenc::Accepted(buffer.data());
    return 0;
}
