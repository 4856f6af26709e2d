// Parts of the wizard's two device list pages (uninitialised devices, activation results): the
// framed list, its layout, the count line above it and the device cells of a row.
#pragma once

#include <cstddef>
#include <string>

#include "Common/DeviceInfo.h"
#include "Widgets/SFTypes.h"

class CSFListCtrl;
class CSFStatic;
class CSFView;
class ISFListCtrlEvent;

// The text of a fixed-size record field, up to its first NUL.
std::string WizardField(const char* text, size_t size);

// The device list in wnd on its tinted frame (returned in frame); sortable lists sort on header clicks.
CSFListCtrl* CreateWizardList(ISFListCtrlEvent* sink, void* wnd, UINT id, bool sortable, CSFView*& frame);

// Places the list from top down to 53 pixels above the page's bottom, 18 from its sides, the frame
// round it, and gives the first six columns the given shares of the list's width.
void LayoutWizardList(CSFListCtrl* list, CSFView* frame, int width, int height, int top, const double (&shares)[6]);

// The line above the list: the number (blue, "0" at first) then words, at top. Returns the words.
CSFStatic* CreateWizardCountLine(void* wnd, int top, const wchar_t* words, CSFStatic*& count);
// Shows count in the number of that line.
void SetWizardCount(CSFStatic* count, int value);

// Type (given), model, IP, MAC and version of a device in the row's columns 2 to 6.
void SetWizardDeviceCells(CSFListCtrl* list, int row, const std::string& type, const DEVICE_NET_INFO_EX& info);
