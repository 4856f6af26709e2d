#include "SysConfig/CFindPasswordXmlDlg.h"

#include <cstring>

#include "Common/AppPath.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "SysConfig/CSysConfigEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkinStyle.h"


namespace {

enum { ID_CLOSE = 502, ID_BACK = 606, ID_NEXT = 607, ID_BROWSE = 1102, ID_NEW = 1151, ID_CONFIRM = 1152 };
enum { kWidth = 700, kHeight = 340 };

} // namespace

SF_BEGIN_MESSAGE_MAP(CFindPasswordXmlDlg)
SF_ON_COMMAND(ID_CLOSE, OnClose)
SF_ON_COMMAND(ID_BACK, OnBack)
SF_ON_COMMAND(ID_NEXT, OnNext)
SF_ON_COMMAND(ID_BROWSE, OnBrowse)
SF_END_MESSAGE_MAP()

CFindPasswordXmlDlg::CFindPasswordXmlDlg(std::weak_ptr<CSysConfigEventImp> owner) : m_wpOwner(std::move(owner)) {}

CFindPasswordXmlDlg::~CFindPasswordXmlDlg()
{
    m_wait.Destroy();
    CSFDialog* d = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(d);
}

std::shared_ptr<CFindPasswordXmlDlg> CFindPasswordXmlDlg::Create(std::weak_ptr<CSysConfigEventImp> owner)
{
    auto dlg = std::make_shared<CFindPasswordXmlDlg>(std::move(owner));
    dlg->Init();
    return dlg;
}

void CFindPasswordXmlDlg::Init()
{
    std::shared_ptr<CSysConfigEventImp> owner = m_wpOwner.lock();
    m_pDialog = sysui::CreateStandardDialog(this, owner ? owner->GetUIWnd() : nullptr, L"Find Password", kWidth, kHeight);
    if (!m_pDialog)
        return;
    m_wait.CreateBox(L"Exporting,please wait...", GetUIWnd());
}

int CFindPasswordXmlDlg::Dlg_OnInitDialog(bool create)
{
    if (!create)
        return 1;
    void* wnd = GetUIWnd();
    const int R = kWidth, B = kHeight;
    const ImageButtonStyle plain = sysui::PlainButtonSkin();
    m_pClose = sysui::CloseButton(R, wnd);
    m_pBanner = CreateSFPictureCtrl(nullptr);
    if (m_pBanner) {
        m_pBanner->Create(L"", 0x50000000, SFRectLTRB(20, 50, 650, 90), wnd, static_cast<UINT>(-1));
        m_pBanner->SetImage(L"step1.png", false);
    }
    const wchar_t* captions[3] = {L"Export XML", L"Import XML", L"Modify Password"};
    for (int i = 0; i < 3; ++i)
        m_pCaptions[i] = sysui::Label(captions[i], SFRectLTRB(40 + 210 * i, 50, 190 + 210 * i, 90), wnd, 5);
    m_pMessage = sysui::Label(L"", SFRectLTRB(30, 118, 670, 152), wnd, 0x10);
    m_pPathLabel = sysui::Label(L"Export Path:", SFRectLTRB(30, 170, 130, 195), wnd, 0x24);
    m_pPathEdit = CreateSFEditCtrl(this);
    if (m_pPathEdit) {
        m_pPathEdit->Create(0x50810000, SFRectLTRB(135, 167, 505, 196), wnd, 0, false);
        sysui::FrameEdit(m_pPathEdit);
        m_pPathEdit->SetMaxLength(255);
    }
    m_pBrowse = sysui::Button(L"BrowsePath", SFRectLTRB(515, 168, 595, 193), wnd, ID_BROWSE, plain);
    m_pNext = sysui::Button(L"Next", SFRectLTRB(R - 100, B - 35, R - 28, B - 10), wnd, ID_NEXT, plain);
    m_pBack = sysui::Button(L"BackUp", SFRectLTRB(30, B - 35, 102, B - 10), wnd, ID_BACK, plain);
    m_pNewLabel = sysui::Label(L"New Password", SFRectLTRB(100, 140, 220, 165), wnd, 0);
    m_pwd.newEdit = CreateSFEditCtrl(this);
    if (m_pwd.newEdit) {
        m_pwd.newEdit->Create(0x50810000, SFRectLTRB(230, 136, 420, 164), wnd, ID_NEW, true);
        sysui::FrameEdit(m_pwd.newEdit);
        m_pwd.newEdit->SetMaxLength(32);
    }
    m_pwd.newError = sysui::Label(L"input error", SFRectLTRB(425, 136, 495, 156), wnd, 0, sysui::kRed, true);
    m_pwd.BuildBars(wnd, 230, 179, 172);
    m_pConfirmLabel = sysui::Label(L"Confirm Password", SFRectLTRB(100, 215, 220, 240), wnd, 0);
    m_pwd.confirmEdit = CreateSFEditCtrl(this);
    if (m_pwd.confirmEdit) {
        m_pwd.confirmEdit->Create(0x50810000, SFRectLTRB(230, 211, 420, 239), wnd, ID_CONFIRM, true);
        sysui::FrameEdit(m_pwd.confirmEdit);
        m_pwd.confirmEdit->SetMaxLength(32);
    }
    m_pwd.confirmError = sysui::Label(L"input error", SFRectLTRB(425, 211, 495, 231), wnd, 0, sysui::kRed, true);
    m_pRule = sysui::Label(L"Please input 8~32 bytes from letters or numbers or symbols.", SFRectLTRB(230, 249, 530, 274),
                           wnd, 0x10, sysui::kHintGrey, true);
    m_pNote = sysui::Label(L"*After you have set new password, please set password again in Search Setup.",
                           SFRectLTRB(120, B - 35, 570, B - 8), wnd, 0x10, sysui::kNoteRed, true);
    for (CSFStatic* s : {m_pRule, m_pNote})
        if (s)
            s->SetWordWrap(1);
    // Two lines of the hint fit its 25 pixels only a size smaller.
    if (m_pRule)
        m_pRule->SetTextSize(11);
    ShowExportStep(false, false);
    return 1;
}

void CFindPasswordXmlDlg::SetBanner(const wchar_t* image)
{
    if (m_pBanner)
        m_pBanner->SetImage(image, false);
    // The caption of the current step stands out.
    const int current = image[4] - L'1';
    for (int i = 0; i < 3; ++i)
        if (m_pCaptions[i]) {
            m_pCaptions[i]->SetTextBold(i == current ? 1 : 0);
            m_pCaptions[i]->SetTextColor(i == current ? 0xEF882D : 0x333333);
        }
}

void CFindPasswordXmlDlg::ShowPathControls(int show)
{
    if (m_pPathLabel)
        m_pPathLabel->ShowWindow(show);
    if (m_pPathEdit)
        m_pPathEdit->ShowWindow(show);
    if (m_pBrowse)
        m_pBrowse->ShowWindow(show);
}

void CFindPasswordXmlDlg::ShowPasswordControls(int show)
{
    for (CSFStatic* s : {m_pNewLabel, m_pConfirmLabel, m_pRule, m_pNote})
        if (s)
            s->ShowWindow(show);
    m_pwd.ShowAll(show);
    if (m_pwd.newError)
        m_pwd.newError->ShowWindow(0);
    if (m_pwd.confirmError)
        m_pwd.confirmError->ShowWindow(0);
}

void CFindPasswordXmlDlg::SetExportTexts()
{
    if (m_pMessage) {
        m_pMessage->SetStaticText(Tr(L"Please export the password reset request file first and then send to your local agent, salesperson or technical support."));
        m_pMessage->MoveWindow(30, 118, 640, 34);
        m_pMessage->ShowWindow(1);
    }
    if (m_pPathLabel)
        m_pPathLabel->SetStaticText(Tr(L"Export Path:"));
    if (m_pBrowse)
        m_pBrowse->SetWindowTextW(Tr(L"BrowsePath"));
}

void CFindPasswordXmlDlg::SetImportTexts()
{
    if (m_pMessage) {
        m_pMessage->SetStaticText(Tr(L"Please import the authorization file named 'result'."));
        m_pMessage->MoveWindow(30, 118, 640, 34);
        m_pMessage->ShowWindow(1);
    }
    if (m_pPathLabel)
        m_pPathLabel->SetStaticText(Tr(L"Import File:"));
    if (m_pBrowse)
        m_pBrowse->SetWindowTextW(Tr(L"Open"));
}

void CFindPasswordXmlDlg::ShowExportStep(bool, bool)
{
    m_nStep = 1;
    m_nDeviceCount = 0;
    SetBanner(L"step1.png");
    if (m_pBack) {
        m_pBack->ShowWindow(0);
        m_pBack->EnableWindow(1);
    }
    SetExportTexts();
    m_strExportPath = SFGetAppPath() + L"/ExportFile.xml";
    if (m_pPathEdit) {
        m_pPathEdit->SetWindowTextW(m_strExportPath.c_str());
        m_pPathEdit->SetReadOnly(1);
    }
    ShowPasswordControls(0);
    m_pwd.PaintBars(0);
    if (m_pNext)
        m_pNext->SetWindowTextW(Tr(L"Next"));
    ShowPathControls(1);
}

void CFindPasswordXmlDlg::ShowImportStep()
{
    m_nStep = 2;
    m_nDeviceCount = 0;
    SetBanner(L"step2.png");
    if (m_pPathEdit) {
        m_pPathEdit->SetWindowTextW(L"");
        m_pPathEdit->SetReadOnly(1);
    }
    if (m_pBack) {
        m_pBack->ShowWindow(1);
        m_pBack->EnableWindow(0);
    }
    SetImportTexts();
    ShowPathControls(1);
    ShowPasswordControls(0);
    m_pwd.PaintBars(0);
    if (m_pNext)
        m_pNext->SetWindowTextW(Tr(L"Next"));
}

std::wstring CFindPasswordXmlDlg::GetFilePath() const { return sysui::EditText(m_pPathEdit, 255); }

void CFindPasswordXmlDlg::ShowExportingBox(bool show)
{
    const int enable = show ? 0 : 1;
    for (CSFButton* b : {m_pNext, m_pBrowse, m_pClose})
        if (b)
            b->EnableWindow(enable);
    m_wait.Show(show);
}

void CFindPasswordXmlDlg::OnExportDone()
{
    SetBanner(L"step2.png");
    if (m_pBack) {
        m_pBack->ShowWindow(1);
        m_pBack->EnableWindow(1);
    }
    SetImportTexts();
    m_strExportPath = GetFilePath();
    if (m_pPathEdit)
        m_pPathEdit->SetWindowTextW(L"");
    m_nStep = 2;
}

void CFindPasswordXmlDlg::BackToExportStep() { m_nStep = 1; }

void CFindPasswordXmlDlg::GetResetInfo(char newPassword[33], std::string& create, CodeMap& codes) const
{
    SafeStrCopy(newPassword, 33, m_szNewPassword);
    create = m_strCreate;
    codes.insert(m_mapCodes.begin(), m_mapCodes.end());
}

void CFindPasswordXmlDlg::OnNext()
{
    if (GetFilePath().empty()) {
        ShowMessageBox(Tr(L"Please select the file path."), Tr(L"Attention"), GetUIWnd(), 0);
        return;
    }
    std::shared_ptr<CSysConfigEventImp> owner = m_wpOwner.lock();
    ++m_nStep;
    if (m_nStep > 3) {
        m_nStep = 3;
        if (CheckPasswords() && m_pDialog)
            m_pDialog->MFCOK();
        return;
    }
    if (m_nStep == 2) {
        ShowExportingBox(true);
        if (owner)
            owner->StartGetDescriptions();
        return;
    }
    m_mapCodes.clear();
    if (!owner || !owner->ImportAuthorizationFile(&m_mapCodes, &m_strCreate) ||
        !owner->MatchDevicesBySerialNumber(m_mapCodes)) {
        m_nStep = 2;
        return;
    }
    SetBanner(L"step3.png");
    if (m_pBack) {
        m_pBack->ShowWindow(1);
        m_pBack->EnableWindow(1);
    }
    if (m_pNext)
        m_pNext->SetWindowTextW(Tr(L"Finish"));
    ShowPathControls(0);
    if (m_pMessage) {
        const std::wstring text =
            std::wstring(Tr(L"You have choose ")) + std::to_wstring(m_nDeviceCount) + Tr(L" devices");
        m_pMessage->SetStaticText(text.c_str());
        m_pMessage->MoveWindow(100, 100, 350, 24);
    }
    ShowPasswordControls(1);
    m_pwd.Clear();
}

void CFindPasswordXmlDlg::OnBack()
{
    if (m_nStep <= 1)
        return;
    --m_nStep;
    if (m_nStep == 1) {
        SetBanner(L"step1.png");
        if (m_pBack)
            m_pBack->ShowWindow(0);
        SetExportTexts();
        if (m_pPathEdit)
            m_pPathEdit->SetWindowTextW(m_strExportPath.c_str());
        return;
    }
    SetBanner(L"step2.png");
    ShowPasswordControls(0);
    if (m_pNext)
        m_pNext->SetWindowTextW(Tr(L"Next"));
    ShowPathControls(1);
    SetImportTexts();
    m_pwd.PaintBars(0);
}

void CFindPasswordXmlDlg::OnBrowse()
{
    if (m_nStep == 1) {
        const std::wstring folder = sysui::ChooseFile(0, L"", GetUIWnd());
        if (!folder.empty() && m_pPathEdit)
            m_pPathEdit->SetWindowTextW((folder + L"/ExportFile.xml").c_str());
    } else if (m_nStep == 2) {
        const std::wstring file = sysui::ChooseFile(1, L"*.xml", GetUIWnd());
        if (!file.empty() && m_pPathEdit)
            m_pPathEdit->SetWindowTextW(file.c_str());
    }
}

void CFindPasswordXmlDlg::EDIT_OnTextChange(UINT id, wchar_t* text) { m_pwd.OnTextChange(id, text); }

bool CFindPasswordXmlDlg::CheckPasswords()
{
    const std::wstring pwd = sysui::EditText(m_pwd.newEdit, 32);
    const std::wstring confirm = sysui::EditText(m_pwd.confirmEdit, 32);
    if (const wchar_t* problem = sysui::PasswordProblem(pwd, confirm, L"", false)) {
        ShowMessageBox(Tr(problem), Tr(L"Attention"), GetUIWnd(), 0);
        return false;
    }
    SafeStrCopy(m_szNewPassword, sizeof m_szNewPassword, SFWideToUtf8(pwd).c_str());
    return true;
}

void CFindPasswordXmlDlg::OnClose()
{
    if (m_pDialog)
        m_pDialog->MFCCancel();
}

void CFindPasswordXmlDlg::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 27)
        OnClose();
}
