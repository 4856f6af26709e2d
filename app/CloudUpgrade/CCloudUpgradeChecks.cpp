// The cloud upgrade page's update checks: the check / stop button, the row's result and refresh
// buttons, a recorder's remote rows, and the results the scheduler hands back. A run of checks ends
// as soon as nothing it posted is outstanding, whatever kind of answer came last.
#include "CloudUpgrade/CCloudUpgradeEventImp.h"

#include <QDebug>
#include <QDir>

#include <cstring>

#include "CloudUpgrade/CCloudAcountDlg.h"
#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/AppSettings.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/DeviceListText.h"
#include "Widgets/SFDialog.h"

namespace {

// The text after the last "/" of a download address, or empty when it has none.
std::string FileNameOfUrl(const std::string& url)
{
    const size_t slash = url.rfind('/');
    return slash == std::string::npos ? std::string() : url.substr(slash + 1);
}

void PostCheck(CCloudUpgradeUILogic& logic, const DEVICE_INFO& d, const NET_IN_CLOUD_UPGRADER_CHECK& request)
{
    const DEVICE_NET_INFO_EX& info = d.stNetInfo;
    logic.CloudUpgradeCheck(FIELD_TEXT(info.szIpAddr), info.nPort, FIELD_TEXT(d.szUser), FIELD_TEXT(d.szPassword),
                            FIELD_TEXT(info.szMacAddr), &request, FIELD_TEXT(info.szSerialNumber), d.bRemote);
}

} // namespace

const wchar_t* CCloudUpgradeEventImp::CheckErrorText(int code)
{
    switch (code) {
    case 1: return L"Incorrect password.";
    case 2: return L"Account doesn't exist.";
    case 3: return L"Login over time.";
    case 4: return L"Account has been registered.";
    case 5: return L"Account has been locked.";
    case 6: return L"Account is in the blacklist.";
    case 7: return L"System is busy.";
    case 8:
    case 9: return L"Connection failed.";
    case 10: return L"Exceeded the maximum connections.";
    case 11: return L"Check Cancel.";
    case 12: return L"network error, maybe timeout";
    case 13: return L"Fail";
    default: return L"Login failed.";
    }
}

// ---- Check button --------------------------------------------------------------------------------

void CCloudUpgradeEventImp::OnBtnCheck()
{
    if (!m_pBtnCheck || !m_pUILogic || !m_lstctrlDev)
        return;
    wchar_t text[64] = {};
    m_pBtnCheck->GetWindowTextW(text, 63);
    const std::wstring current = text;
    if (current == Tr(L"StopCheck")) {
        m_bStopChecking = 1;
        m_pUILogic->SetStopCheck(1);
        // The run may have ended while the button still showed the stop text.
        if (m_bChecking)
            ShowWaitBox(L"Stop Checking,please wait...");
        return;
    }
    if (current != Tr(L"CheckRefrush"))
        return;
    std::shared_ptr<CMainFrameEventImp> main = m_pMainFrame.lock();
    if (main && main->ShowNotice(Tr(L"CloudNotice"), 1) == 0)
        return;
    CAppSettings::MakeDefaultDownloadPath();
    const QString folder = QString::fromStdWString(CAppSettings::DownloadPath);
    if (folder.isEmpty() || !QDir(folder).exists()) {
        Message(L"Download Path is not exist.");
        return;
    }
    if (m_bChecking) {
        Message(L"Now checking,please wait...");
        return;
    }
    if (IsDownloading()) {
        Message(L"Downloading,please wait...");
        return;
    }
    if (IsUpgrading()) {
        Message(L"Upgrading,please wait...");
        return;
    }
    bool any = false;
    for (int row = 0; row < m_lstctrlDev->GetItemCount() && !any; ++row)
        any = m_lstctrlDev->IsCheck(row) != 0;
    if (!any) {
        Message(L"Please select a device to check.");
        return;
    }
    m_pBtnCheck->SetWindowTextW(Tr(L"StopCheck"));
    EnableCheckControls(false);
    m_lstctrlDev->SetHeaderSortEnable(0);

    m_bSingleCheck = 0;
    m_nCheckRemain = 0;
    m_bChecking = 1;
    m_checkCou = 0;
    NET_IN_CLOUD_UPGRADER_CHECK request;
    for (int row = 0; row < m_lstctrlDev->GetItemCount(); ++row) {
        if (!m_lstctrlDev->IsCheck(row))
            continue;
        if (m_lstctrlDev->GetItemData(row, COL_MAC) == 0) {
            const int i = FindDeviceIndexByRow(row);
            if (i < 0)
                break;
            DEVICE_INFO& d = m_vecDevice[static_cast<size_t>(i)];
            std::memset(&request, 0, sizeof request);
            PostCheck(*m_pUILogic, d, request);
            d.nDownloadState = 0;
            d.nDownloadPercent = 0;
            d.nUpgradeState = 0;
        } else {
            std::string key;
            strudevice* remote = RemoteOfRow(row, &key);
            // A remote row whose device is gone posts nothing and so counts for nothing.
            if (!remote)
                continue;
            remote->nDownloadState = 0;
            remote->nDownloadPercent = 0;
            remote->nUpgradeState = 0;
            CheckRemoteDevice(*remote, key, row);
        }
        ResetRowForCheck(row);
        ++m_nCheckRemain;
    }
    // Nothing posted: nothing will end the run later.
    if (m_nCheckRemain == 0)
        EndCheckRun();
}

void CCloudUpgradeEventImp::ResetRowForCheck(int row)
{
    m_lstctrlDev->SetItemShow(row, COL_CHECKSTATE, ID_CHECK_RESULT, false);
    m_lstctrlDev->SetItemShow(row, COL_CHECKSTATE, ID_REFRESH, false);
    m_lstctrlDev->SetItemText(row, COL_CHECKSTATE, Tr(L"checking..."));
    m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, false);
    m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, false);
    m_lstctrlDev->SetItemText(row, COL_DOWNLOAD, L"");
    m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"DownLoad"));
    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE, false);
    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_BAR, false);
    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_RESULT, false);
    m_lstctrlDev->SetOpeBtnText(row, ID_UPGRADE, Tr(L"Upgrade"));
    m_lstctrlDev->SetTableItemColor(row);
}

void CCloudUpgradeEventImp::EnableCheckControls(bool enable)
{
    for (CSFButton* b : {m_pBtnGet, m_pBtnSave, m_pBtnDownload, m_pBtnUpgrade})
        if (b)
            b->EnableWindow(enable ? 1 : 0);
    if (m_pBtnCheck)
        m_pBtnCheck->SetWindowTextW(Tr(enable ? L"CheckRefrush" : L"StopCheck"));
    if (!m_lstctrlDev)
        return;
    for (int row = 0; row < m_lstctrlDev->GetItemCount(); ++row) {
        m_lstctrlDev->SetBtnEnable(row, enable);
        m_lstctrlDev->SetBtnEnable(row, ID_CHECK_RESULT, enable);
        m_lstctrlDev->SetBtnEnable(row, ID_REFRESH, enable);
    }
}

void CCloudUpgradeEventImp::EndCheckRun()
{
    m_bChecking = 0;
    EnableCheckControls(true);
    if (m_lstctrlDev)
        m_lstctrlDev->SetHeaderSortEnable(1);
    if (m_pUILogic)
        m_pUILogic->SetStopCheck(0);
    HideProgressDialog();
}

void CCloudUpgradeEventImp::HideUpgradeResultButtons()
{
    if (!m_lstctrlDev)
        return;
    for (int row = 0; row < m_lstctrlDev->GetItemCount(); ++row)
        m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_RESULT, false);
}

void CCloudUpgradeEventImp::CheckRemoteDevice(strudevice& remote, const std::string& recorderKey, int row)
{
    if (m_pUILogic)
        m_pUILogic->RemoteUpgraderCheck(&remote, recorderKey, row);
}

// ---- Row buttons ---------------------------------------------------------------------------------

void CCloudUpgradeEventImp::OnButton(int id, int row)
{
    if (!RowValid(row))
        return;
    // The buttons act on their own row, whichever row was clicked before.
    m_nCurRow = row;
    m_nCurDevIndex = FindDeviceIndexByRow(row);
    switch (id) {
    case ID_CHECK_RESULT: {
        const std::string ip = CellText(row, COL_IP);
        const int code = static_cast<int>(m_lstctrlDev->GetItemData(row, COL_CHECKSTATE));
        std::wstring caption = Tr(L"CheckVersion");
        std::wstring text = Tr(CheckErrorText(code));
        if (std::shared_ptr<CMainFrameEventImp> main = m_pMainFrame.lock())
            main->ShowResultDetails(ip.c_str(), caption, text);
        break;
    }
    case ID_REFRESH: OnRefreshRow(row); break;
    case ID_EXPAND: OnExpandRow(row); break;
    case ID_DOWNLOAD: OnRowDownload(row); break;
    case ID_UPGRADE: OnRowUpgrade(row); break;
    case ID_UPGRADE_RESULT: OnRowUpgradeResult(row); break;
    default: break;
    }
}

void CCloudUpgradeEventImp::OnRefreshRow(int row)
{
    EnableCheckControls(true);
    m_bSingleCheck = 1;
    m_nCheckRemain = 0;
    const int code = static_cast<int>(m_lstctrlDev->GetItemData(row, COL_CHECKSTATE));
    const bool remoteRow = m_lstctrlDev->GetItemData(row, COL_MAC) > 0;
    if (!remoteRow && (code == 1 || code == 2)) {
        if (m_pAccountDlg && m_pAccountDlg->GetDialog() && m_nCurDevIndex >= 0) {
            m_pAccountDlg->GetDialog()->CenterWindow(nullptr);
            m_pAccountDlg->GetDialog()->DoModalDlg();
        }
        return;
    }
    qDebug("onbutton, checkrefresh...row:%d", row);
    if (!remoteRow) {
        if (m_nCurDevIndex < 0 || !m_pUILogic)
            return;
        ResetRowForCheck(row);
        NET_IN_CLOUD_UPGRADER_CHECK request;
        std::memset(&request, 0, sizeof request);
        PostCheck(*m_pUILogic, m_vecDevice[static_cast<size_t>(m_nCurDevIndex)], request);
    } else {
        std::string key;
        strudevice* remote = RemoteOfRow(row, &key);
        if (!remote)
            return;
        ResetRowForCheck(row);
        CheckRemoteDevice(*remote, key, row);
    }
    int selected[1] = {row};
    m_lstctrlDev->SetItemSelected(selected, 1, true);
}

// Only remote devices the page already holds (an import's) can be listed: nothing on the network
// answers a request for a recorder's list, so no wait box is shown for one.
void CCloudUpgradeEventImp::OnExpandRow(int row)
{
    HideUpgradeResultButtons();
    if (IsDownloading()) {
        Message(L"Downloading,please wait...");
        return;
    }
    if (IsUpgrading()) {
        Message(L"Upgrading,please wait...");
        return;
    }
    if (m_nCurDevIndex < 0)
        return;
    DEVICE_INFO& d = m_vecDevice[static_cast<size_t>(m_nCurDevIndex)];
    if (d.bExpanded) {
        CollapseRecorder(m_nCurDevIndex, row);
        return;
    }
    auto it = m_mapRemote.find(CloudMacKey(d.stNetInfo.szMacAddr));
    if (it == m_mapRemote.end() || it->second.empty())
        return;
    ExpandRecorder(m_nCurDevIndex, row, it->second);
}

void CCloudUpgradeEventImp::ExpandRecorder(int deviceIndex, int row, const std::vector<strudevice>& remotes)
{
    m_vecDevice[static_cast<size_t>(deviceIndex)].bExpanded = 1;
    ClearAllChecks();
    m_lstctrlDev->SetHeaderSortEnable(0);
    const int count = m_lstctrlDev->GetItemCount();
    if (row + 1 < count)
        m_lstctrlDev->DeleteAppointRows(row + 1, count);
    for (const strudevice& r : remotes)
        AddRemoteDeviceRow(r, row + 1);
    m_nRowNumber = RowNumberOf(row) + 1;
    AppendMissingStoredRows();
    HideProgressDialog();
}

void CCloudUpgradeEventImp::ClearAllChecks()
{
    m_lstctrlDev->SetAllCheck(0);
    for (int row = 0; row < m_lstctrlDev->GetItemCount(); ++row)
        m_lstctrlDev->SetCheck(row, 0);
}

int CCloudUpgradeEventImp::RowNumberOf(int row)
{
    const std::string text = CellText(row, COL_NO, 9);
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        n = n * 10 + (c - '0');
    }
    return n;
}

void CCloudUpgradeEventImp::AppendMissingStoredRows()
{
    for (const DEVICE_INFO& d : m_vecDevice) {
        if (d.stNetInfo.nIpVersion != 4)
            continue;
        const std::string mac = FIELD_TEXT(d.stNetInfo.szMacAddr);
        const std::string ip = FIELD_TEXT(d.stNetInfo.szIpAddr);
        bool shown = false;
        for (int row = 0; row < m_lstctrlDev->GetItemCount() && !shown; ++row)
            shown = SameTextNoCase(CellText(row, COL_MAC), mac) && SameTextNoCase(CellText(row, COL_IP), ip);
        if (shown)
            continue;
        AddStoredDeviceRow(d, false);
        if (!d.bExpanded)
            continue;
        auto it = m_mapRemote.find(CloudMacKey(mac.c_str()));
        if (it == m_mapRemote.end())
            continue;
        const int recorderRow = m_lstctrlDev->GetItemCount();
        for (const strudevice& r : it->second)
            AddRemoteDeviceRow(r, recorderRow);
    }
}

void CCloudUpgradeEventImp::CollapseRecorder(int deviceIndex, int row)
{
    if (deviceIndex < 0 || deviceIndex >= static_cast<int>(m_vecDevice.size()) || !RowValid(row))
        return;
    m_vecDevice[static_cast<size_t>(deviceIndex)].bExpanded = 0;
    ClearAllChecks();
    m_lstctrlDev->SetHeaderSortEnable(1);
    const int count = m_lstctrlDev->GetItemCount();
    if (row + 1 < count)
        m_lstctrlDev->DeleteAppointRows(row + 1, count);
    m_nRowNumber = RowNumberOf(row) + 1;
    AppendMissingStoredRows();
}

void CCloudUpgradeEventImp::CollapseAllRecorders()
{
    if (!m_lstctrlDev || m_lstctrlDev->GetItemCount() == 0)
        return;
    for (size_t i = 0; i < m_vecDevice.size(); ++i) {
        if (!m_vecDevice[i].bExpanded)
            continue;
        const std::string mac = FIELD_TEXT(m_vecDevice[i].stNetInfo.szMacAddr);
        const std::string ip = FIELD_TEXT(m_vecDevice[i].stNetInfo.szIpAddr);
        for (int row = 0; row < m_lstctrlDev->GetItemCount(); ++row) {
            if (SameTextNoCase(CellText(row, COL_MAC), mac) && SameTextNoCase(CellText(row, COL_IP), ip)) {
                CollapseRecorder(static_cast<int>(i), row);
                break;
            }
        }
    }
}

// ---- Single checks -------------------------------------------------------------------------------

void CCloudUpgradeEventImp::CheckDevice(const DEVICE_INFO* record)
{
    if (!record || !m_pUILogic)
        return;
    // Counted, so that the run ends with its last answer even when some rows need no check.
    if (!m_bChecking)
        m_nCheckRemain = 0;
    ++m_nCheckRemain;
    m_bChecking = 1;
    EnableCheckControls(false);
    m_bSingleCheck = 0;
    if (m_lstctrlDev)
        m_lstctrlDev->SetHeaderSortEnable(0);
    NET_IN_CLOUD_UPGRADER_CHECK request;
    std::memset(&request, 0, sizeof request);
    if (CLOUDCHECK* stored = FindCloudCheck(m_mapCheck, record->stNetInfo.szMacAddr))
        request = stored->stuIn;
    PostCheck(*m_pUILogic, *record, request);
}

void CCloudUpgradeEventImp::CheckWithAccount(const char* user, const char* password)
{
    m_bSingleCheck = 1;
    m_nCheckRemain = 0;
    if (m_nCurDevIndex < 0 || m_nCurDevIndex >= static_cast<int>(m_vecDevice.size()) || !m_pUILogic)
        return;
    DEVICE_INFO& d = m_vecDevice[static_cast<size_t>(m_nCurDevIndex)];
    std::memset(d.szUser, 0, sizeof d.szUser);
    std::memset(d.szPassword, 0, sizeof d.szPassword);
    SafeStrCopy(d.szUser, sizeof d.szUser, user ? user : "");
    SafeStrCopy(d.szPassword, sizeof d.szPassword, password ? password : "");
    NET_IN_CLOUD_UPGRADER_CHECK request;
    std::memset(&request, 0, sizeof request);
    if (CLOUDCHECK* stored = FindCloudCheck(m_mapCheck, d.stNetInfo.szMacAddr))
        request = stored->stuIn;
    if (RowValid(m_nCurRow)) {
        m_lstctrlDev->SetItemShow(m_nCurRow, COL_CHECKSTATE, ID_CHECK_RESULT, false);
        m_lstctrlDev->SetItemShow(m_nCurRow, COL_CHECKSTATE, ID_REFRESH, false);
        m_lstctrlDev->SetItemText(m_nCurRow, COL_CHECKSTATE, Tr(L"checking..."));
        m_lstctrlDev->SetTableItemColor(m_nCurRow);
    }
    PostCheck(*m_pUILogic, d, request);
}

// ---- Results -------------------------------------------------------------------------------------

void CCloudUpgradeEventImp::OnCheckResult(std::shared_ptr<NET_IN_CLOUD_UPGRADER_CHECK> request,
                                          std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer, int checkResult,
                                          std::string, std::string mac, long, int result)
{
    --m_nCheckRemain;
    ++m_checkCou;
    CLOUDCHECK check;
    std::memset(&check, 0, sizeof check);
    if (request)
        check.stuIn = *request;
    if (answer)
        check.stuOut = *answer;
    StoreCloudCheck(m_mapCheck, mac.c_str(), check);
    const NET_OUT_CLOUD_UPGRADER_CHECK& out = check.stuOut;
    const std::string url = FIELD_TEXT(out.szPackageUrl);
    const std::string version = FIELD_TEXT(out.szNewVersion);

    int row = -1;
    for (int r = 0; m_lstctrlDev && r < m_lstctrlDev->GetItemCount(); ++r) {
        if (SameTextNoCase(CellText(r, COL_MAC, 64), mac)) {
            row = r;
            break;
        }
    }
    const int index = row >= 0 ? FindDeviceIndexByRow(row) : -1;
    if (index >= 0) {
        DEVICE_INFO& d = m_vecDevice[static_cast<size_t>(index)];
        d.nCheckError = result;
        d.bCheckResult = checkResult ? 1 : 0;
        d.bHasNewVersion = out.bHasNewVersion ? 1 : 0;
        d.nDownloadState = 0;
        const std::string file = FileNameOfUrl(url);
        if (checkResult && out.bHasNewVersion) {
            if (url.find('/') != std::string::npos)
                SafeStrCopy(d.szFileName, sizeof d.szFileName, file.c_str());
            SetCellUtf8(row, COL_CHECKSTATE, version);
            SafeStrCopy(d.szNewVersion, sizeof d.szNewVersion, version.c_str());
            m_lstctrlDev->SetItemText(row, COL_DOWNLOAD, L"");
            m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"DownLoad"));
            m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, true);
        } else if (checkResult) {
            m_lstctrlDev->SetItemText(row, COL_CHECKSTATE, Tr(L"no new version"));
        } else {
            if (url.find('/') != std::string::npos)
                SafeStrCopy(d.szFileName, sizeof d.szFileName, file.c_str());
            SafeStrCopy(d.szNewVersion, sizeof d.szNewVersion, version.c_str());
            m_lstctrlDev->SetItemText(row, COL_CHECKSTATE, Tr(L"check failed"));
            AddFailedCheckButtons(row);
            m_lstctrlDev->SetBtnEnable(row, ID_CHECK_RESULT, m_bSingleCheck == 1);
            m_lstctrlDev->SetBtnEnable(row, ID_REFRESH, m_bSingleCheck == 1);
            m_lstctrlDev->SetItemData(row, static_cast<DWORD>(result), COL_CHECKSTATE);
        }
        m_lstctrlDev->SetTableItemColor(row);
    }
    if (!m_bChecking)
        return;
    if (m_lstctrlDev && m_checkCou == m_lstctrlDev->GetItemCount()) {
        qDebug("m_checkCou == m_lstctrlDev->GetItemCount()");
        EndCheckRun();
    } else if (m_nCheckRemain <= 0) {
        EndCheckRun();
    }
}

void CCloudUpgradeEventImp::OnRemoteCheckResult(std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer,
                                                int checkResult, std::string serialNo, std::string recorderKey,
                                                int row)
{
    --m_nCheckRemain;
    NET_OUT_CLOUD_UPGRADER_CHECK out;
    std::memset(&out, 0, sizeof out);
    if (answer)
        out = *answer;
    const std::string key = CloudMacKey(recorderKey.c_str());
    auto it = m_mapRemote.find(key);
    strudevice* remote = it == m_mapRemote.end() ? nullptr : FindRemoteDevice(m_mapRemote, key.c_str(), serialNo.c_str());
    if (remote) {
        ++m_nRemoteCheckCount;
        remote->byCheckResult = checkResult ? 1 : 0;
        if (checkResult) {
            remote->nDownloadState = 0;
            remote->byHasNewVersion = out.bHasNewVersion ? 1 : 0;
            SafeStrCopy(remote->szNewVersion, sizeof remote->szNewVersion, out.szNewVersion, sizeof out.szNewVersion);
            SafeStrCopy(remote->szDownloadUrl, sizeof remote->szDownloadUrl, out.szPackageUrl, sizeof out.szPackageUrl);
            const std::string url = FIELD_TEXT(remote->szDownloadUrl);
            if (url.find('/') != std::string::npos)
                SafeStrCopy(remote->szFileName, sizeof remote->szFileName, FileNameOfUrl(url).c_str());
        } else if (remote->nCheckError == 0) {
            // A refused remote check has no login code of its own: its result button says "Fail".
            remote->nCheckError = 13;
        }
        if (RowValid(row)) {
            ShowCheckState(row, remote->byCheckResult, remote->nCheckError, remote->byHasNewVersion,
                           FIELD_TEXT(remote->szNewVersion).c_str(), remote->nDownloadState, remote->nDownloadPercent);
            if (remote->byCheckResult && remote->byHasNewVersion && remote->nDownloadState == 0)
                m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"DownLoad"));
            m_lstctrlDev->SetTableItemColor(row);
        } else if (row < 0 && it != m_mapRemote.end() &&
                   m_nRemoteCheckCount == static_cast<int>(it->second.size()) && m_nCurDevIndex >= 0 &&
                   RowValid(m_nCurRow)) {
            ExpandRecorder(m_nCurDevIndex, m_nCurRow, it->second);
            m_nRemoteCheckCount = 0;
        }
    }
    if (m_bChecking && m_nCheckRemain <= 0)
        EndCheckRun();
}

void CCloudUpgradeEventImp::ShowImportedDevice(const DEVICE_INFO& record)
{
    if (!m_lstctrlDev)
        return;
    const std::string mac = FIELD_TEXT(record.stNetInfo.szMacAddr);
    const std::string ip = FIELD_TEXT(record.stNetInfo.szIpAddr);
    for (int row = 0; row < m_lstctrlDev->GetItemCount(); ++row) {
        if (!SameTextNoCase(CellText(row, COL_MAC), mac) || !SameTextNoCase(CellText(row, COL_IP), ip))
            continue;
        SetCellUtf8(row, COL_SN, FIELD_TEXT(record.stNetInfo.szSerialNumber));
        SetCellUtf8(row, COL_VERSION, FIELD_TEXT(record.stNetInfo.szSoftVersion));
        if (record.bCheckResult && record.bHasNewVersion) {
            ++m_nImportCount;
            m_lstctrlDev->SetItemShow(row, COL_CHECKSTATE, ID_CHECK_RESULT, false);
            m_lstctrlDev->SetItemShow(row, COL_CHECKSTATE, ID_REFRESH, false);
            SetCellUtf8(row, COL_CHECKSTATE, FIELD_TEXT(record.szNewVersion));
            if (record.nDownloadState == 3) {
                m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, false);
                m_lstctrlDev->SetItemText(row, COL_DOWNLOAD, Tr(L"finish"));
                m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE, true);
                m_lstctrlDev->SetBtnEnable(row, ID_UPGRADE, false);
            } else {
                m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, false);
                m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE, false);
            }
        } else {
            for (int id : {ID_CHECK_RESULT, ID_REFRESH})
                m_lstctrlDev->SetItemShow(row, COL_CHECKSTATE, static_cast<UINT>(id), false);
            m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, false);
            m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE, false);
            m_lstctrlDev->SetItemText(row, COL_DOWNLOAD, L"");
            m_lstctrlDev->SetItemText(row, COL_CHECKSTATE, Tr(L"checking..."));
            --m_checkCou;
            CheckDevice(&record);
        }
        m_lstctrlDev->SetTableItemColor(row);
    }
}
