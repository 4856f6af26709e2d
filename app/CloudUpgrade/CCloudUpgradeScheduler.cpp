// Scheduler of the cloud upgrade: firmware transfers (at most five at once), same-serial groups,
// same-file followers, remote devices, results and the end of a run. Loop 1 only.
#include "CloudUpgrade/CCloudUpgradeUILogic.h"

#include <QtGlobal>

#include <algorithm>
#include <cstring>

#include "CloudUpgrade/CCloudUpgradeLogic.h"
#include "Common/AppSettings.h"
#include "Common/SFTimer.h"
#include "Main/ShellPost.h"
#include "devsdk/DevSdk.h"

using namespace CloudResult;

const wchar_t* CloudUpgradeResultText(int code)
{
    static const wchar_t* const texts[] = {
        L"Success",           L"Start to upgrade failed.", L"Send file failed.",      L"Upgrade failed.",
        L"Upgrade timeout.",  L"Device is offline.",       L"Upgrade Canceled.",      L"Login failed.",
        L"Incorrect password.", L"Account doesn't exist.", L"Login over time.",       L"Account has been registered.",
        L"Account has been locked.", L"Account is in the blacklist.", L"System is busy.", L"Connection failed.",
        L"Connection failed.", L"Exceeded the maximum connections.",
    };
    if (code < 0 || code >= int(sizeof texts / sizeof texts[0]))
        return L"Login failed.";
    return texts[code];
}

CCloudUpgradeTaskInfo* CCloudUpgradeUILogic::Task(int index) const
{
    return index >= 0 && index < int(m_vecTask.size()) ? m_vecTask[size_t(index)].get() : nullptr;
}

std::vector<CCloudUpgradeTaskInfo*> CCloudUpgradeUILogic::SameSnGroup(int index) const
{
    std::vector<CCloudUpgradeTaskInfo*> group;
    if (CCloudUpgradeTaskInfo* t = Task(index))
        group.push_back(t);
    for (const auto& t : m_vecTask)
        if (t->m_nSameSnIndex == index && t->m_nTaskIndex != index)
            group.push_back(t.get());
    return group;
}

int CCloudUpgradeUILogic::ProgressBarValue(int totalSize, int sendSize)
{
    if (totalSize == -1)
        return int(std::max(0, std::min(sendSize, 100)) * 0.5 + 50);
    if (totalSize <= 0 || sendSize < 0)
        return -1;
    const int p = int(double(std::min(sendSize, totalSize)) / double(totalSize) * 100.0);
    return int(p * 0.5);
}

void CCloudUpgradeUILogic::PostStartUpgrade(CCloudUpgradeTaskInfo& t, const char* caller)
{
    std::shared_ptr<CCloudUpgradeLogic> logic = m_pLogic;
    logic->SetUpdateWaitSec(CAppSettings::nUpdateWaittime_Sec);
    const std::string ip = t.m_szIP, user = t.m_szUserName, password = t.m_szPassword, mac = t.m_szMac;
    const std::string file = t.m_strFilePath;
    const int port = t.m_nPort, index = t.m_nTaskIndex;
    const unsigned generation = m_nTaskGeneration;
    ShellPostTask<CCloudUpgradeLogic>(
        VeyraBase::ML_SDK, logic,
        [logic, ip, user, password, port, mac, file, index, generation] {
            logic->Task_StartUpgrade(ip, user, password, port, mac, file, index, generation);
        },
        __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_StartUpgrade", caller);
}

void CCloudUpgradeUILogic::PostCloseLate(LONG upgradeHandle, LONG loginHandle)
{
    std::shared_ptr<CCloudUpgradeLogic> logic = m_pLogic;
    ShellPostTask<CCloudUpgradeLogic>(
        VeyraBase::ML_SDK, logic,
        [upgradeHandle, loginHandle] {
            if (upgradeHandle > kPendingHandle)
                SdkStopUpgrade(upgradeHandle);
            if (loginHandle != 0)
                SdkLogout(loginHandle);
        },
        __FILE__, __LINE__, "SdkStopUpgrade", "CCloudUpgradeUILogic::PostCloseLate");
}

bool CCloudUpgradeUILogic::IsUpgradeTaskOverNum()
{
    int num = 0;
    for (const auto& t : m_vecTask) {
        if (t->m_lUpgradID > 0 && t->m_nUpgradeState == 1)
            ++num;
        if (num >= kMaxTransfers)
            break;
    }
    return num >= kMaxTransfers;
}

void CCloudUpgradeUILogic::StartUpgrade(LONG loginHandle, int retry)
{
    m_bUpgrading = 1;
    m_bStopUpgrade = 0;
    m_bEndDue = true;
    m_pUpgradeTimer->StopTimer();
    m_pUpgradeTimer->StartTimer(m_nTimerPeriodMs, &CCloudUpgradeUILogic::OnTimer, this);
    if (!retry) {
        StartUpgrade_FirstFive();
        return;
    }
    if (IsUpgradeTaskOverNum())
        return;
    for (const auto& t : m_vecTask) {
        if (t->m_nloginID != loginHandle)
            continue;
        if (std::shared_ptr<CCloudUpgradePageSink> page = Page())
            page->ResetUpgradeResult(t->m_nItem);
        const LONG old = t->m_nloginID;
        t->m_nloginID = 0;
        SdkLogout(old);
        m_bStopWorker = 0;
        PostStartUpgrade(*t, "CCloudUpgradeUILogic::StartUpgrade");
        break;
    }
}

int CCloudUpgradeUILogic::StartUpgrade_FirstFive()
{
    m_bStopWorker = 0;
    int taken = 0;
    std::shared_ptr<CCloudUpgradePageSink> page = Page();
    for (size_t i = 0; i < m_vecTask.size(); ++i) {
        CCloudUpgradeTaskInfo& t = *m_vecTask[i];
        if (t.m_nUpgradeState != 0 || t.m_stRemote.nRemoteIndex >= 0 || t.m_nSameSnIndex != -1 ||
            t.m_nSameFileIndex != -1)
            continue;
        if (IsUpgradeTaskOverNum())
            break;
        qDebug("StartUpgrade_FirstFive... startUpgrade local i:%d", int(i));
        t.m_nUpgradeState = 1;
        t.m_lUpgradID = kPendingHandle;
        if (page)
            page->MarkRowUpgrading(t.m_nItem);
        PostStartUpgrade(t, "CCloudUpgradeUILogic::StartUpgrade_FirstFive");
        ++taken;
    }
    return taken;
}

void CCloudUpgradeUILogic::UpgradeNext(int)
{
    if (IsUpgradeTaskOverNum() || m_bStopUpgrade)
        return;
    qDebug("UpgradeNext...");
    m_bStopWorker = 0;
    StartUpgrade_FirstFive();
    std::shared_ptr<CCloudUpgradePageSink> page = Page();
    if (!IsUpgradeTaskOverNum()) {
        for (size_t r = 0; r < m_vecTask.size(); ++r) {
            const CCloudUpgradeTaskInfo& rec = *m_vecTask[r];
            if (rec.m_nUpgradeState != 2 || rec.m_stRemote.nRemoteIndex >= 0 ||
                !(rec.m_bRebootDone || rec.m_nSameSnState == 0))
                continue;
            for (size_t i = r + 1; i < m_vecTask.size(); ++i) {
                CCloudUpgradeTaskInfo& t = *m_vecTask[i];
                if (t.m_stRemote.nRemoteIndex < 0 || std::strcmp(t.m_szMac, rec.m_szMac) != 0)
                    break;
                if (t.m_nUpgradeState != 0 || t.m_nSameFileIndex != -1)
                    continue;
                qDebug("UpgradeNext...startUpgrade remote i:%d", int(r));
                t.m_nUpgradeState = 1;
                if (page)
                    page->MarkRowUpgrading(t.m_nItem);
                if (IsUpgradeTaskOverNum())
                    break;
            }
            if (IsUpgradeTaskOverNum())
                break;
        }
    }
    StartUpgrade_SameFileAll();
}

int CCloudUpgradeUILogic::StartUpgrade_SameFileAll()
{
    if (IsUpgradeTaskOverNum())
        return 0;
    int count = 0;
    for (size_t i = 0; i < m_vecTask.size(); ++i) {
        const int leader = m_vecTask[i]->m_nSameFileIndex;
        if (leader < 0 || !StartUpgrade_SameFile(unsigned(i), unsigned(leader)))
            continue;
        ++count;
        if (IsUpgradeTaskOverNum())
            break;
    }
    return count;
}

bool CCloudUpgradeUILogic::StartUpgrade_SameFile(unsigned task, unsigned leader)
{
    m_bStopWorker = 0;
    CCloudUpgradeTaskInfo* t = Task(int(task));
    CCloudUpgradeTaskInfo* l = Task(int(leader));
    if (!t || !l || int(leader) < 0)
        return false;
    const bool allowed = l->m_bRebootDone || (l->m_nUpgradeState == 2 && l->m_nSameSnState == 0) ||
                         (l->m_stRemote.nRemoteIndex >= 0 && l->m_nUpgradeState == 2 && l->m_bUpgradeSuccess);
    if (!allowed || t->m_nUpgradeState != 0)
        return false;
    qDebug("StartUpgrade_SameFile...taskIndex: %d, sameIndex:%d", int(task), int(leader));
    t->m_nUpgradeState = 1;
    if (std::shared_ptr<CCloudUpgradePageSink> page = Page())
        page->MarkRowUpgrading(t->m_nItem);
    if (t->m_stRemote.nRemoteIndex < 0) {
        t->m_lUpgradID = kPendingHandle; // counts toward the five while its start is on its way
        PostStartUpgrade(*t, "CCloudUpgradeUILogic::StartUpgrade_SameFile");
    }
    return true;
}

void CCloudUpgradeUILogic::Task_Login_Ret(std::string, std::string, LONG loginId, int index, int loginError,
                                          unsigned generation)
{
    CCloudUpgradeTaskInfo* t = generation == m_nTaskGeneration ? Task(index) : nullptr;
    if (!t || t->m_nUpgradeState == 2) {
        // A stop or a new list came first: the login is not wanted.
        if (loginId > 0)
            PostCloseLate(0, loginId);
        return;
    }
    t->m_nloginID = loginId;
    t->m_lUpgradID = kPendingHandle;
    qDebug("Task_Login_Ret m_nloginID: %ld index: %d", long(loginId), index);
    std::vector<CCloudUpgradeTaskInfo*> group = SameSnGroup(index);
    if (loginId <= 0) {
        for (CCloudUpgradeTaskInfo* m : group)
            SetUpgradeResultStatus(unsigned(m->m_nTaskIndex), loginError + UPGRADE_LOGIN_FAILED);
        UpgradeNext();
        return;
    }
    std::shared_ptr<CCloudUpgradePageSink> page = Page();
    for (CCloudUpgradeTaskInfo* m : group) {
        m->m_nProgress = 0;
        if (page)
            page->SetRowProgress(m->m_nItem, 0, CLOUD_ID_UPGRADE_BAR);
    }
}

void CCloudUpgradeUILogic::Task_StartUpgrade_Ret(std::string, std::string, LONG upgradeHandle, int index,
                                                 unsigned generation)
{
    CCloudUpgradeTaskInfo* t = generation == m_nTaskGeneration ? Task(index) : nullptr;
    if (!t || t->m_nUpgradeState == 2) {
        if (upgradeHandle > 0)
            PostCloseLate(upgradeHandle, 0);
        return;
    }
    qDebug("Task_StartUpgrade_Ret m_lUpgradID = %ld, nIndex = %d", long(upgradeHandle), index);
    t->m_lUpgradID = upgradeHandle;
    std::vector<CCloudUpgradeTaskInfo*> group = SameSnGroup(index);
    if (upgradeHandle < 1) {
        for (CCloudUpgradeTaskInfo* m : group)
            SetUpgradeResultStatus(unsigned(m->m_nTaskIndex), UPGRADE_START_FAILED);
        UpgradeNext();
        return;
    }
    std::shared_ptr<CCloudUpgradePageSink> page = Page();
    for (CCloudUpgradeTaskInfo* m : group) {
        if (page)
            page->EnableRowButtons(m->m_nItem, true, false);
        m->m_nUpgradeState = 1;
    }
}

void CCloudUpgradeUILogic::Task_SendFile_Ret(std::string, std::string, LONG sending, int index, unsigned generation)
{
    CCloudUpgradeTaskInfo* t = generation == m_nTaskGeneration ? Task(index) : nullptr;
    qDebug("Task_SendFile_Ret bSend: %ld, index: %d", long(sending), index);
    if (!t || t->m_nUpgradeState == 2)
        return; // the start answer already closed what it opened
    std::vector<CCloudUpgradeTaskInfo*> group = SameSnGroup(index);
    if (sending < 1) {
        qDebug("Task_SendFile_Ret sendfile failed,m_nUpgradeState=finish.");
        for (CCloudUpgradeTaskInfo* m : group)
            SetUpgradeResultStatus(unsigned(m->m_nTaskIndex), UPGRADE_SEND_FAILED);
        UpgradeNext();
        return;
    }
    for (CCloudUpgradeTaskInfo* m : group)
        m->m_nSendState = 1;
}

void CCloudUpgradeUILogic::Task_UpgradeCallBack_Ret(LONG loginId, LONG upgradeHandle, int totalSize, int sendSize)
{
    if (sendSize == 1024 || sendSize == totalSize)
        qDebug("Task_UpgradeCallBack_Ret = %ld, %ld,nTotalSize:%d, nSendSize:%d", long(loginId), long(upgradeHandle),
               totalSize, sendSize);
    if (m_bStopUpgrade)
        return;
    CCloudUpgradeTaskInfo* t = nullptr;
    for (const auto& task : m_vecTask) {
        if (task->m_nloginID == loginId && task->m_lUpgradID == upgradeHandle && task->m_nUpgradeState != 2) {
            t = task.get();
            break;
        }
    }
    if (!t)
        return;
    std::vector<CCloudUpgradeTaskInfo*> group = SameSnGroup(t->m_nTaskIndex);
    std::shared_ptr<CCloudUpgradePageSink> page = Page();
    if (totalSize == 0 && sendSize == -1) {
        qDebug("upgrade succeed Task_StopUpgrade = %ld-%ld", long(loginId), long(upgradeHandle));
        // Known at once: the reboot that follows is no disconnect of a failing upgrade.
        for (CCloudUpgradeTaskInfo* m : group)
            m->m_bUpgradeSuccess = 1;
        PostStopUpgrade(*t, UPGRADE_SUCCESS, "CCloudUpgradeUILogic::Task_UpgradeCallBack_Ret");
        if (page)
            page->MarkDeviceUpgraded(t->m_szIP, t->m_szMac);
        UpgradeNext();
        return;
    }
    if (totalSize == 0 && sendSize == -2) {
        qDebug("upgrade failed Task_StopUpgrade = %ld-%ld", long(loginId), long(upgradeHandle));
        PostStopUpgrade(*t, UPGRADE_FAILED, "CCloudUpgradeUILogic::Task_UpgradeCallBack_Ret");
        UpgradeNext();
        return;
    }
    const int bar = ProgressBarValue(totalSize, sendSize);
    if (bar < 0)
        return; // a report that says nothing
    if (totalSize == -1) {
        if (t->m_nProgress == sendSize)
            return;
        for (CCloudUpgradeTaskInfo* m : group) {
            m->m_nProgress = sendSize;
            if (page)
                page->SetRowProgress(m->m_nItem, bar, CLOUD_ID_UPGRADE_BAR);
        }
        return;
    }
    const int percent = int(double(std::min(sendSize, totalSize)) / double(totalSize) * 100.0);
    for (CCloudUpgradeTaskInfo* m : group) {
        m->m_nUpgradeState = 1;
        if (percent != m->m_nProgress) {
            m->m_nProgress = percent;
            if (page)
                page->SetRowProgress(m->m_nItem, int(percent * 0.5), CLOUD_ID_UPGRADE_BAR);
        }
        if (percent == 100) {
            m->m_nSendState = 2;
            m->m_nSameSnState = 1;
        }
    }
}

void CCloudUpgradeUILogic::SetUpgradeResultStatus(unsigned task, int code)
{
    CCloudUpgradeTaskInfo* t = Task(int(task));
    if (!t)
        return;
    qDebug("SetUpgradeResultStatus... nTaskIndex: %d, nErrCode: %d", int(task), code);
    t->m_nUpgradeState = 2;
    t->m_bUpgradeSuccess = code == UPGRADE_SUCCESS ? 1 : 0;
    t->m_lUpgradID = 0;
    if (code == UPGRADE_SUCCESS)
        t->m_nSameSnState = 2;
    if (std::shared_ptr<CCloudUpgradePageSink> page = Page()) {
        page->ResetRowTransfer(t->m_nItem, false);
        page->ShowUpgradeResult(t->m_nItem, code);
        page->EnableRowButtons(t->m_nItem, true, false);
    }
    JudgeUpgradeFinish();
}

void CCloudUpgradeUILogic::SetSameSnUpgradeState(int task, int code)
{
    CCloudUpgradeTaskInfo* t = Task(task);
    if (!t)
        return;
    std::vector<int> group, sameFile, remote;
    for (const auto& e : m_vecTask) {
        if (e->m_nUpgradeState == 2)
            continue;
        if (e->m_nTaskIndex == task || e->m_nSameSnIndex == task)
            group.push_back(e->m_nTaskIndex);
        else if (e->m_nSameFileIndex == task)
            sameFile.push_back(e->m_nTaskIndex);
        else if (t->m_nSameSnState != 0 && e->m_stRemote.nParentTask == task && e->m_stRemote.nRemoteIndex >= 0)
            remote.push_back(e->m_nTaskIndex);
    }
    qDebug("SetSameSnUpgradeState taskIndex:%d, nErrCode:%d, vecTemp size:%d, vecSameFile size:%d, vecRemote size:%d",
           task, code, int(group.size()), int(sameFile.size()), int(remote.size()));
    for (int i : group)
        SetUpgradeResultStatus(unsigned(i), code);
    if (code == UPGRADE_SUCCESS)
        return;
    for (int i : sameFile)
        SetUpgradeResultStatus(unsigned(i), code);
    for (int i : remote)
        SetUpgradeResultStatus(unsigned(i), code);
}

void CCloudUpgradeUILogic::JudgeUpgradeFinish()
{
    bool finish = true;
    for (const auto& t : m_vecTask)
        if (t->m_nUpgradeState != 2)
            finish = false;
    // The module is stopped only once no stop of a transfer is outstanding.
    if (finish && m_nStopsOutstanding > 0)
        finish = false;
    qDebug("JudgeUpgradeFinish... bFinish: %d", int(finish));
    if (!finish) {
        UpgradeNext();
        return;
    }
    m_pUpgradeTimer->StopTimer();
    m_bUpgrading = 0;
    if (!m_bEndDue)
        return;
    m_bEndDue = false;
    if (std::shared_ptr<CCloudUpgradePageSink> page = Page()) {
        page->ResetUpgradeButton(true);
        page->SetSortEnable(true);
    }
}

int CCloudUpgradeUILogic::FindTaskIndex(const char* ip, const char* mac, LONG loginId) const
{
    for (const auto& t : m_vecTask) {
        if (loginId != 0 ? (t->m_nloginID == loginId && t->m_nUpgradeState != 2)
                         : (ip && mac && std::strcmp(t->m_szMac, mac) == 0 && std::strcmp(t->m_szIP, ip) == 0))
            return t->m_nTaskIndex;
    }
    return -1;
}

int CCloudUpgradeUILogic::FindTaskIndexByUpgradID(LONG upgradeHandle) const
{
    for (const auto& t : m_vecTask)
        if (t->m_lUpgradID == upgradeHandle && t->m_nUpgradeState != 2)
            return t->m_nTaskIndex;
    return -1;
}

bool CCloudUpgradeUILogic::HasSendingTask() const
{
    for (const auto& t : m_vecTask)
        if (t->m_nSendState == 1)
            return true;
    return false;
}
