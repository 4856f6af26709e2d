// What the program misses at start-up, said in words: the skin folder and its images, the
// language file.
#pragma once

#include <string>

// The problems found under the program folder `appDir`, one paragraph each; empty when none.
std::wstring StartupProblems(const std::wstring& appDir);

// Shows StartupProblems over `parent` in a message box when there are any; answers whether it did.
bool ReportStartupProblems(const std::wstring& appDir, void* parent);
