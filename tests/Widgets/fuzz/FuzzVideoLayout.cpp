// libFuzzer target: the video layout text parser and what the window does with a parsed text
// (fit to a canvas, rebuild, write back, select and toggle divider runs).
#include <cstddef>
#include <cstdint>
#include <string>

#include "Widgets/CQTVideoWindowLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CQTVideoWindowLayout layout(1, 1, 400, 300);
    if (!layout.ParseLayout(text))
        return 0;
    std::string written;
    layout.FormatLayout(written);
    const int width = 1 + static_cast<int>(size % 997);
    if (!layout.SetSize(width, 300))
        layout.RebuildCells();
    layout.FormatLayout(written);
    for (int i = 0; i < 4; ++i) {
        const int x = (i * 131 + static_cast<int>(size)) % (width + 10);
        if (layout.SelectDividerAt(x, (i * 71) % 310))
            layout.ToggleSelectedDividers();
    }
    CQTVideoWindowLayout other(2, 2, 640, 480);
    other.Assign(layout);
    other.SetRows(1 + static_cast<int>(size % 7));
    other.SetColumns(1 + static_cast<int>(size % 5));
    return 0;
}
