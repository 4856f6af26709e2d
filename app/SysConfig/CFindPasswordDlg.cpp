#include "SysConfig/CFindPasswordDlg.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "Common/AppPath.h"
#include "Common/InputCheck.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "SysConfig/QrEncodeLib.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"


namespace {

enum { ID_CLOSE = 502, ID_OK = 505, ID_MODE = 608, ID_CODE = 609, ID_NEW = 1151, ID_CONFIRM = 1152 };
enum { kWidth = 850, kHeight = 600 };
constexpr const char* kPlaceholder = "XXXXXXXXXXX";

void Put16(std::vector<unsigned char>& b, size_t at, uint16_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

void Put32(std::vector<unsigned char>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

void CopyAnsi(char* out, size_t size, const std::wstring& text, size_t max)
{
    SafeStrCopy(out, size, SFWideToUtf8(text).c_str(), max);
}

} // namespace

bool WriteQrBitmap(const std::string& text, const std::string& path)
{
    const QrEncodeLib* qr = LoadQrEncodeLib();
    if (!qr)
        return false;
    QRcode* code = qr->QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_H, QR_MODE_8, 1);
    if (!code) {
        std::fputs("NULL returned\n", stdout);
        return false;
    }
    std::unique_ptr<QRcode, void (*)(QRcode*)> owned(code, qr->QRcode_free);
    const size_t w = size_t(code->width), side = 4 * w, row = 12 * w;
    std::vector<unsigned char> file(54 + row * side, 255);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, uint32_t(file.size()));
    Put32(file, 6, 0);
    Put32(file, 10, 54);
    Put32(file, 14, 40);
    Put32(file, 18, uint32_t(side));
    Put32(file, 22, uint32_t(-int32_t(side)));
    Put16(file, 26, 1);
    Put16(file, 28, 24);
    for (size_t i = 30; i < 54; ++i)
        file[i] = 0;
    for (size_t r = 0; r < w; ++r)
        for (size_t c = 0; c < w; ++c) {
            if (!(code->data[r * w + c] & 1))
                continue;
            for (size_t y = 4 * r; y < 4 * r + 4; ++y)
                std::memset(&file[54 + y * row + 12 * c], 0, 12);
        }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fputs("Unable to open file\n", stdout);
        return false;
    }
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

SF_BEGIN_MESSAGE_MAP(CFindPasswordDlg)
SF_ON_COMMAND(ID_CLOSE, OnClose)
SF_ON_COMMAND(ID_OK, OnOK)
SF_END_MESSAGE_MAP()

CFindPasswordDlg::CFindPasswordDlg(std::weak_ptr<CSysConfigEventImp> owner) : m_wpOwner(std::move(owner)) {}

CFindPasswordDlg::~CFindPasswordDlg()
{
    m_wait.Destroy();
    CSFDialog* d = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(d);
}

std::shared_ptr<CFindPasswordDlg> CFindPasswordDlg::Create(std::weak_ptr<CSysConfigEventImp> owner)
{
    auto dlg = std::make_shared<CFindPasswordDlg>(std::move(owner));
    dlg->Init();
    return dlg;
}

void CFindPasswordDlg::Init()
{
    std::shared_ptr<CSysConfigEventImp> owner = m_wpOwner.lock();
    m_pDialog = sysui::CreateStandardDialog(this, owner ? owner->GetUIWnd() : nullptr, L"Find Password", kWidth, kHeight);
    if (!m_pDialog)
        return;
    m_wait.CreateBox(L"Getting,please wait...", GetUIWnd());
}

std::string CFindPasswordDlg::QrPath() const { return SFWideToUtf8(SFGetAppPath()) + "/SN.bmp"; }

int CFindPasswordDlg::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    const int R = kWidth, B = kHeight;
    auto picture = [&](const std::wstring& image, bool fullPath, RECT rc, bool visible) {
        CSFPictureCtrl* p = CreateSFPictureCtrl(nullptr);
        if (p) {
            p->Create(L"", visible ? 0x50000000 : 0x40000000, rc, wnd, static_cast<UINT>(-1));
            if (!image.empty())
                p->SetImage(image.c_str(), fullPath);
            p->ShowWindow(visible ? 1 : 0);
        }
        return p;
    };
    auto moving = [&](const wchar_t* text, RECT rc) {
        CSFStatic* s = CreateSFStatic(this);
        if (s) {
            s->Create(Tr(text), 0x50000000, rc, wnd, static_cast<UINT>(-1));
            s->SetTextAlignFlag(0x10);
            s->SetWordWrap(1);
        }
        return s;
    };
    auto edit = [&](UINT id, RECT rc, bool password, int max) {
        CSFEditCtrl* e = CreateSFEditCtrl(this);
        if (e) {
            e->Create(0x50810000, rc, wnd, id, password);
            sysui::FrameEdit(e);
            e->SetMaxLength(max);
        }
        return e;
    };
    m_pClose = sysui::CloseButton(R, wnd);
    m_pModeLabel = sysui::Label(L"Find Mode", SFRectLTRB(50, 50, 150, 72), wnd, 2 | 4 | 0x20);
    m_pMode = CreateSFComboBox(this);
    if (m_pMode) {
        m_pMode->Create(0x50010000, SFRectLTRB(160, 50, 660, 72), wnd, ID_MODE);
        ImageComboBoxStyle skin;
        skin.strImage = L"ComboBox_big.png";
        skin.strNormalRect = skin.strHoverRect = L"0,0,500,21";
        skin.strDropDownRect = L"0,66,500,22";
        skin.strDropUpRect = L"0,44,500,22";
        skin.strDisabledRect = L"0,22,500,22";
        m_pMode->SetSkin(&skin);
        m_pMode->AddString(Tr(L"QR Code"));
        m_pMode->AddString(Tr(L"XML File"));
    }
    m_pTopRule = picture(L"border.png", false, SFRectLTRB(1, 92, R - 1, 93), true);
    m_pInstruction1 = moving(L"Follow the after-sale service account and scan the code with its password reset function.",
                             SFRectLTRB(60, 113, 360, 163));
    m_pInstruction2 = moving(L"Or install the after-sale service app, log in, and scan the code with its password reset function.",
                             SFRectLTRB(60, 173, 360, 223));
    m_pMessage = sysui::Label(L"", SFRectLTRB(60, 233, 360, 283), wnd, 0x10);
    if (m_pMessage)
        m_pMessage->SetWordWrap(1);
    m_pHint = sysui::Label(L"You can also send the text of the code by text message to the service number of your carrier.",
                           SFRectLTRB(60, 293, 360, 343), wnd, 0x10);
    if (m_pHint)
        m_pHint->SetWordWrap(1);
    m_pQrImage = picture(L"", true, SFRectLTRB(120, 353, 320, 553), true);
    const std::wstring app = SFGetAppPath();
    m_pAppImage = picture(app + L"/APP.bmp", true, SFRectLTRB(120, 353, 320, 553), false);
    m_pAccountImage = picture(app + L"/WeiXin.bmp", true, SFRectLTRB(120, 353, 320, 553), false);
    m_pDivider = picture(L"border.png", false, SFRectLTRB(424, 103, 426, 453), true);
    m_pCodeLabel = sysui::Label(L"Security Code", SFRectLTRB(456, 133, 566, 158), wnd, 4 | 0x20);
    m_pCodeEdit = edit(ID_CODE, SFRectLTRB(576, 129, 766, 157), false, 15);
    m_pNewLabel = sysui::Label(L"New Password", SFRectLTRB(456, 188, 566, 213), wnd, 4 | 0x20);
    m_pwd.newEdit = edit(ID_NEW, SFRectLTRB(576, 187, 766, 215), true, 32);
    m_pwd.newError = sysui::Label(L"input error", SFRectLTRB(771, 189, 841, 209), wnd, 0, sysui::kRed, true);
    m_pwd.BuildBars(wnd, 576, 230, 223);
    m_pConfirmLabel = sysui::Label(L"Confirm Password", SFRectLTRB(456, 273, 566, 298), wnd, 4 | 0x20);
    m_pwd.confirmEdit = edit(ID_CONFIRM, SFRectLTRB(576, 269, 766, 297), true, 32);
    m_pwd.confirmError = sysui::Label(L"input error", SFRectLTRB(771, 271, 841, 291), wnd, 0, sysui::kRed, true);
    m_pRule = sysui::Label(L"Please input 8~32 bytes from letters or numbers or symbols.", SFRectLTRB(576, 307, 836, 367),
                           wnd, 0x10, sysui::kHintGrey, true);
    m_pNote = sysui::Label(L"*After you have set new password, please set password again in Search Setup.",
                           SFRectLTRB(456, 417, 806, 444), wnd, 0x10, sysui::kNoteRed, true);
    for (CSFStatic* s : {m_pRule, m_pNote})
        if (s)
            s->SetWordWrap(1);
    m_pOk = sysui::Button(L"OK", SFRectLTRB(R - 120, B - 80, R - 38, B - 55), wnd, ID_OK, sysui::PlainButtonSkin());
    m_pwd.newError->ShowWindow(0);
    m_pwd.confirmError->ShowWindow(0);
    return 1;
}

void CFindPasswordDlg::LayoutFor(bool ownBrand, bool byPhone)
{
    auto place = [](auto* c, RECT rc, int show) {
        if (c) {
            c->MoveWindow(&rc);
            c->ShowWindow(show);
        }
    };
    if (byPhone && ownBrand) {
        place(m_pInstruction1, SFRectLTRB(60, 123, 360, 163), 1);
        place(m_pInstruction2, SFRectLTRB(60, 183, 360, 233), 1);
        place(m_pMessage, SFRectLTRB(60, 243, 360, 293), 1);
        if (m_pQrImage)
            m_pQrImage->MoveWindow(115, 294, 210, 209);
        place(m_pHint, SFRectLTRB(60, 510, 360, 560), 1);
    } else {
        if (m_pInstruction1)
            m_pInstruction1->ShowWindow(0);
        if (m_pInstruction2)
            m_pInstruction2->ShowWindow(0);
        if (m_pHint)
            m_pHint->ShowWindow(0);
        place(m_pMessage, SFRectLTRB(60, 123, 360, 173), 1);
        if (m_pQrImage) {
            if (byPhone)
                m_pQrImage->MoveWindow(115, 193, 210, 210);
            else
                m_pQrImage->MoveWindow(120, 208, 200, 200);
        }
    }
}

std::wstring CFindPasswordDlg::MessageFor(bool) const
{
    if (m_bByPhone && m_bOwnBrand)
        return std::wstring(Tr(L"After scan success,security code will be send to ")) + SFUtf8ToWide(m_szContact) +
               Tr(L".");
    if (m_bByPhone)
        return Tr(L"Scan the code and send its text by text message to the service number.");
    if (m_bOwnBrand)
        return Tr(L"Scan the code with the device password reset function of the maker's app, or save the code image and mail it to the reset support address.");
    return Tr(L"Save the code image and mail it as an attachment to the reset support address.");
}

void CFindPasswordDlg::PrepareForDevice(bool ownBrand, bool byPhone)
{
    if (m_pMode)
        m_pMode->SetCurSel(0);
    m_bOwnBrand = ownBrand;
    m_bByPhone = byPhone;
    m_bSwitchToXml = false;
    std::remove(QrPath().c_str());
    if (m_pQrImage)
        m_pQrImage->ShowWindow(0);
    m_bQrShown = false;
    std::memset(m_szContact, 0, sizeof m_szContact);
    std::memcpy(m_szContact, kPlaceholder, 11);
    LayoutFor(ownBrand, byPhone);
    if (m_pMessage)
        m_pMessage->SetStaticText(MessageFor(false).c_str());
    if (m_pCodeEdit)
        m_pCodeEdit->SetWindowTextW(L"");
    m_pwd.Clear();
}

void CFindPasswordDlg::EnableInputs(bool enable)
{
    const int e = enable ? 1 : 0;
    if (m_pMode)
        m_pMode->EnableWindow(e);
    for (CSFEditCtrl* edit : {m_pCodeEdit, m_pwd.newEdit, m_pwd.confirmEdit})
        sysui::EnableEdit(edit, enable);
    if (m_pClose)
        m_pClose->EnableWindow(e);
    if (m_pOk)
        m_pOk->EnableWindow(e);
}

void CFindPasswordDlg::ShowWaitBox(bool show) { m_wait.Show(show); }

void CFindPasswordDlg::GetResetParams(char newPassword[33], char securityCode[9]) const
{
    SafeStrCopy(newPassword, 33, m_szNewPassword);
    SafeStrCopy(securityCode, 9, m_szSecurityCode);
}

void CFindPasswordDlg::OnGetDescriptionRet(const PWD_DESCRIPTION& d, int result, DWORD error)
{
    EnableInputs(true);
    ShowWaitBox(false);
    if (!result) {
        const wchar_t* text = L"Get password description failed.";
        if (error == 0x80000002)
            text = L"Get password description time out.";
        else if (error == 0x800003F7)
            text = L"Encryption data failed.";
        else if (error == 0x800003FA)
            text = L"Security code error.";
        ShowMessageBox(Tr(text), Tr(L"Error"), GetUIWnd(), 0);
        return;
    }
    const std::string& contact = m_bByPhone ? d.phone : d.mail;
    if (!contact.empty()) {
        SafeStrCopy(m_szContact, sizeof m_szContact, contact.c_str());
    }
    if (std::strcmp(m_szContact, kPlaceholder) == 0) {
        // No reserved contact: the device is reset with the request and authorisation files.
        m_bSwitchToXml = true;
        if (m_pDialog)
            m_pDialog->MFCCancel();
        return;
    }
    if (m_pMessage)
        m_pMessage->SetStaticText(MessageFor(true).c_str());
    if (WriteQrBitmap(d.text, QrPath())) {
        if (m_pQrImage) {
            m_pQrImage->SetImage(SFUtf8ToWide(QrPath()).c_str(), true);
            m_pQrImage->ShowWindow(1);
        }
        m_bQrShown = true;
    } else {
        std::wstring text = Tr(L"Generate QR code failed.");
        if (!LoadQrEncodeLib())
            text += L"\n" + std::wstring(Tr(L"The QR code library could not be loaded:")) + L" " +
                    SFUtf8ToWide(QrEncodeLibError());
        ShowMessageBox(text.c_str(), Tr(L"Error"), GetUIWnd(), 0);
    }
}

void CFindPasswordDlg::EDIT_OnTextChange(UINT id, wchar_t* text)
{
    if (id == ID_CODE) {
        std::string bytes = SFWideToUtf8(text ? text : L"");
        if (bytes.size() > 8) {
            bytes.resize(8);
            // Never leave half a character behind.
            while (!bytes.empty() && (uint8_t(bytes.back()) & 0xC0) == 0x80)
                bytes.pop_back();
            if (!bytes.empty() && (uint8_t(bytes.back()) & 0x80))
                bytes.pop_back();
            if (m_pCodeEdit)
                m_pCodeEdit->SetWindowTextW(SFUtf8ToWide(bytes).c_str());
        }
        return;
    }
    m_pwd.OnTextChange(id, text);
}

bool CFindPasswordDlg::CheckInputs()
{
    const std::wstring pwd = sysui::EditText(m_pwd.newEdit, 32);
    const std::wstring confirm = sysui::EditText(m_pwd.confirmEdit, 32);
    const std::wstring code = sysui::EditText(m_pCodeEdit, 15);
    const wchar_t* problem = nullptr;
    if (code.empty())
        problem = L"SecurityCode can't be empty.";
    else if (!IsAlnumText(code.c_str(), code.size()))
        problem = L"SecurityCode shall only contain numbers and letters.";
    else
        problem = sysui::PasswordProblem(pwd, confirm, L"", false);
    if (problem) {
        ShowMessageBox(Tr(problem), Tr(L"Attention"), GetUIWnd(), 0);
        return false;
    }
    CopyAnsi(m_szNewPassword, sizeof m_szNewPassword, pwd, 32);
    CopyAnsi(m_szSecurityCode, sizeof m_szSecurityCode, code, 15);
    return true;
}

void CFindPasswordDlg::OnOK()
{
    if (!CheckInputs())
        return;
    EnableInputs(false);
    if (std::shared_ptr<CSysConfigEventImp> owner = m_wpOwner.lock())
        owner->CheckSecurityCode(m_szSecurityCode);
}

void CFindPasswordDlg::OnCheckSecurityCodeRet(int result)
{
    EnableInputs(true);
    if (result) {
        if (m_pDialog)
            m_pDialog->MFCOK();
        return;
    }
    ShowMessageBox(Tr(L"SecurityCode error or invalid."), Tr(L"Error"), GetUIWnd(), 0);
}

void CFindPasswordDlg::SelectChanged(int id, int index)
{
    if (id == ID_MODE && index == 1) {
        m_bSwitchToXml = true;
        if (m_pDialog)
            m_pDialog->MFCCancel();
    }
}

void CFindPasswordDlg::OnClose()
{
    m_bSwitchToXml = false;
    if (m_pDialog)
        m_pDialog->MFCCancel();
}

void CFindPasswordDlg::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 27)
        OnClose();
}

void CFindPasswordDlg::STATIC_OnMouseMove(UINT, UINT, POINT pt)
{
    if (pt.x >= 180 && pt.x <= 270 && pt.y >= 120 && pt.y <= 140) {
        if (m_pAccountImage) {
            m_pAccountImage->MoveWindow(270, 5, 120, 120);
            m_pAccountImage->ShowWindow(1);
        }
        return;
    }
    if (m_pAccountImage)
        m_pAccountImage->ShowWindow(0);
    if (m_pAppImage) {
        const bool over = pt.x >= 140 && pt.x <= 240 && pt.y >= 190 && pt.y <= 210;
        if (over)
            m_pAppImage->MoveWindow(240, 70, 120, 120);
        m_pAppImage->ShowWindow(over ? 1 : 0);
    }
}
