// The shared device account form; see the header.
#include "Widgets/AccountForm.h"

#include <cstring>
#include <string>

#include "Common/InputCheck.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Widgets/DialogSetup.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFRect.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SkinRecords.h"

namespace {

std::wstring EditText(CSFEditCtrl* edit, int units)
{
    if (!edit)
        return std::wstring();
    std::wstring buf(size_t(units) + 1, L'\0');
    edit->GetWindowTextW(&buf[0], units + 1);
    buf.resize(std::wcslen(buf.c_str()));
    return buf;
}

void Refuse(const wchar_t* text, void* parent)
{
    std::wstring message = Tr(text);
    std::wstring caption = Tr(L"Attention");
    ShowMessageBox(message.c_str(), caption.c_str(), parent, 0);
}

CSFStatic* CreateLabel(const wchar_t* text, const RECT& rect, void* wnd)
{
    CSFStatic* label = CreateSFStatic(nullptr);
    if (label) {
        label->Create(Tr(text), WS_VISIBLE, rect, wnd, 0);
        label->SetTextAlignFlag(2);
    }
    return label;
}

} // namespace

void CreateAccountDialog(ISFDialogEvent* sink, void* parentWnd, CSFDialog*& dialog)
{
    DialogStyle skin;
    FillFramedDialogSkin(skin);
    dialog = CreateSFDialog(sink, parentWnd, 0);
    SetUpSkinnedDialog(dialog, skin, L"Login", 400, 200, DialogSizing::BeforeCreate);
}

void CreateAccountControls(AccountForm& form, ISFButtonEvent* buttons, ISFEditCtrlEvent* edits,
                           CSFDialog* dialog, void* wnd, const char* password, AccountFormEdits look)
{
    RECT client{0, 0, 400, 200};
    if (dialog)
        dialog->GetDlgClientRect(&client);
    if (client.right <= client.left)
        client = RECT{0, 0, 400, 200};
    form.closeBtn = CreateCloseButton(buttons, wnd, client.right, AccountForm::ID_CLOSE);
    form.userLabel = CreateLabel(L"Username", SFRectXYWH(30, 65, 100, 25), wnd);
    form.userEdit = CreateSFEditCtrl(edits);
    if (form.userEdit) {
        form.userEdit->Create(WS_VISIBLE | WS_TABSTOP, SFRectXYWH(150, 60, 200, 28), wnd, AccountForm::ID_USER, false);
        form.userEdit->SetSkin(L"bg_edit.png");
        form.userEdit->SetWindowTextW(L"");
    }
    form.passwordLabel = CreateLabel(L"Password", SFRectXYWH(30, 115, 100, 25), wnd);
    form.passwordEdit = CreateSFEditCtrl(edits);
    if (form.passwordEdit) {
        form.passwordEdit->Create(WS_VISIBLE | WS_TABSTOP, SFRectXYWH(150, 110, 200, 28), wnd,
                                  AccountForm::ID_PASSWORD, true);
        if (look.skinPassword)
            form.passwordEdit->SetSkin(L"bg_edit.png");
        form.passwordEdit->SetWindowTextW(SFUtf8ToWide(password ? password : "").c_str());
    }
    if (look.limitLengths && form.userEdit && form.passwordEdit) {
        form.userEdit->SetMaxLength(64);
        form.passwordEdit->SetMaxLength(16);
    }
    form.okBtn = CreateTextButton(buttons, L"OK", WS_VISIBLE | WS_TABSTOP,
                                  SFRectXYWH(client.right - client.left - 80, client.bottom - 35, 72, 25), wnd,
                                  AccountForm::ID_OK);
}

bool ReadAccountForm(const AccountForm& form, void* parent, char (&user)[32], char (&password)[64])
{
    const std::wstring name = EditText(form.userEdit, 31);
    if (name.empty()) {
        Refuse(L"Please input default username.", parent);
        return false;
    }
    SafeStrCopy(user, sizeof user, SFWideToUtf8(name).c_str());
    if (!IsIdentChars(user, std::strlen(user))) {
        Refuse(L"Your input shall only contain numbers, letters and '_'.", parent);
        return false;
    }
    SafeStrCopy(password, sizeof password, SFWideToUtf8(EditText(form.passwordEdit, 63)).c_str());
    return true;
}

void ClearAccountForm(const AccountForm& form)
{
    if (form.userEdit)
        form.userEdit->SetWindowTextW(L"");
    if (form.passwordEdit)
        form.passwordEdit->SetWindowTextW(L"");
}
