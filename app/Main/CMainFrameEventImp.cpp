// Main window: construction, pages, layout, page switching, menu, manuals and modal helpers.
#include "Main/CMainFrameEventImp.h"

#include <cstring>
#include <functional>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "Common/AppPath.h"
#include "Common/AppSettings.h"
#include "Common/SFStreamConvert.h"
#include "Common/SFSystem.h"
#include "Common/Translate.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "DevConfig/CLoginUILogic.h"
#include "Main/CAboutDlgEventImp.h"
#include "Main/CDetialsResDlgEventImp.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CLoginDevEventImp.h"
#include "Main/CMessageNotifier.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CToolBarEventImp.h"
#include "Main/CToolBarLeftEventImp.h"
#include "Main/CUserConfigSettingEventImp.h"
#include "Main/CUserSearchSettingEventImp.h"
#include "Main/OpenOrSay.h"
#include "OtherTool/COtherToolEventImp.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "Template/CTemplateEditEventImp.h"
#include "Template/CTemplateEventImp.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Widgets/CNoticeDlgEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFSkinStyle.h"

using SF_SOFT_BASE::CSFStreamConvert;

SF_BEGIN_MESSAGE_MAP(CMainFrameEventImp)
SF_ON_UIMESSAGE(UM_SHOW_MESSAGE_BOX, OnShowMessageBox)
SF_END_MESSAGE_MAP()

namespace {

// The latest moment, after the window was made, at which what is hidden at start is made.
constexpr int kHiddenPartsLatestMs = 1000;

// Runs its action once, just after the watched window's first paint (or when fired earlier).
class FirstPaintHook : public QObject {
public:
    FirstPaintHook(QWidget* window, std::function<void()> action) : QObject(window), m_action(std::move(action))
    {
        window->installEventFilter(this);
    }

    void Fire()
    {
        std::function<void()> action = std::move(m_action);
        m_action = nullptr;
        deleteLater();
        if (action)
            action();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_action && !m_armed) {
            m_armed = true;
            // After this paint has reached the screen.
            QTimer::singleShot(0, this, &FirstPaintHook::Fire);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
    bool m_armed = false;
};

void FillMainWindowSkin(DialogStyle& s)
{
    s.strFrameImage = L"FrameMain.png";
    s.strBkImage = L"bgColorMain.png";
    s.strBkMode = L"tile";
    s.strBkColor = L"000000";
    s.strTopLeftRect = L"0,0,10,1";
    s.strTopLeftMode = L"tile";
    s.strTopRect = L"30,0,1,1";
    s.strTopMode = L"stretch";
    s.strTopRightRect = L"138,0,10,1";
    s.strLeftTopRect = s.strLeftRect = s.strLeftBottomRect = L"0,65,1,1";
    s.strBottomLeftRect = L"0,139,10,1";
    s.strBottomRect = L"10,139,30,1";
    s.strBottomRightRect = L"138,139,10,1";
    s.strRightBottomRect = s.strRightRect = s.strRightTopRect = L"147,65,1,1";
    s.strFontName = L"Tahoma";
    s.strFontSize = L"11";
    s.strTitleColor = L"333333";
    s.strTitleColor2 = L"999999";
    s.strTitleAlign = L"left";
    s.strTitleRect = L"0,0,1000,60";
    s.bStyleFlag = false;
    s.strDlgSize = L"1000,700";
}

} // namespace

CMainFrameEventImp::CMainFrameEventImp() = default;

CMainFrameEventImp::~CMainFrameEventImp()
{
    m_pNoticeDlg.reset();
    m_pDetailsResDlg.reset();
    m_pSearchSettingDlg.reset();
    m_pLoginUILogic.reset();
    m_pDeviceListUILogic.reset();
    m_pOtherToolPage.reset();
    m_pTemplatePage.reset();
    m_pCloudUpgradePage.reset();
    m_pUpgradePage.reset();
    m_pSysConfigPage.reset();
    m_pDevConfigPage.reset();
    m_pLoginDevDlg.reset();
    m_pSearchDevPage.reset();
    m_pSettingDlg.reset();
    m_pAboutDlg.reset();
    m_pToolBarLeft.reset();
    m_pToolBar.reset();
    m_mapModuleState.clear();
}

std::shared_ptr<CMainFrameEventImp> CMainFrameEventImp::Create()
{
    auto frame = std::make_shared<CMainFrameEventImp>();
    frame->CreateMainWindow();
    return frame;
}

int CMainFrameEventImp::CreateMainWindow()
{
    auto* style = new DialogStyle();
    FillMainWindowSkin(*style);
    m_pMainWnd = CreateSFMainWindow(this, nullptr);
    if (!m_pMainWnd) {
        delete style;
        return 0;
    }
    m_pMainWnd->SetSkin(style);
    m_pWidget = GetUIWnd();
    m_pMainWnd->Create(L"", nullptr);
    m_pMainWnd->SetWindowTextW(Tr(L"ProductName"));
    m_pMainWnd->SetDlgIcon(L"main.ico");

    m_pMainWnd->MoveWindow(0, 0, 1000, 700);
    m_pMainWnd->CenterWindow(nullptr);
    m_pMainWnd->ShowWindow(1);
    delete style;
    return 0;
}

int CMainFrameEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    if (!m_pWidget)
        m_pWidget = GetUIWnd();

    m_pMenu = CreateSFMenu(this);
    if (m_pMenu) {
        const std::wstring menuSkin = SFGetAppPath() + L"/Skin/menu_bg.png";
        m_pMenu->SetSkin(menuSkin.c_str());
        m_pMenu->AddAction(Tr(L"Help"), ID_MENU_HELP);
        m_pMenu->AddSeparator();
        m_pMenu->AddAction(Tr(L"QA"), ID_MENU_QA);
        m_pMenu->AddSeparator();
        m_pMenu->AddAction(Tr(L"About"), ID_MENU_ABOUT);
        m_pMenu->AddSeparator();
        m_pMenu->AddAction(Tr(L"Setting"), ID_MENU_SETTING);
    }

    std::weak_ptr<CMainFrameEventImp> self = weak_from_this();
    m_pLoginUILogic = CLoginUILogic::Create(self);
    m_pToolBar = CToolBarEventImp::Create(self);
    m_pToolBarLeft = CToolBarLeftEventImp::Create(self);
    m_pSearchDevPage = CreateSearchDevView(self);
    // Made at start: it puts the search account in force for the first search. Its window
    // follows the first paint.
    m_pSearchSettingDlg = CUserSearchSettingEventImp::Create(self, false);

    // What is hidden at start waits for the first paint; a timer covers a window never painted.
    if (auto* widget = static_cast<QWidget*>(m_pWidget)) {
        auto* watcher = new FirstPaintHook(widget, [self] {
            if (std::shared_ptr<CMainFrameEventImp> frame = self.lock())
                frame->CreateHiddenParts();
        });
        QTimer::singleShot(kHiddenPartsLatestMs, watcher, &FirstPaintHook::Fire);
    }

    InitDeviceSdk();

    m_pDeviceListUILogic = CDeviceListUILogic::Create(self);
    if (m_pSearchDevPage)
        m_pSearchDevPage->StartSearch();
    return 1;
}

void CMainFrameEventImp::CreateHiddenParts() const
{
    // Logically const: the getters hand out what would have been there from the start.
    if (!m_bHiddenPartsMade)
        const_cast<CMainFrameEventImp*>(this)->CreateHiddenPartsNow();
}

void CMainFrameEventImp::CreateHiddenPartsNow()
{
    m_bHiddenPartsMade = true;
    std::weak_ptr<CMainFrameEventImp> self = weak_from_this();
    CMessageNotifier::GetInstance()->Create();
    if (m_pSearchSettingDlg)
        m_pSearchSettingDlg->CreateWindowDlg();
    m_pAboutDlg = CAboutDlgEventImp::Create(self);
    m_pSettingDlg = CUserConfigSettingEventImp::Create(self);
    m_pDevConfigPage = CDevConfigEventImp::Create(self);
    m_pSysConfigPage = CSysConfigEventImp::Create(self);
    m_pUpgradePage = CUpgradeEventImp::Create(self);
    m_pTemplatePage = CTemplateEventImp::Create(self);
    m_pOtherToolPage = COtherToolEventImp::Create(self);
    m_pLoginDevDlg = CLoginDevEventImp::Create(self);
    m_pDetailsResDlg = CDetialsResDlgEventImp::Create(self);
    m_pCloudUpgradePage = CCloudUpgradeEventImp::Create(self);
    m_pNoticeDlg = CNoticeDlgEventImp::Create(std::weak_ptr<ISFDialogEvent>(shared_from_this()));

    if (m_pDevConfigPage && m_pLoginUILogic) {
        std::shared_ptr<CCodeVideoCfgEventImp> video = m_pDevConfigPage->GetCodeVideoCfgPage();
        if (video)
            m_pLoginUILogic->SetVideoWindow(video->GetVideoWindow());
    }
    if (m_pDeviceListUILogic)
        m_pDeviceListUILogic->CatchUpLatePages();
    // The new pages take the place the window gave its pages.
    if (m_rcPage.right > m_rcPage.left) {
        for (int page : {MAINFRAME_PAGE_DEVCONFIG, MAINFRAME_PAGE_SYSCONFIG, MAINFRAME_PAGE_UPGRADE,
                         MAINFRAME_PAGE_CLOUDUPGRADE, MAINFRAME_PAGE_TEMPLATE, MAINFRAME_PAGE_OTHERTOOL}) {
            if (CSFView* view = ViewOfPage(page))
                view->MoveWindow(&m_rcPage);
        }
    }
    for (std::function<void()>& action : m_afterHiddenParts)
        QTimer::singleShot(0, qApp, std::move(action));
    m_afterHiddenParts.clear();
}

void CMainFrameEventImp::AfterHiddenParts(std::function<void()> action)
{
    if (m_bHiddenPartsMade)
        QTimer::singleShot(0, qApp, std::move(action));
    else
        m_afterHiddenParts.push_back(std::move(action));
}

#define VX_HIDDEN_GETTER(Type, Name, member)                                                                          \
    std::shared_ptr<Type> CMainFrameEventImp::Name() const                                                             \
    {                                                                                                                  \
        CreateHiddenParts();                                                                                           \
        return member;                                                                                                 \
    }
VX_HIDDEN_GETTER(CUserSearchSettingEventImp, GetSearchSettingDlg, m_pSearchSettingDlg)
VX_HIDDEN_GETTER(CDevConfigEventImp, GetDevConfigPage, m_pDevConfigPage)
VX_HIDDEN_GETTER(CSysConfigEventImp, GetSysConfigPage, m_pSysConfigPage)
VX_HIDDEN_GETTER(CUpgradeEventImp, GetUpgradePage, m_pUpgradePage)
VX_HIDDEN_GETTER(CCloudUpgradeEventImp, GetCloudUpgradePage, m_pCloudUpgradePage)
VX_HIDDEN_GETTER(CTemplateEventImp, GetTemplatePage, m_pTemplatePage)
VX_HIDDEN_GETTER(COtherToolEventImp, GetOtherToolPage, m_pOtherToolPage)
VX_HIDDEN_GETTER(CAboutDlgEventImp, GetAboutDlg, m_pAboutDlg)
VX_HIDDEN_GETTER(CUserConfigSettingEventImp, GetSettingDlg, m_pSettingDlg)
VX_HIDDEN_GETTER(CDetialsResDlgEventImp, GetResultDetailsDlg, m_pDetailsResDlg)
VX_HIDDEN_GETTER(CNoticeDlgEventImp, GetNoticeDlg, m_pNoticeDlg)
VX_HIDDEN_GETTER(CLoginDevEventImp, GetLoginDevDlg, m_pLoginDevDlg)
#undef VX_HIDDEN_GETTER

CSFView* CMainFrameEventImp::ViewOfPage(int page) const
{
    switch (page) {
    case MAINFRAME_PAGE_DEVLIST:
        return m_pSearchDevPage ? m_pSearchDevPage->GetView() : nullptr;
    case MAINFRAME_PAGE_DEVCONFIG:
        return m_pDevConfigPage ? m_pDevConfigPage->GetView() : nullptr;
    case MAINFRAME_PAGE_SYSCONFIG:
        return m_pSysConfigPage ? m_pSysConfigPage->GetView() : nullptr;
    case MAINFRAME_PAGE_UPGRADE:
        return m_pUpgradePage ? m_pUpgradePage->GetView() : nullptr;
    case MAINFRAME_PAGE_TEMPLATE:
        return m_pTemplatePage ? m_pTemplatePage->GetView() : nullptr;
    case MAINFRAME_PAGE_OTHERTOOL:
        return m_pOtherToolPage ? m_pOtherToolPage->GetView() : nullptr;
    case MAINFRAME_PAGE_CLOUDUPGRADE:
        return m_pCloudUpgradePage ? m_pCloudUpgradePage->GetView() : nullptr;
    default:
        return nullptr;
    }
}

void CMainFrameEventImp::OnDlgSize(UINT, int& cx, int& cy)
{
    if (!m_pToolBar)
        return;
    if (m_pToolBarLeft && m_pToolBarLeft->GetView()) {
        RECT rc{0, 1, 68, cy};
        m_pToolBarLeft->GetView()->MoveWindow(&rc);
    }
    if (m_pToolBar->GetView()) {
        RECT rc{68, 1, cx - 2, 81};
        m_pToolBar->GetView()->MoveWindow(&rc);
    }
    const int order[] = {MAINFRAME_PAGE_DEVLIST, MAINFRAME_PAGE_DEVCONFIG,     MAINFRAME_PAGE_SYSCONFIG,
                         MAINFRAME_PAGE_UPGRADE, MAINFRAME_PAGE_CLOUDUPGRADE, MAINFRAME_PAGE_TEMPLATE,
                         MAINFRAME_PAGE_OTHERTOOL};
    for (int page : order) {
        if (CSFView* view = ViewOfPage(page)) {
            RECT rc{69, 82, cx - 2, cy - 2};
            view->MoveWindow(&rc);
        }
    }
    m_rcPage = RECT{69, 82, cx - 2, cy - 2};
}

int CMainFrameEventImp::SwitchPage(int page)
{
    CreateHiddenParts();
    if (page == m_nCurPage)
        return 1;
    if (CSFView* current = ViewOfPage(m_nCurPage)) {
        current->ShowWindow(0);
        if (m_nCurPage == MAINFRAME_PAGE_SYSCONFIG && m_pSysConfigPage)
            m_pSysConfigPage->EnablePcTimeRefresh(false);
    }
    if (CSFView* next = ViewOfPage(page)) {
        next->ShowWindow(1);
        if (page == MAINFRAME_PAGE_SYSCONFIG && m_pSysConfigPage) {
            m_pSysConfigPage->EnablePcTimeRefresh(true);
        } else if (page == MAINFRAME_PAGE_TEMPLATE && m_pTemplatePage) {
            std::shared_ptr<CTemplateEditEventImp> editor = m_pTemplatePage->GetEditPage();
            if (editor)
                editor->SetEditMode(0);
            m_pTemplatePage->SwitchMode(false);
            if (editor)
                editor->AskSaveCurrent();
        }
    }
    m_nCurPage = page;
    return 1;
}

void CMainFrameEventImp::OnMacMenu(UINT id) { Menu_OnAction(static_cast<int>(id)); }

void CMainFrameEventImp::Menu_OnAction(int id)
{
    CreateHiddenParts();
    switch (id) {
    case ID_MENU_HELP:
        OpenOperationManual();
        break;
    case ID_MENU_QA:
        OpenQAManual();
        break;
    case ID_MENU_ABOUT:
        if (m_pAboutDlg && m_pAboutDlg->GetDialog()) {
            m_pAboutDlg->GetDialog()->CenterWindow(nullptr);
            m_pAboutDlg->GetDialog()->DoModalDlg();
        }
        break;
    case ID_MENU_SETTING:
        if (m_pSettingDlg && m_pSettingDlg->GetDialog()) {
            m_pSettingDlg->GetDialog()->CenterWindow(nullptr);
            m_pSettingDlg->GetDialog()->DoModalDlg();
        }
        break;
    default:
        break;
    }
}

void CMainFrameEventImp::OnDlgKeyDown(UINT, UINT key)
{
    CreateHiddenParts();
    if (key == 112) {
        OpenOperationManual();
    } else if (key == 27 && m_pDevConfigPage) {
        std::shared_ptr<CCodeVideoCfgEventImp> video = m_pDevConfigPage->GetCodeVideoCfgPage();
        if (video)
            video->SetFullScreen();
    }
}

void CMainFrameEventImp::OpenManual(const wchar_t* fileName)
{
    // The path is handed on whole: a long path is opened, not cut.
    const std::wstring path = SFGetAppPath() + L"/Manual/" + Tr(fileName);
    CSFStreamConvert utf8(path.c_str(), SF_SOFT_BASE::SF_CP_UTF8);
    const char* text = utf8.GetMultiByte();
    if (!text)
        return;
    OpenOrSay(text, GetUIWnd());
}

void CMainFrameEventImp::OpenOperationManual() { OpenManual(L"Operation Manual.pdf"); }

void CMainFrameEventImp::OpenQAManual() { OpenManual(L"Vantyx QA.pdf"); }

int CMainFrameEventImp::ShowManualAddDlg()
{
    CreateHiddenParts();
    if (!m_pLoginDevDlg || !m_pLoginDevDlg->GetDialog())
        return 2;
    m_pLoginDevDlg->GetDialog()->CenterWindow(nullptr);
    return m_pLoginDevDlg->GetDialog()->DoModalDlg();
}

int CMainFrameEventImp::ShowSearchSettingDlg()
{
    CreateHiddenParts();
    if (!m_pSearchSettingDlg || !m_pSearchSettingDlg->GetDialog())
        return 2;
    CSFDialog* dialog = m_pSearchSettingDlg->GetDialog();
    dialog->CenterWindow(nullptr);
    return dialog->DoModalDlg();
}

void CMainFrameEventImp::ShowResultDetails(const char* device, std::wstring caption, std::wstring text)
{
    CreateHiddenParts();
    if (!m_pDetailsResDlg || !m_pDetailsResDlg->GetDialog())
        return;
    m_pDetailsResDlg->SetDetails(device, std::move(caption), std::move(text));
    m_pDetailsResDlg->GetDialog()->CenterWindow(nullptr);
    m_pDetailsResDlg->GetDialog()->DoModalDlg();
}

int CMainFrameEventImp::ShowConfigResult(const char* device, int type, int code)
{
    CreateHiddenParts();
    if (!m_pDetailsResDlg || !m_pDetailsResDlg->GetDialog())
        return 2;
    m_pDetailsResDlg->SetConfigResult(device, type, code);
    m_pDetailsResDlg->GetDialog()->CenterWindow(nullptr);
    return m_pDetailsResDlg->GetDialog()->DoModalDlg();
}

int CMainFrameEventImp::ShowNotice(const wchar_t* text, int kind)
{
    CreateHiddenParts();
    bool* setting = nullptr;
    if (kind == 0)
        setting = &CAppSettings::NoticePassword;
    else if (kind == 1)
        setting = &CAppSettings::NoticeCloud;
    if (!setting || !*setting || !m_pNoticeDlg || !m_pNoticeDlg->GetDialog())
        return 1;
    m_pNoticeDlg->SetText(text);
    m_pNoticeDlg->GetDialog()->CenterWindow(nullptr);
    if (m_pNoticeDlg->GetDialog()->DoModalDlg() != 1)
        return 0;
    if (m_pNoticeDlg->IsNeverNotify()) {
        *setting = false;
        SaveSettingsOrSay(GetUIWnd());
    }
    return 1;
}

void CMainFrameEventImp::PopupMenu(int x, int y)
{
    if (m_pMenu)
        m_pMenu->Popup(x, y);
}
