#include "Main/CSearchDevEventImp.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "Common/AppSettings.h"
#include "Common/DevClass.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CDetialsDlgEventImp.h"
#include "Main/CFilterMainEventImp.h"
#include "Main/DeviceListPeers.h"
#include "Main/DeviceListSkins.h"
#include "Main/DevicePageParts.h"
#include "Main/DeviceListText.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFPictureCtrl.h"
#include "devsdk/DevSdk.h"

using namespace VeyraBase;

namespace {

enum {
    ID_VIEW = 102,
    ID_LIST = 1020,
    ID_FILTER_TAB = 1017,
    ID_ALL_TAB = 1018,
    ID_BATCH_MODIFY = 1019,
    ID_DELETE = 604,
    ID_MANUAL_ADD = 507,
    ID_IMPORT = 1143,
    ID_EXPORT = 1145,
    ID_ACTIVATE = 1168,
    ID_HEADER_CHECK = 2132,
    ID_ROW_CHECK = 2133,
    ID_ROW_DETAILS = 2134,
    ID_ROW_WEB = 2135,
    ID_ROW_MODIFY = 2137,
    ID_ROW_RESULT = 2138,
    NOTIFY_ROW = 2,
    NOTIFY_SORTED = 9
};

enum { COL_CHECK = 0, COL_NO = 1, COL_STATE = 2, COL_TYPE = 3, COL_MODEL = 4, COL_IP = 5, COL_MAC = 6,
       COL_VERSION = 7, COL_OPERATE = 8 };

const char kSourceFile[] = ".\\Main\\CSearchDevEventImp";

// The address and the MAC text (as shown) of a row.
void RowAddress(CSFListCtrl* list, int row, std::string& ip, std::string& mac)
{
    wchar_t ipCell[64] = {};
    wchar_t macCell[64] = {};
    list->GetItemText(row, COL_IP, ipCell, 63);
    list->GetItemText(row, COL_MAC, macCell, 63);
    ip = WideToUtf8(ipCell);
    mac = WideToUtf8(macCell);
}

} // namespace

bool CSearchDevEventImp::s_bSortAscending = false;

SF_BEGIN_MESSAGE_MAP(CSearchDevEventImp)
SF_ON_COMMAND(ID_HEADER_CHECK, UpdateSelectedCount)
SF_ON_COMMAND(ID_ROW_CHECK, UpdateSelectedCount)
SF_ON_COMMAND(ID_ROW_WEB, OnWebLogin)
SF_ON_COMMAND(ID_ROW_DETAILS, OnDetails)
SF_ON_COMMAND(ID_ROW_MODIFY, OnModifyIP)
SF_ON_COMMAND(ID_ROW_RESULT, OnModifyResult)
SF_ON_COMMAND(ID_BATCH_MODIFY, OnBatchModifyIP)
SF_ON_COMMAND(ID_MANUAL_ADD, OnManualAdd)
SF_ON_COMMAND(ID_DELETE, OnDelete)
SF_ON_COMMAND(ID_IMPORT, OnImport)
SF_ON_COMMAND(ID_EXPORT, OnExport)
SF_ON_COMMAND(ID_ACTIVATE, OnActivate)
SF_ON_NOTIFY(NOTIFY_ROW, ID_LIST, OnListItemClickedMap)
SF_ON_NOTIFY(NOTIFY_SORTED, ID_LIST, OnHeaderClicked)
SF_END_MESSAGE_MAP()

CSearchDevEventImp::CSearchDevEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(mainFrame)
{
    const bool broadcast = CAppSettings::SearchBoadcast;
    const bool byIp = CAppSettings::SearchByIp;
    m_nSearchMode = broadcast && byIp ? 3 : broadcast ? 1 : byIp ? 2 : 0;
    if (byIp) {
        m_nIpCount = static_cast<int>(VersionToInt(WideToUtf8(CAppSettings::SearchIpE)) -
                                      VersionToInt(WideToUtf8(CAppSettings::SearchIpS))) +
                     1;
        m_strStartIp = WideToUtf8(CAppSettings::SearchIpS);
    }
}

CSearchDevEventImp::~CSearchDevEventImp() {}

std::shared_ptr<CDeviceListUILogic> CSearchDevEventImp::GetListLogic() const
{
    return m_pPeers ? m_pPeers->GetDeviceListUILogic() : nullptr;
}

int CSearchDevEventImp::Create()
{
    m_pView = CreateSFView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBGClr(0xFFFFFF);
    m_pView->SetFrameClr(0xFFFFFF, 1);
    m_pView->Create(nullptr, L"ModifyIPs", 0x50000000, SFRectLTRB(68, 0, 1000, 62), m_pPeers ? m_pPeers->GetMainWnd() : nullptr,
                    ID_VIEW);
    return 0;
}

std::shared_ptr<CDetialsDlgEventImp> CSearchDevEventImp::GetDetailsDlg() const
{
    // Made once the page itself is there.
    if (!m_pDetailsDlg && m_pView)
        m_pDetailsDlg = CreateDetailsDlg(std::const_pointer_cast<CSearchDevEventImp>(shared_from_this()));
    return m_pDetailsDlg;
}

std::shared_ptr<CModifyIPFileDlg> CSearchDevEventImp::GetModifyIPFileDlg() const
{
    if (!m_pModifyIPFileDlg && m_pView && m_pPeers)
        m_pModifyIPFileDlg =
            m_pPeers->CreateModifyIPFileDlg(std::const_pointer_cast<CSearchDevEventImp>(shared_from_this()));
    return m_pModifyIPFileDlg;
}

int CSearchDevEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    std::shared_ptr<CSearchDevEventImp> self = shared_from_this();

    m_pTitle = CreateSFPictureCtrl(nullptr);
    if (m_pTitle) {
        m_pTitle->Create(L"", 0x10000000, SFRectLTRB(0, 0, 0, 0), wnd, 0xFFFFFFFF);
        m_pTitle->SetImage(L"tittle.png", false);
        m_pTitle->ShowWindow(0);
    }
    // A hidden tab on its checked and unchecked pictures, the text moved left by offset.
    auto tab = [&](const wchar_t* text, const wchar_t* checked, const wchar_t* unchecked, int offset, UINT id) {
        CSFRadioBox* t = CreateSFRadioBox(this);
        if (t) {
            ImageRadioBox skin = MakeRadioSkin(checked, unchecked, checked, unchecked);
            t->Create(Tr(text), 0x10010000, SFRectLTRB(0, 0, 0, 0), wnd, id);
            t->SetSkin(&skin);
            t->SetTextOffset(offset);
        }
        return t;
    };
    m_pAllTab = tab(L"All", L"tabAll_Check.png", L"tabAll_unCheck.png", -100, ID_ALL_TAB);
    if (m_pAllTab)
        m_pAllTab->ShowWindow(0);
    m_pFilterTab = tab(L"Filter", L"tabFilter_Check.png", L"tabFilter_unCheck.png", -110, ID_FILTER_TAB);
    if (m_pFilterTab) {
        m_pFilterTab->SetCheck(1);
        m_pFilterTab->ShowWindow(0);
    }
    m_pFilterMain = CreateFilterMainView(self);

    m_pListBack = CreateDeviceListBack(wnd);
    m_pListCtrl = CreateSFListCtrl(this);
    if (m_pListCtrl) {
        ListCtrlStyle skin;
        FillDeviceListSkin(skin, L"FCE2C6");
        m_pListCtrl->SetSkin(&skin);
        m_pListCtrl->Create(0x10010001, SFRectLTRB(0, 0, 300, 300), wnd, ID_LIST, true);
        m_pListCtrl->SetHeaderSortEnable(1);
        m_pListCtrl->SetSortIndicatorShown(1);
        m_pListCtrl->SetShowGrid(0);
        m_pListCtrl->SetExtendedStyle(0x20);
        ImageRadioBox check = DeviceCheckImages();
        m_pListCtrl->InsertColumnCheck(0, check);
        const wchar_t* headings[] = {L"", L"NO.", L"State", L"Type", L"Model", L"IP", L"MAC", L"Version", L"Operate"};
        for (int i = 0; i < 9; ++i)
            m_pListCtrl->InsertColumn(i, headings[i][0] ? Tr(headings[i]) : L"", 0, -1, -1);
    }

    auto button = [&](const wchar_t* text, int id, DWORD style, ISFButtonEvent* sink, const wchar_t* base) {
        CSFButton* b = CreateSFButton(sink);
        if (!b)
            return b;
        const std::wstring n = std::wstring(base) + L"_nor.png", h = std::wstring(base) + L"_hov.png",
                           p = std::wstring(base) + L"_pre.png", d = std::wstring(base) + L"_dis.png";
        ImageButtonStyle skin = MakeButtonSkin(n.c_str(), h.c_str(), p.c_str(), d.c_str());
        b->Create(Tr(text), style, SFRectLTRB(0, 0, 0, 0), wnd, id);
        b->SetSkin(&skin);
        b->SetTextAlign(0x8001);  // centred; a text wider than the button ends in an ellipsis
        return b;
    };
    m_pActivateBtn = button(L"Activate", ID_ACTIVATE, 0x10000000, nullptr, L"modify_initialization");
    m_pBatchModifyBtn = button(L"  Batch Modify IP", ID_BATCH_MODIFY, 0x10010000, this, L"modify_ip");
    if (m_pPeers) {
        m_pModifyIPUILogic = m_pPeers->CreateModifyIPUILogic(self);
    }
    CreateSelectedCountLine(this, wnd, m_pStarLabel, m_pCountLabel, m_pSelectedLabel);
    m_pManualAddBtn = button(L"    Manual Add", ID_MANUAL_ADD, 0x10010000, this, L"ipadd");
    m_pDeleteBtn = button(L"    Delect", ID_DELETE, 0x10010000, this, L"delect");
    m_pImportBtn = button(L"    Import", ID_IMPORT, 0x10010000, this, L"input");
    m_pExportBtn = button(L"    Export", ID_EXPORT, 0x10010000, this, L"output");
    m_bCreated = true;
    return 1;
}

void CSearchDevEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_bCreated)
        return;
    const int e = cy - 53;
    SFPlace(m_pTitle, 1, 1, cx - 2, 35);
    SFPlace(m_pAllTab, cx - 100, 0, cx, 35);
    SFPlace(m_pFilterTab, cx - 199, 0, cx - 99, 35);
    if (m_pFilterMain)
        SFPlace(m_pFilterMain->GetView(), 0, 0, cx, 76);
    PlaceDeviceList(m_pListCtrl, m_pListBack, cx, cy);
    SFPlace(m_pActivateBtn, 14, e + 13, 134, e + 43);
    SFPlace(m_pBatchModifyBtn, 144, e + 13, 264, e + 43);
    PlaceSelectedCountLine(284, cy, m_pStarLabel, m_pCountLabel, m_pSelectedLabel);
    SFPlace(m_pImportBtn, cx - 356, e + 13, cx - 278, e + 43);
    SFPlace(m_pExportBtn, cx - 268, e + 13, cx - 190, e + 43);
    SFPlace(m_pManualAddBtn, cx - 180, e + 13, cx - 102, e + 43);
    SFPlace(m_pDeleteBtn, cx - 92, e + 13, cx - 14, e + 43);
    if (m_pListCtrl) {
        const int w = cx - 16;
        const int percent[] = {5, 5, 10, 13, 14, 14, 13, 13};
        for (int c = 0; c < 8; ++c)
            m_pListCtrl->SetColumnWidth(c, w * percent[c] / 100);
    }
}

void CSearchDevEventImp::ShowFilterPanel(bool show)
{
    if (!m_pView)
        return;
    RECT rc = {0, 0, 0, 0};
    m_pView->GetViewClientRect(&rc);
    if (m_pFilterMain && m_pFilterMain->GetView()) {
        RECT panel = SFRectLTRB(rc.left + 2, rc.top + 35, rc.right - 4, rc.top + 95);
        m_pFilterMain->GetView()->MoveWindow(&panel);
        m_pFilterMain->GetView()->ShowWindow(show ? 1 : 0);
    }
    if (m_pListCtrl) {
        RECT list = SFRectLTRB(rc.left + 2, show ? rc.top + 95 : rc.top + 35, rc.right - 4, rc.bottom - rc.top - 2);
        m_pListCtrl->MoveWindow(&list);
    }
}

void CSearchDevEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    if (id == ID_FILTER_TAB) {
        if (m_pAllTab)
            m_pAllTab->SetCheck(checked ? 0 : 1);
        ShowFilterPanel(checked != 0);
    } else if (id == ID_ALL_TAB) {
        if (!checked) {
            if (m_pAllTab)
                m_pAllTab->SetCheck(1);
            return;
        }
        if (m_pFilterTab)
            m_pFilterTab->SetCheck(0);
        ShowFilterPanel(false);
        if (m_pFilterMain)
            m_pFilterMain->ResetFilter();
    }
}

void CSearchDevEventImp::EnableListSort(bool enable)
{
    if (m_pListCtrl)
        m_pListCtrl->SetHeaderSortEnable(enable ? 1 : 0);
}

int CSearchDevEventImp::IsModifyingIP()
{
    return m_pPeers ? m_pPeers->ModifyIP_IsModifying() : 0;
}

void CSearchDevEventImp::SetSearchParam(int mode, int count, std::string startIp)
{
    m_nSearchMode = mode;
    m_nIpCount = count;
    m_strStartIp = startIp;
}

void CSearchDevEventImp::GetSearchParam(int& mode, int& count, std::string& startIp) const
{
    mode = m_nSearchMode;
    count = m_nIpCount;
    startIp = m_strStartIp;
}

// ---- Rows ----------------------------------------------------------------------------------

bool CSearchDevEventImp::RowMatches(int row, const char* ip, const char* mac)
{
    if (!m_pListCtrl || !ip || !mac)
        return false;
    std::string ipText, macText;
    RowAddress(m_pListCtrl, row, ipText, macText);
    const bool macMatches = StrUpper(macText) == StrUpper(mac) || (std::strcmp(mac, "NULL") == 0 && macText.empty());
    return ipText == ip && macMatches;
}

bool CSearchDevEventImp::IsRowCheckedByDevice(const char* ip, const char* mac, int& row)
{
    if (!m_pListCtrl)
        return false;
    for (int r = 0; r < m_pListCtrl->GetItemCount(); ++r) {
        if (RowMatches(r, ip, mac)) {
            row = r;
            return m_pListCtrl->IsCheck(r) != 0;
        }
    }
    return false;
}

bool CSearchDevEventImp::IsCurrentDevice(const char* ip, const char* mac)
{
    return m_nCurRow >= 0 && RowMatches(m_nCurRow, ip, mac);
}

bool CSearchDevEventImp::IsShownByFilter(const DEVICE_NET_INFO_EX* info)
{
    if (!info)
        return false;
    if (!m_pFilterMain)
        return MatchDeviceFilter(DeviceFilter(), *info);
    return MatchDeviceFilter(m_pFilterMain->GetFilter(), *info);
}

void CSearchDevEventImp::AddDeviceRow(const DEVICE_NET_INFO_EX* info, bool ipConflict)
{
    std::string type;
    const int row = StartDeviceRow(m_pListCtrl, info, COL_CHECK, COL_NO, type);
    if (row < 0)
        return;
    const bool uninit = IsUninitializedStatus(info->byInitState);
    m_pListCtrl->SetItemText(row, COL_STATE, uninit ? Tr(L"Not initialized") : Tr(L"Initialized"));
    m_pListCtrl->SetItemText(row, COL_TYPE, Utf8ToWide(type.c_str()).c_str());
    m_pListCtrl->SetItemText(row, COL_MODEL, Utf8ToWide(FIELD_TEXT(info->szModelName).c_str()).c_str());
    m_pListCtrl->SetItemText(row, COL_IP, Utf8ToWide(FIELD_TEXT(info->szIpAddr).c_str()).c_str());
    m_pListCtrl->SetItemText(row, COL_MAC, Utf8ToWide(FIELD_TEXT(info->szMacAddr).c_str()).c_str());
    m_pListCtrl->SetItemText(row, COL_VERSION, Utf8ToWide(FIELD_TEXT(info->szSoftVersion).c_str()).c_str());
    SetRowIconAndButtons(row, info);
    m_pListCtrl->SetTableItemColor(row);
    if (ipConflict)
        m_pListCtrl->SetRowColor(row);
    if (uninit) {
        m_pListCtrl->SetRowEnable(row, false);
        m_pListCtrl->SetBtnEnable(row, false);
    }
    const bool v4 = info->nIpVersion == 4;
    m_pListCtrl->SetItemShow(row, COL_OPERATE, ID_ROW_MODIFY, v4);
    m_pListCtrl->SetItemShow(row, COL_OPERATE, ID_ROW_DETAILS, v4);
}

void CSearchDevEventImp::SetRowIconAndButtons(int row, const DEVICE_NET_INFO_EX* info)
{
    if (row >= m_pListCtrl->GetItemCount())
        return;
    // Every row has a type icon.
    m_pListCtrl->SetItemIcon(row, COL_TYPE, GetSkinPath(DevClassIconName(FIELD_TEXT(info->szTypeName))).c_str());
    ImageButtonStyle modify = MakeButtonSkin(L"list_ip_n.png", L"list_ip_h.png", L"list_ip_p.png", L"list_ip_d.png");
    ImageButtonStyle details = MakeButtonSkin(L"digital_n.png", L"digital_h.png", L"digital_p.png", L"digital_d.png");
    ImageButtonStyle web = MakeButtonSkin(L"ie_n.png", L"ie_h.png", L"ie_p.png", L"ie_d.png");
    std::wstring t1 = Tr(L"IP Modification");
    std::wstring t2 = Tr(L"Details");
    std::wstring t3 = Tr(L"Web Login");
    m_pListCtrl->SetItemWidget(row, COL_OPERATE, t1.c_str(), t2.c_str(), t3.c_str(), modify, details, web);
}

void CSearchDevEventImp::SetCountLabel(int count) { ShowSelectedCount(m_pCountLabel, count); }

void CSearchDevEventImp::ClearList()
{
    ClearDeviceRows(m_pListCtrl);
    if (m_pFilterMain)
        m_pFilterMain->ClearKeyword();
    SetCountLabel(0);
}

void CSearchDevEventImp::MarkDeviceInitialized(const DEVICE_NET_INFO_EX* info, bool ipConflict)
{
    if (!info || !m_pListCtrl)
        return;
    const std::string ip = FIELD_TEXT(info->szIpAddr);
    const std::string mac = FIELD_TEXT(info->szMacAddr);
    for (int row = 0; row < m_pListCtrl->GetItemCount(); ++row) {
        if (mac != "NULL" && RowMatches(row, ip.c_str(), mac.c_str())) {
            m_pListCtrl->SetRowEnable(row, true);
            m_pListCtrl->SetBtnEnable(row, true);
            m_pListCtrl->SetItemText(row, COL_STATE, Tr(L"Initialized"));
            m_pListCtrl->SetTableItemColor(row);
            if (ipConflict)
                m_pListCtrl->SetRowColor(row);
            // SetRowEnable ticks the row.
            UpdateSelectedCount();
            return;
        }
    }
}

void CSearchDevEventImp::HighlightRow(std::string mac, std::string ip)
{
    if (!m_pListCtrl)
        return;
    for (int row = 0; row < m_pListCtrl->GetItemCount(); ++row) {
        std::string ipText, macText;
        RowAddress(m_pListCtrl, row, ipText, macText);
        if (macText == mac && ipText == ip) {
            m_pListCtrl->SetRowColor(row);
            return;
        }
    }
}

int CSearchDevEventImp::ApplyFilter()
{
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (!logic || !logic->FilterDevList(FILTER_PAGE_DEVLIST))
        return 0;
    if (m_pListCtrl) {
        m_pListCtrl->DeleteAllItems();
        m_pListCtrl->SetAllCheck(0);
    }
    SetCountLabel(0);
    return 1;
}

void CSearchDevEventImp::EnableBatchButtons(bool enable)
{
    for (CSFButton* b : {m_pImportBtn, m_pExportBtn, m_pBatchModifyBtn})
        if (b)
            b->EnableWindow(enable ? 1 : 0);
}

int CSearchDevEventImp::FindDeviceIndex(int row)
{
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (row < 0 || !logic || !m_pListCtrl)
        return -1;
    std::string ip, mac;
    RowAddress(m_pListCtrl, row, ip, mac);
    mac = StrUpper(mac);
    const DeviceVector& list = logic->GetDeviceList();
    for (size_t i = 0; i < list.size(); ++i)
        if (FIELD_TEXT(list[i]->stNetInfo.szIpAddr) == ip && StrUpper(FIELD_TEXT(list[i]->stNetInfo.szMacAddr)) == mac)
            return static_cast<int>(i);
    return -1;
}

void CSearchDevEventImp::OnListItemClicked(void* data, LRESULT)
{
    const SF_LIST_NOTIFY* notify = static_cast<const SF_LIST_NOTIFY*>(data);
    const int row = notify ? notify->iItem : -1;
    m_nCurDevIndex = FindDeviceIndex(row);
    m_nCurRow = row;
    std::memset(m_szCurUser, 0, sizeof(m_szCurUser));
    std::memset(m_szCurPassword, 0, sizeof(m_szCurPassword));
    if (m_nCurDevIndex == -1)
        return;
    const DevicePtr& device = GetListLogic()->GetDeviceList()[m_nCurDevIndex];
    COPY_FIELD(m_szCurIp, device->stNetInfo.szIpAddr);
    SafeStrCopy(m_szCurUser, sizeof(m_szCurUser), device->stNetInfo.szReportedUser, 32);
    COPY_FIELD(m_szCurPassword, device->szPassword);
    COPY_FIELD(m_szCurMac, device->stNetInfo.szMacAddr);
    m_nCurPort = device->stNetInfo.nPort;
    m_nCurWebPort = device->stNetInfo.wWebPort;
}

std::string CSearchDevEventImp::IpSortKey(const std::string& ip) { return ::IpSortKey(ip); }

void CSearchDevEventImp::SortByIpKey(std::vector<DEVICE_INFO>& records, bool ascending)
{
    std::vector<std::string> keys;
    for (const DEVICE_INFO& record : records)
        keys.push_back(IpSortKey(FIELD_TEXT(record.stNetInfo.szIpAddr)));
    // Stable, as the exchange sort over adjacent pairs is.
    std::vector<size_t> order(records.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return ascending ? keys[a] < keys[b] : keys[a] > keys[b];
    });
    std::vector<DEVICE_INFO> sorted;
    sorted.reserve(records.size());
    for (size_t i : order)
        sorted.push_back(records[i]);
    records.swap(sorted);
}

// Rebuilds the rows after the list control sorted them, so that rows and model agree again. The
// rebuild runs to its end without handing control to the event loop: a model task arriving in the
// middle would otherwise add or clear rows of a half-built list.
void CSearchDevEventImp::OnHeaderClicked(void* data, LRESULT)
{
    const int column = data ? *static_cast<const int*>(data) : -1;
    std::shared_ptr<CDeviceListUILogic> logic = GetListLogic();
    if (!m_pListCtrl || !logic)
        return;
    std::vector<DEVICE_INFO> records;
    DeviceVector& list = logic->GetDeviceList();
    for (int row = 0; row < m_pListCtrl->GetItemCount(); ++row) {
        m_pListCtrl->SetItemText(row, COL_NO, std::to_wstring(row + 1).c_str());
        std::string ip, mac;
        RowAddress(m_pListCtrl, row, ip, mac);
        mac = StrUpper(mac);
        for (const DevicePtr& device : list) {
            if (StrUpper(FIELD_TEXT(device->stNetInfo.szMacAddr)) == mac && FIELD_TEXT(device->stNetInfo.szIpAddr) == ip) {
                device->nRow = row;
                records.push_back(*device);
                break;
            }
        }
    }
    if (m_pFilterMain && m_pFilterMain->GetIpTypeFilter() == 4 && column == COL_IP)
        SortByIpKey(records, s_bSortAscending);
    s_bSortAscending = !s_bSortAscending;
    if (m_pPeers)
        m_pPeers->ModifyIP_ClearDevices();
    m_pListCtrl->DeleteAllItems();
    m_pListCtrl->SetAllCheck(0);
    SetCountLabel(0);
    for (const DEVICE_INFO& record : records)
        AddDeviceRow(&record.stNetInfo, record.bIPConflict != 0);
    // The address sort may have reordered the rows again: each record learns its final row.
    for (size_t row = 0; row < records.size(); ++row) {
        const DEVICE_NET_INFO_EX& shown = records[row].stNetInfo;
        for (const DevicePtr& device : list) {
            if (StrUpper(FIELD_TEXT(device->stNetInfo.szMacAddr)) == StrUpper(FIELD_TEXT(shown.szMacAddr)) &&
                FIELD_TEXT(device->stNetInfo.szIpAddr) == FIELD_TEXT(shown.szIpAddr)) {
                device->nRow = static_cast<int>(row);
                break;
            }
        }
    }
}

int CSearchDevEventImp::CheckedRowCount() { return CountTickedRows(m_pListCtrl); }

void CSearchDevEventImp::UpdateSelectedCount()
{
    SetCountLabel(CheckedRowCount());
}
