// Programs and files of the add-on tools: the archiver, starting a tool, copying and deleting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "OtherTool/ToolPackage.h"

namespace othertool {

// The archiver: "7z" beside the program, else on the search path; empty when there is none.
std::string FindArchiver(const std::string& appDir);

// Runs the archiver with the arguments and waits for it (at most timeoutMs); stdin is closed.
// Its standard output goes to `output` (at most kMaxListingBytes + 1 bytes are kept).
Refusal RunArchiver(const std::string& appDir, const std::vector<std::string>& args, int timeoutMs,
                    std::string* output);

// Lists the package and checks its table of contents (size of the file first).
Refusal CheckPackage(const std::string& appDir, const std::string& package);

// Walks an unpacked folder: no links, at most kMaxEntries entries and kMaxUnpackedBytes bytes.
Refusal CheckUnpacked(const std::string& folder);

// Starts the program detached, in its own folder; false with the system's reason.
bool StartDetached(const std::string& program, int64_t* pid, std::string* why);
// Whether the process still runs (a finished one not yet reaped counts as ended).
bool ProcessRuns(int64_t pid);

bool FileExists(const std::string& path);
// Deletes the folder with everything below it (links themselves, never what they point to), then
// each parent folder that is left empty up to, not including, `stopAt`. Empty path: false;
// missing folder: true.
bool DeleteDirectory(const std::string& path, const std::string& stopAt);
// Makes the folder empty (creating it when missing); false when that fails.
bool ResetFolder(const std::string& path);

} // namespace othertool
