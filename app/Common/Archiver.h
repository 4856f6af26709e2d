// Running the external 7z archiver: finding it, waiting for it with a time limit, keeping its
// output within bounds and its error line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace archiver {

// "7z" in appDir when it is an executable file there, else on the search path; empty when none.
std::string Find(const std::string& appDir);

enum class Status {
    Ok,
    Failed,    // did not start (detail: the system's reason) or ended badly (its error line or exit code)
    Timeout,   // killed after timeoutMs (detail: the limit in seconds)
    Overflow,  // killed when its standard output passed maxOutput bytes
};

struct Result {
    Status status = Status::Ok;
    std::string detail;
};

// Runs the program with the arguments, stdin at end of input (a password prompt gives up), and
// waits at most timeoutMs. With `output`, standard output is appended there (at most maxOutput
// bytes) and the error line is looked for in standard error; without, in both. Only the last
// few KiB of what is looked in are kept.
Result Run(const std::string& program, const std::vector<std::string>& args, int timeoutMs,
           std::string* output, size_t maxOutput);

} // namespace archiver
