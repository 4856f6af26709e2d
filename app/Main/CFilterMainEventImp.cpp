#include "Main/CFilterMainEventImp.h"

#include <algorithm>
#include <cctype>

#include "Common/DevClass.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/DeviceListPeers.h"
#include "Main/DeviceListSkins.h"
#include "Main/DeviceListText.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFPictureCtrl.h"

namespace {

enum {
    ID_IPV4 = 1010,
    ID_IPV6 = 1011,
    ID_IPC = 1012,
    ID_DVR = 1013,
    ID_SD = 1015,
    ID_OTHERS = 1017,
    ID_ALL = 1018,
    ID_IPTYPE = 1140,
    ID_NVR = 1141,
    ID_UNINIT = 1169,
    ID_INIT = 1170,
    ID_KEYWORD = 1062,
    ID_FILTER = 1063
};

} // namespace

bool MatchDeviceFilter(const DeviceFilter& filter, const DEVICE_NET_INFO_EX& info)
{
    if (filter.ipType != 10 && filter.ipType != info.nIpVersion)
        return false;
    if ((GetDevClass(FIELD_TEXT(info.szTypeName)) & filter.devTypes) == 0)
        return false;
    const int stateBit = IsUninitializedStatus(info.byInitState) ? 1 : 2;
    if ((filter.initStates & stateBit) == 0)
        return false;
    if (filter.keyword.empty())
        return true;
    const std::string key = StrUpper(filter.keyword);
    for (const std::string& text :
         {FIELD_TEXT(info.szGatewayAddr), FIELD_TEXT(info.szSerialNumber), FIELD_TEXT(info.szMacAddr),
          FIELD_TEXT(info.szSoftVersion), FIELD_TEXT(info.szIpAddr), FIELD_TEXT(info.szDetailName)})
        if (StrUpper(text).find(key) != std::string::npos)
            return true;
    return FIELD_TEXT(info.szTypeName).find(key) != std::string::npos;
}

SF_BEGIN_MESSAGE_MAP(CFilterMainEventImp)
SF_ON_COMMAND(ID_FILTER, ApplyKeyword)
SF_END_MESSAGE_MAP()

CFilterMainEventImp::CFilterMainEventImp(std::weak_ptr<CSearchDevEventImp> page) : m_wpPage(page) {}

CFilterMainEventImp::~CFilterMainEventImp() {}

int CFilterMainEventImp::Create()
{
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    m_pView = CreateSFView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBGClr(0xF5EFED);
    m_pView->SetFrameClr(1, 0xF5EFED);
    m_pView->Create(nullptr, L"Filter", 0x50000000, SFRectLTRB(68, 0, 1000, 76), page ? page->GetUIWnd() : nullptr, 103);
    return 0;
}

int CFilterMainEventImp::OnCreate()
{
    void* wnd = GetUIWnd();
    auto separator = [&](int x) {
        CSFPictureCtrl* picture = CreateSFPictureCtrl(nullptr);
        if (picture) {
            picture->Create(L"", 0x50000000, SFRectLTRB(x, 10, x + 1, 68), wnd, 0xFFFFFFFF);
            picture->SetImage(L"filterSeperater.png", false);
        }
        return picture;
    };
    ImageRadioBox skin = MakeRadioSkin(L"check_p.png", L"check_h.png", L"check_d.png", L"check_d.png");
    auto box = [&](const wchar_t* text, int id, RECT rc, int offset) {
        CSFRadioBox* b = CreateSFRadioBox(this);
        if (b) {
            b->Create(Tr(text), 0x10010000, rc, wnd, id);
            b->SetSkin(&skin);
            b->SetTextOffset(offset);
            b->SetCheck(1);
        }
        return b;
    };
    m_pSeparator1 = separator(550);
    m_pAll = box(L"All", ID_ALL, SFRectLTRB(20, 8, 120, 32), -20);
    m_pIpv4 = box(L"IPV4", ID_IPV4, SFRectLTRB(20, 8, 120, 32), -20);
    m_pIpv6 = box(L"IPV6", ID_IPV6, SFRectLTRB(20, 8, 120, 32), -20);
    if (m_pIpv4)
        m_pIpv4->ShowWindow(0);
    if (m_pIpv6)
        m_pIpv6->ShowWindow(0);
    m_pIpc = box(L"IPC", ID_IPC, SFRectLTRB(130, 8, 230, 32), -20);
    m_pSd = box(L"SD", ID_SD, SFRectLTRB(230, 8, 330, 32), -20);
    m_pDvr = box(L"DVR", ID_DVR, SFRectLTRB(330, 8, 430, 32), -20);
    m_pNvr = box(L"NVR", ID_NVR, SFRectLTRB(130, 37, 230, 61), -20);
    m_pOthers = box(L"Others", ID_OTHERS, SFRectLTRB(230, 37, 330, 61), -10);
    m_pSeparator2 = separator(430);
    m_pUnInit = box(L"UnInit", ID_UNINIT, SFRectLTRB(446, 8, 556, 32), -20);
    m_pInit = box(L"Init", ID_INIT, SFRectLTRB(446, 37, 556, 61), -20);

    m_pIpType = CreateSFComboBox(this);
    if (m_pIpType) {
        m_pIpType->Create(0x50010000, SFRectLTRB(571, 28, 659, 50), wnd, ID_IPTYPE);
        ImageComboBoxStyle combo;
        combo.strImage = L"ComboBox_small.png";
        combo.strNormalRect = L"0,0,88,21";
        combo.strHoverRect = L"0,0,88,21";
        combo.strDropDownRect = L"0,66,88,22";
        combo.strDropUpRect = L"0,44,88,22";
        combo.strDisabledRect = L"0,22,88,22";
        m_pIpType->SetSkin(&combo);
        m_pIpType->AddString(Tr(L"IPV4"));
        m_pIpType->AddString(Tr(L"IPV6"));
        m_pIpType->SetCurSel(0);
    }
    m_pKeyword = CreateSFEditCtrl(this);
    if (m_pKeyword) {
        m_pKeyword->Create(0x10810000, SFRectLTRB(679, 27, 829, 51), wnd, ID_KEYWORD, false);
        m_pKeyword->SetSkin(L"bg_edit.png");
        m_pKeyword->SetWindowTextW(L"");
    }
    m_pFilterBtn = CreateSFButton(nullptr);
    if (m_pFilterBtn) {
        m_pFilterBtn->Create(L"", 0x10010000, SFRectLTRB(839, 27, 863, 51), wnd, ID_FILTER);
        ImageButtonStyle btn = MakeButtonSkin(L"btn_filter_nor.png", L"btn_filter_over.png", L"btn_filter_nor.png",
                                              L"btn_filter_nor.png");
        m_pFilterBtn->SetSkin(&btn);
    }
    return 1;
}

bool CFilterMainEventImp::IsChecked(CSFRadioBox* box) const
{
    return box && box->GetCheck() != 0;
}

int CFilterMainEventImp::GetIpTypeFilter() const
{
    const int index = m_pIpType ? m_pIpType->GetCurSel() : 0;
    return index == 0 ? 4 : index == 1 ? 6 : 10;
}

int CFilterMainEventImp::GetDevTypeFilter() const
{
    int bits = 0;
    if (IsChecked(m_pIpc))
        bits |= 1;
    if (IsChecked(m_pSd))
        bits |= 2;
    if (IsChecked(m_pDvr))
        bits |= 4;
    if (IsChecked(m_pNvr))
        bits |= 8;
    if (IsChecked(m_pOthers))
        bits |= 16;
    return bits;
}

int CFilterMainEventImp::GetInitFilter() const
{
    return (IsChecked(m_pUnInit) ? 1 : 0) | (IsChecked(m_pInit) ? 2 : 0);
}

std::string CFilterMainEventImp::GetKeyword() const
{
    if (!m_pKeyword)
        return std::string();
    wchar_t text[64] = {};
    m_pKeyword->GetWindowTextW(text, 63);
    return WideToUtf8(text);
}

void CFilterMainEventImp::ClearKeyword()
{
    if (m_pKeyword)
        m_pKeyword->SetWindowTextW(L"");
}

DeviceFilter CFilterMainEventImp::GetFilter() const
{
    DeviceFilter filter;
    filter.ipType = GetIpTypeFilter();
    filter.devTypes = GetDevTypeFilter();
    filter.initStates = GetInitFilter();
    filter.keyword = GetKeyword();
    return filter;
}

CSFRadioBox* CFilterMainEventImp::GetBox(int id) const
{
    switch (id) {
    case ID_IPV4: return m_pIpv4;
    case ID_IPV6: return m_pIpv6;
    case ID_ALL: return m_pAll;
    case ID_IPC: return m_pIpc;
    case ID_DVR: return m_pDvr;
    case ID_SD: return m_pSd;
    case ID_NVR: return m_pNvr;
    case ID_OTHERS: return m_pOthers;
    case ID_UNINIT: return m_pUnInit;
    case ID_INIT: return m_pInit;
    default: return nullptr;
    }
}

void CFilterMainEventImp::ShowWait(const wchar_t* text)
{
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    if (page && page->GetPeers())
        page->GetPeers()->ShowMessage(Tr(text), Tr(L"Attention"), GetUIWnd(), 0);
}

void CFilterMainEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    CSFRadioBox* box = GetBox(id);
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    if (!box || !page)
        return;
    if (page->IsModifyingIP()) {
        box->SetCheck(checked ? 0 : 1);
        ShowWait(L"Modifying,please wait...");
        return;
    }
    if (!page->ApplyFilter()) {
        box->SetCheck(checked ? 0 : 1);
        ShowWait(L"Searching,please wait...");
        return;
    }
    CSFRadioBox* classes[] = {m_pIpc, m_pSd, m_pDvr, m_pNvr, m_pOthers};
    if (id == ID_ALL) {
        for (CSFRadioBox* c : classes)
            if (c)
                c->SetCheck(checked ? 1 : 0);
    } else if (id == ID_IPC || id == ID_SD || id == ID_DVR || id == ID_NVR || id == ID_OTHERS) {
        if (!checked) {
            if (m_pAll)
                m_pAll->SetCheck(0);
        } else {
            bool all = true;
            for (CSFRadioBox* c : classes)
                all = all && IsChecked(c);
            if (all && m_pAll)
                m_pAll->SetCheck(1);
        }
    }
}

void CFilterMainEventImp::SelectChanged(int id, int index)
{
    if (id != ID_IPTYPE)
        return;
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    if (!page)
        return;
    if (!page->ApplyFilter()) {
        if (m_pIpType)
            m_pIpType->SetCurSel(m_nLastIpType);
        ShowWait(L"Searching,please wait...");
        return;
    }
    m_nLastIpType = index;
    page->EnableBatchButtons((m_pIpType ? m_pIpType->GetCurSel() : index) == 0);
}

void CFilterMainEventImp::ApplyKeyword()
{
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    if (page && !page->ApplyFilter())
        ClearKeyword();
}

void CFilterMainEventImp::EDIT_OnEnterPressed(UINT id, wchar_t*)
{
    if (id == ID_KEYWORD)
        ApplyKeyword();
}

void CFilterMainEventImp::ResetFilter()
{
    std::shared_ptr<CSearchDevEventImp> page = m_wpPage.lock();
    if (!page || !page->ApplyFilter())
        return;
    for (CSFRadioBox* c : {m_pIpc, m_pDvr, m_pSd, m_pNvr, m_pOthers})
        if (c)
            c->SetCheck(1);
}

std::shared_ptr<CFilterMainEventImp> CreateFilterMainView(std::shared_ptr<CSearchDevEventImp> page)
{
    auto panel = std::make_shared<CFilterMainEventImp>(page);
    panel->Create();
    return panel;
}
