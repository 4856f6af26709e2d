// The template apply panel; see the header.
#include "Template/CTemplateUsingEventImp.h"

#include <cstring>

#include <QWidget>

#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Main/CDeviceListUILogic.h"
#include "Template/CTemplateApplyDlg.h"
#include "Template/CTemplateApplyResultDlg.h"
#include "Template/CTemplateConfigUILogic.h"
#include "Template/CTemplateInfoEventImp.h"
#include "Template/CTemplateXml.h"
#include "Template/CTempletOptionDlg.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"
#include "Widgets/TreeTypeGroups.h"

namespace {

const wchar_t* TypeLabelOf(const wchar_t* type)
{
    if (std::wcscmp(type, L"IPC") == 0)
        return L"IPC Template";
    if (std::wcscmp(type, L"DVR") == 0)
        return L"DVR Template";
    if (std::wcscmp(type, L"NVR") == 0)
        return L"NVR Template";
    if (std::wcscmp(type, L"SD") == 0)
        return L"SD Template";
    return nullptr;
}

} // namespace

SF_BEGIN_MESSAGE_MAP(CTemplateUsingEventImp)
SF_ON_COMMAND(CTemplateUsingEventImp::ID_OK, OnBtnOK)
SF_ON_COMMAND(CTemplateUsingEventImp::ID_RETURN, OnBtnReturn)
SF_ON_COMMAND(CTemplateUsingEventImp::ID_OTHER, OnBtnOtherTemplate)
SF_END_MESSAGE_MAP()

CTemplateUsingEventImp::CTemplateUsingEventImp(std::weak_ptr<ITemplateUsingHost> owner) : m_wpOwner(std::move(owner))
{
}

CTemplateUsingEventImp::~CTemplateUsingEventImp()
{
    m_pFileDlg.reset();
    m_pResultDlg.reset();
    m_pApplyDlg.reset();
    m_pControl.reset();
    // The window goes with us, before the summary page its child calls back into: widgets left
    // behind would call sinks that no longer exist. Gone already when its parent went first.
    delete static_cast<QWidget*>(GetUIWnd());
    m_pView = nullptr;
    m_pInfoPage.reset();
}

std::shared_ptr<CTemplateUsingEventImp> CTemplateUsingEventImp::Create(std::weak_ptr<ITemplateUsingHost> owner)
{
    auto panel = std::make_shared<CTemplateUsingEventImp>(std::move(owner));
    panel->Init();
    return panel;
}

void CTemplateUsingEventImp::Init()
{
    std::shared_ptr<ITemplateUsingHost> owner = m_wpOwner.lock();
    auto* page = dynamic_cast<ISFViewEvent*>(owner.get());
    m_pView = CreateSFView(this);
    m_pView->SetBGClr(0xFFFFFF);
    m_pView->SetFrameClr(0xF0F0F0, 1);
    m_pView->Create(nullptr, L"TemplateUsing", WS_CHILD, RECT{100, 0, 1000, 62}, page ? page->GetUIWnd() : nullptr,
                    ID_VIEW);
    m_pControl = CTemplateConfigUILogic::Create(weak_from_this());
    m_pApplyDlg = CTemplateApplyDlg::Create(weak_from_this());
    m_pResultDlg = CTemplateApplyResultDlg::Create(weak_from_this());
}

int CTemplateUsingEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    m_pTitlePic = CreateSFPictureCtrl(nullptr);
    m_pTitlePic->SetImage(L"tittle.png", false);
    m_pTitlePic->Create(L"", WS_VISIBLE | WS_CHILD, RECT{0, 0, 1, 34}, wnd, UINT(-1));

    m_pInfoPage = CTemplateInfoEventImp::Create(weak_from_this());

    m_pCountLabel = CreateSFStatic(nullptr);
    m_pCountLabel->Create(L"", WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 80, 24}, wnd, UINT(-1));
    m_pCountLabel->SetTextAlignFlag(0x24);
    m_pCountLabel->SetBgColor(0xF0F0F0, 1);
    m_pCountLabel->SetTextOffset(20);

    m_pTypeLabel = CreateSFStatic(nullptr);
    m_pTypeLabel->Create(Tr(L"SD Template"), WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 80, 24}, wnd, UINT(-1));
    m_pTypeLabel->SetTextAlignFlag(0x24);
    m_pTypeLabel->SetTextOffset(10);

    m_pHeaderLabel = CreateSFStatic(nullptr);
    m_pHeaderLabel->Create(Tr(L"Apply to Devices"), WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 80, 24}, wnd, UINT(-1));
    m_pHeaderLabel->SetTextAlignFlag(0x24);
    m_pHeaderLabel->SetBgColor(0xF0F0F0, 1);
    m_pHeaderLabel->SetTextOffset(10);

    m_pArrowPic = CreateSFPictureCtrl(nullptr);
    m_pArrowPic->SetImage(L"toRight.png", false);
    m_pArrowPic->Create(L"", WS_VISIBLE | WS_CHILD, RECT{0, 0, 1, 34}, wnd, UINT(-1));

    ImageButtonStyle button =
        MakeButtonSkin(L"btnTem_nor.png", L"btnTem_over.png", L"btnTem_down.png", L"btnTem_dis.png");
    m_pOkBtn = CreateSFButton(nullptr);
    m_pOkBtn->Create(Tr(L"OK"), WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 80, 28}, wnd, ID_OK);
    m_pOkBtn->SetSkin(&button);
    m_pReturnBtn = CreateSFButton(nullptr);
    m_pReturnBtn->Create(Tr(L"Return"), WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 80, 28}, wnd, ID_RETURN);
    m_pReturnBtn->SetSkin(&button);

    m_pOtherBtn = CreateSFButton(nullptr);
    m_pOtherBtn->Create(Tr(L"Other Template>>"), WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 80, 28}, wnd, ID_OTHER);
    m_pOtherBtn->SetTextAlign(0x26);

    std::shared_ptr<ITemplateUsingHost> owner = m_wpOwner.lock();
    m_pFileDlg = CTempletOptionDlg::Create(owner ? owner->GetEditShell() : std::weak_ptr<ITemplateEditShell>(),
                                           weak_from_this(), CTempletOptionDlg::MODE_OPEN);

    m_pTreeFrame = CreateSFView(nullptr);
    m_pTreeFrame->SetBGClr(0xFFFFFF);
    m_pTreeFrame->SetFrameClr(0xBEBEBE, 1);
    m_pTreeFrame->Create(nullptr, nullptr, WS_VISIBLE, RECT{0, 0, 100, 100}, wnd, 0);

    m_pTree = CreateSFTreeCtrl(this);
    m_pTree->Create(WS_VISIBLE | 0x4, RECT{0, 0, 100, 100}, wnd, ID_TREE, 0, 1);
    UITreeCtrlStyle tree;
    tree.nValue0 = 24, tree.nValue1 = 14, tree.nValue2 = 14, tree.nValue3 = 14, tree.nValue4 = 14, tree.nValue5 = 24;
    tree.strScrollImage = L"scrollbar.png";
    tree.strCheckImage = L"treeCheckbox.png";
    tree.strStateImage = L"treeState.png";
    tree.strColor1 = L"FFFFFF";
    tree.strColor2 = L"5c6576";
    tree.strTextColor = L"5c6576";  // rows are drawn on white: white text would not show
    tree.strHighlightColor = L"00FF00";
    tree.strIconA = L"mac_close_nor.png";
    tree.strIconB = L"mac_close_nor.png";
    m_pTree->SetSkin(&tree);
    m_pTree->SetObjectName(L"TemplateUsing");
    ShowCheckedCount(0);
    return 1;
}

void CTemplateUsingEventImp::OnSize(UINT, int w, int h)
{
    if (!m_pTitlePic)
        return;
    const int half = w / 2;
    RECT r{10, 20, half - 30, 50};
    m_pTitlePic->MoveWindow(&r);
    if (m_pInfoPage && m_pInfoPage->GetView()) {
        RECT info{10, 52, half - 30, h - 65};
        m_pInfoPage->GetView()->MoveWindow(&info);
    }
    const int t = 52 + ((h - 65) - 52 - 40) / 2;
    RECT arrow{half - 29, t, half + 11, t + 40};
    m_pArrowPic->MoveWindow(&arrow);
    RECT header{w - half + 30, 20, w - 10, 50};
    m_pHeaderLabel->MoveWindow(&header);
    RECT frame{w - half + 30, 50, w - 10, h - 65};
    m_pTreeFrame->MoveWindow(&frame);
    RECT tree{w - half + 31, 50, w - 11, h - 66};
    m_pTree->MoveWindow(&tree);
    const int right = (half - 30) - (half - 40) / 2;
    RECT type{10, 20, right, 50};
    m_pTypeLabel->MoveWindow(&type);
    RECT other{right, 20, 2 * right - 10, 50};
    m_pOtherBtn->MoveWindow(&other);
    RECT count{1, h - 47, w - 1, h - 2};
    m_pCountLabel->MoveWindow(&count);
    RECT ok{w - 156, h - 47, w - 1, h - 2};
    m_pOkBtn->MoveWindow(&ok);
    RECT ret{w - 321, h - 47, w - 166, h - 2};
    m_pReturnBtn->MoveWindow(&ret);
}

void CTemplateUsingEventImp::ShowPanelMessage(const wchar_t* panelMessage)
{
    ShowMessageBox(Tr(panelMessage), Tr(L"Attention"), GetUIWnd(), 0);
}

int CTemplateUsingEventImp::KeyOf(void* item)
{
    auto it = m_keyOfRow.find(item);
    if (it != m_keyOfRow.end())
        return it->second;
    const int key = m_nNextKey++;
    m_keyOfRow[item] = key;
    m_rowOfKey[key] = item;
    return key;
}

void* CTemplateUsingEventImp::ItemOf(int key) const
{
    auto it = m_rowOfKey.find(key);
    return it == m_rowOfKey.end() ? nullptr : it->second;
}

template <class F> void CTemplateUsingEventImp::ForEachDeviceRow(F f) const
{
    if (!m_pTree)
        return;
    for (void* group = m_pTree->GetChildItem(SF_TVI_ROOT); group; group = m_pTree->GetNextSiblingItem(group))
        for (void* row = m_pTree->GetChildItem(group); row; row = m_pTree->GetNextSiblingItem(row))
            f(row);
}

int CTemplateUsingEventImp::GetCheckedCount() const
{
    int n = 0;
    ForEachDeviceRow([&](void* row) { n += m_pTree->GetCheck(row) ? 1 : 0; });
    return n;
}

void CTemplateUsingEventImp::ShowCheckedCount(int count)
{
    std::wstring text = Tr(L"You have choose ");
    text += std::to_wstring(count);
    text += Tr(L" devices");
    if (m_pCountLabel)
        m_pCountLabel->SetStaticText(text.c_str());
}

std::wstring CTemplateUsingEventImp::GetCountText() const
{
    wchar_t buf[256] = {};
    if (m_pCountLabel)
        m_pCountLabel->GetStaticText(buf, 255);
    return buf;
}

std::wstring CTemplateUsingEventImp::GetTypeText() const
{
    wchar_t buf[256] = {};
    if (m_pTypeLabel)
        m_pTypeLabel->GetStaticText(buf, 255);
    return buf;
}

void CTemplateUsingEventImp::ClearDevices()
{
    if (m_pTree)
        m_pTree->DeleteAllItems();
    m_rowOfKey.clear();
    m_keyOfRow.clear();
    ShowCheckedCount(GetCheckedCount());
}

bool CTemplateUsingEventImp::MatchTemplateType(const DEVICE_NET_INFO_EX* record) const
{
    if (!record)
        return false;
    const std::string type(record->szTypeName, strnlen(record->szTypeName, sizeof record->szTypeName));
    switch (m_nTemplateType) {
    case TEMPLATE_DEVICE_IPC: return IsIPCType(type);
    case TEMPLATE_DEVICE_DVR: return IsDVRType(type);
    case TEMPLATE_DEVICE_NVR: return IsNVRType(type);
    case TEMPLATE_DEVICE_SD: return IsPTZType(type);
    default: return false;
    }
}

void CTemplateUsingEventImp::AddDeviceToTree(const std::wstring& group, const std::string& ip, int position)
{
    if (!m_pTree)
        return;
    void* groupItem = FindOrInsertTypeGroup(m_pTree, group);
    if (!groupItem)
        return;
    void* row = m_pTree->InsertItem(SFUtf8ToWide(ip).c_str(), groupItem, SF_TVI_LAST);
    if (row)
        m_pTree->SetItemData(row, DWORD(position));
    ShowCheckedCount(GetCheckedCount());
}

bool CTemplateUsingEventImp::LoadTemplate(const char* path)
{
    if (!path || !*path)
        return false;
    std::shared_ptr<ITemplateUsingHost> owner = m_wpOwner.lock();
    std::shared_ptr<CDeviceListUILogic> list = owner ? owner->GetDeviceListUILogic() : nullptr;
    if (list && !list->FilterDevList(kDevicePageKind)) {
        ShowPanelMessage(L"Searching,please wait...");
        return false;
    }
    tagTEMPLATEINFO info;
    std::memset(&info, 0, sizeof info);
    CTemplateXml(path).ReadTemplateInfo(info);
    const int type = GetTemplateDeviceType(info.type);
    if (type != TEMPLATE_DEVICE_OTHER)
        m_nTemplateType = type;
    ClearDevices();
    return true;
}

void CTemplateUsingEventImp::ShowTemplateInfo(const char* path)
{
    if (!path || !*path) {
        if (m_pTypeLabel)
            m_pTypeLabel->SetStaticText(Tr(L""));
        if (m_pInfoPage)
            m_pInfoPage->ClearTemplateInfo();
        return;
    }
    tagTEMPLATEINFO info;
    std::memset(&info, 0, sizeof info);
    CTemplateXml(path).ReadTemplateInfo(info);
    if (const wchar_t* label = TypeLabelOf(info.type))
        if (m_pTypeLabel)
            m_pTypeLabel->SetStaticText(Tr(label));
    if (m_pInfoPage)
        m_pInfoPage->SetTemplateInfo(info);
}

void CTemplateUsingEventImp::ResetResults()
{
    ForEachDeviceRow([&](void* row) { m_pTree->SetItemIconBack(row, L""); });
    if (m_pControl)
        m_pControl->ClearDevices();
    ShowCheckedCount(GetCheckedCount());
}

void CTemplateUsingEventImp::OnBtnOK()
{
    if (m_strTemplatePath.empty()) {
        ShowPanelMessage(L"No template file to apply, please load a template file or edit one!");
        return;
    }
    if (m_pControl->IsConfiguring()) {
        ShowPanelMessage(L"Setting,please wait...");
        return;
    }
    m_pControl->ClearDevices();
    std::shared_ptr<ITemplateUsingHost> owner = m_wpOwner.lock();
    std::shared_ptr<CDeviceListUILogic> list = owner ? owner->GetDeviceListUILogic() : nullptr;
    int count = 0;
    ForEachDeviceRow([&](void* row) {
        m_pTree->SetItemIconBack(row, L"");
        if (!m_pTree->GetCheck(row) || !list)
            return;
        const DWORD position = m_pTree->GetItemData(row);
        const DeviceVector& devices = list->GetDeviceList();
        // A row whose device has left the list, or was replaced by another, takes no part.
        if (position >= devices.size() || !devices[position])
            return;
        const DEVICE_INFO& d = *devices[position];
        wchar_t text[512] = {};
        m_pTree->GetTreeItemText(row, text, 511);
        const std::string ip(d.stNetInfo.szIpAddr, strnlen(d.stNetInfo.szIpAddr, sizeof d.stNetInfo.szIpAddr));
        if (SFWideToUtf8(text) != ip)
            return;
        const std::string mac(d.stNetInfo.szMacAddr, strnlen(d.stNetInfo.szMacAddr, sizeof d.stNetInfo.szMacAddr));
        const std::string user(d.szUser, strnlen(d.szUser, sizeof d.szUser));
        const std::string password(d.szPassword, strnlen(d.szPassword, sizeof d.szPassword));
        const size_t before = m_pControl->GetDeviceCount();
        m_pControl->AddDevice(d.stNetInfo.nPort, ip.c_str(), user, password, mac.c_str(), KeyOf(row), d.bP2P);
        if (m_pControl->GetDeviceCount() > before)
            ++count;
    });
    if (count == 0) {
        ShowPanelMessage(L"please select the devices you need to apply!");
        return;
    }
    m_pControl->SetTemplateMode(m_nTemplateMode);
    m_pControl->SetTemplateFile(m_strTemplatePath);
    m_pResultDlg->SetTemplateFile(m_strTemplatePath);
    m_pApplyDlg->SetDeviceCount(count);
    m_pApplyDlg->SetTemplateName(m_strTemplatePath);
    m_pApplyDlg->ResetState();
    m_pApplyDlg->GetDialog()->CenterWindow(nullptr);
    m_pApplyDlg->GetDialog()->DoModalDlg();
}

void CTemplateUsingEventImp::SetResultIcon(int treeItem, TEMPLATE_RESULT_SET flags)
{
    void* row = ItemOf(treeItem);
    if (row && m_pTree)
        m_pTree->SetItemIconBack(row, flags.Test(TEMPLATE_RESULT_OK) ? L"/ok.png" : L"/error.png");
}

void CTemplateUsingEventImp::OnItemDbClick(void* item, POINT&)
{
    if (!item || !m_pTree || m_pTree->GetItemData(item) == DWORD(-1))
        return;
    ShowDeviceResult(item);
}

void CTemplateUsingEventImp::ShowDeviceResult(void* item)
{
    auto it = m_keyOfRow.find(item);
    if (it == m_keyOfRow.end())
        return;  // the row took part in no run
    TEMPLATE_RESULT_SET flags = m_pControl->GetDeviceResult(it->second);
    if (flags.Test(TEMPLATE_RESULT_NOT_STARTED))
        return;
    m_pResultDlg->ShowDeviceResult(&m_nTemplateMode, &flags);
    m_pResultDlg->GetDialog()->CenterWindow(nullptr);
    m_pResultDlg->GetDialog()->DoModalDlg();
}

void CTemplateUsingEventImp::OnItemCheckStateChanged(void*, int)
{
    ShowCheckedCount(GetCheckedCount());
}

void CTemplateUsingEventImp::OnBtnReturn()
{
    std::shared_ptr<ITemplateUsingHost> owner = m_wpOwner.lock();
    if (!owner)
        return;
    if (owner->GetEditMode() == 1) {
        if (std::shared_ptr<ITemplateEditShell> shell = owner->GetEditShell().lock()) {
            const std::string path = m_strTemplatePath;
            shell->OpenTemplateFile(path.c_str());
        }
        return;
    }
    owner->AskSaveCurrent();
    owner->SwitchMode(false);
}

void CTemplateUsingEventImp::OnBtnOtherTemplate()
{
    if (!m_pFileDlg || !m_pFileDlg->GetDialog())
        return;
    m_pFileDlg->GetDialog()->CenterWindow(nullptr);
    m_pFileDlg->GetDialog()->DoModalDlg();
}
