// What the two search setting dialogs (the search page's and the main window's) share: the
// "Setting" window, the broadcast and address range choice with its controls, and taking that
// choice into the settings.
#pragma once

#include <string>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFIPAddressCtrl.h"
#include "Widgets/SFStatic.h"

class IDeviceListPeers;

struct SearchRangeForm {
    enum { ID_BROADCAST = 1079, ID_RANGE = 1080, ID_START = 1081, ID_END = 1082, ID_OK = 505, ID_CLOSE = 2 };

    CSFButton *closeBtn = nullptr, *okBtn = nullptr;
    CSFCheckBox *curNetBox = nullptr, *otherNetBox = nullptr;
    CSFStatic *curNetLabel = nullptr, *otherNetLabel = nullptr, *startLabel = nullptr, *endLabel = nullptr;
    CSFIPAddressCtrl *startIp = nullptr, *endIp = nullptr;
};

// Where each dialog puts the range controls.
struct SearchRangePlaces {
    RECT curNetBox, curNetLabel, otherNetBox, otherNetLabel, startLabel, startIp, endLabel, endIp;
};

// The 600x330 "Setting" dialog, skinned, centred and hidden (dialog is set before Create builds).
void SetUpSearchSettingDialog(CSFDialog* dialog);

// A label of the dialogs: the translation of text at rect, aligned by align.
CSFStatic* CreateSearchSettingLabel(const wchar_t* text, const RECT& rect, UINT align, void* wnd);

// The close button, the boxes (ticked as the settings say), their labels, the address labels and
// the address controls (set as the settings say), in this order.
void CreateSearchRangeControls(SearchRangeForm& form, const SearchRangePlaces& at, ISFButtonEvent* buttons,
                               ISFCheckBoxEvent* boxes, ISFIPAddressCtrlEvent* addresses, void* wnd);
// The OK button at the bottom right, made last so that it comes last in the tab order.
void CreateSearchSettingOk(SearchRangeForm& form, ISFButtonEvent* sink, void* wnd);

// The addresses, and the boxes, back to what the settings hold.
void ResetSearchAddresses(const SearchRangeForm& form);
void ResetSearchBoxes(const SearchRangeForm& form);

// The choice of the form, for the search.
struct SearchRangeChoice {
    int mode = 0;     // 1 broadcast, 2 address range, 3 both
    int count = 0;    // addresses in the range
    std::string start; // first address
};

// Takes the choice into the settings. A ticked range that is not valid or too large is refused
// with an error told through peers (when there are any) over parent: false, settings unchanged.
bool TakeSearchRange(const SearchRangeForm& form, IDeviceListPeers* peers, void* parent, SearchRangeChoice& choice);
