#include "Infra3/ReadWriteMutex.h"

#include "Infra3/CurrentThread.h"
#include "Infra3/Error.h"
#include "Infra3/PrintLog.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

namespace Orvan {
namespace Infra {

namespace {

// Manual-reset event.
class Event
{
public:
    void set()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signalled = true;
        m_cond.notify_all();
    }
    void reset()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_signalled = false;
    }
    void wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cond.wait(lock, [this] { return m_signalled; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_signalled = false;
};

// Binary semaphore (maximum count 1).
class HandOver
{
public:
    void post()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_count = 1;
        m_cond.notify_one();
    }
    void wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cond.wait(lock, [this] { return m_count > 0; });
        m_count = 0;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cond;
    int m_count = 0;
};

const int kWriteHold = 0x10000;

} // namespace

struct CReadWriteMutex::Internal
{
    int mode = priorityDefault;
    // priorityDefault
    std::atomic<int> readers{0};
    std::atomic<int> writer{0};
    std::atomic<int> writerThread{0};
    std::recursive_mutex section;
    // priorityWriter
    int waitingWriters = 0;
    int waitingReaders = 0;
    int state = 0;
    Event readerEvent;
    HandOver writerSemaphore;
    std::mutex guard;
};

CReadWriteMutex::CReadWriteMutex() : CReadWriteMutex(priorityDefault) {}

CReadWriteMutex::CReadWriteMutex(int priority) : m_internal(new (std::nothrow) Internal)
{
    if (!m_internal)
        assertionFailed("m_internal", __PRETTY_FUNCTION__, __FILE__, __LINE__);
    if (priority != priorityDefault && priority != priorityWriter) {
        logWarn("[%s:%d] this:%p tid:%d, Input rwpriority level error, priorityDefault used!\n", __FILE__, __LINE__,
                static_cast<void*>(this), currentThreadId());
        priority = priorityDefault;
    }
    m_internal->mode = priority;
}

CReadWriteMutex::~CReadWriteMutex()
{
    if (m_internal->mode == priorityDefault) {
        if (m_internal->readers > 0)
            logError("has lock Read count(%d), maybe err\n", m_internal->readers.load());
        if (m_internal->writer) {
            logError("has lock write, maybe err\n");
            m_internal->section.unlock();
        }
    }
    delete m_internal;
}

bool CReadWriteMutex::lockRead()
{
    Internal& in = *m_internal;
    if (in.mode == priorityDefault) {
        in.section.lock();
        ++in.readers;
        in.section.unlock();
        return true;
    }
    bool wake = false;
    std::unique_lock<std::mutex> lock(in.guard);
    if (in.waitingWriters > 0 || in.state == kWriteHold) {
        ++in.waitingReaders;
        while (in.waitingWriters > 0 || in.state == kWriteHold) {
            in.readerEvent.reset();
            lock.unlock();
            in.readerEvent.wait();
            lock.lock();
        }
        --in.waitingReaders;
        ++in.state;
    } else {
        ++in.state;
        wake = in.state == 1 && in.waitingReaders > 0;
    }
    lock.unlock();
    if (wake)
        in.readerEvent.set();
    return true;
}

bool CReadWriteMutex::lockWrite()
{
    Internal& in = *m_internal;
    if (in.mode == priorityDefault) {
        in.section.lock();
        while (in.readers > 0)
            std::this_thread::yield();
        in.writer = 1;
        in.writerThread = currentThreadId();
        return true;
    }
    std::unique_lock<std::mutex> lock(in.guard);
    if (in.state == 0) {
        in.state = kWriteHold;
        return true;
    }
    ++in.waitingWriters;
    lock.unlock();
    // The releasing thread sets the write hold for us before it posts.
    in.writerSemaphore.wait();
    return true;
}

bool CReadWriteMutex::unlock()
{
    Internal& in = *m_internal;
    if (in.mode == priorityDefault) {
        int readers = in.readers.load();
        while (readers >= 1) {
            if (in.readers.compare_exchange_weak(readers, readers - 1))
                return true;
        }
        // Only the writer may release the write hold: any other caller holds nothing.
        if (in.writer && in.writerThread == currentThreadId()) {
            in.writer = 0;
            in.writerThread = 0;
            in.section.unlock();
            return true;
        }
        logError("No lock, maybe err\n");
        return false;
    }
    std::unique_lock<std::mutex> lock(in.guard);
    if (in.state >= 1 && in.state < kWriteHold) {
        bool handOver = false;
        if (--in.state == 0) {
            in.readerEvent.reset();
            if (in.waitingWriters > 0) {
                --in.waitingWriters;
                in.state = kWriteHold;
                handOver = true;
            }
        }
        lock.unlock();
        if (handOver)
            in.writerSemaphore.post();
        return true;
    }
    if (in.state == kWriteHold) {
        if (in.waitingWriters > 0) {
            --in.waitingWriters;
            lock.unlock();
            in.writerSemaphore.post();
        } else {
            in.state = 0;
            bool wake = in.waitingReaders > 0;
            lock.unlock();
            if (wake)
                in.readerEvent.set();
        }
        return true;
    }
    return false;
}

} // namespace Infra
} // namespace Orvan
