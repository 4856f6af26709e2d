// The export page's device picker; see the header.
#include "Template/CTemplateTreeEventImp.h"

#include <cstring>

#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Template/CTemplateLoadEventImp.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFTypes.h"
#include "Widgets/SkinRecords.h"
#include "Widgets/TreeTypeGroups.h"

namespace {
constexpr int kTitleHeight = 34;
constexpr int kFieldHeight = 24;
} // namespace

SF_BEGIN_MESSAGE_MAP(CTemplateTreeEventImp)
SF_ON_COMMAND(CTemplateTreeEventImp::ID_FILTER_BTN, OnBtnFilter)
SF_END_MESSAGE_MAP()

CTemplateTreeEventImp::CTemplateTreeEventImp(std::weak_ptr<CTemplateLoadEventImp> owner) : m_wpOwner(std::move(owner))
{
}

CTemplateTreeEventImp::~CTemplateTreeEventImp() { m_mapDevices.clear(); }

std::shared_ptr<CTemplateTreeEventImp> CTemplateTreeEventImp::Create(std::weak_ptr<CTemplateLoadEventImp> owner)
{
    auto panel = std::make_shared<CTemplateTreeEventImp>(owner);
    std::shared_ptr<CTemplateLoadEventImp> page = owner.lock();
    panel->Init(page ? page->GetUIWnd() : nullptr);
    return panel;
}

void CTemplateTreeEventImp::Init(void* parent)
{
    m_pView = CreateSFView(this);
    if (!m_pView)
        return;
    m_pView->SetBGClr(0xFFFFFF);
    m_pView->SetFrameClr(0xFFFFFF, 1);
    m_pView->Create(L"", L"TemplateTree", WS_CHILD | WS_VISIBLE, SFRectLTRB(100, 0, 1000, 62), parent, ID_VIEW);
}

int CTemplateTreeEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    // The title strip stays hidden.
    m_pTitle = CreateSFPictureCtrl(nullptr);
    if (m_pTitle) {
        m_pTitle->Create(L"", 0, SFRectLTRB(0, 0, 1, kTitleHeight), wnd, static_cast<UINT>(-1));
        m_pTitle->SetImage(L"tittle.png", false);
    }
    m_pFilterEdit = CreateSFEditCtrl(this);
    if (m_pFilterEdit) {
        m_pFilterEdit->SetSkin(L"bg_edit.png");
        m_pFilterEdit->Create(0x10810000, SFRectLTRB(0, 0, 150, kFieldHeight), wnd, ID_FILTER_EDIT, false);
        m_pFilterEdit->SetMaxLength(kMaxFilterChars);
        m_pFilterEdit->SetWindowTextW(L"");
    }
    ImageButtonStyle filter =
        MakeButtonSkin(L"btn_filter_nor.png", L"btn_filter_over.png", L"btn_filter_nor.png", L"btn_filter_nor.png");
    m_pFilterBtn = CreateSFButton(nullptr);
    if (m_pFilterBtn) {
        m_pFilterBtn->Create(L"", WS_VISIBLE | WS_TABSTOP, SFRectLTRB(0, 0, 80, 28), wnd, ID_FILTER_BTN);
        m_pFilterBtn->SetSkin(&filter);
        m_pFilterBtn->SetToolTipText(Tr(L"Filter"));
    }
    m_pTree = CreateDeviceTree(this, SFRectLTRB(0, 0, 100, 100), wnd, ID_TREE);
    return 1;
}

void CTemplateTreeEventImp::OnSize(UINT, int cx, int cy)
{
    LayoutDevicePicker(cx, cy, m_pTitle, m_pFilterEdit, m_pFilterBtn, m_pTree);
}

void CTemplateTreeEventImp::AddDevice(const std::wstring& group, std::shared_ptr<DEVICE_INFO> device)
{
    if (!m_pTree || !device)
        return;
    void* groupRow = FindOrInsertTypeGroup(m_pTree, group);
    if (!groupRow)
        return;
    const DEVICE_NET_INFO_EX& net = device->stNetInfo;
    const std::wstring ip = SFUtf8ToWide(std::string(net.szIpAddr, strnlen(net.szIpAddr, sizeof net.szIpAddr)));
    void* row = m_pTree->InsertItem(ip.c_str(), groupRow, SF_TVI_LAST);
    if (row)
        m_mapDevices[row] = std::move(device);
}

std::shared_ptr<DEVICE_INFO> CTemplateTreeEventImp::GetSelectedDevice() const
{
    if (!m_pSelected)
        return nullptr;
    auto it = m_mapDevices.find(m_pSelected);
    return it != m_mapDevices.end() ? it->second : nullptr;
}

void CTemplateTreeEventImp::ClearDevices()
{
    m_mapDevices.clear();
    if (m_pTree)
        m_pTree->DeleteAllItems();
    m_pSelected = nullptr;
}

void CTemplateTreeEventImp::ClearFilter()
{
    if (m_pFilterEdit)
        m_pFilterEdit->SetWindowTextW(L"");
}

int CTemplateTreeEventImp::GetCheckedCount() const { return CountCheckedDevices(m_pTree); }

void CTemplateTreeEventImp::SetResultIcon(void* row, int result) { SetDeviceResultIcon(m_pTree, row, result); }

int CTemplateTreeEventImp::OnItemClick(void* item, UINT)
{
    m_pSelected = m_pTree && item && m_pTree->GetParentItem(item) ? item : nullptr;
    return 1;
}

void CTemplateTreeEventImp::EDIT_OnEnterPressed(UINT id, wchar_t*)
{
    if (id == ID_FILTER_EDIT)
        OnBtnFilter();
}

void CTemplateTreeEventImp::OnBtnFilter()
{
    std::shared_ptr<CTemplateLoadEventImp> owner = m_wpOwner.lock();
    if (!owner)
        return;
    if (owner->IsExporting()) {
        ShowMessageBox(Tr(L"Getting,please wait..."), Tr(L"Attention"), GetUIWnd(), 0);
        return;
    }
    wchar_t text[kMaxFilterChars + 1] = {};
    if (m_pFilterEdit)
        m_pFilterEdit->GetWindowTextW(text, kMaxFilterChars);
    owner->ApplyFilter(SFWideToUtf8(text));
}
