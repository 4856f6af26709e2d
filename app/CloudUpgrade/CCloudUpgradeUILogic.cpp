// Scheduler of the cloud upgrade: creation, the task list and the download records; see the header.
#include "CloudUpgrade/CCloudUpgradeUILogic.h"

#include <QtGlobal>

#include "CloudUpgrade/CCloudUpgradeLogic.h"
#include "Common/SFTimer.h"
#include "Common/StrHelpers.h"
#include "Main/ShellPost.h"
#include "devsdk/DevSdk.h"

CCloudUpgradeUILogic::CCloudUpgradeUILogic(std::weak_ptr<CCloudUpgradePageSink> page)
    : m_pEventImp(std::move(page)), m_pUpgradeTimer(std::make_shared<CSFTimer>()),
      m_pOnlineTimer(std::make_shared<CSFTimer>())
{
}

// Ending the timers is all the destruction does: no SDK call.
CCloudUpgradeUILogic::~CCloudUpgradeUILogic() = default;

std::shared_ptr<CCloudUpgradeUILogic> CCloudUpgradeUILogic::Create(std::weak_ptr<CCloudUpgradePageSink> page)
{
    auto logic = std::make_shared<CCloudUpgradeUILogic>(std::move(page));
    logic->Init();
    return logic;
}

void CCloudUpgradeUILogic::Init() { m_pLogic = std::make_shared<CCloudUpgradeLogic>(shared_from_this()); }

// ---- Task list ------------------------------------------------------------------------------

void CCloudUpgradeUILogic::InsertTaskInfo(int port, const char* ip, const char* user, const char* password,
                                          const char* mac, const char* serialNo, int item, std::string filePath,
                                          const REMOTETASKINFO* remote)
{
    auto task = std::make_shared<CCloudUpgradeTaskInfo>();
    SafeStrCopy(task->m_szIP, sizeof task->m_szIP, ip ? ip : "");
    SafeStrCopy(task->m_szMac, sizeof task->m_szMac, mac ? mac : "");
    SafeStrCopy(task->m_szUserName, sizeof task->m_szUserName, user ? user : "");
    SafeStrCopy(task->m_szPassword, sizeof task->m_szPassword, password ? password : "");
    SafeStrCopy(task->m_szSerialNo, sizeof task->m_szSerialNo, serialNo ? serialNo : "");
    task->m_nPort = port;
    task->m_nItem = item;
    task->m_strFilePath = std::move(filePath);
    task->m_nTaskIndex = int(m_vecTask.size());
    if (remote)
        task->m_stRemote = *remote;
    task->m_nSameSnIndex = -1;
    task->m_nSameFileIndex = -1;
    task->m_bRebootDone = 0;
    task->m_bStopSingle = 0;
    task->m_nSameSnState = 0;
    m_vecTask.push_back(task);
    qDebug("InsertTaskInfo nItem: %d, parentTask: %d", item, task->m_stRemote.nParentTask);
}

void CCloudUpgradeUILogic::ClearVecTask()
{
    qDebug("ClearVecTask----");
    m_vecTask.clear();
    ++m_nTaskGeneration;
}

void CCloudUpgradeUILogic::ResetTaskList()
{
    for (auto& task : m_vecTask) {
        if (task && task->m_nloginID != 0) {
            SdkLogout(task->m_nloginID);
            task->m_nloginID = 0;
        }
    }
    ClearVecTask();
    for (DOWNLOADTASK& d : m_vecDownTask)
        d.m_lUpgradID = 0;
    ClearDownVecTask();
}

// ---- Download records -----------------------------------------------------------------------

void CCloudUpgradeUILogic::AddDownloadTask(const char* ip, const char* mac, int item, std::string filePath,
                                           std::string url)
{
    DOWNLOADTASK d;
    d.m_strIP = ip ? ip : "";
    d.m_strMac = mac ? mac : "";
    d.m_nItem = item;
    d.m_strFilePath = std::move(filePath);
    d.m_strUrl = std::move(url);
    d.m_nIndex = int(m_vecDownTask.size());
    d.m_nSameIndex = -1;
    d.m_nDownloadState = DOWNTASK_WAITING;
    m_vecDownTask.push_back(d);
}

void CCloudUpgradeUILogic::ClearDownVecTask()
{
    // Stops for a list that is gone: their answers are dropped by the generation.
    const unsigned generation = m_nDownGeneration;
    for (const DOWNLOADTASK& d : m_vecDownTask) {
        if (d.m_lUpgradID <= 0)
            continue;
        if (d.m_lUpgradID == kPendingHandle)
            continue; // never handed out by the SDK; the start answer stops it
        const LONG handle = d.m_lUpgradID;
        const int index = d.m_nIndex;
        std::shared_ptr<CCloudUpgradeLogic> logic = m_pLogic;
        ShellPostTask<CCloudUpgradeLogic>(
            VeyraBase::ML_SDK, logic,
            [logic, handle, index, generation] { logic->Task_StopDownloadFile(handle, index, 0, generation); },
            __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_StopDownloadFile",
            "CCloudUpgradeUILogic::ClearDownVecTask");
    }
    m_vecDownTask.clear();
    ++m_nDownGeneration;
}

// ---- Stop, disconnect, reconnect ------------------------------------------------------------

void CCloudUpgradeUILogic::StopUpgrade()
{
    m_bStopUpgrade = 1;
    std::shared_ptr<CCloudUpgradeUILogic> self = shared_from_this();
    ShellPostTask<CCloudUpgradeUILogic>(
        VeyraBase::ML_SDK, self,
        [self] {
            ShellPostTask<CCloudUpgradeUILogic>(VeyraBase::ML_MAIN, self, [self] { self->Task_StopUpgrade_Ret(); },
                                                __FILE__, __LINE__, "&CCloudUpgradeUILogic::Task_StopUpgrade_Ret",
                                                "Task_StopUpgrade");
        },
        __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_StopUpgrade", "CCloudUpgradeUILogic::StopUpgrade");
}

void CCloudUpgradeUILogic::Task_StopUpgrade_Ret()
{
    m_bUpgrading = 0;
    m_bStoppingUpgrade = 0;
    if (std::shared_ptr<CCloudUpgradePageSink> page = Page())
        page->ResetUpgradeButton(true);
}

void CCloudUpgradeUILogic::DisConnect(int index)
{
    if (index >= 0 && index < static_cast<int>(m_vecTask.size()) && m_vecTask[index]) {
        m_vecTask[index]->m_nUpgradeState = 2;
        m_vecTask[index]->m_bUpgradeSuccess = 0;
    }
}

void CCloudUpgradeUILogic::OnReconnect(LONG loginHandle, std::string)
{
    for (auto& task : m_vecTask) {
        if (task && task->m_nloginID == loginHandle) {
            task->m_nloginID = 0;
            return;
        }
    }
}
