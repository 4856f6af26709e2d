#include "Proxy/ProxyEventDriver.h"

#include <sys/time.h>

namespace Orvan {
namespace Tou {

CProxyEventDriver::CProxyEventDriver(const Task& task)
    : CThread("Proxy Event Driver", priorDefault, policyNormal), m_task(task)
{
    CreateThread();
}

CProxyEventDriver::~CProxyEventDriver()
{
    stop();
    Infra::CMutexGuard lock(m_lock);
    m_reactors.clear();
}

void CProxyEventDriver::stop()
{
    if (!hasExited())
        DestroyThread();
}

Memory::TSharedPtr<IReactorImp> CProxyEventDriver::getReactor()
{
    bool empty;
    {
        Infra::CMutexGuard lock(m_lock);
        empty = m_reactors.empty();
    }
    if (empty && getThreadId() == -1)
        sleepMs(100); // the reactor is owned by the driver thread: give it time to start
    Infra::CMutexGuard lock(m_lock);
    if (m_reactors.empty())
        m_reactors.push_back(Memory::TSharedPtr<IReactorImp>(createReactor(2, getThreadId())));
    return m_reactors.front();
}

void CProxyEventDriver::threadProc()
{
    while (isLooping()) {
        {
            Infra::CMutexGuard lock(m_lock);
            for (auto& reactor : m_reactors) {
                timeval zero = {0, 0};
                reactor->dispatch(&zero);
            }
        }
        m_task();
        sleepMs(10);
    }
}

} // namespace Tou
} // namespace Orvan
