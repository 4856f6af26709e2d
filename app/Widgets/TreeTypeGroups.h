#pragma once
// Device trees grouped by class: IPC, SD, DVR, NVR, Others, in that order, and the device picker
// panels built round them (a title strip, a filter field with its button, the tree).
#include <string>

#include "Widgets/SFTypes.h"

class CSFButton;
class CSFEditCtrl;
class CSFPictureCtrl;
class CSFTreeCtrl;
class ISFTreeCtrlEvent;

// The root item of a class group, inserted after the nearest earlier group when missing.
// Returns null when the tree refuses the item.
void* FindOrInsertTypeGroup(CSFTreeCtrl* tree, const std::wstring& group);

// A picker's tree with check boxes, its rows in the skin's dark grey on white; null when none.
CSFTreeCtrl* CreateDeviceTree(ISFTreeCtrlEvent* sink, const RECT& rect, void* wnd, UINT id);
// Ticked devices: the items under the groups.
int CountCheckedDevices(const CSFTreeCtrl* tree);
// A device's outcome after its row: the ok picture for 1, the error picture otherwise.
void SetDeviceResultIcon(CSFTreeCtrl* tree, void* item, int result);

// Lays a picker panel of cx x cy out: the title strip across the top, in it the filter field and
// its button at the right, the tree below. Nothing without the filter field.
void LayoutDevicePicker(int cx, int cy, CSFPictureCtrl* title, CSFEditCtrl* filter, CSFButton* filterBtn,
                        CSFTreeCtrl* tree);
