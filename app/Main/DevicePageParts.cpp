// Shared parts of the device list pages; see the header.
#include "Main/DevicePageParts.h"

#include "Common/Translate.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFSkinStyle.h"
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

template <class Control>
void Place(Control* control, int l, int t, int r, int b)
{
    if (control) {
        RECT rc = SFRectLTRB(l, t, r, b);
        control->MoveWindow(&rc);
    }
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
    Place(list, 8, 76, cx - 8, cy - 53);
    Place(back, 0, 76, cx, cy - 50);
}

void CreateSelectedCountLine(ISFStaticEvent* sink, void* wnd, CSFStatic*& star, CSFStatic*& count,
                             CSFStatic*& words)
{
    star = CreateLineLabel(sink, wnd, L"*", 2, 0x8D8DFF, 20, true);
    count = CreateLineLabel(sink, wnd, L"0", 1, 0xB7B7B7, 15, false);
    words = CreateLineLabel(sink, wnd, L"devices ware selected", 0, 0xB7B7B7, 15, false);
}

void PlaceSelectedCountLine(int left, int cy, CSFStatic* star, CSFStatic* count, CSFStatic* words)
{
    Place(star, left, cy - 31, left + 10, cy - 11);
    Place(count, left + 10, cy - 31, left + 50, cy - 11);
    Place(words, left + 50, cy - 31, left + 250, cy - 11);
}
