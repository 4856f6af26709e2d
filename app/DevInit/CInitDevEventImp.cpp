#include "DevInit/CInitDevEventImp.h"

#include <cstring>
#include <cwchar>

#include "Common/DevClass.h"
#include "Common/InputCheck.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "DevInit/CDevInitUILogic.h"
#include "DevInit/WizardSkins.h"
#include "Widgets/SFFactory.h"

SF_BEGIN_MESSAGE_MAP(CInitDevEventImp)
SF_ON_COMMAND(CInitDevEventImp::ID_NEXT, OnBtnNext)
SF_END_MESSAGE_MAP()

namespace {

constexpr DWORD kVisible = 0x10000000;
constexpr UINT kHighlight = 0x41BE47; // 71, 190, 65

std::wstring Read(CSFEditCtrl* edit, int count)
{
    std::wstring buf(static_cast<size_t>(count) + 1, L'\0');
    if (edit)
        edit->GetWindowTextW(&buf[0], count + 1);
    buf.resize(std::wcslen(buf.c_str()));
    return buf;
}

// The text in the system code page, at most size - 1 bytes, into a zeroed field.
std::string Store(char* field, size_t size, const std::wstring& text)
{
    SF_SOFT_BASE::CSFStreamConvert convert(text.c_str(), 0);
    SafeStrCopy(field, size, convert.GetMultiByte());
    return field;
}

CSFStatic* Label(void* wnd, const wchar_t* text, RECT rc, UINT align, DWORD style = kVisible)
{
    CSFStatic* s = CreateSFStatic(nullptr);
    s->SetTextAlignFlag(align);
    s->Create(text, style, rc, wnd, 0);
    return s;
}

} // namespace

CInitDevEventImp::CInitDevEventImp(std::weak_ptr<CDevInitUILogic> coordinator) : m_wpCoordinator(std::move(coordinator))
{
}

CInitDevEventImp::~CInitDevEventImp() {}

std::shared_ptr<CInitDevEventImp> CInitDevEventImp::Create(std::shared_ptr<CDevInitUILogic> coordinator)
{
    auto page = std::make_shared<CInitDevEventImp>(coordinator);
    page->BuildDialog();
    return page;
}

int CInitDevEventImp::BuildDialog()
{
    std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock();
    m_pDialog = CreateWizardDialog(this, coordinator ? coordinator->GetParentWnd() : nullptr, L"Device Initialize", 490, 450);
    return 0;
}

int CInitDevEventImp::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    m_pCloseBtn = CreateWizardCloseButton(this, wnd, 490, ID_CLOSE);
    ImageButtonStyle textSkin = WizardTextButtonSkin();
    m_pNextBtn = CreateSFButton(this);
    m_pNextBtn->SetSkin(&textSkin);
    m_pNextBtn->Create(Tr(L"Next"), kVisible, RECT{410, 415, 482, 440}, wnd, ID_NEXT);

    m_pCount = Label(wnd, Tr(L"0"), RECT{80, 40, 120, 60}, 2);
    m_pCount->SetTextColor(0x0000FF);
    m_pCount->SetTextSize(16);
    // Left-aligned, so that the count and its words read as one phrase.
    CSFStatic* title = Label(wnd, Tr(L"devices not initialized"), RECT{130, 40, 410, 60}, 0);
    title->SetTextSize(16);

    Label(wnd, Tr(L"Username"), RECT{30, 90, 140, 110}, 2);
    m_pUser = CreateSFEditCtrl(nullptr);
    m_pUser->Create(kVisible, RECT{158, 85, 358, 111}, wnd, ID_USER, false);
    m_pUser->SetSkin(L"bg_edit.png");
    m_pUser->SetWindowTextW(L"admin");
    m_pUser->EnableWindow(0);
    m_pUser->SetMaxLength(15);

    Label(wnd, Tr(L"New Password"), RECT{30, 135, 140, 155}, 2);
    m_pPassword = CreateSFEditCtrl(this);
    m_pPassword->Create(kVisible, RECT{158, 130, 358, 156}, wnd, ID_PASSWORD, true);
    m_pPassword->SetSkin(L"bg_edit.png");
    m_pPassword->SetMaxLength(32);
    m_pPasswordError = Label(wnd, Tr(L"input error"), RECT{363, 132, 403, 152}, 0, 0);
    m_pPasswordError->SetTextColor(0x0000FF);
    m_pPasswordError->SetToolTipText(Tr(L"input error"));

    const wchar_t* levels[3] = {L"Weak", L"Middle", L"Strong"};
    for (int i = 0; i < 3; ++i) {
        const LONG left = 158 + 62 * i;
        CSFPictureCtrl* bar = CreateSFPictureCtrl(nullptr);
        bar->Create(L"", kVisible, RECT{left, 171, left + 60, 179}, wnd, static_cast<UINT>(-1));
        bar->SetImage(L"border.png", false);
        m_pStrength[i] = Label(wnd, Tr(levels[i]), RECT{left, 164, left + 60, 184}, 1);
    }

    Label(wnd, Tr(L"Confirm Password"), RECT{30, 203, 140, 223}, 2);
    m_pConfirm = CreateSFEditCtrl(this);
    m_pConfirm->Create(kVisible, RECT{158, 198, 358, 224}, wnd, ID_CONFIRM, true);
    m_pConfirm->SetSkin(L"bg_edit.png");
    m_pConfirm->SetMaxLength(32);
    m_pConfirmError = Label(wnd, Tr(L"input error"), RECT{363, 200, 403, 220}, 0, 0);
    m_pConfirmError->SetTextColor(0x0000FF);
    m_pConfirmError->SetToolTipText(Tr(L"input error"));

    CSFStatic* hint = Label(wnd, Tr(L"Please input 8~32 bytes from letters or numbers or symbols."),
                            RECT{158, 226, 458, 251}, 0x2014);
    hint->SetTextColor(0x969696);
    hint->SetToolTipText(Tr(L"Please input 8~32 bytes from letters or numbers or symbols."));

    CSFPictureCtrl* separator = CreateSFPictureCtrl(nullptr);
    separator->Create(L"", kVisible, RECT{20, 291, 470, 293}, wnd, static_cast<UINT>(-1));
    separator->SetImage(L"border.png", false);

    m_pContactKind = Label(wnd, Tr(L"Cell Phone No."), RECT{30, 313, 140, 333}, 2);
    ImageCheckBox checkSkin;
    checkSkin.strCheckedNormal = checkSkin.strCheckedHover = checkSkin.strCheckedPressed = L"Select_Check.png";
    checkSkin.strUncheckedNormal = checkSkin.strUncheckedHover = checkSkin.strUncheckedPressed = L"Select_unCheck.png";
    m_pContactOn = CreateSFCheckBox(this);
    m_pContactOn->SetSkin(&checkSkin);
    m_pContactOn->Create("", kVisible, RECT{30, 313, 46, 329}, wnd, ID_CONTACT_ON);
    m_pContactOn->SetCheck(1);
    m_pContact = CreateSFEditCtrl(nullptr);
    m_pContact->Create(kVisible, RECT{158, 308, 358, 334}, wnd, ID_CONTACT, false);
    m_pContact->SetSkin(L"bg_edit.png");
    CSFStatic* reset = Label(wnd, Tr(L"(For password reset)"), RECT{360, 313, 470, 333}, 0);
    reset->SetTextColor(0xBEBEBE);
    reset->SetToolTipText(Tr(L"(For password reset)"));

    m_pStandardLabel = Label(wnd, Tr(L"Select P/N"), RECT{30, 343, 140, 363}, 2);
    ImageComboBoxStyle comboSkin;
    comboSkin.strImage = L"ComboBox_small.png";
    comboSkin.strNormalRect = L"0,0,88,21";
    comboSkin.strHoverRect = L"0,0,88,21";
    comboSkin.strDropDownRect = L"0,66,88,22";
    comboSkin.strDropUpRect = L"0,44,88,22";
    comboSkin.strDisabledRect = L"0,22,88,22";
    m_pStandard = CreateSFComboBox(this);
    m_pStandard->SetSkin(&comboSkin);
    m_pStandard->Create(kVisible, RECT{160, 343, 248, 365}, wnd, ID_STANDARD);
    m_pStandard->AddString(Tr(L"P"));
    m_pStandard->AddString(Tr(L"N"));
    m_pStandard->SetCurSel(0);

    CSFStatic* note = Label(wnd, Tr(L"*After you have set new password, please set password again in Search Setup."),
                            RECT{20, 375, 470, 402}, 0x2014);
    note->SetTextColor(0x3636B9);
    return 1;
}

void CInitDevEventImp::ShowStrength(int level)
{
    for (int i = 0; i < 3; ++i)
        if (m_pStrength[i])
            m_pStrength[i]->SetBgColor(kHighlight, level == i + 1 ? 1 : 0);
    m_nShownStrength = level;
}

void CInitDevEventImp::ResetInputs()
{
    ShowStrength(0);
    if (!m_pPassword)
        return;
    m_pPassword->SetWindowTextW(L"");
    m_pConfirm->SetWindowTextW(L"");
    m_pContactOn->SetCheck(1);
    m_pContact->SetWindowTextW(L"");
    EnableContact(true);
    m_pPasswordError->ShowWindow(0);
    m_pConfirmError->ShowWindow(0);
}

void CInitDevEventImp::SetDeviceCount(int count)
{
    wchar_t text[64] = {};
    IntToWide(count, text);
    if (m_pCount)
        m_pCount->SetStaticText(text);
}

void CInitDevEventImp::SetResetMode(BYTE flags, int pnOffer)
{
    m_bPhoneMode = IsResetByPhone(flags);
    if (!m_pContact)
        return;
    if (m_bPhoneMode) {
        m_pContactKind->SetStaticText(Tr(L"Cell Phone No."));
        m_pContact->SetMaxLength(11);
        m_pContact->SetNumType(1);
        m_nPNOffered = 0;
    } else {
        m_pContactKind->SetStaticText(Tr(L"Email Address"));
        m_pContact->SetMaxLength(63);
        m_pContact->SetEmailType();
        m_nPNOffered = pnOffer;
    }
    m_pStandardLabel->ShowWindow(m_nPNOffered ? 1 : 0);
    m_pStandard->ShowWindow(m_nPNOffered ? 1 : 0);
}

void CInitDevEventImp::GetVideoStandard(int& offered, int& standard)
{
    offered = m_nPNOffered;
    const int sel = m_pStandard ? m_pStandard->GetCurSel() : -1;
    standard = sel == 0 ? 1 : sel == 1 ? 2 : 0;
}

void CInitDevEventImp::EDIT_OnTextChange(UINT id, wchar_t* text)
{
    if (id != ID_PASSWORD && id != ID_CONFIRM)
        return;
    wchar_t buf[33] = {};
    if (text)
        std::wcsncpy(buf, text, 32);
    const bool stripped = StripBadPasswordChar(buf, 32) == 0;
    CSFEditCtrl* edit = id == ID_PASSWORD ? m_pPassword : m_pConfirm;
    CSFStatic* marker = id == ID_PASSWORD ? m_pPasswordError : m_pConfirmError;
    if (marker)
        marker->ShowWindow(stripped ? 1 : 0);
    if (edit)
        edit->SetWindowTextW(buf);
    if (id == ID_PASSWORD)
        ShowStrength(GetPasswordStrength(buf, static_cast<int>(std::wcslen(buf))));
}

void CInitDevEventImp::Check_OnCheckStateChanged(int, int id, POINT)
{
    if (id != ID_CONTACT_ON || !m_pContactOn || !m_pContact)
        return;
    int checked = 0;
    m_pContactOn->GetCheck(&checked);
    EnableContact(checked != 0);
}

// Greys or enables the contact field when its state changes; an enabled field keeps its frame.
void CInitDevEventImp::EnableContact(bool enable)
{
    if (m_pContact && enable != m_bContactEnabled)
        m_pContact->EnableWindow(enable ? 1 : 0);
    m_bContactEnabled = enable;
}

bool CInitDevEventImp::Refuse(const wchar_t* key)
{
    ShowMessageBox(Tr(key), Tr(L"Attention"), GetUIWnd(), 0, nullptr);
    return false;
}

void CInitDevEventImp::OnBtnNext()
{
    std::memset(&m_stAccount, 0, sizeof m_stAccount);
    const std::wstring password = Read(m_pPassword, 32);
    if (password.size() < 8) {
        Refuse(L"New Password length can't be less than 8 bytes.");
        return;
    }
    if (!CheckPasswordRule(password.c_str(), static_cast<int>(password.size()))) {
        Refuse(L"Password input error.");
        return;
    }
    if (Read(m_pConfirm, 32) != password) {
        Refuse(L"New passwords do not match.");
        return;
    }
    Store(m_stAccount.szPwd, 128, password);
    int contactOn = 0;
    if (m_pContactOn)
        m_pContactOn->GetCheck(&contactOn);
    if (contactOn) {
        const std::wstring contact = Read(m_pContact, 127);
        if (m_bPhoneMode) {
            if (Store(m_stAccount.szCellPhone, sizeof m_stAccount.szCellPhone, contact).size() != 11) {
                Refuse(L"Phone number must be 11 numbers.");
                return;
            }
        } else {
            if (Store(m_stAccount.szMail, sizeof m_stAccount.szMail, contact).empty()) {
                Refuse(L"Email address can't be empty.");
                return;
            }
            if (!m_pContact->CheckEmailMatch()) {
                Refuse(L"Email address format error.");
                return;
            }
        }
    }
    Store(m_stAccount.szUserName, 128, Read(m_pUser, 127));
    if (m_pDialog)
        m_pDialog->MFCOK();
}

void CInitDevEventImp::Dlg_OnOK()
{
    if (std::shared_ptr<CDevInitUILogic> coordinator = m_wpCoordinator.lock())
        coordinator->SetAccepting(false);
}

void CInitDevEventImp::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 13)
        OnBtnNext();
}
