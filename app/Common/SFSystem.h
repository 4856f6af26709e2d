// Two system calls: a sleep and the shell's "open".
#pragma once

namespace SF_SOFT_BASE {

class CSFSystem {
public:
    static void Sleep(unsigned milliseconds);
    // Opens a path or an address with the desktop's default application; the result is not examined.
    static void OpenFile(const char* path);
};

} // namespace SF_SOFT_BASE
