#include "Infra3/RecursiveLock.h"

#include "Infra3/CurrentThread.h"

namespace Orvan {
namespace Infra {

CRecursiveLock::CRecursiveLock() : m_count(0), m_owner(0) {}
CRecursiveLock::~CRecursiveLock() = default;

bool CRecursiveLock::enter()
{
    int self = currentThreadId();
    // Only the holder can find its own id here.
    if (m_owner.load(std::memory_order_relaxed) == self) {
        ++m_count;
        return true;
    }
    m_section.lock();
    m_owner.exchange(self);
    m_count = 1;
    return true;
}

bool CRecursiveLock::leave()
{
    if (--m_count == 0) {
        m_owner.exchange(0);
        m_section.unlock();
    }
    return true;
}

} // namespace Infra
} // namespace Orvan
