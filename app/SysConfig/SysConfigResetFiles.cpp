// The page's side of the file-based password reset: description collection, the sealed
// request, the workstation address, the authorisation file and the match by serial number.
#include "SysConfig/CSysConfigEventImp.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netpacket/packet.h>

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
    const int sealed = EncryptResetFile(path.c_str(), m_strRequestPath.c_str(), m_strPublicKeyPath.c_str(),
                                        "17022202", int(descriptions.size()));
    if (sealed != RESET_FILE_OK) {
        std::wstring text = Tr(L"Export File Failed.");
        if (sealed == RESET_FILE_NO_LIBRARY)
            text += L"\n" + std::wstring(Tr(L"The cryptographic library could not be loaded:")) + L" " +
                    SFUtf8ToWide(ResetFileCryptError());
        ShowMessageBox(text.c_str(), Tr(L"Attention"), GetUIWnd(), 0);
        return -1;
    }
    return 0;
}

void CSysConfigEventImp::GetLocalAddress(char* ip, char* mac)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return;
    // Interfaces in index order, each with its addresses in the order the system lists them.
    std::map<std::string, int> indexOf;
    std::vector<const ifaddrs*> links, inet;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || !a->ifa_name)
            continue;
        if (a->ifa_addr->sa_family == AF_PACKET) {
            indexOf[a->ifa_name] = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr)->sll_ifindex;
            links.push_back(a);
        } else if (a->ifa_addr->sa_family == AF_INET) {
            inet.push_back(a);
        }
    }
    const auto index = [&indexOf](const ifaddrs* a) {
        const std::string name(a->ifa_name, strcspn(a->ifa_name, ":")); // "eth0:1" labels an address of eth0
        const auto it = indexOf.find(name);
        return it != indexOf.end() ? it->second : int(if_nametoindex(name.c_str()));
    };
    std::stable_sort(links.begin(), links.end(), [&](const ifaddrs* a, const ifaddrs* b) { return index(a) < index(b); });
    std::stable_sort(inet.begin(), inet.end(), [&](const ifaddrs* a, const ifaddrs* b) { return index(a) < index(b); });
    // The last IPv4 address of an interface that is up, but for 127.0.0.1.
    for (const ifaddrs* a : inet) {
        const in_addr addr = reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr;
        if (!(a->ifa_flags & IFF_UP) || addr.s_addr == htonl(INADDR_LOOPBACK))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &addr, text, sizeof text))
            SafeStrCopy(ip, 256, text);
    }
    // The hardware address of the first interface that is up, running and not loopback.
    for (const ifaddrs* a : links) {
        const unsigned f = a->ifa_flags;
        if (!(f & IFF_UP) || !(f & IFF_RUNNING) || (f & IFF_LOOPBACK))
            continue;
        const sockaddr_ll* ll = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr);
        const unsigned char* bytes = ll->sll_addr; // room for up to 24 bytes behind it
        std::string text;
        for (size_t i = 0; i < std::min<size_t>(ll->sll_halen, 24); ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, i ? ":%02X" : "%02X", bytes[i]);
            text += hex;
        }
        SafeStrCopy(mac, 256, text.c_str());
        break;
    }
    freeifaddrs(list);
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
