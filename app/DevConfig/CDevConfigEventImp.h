// The device configuration page: the tree of found devices on the left and the configuration
// window of the selected device on the right. It owns the login of the selected device and
// routes the configuration logic's results to the window.
#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "Common/DeviceInfo.h"
#include "DevConfig/DevConfigRequests.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CLoginUILogic;
class CCodeVideoCfgEventImp;
class CModifyPasswordDlg;
class CMsgDlgEventImp;
class CSFDialog;
class CSFTimer;

class CDevTreeEventImp;

class CDevConfigEventImp : public ISFViewEvent,
                           public std::enable_shared_from_this<CDevConfigEventImp> {
public:
    explicit CDevConfigEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CDevConfigEventImp() override;
    static std::shared_ptr<CDevConfigEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    // A page on a parent widget of its own, driven by `requests` (tests).
    static std::shared_ptr<CDevConfigEventImp> CreateStandalone(void* parent,
                                                                std::shared_ptr<IDevConfigRequests> requests);

    int OnCreate() override;
    void OnSize(UINT type, int width, int height) override;

    CSFView* GetView() const { return m_pView; }
    std::shared_ptr<CCodeVideoCfgEventImp> GetCodeVideoCfgPage() const { return m_pCodeVideoCfg; }
    std::weak_ptr<CLoginUILogic> GetLoginUILogic() const { return m_wpLoginUILogic; }
    int IsLoggingIn() const { return m_bLoggingIn; }

    // Devices handed out by the device list.
    void ClearDeviceTree();
    void AddDeviceToTree(std::shared_ptr<DEVICE_INFO> device, bool conflict, int position);
    void LogoutCurrentDevice();
    // Devices shown in the tree.
    size_t DeviceCount() const;
    // Selects the shown device at `index`, as a click on its row.
    void SelectDevice(int index);
    std::shared_ptr<CDevTreeEventImp> GetDevTree() const { return m_pDevTree; }
    std::shared_ptr<DEVICE_INFO> GetSelectedDevice() const;
    void SetSelectedAccount(const std::string& user, const std::string& password);

    void LoginSelectedDevice();
    // Results of the configuration logic.
    void ShowLoginResult(int ok, int code);
    bool ShowInitPasswordNotice(bool evs);
    // Closes the timed initial-password notice.
    void OnNoticeTimer();
    std::shared_ptr<CModifyPasswordDlg> GetPasswordDlg() const { return m_pPasswordDlg; }
    CSFDialog* GetNoticeDialog() const { return m_pNoticeDlg; }

    // Full screen of the live video: the main window, its page area and tool bars.
    void MoveMainWindow(const RECT& rect, int keep);
    RECT GetMainPageRect() const;
    std::shared_ptr<CMainFrameEventImp> GetMainFrame() const { return m_wpMainFrame.lock(); }
    // Where OnSize last placed the configuration window.
    RECT GetConfigRect() const { return m_rcConfig; }

    int m_bLoggingIn = 0;
    // Configuration results of the current device still on their way.
    int m_nPendingQuery = 0;

private:
    void Build(void* parent);

    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    std::weak_ptr<CLoginUILogic> m_wpLoginUILogic;
    std::shared_ptr<IDevConfigRequests> m_pRequests;
    CSFView* m_pView = nullptr;
    std::shared_ptr<CDevTreeEventImp> m_pDevTree;
    std::shared_ptr<CCodeVideoCfgEventImp> m_pCodeVideoCfg;
    int m_bCreated = 0;
    RECT m_rcConfig{0, 0, 0, 0};

    // Initial-password change and the timed notice shown when it is declined.
    void BuildPasswordNotice();
    void DestroyPasswordNotice();
    std::shared_ptr<CModifyPasswordDlg> m_pPasswordDlg;
    CMsgDlgEventImp* m_pNoticeSink = nullptr;
    CSFDialog* m_pNoticeDlg = nullptr;
    QPointer<QWidget> m_noticeWidget;
    std::shared_ptr<CSFTimer> m_pNoticeTimer;
};
