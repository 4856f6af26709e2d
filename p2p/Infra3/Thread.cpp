#include "Infra3/Thread.h"

#include "Infra3/CurrentThread.h"
#include "Infra3/Error.h"
#include "Infra3/PrintLog.h"
#include "Infra3/Time.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace Orvan {
namespace Infra {

struct ThreadInternal
{
    pthread_t handle{};
    bool hasHandle = false;
    std::atomic<int> running{0};
    int policy = 0;
    int priority = 64;
    int stackSize = 0;
    std::atomic<int> threadId{-1};
    char name[32] = {0};
    ThreadInternal* prev = nullptr;
    ThreadInternal* next = nullptr;
    std::atomic<uint64_t> deadline{0};
    std::atomic<bool> looping{false};
    std::atomic<bool> destroying{false};
    ThreadManagerInternal* manager = nullptr;
    CThread* owner = nullptr;
    CMutex lock;
    // The object was deleted from its own threadProc: the body frees this record when it ends.
    bool orphaned = false;
    std::mutex endMutex;
    std::condition_variable ended;
};

class ThreadManagerInternal
{
public:
    static ThreadManagerInternal* instance()
    {
        // Kept for the life of the process: threads still running at exit unlink themselves from it.
        static ThreadManagerInternal* manager = new ThreadManagerInternal;
        return manager;
    }

    void link(ThreadInternal* t)
    {
        CMutexGuard guard(m_mutex);
        t->prev = nullptr;
        t->next = m_head;
        if (m_head)
            m_head->prev = t;
        m_head = t;
    }

    void unlink(ThreadInternal* t)
    {
        CMutexGuard guard(m_mutex);
        if (t->prev)
            t->prev->next = t->next;
        else if (m_head == t)
            m_head = t->next;
        if (t->next)
            t->next->prev = t->prev;
        t->prev = t->next = nullptr;
    }

    CMutex m_mutex;
    ThreadInternal* m_head = nullptr;
    std::atomic<int> m_mainThreadId{-1};
};

namespace {

thread_local ThreadInternal* t_current = nullptr;

void setName(ThreadInternal* t, const char* name)
{
    std::memset(t->name, 0, sizeof(t->name));
    std::strncpy(t->name, name ? name : "Nonamed", sizeof(t->name) - 1);
}

void setSystemName(pthread_t handle, const char* name)
{
    char shortName[16];
    size_t length = strnlen(name, sizeof(shortName) - 1);
    std::memcpy(shortName, name, length);
    shortName[length] = '\0';
    pthread_setname_np(handle, shortName);
}

// Nice value for a system level; normal threads cannot raise themselves without privileges.
int niceForLevel(int level)
{
    switch (level) {
    case 15: return -10;
    case 2: return -5;
    case 1: return -2;
    case 0: return 0;
    case -1: return 2;
    case -2: return 5;
    default: return 19;
    }
}

bool isOverdueNow(const ThreadInternal* t)
{
    uint64_t deadline = t->deadline.load();
    return deadline != 0 && CTime::getTickCountMs() > deadline;
}

} // namespace

struct ThreadBody
{
    static void* run(void* arg)
    {
        ThreadInternal* t = static_cast<ThreadInternal*>(arg);
        t_current = t;
        CThread* owner;
        {
            CMutexGuard guard(t->lock);
            t->running = 1;
            t->threadId = currentThreadId();
            owner = t->owner;
            setSystemName(pthread_self(), t->name);
        }
        int level = CThread::systemPriorityLevel(t->priority, t->policy);
        int niceValue = niceForLevel(level);
        errno = 0;
        int current = getpriority(PRIO_PROCESS, 0);
        if (errno == 0 && current != niceValue && setpriority(PRIO_PROCESS, 0, niceValue) != 0) {
            // Raising a thread needs privileges that a normal process lacks; it runs on at its current level.
            if (niceValue > current)
                logError("[%s:%d] this:%p tid:%d, create thread failed,errno=%d\n", __FILE__, __LINE__,
                         static_cast<void*>(owner), currentThreadId(), errno);
            else
                logDebug("[%s:%d] this:%p tid:%d, thread '%s' keeps its priority, level %d needs privileges\n",
                         __FILE__, __LINE__, static_cast<void*>(owner), currentThreadId(), t->name, level);
        }
        t->manager->link(t);
        int local = 0;
        logDebug("ThreadBody Enter name = %s, id = %d, prior = %s%d, stack = %p \n", t->name, t->threadId.load(),
                 t->policy == 1 ? "R" : "N", t->priority, static_cast<void*>(&local));

        owner->threadProc();

        logDebug("ThreadBody leave name = %s, id = %d \n", t->name, t->threadId.load());
        t->manager->unlink(t);
        bool orphaned;
        {
            CMutexGuard guard(t->lock);
            t->looping = false;
            t->running = 0;
            orphaned = t->orphaned;
        }
        t_current = nullptr;
        if (orphaned) {
            pthread_detach(pthread_self());
            delete t;
            return nullptr;
        }
        std::lock_guard<std::mutex> lock(t->endMutex);
        t->ended.notify_all();
        return nullptr;
    }
};

CThread::CThread(const char* name, int priority, int policy, int stackSize) : m_internal(new ThreadInternal)
{
    setName(m_internal, name);
    m_internal->priority = priority < 1 ? 1 : (priority > 127 ? 127 : priority);
    m_internal->policy = policy;
    m_internal->stackSize = stackSize;
    m_internal->manager = ThreadManagerInternal::instance();
    m_internal->owner = this;
}

CThread::~CThread()
{
    ThreadInternal* t = m_internal;
    if (t->looping)
        DestroyThread();
    bool self = t->hasHandle && pthread_equal(t->handle, pthread_self());
    if (self) {
        // Deleted from its own threadProc: the body ends on its own and frees the record.
        CMutexGuard guard(t->lock);
        t->owner = nullptr;
        t->orphaned = true;
        return;
    }
    uint64_t polls = 0;
    while (t->running) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (++polls % 100 == 0)
            logDebug("[%s:%d] this:%p tid:%d, CThread::~CThread %s wait for thread over, times : %llu\n", __FILE__,
                     __LINE__, static_cast<void*>(this), currentThreadId(), t->name,
                     static_cast<unsigned long long>(polls));
    }
    if (t->hasHandle)
        pthread_join(t->handle, nullptr);
    delete t;
}

int CThread::systemPriorityLevel(int priority, int policy)
{
    if (policy == 1)
        return 15;
    int v = (30 - 30 * priority) / 126 + 15;
    if (v <= -15)
        return -15;
    if (v <= -2)
        return -2;
    if (v == -1)
        return -1;
    if (v == 0)
        return 0;
    if (v >= 15)
        return 15;
    if (v >= 2)
        return 2;
    return 1;
}

bool CThread::CreateThread()
{
    ThreadInternal* t = m_internal;
    t->lock.enter();
    if (t->looping) {
        t->lock.leave();
        logWarn("[%s:%d] this:%p tid:%d, CThread::CreateThread() thread '%s' is still running!\n", __FILE__, __LINE__,
                static_cast<void*>(this), currentThreadId(), t->name);
        return false;
    }
    while (t->running) {
        t->lock.leave();
        sleepMs(1);
        t->lock.enter();
    }
    if (t->looping) {
        t->lock.leave();
        logWarn("[%s:%d] this:%p tid:%d, CThread::CreateThread() thread '%s' is still running!\n", __FILE__, __LINE__,
                static_cast<void*>(this), currentThreadId(), t->name);
        return false;
    }
    if (t->hasHandle) {
        // The earlier body has finished; collect its thread.
        pthread_join(t->handle, nullptr);
        t->hasHandle = false;
    }
    t->looping = true;
    t->threadId = -1;
    t->destroying = false;
    t->deadline = 0;

    pthread_attr_t attr;
    pthread_attr_init(&attr);
    if (t->stackSize > 0)
        pthread_attr_setstacksize(&attr, static_cast<size_t>(t->stackSize));
    int rc = pthread_create(&t->handle, &attr, &ThreadBody::run, t);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        t->lock.leave();
        logError("[%s:%d] this:%p tid:%d, create thread failed,errno=%d\n", __FILE__, __LINE__,
                 static_cast<void*>(this), currentThreadId(), rc);
        return false;
    }
    t->hasHandle = true;
    t->running = 1;
    t->lock.leave();
    return true;
}

bool CThread::DestroyThread()
{
    ThreadInternal* t = m_internal;
    t->lock.enter();
    if (t->destroying) {
        t->lock.leave();
        logWarn("[%s:%d] this:%p tid:%d, CThread::DestroyThread() thread '%s' has been destroyed!\n", __FILE__,
                __LINE__, static_cast<void*>(this), currentThreadId(), t->name);
        return false;
    }
    if (!t->running && !t->looping) {
        t->lock.leave();
        logWarn("[%s:%d] this:%p tid:%d, CThread::DestroyThread() thread '%s' has exited!\n", __FILE__, __LINE__,
                static_cast<void*>(this), currentThreadId(), t->name);
        return false;
    }
    t->looping = false;
    t->destroying = true;
    if (!t->hasHandle) {
        t->lock.leave();
        logWarn("[%s:%d] this:%p tid:%d, CThread::DestroyThread() thread handle has been invalid!\n", __FILE__,
                __LINE__, static_cast<void*>(this), currentThreadId());
        return false;
    }
    bool self = pthread_equal(t->handle, pthread_self());
    t->lock.leave();
    if (self)
        return true;
    std::unique_lock<std::mutex> lock(t->endMutex);
    while (t->running && t->destroying)
        t->ended.wait_for(lock, std::chrono::milliseconds(50));
    return true;
}

bool CThread::cancelThread()
{
    CMutexGuard guard(m_internal->lock);
    if (m_internal->looping) {
        m_internal->looping = false;
        return true;
    }
    logWarn("[%s:%d] this:%p tid:%d, CThread::cancelThread() thread '%s' not exist!\n", __FILE__, __LINE__,
            static_cast<void*>(this), currentThreadId(), m_internal->name);
    return false;
}

bool CThread::terminateThread()
{
    DestroyThread();
    if (!m_internal->hasHandle) {
        logError("[%s:%d] this:%p tid:%d, handle is null, can't be terminated\n", __FILE__, __LINE__,
                 static_cast<void*>(this), currentThreadId());
        return false;
    }
    return false;
}

bool CThread::isLooping() const
{
    return m_internal->looping;
}

bool CThread::hasExited() const
{
    return !m_internal->running && !m_internal->looping;
}

int CThread::getThreadId() const
{
    return m_internal->threadId;
}

const char* CThread::getName() const
{
    return m_internal->name;
}

void CThread::rename(const char* name)
{
    CMutexGuard guard(m_internal->lock);
    setName(m_internal, name);
    if (m_internal->running && m_internal->hasHandle)
        setSystemName(m_internal->handle, m_internal->name);
}

void CThread::setDeadline(uint32_t milliseconds)
{
    m_internal->deadline = milliseconds == 0 ? 0 : CTime::getTickCountMs() + milliseconds;
}

bool CThread::setDeadlineOfCaller(uint32_t milliseconds)
{
    ThreadInternal* t = t_current;
    if (!t)
        return false;
    CMutexGuard guard(t->lock);
    t->deadline = milliseconds == 0 ? 0 : CTime::getTickCountMs() + milliseconds;
    return true;
}

bool CThread::isOverdue() const
{
    CMutexGuard guard(m_internal->lock);
    return isOverdueNow(m_internal);
}

void CThread::sleepMs(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void CThread::load(int percent)
{
    if (!(percent >= 1 && percent <= 100))
        assertionFailed("percent >= 1 && percent <= 100", __PRETTY_FUNCTION__, __FILE__, __LINE__);
}

// Thread manager.

CThreadManager::CThreadManager() : m_internal(ThreadManagerInternal::instance()) {}

CThreadManager* CThreadManager::instance()
{
    static CThreadManager* manager = new CThreadManager;
    return manager;
}

void CThreadManager::printThreads()
{
    std::vector<std::string> lines;
    {
        CMutexGuard guard(m_internal->m_mutex);
        for (ThreadInternal* t = m_internal->m_head; t; t = t->next) {
            CMutexGuard threadGuard(t->lock);
            char line[128];
            std::snprintf(line, sizeof(line), "%24s   %8d  %3d  %s\n", t->name, t->threadId.load(), t->priority,
                          isOverdueNow(t) ? "Timeout" : "Normal");
            lines.push_back(line);
        }
    }
    logInfo("Threads:\n");
    logInfo("               Name            TID  Prior State\n");
    logInfo("%s\n", std::string(55, '_').c_str());
    logInfo("%24s   %8d  %3d  %s\n", "Main", m_internal->m_mainThreadId.load(), 64, "Normal");
    for (const std::string& line : lines)
        logInfo("%s", line.c_str());
    logInfo("\n");
}

bool CThreadManager::getOverdueThreads(std::string& names)
{
    names.clear();
    CMutexGuard guard(m_internal->m_mutex);
    for (ThreadInternal* t = m_internal->m_head; t; t = t->next) {
        CMutexGuard threadGuard(t->lock);
        if (isOverdueNow(t)) {
            char id[8];
            std::snprintf(id, sizeof(id), "(%d)", t->threadId.load());
            names += t->name;
            names += id;
        }
    }
    return !names.empty();
}

bool CThreadManager::getThreadName(int threadId, std::string& name)
{
    CMutexGuard guard(m_internal->m_mutex);
    for (ThreadInternal* t = m_internal->m_head; t; t = t->next) {
        CMutexGuard threadGuard(t->lock);
        if (t->threadId == threadId) {
            name = t->name;
            return true;
        }
    }
    return false;
}

bool CThreadManager::hasThread(int threadId)
{
    CMutexGuard guard(m_internal->m_mutex);
    for (ThreadInternal* t = m_internal->m_head; t; t = t->next)
        if (t->threadId == threadId)
            return true;
    return false;
}

void CThreadManager::markMainThread()
{
    m_internal->m_mainThreadId = currentThreadId();
}

// Load controller.

CThreadLoadingController::CThreadLoadingController() : CThread("ThreadLoadingControl", 1, 1, 0) {}

CThreadLoadingController::~CThreadLoadingController()
{
    if (isLooping())
        DestroyThread();
}

CThreadLoadingController* CThreadLoadingController::instance()
{
    static CThreadLoadingController* controller = new CThreadLoadingController;
    return controller;
}

void CThreadLoadingController::attachLoad(int key, int firstShare, int secondShare)
{
    bool start;
    {
        CMutexGuard guard(m_mutex);
        m_loads[key] = Entry{firstShare, secondShare, 0, 0};
        start = hasExited();
    }
    if (start)
        CreateThread();
}

void CThreadLoadingController::detachLoad(int key)
{
    bool stop;
    {
        CMutexGuard guard(m_mutex);
        m_loads.erase(key);
        stop = m_loads.empty() && !hasExited();
    }
    if (stop)
        DestroyThread();
}

void CThreadLoadingController::threadProc()
{
    while (isLooping()) {
        sleepMs(1);
        CMutexGuard guard(m_mutex);
        for (auto& item : m_loads) {
            Entry& e = item.second;
            if (e.secondShare * e.firstCount < e.firstShare * e.secondCount)
                ++e.firstCount;
            else
                ++e.secondCount;
            if (e.firstCount == e.firstShare && e.secondCount == e.secondShare)
                e.firstCount = e.secondCount = 0;
        }
    }
}

} // namespace Infra
} // namespace Orvan
