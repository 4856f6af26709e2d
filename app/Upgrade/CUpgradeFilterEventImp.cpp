// The upgrade page's filter panel; see the header.
#include "Upgrade/CUpgradeFilterEventImp.h"

#include <QString>

#include "Common/Translate.h"
#include "Main/DeviceListSkins.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Widgets/SFFactory.h"

namespace {

enum {
    ID_VIEW = 116,
    ID_IPV4 = 1010,
    ID_IPV6 = 1011,
    ID_IPC = 1012,
    ID_DVR = 1013,
    ID_SD = 1015,
    ID_OTHERS = 1017,
    ID_ALL = 1018,
    ID_NVR = 1141,
    ID_TEXT = 1062,
    ID_FILTER = 1063
};
constexpr int kFilterChars = 63;

} // namespace

SF_BEGIN_MESSAGE_MAP(CUpgradeFilterEventImp)
SF_ON_COMMAND(ID_FILTER, OnBtnFilter)
SF_END_MESSAGE_MAP()

std::shared_ptr<CUpgradeFilterEventImp> CUpgradeFilterEventImp::Create(std::weak_ptr<CUpgradeEventImp> page)
{
    auto panel = std::make_shared<CUpgradeFilterEventImp>(std::move(page));
    panel->Init();
    return panel;
}

void CUpgradeFilterEventImp::Init()
{
    std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
    m_pView = CreateSFView(this);
    if (!m_pView)
        return;
    m_pView->SetBGClr(0xF5EFED);
    m_pView->SetFrameClr(0xF5EFED, 1);
    m_pView->Create(nullptr, L"UpgradeFilter", 0x50000000, RECT{68, 0, 1000, 76}, page ? page->GetUIWnd() : nullptr,
                    ID_VIEW);
}

int CUpgradeFilterEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    m_pSeparator = CreateSFPictureCtrl(nullptr);
    m_pSeparator->Create(L"", WS_VISIBLE, RECT{550, 18, 551, 60}, wnd, 0);
    m_pSeparator->SetImage(L"filterSeperater.png", false);
    ImageRadioBox skin = MakeRadioSkin(L"check_p.png", L"check_h.png", L"check_d.png", L"check_d.png");
    auto box = [&](const wchar_t* text, int id, RECT rc, int offset, bool visible, bool checked) {
        CSFRadioBox* b = CreateSFRadioBox(this);
        b->Create(Tr(text), visible ? 0x10010000 : 0x10000, rc, wnd, id);
        b->SetSkin(&skin);
        b->SetTextOffset(offset);
        b->SetCheck(checked ? 1 : 0);
        return b;
    };
    m_pIPv4 = box(L"IPV4", ID_IPV4, RECT{20, 8, 120, 32}, -20, false, true);
    m_pIPv6 = box(L"IPV6", ID_IPV6, RECT{20, 32, 120, 56}, -20, false, false);
    m_pAll = box(L"All", ID_ALL, RECT{20, 8, 120, 32}, -20, true, true);
    m_pIPC = box(L"IPC", ID_IPC, RECT{120, 8, 220, 32}, -20, true, true);
    m_pSD = box(L"SD", ID_SD, RECT{220, 8, 320, 32}, -20, true, true);
    m_pDVR = box(L"DVR", ID_DVR, RECT{320, 8, 420, 32}, -20, true, true);
    m_pNVR = box(L"NVR", ID_NVR, RECT{420, 8, 520, 32}, -20, true, true);
    m_pOthers = box(L"Others", ID_OTHERS, RECT{120, 37, 220, 61}, -10, true, true);
    m_pText = CreateSFEditCtrl(this);
    m_pText->SetSkin(L"bg_edit.png");
    m_pText->Create(0x10810000, RECT{571, 28, 721, 52}, wnd, ID_TEXT, false);
    m_pText->SetMaxLength(kFilterChars);
    m_pFilterBtn = CreateSFButton(nullptr);
    ImageButtonStyle filter =
        MakeButtonSkin(L"btn_filter_nor.png", L"btn_filter_over.png", L"btn_filter_nor.png", L"btn_filter_nor.png");
    m_pFilterBtn->Create(L"", WS_VISIBLE, RECT{731, 28, 755, 52}, wnd, ID_FILTER);
    m_pFilterBtn->SetSkin(&filter);
    m_pFilterBtn->SetToolTipText(Tr(L"Filter"));
    return 1;
}

CSFRadioBox* CUpgradeFilterEventImp::GetBox(int id) const
{
    switch (id) {
    case ID_ALL: return m_pAll;
    case ID_IPC: return m_pIPC;
    case ID_SD: return m_pSD;
    case ID_DVR: return m_pDVR;
    case ID_NVR: return m_pNVR;
    case ID_OTHERS: return m_pOthers;
    default: return nullptr;
    }
}

int CUpgradeFilterEventImp::GetIPVersion() const
{
    const bool v4 = m_pIPv4 && m_pIPv4->GetCheck();
    const bool v6 = m_pIPv6 && m_pIPv6->GetCheck();
    return v4 && !v6 ? 4 : v6 && !v4 ? 6 : 0;
}

int CUpgradeFilterEventImp::GetDevTypeFlags() const
{
    int flags = 0;
    const std::pair<CSFRadioBox*, int> boxes[] = {{m_pIPC, 1}, {m_pSD, 2}, {m_pDVR, 4}, {m_pNVR, 8}, {m_pOthers, 16}};
    for (const auto& b : boxes)
        if (b.first && b.first->GetCheck())
            flags |= b.second;
    return flags;
}

std::string CUpgradeFilterEventImp::GetFilterText() const
{
    wchar_t text[kFilterChars + 1] = {};
    if (m_pText)
        m_pText->GetWindowTextW(text, kFilterChars);
    return QString::fromWCharArray(text).toStdString();
}

void CUpgradeFilterEventImp::ClearFilterText()
{
    if (m_pText)
        m_pText->SetWindowTextW(L"");
}

void CUpgradeFilterEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    CSFRadioBox* clicked = GetBox(id);
    if (!clicked)
        return;
    std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
    if (!page)
        return;
    if (page->IsUpgrading()) {
        clicked->SetCheck(checked ? 0 : 1);
        ShowMessageBox(Tr(L"Now upgrading,please wait..."), Tr(L"Attention"), GetUIWnd(), 0);
        return;
    }
    if (!page->ApplyFilter()) {
        clicked->SetCheck(checked ? 0 : 1);
        return;
    }
    if (clicked == m_pAll) {
        for (CSFRadioBox* b : {m_pIPC, m_pSD, m_pDVR, m_pNVR, m_pOthers})
            b->SetCheck(checked ? 1 : 0);
    } else if (!checked) {
        m_pAll->SetCheck(0);
    } else {
        bool all = true;
        for (CSFRadioBox* b : {m_pIPC, m_pSD, m_pDVR, m_pNVR, m_pOthers})
            all = all && b->GetCheck();
        if (all)
            m_pAll->SetCheck(1);
    }
}

void CUpgradeFilterEventImp::EDIT_OnEnterPressed(UINT id, wchar_t*)
{
    if (id == ID_TEXT)
        OnBtnFilter();
}

void CUpgradeFilterEventImp::OnBtnFilter()
{
    std::shared_ptr<CUpgradeEventImp> page = m_wpPage.lock();
    if (!page)
        return;
    if (page->IsUpgrading()) {
        ClearFilterText();
        ShowMessageBox(Tr(L"Now upgrading,please wait..."), Tr(L"Attention"), GetUIWnd(), 0);
        return;
    }
    if (!page->ApplyFilter())
        ClearFilterText();
}
