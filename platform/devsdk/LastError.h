// The calling thread's last error, shared by the device SDK and the configuration-text SDK.
#pragma once

#include "os/WinTypes.h"

namespace devsdk {
void SetLastError(DWORD code);
DWORD LastError();
// Sets the error and returns FALSE, for "return Fail(code);".
inline BOOL Fail(DWORD code)
{
    SetLastError(code);
    return 0;
}
inline BOOL Ok()
{
    SetLastError(0);
    return 1;
}
} // namespace devsdk
