#include "Main/CDeviceListUILogic.h"

#include "Main/CSearchDevLogic.h"

CDeviceListUILogic::CDeviceListUILogic(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(mainFrame) {}
CDeviceListUILogic::~CDeviceListUILogic() {}

std::shared_ptr<CDeviceListUILogic> CDeviceListUILogic::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto logic = std::make_shared<CDeviceListUILogic>(mainFrame);
    logic->Init();
    return logic;
}

int CDeviceListUILogic::Init()
{
    m_pSearchDevLogic = std::make_shared<CSearchDevLogic>(weak_from_this());
    return 1;
}

bool CDeviceListUILogic::StartSearch(SF_SEARCHTYPE, int, std::string) { return false; }
void CDeviceListUILogic::StopSearch(int) {}
bool CDeviceListUILogic::FilterDevList(int) { return false; }
bool CDeviceListUILogic::StartSearch_ManulAdd(SF_SEARCHTYPE, int, std::string) { return false; }
void CDeviceListUILogic::SortAddDevice(DevicePtr) {}
void CDeviceListUILogic::DeleteDevice(const wchar_t*) {}
void CDeviceListUILogic::RefreshAllPages() {}
void CDeviceListUILogic::Task_InsertDevice(DevicePtr) {}
void CDeviceListUILogic::AddCloudUpgradeDevice(DevicePtr) {}
void CDeviceListUILogic::Task_InitDevice_Success(int) {}
void CDeviceListUILogic::Task_InitDevice_SuccessEx(int, std::string, std::string) {}
void CDeviceListUILogic::Task_FilterFunc(int) {}
void CDeviceListUILogic::Task_PreStartSearch_Ret(SF_SEARCHTYPE, int, std::string, DeviceVector) {}
void CDeviceListUILogic::Task_StartSearch_Ret(bool) {}
void CDeviceListUILogic::Task_StopSearch_Ret(int, int) {}
void CDeviceListUILogic::Task_StartSearch_ManulAdd_Ret(std::string) {}
void CDeviceListUILogic::PostSelf(int, int, const char*, const char*, std::function<void()>) {}
void CDeviceListUILogic::ClearAllPages() {}
bool CDeviceListUILogic::IsRefusedOrUnfit(const DEVICE_INFO&) const { return false; }
