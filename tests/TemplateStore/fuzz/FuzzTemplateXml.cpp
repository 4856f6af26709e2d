// Template file reader: every operation over an arbitrary file, and the Encode merge over an
// arbitrary device reply. The input is the file text, optionally followed by "\n@@\n" and the
// reply.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "Template/CTemplateXml.h"

namespace {

std::string FilePath()
{
    static std::string path = [] {
        char name[] = "/tmp/fuzz-template-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0)
            close(fd);
        return std::string(name);
    }();
    return path;
}

const char kReply[] = "{\"params\":{\"table\":{\"MainFormat\":[{\"Video\":{}},{},{}],\"ExtraFormat\":[{},{\"Audio\":{}}]}}}";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find("\n@@\n");
    const std::string file = input.substr(0, split);
    const std::string reply = split == std::string::npos ? kReply : input.substr(split + 4);

    FILE* f = std::fopen(FilePath().c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);

    CTemplateXml xml(FilePath().c_str());
    wchar_t name[16] = {};
    xml.GetRootName(name, 15);
    xml.GetTemplateName(name, 15);
    xml.IsValidTemplate();
    xml.IsSectionEnabled(L"Encode");
    tagTEMPLATEINFO info;
    std::memset(&info, 0, sizeof info);
    xml.ReadTemplateInfo(info);
    int a = 0, b = 0, c = 0, d = 0, e = 0, g = 0;
    std::string text;
    xml.ReadTimeFormat(a, b);
    xml.ReadDST(a, b, c, d, e, g);
    xml.ReadNTP(text, a);
    xml.ReadIFrameInterval(a, b);

    std::vector<char> buffer(TEMPLATE_JSON_BUFFER_SIZE, 0);
    std::memcpy(buffer.data(), reply.data(), std::min(reply.size(), buffer.size()));
    for (int flag = 0; flag < 2; ++flag) {
        const std::vector<char> before = buffer;
        if (!xml.MergeEncodeIntoJson(L"Encode", L"Channel", buffer.data(), flag) && before != buffer)
            __builtin_trap();  // a refused merge must leave the buffer
    }
    return 0;
}
