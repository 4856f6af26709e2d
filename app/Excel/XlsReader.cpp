#include "Excel/XlsReader.h"

#include <freexl.h>

namespace {

std::string FreeXlText(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return "file not found";
    case FREEXL_INSUFFICIENT_MEMORY:
        return "out of memory";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_CFBF_INVALID_SECTOR_SIZE:
        return "not a compound document";
    case FREEXL_CFBF_READ_ERROR:
    case FREEXL_CFBF_SEEK_ERROR:
        return "read error";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return "no workbook stream in the document";
    case FREEXL_BIFF_INVALID_BOF:
    case FREEXL_BIFF_INVALID_SST:
    case FREEXL_BIFF_ILLEGAL_SST_INDEX:
    case FREEXL_CRAFTED_FILE:
        return "damaged workbook";
    default:
        return "damaged workbook (code " + std::to_string(code) + ")";
    }
}

class CHandle {
public:
    ~CHandle()
    {
        if (m_handle)
            freexl_close(m_handle);
    }
    const void** Out() { return &m_handle; }
    const void* Get() const { return m_handle; }

private:
    const void* m_handle = nullptr;
};

}  // namespace

bool CXlsReader::Read(const std::string& path, CWorkbook* workbook, EWorkbookError* error, std::string* message)
{
    *error = EWorkbookError::Corrupt;
    CHandle xls;
    int rc = freexl_open(path.c_str(), xls.Out());
    if (rc != FREEXL_OK) {
        if (rc == FREEXL_BIFF_WORKBOOK_NOT_FOUND)
            *error = EWorkbookError::NotWorkbook;
        else if (rc == FREEXL_FILE_NOT_FOUND)
            *error = EWorkbookError::Unreadable;
        *message = FreeXlText(rc);
        return false;
    }
    unsigned int sheetCount = 0;
    if (freexl_get_info(xls.Get(), FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK || sheetCount == 0) {
        *message = "workbook has no sheets";
        return false;
    }
    unsigned int password = 0;
    if (freexl_get_info(xls.Get(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED) {
        *message = "workbook is protected by a password";
        return false;
    }
    for (unsigned int i = 0; i < sheetCount && i < 0xFFFF; ++i) {
        unsigned short index = static_cast<unsigned short>(i);
        const char* name = nullptr;
        freexl_get_worksheet_name(xls.Get(), index, &name);
        CWorksheet* sheet = workbook->Worksheets().Add(name ? name : "");
        rc = freexl_select_active_worksheet(xls.Get(), index);
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (rc == FREEXL_OK)
            rc = freexl_worksheet_dimensions(xls.Get(), &rows, &columns);
        if (rc != FREEXL_OK) {
            *message = FreeXlText(rc);
            return false;
        }
        for (unsigned int r = 0; r < rows && r < CWorksheet::kMaxRows; ++r) {
            for (unsigned short c = 0; c < columns && c < CWorksheet::kMaxColumns; ++c) {
                FreeXL_CellValue cell;
                rc = freexl_get_cell_value(xls.Get(), r, c, &cell);
                if (rc != FREEXL_OK) {
                    *message = FreeXlText(rc);
                    return false;
                }
                CCellValue value;
                switch (cell.type) {
                case FREEXL_CELL_INT:
                    value = CCellValue::FromNumber(cell.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    value = CCellValue::FromNumber(cell.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    value = CCellValue::FromText(cell.value.text_value ? cell.value.text_value : "");
                    break;
                default:
                    continue;
                }
                sheet->SetCell(static_cast<int>(r) + 1, c + 1, value);
            }
        }
    }
    // The legacy format's front sheet is not exposed by the reader: the first sheet opens in front.
    workbook->SetActiveIndex(1);
    *error = EWorkbookError::None;
    message->clear();
    return true;
}
