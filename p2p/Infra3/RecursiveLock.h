#ifndef ORVAN_INFRA_RECURSIVELOCK_H
#define ORVAN_INFRA_RECURSIVELOCK_H

#include <atomic>
#include <mutex>

namespace Orvan {
namespace Infra {

// Lock that counts its own recursion: the section is entered once per outermost enter.
class CRecursiveLock
{
public:
    CRecursiveLock();
    ~CRecursiveLock();
    CRecursiveLock(const CRecursiveLock&) = delete;
    CRecursiveLock& operator=(const CRecursiveLock&) = delete;

    bool enter();
    bool leave();

private:
    std::mutex m_section;
    int m_count;
    std::atomic<int> m_owner; // 0 when free
};

class CRecursiveGuard
{
public:
    explicit CRecursiveGuard(CRecursiveLock& lock) : m_lock(lock) { m_lock.enter(); }
    ~CRecursiveGuard() { m_lock.leave(); }
    CRecursiveGuard(const CRecursiveGuard&) = delete;
    CRecursiveGuard& operator=(const CRecursiveGuard&) = delete;

private:
    CRecursiveLock& m_lock;
};

} // namespace Infra
} // namespace Orvan

#endif
