#include "Widgets/ListItemHelpers.h"

#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Widgets/SFListCtrl.h"

void SetListItemText(CSFListCtrl* list, int row, int column, const wchar_t* text)
{
    if (list)
        list->SetItemText(row, column, text);
}

void SetListItemTextUtf8(CSFListCtrl* list, int row, int column, const char* text)
{
    if (!list)
        return;
    SF_SOFT_BASE::CSFStreamConvert convert(text ? text : "", 65001);
    list->SetItemText(row, column, convert.GetWideChar() ? convert.GetWideChar() : L"");
}

void SetListItemInt(CSFListCtrl* list, int row, int column, int value)
{
    if (!list)
        return;
    wchar_t buffer[64] = {};
    WideFormat(buffer, 64, L"%d", value);
    list->SetItemText(row, column, buffer);
}
