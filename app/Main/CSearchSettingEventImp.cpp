#include "Main/CSearchSettingEventImp.h"

SF_BEGIN_MESSAGE_MAP(CSearchSettingEventImp)
SF_END_MESSAGE_MAP()

CSearchSettingEventImp::CSearchSettingEventImp(std::weak_ptr<CSearchDevEventImp> page) : m_wpPage(page) {}
CSearchSettingEventImp::~CSearchSettingEventImp() {}
std::shared_ptr<CSearchSettingEventImp> CSearchSettingEventImp::Create(std::weak_ptr<CSearchDevEventImp> page)
{
    return std::make_shared<CSearchSettingEventImp>(page);
}
int CSearchSettingEventImp::Dlg_OnInitDialog(bool) { return 1; }
void CSearchSettingEventImp::Dlg_OnCancel() {}
void CSearchSettingEventImp::OnDlgKeyDown(UINT, UINT) {}
void CSearchSettingEventImp::Check_OnCheckStateChanged(int, int, POINT) {}
void CSearchSettingEventImp::OnBtnOK() {}
void CSearchSettingEventImp::RetranslateTitle() {}
void CSearchSettingEventImp::Reset() {}
