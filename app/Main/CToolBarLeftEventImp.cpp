#include "Main/CToolBarLeftEventImp.h"

#include "Common/AppSettings.h"
#include "Common/Translate.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CToolBarEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

SF_BEGIN_MESSAGE_MAP(CToolBarLeftEventImp)
SF_END_MESSAGE_MAP()

namespace {

RECT Below(const RECT& rc) { return RECT{rc.left, rc.bottom, rc.right, rc.bottom + (rc.bottom - rc.top)}; }

} // namespace

CToolBarLeftEventImp::CToolBarLeftEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(std::move(mainFrame))
{
}

CToolBarLeftEventImp::~CToolBarLeftEventImp() = default;

std::shared_ptr<CToolBarLeftEventImp> CToolBarLeftEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto bar = std::make_shared<CToolBarLeftEventImp>(std::move(mainFrame));
    bar->Init();
    return bar;
}

int CToolBarLeftEventImp::Init()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    m_pView = CreateSFView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBGClr(0x251607);
    m_pView->Create(nullptr, L"ToolBarLeft", WS_CHILD | WS_VISIBLE, RECT{0, 0, 68, 700},
                    main ? main->GetUIWnd() : nullptr, 104);
    return 0;
}

CSFRadioBox* CToolBarLeftEventImp::MakeButton(UINT id, const wchar_t* checkedImage, const wchar_t* uncheckedImage,
                                              const RECT& rc, const wchar_t* tip)
{
    CSFRadioBox* button = CreateSFRadioBox(this);
    ImageRadioBox skin;
    skin.strCheckedNormal = skin.strCheckedHover = skin.strCheckedPressed = checkedImage;
    skin.strUncheckedNormal = skin.strUncheckedHover = skin.strUncheckedPressed = uncheckedImage;
    skin.strCheckedDisabled = checkedImage;
    skin.strUncheckedDisabled = uncheckedImage;
    button->SetSkin(&skin);
    button->Create(L"", WS_VISIBLE | WS_TABSTOP, rc, GetUIWnd(), id);
    if (tip)
        button->SetToolTipText(tip);
    return button;
}

int CToolBarLeftEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    m_pLogo = CreateSFPictureCtrl(nullptr);
    m_pLogo->SetImage(L"logo.png", false);
    m_pLogo->Create(L"", WS_CHILD | WS_VISIBLE, RECT{0, 2, 68, 70}, wnd, static_cast<UINT>(-1));

    RECT rc{0, 114, 68, 182};
    m_pHome = CreateSFRadioBox(this);
    ImageRadioBox home;
    home.strCheckedNormal = L"home_check.png";
    home.strCheckedHover = L"home_h.png";
    home.strCheckedPressed = L"home_check.png";
    home.strUncheckedNormal = L"home_n.png";
    home.strUncheckedHover = L"home_h.png";
    home.strUncheckedPressed = home.strCheckedDisabled = home.strUncheckedDisabled = L"home_n.png";
    m_pHome->SetSkin(&home);
    m_pHome->Create(L"", 0, rc, wnd, ID_HOME);
    m_pHome->SetCheck(1);
    m_pHome->SetEnabled(0);

    m_pDevList = MakeButton(ID_DEVLIST, L"ModifyIPs_Check.png", L"ModifyIPs_unCheck.png", rc, Tr(L"Modify IPs"));
    m_pDevList->SetCheck(1);
    rc = Below(rc);
    m_pDevConfig = MakeButton(ID_DEVCONFIG, L"DevCfg_Check.png", L"DevCfg_unCheck.png", rc, Tr(L"Device Config"));
    rc = Below(rc);
    m_pSysConfig = MakeButton(ID_SYSCONFIG, L"System_Check.png", L"System_unCheck.png", rc, Tr(L"System Config"));
    rc = Below(rc);
    m_pUpgrade = MakeButton(ID_UPGRADE, L"Upgrade_Check.png", L"Upgrade_unCheck.png", rc, Tr(L"Upgrade"));
    rc = Below(rc);
    m_pCloudUpgrade =
        MakeButton(ID_CLOUDUPGRADE, L"cloud_update_hov.png", L"cloud_update_nor.png", rc, Tr(L"CloudUpgrade"));
    rc = Below(rc);
    m_pTemplate = MakeButton(ID_TEMPLATE, L"Model_Check.png", L"Model_unCheck.png", rc, Tr(L"Templet Config"));
    rc = Below(rc);
    m_pOtherTool = MakeButton(ID_OTHERTOOL, L"OtherTools_Check.png", L"OtherTools_unCheck.png", rc, Tr(L"Other Tools"));
    m_pOtherTool->ShowWindow(0);

    if (CAppSettings::CloudEnable) {
        m_pCloudUpgrade->ShowWindow(1);
    } else {
        m_pCloudUpgrade->ShowWindow(0);
        RECT place{0, 386, 68, 454};
        m_pTemplate->MoveWindow(&place);
    }
    return 1;
}

void CToolBarLeftEventImp::OnSize(UINT, int, int cy)
{
    if (!m_pLogo || !m_pOtherTool)
        return;
    RECT rc{0, cy - 68, 68, cy};
    m_pOtherTool->MoveWindow(&rc);
}

CSFRadioBox* CToolBarLeftEventImp::GetButtonById(UINT id) const
{
    switch (id) {
    case ID_HOME:
        return m_pHome;
    case ID_DEVLIST:
        return m_pDevList;
    case ID_DEVCONFIG:
        return m_pDevConfig;
    case ID_SYSCONFIG:
        return m_pSysConfig;
    case ID_UPGRADE:
        return m_pUpgrade;
    case ID_TEMPLATE:
        return m_pTemplate;
    case ID_OTHERTOOL:
        return m_pOtherTool;
    case ID_CLOUDUPGRADE:
        return m_pCloudUpgrade;
    default:
        return nullptr;
    }
}

void CToolBarLeftEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    if (!main)
        return;
    std::shared_ptr<CDeviceListUILogic> model = main->GetDeviceListUILogic();
    const int found = model ? model->GetFoundCount() : 0;
    const int cloudCount = model ? model->GetCloudDeviceCount() : 0;

    CSFRadioBox* clicked = GetButtonById(static_cast<UINT>(id));
    if (checked == 0) {
        if (clicked)
            clicked->SetCheck(1);
        return;
    }
    std::shared_ptr<CToolBarEventImp> toolBar = main->GetToolBar();
    if (toolBar)
        toolBar->ShowSearchTools(true);
    const UINT all[] = {ID_HOME, ID_DEVLIST, ID_DEVCONFIG, ID_SYSCONFIG, ID_UPGRADE, ID_TEMPLATE, ID_OTHERTOOL,
                        ID_CLOUDUPGRADE};
    for (UINT each : all)
        if (CSFRadioBox* button = GetButtonById(each))
            button->SetCheck(0);
    if (clicked)
        clicked->SetCheck(1);

    int page = -1;
    switch (id) {
    case ID_HOME:
    case ID_DEVLIST:
        page = MAINFRAME_PAGE_DEVLIST;
        break;
    case ID_DEVCONFIG:
        page = MAINFRAME_PAGE_DEVCONFIG;
        break;
    case ID_SYSCONFIG:
        page = MAINFRAME_PAGE_SYSCONFIG;
        break;
    case ID_UPGRADE:
        page = MAINFRAME_PAGE_UPGRADE;
        break;
    case ID_TEMPLATE:
        page = MAINFRAME_PAGE_TEMPLATE;
        break;
    case ID_CLOUDUPGRADE:
        main->SwitchPage(MAINFRAME_PAGE_CLOUDUPGRADE);
        if (toolBar)
            toolBar->SetFoundCount(cloudCount);
        return;
    case ID_OTHERTOOL:
        if (toolBar) {
            toolBar->SetFoundCount(found);
            toolBar->SetSearching(false);
            toolBar->ShowSearchTools(false);
        }
        main->SwitchPage(MAINFRAME_PAGE_OTHERTOOL);
        return;
    default:
        return;
    }
    main->SwitchPage(page);
    if (toolBar)
        toolBar->SetFoundCount(found);
}

void CToolBarLeftEventImp::SetCloudEnable(bool enable)
{
    if (!m_pCloudUpgrade)
        return;
    m_pCloudUpgrade->ShowWindow(enable ? 1 : 0);
    m_pCloudUpgrade->SetCheck(0);
    if (enable) {
        RECT tpl{0, 454, 68, 522};
        RECT cloud{0, 386, 68, 454};
        m_pTemplate->MoveWindow(&tpl);
        m_pCloudUpgrade->MoveWindow(&cloud);
    } else {
        RECT tpl{0, 386, 68, 454};
        m_pTemplate->MoveWindow(&tpl);
    }
    CSFRadioBox* group[] = {m_pCloudUpgrade, m_pDevConfig, m_pSysConfig, m_pUpgrade, m_pTemplate, m_pDevList};
    for (CSFRadioBox* button : group)
        button->SetCheck(0);
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    if (enable) {
        m_pCloudUpgrade->SetCheck(1);
        if (main)
            main->SwitchPage(MAINFRAME_PAGE_CLOUDUPGRADE);
    } else {
        m_pDevList->SetCheck(1);
        if (main)
            main->SwitchPage(MAINFRAME_PAGE_DEVLIST);
    }
}
