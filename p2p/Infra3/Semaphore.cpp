#include "Infra3/Semaphore.h"

#include <chrono>

namespace Orvan {
namespace Infra {

namespace {
const long kMaxCount = 0x7FFFFFFF;
}

CSemaphore::CSemaphore(int initialCount) : m_count(initialCount < 0 ? 0 : initialCount) {}
CSemaphore::~CSemaphore() = default;

int CSemaphore::pend()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cond.wait(lock, [this] { return m_count > 0; });
    --m_count;
    return 0;
}

int CSemaphore::pend(unsigned int timeoutMs)
{
    if (timeoutMs == 0)
        return tryPend();
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_count > 0; }))
        return -1;
    --m_count;
    return 0;
}

int CSemaphore::tryPend()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_count <= 0)
        return -1;
    --m_count;
    return 0;
}

int CSemaphore::post()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_count >= kMaxCount)
            return -1;
        ++m_count;
    }
    m_cond.notify_one();
    return 0;
}

} // namespace Infra
} // namespace Orvan
