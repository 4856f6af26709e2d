#include "Infra3/Mutex.h"

namespace Orvan {
namespace Infra {

CMutex::CMutex() = default;
CMutex::~CMutex() = default;

bool CMutex::enter()
{
    m_section.lock();
    return true;
}

bool CMutex::tryEnter()
{
    return m_section.try_lock();
}

bool CMutex::leave()
{
    m_section.unlock();
    return true;
}

} // namespace Infra
} // namespace Orvan
