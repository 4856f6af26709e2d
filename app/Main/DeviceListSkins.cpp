#include "Main/DeviceListSkins.h"

#include "Common/DevClass.h"

void FillCommonDialogSkin(DialogStyle& s)
{
    s = DialogStyle();
    s.strFrameImage = L"Frame.png";
    s.strBkImage = L"bgColorWhite.png";
    s.strBkMode = L"tile";
    s.strBkColor = L"000000";
    s.strTopLeftRect = L"0,0,10,30";
    s.strTopLeftMode = L"tile";
    s.strTopRect = L"30,0,1,30";
    s.strTopMode = L"stretch";
    s.strTopRightRect = L"138,0,10,30";
    s.strLeftTopRect = L"0,27,1,80";
    s.strLeftRect = L"0,110,1,20";
    s.strLeftBottomRect = L"0,110,1,20";
    s.strBottomLeftRect = L"0,139,10,1";
    s.strBottomRect = L"10,139,1,1";
    s.strBottomRightRect = L"138,139,10,1";
    s.strRightBottomRect = L"147,110,1,20";
    s.strRightRect = L"147,110,1,20";
    s.strRightTopRect = L"147,27,1,80";
    s.strCloseNormalRect = L"11,41,23,14";
    s.strCloseHoverRect = L"41,41,23,14";
    s.strClosePressedRect = L"71,41,23,14";
    s.strFontName = L"Tahoma";
    s.strFontSize = L"11";
    s.strFontWeight = L"normal";
    s.strTitleColor = L"FFFFFF";
    s.strTitleColor2 = L"999999";
    s.strTitleAlign = L"left";
    s.strTitleRect = L"10,0,1000,27";
    s.bStyleFlag = true;
    s.strSpare5 = L"0,0,-1,-1";
}

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
