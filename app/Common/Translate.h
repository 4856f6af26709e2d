// Translation of user-interface texts, SDK error texts and the message box.
#pragma once

#include <cstdint>
#include <string>

// The translation of `key` from Lang/Lang_<Language>.xml, or the key itself. The result lives in one
// of five rotating buffers of 1024 units: copy it before five further calls.
const wchar_t* Tr(const wchar_t* key);

// The translated message for a device SDK error code.
std::wstring GetSdkErrorText(uint32_t code);

// Modal skinned message box. type: 0 OK, 1 OK and Cancel, 5 no buttons. Returns 1 for OK or Return,
// 2 for Cancel, the close button or Escape. Defined by the widget framework.
int ShowMessageBox(const wchar_t* text, const wchar_t* caption, void* parent, int type, void* extra = nullptr);

// Why the language file could not be used (which file, what is wrong), or empty. Loads it first.
std::wstring TrLoadProblem();

// Forgets the loaded language file, so that the next Tr reads it again. For tests.
void TrResetForTest();
