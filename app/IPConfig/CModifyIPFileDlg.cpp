// Idle stand-in of the IP address dialog; see the header.
#include "IPConfig/CModifyIPFileDlg.h"

#include "Common/Translate.h"
#include "Main/CSearchDevEventImp.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

CModifyIPFileDlg::CModifyIPFileDlg(std::weak_ptr<CSearchDevEventImp> owner) : m_wpOwner(std::move(owner)) {}

CModifyIPFileDlg::~CModifyIPFileDlg()
{
    CSFDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(dialog);
}

std::shared_ptr<CModifyIPFileDlg> CModifyIPFileDlg::Create(std::weak_ptr<CSearchDevEventImp> owner)
{
    auto dlg = std::make_shared<CModifyIPFileDlg>(owner);
    std::shared_ptr<CSearchDevEventImp> page = owner.lock();
    DialogStyle style;
    BuildMsgDlgSkin(style);
    dlg->m_pDialog = CreateSFDialog(dlg.get(), page ? page->GetUIWnd() : nullptr, 0);
    dlg->m_pDialog->SetSkin(&style);
    dlg->m_pDialog->Create(L"IP Address Modify", nullptr);
    dlg->m_pDialog->SetWindowTextW(Tr(L"IP Address Modify"));
    dlg->m_pDialog->MoveWindow(0, 0, 600, 320);
    dlg->m_pDialog->CenterWindow(nullptr);
    dlg->m_pDialog->SetDrawBackGround(1);
    dlg->m_pDialog->ShowWindow(0);
    return dlg;
}

int CModifyIPFileDlg::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    CSFButton* close = CreateSFButton(this);
    ImageButtonStyle skin;
    skin.strNormal = L"close-normal.png";
    skin.strHover = L"close-hover.png";
    skin.strPressed = L"close-pressed.png";
    skin.strDisabled = L"close-disabled.png";
    close->SetSkin(&skin);
    close->Create(L"", WS_VISIBLE, RECT{575, 2, 599, 26}, GetUIWnd(), 2);
    close->SetToolTipText(Tr(L"Close"));
    return 1;
}

void CModifyIPFileDlg::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 27 && m_pDialog)
        m_pDialog->MFCCancel();
}
