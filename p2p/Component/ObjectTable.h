#ifndef ORVAN_COMPONENT_OBJECTTABLE_H
#define ORVAN_COMPONENT_OBJECTTABLE_H

#include "Component/Unknown.h"
#include "Infra3/Function.h"
#include "Infra3/Mutex.h"

#include <vector>

namespace Orvan {
namespace Component {
namespace Detail {

// Table of singleton objects; an object leaves it when its count reaches 0.
class CObjectTable
{
public:
    using Predicate = Infra::TFunction1<bool, IUnknown*>;

    void insert(IUnknown* object);
    // The first object the predicate accepts, with a reference for the caller; null when none.
    IUnknown* find(const Predicate& predicate);
    IUnknown* get(size_t index);
    size_t count();
    void erase(IUnknown* object);

    void lock() { m_mutex.enter(); }
    void unlock() { m_mutex.leave(); }

private:
    Infra::CMutex m_mutex;
    std::vector<IUnknown*> m_objects;
};

} // namespace Detail
} // namespace Component
} // namespace Orvan

#endif
