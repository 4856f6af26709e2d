#include "Main/DeviceListSkins.h"

#include "Common/DevClass.h"

void FillCommonDialogSkin(DialogStyle& s) { FillWhiteDialogSkin(s, 30); }

ImageCheckBox MakeCheckSkin(const wchar_t* checked, const wchar_t* unchecked)
{
    ImageCheckBox s;
    s.strCheckedNormal = s.strCheckedHover = s.strCheckedPressed = checked;
    s.strUncheckedNormal = s.strUncheckedHover = s.strUncheckedPressed = unchecked;
    return s;
}

const wchar_t* DevClassIconName(const std::string& typeText)
{
    switch (GetDevClass(typeText)) {
    case DEV_CLASS_IPC: return L"/icon_ipc.png";
    case DEV_CLASS_SD: return L"/icon_sd.png";
    case DEV_CLASS_DVR: return L"/icon_dvr.png";
    case DEV_CLASS_NVR: return L"/icon_nvr.png";
    // The other classes share a plain device picture.
    default: return L"/icon_other.png";
    }
}
