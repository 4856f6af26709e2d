// Scheduler of the local upgrade (loop 1): the list of queued devices, at most three of them
// under way at once, their results written into the upgrade page, the minute timeout, the
// device-lost and device-back handling and the stop sequence. Everything here runs on loop 1; the
// worker (loop 3) and the SDK's threads reach it only through posted calls.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "os/WinTypes.h"

class CSFTimer;
class CUpgradeEventImp;
class CUpgradeLogic;

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
    unsigned m_nTaskId = 0;    // unique per record: late results of a cleared list are told apart
};

// Result codes, stored as item data of column 0 of the device's row.
enum UPGRADE_RESULT {
    UPGRADE_SUCCESS = 0,
    UPGRADE_START_FAILED = 1,
    UPGRADE_SEND_FAILED = 2,
    UPGRADE_FAILED = 3,
    UPGRADE_TIMEOUT = 4,
    UPGRADE_OFFLINE = 5,
    UPGRADE_CANCELED = 6,
    UPGRADE_LOGIN_FAILED = 7  // + the login error
};

// The English text of a result code (to be passed through Tr).
const wchar_t* UpgradeResultText(DWORD code);

class CUpgradeUILogic : public std::enable_shared_from_this<CUpgradeUILogic> {
public:
    static constexpr int kMaxRunning = 3;
    static constexpr int kTimerMs = 60000;

    explicit CUpgradeUILogic(std::weak_ptr<CUpgradeEventImp> page);
    ~CUpgradeUILogic();
    static std::shared_ptr<CUpgradeUILogic> Create(std::weak_ptr<CUpgradeEventImp> page);
    void Init();

    std::vector<std::shared_ptr<CUpgradeTaskInfo>>& GetTaskVec() { return m_vecTask; }
    int IsUpgrading() const { return m_bUpgrading; }
    int IsStopping() const { return m_bStop; }
    bool IsSendingFile() const;
    // Records counted as under way.
    int RunningCount() const { return m_nRunning; }

    void InsertTaskInfo(int port, const char* ip, const char* user, const char* password, const char* mac, int row,
                        std::string file, int p2p);
    void ClearVecTask();
    void LogoutAndClearTasks();
    // Starts waiting records (restartOne false) or restarts the record of a device that came back.
    void StartUpgrade(LONG loginHandle, int restartOne);
    void UpgradeNext();
    void Stop();
    void DisConnect(int index);
    // A device is back on a login the SDK re-established after its reboot: a record that has
    // succeeded needs it no more.
    void OnDeviceBack(LONG loginHandle);

    // Worker results (loop 1).
    void Task_Login_Ret(std::string ip, std::string mac, LONG loginHandle, int index, int loginError, unsigned taskId);
    void Task_StartUpgrade_Ret(std::string ip, std::string mac, LONG upgradeHandle, int index, unsigned taskId);
    void Task_SendFile_Ret(std::string ip, std::string mac, int result, int index, unsigned taskId);
    void Task_UpgradeCallBack_Ret(LONG loginHandle, LONG upgradeHandle, int total, int sent);
    void Task_StopUpgrade_Ret(LONG upgradeHandle, int stopResult, bool automatic);
    void Task_Stop_Ret();

    // The minute tick.
    static void OnTimer(int timerId, void* user);
    void SetTime();

private:
    std::shared_ptr<CUpgradeTaskInfo> TaskOf(int index, unsigned taskId) const;
    void PostStart(const CUpgradeTaskInfo& task);
    void PostStopUpgrade(const CUpgradeTaskInfo& task, bool automatic);
    void PostLogout(LONG loginHandle);
    void Finish(CUpgradeTaskInfo& task, DWORD code);
    void ShowResult(const CUpgradeTaskInfo& task, DWORD code);
    void SetStatus(const CUpgradeTaskInfo& task, const wchar_t* text);
    void EndStop();
    void StartTimer();
    void StopTimer();

    std::weak_ptr<CUpgradeEventImp> m_wpPage;
    std::shared_ptr<CUpgradeLogic> m_pLogic;
    int m_bStop = 0;
    int m_nCurIndex = -1;
    int m_nStopNum = 0;
    int m_nAutoStops = 0;  // automatic stops posted and not answered yet
    std::unique_ptr<CSFTimer> m_pTimer;
    int m_bUpgrading = 0;
    int m_nRunning = 0;
    unsigned m_nNextTaskId = 1;
    std::vector<std::shared_ptr<CUpgradeTaskInfo>> m_vecTask;
    // Logins of upgraded devices that the SDK re-establishes after their reboot; released when
    // the device is back, also when the list was cleared meanwhile.
    std::set<LONG> m_setReleaseOnBack;
};
