#ifndef ORVAN_INFRA_ERROR_H
#define ORVAN_INFRA_ERROR_H

#include <cstdint>
#include <string>

namespace Orvan {
namespace Infra {

enum : uint32_t
{
    errorSetClockFailed = 0x1000000E,
    errorSetClockFailed2 = 0x1000000F
};

// The calling thread's last error (0 when never set).
void setLastError(uint32_t code);
uint32_t getLastError();

void registerErrorText(uint32_t code, const char* text);
void registerErrorText(uint32_t code, const std::string& text);
// Empty text when none is registered; valid until the code's text is replaced.
const char* lookupErrorText(uint32_t code);
std::string lookupErrorTextCopy(uint32_t code);

[[noreturn]] void assertionFailed(const char* expression, const char* function, const char* file, long line);
[[noreturn]] void assertionFailedWithText(const char* expression, const char* text, const char* function,
                                          const char* file, long line);
[[noreturn]] void custom_abort();

} // namespace Infra
} // namespace Orvan

// Internal invariants of the library; a failure ends the process.
#define ORVAN_ASSERT(expr)                                                                                  \
    do {                                                                                                    \
        if (!(expr))                                                                                        \
            ::Orvan::Infra::assertionFailed(#expr, __PRETTY_FUNCTION__, __FILE__, __LINE__);                \
    } while (0)

#define ORVAN_ASSERT_TEXT(expr, text)                                                                       \
    do {                                                                                                    \
        if (!(expr))                                                                                        \
            ::Orvan::Infra::assertionFailedWithText(#expr, text, __PRETTY_FUNCTION__, __FILE__, __LINE__); \
    } while (0)

#endif
