// Child program for the crash-report tests: installs the handler, then faults as told.
#include "os/CrashHandler.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

volatile int* g_null = nullptr;

void FaultAgain()
{
    *g_null = 2;
}

// Recurses until the stack runs out; the depth test only hides that from the compiler.
int Recurse(int depth)
{
    volatile char pad[1024];
    pad[0] = char(depth);
    if (depth < 0)
        return 0;
    return Recurse(depth + 1) + pad[0];
}

} // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "";
    os::InstallCrashHandler(true);
    if (strcmp(mode, "nested") == 0)
        os::SetCrashReportHookForTest(&FaultAgain);
    if (strcmp(mode, "segv") == 0 || strcmp(mode, "nested") == 0)
        *g_null = 1;
    else if (strcmp(mode, "abort") == 0)
        abort();
    else if (strcmp(mode, "stack") == 0)
        return Recurse(0);
    else if (strcmp(mode, "fpe") == 0)
        raise(SIGFPE);
    return 0;
}
