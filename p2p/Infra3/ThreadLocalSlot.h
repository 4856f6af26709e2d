#ifndef ORVAN_INFRA_THREADLOCALSLOT_H
#define ORVAN_INFRA_THREADLOCALSLOT_H

namespace Orvan {
namespace Infra {

// One pointer-sized value per thread; null for a thread that never stored one.
class CThreadLocalSlot
{
public:
    CThreadLocalSlot();
    ~CThreadLocalSlot();
    CThreadLocalSlot(const CThreadLocalSlot&) = delete;
    CThreadLocalSlot& operator=(const CThreadLocalSlot&) = delete;

    bool store(void* value);
    bool load(void*& value) const;
    bool valid() const { return m_valid; }

private:
    unsigned int m_key;
    bool m_valid;
};

// The process-wide slots: functor tag, last error, current client. They live until the process ends.
CThreadLocalSlot& functionTagSlot();
CThreadLocalSlot& lastErrorSlot();
CThreadLocalSlot& currentClientSlot();

} // namespace Infra
} // namespace Orvan

#endif
