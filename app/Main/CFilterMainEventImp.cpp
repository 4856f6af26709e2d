#include "Main/CFilterMainEventImp.h"

SF_BEGIN_MESSAGE_MAP(CFilterMainEventImp)
SF_END_MESSAGE_MAP()

bool MatchDeviceFilter(const DeviceFilter&, const DEVICE_NET_INFO_EX&) { return true; }
CFilterMainEventImp::CFilterMainEventImp(std::weak_ptr<CSearchDevEventImp> page) : m_wpPage(page) {}
CFilterMainEventImp::~CFilterMainEventImp() {}
int CFilterMainEventImp::Create() { return 0; }
int CFilterMainEventImp::GetIpTypeFilter() const { return 4; }
int CFilterMainEventImp::GetDevTypeFilter() const { return 31; }
int CFilterMainEventImp::GetInitFilter() const { return 3; }
std::string CFilterMainEventImp::GetKeyword() const { return std::string(); }
void CFilterMainEventImp::ClearKeyword() {}
DeviceFilter CFilterMainEventImp::GetFilter() const { return DeviceFilter(); }
void CFilterMainEventImp::ResetFilter() {}
int CFilterMainEventImp::OnCreate() { return 1; }
void CFilterMainEventImp::RADIO_OnClicked(int, int, POINT) {}
void CFilterMainEventImp::EDIT_OnEnterPressed(UINT, wchar_t*) {}
void CFilterMainEventImp::SelectChanged(int, int) {}
void CFilterMainEventImp::ApplyKeyword() {}
CSFRadioBox* CFilterMainEventImp::GetBox(int) const { return nullptr; }

std::shared_ptr<CFilterMainEventImp> CreateFilterMainView(std::shared_ptr<CSearchDevEventImp> page)
{
    auto panel = std::make_shared<CFilterMainEventImp>(page);
    panel->Create();
    return panel;
}
