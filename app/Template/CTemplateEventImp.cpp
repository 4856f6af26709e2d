// Idle stand-in of the template page; see the header.
#include "Template/CTemplateEventImp.h"

#include "Main/CMainFrameEventImp.h"
#include "Main/IdlePageView.h"
#include "Template/CTemplateEditEventImp.h"

CTemplateEventImp::CTemplateEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(std::move(mainFrame))
{
}

std::shared_ptr<CTemplateEventImp> CTemplateEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CTemplateEventImp>(mainFrame);
    std::shared_ptr<CMainFrameEventImp> main = mainFrame.lock();
    page->m_pView = CreateIdlePageView(page.get(), main ? main->GetUIWnd() : nullptr, L"Template", L"Templet Config");
    page->m_pEditPage = std::make_shared<CTemplateEditEventImp>();
    return page;
}
