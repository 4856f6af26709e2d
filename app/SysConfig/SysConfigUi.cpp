#include "SysConfig/SysConfigUi.h"

#include <QFileDialog>
#include <QWidget>

#include "Common/AppPath.h"
#include "Common/InputCheck.h"
#include "Common/Translate.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SkinRecords.h"

namespace sysui {

namespace {
std::wstring s_lastDir;
} // namespace

std::function<std::wstring(int, const std::wstring&, void*)> ChooseFile = [](int mode, const std::wstring& filter,
                                                                              void* parent) {
    QWidget* owner = static_cast<QWidget*>(parent);
    const QString start = QString::fromStdWString(s_lastDir.empty() ? SFGetAppPath() : s_lastDir);
    QString chosen;
    if (mode == 0)
        chosen = QFileDialog::getExistingDirectory(owner, QString(), start, QFileDialog::DontUseNativeDialog);
    else
        chosen = QFileDialog::getOpenFileName(owner, QString(), start, QString::fromStdWString(filter), nullptr,
                                              QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
    if (chosen.isEmpty())
        return std::wstring();
    s_lastDir = (mode == 0 ? chosen : QFileInfo(chosen).absolutePath()).toStdWString();
    return chosen.toStdWString();
};

ImageButtonStyle PlainButtonSkin() { return MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png"); }

ImageButtonStyle BigButtonSkin() { return MakeButtonSkin(L"button_h.png", L"button_h.png", L"button_p.png", L"button_d.png"); }

void StandardDialogSkin(DialogStyle& s)
{
    // All four edges, the close-button pieces and the white title of the framed dialogs.
    FillFramedDialogSkin(s);
}

CSFDialog* CreateStandardDialog(ISFDialogEvent* sink, void* parent, const wchar_t* title, int width, int height)
{
    CSFDialog* dialog = CreateSFDialog(sink, parent, 0);
    DialogStyle skin;
    StandardDialogSkin(skin);
    SetUpSkinnedDialog(dialog, skin, title, width, height, DialogSizing::BeforeCreate);
    return dialog;
}

CSFStatic* Label(const wchar_t* text, RECT rc, void* parent, UINT align, UINT colour, bool colourSet)
{
    CSFStatic* s = CreateSFStatic(nullptr);
    if (!s)
        return nullptr;
    s->SetTextAlignFlag(align);
    if (align & 0x10)
        s->SetWordWrap(1);
    s->Create(Tr(text), 0x50000000, rc, parent, static_cast<UINT>(-1));
    // A wrapped text keeps its rectangle; its lines break inside it.
    if (align & 0x10)
        s->MoveWindow(&rc);
    if (colourSet)
        s->SetTextColor(colour);
    s->SetToolTipText(Tr(text));
    return s;
}

CSFButton* Button(const wchar_t* text, RECT rc, void* parent, UINT id, const ImageButtonStyle& skin,
                  ISFButtonEvent* sink)
{
    CSFButton* b = CreateSFButton(sink);
    if (!b)
        return nullptr;
    ImageButtonStyle copy = skin;
    b->Create(Tr(text), 0x10010000, rc, parent, id);
    b->SetSkin(&copy);
    return b;
}

CSFButton* CloseButton(int right, void* parent, ISFButtonEvent* sink)
{
    return CreateCloseButton(sink, parent, right, 502);
}

void PasswordFields::BuildBars(void* parent, int x0, int barTop, int wordTop)
{
    static const wchar_t* const kWords[3] = {L"Weak", L"Middle", L"Strong"};
    for (int i = 0; i < 3; ++i) {
        const int x = x0 + 62 * i;
        bars[i] = CreateSFStatic(nullptr);
        if (bars[i]) {
            bars[i]->Create(L"", 0x50000000, SFRectXYWH(x, barTop, 60, 8), parent, static_cast<UINT>(-1));
            bars[i]->SetBgColor(kGreyBar, 1);
        }
        words[i] = Label(kWords[i], SFRectXYWH(x, wordTop, 60, 16), parent, 5);
        if (words[i])
            words[i]->SetTextSize(11);
    }
}

void PasswordFields::PaintBars(int strength)
{
    for (int i = 0; i < 3; ++i)
        if (bars[i])
            bars[i]->SetBgColor(strength == i + 1 ? kGreenBar : kGreyBar, 1);
}

void PasswordFields::OnTextChange(UINT id, const wchar_t* text)
{
    if (id != 1151 && id != 1152)
        return;
    std::wstring t(text ? text : L"");
    if (t.size() > 32)
        t.resize(32);
    std::wstring buf = t;
    buf.push_back(L'\0');
    const bool removed = StripBadPasswordChar(&buf[0], t.size()) == 0;
    t = buf.c_str();
    CSFStatic* error = id == 1151 ? newError : confirmError;
    CSFEditCtrl* edit = id == 1151 ? newEdit : confirmEdit;
    if (error)
        error->ShowWindow(removed ? 1 : 0);
    if (edit)
        edit->SetWindowTextW(t.c_str());
    if (id == 1151)
        PaintBars(GetPasswordStrength(t.c_str(), int(t.size())));
}

void PasswordFields::Clear()
{
    if (newEdit)
        newEdit->SetWindowTextW(L"");
    if (confirmEdit)
        confirmEdit->SetWindowTextW(L"");
    if (newError)
        newError->ShowWindow(0);
    if (confirmError)
        confirmError->ShowWindow(0);
    PaintBars(0);
}

void PasswordFields::ShowAll(int show)
{
    if (newEdit)
        newEdit->ShowWindow(show);
    if (confirmEdit)
        confirmEdit->ShowWindow(show);
    for (int i = 0; i < 3; ++i) {
        if (bars[i])
            bars[i]->ShowWindow(show);
        if (words[i])
            words[i]->ShowWindow(show);
    }
    if (!show) {
        if (newError)
            newError->ShowWindow(0);
        if (confirmError)
            confirmError->ShowWindow(0);
    }
}

void FrameEdit(CSFEditCtrl* edit, bool enabled)
{
    if (auto* w = dynamic_cast<QWidget*>(edit))
        w->setStyleSheet(enabled ? QStringLiteral("border: 1px solid #c9ced6; background: white; padding-left: 3px;")
                                 : QStringLiteral("border: 1px solid #d0d0d0; background: rgb(230,230,230); "
                                                  "padding-left: 3px;"));
}

void EnableEdit(CSFEditCtrl* edit, bool enable)
{
    if (!edit)
        return;
    edit->EnableWindow(enable ? 1 : 0);
    FrameEdit(edit, enable);
}

std::wstring EditText(const CSFEditCtrl* edit, int max)
{
    if (!edit)
        return std::wstring();
    std::wstring buf(size_t(max) + 1, L'\0');
    edit->GetWindowTextW(&buf[0], max);
    return std::wstring(buf.c_str());
}

const wchar_t* PasswordProblem(const std::wstring& newPwd, const std::wstring& confirm, const std::wstring& old,
                               bool compareOld)
{
    if (newPwd.size() < 8)
        return L"New Password length can't be less than 8 bytes.";
    if (!CheckPasswordRule(newPwd.c_str(), int(newPwd.size())))
        return L"Password input error.";
    if (newPwd != confirm)
        return L"New passwords do not match.";
    if (compareOld && newPwd == old)
        return L"The new password is not allowed to be the same as the old password.";
    return nullptr;
}

} // namespace sysui

#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/SFDialog.h"

namespace sysui {

WaitBox::WaitBox() {}

WaitBox::~WaitBox() { Destroy(); }

void WaitBox::Destroy()
{
    CSFDialog* d = m_pDialog;
    m_pDialog = nullptr;
    DestroySFDialog(d);
}

void WaitBox::CreateBox(const wchar_t* waitText, void* parent)
{
    m_sink.reset(new CMsgDlgEventImp(Tr(waitText), Tr(L"Attention"), 5, nullptr));
    DialogStyle style;
    BuildMsgDlgSkin(style);
    m_pDialog = CreateSFDialog(m_sink.get(), parent, 0);
    if (!m_pDialog)
        return;
    m_sink->SetDialog(m_pDialog);
    m_pDialog->SetSkin(&style);
    m_pDialog->SetDrawBackGround(1);
    m_pDialog->Create(L"", nullptr);
    m_pDialog->CenterWindow(nullptr);
    m_pDialog->ShowWindow(0);
}

void WaitBox::Show(bool show)
{
    m_bShown = show;
    if (!m_pDialog)
        return;
    if (show)
        m_pDialog->CenterWindow(nullptr);
    m_pDialog->ShowWindow(show ? 1 : 0);
}

} // namespace sysui
