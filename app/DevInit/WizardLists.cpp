// The wizard's device list parts; see the header.
#include "DevInit/WizardLists.h"

#include <cstring>

#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "DevInit/WizardSkins.h"
#include "Widgets/ListItemHelpers.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFView.h"

namespace {

constexpr DWORD kVisible = 0x10000000;
enum { COL_TYPE = 2, COL_MODEL, COL_IP, COL_MAC, COL_VERSION };

} // namespace

std::string WizardField(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

CSFListCtrl* CreateWizardList(ISFListCtrlEvent* sink, void* wnd, UINT id, bool sortable, CSFView*& frame)
{
    frame = CreateSFView(nullptr);
    frame->Create(nullptr, L"", kVisible, RECT{0, 0, 300, 300}, wnd, 0);
    frame->SetBGClr(0xF5EFED);
    ListCtrlStyle skin;
    FillWizardListSkin(skin);
    CSFListCtrl* list = CreateSFListCtrl(sink);
    list->SetSkin(&skin);
    list->Create(0x10010001, RECT{0, 0, 300, 300}, wnd, id, true);
    list->SetHeaderSortEnable(sortable ? 1 : 0);
    list->SetSortIndicatorShown(sortable ? 1 : 0);
    list->SetShowGrid(0);
    list->SetExtendedStyle(0x20);
    return list;
}

void LayoutWizardList(CSFListCtrl* list, CSFView* frame, int width, int height, int top, const double (&shares)[6])
{
    RECT listRect{18, top, width - 18, height - 53};
    RECT frameRect{16, top, width - 16, height - 50};
    if (list)
        list->MoveWindow(&listRect);
    if (frame)
        frame->MoveWindow(&frameRect);
    if (!list)
        return;
    const double w = listRect.right - listRect.left;
    for (int c = 0; c < 6; ++c)
        list->SetColumnWidth(c, static_cast<int>(w * shares[c]));
}

CSFStatic* CreateWizardCountLine(void* wnd, int top, const wchar_t* words, CSFStatic*& count)
{
    count = CreateSFStatic(nullptr);
    count->SetTextAlignFlag(2);
    count->Create(Tr(L"0"), kVisible, RECT{200, top, 230, top + 20}, wnd, 0);
    count->SetTextColor(0x0000FF);
    count->SetTextSize(16);
    CSFStatic* label = CreateSFStatic(nullptr);
    label->SetTextAlignFlag(0);
    label->Create(Tr(words), kVisible, RECT{240, top, 520, top + 20}, wnd, 0);
    label->SetTextSize(16);
    return label;
}

void SetWizardCount(CSFStatic* count, int value)
{
    wchar_t text[64] = {};
    IntToWide(value, text);
    if (count)
        count->SetStaticText(text);
}

void SetWizardDeviceCells(CSFListCtrl* list, int row, const std::string& type, const DEVICE_NET_INFO_EX& info)
{
    SetListItemTextUtf8(list, row, COL_TYPE, type.c_str());
    SetListItemTextUtf8(list, row, COL_MODEL, WizardField(info.szDetailName, sizeof info.szDetailName).c_str());
    SetListItemTextUtf8(list, row, COL_IP, WizardField(info.szIpAddr, sizeof info.szIpAddr).c_str());
    SetListItemTextUtf8(list, row, COL_MAC, WizardField(info.szMacAddr, sizeof info.szMacAddr).c_str());
    SetListItemTextUtf8(list, row, COL_VERSION, WizardField(info.szSoftVersion, sizeof info.szSoftVersion).c_str());
}
