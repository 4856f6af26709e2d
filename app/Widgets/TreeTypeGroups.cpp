#include "Widgets/TreeTypeGroups.h"

#include "Common/DevClass.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFSkinStyle.h"
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

CSFTreeCtrl* CreateDeviceTree(ISFTreeCtrlEvent* sink, const RECT& rect, void* wnd, UINT id)
{
    CSFTreeCtrl* tree = CreateSFTreeCtrl(sink);
    if (tree) {
        tree->Create(0x10000004, rect, wnd, id, 0, 1);
        // Row text in the dark grey of the skin: the framework draws rows on white.
        UITreeCtrlStyle style{24, 14, 14, 14, 14, 24, L"scrollbar.png", L"treeCheckbox.png", L"treeState.png",
                              L"FFFFFF", L"5c6576", L"5c6576", L"00FF00", L"mac_close_nor.png",
                              L"mac_close_nor.png"};
        tree->SetSkin(&style);
    }
    return tree;
}

int CountCheckedDevices(const CSFTreeCtrl* tree)
{
    if (!tree)
        return 0;
    int count = 0;
    for (void* g = tree->GetChildItem(SF_TVI_ROOT); g; g = tree->GetNextSiblingItem(g))
        for (void* d = tree->GetChildItem(g); d; d = tree->GetNextSiblingItem(d))
            if (tree->GetCheck(d))
                ++count;
    return count;
}

void SetDeviceResultIcon(CSFTreeCtrl* tree, void* item, int result)
{
    if (tree && item)
        tree->SetItemIconBack(item, result == 1 ? L"/ok.png" : L"/error.png");
}

void LayoutDevicePicker(int cx, int cy, CSFPictureCtrl* title, CSFEditCtrl* filter, CSFButton* filterBtn,
                        CSFTreeCtrl* tree)
{
    constexpr int kTitleHeight = 34;
    constexpr int kFieldHeight = 24;
    if (!filter)
        return;
    RECT strip = SFRectLTRB(1, 1, cx - 2, kTitleHeight);
    if (title)
        title->MoveWindow(&strip);
    const int top = (kTitleHeight - 1 - kFieldHeight) / 2;
    RECT button = SFRectLTRB(cx - 26, top, cx - 2, top + kFieldHeight);
    if (filterBtn)
        filterBtn->MoveWindow(&button);
    RECT edit = SFRectLTRB(1, top, cx - 26, top + kFieldHeight);
    filter->MoveWindow(&edit);
    RECT rows = SFRectLTRB(0, kTitleHeight, cx - 1, cy - 1);
    if (tree)
        tree->MoveWindow(&rows);
}
