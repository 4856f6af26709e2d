#include "Component/ObjectTable.h"

#include "Infra3/Error.h"

#include <algorithm>

namespace Orvan {
namespace Component {
namespace Detail {

void CObjectTable::insert(IUnknown* object)
{
    Infra::CMutexGuard guard(m_mutex);
    setObjectTable(object, this);
    makeInstanceForTable(object);
    m_objects.push_back(object);
}

IUnknown* CObjectTable::find(const Predicate& predicate)
{
    Infra::CMutexGuard guard(m_mutex);
    for (IUnknown* object : m_objects) {
        if (predicate(object)) {
            makeInstanceForTable(object);
            return object;
        }
    }
    return nullptr;
}

IUnknown* CObjectTable::get(size_t index)
{
    Infra::CMutexGuard guard(m_mutex);
    if (!(index < m_objects.size()))
        Infra::assertionFailed("index < m_internal->objects.size()", __PRETTY_FUNCTION__, __FILE__, __LINE__);
    return m_objects[index];
}

size_t CObjectTable::count()
{
    Infra::CMutexGuard guard(m_mutex);
    return m_objects.size();
}

void CObjectTable::erase(IUnknown* object)
{
    Infra::CMutexGuard guard(m_mutex);
    m_objects.erase(std::remove(m_objects.begin(), m_objects.end(), object), m_objects.end());
}

} // namespace Detail
} // namespace Component
} // namespace Orvan
