// The workbook libraries opened on first use, not linked, so that the program does not load them
// at start: libxlsxwriter to store Office Open XML, libzip to read it, libfreexl to read BIFF.
#pragma once

#include <freexl.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <string>

namespace os {
class RuntimeLib;
}

struct XlsxWriterLib {
    decltype(&::workbook_new_opt) workbook_new_opt;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet;
    decltype(&::workbook_close) workbook_close;
    decltype(&::worksheet_set_column) worksheet_set_column;
    decltype(&::worksheet_write_blank) worksheet_write_blank;
    decltype(&::worksheet_write_string) worksheet_write_string;
    decltype(&::worksheet_write_number) worksheet_write_number;
    decltype(&::worksheet_write_boolean) worksheet_write_boolean;
    decltype(&::worksheet_activate) worksheet_activate;
    decltype(&::lxw_strerror) lxw_strerror;
};

struct ZipLib {
    decltype(&::zip_open) zip_open;
    decltype(&::zip_discard) zip_discard;
    decltype(&::zip_error_init_with_code) zip_error_init_with_code;
    decltype(&::zip_error_strerror) zip_error_strerror;
    decltype(&::zip_error_fini) zip_error_fini;
    decltype(&::zip_name_locate) zip_name_locate;
    decltype(&::zip_stat_index) zip_stat_index;
    decltype(&::zip_fopen_index) zip_fopen_index;
    decltype(&::zip_fread) zip_fread;
    decltype(&::zip_fclose) zip_fclose;
    decltype(&::zip_strerror) zip_strerror;
    decltype(&::zip_file_strerror) zip_file_strerror;
};

struct FreeXlLib {
    decltype(&::freexl_open) freexl_open;
    decltype(&::freexl_close) freexl_close;
    decltype(&::freexl_get_info) freexl_get_info;
    decltype(&::freexl_get_worksheet_name) freexl_get_worksheet_name;
    decltype(&::freexl_select_active_worksheet) freexl_select_active_worksheet;
    decltype(&::freexl_worksheet_dimensions) freexl_worksheet_dimensions;
    decltype(&::freexl_get_cell_value) freexl_get_cell_value;
};

// Each loads its library once (any thread). Null when it or one of its functions could not be
// loaded; the loader's Error() then says why, naming the library.
const XlsxWriterLib* LoadXlsxWriterLib();
const ZipLib* LoadZipLib();
const FreeXlLib* LoadFreeXlLib();

// The loaders themselves: their SetSoname() is the test seam, and Error() says why one failed.
os::RuntimeLib& XlsxWriterRuntimeLib();
os::RuntimeLib& ZipRuntimeLib();
os::RuntimeLib& FreeXlRuntimeLib();
