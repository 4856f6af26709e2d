// The cloud upgrade page's download and upgrade commands: the DownLoadFile and KeyUpgrade buttons,
// a row's DownLoad, Upgrade and upgrade result buttons, and the download records and upgrade tasks
// they hand to the scheduler.
#include "CloudUpgrade/CCloudUpgradeEventImp.h"

#include <QDebug>
#include <QDir>

#include <cstring>

#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/AppSettings.h"
#include "Common/SFStreamConvert.h"
#include "Common/SFTimer.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/DeviceListText.h"
#include "Widgets/SFDialog.h"

namespace {

constexpr size_t kMaxFolderChars = 200;

std::wstring DownloadFolder()
{
    CAppSettings::MakeDefaultDownloadPath();
    return CAppSettings::DownloadPath;
}

// The local path of a firmware file, or empty for a name that is not a plain file name (it would
// reach outside the download folder).
std::string LocalPath(const char* fileName)
{
    const std::string name = fileName ? fileName : "";
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\\') != std::string::npos)
        return std::string();
    return SFWideToUtf8(DownloadFolder()) + "/" + name;
}

} // namespace

// ---- Download ------------------------------------------------------------------------------------

void CCloudUpgradeEventImp::OnBtnDownLoadFile()
{
    if (!m_pUILogic || !m_lstctrlDev)
        return;
    std::shared_ptr<CMainFrameEventImp> main = m_pMainFrame.lock();
    if (main && main->ShowNotice(Tr(L"CloudNotice"), 1) == 0)
        return;
    if (m_bChecking) {
        Message(L"Now checking,please wait...");
        return;
    }
    if (m_pUILogic->IsDownloading()) {
        std::wstring ask = Tr(L"Are you to cancel the DownLoad ?");
        std::wstring caption = Tr(L"Attention");
        if (ShowMessageBox(ask.c_str(), caption.c_str(), GetUIWnd(), 1) != 1)
            return;
        // The run may have ended while the question was open.
        if (m_pUILogic->IsDownloading())
            m_pUILogic->BatchStopDownload();
        return;
    }
    if (!AnyRowTicked()) {
        Message(L"Please select a device to download.");
        return;
    }
    if (!CheckDownloadFolder())
        return;
    StartBatchDownload();
}

bool CCloudUpgradeEventImp::AnyRowTicked() const
{
    for (int row = 0; m_lstctrlDev && row < m_lstctrlDev->GetItemCount(); ++row)
        if (m_lstctrlDev->IsCheck(row))
            return true;
    return false;
}

bool CCloudUpgradeEventImp::CheckDownloadFolder()
{
    const std::wstring folder = DownloadFolder();
    if (folder.empty() || !QDir(QString::fromStdWString(folder)).exists()) {
        Message(L"Download Path is not exist.");
        return false;
    }
    if (folder.size() > kMaxFolderChars) {
        Message(L"Download Path is too long.");
        return false;
    }
    return true;
}

DEVICE_INFO* CCloudUpgradeEventImp::RecordOfRow(int row)
{
    const std::string ip = CellText(row, COL_IP);
    const std::string mac = CellText(row, COL_MAC);
    for (DEVICE_INFO& d : m_vecDevice)
        if (FIELD_TEXT(d.stNetInfo.szIpAddr) == ip && SameTextNoCase(FIELD_TEXT(d.stNetInfo.szMacAddr), mac))
            return &d;
    return nullptr;
}

void CCloudUpgradeEventImp::StartBatchDownload()
{
    m_pUILogic->ClearDownVecTask();
    int count = 0;
    for (int row = 0; row < m_lstctrlDev->GetItemCount(); ++row) {
        if (!m_lstctrlDev->IsCheck(row))
            continue;
        if (m_lstctrlDev->GetItemData(row, COL_MAC) == 0) {
            DEVICE_INFO* d = RecordOfRow(row);
            if (!d)
                continue;
            const CLOUDCHECK* check = FindCloudCheck(m_mapCheck, d->stNetInfo.szMacAddr);
            const std::string path = LocalPath(d->szFileName);
            if (!check || !check->stuOut.bHasNewVersion || d->nDownloadState == 3 || path.empty())
                continue;
            m_pUILogic->AddDownloadTask(d->stNetInfo.szIpAddr, d->stNetInfo.szMacAddr, row, path,
                                        FIELD_TEXT(check->stuOut.szPackageUrl));
        } else {
            strudevice* r = RemoteOfRow(row);
            const std::string path = r ? LocalPath(r->szFileName) : std::string();
            if (!r || !r->byHasNewVersion || r->nDownloadState == 3 || path.empty())
                continue;
            m_pUILogic->AddDownloadTask(r->szIP, r->szMac, row, path, FIELD_TEXT(r->szDownloadUrl));
        }
        ++count;
        MarkRowTransferQueued(row, true);
    }
    if (count == 0) {
        Message(L"No file can be download.");
        return;
    }
    m_lstctrlDev->SetHeaderSortEnable(0);
    SetDownloadSameIndex();
    m_pUILogic->BatchStartDownload();
}

void CCloudUpgradeEventImp::MarkRowTransferQueued(int row, bool isDownload)
{
    if (!RowValid(row))
        return;
    if (isDownload) {
        m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"Stop"));
        m_lstctrlDev->SetBtnEnable(row, ID_DOWNLOAD, false);
        if (m_pBtnDownload)
            m_pBtnDownload->SetWindowTextW(Tr(L"Stop downloading"));
        m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, true);
        m_lstctrlDev->SetProgress(row, 0, ID_DOWNLOAD_BAR);
    } else {
        m_lstctrlDev->SetBtnEnable(row, false);
        m_lstctrlDev->SetOpeBtnText(row, ID_UPGRADE, Tr(L"Stop"));
        if (m_pBtnUpgrade) {
            m_pBtnUpgrade->SetWindowTextW(Tr(L"Stop upgrading"));
            m_pBtnUpgrade->EnableWindow(0);
        }
        m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_BAR, true);
        m_lstctrlDev->SetProgress(row, 0, ID_UPGRADE_BAR);
    }
}

void CCloudUpgradeEventImp::SetDownloadSameIndex()
{
    std::vector<DOWNLOADTASK>& records = m_pUILogic->GetDownVec();
    for (size_t i = 1; i < records.size(); ++i) {
        if (records[i].m_nDownloadState != DOWNTASK_WAITING)
            continue;
        for (size_t j = 0; j < i; ++j)
            if (records[j].m_nDownloadState != DOWNTASK_FINISHED &&
                SameTextNoCase(records[i].m_strFilePath, records[j].m_strFilePath))
                records[i].m_nSameIndex = static_cast<int>(j);
    }
}

void CCloudUpgradeEventImp::OnRowDownload(int row)
{
    if (!m_pUILogic)
        return;
    if (m_pUILogic->IsDownloading() && m_pUILogic->IsStopDownload()) {
        Message(L"Stop Downloading,please wait...");
        return;
    }
    const bool remoteRow = m_lstctrlDev->GetItemData(row, COL_MAC) > 0;
    m_lstctrlDev->SetHeaderSortEnable(0);
    int selected[1] = {row};
    m_lstctrlDev->SetItemSelected(selected, 1, true);
    if (remoteRow) {
        OnRemoteRowDownload(row);
        return;
    }
    const int i = FindDeviceIndexByRow(row);
    if (i < 0)
        return;
    DEVICE_INFO& d = m_vecDevice[static_cast<size_t>(i)];
    if (d.nDownloadState == 1) {
        d.nDownloadState = 0;
        m_pUILogic->StopSingleDownload(d.stNetInfo.szIpAddr, d.stNetInfo.szMacAddr);
        if (m_pTimer) {
            m_pTimer->StopTimer();
            m_pTimer->StartTimer(kWaitTimeoutMs, &CCloudUpgradeEventImp::OnWaitTimeout, this);
        }
        ShowWaitBox(L"Stop Downloading,please wait...");
        return;
    }
    if (d.nDownloadState != 0 && d.nDownloadState != 4)
        return;
    if (!CheckDownloadFolder())
        return;
    // Without an answer there is nothing to download: the row stays as it is.
    const CLOUDCHECK* check = FindCloudCheck(m_mapCheck, CellText(row, COL_MAC, 49).c_str());
    const std::string path = LocalPath(d.szFileName);
    if (!check || path.empty())
        return;
    d.nDownloadState = 1;
    m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"Stop"));
    m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, true);
    m_lstctrlDev->SetBtnEnable(row, ID_DOWNLOAD, false);
    m_pUILogic->AddDownloadTask(d.stNetInfo.szIpAddr, d.stNetInfo.szMacAddr, row, path,
                                FIELD_TEXT(check->stuOut.szPackageUrl));
    SetDownloadSameIndex();
    StartOrQueueDownload(row);
}

void CCloudUpgradeEventImp::StartOrQueueDownload(int row)
{
    if (!m_pUILogic->IsDownloading()) {
        qDebug("StartSingleDownloadFile.....");
        if (m_pBtnDownload)
            m_pBtnDownload->SetWindowTextW(Tr(L"Stop downloading"));
        m_pUILogic->StartSingleDownloadFile(row);
    } else {
        qDebug("DownloadNext.....");
        m_pUILogic->DownloadNext();
    }
}

void CCloudUpgradeEventImp::OnRemoteRowDownload(int row)
{
    strudevice* r = RemoteOfRow(row);
    if (!r)
        return;
    if (r->nDownloadState == 1) {
        r->nDownloadState = 0;
        m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"DownLoad"));
        if (m_pBtnDownload)
            m_pBtnDownload->SetWindowTextW(Tr(L"DownLoadFile"));
        m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, true);
        m_pUILogic->StopSingleDownload(r->szIP, r->szMac);
        return;
    }
    const std::string path = LocalPath(r->szFileName);
    if ((r->nDownloadState != 0 && r->nDownloadState != 4) || path.empty())
        return;
    r->nDownloadState = 1;
    m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"Stop"));
    m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, true);
    m_lstctrlDev->SetBtnEnable(row, ID_DOWNLOAD, false);
    m_pUILogic->AddDownloadTask(r->szIP, r->szMac, row, path, FIELD_TEXT(r->szDownloadUrl));
    SetDownloadSameIndex();
    StartOrQueueDownload(row);
}

// ---- Upgrade -------------------------------------------------------------------------------------

void CCloudUpgradeEventImp::OnBtnKeyUpgrade()
{
    if (!m_pUILogic || !m_lstctrlDev)
        return;
    if (m_bChecking) {
        Message(L"Now checking,please wait...");
        return;
    }
    if (m_pUILogic->IsUpgrading() && m_pUILogic->IsStopUpgrade()) {
        Message(L"Stop upgrading,please wait...");
        return;
    }
    if (m_pUILogic->IsUpgrading()) {
        std::wstring ask = Tr(L"Are you to stop the Upgrade ?");
        std::wstring caption = Tr(L"Attention");
        if (ShowMessageBox(ask.c_str(), caption.c_str(), GetUIWnd(), 1) != 1)
            return;
        // The run may have ended, or a stop begun, while the question was open.
        if (m_pUILogic->IsUpgrading() && !m_pUILogic->IsStopUpgrade())
            m_pUILogic->StopUpgrade();
        return;
    }
    if (!AnyRowTicked()) {
        Message(L"Please select a upgrade device.");
        return;
    }
    StartBatchUpgrade();
}

bool CCloudUpgradeEventImp::InsertUpgradeTask(int row)
{
    if (m_lstctrlDev->GetItemData(row, COL_MAC) == 0) {
        DEVICE_INFO* d = RecordOfRow(row);
        const std::string path = d ? LocalPath(d->szFileName) : std::string();
        if (!d || d->nDownloadState != 3 || path.empty())
            return false;
        REMOTETASKINFO local;
        m_pUILogic->InsertTaskInfo(d->stNetInfo.nPort, d->stNetInfo.szIpAddr, d->szUser, d->szPassword,
                                   d->stNetInfo.szMacAddr, FIELD_TEXT(d->stNetInfo.szSerialNumber).c_str(), row, path,
                                   &local);
        return true;
    }
    const int n = static_cast<int>(m_lstctrlDev->GetItemData(row, COL_MAC));
    const int recorder = FindDeviceIndexByRow(n - 1);
    std::string key;
    strudevice* r = RemoteOfRow(row, &key);
    const std::string path = r ? LocalPath(r->szFileName) : std::string();
    // A remote device whose recorder has no record cannot be logged in to.
    if (recorder < 0 || !r || r->nDownloadState != 3 || path.empty())
        return false;
    const DEVICE_INFO& d = m_vecDevice[static_cast<size_t>(recorder)];
    REMOTETASKINFO remote;
    remote.nRemoteIndex = r->nIndex;
    remote.nParentTask = FindRecorderTask(key.c_str());
    SafeStrCopy(remote.szDeviceID, sizeof remote.szDeviceID, r->szDeviceID, sizeof r->szDeviceID);
    remote.nVendor = r->nVendor;
    m_pUILogic->InsertTaskInfo(d.stNetInfo.nPort, d.stNetInfo.szIpAddr, d.szUser, d.szPassword, d.stNetInfo.szMacAddr,
                               FIELD_TEXT(r->szSerialNo).c_str(), row, path, &remote);
    return true;
}

void CCloudUpgradeEventImp::StartBatchUpgrade()
{
    m_pUILogic->ClearVecTask();
    m_pUILogic->SetStopWorker(0);
    int count = 0;
    for (int row = 0; row < m_lstctrlDev->GetItemCount(); ++row) {
        if (!m_lstctrlDev->IsCheck(row))
            continue;
        m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_RESULT, false);
        if (!InsertUpgradeTask(row))
            continue;
        ++count;
        MarkRowTransferQueued(row, false);
    }
    if (count == 0) {
        Message(L"No device can upgrade.");
        return;
    }
    SetUpgradeSameIndex();
    m_pUILogic->StartUpgrade(0, 0);
    m_lstctrlDev->SetHeaderSortEnable(0);
}

void CCloudUpgradeEventImp::SetUpgradeSameIndex()
{
    if (m_pUILogic)
        ::SetUpgradeSameIndex(m_pUILogic->GetTaskVec());
}

int CCloudUpgradeEventImp::FindRecorderTask(const char* mac)
{
    if (!m_pUILogic || !mac)
        return -1;
    const std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>>& tasks = m_pUILogic->GetTaskVec();
    for (size_t i = 0; i < tasks.size(); ++i) {
        const CCloudUpgradeTaskInfo& t = *tasks[i];
        if (t.m_stRemote.nRemoteIndex < 0 && t.m_nUpgradeState != 2 && SameTextNoCase(FIELD_TEXT(t.m_szMac), mac))
            return static_cast<int>(i);
    }
    return -1;
}

int CCloudUpgradeEventImp::IsRemoteDeviceUpgrading(const char* mac)
{
    if (!m_pUILogic || !mac)
        return 0;
    for (const std::shared_ptr<CCloudUpgradeTaskInfo>& t : m_pUILogic->GetTaskVec())
        if (t->m_stRemote.nRemoteIndex >= 0 && t->m_nUpgradeState == 1 && SameTextNoCase(FIELD_TEXT(t->m_szMac), mac))
            return 1;
    return 0;
}

void CCloudUpgradeEventImp::OnRowUpgrade(int row)
{
    if (!m_pUILogic)
        return;
    if (m_pUILogic->IsUpgrading() && m_pUILogic->IsStopUpgrade()) {
        Message(L"Stop upgrading,please wait...");
        return;
    }
    const std::string mac = CellText(row, COL_MAC);
    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_RESULT, false);
    const bool remoteRow = m_lstctrlDev->GetItemData(row, COL_MAC) > 0;
    m_lstctrlDev->SetHeaderSortEnable(0);
    int* state = nullptr;
    if (!remoteRow) {
        if (IsRemoteDeviceUpgrading(mac.c_str())) {
            Message(L"Local device is not allowed to upgrade when remote device is upgrading");
            return;
        }
        const int i = FindDeviceIndexByRow(row);
        if (i < 0)
            return;
        state = &m_vecDevice[static_cast<size_t>(i)].nUpgradeState;
    } else {
        strudevice* r = RemoteOfRow(row);
        if (!r)
            return;
        state = &r->nUpgradeState;
    }
    int selected[1] = {row};
    if (*state == 1) {
        if (remoteRow) {
            *state = 0;
            m_lstctrlDev->SetOpeBtnText(row, ID_UPGRADE, Tr(L"Upgrade"));
            m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_BAR, false);
        }
        m_pUILogic->StopUpgradeSingle(row);
        m_lstctrlDev->SetItemSelected(selected, 1, true);
        return;
    }
    if (*state != 0)
        return;
    if (!InsertUpgradeTask(row))
        return;
    *state = 1;
    m_lstctrlDev->SetBtnEnable(row, ID_UPGRADE, false);
    m_lstctrlDev->SetOpeBtnText(row, ID_UPGRADE, Tr(L"Stop"));
    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_BAR, true);
    m_lstctrlDev->SetItemSelected(selected, 1, true);
    SetUpgradeSameIndex();
    if (!m_pUILogic->IsUpgrading()) {
        qDebug(remoteRow ? "StartUpgrade remote..." : "StartUpgrade local...");
        if (m_pBtnUpgrade) {
            m_pBtnUpgrade->SetWindowTextW(Tr(L"Stop upgrading"));
            if (!remoteRow)
                m_pBtnUpgrade->EnableWindow(0);
        }
        m_pUILogic->StartUpgrade(0, 0);
    } else {
        m_pUILogic->UpgradeNext(0);
    }
}

void CCloudUpgradeEventImp::OnRowUpgradeResult(int row)
{
    const std::string ip = CellText(row, COL_IP);
    const int code = static_cast<int>(m_lstctrlDev->GetItemData(row, COL_CHECK));
    std::wstring caption = Tr(L"Upgrade");
    std::wstring text = Tr(CloudUpgradeResultText(code));
    if (std::shared_ptr<CMainFrameEventImp> main = m_pMainFrame.lock())
        main->ShowResultDetails(ip.c_str(), caption, text);
}

// ---- Offered, not called -------------------------------------------------------------------------

void CCloudUpgradeEventImp::ShowStartDownloadWait() { ShowWaitBox(L"Start Downloading,please wait..."); }

void CCloudUpgradeEventImp::ResetKeyUpgradeText()
{
    if (m_pBtnUpgrade)
        m_pBtnUpgrade->SetWindowTextW(Tr(L"KeyUpgrade"));
}
