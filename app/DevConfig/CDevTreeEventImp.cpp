// Device tree of the configuration page; see the header.
#include "DevConfig/CDevTreeEventImp.h"
#include "Widgets/TreeTypeGroups.h"

#include <cstring>

#include <QWidget>

#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

namespace {

enum { ID_FILTER_EDIT = 1059, ID_FILTER_BTN = 1060, ID_TREE = 1061 };

std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

} // namespace

SF_BEGIN_MESSAGE_MAP(CDevTreeEventImp)
SF_ON_COMMAND(ID_FILTER_BTN, OnFilter)
SF_END_MESSAGE_MAP()

CDevTreeEventImp::CDevTreeEventImp(std::weak_ptr<CDevConfigEventImp> page) : m_wpPage(std::move(page)) {}

CDevTreeEventImp::~CDevTreeEventImp() {}

std::shared_ptr<CDevTreeEventImp> CDevTreeEventImp::Create(std::weak_ptr<CDevConfigEventImp> page, void* parent)
{
    auto tree = std::make_shared<CDevTreeEventImp>(std::move(page));
    tree->m_pView = CreateSFView(tree.get());
    if (!tree->m_pView)
        return tree;
    tree->m_pView->SetBGClr(0xFFFFFF);
    tree->m_pView->SetFrameClr(0xFFFFFF, 1);
    tree->m_pView->Create(nullptr, L"DevTree", 0x50000000, SFRectLTRB(100, 0, 1000, 62), parent, 110);
    return tree;
}

int CDevTreeEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    m_pTitle = CreateSFPictureCtrl(nullptr);
    m_pTitle->Create(L"", 0, SFRectLTRB(0, 0, 1, 34), wnd, UINT(-1));
    m_pTitle->SetImage(L"tittle.png", false);
    m_pFilterEdit = CreateSFEditCtrl(this);
    m_pFilterEdit->Create(0x10810000, SFRectLTRB(0, 0, 150, 24), wnd, ID_FILTER_EDIT, false);
    // A thin frame: the edit image would be stretched across the narrow field.
    if (auto* w = dynamic_cast<QWidget*>(m_pFilterEdit))
        w->setStyleSheet(QStringLiteral("border: 1px solid #c9ced6; background: white; padding-left: 3px;"));
    m_pFilterEdit->SetWindowTextW(L"");
    m_pFilterBtn = CreateSFButton(nullptr);
    m_pFilterBtn->Create(L"", 0x10010000, SFRectLTRB(0, 0, 80, 28), wnd, ID_FILTER_BTN);
    ImageButtonStyle filter =
        MakeButtonSkin(L"btn_filter_nor.png", L"btn_filter_over.png", L"btn_filter_down.png", L"btn_filter_nor.png");
    m_pFilterBtn->SetSkin(&filter);
    m_pTree = CreateSFTreeCtrl(this);
    m_pTree->Create(0x10000004, SFRectLTRB(0, 0, 100, 100), wnd, ID_TREE, 0, 0);
    // Row text in the skin's dark grey: rows are drawn on white.
    UITreeCtrlStyle style{24, 14, 14, 14, 14, 24, L"scrollbar.png", L"treeCheckbox.png", L"treeState.png",
                          L"FFFFFF", L"5c6576", L"5c6576", L"00FF00", L"mac_close_nor.png", L"mac_close_nor.png"};
    m_pTree->SetSkin(&style);
    return 1;
}

void CDevTreeEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_pFilterEdit)
        return;
    RECT title = SFRectLTRB(1, 2, cx - 2, 34);
    m_pTitle->MoveWindow(&title);
    RECT button = SFRectLTRB(cx - 26, 4, cx - 2, 28);
    m_pFilterBtn->MoveWindow(&button);
    RECT edit = SFRectLTRB(1, 4, cx - 26, 28);
    m_pFilterEdit->MoveWindow(&edit);
    RECT tree = SFRectLTRB(0, 34, cx - 1, cy - 1);
    m_pTree->MoveWindow(&tree);
}

std::wstring CDevTreeEventImp::GroupOf(const std::string& type)
{
    switch (GetDevClass(type)) {
    case 1: return L"IPC";
    case 2: return L"SD";
    case 4: return L"DVR";
    case 8: return L"NVR";
    default: return L"Others";
    }
}

void CDevTreeEventImp::AddDevice(std::shared_ptr<DEVICE_INFO> device, const std::wstring& group,
                                 const std::string& ip, int all)
{
    if (!m_pTree || !device)
        return;
    const std::wstring text = SFUtf8ToWide(ip);
    void* groupItem = FindOrInsertTypeGroup(m_pTree, group);
    if (!groupItem)
        return;
    void* row = m_pTree->InsertItem(text.c_str(), groupItem, SF_TVI_LAST);
    if (!row)
        return;
    m_pTree->SetItemData(row, DWORD(m_shown.size()));
    m_pTree->ExpandTreeItem(groupItem, 2);
    if (all) {
        m_pFilterEdit->SetWindowTextW(L"");
        m_all.push_back(device);
    }
    m_shown.push_back(std::move(device));
}

void CDevTreeEventImp::ClearDevices(int all)
{
    if (m_pTree)
        m_pTree->DeleteAllItems();
    m_nSelected = -1;
    m_pHilight = nullptr;
    m_shown.clear();
    if (all)
        m_all.clear();
}

bool CDevTreeEventImp::ReplaceDevice(const std::shared_ptr<DEVICE_INFO>& device)
{
    const DEVICE_NET_INFO_EX& net = device->stNetInfo;
    bool found = false;
    for (auto* list : {&m_all, &m_shown})
        for (auto& entry : *list)
            if (std::strncmp(entry->stNetInfo.szMacAddr, net.szMacAddr, sizeof net.szMacAddr) == 0 &&
                std::strncmp(entry->stNetInfo.szIpAddr, net.szIpAddr, sizeof net.szIpAddr) == 0) {
                entry = device;
                found = true;
            }
    return found;
}

std::shared_ptr<DEVICE_INFO> CDevTreeEventImp::GetSelectedDevice() const
{
    if (m_nSelected < 0 || m_nSelected >= int(m_shown.size()))
        return nullptr;
    return m_shown[size_t(m_nSelected)];
}

void CDevTreeEventImp::SetSelectedAccount(const std::string& user, const std::string& password)
{
    std::shared_ptr<DEVICE_INFO> device = GetSelectedDevice();
    if (!device)
        return;
    std::memset(device->szUser, 0, sizeof device->szUser);
    std::memset(device->szPassword, 0, sizeof device->szPassword);
    std::strncpy(device->szUser, user.c_str(), sizeof device->szUser - 1);
    std::strncpy(device->szPassword, password.c_str(), sizeof device->szPassword - 1);
}

void* CDevTreeEventImp::ItemOfShown(int index) const
{
    if (!m_pTree)
        return nullptr;
    for (void* g = m_pTree->GetChildItem(SF_TVI_ROOT); g; g = m_pTree->GetNextSiblingItem(g))
        for (void* d = m_pTree->GetChildItem(g); d; d = m_pTree->GetNextSiblingItem(d))
            if (int(m_pTree->GetItemData(d)) == index)
                return d;
    return nullptr;
}

void CDevTreeEventImp::SelectShown(int index)
{
    if (void* item = ItemOfShown(index))
        OnItemClick(item, 0);
}

std::vector<std::wstring> CDevTreeEventImp::Rows() const
{
    std::vector<std::wstring> rows;
    if (!m_pTree)
        return rows;
    auto text = [this](void* item) {
        wchar_t buf[128] = {};
        m_pTree->GetTreeItemText(item, buf, 127);
        return std::wstring(buf);
    };
    for (void* g = m_pTree->GetChildItem(SF_TVI_ROOT); g; g = m_pTree->GetNextSiblingItem(g))
        for (void* d = m_pTree->GetChildItem(g); d; d = m_pTree->GetNextSiblingItem(d))
            rows.push_back(text(g) + L":" + text(d));
    return rows;
}

int CDevTreeEventImp::OnItemClick(void* item, UINT)
{
    if (!m_pTree || !item)
        return 1;
    const int data = int(m_pTree->GetItemData(item));
    if (data < 0 || data >= int(m_shown.size()))
        return 1;
    if (m_pHilight)
        m_pTree->SetItemHilight(m_pHilight, 0);
    m_pHilight = item;
    m_pTree->SetItemHilight(item, 1);
    m_nSelected = data;
    return 1;
}

void CDevTreeEventImp::OnItemDbClick(void* item, POINT&)
{
    OnItemClick(item, 0);
    if (auto page = m_wpPage.lock())
        page->LoginSelectedDevice();
}

void CDevTreeEventImp::EDIT_OnEnterPressed(UINT id, wchar_t*)
{
    if (id == ID_FILTER_EDIT)
        OnFilter();
}

void CDevTreeEventImp::OnFilter()
{
    std::shared_ptr<CDevConfigEventImp> page = m_wpPage.lock();
    if (page && page->GetCodeVideoCfgPage() && page->GetCodeVideoCfgPage()->IsSaving()) {
        std::wstring text = Tr(L"Setting,please wait...");
        std::wstring caption = Tr(L"Attention");
        ShowMessageBox(text.c_str(), caption.c_str(), GetUIWnd(), 0);
        return;
    }
    m_pFilterBtn->EnableWindow(0);
    wchar_t text[64] = {};
    m_pFilterEdit->GetWindowTextW(text, 64);
    Filter(SFWideToUtf8(text));
    m_pTree->ExpangAll();
}

void CDevTreeEventImp::Filter(std::string text)
{
    StrToUpper(text);
    ClearDevices(0);
    const int wanted = GetDevClassExact(text);
    for (const auto& device : std::vector<std::shared_ptr<DEVICE_INFO>>(m_all)) {
        const DEVICE_NET_INFO_EX& net = device->stNetInfo;
        const std::string type = Field(net.szTypeName, sizeof net.szTypeName);
        const std::string ip = Field(net.szIpAddr, sizeof net.szIpAddr);
        const bool match = wanted == 16 ? ip.find(text) != std::string::npos
                                        : GetDevClass(type) == wanted && IsSameDevClass(type, text, wanted);
        if (match && net.nIpVersion == 4)
            AddDevice(device, GroupOf(type), ip, 0);
    }
    m_pFilterBtn->EnableWindow(1);
}
