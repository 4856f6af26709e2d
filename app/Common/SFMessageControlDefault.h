// Worker-thread driver: runs one task at a time, pauses 5 ms after each, waits when both queues are empty.
#pragma once

#include "Common/SFEvent.h"
#include "Common/SFMessageControl.h"
#include "Common/SFToolMutex.h"

#include <atomic>

namespace VeyraBase {

class CSFMessageControl_Default : public CSFMessageControl {
public:
    enum { PAUSE_AFTER_TASK_MS = 5 };

    explicit CSFMessageControl_Default(const std::weak_ptr<CDelegate>& loop);
    ~CSFMessageControl_Default() override;

    // The thread body; returns after Stop, once the task at hand and its pause are done.
    void Run() override;
    void Notify() override;
    void Stop() override;
    void Wake() override { Notify(); }

private:
    std::atomic<int> m_bRunning{1};
    SF_SOFT_BASE::CSFEvent m_wakeEvent;
    SF_SOFT_BASE::CSFToolMutex m_lock;
};

} // namespace VeyraBase
