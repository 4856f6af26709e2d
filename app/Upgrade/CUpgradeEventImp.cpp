// Idle stand-in of the local upgrade page; see the header.
#include "Upgrade/CUpgradeEventImp.h"

#include "Main/CMainFrameEventImp.h"
#include "Main/IdlePageView.h"
#include "Upgrade/CUpgradeUILogic.h"

CUpgradeEventImp::CUpgradeEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(std::move(mainFrame)) {}

std::shared_ptr<CUpgradeEventImp> CUpgradeEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CUpgradeEventImp>(mainFrame);
    std::shared_ptr<CMainFrameEventImp> main = mainFrame.lock();
    page->m_pView = CreateIdlePageView(page.get(), main ? main->GetUIWnd() : nullptr, L"Upgrade", L"Upgrade");
    page->m_pUpgradeUILogic = CUpgradeUILogic::Create(page);
    return page;
}

int CUpgradeEventImp::IsUpgrading() { return m_pUpgradeUILogic ? m_pUpgradeUILogic->IsUpgrading() : 0; }

int CUpgradeEventImp::IsSendingFile() { return 0; }

void CUpgradeEventImp::DisConnect(int index)
{
    if (m_pUpgradeUILogic)
        m_pUpgradeUILogic->DisConnect(index);
}

void CUpgradeEventImp::SetBtnState(int, bool) {}

void CUpgradeEventImp::SetStartState(bool) {}

void CUpgradeEventImp::EnableBatchUpgrade(bool enable)
{
    if (!enable)
        return;
    if (std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock())
        main->OnModuleStopped(MAINFRAME_MODULE_UPGRADE);
}
