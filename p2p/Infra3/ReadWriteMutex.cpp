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
    // priorityWriter. Readers and writers wait on condition variables of the one guard mutex, so that
    // a release between a waiter's check and its wait cannot be lost.
    int waitingWriters = 0;
    int waitingReaders = 0;
    int state = 0;
    int handOvers = 0; // write holds passed to waiting writers, not yet taken up
    std::condition_variable readers_cv;
    std::condition_variable writers_cv;
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
    std::unique_lock<std::mutex> lock(in.guard);
    if (in.waitingWriters > 0 || in.state == kWriteHold) {
        ++in.waitingReaders;
        in.readers_cv.wait(lock, [&in] { return in.waitingWriters == 0 && in.state != kWriteHold; });
        --in.waitingReaders;
    }
    ++in.state;
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
    // The releasing thread sets the write hold for us before it hands over.
    in.writers_cv.wait(lock, [&in] { return in.handOvers > 0; });
    --in.handOvers;
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
    std::lock_guard<std::mutex> lock(in.guard);
    if (in.state >= 1 && in.state < kWriteHold) {
        if (--in.state == 0 && in.waitingWriters > 0) {
            --in.waitingWriters;
            in.state = kWriteHold;
            ++in.handOvers;
            in.writers_cv.notify_one();
        }
        return true;
    }
    if (in.state == kWriteHold) {
        if (in.waitingWriters > 0) {
            // Hand-over: the hold passes straight to one waiting writer.
            --in.waitingWriters;
            ++in.handOvers;
            in.writers_cv.notify_one();
        } else {
            in.state = 0;
            if (in.waitingReaders > 0)
                in.readers_cv.notify_all();
        }
        return true;
    }
    return false;
}

} // namespace Infra
} // namespace Orvan
