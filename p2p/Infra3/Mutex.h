#ifndef ORVAN_INFRA_MUTEX_H
#define ORVAN_INFRA_MUTEX_H

#include <mutex>

namespace Orvan {
namespace Infra {

// Mutex that the holding thread may enter again; every enter needs its leave.
class CMutex
{
public:
    CMutex();
    ~CMutex();
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    bool enter();
    // True when taken, also when the caller already holds it.
    bool tryEnter();
    bool leave();

    // Standard lockable names, so std::unique_lock and condition_variable_any work on it.
    void lock() { enter(); }
    void unlock() { leave(); }
    bool try_lock() { return tryEnter(); }

private:
    std::recursive_mutex m_section;
};

class CMutexGuard
{
public:
    explicit CMutexGuard(CMutex& mutex) : m_mutex(mutex) { m_mutex.enter(); }
    ~CMutexGuard() { m_mutex.leave(); }
    CMutexGuard(const CMutexGuard&) = delete;
    CMutexGuard& operator=(const CMutexGuard&) = delete;

private:
    CMutex& m_mutex;
};

} // namespace Infra
} // namespace Orvan

#endif
