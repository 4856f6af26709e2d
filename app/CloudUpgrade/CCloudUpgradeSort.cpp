// The cloud upgrade page's header click: the top rows are rebuilt from the stored records, sorted
// by address for the IP column (the direction alternating from click to click), each with the
// check answer and transfer widgets its record says it has.
#include "CloudUpgrade/CCloudUpgradeEventImp.h"

#include <QApplication>

#include <utility>

#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/DeviceListText.h"

namespace {

// false: largest address first. One for the whole program.
bool s_bSortAscending = false;

} // namespace

std::string CCloudUpgradeEventImp::IpSortKey(const std::string& ip) { return ::IpSortKey(ip); }

void CCloudUpgradeEventImp::OnListHeaderClick(void* data, LRESULT)
{
    const int column = data ? *static_cast<const int*>(data) : -1;
    if (!m_lstctrlDev)
        return;
    if (m_pUILogic)
        m_pUILogic->ResetTaskList();
    std::vector<DEVICE_INFO> work;
    std::vector<std::string> keys;
    for (int row = 0; row < m_lstctrlDev->GetItemCount(); ++row) {
        const std::string ip = CellText(row, COL_IP);
        const std::string mac = CellText(row, COL_MAC);
        for (const DEVICE_INFO& d : m_vecDevice) {
            if (SameTextNoCase(FIELD_TEXT(d.stNetInfo.szMacAddr), mac) && FIELD_TEXT(d.stNetInfo.szIpAddr) == ip) {
                work.push_back(d);
                work.back().nRow = row;
                keys.push_back(IpSortKey(ip));
                break;
            }
        }
    }
    if (column == COL_IP) {
        const size_t n = work.size();
        for (size_t p = 0; p + 1 < n; ++p) {
            for (size_t i = 0; i + 1 < n - p; ++i) {
                const bool swap = s_bSortAscending ? keys[i + 1] < keys[i] : keys[i + 1] > keys[i];
                if (swap) {
                    std::swap(work[i], work[i + 1]);
                    std::swap(keys[i], keys[i + 1]);
                }
            }
        }
        for (size_t i = 0; i < n; ++i)
            work[i].nRow = static_cast<int32_t>(i);
    }
    s_bSortAscending = !s_bSortAscending;
    m_lstctrlDev->DeleteAllItems();
    m_vecDevice.clear();
    for (const DEVICE_INFO& d : work) {
        AddDeviceRow(&d.stNetInfo, d.bIPConflict != 0);
        m_vecDevice.push_back(d);
        RestoreRowState(d);
        QApplication::processEvents();
    }
    ClearAllChecks();
}

void CCloudUpgradeEventImp::RestoreRowState(const DEVICE_INFO& record)
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
        if (record.bCheckResult) {
            m_lstctrlDev->SetItemShow(row, COL_CHECKSTATE, ID_CHECK_RESULT, false);
            m_lstctrlDev->SetItemShow(row, COL_CHECKSTATE, ID_REFRESH, false);
            if (record.bHasNewVersion) {
                SetCellUtf8(row, COL_CHECKSTATE, FIELD_TEXT(record.szNewVersion));
                if (record.nDownloadState == 0 || record.nDownloadState == 4) {
                    m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, true);
                    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE, false);
                } else if (record.nDownloadState == 3) {
                    m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, false);
                    m_lstctrlDev->SetItemText(row, COL_DOWNLOAD, Tr(L"finish"));
                    m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE, true);
                }
            } else {
                m_lstctrlDev->SetItemText(row, COL_CHECKSTATE, Tr(L"no new version"));
            }
        } else {
            m_lstctrlDev->SetItemShow(row, COL_DOWNLOAD, ID_DOWNLOAD, false);
            m_lstctrlDev->SetItemShow(row, COL_UPGRADE, ID_UPGRADE, false);
            m_lstctrlDev->SetItemText(row, COL_DOWNLOAD, Tr(L""));
            m_lstctrlDev->SetItemText(row, COL_CHECKSTATE, record.nCheckError ? Tr(L"check failed") : Tr(L""));
            AddFailedCheckButtons(row);
            m_lstctrlDev->SetItemData(row, static_cast<DWORD>(record.nCheckError), COL_CHECKSTATE);
            if (record.nCheckError == 0) {
                m_lstctrlDev->SetItemShow(row, COL_CHECKSTATE, ID_CHECK_RESULT, false);
                m_lstctrlDev->SetItemShow(row, COL_CHECKSTATE, ID_REFRESH, false);
            }
        }
        m_lstctrlDev->SetTableItemColor(row);
    }
}
