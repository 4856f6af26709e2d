#include "SysConfig/CModifyPasswordDlg.h"

#include <cstring>

#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"


namespace {
enum { ID_CLOSE = 502, ID_OK = 505, ID_OLD = 1150, ID_NEW = 1151, ID_CONFIRM = 1152 };
enum { kWidth = 480, kHeight = 380 };
} // namespace

SF_BEGIN_MESSAGE_MAP(CModifyPasswordDlg)
SF_ON_COMMAND(ID_CLOSE, OnClose)
SF_ON_COMMAND(ID_OK, OnOK)
SF_END_MESSAGE_MAP()

CModifyPasswordDlg::CModifyPasswordDlg(std::weak_ptr<ISFDialogEvent> owner) : m_wpOwner(std::move(owner)) {}

CModifyPasswordDlg::~CModifyPasswordDlg()
{
    CSFDialog* d = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(d);
}

std::shared_ptr<CModifyPasswordDlg> CModifyPasswordDlg::Create(std::weak_ptr<ISFDialogEvent> owner, void* parent)
{
    auto dlg = std::make_shared<CModifyPasswordDlg>(owner);
    std::shared_ptr<ISFDialogEvent> locked = owner.lock();
    dlg->Init(parent ? parent : locked ? locked->GetUIWnd() : nullptr);
    return dlg;
}

void CModifyPasswordDlg::Init(void* parent)
{
    m_pDialog = sysui::CreateStandardDialog(this, parent, L"Batch Modify Password", kWidth, kHeight);
    if (!m_pDialog)
        return;
}

int CModifyPasswordDlg::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    const int R = kWidth, B = kHeight;
    auto edit = [&](UINT id, RECT rc, int max) {
        CSFEditCtrl* e = CreateSFEditCtrl(this);
        if (e) {
            e->Create(0x50810000, rc, wnd, id, true);
            sysui::FrameEdit(e);
            e->SetMaxLength(max);
        }
        return e;
    };
    m_pClose = sysui::CloseButton(R, wnd);
    m_pCountLabel = sysui::Label(L"Selected number of devices:", SFRectLTRB(20, B - 30, 185, B), wnd, 2 | 4 | 0x20);
    m_pCountValue = sysui::Label(L"0", SFRectLTRB(190, B - 37, 230, B - 7), wnd, 1 | 4 | 0x20);
    if (m_pCountValue) {
        m_pCountValue->SetTextBold(1);
        m_pCountValue->SetTextSize(25);
        m_pCountValue->SetTextColor(0xEF882D);
    }
    m_pOldLabel = sysui::Label(L"Old Password", SFRectLTRB(25, 70, 145, 95), wnd, 2 | 4 | 0x20);
    m_pOldEdit = edit(ID_OLD, SFRectLTRB(165, 65, 355, 93), 64);
    m_pNewLabel = sysui::Label(L"New Password", SFRectLTRB(25, 120, 145, 145), wnd, 2 | 4 | 0x20);
    m_pwd.newEdit = edit(ID_NEW, SFRectLTRB(165, 115, 355, 143), 32);
    m_pwd.newError = sysui::Label(L"input error", SFRectLTRB(360, 117, 440, 137), wnd, 0, sysui::kRed, true);
    m_pwd.BuildBars(wnd, 165, 158, 151);
    m_pConfirmLabel = sysui::Label(L"Confirm Password", SFRectLTRB(10, 205, 145, 230), wnd, 2 | 4 | 0x20);
    m_pwd.confirmEdit = edit(ID_CONFIRM, SFRectLTRB(165, 201, 355, 229), 32);
    m_pwd.confirmError = sysui::Label(L"input error", SFRectLTRB(360, 203, 440, 223), wnd, 0, sysui::kRed, true);
    m_pRule = sysui::Label(L"Please input 8~32 bytes from letters or numbers or symbols.", SFRectLTRB(165, 239, 425, 299),
                           wnd, 0x10, sysui::kHintGrey, true);
    m_pNote = sysui::Label(L"*After you have set new password, please set password again in Search Setup.",
                           SFRectLTRB(20, B - 85, 470, B - 45), wnd, 0x10, sysui::kNoteRed, true);
    m_pOk = sysui::Button(L"OK", SFRectLTRB(R - 100, B - 35, R - 28, B - 10), wnd, ID_OK, sysui::PlainButtonSkin());
    m_pwd.Clear();
    return 1;
}

void CModifyPasswordDlg::ResetForSingleDevice()
{
    if (m_pOldEdit)
        m_pOldEdit->SetWindowTextW(L"");
    if (m_pwd.newEdit)
        m_pwd.newEdit->SetWindowTextW(L"");
    if (m_pwd.confirmEdit)
        m_pwd.confirmEdit->SetWindowTextW(L"");
    if (m_pDialog)
        m_pDialog->SetWindowTextW(Tr(L"Modify Password"));
    if (m_pCountLabel)
        m_pCountLabel->ShowWindow(0);
    if (m_pCountValue)
        m_pCountValue->ShowWindow(0);
}

void CModifyPasswordDlg::GetPasswords(char newPassword[33], char oldPassword[64]) const
{
    SafeStrCopy(newPassword, 33, m_szNewPassword);
    SafeStrCopy(oldPassword, 64, m_szOldPassword);
}

bool CModifyPasswordDlg::CheckPasswords()
{
    const std::wstring old = sysui::EditText(m_pOldEdit, 63);
    const std::wstring pwd = sysui::EditText(m_pwd.newEdit, 32);
    const std::wstring confirm = sysui::EditText(m_pwd.confirmEdit, 32);
    if (const wchar_t* problem = sysui::PasswordProblem(pwd, confirm, old, true)) {
        ShowMessageBox(Tr(problem), Tr(L"Attention"), GetUIWnd(), 0);
        return false;
    }
    SafeStrCopy(m_szOldPassword, sizeof m_szOldPassword, SFWideToUtf8(old).c_str());
    SafeStrCopy(m_szNewPassword, sizeof m_szNewPassword, SFWideToUtf8(pwd).c_str());
    return true;
}

void CModifyPasswordDlg::OnOK()
{
    if (CheckPasswords() && m_pDialog)
        m_pDialog->MFCOK();
}

void CModifyPasswordDlg::OnClose()
{
    if (m_pDialog)
        m_pDialog->MFCCancel();
}

void CModifyPasswordDlg::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 13)
        OnOK();
    else if (key == 27)
        OnClose();
}

void CModifyPasswordDlg::EDIT_OnTextChange(UINT id, wchar_t* text) { m_pwd.OnTextChange(id, text); }
