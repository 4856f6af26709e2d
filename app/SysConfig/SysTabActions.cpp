// The tab page's commands, field rules and parameter getters.
#include "SysConfig/CSysTabEventImp.h"

#include <cstring>

#include "Common/InputCheck.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CMainFrameEventImp.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "SysConfig/CSysTreeEventImp.h"

namespace {

enum { ID_SERVER = 1155, ID_PORT = 1154, ID_PERIOD = 1153, ID_NEW = 1151, ID_CONFIRM = 1152 };

void CopyAnsi(char* out, size_t size, const std::wstring& text, size_t max)
{
    SafeStrCopy(out, size, SFWideToUtf8(text).c_str(), max);
}

int FieldValue(const CSFEditCtrl* edit)
{
    const std::wstring t = sysui::EditText(edit, 16);
    if (t.empty() || t.find_first_not_of(L"0123456789") != std::wstring::npos || t.size() > 9)
        return 0;
    return std::stoi(t);
}

} // namespace

void CSysTabEventImp::OnSyncPc()
{
    if (auto owner = Owner())
        owner->StartSysConfig(SYSCONFIG_SYNC_PC, false);
}

void CSysTabEventImp::OnManualSync()
{
    if (auto owner = Owner())
        owner->StartSysConfig(SYSCONFIG_MANUAL_SYNC, false);
}

void CSysTabEventImp::OnAutoRebootOk()
{
    if (auto owner = Owner())
        owner->StartSysConfig(SYSCONFIG_AUTO_REBOOT, false);
}

void CSysTabEventImp::OnDstSave()
{
    if (auto owner = Owner())
        owner->StartSysConfig(SYSCONFIG_DST, false);
}

void CSysTabEventImp::OnReboot()
{
    auto owner = Owner();
    if (!owner)
        return;
    if (ShowMessageBox(Tr(L"Are you sure to reboot?"), Tr(L"Attention"), GetUIWnd(), 1) != 2)
        owner->StartSysConfig(SYSCONFIG_MANUAL_REBOOT, false);
}

void CSysTabEventImp::OnFactoryDefault()
{
    auto owner = Owner();
    if (!owner)
        return;
    if (ShowMessageBox(Tr(L"Are you sure to factory default?"), Tr(L"Attention"), GetUIWnd(), 1) != 2)
        owner->StartSysConfig(SYSCONFIG_RESTORE, false);
}

void CSysTabEventImp::OnNtpSave()
{
    auto owner = Owner();
    if (!owner)
        return;
    if (!IsDomainNameChars(SFWideToUtf8(sysui::EditText(m_pServer, 255)))) {
        ShowMessageBox(Tr(L"NTP server name can only consist of numbers,letters,dots,underline,crossed."),
                       Tr(L"Error"), GetUIWnd(), 0);
        return;
    }
    owner->StartSysConfig(SYSCONFIG_NTP, false);
}

void CSysTabEventImp::OnPasswordModifyOk()
{
    auto owner = Owner();
    if (owner && CheckPasswordInput())
        owner->StartSysConfig(SYSCONFIG_MODIFY_PASSWORD, false);
}

bool CSysTabEventImp::CheckPasswordInput()
{
    const std::wstring old = sysui::EditText(m_pOldEdit, 63);
    const std::wstring pwd = sysui::EditText(m_pwd.newEdit, 32);
    const std::wstring confirm = sysui::EditText(m_pwd.confirmEdit, 32);
    if (const wchar_t* problem = sysui::PasswordProblem(pwd, confirm, old, true)) {
        ShowMessageBox(Tr(problem), Tr(L"Attention"), GetUIWnd(), 0);
        return false;
    }
    CopyAnsi(m_szOldPassword, sizeof m_szOldPassword, old, 63);
    CopyAnsi(m_szNewPassword, sizeof m_szNewPassword, pwd, 32);
    return true;
}

void CSysTabEventImp::OnPasswordReset()
{
    auto owner = Owner();
    if (!owner)
        return;
    std::shared_ptr<CMainFrameEventImp> main = owner->GetMainFrame();
    if (main && main->ShowNotice(Tr(L"FindPwdNotice"), 0) == 0)
        return;
    OnContinueReset(false);
}

void CSysTabEventImp::OnContinueXmlReset() { OnContinueReset(true); }

void CSysTabEventImp::OnContinueReset(bool fileMode)
{
    auto owner = Owner();
    if (!owner)
        return;
    std::shared_ptr<CSysTreeEventImp> tree = owner->GetTreePage();
    if (tree && tree->IsRecorderChecked()) {
        ShowMessageBox(Tr(L"NVR or DVR can't be reset password."), Tr(L"Attention"), GetUIWnd(), 0);
        return;
    }
    if (tree)
        tree->EnableRecorderGroups(false);
    owner->StartSysConfig(SYSCONFIG_RESET_PASSWORD, fileMode);
}

void CSysTabEventImp::NormalizeNumberField(CSFEditCtrl* edit, const std::wstring& text)
{
    if (!edit || text.empty())
        return;
    std::wstring result;
    if (text.size() > 5) {
        result = L"65535";
    } else if (text.find_first_not_of(L"0123456789") != std::wstring::npos) {
        result = L"0";
    } else {
        const long v = std::stol(text);
        result = v > 65535 ? L"65535" : std::to_wstring(v);
    }
    if (result != text)
        edit->SetWindowTextW(result.c_str());
}

void CSysTabEventImp::EDIT_OnTextChange(UINT id, wchar_t* text)
{
    const std::wstring t(text ? text : L"");
    switch (id) {
    case ID_PERIOD:
    case ID_PORT:
        NormalizeNumberField(id == ID_PORT ? m_pPort : m_pPeriod, t);
        break;
    case ID_SERVER:
        if (t.size() > 64 && m_pServer)
            m_pServer->SetWindowTextW(t.substr(0, 64).c_str());
        break;
    case ID_NEW:
    case ID_CONFIRM:
        m_pwd.OnTextChange(id, t.c_str());
        break;
    default:
        break;
    }
}

void CSysTabEventImp::GetManualTime(CSFTime& t) const
{
    _SF_SYSTEMTIME d{}, h{};
    if (m_pManualDate)
        m_pManualDate->GetDate(&d);
    if (m_pManualTime)
        m_pManualTime->GetTime(&h);
    t = CSFTime(d.wYear, d.wMonth, d.wDay, h.wHour, h.wMinute, h.wSecond);
}

void CSysTabEventImp::GetAutoRebootParam(AUTO_REBOOT_PARAM& p) const
{
    _SF_SYSTEMTIME h{};
    if (m_pRebootTime)
        m_pRebootTime->GetTime(&h);
    p.enable = m_pAutoReboot && m_pAutoReboot->GetCheck() ? 1 : 0;
    p.day = m_pRebootDay ? m_pRebootDay->GetCurSel() : 0;
    p.hour = h.wHour;
    p.minute = h.wMinute;
}

void CSysTabEventImp::FillDstTime(DST_TIME& t, bool end, bool weekMode) const
{
    CSFComboBox* month = end ? m_pEndMonth : m_pStartMonth;
    CSFComboBox* week = end ? m_pEndWeek : m_pStartWeek;
    CSFComboBox* day = end ? m_pEndDay : m_pStartDay;
    CSFDateTimeCtrl* time = end ? m_pEndTime : m_pStartTime;
    _SF_SYSTEMTIME h{};
    if (time)
        time->GetTime(&h);
    t.dwSize = sizeof(DST_TIME);
    t.nMonth = (month ? month->GetCurSel() : 0) + 1;
    const int dayIndex = day ? day->GetCurSel() : 0;
    if (weekMode) {
        const int w = week ? week->GetCurSel() : 0;
        t.nWeek = w == 4 ? -1 : w + 1;
        t.nDay = dayIndex;
    } else {
        t.nWeek = 0;
        t.nDay = dayIndex + 1;
    }
    t.nHour = h.wHour;
    t.nMinute = h.wMinute;
}

void CSysTabEventImp::GetDSTParam(DST_PARAM& p) const
{
    const bool week = m_pWeek && m_pWeek->GetCheck();
    p.dwSize = sizeof(DST_PARAM);
    p.bDSTEnable = m_pDstEnable && m_pDstEnable->GetCheck() ? 1 : 0;
    FillDstTime(p.stDSTStart, false, week);
    FillDstTime(p.stDSTEnd, true, week);
}

void CSysTabEventImp::GetNTPParam(NTP_PARAM& p) const
{
    p.bEnable = m_pNtpEnable && m_pNtpEnable->GetCheck() ? 1 : 0;
    const std::string server = SFWideToUtf8(sysui::EditText(m_pServer, 255));
    SafeStrCopy(p.szServer, sizeof p.szServer, server.c_str());
    p.nPort = FieldValue(m_pPort);
    p.nUpdatePeriod = FieldValue(m_pPeriod);
    p.nTimeZone = m_pTimeZone ? m_pTimeZone->GetCurSel() : 0;
}

void CSysTabEventImp::GetPasswordParam(char newPassword[33], char oldPassword[33]) const
{
    SafeStrCopy(newPassword, 33, m_szNewPassword);
    SafeStrCopy(oldPassword, 33, m_szOldPassword);
}
