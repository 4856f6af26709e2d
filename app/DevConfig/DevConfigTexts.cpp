// Texts of the device configuration page; see the header.
#include "DevConfig/DevConfigTexts.h"

namespace {

const wchar_t* const kGeneral = L"* Failed to get the device Information, Please check The NetWork or Device.";
const wchar_t* const kLoginErrors[11] = {
    L"Incorrect password.",         L"Account doesn't exist.",      L"Login over time.",
    L"Account has been registered.", L"Account has been locked.",   L"Account is in the blacklist.",
    L"System is busy.",             L"Connection failed.",          L"Connection failed.",
    kGeneral,                       L"Modify password failed.",
};

} // namespace

const wchar_t* LoginErrorKey(int error)
{
    return error >= 1 && error <= 11 ? kLoginErrors[error - 1] : kGeneral;
}

bool LoginErrorAsksForAccount(int error) { return error == 1 || error == 2; }
