// Diagnostic lines; see the header.
#include "DevConfig/DebugOut.h"

#include "os/LogLibrary.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {

std::mutex g_mu;
std::function<void(const std::string&)> g_sink;

} // namespace

void DevConfigDebug(const char* format, ...)
{
    char line[1024];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(line, sizeof line, format, ap);
    va_end(ap);
    if (LogDllHandle && SLogAEntry)
        SLogAEntry("DevConfig", 0, 3, "%s", line);
    std::lock_guard<std::mutex> lk(g_mu);
    if (g_sink)
        g_sink(line);
}

void SetDevConfigDebugSink(std::function<void(const std::string&)> sink)
{
    std::lock_guard<std::mutex> lk(g_mu);
    g_sink = std::move(sink);
}
