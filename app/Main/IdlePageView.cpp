#include "Main/IdlePageView.h"

#include "Common/Translate.h"
#include "Widgets/SFFactory.h"

CSFView* CreateIdlePageView(ISFViewEvent* sink, void* parent, const wchar_t* windowName, const wchar_t* title)
{
    CSFView* view = CreateSFView(sink);
    if (!view)
        return nullptr;
    view->SetBGClr(0xffffff);
    view->Create(nullptr, windowName, WS_CHILD, RECT{69, 82, 998, 698}, parent, 0);
    CSFStatic* label = CreateSFStatic(nullptr);
    if (label) {
        label->SetTextColor(0x999999);
        label->SetTextSize(24);
        label->SetTextAlignFlag(37);
        label->Create(Tr(title), WS_VISIBLE, RECT{0, 250, 929, 300}, view->GetUIWnd(), static_cast<UINT>(-1));
    }
    return view;
}
