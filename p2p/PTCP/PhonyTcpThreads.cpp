#include "PTCP/PhonyTcpThreads.h"

#include "Infra3/Time.h"

#include <sys/time.h>

#include <chrono>

namespace Orvan {
namespace Tou {

namespace {
std::mutex g_singletons;
}

CPhonyTcpTimer* CPhonyTcpTimer::instance()
{
    static CPhonyTcpTimer* timer = nullptr;
    std::lock_guard<std::mutex> lock(g_singletons);
    if (!timer)
        timer = new CPhonyTcpTimer; // lives until the process ends
    return timer;
}

CPhonyTcpTimer::CPhonyTcpTimer() : CThread("Phony Tcp Timer", priorDefault, policyNormal)
{
    m_slots.resize(32);
    CreateThread();
}

CPhonyTcpTimer::~CPhonyTcpTimer() { DestroyThread(); }

int CPhonyTcpTimer::attach(const TimerProc& proc)
{
    if (proc.empty())
        return -4;
    std::lock_guard<std::recursive_mutex> round(m_round);
    std::lock_guard<std::mutex> lock(m_table);
    Slot* free = nullptr;
    int held = 0;
    for (Slot& s : m_slots) {
        if (s.inUse && s.proc == proc)
            return -2;
        if (s.inUse)
            ++held;
        else if (!free)
            free = &s;
    }
    if (!free) {
        m_slots.emplace_back();
        free = &m_slots.back();
    }
    free->proc = proc;
    free->inUse = true;
    return held + 1;
}

int CPhonyTcpTimer::detach(const TimerProc& proc)
{
    std::lock_guard<std::recursive_mutex> round(m_round);
    std::lock_guard<std::mutex> lock(m_table);
    bool found = false;
    int held = 0;
    for (Slot& s : m_slots) {
        if (s.inUse && !found && s.proc == proc) {
            s.inUse = false;
            s.proc = TimerProc();
            found = true;
        } else if (s.inUse) {
            ++held;
        }
    }
    return found ? held : -1;
}

int CPhonyTcpTimer::count()
{
    std::lock_guard<std::mutex> lock(m_table);
    int held = 0;
    for (const Slot& s : m_slots)
        held += s.inUse;
    return held;
}

void CPhonyTcpTimer::threadProc()
{
    while (isLooping()) {
        uint64_t tick = Infra::CTime::getTickCountMs();
        {
            std::lock_guard<std::recursive_mutex> round(m_round);
            std::unique_lock<std::mutex> lock(m_table);
            for (size_t i = 0; i < m_slots.size(); ++i) {
                if (!m_slots[i].inUse)
                    continue;
                TimerProc proc = m_slots[i].proc;
                ++m_slots[i].busy;
                lock.unlock();
                auto start = std::chrono::steady_clock::now();
                proc(tick);
                auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
                lock.lock();
                if (i < m_slots.size()) {
                    m_slots[i].lastCallUs = us.count() > 0 ? uint64_t(us.count()) : 1;
                    --m_slots[i].busy;
                }
            }
        }
        sleepMs(10);
    }
}

CPhonyTcpReactor* CPhonyTcpReactor::instance()
{
    static CPhonyTcpReactor* reactor = nullptr;
    std::lock_guard<std::mutex> lock(g_singletons);
    if (!reactor)
        reactor = new CPhonyTcpReactor; // lives until the process ends
    return reactor;
}

CPhonyTcpReactor::CPhonyTcpReactor() : CThread("Phony Tcp Reactor", priorDefault, policyNormal)
{
    m_reactor.reset(createReactor(2, 0));
    CreateThread();
}

CPhonyTcpReactor::~CPhonyTcpReactor() { DestroyThread(); }

int CPhonyTcpReactor::registFd(int fd, const ReactorHandler& handler)
{
    return m_reactor->registFd(fd, handler);
}

int CPhonyTcpReactor::unregistFd(int fd)
{
    return m_reactor->unregistFd(fd);
}

void CPhonyTcpReactor::threadProc()
{
    while (isLooping()) {
        // the reactor holds its own lock while handlers run, so an unregister waits for them
        timeval tv{0, 10000};
        if (m_reactor->dispatch(&tv) < 0)
            sleepMs(10);
    }
}

} // namespace Tou
} // namespace Orvan
