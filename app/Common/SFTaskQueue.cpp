#include "Common/SFTaskQueue.h"

namespace VeyraBase {

CSFTaskQueue::~CSFTaskQueue()
{
    std::deque<std::shared_ptr<CSFTask>> incoming;
    std::deque<std::shared_ptr<CSFTask>> working;
    {
        SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
        incoming.swap(m_incoming);
        working.swap(m_working);
    }
    // Released outside the lock: an owner's destructor may post.
}

int CSFTaskQueue::ExecuteOne()
{
    if (m_working.empty()) {
        SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
        if (m_incoming.empty())
            return 0;
        m_working.swap(m_incoming);
    }
    std::shared_ptr<CSFTask> task;
    task.swap(m_working.front());
    m_working.pop_front();
    task->Execute();
    task.reset();
    return 1;
}

void CSFTaskQueue::Push(const std::shared_ptr<CSFTask>& task)
{
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    m_incoming.push_back(task);
}

bool CSFTaskQueue::IsEmpty()
{
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    return m_incoming.empty();
}

} // namespace VeyraBase
