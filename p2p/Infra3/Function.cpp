#include "Infra3/Function.h"

#include "Infra3/ThreadLocalSlot.h"

namespace Orvan {
namespace Infra {

void setThreadFunctionTag(uint32_t tag)
{
    functionTagSlot().store(reinterpret_cast<void*>(static_cast<uintptr_t>(tag)));
}

uint32_t getThreadFunctionTag()
{
    void* value = nullptr;
    functionTagSlot().load(value);
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value));
}

} // namespace Infra
} // namespace Orvan
