// The template file dialog; see the header.
#include "Template/CTempletOptionDlg.h"

#include <cstdio>
#include <cwchar>
#include <vector>

#include "Common/AppPath.h"
#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Template/CTemplateXml.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFView.h"
#include "Widgets/SkinRecords.h"

namespace {

const wchar_t* TitleOf(int mode)
{
    switch (mode) {
    case CTempletOptionDlg::MODE_LOAD:
        return L"Load Template";
    case CTempletOptionDlg::MODE_SAVE_AS:
        return L"Save As";
    default:
        return L"Open File";
    }
}

// The folder chooser writes after the first field of its record; room for the longest path there.
constexpr size_t kFolderRecordChars = SF_FOLDER_RESULT_OFFSET + 4096 + 1;
constexpr int kFileChars = 520;
constexpr int kNameChars = 128;

} // namespace

SF_BEGIN_MESSAGE_MAP(CTempletOptionDlg)
SF_ON_COMMAND(CTempletOptionDlg::ID_OK, OnBtnOK)
SF_ON_COMMAND(CTempletOptionDlg::ID_BROWSE, OnBtnBrowse)
SF_END_MESSAGE_MAP()

CTempletOptionDlg::CTempletOptionDlg(std::weak_ptr<ITemplateEditShell> shell, std::weak_ptr<ITemplateApplyPanel> panel)
    : m_wpShell(std::move(shell)), m_wpPanel(std::move(panel)), m_chooser(SFFileDialog)
{
}

CTempletOptionDlg::~CTempletOptionDlg()
{
    CSFDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(dialog);
}

std::shared_ptr<CTempletOptionDlg> CTempletOptionDlg::Create(std::weak_ptr<ITemplateEditShell> shell,
                                                             std::weak_ptr<ITemplateApplyPanel> panel, int mode)
{
    auto dlg = std::make_shared<CTempletOptionDlg>(std::move(shell), std::move(panel));
    dlg->Init(mode);
    return dlg;
}

void CTempletOptionDlg::FillDialogStyle(DialogStyle* style)
{
    if (style)
        FillWhiteDialogSkin(*style, 27);
}

void* CTempletOptionDlg::OwnerWindow() const
{
    ISFViewEvent* view = nullptr;
    if (m_nMode == MODE_LOAD || m_nMode == MODE_SAVE_AS) {
        std::shared_ptr<ITemplateEditShell> shell = m_wpShell.lock();
        view = dynamic_cast<ISFViewEvent*>(shell.get());
    } else {
        std::shared_ptr<ITemplateApplyPanel> panel = m_wpPanel.lock();
        view = dynamic_cast<ISFViewEvent*>(panel.get());
    }
    return view ? view->GetUIWnd() : nullptr;
}

int CTempletOptionDlg::Init(int mode)
{
    m_nMode = mode;
    DialogStyle style;
    FillDialogStyle(&style);
    m_pDialog = CreateSFDialog(this, OwnerWindow(), 0);
    SetUpSkinnedDialog(m_pDialog, style, TitleOf(mode), 600, 220, DialogSizing::BeforeCreate);
    return 0;
}

int CTempletOptionDlg::Dlg_OnInitDialog(bool create)
{
    if (!create || !m_pDialog)
        return 1;
    void* wnd = GetUIWnd();
    RECT client = {0, 0, 599, 219};
    m_pDialog->GetDlgClientRect(&client);

    m_pPathLabel = CreateSFStatic(nullptr);
    m_pPathLabel->Create(Tr(L"Path:"), WS_VISIBLE, RECT{20, 80, 100, 105}, wnd, 0);
    m_pPathLabel->SetTextAlignFlag(2);

    m_pPathEdit = CreateSFEditCtrl(nullptr);
    m_pPathEdit->SetSkin(L"bg_edit.png");
    m_pPathEdit->Create(WS_VISIBLE, RECT{110, 75, 460, 105}, wnd, ID_PATH, false);
    m_pPathEdit->SetMaxLength(kMaxPath);
    m_pPathEdit->SetWindowTextW((SFGetAppPath() + L"/Templet.xml").c_str());

    ImageButtonStyle button = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    m_pBrowseBtn = CreateSFButton(this);
    m_pBrowseBtn->Create(Tr(L"Browse"), WS_VISIBLE, RECT{470, 77, 542, 102}, wnd, ID_BROWSE);
    m_pBrowseBtn->SetSkin(&button);

    const int okLeft = (client.right - client.left - 150) / 2;
    const int top = client.bottom - 35;
    m_pOkBtn = CreateSFButton(this);
    m_pOkBtn->Create(Tr(L"OK"), WS_VISIBLE, RECT{okLeft, top, okLeft + 72, top + 25}, wnd, ID_OK);
    m_pOkBtn->SetSkin(&button);
    const int cancelLeft = okLeft + 72 + 15;
    m_pCancelBtn = CreateSFButton(this);
    m_pCancelBtn->Create(Tr(L"Cancel"), WS_VISIBLE, RECT{cancelLeft, top, cancelLeft + 72, top + 25}, wnd,
                         ID_CANCEL);
    m_pCancelBtn->SetSkin(&button);
    return 1;
}

int CTempletOptionDlg::SetPath(const char* path)
{
    m_strPath = path ? path : "";
    if (m_pPathEdit)
        m_pPathEdit->SetWindowTextW(SFUtf8ToWide(m_strPath).c_str());
    return 0;
}

std::wstring CTempletOptionDlg::GetPathText() const
{
    wchar_t text[kMaxPath + 1] = {};
    if (m_pPathEdit)
        m_pPathEdit->GetWindowTextW(text, kMaxPath);
    return text;
}

void CTempletOptionDlg::OnDlgKeyDown(UINT, UINT key)
{
    if (key == 27) {
        if (m_pDialog)
            m_pDialog->MFCCancel();
    } else if (key == 13) {
        OnBtnOK();
    }
}

void CTempletOptionDlg::ShowInvalid()
{
    // The path on a line of its own, so that the user sees which file was refused.
    std::wstring text = Tr(L"Error to load template, It's an invalid template!");
    text += L"\n";
    text += SFUtf8ToWide(m_strPath);
    ShowMessageBox(text.c_str(), Tr(L"Attention"), GetUIWnd(), 0);
}

void CTempletOptionDlg::OnBtnOK()
{
    const std::string path = SFWideToUtf8(GetPathText());
    if (path.size() > static_cast<size_t>(kMaxPath)) {
        // A cut path would name another file: the dialog stays open for a shorter one.
        ShowMessageBox(Tr(L"The path is too long."), Tr(L"Attention"), GetUIWnd(), 0);
        return;
    }
    m_strPath = path;
    if (m_pDialog)
        m_pDialog->MFCOK();

    if (m_nMode == MODE_SAVE_AS) {
        std::shared_ptr<ITemplateEditShell> shell = m_wpShell.lock();
        if (!shell)
            return;
        if (FILE* existing = std::fopen(m_strPath.c_str(), "rb")) {
            std::fclose(existing);
            if (ShowMessageBox(Tr(L"The file is already exist, do you want to cover?"), Tr(L"Attention"), GetUIWnd(),
                               1) != 1)
                return;
        }
        shell->SaveToFile(m_strPath.c_str());
        return;
    }

    const bool valid = CTemplateXml(m_strPath.c_str()).IsValidTemplate();
    if (!valid) {
        ShowInvalid();
        return;
    }
    if (m_nMode == MODE_LOAD) {
        if (std::shared_ptr<ITemplateEditShell> shell = m_wpShell.lock())
            shell->OpenTemplateFile(m_strPath.c_str());
        return;
    }
    std::shared_ptr<ITemplateApplyPanel> panel = m_wpPanel.lock();
    if (!panel || !panel->LoadTemplate(m_strPath.c_str()))
        return;
    panel->ShowTemplateInfo(m_strPath.c_str());
    panel->SetTemplateMode(3);
    panel->SetTemplatePath(m_strPath.c_str());
    if (std::shared_ptr<ITemplateEditShell> shell = m_wpShell.lock())
        shell->SetEditMode(1);
}

void CTempletOptionDlg::OnBtnBrowse()
{
    if (!m_chooser || !m_pPathEdit)
        return;
    if (m_nMode == MODE_SAVE_AS) {
        std::vector<wchar_t> record(kFolderRecordChars, 0);
        if (!m_chooser(record.data(), nullptr, 0, 0, nullptr, nullptr, nullptr, 0, nullptr, GetUIWnd()))
            return;
        const wchar_t* folder = record.data() + SF_FOLDER_RESULT_OFFSET;
        const std::wstring dir(folder, wcsnlen(folder, kFolderRecordChars - SF_FOLDER_RESULT_OFFSET - 1));
        if (dir.empty())
            return;
        wchar_t name[kNameChars] = {};
        if (std::shared_ptr<ITemplateEditShell> shell = m_wpShell.lock())
            shell->GetTemplateName(name, kNameChars);
        const std::wstring base = name[0] ? std::wstring(name, wcsnlen(name, kNameChars)) : L"Templet";
        m_pPathEdit->SetWindowTextW((dir + L"/" + base + L".xml").c_str());
        return;
    }
    wchar_t file[kFileChars] = {};
    if (!m_chooser(nullptr, file, kFileChars - 1, 1, nullptr, nullptr, nullptr, 0, L"*.xml", GetUIWnd()))
        return;
    if (file[0])
        m_pPathEdit->SetWindowTextW(file);
}
