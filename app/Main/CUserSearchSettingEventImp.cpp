#include "Main/CUserSearchSettingEventImp.h"

#include <cstdio>
#include <cstring>

#include <QCoreApplication>

#include "Common/AppSettings.h"
#include "Common/InputCheck.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/DeviceListPeers.h"
#include "Main/DeviceListSkins.h"
#include "Main/DeviceListText.h"
#include "Main/OpenOrSay.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"

namespace {

enum { ID_BROADCAST = 1079, ID_RANGE = 1080, ID_START = 1081, ID_END = 1082, ID_USER = 1118, ID_PASSWORD = 1119,
       ID_OK = 505 };

// Cuts a text to at most `bytes` bytes of UTF-8.
std::wstring CutUtf8(const wchar_t* text, size_t bytes)
{
    char buffer[64] = {};
    const std::string utf8 = WideToUtf8(text ? text : L"");
    SafeStrCopy(buffer, bytes + 1, utf8.c_str());
    buffer[bytes] = 0;
    return QString::fromUtf8(buffer).toStdWString();
}

} // namespace

int CheckSearchRange(uint32_t start, uint32_t end)
{
    if (end < start)
        return 1;
    if (static_cast<uint64_t>(end) - start + 1 > 1000)
        return 2;
    return 0;
}

std::string IpValueToText(uint32_t value)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%d.%d.%d.%d", static_cast<int>(value >> 24), static_cast<int>((value >> 16) & 0xFF),
                  static_cast<int>((value >> 8) & 0xFF), static_cast<int>(value & 0xFF));
    return text;
}

SF_BEGIN_MESSAGE_MAP(CUserSearchSettingEventImp)
SF_ON_COMMAND(ID_OK, OnBtnOK)
SF_END_MESSAGE_MAP()

CUserSearchSettingEventImp::CUserSearchSettingEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(mainFrame)
{
    SafeStrCopy(m_szUser, sizeof(m_szUser) - 1, WideToUtf8(CAppSettings::User).c_str());
    CAppSettings::Password = L"qwert789";
    SafeStrCopy(m_szPassword, sizeof(m_szPassword) - 1, WideToUtf8(CAppSettings::Password).c_str());
}

CUserSearchSettingEventImp::~CUserSearchSettingEventImp() {}

void CUserSearchSettingEventImp::CreateWindowDlg()
{
    if (m_pDialog)
        return;
    DialogStyle skin;
    FillCommonDialogSkin(skin);
    m_pDialog = CreateSFDialog(this, m_pPeers ? m_pPeers->GetMainWnd() : nullptr, 0);
    if (!m_pDialog)
        return;
    m_pDialog->SetSkin(&skin);
    m_pDialog->Create(L"Setting", nullptr);
    m_pDialog->SetWindowTextW(Tr(L"Setting"));
    m_pDialog->MoveWindow(0, 0, 600, 330);
    m_pDialog->CenterWindow(nullptr);
    m_pDialog->SetDrawBackGround(1);
    m_pDialog->ShowWindow(0);
    FillNicList();
}

// The interface list is never shown and searches never bind to one interface.
void CUserSearchSettingEventImp::FillNicList()
{
    CAppSettings::LocalIp.clear();
}

int CUserSearchSettingEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    m_pCloseBtn = CreateSFButton(this);
    if (m_pCloseBtn) {
        ImageButtonStyle close =
            MakeButtonSkin(L"close-normal.png", L"close-hover.png", L"close-pressed.png", L"close-disabled.png");
        m_pCloseBtn->Create(L"", 0x10000000, SFRectXYWH(575, 2, 24, 24), wnd, 2);
        m_pCloseBtn->SetSkin(&close);
        m_pCloseBtn->SetToolTipText(Tr(L"Close"));
    }
    ImageCheckBox check = MakeCheckSkin(L"Select_Check.png", L"Select_unCheck.png");
    auto box = [&](int id, RECT rc, bool on) {
        CSFCheckBox* b = CreateSFCheckBox(this);
        if (b) {
            b->Create("", 0x10010000, rc, wnd, id);
            b->SetSkin(&check);
            b->SetCheck(on ? 1 : 0);
        }
        return b;
    };
    auto label = [&](const wchar_t* text, RECT rc, UINT align) {
        CSFStatic* s = CreateSFStatic(nullptr);
        if (s) {
            s->Create(Tr(text), 0x10000000, rc, wnd, 0);
            s->SetTextAlignFlag(align);
        }
        return s;
    };
    m_pCurNetBox = box(ID_BROADCAST, SFRectXYWH(120, 60, 16, 16), CAppSettings::SearchBoadcast);
    m_pCurNetLabel = label(L"current network search", SFRectXYWH(146, 60, 200, 20), 0);
    m_pOtherNetBox = box(ID_RANGE, SFRectXYWH(360, 60, 16, 16), CAppSettings::SearchByIp);
    m_pOtherNetLabel = label(L"other network search", SFRectXYWH(386, 60, 200, 20), 0);
    m_pStartLabel = label(L"Start IP", SFRectXYWH(46, 140, 60, 20), 0);
    m_pStartIp = CreateSFIPAddressCtrl(this);
    if (m_pStartIp)
        m_pStartIp->Create(0x10010000, SFRectXYWH(100, 135, 200, 25), wnd, ID_START, false);
    m_pEndLabel = label(L"End IP", SFRectXYWH(326, 140, 60, 20), 0);
    m_pEndIp = CreateSFIPAddressCtrl(this);
    if (m_pEndIp)
        m_pEndIp->Create(0x10010000, SFRectXYWH(380, 135, 200, 25), wnd, ID_END, false);
    ResetAddresses();
    EnableRange(CAppSettings::SearchByIp);
    m_pUserLabel = label(L"Username", SFRectXYWH(21, 190, 60, 20), 2);
    m_pUserEdit = CreateSFEditCtrl(this);
    if (m_pUserEdit) {
        m_pUserEdit->Create(0x10010000, SFRectXYWH(100, 185, 200, 25), wnd, ID_USER, false);
        m_pUserEdit->SetSkin(L"bg_edit.png");
        m_pUserEdit->SetWindowTextW(CAppSettings::User.c_str());
    }
    m_pPasswordLabel = label(L"Password", SFRectXYWH(301, 190, 60, 20), 2);
    m_pPasswordEdit = CreateSFEditCtrl(this);
    if (m_pPasswordEdit) {
        m_pPasswordEdit->Create(0x10010000, SFRectXYWH(380, 185, 200, 25), wnd, ID_PASSWORD, true);
        m_pPasswordEdit->SetWindowTextW(Utf8ToWide(m_szPassword).c_str());
    }
    m_pOkBtn = CreateSFButton(this);
    if (m_pOkBtn) {
        ImageButtonStyle ok = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
        m_pOkBtn->Create(Tr(L"OK"), 0x10010000, SFRectXYWH(520, 295, 72, 25), wnd, ID_OK);
        m_pOkBtn->SetSkin(&ok);
    }
    return 1;
}

void CUserSearchSettingEventImp::EnableRange(bool enable)
{
    if (m_pStartIp)
        m_pStartIp->EnableWindow(enable ? 1 : 0);
    if (m_pEndIp)
        m_pEndIp->EnableWindow(enable ? 1 : 0);
    if (m_pStartLabel)
        m_pStartLabel->EnableWindow(enable ? 1 : 0);
    if (m_pEndLabel)
        m_pEndLabel->EnableWindow(enable ? 1 : 0);
}

void CUserSearchSettingEventImp::ResetAddresses()
{
    if (m_pStartIp)
        m_pStartIp->SetAddress(VersionToInt(WideToUtf8(CAppSettings::SearchIpS)));
    if (m_pEndIp)
        m_pEndIp->SetAddress(VersionToInt(WideToUtf8(CAppSettings::SearchIpE)));
}

void CUserSearchSettingEventImp::Dlg_OnCancel()
{
    if (m_pCurNetBox)
        m_pCurNetBox->SetCheck(CAppSettings::SearchBoadcast ? 1 : 0);
    if (m_pOtherNetBox)
        m_pOtherNetBox->SetCheck(CAppSettings::SearchByIp ? 1 : 0);
    EnableRange(CAppSettings::SearchByIp);
    ResetAddresses();
    if (m_pUserEdit)
        m_pUserEdit->SetWindowTextW(CAppSettings::User.c_str());
    if (m_pPasswordEdit)
        m_pPasswordEdit->SetWindowTextW(CAppSettings::Password.c_str());
}

void CUserSearchSettingEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 13)
        OnBtnOK();
    else if (key == 27)
        Dlg_OnCancel();
}

void CUserSearchSettingEventImp::EDIT_OnTextChange(UINT id, wchar_t* text)
{
    if (id != ID_USER && id != ID_PASSWORD)
        return;
    CSFEditCtrl* edit = id == ID_USER ? m_pUserEdit : m_pPasswordEdit;
    const std::wstring cut = CutUtf8(text, id == ID_USER ? 31 : 63);
    if (edit && cut != (text ? std::wstring(text) : std::wstring()))
        edit->SetWindowTextW(cut.c_str());
}

void CUserSearchSettingEventImp::Check_OnCheckStateChanged(int checked, int id, POINT)
{
    if (id == ID_RANGE)
        EnableRange(checked != 0);
}

void CUserSearchSettingEventImp::EDIT_OnIPTextChange(UINT id, wchar_t* text, UINT field)
{
    if (field < 1 || field > 3)
        return;
    const DWORD value = text ? static_cast<DWORD>(std::wcstoul(text, nullptr, 10)) : 0;
    if (id == ID_START && m_pEndIp)
        m_pEndIp->SetAddressOnline(value, field, 0);
    else if (id == ID_END && m_pStartIp)
        m_pStartIp->SetAddressOnline(value, field, 0);
}

void CUserSearchSettingEventImp::OnBtnOK()
{
    DWORD start = 0, end = 0;
    if (m_pStartIp)
        m_pStartIp->GetAddress(start);
    if (m_pEndIp)
        m_pEndIp->GetAddress(end);
    const std::string startText = IpValueToText(start);
    const std::string endText = IpValueToText(end);
    const bool broadcast = m_pCurNetBox && m_pCurNetBox->IsChecked();
    const bool range = m_pOtherNetBox && m_pOtherNetBox->IsChecked();
    auto show = [&](const wchar_t* text, const wchar_t* caption) {
        if (m_pPeers)
            m_pPeers->ShowMessage(Tr(text), Tr(caption), GetUIWnd(), 0);
    };
    if (range) {
        const int check = CheckSearchRange(start, end);
        if (check != 0) {
            show(check == 1 ? L"IP Range is not valid!" : L"IP Range is too large!", L"Error");
            ResetAddresses();
            return;
        }
        CAppSettings::SearchIpS = Utf8ToWide(startText.c_str());
        CAppSettings::SearchIpE = Utf8ToWide(endText.c_str());
    }
    CAppSettings::SearchBoadcast = broadcast;
    CAppSettings::SearchByIp = range;
    const int mode = (broadcast ? 1 : 0) + (range ? 2 : 0);

    wchar_t user[32] = {};
    if (m_pUserEdit)
        m_pUserEdit->GetWindowTextW(user, 31);
    const std::string userUtf8 = WideToUtf8(user);
    if (!IsIdentChars(userUtf8.c_str(), userUtf8.size())) {
        show(L"User Name shall only contain numbers, letters and '_'.", L"Attention");
        return;
    }
    wchar_t password[64] = {};
    if (m_pPasswordEdit)
        m_pPasswordEdit->GetWindowTextW(password, 63);
    wchar_t probe[64] = {};
    std::wmemcpy(probe, password, 64);
    if (StripBadPasswordChar(probe, std::wcslen(probe)) == 0) {
        show(L"Password shall only contain letters or numbers or symbols(except'''\u3001'\"'\u3001':'\u3001';'\u3001'&').",
             L"Attention");
        return;
    }
    CAppSettings::Password = password;
    CAppSettings::User = user;
    SafeStrCopy(m_szUser, sizeof(m_szUser) - 1, WideToUtf8(user).c_str());
    SafeStrCopy(m_szPassword, sizeof(m_szPassword) - 1, WideToUtf8(password).c_str());
    CAppSettings::LocalIp.clear();

    if (m_pPeers) {
        if (std::shared_ptr<CSearchDevEventImp> page = m_pPeers->GetSearchDevPage()) {
            page->SetSearchParam(mode, static_cast<int>(end - start + 1), startText);
            page->StartSearch();
        }
    }
    SaveSettingsOrSay(GetUIWnd());
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CUserSearchSettingEventImp::RetranslateTitle()
{
    if (m_pDialog)
        m_pDialog->SetWindowTextW(
            QCoreApplication::translate("CUserSearchSettingEventImp", "Setting").toStdWString().c_str());
}
