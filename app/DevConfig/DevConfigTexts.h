// Texts of the device configuration page that the logic's results select (untranslated keys).
#pragma once

// The failure-panel text of a login error: 1..11 their own texts, anything else the general one.
const wchar_t* LoginErrorKey(int error);
// Errors after which the page offers the account dialog.
bool LoginErrorAsksForAccount(int error);
