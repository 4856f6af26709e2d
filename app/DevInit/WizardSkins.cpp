#include "DevInit/WizardSkins.h"

#include "Widgets/CMsgDlgEventImp.h"

void FillWizardSkin(DialogStyle& style)
{
    // The same frame as the notification window: a 30-pixel title band on a white ground.
    BuildNoticeDlgSkin(style);
}

ImageButtonStyle WizardButtonSkin(const wchar_t* normal, const wchar_t* hover, const wchar_t* pressed,
                                  const wchar_t* disabled)
{
    ImageButtonStyle s;
    s.strNormal = normal;
    s.strHover = hover;
    s.strPressed = pressed;
    s.strDisabled = disabled;
    return s;
}

ImageButtonStyle WizardCloseSkin()
{
    return WizardButtonSkin(L"close-normal.png", L"close-hover.png", L"close-pressed.png", L"close-disabled.png");
}

ImageButtonStyle WizardTextButtonSkin()
{
    return WizardButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
}

ImageRadioBox WizardCheckSkin(const wchar_t* checked, const wchar_t* unchecked, const wchar_t* disabledChecked,
                              const wchar_t* disabledUnchecked)
{
    ImageRadioBox s;
    s.strCheckedNormal = s.strCheckedHover = s.strCheckedPressed = checked;
    s.strUncheckedNormal = s.strUncheckedHover = s.strUncheckedPressed = unchecked;
    s.strCheckedDisabled = disabledChecked;
    s.strUncheckedDisabled = disabledUnchecked;
    return s;
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
