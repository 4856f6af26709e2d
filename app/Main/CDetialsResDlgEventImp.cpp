#include "Main/CDetialsResDlgEventImp.h"

#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Main/CMainFrameEventImp.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

SF_BEGIN_MESSAGE_MAP(CDetialsResDlgEventImp)
SF_ON_COMMAND(600, OnNothing)
SF_END_MESSAGE_MAP()

namespace {

// Texts of the account errors 17 to 24.
const wchar_t kAccountResults[8][128] = {
    L"Incorrect password.",         L"Account doesn't exist.",       L"Login over time.",
    L"Account has been registered.", L"Account has been locked.",    L"Account is in the blacklist.",
    L"System is busy.",             L"Connection failed.",
};

void BuildDetailsDlgSkin(DialogStyle& style) { BuildNoticeDlgSkin(style); }

} // namespace

const wchar_t* CDetialsResDlgEventImp::ConfigTypeText(int type)
{
    switch (type) {
    case 0:
        return L"Sync PC";
    case 1:
        return L"Manual Sync";
    case 2:
        return L"Auto Reboot";
    case 3:
        return L"Manual Reboot";
    case 4:
        return L"Default Device";
    case 5:
        return L"DST Save";
    case 6:
        return L"NTP Save";
    case 7:
    case 8:
        return L"Modify Password";
    default:
        return L"";
    }
}

const wchar_t* CDetialsResDlgEventImp::ConfigResultText(int code)
{
    switch (code) {
    case 1:
        return L"Success";
    case 2:
        return L"Login Error";
    case 10:
        return L"Security Code is invalid";
    case 11:
        return L"Can't find device's SN";
    case 12:
        return L"Encryption data failed";
    case 13:
        return L"New password illegal";
    case 14:
        return L"Security code error";
    case 15:
        return L"Not same factory,set failed";
    case 16:
        return L"Time out";
    default:
        break;
    }
    // Only codes inside the table read it; anything past it is a failure like the others.
    if (code >= 17 && code < 17 + 8)
        return kAccountResults[code - 17];
    return L"Fail";
}

CDetialsResDlgEventImp::CDetialsResDlgEventImp(std::weak_ptr<CMainFrameEventImp> owner) : m_wpOwner(std::move(owner))
{
}

CDetialsResDlgEventImp::~CDetialsResDlgEventImp()
{
    CSFDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(dialog);
}

std::shared_ptr<CDetialsResDlgEventImp> CDetialsResDlgEventImp::Create(std::weak_ptr<CMainFrameEventImp> owner)
{
    auto dlg = std::make_shared<CDetialsResDlgEventImp>(owner);
    DialogStyle style;
    BuildDetailsDlgSkin(style);
    std::shared_ptr<CMainFrameEventImp> main = owner.lock();
    dlg->m_pDialog = CreateSFDialog(dlg.get(), main ? main->GetUIWnd() : nullptr, 0);
    SetUpSkinnedDialog(dlg->m_pDialog, style, L"Details", 550, 250);
    return dlg;
}

int CDetialsResDlgEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    auto make = [wnd](const wchar_t* text, const RECT& rc) {
        CSFStatic* s = CreateSFStatic(nullptr);
        s->Create(text, 0x10010000, rc, wnd, 0);
        s->SetTextAlignFlag(0);
        return s;
    };
    m_pDeviceLabel = make(Tr(L"IP"), RECT{100, 80, 200, 100});
    m_pDeviceValue = make(Tr(L""), RECT{250, 80, 500, 100});
    m_pTypeLabel = make(Tr(L"Config Type"), RECT{100, 120, 200, 140});
    m_pTypeValue = make(Tr(L""), RECT{250, 120, 500, 140});
    m_pResultLabel = make(Tr(L"Config Result"), RECT{100, 160, 200, 180});
    m_pResultValue = make(Tr(L""), RECT{250, 160, 500, 180});
    m_pResultValue->SetWordWrap(1);

    m_pClose = CreateCloseButton(this, wnd, 550, 2);
    return 1;
}

void CDetialsResDlgEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if ((key == 13 || key == 27) && m_pDialog)
        m_pDialog->MFCCancel();
}

void CDetialsResDlgEventImp::SetDevice(const char* device)
{
    SF_SOFT_BASE::CSFStreamConvert wide(device ? device : "", SF_SOFT_BASE::SF_CP_UTF8);
    if (m_pDeviceValue)
        m_pDeviceValue->SetStaticText(wide.GetWideChar() ? wide.GetWideChar() : L"");
}

void CDetialsResDlgEventImp::SetDetails(const char* device, std::wstring caption, std::wstring text)
{
    SetDevice(device);
    if (m_pTypeValue)
        m_pTypeValue->SetStaticText(caption.c_str());
    if (m_pResultValue) {
        m_pResultValue->SetStaticText(text.c_str());
        RECT rc = m_pResultValue->GetGeometry();
        m_pResultValue->MoveWindow(&rc);
    }
}

void CDetialsResDlgEventImp::SetConfigResult(const char* device, int type, int code)
{
    SetDevice(device);
    if (m_pTypeValue)
        m_pTypeValue->SetStaticText(Tr(ConfigTypeText(type)));
    if (m_pResultValue)
        m_pResultValue->SetStaticText(Tr(ConfigResultText(code)));
}
