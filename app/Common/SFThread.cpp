#include "Common/SFThread.h"

#include "Common/SFEvent.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace SF_SOFT_BASE {

namespace {

std::atomic<unsigned> g_nextThreadId{1};

class ThreadHandle : public CSFThreadHandle {
public:
    ThreadHandle() { m_done.Create(0, 1); }
    int Wait(uint32_t milliseconds) override { return m_done.Wait(milliseconds); }
    unsigned ExitCode() const override { return m_exitCode.load(); }
    void Finish(unsigned code)
    {
        m_exitCode.store(code);
        m_done.Set();
    }

private:
    CSFEvent m_done;
    std::atomic<unsigned> m_exitCode{0};
};

} // namespace

CSFThread::CSFThread() : m_pData(new SFThreadData) {}

CSFThread::~CSFThread() = default;

int CSFThread::Start(unsigned /*stackSize*/, SFThreadRoutine routine, void* param, unsigned /*flags*/,
                     unsigned* threadId)
{
    if (!m_pData)
        return 0;
    if (m_pData->bStarted || m_pData->hThread)
        return 1;
    auto handle = std::make_shared<ThreadHandle>();
    try {
        std::thread thread([handle, routine, param] { handle->Finish(routine ? routine(param) : 0); });
        thread.detach();
    } catch (const std::system_error&) {
        m_pData->bStarted = 0;
        return 0;
    }
    m_pData->hThread = handle;
    m_pData->bStarted = 1;
    if (threadId)
        *threadId = g_nextThreadId.fetch_add(1);
    return 1;
}

} // namespace SF_SOFT_BASE
