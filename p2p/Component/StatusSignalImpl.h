#ifndef ORVAN_COMPONENT_STATUSSIGNALIMPL_H
#define ORVAN_COMPONENT_STATUSSIGNALIMPL_H

#include "Infra3/CurrentThread.h"
#include "Infra3/Thread.h"
#include "Infra3/Time.h"

namespace Orvan {
namespace Component {

template <class Proc>
int TStatusSignal<Proc>::attach(const Proc& proc, int position)
{
    if (proc.empty())
        return -4;
    if (proc.tag() == Infra::Detail::kFunctionWildcard)
        return -5;
    Infra::CMutexGuard guard(m_mutex);
    int freeIndex = -1;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].attached && m_entries[i].proc == proc)
            return -2;
        if (!m_entries[i].attached && freeIndex < 0)
            freeIndex = static_cast<int>(i);
    }
    if (freeIndex < 0)
        return -3;
    Entry entry;
    entry.proc = proc;
    entry.attached = true;
    if (position == anyFree) {
        m_entries[static_cast<size_t>(freeIndex)] = entry;
    } else if (position == atEnd) {
        // After the last attached entry, moving later (free) entries forward.
        size_t last = 0;
        for (size_t i = 0; i < m_entries.size(); ++i)
            if (m_entries[i].attached)
                last = i + 1;
        if (last >= m_entries.size()) {
            m_entries.erase(m_entries.begin() + freeIndex);
            m_entries.push_back(entry);
        } else {
            m_entries[last] = entry;
        }
    } else if (position == atFront) {
        m_entries.erase(m_entries.begin() + freeIndex);
        m_entries.insert(m_entries.begin(), entry);
    } else {
        return -3;
    }
    return ++m_attached;
}

template <class Proc>
int TStatusSignal<Proc>::detach(const Proc& proc, bool wait)
{
    if (proc.empty())
        return -4;
    m_mutex.enter();
    bool found = false;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i].attached || !(m_entries[i].proc == proc))
            continue;
        found = true;
        m_entries[i].attached = false;
        --m_attached;
        if (wait && m_firingThread != Infra::currentThreadId()) {
            while (m_entries[i].running) {
                m_mutex.leave();
                Infra::CThread::sleepMs(10);
                m_mutex.enter();
            }
        }
        if (proc.tag() != Infra::Detail::kFunctionWildcard)
            break;
    }
    int remaining = found ? m_attached : -1;
    m_mutex.leave();
    return remaining;
}

template <class Proc>
bool TStatusSignal<Proc>::isAttached(const Proc& proc)
{
    Infra::CMutexGuard guard(m_mutex);
    for (const Entry& e : m_entries)
        if (e.attached && e.proc == proc)
            return true;
    return false;
}

template <class Proc>
template <class... A>
void TStatusSignal<Proc>::fire(A... args)
{
    m_mutex.enter();
    int previous = m_firingThread;
    m_firingThread = Infra::currentThreadId();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i].attached)
            continue;
        Proc proc = m_entries[i].proc;
        ++m_entries[i].running;
        m_mutex.leave();
        uint64_t start = Infra::CTime::getTickCountUs();
        proc(args...);
        uint64_t end = Infra::CTime::getTickCountUs();
        m_mutex.enter();
        --m_entries[i].running;
        m_entries[i].lastCallUs = end >= start ? end - start : 1;
    }
    m_firingThread = previous;
    m_mutex.leave();
}

} // namespace Component
} // namespace Orvan

#endif
