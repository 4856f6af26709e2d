// The export's reading of a device's Encode reply: arbitrary bytes in the 10240-byte reply
// buffer, with and without a terminator.
#include <cstdint>
#include <cstring>
#include <vector>

#include "Template/TemplateExportMapping.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> buffer(tplexport::kEncodeReplySize, 0);
    const size_t n = size < buffer.size() ? size : buffer.size();
    std::memcpy(buffer.data(), data, n);
    tagTEMPLATE_ENCODE encode;
    std::memset(&encode, 0, sizeof encode);
    tplexport::FillEncodeFromReply(buffer.data(), buffer.size(), encode);
    if (encode.MStreamNCodeMode[TEMPLATE_CODEC_LEN - 1] || encode.EAudioEncode[TEMPLATE_CODEC_LEN - 1])
        __builtin_trap();
    return 0;
}
