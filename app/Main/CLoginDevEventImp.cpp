#include "Main/CLoginDevEventImp.h"

#include "Main/CMainFrameEventImp.h"
#include "Widgets/SFFactory.h"

CLoginDevEventImp::CLoginDevEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(mainFrame) {}

CLoginDevEventImp::~CLoginDevEventImp() {}

std::shared_ptr<CLoginDevEventImp> CLoginDevEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto dlg = std::make_shared<CLoginDevEventImp>(mainFrame);
    std::shared_ptr<CMainFrameEventImp> frame = mainFrame.lock();
    dlg->m_pDialog = CreateSFDialog(dlg.get(), frame ? frame->GetUIWnd() : nullptr, 0);
    if (dlg->m_pDialog) {
        dlg->m_pDialog->Create(L"Manual Add", nullptr);
        dlg->m_pDialog->MoveWindow(0, 0, 520, 320);
        dlg->m_pDialog->ShowWindow(0);
    }
    return dlg;
}

int CLoginDevEventImp::Dlg_OnInitDialog(bool)
{
    return 1;
}

void CLoginDevEventImp::GetLoginAccount(std::string& user, std::string& password) const
{
    user = m_strUser;
    password = m_strPassword;
}
