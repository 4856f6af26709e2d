#include "Infra3/ThreadLocalSlot.h"

#include <pthread.h>

namespace Orvan {
namespace Infra {

CThreadLocalSlot::CThreadLocalSlot() : m_key(0), m_valid(false)
{
    pthread_key_t key;
    if (pthread_key_create(&key, nullptr) == 0) {
        m_key = key;
        m_valid = true;
    }
}

CThreadLocalSlot::~CThreadLocalSlot()
{
    if (m_valid)
        pthread_key_delete(m_key);
}

bool CThreadLocalSlot::store(void* value)
{
    if (!m_valid)
        return false;
    return pthread_setspecific(m_key, value) == 0;
}

bool CThreadLocalSlot::load(void*& value) const
{
    if (!m_valid)
        return false;
    value = pthread_getspecific(m_key);
    return true;
}

// Made on first use and never destroyed: threads that are still running at exit may use them.
CThreadLocalSlot& functionTagSlot()
{
    static CThreadLocalSlot* slot = new CThreadLocalSlot;
    return *slot;
}

CThreadLocalSlot& lastErrorSlot()
{
    static CThreadLocalSlot* slot = new CThreadLocalSlot;
    return *slot;
}

CThreadLocalSlot& currentClientSlot()
{
    static CThreadLocalSlot* slot = new CThreadLocalSlot;
    return *slot;
}

namespace {
// The three slots exist from static initialisation on.
struct SlotMaker
{
    SlotMaker()
    {
        functionTagSlot();
        lastErrorSlot();
        currentClientSlot();
    }
} s_slotMaker;
} // namespace

} // namespace Infra
} // namespace Orvan
