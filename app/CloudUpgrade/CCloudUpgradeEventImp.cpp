// Idle stand-in of the cloud upgrade page; see the header.
#include "CloudUpgrade/CCloudUpgradeEventImp.h"

#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/IdlePageView.h"

CCloudUpgradeEventImp::CCloudUpgradeEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(std::move(mainFrame))
{
}

std::shared_ptr<CCloudUpgradeEventImp> CCloudUpgradeEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CCloudUpgradeEventImp>(mainFrame);
    std::shared_ptr<CMainFrameEventImp> main = mainFrame.lock();
    page->m_pView =
        CreateIdlePageView(page.get(), main ? main->GetUIWnd() : nullptr, L"CloudUpgrade", L"CloudUpgrade");
    page->m_pCloudUILogic = CCloudUpgradeUILogic::Create(page);
    return page;
}

int CCloudUpgradeEventImp::IsChecking() { return 0; }
int CCloudUpgradeEventImp::IsUpgrading() { return m_pCloudUILogic ? m_pCloudUILogic->m_bUpgrading : 0; }
int CCloudUpgradeEventImp::IsStoppingUpgrade() { return m_pCloudUILogic ? m_pCloudUILogic->m_bStoppingUpgrade : 0; }
int CCloudUpgradeEventImp::IsDownloading() { return m_pCloudUILogic ? m_pCloudUILogic->m_bDownloading : 0; }

void CCloudUpgradeEventImp::OnUpgradeButtonIdle()
{
    if (std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock())
        main->OnModuleStopped(MAINFRAME_MODULE_CLOUDUPGRADE);
}
