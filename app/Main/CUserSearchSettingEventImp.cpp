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
#include "Main/DeviceListText.h"
#include "Main/OpenOrSay.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"

namespace {

// Where this dialog puts the range controls.
const SearchRangePlaces kPlaces{SFRectXYWH(120, 60, 16, 16), SFRectXYWH(146, 60, 200, 20),
                                SFRectXYWH(360, 60, 16, 16), SFRectXYWH(386, 60, 200, 20),
                                SFRectXYWH(46, 140, 60, 20), SFRectXYWH(100, 135, 200, 25),
                                SFRectXYWH(326, 140, 60, 20), SFRectXYWH(380, 135, 200, 25)};

enum { ID_START = SearchRangeForm::ID_START, ID_END = SearchRangeForm::ID_END, ID_USER = 1118, ID_PASSWORD = 1119 };

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
SF_ON_COMMAND(SearchRangeForm::ID_OK, OnBtnOK)
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
    m_pDialog = CreateSFDialog(this, m_pPeers ? m_pPeers->GetMainWnd() : nullptr, 0);
    if (!m_pDialog)
        return;
    SetUpSearchSettingDialog(m_pDialog);
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
    CreateSearchRangeControls(m_range, kPlaces, this, this, this, wnd);
    EnableRange(CAppSettings::SearchByIp);
    m_pUserLabel = CreateSearchSettingLabel(L"Username", SFRectXYWH(21, 190, 60, 20), 2, wnd);
    m_pUserEdit = CreateSFEditCtrl(this);
    if (m_pUserEdit) {
        m_pUserEdit->Create(0x10010000, SFRectXYWH(100, 185, 200, 25), wnd, ID_USER, false);
        m_pUserEdit->SetSkin(L"bg_edit.png");
        m_pUserEdit->SetWindowTextW(CAppSettings::User.c_str());
    }
    m_pPasswordLabel = CreateSearchSettingLabel(L"Password", SFRectXYWH(301, 190, 60, 20), 2, wnd);
    m_pPasswordEdit = CreateSFEditCtrl(this);
    if (m_pPasswordEdit) {
        m_pPasswordEdit->Create(0x10010000, SFRectXYWH(380, 185, 200, 25), wnd, ID_PASSWORD, true);
        m_pPasswordEdit->SetWindowTextW(Utf8ToWide(m_szPassword).c_str());
    }
    CreateSearchSettingOk(m_range, this, wnd);
    return 1;
}

void CUserSearchSettingEventImp::EnableRange(bool enable)
{
    if (m_range.startIp)
        m_range.startIp->EnableWindow(enable ? 1 : 0);
    if (m_range.endIp)
        m_range.endIp->EnableWindow(enable ? 1 : 0);
    if (m_range.startLabel)
        m_range.startLabel->EnableWindow(enable ? 1 : 0);
    if (m_range.endLabel)
        m_range.endLabel->EnableWindow(enable ? 1 : 0);
}

void CUserSearchSettingEventImp::Dlg_OnCancel()
{
    ResetSearchBoxes(m_range);
    EnableRange(CAppSettings::SearchByIp);
    ResetSearchAddresses(m_range);
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
    if (id == SearchRangeForm::ID_RANGE)
        EnableRange(checked != 0);
}

void CUserSearchSettingEventImp::EDIT_OnIPTextChange(UINT id, wchar_t* text, UINT field)
{
    if (field < 1 || field > 3)
        return;
    const DWORD value = text ? static_cast<DWORD>(std::wcstoul(text, nullptr, 10)) : 0;
    if (id == ID_START && m_range.endIp)
        m_range.endIp->SetAddressOnline(value, field, 0);
    else if (id == ID_END && m_range.startIp)
        m_range.startIp->SetAddressOnline(value, field, 0);
}

void CUserSearchSettingEventImp::OnBtnOK()
{
    auto show = [&](const wchar_t* text, const wchar_t* caption) {
        if (m_pPeers)
            m_pPeers->ShowMessage(Tr(text), Tr(caption), GetUIWnd(), 0);
    };
    SearchRangeChoice choice;
    if (!TakeSearchRange(m_range, m_pPeers.get(), GetUIWnd(), choice)) {
        ResetSearchAddresses(m_range);
        return;
    }

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
            page->SetSearchParam(choice.mode, choice.count, choice.start);
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
