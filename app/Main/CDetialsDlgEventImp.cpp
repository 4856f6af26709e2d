#include "Main/CDetialsDlgEventImp.h"

#include <cstdio>

#include "Common/DevClass.h"
#include "Common/Translate.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/DeviceListSkins.h"
#include "Main/DeviceListText.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"

namespace {

const wchar_t* const kLabels[CDetialsDlgEventImp::FIELD_COUNT] = {
    L"Type", L"Model", L"Port", L"MAC", L"Subnet", L"Gateway", L"Serial No.", L"Version", L"Build Date"};

} // namespace

SF_BEGIN_MESSAGE_MAP(CDetialsDlgEventImp)
SF_END_MESSAGE_MAP()

CDetialsDlgEventImp::CDetialsDlgEventImp(std::weak_ptr<CSearchDevEventImp> page) : m_wpPage(page) {}

CDetialsDlgEventImp::~CDetialsDlgEventImp() {}

int CDetialsDlgEventImp::CreateDlg()
{
    DialogStyle skin;
    FillCommonDialogSkin(skin);
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    m_pDialog = CreateSFDialog(this, page ? page->GetUIWnd() : nullptr, 0);
    SetUpSkinnedDialog(m_pDialog, skin, L"Details", 600, 450);
    return 0;
}

int CDetialsDlgEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    for (int i = 0; i < FIELD_COUNT; ++i) {
        const int top = 80 + 40 * i;
        m_pLabels[i] = CreateSFStatic(nullptr);
        if (m_pLabels[i]) {
            m_pLabels[i]->Create(Tr(kLabels[i]), 0x10010000, SFRectLTRB(100, top, 200, top + 20), wnd, 0);
            m_pLabels[i]->SetTextAlignFlag(4); // level with the value beside it
        }
        m_pValues[i] = CreateSFEditCtrl(nullptr);
        if (m_pValues[i]) {
            m_pValues[i]->Create(0x10010000, SFRectLTRB(250, top, 550, top + 20), wnd, 0, false);
            m_pValues[i]->SetReadOnly(1);
            m_pValues[i]->SetObjectName(L"Detail");
        }
    }
    m_pCloseBtn = CreateCloseButton(this, wnd, 600, 2);
    return 1;
}

void CDetialsDlgEventImp::FormatFields(const DEVICE_NET_INFO_EX& info, uint32_t buildDate,
                                       std::wstring out[FIELD_COUNT])
{
    const std::string detail = FIELD_TEXT(info.szDetailName);
    out[0] = Utf8ToWide(NormalizeDevType(FIELD_TEXT(info.szTypeName), detail).c_str());
    out[1] = Utf8ToWide(detail.c_str());
    char port[16];
    std::snprintf(port, sizeof(port), "%d", info.nPort);
    out[2] = Utf8ToWide(std::string(port).substr(0, 9).c_str());
    out[3] = Utf8ToWide(FIELD_TEXT(info.szMacAddr).c_str());
    out[4] = Utf8ToWide(FIELD_TEXT(info.szNetMask).c_str());
    out[5] = Utf8ToWide(FIELD_TEXT(info.szGatewayAddr).c_str());
    out[6] = Utf8ToWide(FIELD_TEXT(info.szSerialNumber).c_str());
    const std::string version = FIELD_TEXT(info.szSoftVersion);
    out[7] = version.empty() ? std::wstring() : L"V" + Utf8ToWide(version.substr(0, 127).c_str());
    if (buildDate == 0) {
        out[8].clear();
    } else {
        char date[32];
        std::snprintf(date, sizeof(date), "%04d-%02d-%02d", static_cast<int>(buildDate >> 16),
                      static_cast<int>((buildDate >> 8) & 0xFF), static_cast<int>(buildDate & 0xFF));
        out[8] = Utf8ToWide(date);
    }
}

void CDetialsDlgEventImp::SetDeviceInfo(const DEVICE_NET_INFO_EX* info, uint32_t buildDate)
{
    if (!info)
        return;
    std::wstring values[FIELD_COUNT];
    FormatFields(*info, buildDate, values);
    for (int i = 0; i < FIELD_COUNT; ++i)
        if (m_pValues[i])
            m_pValues[i]->SetWindowTextW(values[i].c_str());
}

std::wstring CDetialsDlgEventImp::GetFieldText(int index) const
{
    if (index < 0 || index >= FIELD_COUNT || !m_pValues[index])
        return std::wstring();
    wchar_t text[256] = {};
    m_pValues[index]->GetWindowTextW(text, 255);
    return text;
}

void CDetialsDlgEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if ((key == 27 || key == 13) && m_pDialog)
        m_pDialog->MFCCancel();
}

std::shared_ptr<CDetialsDlgEventImp> CreateDetailsDlg(std::shared_ptr<CSearchDevEventImp> page)
{
    auto dlg = std::make_shared<CDetialsDlgEventImp>(page);
    dlg->CreateDlg();
    return dlg;
}
