// Reads a legacy BIFF workbook (.xls) into a CWorkbook: every worksheet's cell values.
#pragma once

#include <string>

#include "Excel/WorkbookBackend.h"

class CXlsReader {
public:
    // False on failure with the reason set; the workbook is then left partly filled.
    static bool Read(const std::string& path, CWorkbook* workbook, EWorkbookError* error, std::string* message);
};
