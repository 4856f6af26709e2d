// The cloud upgrade page's rows: adding top and remote rows, their widgets and check state, the
// lookups from a row to its record, and the row states the scheduler sets.
#include "CloudUpgrade/CCloudUpgradeEventImp.h"

#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <vector>

#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/DeviceListText.h"
#include "Main/MainFrameDefs.h"
#include "Widgets/SkinRecords.h"

namespace {

constexpr int kFailedButtonsX = 60;
constexpr int kFailedTextDelayMs = 500;

ImageButtonStyle UpgradeStyle() { return MakeButtonSkin(L"upgrade_n.png", L"upgrade_h.png", L"upgrade_p.png", L"upgrade_d.png"); }
ImageButtonStyle OkStyle() { return MakeButtonSkin(L"ok.png", L"ok_hover.png", L"ok_press.png", L"ok.png"); }
ImageButtonStyle ErrorStyle() { return MakeButtonSkin(L"error.png", L"erro_hover.png", L"erro_press.png", L"error.png"); }
ImageButtonStyle UpdateStyle()
{
    return MakeButtonSkin(L"uodate_nor.png", L"uodate_hov.png", L"uodate_pre.png", L"uodate_nor.png");
}
ImageRadioBox RowCheckSkin()
{
    return MakeRadioSkin(L"Select_Check.png", L"Select_unCheck.png", L"Select_Unable.png", L"Select_Unable.png");
}

// Skin path of a device class icon, or null for a class without one.
const wchar_t* ClassIcon(int devClass)
{
    switch (devClass) {
    case DEV_CLASS_IPC: return L"/icon_ipc.png";
    case DEV_CLASS_SD: return L"/icon_sd.png";
    case DEV_CLASS_DVR: return L"/icon_dvr.png";
    case DEV_CLASS_NVR: return L"/icon_nvr.png";
    default: return L"/icon_other.png";
    }
}

} // namespace

bool CCloudUpgradeEventImp::RowValid(int row) const
{
    return m_lstctrlDev && row >= 0 && row < m_lstctrlDev->GetItemCount();
}

std::string CCloudUpgradeEventImp::CellText(int row, int col, int max) const
{
    std::vector<wchar_t> buffer(static_cast<size_t>(max) + 1, L'\0');
    if (m_lstctrlDev)
        m_lstctrlDev->GetItemText(row, col, buffer.data(), max);
    buffer[static_cast<size_t>(max)] = 0;
    return SFWideToUtf8(buffer.data());
}

void CCloudUpgradeEventImp::SetCellUtf8(int row, int col, const std::string& text)
{
    m_lstctrlDev->SetItemText(row, col, SFUtf8ToWide(text).c_str());
}

// ---- Adding and clearing ------------------------------------------------------------------------

void CCloudUpgradeEventImp::AddDevice(const DEVICE_INFO* device)
{
    if (device)
        m_vecDevice.push_back(*device);
}

void CCloudUpgradeEventImp::MakeListLive()
{
    if (m_bRowsShown)
        return;
    if (m_pBtnSave)
        m_pBtnSave->EnableWindow(1);
    m_lstctrlDev->ShowWindow(1);
    for (CSFButton* b : {m_pBtnDownload, m_pBtnUpgrade, m_pBtnCheck})
        if (b)
            b->EnableWindow(1);
    m_bRowsShown = 1;
}

void CCloudUpgradeEventImp::AddDeviceRow(const DEVICE_NET_INFO_EX* info, bool highlight, int)
{
    if (!info || !m_lstctrlDev)
        return;
    MakeListLive();
    std::string type = NormalizeDevType(FIELD_TEXT(info->szTypeName), FIELD_TEXT(info->szDetailName));
    if (type.empty())
        type = "unkown";
    const int row = m_lstctrlDev->GetItemCount();
    m_lstctrlDev->InsertItem(row, L"");
    ImageRadioBox check = RowCheckSkin();
    m_lstctrlDev->SetItemCheckWidget(row, COL_CHECK, check);
    m_lstctrlDev->SetItemText(row, COL_NO, std::to_wstring(row + 1).c_str());
    SetCellUtf8(row, COL_TYPE, type);
    SetCellUtf8(row, COL_IP, FIELD_TEXT(info->szIpAddr));
    SetCellUtf8(row, COL_SN, FIELD_TEXT(info->szSerialNumber));
    SetCellUtf8(row, COL_VERSION, FIELD_TEXT(info->szSoftVersion));
    m_lstctrlDev->SetToolTipText(row, COL_VERSION, SFUtf8ToWide(FIELD_TEXT(info->szSoftVersion)).c_str());
    m_lstctrlDev->SetItemText(row, COL_CHECKSTATE, Tr(L""));
    SetCellUtf8(row, COL_MAC, FIELD_TEXT(info->szMacAddr));
    InitRowButtons(info, row, false);
    m_lstctrlDev->SetTableItemColor(row);
    if (highlight)
        m_lstctrlDev->SetRowColor(row);
}

void CCloudUpgradeEventImp::AddCheckingDeviceRow(const DEVICE_NET_INFO_EX* info, bool highlight, int)
{
    if (!info || !m_lstctrlDev)
        return;
    AddDeviceRow(info, highlight);
    const int row = m_lstctrlDev->GetItemCount() - 1;
    if (row >= 0)
        m_lstctrlDev->SetItemText(row, COL_CHECKSTATE, Tr(L"checking..."));
    ShowEmptyHint(m_lstctrlDev->GetItemCount() == 0);
}

void CCloudUpgradeEventImp::InitRowButtons(const DEVICE_NET_INFO_EX* info, int row, bool skipIcon)
{
    if (!RowValid(row))
        return;
    if (!skipIcon && info) {
        int devClass = GetDevClass(FIELD_TEXT(info->szTypeName));
        if (devClass == DEV_CLASS_OTHER)
            devClass = GetDevClass(FIELD_TEXT(info->szDetailName));
        if (const wchar_t* icon = ClassIcon(devClass))
            m_lstctrlDev->SetItemIcon(row, COL_TYPE, GetSkinPath(icon).c_str());
    }
    ImageButtonStyle upgrade = UpgradeStyle();
    ImageButtonStyle ok = OkStyle();
    m_lstctrlDev->AddOperateBtnEx(row, COL_DOWNLOAD, Tr(L"DownLoad"), ID_DOWNLOAD, upgrade, 90, 23, ok, L"", 0);
    m_lstctrlDev->AddOperateBtnEx(row, COL_UPGRADE, Tr(L"Upgrade"), ID_UPGRADE, upgrade, 76, 23, ok, Tr(L"Result"), 86);
    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_BAR, false);
    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE, false);
    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_RESULT, false);
    m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, false);
    m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, false);
}

void CCloudUpgradeEventImp::AddFailedCheckButtons(int row)
{
    ImageButtonStyle error = ErrorStyle();
    ImageButtonStyle update = UpdateStyle();
    std::wstring result = Tr(L"Result");
    // The buttons sit after the "check failed" text and its margins, so that the text is not cut;
    // where the column is too narrow for both, the list pulls the buttons left.
    int x = kFailedButtonsX;
    if (auto* table = dynamic_cast<QTableView*>(m_lstctrlDev))
        x = std::max(kFailedButtonsX,
                     table->fontMetrics().horizontalAdvance(QString::fromStdWString(Tr(L"check failed"))) + 6);
    m_lstctrlDev->AddOneOperateBtnEx(row, COL_CHECKSTATE, ID_CHECK_RESULT, result.c_str(), error, 16, 16, x,
                                     ID_REFRESH, Tr(L"Refresh"), update);
}

void CCloudUpgradeEventImp::ShowCheckState(int row, BYTE checkResult, int checkError, BYTE hasNew,
                                           const char* newVersion, int downloadState, int downloadPercent)
{
    if (!checkResult) {
        m_lstctrlDev->SetItemText(row, COL_CHECKSTATE, Tr(L"check failed"));
        AddFailedCheckButtons(row);
        m_lstctrlDev->SetItemData(row, static_cast<DWORD>(checkError), COL_CHECKSTATE);
        return;
    }
    if (!hasNew) {
        m_lstctrlDev->SetItemText(row, COL_CHECKSTATE, Tr(L"no new version"));
        return;
    }
    SetCellUtf8(row, COL_CHECKSTATE, newVersion);
    switch (downloadState) {
    case 0: m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, true); break;
    case 2:
        m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, true);
        m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"Continue"));
        m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, true);
        m_lstctrlDev->SetProgress(row, downloadPercent, ID_DOWNLOAD_BAR);
        break;
    case 3:
        m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, false);
        m_lstctrlDev->SetItemText(row, COL_DOWNLOAD, Tr(L"finish"));
        m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE, true);
        break;
    case 4:
        m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, true);
        m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"fail,again"));
        break;
    default: break;
    }
}

void CCloudUpgradeEventImp::AddStoredDeviceRow(const DEVICE_INFO& record, bool highlight)
{
    if (!m_lstctrlDev)
        return;
    const DEVICE_NET_INFO_EX& info = record.stNetInfo;
    const std::string type = NormalizeDevType(FIELD_TEXT(info.szTypeName), FIELD_TEXT(info.szDetailName));
    if (type.empty())
        return;
    const int row = m_lstctrlDev->GetItemCount();
    m_lstctrlDev->InsertItem(row, L"");
    ImageRadioBox check = RowCheckSkin();
    m_lstctrlDev->SetItemCheckWidget(row, COL_CHECK, check);
    m_lstctrlDev->SetItemText(row, COL_NO, std::to_wstring(m_nRowNumber++).c_str());
    SetCellUtf8(row, COL_TYPE, type);
    SetCellUtf8(row, COL_IP, FIELD_TEXT(info.szIpAddr));
    SetCellUtf8(row, COL_SN, FIELD_TEXT(info.szSerialNumber));
    SetCellUtf8(row, COL_VERSION, FIELD_TEXT(info.szSoftVersion));
    SetCellUtf8(row, COL_MAC, FIELD_TEXT(info.szMacAddr));
    InitRowButtons(&info, row, false);
    ShowCheckState(row, record.bCheckResult, record.nCheckError, record.bHasNewVersion,
                   FIELD_TEXT(record.szNewVersion).c_str(), record.nDownloadState, record.nDownloadPercent);
    m_lstctrlDev->SetTableItemColor(row);
    if (highlight)
        m_lstctrlDev->SetRowColor(row);
}

void CCloudUpgradeEventImp::AddRemoteDeviceRow(const strudevice& remote, int recorderRowPlus1)
{
    if (!m_lstctrlDev)
        return;
    const int row = m_lstctrlDev->GetItemCount();
    m_lstctrlDev->InsertItem(row, L"");
    ImageRadioBox check = RowCheckSkin();
    m_lstctrlDev->SetItemCheckWidget(row, COL_NO, check);
    SetCellUtf8(row, COL_TYPE, FIELD_TEXT(remote.szType));
    SetCellUtf8(row, COL_IP, FIELD_TEXT(remote.szDeviceID));
    SetCellUtf8(row, COL_SN, FIELD_TEXT(remote.szSerialNo));
    SetCellUtf8(row, COL_VERSION, FIELD_TEXT(remote.szVersion));
    SetCellUtf8(row, COL_MAC, FIELD_TEXT(remote.szMac));
    m_lstctrlDev->SetItemData(row, static_cast<DWORD>(recorderRowPlus1), COL_MAC);
    InitRowButtons(nullptr, row, true);
    ShowCheckState(row, remote.byCheckResult, remote.nCheckError, remote.byHasNewVersion,
                   FIELD_TEXT(remote.szNewVersion).c_str(), remote.nDownloadState, remote.nDownloadPercent);
    m_lstctrlDev->SetTableItemColor(row);
}

int CCloudUpgradeEventImp::FindDeviceIndexByRow(int row)
{
    if (row < 0 || !m_lstctrlDev)
        return -1;
    const std::string ip = CellText(row, COL_IP);
    const std::string mac = CellText(row, COL_MAC);
    for (size_t i = 0; i < m_vecDevice.size(); ++i) {
        const DEVICE_NET_INFO_EX& info = m_vecDevice[i].stNetInfo;
        const std::string recordMac = FIELD_TEXT(info.szMacAddr);
        if (FIELD_TEXT(info.szIpAddr) == ip && (recordMac.empty() || mac.empty() || SameTextNoCase(recordMac, mac)))
            return static_cast<int>(i);
    }
    return -1;
}

std::string CCloudUpgradeEventImp::RecorderKeyOfRow(int row)
{
    const int n = static_cast<int>(m_lstctrlDev->GetItemData(row, COL_MAC));
    if (n <= 0 || !RowValid(n - 1))
        return std::string();
    return CloudMacKey(CellText(n - 1, COL_MAC).c_str());
}

strudevice* CCloudUpgradeEventImp::RemoteOfRow(int row, std::string* recorderKey)
{
    if (!RowValid(row))
        return nullptr;
    const std::string key = RecorderKeyOfRow(row);
    if (key.empty())
        return nullptr;
    if (recorderKey)
        *recorderKey = key;
    return FindRemoteDevice(m_mapRemote, key.c_str(), CellText(row, COL_SN).c_str());
}

void CCloudUpgradeEventImp::ShowEmptyHint(bool show)
{
    for (CSFStatic* s : {m_pHintText1, m_pHintText2})
        if (s)
            s->ShowWindow(show ? 1 : 0);
    if (m_pBtnClickHere)
        m_pBtnClickHere->ShowWindow(show ? 1 : 0);
    if (m_lstctrlDev)
        m_lstctrlDev->ShowWindow(show ? 0 : 1);
}

void CCloudUpgradeEventImp::ClearDeviceList()
{
    if (m_lstctrlDev) {
        m_lstctrlDev->DeleteAllItems();
        m_lstctrlDev->SetAllCheck(0);
        m_lstctrlDev->SetHeaderSortEnable(1);
        m_lstctrlDev->SetSortIndicatorShown(0);
    }
    m_bRowsShown = 0;
    m_nCurDevIndex = 0;
    m_nCurRow = -1;
    m_nRowNumber = 0;
    m_checkCou = 0;
    m_bChecking = 0;
    m_vecDevice.clear();
    m_mapCheck.clear();
    m_mapRemote.clear();
}

void CCloudUpgradeEventImp::EnableControls(bool enable)
{
    if (m_pBtnSave)
        m_pBtnSave->EnableWindow(enable ? 1 : 0);
    if (m_lstctrlDev)
        m_lstctrlDev->ShowWindow(enable ? 1 : 0);
    for (CSFButton* b : {m_pBtnDownload, m_pBtnUpgrade, m_pBtnCheck})
        if (b)
            b->EnableWindow(enable ? 1 : 0);
}

void CCloudUpgradeEventImp::EnableKeyUpgrade(bool enable)
{
    if (m_pBtnUpgrade)
        m_pBtnUpgrade->EnableWindow(enable ? 1 : 0);
}

// ---- Row states ---------------------------------------------------------------------------------

void CCloudUpgradeEventImp::ResetRowTransfer(int row, bool isDownload)
{
    if (!RowValid(row))
        return;
    m_lstctrlDev->SetHeaderSortEnable(0);
    if (m_lstctrlDev->GetItemData(row, COL_MAC) > 0) {
        if (strudevice* remote = RemoteOfRow(row))
            (isDownload ? remote->nDownloadState : remote->nUpgradeState) = 0;
    } else {
        const int i = FindDeviceIndexByRow(row);
        if (i < 0)
            return;
        DEVICE_INFO& d = m_vecDevice[static_cast<size_t>(i)];
        (isDownload ? d.nDownloadState : d.nUpgradeState) = 0;
    }
    if (isDownload) {
        m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"DownLoad"));
        m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, false);
        m_lstctrlDev->SetProgress(row, 0, ID_DOWNLOAD_BAR);
    } else {
        m_lstctrlDev->SetOpeBtnText(row, ID_UPGRADE, Tr(L"Upgrade"));
        m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_BAR, false);
        m_lstctrlDev->SetProgress(row, 0, ID_UPGRADE_BAR);
    }
}

void CCloudUpgradeEventImp::SetDownloadResult(int row, bool success)
{
    if (!RowValid(row))
        return;
    m_lstctrlDev->SetBtnEnable(row, true);
    auto showFinished = [&] {
        m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, false);
        m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, false);
        m_lstctrlDev->SetItemText(row, COL_DOWNLOAD, Tr(L"finish"));
        m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE, true);
        m_lstctrlDev->SetTableItemColor(row);
    };
    auto showFailed = [&] {
        m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"fail,again"));
        m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, false);
    };
    if (m_lstctrlDev->GetItemData(row, COL_MAC) > 0) {
        strudevice* remote = RemoteOfRow(row);
        if (!remote)
            return;
        remote->nDownloadState = success ? 3 : 0;
        success ? showFinished() : showFailed();
        return;
    }
    const int i = FindDeviceIndexByRow(row);
    if (i < 0)
        return;
    m_vecDevice[static_cast<size_t>(i)].nDownloadState = success ? 3 : 0;
    int selected[1] = {row};
    if (success) {
        showFinished();
        m_lstctrlDev->SetItemSelected(selected, 1, true);
        return;
    }
    // The failed text follows the bar's last value half a second later, without holding the GUI;
    // a row that changed meanwhile (rebuilt, downloading again) is left alone.
    const std::string ip = CellText(row, COL_IP);
    const std::string mac = CellText(row, COL_MAC);
    std::weak_ptr<CCloudUpgradeEventImp> weak = shared_from_this();
    QTimer::singleShot(kFailedTextDelayMs, [weak, row, ip, mac] {
        std::shared_ptr<CCloudUpgradeEventImp> page = weak.lock();
        if (!page || !page->RowValid(row) || page->CellText(row, COL_IP) != ip || page->CellText(row, COL_MAC) != mac)
            return;
        const int index = page->FindDeviceIndexByRow(row);
        if (index < 0 || page->m_vecDevice[static_cast<size_t>(index)].nDownloadState != 0)
            return;
        page->m_lstctrlDev->SetOpeBtnText(row, ID_DOWNLOAD, Tr(L"fail,again"));
        page->m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD_BAR, false);
        int rows[1] = {row};
        page->m_lstctrlDev->SetItemSelected(rows, 1, true);
    });
}

void CCloudUpgradeEventImp::SetRowTransferState(int row, bool isDownload, int state)
{
    if (!RowValid(row))
        return;
    if (m_lstctrlDev->GetItemData(row, COL_MAC) > 0) {
        const std::string key = RecorderKeyOfRow(row);
        const std::string sn = CellText(row, COL_SN);
        auto it = m_mapRemote.find(key);
        if (it != m_mapRemote.end())
            for (strudevice& r : it->second)
                if (SameTextNoCase(FIELD_TEXT(r.szSerialNo), sn))
                    (isDownload ? r.nDownloadState : r.nUpgradeState) = state;
        return;
    }
    const int i = FindDeviceIndexByRow(row);
    if (i < 0)
        return;
    DEVICE_INFO& d = m_vecDevice[static_cast<size_t>(i)];
    (isDownload ? d.nDownloadState : d.nUpgradeState) = state;
}

void CCloudUpgradeEventImp::MarkRowDownloading(int row) { SetRowTransferState(row, true, 1); }

void CCloudUpgradeEventImp::MarkRowUpgrading(int row) { SetRowTransferState(row, false, 1); }

void CCloudUpgradeEventImp::EnableRowButtons(int row, bool enable, bool isDownload)
{
    if (RowValid(row))
        m_lstctrlDev->SetBtnEnable(row, enable);
    if (CSFButton* b = isDownload ? m_pBtnDownload : m_pBtnUpgrade)
        b->EnableWindow(enable ? 1 : 0);
}

void CCloudUpgradeEventImp::SetRowButtonEnable(int row, int buttonId, bool enable)
{
    if (RowValid(row))
        m_lstctrlDev->SetBtnEnable(row, buttonId, enable);
}

void CCloudUpgradeEventImp::SetRowProgress(int row, int value, int barId)
{
    if (RowValid(row))
        m_lstctrlDev->SetProgress(row, value, static_cast<UINT>(barId));
}

void CCloudUpgradeEventImp::SetSortEnable(bool enable)
{
    if (m_lstctrlDev)
        m_lstctrlDev->SetHeaderSortEnable(enable ? 1 : 0);
}

void CCloudUpgradeEventImp::ResetUpgradeResult(int row)
{
    if (RowValid(row))
        m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_RESULT, false);
}

void CCloudUpgradeEventImp::ShowUpgradeResult(int row, int code)
{
    if (!RowValid(row))
        return;
    ImageButtonStyle upgrade = UpgradeStyle();
    ImageButtonStyle second = code == 0 ? OkStyle() : ErrorStyle();
    // Re-made so that the result button takes the look of the outcome.
    m_lstctrlDev->AddOperateBtnEx(row, COL_UPGRADE, Tr(L"Upgrade"), ID_UPGRADE, upgrade, 76, 23, second, Tr(L"Result"),
                                  86);
    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_BAR, false);
    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE_RESULT, true);
    m_lstctrlDev->SetItemData(row, static_cast<DWORD>(code), COL_CHECK);
    int selected[1] = {row};
    m_lstctrlDev->SetItemSelected(selected, 1, true);
}

void CCloudUpgradeEventImp::ResetUpgradeButton(bool enable)
{
    if (m_pBtnUpgrade)
        m_pBtnUpgrade->EnableWindow(enable ? 1 : 0);
    if (!enable)
        return;
    OnUpgradeButtonIdle();
    if (m_pBtnUpgrade)
        m_pBtnUpgrade->SetWindowTextW(Tr(L"KeyUpgrade"));
}

void CCloudUpgradeEventImp::ResetDownloadButton(bool enable)
{
    if (m_pBtnDownload)
        m_pBtnDownload->EnableWindow(enable ? 1 : 0);
    if (!enable)
        return;
    OnUpgradeButtonIdle();
    if (m_pBtnDownload)
        m_pBtnDownload->SetWindowTextW(Tr(L"DownLoadFile"));
}

void CCloudUpgradeEventImp::MarkDeviceUpgraded(const char* ip, const char* mac)
{
    if (!ip || !mac)
        return;
    const std::string key = CloudMacKey(mac);
    for (DEVICE_INFO& d : m_vecDevice)
        if (FIELD_TEXT(d.stNetInfo.szIpAddr) == ip && CloudMacKey(FIELD_TEXT(d.stNetInfo.szMacAddr).c_str()) == key)
            d.bUpgraded = 1;
}
