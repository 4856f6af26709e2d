#pragma once
// Device trees grouped by class: IPC, SD, DVR, NVR, Others, in that order.
#include <string>

class CSFTreeCtrl;

// The root item of a class group, inserted after the nearest earlier group when missing.
// Returns null when the tree refuses the item.
void* FindOrInsertTypeGroup(CSFTreeCtrl* tree, const std::wstring& group);
