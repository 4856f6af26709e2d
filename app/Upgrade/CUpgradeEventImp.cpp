// The local upgrade page; see the header.
#include "Upgrade/CUpgradeEventImp.h"

#include <QString>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "Common/DevClass.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/DeviceListSkins.h"
#include "Main/DevicePageParts.h"
#include "Main/DeviceListText.h"
#include "Main/MainFrameDefs.h"
#include "Upgrade/CUpgradeFileDlg.h"
#include "Upgrade/CUpgradeFilterEventImp.h"
#include "Upgrade/CUpgradeUILogic.h"
#include "Upgrade/CheckFirmwareHeader.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFRect.h"

namespace {

enum { ID_VIEW = 107, ID_HEADER_CHECK = 2132, ID_ROW_CHECK = 2133, NOTIFY_SORTED = 9 };
constexpr int kPathChars = 259;
constexpr int kCellChars = 63;

std::string Upper(std::string text)
{
    StrToUpper(text);
    return text;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Narrow(const std::wstring& text) { return QString::fromStdWString(text).toStdString(); }
std::wstring Wide(const std::string& text) { return QString::fromStdString(text).toStdWString(); }

ImageButtonStyle RowButtonSkin()
{
    return MakeButtonSkin(L"upgrade_n.png", L"upgrade_h.png", L"upgrade_p.png", L"upgrade_d.png");
}

} // namespace

SF_BEGIN_MESSAGE_MAP(CUpgradeEventImp)
SF_ON_COMMAND(ID_HEADER_CHECK, UpdateSelectedCount)
SF_ON_COMMAND(ID_ROW_CHECK, UpdateSelectedCount)
SF_ON_COMMAND(CUpgradeEventImp::ID_BATCH, OnBtnBatchUpgrade)
SF_ON_NOTIFY(NOTIFY_SORTED, CUpgradeEventImp::ID_LIST, OnListHeaderClick)
SF_END_MESSAGE_MAP()

CUpgradeEventImp::CUpgradeEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(std::move(mainFrame)) {}

CUpgradeEventImp::~CUpgradeEventImp() {}

std::shared_ptr<CUpgradeEventImp> CUpgradeEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CUpgradeEventImp>(std::move(mainFrame));
    page->Init();
    return page;
}

void CUpgradeEventImp::Init()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    m_pView = CreateSFView(this);
    if (!m_pView)
        return;
    m_pView->SetBGClr(0xFFFFFF);
    m_pView->SetFrameClr(0xFFFFFF, 1);
    m_pView->Create(nullptr, L"Upgrade", 0x40000000, RECT{68, 0, 1000, 62}, main ? main->GetUIWnd() : nullptr, ID_VIEW);
}

int CUpgradeEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    std::shared_ptr<CUpgradeEventImp> self = shared_from_this();
    m_pBatchBtn = CreateSFButton(nullptr);
    ImageButtonStyle batch = MakeButtonSkin(L"batchupgrade_nor.png", L"batchupgrade_hov.png",
                                            L"batchupgrade_pre.png", L"batchupgrade_dis.png");
    m_pBatchBtn->Create(Tr(L"     Batch Upgrade"), 0x10010000, RECT{0, 0, 0, 0}, wnd, ID_BATCH);
    m_pBatchBtn->SetSkin(&batch);
    m_pBatchBtn->SetTextAlign(0x8001); // a text wider than the button ends in an ellipsis

    m_pFilter = CUpgradeFilterEventImp::Create(self);
    m_pUpgradeUILogic = CUpgradeUILogic::Create(self);
    m_pFileDlg = CUpgradeFileDlg::Create(self);

    m_pListBack = CreateDeviceListBack(wnd);

    m_pListCtrl = CreateSFListCtrl(this);
    ListCtrlStyle skin;
    FillDeviceListSkin(skin, L"727272");
    m_pListCtrl->SetSkin(&skin);
    m_pListCtrl->Create(0x10010001, RECT{0, 0, 300, 300}, wnd, ID_LIST, true);
    m_pListCtrl->SetShowGrid(0);
    m_pListCtrl->SetExtendedStyle(32);
    m_pListCtrl->SetHeaderSortEnable(1);
    ImageRadioBox check = DeviceCheckImages();
    m_pListCtrl->InsertColumnCheck(0, check);
    const wchar_t* headings[] = {L"", L"NO.", L"Type", L"IP", L"Version", L"Upgrade File Path", L"Browse",
                                 L"Operate", L"Note", L""};
    for (int c = 0; c < 10; ++c)
        m_pListCtrl->InsertColumn(c, headings[c][0] ? Tr(headings[c]) : L"", c == COL_MAC ? 1 : 0, -1, -1);
    m_pListCtrl->SetColumnHidden(COL_NOTE, true);
    m_pListCtrl->SetColumnHidden(COL_MAC, true);

    CreateSelectedCountLine(nullptr, wnd, m_pStar, m_pCount, m_pSelectedWords);
    m_bCreated = true;
    return 1;
}

void CUpgradeEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_bCreated)
        return;
    if (m_pFilter)
        SFPlace(m_pFilter->GetView(), 0, 0, cx, 76);
    PlaceDeviceList(m_pListCtrl, m_pListBack, cx, cy);
    SFPlace(m_pBatchBtn, 14, cy - 40, 174, cy - 10);
    PlaceSelectedCountLine(194, cy, m_pStar, m_pCount, m_pSelectedWords);
    const double widths[] = {0.05, 0.08, 0.10, 0.16, 0.13, 0.25, 0.11, 0.11, 0.17, 0};
    for (int c = 0; c < 10; ++c)
        m_pListCtrl->SetColumnWidth(c, static_cast<int>(widths[c] * (cx - 16)));
}

// ---- State for the main window and the scheduler ---------------------------------------------

int CUpgradeEventImp::IsUpgrading() { return m_pUpgradeUILogic ? m_pUpgradeUILogic->IsUpgrading() : 0; }

int CUpgradeEventImp::IsSendingFile() { return m_pUpgradeUILogic && m_pUpgradeUILogic->IsSendingFile() ? 1 : 0; }

void CUpgradeEventImp::DisConnect(int index)
{
    if (m_pUpgradeUILogic)
        m_pUpgradeUILogic->DisConnect(index);
}

void CUpgradeEventImp::SetBtnState(int row, bool enable)
{
    if (!m_pListCtrl || row < 0 || row >= m_pListCtrl->GetItemCount())
        return;
    m_pListCtrl->SetBtnEnable(row, enable);
    m_pListCtrl->SetItemShow(row, COL_OPERATE, ID_UPGRADE, enable);
    m_pListCtrl->SetItemShow(row, COL_OPERATE, ID_PROGRESS, !enable);
    if (enable)
        SetRowProgress(row, 0);
}

void CUpgradeEventImp::SetStartState(bool enable)
{
    if (!m_pBatchBtn)
        return;
    m_pBatchBtn->EnableWindow(enable ? 1 : 0);
    if (enable)
        m_pBatchBtn->SetWindowTextW(Tr(L"  Stop upgrading"));
}

void CUpgradeEventImp::SetRowProgress(int row, int value)
{
    if (!m_pListCtrl || row < 0 || row >= m_pListCtrl->GetItemCount())
        return;
    m_pListCtrl->SetProgress(row, value, ID_PROGRESS);
    m_rowProgress[row] = value;
}

int CUpgradeEventImp::GetRowProgress(int row) const
{
    auto it = m_rowProgress.find(row);
    return it == m_rowProgress.end() ? 0 : it->second;
}

void CUpgradeEventImp::ResetUpgradeResult(int row)
{
    if (m_pListCtrl && row >= 0 && row < m_pListCtrl->GetItemCount())
        m_pListCtrl->DeleteOneOperateBtn(row, COL_IP, ID_RESULT);
}

void CUpgradeEventImp::EnableBatchUpgrade(bool enable)
{
    if (m_pBatchBtn)
        m_pBatchBtn->EnableWindow(enable ? 1 : 0);
    if (!enable)
        return;
    if (std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock())
        main->OnModuleStopped(MAINFRAME_MODULE_UPGRADE);
    ResetBatchButtonText();
}

void CUpgradeEventImp::ResetBatchButtonText()
{
    if (m_pBatchBtn)
        m_pBatchBtn->SetWindowTextW(Tr(L"Batch Upgrade"));
}

void CUpgradeEventImp::EnableListSort(int enable)
{
    if (m_pListCtrl)
        m_pListCtrl->SetHeaderSortEnable(enable);
}

void CUpgradeEventImp::MarkDeviceForRefresh(const char* ip, const char* mac)
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    std::shared_ptr<CDeviceListUILogic> list = main ? main->GetDeviceListUILogic() : nullptr;
    if (!list || !ip || !mac)
        return;
    for (const DevicePtr& device : list->GetDeviceList())
        if (FIELD_TEXT(device->stNetInfo.szIpAddr) == ip && Upper(FIELD_TEXT(device->stNetInfo.szMacAddr)) == Upper(mac))
            device->bNeedRefresh = 1;
}

// ---- Devices and rows --------------------------------------------------------------------------

void CUpgradeEventImp::ClearDeviceList()
{
    ClearDeviceRows(m_pListCtrl);
    if (m_pFilter)
        m_pFilter->ClearFilterText();
    m_rowProgress.clear();
    SetCountText(0);
    m_vecDevices.clear();
}

void CUpgradeEventImp::AddDevice(const DEVICE_INFO* device)
{
    if (device)
        m_vecDevices.push_back(*device);
}

bool CUpgradeEventImp::MatchFilter(const DEVICE_NET_INFO_EX* info)
{
    if (!info || !m_pFilter)
        return false;
    const int version = m_pFilter->GetIPVersion();
    if (version != 0 && info->nIpVersion != version)
        return false;
    const std::string type = FIELD_TEXT(info->szTypeName);
    if ((GetDevClass(type) & m_pFilter->GetDevTypeFlags()) == 0)
        return false;
    const std::string text = Upper(m_pFilter->GetFilterText());
    if (text.empty())
        return true;
    return type.find(text) != std::string::npos ||
           Upper(FIELD_TEXT(info->szSoftVersion)).find(text) != std::string::npos ||
           Upper(FIELD_TEXT(info->szIpAddr)).find(text) != std::string::npos;
}

void CUpgradeEventImp::AddDeviceRow(const DEVICE_NET_INFO_EX* info, bool duplicateIp, int)
{
    std::string type;
    const int row = StartDeviceRow(m_pListCtrl, info, COL_CHECK, COL_NO, type);
    if (row < 0)
        return;
    m_pListCtrl->SetItemText(row, COL_TYPE, Wide(type).c_str());
    m_pListCtrl->SetItemText(row, COL_IP, Wide(FIELD_TEXT(info->szIpAddr)).c_str());
    m_pListCtrl->SetItemText(row, COL_VERSION, Wide(FIELD_TEXT(info->szSoftVersion)).c_str());
    m_pListCtrl->SetToolTipText(row, COL_VERSION, Wide(FIELD_TEXT(info->szSoftVersion)).c_str());
    m_pListCtrl->SetItemText(row, COL_FILE, L"");
    // The device list's class icons: every class has one, "other" devices too.
    m_pListCtrl->SetItemIcon(row, COL_TYPE, GetSkinPath(DevClassIconName(FIELD_TEXT(info->szTypeName))).c_str());
    ImageButtonStyle style = RowButtonSkin();
    m_pListCtrl->AddOperateBtn(row, COL_BROWSE, Tr(L"Browse"), ID_BROWSE, style, 76, 23);
    m_pListCtrl->AddOperateBtn(row, COL_OPERATE, Tr(L"Upgrade"), ID_UPGRADE, style, 76, 23);
    m_pListCtrl->SetItemShow(row, COL_OPERATE, ID_PROGRESS, false);
    m_pListCtrl->SetItemShow(row, COL_OPERATE, ID_UPGRADE, true);
    m_pListCtrl->SetTableItemColor(row);
    if (duplicateIp)
        m_pListCtrl->SetRowColor(row);
    m_pListCtrl->SetItemText(row, COL_MAC, Wide(FIELD_TEXT(info->szMacAddr)).c_str());
}

// Several filter changes may each have asked for a rebuild: every rebuild starts from no rows.
void CUpgradeEventImp::RefreshDeviceList()
{
    if (m_pListCtrl)
        m_pListCtrl->DeleteAllItems();
    m_rowProgress.clear();
    for (const DEVICE_INFO& record : m_vecDevices)
        if (MatchFilter(&record.stNetInfo))
            AddDeviceRow(&record.stNetInfo, record.bIPConflict != 0, 0);
}

int CUpgradeEventImp::ApplyFilter()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    std::shared_ptr<CDeviceListUILogic> list = main ? main->GetDeviceListUILogic() : nullptr;
    if (!list || !list->FilterDevList(FILTER_PAGE_UPGRADE)) {
        ShowMessage(L"Searching,please wait...");
        return 0;
    }
    if (m_pListCtrl) {
        m_pListCtrl->DeleteAllItems();
        m_pListCtrl->SetAllCheck(0);
    }
    m_rowProgress.clear();
    SetCountText(0);
    if (m_pUpgradeUILogic)
        m_pUpgradeUILogic->LogoutAndClearTasks();
    return 1;
}

std::wstring CUpgradeEventImp::CellText(int row, int col, int max) const
{
    std::vector<wchar_t> buffer(static_cast<size_t>(max) + 1, L'\0');
    if (m_pListCtrl)
        m_pListCtrl->GetItemText(row, col, buffer.data(), max);
    return buffer.data();
}

const DEVICE_INFO* CUpgradeEventImp::FindRecord(int row, std::string* macLower)
{
    const std::string ip = Narrow(CellText(row, COL_IP, kCellChars));
    const std::string mac = Lower(Narrow(CellText(row, COL_MAC, kCellChars)));
    for (const DEVICE_INFO& record : m_vecDevices) {
        if (FIELD_TEXT(record.stNetInfo.szIpAddr) == ip && Lower(FIELD_TEXT(record.stNetInfo.szMacAddr)) == mac) {
            if (macLower)
                *macLower = mac;
            return &record;
        }
    }
    return nullptr;
}

int CUpgradeEventImp::CheckedRowCount() const { return CountTickedRows(m_pListCtrl); }

void CUpgradeEventImp::SetCountText(int count) { ShowSelectedCount(m_pCount, count); }

std::wstring CUpgradeEventImp::GetCountText() const
{
    wchar_t text[16] = {};
    if (m_pCount)
        m_pCount->GetStaticText(text, 15);
    return text;
}

void CUpgradeEventImp::UpdateSelectedCount() { SetCountText(CheckedRowCount()); }

void CUpgradeEventImp::ShowMessage(const wchar_t* text)
{
    std::wstring message = Tr(text);
    ShowMessageBox(message.c_str(), Tr(L"Attention"), GetUIWnd(), 0);
}

// ---- Batch and row operations ------------------------------------------------------------------

void CUpgradeEventImp::OnBtnBatchUpgrade()
{
    if (!m_pUpgradeUILogic)
        return;
    if (m_pUpgradeUILogic->IsUpgrading() && m_pUpgradeUILogic->IsStopping()) {
        ShowMessage(L"Stopping,please waiting...");
        return;
    }
    if (m_pUpgradeUILogic->IsUpgrading()) {
        std::wstring ask = Tr(L"Are you to stop the Upgrade ?");
        if (ShowMessageBox(ask.c_str(), Tr(L"Attention"), GetUIWnd(), 1) == 2)
            return;
        // The answer may come after the batch ended by itself or a stop began meanwhile.
        if (m_pUpgradeUILogic->IsUpgrading() && !m_pUpgradeUILogic->IsStopping())
            m_pUpgradeUILogic->Stop();
        return;
    }
    const int count = CheckedRowCount();
    if (count == 0) {
        ShowMessage(L"Please select a upgrade device.");
        return;
    }
    if (!m_pFileDlg || !m_pFileDlg->GetDialog())
        return;
    m_pFileDlg->SetDeviceCount(count);
    m_pFileDlg->GetDialog()->CenterWindow(nullptr);
    m_pFileDlg->GetDialog()->ShowWindow(1);
}

// Queues one row with a file: its buttons are disabled until the record has finished, so the
// same device cannot be queued twice.
void CUpgradeEventImp::QueueRow(int row, const std::string& path)
{
    m_pListCtrl->DeleteOneOperateBtn(row, COL_IP, ID_RESULT);
    m_pListCtrl->SetBtnEnable(row, false);
    m_pListCtrl->SetItemShow(row, COL_OPERATE, ID_UPGRADE, false);
    m_pListCtrl->SetItemShow(row, COL_OPERATE, ID_PROGRESS, true);
    SetRowProgress(row, 0);
    const std::wstring widePath = Wide(path);
    m_pListCtrl->SetItemText(row, COL_FILE, widePath.c_str());
    m_pListCtrl->SetToolTipText(row, COL_FILE, Wide(GetFileNameFromPath(path)).c_str());
    std::string mac;
    const DEVICE_INFO* record = FindRecord(row, &mac);
    if (!record)
        return;
    m_pUpgradeUILogic->InsertTaskInfo(record->stNetInfo.nPort, FIELD_TEXT(record->stNetInfo.szIpAddr).c_str(),
                                      FIELD_TEXT(record->szUser).c_str(), FIELD_TEXT(record->szPassword).c_str(),
                                      mac.c_str(), row, path, record->bP2P);
    m_pListCtrl->SetItemText(row, COL_NOTE, Tr(L"Waiting..."));
}

void CUpgradeEventImp::StartBatchUpgrade(std::string firmwarePath)
{
    if (!m_pUpgradeUILogic || !m_pListCtrl)
        return;
    // A run or a stop under way keeps its records: a second batch waits for it to end. The stop
    // flag outlives a finished stop, so only the run flag tells whether one is under way.
    if (m_pUpgradeUILogic->IsUpgrading()) {
        ShowMessage(L"Now upgrading,please wait...");
        return;
    }
    m_pUpgradeUILogic->LogoutAndClearTasks();
    for (int row = 0; row < m_pListCtrl->GetItemCount(); ++row)
        if (m_pListCtrl->IsCheck(row))
            QueueRow(row, firmwarePath);
    m_pUpgradeUILogic->StartUpgrade(0, false);
    if (m_pUpgradeUILogic->IsUpgrading() && m_pBatchBtn)
        m_pBatchBtn->SetWindowTextW(Tr(L"  Stop upgrading"));
    if (m_pUpgradeUILogic->IsUpgrading())
        m_pListCtrl->SetHeaderSortEnable(0);
}

void CUpgradeEventImp::OnButton(int id, int row)
{
    if (!m_pListCtrl || row < 0 || row >= m_pListCtrl->GetItemCount())
        return;
    switch (id) {
    case ID_BROWSE: OnBrowse(row); break;
    case ID_UPGRADE: OnUpgrade(row); break;
    case ID_RESULT: OnResult(row); break;
    default: break;
    }
}

void CUpgradeEventImp::OnBrowse(int row)
{
    wchar_t file[1024] = {};
    if (!SFFileDialog(nullptr, file, 1023, 1, nullptr, nullptr, nullptr, 0, L"*.bin", GetUIWnd()))
        return;
    if (!CheckFirmwareHeader(file, GetUIWnd()))
        return;
    m_pListCtrl->SetItemText(row, COL_FILE, file);
    m_pListCtrl->SetToolTipText(row, COL_FILE, Wide(GetFileNameFromPath(Narrow(file))).c_str());
}

void CUpgradeEventImp::OnUpgrade(int row)
{
    if (m_pUpgradeUILogic->IsUpgrading() && m_pUpgradeUILogic->IsStopping()) {
        ShowMessage(L"Stop upgrading,please wait...");
        return;
    }
    const std::wstring path = CellText(row, COL_FILE, kPathChars);
    if (path.empty()) {
        ShowMessage(L"Please select the upgrade file path.");
        return;
    }
    // The file may have changed since it was chosen.
    if (!CheckFirmwareHeader(path.c_str(), GetUIWnd()))
        return;
    if (!m_pUpgradeUILogic->IsUpgrading())
        m_pUpgradeUILogic->LogoutAndClearTasks();
    QueueRow(row, Narrow(path));
    if (m_pUpgradeUILogic->IsUpgrading()) {
        m_pUpgradeUILogic->UpgradeNext();
        return;
    }
    m_pUpgradeUILogic->StartUpgrade(0, false);
    if (m_pBatchBtn)
        m_pBatchBtn->SetWindowTextW(Tr(L"  Stop upgrading"));
    m_pListCtrl->SetHeaderSortEnable(0);
}

void CUpgradeEventImp::OnResult(int row)
{
    const std::string ip = Narrow(CellText(row, COL_IP, kCellChars));
    const DWORD code = m_pListCtrl->GetItemData(row, 0);
    std::wstring text = Tr(UpgradeResultText(code));
    if (std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock())
        main->ShowResultDetails(ip.c_str(), Tr(L"Upgrade"), text);
}

// The list has already reordered its rows: rebuild the records in row order (by address for the
// IP column), keeping the devices the filter hides after them.
void CUpgradeEventImp::OnListHeaderClick(void* data, LRESULT)
{
    const int column = data ? *static_cast<const int*>(data) : -1;
    if (!m_pListCtrl || !m_pUpgradeUILogic)
        return;
    m_pUpgradeUILogic->LogoutAndClearTasks();
    std::vector<DEVICE_INFO> shown;
    std::vector<bool> used(m_vecDevices.size(), false);
    for (int row = 0; row < m_pListCtrl->GetItemCount(); ++row) {
        const std::string ip = Narrow(CellText(row, COL_IP, kCellChars));
        const std::string mac = Upper(Narrow(CellText(row, COL_MAC, kCellChars)));
        for (size_t i = 0; i < m_vecDevices.size(); ++i) {
            if (!used[i] && Upper(FIELD_TEXT(m_vecDevices[i].stNetInfo.szMacAddr)) == mac &&
                FIELD_TEXT(m_vecDevices[i].stNetInfo.szIpAddr) == ip) {
                used[i] = true;
                shown.push_back(m_vecDevices[i]);
                break;
            }
        }
    }
    if (column == COL_IP && m_pFilter && m_pFilter->GetIPVersion() == 4)
        CSearchDevEventImp::SortByIpKey(shown, m_nSortToggle != 0);
    m_nSortToggle = m_nSortToggle ? 0 : 1;
    std::vector<DEVICE_INFO> records = shown;
    for (size_t i = 0; i < m_vecDevices.size(); ++i)
        if (!used[i])
            records.push_back(m_vecDevices[i]);
    m_pListCtrl->DeleteAllItems();
    m_rowProgress.clear();
    m_vecDevices = records;
    for (const DEVICE_INFO& record : shown)
        AddDeviceRow(&record.stNetInfo, record.bIPConflict != 0, 0);
    m_pListCtrl->SetAllCheck(0);
    SetCountText(0);
}
