#include "DevInit/CInitDevCloudEventImp.h"

#include "Common/Translate.h"
#include "DevInit/CDevInitUILogic.h"
#include "DevInit/WizardSkins.h"
#include "Widgets/SFFactory.h"

SF_BEGIN_MESSAGE_MAP(CInitDevCloudEventImp)
SF_ON_COMMAND(CInitDevCloudEventImp::ID_OK, OnBtnOK)
SF_END_MESSAGE_MAP()

namespace {
constexpr DWORD kVisible = 0x10000000;
}

CInitDevCloudEventImp::CInitDevCloudEventImp(std::weak_ptr<CDevInitUILogic> coordinator)
    : m_wpCoordinator(std::move(coordinator))
{
}

CInitDevCloudEventImp::~CInitDevCloudEventImp() {}

std::shared_ptr<CInitDevCloudEventImp> CInitDevCloudEventImp::Create(std::shared_ptr<CDevInitUILogic> coordinator)
{
    auto page = std::make_shared<CInitDevCloudEventImp>(coordinator);
    page->BuildDialog();
    return page;
}

int CInitDevCloudEventImp::BuildDialog()
{
    std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock();
    m_pDialog = CreateWizardDialog(this, coordinator ? coordinator->GetParentWnd() : nullptr, L"Device Initialize", 600, 430);
    return 0;
}

int CInitDevCloudEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    m_pCloseBtn = CreateWizardCloseButton(this, wnd, 600, ID_CLOSE);

    ImageRadioBox toggle = MakeRadioSkin(L"Select_Check.png", L"Select_Unable.png", L"Select_UnableCheck.png",
                                           L"Select_UnableUnCheck.png");
    auto makeToggle = [&](const wchar_t* text, RECT rc) {
        CSFRadioBox* box = CreateSFRadioBox(nullptr);
        box->SetSkin(&toggle);
        box->Create(Tr(text), kVisible, rc, wnd, 0);
        box->SetCheck(1);
        box->SetTextAlign(0);
        box->SetTextOffset(10);
        return box;
    };
    auto makeNote = [&](const wchar_t* key, RECT rc, bool red) {
        CSFStatic* note = CreateSFStatic(nullptr);
        note->SetTextAlignFlag(0);
        note->Create(Tr(key), kVisible, rc, wnd, static_cast<UINT>(-1));
        note->SetWordWrap(1);
        note->SetTextSize(13);
        if (red)
            note->SetTextColor(0x0000FF);
        note->MoveWindow(&rc);
        return note;
    };
    m_pCloud = makeToggle(L"Cloud Access", RECT{50, 50, 250, 66});
    m_pCloudNote = makeNote(L"Cloud access note", RECT{77, 76, 577, 136}, false);
    m_pAutoCheck = makeToggle(L"Auto Check", RECT{50, 166, 250, 182});
    m_pAutoNote1 = makeNote(L"Auto check note1", RECT{77, 192, 377, 216}, true);
    m_pAutoNote2 = makeNote(L"Auto check note2", RECT{77, 226, 577, 306}, true);

    ImageButtonStyle textSkin = WizardTextButtonSkin();
    m_pOkBtn = CreateSFButton(this);
    m_pOkBtn->SetSkin(&textSkin);
    m_pOkBtn->Create(Tr(L"OK"), kVisible, RECT{504, 381, 576, 406}, wnd, ID_OK);
    return 1;
}

void CInitDevCloudEventImp::CheckAllOptions()
{
    if (m_pCloud)
        m_pCloud->SetCheck(1);
    if (m_pAutoCheck)
        m_pAutoCheck->SetCheck(1);
}

void CInitDevCloudEventImp::GetOptions(int& cloudAccess, int& autoCheck)
{
    cloudAccess = m_pCloud ? m_pCloud->GetCheck() : 0;
    autoCheck = m_pAutoCheck ? m_pAutoCheck->GetCheck() : 0;
}

void CInitDevCloudEventImp::OnBtnOK()
{
    if (std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock())
        coordinator->StartDevInit();
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CInitDevCloudEventImp::Dlg_OnOK()
{
    if (std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock())
        coordinator->SetAccepting(false);
}

void CInitDevCloudEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 13)
        OnBtnOK();
}
