#include "IPConfig/CModifyIPFileDlg.h"

#include <cstdio>

#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "IPConfig/AddressPlan.h"
#include "Main/CSearchDevEventImp.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

SF_BEGIN_MESSAGE_MAP(CModifyIPFileDlg)
SF_ON_COMMAND(CModifyIPFileDlg::ID_CLOSE, OnBtnClose)
SF_ON_COMMAND(CModifyIPFileDlg::ID_OK, OnBtnOK)
SF_END_MESSAGE_MAP()

namespace {

// Reads a field into "%d.%d.%d.%d"; answers the number of empty octets.
int ReadAddress(CSFIPAddressCtrl* field, char* text)
{
    BYTE a = 0, b = 0, c = 0, d = 0;
    const int empty = field ? field->GetAddress(a, b, c, d) : 4;
    std::snprintf(text, 64, "%d.%d.%d.%d", a, b, c, d);
    return empty;
}

} // namespace

CModifyIPFileDlg::CModifyIPFileDlg(std::weak_ptr<CSearchDevEventImp> owner) : m_wpOwner(std::move(owner)) {}

CModifyIPFileDlg::~CModifyIPFileDlg() {}

std::shared_ptr<CModifyIPFileDlg> CModifyIPFileDlg::Create(std::weak_ptr<CSearchDevEventImp> owner)
{
    auto dlg = std::make_shared<CModifyIPFileDlg>(owner);
    DialogStyle style;
    FillFramedDialogSkin(style);
    {
        std::shared_ptr<CSearchDevEventImp> page = owner.lock();
        dlg->m_pDialog = CreateSFDialog(dlg.get(), page ? page->GetUIWnd() : nullptr, 0);
    }
    SetUpSkinnedDialog(dlg->m_pDialog, style, L"IP Address Modify", 600, 320, DialogSizing::BeforeCreate);
    return dlg;
}

int CModifyIPFileDlg::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    RECT client{0, 0, 599, 319};
    if (m_pDialog)
        m_pDialog->GetDlgClientRect(&client);
    if (client.right <= 0 || client.bottom <= 0)
        client = RECT{0, 0, 599, 319};
    const DWORD kVisible = 0x10000000;
    const DWORD kRadio = 0x10010000;

    m_pCloseBtn = CreateCloseButton(nullptr, wnd, client.right, ID_CLOSE);

    const RECT caption{20, client.bottom - 30, 140, client.bottom};
    m_pCountCaption = CreateSFStatic(nullptr);
    m_pCountCaption->SetTextAlignFlag(2);
    m_pCountCaption->Create(Tr(L"Selected number of devices:"), kVisible, caption, wnd, 0);
    m_pCountCaption->SetToolTipText(Tr(L"Selected number of devices:"));

    const LONG shift = (caption.right - caption.left) + 50;
    const RECT count{caption.left + shift, caption.top - 7, caption.left + shift + 40, caption.bottom - 7};
    m_pCountValue = CreateSFStatic(nullptr);
    m_pCountValue->SetTextAlignFlag(1);
    m_pCountValue->Create(L"0", kVisible, count, wnd, 0);
    m_pCountValue->SetTextBold(1);
    m_pCountValue->SetTextColor(0xEF882D);
    m_pCountValue->SetTextSize(25);

    auto label = [&](CSFStatic*& ctrl, const wchar_t* text, RECT rc) {
        ctrl = CreateSFStatic(nullptr);
        ctrl->SetTextAlignFlag(2);
        ctrl->Create(Tr(text), kVisible, rc, wnd, 0);
    };
    ImageRadioBox radioSkin = MakeRadioSkin(L"radio_check.png", L"radio_uncheck.png", L"radio_check.png",
                                     L"radio_uncheck.png");
    label(m_pModeLabel, L"Mode", RECT{60, 70, 160, 95});
    m_pStaticRadio = CreateSFRadioBox(this);
    m_pStaticRadio->SetSkin(&radioSkin);
    m_pStaticRadio->Create(Tr(L"Static"), kRadio, RECT{180, 60, 280, 96}, wnd, ID_STATIC);
    m_pStaticRadio->SetCheck(1);
    m_pDhcpRadio = CreateSFRadioBox(this);
    m_pDhcpRadio->SetSkin(&radioSkin);
    m_pDhcpRadio->Create(Tr(L"DHCP"), kRadio, RECT{300, 60, 400, 96}, wnd, ID_DHCP);
    m_pDhcpRadio->SetCheck(0);

    label(m_pAddressLabel, L"Start IP", RECT{60, 120, 160, 145});
    m_pAddress = CreateSFIPAddressCtrl(nullptr);
    m_pAddress->Create(kVisible, RECT{180, 115, 380, 140}, wnd, 0, false);

    ImageRadioBox boxSkin = MakeRadioSkin(L"Select_Check.png", L"Select_unCheck.png", L"Select_UnableCheck.png",
                                   L"Select_UnableUnCheck.png");
    m_pSameIp = CreateSFRadioBox(this);
    m_pSameIp->SetSkin(&boxSkin);
    m_pSameIp->Create(Tr(L"Same IP"), kRadio, RECT{400, 118, 500, 138}, wnd, 0);
    m_pSameIp->SetCheck(0);

    label(m_pMaskLabel, L"Subnet Mask", RECT{60, 170, 160, 195});
    m_pMask = CreateSFIPAddressCtrl(nullptr);
    m_pMask->Create(kVisible, RECT{180, 165, 380, 190}, wnd, 0, false);
    label(m_pGatewayLabel, L"Gateway", RECT{60, 220, 160, 245});
    m_pGateway = CreateSFIPAddressCtrl(nullptr);
    m_pGateway->Create(kVisible, RECT{180, 215, 380, 240}, wnd, 0, false);

    ImageButtonStyle okSkin = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    m_pOkBtn = CreateSFButton(nullptr);
    m_pOkBtn->SetSkin(&okSkin);
    const LONG okLeft = (client.right - client.left) - 100;
    m_pOkBtn->Create(Tr(L"OK"), kVisible, RECT{okLeft, client.bottom - 35, okLeft + 72, client.bottom - 10}, wnd,
                     ID_OK);
    // Static mode: the address controls start enabled, with their field faces.
    EnableAddressControls(1);
    return 1;
}

void CModifyIPFileDlg::SetDeviceCount(int count)
{
    wchar_t text[64] = {};
    IntToWide(count, text);
    if (m_pCountValue)
        m_pCountValue->SetStaticText(text);
    m_nDeviceCount = count;
}

void CModifyIPFileDlg::SetSingleDeviceMode(int single)
{
    if (m_pAddressLabel)
        m_pAddressLabel->SetStaticText(Tr(single ? L"Target IP" : L"Start IP"));
    if (m_pSameIp)
        m_pSameIp->ShowWindow(single ? 0 : 1);
}

void CModifyIPFileDlg::RADIO_OnClicked(int checked, int id, POINT)
{
    if (id == ID_DHCP) {
        EnableAddressControls(!checked);
        m_pStaticRadio->SetCheck(!checked);
    } else if (id == ID_STATIC) {
        EnableAddressControls(checked);
        m_pDhcpRadio->SetCheck(!checked);
    }
}

void CModifyIPFileDlg::EnableAddressControls(int enable)
{
    for (CSFIPAddressCtrl* field : {m_pAddress, m_pMask, m_pGateway})
        if (field)
            field->EnableWindow(enable);
    if (m_pSameIp)
        m_pSameIp->SetEnabled(enable);
    for (CSFStatic* label : {m_pAddressLabel, m_pMaskLabel, m_pGatewayLabel})
        if (label)
            label->EnableWindow(enable);
}

void CModifyIPFileDlg::ShowError(const std::wstring& text)
{
    ShowMessageBox(text.c_str(), Tr(L"Error"), GetUIWnd(), 0, nullptr);
}

void CModifyIPFileDlg::OnBtnOK()
{
    if (!m_pStaticRadio || !m_pDialog)
        return;
    if (!m_pStaticRadio->GetCheck()) {
        m_pDialog->MFCOK();
        if (std::shared_ptr<CSearchDevEventImp> page = m_wpOwner.lock())
            page->StartModifyIP("", "", "", m_bSameIp, 1);
        return;
    }
    const int emptyAddress = ReadAddress(m_pAddress, m_szAddress);
    const int emptyMask = ReadAddress(m_pMask, m_szMask);
    const int emptyGateway = ReadAddress(m_pGateway, m_szGateway);
    if (emptyAddress || emptyMask || emptyGateway) {
        ShowError(Tr(L"The IP address, the gateway or the mask is not valid!"));
        return;
    }
    m_bSameIp = m_pSameIp->GetCheck();
    // The target must be a host of its subnet, not the network or broadcast address.
    if (!IsSameSubnet(m_szAddress, m_szMask, m_szGateway) || !IsHostAddress(m_szAddress, m_szMask)) {
        ShowError(Tr(L"The IP address, the gateway or the mask is not match!"));
        return;
    }
    if (m_bSameIp == 0) {
        for (int i = 0; i < m_nDeviceCount; ++i) {
            const std::string next = PlanAddress(m_szAddress, m_szMask, i, 0);
            if (next.empty() || !IsSameSubnet(next, m_szMask, m_szGateway)) {
                std::wstring text = Tr(L"This network segment can only set up ");
                text += std::to_wstring(i);
                text += Tr(L" devices");
                ShowError(text);
                return;
            }
        }
    }
    m_pDialog->MFCOK();
    if (std::shared_ptr<CSearchDevEventImp> page = m_wpOwner.lock())
        page->StartModifyIP(m_szAddress, m_szMask, m_szGateway, m_bSameIp, 0);
}

void CModifyIPFileDlg::OnBtnClose()
{
    if (m_pDialog)
        m_pDialog->MFCCancel();
}

void CModifyIPFileDlg::Dlg_OnCancel()
{
    for (CSFIPAddressCtrl* field : {m_pAddress, m_pMask, m_pGateway})
        if (field)
            field->ClearAddress();
}

void CModifyIPFileDlg::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 27)
        OnBtnClose();
    else if (key == 13)
        OnBtnOK();
}
