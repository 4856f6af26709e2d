// The device account dialog of the cloud upgrade page; see the header.
#include "CloudUpgrade/CCloudAcountDlg.h"

#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

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
    std::shared_ptr<CCloudUpgradeEventImp> page = m_pPage.lock();
    CreateAccountDialog(this, page ? page->GetUIWnd() : nullptr, m_pDialog);
}

int CCloudAcountDlg::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    AccountFormEdits look;
    look.skinPassword = true;
    look.limitLengths = true;
    CreateAccountControls(m_form, this, this, m_pDialog, GetUIWnd(), m_szPassword, look);
    return 1;
}

void CCloudAcountDlg::OnOK()
{
    if (!ReadAccountForm(m_form, m_pDialog ? m_pDialog->GetUIWnd() : nullptr, m_szUser, m_szPassword))
        return;
    ClearAccountForm(m_form);
    if (std::shared_ptr<CCloudUpgradeEventImp> page = m_pPage.lock())
        page->CheckWithAccount(m_szUser, m_szPassword);
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CCloudAcountDlg::OnClose()
{
    ClearAccountForm(m_form);
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
