// An operating-system thread running a plain start routine. The object never joins or stops it;
// whoever needs the end waits on the handle of GetThreadData.
#pragma once

#include <cstdint>
#include <memory>

namespace SF_SOFT_BASE {

typedef unsigned (*SFThreadRoutine)(void* param);

// Handle of a started thread: tells when the routine has returned.
class CSFThreadHandle {
public:
    virtual ~CSFThreadHandle() = default;
    // 0 when the thread has ended, 258 when still running after the wait; SF_INFINITE waits without limit.
    virtual int Wait(uint32_t milliseconds) = 0;
    virtual unsigned ExitCode() const = 0;
};

struct SFThreadData {
    int bStarted = 0;
    std::shared_ptr<CSFThreadHandle> hThread;
};

class CSFThread {
public:
    CSFThread();
    virtual ~CSFThread();
    CSFThread(const CSFThread&) = delete;
    CSFThread& operator=(const CSFThread&) = delete;

    // 1 started (or already started), 0 when creation failed. Stack size and flags are accepted and ignored.
    int Start(unsigned stackSize, SFThreadRoutine routine, void* param, unsigned flags, unsigned* threadId);
    SFThreadData* GetThreadData() { return m_pData.get(); }

private:
    std::unique_ptr<SFThreadData> m_pData;
};

} // namespace SF_SOFT_BASE
