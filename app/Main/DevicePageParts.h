// Parts the device list pages (the search page, the local upgrade page) build alike: the list's
// tinted back and skin, the start of a device's row, and the "* 0 devices ware selected" line
// under the list.
#pragma once

#include <string>

#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFTypes.h"

struct DEVICE_NET_INFO_EX;
class CSFListCtrl;
class CSFStatic;
class CSFView;
class ISFStaticEvent;

// The list skin of the device pages; selected is the colour of the selected rows.
void FillDeviceListSkin(ListCtrlStyle& skin, const wchar_t* selected);

// The tick box images of the list's header and rows.
ImageRadioBox DeviceCheckImages();

// Adds a row for a device of a known class at the end of the list, with its tick box and its
// number (from 1); the type the list shows for it goes to type. -1, and no row, for a device of no
// known class, or without a list or a device.
int StartDeviceRow(CSFListCtrl* list, const DEVICE_NET_INFO_EX* info, int checkColumn, int numberColumn,
                   std::string& type);
// The ticked rows (none without a list).
int CountTickedRows(CSFListCtrl* list);

// Empties the list: no rows, the header box clear, sorting on without an arrow.
void ClearDeviceRows(CSFListCtrl* list);

// The tinted back of the list; made before the list, so that it lies under it.
CSFView* CreateDeviceListBack(void* wnd);

// Places the list and its back in a page of cx x cy, from the filter strip (76 high) down to the
// button row (the last 53 pixels).
void PlaceDeviceList(CSFListCtrl* list, CSFView* back, int cx, int cy);

// The line: a red star, the count (at "0") and its words.
void CreateSelectedCountLine(ISFStaticEvent* sink, void* wnd, CSFStatic*& star, CSFStatic*& count,
                             CSFStatic*& words);
// Shows value in the line's count.
void ShowSelectedCount(CSFStatic* count, int value);
// Places the line in the button row of a page cy high, its left edge at left.
void PlaceSelectedCountLine(int left, int cy, CSFStatic* star, CSFStatic* count, CSFStatic* words);
