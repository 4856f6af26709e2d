// The shared parts of the search setting dialogs; see the header.
#include "Main/SearchRangeForm.h"

#include "Common/AppSettings.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CUserSearchSettingEventImp.h"
#include "Main/DeviceListPeers.h"
#include "Main/DeviceListSkins.h"
#include "Main/DeviceListText.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"

namespace {

CSFCheckBox* CreateBox(ISFCheckBoxEvent* sink, UINT id, const RECT& rect, bool on, void* wnd)
{
    ImageCheckBox check = MakeCheckSkin(L"Select_Check.png", L"Select_unCheck.png");
    CSFCheckBox* box = CreateSFCheckBox(sink);
    if (box) {
        box->Create("", 0x10010000, rect, wnd, id);
        box->SetSkin(&check);
        box->SetCheck(on ? 1 : 0);
    }
    return box;
}

void SetAddress(CSFIPAddressCtrl* ip, const std::wstring& text)
{
    if (ip)
        ip->SetAddress(VersionToInt(WideToUtf8(text)));
}

} // namespace

void SetUpSearchSettingDialog(CSFDialog* dialog)
{
    DialogStyle skin;
    FillCommonDialogSkin(skin);
    SetUpSkinnedDialog(dialog, skin, L"Setting", 600, 330);
}

CSFStatic* CreateSearchSettingLabel(const wchar_t* text, const RECT& rect, UINT align, void* wnd)
{
    CSFStatic* label = CreateSFStatic(nullptr);
    if (label) {
        label->Create(Tr(text), 0x10000000, rect, wnd, 0);
        label->SetTextAlignFlag(align);
    }
    return label;
}

void CreateSearchRangeControls(SearchRangeForm& form, const SearchRangePlaces& at, ISFButtonEvent* buttons,
                               ISFCheckBoxEvent* boxes, ISFIPAddressCtrlEvent* addresses, void* wnd)
{
    form.closeBtn = CreateCloseButton(buttons, wnd, 600, SearchRangeForm::ID_CLOSE);
    form.curNetBox = CreateBox(boxes, SearchRangeForm::ID_BROADCAST, at.curNetBox, CAppSettings::SearchBoadcast, wnd);
    form.curNetLabel = CreateSearchSettingLabel(L"current network search", at.curNetLabel, 0, wnd);
    form.otherNetBox = CreateBox(boxes, SearchRangeForm::ID_RANGE, at.otherNetBox, CAppSettings::SearchByIp, wnd);
    form.otherNetLabel = CreateSearchSettingLabel(L"other network search", at.otherNetLabel, 0, wnd);
    form.startLabel = CreateSearchSettingLabel(L"Start IP", at.startLabel, 0, wnd);
    form.startIp = CreateSFIPAddressCtrl(addresses);
    if (form.startIp)
        form.startIp->Create(0x10010000, at.startIp, wnd, SearchRangeForm::ID_START, false);
    form.endLabel = CreateSearchSettingLabel(L"End IP", at.endLabel, 0, wnd);
    form.endIp = CreateSFIPAddressCtrl(addresses);
    if (form.endIp)
        form.endIp->Create(0x10010000, at.endIp, wnd, SearchRangeForm::ID_END, false);
    ResetSearchAddresses(form);
}

void CreateSearchSettingOk(SearchRangeForm& form, ISFButtonEvent* sink, void* wnd)
{
    form.okBtn = CreateTextButton(sink, L"OK", 0x10010000, SFRectXYWH(520, 295, 72, 25), wnd, SearchRangeForm::ID_OK);
}

void ResetSearchAddresses(const SearchRangeForm& form)
{
    SetAddress(form.startIp, CAppSettings::SearchIpS);
    SetAddress(form.endIp, CAppSettings::SearchIpE);
}

void ResetSearchBoxes(const SearchRangeForm& form)
{
    if (form.curNetBox)
        form.curNetBox->SetCheck(CAppSettings::SearchBoadcast ? 1 : 0);
    if (form.otherNetBox)
        form.otherNetBox->SetCheck(CAppSettings::SearchByIp ? 1 : 0);
}

bool TakeSearchRange(const SearchRangeForm& form, IDeviceListPeers* peers, void* parent, SearchRangeChoice& choice)
{
    DWORD start = 0, end = 0;
    if (form.startIp)
        form.startIp->GetAddress(start);
    if (form.endIp)
        form.endIp->GetAddress(end);
    const bool broadcast = form.curNetBox && form.curNetBox->IsChecked();
    const bool range = form.otherNetBox && form.otherNetBox->IsChecked();
    choice.start = IpValueToText(start);
    if (range) {
        const int check = CheckSearchRange(start, end);
        if (check != 0) {
            if (peers)
                peers->ShowMessage(Tr(check == 1 ? L"IP Range is not valid!" : L"IP Range is too large!"),
                                   Tr(L"Error"), parent, 0);
            return false;
        }
        CAppSettings::SearchIpS = Utf8ToWide(choice.start.c_str());
        CAppSettings::SearchIpE = Utf8ToWide(IpValueToText(end).c_str());
    }
    CAppSettings::SearchBoadcast = broadcast;
    CAppSettings::SearchByIp = range;
    choice.mode = (broadcast ? 1 : 0) + (range ? 2 : 0);
    choice.count = static_cast<int>(end - start + 1);
    return true;
}
