#include "Infra3/PrintLog.h"

#include "Infra3/CurrentThread.h"
#include "Infra3/Time.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Orvan {
namespace Infra {

namespace {

const size_t kLineSize = 8192;

struct PrintState
{
    // The print state is shared by every thread; one lock keeps lines and settings consistent.
    std::recursive_mutex mutex;
    int level = 3;
    PrintOptions options = {};
    bool atLineStart = true;
    bool colourRestored = true;
    PrintProc printer;
    std::vector<PrintProc> callbacks;
    int allModules = 2;
    bool filterOn = false;
    std::map<std::string, bool> moduleFilter;
    std::string logPath;
    size_t logMax = 0;
    FILE* logFile = nullptr;
    bool firstFileWrite = true;
    size_t logBytes = 0;
};

PrintState& state()
{
    // Kept for the life of the process: threads may print during exit.
    static PrintState* s = new PrintState;
    return *s;
}

const char* const kLevelWords[] = {"", "fatal ", "error ", "warn  ", "info  ", "trace ", "debug "};
const char* const kLevelWordsExplicit[] = {"", "fatal ", "error ", "warn ", "info ", "trace ", "debug "};
// Console colour bits 1 blue, 2 green, 4 red, as terminal colour numbers.
const int kLevelColour[] = {0, 5, 4, 6, 2, 7, 3};
const int kAnsiColour[] = {30, 34, 32, 36, 31, 35, 33, 37};

bool useTerminalColour(const PrintState& s)
{
    return !s.options.noColor && s.printer.empty() && isatty(STDOUT_FILENO);
}

void writeFile(PrintState& s, const char* line, size_t length)
{
    if (s.logPath.empty())
        return;
    if (s.firstFileWrite) {
        struct stat st;
        s.logBytes = ::stat(s.logPath.c_str(), &st) == 0 ? static_cast<size_t>(st.st_size) : 0;
        s.firstFileWrite = false;
    }
    if (!s.logFile) {
        s.logFile = std::fopen(s.logPath.c_str(), "a+");
        if (!s.logFile) {
            std::perror("fopen:");
            return;
        }
    }
    // A maximum of 0 means no limit.
    if (s.logMax > 0 && s.logBytes >= s.logMax) {
        std::fclose(s.logFile);
        s.logFile = std::fopen(s.logPath.c_str(), "w+");
        s.logBytes = 0;
        if (!s.logFile) {
            std::perror("fopen:");
            return;
        }
    }
    std::fwrite(line, 1, length, s.logFile);
    s.logBytes += length;
    std::fflush(s.logFile);
}

struct Prefix
{
    const char* module;
    const char* file;
    const char* function;
    int line;
    const char* version;
    bool explicitLevel;
    bool isModule;
};

int vprintLine(int level, const Prefix& p, const char* fmt, va_list args)
{
    PrintState& s = state();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (level > s.level || level < 0)
        return 0;

    char line[kLineSize];
    size_t used = 0;
    auto put = [&](const char* f, auto... a) {
        if (used >= kLineSize - 1)
            return;
        int n = std::snprintf(line + used, kLineSize - used, f, a...);
        if (n > 0)
            used = std::min(used + static_cast<size_t>(n), kLineSize - 1);
    };

    if (s.atLineStart) {
        if (useTerminalColour(s)) {
            std::fflush(stdout);
            std::printf("\033[%dm", kAnsiColour[kLevelColour[level]]);
            s.colourRestored = false;
        }
        if (!s.options.noTime) {
            CTime now = CTime::currentLocal();
            put("%02d:%02d:%02d|", now.hour, now.minute, now.second);
        }
        if (!s.options.noModule)
            put("[%s] ", p.module ? p.module : "");
        if (!s.options.noVersion)
            put("[ver:%s] ", p.version ? p.version : "");
        if (!s.options.noLevel)
            put("%s", p.explicitLevel ? kLevelWordsExplicit[level] : kLevelWords[level]);
        if (p.isModule && !s.options.noFile && p.line > 0)
            put("%s ", p.file ? p.file : "");
        if (!s.options.noFunction)
            put("%s ", p.function ? p.function : "");
        if (p.isModule && !s.options.noLine && p.line > 0)
            put("%d ", p.line);
        if (!s.options.noThreadId)
            put("tid:%d ", currentThreadId());
    }

    bool cut = false;
    if (used < kLineSize - 1) {
        int n = std::vsnprintf(line + used, kLineSize - used, fmt, args);
        if (n > 0) {
            if (used + static_cast<size_t>(n) > kLineSize - 1)
                cut = true;
            used = std::min(used + static_cast<size_t>(n), kLineSize - 1);
        }
    } else {
        cut = true;
    }
    line[used] = '\0';

    if (!s.printer.empty()) {
        s.printer(line);
    } else {
        std::fputs(line, stdout);
    }
    for (const PrintProc& callback : s.callbacks)
        callback(line);

    if (cut || (used > 0 && line[used - 1] == '\n')) {
        s.atLineStart = true;
        if (!s.colourRestored) {
            std::fflush(stdout);
            std::fputs("\033[0m", stdout);
            std::fflush(stdout);
            s.colourRestored = true;
        }
    } else {
        s.atLineStart = false;
    }
    writeFile(s, line, used);
    return static_cast<int>(used);
}

int printLevel(int level, const char* fmt, va_list args)
{
    Prefix p = {"", nullptr, "", 0, "", false, false};
    return vprintLine(level, p, fmt, args);
}

int printExplicit(int level, const char* module, const char* fmt, va_list args)
{
    if (level < 1 || level > 6)
        return 0;
    Prefix p = {module, nullptr, "", 0, "", true, false};
    return vprintLine(level, p, fmt, args);
}

bool isOn(const char* value)
{
    return value && strcasecmp(value, "on") == 0;
}

} // namespace

#define ORVAN_LEVEL_PRINT(name, level)                                                                       \
    int name(const char* fmt, ...)                                                                          \
    {                                                                                                       \
        va_list args;                                                                                       \
        va_start(args, fmt);                                                                                \
        int n = printLevel(level, fmt, args);                                                               \
        va_end(args);                                                                                       \
        return n;                                                                                           \
    }

ORVAN_LEVEL_PRINT(logFatal, 1)
ORVAN_LEVEL_PRINT(logError, 2)
ORVAN_LEVEL_PRINT(logWarn, 3)
ORVAN_LEVEL_PRINT(logInfo, 4)
ORVAN_LEVEL_PRINT(logTrace, 5)
ORVAN_LEVEL_PRINT(logDebug, 6)
ORVAN_LEVEL_PRINT(printFatal, 1)
ORVAN_LEVEL_PRINT(printError, 2)
ORVAN_LEVEL_PRINT(printWarn, 3)
ORVAN_LEVEL_PRINT(printInfo, 4)
ORVAN_LEVEL_PRINT(printTrace, 5)
ORVAN_LEVEL_PRINT(printDebug, 6)

int logAtLevel(int level, const char* module, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    int n = printExplicit(level, module, fmt, args);
    va_end(args);
    return n;
}

int printAtLevel(int level, const char* module, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    int n = printExplicit(level, module, fmt, args);
    va_end(args);
    return n;
}

int logModule(int level, const char* module, const char* file, const char* function, int line, const char* version,
              const char* fmt, ...)
{
    if (level < 1 || level > 6)
        return 0;
    PrintState& s = state();
    {
        std::lock_guard<std::recursive_mutex> lock(s.mutex);
        if (s.allModules == 0)
            return 0;
        if (s.allModules == 1 && s.filterOn && module) {
            auto it = s.moduleFilter.find(module);
            if (it != s.moduleFilter.end() && !it->second)
                return 0;
        }
    }
    // Only the file name of the source path, Windows or POSIX separators.
    const char* name = file;
    if (name) {
        for (const char* c = file; *c; ++c)
            if (*c == '\\' || *c == '/')
                name = c + 1;
    }
    Prefix p = {module, name, function, line, version, true, true};
    va_list args;
    va_start(args, fmt);
    int n = vprintLine(level, p, fmt, args);
    va_end(args);
    return n;
}

namespace {
int hexDump(const void* data, size_t length)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    int total = 0;
    for (size_t offset = 0; bytes && offset < length; offset += 16) {
        char row[128];
        size_t used = static_cast<size_t>(std::snprintf(row, sizeof(row), "%p: ", static_cast<const void*>(bytes + offset)));
        size_t n = std::min<size_t>(16, length - offset);
        for (size_t i = 0; i < 16; ++i) {
            if (i < n)
                used += static_cast<size_t>(std::snprintf(row + used, sizeof(row) - used, "%02x ", bytes[offset + i]));
            else
                used += static_cast<size_t>(std::snprintf(row + used, sizeof(row) - used, "   "));
        }
        row[used++] = ' ';
        row[used++] = ' ';
        for (size_t i = 0; i < n; ++i) {
            unsigned char c = bytes[offset + i];
            row[used++] = (c >= 32 && c <= 122) ? static_cast<char>(c) : '.';
        }
        row[used] = '\0';
        total += logTrace("%s\n", row);
        if (offset % 512 == 0)
            total += logTrace("\n");
    }
    return total;
}
} // namespace

int printHexDump(const void* data, size_t length)
{
    return hexDump(data, length);
}

int logHexDump(const void* data, size_t length)
{
    return hexDump(data, length);
}

void setPrintLevel(int level)
{
    PrintState& s = state();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.level = level;
}

void setPrintOptions(PrintOptions options)
{
    PrintState& s = state();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.options = options;
}

void installPrinter(const PrintProc& printer)
{
    PrintState& s = state();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.printer = printer;
}

bool addPrintCallback(const PrintProc& callback)
{
    PrintState& s = state();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (std::find(s.callbacks.begin(), s.callbacks.end(), callback) != s.callbacks.end())
        return false;
    s.callbacks.push_back(callback);
    return true;
}

bool removePrintCallback(const PrintProc& callback)
{
    PrintState& s = state();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    auto it = std::find(s.callbacks.begin(), s.callbacks.end(), callback);
    if (it == s.callbacks.end())
        return false;
    s.callbacks.erase(it);
    return true;
}

void logFilterCommand(int argc, const char* const* argv)
{
    PrintState& s = state();
    if (argc <= 0 || !argv || (argc == 1 && argv[0] && std::string(argv[0]) == "-h")) {
        std::printf("logfilter command usage:\n");
        std::printf("logfilter -loglevel [levelnum](0-no printlevel, 1-fatal, 2-error, 3-warn, 4-info, 5-trace, "
                    "6-debug): set log level\n");
        std::printf("logfilter -logmodule [modulename] [on/off] #turn module's log on/off\n");
        std::printf("logfilter -logmodule [on/off] #turn ALL module's log on/off\n");
        std::printf("logfilter -logpath [logpath/] #logger module's log to logpath or cancel logger(by set path to )\n");
        std::printf("logfiter -logsize [logsize] #log file max size limited to logsize Kbytes\n");
        return;
    }
    std::string option = argv[0] ? argv[0] : "";
    // Options without their value are ignored.
    if (argc < 2 || !argv[1])
        return;
    const char* value = argv[1];
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (option == "-loglevel") {
        s.level = std::atoi(value);
    } else if (option == "-logmodule") {
        if (argc >= 3 && argv[2]) {
            s.moduleFilter[value] = isOn(argv[2]);
            s.filterOn = true;
            s.allModules = 1;
        } else {
            s.allModules = strcasecmp(value, "off") == 0 ? 0 : 2;
        }
    } else if (option == "-logtime") {
        s.options.noTime = isOn(value) ? 0 : 1;
    } else if (option == "-logthread") {
        s.options.noThreadId = isOn(value) ? 0 : 1;
    } else if (option == "-logversion") {
        s.options.noVersion = isOn(value) ? 0 : 1;
    } else if (option == "-logfunction") {
        s.options.noFunction = isOn(value) ? 0 : 1;
    } else if (option == "-logpath") {
        s.logPath = value;
    } else if (option == "-logsize") {
        long kib = std::atol(value);
        s.logMax = kib > 0 ? static_cast<size_t>(kib) * 1024 : 0;
    }
}

void closeLogFile()
{
    PrintState& s = state();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (s.logFile) {
        std::fclose(s.logFile);
        s.logFile = nullptr;
    }
}

} // namespace Infra
} // namespace Orvan
