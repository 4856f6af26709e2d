#ifndef ORVAN_INFRA_READWRITEMUTEX_H
#define ORVAN_INFRA_READWRITEMUTEX_H

namespace Orvan {
namespace Infra {

enum RWPriority
{
    priorityDefault = 0, // writers wait for readers; new readers queue behind a waiting writer
    priorityWriter = 1   // writer-preferring, a released write hold passes straight to a waiting writer
};

class CReadWriteMutex
{
public:
    CReadWriteMutex();
    explicit CReadWriteMutex(int priority);
    ~CReadWriteMutex();
    CReadWriteMutex(const CReadWriteMutex&) = delete;
    CReadWriteMutex& operator=(const CReadWriteMutex&) = delete;

    bool lockRead();
    bool lockWrite();
    // Releases the caller's hold, read or write; false when nothing was held.
    bool unlock();

    struct Internal;

private:
    Internal* m_internal;
};

class CReadGuard
{
public:
    explicit CReadGuard(CReadWriteMutex& mutex) : m_mutex(mutex) { m_mutex.lockRead(); }
    ~CReadGuard() { m_mutex.unlock(); }
    CReadGuard(const CReadGuard&) = delete;
    CReadGuard& operator=(const CReadGuard&) = delete;

private:
    CReadWriteMutex& m_mutex;
};

class CWriteGuard
{
public:
    explicit CWriteGuard(CReadWriteMutex& mutex) : m_mutex(mutex) { m_mutex.lockWrite(); }
    ~CWriteGuard() { m_mutex.unlock(); }
    CWriteGuard(const CWriteGuard&) = delete;
    CWriteGuard& operator=(const CWriteGuard&) = delete;

private:
    CReadWriteMutex& m_mutex;
};

} // namespace Infra
} // namespace Orvan

#endif
