// The local upgrade page: the devices the device list found (filtered by the panel above the
// list), a firmware file per row or one for all checked rows, and the scheduler that upgrades
// them three at a time. GUI thread only.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Common/DeviceInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CUpgradeUILogic;
class CUpgradeFileDlg;
class CUpgradeFilterEventImp;

class CUpgradeEventImp : public ISFViewEvent,
                         public ISFListCtrlEvent,
                         public ISFRadioBoxEvent,
                         public ISFStaticEvent,
                         public ISFButtonEvent,
                         public std::enable_shared_from_this<CUpgradeEventImp> {
    SF_DECLARE_MESSAGE_MAP(CUpgradeEventImp)

public:
    enum {
        COL_CHECK = 0, COL_NO = 1, COL_TYPE = 2, COL_IP = 3, COL_VERSION = 4, COL_FILE = 5, COL_BROWSE = 6,
        COL_OPERATE = 7, COL_NOTE = 8, COL_MAC = 9
    };
    enum { ID_BATCH = 1019, ID_LIST = 1020, ID_BROWSE = 1102, ID_UPGRADE = 1103, ID_PROGRESS = 1113, ID_RESULT = 1156 };

    explicit CUpgradeEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CUpgradeEventImp() override;
    static std::shared_ptr<CUpgradeEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    void Init();

    CSFView* GetView() const { return m_pView; }
    CSFListCtrl* GetListCtrl() const { return m_pListCtrl; }
    std::shared_ptr<CUpgradeUILogic> GetUpgradeUILogic() const { return m_pUpgradeUILogic; }
    std::shared_ptr<CUpgradeFileDlg> GetFileDlg() const { return m_pFileDlg; }
    std::shared_ptr<CUpgradeFilterEventImp> GetFilterPanel() const { return m_pFilter; }
    CSFButton* GetBatchButton() const { return m_pBatchBtn; }
    const std::vector<DEVICE_INFO>& GetDevices() const { return m_vecDevices; }
    // The last value each row's progress bar was set to.
    int GetRowProgress(int row) const;
    std::wstring GetCountText() const;

    int IsUpgrading();
    int IsSendingFile();
    void DisConnect(int index);
    void SetBtnState(int row, bool enable);
    void SetStartState(bool enable);

    // The scheduler's operations.
    void SetRowProgress(int row, int value);
    void ResetUpgradeResult(int row);
    void EnableBatchUpgrade(bool enable);
    void ResetBatchButtonText();
    void EnableListSort(int enable);
    void MarkDeviceForRefresh(const char* ip, const char* mac);

    // The batch dialog's OK.
    void StartBatchUpgrade(std::string firmwarePath);
    // The filter panel's requests.
    int ApplyFilter();

    // Devices handed out by the device list.
    void ClearDeviceList();
    void AddDevice(const DEVICE_INFO* device);
    bool MatchFilter(const DEVICE_NET_INFO_EX* info);
    void AddDeviceRow(const DEVICE_NET_INFO_EX* info, bool duplicateIp, int);
    void RefreshDeviceList();

    // View and list sinks, message-map handlers.
    int OnCreate() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnButton(int id, int row) override;
    void UpdateSelectedCount();
    void OnBtnBatchUpgrade();
    void OnListHeaderClick(void* data, LRESULT word);

private:
    const DEVICE_INFO* FindRecord(int row, std::string* macLower);
    void QueueRow(int row, const std::string& path);
    void OnBrowse(int row);
    void OnUpgrade(int row);
    void OnResult(int row);
    int CheckedRowCount() const;
    void SetCountText(int count);
    void ShowMessage(const wchar_t* text);
    std::wstring CellText(int row, int col, int max) const;

    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFView* m_pView = nullptr;
    std::shared_ptr<CUpgradeFilterEventImp> m_pFilter;
    std::shared_ptr<CUpgradeFileDlg> m_pFileDlg;
    CSFButton* m_pBatchBtn = nullptr;
    CSFListCtrl* m_pListCtrl = nullptr;
    CSFView* m_pListBack = nullptr;
    CSFStatic* m_pStar = nullptr;
    CSFStatic* m_pCount = nullptr;
    CSFStatic* m_pSelectedWords = nullptr;
    std::vector<DEVICE_INFO> m_vecDevices;
    std::shared_ptr<CUpgradeUILogic> m_pUpgradeUILogic;
    std::map<int, int> m_rowProgress;
    int m_nSortToggle = 0;
    bool m_bCreated = false;
};
