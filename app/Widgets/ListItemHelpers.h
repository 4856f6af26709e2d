// Setters of list cells from wide text, UTF-8 text and numbers. Each does nothing for a null list.
#pragma once

class CSFListCtrl;

void SetListItemText(CSFListCtrl* list, int row, int column, const wchar_t* text);
void SetListItemTextUtf8(CSFListCtrl* list, int row, int column, const char* text);
void SetListItemInt(CSFListCtrl* list, int row, int column, int value);
