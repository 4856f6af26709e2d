#include "Main/CToolBarEventImp.h"

#include <cwchar>

#include "Common/AppSettings.h"
#include "Common/Translate.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

SF_BEGIN_MESSAGE_MAP(CToolBarEventImp)
SF_ON_COMMAND(CToolBarEventImp::ID_MIN, OnMinimize)
SF_ON_COMMAND(CToolBarEventImp::ID_CLOSE, OnClose)
SF_ON_COMMAND(CToolBarEventImp::ID_MENU, OnMenu)
SF_ON_COMMAND(CToolBarEventImp::ID_REFRESH, OnRefresh)
SF_ON_COMMAND(CToolBarEventImp::ID_MANUAL_ADD, OnManualAdd)
SF_ON_COMMAND(CToolBarEventImp::ID_SEARCH_SETTING, OnSearchSetting)
SF_END_MESSAGE_MAP()

namespace {

void SetButtonSkin(CSFButton* button, const wchar_t* normal, const wchar_t* hover, const wchar_t* pressed,
                   const wchar_t* disabled)
{
    ImageButtonStyle skin;
    skin.strNormal = normal;
    skin.strHover = hover;
    skin.strPressed = pressed;
    skin.strDisabled = disabled;
    button->SetSkin(&skin);
}

} // namespace

CToolBarEventImp::CToolBarEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(std::move(mainFrame))
{
}

CToolBarEventImp::~CToolBarEventImp() = default;

std::shared_ptr<CToolBarEventImp> CToolBarEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto bar = std::make_shared<CToolBarEventImp>(std::move(mainFrame));
    bar->Init();
    return bar;
}

int CToolBarEventImp::Init()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    m_pView = CreateSFView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBGClr(0xffffff);
    m_pView->Create(nullptr, L"ToolBar", WS_CHILD | WS_VISIBLE, RECT{68, 0, 1000, 80},
                    main ? main->GetUIWnd() : nullptr, 101);
    return 0;
}

int CToolBarEventImp::OnCreate()
{
    void* wnd = GetUIWnd();

    m_pFoundCount = CreateSFStatic(nullptr);
    m_pFoundCount->SetTextColor(0xffb270);
    m_pFoundCount->SetTextSize(40);
    m_pFoundCount->SetTextAlignFlag(37);
    m_pFoundCount->Create(L"0", WS_VISIBLE | WS_TABSTOP, RECT{45, 15, 105, 52}, wnd, static_cast<UINT>(-1));

    m_pFoundLabel = CreateSFStatic(nullptr);
    m_pFoundLabel->SetTextSize(20);
    m_pFoundLabel->SetTextAlignFlag(32);
    m_pFoundLabel->Create(Tr(L"Devices ware found"), WS_VISIBLE | WS_TABSTOP, RECT{135, 30, 335, 50}, wnd,
                          static_cast<UINT>(-1));

    m_pPackageCenter = CreateSFPictureCtrl(nullptr);
    m_pPackageCenter->SetImage(CAppSettings::Language == 1 ? L"package_center_chn.png" : L"package_center.png", false);
    m_pPackageCenter->Create(L"", WS_CHILD | WS_VISIBLE, RECT{15, 20, 233, 62}, wnd, static_cast<UINT>(-1));
    m_pPackageCenter->ShowWindow(0);

    m_pRefresh = CreateSFButton(nullptr);
    m_pRefresh->Create(L"", WS_VISIBLE, RECT{367, 10, 426, 69}, wnd, ID_REFRESH);
    SetButtonSkin(m_pRefresh, L"update_n.png", L"update_h.png", L"update_p.png", L"update_d.png");
    m_pRefresh->SetToolTipText(Tr(L"Refresh to restart search devices."));

    m_pSearching = CreateSFPictureEx(nullptr);
    if (m_pSearching) {
        m_pSearching->Create(L"", WS_VISIBLE, RECT{367, 10, 426, 69}, wnd, 0);
        m_pSearching->Load(L"update_p.gif", 1);
        m_pSearching->ShowWindow(0);
    }

    m_pSearchSetting = CreateSFButton(nullptr);
    m_pSearchSetting->Create(Tr(L""), WS_VISIBLE, RECT{431, 25, 547, 57}, wnd, ID_SEARCH_SETTING);
    if (CAppSettings::Language != 0)
        SetButtonSkin(m_pSearchSetting, L"search_setting_n.png", L"search_setting_h.png", L"search_setting_p.png",
                      L"search_setting_d.png");
    else
        SetButtonSkin(m_pSearchSetting, L"ip_other_n.png", L"ip_other_h.png", L"ip_other_p.png", L"ip_other_d.png");
    m_pSearchSetting->SetToolTipText(Tr(L"Setting search method."));

    m_pManualAdd = CreateSFButton(nullptr);
    m_pManualAdd->Create(L"", 0, RECT{512, 12, 634, 50}, wnd, ID_MANUAL_ADD);
    SetButtonSkin(m_pManualAdd, L"login_dev_nor.png", L"login_dev_over.png", L"login_dev_down.png",
                  L"login_dev_nor.png");
    m_pManualAdd->SetToolTipText(Tr(L"Login Device"));

    m_pRightBlock = CreateSFView(nullptr);
    m_pRightBlock->SetBGClr(0xe19350);
    m_pRightBlock->Create(nullptr, L"", WS_VISIBLE, RECT{835, 0, 932, 80}, wnd, 0);
    m_pRightBlock->ShowWindow(1);

    m_pMenu = CreateSFButton(nullptr);
    m_pMenu->Create(L"", WS_VISIBLE, RECT{0, 0, 24, 24}, wnd, ID_MENU);
    SetButtonSkin(m_pMenu, L"about-normal.png", L"about-hover.png", L"about-pressed.png", L"about-disabled.png");
    m_pMenu->SetToolTipText(Tr(L"About"));

    m_pMin = CreateSFButton(nullptr);
    m_pMin->Create(L"", WS_VISIBLE, RECT{0, 0, 24, 24}, wnd, ID_MIN);
    SetButtonSkin(m_pMin, L"min-normal.png", L"min-hover.png", L"min-pressed.png", L"min-disabled.png");
    m_pMin->SetTooltipEnable(1);
    m_pMin->SetToolTipText(Tr(L"Min"));

    m_pClose = CreateSFButton(nullptr);
    m_pClose->Create(L"", WS_VISIBLE, RECT{0, 0, 24, 24}, wnd, ID_CLOSE);
    SetButtonSkin(m_pClose, L"close-normal.png", L"close-hover.png", L"close-pressed.png", L"close-disabled.png");
    m_pClose->SetToolTipText(Tr(L"Close"));
    return 1;
}

void CToolBarEventImp::OnSize(UINT, int cx, int)
{
    if (!m_pClose)
        return;
    // Each window button 24 by 24 from its left edge, 6 pixels apart, so that the images are drawn
    // at their own size (the rectangle form would make them 25 by 25).
    m_pClose->MoveWindow(cx - 36, 6, 24, 24);
    m_pMin->MoveWindow(cx - 66, 6, 24, 24);
    m_pMenu->MoveWindow(cx - 96, 6, 24, 24);
    RECT block{cx - 97, 0, cx, 80};
    m_pRightBlock->MoveWindow(&block);
}

void CToolBarEventImp::SetFoundCount(int count)
{
    wchar_t text[64] = {};
    swprintf(text, 64, L"%d", count);
    if (m_pFoundCount)
        m_pFoundCount->SetStaticText(text);
}

void CToolBarEventImp::SetSearching(bool searching)
{
    if (!m_pRefresh || !m_pRefresh->IsEnabled())
        return;
    if (m_pSearching)
        m_pSearching->ShowWindow(searching ? 1 : 0);
    m_pRefresh->ShowWindow(searching ? 0 : 1);
}

void CToolBarEventImp::ShowSearchTools(bool show)
{
    if (!m_pRefresh)
        return;
    const int s = show ? 1 : 0;
    m_pFoundCount->ShowWindow(s);
    m_pFoundLabel->ShowWindow(s);
    m_pRefresh->ShowWindow(s);
    m_pSearchSetting->ShowWindow(s);
    m_pRefresh->EnableWindow(s);
    if (m_pRefresh->IsEnabled()) {
        std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
        std::shared_ptr<CDeviceListUILogic> model = main ? main->GetDeviceListUILogic() : nullptr;
        const bool searching = model && model->IsSearching();
        if (m_pSearching)
            m_pSearching->ShowWindow(searching ? 1 : 0);
        m_pRefresh->ShowWindow(searching ? 0 : 1);
    } else if (m_pSearching) {
        m_pSearching->ShowWindow(0);
    }
    m_pPackageCenter->ShowWindow(show ? 0 : 1);
}

void CToolBarEventImp::OnMinimize()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    if (main && main->GetDialog())
        main->GetDialog()->MacShowMinimize(true);
}

void CToolBarEventImp::OnMenu()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    if (!main || !m_pMenu)
        return;
    RECT rc{0, 0, 0, 0};
    m_pMenu->GetBTNWindowRect(&rc);
    main->PopupMenu(rc.left, rc.bottom);
}

void CToolBarEventImp::OnRefresh()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    std::shared_ptr<CSearchDevEventImp> page = main ? main->GetSearchDevPage() : nullptr;
    if (page)
        page->StartSearch();
}

void CToolBarEventImp::OnManualAdd()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    if (!main)
        return;
    std::shared_ptr<CDeviceListUILogic> model = main->GetDeviceListUILogic();
    if (model && model->IsSearching()) {
        ShowMessageBox(Tr(L"Searching,please wait..."), Tr(L"Attention"), main->GetUIWnd(), 0);
        return;
    }
    main->ShowManualAddDlg();
}

void CToolBarEventImp::OnSearchSetting()
{
    if (std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock())
        main->ShowSearchSettingDlg();
}

void CToolBarEventImp::OnClose()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    if (!main)
        return;
    std::shared_ptr<CUpgradeEventImp> upgrade = main->GetUpgradePage();
    if (upgrade && upgrade->IsSendingFile()) {
        const std::wstring text = Tr(L"Program is sending file, Are you sure to close software ?");
        if (ShowMessageBox(text.c_str(), Tr(L"Attention"), main->GetUIWnd(), 1) == 2)
            return;
    }
    std::shared_ptr<CDevConfigEventImp> config = main->GetDevConfigPage();
    if (config && config->IsLoggingIn()) {
        const std::wstring text = Tr(L"Program is operating, please don't close this program.");
        ShowMessageBox(text.c_str(), Tr(L"Attention"), main->GetUIWnd(), 0);
        return;
    }
    if (main->GetDialog()) {
        main->GetDialog()->ShowWindow(0);
        main->GetDialog()->SendDlgMessage(16, 0, 0);
    }
}
