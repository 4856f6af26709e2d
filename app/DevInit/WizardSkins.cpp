#include "DevInit/WizardSkins.h"

#include "Main/DevicePageParts.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFactory.h"

void FillWizardSkin(DialogStyle& style)
{
    // The same frame as the notification window: a 30-pixel title band on a white ground.
    BuildNoticeDlgSkin(style);
}

CSFDialog* CreateWizardDialog(ISFDialogEvent* sink, void* parent, const wchar_t* title, int width, int height)
{
    DialogStyle style;
    FillWizardSkin(style);
    CSFDialog* dialog = CreateSFDialog(sink, parent, 0);
    SetUpSkinnedDialog(dialog, style, title, width, height);
    return dialog;
}

CSFButton* CreateWizardCloseButton(ISFButtonEvent* sink, void* wnd, int pageWidth, UINT id)
{
    return CreateCloseButton(sink, wnd, pageWidth, id);
}

ImageButtonStyle WizardTextButtonSkin()
{
    return MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
}

void FillWizardListSkin(ListCtrlStyle& s) { FillDeviceListSkin(s, L"FCE2C6"); }
