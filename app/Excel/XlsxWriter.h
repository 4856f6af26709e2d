// Writes a CWorkbook as Office Open XML: sheet names, cell values, column widths, active sheet.
#pragma once

#include <string>

#include "Excel/Workbook.h"

class CXlsxWriter {
public:
    // Writes to `path` (replacing it); false with a message on failure, also when the writer
    // library cannot be loaded.
    static bool Write(const CWorkbook& workbook, const std::string& path, std::string* message);
};
