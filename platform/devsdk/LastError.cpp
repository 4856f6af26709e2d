#include "devsdk/LastError.h"

namespace devsdk {
namespace {
thread_local DWORD t_lastError = 0;
}
void SetLastError(DWORD code) { t_lastError = code; }
DWORD LastError() { return t_lastError; }
} // namespace devsdk
