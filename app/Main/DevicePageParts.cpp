// Shared parts of the device list pages; see the header.
#include "Main/DevicePageParts.h"

#include "Common/DevClass.h"
#include "Common/DeviceInfo.h"
#include "Common/Translate.h"
#include "Main/DeviceListText.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFView.h"

namespace {

CSFStatic* CreateLineLabel(ISFStaticEvent* sink, void* wnd, const wchar_t* text, UINT align, UINT colour, int size,
                           bool bold)
{
    CSFStatic* s = CreateSFStatic(sink);
    if (s) {
        s->Create(Tr(text), 0x10000000, SFRectLTRB(0, 0, 0, 0), wnd, 0);
        s->SetTextAlignFlag(align);
        s->SetTextColor(colour);
        s->SetTextSize(size);
        if (bold)
            s->SetTextBold(1);
    }
    return s;
}

} // namespace

void FillDeviceListSkin(ListCtrlStyle& skin, const wchar_t* selected)
{
    skin.strEvenRowColor = L"f6f7fa";
    skin.strOddRowColor = L"FcFcFc";
    skin.strSpare1 = selected;
    skin.strSpare2 = L"FAB400";
    skin.strSpare3 = L"000000";
    skin.nValue0 = 13;
    skin.nValue1 = 13;
    skin.nHeaderHeight = 40;
    skin.nRowHeight = 30;
}

ImageRadioBox DeviceCheckImages()
{
    return MakeRadioSkin(L"Select_Check.png", L"Select_unCheck.png", L"Select_Unable.png", L"Select_Unable.png");
}

int StartDeviceRow(CSFListCtrl* list, const DEVICE_NET_INFO_EX* info, int checkColumn, int numberColumn,
                   std::string& type)
{
    if (!list || !info)
        return -1;
    type = NormalizeDevType(FIELD_TEXT(info->szTypeName), FIELD_TEXT(info->szModelName));
    if (type.empty())
        return -1;
    const int row = list->GetItemCount();
    list->InsertItem(row, L"");
    ImageRadioBox check = DeviceCheckImages();
    list->SetItemCheckWidget(row, checkColumn, check);
    list->SetItemText(row, numberColumn, std::to_wstring(row + 1).c_str());
    return row;
}

int CountTickedRows(CSFListCtrl* list)
{
    int count = 0;
    if (list)
        for (int row = 0; row < list->GetItemCount(); ++row)
            if (list->IsCheck(row))
                ++count;
    return count;
}

void ClearDeviceRows(CSFListCtrl* list)
{
    if (!list)
        return;
    list->DeleteAllItems();
    list->SetAllCheck(0);
    list->SetHeaderSortEnable(1);
    list->SetSortIndicatorShown(0);
}

CSFView* CreateDeviceListBack(void* wnd)
{
    CSFView* back = CreateSFView(nullptr);
    if (back) {
        back->SetBGClr(0xF5EFED);
        back->Create(nullptr, L"", 0x10000000, SFRectLTRB(0, 0, 300, 300), wnd, 0);
    }
    return back;
}

void PlaceDeviceList(CSFListCtrl* list, CSFView* back, int cx, int cy)
{
    SFPlace(list, 8, 76, cx - 8, cy - 53);
    SFPlace(back, 0, 76, cx, cy - 50);
}

void CreateSelectedCountLine(ISFStaticEvent* sink, void* wnd, CSFStatic*& star, CSFStatic*& count,
                             CSFStatic*& words)
{
    star = CreateLineLabel(sink, wnd, L"*", 2, 0x8D8DFF, 20, true);
    count = CreateLineLabel(sink, wnd, L"0", 1, 0xB7B7B7, 15, false);
    words = CreateLineLabel(sink, wnd, L"devices ware selected", 0, 0xB7B7B7, 15, false);
}

void ShowSelectedCount(CSFStatic* count, int value)
{
    if (count)
        count->SetStaticText(std::to_wstring(value).c_str());
}

void PlaceSelectedCountLine(int left, int cy, CSFStatic* star, CSFStatic* count, CSFStatic* words)
{
    SFPlace(star, left, cy - 31, left + 10, cy - 11);
    SFPlace(count, left + 10, cy - 31, left + 50, cy - 11);
    SFPlace(words, left + 50, cy - 31, left + 250, cy - 11);
}
