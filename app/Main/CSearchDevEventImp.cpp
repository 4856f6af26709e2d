#include "Main/CSearchDevEventImp.h"

#include "Main/CDetialsDlgEventImp.h"
#include "Main/CFilterMainEventImp.h"

std::function<void(const std::wstring&)> CSearchDevEventImp::s_openUrl;
std::function<bool(bool, std::wstring&)> CSearchDevEventImp::s_chooseFile;
bool CSearchDevEventImp::s_bSortAscending = false;

SF_BEGIN_MESSAGE_MAP(CSearchDevEventImp)
SF_END_MESSAGE_MAP()

CSearchDevEventImp::CSearchDevEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(mainFrame) {}
CSearchDevEventImp::~CSearchDevEventImp() {}
int CSearchDevEventImp::Create() { return 0; }
void CSearchDevEventImp::EnableListSort(bool) {}
int CSearchDevEventImp::IsModifyingIP() { return 0; }
void CSearchDevEventImp::SetSearchParam(int mode, int count, std::string startIp)
{
    m_nSearchMode = mode;
    m_nIpCount = count;
    m_strStartIp = startIp;
}
void CSearchDevEventImp::GetSearchParam(int& mode, int& count, std::string& startIp) const
{
    mode = m_nSearchMode;
    count = m_nIpCount;
    startIp = m_strStartIp;
}
bool CSearchDevEventImp::IsRowCheckedByDevice(const char*, const char*, int&) { return false; }
bool CSearchDevEventImp::IsCurrentDevice(const char*, const char*) { return false; }
void CSearchDevEventImp::AddDeviceRow(const DEVICE_NET_INFO_EX*, bool) {}
bool CSearchDevEventImp::IsShownByFilter(const DEVICE_NET_INFO_EX*) { return true; }
void CSearchDevEventImp::ClearList() {}
void CSearchDevEventImp::MarkDeviceInitialized(const DEVICE_NET_INFO_EX*, bool) {}
void CSearchDevEventImp::HighlightRow(std::string, std::string) {}
int CSearchDevEventImp::ApplyFilter() { return 0; }
void CSearchDevEventImp::EnableBatchButtons(bool) {}
int CSearchDevEventImp::FindDeviceIndex(int) { return -1; }
void CSearchDevEventImp::StartSearch() {}
void CSearchDevEventImp::SearchManualDevice(std::string) {}
void CSearchDevEventImp::StartModifyIP(std::string, std::string, std::string, int, int) {}
int CSearchDevEventImp::OnCreate() { return 1; }
void CSearchDevEventImp::OnSize(UINT, int, int) {}
void CSearchDevEventImp::OnListItemClicked(void*, LRESULT) {}
void CSearchDevEventImp::RADIO_OnClicked(int, int, POINT) {}
void CSearchDevEventImp::UpdateSelectedCount() {}
void CSearchDevEventImp::OnWebLogin() {}
void CSearchDevEventImp::OnDetails() {}
void CSearchDevEventImp::OnModifyIP() {}
void CSearchDevEventImp::OnModifyResult() {}
void CSearchDevEventImp::OnBatchModifyIP() {}
void CSearchDevEventImp::OnManualAdd() {}
void CSearchDevEventImp::OnDelete() {}
void CSearchDevEventImp::OnImport() {}
void CSearchDevEventImp::OnExport() {}
void CSearchDevEventImp::OnActivate() {}
void CSearchDevEventImp::OnHeaderClicked(void*, LRESULT) {}
std::wstring CSearchDevEventImp::MakeWebUrl(const std::string&, int) { return std::wstring(); }

std::shared_ptr<CSearchDevEventImp> CreateSearchDevView(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CSearchDevEventImp>(mainFrame);
    page->Create();
    return page;
}
