// Worker of the cloud upgrade: its Task_ methods run on loop 2 (update checks of devices reached
// directly) or loop 3 (remote checks, downloads, firmware transfers), make every SDK call of the
// feature and post each result to the scheduler on loop 1. It reads no task record: what it needs
// comes in the posted call, and record changes are made by the result handlers on loop 1. Calls
// carry the generation of the list they belong to, which comes back unchanged.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "CloudUpgrade/CloudUpgradeRecords.h"
#include "os/WinTypes.h"

class CCloudUpgradeUILogic;

// Result values of an update check besides the login error.
enum {
    CLOUD_CHECK_STOPPED = 11,
    CLOUD_CHECK_TIMEOUT = 12,
    CLOUD_CHECK_FAILED = 13,
};

// Writes the MD5 digest of the bytes as 32 upper-case hexadecimal digits; out holds 33 bytes.
void Md5UpperHex(const void* data, int length, char* out);
// Writes the account text and token of serial number S and the update-server address into a request.
void FillCloudAccount(NET_IN_CLOUD_UPGRADER_CHECK& request, const std::string& serialNo, const std::string& url);

class CCloudUpgradeLogic : public std::enable_shared_from_this<CCloudUpgradeLogic> {
public:
    explicit CCloudUpgradeLogic(const std::shared_ptr<CCloudUpgradeUILogic>& uiLogic);
    ~CCloudUpgradeLogic();

    // Values the tasks take from the settings, set on loop 1 before posting.
    void SetCloudUrl(const std::string& url);
    std::string CloudUrl() const;
    void SetUpdateWaitSec(int seconds) { m_nUpdateWaitSec = seconds; }

    // ---- Update checks ----
    void Task_CloudUpgradeCheck(std::string ip, int port, std::string user, std::string password, std::string mac,
                                NET_IN_CLOUD_UPGRADER_CHECK& request, std::string serialNo, BYTE unused);
    void Task_RemoteUpgraderCheck(strudevice device, std::string key, int row);

    // ---- Downloads ----
    void Task_StartDownloadFile(std::string url, std::string path, std::string key, int index, unsigned generation);
    void Task_StopDownloadFile(LONG handle, int index, int flag, unsigned generation);
    static void CloudUpgraderDownCallBackFunc(LONG handle, int state, WORD, WORD, DWORD percent, void* user);

    // ---- Firmware transfers ----
    void Task_StartUpgrade(std::string ip, std::string user, std::string password, int port, std::string mac,
                           std::string filePath, int index, unsigned generation);
    // Closes the transfer and the logins named by the scheduler, then answers.
    void Task_StopUpgrade(LONG login, LONG upgrade, int index, int reason, std::vector<LONG> logouts,
                          unsigned generation);
    void Task_DisconnectStopUpgrade(int index, LONG login, LONG upgrade, bool remote, unsigned generation);
    static void BatchCloudUpgradeCallBackFunc(LONG login, LONG upgrade, int totalSize, int sendSize, void* user);

    // Download user records still held (tests).
    size_t DownloadUserCount() const;

private:
    // Posts a call of the scheduler to loop 1; false when the scheduler is gone.
    bool PostToUI(const char* method, const char* caller, std::function<void(CCloudUpgradeUILogic&)> call);
    void ForgetDownloadUser(DOWNLOADUSER* user);

    std::weak_ptr<CCloudUpgradeUILogic> m_pUILogic;
    mutable std::mutex m_mu;
    std::string m_strCloudUrl;
    std::atomic<int> m_nUpdateWaitSec{30};
    std::map<DOWNLOADUSER*, std::unique_ptr<DOWNLOADUSER>> m_downUsers;
};
