// Idle stand-in of the cloud upgrade scheduler until the cloud upgrade feature is built: it keeps
// an (empty) task list, runs nothing, and answers a stop as an idle scheduler does, through a
// round trip over the device-call loop.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "os/WinTypes.h"

class CCloudUpgradeEventImp;

// The remote-device part of a task.
struct REMOTETASKINFO {
    int nRemoteIndex = -1;  // -1 local device; 0 or more: index on its recorder
    int nParentTask = -1;
    char szDeviceID[128] = {};
    int nVendor = 0;
};

// One device queued for a cloud upgrade.
struct CCloudUpgradeTaskInfo {
    int m_nPort = 0;
    char m_szIP[64] = {};
    char m_szMac[40] = {};
    char m_szUserName[32] = {};
    char m_szPassword[64] = {};
    char m_szSerialNo[64] = {};
    LONG m_nloginID = 0;
    LONG m_lUpgradID = 0;
    int m_nProgress = 0;
    int m_nTaskIndex = 0;
    int m_bUpgradeSuccess = 0;
    int m_nTimeoutCount = 0;
    int m_nUpgradeState = 0;  // 0 waiting, 1 upgrading, 2 finished
    int m_nSendState = 0;
    int m_nItem = 0;
    std::string m_strFilePath;
    int m_nSameSnState = 0;
    int m_nSameSnIndex = -1;
    int m_nSameFileIndex = -1;
    int m_bRebootDone = 0;
    int m_bStopSingle = 0;
    REMOTETASKINFO m_stRemote;
};

class CCloudUpgradeUILogic : public std::enable_shared_from_this<CCloudUpgradeUILogic> {
public:
    explicit CCloudUpgradeUILogic(std::weak_ptr<CCloudUpgradeEventImp> page);
    static std::shared_ptr<CCloudUpgradeUILogic> Create(std::weak_ptr<CCloudUpgradeEventImp> page);

    std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>>& GetTaskVec() { return m_vecTask; }

    void StopUpgrade();
    void Task_StopUpgrade_Ret();
    // Marks the task finished with an error result.
    void DisConnect(int index);
    // A device came back after its upgrade: its stale login is dropped.
    void OnReconnect(LONG loginHandle, std::string ip);
    void ClearVecTask();
    void ClearDownVecTask() {}

    int m_bUpgrading = 0;
    int m_bDownloading = 0;
    int m_bStoppingUpgrade = 0;
    int m_bStopUpgrade = 0;

private:
    std::weak_ptr<CCloudUpgradeEventImp> m_pEventImp;
    std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>> m_vecTask;
};
