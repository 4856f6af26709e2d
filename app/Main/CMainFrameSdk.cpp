// Main window: device SDK lifetime, lost and regained device connections, the message relay and
// the closing handshake.
#include "Main/CMainFrameEventImp.h"

#include <QDebug>
#include <QTimer>
#include <QWidget>

#include <set>

#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "DevConfig/CLoginUILogic.h"
#include "IPConfig/CModifyIPUILogic.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMessageNotifier.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/ShellPost.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Upgrade/CUpgradeUILogic.h"
#include "Widgets/SFGlobal.h"

using SF_SOFT_BASE::CSFStreamConvert;

namespace {

const CMainFrameEventImp::SdkCalls kDefaultSdkCalls = {&SdkInit, &SdkSetAutoReconnect, &SdkCleanup};
CMainFrameEventImp::SdkCalls g_sdk = kDefaultSdkCalls;
int g_closeTimeoutMs = 20000;
std::function<void()> g_closedHandler;

const char* ModuleName(int module)
{
    switch (module) {
    case MAINFRAME_MODULE_SEARCH:
        return "device search";
    case MAINFRAME_MODULE_UPGRADE:
        return "local upgrade";
    case MAINFRAME_MODULE_DEVCONFIG_LOGIN:
        return "device configuration login";
    case MAINFRAME_MODULE_MODIFYIP:
        return "IP modification";
    case MAINFRAME_MODULE_CLOUDUPGRADE:
        return "cloud upgrade";
    default:
        return "unknown module";
    }
}

std::wstring WideFromUtf8(const std::string& text)
{
    CSFStreamConvert wide(text.c_str(), SF_SOFT_BASE::SF_CP_UTF8);
    return wide.GetWideChar() ? std::wstring(wide.GetWideChar()) : std::wstring();
}

} // namespace

void CMainFrameEventImp::SetSdkCalls(const SdkCalls& calls) { g_sdk = calls; }
void CMainFrameEventImp::ResetSdkCalls() { g_sdk = kDefaultSdkCalls; }
void CMainFrameEventImp::SetCloseTimeoutMs(int ms) { g_closeTimeoutMs = ms; }
void CMainFrameEventImp::SetClosedHandler(std::function<void()> handler) { g_closedHandler = std::move(handler); }

void CMainFrameEventImp::InitDeviceSdk()
{
    if (g_sdk.init)
        g_sdk.init(&CMainFrameEventImp::DisconnectCallback, this);
    if (g_sdk.setReconnect)
        g_sdk.setReconnect(&CMainFrameEventImp::ReconnectCallback, this);
}

// ---- Message relay ----------------------------------------------------------------------------

void CMainFrameEventImp::PostMessageBox(const std::wstring& text, const std::wstring& caption)
{
    void* target = m_pWidget ? m_pWidget : GetUIWnd();
    if (!target)
        return;
    auto* info = new MESSAGE_BOX_INFO();
    info->bShow = true;
    info->strText = text;
    info->strCaption = caption;
    SFPostCustomEvent(target, UM_SHOW_MESSAGE_BOX, info);
}

void CMainFrameEventImp::OnShowMessageBox(WPARAM data, LPARAM)
{
    auto* info = reinterpret_cast<MESSAGE_BOX_INFO*>(data);
    if (!info)
        return;
    if (info->bShow) {
        const std::wstring text = Tr(info->strText.c_str());
        const std::wstring caption = Tr(info->strCaption.c_str());
        ShowMessageBox(text.c_str(), caption.c_str(), m_pWidget, 0, nullptr);
    }
    delete info;
}

// ---- Device SDK callbacks ---------------------------------------------------------------------

void CMainFrameEventImp::DisconnectCallback(LONG lLoginID, const char* pchDVRIP, LONG, void* dwUser)
{
    auto* frame = static_cast<CMainFrameEventImp*>(dwUser);
    if (!frame)
        return;
    qDebug("Disconnet...lLoginID:%ld", static_cast<long>(lLoginID));
    std::shared_ptr<CMainFrameEventImp> self = frame->weak_from_this().lock();
    if (!self)
        return;
    const std::string ip = pchDVRIP ? pchDVRIP : "";
    ShellPostTask<CMainFrameEventImp>(
        VeyraBase::ML_MAIN, self, [self, lLoginID, ip] { self->OnDeviceDisconnected(lLoginID, ip); }, __FILE__,
        __LINE__, "&CMainFrameEventImp::OnDeviceDisconnected", "Disconnet");
}

void CMainFrameEventImp::ReconnectCallback(LONG lLoginID, const char* pchDVRIP, LONG, void* dwUser)
{
    auto* frame = static_cast<CMainFrameEventImp*>(dwUser);
    if (!frame)
        return;
    qDebug("Reconnet, lLoginID: %d", static_cast<int>(lLoginID));
    std::shared_ptr<CMainFrameEventImp> self = frame->weak_from_this().lock();
    if (!self)
        return;
    const std::string ip = pchDVRIP ? pchDVRIP : "";
    ShellPostTask<CMainFrameEventImp>(
        VeyraBase::ML_MAIN, self, [self, lLoginID, ip] { self->OnDeviceReconnected(lLoginID, ip); }, __FILE__,
        __LINE__, "&CMainFrameEventImp::OnDeviceReconnected", "Reconnet");
}

// Every module that holds the lost login reacts, whatever page is shown.
void CMainFrameEventImp::OnDeviceDisconnected(LONG loginId, const std::string& ip)
{
    if (loginId == 0 || m_bClosed)
        return;
    const std::wstring offline = std::wstring(Tr(L"Device is offline:")) + WideFromUtf8(ip);
    std::set<std::wstring> shown;
    auto post = [&](const std::wstring& text) {
        if (shown.insert(text).second)
            PostMessageBox(text, L"Attention");
    };

    std::shared_ptr<CUpgradeUILogic> upgrade = m_pUpgradePage ? m_pUpgradePage->GetUpgradeUILogic() : nullptr;
    if (upgrade) {
        std::vector<std::shared_ptr<CUpgradeTaskInfo>>& tasks = upgrade->GetTaskVec();
        for (size_t i = 0; i < tasks.size(); ++i) {
            const std::shared_ptr<CUpgradeTaskInfo>& task = tasks[i];
            if (!task || task->m_lLoginID != loginId)
                continue;
            if (task->m_bSucceeded)
                break;
            if (task->m_bFileDelivered == 1) {
                post(Tr(L"Device is offline,please check device version."));
                if (task->m_nUpgradeState != 2) {
                    std::shared_ptr<CUpgradeEventImp> page = m_pUpgradePage;
                    const int index = static_cast<int>(i);
                    ShellPostTask<CUpgradeEventImp>(VeyraBase::ML_MAIN, page, [page, index] { page->DisConnect(index); },
                                                    __FILE__, 136, "&CUpgradeEventImp::DisConnect", "Disconnet");
                }
            } else {
                post(offline);
            }
        }
    }

    if (m_pLoginUILogic && m_pLoginUILogic->GetLoginID() == loginId) {
        m_pLoginUILogic->SetLoginID(0);
        post(offline);
    }

    std::shared_ptr<CCloudUpgradeUILogic> cloud =
        m_pCloudUpgradePage ? m_pCloudUpgradePage->GetCloudUpgradeUILogic() : nullptr;
    if (cloud) {
        qDebug("############################DisConnect: lLoginID: %d", static_cast<int>(loginId));
        std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>>& tasks = cloud->GetTaskVec();
        for (size_t i = 0; i < tasks.size(); ++i) {
            const std::shared_ptr<CCloudUpgradeTaskInfo>& task = tasks[i];
            if (!task || task->m_nloginID != loginId)
                continue;
            if (!task->m_bUpgradeSuccess) {
                post(offline);
                if (task->m_nUpgradeState != 2) {
                    const int index = static_cast<int>(i);
                    ShellPostTask<CCloudUpgradeUILogic>(VeyraBase::ML_MAIN, cloud,
                                                        [cloud, index] { cloud->DisConnect(index); }, __FILE__, 191,
                                                        "&CCloudUpgradeUILogic::DisConnect", "Disconnet");
                }
            }
            break;
        }
    }
}

void CMainFrameEventImp::OnDeviceReconnected(LONG loginId, const std::string& ip)
{
    if (loginId == 0 || m_bClosed)
        return;
    std::shared_ptr<CUpgradeUILogic> upgrade = m_pUpgradePage ? m_pUpgradePage->GetUpgradeUILogic() : nullptr;
    if (upgrade) {
        // Copy first: restarting a device may change the list.
        std::vector<std::shared_ptr<CUpgradeTaskInfo>> tasks = upgrade->GetTaskVec();
        for (const std::shared_ptr<CUpgradeTaskInfo>& task : tasks) {
            if (!task || task->m_lLoginID != loginId || task->m_bFileDelivered != 0)
                continue;
            std::shared_ptr<CUpgradeEventImp> page = m_pUpgradePage;
            const int row = task->m_nRow;
            ShellPostTask<CUpgradeEventImp>(VeyraBase::ML_MAIN, page, [page, row] { page->SetBtnState(row, false); },
                                            __FILE__, 50, "&CUpgradeEventImp::SetBtnState", "Reconnet");
            ShellPostTask<CUpgradeEventImp>(VeyraBase::ML_MAIN, page, [page] { page->SetStartState(true); },
                                            __FILE__, 52, "&CUpgradeEventImp::SetStartState", "Reconnet");
            upgrade->StartUpgrade(loginId, 1);
        }
        upgrade->OnDeviceBack(loginId);
    }

    std::shared_ptr<CCloudUpgradeUILogic> cloud =
        m_pCloudUpgradePage ? m_pCloudUpgradePage->GetCloudUpgradeUILogic() : nullptr;
    if (!cloud)
        return;
    qDebug("############################reboot");
    std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>>& tasks = cloud->GetTaskVec();
    for (size_t i = 0; i < tasks.size(); ++i) {
        const std::shared_ptr<CCloudUpgradeTaskInfo> task = tasks[i];
        if (!task || task->m_nloginID != loginId || task->m_nUpgradeState != 2 || !task->m_bUpgradeSuccess)
            continue;
        qDebug("############################reboot cloud upgrade");
        task->m_bRebootDone = 1;
        bool waitingReuser = false;
        if (task->m_nSameFileIndex == -1) {
            for (size_t j = i + 1; j < tasks.size(); ++j) {
                if (tasks[j] && tasks[j]->m_nUpgradeState == 0 &&
                    tasks[j]->m_nSameFileIndex == static_cast<int>(i)) {
                    waitingReuser = true;
                    break;
                }
            }
        }
        if (task->m_stRemote.nRemoteIndex < 0 || waitingReuser)
            cloud->OnReconnect(loginId, ip);
        break;
    }
}

// ---- Closing handshake ------------------------------------------------------------------------

int CMainFrameEventImp::Dlg_Close()
{
    if (m_nClosing == 0) {
        StopAllModules();
        // The frame forgets its widget when asked to close; the window stays, so keep it known.
        if (m_pWidget)
            SFSetUIWnd(m_pWidget);
        return 1;
    }
    if (!AllModulesStopped() && !m_bCloseTimedOut) {
        if (m_pWidget)
            SFSetUIWnd(m_pWidget);
        return 1;
    }
    if (!m_bSdkCleaned) {
        m_bSdkCleaned = true;
        if (g_sdk.cleanup)
            g_sdk.cleanup();
    }
    if (!m_bClosed) {
        m_bClosed = true;
        if (g_closedHandler)
            g_closedHandler();
    }
    return 0;
}

void CMainFrameEventImp::StopAllModules()
{
    // Every module that may run is there to be stopped.
    CreateHiddenParts();
    if (m_pMainWnd)
        m_pMainWnd->ShowWindow(0);
    m_nClosing = 1;

    m_mapModuleState[MAINFRAME_MODULE_SEARCH] = 0;
    if (m_pDeviceListUILogic)
        m_pDeviceListUILogic->StopSearch(0);

    m_mapModuleState[MAINFRAME_MODULE_MODIFYIP] = 0;
    std::shared_ptr<CModifyIPUILogic> modifyIp = m_pSearchDevPage ? m_pSearchDevPage->GetModifyIPUILogic() : nullptr;
    if (modifyIp)
        modifyIp->Stop();

    m_mapModuleState[MAINFRAME_MODULE_DEVCONFIG_LOGIN] = 0;
    if (m_pLoginUILogic)
        m_pLoginUILogic->LogoutDev();

    m_mapModuleState[MAINFRAME_MODULE_UPGRADE] = 0;
    std::shared_ptr<CUpgradeUILogic> upgrade = m_pUpgradePage ? m_pUpgradePage->GetUpgradeUILogic() : nullptr;
    if (upgrade)
        upgrade->Stop();

    m_mapModuleState[MAINFRAME_MODULE_CLOUDUPGRADE] = 0;
    std::shared_ptr<CCloudUpgradeUILogic> cloud =
        m_pCloudUpgradePage ? m_pCloudUpgradePage->GetCloudUpgradeUILogic() : nullptr;
    if (cloud)
        cloud->StopUpgrade();

    // A module that never reports must not keep an invisible process alive.
    if (g_closeTimeoutMs >= 0 && m_pWidget && !AllModulesStopped()) {
        std::weak_ptr<CMainFrameEventImp> weak = weak_from_this();
        QTimer::singleShot(g_closeTimeoutMs, static_cast<QWidget*>(m_pWidget), [weak] {
            if (std::shared_ptr<CMainFrameEventImp> self = weak.lock())
                self->OnCloseTimeout();
        });
    }
    if (AllModulesStopped())
        FinishClose();
}

void CMainFrameEventImp::OnModuleStopped(int module)
{
    m_mapModuleState[module] = 1;
    if (AllModulesStopped() && m_nClosing == 1)
        FinishClose();
}

bool CMainFrameEventImp::AllModulesStopped() const
{
    for (const auto& entry : m_mapModuleState)
        if (entry.second == 0)
            return false;
    return true;
}

std::string CMainFrameEventImp::PendingModules() const
{
    std::string names;
    for (const auto& entry : m_mapModuleState) {
        if (entry.second != 0)
            continue;
        if (!names.empty())
            names += ", ";
        names += std::to_string(entry.first) + " (" + ModuleName(entry.first) + ")";
    }
    return names;
}

void CMainFrameEventImp::OnCloseTimeout()
{
    if (m_bClosed || AllModulesStopped())
        return;
    qWarning("Closing without the stop report of module %s after %d ms.", PendingModules().c_str(),
             g_closeTimeoutMs);
    m_bCloseTimedOut = true;
    FinishClose();
}

void CMainFrameEventImp::FinishClose()
{
    if (m_bClosed)
        return;
    if (m_pMainWnd)
        m_pMainWnd->SendDlgMessage(16, 0, 0);
    std::shared_ptr<CMessageNotifier> notifier = CMessageNotifier::GetInstance();
    if (notifier && notifier->GetDialog())
        notifier->GetDialog()->SendDlgMessage(16, 0, 0);
}
