#include "Widgets/CNoticeDlgEventImp.h"

#include "Common/Translate.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

SF_BEGIN_MESSAGE_MAP(CNoticeDlgEventImp)
SF_END_MESSAGE_MAP()

std::shared_ptr<CNoticeDlgEventImp> CNoticeDlgEventImp::Create(std::weak_ptr<ISFDialogEvent> owner)
{
    auto notice = std::make_shared<CNoticeDlgEventImp>(owner);
    DialogStyle style;
    BuildNoticeDlgSkin(style);
    std::shared_ptr<ISFDialogEvent> locked = owner.lock();
    notice->m_pDialog = CreateSFDialog(notice.get(), locked ? locked->GetUIWnd() : nullptr, 0);
    SetUpSkinnedDialog(notice->m_pDialog, style, L"Attention", 400, 250);
    return notice;
}

CNoticeDlgEventImp::CNoticeDlgEventImp(std::weak_ptr<ISFDialogEvent> owner) : m_owner(std::move(owner)) {}

CNoticeDlgEventImp::~CNoticeDlgEventImp()
{
    CSFDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(dialog);
}

void CNoticeDlgEventImp::SetText(const wchar_t* text)
{
    if (m_pText)
        m_pText->SetStaticText(text);
}

int CNoticeDlgEventImp::IsNeverNotify() const
{
    return m_pNeverNotify ? m_pNeverNotify->GetCheck() : 0;
}

int CNoticeDlgEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    m_pText = CreateSFStatic(nullptr);
    m_pText->SetTextAlignFlag(0x2014);
    m_pText->SetTextSize(16);
    m_pText->Create(Tr(L""), 0x10010000, RECT{20, 50, 380, 150}, wnd, static_cast<UINT>(-1));

    m_pNeverNotify = CreateSFRadioBox(this);
    ImageRadioBox check =
        MakeRadioSkin(L"Select_Check.png", L"Select_unCheck.png", L"Select_Unable.png", L"Select_Unable.png");
    m_pNeverNotify->SetSkin(&check);
    m_pNeverNotify->Create(Tr(L"Never notify"), 0x10010000, RECT{260, 160, 380, 186}, wnd, 0);
    m_pNeverNotify->SetTextOffset(10);
    m_pNeverNotify->SetTextAlign(0);

    m_pOk = CreateTextButton(nullptr, L"OK", 0x10010000, RECT{20, 202, 100, 230}, wnd, 1);
    m_pCancel = CreateTextButton(nullptr, L"Cancel", 0x10010000, RECT{300, 202, 380, 230}, wnd, 2);
    m_pClose = CreateCloseButton(this, wnd, 400, 2);
    return 1;
}

void CNoticeDlgEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (!m_pDialog)
        return;
    if (key == 13)
        m_pDialog->MFCOK();
    else if (key == 27)
        m_pDialog->MFCCancel();
}
