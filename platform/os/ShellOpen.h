// The shell's "open" of a file path or an address, behind a handler that tests replace.
#pragma once

#include <string>

namespace os {

typedef void (*ShellOpenHandler)(const std::string& target);

// Replaces the handler; null restores the desktop's default opener.
void SetShellOpenHandler(ShellOpenHandler handler);
// Opens a local path (UTF-8) or an address with the desktop's default application. Result ignored.
void ShellOpen(const std::string& target);

} // namespace os
