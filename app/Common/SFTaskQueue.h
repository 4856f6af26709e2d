// Double-buffered FIFO of tasks: posts go to the incoming queue; the loop's thread swaps it in whole
// when its working queue runs dry.
#pragma once

#include "Common/SFTask.h"
#include "Common/SFToolMutex.h"

#include <deque>
#include <memory>

namespace VeyraBase {

class CSFTaskQueue {
public:
    CSFTaskQueue() = default;
    ~CSFTaskQueue();
    CSFTaskQueue(const CSFTaskQueue&) = delete;
    CSFTaskQueue& operator=(const CSFTaskQueue&) = delete;

    // Runs the next task on the calling (loop) thread: 1 when one ran, 0 when none waited.
    virtual int ExecuteOne();
    void Push(const std::shared_ptr<CSFTask>& task);
    // Whether the incoming queue is empty (the working queue is not looked at).
    bool IsEmpty();

private:
    std::deque<std::shared_ptr<CSFTask>> m_incoming;
    std::deque<std::shared_ptr<CSFTask>> m_working;
    SF_SOFT_BASE::CSFToolMutex m_lock;
};

} // namespace VeyraBase
