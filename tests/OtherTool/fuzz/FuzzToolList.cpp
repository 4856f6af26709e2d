// The tool list of the settings file and a package's AppInfo.xml read from the same text; a list
// that was read is written back and must read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "OtherTool/ToolPackage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<othertool::ToolEntry> tools;
    std::vector<std::string> problems;
    std::string why;
    if (othertool::ReadToolList(text, &tools, &problems, &why)) {
        if (tools.size() > othertool::kMaxTools)
            std::abort();
        TiXmlDocument doc;
        doc.Parse("<Setting/>");
        othertool::WriteToolList(doc.RootElement(), tools);
        TiXmlPrinter printer;
        doc.Accept(&printer);
        std::vector<othertool::ToolEntry> again;
        std::vector<std::string> more;
        if (!othertool::ReadToolList(printer.CStr(), &again, &more, &why) || again.size() != tools.size())
            std::abort();
        for (size_t i = 0; i < tools.size(); ++i) {
            if (again[i].name != tools[i].name || !othertool::ValidToolName(again[i].name))
                std::abort();
        }
    }
    othertool::ToolEntry entry;
    uint64_t number = 0;
    if (!othertool::ReadAppInfo(text, 0, &entry, &number) && !othertool::ValidToolName(entry.name))
        std::abort();
    return 0;
}
