#include "Widgets/TreeTypeGroups.h"

#include "Common/DevClass.h"
#include "Widgets/SFTreeCtrl.h"

void* FindOrInsertTypeGroup(CSFTreeCtrl* tree, const std::wstring& group)
{
    void* groupItem = tree->FindChildItem(group.c_str(), SF_TVI_ROOT);
    if (groupItem)
        return groupItem;
    // Right after the nearest existing group before it; first when there is none.
    void* after = SF_TVI_LAST;
    for (std::wstring prev = GetPrevDevTypeTab(group); !prev.empty() && prev != group; prev = GetPrevDevTypeTab(prev)) {
        if (void* found = tree->FindChildItem(prev.c_str(), SF_TVI_ROOT)) {
            after = found;
            break;
        }
        if (prev == L"IPC")
            break;
    }
    groupItem = tree->InsertItem(group.c_str(), SF_TVI_ROOT, after);
    if (groupItem)
        tree->SetItemData(groupItem, DWORD(-1));
    return groupItem;
}
