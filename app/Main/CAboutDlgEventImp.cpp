#include "Main/CAboutDlgEventImp.h"

#include "Common/SFStreamConvert.h"
#include "Common/SFSystem.h"
#include "Common/Translate.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/OpenOrSay.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

SF_BEGIN_MESSAGE_MAP(CAboutDlgEventImp)
SF_ON_COMMAND(CAboutDlgEventImp::ID_WEBSITE, OnWebSite)
SF_END_MESSAGE_MAP()

void BuildAboutDlgSkin(DialogStyle& s) { FillWhiteDialogSkin(s, 27); }

CAboutDlgEventImp::CAboutDlgEventImp(std::weak_ptr<CMainFrameEventImp> owner) : m_wpOwner(std::move(owner)) {}

CAboutDlgEventImp::~CAboutDlgEventImp()
{
    CSFDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(dialog);
}

std::shared_ptr<CAboutDlgEventImp> CAboutDlgEventImp::Create(std::weak_ptr<CMainFrameEventImp> owner)
{
    auto about = std::make_shared<CAboutDlgEventImp>(std::move(owner));
    about->CreateAboutDialog();
    return about;
}

int CAboutDlgEventImp::CreateAboutDialog()
{
    DialogStyle style;
    BuildAboutDlgSkin(style);
    std::shared_ptr<CMainFrameEventImp> owner = m_wpOwner.lock();
    m_pDialog = CreateSFDialog(this, owner ? owner->GetUIWnd() : nullptr, 0);
    if (!m_pDialog)
        return 0;
    SetUpSkinnedDialog(m_pDialog, style, L"About", 358, 250);
    return 1;
}

int CAboutDlgEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();

    m_pPicture = CreateSFPictureCtrl(nullptr);
    m_pPicture->SetImage(L"AboutPic.png", false);
    m_pPicture->Create(L"", 0x50000000, RECT{1, 27, 357, 85}, wnd, 0);

    m_pVersion = CreateSFStatic(nullptr);
    m_pVersion->SetTextAlignFlag(0);
    m_pVersion->Create(Tr(L"ProductVer"), 0x10010000, RECT{20, 105, 350, 125}, wnd, 0);

    m_pNotice = CreateSFStatic(nullptr);
    m_pNotice->Create(Tr(L"CopyrightString"), 0x10010000, RECT{20, 135, 350, 155}, wnd, 0);

    m_pClose = CreateCloseButton(this, wnd, 358, ID_CLOSE);

    // The link has the plain back for its first three images and the close button's disabled one.
    ImageButtonStyle skin =
        MakeButtonSkin(L"bg_monitor.png", L"bg_monitor.png", L"bg_monitor.png", L"close-disabled.png");
    m_pWebSite = CreateSFButton(this);
    m_pWebSite->SetTextAlign(36);
    m_pWebSite->SetSkin(&skin);
    m_pWebSite->Create(Tr(L"WebSite"), WS_VISIBLE | WS_TABSTOP, RECT{20, 165, 350, 185}, wnd, ID_WEBSITE);
    m_pWebSite->SetTextColor(0);
    return 1;
}

void CAboutDlgEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if ((key == 27 || key == 13) && m_pDialog)
        m_pDialog->MFCCancel();
}

void CAboutDlgEventImp::BTN_OnLButtonDown(int id, UINT, POINT)
{
    if (id == ID_WEBSITE && m_pWebSite)
        m_pWebSite->SetTextColor(0xFFFFFF);
}

void CAboutDlgEventImp::BTN_OnLButtonUp(int id, UINT, POINT)
{
    if (id == ID_WEBSITE && m_pWebSite)
        m_pWebSite->SetTextColor(0);
}

void CAboutDlgEventImp::BTN_OnMouseMove(int id, UINT, POINT)
{
    if (id == ID_WEBSITE && m_pWebSite)
        m_pWebSite->SetTextColor(0xFF0000);
}

void CAboutDlgEventImp::BTN_OnMouseLeave(int id, UINT, LONG)
{
    if (id == ID_WEBSITE && m_pWebSite)
        m_pWebSite->SetTextColor(0);
}

void CAboutDlgEventImp::OnWebSite()
{
    if (!m_pWebSite)
        return;
    wchar_t text[128] = {};
    m_pWebSite->GetWindowTextW(text, 127);
    if (text[0] == 0)
        return;
    SF_SOFT_BASE::CSFStreamConvert utf8(text, SF_SOFT_BASE::SF_CP_UTF8);
    OpenOrSay(utf8.GetMultiByte(), GetUIWnd());
}
