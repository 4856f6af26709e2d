// The "Login" form the device account dialogs share: a hidden 400x200 framed window with a close
// button, a user name and a password edit, and OK. The dialogs keep their own owners and what
// they do with the account; this holds the window, the controls and the check of the input.
#pragma once

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFStatic.h"

struct AccountForm {
    enum { ID_CLOSE = 502, ID_OK = 505, ID_USER = 1118, ID_PASSWORD = 1119 };

    CSFButton* closeBtn = nullptr;
    CSFButton* okBtn = nullptr;
    CSFStatic* userLabel = nullptr;
    CSFEditCtrl* userEdit = nullptr;
    CSFStatic* passwordLabel = nullptr;
    CSFEditCtrl* passwordEdit = nullptr;
};

// What differs between the dialogs' edits.
struct AccountFormEdits {
    bool skinPassword = false; // the password edit on the edit background too
    bool limitLengths = false; // edits take at most 64 (user) and 16 (password) characters
};

// Makes the hidden, centred "Login" dialog, a window of parentWnd, into dialog (null when none was
// made). The dialog is kept there before its Create builds the controls, which read its size.
void CreateAccountDialog(ISFDialogEvent* sink, void* parentWnd, CSFDialog*& dialog);

// Creates the controls in wnd, the dialog's body; the password edit starts with password (UTF-8).
void CreateAccountControls(AccountForm& form, ISFButtonEvent* buttons, ISFEditCtrlEvent* edits,
                           CSFDialog* dialog, void* wnd, const char* password, AccountFormEdits look);

// Reads the edits into user and password. An empty user name or one with other than letters,
// digits and '_' is refused with a message box over parent: false, edits left as they are.
bool ReadAccountForm(const AccountForm& form, void* parent, char (&user)[32], char (&password)[64]);

// Empties both edits.
void ClearAccountForm(const AccountForm& form);
