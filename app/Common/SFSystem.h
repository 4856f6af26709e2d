// Two system calls: a sleep and the shell's "open".
#pragma once

namespace SF_SOFT_BASE {

class CSFSystem {
public:
    static void Sleep(unsigned milliseconds);
    // Opens a path or an address (UTF-8) with the desktop's default application; false when no
    // application could be started for it.
    static bool OpenFile(const char* path);
};

} // namespace SF_SOFT_BASE
