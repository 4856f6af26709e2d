// Stand-in log libraries for the loader tests. LOG_WITH_WIDE decides whether SLogW is exported.
#include <cstdarg>
#include <cstdio>

extern "C" {

int g_testLogCalls = 0;
char g_testLogLast[256];

__attribute__((visibility("default"))) void SLogA(const char* function, int line, int level, const char* format, ...)
{
    char text[128];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    snprintf(g_testLogLast, sizeof g_testLogLast, "%s:%d:%d:%s", function, line, level, text);
    ++g_testLogCalls;
}

#ifdef LOG_WITH_WIDE
__attribute__((visibility("default"))) void SLogW(const wchar_t*, int, int, const wchar_t*, ...) {}
#endif

__attribute__((visibility("default"))) const char* TestLogLast() { return g_testLogLast; }
}
