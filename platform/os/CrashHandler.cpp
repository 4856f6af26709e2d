#include "os/CrashHandler.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

namespace os {

namespace {

const int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
std::atomic<int> g_entries{0};
char g_dumpPath[4096];
void (*g_hook)() = nullptr;
char* g_altStack = nullptr;

void WriteText(int fd, const char* text)
{
    size_t left = strlen(text);
    while (left > 0) {
        const ssize_t n = write(fd, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= size_t(n);
    }
}

// Async-signal-safe number formatting.
void WriteNumber(int fd, unsigned long long value, int base)
{
    char buf[32];
    int i = sizeof buf;
    buf[--i] = 0;
    do {
        buf[--i] = "0123456789abcdef"[value % unsigned(base)];
        value /= unsigned(base);
    } while (value && i > 0);
    WriteText(fd, buf + i);
}

const char* SignalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV (access violation)";
    case SIGBUS: return "SIGBUS (bus error)";
    case SIGILL: return "SIGILL (illegal instruction)";
    case SIGFPE: return "SIGFPE (arithmetic fault)";
    case SIGABRT: return "SIGABRT (abort)";
    default: return "fatal signal";
    }
}

void FindDumpPath()
{
    char exe[sizeof g_dumpPath];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 5);
    if (n <= 0) {
        g_dumpPath[0] = 0;
        return;
    }
    exe[n] = 0;
    memcpy(g_dumpPath, exe, size_t(n));
    memcpy(g_dumpPath + n, ".dmp", 5);
}

void OnFatalSignal(int sig, siginfo_t* info, void*)
{
    if (g_entries.fetch_add(1) + 1 >= 2)
        _exit(CRASH_EXIT_CODE_NESTED);
    WriteCrashDump(sig, info ? info->si_addr : nullptr);
    _exit(CRASH_EXIT_CODE);
}

} // namespace

void SetCrashReportHookForTest(void (*hook)()) { g_hook = hook; }

void WriteCrashDump(int sig, const void* faultAddress)
{
    if (!g_dumpPath[0])
        return;
    const int fd = open(g_dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    WriteText(fd, "Fatal fault: signal ");
    WriteNumber(fd, unsigned(sig), 10);
    WriteText(fd, " ");
    WriteText(fd, SignalName(sig));
    WriteText(fd, "\nAddress: 0x");
    WriteNumber(fd, reinterpret_cast<unsigned long long>(faultAddress), 16);
    WriteText(fd, "\nProcess: ");
    WriteNumber(fd, unsigned(getpid()), 10);
    WriteText(fd, "\nBacktrace:\n");
    if (g_hook)
        g_hook();
    void* frames[64];
    const int count = backtrace(frames, 64);
    backtrace_symbols_fd(frames, count, fd);
    close(fd);
}

int InstallCrashHandler(bool enable)
{
    if (!enable)
        return 0;
    FindDumpPath();
    // Loads the unwinder now: the first backtrace may allocate, which a signal handler must not.
    void* warm[2];
    backtrace(warm, 2);
    if (!g_altStack) {
        const size_t size = 64 * 1024;
        g_altStack = static_cast<char*>(malloc(size));
        stack_t stack {};
        stack.ss_sp = g_altStack;
        stack.ss_size = size;
        sigaltstack(&stack, nullptr);
    }
    struct sigaction action {};
    action.sa_sigaction = &OnFatalSignal;
    // No deferral: a fault inside the handler re-enters it and ends the process with code 23.
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals)
        sigaction(sig, &action, nullptr);
    return 0;
}

} // namespace os
