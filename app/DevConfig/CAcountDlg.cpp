// The device account dialog; see the header.
#include "DevConfig/CAcountDlg.h"
#include "Widgets/SFRect.h"
#include "Widgets/SkinRecords.h"

#include "Common/InputCheck.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

#include <cstring>

namespace {


std::wstring EditText(CSFEditCtrl* edit, int units)
{
    if (!edit)
        return std::wstring();
    std::wstring buf(size_t(units) + 1, L'\0');
    edit->GetWindowTextW(&buf[0], units + 1);
    buf.resize(std::wcslen(buf.c_str()));
    return buf;
}

} // namespace

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
    DialogStyle skin;
    FillFramedDialogSkin(skin);
    // A window of the view: it opens over the program, not wherever the screen's centre is.
    std::shared_ptr<CCodeVideoCfgEventImp> view = m_wpView.lock();
    m_pDialog = CreateSFDialog(this, view ? view->GetUIWnd() : nullptr, 0);
    if (!m_pDialog)
        return;
    m_pDialog->SetSkin(&skin);
    m_pDialog->MoveWindow(0, 0, 400, 200);
    m_pDialog->Create(L"Login", nullptr);
    m_pDialog->SetWindowTextW(Tr(L"Login"));
    m_pDialog->CenterWindow(nullptr);
    m_pDialog->SetDrawBackGround(1);
    m_pDialog->ShowWindow(0);
}

int CAcountDlg::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    RECT client{0, 0, 400, 200};
    if (m_pDialog)
        m_pDialog->GetDlgClientRect(&client);
    if (client.right <= client.left)
        client = RECT{0, 0, 400, 200};
    m_pCloseBtn = CreateSFButton(this);
    if (m_pCloseBtn) {
        ImageButtonStyle close =
            MakeButtonSkin(L"close-normal.png", L"close-hover.png", L"close-pressed.png", L"close-disabled.png");
        m_pCloseBtn->Create(L"", WS_VISIBLE, SFRectXYWH(client.right - 25, 2, 24, 24), wnd, ID_CLOSE);
        m_pCloseBtn->SetSkin(&close);
        m_pCloseBtn->SetToolTipText(Tr(L"Close"));
    }
    m_pUserLabel = CreateSFStatic(nullptr);
    if (m_pUserLabel) {
        m_pUserLabel->Create(Tr(L"Username"), WS_VISIBLE, SFRectXYWH(30, 65, 100, 25), wnd, 0);
        m_pUserLabel->SetTextAlignFlag(2);
    }
    m_pUserEdit = CreateSFEditCtrl(this);
    if (m_pUserEdit) {
        m_pUserEdit->Create(WS_VISIBLE | WS_TABSTOP, SFRectXYWH(150, 60, 200, 28), wnd, ID_USER, false);
        m_pUserEdit->SetSkin(L"bg_edit.png");
        m_pUserEdit->SetWindowTextW(L"");
    }
    m_pPasswordLabel = CreateSFStatic(nullptr);
    if (m_pPasswordLabel) {
        m_pPasswordLabel->Create(Tr(L"Password"), WS_VISIBLE, SFRectXYWH(30, 115, 100, 25), wnd, 0);
        m_pPasswordLabel->SetTextAlignFlag(2);
    }
    m_pPasswordEdit = CreateSFEditCtrl(this);
    if (m_pPasswordEdit) {
        m_pPasswordEdit->Create(WS_VISIBLE | WS_TABSTOP, SFRectXYWH(150, 110, 200, 28), wnd, ID_PASSWORD, true);
        m_pPasswordEdit->SetWindowTextW(SFUtf8ToWide(m_szPassword).c_str());
    }
    m_pOkBtn = CreateSFButton(this);
    if (m_pOkBtn) {
        ImageButtonStyle ok = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
        m_pOkBtn->Create(Tr(L"OK"), WS_VISIBLE | WS_TABSTOP,
                         SFRectXYWH(client.right - client.left - 80, client.bottom - 35, 72, 25), wnd, ID_OK);
        m_pOkBtn->SetSkin(&ok);
    }
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
    if (id == ID_USER && m_pUserEdit)
        CutEdit(m_pUserEdit, text, sizeof m_szUser);
    else if (id == ID_PASSWORD && m_pPasswordEdit)
        CutEdit(m_pPasswordEdit, text, sizeof m_szPassword);
}

void CAcountDlg::OnOK()
{
    void* parent = m_pDialog ? m_pDialog->GetUIWnd() : nullptr;
    std::wstring user = EditText(m_pUserEdit, 31);
    if (user.empty()) {
        std::wstring text = Tr(L"Please input default username.");
        ShowMessageBox(text.c_str(), std::wstring(Tr(L"Attention")).c_str(), parent, 0);
        return;
    }
    SafeStrCopy(m_szUser, sizeof m_szUser, SFWideToUtf8(user).c_str());
    if (!IsIdentChars(m_szUser, std::strlen(m_szUser))) {
        std::wstring text = Tr(L"Your input shall only contain numbers, letters and '_'.");
        ShowMessageBox(text.c_str(), std::wstring(Tr(L"Attention")).c_str(), parent, 0);
        return;
    }
    SafeStrCopy(m_szPassword, sizeof m_szPassword, SFWideToUtf8(EditText(m_pPasswordEdit, 63)).c_str());
    if (m_pPasswordEdit)
        m_pPasswordEdit->SetWindowTextW(L"");
    if (m_pUserEdit)
        m_pUserEdit->SetWindowTextW(L"");
    if (std::shared_ptr<CCodeVideoCfgEventImp> view = m_wpView.lock()) {
        view->SetDeviceAccount(m_szUser, m_szPassword);
        view->LoginSelectedDevice();
    }
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CAcountDlg::OnClose()
{
    if (m_pUserEdit)
        m_pUserEdit->SetWindowTextW(L"");
    if (m_pPasswordEdit)
        m_pPasswordEdit->SetWindowTextW(L"");
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
