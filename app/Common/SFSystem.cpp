#include "Common/SFSystem.h"

#include "os/ShellOpen.h"

#include <chrono>
#include <thread>

namespace SF_SOFT_BASE {

void CSFSystem::Sleep(unsigned milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

bool CSFSystem::OpenFile(const char* path)
{
    return path && os::ShellOpen(path);
}

} // namespace SF_SOFT_BASE
