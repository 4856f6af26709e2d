// Records of the cloud upgrade: the page's check and remote-device records with their maps, and
// the scheduler's upgrade tasks and download records. All of them belong to loop 1.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "devsdk/DevSdkRecords.h"

class CCloudUpgradeLogic;
class CCloudUpgradeUILogic;

// ---- Page records ------------------------------------------------------------------------

// One device's last update check: the request as sent, followed by the service's answer.
struct CLOUDCHECK {
    NET_IN_CLOUD_UPGRADER_CHECK stuIn;
    NET_OUT_CLOUD_UPGRADER_CHECK stuOut;
};
static_assert(sizeof(CLOUDCHECK) == 4600, "CLOUDCHECK is the request and the answer back to back");
static_assert(offsetof(CLOUDCHECK, stuOut) == 2416, "the answer follows the request");

// One device behind a recorder. Made afresh it is zero in every field.
struct strudevice {
    char szReserved[1024] = {};
    char szDeviceID[128] = {};
    char szIP[16] = {};
    char szMac[40] = {};
    int nPort = 0;
    int nIndex = 0;          // index on its recorder
    int nVendor = 0;
    char szType[64] = {};
    char szDetailType[64] = {};
    char szLanguage[64] = {};
    char szVideoStandard[64] = {}; // e.g. "PAL,NTSC"
    char szSerialNo[64] = {};
    char szVersion[64] = {};
    char szBuildTime[64] = {};
    BYTE byCheckResult = 0;  // nonzero once the check answered
    int nCheckError = 0;
    BYTE byHasNewVersion = 0;
    char szNewVersion[64] = {};
    int nDownloadState = 0;  // 0 idle, 1 downloading, 2 paused, 3 downloaded, 4 failed
    int nDownloadPercent = 0;
    int nUpgradeState = 0;   // 0 idle, 1 upgrading
    char szFileName[1024] = {};
    char szDownloadUrl[1024] = {};
    char szXml[1024] = {};
};

// Check records by upper-case device MAC; remote devices by upper-case recorder MAC, in the order
// of their index on the recorder.
typedef std::map<std::string, CLOUDCHECK> CloudCheckMap;
typedef std::map<std::string, std::vector<strudevice>> RemoteDeviceMap;

// The map key of a MAC text: a to z made capitals, nothing else changed.
std::string CloudMacKey(const char* mac);
// Stores a check under the device's MAC, replacing an earlier one.
void StoreCloudCheck(CloudCheckMap& map, const char* mac, const CLOUDCHECK& check);
// The stored check of a MAC, or null.
CLOUDCHECK* FindCloudCheck(CloudCheckMap& map, const char* mac);
// The first remote device of the recorder whose serial number matches (ASCII case ignored), or null.
strudevice* FindRemoteDevice(RemoteDeviceMap& map, const char* recorderMac, const char* serialNo);
// ASCII case-insensitive equality of two texts.
bool SameTextNoCase(const std::string& a, const std::string& b);

// ---- Scheduler records -------------------------------------------------------------------

// The remote-device part of an upgrade task, copied as a block.
struct REMOTETASKINFO {
    int nRemoteIndex = -1;   // -1 local device; 0 or more: index on its recorder
    int nParentTask = -1;    // task index of the recorder's own task; -1 local
    char szDeviceID[128] = {};
    int nVendor = 0;
};

// One device to be upgraded. Only appended to the task list and cleared with it, so its index
// stays valid for the list's life.
struct CCloudUpgradeTaskInfo {
    int m_nPort = 0;
    char m_szIP[64] = {};
    char m_szMac[40] = {};        // a remote task carries its recorder's MAC
    char m_szUserName[32] = {};
    char m_szPassword[64] = {};
    char m_szSerialNo[64] = {};
    LONG m_nloginID = 0;
    LONG m_lUpgradID = 0;         // 1 while a start is requested, then the SDK's handle, 0 when none
    int m_nProgress = 0;
    int m_nTaskIndex = 0;
    int m_bUpgradeSuccess = 0;
    int m_nTimeoutCount = 0;      // minutes counted while upgrading
    int m_nUpgradeState = 0;      // 0 waiting, 1 upgrading, 2 finished
    int m_nSendState = 0;         // 0 nothing sent, 1 file accepted, 2 whole file sent
    int m_nItem = 0;              // row on the page
    std::string m_strFilePath;
    int m_nSameSnState = 0;       // 1 whole file sent, 2 upgrade succeeded
    int m_nSameSnIndex = -1;
    int m_nSameFileIndex = -1;
    int m_bRebootDone = 0;
    int m_bStopSingle = 0;
    REMOTETASKINFO m_stRemote;
};

// One firmware file to download. Held by value and only appended or cleared whole.
struct DOWNLOADTASK {
    std::string m_strIP;
    std::string m_strMac;         // the record's key
    LONG m_lUpgradID = 0;         // 1 while a start is requested, then the SDK's handle, 0 when none
    int m_nProgress = 0;
    int m_nIndex = 0;
    int m_nResult = 0;            // 1 downloaded
    int m_nDownloadState = 0;     // 0 waiting, 1 downloading, 2 start requested, 3 finished
    int m_nItem = 0;
    std::string m_strFilePath;
    std::string m_strUrl;
    int m_nSameIndex = -1;        // index of an earlier record with the same file whose download it shares
};

// Download record states.
enum { DOWNTASK_WAITING = 0, DOWNTASK_DOWNLOADING = 1, DOWNTASK_STARTING = 2, DOWNTASK_FINISHED = 3 };

// User value of a download's SDK callback; freed when no further callback can come.
struct DOWNLOADUSER {
    CCloudUpgradeLogic* pLogic = nullptr;
    int nIndex = 0;
    unsigned nGeneration = 0;     // download list the record belongs to
    LONG lHandle = 0;             // the SDK's download handle once known
};

// User value of the online re-check timer.
struct TIMERUSER {
    CCloudUpgradeUILogic* pLogic = nullptr;
    int nTaskIndex = 0;
};

// Value of an upgrade or download handle whose start is posted and not yet answered.
constexpr LONG kPendingHandle = 1;

// The same-serial and same-file links of a freshly built task list: a waiting task follows the
// first earlier unfinished task with the same serial number, else shares the file of the first
// earlier unfinished task with the same path (both compared without ASCII case).
void SetUpgradeSameIndex(std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>>& tasks);
