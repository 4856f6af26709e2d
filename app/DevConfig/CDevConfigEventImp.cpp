// Idle stand-in of the device configuration page; see the header.
#include "DevConfig/CDevConfigEventImp.h"

#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CLoginUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/IdlePageView.h"

CDevConfigEventImp::CDevConfigEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(std::move(mainFrame))
{
}

std::shared_ptr<CDevConfigEventImp> CDevConfigEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CDevConfigEventImp>(mainFrame);
    std::shared_ptr<CMainFrameEventImp> main = mainFrame.lock();
    page->m_pView =
        CreateIdlePageView(page.get(), main ? main->GetUIWnd() : nullptr, L"DevConfig", L"Device Config");
    page->m_pCodeVideoCfg = std::make_shared<CCodeVideoCfgEventImp>();
    if (main)
        page->m_wpLoginUILogic = main->GetLoginUILogic();
    return page;
}
