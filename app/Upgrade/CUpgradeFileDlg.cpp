// The batch upgrade dialog; see the header.
#include "Upgrade/CUpgradeFileDlg.h"

#include <QString>

#include <cstring>

#include "Common/Translate.h"
#include "Main/DeviceListSkins.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Upgrade/CheckFirmwareHeader.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFSkinStyle.h"

namespace {

enum { ID_CLOSE = 502, ID_OK = 505, ID_BROWSE = 1104 };
constexpr int kPathChars = 259;

} // namespace

SF_BEGIN_MESSAGE_MAP(CUpgradeFileDlg)
SF_ON_COMMAND(ID_CLOSE, OnBtnClose)
SF_ON_COMMAND(ID_OK, OnBtnOK)
SF_ON_COMMAND(ID_BROWSE, OnBtnBrowse)
SF_END_MESSAGE_MAP()

CUpgradeFileDlg::CUpgradeFileDlg(std::weak_ptr<CUpgradeEventImp> page) : m_wpPage(std::move(page)) {}

CUpgradeFileDlg::~CUpgradeFileDlg()
{
    CSFDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(dialog);
}

std::shared_ptr<CUpgradeFileDlg> CUpgradeFileDlg::Create(std::weak_ptr<CUpgradeEventImp> page)
{
    auto dlg = std::make_shared<CUpgradeFileDlg>(std::move(page));
    dlg->Init();
    return dlg;
}

void CUpgradeFileDlg::Init()
{
    std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
    m_pDialog = CreateSFDialog(this, page ? page->GetUIWnd() : nullptr, 0);
    DialogStyle style;
    FillFramedDialogSkin(style);
    SetUpSkinnedDialog(m_pDialog, style, L"Batch Upgrade", 600, 220, DialogSizing::BeforeCreate);
}

int CUpgradeFileDlg::Dlg_OnInitDialog(bool create)
{
    if (!create || !m_pDialog)
        return 1;
    void* wnd = GetUIWnd();
    RECT client = {0, 0, 600, 220};
    m_pDialog->GetDlgClientRect(&client);
    const int w = client.right - client.left, h = client.bottom - client.top;

    m_pCloseBtn = CreateCloseButton(nullptr, wnd, w, ID_CLOSE);

    auto label = [&](const wchar_t* text, RECT rc, UINT align) {
        CSFStatic* s = CreateSFStatic(nullptr);
        s->Create(Tr(text), WS_VISIBLE, rc, wnd, 0);
        s->SetTextAlignFlag(align);
        return s;
    };
    m_pCountLabel = label(L"Selected number of devices:", RECT{20, h - 45, 250, h - 15}, 2 | 4);
    m_pCountText = label(L"0", RECT{250, h - 45, 310, h - 15}, 1 | 4);
    m_pCountText->SetTextBold(1);
    m_pCountText->SetTextColor(0xEF882D);
    m_pCountText->SetTextSize(25);
    m_pPathLabel = label(L"Upgrade File Path:", RECT{60, 100, 160, 125}, 2 | 4);

    m_pPathEdit = CreateSFEditCtrl(this);
    m_pPathEdit->SetSkin(L"bg_edit.png");
    m_pPathEdit->Create(WS_VISIBLE, RECT{180, 95, 430, 123}, wnd, 0, false);
    m_pPathEdit->SetMaxLength(kPathChars);

    m_pBrowseBtn = CreateTextButton(nullptr, L"Browse", WS_VISIBLE, RECT{440, 95, 512, 120}, wnd, ID_BROWSE);
    m_pOkBtn = CreateTextButton(nullptr, L"OK", WS_VISIBLE, RECT{w - 100, h - 35, w - 28, h - 10}, wnd, ID_OK);
    EnableOk(false);
    return 1;
}

void CUpgradeFileDlg::EnableOk(bool enable)
{
    m_bOkEnabled = enable;
    if (m_pOkBtn)
        m_pOkBtn->EnableWindow(enable ? 1 : 0);
}

void CUpgradeFileDlg::SetDeviceCount(int count)
{
    if (m_pCountText)
        m_pCountText->SetStaticText(std::to_wstring(count).c_str());
    if (m_pPathEdit)
        m_pPathEdit->SetWindowTextW(L"");
    EnableOk(false);
}

std::wstring CUpgradeFileDlg::GetPathText() const
{
    wchar_t buffer[kPathChars + 1] = {};
    if (m_pPathEdit)
        m_pPathEdit->GetWindowTextW(buffer, kPathChars);
    return buffer;
}

void CUpgradeFileDlg::Dlg_OnCancel()
{
    if (m_pPathEdit)
        m_pPathEdit->SetWindowTextW(L"");
}

void CUpgradeFileDlg::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 27 && m_pDialog)
        m_pDialog->MFCCancel();
    else if (key == 13 && m_bOkEnabled)
        OnBtnOK();
}

void CUpgradeFileDlg::OnBtnClose()
{
    if (m_pDialog)
        m_pDialog->MFCCancel();
}

void CUpgradeFileDlg::OnBtnBrowse()
{
    wchar_t file[520] = {};
    if (!SFFileDialog(nullptr, file, 519, 1, nullptr, nullptr, nullptr, 0, L"*.bin", GetUIWnd()))
        return;
    const FirmwareCheck result = CheckFirmwareFile(QString::fromWCharArray(file).toStdString());
    if (!CheckFirmwareHeader(file, GetUIWnd())) {
        // Only a file without a known signature withdraws OK; a short or unreadable one leaves it.
        if (result == FirmwareCheck::NotFirmware)
            EnableOk(false);
        return;
    }
    if (m_pPathEdit)
        m_pPathEdit->SetWindowTextW(file);
    EnableOk(true);
}

void CUpgradeFileDlg::OnBtnOK()
{
    std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
    if (!page)
        return;
    // A batch may have started meanwhile from a row: the dialog is modeless.
    if (page->IsUpgrading()) {
        ShowMessageBox(Tr(L"Now upgrading,please wait..."), Tr(L"Attention"), GetUIWnd(), 0);
        return;
    }
    // The box can be edited after Browse: what is sent is checked again.
    const std::wstring path = GetPathText();
    if (!CheckFirmwareHeader(path.c_str(), GetUIWnd())) {
        EnableOk(false);
        return;
    }
    const std::string narrow = QString::fromStdWString(path).toStdString();
    std::memset(m_szPath, 0, sizeof(m_szPath));
    std::strncpy(m_szPath, narrow.c_str(), sizeof(m_szPath) - 1);
    if (m_pDialog)
        m_pDialog->ShowWindow(0);
    page->StartBatchUpgrade(m_szPath);
}
