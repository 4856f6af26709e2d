#include "Common/SFMessageControlDefault.h"

#include <chrono>
#include <thread>

namespace VeyraBase {

CSFMessageControl_Default::CSFMessageControl_Default(const std::weak_ptr<CDelegate>& loop) : CSFMessageControl(loop)
{
    m_wakeEvent.Create(1, 1);
}

CSFMessageControl_Default::~CSFMessageControl_Default()
{
    if (m_bRunning.load())
        Stop();
    m_wakeEvent.Close();
}

void CSFMessageControl_Default::Run()
{
    if (m_loop.expired() || !m_bRunning.load())
        return;
    do {
        std::shared_ptr<CDelegate> loop = m_loop.lock();
        if (!loop)
            return;
        if (loop->RunTaskA() || loop->RunTaskB()) {
            loop.reset();
            std::this_thread::sleep_for(std::chrono::milliseconds(PAUSE_AFTER_TASK_MS));
            continue;
        }
        SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
        if (loop->IsIdle() && m_bRunning.load()) {
            m_wakeEvent.Reset();
            lock.Unlock();
            loop.reset();
            m_wakeEvent.Wait(SF_SOFT_BASE::SF_INFINITE);
        }
    } while (m_bRunning.load());
}

void CSFMessageControl_Default::Notify()
{
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    m_wakeEvent.Set();
}

void CSFMessageControl_Default::Stop()
{
    m_bRunning.store(0);
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    m_wakeEvent.Set();
}

} // namespace VeyraBase
