#ifndef ORVAN_TOU_PRINT_H
#define ORVAN_TOU_PRINT_H

#include <cstdint>

namespace Orvan {
namespace Tou {

// Levels of the stack's log print.
enum
{
    printLevelError = 1,
    printLevelWarn = 2,
    printLevelInfo = 3,
    printLevelTrace = 4,
    printLevelDebug = 5
};

// Writes "<file:line>text" through the base library's print of the matching level.
void print(const char* file, int line, const char* function, int level, const char* fmt, ...)
    __attribute__((format(printf, 5, 6)));
void setPrintLevel(int level);
int getPrintLevel();
// The part after the last slash or backslash.
const char* baseFileName(const char* path);

// RFC 4648 with padding; out needs 4 characters per started group of 3 bytes plus a NUL. 0, or -1 for bad arguments.
int base64Encode(const uint8_t* input, int length, char* output);

} // namespace Tou
} // namespace Orvan

#define TOU_PRINT(level, ...) ::Orvan::Tou::print(__FILE__, __LINE__, __func__, (level), __VA_ARGS__)

#endif
