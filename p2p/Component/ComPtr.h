#ifndef ORVAN_COMPONENT_COMPTR_H
#define ORVAN_COMPONENT_COMPTR_H

#include "Component/Unknown.h"

#include <utility>

namespace Orvan {
namespace Component {

// Holds a component object and the client it came through (null for the local server).
template <class I>
class TComPtr
{
public:
    TComPtr() : m_object(nullptr), m_client(nullptr) {}

    // Takes over the creation reference of the object and the reference of the client.
    TComPtr(IUnknown* created, IClient* client) : m_object(nullptr), m_client(client)
    {
        IUnknown* object = checkCreatedObject(created);
        m_object = dynamic_cast<I*>(object);
        if (object && !m_object)
            releaseUnknown(object); // not an I: nobody else would release it
    }

    TComPtr(const TComPtr& other) : m_object(other.m_object), m_client(other.m_client)
    {
        addRefUnknown(m_object);
        addRefUnknown(asUnknown(m_client));
    }

    TComPtr& operator=(const TComPtr& other)
    {
        TComPtr copy(other);
        std::swap(m_object, copy.m_object);
        std::swap(m_client, copy.m_client);
        return *this;
    }

    ~TComPtr()
    {
        releaseUnknown(m_object);
        releaseUnknown(asUnknown(m_client));
    }

    I* operator->() const
    {
        applyClientContext(m_client);
        return m_object;
    }
    I* get() const { return m_object; }
    IClient* client() const { return m_client; }
    bool empty() const { return m_object == nullptr; }

private:
    static IUnknown* asUnknown(IClient* client);

    I* m_object;
    IClient* m_client;
};

} // namespace Component
} // namespace Orvan

#include "Component/Client.h"

namespace Orvan {
namespace Component {

template <class I>
IUnknown* TComPtr<I>::asUnknown(IClient* client)
{
    return client;
}

} // namespace Component
} // namespace Orvan

#endif
