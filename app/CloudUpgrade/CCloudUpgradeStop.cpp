// Scheduler of the cloud upgrade: the minute timer and the timeout, stop of the run or of one
// device, a device's disconnect and its return after the upgrade. Loop 1 only. Every posted stop
// is counted; the run reports the module stopped only when none is outstanding.
#include "CloudUpgrade/CCloudUpgradeUILogic.h"

#include <QtGlobal>

#include <cstring>

#include "CloudUpgrade/CCloudUpgradeLogic.h"
#include "Common/AppSettings.h"
#include "Common/SFTimer.h"
#include "Main/ShellPost.h"
#include "devsdk/DevSdk.h"

using namespace CloudResult;

void CCloudUpgradeUILogic::PostStopUpgrade(CCloudUpgradeTaskInfo& t, int code, const char* caller)
{
    const int index = t.m_nTaskIndex;
    // The logins that must close with the transfer.
    std::vector<LONG> logouts;
    const bool stopped = m_bStopUpgrade || t.m_bStopSingle;
    if ((t.m_nSameSnState == 1 && t.m_stRemote.nRemoteIndex >= 0) || (t.m_nSameSnState != 1 && stopped))
        logouts.push_back(t.m_nloginID);
    if (code != UPGRADE_SUCCESS && stopped)
        for (const auto& e : m_vecTask)
            if (e->m_nUpgradeState != 2 && e->m_nSameFileIndex == index && e->m_nloginID != 0)
                logouts.push_back(e->m_nloginID);
    ++m_nStopsOutstanding;
    m_bStoppingUpgrade = 1;
    std::shared_ptr<CCloudUpgradeLogic> logic = m_pLogic;
    const LONG login = t.m_nloginID, upgrade = t.m_lUpgradID;
    const unsigned generation = m_nTaskGeneration;
    ShellPostTask<CCloudUpgradeLogic>(
        VeyraBase::ML_SDK, logic,
        [logic, login, upgrade, index, code, logouts, generation] {
            logic->Task_StopUpgrade(login, upgrade, index, code, logouts, generation);
        },
        __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_StopUpgrade", caller);
}

void CCloudUpgradeUILogic::StopAnswered()
{
    if (m_nStopsOutstanding > 0)
        --m_nStopsOutstanding;
    m_bStoppingUpgrade = m_nStopsOutstanding > 0 ? 1 : 0;
}

void CCloudUpgradeUILogic::OnTimer(int, void* user)
{
    auto* self = static_cast<CCloudUpgradeUILogic*>(user);
    if (!self)
        return;
    std::weak_ptr<CCloudUpgradeUILogic> weak = self->weak_from_this();
    std::shared_ptr<CCloudUpgradeUILogic> none;
    ShellPostTask<CCloudUpgradeUILogic>(
        VeyraBase::ML_MAIN, none,
        [weak] {
            if (std::shared_ptr<CCloudUpgradeUILogic> s = weak.lock())
                s->SetTime();
        },
        __FILE__, __LINE__, "&CCloudUpgradeUILogic::SetTime", "CCloudUpgradeUILogic::OnTimer");
}

void CCloudUpgradeUILogic::SetTime()
{
    const unsigned limit = unsigned(CAppSettings::nUpdateTimeout_Minute);
    for (size_t i = 0; i < m_vecTask.size(); ++i) {
        CCloudUpgradeTaskInfo& t = *m_vecTask[i];
        if (t.m_nUpgradeState == 1) {
            ++t.m_nTimeoutCount;
            if (unsigned(t.m_nTimeoutCount) < limit)
                continue;
            t.m_nTimeoutCount = 0;
            qDebug("SetTime Task_StopUpgrade = %ld", long(t.m_lUpgradID));
            PostStopUpgrade(t, UPGRADE_TIMEOUT, "CCloudUpgradeUILogic::SetTime");
            UpgradeNext();
            continue;
        }
        // A follower waiting for its leader's device to come back after success is not kept forever.
        const int leader = t.m_stRemote.nRemoteIndex >= 0 && t.m_nSameFileIndex == -1 ? t.m_stRemote.nParentTask
                                                                                      : t.m_nSameFileIndex;
        const CCloudUpgradeTaskInfo* l = Task(leader);
        if (t.m_nUpgradeState != 0 || !l || l->m_nUpgradeState != 2 || !l->m_bUpgradeSuccess || l->m_bRebootDone)
            continue;
        if (unsigned(++t.m_nTimeoutCount) >= limit) {
            t.m_nTimeoutCount = 0;
            SetUpgradeResultStatus(unsigned(i), UPGRADE_TIMEOUT);
        }
    }
}

void CCloudUpgradeUILogic::StopUpgrade()
{
    qDebug("StopUpgrade...");
    m_bStopUpgrade = 1;
    m_bEndDue = true; // the main window waits for this report
    m_pUpgradeTimer->StopTimer();
    m_pOnlineTimer->StopTimer();
    m_bStopWorker = 1;
    if (std::shared_ptr<CCloudUpgradePageSink> page = Page())
        page->ResetUpgradeButton(false);
    // Starts still queued on the device loop do nothing now (stop-worker flag); the module counts
    // as stopped once they have been passed.
    ++m_nStopsOutstanding;
    m_bStoppingUpgrade = 1;
    std::shared_ptr<CCloudUpgradeUILogic> self = shared_from_this();
    std::shared_ptr<CCloudUpgradeLogic> logic = m_pLogic;
    const unsigned generation = m_nTaskGeneration;
    ShellPostTask<CCloudUpgradeLogic>(
        VeyraBase::ML_SDK, logic,
        [self, generation] {
            ShellPostTask<CCloudUpgradeUILogic>(
                VeyraBase::ML_MAIN, self, [self, generation] { self->Task_StopUpgrade_Ret(-1, UPGRADE_CANCELED, generation); },
                __FILE__, __LINE__, "&CCloudUpgradeUILogic::Task_StopUpgrade_Ret", "CCloudUpgradeLogic::Task_StopUpgrade");
        },
        __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_StopUpgrade", "CCloudUpgradeUILogic::StopUpgrade");
    for (size_t i = 0; i < m_vecTask.size(); ++i) {
        CCloudUpgradeTaskInfo& t = *m_vecTask[i];
        if (t.m_nUpgradeState == 1) {
            if (t.m_stRemote.nRemoteIndex < 0) {
                if (t.m_lUpgradID == kPendingHandle)
                    t.m_lUpgradID = 0;
                if (t.m_lUpgradID <= 0)
                    SetUpgradeResultStatus(unsigned(i), UPGRADE_CANCELED);
                else
                    PostStopUpgrade(t, UPGRADE_CANCELED, "CCloudUpgradeUILogic::StopUpgrade");
            } else if (t.m_lUpgradID <= 0) {
                SetUpgradeResultStatus(unsigned(i), UPGRADE_CANCELED);
            }
            // A task whose stop was posted ends with its answer.
        } else if (t.m_nUpgradeState == 0) {
            SetUpgradeResultStatus(unsigned(i), UPGRADE_CANCELED);
        }
        t.m_nSendState = 0;
    }
    JudgeUpgradeFinish();
}

void CCloudUpgradeUILogic::StopUpgradeSingle(int row)
{
    qDebug("StopUpgradeSingle...nRow:%d", row);
    for (const auto& task : m_vecTask) {
        CCloudUpgradeTaskInfo& t = *task;
        if (t.m_lUpgradID == 0 || t.m_nUpgradeState != 1 || t.m_nItem != row)
            continue;
        t.m_bStopSingle = 1;
        if (std::shared_ptr<CCloudUpgradePageSink> page = Page())
            page->EnableRowButtons(row, false, false);
        if (t.m_stRemote.nRemoteIndex < 0)
            PostStopUpgrade(t, UPGRADE_CANCELED, "CCloudUpgradeUILogic::StopUpgradeSingle");
        return;
    }
}

void CCloudUpgradeUILogic::Task_StopUpgrade_Ret(int task, int code, unsigned generation)
{
    StopAnswered();
    CCloudUpgradeTaskInfo* t = generation == m_nTaskGeneration ? Task(task) : nullptr;
    if (t) {
        qDebug("Task_StopUpgrade_Ret...");
        t->m_lUpgradID = 0;
        if (code != UPGRADE_SUCCESS)
            for (const auto& e : m_vecTask)
                if (e->m_nUpgradeState != 2 && e->m_nSameFileIndex == task) {
                    e->m_lUpgradID = 0;
                    e->m_nUpgradeState = 1;
                }
        SetSameSnUpgradeState(task, code);
    }
    JudgeUpgradeFinish();
}

void CCloudUpgradeUILogic::DisConnect(int task)
{
    CCloudUpgradeTaskInfo* t = Task(task);
    if (!t || t->m_nUpgradeState == 2 || t->m_bUpgradeSuccess)
        return; // finished, or rebooting after its success
    std::shared_ptr<CCloudUpgradePageSink> page = Page();
    if (page) {
        page->ShowUpgradeResult(t->m_nItem, UPGRADE_DEVICE_OFFLINE);
        page->EnableRowButtons(t->m_nItem, true, false);
    }
    t->m_nUpgradeState = 2;
    t->m_bUpgradeSuccess = 0;
    t->m_bStopSingle = 1;
    if (page)
        page->EnableRowButtons(t->m_nItem, false, false);
    // Counted before anything can end the run: the worker's answer is still to come.
    ++m_nStopsOutstanding;
    m_bStoppingUpgrade = 1;
    // The same device listed again ends the same way.
    for (const auto& e : m_vecTask)
        if (e->m_nSameSnIndex == task && e->m_nUpgradeState != 2)
            SetUpgradeResultStatus(unsigned(e->m_nTaskIndex), UPGRADE_DEVICE_OFFLINE);
    std::shared_ptr<CCloudUpgradeLogic> logic = m_pLogic;
    const LONG login = t->m_nloginID, upgrade = t->m_lUpgradID;
    const bool remote = t->m_stRemote.nRemoteIndex >= 0;
    const unsigned generation = m_nTaskGeneration;
    ShellPostTask<CCloudUpgradeLogic>(
        VeyraBase::ML_SDK, logic,
        [logic, task, login, upgrade, remote, generation] {
            logic->Task_DisconnectStopUpgrade(task, login, upgrade, remote, generation);
        },
        __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_DisconnectStopUpgrade", "CCloudUpgradeUILogic::DisConnect");
    UpgradeNext();
}

void CCloudUpgradeUILogic::Task_DisconnectStopUpgrade_Ret(int task, unsigned generation)
{
    StopAnswered();
    CCloudUpgradeTaskInfo* t = generation == m_nTaskGeneration ? Task(task) : nullptr;
    if (t) {
        if (std::shared_ptr<CCloudUpgradePageSink> page = Page()) {
            page->ResetRowTransfer(t->m_nItem, false);
            page->EnableRowButtons(t->m_nItem, true, false);
        }
        t->m_lUpgradID = 0;
        t->m_nloginID = 0;
        t->m_nUpgradeState = 2;
    }
    JudgeUpgradeFinish();
}

void CCloudUpgradeUILogic::OnReconnect(LONG loginHandle, std::string ip)
{
    SdkLogout(loginHandle);
    if (IsUpgradeTaskOverNum())
        return;
    for (size_t i = 0; i < m_vecTask.size(); ++i) {
        CCloudUpgradeTaskInfo& r = *m_vecTask[i];
        if (ip != r.m_szIP || r.m_nloginID != loginHandle)
            continue;
        r.m_nloginID = 0;
        std::shared_ptr<CCloudUpgradePageSink> page = Page();
        for (size_t j = i + 1; j < m_vecTask.size(); ++j) {
            CCloudUpgradeTaskInfo& t = *m_vecTask[j];
            if (t.m_stRemote.nRemoteIndex < 0 || std::strcmp(t.m_szMac, r.m_szMac) != 0)
                break;
            if (t.m_nUpgradeState != 0 || t.m_nSameFileIndex != -1)
                continue;
            t.m_nUpgradeState = 1;
            if (page)
                page->MarkRowUpgrading(t.m_nItem);
            if (IsUpgradeTaskOverNum())
                break;
        }
        break;
    }
    StartUpgrade_SameFileAll();
}
