// The device list page: one row per device of the model that passes the filter panel, the page's
// buttons and the row operations. GUI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Common/DeviceInfo.h"
#include "Main/CDeviceListUILogic.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CModifyIPUILogic;
class CModifyIPFileDlg;
class CFilterMainEventImp;
class CDetialsDlgEventImp;
class CDeviceListUILogic;
class CSFPictureCtrl;
class IDeviceListPeers;

class CSearchDevEventImp : public ISFViewEvent,
                           public ISFListCtrlEvent,
                           public ISFRadioBoxEvent,
                           public ISFStaticEvent,
                           public ISFButtonEvent,
                           public std::enable_shared_from_this<CSearchDevEventImp> {
    SF_DECLARE_MESSAGE_MAP(CSearchDevEventImp)

public:
    explicit CSearchDevEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CSearchDevEventImp() override;

    int Create();
    CSFView* GetView() const { return m_pView; }
    CSFListCtrl* GetListCtrl() const { return m_pListCtrl; }
    // The number of ticked rows shown beside "devices ware selected".
    CSFStatic* GetSelectedCountLabel() const { return m_pCountLabel; }
    void EnableListSort(bool enable);
    std::shared_ptr<CMainFrameEventImp> GetMainFrame() const { return m_wpMainFrame.lock(); }
    int IsModifyingIP();
    std::shared_ptr<CModifyIPUILogic> GetModifyIPUILogic() const { return m_pModifyIPUILogic; }
    // The two dialogs are made on first use.
    std::shared_ptr<CModifyIPFileDlg> GetModifyIPFileDlg() const;
    std::shared_ptr<CFilterMainEventImp> GetFilterPanel() const { return m_pFilterMain; }
    std::shared_ptr<CDetialsDlgEventImp> GetDetailsDlg() const;

    void SetSearchParam(int mode, int count, std::string startIp);
    void GetSearchParam(int& mode, int& count, std::string& startIp) const;
    bool IsRowCheckedByDevice(const char* ip, const char* mac, int& row);
    bool IsCurrentDevice(const char* ip, const char* mac);

    // Rows, as the model drives them.
    void AddDeviceRow(const DEVICE_NET_INFO_EX* info, bool ipConflict);
    bool IsShownByFilter(const DEVICE_NET_INFO_EX* info);
    void ClearList();
    void MarkDeviceInitialized(const DEVICE_NET_INFO_EX* info, bool ipConflict);
    void HighlightRow(std::string mac, std::string ip);
    int ApplyFilter();
    void EnableBatchButtons(bool enable);
    // Index in the model's list of the device shown in that row; -1 when none.
    int FindDeviceIndex(int row);

    // Operations.
    void StartSearch();
    void SearchManualDevice(std::string ip);
    void StartModifyIP(std::string ip, std::string mask, std::string gateway, int sameIp, int dhcp);

    // View sink.
    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;
    virtual void OnListItemClicked(void* data, LRESULT word);
    void RADIO_OnClicked(int checked, int id, POINT point) override;

    // Message-map handlers.
    void UpdateSelectedCount();
    void OnWebLogin();
    void OnDetails();
    void OnModifyIP();
    void OnModifyResult();
    void OnBatchModifyIP();
    void OnManualAdd();
    void OnDelete();
    void OnImport();
    void OnExport();
    void OnActivate();
    void OnHeaderClicked(void* data, LRESULT word);
    void OnListItemClickedMap(void* data, LRESULT word) { OnListItemClicked(data, word); }

    // Web Login address of a device address text and web port.
    static std::wstring MakeWebUrl(const std::string& ip, int webPort);
    // Who the page talks to (set before Create; CreateSearchDevView sets the main window's).
    void SetPeers(std::shared_ptr<IDeviceListPeers> peers) { m_pPeers = peers; }
    std::shared_ptr<IDeviceListPeers> GetPeers() const { return m_pPeers; }
    // Numeric sort key of a dotted IPv4 address: every part left-padded with "0" to three digits.
    static std::string IpSortKey(const std::string& ip);
    // Reorders records by address key: descending with ascending false.
    static void SortByIpKey(std::vector<DEVICE_INFO>& records, bool ascending);

    int GetCurrentRow() const { return m_nCurRow; }
    int GetCurrentDeviceIndex() const { return m_nCurDevIndex; }

private:
    std::shared_ptr<CDeviceListUILogic> GetListLogic() const;
    void SetRowIconAndButtons(int row, const DEVICE_NET_INFO_EX* info);
    void ShowFilterPanel(bool show);
    int CheckedRowCount();
    void SetCountLabel(int count);
    bool RowMatches(int row, const char* ip, const char* mac);
    void ShowMessage(const wchar_t* text, bool pageParent);
    void ShowDetails(int index);
    // What the worker loop needs to log in, copied on the GUI thread: a re-insert may rewrite
    // the shared record meanwhile.
    struct DetailsLogin {
        std::string ip;
        int port = 0;
        bool p2p = false;
        std::string user;
        std::string password;
    };
    void Task_QueryDetails(DevicePtr device, DetailsLogin login, std::weak_ptr<CSearchDevEventImp> page);
    void Task_QueryDetails_Ret(DevicePtr device, bool ok, uint32_t buildDate, std::string version,
                               std::string serial);

    std::shared_ptr<IDeviceListPeers> m_pPeers;
    std::shared_ptr<CModifyIPUILogic> m_pModifyIPUILogic;
    CSFView* m_pView = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    std::shared_ptr<CFilterMainEventImp> m_pFilterMain;
    mutable std::shared_ptr<CDetialsDlgEventImp> m_pDetailsDlg;
    mutable std::shared_ptr<CModifyIPFileDlg> m_pModifyIPFileDlg;
    CSFPictureCtrl* m_pTitle = nullptr;
    CSFRadioBox* m_pFilterTab = nullptr;
    CSFRadioBox* m_pAllTab = nullptr;
    CSFButton* m_pBatchModifyBtn = nullptr;
    CSFStatic* m_pStarLabel = nullptr;
    CSFStatic* m_pCountLabel = nullptr;
    CSFStatic* m_pSelectedLabel = nullptr;
    CSFButton* m_pDeleteBtn = nullptr;
    CSFButton* m_pManualAddBtn = nullptr;
    CSFListCtrl* m_pListCtrl = nullptr;
    CSFView* m_pListBack = nullptr;
    CSFButton* m_pImportBtn = nullptr;
    CSFButton* m_pExportBtn = nullptr;
    CSFButton* m_pActivateBtn = nullptr;
    int m_nSearchMode = 0;
    int m_nIpCount = 0;
    std::string m_strStartIp;
    char m_szCurIp[64] = {};
    char m_szCurUser[32] = {};
    char m_szCurPassword[64] = {};
    char m_szCurMac[64] = {};
    int m_nCurPort = 0;
    int m_nCurWebPort = 0;
    int m_nCurDevIndex = -1;
    int m_nCurRow = -1;
    uint8_t m_bySingleMode = 0;
    bool m_bCreated = false;
    bool m_bDetailsPending = false;

    static bool s_bSortAscending;
};

std::shared_ptr<CSearchDevEventImp> CreateSearchDevView(std::weak_ptr<CMainFrameEventImp> mainFrame);
