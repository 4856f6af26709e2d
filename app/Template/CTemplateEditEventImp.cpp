// Template manager shell: its screens and controls; see the header. Saving, opening and the hand-over
// to the apply panel are in TemplateEditFlow.cpp.
#include "Template/CTemplateEditEventImp.h"

#include <cwchar>
#include <utility>

#include <QWidget>

#include "Common/Translate.h"
#include "Main/CMainFrameEventImp.h"
#include "Template/CTemplateDVREventImp.h"
#include "Template/CTemplateEventImp.h"
#include "Template/CTemplateIPCEventImp.h"
#include "Template/CTemplateLoadEventImp.h"
#include "Template/CTemplateNVREventImp.h"
#include "Template/CTemplateSDEventImp.h"
#include "Template/CTemplateUsingEventImp.h"
#include "Template/CTempletOptionDlg.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

SF_BEGIN_MESSAGE_MAP(CTemplateEditEventImp)
SF_ON_COMMAND(CTemplateEditEventImp::ID_NEW, OnNewTemplate)
SF_ON_COMMAND(CTemplateEditEventImp::ID_OPEN, OnOpenTemplate)
SF_ON_COMMAND(CTemplateEditEventImp::ID_ACTION, OnUseOrExport)
SF_ON_COMMAND(CTemplateEditEventImp::ID_SAVE_AS, OnSaveAs)
SF_ON_COMMAND(CTemplateEditEventImp::ID_RETURN, OnReturn)
SF_END_MESSAGE_MAP()

namespace {

void ButtonSkin(ImageButtonStyle& s, const wchar_t* normal, const wchar_t* hover, const wchar_t* down,
                const wchar_t* disabled)
{
    s.strNormal = normal;
    s.strHover = hover;
    s.strPressed = down;
    s.strDisabled = disabled;
}

CSFButton* MakeButton(const wchar_t* key, const RECT& rc, void* parent, UINT id, DWORD style, ImageButtonStyle& skin)
{
    CSFButton* button = CreateSFButton(nullptr);
    button->SetSkin(&skin);
    button->Create(key ? Tr(key) : L"", style, rc, parent, id);
    return button;
}

} // namespace

CTemplateEditEventImp::CTemplateEditEventImp(std::weak_ptr<CTemplateEventImp> page) : m_wpPage(std::move(page)) {}

CTemplateEditEventImp::~CTemplateEditEventImp() = default;

std::shared_ptr<CTemplateEditEventImp> CTemplateEditEventImp::Create(std::weak_ptr<CTemplateEventImp> page)
{
    auto shell = std::make_shared<CTemplateEditEventImp>(std::move(page));
    shell->Init();
    return shell;
}

int CTemplateEditEventImp::Init()
{
    m_pView = CreateSFView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBGClr(0xFFFFFF);
    std::shared_ptr<CTemplateEventImp> page = m_wpPage.lock();
    m_pView->Create(nullptr, L"TemplateEdit", WS_CHILD | WS_VISIBLE, RECT{68, 0, 1000, 62},
                    page ? page->GetUIWnd() : nullptr, 115);
    return 0;
}

int CTemplateEditEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    ImageButtonStyle skin;
    ButtonSkin(skin, L"loadmode_nor.png", L"loadmode_over.png", L"loadmode_down.png", L"loadmode_dis.png");
    // The tiles carry their words beside the picture.
    m_pOpenBtn = MakeButton(L"Load Template", RECT{0, 0, 80, 28}, wnd, ID_OPEN, WS_VISIBLE | WS_TABSTOP, skin);
    ButtonSkin(skin, L"addmode_nor.png", L"addmode_over.png", L"addmode_down.png", L"addmode_dis.png");
    m_pNewBtn = MakeButton(L"New Template", RECT{0, 0, 80, 28}, wnd, ID_NEW, WS_VISIBLE | WS_TABSTOP, skin);
    // Each tile shows a picture above its words; the picture lets the clicks through to the tile.
    const std::pair<CSFButton*, const wchar_t*> tiles[] = {{m_pOpenBtn, L"tmpmode_load.png"},
                                                           {m_pNewBtn, L"tmpmode_new.png"}};
    for (const auto& tile : tiles) {
        auto* face = dynamic_cast<QWidget*>(tile.first);
        if (!face)
            continue;
        tile.first->SetTextOffset(0, 36);
        CSFPictureCtrl* picture = CreateSFPictureCtrl(nullptr);
        picture->SetImage(tile.second, false);
        picture->Create(L"", WS_CHILD | WS_VISIBLE, RECT{72, 30, 128, 86}, face, 0xFFFFFFFF);
        if (auto* w = dynamic_cast<QWidget*>(picture))
            w->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    // The apply panel is made after the shell: the two dialogs of the manager get none.
    std::shared_ptr<CTemplateEventImp> page = m_wpPage.lock();
    std::weak_ptr<ITemplateApplyPanel> panel;
    if (page)
        panel = page->GetUsingPage();
    std::weak_ptr<ITemplateEditShell> self = shared_from_this();
    m_pLoadDlg = CTempletOptionDlg::Create(self, panel, CTempletOptionDlg::MODE_LOAD);
    m_pSaveDlg = CTempletOptionDlg::Create(self, panel, CTempletOptionDlg::MODE_SAVE_AS);

    ImageRadioBox typeSkin;
    typeSkin.strCheckedNormal = typeSkin.strCheckedHover = typeSkin.strCheckedPressed = L"TmpType_Check.png";
    typeSkin.strUncheckedNormal = typeSkin.strUncheckedHover = typeSkin.strUncheckedPressed = L"TmpType_unCheck.png";
    typeSkin.strCheckedDisabled = L"TmpType_Check.png";
    typeSkin.strUncheckedDisabled = L"TmpType_unCheck.png";
    struct TypeDef {
        CSFRadioBox** button;
        const wchar_t* key;
        UINT id;
    } types[] = {{&m_pIPCBtn, L"IPC Template", ID_IPC},
                 {&m_pSDBtn, L"SD Template", ID_SD},
                 {&m_pNVRBtn, L"NVR Template", ID_NVR},
                 {&m_pDVRBtn, L"DVR Template", ID_DVR},
                 {&m_pOtherBtn, L"Other Template", ID_OTHER}};
    for (const TypeDef& t : types) {
        CSFRadioBox* button = CreateSFRadioBox(this);
        button->SetSkin(&typeSkin);
        button->Create(Tr(t.key), WS_TABSTOP, RECT{0, 0, 100, 30}, wnd, t.id);
        button->SetTextOffset(-165);
        *t.button = button;
    }
    m_pIPCBtn->SetCheck(1);

    m_pTypeLabel = CreateSFStatic(nullptr);
    m_pTypeLabel->Create(Tr(L"Template Type:"), WS_TABSTOP, RECT{0, 0, 100, 24}, wnd, 0xFFFFFFFF);
    m_pNameLabel = CreateSFStatic(nullptr);
    m_pNameLabel->Create(Tr(L"Template Name:"), WS_TABSTOP, RECT{0, 0, 100, 24}, wnd, 0xFFFFFFFF);
    m_pNameEdit = CreateSFEditCtrl(this);
    m_pNameEdit->SetSkin(L"bg_edit.png");
    m_pNameEdit->Create(0x810000, RECT{0, 0, 150, 24}, wnd, ID_NAME, false);
    for (CSFPictureCtrl** line : {&m_pUpperLine, &m_pLowerLine}) {
        *line = CreateSFPictureCtrl(nullptr);
        (*line)->SetImage(L"border.png", false);
        (*line)->Create(L"", WS_CHILD, RECT{0, 0, 1, 34}, wnd, 0xFFFFFFFF);
    }

    ButtonSkin(skin, L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    m_pSaveAsBtn = MakeButton(L"Save As", RECT{0, 0, 60, 24}, wnd, ID_SAVE_AS, WS_TABSTOP, skin);
    m_pActionBtn = MakeButton(L"Using Template", RECT{0, 0, 60, 24}, wnd, ID_ACTION, WS_TABSTOP, skin);
    m_pReturnBtn = MakeButton(L"Return", RECT{0, 0, 60, 24}, wnd, ID_RETURN, WS_TABSTOP, skin);

    std::weak_ptr<CTemplateEditEventImp> me = shared_from_this();
    m_pLoadPage = CTemplateLoadEventImp::Create(me);
    return 1;
}

void CTemplateEditEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_pOpenBtn)
        return;
    const int l = (cx - 440) / 2;
    const int t = (cy - 155) / 2;
    RECT rc{l, t, l + 200, t + 155};
    m_pOpenBtn->MoveWindow(&rc);
    rc = RECT{l + 240, t, l + 440, t + 155};
    m_pNewBtn->MoveWindow(&rc);
    rc = RECT{15, 10, 115, 34};
    m_pTypeLabel->MoveWindow(&rc);
    CSFRadioBox* order[] = {m_pIPCBtn, m_pSDBtn, m_pDVRBtn, m_pNVRBtn, m_pOtherBtn};
    for (int i = 0; i < 5; ++i) {
        rc = RECT{15 + 170 * i, 39, 180 + 170 * i, 78};
        order[i]->MoveWindow(&rc);
    }
    rc = RECT{15, 83, 115, 107};
    m_pNameLabel->MoveWindow(&rc);
    rc = RECT{115, 83, 365, 109};
    m_pNameEdit->MoveWindow(&rc);
    rc = RECT{15, 117, 910, 117};
    m_pUpperLine->MoveWindow(&rc);
    m_rcPage = RECT{1, 122, cx - 2, cy - 47};
    for (int id : {ID_IPC, ID_DVR, ID_NVR, ID_SD})
        if (std::shared_ptr<CTemplatePageEventImp> p = ExistingPage(id))
            p->GetView()->MoveWindow(&m_rcPage);
    rc = RECT{1, cy - 47, cx - 1, cy - 47};
    m_pLowerLine->MoveWindow(&rc);
    rc = RECT{21, cy - 37, 103, cy - 13};
    m_pReturnBtn->MoveWindow(&rc);
    // The action button is wide enough for "Using Template" and "Export Template".
    rc = RECT{cx - 245, cy - 37, cx - 163, cy - 13};
    m_pSaveAsBtn->MoveWindow(&rc);
    rc = RECT{cx - 143, cy - 37, cx - 21, cy - 13};
    m_pActionBtn->MoveWindow(&rc);
    rc = RECT{1, 8, cx - 1, cy - 47};
    if (m_pLoadPage && m_pLoadPage->GetView())
        m_pLoadPage->GetView()->MoveWindow(&rc);
}

std::shared_ptr<CTemplatePageEventImp> CTemplateEditEventImp::ExistingPage(int id) const
{
    switch (id) {
    case ID_IPC:
        return m_pIPCPage;
    case ID_NVR:
        return m_pNVRPage;
    case ID_DVR:
        return m_pDVRPage;
    case ID_SD:
        return m_pSDPage;
    default:
        return nullptr;
    }
}

std::shared_ptr<CTemplatePageEventImp> CTemplateEditEventImp::GetPage(int id) const
{
    if (std::shared_ptr<CTemplatePageEventImp> page = ExistingPage(id))
        return page;
    auto* self = const_cast<CTemplateEditEventImp*>(this);
    std::weak_ptr<CTemplateEditEventImp> me = self->weak_from_this();
    std::shared_ptr<CTemplatePageEventImp> page;
    switch (id) {
    case ID_IPC:
        page = m_pIPCPage = CTemplateIPCEventImp::Create(me);
        break;
    case ID_NVR:
        page = m_pNVRPage = CTemplateNVREventImp::Create(me);
        break;
    case ID_DVR:
        page = m_pDVRPage = CTemplateDVREventImp::Create(me);
        break;
    case ID_SD:
        page = m_pSDPage = CTemplateSDEventImp::Create(me);
        break;
    default:
        return nullptr;
    }
    page->ResetTemplate();
    if (page->GetView() && m_rcPage.right > m_rcPage.left) {
        RECT rc = m_rcPage;
        page->GetView()->MoveWindow(&rc);
    }
    return page;
}

std::shared_ptr<CTemplatePageEventImp> CTemplateEditEventImp::GetCurrentPage() const
{
    for (int id : {ID_SD, ID_NVR, ID_DVR, ID_IPC})
        if (GetTypeButton(id)->GetCheck())
            return GetPage(id);
    return nullptr;
}

CSFRadioBox* CTemplateEditEventImp::GetTypeButton(int id) const
{
    switch (id) {
    case ID_IPC:
        return m_pIPCBtn;
    case ID_NVR:
        return m_pNVRBtn;
    case ID_DVR:
        return m_pDVRBtn;
    case ID_SD:
        return m_pSDBtn;
    case ID_OTHER:
        return m_pOtherBtn;
    default:
        return nullptr;
    }
}

void CTemplateEditEventImp::HidePages()
{
    for (int id : {ID_IPC, ID_DVR, ID_NVR, ID_SD})
        if (std::shared_ptr<CTemplatePageEventImp> p = ExistingPage(id))
            p->GetView()->ShowWindow(0);
}

void CTemplateEditEventImp::ShowPage(int id)
{
    if (std::shared_ptr<CTemplatePageEventImp> p = GetPage(id))
        p->GetView()->ShowWindow(1);
}

void CTemplateEditEventImp::ShowEditControls(int show)
{
    for (int id : {ID_IPC, ID_SD, ID_DVR, ID_NVR})
        GetTypeButton(id)->ShowWindow(show);
    m_pTypeLabel->ShowWindow(show);
    m_pNameLabel->ShowWindow(show);
    m_pNameEdit->ShowWindow(show);
    m_pUpperLine->ShowWindow(show);
    m_pLowerLine->ShowWindow(show);
    m_pSaveAsBtn->ShowWindow(show);
}

void CTemplateEditEventImp::EnterEditMode()
{
    m_pActionBtn->SetWindowTextW(Tr(L"Using Template"));
    m_pOpenBtn->ShowWindow(0);
    m_pNewBtn->ShowWindow(0);
    ShowEditControls(1);
    m_pActionBtn->ShowWindow(1);
    m_pReturnBtn->ShowWindow(1);
    m_nEditMode = MODE_EDIT;
    for (int id : {ID_IPC, ID_NVR, ID_DVR, ID_SD})
        if (GetTypeButton(id)->GetCheck()) {
            RADIO_OnClicked(1, id, POINT{0, 0});
            return;
        }
}

void CTemplateEditEventImp::EnterExportMode()
{
    m_pActionBtn->SetWindowTextW(Tr(L"Export Template"));
    m_pOpenBtn->ShowWindow(0);
    m_pNewBtn->ShowWindow(0);
    ShowEditControls(0);
    m_pActionBtn->ShowWindow(1);
    m_pReturnBtn->ShowWindow(1);
    m_nEditMode = MODE_EXPORT;
    HidePages();
    if (m_pLoadPage && m_pLoadPage->GetView())
        m_pLoadPage->GetView()->ShowWindow(1);
}

void CTemplateEditEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    CSFRadioBox* clicked = GetTypeButton(id);
    if (!clicked)
        return;
    if (!checked) {
        // The set type was clicked again: it stays set.
        clicked->SetCheck(1);
        return;
    }
    for (int other : {ID_IPC, ID_NVR, ID_DVR, ID_SD, ID_OTHER})
        GetTypeButton(other)->SetCheck(0);
    HidePages();
    clicked->SetCheck(1);
    ShowPage(id);
}

void CTemplateEditEventImp::EDIT_OnTextChange(UINT id, wchar_t* text)
{
    if (id != ID_NAME || !text || std::wcslen(text) <= static_cast<size_t>(kMaxNameLength))
        return;
    const std::wstring cut(text, kMaxNameLength);
    m_pNameEdit->SetWindowTextW(cut.c_str());
}

int CTemplateEditEventImp::GetTemplateName(wchar_t* buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    std::wmemset(buffer, 0, capacity);
    if (m_pNameEdit && capacity > 1)
        m_pNameEdit->GetWindowTextW(buffer, capacity);
    buffer[capacity - 1] = L'\0';
    return 0;
}

int CTemplateEditEventImp::AskSaveCurrent()
{
    if (m_nEditMode == MODE_EDIT) {
        std::shared_ptr<CTemplatePageEventImp> page = GetCurrentPage();
        if (page && page->IsChanged() &&
            ShowMessageBox(std::wstring(Tr(L"Whether to save current template?")).c_str(),
                           std::wstring(Tr(L"Attention")).c_str(), MessageParent(), 1) == 1 &&
            !SaveAs())
            return 0;  // not saved: the template stays on the editing screen
    }
    m_pOpenBtn->ShowWindow(1);
    m_pNewBtn->ShowWindow(1);
    ShowEditControls(0);
    m_pActionBtn->ShowWindow(0);
    m_pReturnBtn->ShowWindow(0);
    HidePages();
    if (m_pLoadPage && m_pLoadPage->GetView())
        m_pLoadPage->GetView()->ShowWindow(0);
    m_nEditMode = MODE_START;
    return 1;
}

void CTemplateEditEventImp::OnNewTemplate()
{
    if (ShowMessageBox(std::wstring(Tr(L"Export template from device?")).c_str(),
                       std::wstring(Tr(L"Attention")).c_str(), MessageParent(), 1) == 1) {
        EnterExportMode();
        return;
    }
    m_pIPCBtn->SetCheck(1);
    for (int id : {ID_DVR, ID_NVR, ID_SD})
        GetTypeButton(id)->SetCheck(0);
    m_pNameEdit->SetWindowTextW(L"");
    // A page not made yet starts with these values anyway.
    for (int id : {ID_IPC, ID_DVR, ID_NVR, ID_SD})
        if (std::shared_ptr<CTemplatePageEventImp> p = ExistingPage(id))
            p->ResetTemplate();
    EnterEditMode();
}

void CTemplateEditEventImp::OnOpenTemplate()
{
    if (!m_pLoadDlg || !m_pLoadDlg->GetDialog())
        return;
    m_pLoadDlg->GetDialog()->CenterWindow(nullptr);
    m_pLoadDlg->GetDialog()->DoModalDlg();
}

void CTemplateEditEventImp::OnUseOrExport()
{
    if (m_nEditMode == MODE_EDIT)
        UseTemplate();
    else if (m_pLoadPage)
        m_pLoadPage->StartExport();
}

int CTemplateEditEventImp::LoadExportedTemplate(int devClass, tagTEMPLATEINFO* info)
{
    for (int id : {ID_IPC, ID_NVR, ID_DVR, ID_SD, ID_OTHER})
        GetTypeButton(id)->SetCheck(0);
    int id = 0;
    switch (devClass) {
    case 1:
        id = ID_IPC;
        break;
    case 2:
        id = ID_SD;
        break;
    case 4:
        id = ID_DVR;
        break;
    case 8:
        id = ID_NVR;
        break;
    default:
        return 1;
    }
    GetTypeButton(id)->SetCheck(1);
    GetPage(id)->SetTemplate(info);
    return 1;
}

void CTemplateEditEventImp::EndExport()
{
    if (m_pLoadPage && m_pLoadPage->GetView())
        m_pLoadPage->GetView()->ShowWindow(0);
    EnterEditMode();
}

std::shared_ptr<CDeviceListUILogic> CTemplateEditEventImp::GetDeviceListUILogic()
{
    std::shared_ptr<CTemplateEventImp> page = m_wpPage.lock();
    std::shared_ptr<CMainFrameEventImp> main = page ? page->GetMainFrame().lock() : nullptr;
    return main ? main->GetDeviceListUILogic() : nullptr;
}

void CTemplateEditEventImp::ClearExportDevices()
{
    if (m_pLoadPage)
        m_pLoadPage->ClearDevices();
}
