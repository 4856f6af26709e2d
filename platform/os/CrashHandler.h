// Fatal-fault handling: a text report (signal, backtrace) beside the executable as "<exe>.dmp", then
// exit code 1; a fault while the report is written ends the process at once with code 23.
#pragma once

namespace os {

enum { CRASH_EXIT_CODE = 1, CRASH_EXIT_CODE_FATAL_LIST = 2, CRASH_EXIT_CODE_NESTED = 23 };

// With true installs the handler for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT (on its own stack, so
// a stack overflow is reported too). With false nothing stays installed. Returns 0.
int InstallCrashHandler(bool enable);
// Writes the report for `signal` to "<exe>.dmp", replacing an older one.
void WriteCrashDump(int signal, const void* faultAddress);
// Called while the report is written; lets a test fault inside the handler.
void SetCrashReportHookForTest(void (*hook)());

} // namespace os
