// The apply progress dialog; see the header.
#include "Template/CTemplateApplyDlg.h"

#include <string>

#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Template/CTemplateConfigUILogic.h"
#include "Template/TemplateApplySkin.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFView.h"
#include "Widgets/SkinRecords.h"

SF_BEGIN_MESSAGE_MAP(CTemplateApplyDlg)
SF_ON_COMMAND(CTemplateApplyDlg::ID_OK, OnBtnOK)
SF_ON_COMMAND(CTemplateApplyDlg::ID_CANCEL, OnBtnCancel)
SF_END_MESSAGE_MAP()

CTemplateApplyDlg::CTemplateApplyDlg(std::weak_ptr<ITemplateApplyRun> owner) : m_wpOwner(std::move(owner)) {}

CTemplateApplyDlg::~CTemplateApplyDlg()
{
    DestroyTemplateApplyDialog(this, m_pDialog);
}

std::shared_ptr<CTemplateApplyDlg> CTemplateApplyDlg::Create(std::weak_ptr<ITemplateApplyRun> owner)
{
    auto dlg = std::make_shared<CTemplateApplyDlg>(std::move(owner));
    dlg->CreateDialogWindow();
    return dlg;
}

int CTemplateApplyDlg::CreateDialogWindow()
{
    CreateTemplateApplyDialog(this, m_wpOwner, L"Apply Template", 550, 200, m_pDialog);
    return 0;
}

int CTemplateApplyDlg::Dlg_OnInitDialog(bool create)
{
    if (!create || !m_pDialog)
        return 1;
    void* wnd = GetUIWnd();
    m_pText = CreateTemplateApplyText(this, RECT{130, 50, 430, 60}, wnd);

    m_pProgress = CreateSFProgressCtrl(nullptr);
    m_pProgress->Create(WS_VISIBLE, RECT{0, 0, 300, 20}, wnd, 0);

    m_pWait = CreateSFPictureEx(nullptr);
    m_pWait->Create(L"", WS_VISIBLE, RECT{0, 0, 30, 30}, wnd, 0);
    m_pWait->Load(L"waitting.gif", 1);
    m_pWait->ShowWindow(0);

    ImageButtonStyle button = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    m_pCancel = CreateSFButton(nullptr);
    m_pCancel->Create(Tr(L"Cancel"), WS_VISIBLE, RECT{0, 0, 80, 30}, wnd, ID_CANCEL);
    m_pCancel->SetSkin(&button);
    m_pOk = CreateSFButton(nullptr);
    m_pOk->Create(Tr(L"OK"), WS_VISIBLE, RECT{0, 0, 80, 30}, wnd, ID_OK);
    m_pOk->SetSkin(&button);
    Layout();
    return 1;
}

std::wstring CTemplateApplyDlg::PathText() const
{
    return SFUtf8ToWide(m_strTemplatePath);
}

void CTemplateApplyDlg::SetText(const std::wstring& text)
{
    if (m_pText)
        m_pText->SetStaticText(text.c_str());
}

std::wstring CTemplateApplyDlg::GetText() const
{
    wchar_t buf[2048] = {};
    if (m_pText)
        m_pText->GetStaticText(buf, 2047);
    return buf;
}

void CTemplateApplyDlg::UpdateConfirmText()
{
    std::wstring text = Tr(L"configure ");
    text += std::to_wstring(m_nDeviceCount);
    text += Tr(L" device(s) using template ");
    text += PathText();
    text += Tr(L", continue?");
    SetText(text);
}

void CTemplateApplyDlg::Layout()
{
    if (!m_pText || !m_pDialog)
        return;
    const RECT t = m_pText->GetGeometry();
    const int cx = (t.left + t.right) / 2;
    RECT progress{t.left, t.bottom + 20, t.left + 300, t.bottom + 40};
    RECT wait{cx, t.bottom + 20, cx + 30, t.bottom + 50};
    RECT ok{t.left + 220, t.bottom + 80, t.left + 300, t.bottom + 110};
    RECT cancel{t.left + 310, t.bottom + 80, t.left + 390, t.bottom + 110};
    RECT dialog{0, 0, 550, t.bottom + 150};
    m_pProgress->MoveWindow(&progress);
    m_pWait->MoveWindow(&wait);
    m_pOk->MoveWindow(&ok);
    m_pCancel->MoveWindow(&cancel);
    m_pDialog->MoveWindow(&dialog);
    m_pDialog->CenterWindow(nullptr);
}

void CTemplateApplyDlg::SetDeviceCount(int count)
{
    m_nDeviceCount = count;
    UpdateConfirmText();
    if (m_pProgress)
        m_pProgress->SetRange(0, count);
}

void CTemplateApplyDlg::SetTemplateName(std::string path)
{
    m_strTemplatePath = std::move(path);
    UpdateConfirmText();
}

void CTemplateApplyDlg::ResetState()
{
    UpdateConfirmText();
    if (!m_pProgress)
        return;
    m_pProgress->SetPos(0);
    m_pProgress->ShowWindow(0);
    m_pOk->EnableWindow(1);
    m_pCancel->EnableWindow(1);
    m_pWait->ShowWindow(0);
    Layout();
}

void CTemplateApplyDlg::SetProgress(int pos)
{
    if (m_pProgress)
        m_pProgress->SetPos(pos);
}

std::shared_ptr<CTemplateConfigUILogic> CTemplateApplyDlg::Control() const
{
    std::shared_ptr<ITemplateApplyRun> owner = m_wpOwner.lock();
    return owner ? owner->GetConfigUILogic() : nullptr;
}

void CTemplateApplyDlg::OnBtnOK()
{
    std::wstring text = std::to_wstring(m_nDeviceCount);
    text += Tr(L" device(s) are configuring template ");
    text += PathText();
    text += Tr(L", please wait......");
    SetText(text);
    Layout();
    m_pProgress->ShowWindow(1);
    // Disabled first: a run that ends at once closes the dialog inside StartConfig.
    m_pOk->EnableWindow(0);
    if (std::shared_ptr<CTemplateConfigUILogic> control = Control())
        control->StartConfig();
}

void CTemplateApplyDlg::OnBtnCancel()
{
    m_pCancel->EnableWindow(0);
    std::wstring text = Tr(L"devices are canceled configuration template ");
    text += PathText();
    text += Tr(L", please wait......");
    SetText(text);
    m_pProgress->ShowWindow(0);
    m_pWait->ShowWindow(1);
    Layout();
    std::shared_ptr<CTemplateConfigUILogic> control = Control();
    if (control)
        control->Stop();
    if (!control || !control->IsConfiguring())
        m_pDialog->MFCCancel();
}
