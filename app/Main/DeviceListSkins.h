// Skin records shared by the device list page and its dialogs.
#pragma once

#include "Widgets/SFSkinStyle.h"

// The framed white dialog skin of the device list's dialogs.
void FillCommonDialogSkin(DialogStyle& style);
// Normal, hover, pressed and disabled images of a button.
ImageButtonStyle MakeButtonSkin(const wchar_t* normal, const wchar_t* hover, const wchar_t* pressed,
                                const wchar_t* disabled);
// Check-style radio images: three checked, three unchecked, then the two disabled ones.
ImageRadioBox MakeRadioSkin(const wchar_t* checked, const wchar_t* unchecked, const wchar_t* disabledChecked,
                            const wchar_t* disabledUnchecked);
ImageCheckBox MakeCheckSkin(const wchar_t* checked, const wchar_t* unchecked);
