#include "Template/TemplateApplySkin.h"

#include "Widgets/SFSkinStyle.h"

void FillTemplateApplyDialogStyle(DialogStyle* style)
{
    if (!style)
        return;
    DialogStyle& s = *style;
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
