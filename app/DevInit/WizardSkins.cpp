#include "DevInit/WizardSkins.h"

#include "Widgets/CMsgDlgEventImp.h"

void FillWizardSkin(DialogStyle& style)
{
    // The same frame as the notification window: a 30-pixel title band on a white ground.
    BuildNoticeDlgSkin(style);
}

ImageButtonStyle WizardCloseSkin()
{
    return MakeButtonSkin(L"close-normal.png", L"close-hover.png", L"close-pressed.png", L"close-disabled.png");
}

ImageButtonStyle WizardTextButtonSkin()
{
    return MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
}

void FillWizardListSkin(ListCtrlStyle& s)
{
    s.strEvenRowColor = L"f6f7fa";
    s.strOddRowColor = L"FcFcFc";
    s.strSpare1 = L"FCE2C6";
    s.strSpare2 = L"FAB400";
    s.strSpare3 = L"000000";
    s.nValue0 = 13;
    s.nValue1 = 13;
    s.nHeaderHeight = 40;
    s.nRowHeight = 30;
}
