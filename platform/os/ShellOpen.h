// The shell's "open" of a file path or an address, behind an interface that tests replace.
#pragma once

#include <string>

namespace os {

class IDesktopShell {
public:
    virtual ~IDesktopShell() = default;
    // Opens a local path (UTF-8) or an address with the desktop's default application; false
    // when no application could be started for it.
    virtual bool Open(const std::string& target) = 0;
};

// Replaces the desktop shell (not owned); null restores the desktop's own.
void SetDesktopShell(IDesktopShell* shell);
// Opens the target through the desktop shell; false when nothing could be started.
bool ShellOpen(const std::string& target);

} // namespace os
