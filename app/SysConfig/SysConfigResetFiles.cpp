// The page's side of the file-based password reset: description collection, the sealed
// request, the workstation address, the authorisation file and the match by serial number.
#include "SysConfig/CSysConfigEventImp.h"

#include <cstring>

#include <QHostAddress>
#include <QNetworkInterface>

#include "Common/AppSettings.h"
#include "Common/ResetFileCrypt.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "SysConfig/CConfigUILogic.h"
#include "SysConfig/CFindPasswordXmlDlg.h"
#include "SysConfig/CResetInfoXml.h"
#include "SysConfig/CSysTabEventImp.h"
#include "SysConfig/CSysTreeEventImp.h"

void CSysConfigEventImp::OnGetPwdDescriptionResult(std::vector<std::string> descriptions)
{
    const size_t n = descriptions.size();
    bool exported = false;
    if (n >= 1 && ExportResetRequest(descriptions) == 0) {
        exported = true;
        CAppSettings::PasswordResetXmlFlag = true;
        if (!CAppSettings::SaveConfig())
            ShowMessageBox(Tr(L"Failed to save the settings."), Tr(L"Attention"), GetUIWnd(), 0);
    }
    // A failed export leaves the wizard at its export step: there is no request to send.
    if (m_spXmlDlg) {
        if (exported)
            m_spXmlDlg->OnExportDone();
        else
            m_spXmlDlg->BackToExportStep();
        m_spXmlDlg->ShowExportingBox(false);
    }
    if (n >= 1 && !exported)
        return;
    const std::wstring text = std::wstring(Tr(L"All of ")) + std::to_wstring(m_nDeviceCount) + Tr(L" devices, ") +
                              std::to_wstring(n) + Tr(L" devices get description succeed.");
    ShowMessageBox(text.c_str(), Tr(L"Attention"), GetUIWnd(), 0);
}

int CSysConfigEventImp::ExportResetRequest(std::vector<std::string> descriptions)
{
    if (!m_spXmlDlg)
        return -1;
    // The request names at most 256 devices; more are refused, never written past the record.
    if (descriptions.size() > size_t(RESET_REQUEST_INFO::kMaxDevices)) {
        ShowMessageBox(Tr(L"Export File Failed."), Tr(L"Attention"), GetUIWnd(), 0);
        return -1;
    }
    const std::string path = SFWideToUtf8(m_spXmlDlg->GetFilePath());
    char ip[256] = {}, mac[256] = {};
    GetLocalAddress(ip, mac);
    RESET_REQUEST_INFO info;
    info.version = "1";
    info.ip = ip;
    info.mac = mac;
    info.count = int32_t(descriptions.size());
    for (std::string& d : descriptions) {
        if (d.size() > 999)
            d.resize(999);
        info.device.push_back(d);
    }
    CResetInfoXml writer("");
    if (path.empty() || writer.WriteResetRequest(&info, path) == -1) {
        ShowMessageBox(Tr(L"Export File Failed."), Tr(L"Attention"), GetUIWnd(), 0);
        return -1;
    }
    m_strRequestPath = path;
    if (EncryptResetFile(path.c_str(), m_strRequestPath.c_str(), m_strPublicKeyPath.c_str(), "17022202",
                         int(descriptions.size())) != RESET_FILE_OK) {
        ShowMessageBox(Tr(L"Export File Failed."), Tr(L"Attention"), GetUIWnd(), 0);
        return -1;
    }
    return 0;
}

void CSysConfigEventImp::GetLocalAddress(char* ip, char* mac)
{
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        if (a.protocol() != QAbstractSocket::IPv4Protocol || a == QHostAddress(QHostAddress::Null) ||
            a == QHostAddress(QHostAddress::LocalHost))
            continue;
        const QByteArray text = a.toString().toUtf8();
        SafeStrCopy(ip, 256, text.constData());
    }
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto f = i.flags();
        if ((f & QNetworkInterface::IsUp) && (f & QNetworkInterface::IsRunning) &&
            !(f & QNetworkInterface::IsLoopBack)) {
            const QByteArray text = i.hardwareAddress().toUtf8();
            SafeStrCopy(mac, 256, text.constData());
            break;
        }
    }
}

bool CSysConfigEventImp::ImportAuthorizationFile(CodeMap* codes, std::string* create)
{
    if (!m_spXmlDlg || !codes || !create)
        return false;
    CResetInfoXml reader(SFWideToUtf8(m_spXmlDlg->GetFilePath()));
    if (!reader.CheckFormat()) {
        ShowMessageBox(Tr(L"XML file's format is error."), Tr(L"Attention"), GetUIWnd(), 0);
        return false;
    }
    if (!reader.ReadResetInfo(*codes, *create)) {
        ShowMessageBox(Tr(L"Import File Failed."), Tr(L"Attention"), GetUIWnd(), 0);
        return false;
    }
    CAppSettings::PasswordResetXmlFlag = false;
    if (!CAppSettings::SaveConfig())
        ShowMessageBox(Tr(L"Failed to save the settings."), Tr(L"Attention"), GetUIWnd(), 0);
    return true;
}

bool CSysConfigEventImp::MatchDevicesBySerialNumber(const CodeMap& codes)
{
    CSFTreeCtrl* tree = m_spTree ? m_spTree->GetTreeCtrl() : nullptr;
    if (!tree || !m_spLogic)
        return false;
    for (void* g = tree->GetChildItem(SF_TVI_ROOT); g; g = tree->GetNextSiblingItem(g)) {
        for (void* row = tree->GetChildItem(g); row; row = tree->GetNextSiblingItem(row))
            tree->SetCheck(row, 0);
        tree->SetCheck(g, 0);
    }
    m_spLogic->ClearDevices();
    ForgetRows();
    m_bOwnBrand = m_bByPhone = false;
    int matched = 0;
    for (const auto& entry : codes) {
        bool found = false;
        for (void* g = tree->GetChildItem(SF_TVI_ROOT); g && !found; g = tree->GetNextSiblingItem(g)) {
            wchar_t group[16] = {};
            tree->GetTreeItemText(g, group, 15);
            if (std::wcscmp(group, L"DVR") == 0 || std::wcscmp(group, L"NVR") == 0)
                continue;
            for (void* row = tree->GetChildItem(g); row; row = tree->GetNextSiblingItem(row)) {
                tree->SetItemIconBack(row, L"");
                std::shared_ptr<DEVICE_INFO> device = DeviceAt(int(tree->GetItemData(row)));
                if (!device)
                    continue;
                wchar_t text[512] = {};
                tree->GetTreeItemText(row, text, 511);
                const DEVICE_NET_INFO_EX& n = device->stNetInfo;
                const std::string ip(n.szIpAddr, strnlen(n.szIpAddr, sizeof n.szIpAddr));
                const std::string sn(n.szSerialNumber, strnlen(n.szSerialNumber, sizeof n.szSerialNumber));
                if (SFWideToUtf8(text) != ip || entry.first != sn)
                    continue;
                tree->SetCheck(row, 1);
                if (matched == 0)
                    SetBrandFlags(*device);
                AddToScheduler(*device, row);
                ++matched;
                tree->ExpandTreeItem(g, 2);
                found = true;
                break;
            }
        }
    }
    if (m_spXmlDlg)
        m_spXmlDlg->SetDeviceCount(matched);
    if (m_spTab)
        m_spTab->SetSelectedCount(matched);
    m_nDeviceCount = matched;
    if (matched > 0)
        return true;
    ShowMessageBox(Tr(L"Can't find devices of the same serial number."), Tr(L"Attention"), GetUIWnd(), 0);
    return false;
}
