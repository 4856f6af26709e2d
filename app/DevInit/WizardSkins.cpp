#include "DevInit/WizardSkins.h"

#include "Common/Translate.h"
#include "Main/DevicePageParts.h"
#include "Widgets/CMsgDlgEventImp.h"
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
    if (!dialog)
        return nullptr;
    dialog->SetSkin(&style);
    dialog->Create(title, nullptr);
    dialog->SetWindowTextW(Tr(title));
    dialog->MoveWindow(0, 0, width, height);
    dialog->CenterWindow(nullptr);
    dialog->SetDrawBackGround(1);
    dialog->ShowWindow(0);
    return dialog;
}

CSFButton* CreateWizardCloseButton(ISFButtonEvent* sink, void* wnd, int pageWidth, UINT id)
{
    const DWORD kVisible = 0x10000000;
    ImageButtonStyle skin = WizardCloseSkin();
    CSFButton* button = CreateSFButton(sink);
    button->SetSkin(&skin);
    button->Create(L"", kVisible, RECT{pageWidth - 25, 2, pageWidth - 1, 26}, wnd, id);
    button->SetToolTipText(Tr(L"Close"));
    return button;
}

ImageButtonStyle WizardCloseSkin()
{
    return MakeButtonSkin(L"close-normal.png", L"close-hover.png", L"close-pressed.png", L"close-disabled.png");
}

ImageButtonStyle WizardTextButtonSkin()
{
    return MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
}

void FillWizardListSkin(ListCtrlStyle& s) { FillDeviceListSkin(s, L"FCE2C6"); }
