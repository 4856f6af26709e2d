// The template page; see the header.
#include "Template/CTemplateEventImp.h"

#include <cstring>
#include <string>

#include "Common/DevClass.h"
#include "Common/Translate.h"
#include "Main/CMainFrameEventImp.h"
#include "Template/CTemplateEditEventImp.h"
#include "Template/CTemplateUsingEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"

CTemplateEventImp::CTemplateEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame) : m_wpMainFrame(std::move(mainFrame))
{
}

CTemplateEventImp::~CTemplateEventImp() = default;

std::shared_ptr<CTemplateEventImp> CTemplateEventImp::Create(std::weak_ptr<CMainFrameEventImp> mainFrame)
{
    auto page = std::make_shared<CTemplateEventImp>(std::move(mainFrame));
    page->Init();
    return page;
}

int CTemplateEventImp::Init()
{
    m_pView = CreateSFView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBGClr(0xFFFFFF);
    m_pView->SetFrameClr(0xFFFFFF, 1);
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    m_pView->Create(nullptr, L"Template", WS_CHILD, RECT{68, 0, 1000, 62}, main ? main->GetUIWnd() : nullptr, 108);
    return 0;
}

CSFRadioBox* CTemplateEventImp::MakeModeButton(const wchar_t* key, const wchar_t* image, UINT id)
{
    ImageRadioBox skin;
    skin.strCheckedNormal = skin.strCheckedHover = skin.strCheckedPressed = image;
    skin.strUncheckedNormal = skin.strUncheckedHover = skin.strUncheckedPressed = image;
    skin.strCheckedDisabled = skin.strUncheckedDisabled = image;
    CSFRadioBox* button = CreateSFRadioBox(this);
    button->SetSkin(&skin);
    button->Create(Tr(key), WS_VISIBLE | WS_TABSTOP, RECT{0, 0, 100, 36}, GetUIWnd(), id);
    return button;
}

int CTemplateEventImp::OnCreate()
{
    m_pManagerBtn = MakeModeButton(L"Template Manager", L"mode_edit.png", ID_MANAGER);
    m_pManagerBtn->SetCheck(1);
    m_pApplicationBtn = MakeModeButton(L"Template Application", L"mode_using.png", ID_APPLICATION);
    for (CSFRadioBox* b : {m_pManagerBtn, m_pApplicationBtn}) {
        b->SetBkColor(0xC88750, 0xBFB6AC);
        b->SetTextAlign(0);
        b->SetIconAlign(1);
        b->SetTextColor(0xFAFAFA);
    }
    std::weak_ptr<CTemplateEventImp> self = shared_from_this();
    m_pEditPage = CTemplateEditEventImp::Create(self);
    m_pUsingPage = CTemplateUsingEventImp::Create(self);
    if (m_pUsingPage && m_pUsingPage->GetView())
        m_pUsingPage->GetView()->ShowWindow(0);
    return 1;
}

void CTemplateEventImp::OnSize(UINT, int cx, int cy)
{
    if (!m_pManagerBtn)
        return;
    RECT rc{0, 0, cx / 2, 60};
    m_pManagerBtn->MoveWindow(&rc);
    rc = RECT{cx / 2, 0, 2 * (cx / 2), 60};
    m_pApplicationBtn->MoveWindow(&rc);
    rc = RECT{0, 60, cx, cy - 2};
    if (m_pEditPage && m_pEditPage->GetView())
        m_pEditPage->GetView()->MoveWindow(&rc);
    if (m_pUsingPage && m_pUsingPage->GetView())
        m_pUsingPage->GetView()->MoveWindow(&rc);
}

void CTemplateEventImp::SwitchMode(bool application)
{
    if (m_pUsingPage && m_pUsingPage->GetView())
        m_pUsingPage->GetView()->ShowWindow(application ? 1 : 0);
    if (m_pEditPage && m_pEditPage->GetView())
        m_pEditPage->GetView()->ShowWindow(application ? 0 : 1);
    if (m_pApplicationBtn)
        m_pApplicationBtn->SetCheck(application ? 1 : 0);
    if (m_pManagerBtn)
        m_pManagerBtn->SetCheck(application ? 0 : 1);
}

bool CTemplateEventImp::IsApplyMode() const { return m_pApplicationBtn && m_pApplicationBtn->GetCheck() != 0; }

void CTemplateEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    if (id == ID_MANAGER) {
        if (m_pManagerBtn->GetCheck() == 0) {
            // Clicked while set: it stays set.
            m_pManagerBtn->SetCheck(1);
            return;
        }
        m_pManagerBtn->SetCheck(checked ? 0 : 1);
        if (m_pUsingPage)
            m_pUsingPage->OnBtnReturn();
        return;
    }
    if (id != ID_APPLICATION)
        return;
    if (!m_pManagerBtn->GetCheck()) {
        m_pApplicationBtn->SetCheck(1);
        return;
    }
    m_pApplicationBtn->SetCheck(0);
    if (!m_pEditPage || m_pEditPage->GetEditMode() != CTemplateEditEventImp::MODE_EDIT) {
        m_pApplicationBtn->SetCheck(0);
        ShowMessageBox(std::wstring(Tr(L"No template file to apply, please load a template file or edit one!")).c_str(),
                       std::wstring(Tr(L"Attention")).c_str(), GetUIWnd(), 0);
        return;
    }
    const int used = m_pEditPage->UseTemplate();
    m_pApplicationBtn->SetCheck(used ? 1 : 0);
}

std::weak_ptr<ITemplateEditShell> CTemplateEventImp::GetEditShell()
{
    return m_pEditPage;
}

int CTemplateEventImp::GetEditMode()
{
    return m_pEditPage ? m_pEditPage->GetEditMode() : 0;
}

void CTemplateEventImp::AskSaveCurrent()
{
    if (m_pEditPage)
        m_pEditPage->AskSaveCurrent();
}

std::shared_ptr<CDeviceListUILogic> CTemplateEventImp::GetDeviceListUILogic()
{
    std::shared_ptr<CMainFrameEventImp> main = m_wpMainFrame.lock();
    return main ? main->GetDeviceListUILogic() : nullptr;
}

bool CTemplateEventImp::MatchTemplateType(DEVICE_NET_INFO_EX* info)
{
    return info && m_pUsingPage && m_pUsingPage->MatchTemplateType(info);
}

void CTemplateEventImp::AddDeviceToTree(DEVICE_NET_INFO_EX* info, bool, int position)
{
    if (!info || info->nIpVersion != 4 || !m_pUsingPage)
        return;
    const std::string type(info->szTypeName, strnlen(info->szTypeName, sizeof(info->szTypeName)));
    const wchar_t* group = L"Others";
    switch (GetDevClass(type)) {
    case 1:
        group = IsIPCType(type) ? L"IPC" : group;
        break;
    case 2:
        group = IsPTZType(type) ? L"SD" : group;
        break;
    case 4:
        group = IsDVRType(type) ? L"DVR" : group;
        break;
    case 8:
        group = IsNVRType(type) ? L"NVR" : group;
        break;
    default:
        break;
    }
    const std::string ip(info->szIpAddr, strnlen(info->szIpAddr, sizeof(info->szIpAddr)));
    m_pUsingPage->AddDeviceToTree(group, ip, position);
}

void CTemplateEventImp::ClearDevices()
{
    if (m_pUsingPage)
        m_pUsingPage->ClearDevices();
    if (m_pEditPage)
        m_pEditPage->ClearExportDevices();
}
