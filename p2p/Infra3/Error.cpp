#include "Infra3/Error.h"

#include "Infra3/Mutex.h"
#include "Infra3/PrintLog.h"
#include "Infra3/ThreadLocalSlot.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace Orvan {
namespace Infra {

namespace {

class CErrorMessageManager
{
public:
    // Made on first use and kept for the life of the process.
    static CErrorMessageManager& instance()
    {
        static CErrorMessageManager* manager = new CErrorMessageManager;
        return *manager;
    }

    CMutex m_mutex;
    std::map<uint32_t, std::string> m_texts;
};

} // namespace

void setLastError(uint32_t code)
{
    lastErrorSlot().store(reinterpret_cast<void*>(static_cast<uintptr_t>(code)));
}

uint32_t getLastError()
{
    void* value = nullptr;
    lastErrorSlot().load(value);
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value));
}

void registerErrorText(uint32_t code, const char* text)
{
    registerErrorText(code, std::string(text ? text : ""));
}

void registerErrorText(uint32_t code, const std::string& text)
{
    CErrorMessageManager& manager = CErrorMessageManager::instance();
    CMutexGuard guard(manager.m_mutex);
    manager.m_texts[code] = text;
}

const char* lookupErrorText(uint32_t code)
{
    CErrorMessageManager& manager = CErrorMessageManager::instance();
    CMutexGuard guard(manager.m_mutex);
    auto it = manager.m_texts.find(code);
    return it == manager.m_texts.end() ? "" : it->second.c_str();
}

std::string lookupErrorTextCopy(uint32_t code)
{
    CErrorMessageManager& manager = CErrorMessageManager::instance();
    CMutexGuard guard(manager.m_mutex);
    auto it = manager.m_texts.find(code);
    return it == manager.m_texts.end() ? std::string() : it->second;
}

void custom_abort()
{
    logInfo("custom_abort, line : %d\n", __LINE__);
    std::abort();
}

void assertionFailed(const char* expression, const char* function, const char* file, long line)
{
    std::fprintf(stderr, "***** Internal Program Error - assertion (%s) failed in %s: %s(%ld)\n", expression,
                 function, file, line);
    std::perror(expression);
    custom_abort();
}

void assertionFailedWithText(const char* expression, const char* text, const char* function, const char* file,
                             long line)
{
    std::fprintf(stderr, "***** Internal Program Error - assertion (%s) failed in %s: %s(%ld): %s\n", expression,
                 function, file, line, text);
    std::perror(expression);
    custom_abort();
}

} // namespace Infra
} // namespace Orvan
