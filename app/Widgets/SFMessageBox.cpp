// The application's modal message box.
#include "Common/Translate.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

int ShowMessageBox(const wchar_t* text, const wchar_t* caption, void* parent, int type, void* extra)
{
    DialogStyle style;
    CMsgDlgEventImp sink(text, caption, type, extra);
    BuildMsgDlgSkin(style);
    CSFDialog* dialog = CreateSFDialog(&sink, parent, 0);
    if (!dialog)
        return 2;
    sink.SetDialog(dialog);
    dialog->SetSkin(&style);
    dialog->SetDrawBackGround(1);
    dialog->Create(L"", nullptr);
    dialog->CenterWindow(nullptr);
    const int result = dialog->DoModalDlg();
    DestroySFDialog(dialog);
    return result;
}
