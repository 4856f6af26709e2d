#include "Excel/WorkbookLibs.h"

#include "os/RuntimeLib.h"

namespace {

XlsxWriterLib g_xlsx{};
ZipLib g_zip{};
FreeXlLib g_freexl{};

#define VX_BIND(table, fn) l.Bind(table.fn, #fn)

void BindXlsxWriter(os::RuntimeLib& l)
{
    VX_BIND(g_xlsx, workbook_new_opt);
    VX_BIND(g_xlsx, workbook_add_worksheet);
    VX_BIND(g_xlsx, workbook_close);
    VX_BIND(g_xlsx, worksheet_set_column);
    VX_BIND(g_xlsx, worksheet_write_blank);
    VX_BIND(g_xlsx, worksheet_write_string);
    VX_BIND(g_xlsx, worksheet_write_number);
    VX_BIND(g_xlsx, worksheet_write_boolean);
    VX_BIND(g_xlsx, worksheet_activate);
    VX_BIND(g_xlsx, lxw_strerror);
}

void BindZip(os::RuntimeLib& l)
{
    VX_BIND(g_zip, zip_open);
    VX_BIND(g_zip, zip_discard);
    VX_BIND(g_zip, zip_error_init_with_code);
    VX_BIND(g_zip, zip_error_strerror);
    VX_BIND(g_zip, zip_error_fini);
    VX_BIND(g_zip, zip_name_locate);
    VX_BIND(g_zip, zip_stat_index);
    VX_BIND(g_zip, zip_fopen_index);
    VX_BIND(g_zip, zip_fread);
    VX_BIND(g_zip, zip_fclose);
    VX_BIND(g_zip, zip_strerror);
    VX_BIND(g_zip, zip_file_strerror);
}

void BindFreeXl(os::RuntimeLib& l)
{
    VX_BIND(g_freexl, freexl_open);
    VX_BIND(g_freexl, freexl_close);
    VX_BIND(g_freexl, freexl_get_info);
    VX_BIND(g_freexl, freexl_get_worksheet_name);
    VX_BIND(g_freexl, freexl_select_active_worksheet);
    VX_BIND(g_freexl, freexl_worksheet_dimensions);
    VX_BIND(g_freexl, freexl_get_cell_value);
}

#undef VX_BIND

} // namespace

os::RuntimeLib& XlsxWriterRuntimeLib()
{
    static os::RuntimeLib lib(VX_XLSXWRITER_SONAME, BindXlsxWriter);
    return lib;
}

os::RuntimeLib& ZipRuntimeLib()
{
    static os::RuntimeLib lib(VX_ZIP_SONAME, BindZip);
    return lib;
}

os::RuntimeLib& FreeXlRuntimeLib()
{
    static os::RuntimeLib lib(VX_FREEXL_SONAME, BindFreeXl);
    return lib;
}

const XlsxWriterLib* LoadXlsxWriterLib() { return XlsxWriterRuntimeLib().Load() ? &g_xlsx : nullptr; }
const ZipLib* LoadZipLib() { return ZipRuntimeLib().Load() ? &g_zip : nullptr; }
const FreeXlLib* LoadFreeXlLib() { return FreeXlRuntimeLib().Load() ? &g_freexl : nullptr; }
