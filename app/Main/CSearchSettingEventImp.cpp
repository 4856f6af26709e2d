#include "Main/CSearchSettingEventImp.h"

#include <QCoreApplication>

#include "Common/AppSettings.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CUserSearchSettingEventImp.h"
#include "Main/DeviceListPeers.h"
#include "Main/DeviceListSkins.h"
#include "Main/DeviceListText.h"
#include "Main/OpenOrSay.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"

namespace {

enum { ID_BROADCAST = 1079, ID_RANGE = 1080, ID_START = 1081, ID_END = 1082, ID_OK = 505 };

} // namespace

SF_BEGIN_MESSAGE_MAP(CSearchSettingEventImp)
SF_ON_COMMAND(ID_OK, OnBtnOK)
SF_END_MESSAGE_MAP()

CSearchSettingEventImp::CSearchSettingEventImp(std::weak_ptr<CSearchDevEventImp> page) : m_wpPage(page) {}

CSearchSettingEventImp::~CSearchSettingEventImp() {}

std::shared_ptr<CSearchSettingEventImp> CSearchSettingEventImp::Create(std::weak_ptr<CSearchDevEventImp> page)
{
    auto dlg = std::make_shared<CSearchSettingEventImp>(page);
    DialogStyle skin;
    FillCommonDialogSkin(skin);
    std::shared_ptr<CSearchDevEventImp> owner = page.lock();
    dlg->m_pDialog = CreateSFDialog(dlg.get(), owner ? owner->GetUIWnd() : nullptr, 0);
    if (dlg->m_pDialog) {
        dlg->m_pDialog->SetSkin(&skin);
        dlg->m_pDialog->Create(L"Setting", nullptr);
        dlg->m_pDialog->SetWindowTextW(Tr(L"Setting"));
        dlg->m_pDialog->MoveWindow(0, 0, 600, 330);
        dlg->m_pDialog->CenterWindow(nullptr);
        dlg->m_pDialog->SetDrawBackGround(1);
        dlg->m_pDialog->ShowWindow(0);
    }
    return dlg;
}

int CSearchSettingEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    m_pCloseBtn = CreateSFButton(this);
    if (m_pCloseBtn) {
        ImageButtonStyle close =
            MakeButtonSkin(L"close-normal.png", L"close-hover.png", L"close-pressed.png", L"close-disabled.png");
        m_pCloseBtn->Create(L"", 0x10000000, SFRectXYWH(575, 2, 24, 24), wnd, 2);
        m_pCloseBtn->SetSkin(&close);
        m_pCloseBtn->SetToolTipText(Tr(L"Close"));
    }
    ImageCheckBox check = MakeCheckSkin(L"Select_Check.png", L"Select_unCheck.png");
    auto box = [&](int id, RECT rc, bool on) {
        CSFCheckBox* b = CreateSFCheckBox(this);
        if (b) {
            b->Create("", 0x10010000, rc, wnd, id);
            b->SetSkin(&check);
            b->SetCheck(on ? 1 : 0);
        }
        return b;
    };
    auto label = [&](const wchar_t* text, RECT rc) {
        CSFStatic* s = CreateSFStatic(nullptr);
        if (s) {
            s->Create(Tr(text), 0x10000000, rc, wnd, 0);
            s->SetTextAlignFlag(0);
        }
        return s;
    };
    m_pCurNetBox = box(ID_BROADCAST, SFRectXYWH(120, 80, 16, 16), CAppSettings::SearchBoadcast);
    m_pCurNetLabel = label(L"current network search", SFRectXYWH(146, 80, 200, 20));
    m_pOtherNetBox = box(ID_RANGE, SFRectXYWH(350, 80, 16, 16), CAppSettings::SearchByIp);
    m_pOtherNetLabel = label(L"other network search", SFRectXYWH(386, 80, 200, 20));
    m_pStartLabel = label(L"Start IP", SFRectXYWH(166, 160, 60, 20));
    m_pStartIp = CreateSFIPAddressCtrl(nullptr);
    if (m_pStartIp) {
        m_pStartIp->Create(0x10010000, SFRectXYWH(240, 155, 200, 30), wnd, ID_START, false);
        m_pStartIp->SetAddress(VersionToInt(WideToUtf8(CAppSettings::SearchIpS)));
    }
    m_pEndLabel = label(L"End IP", SFRectXYWH(166, 200, 60, 20));
    m_pEndIp = CreateSFIPAddressCtrl(nullptr);
    if (m_pEndIp) {
        m_pEndIp->Create(0x10010000, SFRectXYWH(240, 195, 200, 30), wnd, ID_END, false);
        m_pEndIp->SetAddress(VersionToInt(WideToUtf8(CAppSettings::SearchIpE)));
    }
    m_pOkBtn = CreateSFButton(this);
    if (m_pOkBtn) {
        ImageButtonStyle ok = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
        m_pOkBtn->Create(Tr(L"OK"), 0x10010000, SFRectXYWH(520, 295, 72, 25), wnd, ID_OK);
        m_pOkBtn->SetSkin(&ok);
    }
    return 1;
}

void CSearchSettingEventImp::Reset()
{
    if (m_pStartIp)
        m_pStartIp->SetAddress(VersionToInt(WideToUtf8(CAppSettings::SearchIpS)));
    if (m_pEndIp)
        m_pEndIp->SetAddress(VersionToInt(WideToUtf8(CAppSettings::SearchIpE)));
    if (m_pCurNetBox)
        m_pCurNetBox->SetCheck(CAppSettings::SearchBoadcast ? 1 : 0);
    if (m_pOtherNetBox)
        m_pOtherNetBox->SetCheck(CAppSettings::SearchByIp ? 1 : 0);
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
    if (id != ID_RANGE)
        return;
    if (m_pStartIp)
        m_pStartIp->EnableWindow(checked ? 1 : 0);
    if (m_pEndIp)
        m_pEndIp->EnableWindow(checked ? 1 : 0);
}

void CSearchSettingEventImp::OnBtnOK()
{
    DWORD start = 0, end = 0;
    if (m_pStartIp)
        m_pStartIp->GetAddress(start);
    if (m_pEndIp)
        m_pEndIp->GetAddress(end);
    const std::string startText = IpValueToText(start);
    const bool broadcast = m_pCurNetBox && m_pCurNetBox->IsChecked();
    const bool range = m_pOtherNetBox && m_pOtherNetBox->IsChecked();
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    if (range) {
        const int check = CheckSearchRange(start, end);
        if (check != 0) {
            if (page && page->GetPeers())
                page->GetPeers()->ShowMessage(Tr(check == 1 ? L"IP Range is not valid!" : L"IP Range is too large!"),
                                              Tr(L"Error"), GetUIWnd(), 0);
            Reset();
            return;
        }
        CAppSettings::SearchIpS = Utf8ToWide(startText.c_str());
        CAppSettings::SearchIpE = Utf8ToWide(IpValueToText(end).c_str());
    }
    CAppSettings::SearchBoadcast = broadcast;
    CAppSettings::SearchByIp = range;
    if (page) {
        page->SetSearchParam((broadcast ? 1 : 0) + (range ? 2 : 0), static_cast<int>(end - start + 1), startText);
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
