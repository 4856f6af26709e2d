// The device configuration page; see the header.
#include "DevConfig/CDevConfigEventImp.h"

#include <cstring>

#include "Common/DevClass.h"
#include "Common/Translate.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CDevTreeEventImp.h"
#include "DevConfig/CLoginUILogic.h"
#include "DevConfig/DevConfigPagePeers.h"
#include "Main/CMainFrameEventImp.h"
#include "Widgets/SFFactory.h"

CDevConfigEventImp::CDevConfigEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame)
    : m_wpMainFrame(std::move(mainFrame))
{
}

CDevConfigEventImp::~CDevConfigEventImp() { DestroyPasswordNotice(); }

std::shared_ptr<CDevConfigEventImp> CDevConfigEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CDevConfigEventImp>(mainFrame);
    std::shared_ptr<CMainFrameEventImp> main = mainFrame.lock();
    if (main) {
        page->m_wpLoginUILogic = main->GetLoginUILogic();
        page->m_pRequests = CreateLoginUILogicRequests(page->m_wpLoginUILogic);
    }
    page->Build(main ? main->GetUIWnd() : nullptr);
    if (auto logic = page->m_wpLoginUILogic.lock())
        logic->SetPeers(CreateDevConfigPagePeers(page, mainFrame));
    return page;
}

std::shared_ptr<CDevConfigEventImp> CDevConfigEventImp::CreateStandalone(void* parent,
                                                                         std::shared_ptr<IDevConfigRequests> requests)
{
    auto page = std::make_shared<CDevConfigEventImp>(std::weak_ptr<CMainFrameEventImp>());
    page->m_pRequests = std::move(requests);
    page->Build(parent);
    return page;
}

void CDevConfigEventImp::Build(void* parent)
{
    m_pView = CreateSFView(this);
    if (!m_pView)
        return;
    m_pView->SetBGClr(0xEDEFF5);
    m_pView->Create(nullptr, L"DevConfig", 0x40000000, RECT{80, 0, 1000, 62}, parent, 105);
}

int CDevConfigEventImp::OnCreate()
{
    m_pDevTree = CDevTreeEventImp::Create(shared_from_this(), GetUIWnd());
    m_pCodeVideoCfg = CCodeVideoCfgEventImp::Create(shared_from_this(), GetUIWnd());
    m_pCodeVideoCfg->SetRequests(m_pRequests);
    BuildPasswordNotice();
    m_bCreated = 1;
    return 1;
}

void CDevConfigEventImp::OnSize(UINT, int width, int height)
{
    if (!m_pDevTree || !m_pCodeVideoCfg)
        return;
    if (CSFView* tree = m_pDevTree->GetView())
        tree->MoveWindow(12, 10, 200, height - 20);
    if (CSFView* view = m_pCodeVideoCfg->GetView())
        view->MoveWindow(222, 10, width - 232, height - 20);
    m_rcConfig = RECT{222, 10, width - 10, height - 10};
}

void CDevConfigEventImp::ClearDeviceTree()
{
    if (m_pDevTree)
        m_pDevTree->ClearDevices(1);
}

void CDevConfigEventImp::AddDeviceToTree(std::shared_ptr<DEVICE_INFO> device, bool, int)
{
    if (!device || !m_pDevTree || device->stNetInfo.nIpVersion != 4)
        return;
    // A device reported again keeps its row and takes the new record.
    if (m_pDevTree->ReplaceDevice(device))
        return;
    const DEVICE_NET_INFO_EX& net = device->stNetInfo;
    const std::string type(net.szTypeName, strnlen(net.szTypeName, sizeof net.szTypeName));
    const std::string ip(net.szIpAddr, strnlen(net.szIpAddr, sizeof net.szIpAddr));
    m_pDevTree->AddDevice(device, CDevTreeEventImp::GroupOf(type), ip, 1);
}

size_t CDevConfigEventImp::DeviceCount() const { return m_pDevTree ? m_pDevTree->ShownCount() : 0; }

void CDevConfigEventImp::SelectDevice(int index)
{
    if (m_pDevTree)
        m_pDevTree->SelectShown(index);
}

std::shared_ptr<DEVICE_INFO> CDevConfigEventImp::GetSelectedDevice() const
{
    return m_pDevTree ? m_pDevTree->GetSelectedDevice() : nullptr;
}

void CDevConfigEventImp::SetSelectedAccount(const std::string& user, const std::string& password)
{
    if (m_pDevTree)
        m_pDevTree->SetSelectedAccount(user, password);
}

void CDevConfigEventImp::LogoutCurrentDevice()
{
    if (m_bCreated && m_pRequests)
        m_pRequests->LogoutDev();
}

void CDevConfigEventImp::LoginSelectedDevice()
{
    void* parent = GetUIWnd();
    auto refuse = [&](const wchar_t* text) {
        std::wstring body = Tr(text);
        std::wstring caption = Tr(L"Error");
        ShowMessageBox(body.c_str(), caption.c_str(), parent, 0);
    };
    if (m_bLoggingIn) {
        refuse(L"another device is loading,please wait.");
        return;
    }
    if (m_nPendingQuery > 0) {
        refuse(L"another device is getting config,please wait.");
        return;
    }
    std::shared_ptr<DEVICE_INFO> device = GetSelectedDevice();
    if (!device) {
        refuse(L"Please select one device.");
        return;
    }
    CCodeVideoCfgEventImp& w = *m_pCodeVideoCfg;
    w.ShowStartPanel(0);
    w.ShowLoginMessage(0, 0);
    w.ShowImageTab(0);
    w.ShowTabButtons(0);
    w.ShowEncodeTab(0);
    w.ShowFileManageTab(0);
    w.ShowLoadingAnimation(1);
    if (CSFVideoWindow* video = w.GetVideoWindow())
        video->SetSubWinVideo(0, 0);
    m_bLoggingIn = 1;
    w.SetCurrentTab(CCodeVideoCfgEventImp::kTabEncode);
    const DEVICE_NET_INFO_EX& net = device->stNetInfo;
    auto text = [](const char* s, size_t n) { return std::string(s, strnlen(s, n)); };
    const bool evs = IsEVSType(text(net.szTypeName, sizeof net.szTypeName), text(net.szDetailName, sizeof net.szDetailName));
    if (m_pRequests)
        m_pRequests->LoginDevice(text(net.szIpAddr, sizeof net.szIpAddr), net.nPort,
                                 text(device->szUser, sizeof device->szUser),
                                 text(device->szPassword, sizeof device->szPassword),
                                 text(net.szMacAddr, sizeof net.szMacAddr), evs, device->bP2P);
}

void CDevConfigEventImp::ShowLoginResult(int ok, int code)
{
    CCodeVideoCfgEventImp& w = *m_pCodeVideoCfg;
    w.ShowStartPanel(0);
    w.ShowLoadingAnimation(0);
    if (!ok) {
        m_bLoggingIn = 0;
        w.ShowLoginMessage(1, code);
        return;
    }
    w.ShowTabButtons(1);
    const int tab = w.CurrentTab();
    w.ShowImageTab(tab == CCodeVideoCfgEventImp::kTabImage);
    w.ShowFileManageTab(tab == CCodeVideoCfgEventImp::kTabFileManage);
    w.ShowEncodeTab(tab == CCodeVideoCfgEventImp::kTabEncode);
    m_bLoggingIn = 0;
}
