// Skin records shared by the pages of the initialisation wizard.
#pragma once

#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFTypes.h"
#include "Widgets/SkinRecords.h"

class CSFButton;
class CSFDialog;
class ISFButtonEvent;
class ISFDialogEvent;

void FillWizardSkin(DialogStyle& style);
// A wizard page: skinned, titled, of the given size, centred and hidden; null when it cannot be made.
CSFDialog* CreateWizardDialog(ISFDialogEvent* sink, void* parent, const wchar_t* title, int width, int height);
// The close button at the top right of a page whose width is given.
CSFButton* CreateWizardCloseButton(ISFButtonEvent* sink, void* wnd, int pageWidth, UINT id);
ImageButtonStyle WizardTextButtonSkin();
// List skin of the two list pages: row colours and sizes only.
void FillWizardListSkin(ListCtrlStyle& style);
