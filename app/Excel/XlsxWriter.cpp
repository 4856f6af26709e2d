#include "Excel/XlsxWriter.h"

#include "Excel/WorkbookLibs.h"
#include "os/RuntimeLib.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace {

// Texts keep "_xHHHH_" for characters XML cannot hold, so a literal "_xHHHH_" is escaped too.
std::string EscapeText(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n') {
            char buf[8];
            std::snprintf(buf, sizeof buf, "_x%04X_", c);
            out += buf;
            continue;
        }
        if (c == '_' && i + 7 <= text.size() && text[i + 1] == 'x' && text[i + 6] == '_' &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])) && std::isxdigit(static_cast<unsigned char>(text[i + 3])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 4])) && std::isxdigit(static_cast<unsigned char>(text[i + 5])))
            out += "_x005F";
        out += static_cast<char>(c);
    }
    return out;
}

}  // namespace

bool CXlsxWriter::Write(const CWorkbook& workbook, const std::string& path, std::string* message)
{
    const XlsxWriterLib* lib = LoadXlsxWriterLib();
    if (!lib) {
        *message = XlsxWriterRuntimeLib().Error();
        return false;
    }
    const XlsxWriterLib& x = *lib;
    std::string dir = path.substr(0, path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    if (dir.empty())
        dir = ".";
    lxw_workbook_options options = {};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = const_cast<char*>(dir.c_str());
    lxw_workbook* wb = x.workbook_new_opt(path.c_str(), &options);
    if (!wb) {
        *message = "cannot start the workbook";
        return false;
    }
    const CWorksheets& sheets = workbook.Worksheets();
    lxw_error err = LXW_NO_ERROR;
    for (int i = 1; i <= sheets.Count() && err == LXW_NO_ERROR; ++i) {
        const CWorksheet* sheet = sheets.Item(i);
        lxw_worksheet* ws = x.workbook_add_worksheet(wb, sheet->Name().c_str());
        if (!ws)
            ws = x.workbook_add_worksheet(wb, nullptr);  // a name the format refuses
        if (!ws) {
            err = LXW_ERROR_MEMORY_MALLOC_FAILED;
            break;
        }
        for (const auto& w : sheet->ColumnWidths()) {
            lxw_col_t col = static_cast<lxw_col_t>(w.first - 1);
            x.worksheet_set_column(ws, col, col, w.second, nullptr);
        }
        for (const auto& cell : sheet->Cells()) {
            lxw_row_t row = static_cast<lxw_row_t>(cell.first.first - 1);
            lxw_col_t col = static_cast<lxw_col_t>(cell.first.second - 1);
            const CCellValue& v = cell.second;
            switch (v.GetKind()) {
            case CCellValue::Text:
                err = v.GetText().empty() ? x.worksheet_write_blank(ws, row, col, nullptr)
                                          : x.worksheet_write_string(ws, row, col, EscapeText(v.GetText()).c_str(), nullptr);
                break;
            case CCellValue::Number:
                err = x.worksheet_write_number(ws, row, col, v.GetNumber(), nullptr);
                break;
            case CCellValue::Bool:
                err = x.worksheet_write_boolean(ws, row, col, v.GetNumber() != 0, nullptr);
                break;
            case CCellValue::Empty:
                break;
            }
            // A text beyond the format's length limit is refused: that cell stays empty.
            if (err == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
                err = LXW_NO_ERROR;
            if (err != LXW_NO_ERROR)
                break;
        }
        if (i == workbook.ActiveIndex())
            x.worksheet_activate(ws);
    }
    lxw_error closeErr = x.workbook_close(wb);
    if (err == LXW_NO_ERROR)
        err = closeErr;
    if (err != LXW_NO_ERROR) {
        *message = x.lxw_strerror(err);
        return false;
    }
    return true;
}
