// The Manual Add dialog: one device added to the device list by its address (port, user name,
// password) or by its serial number. The worker logs in and reads five pieces of information;
// the dialog builds the device record from them on loop 1 and hands it to the device list.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFIPAddressCtrl.h"
#include "Widgets/SFStatic.h"
#include "devsdk/DevSdkRecords.h"

class CMainFrameEventImp;
class CLoginDevLogic;

class CLoginDevEventImp : public ISFDialogEvent,
                          public ISFButtonEvent,
                          public ISFEditCtrlEvent,
                          public ISFComboBoxEvent,
                          public std::enable_shared_from_this<CLoginDevEventImp> {
    SF_DECLARE_MESSAGE_MAP(CLoginDevEventImp)

public:
    enum { ID_CLOSE = 502, ID_OK = 505, ID_USER = 1118, ID_PASSWORD = 1119, ID_PORT = 1147, ID_ADD_TYPE = 1203,
           ID_SERIAL = 1204 };
    enum { LOGIN_SPEC_DIRECT = 0, LOGIN_SPEC_P2P = 19 };

    explicit CLoginDevEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CLoginDevEventImp() override;

    static std::shared_ptr<CLoginDevEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    int CreateDlg();
    CSFDialog* GetDialog() const { return m_pDialog; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    void Dlg_Destroy() override {}
    void OnMacMenu(UINT) override {}

    void EDIT_OnTextChange(UINT id, wchar_t* text) override;
    void SelectChanged(int id, int index) override;
    void OnBtnOK();
    void OnBtnClose();

    // Results of the worker's tasks (loop 1).
    void Task_LoginDev_Ret(int loginId, int error, int port);
    void Task_QueryNetworkInfo_Ret(std::shared_ptr<tagCFG_NETWORK_INFO> record, int result, int index);
    void Task_QueryDVRIPInfo_Ret(std::shared_ptr<tagCFG_DVRIP_INFO> record, int result);
    void Task_QueryHttpsInfo_Ret(std::shared_ptr<tagCFG_HTTPS_INFO> record, int result);
    void Task_QueryVesInfo_Ret(std::shared_ptr<ZRDEV_VERSION_INFO> record, int result);
    void Task_QuerySysInfo_Ret(std::shared_ptr<ZRDEV_SYSTEM_ATTR_CFG> record, int result);
    void DealLoginInfo(int index);

    // Local port mapped to the device's service through the P2P proxy; 0 when it cannot be
    // mapped. Runs on loop 3 and touches no member.
    int P2PGetPort(const std::string& serial);
    // The same; `reason` tells which stage failed (P2P_*), 0 on success.
    enum { P2P_UNRESOLVED = 1, P2P_SERVER_OFFLINE = 2, P2P_DEVICE_OFFLINE = 3, P2P_MAP_FAILED = 4 };
    static int P2PGetPort(const std::string& serial, int& reason);
    // P2P server: by the Language setting, or VX_P2P_SERVER ("host:port") when set.
    static void P2PServerOf(std::string& host, int& port);

    // Port of the last Manual Add login; no login was made yet, so no port matches.
    bool IsLoginPort(int port) const { return m_nLoginPort != 0 && port == m_nLoginPort; }
    // User name and password of the last Manual Add (UTF-8).
    void GetLoginAccount(std::string& user, std::string& password) const;
    // Whether an add is under way (from OK until its last step).
    bool IsAdding() const { return m_bAdding; }

    // The list's type text of a device type as the device reports it ("" for an empty one).
    static std::string TypeTextOf(std::string devType);

    // Controls, for the tests.
    CSFIPAddressCtrl* GetIpCtrl() const { return m_pIpCtrl; }
    CSFEditCtrl* GetUserEdit() const { return m_pUserEdit; }
    CSFEditCtrl* GetPasswordEdit() const { return m_pPasswordEdit; }
    CSFEditCtrl* GetPortEdit() const { return m_pPortEdit; }
    CSFEditCtrl* GetSerialEdit() const { return m_pSerialEdit; }
    CSFComboBox* GetAddTypeCombo() const { return m_pAddType; }
    CSFButton* GetOkButton() const { return m_pOkBtn; }

private:
    bool PostToWorker(int line, const char* taskName, const char* callerName,
                      std::function<void(CLoginDevLogic&)> call);
    void ShowError(const std::wstring& text, const wchar_t* caption, bool dialogOpen);
    void HandToSearch();
    void ShowAddressRows(bool address);

    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    std::shared_ptr<CLoginDevLogic> m_pWorker;
    CSFDialog* m_pDialog = nullptr;
    CSFStatic* m_pIpLabel = nullptr;
    CSFIPAddressCtrl* m_pIpCtrl = nullptr;
    CSFStatic* m_pUserLabel = nullptr;
    CSFEditCtrl* m_pUserEdit = nullptr;
    CSFStatic* m_pPasswordLabel = nullptr;
    CSFEditCtrl* m_pPasswordEdit = nullptr;
    CSFStatic* m_pPortLabel = nullptr;
    CSFEditCtrl* m_pPortEdit = nullptr;
    CSFStatic* m_pAddTypeLabel = nullptr;
    CSFComboBox* m_pAddType = nullptr;
    CSFStatic* m_pSerialLabel = nullptr;
    CSFEditCtrl* m_pSerialEdit = nullptr;
    CSFButton* m_pCloseBtn = nullptr;
    CSFButton* m_pOkBtn = nullptr;

    int m_bNetInfoGet = 0;
    int m_bDvripInfoGet = 0;
    int m_bHttpsInfoGet = 0;
    int m_bSysInfoGet = 0;
    int m_bVesInfoGet = 0;
    int m_nLoginId = 0;
    int m_bNetInfoGetFlag = 0;
    int m_bDvripInfoGetFlag = 0;
    int m_bHttpsInfoGetFlag = 0;
    int m_bSysInfoGetFlag = 0;
    int m_bVesInfoGetFlag = 0;
    std::shared_ptr<tagCFG_NETWORK_INFO> m_pNetInfo;
    std::shared_ptr<tagCFG_DVRIP_INFO> m_pDvripInfo;
    std::shared_ptr<tagCFG_HTTPS_INFO> m_pHttpsInfo;
    std::shared_ptr<ZRDEV_VERSION_INFO> m_pVesInfo;
    std::shared_ptr<ZRDEV_SYSTEM_ATTR_CFG> m_pSysInfo;
    std::string m_strPassword;
    std::string m_strUser;
    std::string m_strSerial;
    int m_nLoginPort = 0;
    std::string m_strIP;
    int m_nIndex = -1;
    int m_nLoginSpec = LOGIN_SPEC_DIRECT;
    bool m_bAdding = false;
};
