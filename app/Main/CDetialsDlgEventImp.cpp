#include "Main/CDetialsDlgEventImp.h"

SF_BEGIN_MESSAGE_MAP(CDetialsDlgEventImp)
SF_END_MESSAGE_MAP()

CDetialsDlgEventImp::CDetialsDlgEventImp(std::weak_ptr<CSearchDevEventImp> page) : m_wpPage(page) {}
CDetialsDlgEventImp::~CDetialsDlgEventImp() {}
int CDetialsDlgEventImp::CreateDlg() { return 0; }
void CDetialsDlgEventImp::SetDeviceInfo(const DEVICE_NET_INFO_EX*, uint32_t) {}
void CDetialsDlgEventImp::FormatFields(const DEVICE_NET_INFO_EX&, uint32_t, std::wstring[FIELD_COUNT]) {}
std::wstring CDetialsDlgEventImp::GetFieldText(int) const { return std::wstring(); }
int CDetialsDlgEventImp::Dlg_OnInitDialog(bool) { return 1; }
void CDetialsDlgEventImp::OnDlgKeyDown(UINT, UINT) {}

std::shared_ptr<CDetialsDlgEventImp> CreateDetailsDlg(std::shared_ptr<CSearchDevEventImp> page)
{
    auto dlg = std::make_shared<CDetialsDlgEventImp>(page);
    dlg->CreateDlg();
    return dlg;
}
