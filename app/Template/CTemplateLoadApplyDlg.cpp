// The export dialog; see the header.
#include "Template/CTemplateLoadApplyDlg.h"

#include <QFontMetrics>
#include <algorithm>
#include <QWidget>

#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Main/DeviceListSkins.h"
#include "Template/CTemplateLoadEventImp.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFPictureEx.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFTypes.h"
#include "Widgets/SkinRecords.h"

namespace {

constexpr int kMessageLeft = 130;
constexpr int kMessageTop = 50;
constexpr int kMessageWidth = 300;
constexpr int kDialogWidth = 550;

} // namespace

SF_BEGIN_MESSAGE_MAP(CTemplateLoadApplyDlg)
SF_ON_COMMAND(CTemplateLoadApplyDlg::ID_OK, OnStart)
SF_ON_COMMAND(CTemplateLoadApplyDlg::ID_CANCEL, OnCancelExport)
SF_END_MESSAGE_MAP()

CTemplateLoadApplyDlg::CTemplateLoadApplyDlg(std::weak_ptr<CTemplateLoadEventImp> page) : m_wpPage(std::move(page)) {}

CTemplateLoadApplyDlg::~CTemplateLoadApplyDlg()
{
    // A window that went with its parent has already told us (GetUIWnd is then null).
    CSFDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    if (GetUIWnd())
        DestroySFDialog(dialog);
}

std::shared_ptr<CTemplateLoadApplyDlg> CTemplateLoadApplyDlg::Create(std::weak_ptr<CTemplateLoadEventImp> page)
{
    auto dlg = std::make_shared<CTemplateLoadApplyDlg>(page);
    std::shared_ptr<CTemplateLoadEventImp> owner = page.lock();
    dlg->Init(owner ? owner->GetUIWnd() : nullptr);
    return dlg;
}

void CTemplateLoadApplyDlg::FillDialogStyle(DialogStyle* style)
{
    if (style)
        FillCommonDialogSkin(*style);
}

void CTemplateLoadApplyDlg::Init(void* parent)
{
    DialogStyle style;
    FillDialogStyle(&style);
    m_pDialog = CreateSFDialog(this, parent, 0);
    SetUpSkinnedDialog(m_pDialog, style, L"Export Template", kDialogWidth, 200);
}

int CTemplateLoadApplyDlg::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    m_pMessage = CreateSFStatic(this);
    if (m_pMessage) {
        m_pMessage->Create(L"", WS_VISIBLE,
                           SFRectLTRB(kMessageLeft, kMessageTop, kMessageLeft + kMessageWidth, kMessageTop + 10), wnd,
                           0);
        m_pMessage->SetTextAlignFlag(4);
        m_pMessage->SetWordWrap(1);
        m_pMessage->SetWrapAnywhere(1);
    }
    m_pProgress = CreateSFProgressCtrl(nullptr);
    if (m_pProgress)
        m_pProgress->Create(WS_VISIBLE, SFRectLTRB(0, 0, 300, 20), wnd, 0);
    m_pWait = CreateSFPictureEx(nullptr);
    if (m_pWait) {
        m_pWait->Create(L"", 0, SFRectLTRB(0, 0, 30, 30), wnd, 0);
        m_pWait->Load(L"waitting.gif", 0);
        m_pWait->ShowWindow(0);
    }
    m_pCancelBtn = CreateTextButton(this, L"Cancel", WS_VISIBLE | WS_TABSTOP, SFRectLTRB(0, 0, 80, 30), wnd, ID_CANCEL);
    m_pOkBtn = CreateTextButton(this, L"OK", WS_VISIBLE | WS_TABSTOP, SFRectLTRB(0, 0, 80, 30), wnd, ID_OK);
    Layout();
    return 1;
}

void CTemplateLoadApplyDlg::Layout()
{
    if (!m_pMessage)
        return;
    // The message grows downwards with its wrapped text; everything below follows it.
    int height = 10;
    if (auto* label = dynamic_cast<QWidget*>(m_pMessage)) {
        const QString text = QString::fromStdWString(GetMessageText());
        const QRect need =
            label->fontMetrics().boundingRect(QRect(0, 0, kMessageWidth, 10000), Qt::TextWordWrap | Qt::TextWrapAnywhere,
                                              text);
        height = std::max(height, need.height() + 4);
    }
    const int left = kMessageLeft;
    const int bottom = kMessageTop + height;
    RECT message = SFRectLTRB(left, kMessageTop, left + kMessageWidth, bottom);
    m_pMessage->MoveWindow(&message);
    RECT progress = SFRectLTRB(left, bottom + 20, left + 300, bottom + 40);
    if (m_pProgress)
        m_pProgress->MoveWindow(&progress);
    const int centre = left + kMessageWidth / 2;
    RECT wait = SFRectLTRB(centre, bottom + 20, centre + 30, bottom + 50);
    if (m_pWait)
        m_pWait->MoveWindow(&wait);
    RECT ok = SFRectLTRB(left + 220, bottom + 80, left + 300, bottom + 110);
    if (m_pOkBtn)
        m_pOkBtn->MoveWindow(&ok);
    RECT cancel = SFRectLTRB(left + 310, bottom + 80, left + 390, bottom + 110);
    if (m_pCancelBtn)
        m_pCancelBtn->MoveWindow(&cancel);
    if (m_pDialog) {
        m_pDialog->MoveWindow(0, 0, kDialogWidth, bottom + 150);
        m_pDialog->CenterWindow(nullptr);
    }
}

std::wstring CTemplateLoadApplyDlg::GetMessageText() const
{
    if (!m_pMessage)
        return std::wstring();
    wchar_t text[1024] = {};
    m_pMessage->GetStaticText(text, 1023);
    return text;
}

void CTemplateLoadApplyDlg::SetMessage(const wchar_t* first, const wchar_t* last)
{
    std::wstring text = Tr(first);
    const SF_SOFT_BASE::CSFStreamConvert device(m_strDevice.c_str(), SF_SOFT_BASE::SF_CP_ACP);
    if (device.GetWideChar())
        text += device.GetWideChar();
    text += Tr(last);
    if (m_pMessage)
        m_pMessage->SetStaticText(text.c_str());
    Layout();
}

void CTemplateLoadApplyDlg::SetStepCount(int steps)
{
    m_nStepCount = steps;
    ShowConfirmText();
    if (m_pProgress)
        m_pProgress->SetRange(0, steps);
}

void CTemplateLoadApplyDlg::SetDeviceName(const std::string& device)
{
    m_strDevice = device;
    ShowConfirmText();
}

void CTemplateLoadApplyDlg::ShowConfirmText() { SetMessage(L"Export template from ", L", continue?"); }

void CTemplateLoadApplyDlg::ResetForConfirm()
{
    ShowConfirmText();
    if (m_pProgress) {
        m_pProgress->SetPos(0);
        m_pProgress->ShowWindow(0);
    }
    if (m_pOkBtn)
        m_pOkBtn->EnableWindow(1);
    if (m_pCancelBtn)
        m_pCancelBtn->EnableWindow(1);
    if (m_pWait)
        m_pWait->ShowWindow(0);
    Layout();
}

void CTemplateLoadApplyDlg::SetProgress(int step)
{
    if (m_pProgress)
        m_pProgress->SetPos(step);
}

void CTemplateLoadApplyDlg::OnStart()
{
    std::shared_ptr<CTemplateLoadEventImp> page = m_wpPage.lock();
    if (!page || page->IsExporting())
        return;
    SetMessage(L"Export template from ", L", please wait......");
    if (m_pProgress)
        m_pProgress->ShowWindow(1);
    page->Task_StartgetConfig();
    if (m_pOkBtn)
        m_pOkBtn->EnableWindow(0);
}

void CTemplateLoadApplyDlg::OnCancelExport()
{
    if (m_pCancelBtn)
        m_pCancelBtn->EnableWindow(0);
    SetMessage(L"Device is canceled export template from", L", please wait......");
    if (m_pProgress)
        m_pProgress->ShowWindow(0);
    if (m_pWait)
        m_pWait->ShowWindow(1);
    Layout();
    std::shared_ptr<CTemplateLoadEventImp> page = m_wpPage.lock();
    if (page)
        page->CancelExport();
    if ((!page || !page->IsExporting()) && m_pDialog)
        m_pDialog->MFCCancel();
}
