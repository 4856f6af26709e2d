// An event that threads wait on: manual or automatic reset.
#pragma once

#include <cstdint>
#include <memory>

namespace SF_SOFT_BASE {

enum : uint32_t { SF_WAIT_OBJECT_0 = 0, SF_WAIT_TIMEOUT = 258, SF_INFINITE = 0xFFFFFFFFu };

class CSFEvent {
public:
    CSFEvent();
    virtual ~CSFEvent();
    CSFEvent(const CSFEvent&) = delete;
    CSFEvent& operator=(const CSFEvent&) = delete;

    // 1 when created, 0 otherwise.
    int Create(int initialState, int manualReset);
    int Set();
    int Reset();
    // 0 signalled, 258 timed out, -1 when no event exists. SF_INFINITE (or -1) waits without limit.
    int Wait(uint32_t milliseconds);
    int Close();

    struct Impl;

private:
    std::unique_ptr<Impl> m_pImpl;
};

} // namespace SF_SOFT_BASE
