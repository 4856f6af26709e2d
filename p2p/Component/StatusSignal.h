#ifndef ORVAN_COMPONENT_STATUSSIGNAL_H
#define ORVAN_COMPONENT_STATUSSIGNAL_H

#include "Infra3/Function.h"
#include "Infra3/Mutex.h"

#include <cstdint>
#include <vector>

namespace Orvan {
namespace Component {

// Fixed-size list of procedures fired in order; the lock is released around each call.
template <class Proc>
class TStatusSignal
{
public:
    enum Position
    {
        anyFree = 0,
        atEnd = 1,
        atFront = 2
    };

    explicit TStatusSignal(size_t capacity) : m_entries(capacity), m_attached(0), m_firingThread(-1) {}

    // The new number of attached procedures, or -4 empty, -5 wildcard, -2 already attached, -3 no room.
    int attach(const Proc& proc, int position);
    // The remaining number, -4 empty, -1 not found. With wait, waits until the entry's call has ended.
    int detach(const Proc& proc, bool wait);
    bool isAttached(const Proc& proc);

    template <class... A>
    void fire(A... args);

private:
    struct Entry
    {
        Proc proc;
        bool attached = false;
        uint8_t running = 0;
        uint64_t lastCallUs = 0;
    };

    std::vector<Entry> m_entries;
    int m_attached;
    Infra::CMutex m_mutex;
    int m_firingThread;
};

} // namespace Component
} // namespace Orvan

#include "Component/StatusSignalImpl.h"

#endif
