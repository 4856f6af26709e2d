// Idle stand-in of the add-on tool page; see the header.
#include "OtherTool/COtherToolEventImp.h"

#include "Main/CMainFrameEventImp.h"
#include "Main/IdlePageView.h"

COtherToolEventImp::COtherToolEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(std::move(mainFrame))
{
}

std::shared_ptr<COtherToolEventImp> COtherToolEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<COtherToolEventImp>(mainFrame);
    std::shared_ptr<CMainFrameEventImp> main = mainFrame.lock();
    page->m_pView = CreateIdlePageView(page.get(), main ? main->GetUIWnd() : nullptr, L"OtherTool", L"Other Tools");
    return page;
}
