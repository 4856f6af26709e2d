#include "Widgets/SkinRecords.h"

#include <string>

namespace {

// What every framed dialog has: the frame image, a title band of the given height over a tiled
// body, the close button's pieces and the white Tahoma title.
void FillDialogFrame(DialogStyle& s, const wchar_t* body, int titleHeight)
{
    const std::wstring h = std::to_wstring(titleHeight);
    s = DialogStyle();
    s.strFrameImage = L"Frame.png";
    s.strBkImage = body;
    s.strBkMode = L"tile";
    s.strBkColor = L"000000";
    s.strTopLeftRect = L"0,0,10," + h;
    s.strTopLeftMode = L"tile";
    s.strTopRect = L"30,0,1," + h;
    s.strTopMode = L"stretch";
    s.strTopRightRect = L"138,0,10," + h;
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
}

} // namespace

void FillFramedDialogSkin(DialogStyle& s)
{
    FillDialogFrame(s, L"background.png", 30);
    s.strLeftTopRect = L"0,37,1,30";
    s.strLeftRect = L"0,37,1,30";
    s.strLeftBottomRect = L"0,37,1,40";
    s.strBottomLeftRect = L"0,130,10,40";
    s.strBottomRect = L"10,130,30,40";
    s.strBottomRightRect = L"138,130,10,40";
    s.strRightBottomRect = L"147,37,1,40";
    s.strRightRect = L"147,37,1,30";
    s.strRightTopRect = L"147,37,1,30";
}

void FillWhiteDialogSkin(DialogStyle& s, int titleHeight)
{
    FillDialogFrame(s, L"bgColorWhite.png", titleHeight);
    s.strLeftTopRect = L"0,27,1,80";
    s.strLeftRect = L"0,110,1,20";
    s.strLeftBottomRect = L"0,110,1,20";
    s.strBottomLeftRect = L"0,139,10,1";
    s.strBottomRect = L"10,139,1,1";
    s.strBottomRightRect = L"138,139,10,1";
    s.strRightBottomRect = L"147,110,1,20";
    s.strRightRect = L"147,110,1,20";
    s.strRightTopRect = L"147,27,1,80";
    s.strSpare5 = L"0,0,-1,-1";
}

ImageButtonStyle MakeButtonSkin(const wchar_t* normal, const wchar_t* hover, const wchar_t* pressed,
                                const wchar_t* disabled)
{
    ImageButtonStyle s;
    s.strNormal = normal;
    s.strHover = hover;
    s.strPressed = pressed;
    s.strDisabled = disabled;
    return s;
}

ImageRadioBox MakeRadioSkin(const wchar_t* checked, const wchar_t* unchecked, const wchar_t* disabledChecked,
                            const wchar_t* disabledUnchecked)
{
    ImageRadioBox s;
    s.strCheckedNormal = s.strCheckedHover = s.strCheckedPressed = checked;
    s.strUncheckedNormal = s.strUncheckedHover = s.strUncheckedPressed = unchecked;
    s.strCheckedDisabled = disabledChecked;
    s.strUncheckedDisabled = disabledUnchecked;
    return s;
}
