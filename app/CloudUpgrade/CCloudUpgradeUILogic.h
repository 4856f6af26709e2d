// Scheduler of the cloud upgrade (loop 1): the upgrade task list and the download records, the
// flags the page asks before it starts something, update checks handed to the worker, and the
// results that come back from it. Everything here runs on loop 1; the worker (loops 2 and 3) reads
// only the two atomic stop flags and reaches the lists only through posted calls.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "CloudUpgrade/CloudUpgradePageSink.h"
#include "CloudUpgrade/CloudUpgradeRecords.h"
#include "os/WinTypes.h"

class CSFTimer;
class CCloudUpgradeLogic;

class CCloudUpgradeUILogic : public std::enable_shared_from_this<CCloudUpgradeUILogic> {
public:
    explicit CCloudUpgradeUILogic(std::weak_ptr<CCloudUpgradePageSink> page);
    ~CCloudUpgradeUILogic();
    static std::shared_ptr<CCloudUpgradeUILogic> Create(std::weak_ptr<CCloudUpgradePageSink> page);
    void Init();

    // ---- Task list ----
    void InsertTaskInfo(int port, const char* ip, const char* user, const char* password, const char* mac,
                        const char* serialNo, int item, std::string filePath, const REMOTETASKINFO* remote);
    void ClearVecTask();
    // Logs out every task login, drops both lists (the rows changed order).
    void ResetTaskList();
    std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>>& GetTaskVec() { return m_vecTask; }

    // ---- Download records ----
    void AddDownloadTask(const char* ip, const char* mac, int item, std::string filePath, std::string url);
    // Stops running downloads and drops all records.
    void ClearDownVecTask();
    std::vector<DOWNLOADTASK>& GetDownVec() { return m_vecDownTask; }

    // ---- Flags ----
    int IsUpgrading() const { return m_bUpgrading; }
    int IsDownloading() const { return m_bDownloading; }
    int IsStoppingUpgrade() const { return m_bStoppingUpgrade; }
    int IsStopUpgrade() const { return m_bStopUpgrade; }
    int IsStopDownload() const { return m_bStopDownload; }
    void SetStopCheck(int stop) { m_bStopCheck = stop; }
    void SetStopWorker(int stop) { m_bStopWorker = stop; }
    // Read by the worker's tasks on other threads.
    int StopCheckFlag() const { return m_bStopCheck.load(); }
    int StopWorkerFlag() const { return m_bStopWorker.load(); }

    // ---- Upgrade run (stop, disconnect, reconnect) ----
    void StopUpgrade();
    void Task_StopUpgrade_Ret();
    void DisConnect(int index);
    void OnReconnect(LONG loginHandle, std::string ip);

    std::shared_ptr<CCloudUpgradeLogic> GetLogic() const { return m_pLogic; }
    // Generation of the task list and of the download records: answers of an older one are dropped.
    unsigned TaskGeneration() const { return m_nTaskGeneration; }
    unsigned DownGeneration() const { return m_nDownGeneration; }

    // Kept readable as members for the callers that read them directly.
    int m_bUpgrading = 0;
    int m_bDownloading = 0;
    int m_bStoppingUpgrade = 0;
    int m_bStopUpgrade = 0;
    int m_bStopDownload = 0;

private:
    std::shared_ptr<CCloudUpgradePageSink> Page() const { return m_pEventImp.lock(); }

    std::weak_ptr<CCloudUpgradePageSink> m_pEventImp;
    std::shared_ptr<CCloudUpgradeLogic> m_pLogic;
    std::shared_ptr<CSFTimer> m_pUpgradeTimer;
    std::shared_ptr<CSFTimer> m_pOnlineTimer;
    std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>> m_vecTask;
    std::vector<DOWNLOADTASK> m_vecDownTask;
    std::atomic<int> m_bStopCheck{0};
    std::atomic<int> m_bStopWorker{0};
    unsigned m_nTaskGeneration = 1;
    unsigned m_nDownGeneration = 1;
};
