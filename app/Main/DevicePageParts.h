// Parts the device list pages (the search page, the local upgrade page) build alike: the list's
// tinted back and skin, and the "* 0 devices ware selected" line under the list.
#pragma once

#include "Widgets/SFTypes.h"

struct ListCtrlStyle;
class CSFListCtrl;
class CSFStatic;
class CSFView;
class ISFStaticEvent;

// The list skin of the device pages; selected is the colour of the selected rows.
void FillDeviceListSkin(ListCtrlStyle& skin, const wchar_t* selected);

// The tinted back of the list; made before the list, so that it lies under it.
CSFView* CreateDeviceListBack(void* wnd);

// Places the list and its back in a page of cx x cy, from the filter strip (76 high) down to the
// button row (the last 53 pixels).
void PlaceDeviceList(CSFListCtrl* list, CSFView* back, int cx, int cy);

// The line: a red star, the count (at "0") and its words.
void CreateSelectedCountLine(ISFStaticEvent* sink, void* wnd, CSFStatic*& star, CSFStatic*& count,
                             CSFStatic*& words);
// Places the line in the button row of a page cy high, its left edge at left.
void PlaceSelectedCountLine(int left, int cy, CSFStatic* star, CSFStatic* count, CSFStatic* words);
