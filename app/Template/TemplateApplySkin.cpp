#include "Template/TemplateApplySkin.h"

#include "Main/DeviceListSkins.h"
#include "Template/TemplateApplyOwner.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFView.h"

void FillTemplateApplyDialogStyle(DialogStyle* style)
{
    if (style)
        FillCommonDialogSkin(*style);
}

void CreateTemplateApplyDialog(ISFDialogEvent* sink, const std::weak_ptr<ITemplateApplyRun>& owner,
                               const wchar_t* title, int width, int height, CSFDialog*& dialog)
{
    std::shared_ptr<ITemplateApplyRun> run = owner.lock();
    auto* view = dynamic_cast<ISFViewEvent*>(run.get());
    DialogStyle style;
    FillTemplateApplyDialogStyle(&style);
    dialog = CreateSFDialog(sink, view ? view->GetUIWnd() : nullptr, 0);
    SetUpSkinnedDialog(dialog, style, title, width, height);
}

void DestroyTemplateApplyDialog(ISFDialogEvent* sink, CSFDialog*& dialog)
{
    CSFDialog* own = dialog;
    dialog = nullptr;
    if (sink->GetUIWnd())
        DestroySFDialog(own);
}

CSFStatic* CreateTemplateApplyText(ISFStaticEvent* sink, const RECT& rect, void* wnd)
{
    CSFStatic* text = CreateSFStatic(sink);
    text->Create(L"", WS_VISIBLE, rect, wnd, 0);
    text->SetTextAlignFlag(4);
    text->SetWordWrap(1);
    text->SetWrapAnywhere(1);
    return text;
}
