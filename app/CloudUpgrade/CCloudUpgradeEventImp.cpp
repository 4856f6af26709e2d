// The cloud upgrade page: creation, controls, layout, item clicks, the wait box and the busy
// queries. Rows are in CCloudUpgradeRows.cpp, checks in CCloudUpgradeChecks.cpp, the header
// rebuild in CCloudUpgradeSort.cpp.
#include "CloudUpgrade/CCloudUpgradeEventImp.h"

#include <QDebug>

#include <cstring>

#include "CloudUpgrade/CCloudAcountDlg.h"
#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/SFStreamConvert.h"
#include "Common/SFTimer.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/DevicePageParts.h"
#include "Main/MainFrameDefs.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

namespace {

enum { NOTIFY_ITEM_CLICKED = 2, NOTIFY_HEADER_CLICKED = 9 };

RECT Rc(int l, int t, int r, int b) { return RECT{l, t, r, b}; }

} // namespace

SF_BEGIN_MESSAGE_MAP(CCloudUpgradeEventImp)
SF_ON_COMMAND(CCloudUpgradeEventImp::ID_HEADER_CHECK, OnCheckBoxChanged)
SF_ON_COMMAND(CCloudUpgradeEventImp::ID_ROW_CHECK, OnCheckBoxChanged)
SF_ON_COMMAND(CCloudUpgradeEventImp::ID_GET, OnBtnGetIngfo)
SF_ON_COMMAND(CCloudUpgradeEventImp::ID_SAVE, OnBtnSaveInfo)
SF_ON_COMMAND(CCloudUpgradeEventImp::ID_DOWNLOAD_ALL, OnBtnDownLoadFile)
SF_ON_COMMAND(CCloudUpgradeEventImp::ID_UPGRADE_ALL, OnBtnKeyUpgrade)
SF_ON_COMMAND(CCloudUpgradeEventImp::ID_CHECK, OnBtnCheck)
SF_ON_NOTIFY(NOTIFY_ITEM_CLICKED, CCloudUpgradeEventImp::ID_LIST, OnItemClicked)
SF_ON_NOTIFY(NOTIFY_HEADER_CLICKED, CCloudUpgradeEventImp::ID_LIST, OnListHeaderClick)
SF_END_MESSAGE_MAP()

CCloudUpgradeEventImp::CCloudUpgradeEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_pMainFrame(std::move(mainFrame)), m_pTimer(std::make_shared<CSFTimer>())
{
}

CCloudUpgradeEventImp::~CCloudUpgradeEventImp()
{
    if (m_pTimer)
        m_pTimer->StopTimer();
    CSFView* view = m_pView;
    m_pView = nullptr;
    DestroySFView(view);
}

std::shared_ptr<CCloudUpgradeEventImp> CCloudUpgradeEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CCloudUpgradeEventImp>(std::move(mainFrame));
    page->Init();
    return page;
}

int CCloudUpgradeEventImp::Init()
{
    m_pView = CreateSFView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBGClr(0xFFFFFF);
    m_pView->SetFrameClr(0xFFFFFF, 1);
    std::shared_ptr<CMainFrameEventImp> main = m_pMainFrame.lock();
    // Hidden until the main window shows the page.
    m_pView->Create(nullptr, L"CloudUpgrade", WS_CHILD, Rc(68, 0, 1000, 62), main ? main->GetUIWnd() : nullptr,
                    ID_VIEW);
    return 0;
}

int CCloudUpgradeEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    m_pUILogic = CCloudUpgradeUILogic::Create(shared_from_this());
    m_pAccountDlg = CCloudAcountDlg::Create(shared_from_this());

    m_pBackView = CreateSFView(nullptr);
    m_pBackView->SetBGClr(0xF5EFED);
    m_pBackView->Create(nullptr, L"", WS_VISIBLE, Rc(0, 0, 300, 300), wnd, 0);
    m_pHintView = CreateSFView(nullptr);
    m_pHintView->SetBGClr(0xFFFFFF);
    m_pHintView->Create(nullptr, L"", WS_VISIBLE | WS_CHILD, Rc(0, 0, 300, 300), wnd, 0);

    auto hint = [&](const wchar_t* text, UINT align) {
        CSFStatic* s = CreateSFStatic(nullptr);
        s->Create(Tr(text), WS_VISIBLE | WS_TABSTOP, Rc(0, 0, 300, 24), wnd, static_cast<UINT>(-1));
        s->SetTextAlignFlag(align);
        s->SetTextSize(13);
        return s;
    };
    m_pHintText1 = hint(L"search devices failed,please", 0x26);
    m_pHintText2 = hint(L"to get device's information.", 0x24);
    m_pBtnClickHere = CreateSFButton(this);
    m_pBtnClickHere->Create(Tr(L"click here"), WS_VISIBLE | WS_TABSTOP, Rc(0, 0, 145, 35), wnd, ID_GET);
    m_pBtnClickHere->SetTextColor(0xFF0000);

    auto topButton = [&](const wchar_t* text, const wchar_t* base, UINT id, const wchar_t* tip) {
        const std::wstring b(base);
        ImageButtonStyle skin = MakeButtonSkin((b + L"_n.png").c_str(), (b + L"_h.png").c_str(),
                                               (b + L"_p.png").c_str(), (b + L"_d.png").c_str());
        CSFButton* btn = CreateSFButton(this);
        btn->SetSkin(&skin);
        btn->Create(Tr(text), WS_VISIBLE | WS_TABSTOP, Rc(0, 0, 160, 30), wnd, id);
        btn->SetToolTipText(Tr(tip));
        return btn;
    };
    m_pBtnGet = topButton(L"    Get", L"cloud_get", ID_GET, L"Import device/updates information.");
    m_pBtnSave = topButton(L"    Save", L"cloud_save", ID_SAVE, L"Export device information.");

    m_lstctrlDev = CreateSFListCtrl(this);
    ListCtrlStyle skin;
    FillDeviceListSkin(skin, L"FCE2C6");
    skin.nRowHeight = 40; // taller rows than the other device pages
    m_lstctrlDev->SetSkin(&skin);
    m_lstctrlDev->Create(WS_VISIBLE | WS_TABSTOP | 1, Rc(0, 0, 300, 300), wnd, ID_LIST, true);
    m_lstctrlDev->SetHeaderSortEnable(1);
    m_lstctrlDev->SetSortIndicatorShown(1);
    m_lstctrlDev->SetShowGrid(0);
    m_lstctrlDev->ShowWindow(0);
    m_lstctrlDev->SetExtendedStyle(0x20);
    ImageRadioBox check =
        MakeRadioSkin(L"Select_Check.png", L"Select_unCheck.png", L"Select_Unable.png", L"Select_Unable.png");
    m_lstctrlDev->InsertColumnCheck(0, check);
    const wchar_t* headers[] = {L"", L"NO.", L"Type", L"IP", L"SN", L"Version", L"ScalableVersion", L"DownLoad",
                                L"Upgrade", L"Mac"};
    for (int c = 0; c < 10; ++c)
        m_lstctrlDev->InsertColumn(c, Tr(headers[c]), 0, -1, -1);
    m_lstctrlDev->SetColumnHidden(COL_MAC, true);

    auto batchButton = [&](const wchar_t* text, UINT id) {
        ImageButtonStyle s = MakeButtonSkin(L"button_h.png", L"button_h.png", L"button_p.png", L"button_d.png");
        CSFButton* btn = CreateSFButton(this);
        btn->SetSkin(&s);
        btn->Create(Tr(text), WS_VISIBLE | WS_TABSTOP, Rc(0, 0, 145, 35), wnd, id);
        btn->SetTextColor(0xFFFFFF);
        btn->EnableWindow(0);
        return btn;
    };
    m_pBtnDownload = batchButton(L"DownLoadFile", ID_DOWNLOAD_ALL);
    m_pBtnUpgrade = batchButton(L"KeyUpgrade", ID_UPGRADE_ALL);
    m_pBtnCheck = batchButton(L"CheckRefrush", ID_CHECK);

    m_pWaitSink = new CMsgDlgEventImp(Tr(L"Get remote information..."), Tr(L"Attention"), 5, nullptr);
    DialogStyle box;
    BuildMsgDlgSkin(box);
    m_pWaitDlg = CreateSFDialog(m_pWaitSink, wnd, 0);
    if (m_pWaitDlg) {
        m_pWaitSink->SetDialog(m_pWaitDlg);
        m_pWaitDlg->SetSkin(&box);
        m_pWaitDlg->SetDrawBackGround(1);
        m_pWaitDlg->Create(L"", wnd);
        m_pWaitDlg->CenterWindow(nullptr);
        m_pWaitDlg->ShowWindow(0);
    }
    m_bCreated = true;
    return 1;
}

void CCloudUpgradeEventImp::OnSize(UINT, int w, int h)
{
    if (!m_bCreated)
        return;
    auto place = [](auto* control, int l, int t, int r, int b) {
        if (control) {
            RECT rc{l, t, r, b};
            control->MoveWindow(&rc);
        }
    };
    place(m_pBackView, 0, 0, w, h);
    place(m_pBtnGet, 20, 20, 98, 50);
    place(m_pBtnSave, 108, 20, 186, 50);
    place(m_lstctrlDev, 8, 60, w - 8, h - 60);
    const int L = (w - 8) - 8;
    const double widths[] = {0.04, 0.04, 0.13, 0.13, 0.14, 0.12, 0.13, 0.13, 0.13};
    for (int c = 0; c < 9; ++c)
        m_lstctrlDev->SetColumnWidth(c, static_cast<int>(L * widths[c]));
    place(m_pHintView, 8, 60, w - 8, h - 60);
    const int a = ((h - 60) - 60) / 2;
    // The texts keep their inner edges at the link and get room outwards: a translation or a
    // larger font is not cut.
    place(m_pHintText1, 30, a + 10, 430, a + 34);
    place(m_pBtnClickHere, 430, a + 10, 510, a + 34);
    place(m_pHintText2, 510, a + 10, 910, a + 34);
    place(m_pBtnDownload, w - 410, h - 40, w - 285, h - 10);
    place(m_pBtnUpgrade, w - 275, h - 40, w - 150, h - 10);
    place(m_pBtnCheck, w - 140, h - 40, w - 15, h - 10);
}

CSFButton* CCloudUpgradeEventImp::GetButton(int id) const
{
    switch (id) {
    case ID_GET: return m_pBtnGet;
    case ID_SAVE: return m_pBtnSave;
    case ID_DOWNLOAD_ALL: return m_pBtnDownload;
    case ID_UPGRADE_ALL: return m_pBtnUpgrade;
    case ID_CHECK: return m_pBtnCheck;
    default: return nullptr;
    }
}

void CCloudUpgradeEventImp::OnItemClicked(void* data, LRESULT)
{
    const int row = data ? static_cast<const SF_LIST_NOTIFY*>(data)->iItem : -1;
    m_nCurDevIndex = FindDeviceIndexByRow(row);
    m_nCurRow = row;
    qDebug("CCloudUpgradeEventImp::OnItemClicked... m_nCurRow:%d", row);
    std::memset(m_szCurUser, 0, sizeof m_szCurUser);
    std::memset(m_szCurPassword, 0, sizeof m_szCurPassword);
    if (m_nCurDevIndex < 0)
        return;
    const DEVICE_INFO& d = m_vecDevice[static_cast<size_t>(m_nCurDevIndex)];
    std::memset(m_szCurIP, 0, sizeof m_szCurIP);
    SafeStrCopy(m_szCurIP, sizeof m_szCurIP, d.stNetInfo.szIpAddr, sizeof d.stNetInfo.szIpAddr);
    SafeStrCopy(m_szCurUser, sizeof m_szCurUser, d.szUser, sizeof d.szUser);
    SafeStrCopy(m_szCurPassword, sizeof m_szCurPassword, d.szPassword, sizeof d.szPassword);
    std::memset(m_szCurMac, 0, sizeof m_szCurMac);
    SafeStrCopy(m_szCurMac, sizeof m_szCurMac, d.stNetInfo.szMacAddr, sizeof d.stNetInfo.szMacAddr);
    m_nCurPort = d.stNetInfo.nPort;
}

// ---- Wait box ------------------------------------------------------------------------------------

void CCloudUpgradeEventImp::ShowWaitBox(const wchar_t* text)
{
    if (!m_pWaitDlg || !m_pWaitSink)
        return;
    m_pWaitSink->SetText(Tr(text));
    m_pWaitDlg->CenterWindow(nullptr);
    m_pWaitDlg->DoModalDlg();
}

void CCloudUpgradeEventImp::HideProgressDialog()
{
    if (m_pWaitDlg)
        m_pWaitDlg->ShowWindow(0);
}

void CCloudUpgradeEventImp::OnWaitTimeout(int, void* user)
{
    auto* page = static_cast<CCloudUpgradeEventImp*>(user);
    if (!page)
        return;
    page->HideProgressDialog();
    if (page->m_pTimer)
        page->m_pTimer->StopTimer();
}

void CCloudUpgradeEventImp::Message(const wchar_t* text)
{
    std::wstring message = Tr(text);
    std::wstring caption = Tr(L"Attention");
    ShowMessageBox(message.c_str(), caption.c_str(), GetUIWnd(), 0);
}

void CCloudUpgradeEventImp::ShowAttention(const wchar_t* text) { Message(text); }

// ---- Busy state ----------------------------------------------------------------------------------

int CCloudUpgradeEventImp::IsChecking() { return m_bChecking; }
int CCloudUpgradeEventImp::IsUpgrading() { return m_pUILogic ? m_pUILogic->IsUpgrading() : 0; }
int CCloudUpgradeEventImp::IsStoppingUpgrade() { return m_pUILogic ? m_pUILogic->IsStoppingUpgrade() : 0; }
int CCloudUpgradeEventImp::IsDownloading() { return m_pUILogic ? m_pUILogic->IsDownloading() : 0; }

void CCloudUpgradeEventImp::OnUpgradeButtonIdle()
{
    if (std::shared_ptr<CMainFrameEventImp> main = m_pMainFrame.lock())
        main->OnModuleStopped(MAINFRAME_MODULE_CLOUDUPGRADE);
}
