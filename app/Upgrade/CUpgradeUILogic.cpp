// Scheduler of the local upgrade; see the header.
#include "Upgrade/CUpgradeUILogic.h"

#include "Common/AppSettings.h"
#include "Common/SFTimer.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/DeviceListSkins.h"
#include "Main/ShellPost.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Upgrade/CUpgradeLogic.h"
#include "Widgets/SFListCtrl.h"

namespace {

enum { COL_IP = 3, COL_NOTE = 8, ID_RESULT = 1156 };

const char kFile[] = __FILE__;

} // namespace

const wchar_t* UpgradeResultText(DWORD code)
{
    static const wchar_t* const kTexts[] = {
        L"Success", L"Start to upgrade failed.", L"Send file failed.", L"Upgrade failed.", L"Upgrade timeout.",
        L"Device is offline.", L"Upgrade Canceled.", L"Login failed.", L"Incorrect password.",
        L"Account doesn't exist.", L"Login over time.", L"Account has been registered.",
        L"Account has been locked.", L"Account is in the blacklist.", L"System is busy.", L"Connection failed.",
        L"Connection failed.", L"Exceeded the maximum connections."};
    return code < sizeof(kTexts) / sizeof(kTexts[0]) ? kTexts[code] : L"Login failed.";
}

CUpgradeUILogic::CUpgradeUILogic(std::weak_ptr<CUpgradeEventImp> page)
    : m_wpPage(std::move(page)), m_pTimer(new CSFTimer())
{
}

CUpgradeUILogic::~CUpgradeUILogic()
{
    m_vecTask.clear();
}

std::shared_ptr<CUpgradeUILogic> CUpgradeUILogic::Create(std::weak_ptr<CUpgradeEventImp> page)
{
    auto logic = std::make_shared<CUpgradeUILogic>(std::move(page));
    logic->Init();
    return logic;
}

void CUpgradeUILogic::Init() { m_pLogic = std::make_shared<CUpgradeLogic>(weak_from_this()); }

bool CUpgradeUILogic::IsSendingFile() const
{
    for (const auto& task : m_vecTask)
        if (task->m_nTransferPhase == 1)
            return true;
    return false;
}

void CUpgradeUILogic::InsertTaskInfo(int port, const char* ip, const char* user, const char* password,
                                     const char* mac, int row, std::string file, int p2p)
{
    auto task = std::make_shared<CUpgradeTaskInfo>();
    task->port = port;
    SafeStrCopy(task->szIP, sizeof(task->szIP) - 1, ip ? ip : "");
    SafeStrCopy(task->szUser, sizeof(task->szUser) - 1, user ? user : "");
    SafeStrCopy(task->szPassword, sizeof(task->szPassword) - 1, password ? password : "");
    SafeStrCopy(task->szMac, sizeof(task->szMac) - 1, mac ? mac : "");
    task->m_nRow = row;
    task->file = std::move(file);
    task->m_bP2P = p2p;
    task->nIndex = static_cast<int>(m_vecTask.size());
    task->m_nTaskId = m_nNextTaskId++;
    m_vecTask.push_back(task);
}

// A login kept by a record is released with it: after a good upgrade the SDK re-establishes the
// login when the device comes back, and nothing else would ever close it.
void CUpgradeUILogic::ClearVecTask()
{
    for (const auto& task : m_vecTask) {
        if (task->m_lLoginID != 0) {
            PostLogout(task->m_lLoginID);
            task->m_lLoginID = 0;
        }
    }
    m_vecTask.clear();
    m_nCurIndex = -1;
}

void CUpgradeUILogic::LogoutAndClearTasks() { ClearVecTask(); }

// ---- Posting to the worker -------------------------------------------------------------------

void CUpgradeUILogic::PostStart(const CUpgradeTaskInfo& task)
{
    std::shared_ptr<CUpgradeLogic> worker = m_pLogic;
    const std::string ip = task.szIP, user = task.szUser, password = task.szPassword, mac = task.szMac;
    const std::string file = task.file;
    const int port = task.port, index = task.nIndex, p2p = task.m_bP2P;
    const unsigned id = task.m_nTaskId;
    ShellPostTask<CUpgradeLogic>(
        VeyraBase::ML_SDK, worker,
        [=] { worker->Task_StartUpgrade(ip, user, password, port, mac, file, index, p2p, id); }, kFile, __LINE__,
        "&CUpgradeLogic::Task_StartUpgrade", "CUpgradeUILogic::UpgradeNext");
}

// Every stop ends the login too: a finished record never needs it again, and a stopped batch
// leaves no session open on the devices.
void CUpgradeUILogic::PostStopUpgrade(const CUpgradeTaskInfo& task, bool automatic)
{
    std::shared_ptr<CUpgradeLogic> worker = m_pLogic;
    const LONG login = task.m_lLoginID, upgrade = task.m_lUpgradID;
    if (automatic)
        ++m_nAutoStops;
    ShellPostTask<CUpgradeLogic>(
        VeyraBase::ML_SDK, worker, [=] { worker->Task_StopUpgrade(login, upgrade, automatic, true); }, kFile,
        __LINE__, "&CUpgradeLogic::Task_StopUpgrade", "CUpgradeUILogic::StopUpgrade");
}

void CUpgradeUILogic::PostLogout(LONG loginHandle)
{
    std::shared_ptr<CUpgradeLogic> worker = m_pLogic;
    ShellPostTask<CUpgradeLogic>(
        VeyraBase::ML_SDK, worker, [=] { worker->Task_Logout(loginHandle); }, kFile, __LINE__,
        "&CUpgradeLogic::Task_Logout", "CUpgradeUILogic::LogoutAndClearTasks");
}

// ---- Rows --------------------------------------------------------------------------------------

void CUpgradeUILogic::SetStatus(const CUpgradeTaskInfo& task, const wchar_t* text)
{
    std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
    if (page && page->GetListCtrl())
        page->GetListCtrl()->SetItemText(task.m_nRow, COL_NOTE, Tr(text));
}

void CUpgradeUILogic::ShowResult(const CUpgradeTaskInfo& task, DWORD code)
{
    std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
    CSFListCtrl* list = page ? page->GetListCtrl() : nullptr;
    if (!list)
        return;
    ImageButtonStyle style = code == UPGRADE_SUCCESS
                                 ? MakeButtonSkin(L"ok.png", L"ok_hover.png", L"ok_press.png", L"ok.png")
                                 : MakeButtonSkin(L"error.png", L"erro_hover.png", L"erro_press.png", L"error.png");
    list->DeleteOneOperateBtn(task.m_nRow, COL_IP, ID_RESULT);
    list->AddOneOperateBtn(task.m_nRow, COL_IP, ID_RESULT, Tr(L"Result"), style, 16, 16, 100);
    list->SetItemData(task.m_nRow, code, 0);
}

void CUpgradeUILogic::Finish(CUpgradeTaskInfo& task, DWORD code)
{
    task.m_nUpgradeState = 2;
    ShowResult(task, code);
    task.m_bSucceeded = code == UPGRADE_SUCCESS ? 1 : 0;
    --m_nRunning;
    if (std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock())
        page->SetBtnState(task.m_nRow, true);
    UpgradeNext();
}

// ---- Starting ----------------------------------------------------------------------------------

void CUpgradeUILogic::StartTimer()
{
    if (m_pTimer->GetTimerId() == 0)
        m_pTimer->StartTimer(kTimerMs, &CUpgradeUILogic::OnTimer, this);
}

void CUpgradeUILogic::StopTimer() { m_pTimer->StopTimer(); }

void CUpgradeUILogic::StartUpgrade(LONG loginHandle, int restartOne)
{
    if (restartOne) {
        // A device back during a stop stays stopped: the stop is waiting for its own answers.
        if (m_bStop)
            return;
        StartTimer();
        m_bUpgrading = 1;
        // The record's place is already counted among the running ones.
        for (const auto& task : m_vecTask) {
            if (task->m_lLoginID != loginHandle || loginHandle == 0 || task->m_nUpgradeState == 2)
                continue;
            const int row = task->m_nRow;
            std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
            if (page)
                ShellPostTask<CUpgradeEventImp>(
                    VeyraBase::ML_MAIN, page, [page, row] { page->ResetUpgradeResult(row); }, kFile, __LINE__,
                    "&CUpgradeEventImp::ResetUpgradeResult", "CUpgradeUILogic::StartUpgrade");
            task->m_lLoginID = 0;
            PostLogout(loginHandle);
            PostStart(*task);
            return;
        }
        return;
    }
    StartTimer();
    m_bUpgrading = 1;
    m_bStop = 0;
    int next = m_nCurIndex + 1;
    m_nRunning = 0;
    while (next < static_cast<int>(m_vecTask.size()) && m_nRunning < kMaxRunning) {
        m_nCurIndex = next;
        ++m_nRunning;
        PostStart(*m_vecTask[next]);
        ++next;
    }
    if (m_nRunning == 0)
        UpgradeNext(); // nothing to start: end the batch at once
}

void CUpgradeUILogic::UpgradeNext()
{
    if (m_nRunning >= kMaxRunning || m_bStop)
        return;
    const int next = m_nCurIndex + 1;
    if (next < static_cast<int>(m_vecTask.size())) {
        m_nCurIndex = next;
        CUpgradeTaskInfo& task = *m_vecTask[next];
        task.m_nUpgradeState = 1;
        if (task.szMac[0] == '\0')
            SafeStrCopy(task.szMac, sizeof(task.szMac) - 1, "NULL");
        ++m_nRunning;
        PostStart(task);
        return;
    }
    std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
    for (const auto& task : m_vecTask)
        if (task->m_bSucceeded == 1 && page)
            page->MarkDeviceForRefresh(task->szIP, task->szMac);
    for (const auto& task : m_vecTask)
        if (task->m_nUpgradeState != 2)
            return;
    StopTimer();
    if (page)
        page->ResetBatchButtonText();
    m_bUpgrading = 0;
    if (page)
        page->EnableListSort(1);
    // With no automatic stop left to answer, nothing else reports the end of the batch.
    if (m_nAutoStops == 0 && page)
        page->EnableBatchUpgrade(true);
}

// ---- Worker results ----------------------------------------------------------------------------

std::shared_ptr<CUpgradeTaskInfo> CUpgradeUILogic::TaskOf(int index, unsigned taskId) const
{
    if (index < 0 || index >= static_cast<int>(m_vecTask.size()) || m_vecTask[index]->m_nTaskId != taskId)
        return nullptr;
    return m_vecTask[index];
}

void CUpgradeUILogic::Task_Login_Ret(std::string, std::string, LONG loginHandle, int index, int loginError,
                                     unsigned taskId)
{
    std::shared_ptr<CUpgradeTaskInfo> task = TaskOf(index, taskId);
    if (!task) {
        if (loginHandle > 0)
            PostLogout(loginHandle); // its record is gone
        return;
    }
    task->m_lLoginID = loginHandle;
    task->m_lUpgradID = 0;
    if (loginHandle > 0)
        task->m_nUpgradeState = 1;
    else
        Finish(*task, UPGRADE_LOGIN_FAILED + static_cast<DWORD>(loginError));
}

void CUpgradeUILogic::Task_StartUpgrade_Ret(std::string, std::string, LONG upgradeHandle, int index, unsigned taskId)
{
    std::shared_ptr<CUpgradeTaskInfo> task = TaskOf(index, taskId);
    if (!task) {
        if (upgradeHandle > 0) {
            ++m_nAutoStops;
            std::shared_ptr<CUpgradeLogic> worker = m_pLogic;
            ShellPostTask<CUpgradeLogic>(
                VeyraBase::ML_SDK, worker, [=] { worker->Task_StopUpgrade(0, upgradeHandle, true, false); }, kFile,
                __LINE__, "&CUpgradeLogic::Task_StopUpgrade", "CUpgradeUILogic::Task_StartUpgrade_Ret");
        }
        return;
    }
    task->m_lUpgradID = upgradeHandle;
    if (upgradeHandle <= 0) {
        task->m_lLoginID = 0; // the worker has logged out
        Finish(*task, UPGRADE_START_FAILED);
    }
}

void CUpgradeUILogic::Task_SendFile_Ret(std::string, std::string, int result, int index, unsigned taskId)
{
    std::shared_ptr<CUpgradeTaskInfo> task = TaskOf(index, taskId);
    if (!task)
        return;
    if (result > 0) {
        task->m_nTransferPhase = 1;
        SetStatus(*task, L"Upgrading");
    } else {
        task->m_lLoginID = 0; // the worker has closed the transfer and logged out
        task->m_lUpgradID = 0;
        Finish(*task, UPGRADE_SEND_FAILED);
    }
}

void CUpgradeUILogic::Task_UpgradeCallBack_Ret(LONG loginHandle, LONG upgradeHandle, int total, int sent)
{
    if (m_bStop || loginHandle == 0)
        return;
    std::shared_ptr<CUpgradeTaskInfo> task;
    for (const auto& t : m_vecTask)
        if (t->m_lLoginID == loginHandle && t->m_nUpgradeState != 2) {
            task = t;
            break;
        }
    if (!task)
        return;
    std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
    if (total == 0 && sent == -1) {
        task->m_bFileDelivered = 1;
        m_setReleaseOnBack.insert(loginHandle);
        task->m_lUpgradID = upgradeHandle;
        PostStopUpgrade(*task, true);
        Finish(*task, UPGRADE_SUCCESS);
    } else if (total == 0 && sent == -2) {
        task->m_lUpgradID = upgradeHandle;
        PostStopUpgrade(*task, true);
        Finish(*task, UPGRADE_FAILED);
    } else if (total == -1) {
        if (sent != task->m_nLastPercent) {
            task->m_nLastPercent = sent;
            if (page)
                page->SetRowProgress(task->m_nRow, static_cast<int>(sent * 0.5 + 50));
        }
    } else if (total > 0) {
        task->m_nUpgradeState = 1;
        const int p = static_cast<int>(static_cast<double>(sent) / total * 100);
        if (p != task->m_nLastPercent) {
            task->m_nLastPercent = p;
            if (page)
                page->SetRowProgress(task->m_nRow, static_cast<int>(p * 0.5));
        }
        if (p == 100) {
            task->m_nTransferPhase = 2;
            task->m_bFileDelivered = 1;
        }
    }
}

// ---- Timeout and lost devices ------------------------------------------------------------------

void CUpgradeUILogic::OnTimer(int, void* user)
{
    CUpgradeUILogic* self = static_cast<CUpgradeUILogic*>(user);
    if (!self)
        return;
    std::weak_ptr<CUpgradeUILogic> weak = self->weak_from_this();
    auto none = std::shared_ptr<int>();
    ShellPostTask<int>(
        VeyraBase::ML_MAIN, none,
        [weak] {
            if (std::shared_ptr<CUpgradeUILogic> s = weak.lock())
                s->SetTime();
        },
        kFile, __LINE__, "&CUpgradeUILogic::SetTime", "CUpgradeUILogic::OnTimer");
}

void CUpgradeUILogic::SetTime()
{
    // Copied: finishing a record may start the next one.
    std::vector<std::shared_ptr<CUpgradeTaskInfo>> tasks = m_vecTask;
    for (const auto& task : tasks) {
        if (task->m_nUpgradeState != 1)
            continue;
        ++task->m_nMinutes;
        if (static_cast<unsigned>(task->m_nMinutes) >= static_cast<unsigned>(CAppSettings::nUpdateTimeout_Minute)) {
            task->m_nMinutes = 0;
            PostStopUpgrade(*task, true);
            SetStatus(*task, L"Upgrade timeout");
            Finish(*task, UPGRADE_TIMEOUT);
        }
    }
}

void CUpgradeUILogic::DisConnect(int index)
{
    if (index < 0 || index >= static_cast<int>(m_vecTask.size()))
        return;
    CUpgradeTaskInfo& task = *m_vecTask[index];
    if (task.m_nUpgradeState == 2)
        return;
    PostStopUpgrade(task, true);
    SetStatus(task, L"Device is offline");
    Finish(task, UPGRADE_OFFLINE);
}

void CUpgradeUILogic::OnDeviceBack(LONG loginHandle)
{
    if (m_setReleaseOnBack.erase(loginHandle) == 0)
        return;
    PostLogout(loginHandle);
    for (const auto& task : m_vecTask)
        if (task->m_lLoginID == loginHandle)
            task->m_lLoginID = 0;
}

// ---- Stopping ----------------------------------------------------------------------------------

void CUpgradeUILogic::Stop()
{
    m_bStop = 1;
    StopTimer();
    std::shared_ptr<CUpgradeLogic> worker = m_pLogic;
    ShellPostTask<CUpgradeLogic>(
        VeyraBase::ML_SDK, worker, [worker] { worker->Task_Stop(); }, kFile, __LINE__, "&CUpgradeLogic::Task_Stop",
        "CUpgradeUILogic::Stop");
}

void CUpgradeUILogic::EndStop()
{
    m_bUpgrading = 0;
    if (std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock()) {
        page->EnableBatchUpgrade(true);
        page->EnableListSort(1);
    }
}

// Every worker task posted before the stop has answered: withdraw what is still open.
void CUpgradeUILogic::Task_Stop_Ret()
{
    std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
    if (page)
        page->EnableBatchUpgrade(false);
    m_nStopNum = 0;
    for (const auto& task : m_vecTask) {
        if (task->m_nUpgradeState == 1) {
            if (task->m_lUpgradID > 0) {
                ++m_nStopNum;
                PostStopUpgrade(*task, false);
            } else {
                if (page)
                    page->SetBtnState(task->m_nRow, true);
                ShowResult(*task, UPGRADE_CANCELED);
            }
            if (task->m_nTransferPhase == 1 && task->m_nLastPercent != 100) {
                SetStatus(*task, L"Stop upgrading");
                ShowResult(*task, UPGRADE_CANCELED);
            } else if (task->m_nTransferPhase != 0) {
                SetStatus(*task, L"Can't stop upgrading");
                ShowResult(*task, UPGRADE_CANCELED);
            }
        } else if (task->m_nUpgradeState == 0) {
            if (page)
                page->SetBtnState(task->m_nRow, true);
            ShowResult(*task, UPGRADE_CANCELED);
            SetStatus(*task, L"Cancel Operation");
            // Cancelled for good: a later start must not pick it up.
            task->m_nUpgradeState = 2;
        }
        task->m_nTransferPhase = 0;
    }
    if (m_nStopNum == 0)
        EndStop();
}

void CUpgradeUILogic::Task_StopUpgrade_Ret(LONG upgradeHandle, int, bool automatic)
{
    if (automatic) {
        --m_nAutoStops;
        if (m_bStop)
            return; // the stop sequence reports the end
        for (const auto& task : m_vecTask)
            if (task->m_nUpgradeState != 2)
                return;
        EndStop();
        return;
    }
    if (m_bStop && m_nStopNum == 0) {
        EndStop();
        return;
    }
    for (const auto& task : m_vecTask) {
        if (task->m_lUpgradID != upgradeHandle || task->m_nUpgradeState == 2)
            continue;
        if (std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock())
            page->SetBtnState(task->m_nRow, true);
        task->m_nUpgradeState = 2;
        task->m_lUpgradID = 0;
        task->m_lLoginID = 0; // logged out with the stop
        break;
    }
    if (!m_bStop)
        return;
    if (--m_nStopNum <= 0) {
        m_nStopNum = 0;
        EndStop();
    }
}
