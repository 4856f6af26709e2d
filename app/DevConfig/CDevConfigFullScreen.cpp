// What the configuration window's full screen asks of the page: the main window's place and
// page area.
#include "DevConfig/CDevConfigEventImp.h"

#include "Main/CMainFrameEventImp.h"
#include "Widgets/SFDialog.h"

void CDevConfigEventImp::MoveMainWindow(const RECT& rect, int keep)
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    CSFDialog* dialog = main ? main->GetDialog() : nullptr;
    if (!dialog)
        return;
    dialog->MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (!keep)
        dialog->CenterWindow(nullptr);
}

RECT CDevConfigEventImp::GetMainPageRect() const
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    return main ? main->GetPageRect() : RECT{0, 0, 0, 0};
}
