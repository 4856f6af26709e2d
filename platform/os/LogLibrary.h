// The optional log library: a shared library beside the executable with the entry points "SLogA" and
// "SLogW". Absent is not an error; a library that lacks an entry point is reported once and unloaded.
#pragma once

typedef void (*SLogAFunc)(const char* function, int line, int level, const char* format, ...);

// Non-null while the library is loaded; call sites test it before calling SLogAEntry.
extern void* LogDllHandle;
extern SLogAFunc SLogAEntry;

namespace os {

// The library's file name, looked up in the executable's directory.
extern const char* const kLogLibraryName;

// Loads the library from `path`, or from the executable's directory when `path` is null.
void LoadLogDll(const char* path = nullptr);
void UnloadLogDll();

// Shows the report of a library without an entry point; a message box when an application runs.
typedef void (*LogLibraryReporter)(const char* caption, const char* text);
void SetLogLibraryReporter(LogLibraryReporter reporter);

} // namespace os
