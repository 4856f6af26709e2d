// The archiver's table of contents of a package: an accepted listing names no path that leaves
// the folder and stays within the limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "OtherTool/ToolPackage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    othertool::ListingTotals totals;
    if (!othertool::CheckArchiveListing(text, &totals)) {
        if (totals.entries > othertool::kMaxEntries || totals.unpackedBytes > othertool::kMaxUnpackedBytes)
            std::abort();
        if (text.find("Path = ../") == 0)
            std::abort();
    }
    uint64_t n = 0;
    othertool::ParseAppVersion(text, &n);
    return 0;
}
