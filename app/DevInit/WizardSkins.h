// Skin records shared by the pages of the initialisation wizard.
#pragma once

#include "Widgets/SFSkinStyle.h"

void FillWizardSkin(DialogStyle& style);
ImageButtonStyle WizardButtonSkin(const wchar_t* normal, const wchar_t* hover, const wchar_t* pressed,
                                  const wchar_t* disabled);
ImageButtonStyle WizardCloseSkin();
ImageButtonStyle WizardTextButtonSkin();
ImageRadioBox WizardCheckSkin(const wchar_t* checked, const wchar_t* unchecked, const wchar_t* disabledChecked,
                              const wchar_t* disabledUnchecked);
// List skin of the two list pages: row colours and sizes only.
void FillWizardListSkin(ListCtrlStyle& style);
