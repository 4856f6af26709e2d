// Idle stand-in of the system configuration page; see the header.
#include "SysConfig/CSysConfigEventImp.h"

#include "Main/CMainFrameEventImp.h"
#include "Main/IdlePageView.h"

CSysConfigEventImp::CSysConfigEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(std::move(mainFrame))
{
}

std::shared_ptr<CSysConfigEventImp> CSysConfigEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CSysConfigEventImp>(mainFrame);
    std::shared_ptr<CMainFrameEventImp> main = mainFrame.lock();
    page->m_pView =
        CreateIdlePageView(page.get(), main ? main->GetUIWnd() : nullptr, L"SysConfig", L"System Config");
    return page;
}
