// The authorisation-file reader: shape check and code map of any text.
#include "SysConfig/CResetInfoXml.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CResetInfoXml reader("");
    reader.LoadText(std::string(reinterpret_cast<const char*>(data), size));
    CResetInfoXml::CodeMap codes;
    std::string create;
    if (reader.CheckFormat())
        reader.ReadResetInfo(codes, create);
    return 0;
}
