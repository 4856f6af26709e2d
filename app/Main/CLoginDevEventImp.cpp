#include "Main/CLoginDevEventImp.h"

CLoginDevEventImp::CLoginDevEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(mainFrame) {}
CLoginDevEventImp::~CLoginDevEventImp() {}
std::shared_ptr<CLoginDevEventImp> CLoginDevEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    return std::make_shared<CLoginDevEventImp>(mainFrame);
}
int CLoginDevEventImp::Dlg_OnInitDialog(bool) { return 1; }
void CLoginDevEventImp::GetLoginAccount(std::string& user, std::string& password) const
{
    user = m_strUser;
    password = m_strPassword;
}
