#include "Widgets/CNoticeDlgEventImp.h"

#include "Common/Translate.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

SF_BEGIN_MESSAGE_MAP(CNoticeDlgEventImp)
SF_END_MESSAGE_MAP()

std::shared_ptr<CNoticeDlgEventImp> CNoticeDlgEventImp::Create(std::weak_ptr<ISFDialogEvent> owner)
{
    auto notice = std::make_shared<CNoticeDlgEventImp>(owner);
    DialogStyle style;
    BuildNoticeDlgSkin(style);
    std::shared_ptr<ISFDialogEvent> locked = owner.lock();
    notice->m_pDialog = CreateSFDialog(notice.get(), locked ? locked->GetUIWnd() : nullptr, 0);
    CSFDialog* dialog = notice->m_pDialog;
    dialog->SetSkin(&style);
    dialog->Create(L"Details", nullptr);
    dialog->SetWindowTextW(Tr(L"Attention"));
    dialog->MoveWindow(0, 0, 400, 250);
    dialog->CenterWindow(nullptr);
    dialog->SetDrawBackGround(1);
    dialog->ShowWindow(0);
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
    ImageRadioBox check;
    check.strCheckedNormal = check.strCheckedHover = check.strCheckedPressed = L"Select_Check.png";
    check.strUncheckedNormal = check.strUncheckedHover = check.strUncheckedPressed = L"Select_unCheck.png";
    check.strCheckedDisabled = check.strUncheckedDisabled = L"Select_Unable.png";
    m_pNeverNotify->SetSkin(&check);
    m_pNeverNotify->Create(Tr(L"Never notify"), 0x10010000, RECT{260, 160, 380, 186}, wnd, 0);
    m_pNeverNotify->SetTextOffset(10);
    m_pNeverNotify->SetTextAlign(0);

    ImageButtonStyle buttonSkin;
    buttonSkin.strNormal = L"btn_nor.png";
    buttonSkin.strHover = L"btn_over.png";
    buttonSkin.strPressed = L"btn_down.png";
    buttonSkin.strDisabled = L"btn_dis.png";
    m_pOk = CreateSFButton(nullptr);
    m_pOk->SetSkin(&buttonSkin);
    m_pOk->Create(Tr(L"OK"), 0x10010000, RECT{20, 202, 100, 230}, wnd, 1);
    m_pCancel = CreateSFButton(nullptr);
    m_pCancel->SetSkin(&buttonSkin);
    m_pCancel->Create(Tr(L"Cancel"), 0x10010000, RECT{300, 202, 380, 230}, wnd, 2);

    m_pClose = CreateSFButton(this);
    m_pClose->Create(L"", 0x10000000, RECT{375, 2, 399, 26}, wnd, 2);
    ImageButtonStyle closeSkin;
    closeSkin.strNormal = L"close-normal.png";
    closeSkin.strHover = L"close-hover.png";
    closeSkin.strPressed = L"close-pressed.png";
    closeSkin.strDisabled = L"close-disabled.png";
    m_pClose->SetSkin(&closeSkin);
    m_pClose->SetToolTipText(Tr(L"Close"));
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
