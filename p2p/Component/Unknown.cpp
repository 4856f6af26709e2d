#include "Component/Unknown.h"

#include "Component/Client.h"
#include "Component/ObjectTable.h"
#include "Infra3/Error.h"
#include "Infra3/ThreadLocalSlot.h"

#include <atomic>

namespace Orvan {
namespace Component {

struct IUnknown::Internal
{
    std::atomic<int> refCount{1};
    std::atomic<int> instance{0};
    bool registered = false;
    std::string name;
    Detail::CObjectTable* table = nullptr;
};

const ServerInfo localServer = {};

IUnknown::IUnknown() : m_internal(new Internal) {}

IUnknown::~IUnknown()
{
    delete m_internal;
}

int IUnknown::addRef()
{
    m_internal->instance.exchange(1);
    return ++m_internal->refCount;
}

int IUnknown::release()
{
    Detail::CObjectTable* table = m_internal->table;
    if (table)
        table->lock();
    int count = --m_internal->refCount;
    if (count == 0) {
        if (table) {
            table->erase(this);
            table->unlock();
            table = nullptr;
        }
        if (m_internal->name.empty()) {
            destroy();
        } else {
            std::string name = m_internal->name;
            destroyComponent(this, name.c_str(), m_internal->registered);
        }
    }
    if (table)
        table->unlock();
    return count;
}

int decreaseRefCount(IUnknown* object)
{
    ORVAN_ASSERT(object);
    return --object->m_internal->refCount;
}

int referenceCount(IUnknown* object)
{
    ORVAN_ASSERT(object);
    return object->m_internal->refCount;
}

void setObjectTable(IUnknown* object, Detail::CObjectTable* table)
{
    ORVAN_ASSERT(object);
    object->m_internal->table = table;
}

void makeInstanceForTable(IUnknown* object)
{
    ORVAN_ASSERT(object);
    if (object->m_internal->instance.exchange(1) == 1)
        ++object->m_internal->refCount;
}

IUnknown* checkCreatedObject(IUnknown* object)
{
    if (!object) {
        Infra::setLastError(errorCreateObjectFailed);
        return nullptr;
    }
    if (!object->m_internal->table)
        object->m_internal->instance = 1;
    return object;
}

IUnknown* checkObtainedInstance(IUnknown* object)
{
    if (!object) {
        Infra::setLastError(errorGetInstanceFailed);
        return nullptr;
    }
    if (!object->m_internal->table && object->m_internal->instance.exchange(1) == 1)
        ++object->m_internal->refCount;
    return object;
}

void addRefUnknown(IUnknown* object)
{
    if (object)
        object->addRef();
}

void releaseUnknown(IUnknown* object)
{
    if (!object)
        return;
    if (IClient* client = dynamic_cast<IClient*>(object))
        ClientFactory::releaseClientObject(client);
    else
        object->release();
}

void applyClientContext(IClient* client)
{
    if (!client)
        return;
    int context = -1;
    client->getContext(&context);
    Infra::currentClientSlot().store(reinterpret_cast<void*>(static_cast<intptr_t>(context)));
}

void* getCurrentClientContext()
{
    void* value = nullptr;
    Infra::currentClientSlot().load(value);
    return value;
}

// Named-component bookkeeping used by NamedComponent.cpp.
void setComponentName(IUnknown* object, const std::string& name, bool registered)
{
    object->m_internal->name = name;
    object->m_internal->registered = registered;
}

} // namespace Component
} // namespace Orvan
