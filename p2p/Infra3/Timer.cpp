#include "Infra3/Timer.h"

#include "Infra3/CurrentThread.h"
#include "Infra3/Error.h"
#include "Infra3/PrintLog.h"
#include "Infra3/RecursiveLock.h"
#include "Infra3/Semaphore.h"
#include "Infra3/Thread.h"
#include "Infra3/Time.h"

#include <atomic>
#include <cinttypes>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace Orvan {
namespace Infra {

class CTimerThread;

struct TimerInternal
{
    uint64_t runningTime = 0; // microseconds
    uint64_t nextDue = 0;
    uint64_t callStart = 0;
    uint32_t period = 0;
    uint32_t timeout = 0;
    CTimer::TimerProc proc;
    uint32_t param = 0;
    char name[32] = {0};
    bool started = false;
    bool fired = false;
    TimerInternal* prev = nullptr;
    TimerInternal* next = nullptr;
    CTimerThread* runningThread = nullptr;
    bool statistics = false;
};

class CTimerThread : public CThread
{
public:
    explicit CTimerThread(TimerManagerInternal* manager) : CThread("[Pooled]", 64, 0, 0), m_manager(manager) {}
    ~CTimerThread() override
    {
        if (isLooping()) {
            m_quit = true;
            m_semaphore.post();
            DestroyThread();
        }
    }

    void threadProc() override;

    TimerManagerInternal* m_manager;
    CTimer::TimerProc m_proc;
    uint32_t m_param = 0;
    CSemaphore m_semaphore{0};
    CTimerThread* m_nextIdle = nullptr;
    TimerInternal* m_timer = nullptr; // null once the timer is gone
    bool m_statistics = false;
    std::atomic<bool> m_quit{false};
};

class TimerManagerInternal : public CThread
{
public:
    TimerManagerInternal() : CThread("TimerManager", 1, 0, 0), m_tick(CTime::getTickCountMs()) {}

    static TimerManagerInternal* instance(bool create = true)
    {
        // Kept for the life of the process: pooled threads busy at exit still return to it.
        static std::mutex mutex;
        static std::atomic<TimerManagerInternal*> manager{nullptr};
        TimerManagerInternal* m = manager.load();
        if (m || !create)
            return m;
        std::lock_guard<std::mutex> lock(mutex);
        m = manager.load();
        if (!m) {
            m = new TimerManagerInternal;
            m->CreateThread();
            manager = m;
        }
        return m;
    }

    void unlink(TimerInternal* t)
    {
        if (t->prev)
            t->prev->next = t->next;
        else if (m_head == t)
            m_head = t->next;
        if (t->next)
            t->next->prev = t->prev;
        t->prev = t->next = nullptr;
    }

    // Ascending due time; a new timer goes before timers with the same due time.
    void insert(TimerInternal* t)
    {
        TimerInternal* prev = nullptr;
        TimerInternal* cur = m_head;
        while (cur && cur->nextDue < t->nextDue) {
            prev = cur;
            cur = cur->next;
        }
        t->prev = prev;
        t->next = cur;
        if (prev)
            prev->next = t;
        else
            m_head = t;
        if (cur)
            cur->prev = t;
    }

    // Runs under the lock; the procedure itself runs later on the pooled thread.
    bool fire(TimerInternal* t)
    {
        unlink(t);
        if (t->period > 0) {
            if (m_tick >= t->nextDue)
                t->nextDue += static_cast<uint64_t>(t->period) * ((m_tick - t->nextDue) / t->period + 1);
            insert(t);
        } else {
            t->started = false;
            t->fired = true;
        }
        if (t->runningThread)
            return false;
        t->callStart = m_tick;
        CTimerThread* thread = m_idle;
        if (thread) {
            m_idle = thread->m_nextIdle;
            thread->m_nextIdle = nullptr;
            --m_idleCount;
        } else {
            thread = new CTimerThread(this);
            if (!thread->CreateThread()) {
                delete thread;
                return false;
            }
        }
        thread->rename(t->name);
        thread->setDeadline(t->timeout);
        thread->m_proc = t->proc;
        thread->m_param = t->param;
        thread->m_timer = t;
        thread->m_statistics = t->statistics;
        t->runningThread = thread;
        thread->m_semaphore.post();
        return true;
    }

    void putTimerThread(CTimerThread* thread)
    {
        if (!thread)
            assertionFailed("pThread", __PRETTY_FUNCTION__, __FILE__, __LINE__);
        std::vector<CTimerThread*> cut;
        m_lock.enter();
        thread->m_nextIdle = m_idle;
        m_idle = thread;
        ++m_idleCount;
        if (m_maxIdle > 0 && m_idleCount > m_maxIdle) {
            CTimerThread* last = m_idle;
            for (int i = 1; i < m_maxIdle; ++i)
                last = last->m_nextIdle;
            for (CTimerThread* c = last->m_nextIdle; c; c = c->m_nextIdle)
                cut.push_back(c);
            last->m_nextIdle = nullptr;
            m_idleCount = m_maxIdle;
        }
        m_lock.leave();
        for (CTimerThread* c : cut) {
            c->m_quit = true;
            c->m_semaphore.post();
            c->DestroyThread();
            delete c;
        }
    }

    void threadProc() override
    {
        while (isLooping()) {
            sleepMs(10);
            CRecursiveGuard guard(m_lock);
            uint64_t previous = m_tick;
            m_tick = CTime::getTickCountMs();
            setDeadline(10000);
            if (m_tick != previous) {
                if (m_tick < previous)
                    assertionFailed("0", __PRETTY_FUNCTION__, __FILE__, __LINE__);
                while (m_head && m_head->nextDue < m_tick)
                    fire(m_head);
            }
        }
    }

    void printTimerTable()
    {
        CRecursiveGuard guard(m_lock);
        logInfo("Timers: ( %" PRIu64 " Milli-Seconds Elapsed )\n", m_tick);
        logInfo("            Name            NextTime RunningTime Period   Used/Timeout State\n");
        logInfo("%s\n", std::string(76, '_').c_str());
        for (TimerInternal* t = m_head; t; t = t->next) {
            int used = t->runningThread ? static_cast<int>(m_tick - t->callStart) : 0;
            logInfo("%24s %11" PRIu64 " %11" PRIu64 " %6lu %6d/%6lu %s\n", t->name, t->nextDue,
                    t->runningTime / 1000, static_cast<unsigned long>(t->period), used,
                    static_cast<unsigned long>(t->timeout), t->runningThread ? "Running" : "Idle");
        }
        logInfo("\n");
    }

    CTimerThread* m_idle = nullptr;
    uint64_t m_tick;
    TimerInternal* m_head = nullptr;
    CRecursiveLock m_lock;
    int m_maxIdle = -1;
    int m_idleCount = 0;
};

void CTimerThread::threadProc()
{
    while (isLooping()) {
        m_semaphore.pend();
        if (m_quit)
            return;
        uint64_t startUs = m_statistics ? CTime::getTickCountUs() : 0;
        m_proc(m_param);
        setDeadline(0);
        rename("[Pooled]");
        {
            CRecursiveGuard guard(m_manager->m_lock);
            if (m_timer) {
                if (m_timer->statistics && m_statistics)
                    m_timer->runningTime += CTime::getTickCountUs() - startUs;
                m_timer->runningThread = nullptr;
            }
            m_timer = nullptr;
        }
        m_manager->putTimerThread(this);
    }
}

// Timer.

CTimer::CTimer(const char* name) : m_internal(new TimerInternal)
{
    if (name)
        std::strncpy(m_internal->name, name, sizeof(m_internal->name) - 1);
}

CTimer::~CTimer()
{
    TimerManagerInternal* manager = TimerManagerInternal::instance(false);
    if (!manager) {
        delete m_internal;
        return;
    }
    Stop();
    CRecursiveGuard guard(manager->m_lock);
    // Deleted from its own procedure: the pooled thread must not touch the record afterwards.
    if (m_internal->runningThread)
        m_internal->runningThread->m_timer = nullptr;
    delete m_internal;
}

bool CTimer::start(const TimerProc& proc, uint32_t delayMs, uint32_t periodMs, uint32_t param, uint32_t timeoutMs)
{
    TimerManagerInternal* manager = TimerManagerInternal::instance();
    CRecursiveGuard guard(manager->m_lock);
    TimerInternal* t = m_internal;
    t->proc = proc;
    t->nextDue = manager->m_tick + delayMs;
    t->period = periodMs;
    t->timeout = timeoutMs;
    t->param = param;
    t->fired = false;
    t->statistics = false;
    if (t->started)
        manager->unlink(t);
    manager->insert(t);
    t->started = true;
    if (delayMs == 0)
        return manager->fire(t);
    return true;
}

bool CTimer::cancel(bool fireNow)
{
    TimerManagerInternal* manager = TimerManagerInternal::instance();
    CRecursiveGuard guard(manager->m_lock);
    TimerInternal* t = m_internal;
    if (!t->started)
        return false;
    manager->unlink(t);
    t->started = false;
    if (t->period == 0 && fireNow)
        return manager->fire(t);
    return true;
}

bool CTimer::Stop()
{
    TimerManagerInternal* manager = TimerManagerInternal::instance();
    manager->m_lock.enter();
    cancel(false);
    uint64_t passes = 0;
    while (m_internal->runningThread && m_internal->runningThread->getThreadId() != currentThreadId()) {
        if (passes % 500 == 0)
            logInfo("[%s:%d] this:%p tid:%d, CTimer::Stop '%s' wait callback exit!\n", __FILE__, __LINE__,
                    static_cast<void*>(this), currentThreadId(), m_internal->name);
        ++passes;
        manager->m_lock.leave();
        CThread::sleepMs(10);
        manager->m_lock.enter();
    }
    manager->m_lock.leave();
    return true;
}

void CTimer::setPeriod(uint32_t periodMs)
{
    TimerManagerInternal* manager = TimerManagerInternal::instance();
    CRecursiveGuard guard(manager->m_lock);
    TimerInternal* t = m_internal;
    if (t->started)
        manager->unlink(t);
    t->nextDue = t->nextDue - t->period + periodMs;
    t->period = periodMs;
    if (t->started)
        manager->insert(t);
}

void CTimer::setStatistics(bool on)
{
    TimerManagerInternal* manager = TimerManagerInternal::instance();
    CRecursiveGuard guard(manager->m_lock);
    m_internal->statistics = on;
}

const char* CTimer::getName() const
{
    return m_internal->name;
}

bool CTimer::isStarted() const
{
    TimerManagerInternal* manager = TimerManagerInternal::instance();
    CRecursiveGuard guard(manager->m_lock);
    return m_internal->started;
}

bool CTimer::isFired() const
{
    TimerManagerInternal* manager = TimerManagerInternal::instance();
    CRecursiveGuard guard(manager->m_lock);
    return m_internal->fired;
}

bool CTimer::isCalling() const
{
    TimerManagerInternal* manager = TimerManagerInternal::instance();
    CRecursiveGuard guard(manager->m_lock);
    return m_internal->runningThread != nullptr;
}

// Facade.

CTimerManager::CTimerManager() : m_internal(TimerManagerInternal::instance())
{
    logTrace("[%s:%d] this:%p tid:%d, CTimerManager::CTimerManager()>>>>>>>>>\n", __FILE__, __LINE__,
             static_cast<void*>(this), currentThreadId());
}

CTimerManager* CTimerManager::instance()
{
    static CTimerManager* manager = new CTimerManager;
    return manager;
}

bool CTimerManager::setMaxIdleThreads(int count)
{
    CRecursiveGuard guard(m_internal->m_lock);
    m_internal->m_maxIdle = count;
    return true;
}

void CTimerManager::printTimerTable()
{
    m_internal->printTimerTable();
}

} // namespace Infra
} // namespace Orvan
