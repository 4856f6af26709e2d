#include "SysConfig/CSysTreeEventImp.h"
#include "Widgets/TreeTypeGroups.h"

#include <cstring>

#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "SysConfig/CConfigUILogic.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "SysConfig/CSysTabEventImp.h"
#include "SysConfig/SysConfigUi.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

namespace {

enum { ID_FILTER_EDIT = 1062, ID_FILTER_BTN = 1063, ID_TREE = 1064 };

bool IsRecorderGroup(CSFTreeCtrl* tree, void* group)
{
    wchar_t text[16] = {};
    tree->GetTreeItemText(group, text, 15);
    return std::wcscmp(text, L"DVR") == 0 || std::wcscmp(text, L"NVR") == 0;
}

} // namespace

SF_BEGIN_MESSAGE_MAP(CSysTreeEventImp)
SF_ON_COMMAND(ID_FILTER_BTN, OnFilter)
SF_END_MESSAGE_MAP()

CSysTreeEventImp::CSysTreeEventImp(std::weak_ptr<CSysConfigEventImp> owner) : m_wpOwner(std::move(owner)) {}

CSysTreeEventImp::~CSysTreeEventImp() {}

std::shared_ptr<CSysTreeEventImp> CSysTreeEventImp::Create(std::weak_ptr<CSysConfigEventImp> owner)
{
    auto tree = std::make_shared<CSysTreeEventImp>(std::move(owner));
    tree->Init();
    return tree;
}

void CSysTreeEventImp::Init()
{
    std::shared_ptr<CSysConfigEventImp> owner = m_wpOwner.lock();
    m_pView = CreateSFView(this);
    if (!m_pView || !owner)
        return;
    m_pView->SetBGClr(0xFFFFFF);
    m_pView->SetFrameClr(0xFFFFFF, 1);
    m_pView->Create(L"", L"SysTree", 0x50000000, SFRectLTRB(100, 0, 1000, 62), owner->GetUIWnd(), 112);
}

int CSysTreeEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    m_pTitle = CreateSFPictureCtrl(nullptr);
    if (m_pTitle) {
        m_pTitle->Create(L"", 0x50000000, SFRectLTRB(0, 0, 10, 10), wnd, static_cast<UINT>(-1));
        m_pTitle->SetImage(L"tittle.png", false);
    }
    m_pFilterEdit = CreateSFEditCtrl(this);
    if (m_pFilterEdit) {
        m_pFilterEdit->Create(0x10810000, SFRectLTRB(0, 0, 10, 10), wnd, ID_FILTER_EDIT, false);
        sysui::FrameEdit(m_pFilterEdit);
        m_pFilterEdit->SetWindowTextW(L"");
    }
    m_pFilterBtn = sysui::Button(L"", SFRectLTRB(0, 0, 10, 10), wnd, ID_FILTER_BTN,
                                 MakeButtonSkin(L"btn_filter_nor.png", L"btn_filter_over.png",
                                                   L"btn_filter_nor.png", L"btn_filter_nor.png"));
    m_pTree = CreateDeviceTree(this, SFRectLTRB(0, 0, 10, 10), wnd, ID_TREE);
    return 1;
}

void CSysTreeEventImp::OnSize(UINT, int cx, int cy)
{
    LayoutDevicePicker(cx, cy, m_pTitle, m_pFilterEdit, m_pFilterBtn, m_pTree);
}

void CSysTreeEventImp::AddDevice(const std::wstring& group, const std::string& rowText, int index)
{
    if (!m_pTree)
        return;
    const std::wstring text = SFUtf8ToWide(rowText);
    void* groupItem = FindOrInsertTypeGroup(m_pTree, group);
    if (!groupItem)
        return;
    void* row = m_pTree->InsertItem(text.c_str(), groupItem, SF_TVI_LAST);
    if (row)
        m_pTree->SetItemData(row, DWORD(index));
}

void CSysTreeEventImp::DeleteAllItems()
{
    if (m_pTree)
        m_pTree->DeleteAllItems();
}

int CSysTreeEventImp::GetCheckedCount() const { return CountCheckedDevices(m_pTree); }

void CSysTreeEventImp::ClearFilterText()
{
    if (m_pFilterEdit)
        m_pFilterEdit->SetWindowTextW(L"");
}

void CSysTreeEventImp::SetResultIcon(void* item, int result) { SetDeviceResultIcon(m_pTree, item, result); }

void CSysTreeEventImp::EnableRecorderGroups(bool enable)
{
    if (!m_pTree)
        return;
    for (void* g = m_pTree->GetChildItem(SF_TVI_ROOT); g; g = m_pTree->GetNextSiblingItem(g)) {
        if (!IsRecorderGroup(m_pTree, g))
            continue;
        for (void* d = m_pTree->GetChildItem(g); d; d = m_pTree->GetNextSiblingItem(d))
            m_pTree->SetItemEnable(d, enable ? 0 : 1);
        m_pTree->SetItemEnable(g, enable ? 0 : 1);
    }
}

bool CSysTreeEventImp::IsRecorderChecked() const
{
    if (!m_pTree)
        return false;
    for (void* g = m_pTree->GetChildItem(SF_TVI_ROOT); g; g = m_pTree->GetNextSiblingItem(g)) {
        if (!IsRecorderGroup(m_pTree, g))
            continue;
        for (void* d = m_pTree->GetChildItem(g); d; d = m_pTree->GetNextSiblingItem(d))
            if (m_pTree->GetCheck(d))
                return true;
    }
    return false;
}

void CSysTreeEventImp::OnItemCheckStateChanged(void*, int)
{
    std::shared_ptr<CSysConfigEventImp> owner = m_wpOwner.lock();
    if (owner && owner->GetTabPage())
        owner->GetTabPage()->SetSelectedCount(GetCheckedCount());
}

void CSysTreeEventImp::OnItemDbClick(void* item, POINT&)
{
    if (!m_pTree || !item || int(m_pTree->GetItemData(item)) == -1)
        return;
    wchar_t text[512] = {};
    m_pTree->GetTreeItemText(item, text, 511);
    std::shared_ptr<CSysConfigEventImp> owner = m_wpOwner.lock();
    if (owner)
        owner->ShowDeviceResult(item, text);
}

void CSysTreeEventImp::EDIT_OnEnterPressed(UINT id, wchar_t*)
{
    if (id == ID_FILTER_EDIT)
        OnFilter();
}

void CSysTreeEventImp::OnFilter()
{
    std::shared_ptr<CSysConfigEventImp> owner = m_wpOwner.lock();
    if (!owner)
        return;
    if (owner->IsConfiguring()) {
        ShowMessageBox(Tr(L"Setting,please wait..."), Tr(L"Attention"), GetUIWnd(), 0);
        return;
    }
    owner->SetFilterText(SFWideToUtf8(sysui::EditText(m_pFilterEdit, 63)));
}
