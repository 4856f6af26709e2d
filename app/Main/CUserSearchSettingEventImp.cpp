#include "Main/CUserSearchSettingEventImp.h"

SF_BEGIN_MESSAGE_MAP(CUserSearchSettingEventImp)
SF_END_MESSAGE_MAP()

int CheckSearchRange(uint32_t, uint32_t) { return 0; }
std::string IpValueToText(uint32_t) { return std::string(); }
CUserSearchSettingEventImp::CUserSearchSettingEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(mainFrame)
{
}
CUserSearchSettingEventImp::~CUserSearchSettingEventImp() {}
std::shared_ptr<CUserSearchSettingEventImp> CUserSearchSettingEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    return std::make_shared<CUserSearchSettingEventImp>(mainFrame);
}
int CUserSearchSettingEventImp::Dlg_OnInitDialog(bool) { return 1; }
void CUserSearchSettingEventImp::Dlg_OnCancel() {}
void CUserSearchSettingEventImp::OnDlgKeyDown(UINT, UINT) {}
void CUserSearchSettingEventImp::EDIT_OnTextChange(UINT, wchar_t*) {}
void CUserSearchSettingEventImp::Check_OnCheckStateChanged(int, int, POINT) {}
void CUserSearchSettingEventImp::EDIT_OnIPTextChange(UINT, wchar_t*, UINT) {}
void CUserSearchSettingEventImp::OnBtnOK() {}
void CUserSearchSettingEventImp::RetranslateTitle() {}
void CUserSearchSettingEventImp::CreateWindowDlg() {}
void CUserSearchSettingEventImp::FillNicList() {}
void CUserSearchSettingEventImp::EnableRange(bool) {}
void CUserSearchSettingEventImp::ResetAddresses() {}
