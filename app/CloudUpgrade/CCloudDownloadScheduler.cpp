// Scheduler of the cloud upgrade: firmware downloads (at most five at once; records with the same
// local file follow the one that downloads it). Loop 1 only.
#include "CloudUpgrade/CCloudUpgradeUILogic.h"

#include <QtGlobal>

#include <sys/stat.h>

#include "CloudUpgrade/CCloudUpgradeLogic.h"
#include "Main/ShellPost.h"
#include "devsdk/DevSdk.h"

namespace {

bool FileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

enum { ID_ROW_DOWNLOAD = 1209 }; // the row's DownLoad / Stop button

} // namespace

bool CCloudUpgradeUILogic::IsDownRecord(int index, unsigned generation) const
{
    return generation == m_nDownGeneration && index >= 0 && index < int(m_vecDownTask.size());
}

void CCloudUpgradeUILogic::PostStopDownload(const DOWNLOADTASK& d, int result, const char* caller)
{
    const LONG handle = d.m_lUpgradID;
    const int index = d.m_nIndex;
    const unsigned generation = m_nDownGeneration;
    std::shared_ptr<CCloudUpgradeLogic> logic = m_pLogic;
    ShellPostTask<CCloudUpgradeLogic>(
        VeyraBase::ML_SDK, logic,
        [logic, handle, index, result, generation] { logic->Task_StopDownloadFile(handle, index, result, generation); },
        __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_StopDownloadFile", caller);
}

bool CCloudUpgradeUILogic::IsDownLoadTaskOverNum()
{
    int num = 0;
    for (const DOWNLOADTASK& d : m_vecDownTask) {
        if (d.m_lUpgradID > 0 && d.m_nSameIndex == -1 &&
            (d.m_nDownloadState == DOWNTASK_DOWNLOADING || d.m_nDownloadState == DOWNTASK_STARTING))
            ++num;
        if (num > kMaxDownloads)
            break;
    }
    qDebug("IsDownLoadTaskOverNum... num: %d", num);
    return num >= kMaxDownloads;
}

void CCloudUpgradeUILogic::BatchStartDownload()
{
    m_bDownloading = 1;
    m_bStopDownload = 0;
    for (size_t i = 0; i < m_vecDownTask.size(); ++i) {
        if (IsDownLoadTaskOverNum())
            break;
        DOWNLOADTASK& d = m_vecDownTask[i];
        if (d.m_nDownloadState != DOWNTASK_WAITING)
            continue;
        d.m_nDownloadState = DOWNTASK_STARTING;
        d.m_lUpgradID = kPendingHandle;
        StartDownloadFile(unsigned(i));
    }
    JudgeDownLoadFinish();
}

void CCloudUpgradeUILogic::StartSingleDownloadFile(int row)
{
    qDebug("StartSingleDownloadFile...");
    if (IsDownLoadTaskOverNum())
        return;
    qDebug("StartSingleDownloadFile...111");
    m_bDownloading = 1;
    m_bStopDownload = 0;
    for (size_t i = 0; i < m_vecDownTask.size(); ++i) {
        DOWNLOADTASK& d = m_vecDownTask[i];
        if (d.m_nDownloadState != DOWNTASK_WAITING || d.m_nItem != row)
            continue;
        qDebug("StartSingleDownloadFile...222");
        d.m_nDownloadState = DOWNTASK_STARTING;
        d.m_lUpgradID = kPendingHandle;
        StartDownloadFile(unsigned(i));
        break;
    }
    qDebug("StartSingleDownloadFile...333");
    JudgeDownLoadFinish();
}

void CCloudUpgradeUILogic::DownloadNext()
{
    if (IsDownLoadTaskOverNum() || m_bStopDownload)
        return;
    bool started = false;
    for (size_t i = 0; i < m_vecDownTask.size(); ++i) {
        if (IsDownLoadTaskOverNum())
            break;
        DOWNLOADTASK& d = m_vecDownTask[i];
        if (d.m_nDownloadState != DOWNTASK_WAITING)
            continue;
        d.m_nDownloadState = DOWNTASK_STARTING;
        d.m_lUpgradID = kPendingHandle;
        StartDownloadFile(unsigned(i));
        started = true;
    }
    if (!started)
        JudgeDownLoadFinish();
}

void CCloudUpgradeUILogic::StartDownloadFile(unsigned index)
{
    qDebug("StartDownloadFile...");
    if (index >= m_vecDownTask.size())
        return;
    DOWNLOADTASK& d = m_vecDownTask[index];
    if (FileExists(d.m_strFilePath)) {
        SetSameFileTaskState(int(index), 1, DOWNTASK_FINISHED, 0);
        return;
    }
    if (d.m_nSameIndex == -1) {
        qDebug("Task_StartDownloadFile... -1 == sameIndex");
        const std::string url = d.m_strUrl, path = d.m_strFilePath, key = d.m_strMac;
        const int i = d.m_nIndex;
        const unsigned generation = m_nDownGeneration;
        std::shared_ptr<CCloudUpgradeLogic> logic = m_pLogic;
        ShellPostTask<CCloudUpgradeLogic>(
            VeyraBase::ML_SDK, logic,
            [logic, url, path, key, i, generation] { logic->Task_StartDownloadFile(url, path, key, i, generation); },
            __FILE__, __LINE__, "&CCloudUpgradeLogic::Task_StartDownloadFile", "CCloudUpgradeUILogic::StartDownloadFile");
        return;
    }
    if (d.m_nSameIndex < 0 || d.m_nSameIndex >= int(m_vecDownTask.size()))
        return;
    const DOWNLOADTASK& leader = m_vecDownTask[size_t(d.m_nSameIndex)];
    std::shared_ptr<CCloudUpgradePageSink> page = Page();
    if (leader.m_nDownloadState == DOWNTASK_FINISHED && leader.m_nResult != 0) {
        d.m_nDownloadState = DOWNTASK_FINISHED;
        d.m_nResult = 1;
        d.m_lUpgradID = 0;
        if (page)
            page->SetDownloadResult(d.m_nItem, true);
    } else if (leader.m_nDownloadState == DOWNTASK_DOWNLOADING) {
        qDebug("Task_StartDownloadFile... m_nDownloadState == DOWNLOADIN");
        d.m_nDownloadState = DOWNTASK_DOWNLOADING;
        d.m_nProgress = leader.m_nProgress;
        if (page) {
            page->SetRowButtonEnable(d.m_nItem, ID_ROW_DOWNLOAD, false);
            page->SetRowProgress(d.m_nItem, d.m_nProgress, CLOUD_ID_DOWNLOAD_BAR);
        }
    }
}

void CCloudUpgradeUILogic::SetSameFileTaskState(int index, int result, int state, LONG handle)
{
    if (index < 0 || index >= int(m_vecDownTask.size()))
        return;
    std::vector<DOWNLOADTASK*> group{&m_vecDownTask[size_t(index)]};
    for (DOWNLOADTASK& d : m_vecDownTask) {
        if (d.m_nDownloadState != DOWNTASK_FINISHED && d.m_nSameIndex == index && &d != group[0]) {
            qDebug("SetSameFileTaskState: %d", d.m_nIndex);
            group.push_back(&d);
        }
    }
    std::shared_ptr<CCloudUpgradePageSink> page = Page();
    for (DOWNLOADTASK* d : group) {
        d->m_nResult = result;
        d->m_nDownloadState = state;
        d->m_lUpgradID = handle;
        if (page)
            page->SetDownloadResult(d->m_nItem, result != 0);
    }
}

void CCloudUpgradeUILogic::JudgeDownLoadFinish()
{
    bool finish = true;
    for (const DOWNLOADTASK& d : m_vecDownTask)
        if (d.m_nDownloadState != DOWNTASK_FINISHED)
            finish = false;
    qDebug("JudgeDownLoadFinish: finish: %d", int(finish));
    if (!finish || !m_bDownloading)
        return; // reported once per run
    m_bDownloading = 0;
    m_bStopDownload = 0;
    if (std::shared_ptr<CCloudUpgradePageSink> page = Page()) {
        page->ResetDownloadButton(true);
        page->SetSortEnable(true);
    }
}

void CCloudUpgradeUILogic::Task_StartDownloadFile_Ret(std::string, LONG handle, int index, unsigned generation)
{
    qDebug("Task_StartDownloadFile_Ret m_lUpgradID = %ld, nIndex = %d", long(handle), index);
    // A progress report may have brought the handle already.
    const bool mine = IsDownRecord(index, generation) &&
                      m_vecDownTask[size_t(index)].m_nDownloadState != DOWNTASK_FINISHED &&
                      (m_vecDownTask[size_t(index)].m_lUpgradID == kPendingHandle ||
                       (handle != 0 && m_vecDownTask[size_t(index)].m_lUpgradID == handle));
    if (!mine) {
        // The record is gone or already ended: only the SDK's download remains to be closed.
        if (handle != 0) {
            DOWNLOADTASK gone;
            gone.m_lUpgradID = handle;
            gone.m_nIndex = -1;
            PostStopDownload(gone, 0, "CCloudUpgradeUILogic::Task_StartDownloadFile_Ret");
        }
        return;
    }
    DOWNLOADTASK& d = m_vecDownTask[size_t(index)];
    if (handle == 0) {
        // Refused: no report will ever come for it.
        SetSameFileTaskState(index, 0, DOWNTASK_FINISHED, 0);
        JudgeDownLoadFinish();
        DownloadNext();
        return;
    }
    d.m_lUpgradID = handle;
    if (m_vecDownStopPending[size_t(index)]) {
        m_vecDownStopPending[size_t(index)] = 0;
        PostStopDownload(d, 0, "CCloudUpgradeUILogic::StopSingleDownload");
        return;
    }
    if (std::shared_ptr<CCloudUpgradePageSink> page = Page())
        page->SetRowButtonEnable(d.m_nItem, ID_ROW_DOWNLOAD, true);
}

void CCloudUpgradeUILogic::Task_DownLoadCallBack_Ret(LONG handle, int state, DWORD percent, int index,
                                                     unsigned generation)
{
    qDebug("dwProgressPercentage: %d%%", int(percent));
    if (m_bStopDownload || !IsDownRecord(index, generation))
        return;
    DOWNLOADTASK& d = m_vecDownTask[size_t(index)];
    if (d.m_nDownloadState == DOWNTASK_FINISHED)
        return;
    // A report may overtake the start answer: the callback's handle is the real one.
    if (d.m_lUpgradID == kPendingHandle && handle > kPendingHandle)
        d.m_lUpgradID = handle;
    if (d.m_lUpgradID != handle)
        return;
    std::shared_ptr<CCloudUpgradePageSink> page = Page();
    switch (state) {
    case RemoteUpdateState_Success:
        qDebug("Task_DownLoadCallBack_Ret, RemoteUpdateState_Success");
        PostStopDownload(d, 1, "CCloudUpgradeUILogic::Task_DownLoadCallBack_Ret");
        DownloadNext();
        break;
    case RemoteUpdateState_Failed:
        qDebug("Task_DownLoadCallBack_Ret, RemoteUpdateState_Failed");
        PostStopDownload(d, 0, "CCloudUpgradeUILogic::Task_DownLoadCallBack_Ret");
        break;
    case RemoteUpdateState_Downloading: {
        qDebug("Task_DownLoadCallBack_Ret, RemoteUpdateState_Downloading");
        if (page)
            page->SetRowButtonEnable(d.m_nItem, ID_ROW_DOWNLOAD, true);
        std::vector<DOWNLOADTASK*> group{&d};
        for (DOWNLOADTASK& f : m_vecDownTask)
            if (f.m_nDownloadState != DOWNTASK_FINISHED && f.m_nSameIndex == index && &f != &d)
                group.push_back(&f);
        const int p = int(std::min<DWORD>(percent, 100));
        for (DOWNLOADTASK* m : group) {
            m->m_nDownloadState = DOWNTASK_DOWNLOADING;
            m->m_lUpgradID = handle;
            if (page)
                page->MarkRowDownloading(m->m_nItem);
            if (p != m->m_nProgress) {
                m->m_nProgress = p;
                if (page)
                    page->SetRowProgress(m->m_nItem, p, CLOUD_ID_DOWNLOAD_BAR);
            }
        }
        break;
    }
    case RemoteUpdateState_NoDiskSpace:
        PostStopDownload(d, 0, "CCloudUpgradeUILogic::Task_DownLoadCallBack_Ret");
        if (page)
            page->ShowAttention(L"insufficient download path diskspace.");
        break;
    default:
        // The SDK reports nothing more for it; what arrived is not known to be whole.
        qDebug("Task_DownLoadCallBack_Ret, finish---false");
        SdkCloudDownloadStop(d.m_lUpgradID);
        SetSameFileTaskState(index, 0, DOWNTASK_FINISHED, 0);
        JudgeDownLoadFinish();
        DownloadNext();
        break;
    }
}

void CCloudUpgradeUILogic::Task_StopDownloadFile_Ret(int stopOk, LONG handle, int index, int result,
                                                     unsigned generation)
{
    qDebug("Task_StopDownloadFile_Ret...");
    if (IsDownRecord(index, generation) && m_vecDownTask[size_t(index)].m_lUpgradID == handle &&
        m_vecDownTask[size_t(index)].m_nDownloadState != DOWNTASK_FINISHED) {
        (void)stopOk;
        SetSameFileTaskState(index, result, DOWNTASK_FINISHED, 0);
        DownloadNext();
        JudgeDownLoadFinish();
    }
    if (std::shared_ptr<CCloudUpgradePageSink> page = Page())
        page->HideProgressDialog();
}

void CCloudUpgradeUILogic::BatchStopDownload()
{
    m_bStopDownload = 1;
    std::shared_ptr<CCloudUpgradePageSink> page = Page();
    if (page)
        page->ResetDownloadButton(false);
    for (size_t i = 0; i < m_vecDownTask.size(); ++i) {
        DOWNLOADTASK& d = m_vecDownTask[i];
        if (d.m_nDownloadState == DOWNTASK_DOWNLOADING || d.m_nDownloadState == DOWNTASK_STARTING) {
            if (d.m_lUpgradID > kPendingHandle) {
                PostStopDownload(d, 0, "CCloudUpgradeUILogic::BatchStopDownload");
            } else if (d.m_lUpgradID == kPendingHandle && d.m_nSameIndex == -1) {
                m_vecDownStopPending[i] = 1; // the start answer brings the handle to stop
            } else {
                d.m_nDownloadState = DOWNTASK_FINISHED; // a follower, or a refused start
                d.m_nResult = 0;
                d.m_lUpgradID = 0;
                if (page)
                    page->SetDownloadResult(d.m_nItem, false);
            }
        } else if (d.m_nDownloadState == DOWNTASK_WAITING) {
            d.m_nDownloadState = DOWNTASK_FINISHED;
            if (page)
                page->SetDownloadResult(d.m_nItem, false);
        }
    }
    JudgeDownLoadFinish();
}

void CCloudUpgradeUILogic::StopSingleDownload(std::string, std::string key)
{
    const std::string wanted = CloudMacKey(key.c_str());
    for (size_t i = 0; i < m_vecDownTask.size(); ++i) {
        DOWNLOADTASK& d = m_vecDownTask[i];
        if (d.m_lUpgradID == 0 || CloudMacKey(d.m_strMac.c_str()) != wanted)
            continue;
        if (d.m_lUpgradID == kPendingHandle)
            m_vecDownStopPending[i] = 1;
        else
            PostStopDownload(d, 0, "CCloudUpgradeUILogic::StopSingleDownload");
        return;
    }
}

int CCloudUpgradeUILogic::FindDownTaskIndex(LONG handle) const
{
    for (size_t i = 0; i < m_vecDownTask.size(); ++i)
        if (m_vecDownTask[i].m_lUpgradID == handle && m_vecDownTask[i].m_nDownloadState != DOWNTASK_FINISHED)
            return int(i);
    return -1;
}
