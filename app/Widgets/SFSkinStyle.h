// Skin records: image names (relative to the skin folder), rectangles "x,y,w,h", colours
// "RRGGBB", draw modes "stretch"/"tile" and pairs "a,b", filled by pages and applied by the
// controls' SetSkin. Integer fields are left unset by the constructor.
#pragma once

#include <cstdint>
#include <string>

struct DialogStyle {
    std::wstring strFrameImage;
    std::wstring strBkImage;
    std::wstring strBkMode;
    std::wstring strBkColor;
    std::wstring strTopLeftRect, strTopLeftMode;
    std::wstring strTopRect, strTopMode;
    std::wstring strTopRightRect, strTopRightMode;
    std::wstring strLeftTopRect, strLeftTopMode;
    std::wstring strLeftRect, strLeftMode;
    std::wstring strLeftBottomRect, strLeftBottomMode;
    std::wstring strBottomLeftRect, strBottomLeftMode;
    std::wstring strBottomRect, strBottomMode;
    std::wstring strBottomRightRect, strBottomRightMode;
    std::wstring strRightBottomRect, strRightBottomMode;
    std::wstring strRightRect, strRightMode;
    std::wstring strRightTopRect, strRightTopMode;
    std::wstring strBtn4NormalRect, strBtn4HoverRect, strBtn4PressedRect;
    std::wstring strMinNormalRect, strMinHoverRect, strMinPressedRect;
    std::wstring strMaxNormalRect, strMaxHoverRect, strMaxPressedRect;
    std::wstring strCloseNormalRect, strCloseHoverRect, strClosePressedRect;
    std::wstring strSpare1;
    std::wstring strBtn4Pos;
    std::wstring strMinPos;
    std::wstring strMaxPos;
    std::wstring strClosePos;
    std::wstring strFontName;
    std::wstring strFontSize;
    std::wstring strFontWeight;
    std::wstring strTitleColor;
    std::wstring strTitleColor2;
    std::wstring strSpare2, strSpare3, strSpare4;
    std::wstring strTitleAlign;
    std::wstring strTitleRect;
    bool bStyleFlag;
    std::wstring strSpare5;
    std::wstring strRoundCorner;
    std::wstring strDlgSize;
    std::wstring strCloseNormalImage, strCloseHoverImage, strClosePressedImage;
    std::wstring strMinNormalImage, strMinHoverImage, strMinPressedImage;
    std::wstring strMaxNormalImage, strMaxHoverImage, strMaxPressedImage;
    std::wstring strBtn4NormalImage, strBtn4HoverImage, strBtn4PressedImage;
};

struct ImageButtonStyle {
    std::wstring strNormal;
    std::wstring strHover;
    std::wstring strPressed;
    std::wstring strDisabled;
    std::wstring strSpare1, strSpare2, strSpare3, strSpare4;
};

struct ImageRadioBox {
    std::wstring strCheckedNormal;
    std::wstring strCheckedHover;
    std::wstring strCheckedPressed;
    std::wstring strUncheckedNormal;
    std::wstring strUncheckedHover;
    std::wstring strUncheckedPressed;
    std::wstring strCheckedDisabled;
    std::wstring strUncheckedDisabled;
};

struct ImageCheckBox {
    std::wstring strCheckedNormal;
    std::wstring strCheckedHover;
    std::wstring strCheckedPressed;
    std::wstring strUncheckedNormal;
    std::wstring strUncheckedHover;
    std::wstring strUncheckedPressed;
    std::wstring strCheckedDisabled;
    std::wstring strUncheckedDisabled;
};

struct ImageComboBoxStyle {
    std::wstring strImage;
    std::wstring strNormalRect;
    std::wstring strHoverRect;
    std::wstring strDropDownRect;
    std::wstring strDropUpRect;
    std::wstring strDisabledRect;
    std::wstring strExtraRect1, strExtraRect2;
    std::wstring strNormalMode;
    std::wstring strHoverMode;
    std::wstring strDropUpMode;
    std::wstring strDropDownMode;
    std::wstring strDisabledMode;
    std::wstring strExtraMode1, strExtraMode2;
};

struct ImageSliderStyle {
    std::wstring strImage;
    std::wstring strPieceRect1, strPieceRect2, strPieceRect3, strPieceRect4, strPieceRect5, strPieceRect6;
    std::wstring strSpare1, strSpare2, strSpare3, strSpare4, strSpare5, strSpare6;
};

struct ImageDateTimeStyle {
    std::wstring strSpare1;
    std::wstring strFrameImage;
    std::wstring strDownImage;
    std::wstring strDownHoverImage;
    std::wstring strDownPressedImage;
    std::wstring strDownDisabledImage;
    std::wstring strUpImage;
    std::wstring strUpHoverImage;
    std::wstring strUpPressedImage;
    std::wstring strUpDisabledImage;
    std::wstring strSpare2, strSpare3, strSpare4;
};

struct UITreeCtrlStyle {
    int32_t nValue0, nValue1, nValue2, nValue3, nValue4, nValue5;
    std::wstring strScrollImage;
    std::wstring strCheckImage;
    std::wstring strStateImage;
    std::wstring strColor1, strColor2;
    std::wstring strTextColor;
    std::wstring strHighlightColor;
    std::wstring strIconA;
    std::wstring strIconB;
};

struct ImageProgressCtrlStyle {
    std::wstring strChunkImage;
    std::wstring strBarImage;
    std::wstring strMaskLeftImage;
    std::wstring strMaskRightImage;
};

struct ImageVideoWindowStyle {
    std::wstring strNoVideoImage;
    std::wstring strCloseNormal, strCloseHover, strClosePressed;
    std::wstring strSnapNormal, strSnapHover, strSnapPressed;
    std::wstring strPropNormal;
    std::wstring strPropPressed;
    std::wstring strPropHover;
    std::wstring strRecordChecked;
    std::wstring strRecordImage;
    std::wstring strIconSize;
    std::wstring strColor1, strColor2, strColor3, strColor4, strColor5, strColor6;
    std::wstring strNumber1, strNumber2;
    int32_t nValue1, nValue2;
    std::wstring strText1, strText2;
};

struct ListCtrlStyle {
    std::wstring strImage;
    std::wstring strPieceRect[20];
    std::wstring strPieceMode[20];
    std::wstring strEvenRowColor;
    std::wstring strOddRowColor;
    std::wstring strSpare1, strSpare2, strSpare3;
    int32_t nValue0, nValue1;
    int32_t nHeaderHeight;
    int32_t nRowHeight;
};

// Number spinner: positions 1, 2, 4, 5, 9, 11 and 12 are read (see the spinner's style sheet).
struct ImageNumSpinerStyle {
    std::wstring strImage[13];
};

// Thumbnail panel: text 12 (0-based) is the background colour; the integers are thumbnail
// height, thumbnail width, side margin, top margin and spacing.
struct UIImagePanelStyle {
    std::wstring strText[16];
    int32_t nThumbHeight, nThumbWidth, nSideMargin, nTopMargin, nSpacing;
};

// Scroll area: only the background image is read.
struct ScrollAreaStyle {
    std::wstring strBkImage;
    std::wstring strSpare1, strSpare2, strSpare3;
};

struct ImageMonthCalStyle {
    std::wstring strImage[13];
};

// Graphics scenes of the video widgets.
struct ImageHorizontalStyle {
    std::wstring strCameraImage;
    std::wstring strMarkerImage;
    std::wstring strMarkerPressedImage;
};

struct ImageVericalStyle {
    std::wstring strImage[12];
};

struct ImageSimulationlStyle {
    std::wstring strBackgroundImage;
    std::wstring strFigureImage;
};
