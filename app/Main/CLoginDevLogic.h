// The worker half of Manual Add: login, the five information queries and the logout, on loop 3.
// Every result goes back to the dialog as a loop-1 task.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "devsdk/DevSdkRecords.h"

class CLoginDevEventImp;

class CLoginDevLogic {
public:
    explicit CLoginDevLogic(std::weak_ptr<CLoginDevEventImp> dialog);

    void Task_StartLoginDev(std::string ip, int port, std::string user, std::string password);
    void Task_StartLoginDev_P2P(std::string serial, std::string user, std::string password);
    void Task_QueryNetworkInfo(int loginId, int loginSpec);
    void Task_QueryDVRIPInfo(int loginId);
    void Task_QueryHttpsInfo(int loginId);
    void Task_QueryVesInfo(int loginId);
    void Task_QuerySysInfo(int loginId);
    void Task_LogoutDev(int loginId);

    // Index of the first of `count` interfaces (at most 32) whose address text is `ip`; -1 when none.
    static int FindInterface(const tagCFG_NETWORK_INFO& network, const char* ip);

private:
    // Reads a configuration text by name and parses it into the record; the parse's result.
    static int QueryConfig(int loginId, const char* name, void* record, unsigned size);
    void PostToDialog(int line, const char* taskName, const char* callerName,
                      std::function<void(CLoginDevEventImp&)> call);

    std::weak_ptr<CLoginDevEventImp> m_wpDialog;
    char m_strIP[16] = {};
};
