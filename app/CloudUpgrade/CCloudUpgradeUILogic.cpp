// Scheduler of the cloud upgrade: creation, the task list and the download records; see the header.
#include "CloudUpgrade/CCloudUpgradeUILogic.h"

#include <QtGlobal>

#include "CloudUpgrade/CCloudUpgradeLogic.h"
#include "Common/SFTimer.h"
#include "Common/StrHelpers.h"
#include "Main/ShellPost.h"
#include "Common/AppSettings.h"
#include "devsdk/DevSdk.h"

#include <QByteArray>
#include <QString>

#include <cstring>

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
    m_vecDownStopPending.push_back(0);
}

void CCloudUpgradeUILogic::ClearDownVecTask()
{
    // Their answers find the list gone (another generation) and only free the SDK's download. A
    // start still on its way is closed by its answer for the same reason.
    for (const DOWNLOADTASK& d : m_vecDownTask)
        if (d.m_lUpgradID > kPendingHandle)
            PostStopDownload(d, 0, "CCloudUpgradeUILogic::ClearDownVecTask");
    m_vecDownTask.clear();
    m_vecDownStopPending.clear();
    ++m_nDownGeneration;
}

// ---- Update checks ----------------------------------------------------------------------------

namespace {
// The update-server address: VX_CLOUD_URL when set (run.sh points it at its own service stand-in),
// else the setting.
std::string CloudServiceUrl()
{
    const QByteArray env = qgetenv("VX_CLOUD_URL");
    if (!env.isEmpty())
        return env.toStdString();
    return QString::fromStdWString(CAppSettings::CloudURL).toStdString();
}
} // namespace

void CCloudUpgradeUILogic::CloudUpgradeCheck(std::string ip, int port, std::string user, std::string password,
                                             std::string mac, const NET_IN_CLOUD_UPGRADER_CHECK* request,
                                             std::string serialNo, BYTE value)
{
    NET_IN_CLOUD_UPGRADER_CHECK copy;
    if (request)
        copy = *request;
    else
        std::memset(&copy, 0, sizeof copy);
    std::shared_ptr<CCloudUpgradeLogic> logic = m_pLogic;
    logic->SetCloudUrl(CloudServiceUrl());
    ShellPostTask<CCloudUpgradeLogic>(
        VeyraBase::ML_HELPER, logic,
        [logic, ip, port, user, password, mac, copy, serialNo, value]() mutable {
            logic->Task_CloudUpgradeCheck(ip, port, user, password, mac, copy, serialNo, value);
        },
        __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_CloudUpgradeCheck", "CCloudUpgradeUILogic::CloudUpgradeCheck");
}

void CCloudUpgradeUILogic::Task_CloudUpgradeCheck_Ret(std::shared_ptr<NET_IN_CLOUD_UPGRADER_CHECK> request,
                                                      std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer,
                                                      int checkResult, std::string ip, std::string mac,
                                                      long loginHandle, int result)
{
    if (std::shared_ptr<CCloudUpgradePageSink> page = Page())
        page->OnCheckResult(request, answer, checkResult, ip, mac, loginHandle, result);
}

void CCloudUpgradeUILogic::RemoteUpgraderCheck(const strudevice* device, std::string key, int row)
{
    if (!device)
        return;
    auto copy = std::make_shared<strudevice>(*device);
    std::shared_ptr<CCloudUpgradeLogic> logic = m_pLogic;
    logic->SetCloudUrl(CloudServiceUrl());
    ShellPostTask<CCloudUpgradeLogic>(
        VeyraBase::ML_SDK, logic, [logic, copy, key, row] { logic->Task_RemoteUpgraderCheck(*copy, key, row); },
        __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_RemoteUpgraderCheck",
        "CCloudUpgradeUILogic::RemoteUpgraderCheck");
}

void CCloudUpgradeUILogic::Task_RemoteUpgraderCheck_Ret(std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer,
                                                        int checkResult, std::string serialNo, std::string key,
                                                        int row)
{
    if (std::shared_ptr<CCloudUpgradePageSink> page = Page())
        page->OnRemoteCheckResult(answer, checkResult, serialNo, key, row);
}

void CCloudUpgradeUILogic::StartCheckOnlineTimer(int taskIndex)
{
    // One record per start, kept until the scheduler goes (the timer may still name it).
    m_vecTimerUser.push_back(std::make_unique<TIMERUSER>());
    TIMERUSER* user = m_vecTimerUser.back().get();
    user->pLogic = this;
    user->nTaskIndex = taskIndex;
    qDebug("StartCheckOnlineTimer...wait 30 s...taskIndex:%d, pdata:%p", taskIndex, static_cast<void*>(user));
    m_pOnlineTimer->StopTimer();
    m_pOnlineTimer->StartTimer(1000, &CCloudUpgradeUILogic::CheckOnLineOnTimer, user);
}

void CCloudUpgradeUILogic::CheckOnLineOnTimer(int, void* user)
{
    auto* record = static_cast<TIMERUSER*>(user);
    if (!record || !record->pLogic)
        return;
    std::weak_ptr<CCloudUpgradeUILogic> weak = record->pLogic->weak_from_this();
    std::shared_ptr<CCloudUpgradeUILogic> none;
    ShellPostTask<CCloudUpgradeUILogic>(
        VeyraBase::ML_MAIN, none,
        [weak, record] {
            if (std::shared_ptr<CCloudUpgradeUILogic> self = weak.lock())
                self->StartCheckRemoteOnline(record);
        },
        __FILE__, __LINE__, "&CCloudUpgradeUILogic::StartCheckRemoteOnline", "CCloudUpgradeUILogic::CheckOnLineOnTimer");
}

void CCloudUpgradeUILogic::StartCheckRemoteOnline(TIMERUSER* user)
{
    qDebug("StartCheckRemoteOnline...pdata:%p", static_cast<void*>(user));
}

void CCloudUpgradeUILogic::Task_IsRemoteDeviceOnLine_Ret(int result, int online, int, void* user)
{
    qDebug("Task_IsRemoteDeviceOnLine_Ret...bRet:%d, bOnline:%d, pData:%p", result, online, user);
    if (online == 0)
        qDebug("############Offline##################");
}
