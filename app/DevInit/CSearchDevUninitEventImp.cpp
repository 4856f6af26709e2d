#include "DevInit/CSearchDevUninitEventImp.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "DevInit/CDevInitUILogic.h"
#include "DevInit/WizardLists.h"
#include "DevInit/WizardSkins.h"
#include "Main/DevicePageParts.h"
#include "Widgets/ListItemHelpers.h"
#include "Widgets/SFFactory.h"

SF_BEGIN_MESSAGE_MAP(CSearchDevUninitEventImp)
SF_ON_COMMAND(CSearchDevUninitEventImp::ID_INITIALIZE, OnBtnInitialize)
SF_ON_NOTIFY(9, CSearchDevUninitEventImp::ID_LIST, OnHeaderClicked)
SF_END_MESSAGE_MAP()

namespace {

enum { COL_CHECK, COL_NO, COL_TYPE, COL_MODEL, COL_IP, COL_MAC, COL_VERSION, COL_COUNT };

// Direction of the next sort by address: one flag for the program, reversed by every header click.
bool g_ascending = false;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string CellUtf8(CSFListCtrl* list, int row, int column)
{
    wchar_t buf[65] = {};
    list->GetItemText(row, column, buf, 64);
    SF_SOFT_BASE::CSFStreamConvert convert(buf, 65001);
    return convert.GetStdString();
}

ImageRadioBox CheckImages()
{
    return MakeRadioSkin(L"Select_Check.png", L"Select_unCheck.png", L"Select_Unable.png", L"Select_Unable.png");
}

} // namespace

CSearchDevUninitEventImp::CSearchDevUninitEventImp(std::weak_ptr<CDevInitUILogic> coordinator)
    : m_wpCoordinator(std::move(coordinator))
{
}

CSearchDevUninitEventImp::~CSearchDevUninitEventImp() {}

std::shared_ptr<CSearchDevUninitEventImp> CSearchDevUninitEventImp::Create(std::shared_ptr<CDevInitUILogic> coordinator)
{
    auto page = std::make_shared<CSearchDevUninitEventImp>(coordinator);
    page->BuildDialog();
    return page;
}

int CSearchDevUninitEventImp::BuildDialog()
{
    std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock();
    m_pDialog = CreateWizardDialog(this, coordinator ? coordinator->GetParentWnd() : nullptr, L"Device Initialize", 680, 400);
    return 0;
}

int CSearchDevUninitEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    const DWORD kVisible = 0x10000000;
    m_pCloseBtn = CreateWizardCloseButton(this, wnd, 680, ID_CLOSE);

    ImageButtonStyle textSkin = WizardTextButtonSkin();
    m_pInitBtn = CreateSFButton(nullptr);
    m_pInitBtn->SetSkin(&textSkin);
    m_pInitBtn->Create(Tr(L"Initialize"), kVisible, RECT{600, 365, 672, 390}, wnd, ID_INITIALIZE);
    m_pInitBtn->SetToolTipText(Tr(L"Initialize"));

    m_pHint = CreateSFStatic(nullptr);
    m_pHint->Create(Tr(L"*The list only shows device in the LAN, you cannot initialize crossing LAN."), kVisible,
                    RECT{15, 355, 315, 380}, wnd, 0);
    m_pHint->SetTextColor(0x3636B9);
    m_pHint->SetToolTipText(Tr(L"*The list only shows device in the LAN, you cannot initialize crossing LAN."));

    m_pList = CreateWizardList(this, wnd, ID_LIST, true, m_pListFrame);
    ImageRadioBox check = CheckImages();
    m_pList->InsertColumnCheck(COL_CHECK, check);
    const wchar_t* headers[COL_COUNT] = {L"", L"NO.", L"Type", L"Model", L"IP", L"MAC", L"Version"};
    for (int c = 0; c < COL_COUNT; ++c)
        m_pList->InsertColumn(c, Tr(headers[c]), 0, -1, -1);
    MoveControls(680, 400);

    m_pLabel = CreateWizardCountLine(wnd, 40, L"devices uninitialized", m_pCount);
    return 1;
}

void CSearchDevUninitEventImp::MoveControls(int width, int height)
{
    const double shares[] = {0.08, 0.08, 0.15, 0.18, 0.16, 0.18};
    LayoutWizardList(m_pList, m_pListFrame, width, height, 75, shares);
}

void CSearchDevUninitEventImp::SetCount(int count) { SetWizardCount(m_pCount, count); }

void CSearchDevUninitEventImp::ClearDevices()
{
    m_vecSelection.clear();
    m_vecSelectedKeys.clear();
    if (!m_pList)
        return;
    ClearDeviceRows(m_pList);
    SetCount(0);
}

void CSearchDevUninitEventImp::AddDevice(const DEVICE_NET_INFO_EX* info)
{
    if (!info || !m_pList || info->nIpVersion != 4)
        return;
    const std::string type = NormalizeDevType(WizardField(info->szTypeName, sizeof info->szTypeName),
                                              WizardField(info->szDetailName, sizeof info->szDetailName));
    if (type.empty())
        return;
    const int row = m_pList->GetItemCount();
    m_pList->InsertItem(row, L"");
    ImageRadioBox check = CheckImages();
    m_pList->SetItemCheckWidget(row, COL_CHECK, check);
    SetListItemInt(m_pList, row, COL_NO, row + 1);
    SetWizardDeviceCells(m_pList, row, type, *info);
    m_pList->SetTableItemColor(row);
    m_pList->SetAllCheck(1);
    m_pList->SetCheck(row, 1);
    SetCount(row + 1);
}

unsigned CSearchDevUninitEventImp::GetDeviceIndex(int row)
{
    std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock();
    std::vector<std::shared_ptr<DEVICE_INFO>>* devices = coordinator ? coordinator->GetDeviceList() : nullptr;
    if (row < 0 || !devices || !m_pList || row >= m_pList->GetItemCount())
        return kNotFound;
    const std::string ip = CellUtf8(m_pList, row, COL_IP);
    const std::string mac = Lower(CellUtf8(m_pList, row, COL_MAC));
    for (size_t i = 0; i < devices->size(); ++i) {
        const DEVICE_NET_INFO_EX& info = (*devices)[i]->stNetInfo;
        if (WizardField(info.szIpAddr, sizeof info.szIpAddr) == ip &&
            Lower(WizardField(info.szMacAddr, sizeof info.szMacAddr)) == mac)
            return static_cast<unsigned>(i);
    }
    return kNotFound;
}

void CSearchDevUninitEventImp::OnBtnInitialize()
{
    m_vecSelection.clear();
    m_vecSelectedKeys.clear();
    if (!m_pList)
        return;
    const int rows = m_pList->GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (!m_pList->IsCheck(row))
            continue;
        // A row whose device has left the list cannot be initialised; it is not passed on.
        const unsigned index = GetDeviceIndex(row);
        if (index == kNotFound)
            continue;
        m_vecSelection.push_back(index);
        m_vecSelectedKeys.emplace_back(CellUtf8(m_pList, row, COL_IP), CellUtf8(m_pList, row, COL_MAC));
    }
    if (m_vecSelection.empty()) {
        ShowMessageBox(Tr(L"Please select one device at least."), Tr(L"Attention"), GetUIWnd(), 0, nullptr);
        return;
    }
    if (std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock())
        coordinator->PreparePasswordPage(rows, m_vecSelection.front());
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CSearchDevUninitEventImp::OnHeaderClicked(void* data, LRESULT)
{
    if (!m_pList)
        return;
    const int column = data ? *static_cast<int*>(data) : -1;
    std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock();
    std::vector<std::shared_ptr<DEVICE_INFO>>* devices = coordinator ? coordinator->GetDeviceList() : nullptr;
    if (!devices)
        return;
    // The rows in their new order, each with the user's tick (kept by MAC).
    std::vector<DEVICE_NET_INFO_EX> records;
    std::map<std::string, bool> ticked;
    const int rows = m_pList->GetItemCount();
    for (int row = 0; row < rows; ++row) {
        SetListItemInt(m_pList, row, COL_NO, row + 1);
        const unsigned index = GetDeviceIndex(row);
        if (index == kNotFound)
            continue;
        const DEVICE_NET_INFO_EX& info = (*devices)[index]->stNetInfo;
        records.push_back(info);
        ticked[Lower(WizardField(info.szMacAddr, sizeof info.szMacAddr))] = m_pList->IsCheck(row) != 0;
    }
    if (column == COL_IP) {
        std::vector<std::string> keys;
        for (const DEVICE_NET_INFO_EX& r : records)
            keys.push_back(IpSortKey(WizardField(r.szIpAddr, sizeof r.szIpAddr)));
        const size_t n = records.size();
        for (size_t k = 0; k < n; ++k)
            for (size_t i = 0; i + 1 < n - k; ++i)
                if (g_ascending ? keys[i + 1] < keys[i] : keys[i + 1] > keys[i]) {
                    std::swap(keys[i], keys[i + 1]);
                    std::swap(records[i], records[i + 1]);
                }
    }
    g_ascending = !g_ascending;
    m_pList->DeleteAllItems();
    m_pList->SetAllCheck(0);
    SetCount(0);
    // Rebuilt in one pass: no user input is taken between the rows.
    for (const DEVICE_NET_INFO_EX& r : records) {
        AddDevice(&r);
        const int row = m_pList->GetItemCount() - 1;
        if (row >= 0 && !ticked[Lower(WizardField(r.szMacAddr, sizeof r.szMacAddr))])
            m_pList->SetCheck(row, 0);
    }
    bool all = !records.empty();
    for (int row = 0; row < m_pList->GetItemCount(); ++row)
        all = all && m_pList->IsCheck(row);
    m_pList->SetAllCheck(all ? 1 : 0);
}

void CSearchDevUninitEventImp::Dlg_OnCancel()
{
    if (std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock())
        coordinator->SetAccepting(false);
}

void CSearchDevUninitEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 13)
        OnBtnInitialize();
    else if (key == 27)
        Dlg_OnCancel();
}
