// The cloud upgrade page: the devices the search found, their update check state, per-row download
// and upgrade widgets, import and export at the top left and the download-all, upgrade-all and
// check buttons at the bottom right. A hint with a "click here" link stands in for an empty list.
// GUI thread only; the scheduler reaches it through tasks posted to loop 1.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CloudUpgrade/CloudOffline.h"
#include "CloudUpgrade/CloudUpgradePageSink.h"
#include "CloudUpgrade/CloudUpgradeRecords.h"
#include "Common/DeviceInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CCloudUpgradeUILogic;
class CCloudAcountDlg;
class CMsgDlgEventImp;
class CSFDialog;
class CSFTimer;

class CCloudUpgradeEventImp : public ISFViewEvent,
                              public ISFListCtrlEvent,
                              public ISFRadioBoxEvent,
                              public ISFStaticEvent,
                              public ISFButtonEvent,
                              public CCloudUpgradePageSink,
                              public std::enable_shared_from_this<CCloudUpgradeEventImp> {
    SF_DECLARE_MESSAGE_MAP(CCloudUpgradeEventImp)

public:
    enum {
        COL_CHECK = 0, COL_NO = 1, COL_TYPE = 2, COL_IP = 3, COL_SN = 4, COL_VERSION = 5, COL_CHECKSTATE = 6,
        COL_DOWNLOAD = 7, COL_UPGRADE = 8, COL_MAC = 9
    };
    enum {
        ID_VIEW = 107, ID_LIST = 1020, ID_GET = 1180, ID_SAVE = 1181, ID_DOWNLOAD_ALL = 1183, ID_UPGRADE_ALL = 1184,
        ID_CHECK = 1189, ID_HEADER_CHECK = 2132, ID_ROW_CHECK = 2133,
        // Row widgets.
        ID_EXPAND = 1185, ID_DOWNLOAD_BAR = 1186, ID_CHECK_RESULT = 1187, ID_REFRESH = 1188, ID_DOWNLOAD = 1209,
        ID_UPGRADE = 1103, ID_UPGRADE_BAR = 1113, ID_UPGRADE_RESULT = 1156
    };
    // Safety limit of the wait box while a download stops.
    static constexpr int kWaitTimeoutMs = 30000;

    explicit CCloudUpgradeEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CCloudUpgradeEventImp() override;
    static std::shared_ptr<CCloudUpgradeEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    int Init();

    CSFView* GetView() const { return m_pView; }
    std::shared_ptr<CCloudUpgradeUILogic> GetCloudUpgradeUILogic() const { return m_pUILogic; }
    std::shared_ptr<CCloudAcountDlg> GetAccountDlg() const { return m_pAccountDlg; }
    CSFListCtrl* GetListCtrl() const { return m_lstctrlDev; }
    std::vector<DEVICE_INFO>& GetDeviceVector() { return m_vecDevice; }
    CloudCheckMap& GetCheckMap() { return m_mapCheck; }
    RemoteDeviceMap& GetRemoteMap() { return m_mapRemote; }
    CSFDialog* GetWaitDialog() const { return m_pWaitDlg; }
    CMsgDlgEventImp* GetWaitSink() const { return m_pWaitSink; }
    CSFButton* GetButton(int id) const;
    CSFStatic* GetHintText(int which) const { return which == 1 ? m_pHintText1 : m_pHintText2; }
    int GetCurRow() const { return m_nCurRow; }
    int GetCurDevIndex() const { return m_nCurDevIndex; }
    int GetCheckRemain() const { return m_nCheckRemain; }
    int GetSingleCheck() const { return m_bSingleCheck; }
    int GetStopChecking() const { return m_bStopChecking; }

    // ---- View and list sinks ----
    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;
    void OnButton(int id, int row) override;

    // ---- Message-map handlers ----
    void OnCheckBoxChanged() {}
    void OnBtnGetIngfo();
    void OnBtnSaveInfo();
    void OnBtnDownLoadFile();
    void OnBtnKeyUpgrade();
    void OnBtnCheck();
    void OnItemClicked(void* data, LRESULT result);
    void OnListHeaderClick(void* data, LRESULT result);
    static void OnWaitTimeout(int timerId, void* user);

    // ---- Offline export and import ----
    // The file chooser, called like SFFileDialog; tests put their own in its place.
    typedef int (*FileChooser)(void*, wchar_t*, int, int, const wchar_t*, const wchar_t*, const wchar_t*, DWORD,
                               const wchar_t*, void*);
    static void SetFileChooserForTest(FileChooser chooser);
    void Task_SaveInfo(std::string archive);
    void Task_SaveInfo_Ret(std::shared_ptr<cloudoffline::ExportResult> result);
    static void ReadExcelEx(std::weak_ptr<CCloudUpgradeEventImp> page, std::string path, std::string user,
                            std::string password, CloudCheckMap checks, RemoteDeviceMap remotes);
    void ReadExcelEx_Ret(std::shared_ptr<cloudtemplate::ReadResult> result, std::shared_ptr<CloudCheckMap> checks,
                         std::string path);

    // ---- Busy state (asked by the device list and the settings dialog) ----
    int IsChecking();
    int IsUpgrading();
    int IsStoppingUpgrade();
    int IsDownloading();
    void OnUpgradeButtonIdle();

    // ---- Devices and rows ----
    void AddDevice(const DEVICE_INFO* device);
    static bool IsIPv4Device(const DEVICE_NET_INFO_EX* info) { return info && info->nIpVersion == 4; }
    void AddDeviceRow(const DEVICE_NET_INFO_EX* info, bool highlight, int = 0);
    void AddCheckingDeviceRow(const DEVICE_NET_INFO_EX* info, bool highlight, int = 0);
    void AddStoredDeviceRow(const DEVICE_INFO& record, bool highlight);
    void AddRemoteDeviceRow(const strudevice& remote, int recorderRowPlus1);
    void InitRowButtons(const DEVICE_NET_INFO_EX* info, int row, bool skipIcon);
    int FindDeviceIndexByRow(int row);
    void ShowEmptyHint(bool show);
    void ClearDeviceList();
    void SetStopCheckFlag(int flag) { m_bStopChecking = flag; }
    int GetStopCheckFlag() const { return m_bStopChecking; }
    void EnableControls(bool enable);
    void EnableKeyUpgrade(bool enable);
    void SetSingleCheck(int single) { m_bSingleCheck = single; }

    // ---- Row states (the scheduler's calls) ----
    void ResetRowTransfer(int row, bool isDownload) override;
    void SetDownloadResult(int row, bool success) override;
    void MarkRowDownloading(int row) override;
    void MarkRowUpgrading(int row) override;
    void EnableRowButtons(int row, bool enable, bool isDownload) override;
    void SetRowButtonEnable(int row, int buttonId, bool enable) override;
    void SetRowProgress(int row, int value, int barId) override;
    void SetSortEnable(bool enable) override;
    void ResetUpgradeResult(int row) override;
    void ShowUpgradeResult(int row, int code) override;
    void ResetUpgradeButton(bool enable) override;
    void ResetDownloadButton(bool enable) override;
    void MarkDeviceUpgraded(const char* ip, const char* mac) override;
    void HideProgressDialog() override;
    void ShowAttention(const wchar_t* text) override;

    // ---- Checks ----
    void EnableCheckControls(bool enable);
    void HideUpgradeResultButtons();
    void CheckRemoteDevice(strudevice& remote, const std::string& recorderKey, int row);
    void CollapseRecorder(int deviceIndex, int row);
    void CollapseAllRecorders();
    void CheckDevice(const DEVICE_INFO* record);
    void CheckWithAccount(const char* user, const char* password);
    void OnCheckResult(std::shared_ptr<NET_IN_CLOUD_UPGRADER_CHECK> request,
                       std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer, int checkResult, std::string ip,
                       std::string mac, long loginHandle, int result) override;
    void OnRemoteCheckResult(std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer, int checkResult,
                             std::string serialNo, std::string recorderKey, int row) override;
    void ShowImportedDevice(const DEVICE_INFO& record);
    // The English text the check result button shows for an error code.
    static const wchar_t* CheckErrorText(int code);

    // ---- Downloads and upgrades ----
    void StartBatchDownload();
    void StartBatchUpgrade();
    void MarkRowTransferQueued(int row, bool isDownload);
    void SetDownloadSameIndex();
    void SetUpgradeSameIndex();
    int FindRecorderTask(const char* mac);
    int IsRemoteDeviceUpgrading(const char* mac);
    void ShowStartDownloadWait();
    void ResetKeyUpgradeText();

    // ---- Header click ----
    void RestoreRowState(const DEVICE_INFO& record);
    // Sort key of a dotted address: each part left-padded with "0" to three characters.
    static std::string IpSortKey(const std::string& ip);

private:
    // Text of a cell, at most max characters, as UTF-8.
    std::string CellText(int row, int col, int max = 63) const;
    void SetCellUtf8(int row, int col, const std::string& text);
    // The remote record a remote row shows, or null (also null for a top row).
    strudevice* RemoteOfRow(int row, std::string* recorderKey = nullptr);
    // The recorder key of a remote row: the recorder row's MAC text in capitals.
    std::string RecorderKeyOfRow(int row);
    // The download or upgrade state of what a row shows: every record of its serial number under
    // its recorder for a remote row, else the device's own record.
    void SetRowTransferState(int row, bool isDownload, int state);
    void ShowCheckState(int row, BYTE checkResult, int checkError, BYTE hasNew, const char* newVersion,
                        int downloadState, int downloadPercent);
    void AddFailedCheckButtons(int row);
    void MakeListLive();
    void ResetRowForCheck(int row);
    void AppendMissingStoredRows();
    void ExpandRecorder(int deviceIndex, int row, const std::vector<strudevice>& remotes);
    // The number in a row's "NO." cell (leading digits, at most 9).
    int RowNumberOf(int row);
    // The select-all box and every row's box cleared.
    void ClearAllChecks();
    void OnRefreshRow(int row);
    void OnExpandRow(int row);
    // The row's DownLoad, Upgrade and upgrade result buttons.
    void OnRowDownload(int row);
    void OnRowUpgrade(int row);
    void OnRowUpgradeResult(int row);
    void OnRemoteRowDownload(int row);
    void StartOrQueueDownload(int row);
    // Adds the row's upgrade task when its firmware is downloaded; false when it cannot be upgraded.
    bool InsertUpgradeTask(int row);
    bool AnyRowTicked() const;
    // Tells the user when the download folder is missing or its name too long.
    bool CheckDownloadFolder();
    // The stored record of a top row by its address and MAC texts, or null.
    DEVICE_INFO* RecordOfRow(int row);
    // Ends the run of checks when nothing is outstanding.
    void EndCheckRun();
    void ShowWaitBox(const wchar_t* text);
    void Message(const wchar_t* text);
    bool RowValid(int row) const;
    // The archive is unpacked (away from the GUI thread): the parse follows or the failure is shown.
    void OnOfflineArchiveExtracted(std::shared_ptr<cloudoffline::ExtractResult> result, std::string folder);
    void SetImporting(bool importing);

    CSFView* m_pView = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_pMainFrame;
    std::shared_ptr<CCloudAcountDlg> m_pAccountDlg;
    CSFButton* m_pBtnGet = nullptr;
    CSFButton* m_pBtnSave = nullptr;
    CSFListCtrl* m_lstctrlDev = nullptr;
    CSFView* m_pBackView = nullptr;
    CSFView* m_pHintView = nullptr;
    CSFStatic* m_pHintText1 = nullptr;
    CSFButton* m_pBtnClickHere = nullptr;
    CSFStatic* m_pHintText2 = nullptr;
    CSFButton* m_pBtnDownload = nullptr;
    CSFButton* m_pBtnUpgrade = nullptr;
    CSFButton* m_pBtnCheck = nullptr;
    CMsgDlgEventImp* m_pWaitSink = nullptr;
    CSFDialog* m_pWaitDlg = nullptr;
    std::vector<DEVICE_INFO> m_vecDevice;
    int m_bRowsShown = 0;
    int m_nCurDevIndex = 0;
    int m_nCurRow = -1;
    char m_szCurIP[64] = {};
    char m_szCurUser[32] = {};
    char m_szCurPassword[64] = {};
    char m_szCurMac[64] = {};
    int m_nCurPort = 0;
    int m_nImportCount = 0;
    int m_nRowNumber = 0;
    CloudCheckMap m_mapCheck;
    RemoteDeviceMap m_mapRemote;
    int m_checkCou = 0;
    int m_nCheckRemain = 0;
    int m_nRemoteCheckCount = 0;
    int m_bChecking = 0;
    std::shared_ptr<CCloudUpgradeUILogic> m_pUILogic;
    int m_bSingleCheck = 0;
    int m_bStopChecking = 0;
    std::shared_ptr<CSFTimer> m_pTimer;
    bool m_bCreated = false;
};
