// Skin records shared by the pages of the initialisation wizard.
#pragma once

#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

void FillWizardSkin(DialogStyle& style);
ImageButtonStyle WizardCloseSkin();
ImageButtonStyle WizardTextButtonSkin();
// List skin of the two list pages: row colours and sizes only.
void FillWizardListSkin(ListCtrlStyle& style);
