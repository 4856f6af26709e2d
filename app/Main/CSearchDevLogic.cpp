#include "Main/CSearchDevLogic.h"

std::atomic<int> g_bToolRunning{0};

CSearchDevLogic::CSearchDevLogic(std::weak_ptr<CDeviceListUILogic> listLogic) : m_wpListLogic(listLogic) {}
CSearchDevLogic::~CSearchDevLogic() {}
void CSearchDevLogic::Task_PreStartSearch(SF_SEARCHTYPE, int, std::string, DeviceVector) {}
void CSearchDevLogic::Task_StartSearch(SF_SEARCHTYPE, int, std::string) {}
void CSearchDevLogic::Task_StartSearch_ManulAdd(SF_SEARCHTYPE, int, std::string) {}
void CSearchDevLogic::Task_StopSearch(int, int) {}
BOOL CSearchDevLogic::ModifyDevice(DEVICE_NET_INFO_EX*) { return 0; }
void CSearchDevLogic::StopAllSearches() {}
std::vector<int> CSearchDevLogic::SplitBlocks(int) { return {}; }
void CSearchDevLogic::SearchDevicesCB(DEVICE_NET_INFO_EX*, void*) {}
void CSearchDevLogic::SearchDevicesCBIPs(DEVICE_NET_INFO_EX*, void*) {}
void CSearchDevLogic::SearchDevicesCBIPs_ManulAdd(DEVICE_NET_INFO_EX*, void*) {}
void CSearchDevLogic::StopBroadcast() {}
void CSearchDevLogic::SearchRange(int, const std::string&, fSearchDevicesCB) {}
void CSearchDevLogic::PostToList(int, const char*, const char*, std::function<void()>) {}
void CSearchDevLogic::PostInsert(DEVICE_NET_INFO_EX*, bool, const char*) {}
