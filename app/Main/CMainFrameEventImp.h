// The main window: creates and owns every page, shared dialog and shared logic object, lays the
// pages out, switches between them, carries the main menu, owns the device SDK's lifetime and
// closes only after every busy module has reported its stop. GUI thread, except the two SDK
// callbacks, which only copy their arguments and post to loop 1.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>
#include <string>

#include "Main/MainFrameDefs.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFMenu.h"
#include "devsdk/DevSdk.h"

class CSFDialog;
class CSFMenu;
class CToolBarEventImp;
class CToolBarLeftEventImp;
class CAboutDlgEventImp;
class CUserConfigSettingEventImp;
class CSearchDevEventImp;
class CLoginDevEventImp;
class CDevConfigEventImp;
class CSysConfigEventImp;
class CUpgradeEventImp;
class CCloudUpgradeEventImp;
class CTemplateEventImp;
class COtherToolEventImp;
class CDeviceListUILogic;
class CLoginUILogic;
class CUserSearchSettingEventImp;
class CDetialsResDlgEventImp;
class CNoticeDlgEventImp;
class CSFView;

class CMainFrameEventImp : public ISFDialogEvent,
                           public ISFMenuEvent,
                           public std::enable_shared_from_this<CMainFrameEventImp> {
    SF_DECLARE_MESSAGE_MAP(CMainFrameEventImp)

public:
    // Menu ids.
    enum { ID_MENU_HELP = 1093, ID_MENU_QA = 1202, ID_MENU_ABOUT = 1092, ID_MENU_SETTING = 1112 };

    // The device SDK's lifetime calls; tests replace them with recorders.
    struct SdkCalls {
        BOOL (*init)(fDisConnect, void*);
        void (*setReconnect)(fHaveReConnect, void*);
        void (*cleanup)();
    };
    static void SetSdkCalls(const SdkCalls& calls);
    static void ResetSdkCalls();
    // How long closing waits for the modules' reports before it closes anyway.
    static void SetCloseTimeoutMs(int ms);
    // Called once the main window has finally closed (the entry function ends its event loop).
    static void SetClosedHandler(std::function<void()> handler);

    CMainFrameEventImp();
    ~CMainFrameEventImp() override;

    static std::shared_ptr<CMainFrameEventImp> Create();
    int CreateMainWindow();

    // Dialog sink.
    int Dlg_OnInitDialog(bool create) override;
    void OnDlgSize(UINT type, int& cx, int& cy) override;
    int Dlg_Close() override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void OnMacMenu(UINT id) override;
    // Menu sink.
    void Menu_OnAction(int id) override;

    // Getters for the pages and logic objects. The pages and dialogs hidden at start are made
    // after the window's first paint; asking for one of them before makes them at once.
    CSFDialog* GetDialog() const { return m_pMainWnd; }
    RECT GetPageRect() const { return m_rcPage; }
    std::shared_ptr<CToolBarEventImp> GetToolBar() const { return m_pToolBar; }
    std::shared_ptr<CToolBarLeftEventImp> GetToolBarLeft() const { return m_pToolBarLeft; }
    std::shared_ptr<CSearchDevEventImp> GetSearchDevPage() const { return m_pSearchDevPage; }
    std::shared_ptr<CLoginDevEventImp> GetLoginDevDlg() const;
    std::shared_ptr<CDevConfigEventImp> GetDevConfigPage() const;
    std::shared_ptr<CSysConfigEventImp> GetSysConfigPage() const;
    std::shared_ptr<CUpgradeEventImp> GetUpgradePage() const;
    std::shared_ptr<CCloudUpgradeEventImp> GetCloudUpgradePage() const;
    std::shared_ptr<CTemplateEventImp> GetTemplatePage() const;
    std::shared_ptr<COtherToolEventImp> GetOtherToolPage() const;
    std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() const { return m_pDeviceListUILogic; }
    std::shared_ptr<CLoginUILogic> GetLoginUILogic() const { return m_pLoginUILogic; }
    std::shared_ptr<CAboutDlgEventImp> GetAboutDlg() const;
    std::shared_ptr<CUserConfigSettingEventImp> GetSettingDlg() const;
    std::shared_ptr<CUserSearchSettingEventImp> GetSearchSettingDlg() const;
    std::shared_ptr<CDetialsResDlgEventImp> GetResultDetailsDlg() const;
    std::shared_ptr<CNoticeDlgEventImp> GetNoticeDlg() const;
    CSFMenu* GetMenu() const { return m_pMenu; }
    int GetCurrentPage() const { return m_nCurPage; }
    bool IsClosing() const { return m_nClosing != 0; }
    // Whether the pages and dialogs hidden at start have been made.
    bool HiddenPartsMade() const { return m_bHiddenPartsMade; }
    // Runs the action from the event loop once the hidden parts exist (after the first paint).
    void AfterHiddenParts(std::function<void()> action);

    // Modal helpers for the tool bars and the pages.
    int ShowManualAddDlg();
    int ShowSearchSettingDlg();
    void ShowResultDetails(const char* device, std::wstring caption, std::wstring text);
    int ShowConfigResult(const char* device, int type, int code);
    int ShowNotice(const wchar_t* text, int kind);
    void PopupMenu(int x, int y);
    int SwitchPage(int page);

    void OpenOperationManual();
    void OpenQAManual();

    // Posts a message box (text and caption are translated when shown). Any thread.
    void PostMessageBox(const std::wstring& text, const std::wstring& caption = L"Attention");
    // Handler of UI message 1117.
    void OnShowMessageBox(WPARAM data, LPARAM id);

    // Device SDK callbacks (SDK threads).
    static void DisconnectCallback(LONG lLoginID, const char* pchDVRIP, LONG nDVRPort, void* dwUser);
    static void ReconnectCallback(LONG lLoginID, const char* pchDVRIP, LONG nDVRPort, void* dwUser);
    // What the callbacks do, on the GUI thread.
    void OnDeviceDisconnected(LONG loginId, const std::string& ip);
    void OnDeviceReconnected(LONG loginId, const std::string& ip);

    // Closing handshake.
    void OnModuleStopped(int module);
    void StopAllModules();
    bool AllModulesStopped() const;
    // Module ids asked to stop that have not reported yet.
    std::string PendingModules() const;
    // Makes the pages and dialogs that are hidden at start, once (normally after the first paint).
    void CreateHiddenParts() const;

private:
    CSFView* ViewOfPage(int page) const;
    void CreateHiddenPartsNow();
    void InitDeviceSdk();
    void FinishClose();
    void OnCloseTimeout();
    void OpenManual(const wchar_t* fileName);

    CSFDialog* m_pMainWnd = nullptr;
    RECT m_rcPage{0, 0, 0, 0};
    std::map<int, int> m_mapModuleState;
    int m_nClosing = 0;
    CSFMenu* m_pMenu = nullptr;
    std::shared_ptr<CToolBarEventImp> m_pToolBar;
    std::shared_ptr<CToolBarLeftEventImp> m_pToolBarLeft;
    std::shared_ptr<CAboutDlgEventImp> m_pAboutDlg;
    std::shared_ptr<CUserConfigSettingEventImp> m_pSettingDlg;
    std::shared_ptr<CSearchDevEventImp> m_pSearchDevPage;
    std::shared_ptr<CLoginDevEventImp> m_pLoginDevDlg;
    std::shared_ptr<CDevConfigEventImp> m_pDevConfigPage;
    std::shared_ptr<CSysConfigEventImp> m_pSysConfigPage;
    std::shared_ptr<CUpgradeEventImp> m_pUpgradePage;
    std::shared_ptr<CCloudUpgradeEventImp> m_pCloudUpgradePage;
    std::shared_ptr<CTemplateEventImp> m_pTemplatePage;
    std::shared_ptr<COtherToolEventImp> m_pOtherToolPage;
    std::shared_ptr<CDeviceListUILogic> m_pDeviceListUILogic;
    std::shared_ptr<CLoginUILogic> m_pLoginUILogic;
    std::shared_ptr<CUserSearchSettingEventImp> m_pSearchSettingDlg;
    std::shared_ptr<CDetialsResDlgEventImp> m_pDetailsResDlg;
    std::shared_ptr<CNoticeDlgEventImp> m_pNoticeDlg;
    int m_nCurPage = MAINFRAME_PAGE_DEVLIST;

    // The main window's widget, kept because the frame forgets it when asked to close.
    void* m_pWidget = nullptr;
    bool m_bSdkCleaned = false;
    bool m_bClosed = false;
    bool m_bCloseTimedOut = false;
    bool m_bHiddenPartsMade = false;
    std::vector<std::function<void()>> m_afterHiddenParts;
};
