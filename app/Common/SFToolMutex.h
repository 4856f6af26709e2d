// Recursive mutex and its scope lock.
#pragma once

#include <memory>
#include <mutex>

namespace SF_SOFT_BASE {

class CSFToolMutex {
public:
    CSFToolMutex() : m_pSection(new std::recursive_mutex) {}
    virtual ~CSFToolMutex() = default;
    CSFToolMutex(const CSFToolMutex&) = delete;
    CSFToolMutex& operator=(const CSFToolMutex&) = delete;

    void Lock() { m_pSection->lock(); }
    void Unlock() { m_pSection->unlock(); }

private:
    std::unique_ptr<std::recursive_mutex> m_pSection;
};

class CSFToolAutoMutexLock {
public:
    explicit CSFToolAutoMutexLock(CSFToolMutex* mutex) : m_pMutex(mutex), m_bLocked(0)
    {
        if (m_pMutex) {
            m_pMutex->Lock();
            m_bLocked = 1;
        }
    }
    explicit CSFToolAutoMutexLock(CSFToolMutex& mutex) : CSFToolAutoMutexLock(&mutex) {}
    virtual ~CSFToolAutoMutexLock() { Unlock(); }
    CSFToolAutoMutexLock(const CSFToolAutoMutexLock&) = delete;
    CSFToolAutoMutexLock& operator=(const CSFToolAutoMutexLock&) = delete;

    void Unlock()
    {
        if (m_bLocked) {
            m_bLocked = 0;
            m_pMutex->Unlock();
        }
    }

private:
    CSFToolMutex* m_pMutex;
    int m_bLocked;
};

} // namespace SF_SOFT_BASE
