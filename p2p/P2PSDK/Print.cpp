#include "P2PSDK/Print.h"

#include "Infra3/PrintLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace Orvan {
namespace Tou {

namespace {
std::atomic<int> g_printLevel{printLevelDebug};
}

void setPrintLevel(int level)
{
    g_printLevel = level;
}

int getPrintLevel()
{
    return g_printLevel;
}

const char* baseFileName(const char* path)
{
    if (!path)
        return "";
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\')
            base = p + 1;
    return base;
}

void print(const char* file, int line, const char* /*function*/, int level, const char* fmt, ...)
{
    if (level > g_printLevel)
        return;
    char text[10240];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof(text), fmt, args);
    va_end(args);
    const char* name = baseFileName(file);
    switch (level) {
    case printLevelError:
        Infra::printError("<%s:%d>%s", name, line, text);
        break;
    case printLevelWarn:
        Infra::printWarn("<%s:%d>%s", name, line, text);
        break;
    case printLevelInfo:
        Infra::printInfo("<%s:%d>%s", name, line, text);
        break;
    case printLevelDebug:
        Infra::printDebug("<%s:%d>%s", name, line, text);
        break;
    default:
        Infra::printTrace("<%s:%d>%s", name, line, text);
        break;
    }
    std::fflush(stdout);
}

int base64Encode(const uint8_t* input, int length, char* output)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (!input || !output || length <= 0)
        return -1;
    char* out = output;
    int i = 0;
    for (; i + 2 < length; i += 3) {
        uint32_t v = (uint32_t(input[i]) << 16) | (uint32_t(input[i + 1]) << 8) | input[i + 2];
        *out++ = kAlphabet[(v >> 18) & 63];
        *out++ = kAlphabet[(v >> 12) & 63];
        *out++ = kAlphabet[(v >> 6) & 63];
        *out++ = kAlphabet[v & 63];
    }
    if (i < length) {
        uint32_t v = uint32_t(input[i]) << 16;
        if (i + 1 < length)
            v |= uint32_t(input[i + 1]) << 8;
        *out++ = kAlphabet[(v >> 18) & 63];
        *out++ = kAlphabet[(v >> 12) & 63];
        *out++ = i + 1 < length ? kAlphabet[(v >> 6) & 63] : '=';
        *out++ = '=';
    }
    *out = '\0';
    return 0;
}

} // namespace Tou
} // namespace Orvan
