#include "Common/SFEvent.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace SF_SOFT_BASE {

namespace {
struct EventState {
    std::mutex mutex;
    std::condition_variable cv;
    bool signalled = false;
    bool manualReset = false;
};
} // namespace

struct CSFEvent::Impl {
    int created = 0;
    int manualReset = 0;
    std::shared_ptr<EventState> handle;
};

CSFEvent::CSFEvent() : m_pImpl(new Impl) {}

CSFEvent::~CSFEvent() { Close(); }

int CSFEvent::Create(int initialState, int manualReset)
{
    auto state = std::make_shared<EventState>();
    state->signalled = initialState != 0;
    state->manualReset = manualReset != 0;
    m_pImpl->handle = state;
    m_pImpl->manualReset = manualReset;
    m_pImpl->created = 1;
    return 1;
}

int CSFEvent::Set()
{
    auto state = m_pImpl->handle;
    if (!state)
        return 0;
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->signalled = true;
    }
    if (state->manualReset)
        state->cv.notify_all();
    else
        state->cv.notify_one();
    return 1;
}

int CSFEvent::Reset()
{
    auto state = m_pImpl->handle;
    if (!state)
        return 0;
    std::lock_guard<std::mutex> lock(state->mutex);
    state->signalled = false;
    return 1;
}

int CSFEvent::Wait(uint32_t milliseconds)
{
    auto state = m_pImpl->handle;
    if (!state)
        return -1;
    std::unique_lock<std::mutex> lock(state->mutex);
    auto ready = [&] { return state->signalled; };
    if (milliseconds == SF_INFINITE) {
        state->cv.wait(lock, ready);
    } else if (!state->cv.wait_for(lock, std::chrono::milliseconds(milliseconds), ready)) {
        return SF_WAIT_TIMEOUT;
    }
    if (!state->manualReset)
        state->signalled = false;
    return SF_WAIT_OBJECT_0;
}

int CSFEvent::Close()
{
    if (!m_pImpl)
        return 0;
    m_pImpl->handle.reset();
    m_pImpl->created = 0;
    return 1;
}

} // namespace SF_SOFT_BASE
