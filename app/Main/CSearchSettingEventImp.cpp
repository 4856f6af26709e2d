#include "Main/CSearchSettingEventImp.h"

#include <QCoreApplication>

#include "Main/CSearchDevEventImp.h"
#include "Main/OpenOrSay.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"

namespace {

// Where this dialog puts the range controls.
const SearchRangePlaces kPlaces{SFRectXYWH(120, 80, 16, 16),  SFRectXYWH(146, 80, 200, 20),
                                SFRectXYWH(350, 80, 16, 16),  SFRectXYWH(386, 80, 200, 20),
                                SFRectXYWH(166, 160, 60, 20), SFRectXYWH(240, 155, 200, 30),
                                SFRectXYWH(166, 200, 60, 20), SFRectXYWH(240, 195, 200, 30)};

} // namespace

SF_BEGIN_MESSAGE_MAP(CSearchSettingEventImp)
SF_ON_COMMAND(SearchRangeForm::ID_OK, OnBtnOK)
SF_END_MESSAGE_MAP()

CSearchSettingEventImp::CSearchSettingEventImp(std::weak_ptr<CSearchDevEventImp> page) : m_wpPage(page) {}

CSearchSettingEventImp::~CSearchSettingEventImp() {}

std::shared_ptr<CSearchSettingEventImp> CSearchSettingEventImp::Create(std::weak_ptr<CSearchDevEventImp> page)
{
    auto dlg = std::make_shared<CSearchSettingEventImp>(page);
    std::shared_ptr<CSearchDevEventImp> owner = page.lock();
    dlg->m_pDialog = CreateSFDialog(dlg.get(), owner ? owner->GetUIWnd() : nullptr, 0);
    SetUpSearchSettingDialog(dlg->m_pDialog);
    return dlg;
}

int CSearchSettingEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    CreateSearchRangeControls(m_range, kPlaces, this, this, nullptr, wnd);
    CreateSearchSettingOk(m_range, this, wnd);
    return 1;
}

void CSearchSettingEventImp::Reset()
{
    ResetSearchAddresses(m_range);
    ResetSearchBoxes(m_range);
}

void CSearchSettingEventImp::Dlg_OnCancel()
{
    Reset();
}

void CSearchSettingEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 13) {
        OnBtnOK();
    } else if (key == 27) {
        Reset();
        if (m_pDialog)
            m_pDialog->MFCCancel();
    }
}

void CSearchSettingEventImp::Check_OnCheckStateChanged(int checked, int id, POINT)
{
    if (id != SearchRangeForm::ID_RANGE)
        return;
    if (m_range.startIp)
        m_range.startIp->EnableWindow(checked ? 1 : 0);
    if (m_range.endIp)
        m_range.endIp->EnableWindow(checked ? 1 : 0);
}

void CSearchSettingEventImp::OnBtnOK()
{
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    SearchRangeChoice choice;
    if (!TakeSearchRange(m_range, page ? page->GetPeers().get() : nullptr, GetUIWnd(), choice)) {
        Reset();
        return;
    }
    if (page) {
        page->SetSearchParam(choice.mode, choice.count, choice.start);
        page->StartSearch();
    }
    SaveSettingsOrSay(GetUIWnd());
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CSearchSettingEventImp::RetranslateTitle()
{
    if (m_pDialog)
        m_pDialog->SetWindowTextW(
            QCoreApplication::translate("CSearchSettingEventImp", "Setting").toStdWString().c_str());
}
