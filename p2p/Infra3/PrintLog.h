#ifndef ORVAN_INFRA_PRINTLOG_H
#define ORVAN_INFRA_PRINTLOG_H

#include "Infra3/Function.h"

#include <cstddef>
#include <cstdint>

#define ORVAN_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))

namespace Orvan {
namespace Infra {

enum LogLevel
{
    logLevelFatal = 1,
    logLevelError = 2,
    logLevelWarn = 3,
    logLevelInfo = 4,
    logLevelTrace = 5,
    logLevelDebug = 6
};

// Pieces of the line prefix; 1 leaves the piece out.
struct PrintOptions
{
    uint8_t noTime;
    uint8_t noColor;
    uint8_t noModule;
    uint8_t noLevel;
    uint8_t noThreadId;
    uint8_t noVersion;
    uint8_t noFunction;
    uint8_t noFile;
    uint8_t noLine;
    uint8_t reserved[23];
};

using PrintProc = TFunction1<void, const char*>;

// Each print returns the number of characters it produced, 0 when the line was dropped.
int logFatal(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int logError(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int logWarn(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int logInfo(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int logTrace(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int logDebug(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int logAtLevel(int level, const char* module, const char* fmt, ...) ORVAN_PRINTF(3, 4);

int printFatal(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int printError(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int printWarn(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int printInfo(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int printTrace(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int printDebug(const char* fmt, ...) ORVAN_PRINTF(1, 2);
int printAtLevel(int level, const char* module, const char* fmt, ...) ORVAN_PRINTF(3, 4);

int logModule(int level, const char* module, const char* file, const char* function, int line, const char* version,
              const char* fmt, ...) ORVAN_PRINTF(7, 8);

// Rows of 16 bytes at trace level.
int printHexDump(const void* data, size_t length);
int logHexDump(const void* data, size_t length);

void setPrintLevel(int level);
void setPrintOptions(PrintOptions options);
// An empty functor restores the default output (standard output).
void installPrinter(const PrintProc& printer);
bool addPrintCallback(const PrintProc& callback);
bool removePrintCallback(const PrintProc& callback);

// The "logfilter" command; argv holds the arguments after the command name.
void logFilterCommand(int argc, const char* const* argv);
void closeLogFile();

} // namespace Infra
} // namespace Orvan

#endif
