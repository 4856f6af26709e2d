// Skin records shared by the device list page and its dialogs.
#pragma once

#include <string>

#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

// The framed white dialog skin of the device list's dialogs.
void FillCommonDialogSkin(DialogStyle& style);
ImageCheckBox MakeCheckSkin(const wchar_t* checked, const wchar_t* unchecked);
// Skin path ("/icon_ipc.png", ...) of a device type text's class icon; every class has one.
const wchar_t* DevClassIconName(const std::string& typeText);
