// The device account dialog; see the header.
#include "DevConfig/CAcountDlg.h"

#include <cstring>
#include <string>

#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"

SF_BEGIN_MESSAGE_MAP(CAcountDlg)
SF_ON_COMMAND(CAcountDlg::ID_CLOSE, OnClose)
SF_ON_COMMAND(CAcountDlg::ID_OK, OnOK)
SF_END_MESSAGE_MAP()

CAcountDlg::CAcountDlg(std::weak_ptr<CCodeVideoCfgEventImp> view) : m_wpView(std::move(view)) {}

CAcountDlg::~CAcountDlg() {}

std::shared_ptr<CAcountDlg> CAcountDlg::Show(std::weak_ptr<CCodeVideoCfgEventImp> view)
{
    auto dlg = std::make_shared<CAcountDlg>(std::move(view));
    dlg->CreateWindow();
    return dlg;
}

void CAcountDlg::CreateWindow()
{
    // A window of the view: it opens over the program, not wherever the screen's centre is.
    std::shared_ptr<CCodeVideoCfgEventImp> view = m_wpView.lock();
    CreateAccountDialog(this, view ? view->GetUIWnd() : nullptr, m_pDialog);
}

int CAcountDlg::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    // Lengths are held by CutEdit, in bytes of the record.
    CreateAccountControls(m_form, this, this, m_pDialog, GetUIWnd(), m_szPassword, AccountFormEdits());
    return 1;
}

void CAcountDlg::CutEdit(CSFEditCtrl* edit, const wchar_t* text, size_t bytes)
{
    std::string utf8 = SFWideToUtf8(text ? text : L"");
    std::string cut(bytes, '\0');
    SafeStrCopy(&cut[0], bytes, utf8.c_str());
    cut.resize(std::strlen(cut.c_str()));
    // A cut inside a multi-byte character drops the partial character.
    size_t lead = cut.size();
    while (lead > 0 && (static_cast<unsigned char>(cut[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead > 0) {
        const unsigned char c = static_cast<unsigned char>(cut[lead - 1]);
        const size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (cut.size() - (lead - 1) < need)
            cut.resize(lead - 1);
    }
    std::wstring back = SFUtf8ToWide(cut);
    if (back == std::wstring(text ? text : L""))
        return; // unchanged: no second round through the handler
    m_bCutting = true;
    edit->SetWindowTextW(back.c_str());
    m_bCutting = false;
}

void CAcountDlg::EDIT_OnTextChange(UINT id, wchar_t* text)
{
    if (m_bCutting)
        return;
    if (id == ID_USER && m_form.userEdit)
        CutEdit(m_form.userEdit, text, sizeof m_szUser);
    else if (id == ID_PASSWORD && m_form.passwordEdit)
        CutEdit(m_form.passwordEdit, text, sizeof m_szPassword);
}

void CAcountDlg::OnOK()
{
    if (!ReadAccountForm(m_form, m_pDialog ? m_pDialog->GetUIWnd() : nullptr, m_szUser, m_szPassword))
        return;
    ClearAccountForm(m_form);
    if (std::shared_ptr<CCodeVideoCfgEventImp> view = m_wpView.lock()) {
        view->SetDeviceAccount(m_szUser, m_szPassword);
        view->LoginSelectedDevice();
    }
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CAcountDlg::OnClose()
{
    ClearAccountForm(m_form);
    if (m_pDialog)
        m_pDialog->MFCCancel();
}

void CAcountDlg::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 27)
        OnClose();
    else if (key == 13)
        OnOK();
}
