#include "DevInit/CInitDevResultEventImp.h"

#include <cstring>

#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "DevInit/CDevInitUILogic.h"
#include "DevInit/WizardLists.h"
#include "DevInit/WizardSkins.h"
#include "Widgets/ListItemHelpers.h"
#include "Widgets/SFFactory.h"

SF_BEGIN_MESSAGE_MAP(CInitDevResultEventImp)
SF_ON_COMMAND(CInitDevResultEventImp::ID_FINISH, OnBtnFinish)
SF_ON_COMMAND(CInitDevResultEventImp::ID_CLOSE, OnBtnClose)
SF_END_MESSAGE_MAP()

namespace {

constexpr DWORD kVisible = 0x10000000;
enum { COL_NO, COL_RESULT, COL_TYPE, COL_MODEL, COL_IP, COL_MAC, COL_VERSION, COL_COUNT };

} // namespace

CInitDevResultEventImp::CInitDevResultEventImp(std::weak_ptr<CDevInitUILogic> coordinator)
    : m_wpCoordinator(std::move(coordinator))
{
}

CInitDevResultEventImp::~CInitDevResultEventImp() {}

std::shared_ptr<CInitDevResultEventImp> CInitDevResultEventImp::Create(std::shared_ptr<CDevInitUILogic> coordinator)
{
    auto page = std::make_shared<CInitDevResultEventImp>(coordinator);
    page->BuildDialog();
    return page;
}

int CInitDevResultEventImp::BuildDialog()
{
    std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock();
    m_pDialog = CreateWizardDialog(this, coordinator ? coordinator->GetParentWnd() : nullptr, L"Activation", 680, 420);
    return 0;
}

int CInitDevResultEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    m_pCloseBtn = CreateWizardCloseButton(this, wnd, 680, ID_CLOSE);
    ImageButtonStyle textSkin = WizardTextButtonSkin();
    m_pFinishBtn = CreateSFButton(this);
    m_pFinishBtn->SetSkin(&textSkin);
    m_pFinishBtn->Create(Tr(L"Finish"), kVisible, RECT{600, 385, 672, 410}, wnd, ID_FINISH);

    m_pList = CreateWizardList(this, wnd, ID_LIST, false, m_pListFrame);
    const wchar_t* headers[COL_COUNT] = {L"NO.", L"", L"Type", L"Model", L"IP", L"MAC", L"Version"};
    for (int c = 0; c < COL_COUNT; ++c)
        m_pList->InsertColumn(c, headers[c][0] ? Tr(headers[c]) : L"", 0, -1, -1);
    LayoutList(680, 420);

    CreateWizardCountLine(wnd, 55, L"devices have been activated!", m_pCount);
    m_pBusy = CreateSFStatic(nullptr);
    m_pBusy->SetTextAlignFlag(0);
    const RECT busy{18, 85, 168, 100};
    m_pBusy->Create(Tr(L"Activating, please wait..."), kVisible, busy, wnd, 0);
    m_pBusy->SetTextSize(12);
    m_pBusy->SetToolTipText(Tr(L"Activating, please wait..."));

    ImageProgressCtrlStyle progressSkin;
    progressSkin.strChunkImage = L"progress_active.png";
    progressSkin.strMaskLeftImage = L"progress_maskleft.png";
    progressSkin.strMaskRightImage = L"progress_maskright.png";
    m_pProgress = CreateSFProgressCtrl(nullptr);
    m_pProgress->SetSkin(&progressSkin);
    m_pProgress->Create(kVisible, RECT{busy.right, busy.bottom - 8, busy.right + 480, busy.bottom - 2}, wnd, 0);
    m_pProgress->SetPos(0);
    m_pProgress->ModifyStyleEx(0x20000, 0, 32);
    m_pProgress->SetTextVisible(0);
    return 1;
}

void CInitDevResultEventImp::LayoutList(int width, int height)
{
    const double shares[] = {0.06, 0.05, 0.14, 0.2, 0.16, 0.19};
    LayoutWizardList(m_pList, m_pListFrame, width, height, 110, shares);
}

void CInitDevResultEventImp::Reset()
{
    m_nFinished = m_nSucceeded = m_nTotal = 0;
    if (!m_pList)
        return;
    m_pBusy->ShowWindow(1);
    m_pProgress->ShowWindow(1);
    m_pProgress->SetPos(0);
    m_pCount->SetStaticText(L"0");
    m_pList->DeleteAllItems();
}

void CInitDevResultEventImp::AddDevice(const DEVICE_NET_INFO_EX& info)
{
    if (!m_pList)
        return;
    // Every device gets its row, so rows stay in step with the outcomes; an unknown type shows
    // the type text the device reported.
    std::string type = NormalizeDevType(WizardField(info.szTypeName, sizeof info.szTypeName),
                                        WizardField(info.szDetailName, sizeof info.szDetailName));
    if (type.empty())
        type = WizardField(info.szTypeName, sizeof info.szTypeName);
    const int row = m_pList->GetItemCount();
    m_pList->InsertItem(row, L"");
    SetListItemInt(m_pList, row, COL_NO, row + 1);
    SetWizardDeviceCells(m_pList, row, type, info);
    m_pList->SetTableItemColor(row);
}

void CInitDevResultEventImp::Task_DevInit_Ret(int row, int accountResult, int optionsResult, unsigned code)
{
    if (row < 0 || !m_pList)
        return;
    const bool ok = accountResult > 0 && optionsResult > 0;
    if (ok)
        ++m_nSucceeded;
    ImageButtonStyle skin = ok ? MakeButtonSkin(L"ok.png", L"ok_hover.png", L"ok_press.png", L"ok.png")
                               : MakeButtonSkin(L"error.png", L"erro_hover.png", L"erro_press.png", L"error.png");
    m_pList->AddOneOperateBtn(row, COL_RESULT, ID_RESULT, Tr(L"Result"), skin, 16, 16, 0);
    m_pList->SetItemData(row, (accountResult != 0 && optionsResult == 0) ? 0 : 1, 1);
    m_pList->SetItemData(row, ok ? 0 : code, 0);
    ++m_nFinished;
    if (m_nTotal > 0)
        m_pProgress->SetPos(static_cast<int>(m_nFinished * 100.0 / m_nTotal));
    SetWizardCount(m_pCount, m_nSucceeded);
    if (m_nFinished >= m_nTotal) {
        m_pBusy->ShowWindow(0);
        m_pProgress->ShowWindow(0);
    }
}

void CInitDevResultEventImp::OnButton(int id, int row)
{
    if (id != ID_RESULT || !m_pList)
        return;
    wchar_t model[64] = {};
    m_pList->GetItemText(row, COL_MODEL, model, 63);
    const DWORD options = m_pList->GetItemData(row, 1);
    const DWORD code = m_pList->GetItemData(row, 0);
    std::wstring text = options == 0 ? std::wstring(Tr(L"Acount has been initialized succeed, but the cloud settings failed"))
                                     : GetSdkErrorText(code);
    SF_SOFT_BASE::CSFStreamConvert convert(model, 0);
    if (std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock())
        coordinator->ShowResultDetails(convert.GetMultiByte() ? convert.GetMultiByte() : "", Tr(L"Activation"), text);
}

void CInitDevResultEventImp::OnBtnFinish()
{
    if (m_nFinished >= m_nTotal) {
        if (m_pDialog)
            m_pDialog->MFCOK();
        return;
    }
    ShowMessageBox(Tr(L"Activating, please wait..."), Tr(L"Attention"), GetUIWnd(), 0, nullptr);
}

void CInitDevResultEventImp::OnBtnClose() { OnBtnFinish(); }

void CInitDevResultEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 13)
        OnBtnFinish();
}
