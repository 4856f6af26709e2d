// Scheduler of the cloud upgrade (loop 1): the upgrade task list and the download records, the
// flags the page asks before it starts something, update checks handed to the worker, at most five
// downloads and five firmware transfers at once, the minute timeout, stop, disconnect and
// reconnect. Everything here runs on loop 1; the worker (loops 2 and 3) reads only the two atomic
// stop flags and reaches the lists only through posted calls, whose answers carry the generation
// of the list they were made for (answers for a cleared list are dropped).
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

// Result of one device's cloud upgrade (shown through its row's result button). In a namespace of
// its own: the local upgrade has codes of the same names.
namespace CloudResult {
enum UPGRADE_ERROR_NUMBER {
    UPGRADE_SUCCESS = 0,
    UPGRADE_START_FAILED = 1,
    UPGRADE_SEND_FAILED = 2,
    UPGRADE_FAILED = 3,
    UPGRADE_TIMEOUT = 4,
    UPGRADE_DEVICE_OFFLINE = 5,
    UPGRADE_CANCELED = 6,
    UPGRADE_LOGIN_FAILED = 7, // + the login error value
};
} // namespace CloudResult
// The English text of a result code (to be passed through Tr).
const wchar_t* CloudUpgradeResultText(int code);

class CCloudUpgradeUILogic : public std::enable_shared_from_this<CCloudUpgradeUILogic> {
public:
    static constexpr int kMaxDownloads = 5;
    static constexpr int kMaxTransfers = 5;
    static constexpr int kUpgradeTimerMs = 60000;

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

    // ---- Update checks ----
    void CloudUpgradeCheck(std::string ip, int port, std::string user, std::string password, std::string mac,
                           const NET_IN_CLOUD_UPGRADER_CHECK* request, std::string serialNo, BYTE value);
    void Task_CloudUpgradeCheck_Ret(std::shared_ptr<NET_IN_CLOUD_UPGRADER_CHECK> request,
                                    std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer, int checkResult,
                                    std::string ip, std::string mac, long loginHandle, int result);
    void RemoteUpgraderCheck(const strudevice* device, std::string key, int row);
    void Task_RemoteUpgraderCheck_Ret(std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer, int checkResult,
                                      std::string serialNo, std::string key, int row);
    // Online re-check: offered, started by nothing.
    void StartCheckOnlineTimer(int taskIndex);
    static void CheckOnLineOnTimer(int timerId, void* user);
    void StartCheckRemoteOnline(TIMERUSER* user);
    void Task_IsRemoteDeviceOnLine_Ret(int result, int online, int, void* user);

    // ---- Downloads ----
    bool IsDownLoadTaskOverNum();
    void BatchStartDownload();
    void StartSingleDownloadFile(int row);
    void DownloadNext();
    void StartDownloadFile(unsigned index);
    void SetSameFileTaskState(int index, int result, int state, LONG handle);
    void JudgeDownLoadFinish();
    void Task_StartDownloadFile_Ret(std::string key, LONG handle, int index, unsigned generation);
    void Task_DownLoadCallBack_Ret(LONG handle, int state, DWORD percent, int index, unsigned generation);
    void Task_StopDownloadFile_Ret(int stopOk, LONG handle, int index, int result, unsigned generation);
    void BatchStopDownload();
    void StopSingleDownload(std::string, std::string key);
    int FindDownTaskIndex(LONG handle) const;

    // ---- Upgrades ----
    void StartUpgrade(LONG loginHandle, int retry);
    int StartUpgrade_FirstFive();
    void UpgradeNext(int = 0);
    int StartUpgrade_SameFileAll();
    bool StartUpgrade_SameFile(unsigned task, unsigned leader);
    bool IsUpgradeTaskOverNum();
    void Task_Login_Ret(std::string ip, std::string mac, LONG loginId, int index, int loginError,
                        unsigned generation);
    void Task_StartUpgrade_Ret(std::string ip, std::string mac, LONG upgradeHandle, int index, unsigned generation);
    void Task_SendFile_Ret(std::string ip, std::string mac, LONG sending, int index, unsigned generation);
    void Task_UpgradeCallBack_Ret(LONG loginId, LONG upgradeHandle, int totalSize, int sendSize);
    void SetUpgradeResultStatus(unsigned task, int code);
    void SetSameSnUpgradeState(int task, int code);
    void JudgeUpgradeFinish();
    int FindTaskIndex(const char* ip, const char* mac, LONG loginId) const;
    int FindTaskIndexByUpgradID(LONG upgradeHandle) const;
    bool HasSendingTask() const;
    // The progress-bar value of a transfer report; -1 when the report moves nothing.
    static int ProgressBarValue(int totalSize, int sendSize);

    // ---- Timeout, stop, disconnect, reconnect ----
    static void OnTimer(int timerId, void* user);
    void SetTime();
    void StopUpgrade();
    void StopUpgradeSingle(int row);
    void Task_StopUpgrade_Ret(int task, int code, unsigned generation);
    void DisConnect(int task);
    void Task_DisconnectStopUpgrade_Ret(int task, unsigned generation);
    void OnReconnect(LONG loginHandle, std::string ip);
    // Tests shorten the minute tick.
    void SetUpgradeTimerPeriod(int ms) { m_nTimerPeriodMs = ms; }

    std::shared_ptr<CCloudUpgradeLogic> GetLogic() const { return m_pLogic; }
    unsigned TaskGeneration() const { return m_nTaskGeneration; }
    unsigned DownGeneration() const { return m_nDownGeneration; }
    int OutstandingStops() const { return m_nStopsOutstanding; }

    // Kept readable as members for the callers that read them directly.
    int m_bUpgrading = 0;
    int m_bDownloading = 0;
    int m_bStoppingUpgrade = 0;
    int m_bStopUpgrade = 0;
    int m_bStopDownload = 0;

private:
    std::shared_ptr<CCloudUpgradePageSink> Page() const { return m_pEventImp.lock(); }
    CCloudUpgradeTaskInfo* Task(int index) const;
    // The task and its same-serial duplicates, in list order.
    std::vector<CCloudUpgradeTaskInfo*> SameSnGroup(int index) const;
    void PostStartUpgrade(CCloudUpgradeTaskInfo& t, const char* caller);
    // Posts the worker's stop of a task's transfer with the logins that must close.
    void PostStopUpgrade(CCloudUpgradeTaskInfo& t, int code, const char* caller);
    void PostStopDownload(const DOWNLOADTASK& d, int result, const char* caller);
    // Closes a transfer and login reported for a task that is already finished.
    void PostCloseLate(LONG upgradeHandle, LONG loginHandle);
    void StopAnswered();
    bool IsDownRecord(int index, unsigned generation) const;

    std::weak_ptr<CCloudUpgradePageSink> m_pEventImp;
    std::shared_ptr<CCloudUpgradeLogic> m_pLogic;
    std::shared_ptr<CSFTimer> m_pUpgradeTimer;
    std::shared_ptr<CSFTimer> m_pOnlineTimer;
    std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>> m_vecTask;
    std::vector<DOWNLOADTASK> m_vecDownTask;
    std::vector<char> m_vecDownStopPending; // per record: a stop asked while only the placeholder was known
    std::vector<std::unique_ptr<TIMERUSER>> m_vecTimerUser;
    std::atomic<int> m_bStopCheck{0};
    std::atomic<int> m_bStopWorker{0};
    unsigned m_nTaskGeneration = 1;
    unsigned m_nDownGeneration = 1;
    int m_nStopsOutstanding = 0;
    bool m_bEndDue = false; // a run or a stop is to be reported ended, once
    int m_nTimerPeriodMs = kUpgradeTimerMs;
};
