// The device account dialog of the cloud upgrade page; see the header.
#include "CloudUpgrade/CCloudAcountDlg.h"

#include <cstring>
#include <string>

#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "Common/InputCheck.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

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

SF_BEGIN_MESSAGE_MAP(CCloudAcountDlg)
SF_ON_COMMAND(CCloudAcountDlg::ID_CLOSE, OnClose)
SF_ON_COMMAND(CCloudAcountDlg::ID_OK, OnOK)
SF_END_MESSAGE_MAP()

CCloudAcountDlg::CCloudAcountDlg(std::weak_ptr<CCloudUpgradeEventImp> page) : m_pPage(std::move(page)) {}

CCloudAcountDlg::~CCloudAcountDlg() {}

std::shared_ptr<CCloudAcountDlg> CCloudAcountDlg::Create(std::weak_ptr<CCloudUpgradeEventImp> page)
{
    auto dlg = std::make_shared<CCloudAcountDlg>(std::move(page));
    dlg->CreateDialogWindow();
    return dlg;
}

void CCloudAcountDlg::FillAcountDlgSkin(DialogStyle& style) { FillFramedDialogSkin(style); }

void CCloudAcountDlg::CreateDialogWindow()
{
    DialogStyle skin;
    FillAcountDlgSkin(skin);
    std::shared_ptr<CCloudUpgradeEventImp> page = m_pPage.lock();
    m_pDialog = CreateSFDialog(this, page ? page->GetUIWnd() : nullptr, 0);
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

int CCloudAcountDlg::Dlg_OnInitDialog(bool create)
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
    ImageButtonStyle close =
        MakeButtonSkin(L"close-normal.png", L"close-hover.png", L"close-pressed.png", L"close-disabled.png");
    m_pCloseBtn->SetSkin(&close);
    m_pCloseBtn->Create(L"", WS_VISIBLE, SFRectXYWH(client.right - 25, 2, 24, 24), wnd, ID_CLOSE);
    m_pCloseBtn->SetToolTipText(Tr(L"Close"));

    m_pUserLabel = CreateSFStatic(nullptr);
    m_pUserLabel->Create(Tr(L"Username"), WS_VISIBLE, SFRectXYWH(30, 65, 100, 25), wnd, 0);
    m_pUserLabel->SetTextAlignFlag(2);
    m_pUserEdit = CreateSFEditCtrl(this);
    m_pUserEdit->Create(WS_VISIBLE | WS_TABSTOP, SFRectXYWH(150, 60, 200, 28), wnd, ID_USER, false);
    m_pUserEdit->SetSkin(L"bg_edit.png");
    m_pUserEdit->SetWindowTextW(L"");

    m_pPasswordLabel = CreateSFStatic(nullptr);
    m_pPasswordLabel->Create(Tr(L"Password"), WS_VISIBLE, SFRectXYWH(30, 115, 100, 25), wnd, 0);
    m_pPasswordLabel->SetTextAlignFlag(2);
    m_pPasswordEdit = CreateSFEditCtrl(this);
    m_pPasswordEdit->Create(WS_VISIBLE | WS_TABSTOP, SFRectXYWH(150, 110, 200, 28), wnd, ID_PASSWORD, true);
    m_pPasswordEdit->SetSkin(L"bg_edit.png");
    m_pPasswordEdit->SetWindowTextW(SFUtf8ToWide(m_szPassword).c_str());
    m_pUserEdit->SetMaxLength(64);
    m_pPasswordEdit->SetMaxLength(16);

    m_pOkBtn = CreateSFButton(this);
    ImageButtonStyle ok = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    m_pOkBtn->SetSkin(&ok);
    m_pOkBtn->Create(Tr(L"OK"), WS_VISIBLE | WS_TABSTOP,
                     SFRectXYWH(client.right - client.left - 80, client.bottom - 35, 72, 25), wnd, ID_OK);
    return 1;
}

void CCloudAcountDlg::OnOK()
{
    void* parent = m_pDialog ? m_pDialog->GetUIWnd() : nullptr;
    std::wstring caption = Tr(L"Attention");
    const std::wstring user = EditText(m_pUserEdit, 31);
    if (user.empty()) {
        std::wstring text = Tr(L"Please input default username.");
        ShowMessageBox(text.c_str(), caption.c_str(), parent, 0);
        return;
    }
    std::memset(m_szUser, 0, sizeof m_szUser);
    SafeStrCopy(m_szUser, sizeof m_szUser, SFWideToUtf8(user).c_str());
    if (!IsIdentChars(m_szUser, std::strlen(m_szUser))) {
        std::wstring text = Tr(L"Your input shall only contain numbers, letters and '_'.");
        ShowMessageBox(text.c_str(), caption.c_str(), parent, 0);
        return;
    }
    std::memset(m_szPassword, 0, sizeof m_szPassword);
    SafeStrCopy(m_szPassword, sizeof m_szPassword, SFWideToUtf8(EditText(m_pPasswordEdit, 63)).c_str());
    if (m_pPasswordEdit)
        m_pPasswordEdit->SetWindowTextW(L"");
    if (m_pUserEdit)
        m_pUserEdit->SetWindowTextW(L"");
    if (std::shared_ptr<CCloudUpgradeEventImp> page = m_pPage.lock())
        page->CheckWithAccount(m_szUser, m_szPassword);
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CCloudAcountDlg::OnClose()
{
    if (m_pUserEdit)
        m_pUserEdit->SetWindowTextW(L"");
    if (m_pPasswordEdit)
        m_pPasswordEdit->SetWindowTextW(L"");
    if (m_pDialog)
        m_pDialog->MFCCancel();
}

void CCloudAcountDlg::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 13)
        OnOK();
    else if (key == 27)
        OnClose();
}
