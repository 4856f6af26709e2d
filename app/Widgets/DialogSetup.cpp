// Common dialog steps; see the header.
#include "Widgets/DialogSetup.h"

#include "Common/Translate.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

void SetUpSkinnedDialog(CSFDialog* dialog, DialogStyle& style, const wchar_t* title, int width, int height,
                        DialogSizing sizing)
{
    if (!dialog)
        return;
    dialog->SetSkin(&style);
    if (sizing == DialogSizing::BeforeCreate)
        dialog->MoveWindow(0, 0, width, height);
    dialog->Create(title, nullptr);
    dialog->SetWindowTextW(Tr(title));
    if (sizing == DialogSizing::AfterCreate)
        dialog->MoveWindow(0, 0, width, height);
    dialog->CenterWindow(nullptr);
    dialog->SetDrawBackGround(1);
    dialog->ShowWindow(0);
}

CSFButton* CreateCloseButton(ISFButtonEvent* sink, void* wnd, int right, UINT id)
{
    CSFButton* button = CreateSFButton(sink);
    if (!button)
        return nullptr;
    ImageButtonStyle skin =
        MakeButtonSkin(L"close-normal.png", L"close-hover.png", L"close-pressed.png", L"close-disabled.png");
    button->SetSkin(&skin);
    button->Create(L"", WS_VISIBLE, RECT{right - 25, 2, right - 1, 26}, wnd, id);
    button->SetToolTipText(Tr(L"Close"));
    return button;
}

CSFButton* CreateTextButton(ISFButtonEvent* sink, const wchar_t* text, DWORD style, const RECT& rect, void* wnd,
                            UINT id)
{
    CSFButton* button = CreateSFButton(sink);
    if (!button)
        return nullptr;
    ImageButtonStyle skin = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    button->SetSkin(&skin);
    button->Create(Tr(text), style, rect, wnd, id);
    return button;
}
