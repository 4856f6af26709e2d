// Idle stand-in of the local upgrade scheduler until the upgrade feature is built: it keeps an
// (empty) task list, runs no upgrade, and answers a stop as an idle scheduler does, through a
// round trip over the device-call loop.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "os/WinTypes.h"

class CUpgradeEventImp;

// One device queued for a local upgrade.
struct CUpgradeTaskInfo {
    int port = 0;
    char szIP[64] = {};
    char szMac[40] = {};
    char szUser[32] = {};
    char szPassword[64] = {};
    LONG m_lLoginID = 0;
    LONG m_lUpgradID = 0;
    int m_nLastPercent = 0;
    int nIndex = 0;
    int m_bSucceeded = 0;
    int m_nMinutes = 0;
    int m_nUpgradeState = 0;   // 0 waiting, 1 running, 2 finished
    int m_nTransferPhase = 0;  // 0 none, 1 sending, 2 sent
    int m_nRow = 0;
    std::string file;
    int m_bFileDelivered = 0;
    int m_bP2P = 0;
};

class CUpgradeUILogic : public std::enable_shared_from_this<CUpgradeUILogic> {
public:
    explicit CUpgradeUILogic(std::weak_ptr<CUpgradeEventImp> page);
    static std::shared_ptr<CUpgradeUILogic> Create(std::weak_ptr<CUpgradeEventImp> page);

    std::vector<std::shared_ptr<CUpgradeTaskInfo>>& GetTaskVec() { return m_vecTask; }
    int IsUpgrading() const { return m_bUpgrading; }
    int IsStopping() const { return m_bStop; }

    void Stop();
    void Task_Stop_Ret();
    // Restarts the task of that login (with restartOne), or starts waiting tasks.
    void StartUpgrade(LONG loginHandle, int restartOne);
    void DisConnect(int index);
    void ClearVecTask();

private:
    std::weak_ptr<CUpgradeEventImp> m_wpPage;
    int m_bStop = 0;
    int m_nCurIndex = -1;
    int m_bUpgrading = 0;
    std::vector<std::shared_ptr<CUpgradeTaskInfo>> m_vecTask;
};
