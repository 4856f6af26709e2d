#include "nattraver/net/NATEventDriver.h"

#include "Infra3/Time.h"
#include "P2PSDK/Print.h"

#include <algorithm>

namespace Orvan {
namespace NATTraver {

CNATEventDriver::CNATEventDriver(const char* name) : Infra::CThread(name), m_running(false) {}

CNATEventDriver::~CNATEventDriver()
{
    stop();
    Infra::CMutexGuard guard(m_lock);
    m_events.clear();
}

void CNATEventDriver::attach(const NATEvent& event)
{
    Infra::CMutexGuard guard(m_lock);
    m_events.push_back(event);
    TOU_PRINT(Tou::printLevelInfo, "attach event, total event count[%d]\n", int(m_events.size()));
}

int CNATEventDriver::eventCount()
{
    Infra::CMutexGuard guard(m_lock);
    return int(m_events.size());
}

void CNATEventDriver::start()
{
    Infra::CMutexGuard guard(m_lock);
    if (!m_running)
        m_running = CreateThread();
}

void CNATEventDriver::stop()
{
    bool running;
    {
        Infra::CMutexGuard guard(m_lock);
        running = m_running;
        m_running = false;
    }
    if (running)
        DestroyThread();
}

void CNATEventDriver::threadProc()
{
    while (isLooping()) {
        uint64_t now = Infra::CTime::getTickCountMs();
        {
            Infra::CMutexGuard guard(m_lock);
            // Functors may attach more while they run: walk by index.
            std::vector<bool> keep;
            for (size_t i = 0; i < m_events.size(); ++i) {
                NATEvent ev = m_events[i];
                keep.push_back(ev(now));
            }
            size_t w = 0;
            for (size_t i = 0; i < m_events.size(); ++i)
                if (i >= keep.size() || keep[i])
                    m_events[w++] = m_events[i];
            m_events.resize(w);
        }
        sleepMs(10);
    }
}

CNATEventDriver* CNATEventDriverInstance::instance()
{
    static CNATEventDriver* driver = [] {
        auto* d = new CNATEventDriver("Nat Event Driver Instance");
        d->start();
        return d;
    }();
    return driver;
}

} // namespace NATTraver
} // namespace Orvan
