#include "Common/SFMessageLoopManager.h"

namespace VeyraBase {

std::shared_ptr<CSFMessageLoopManager> CSFMessageLoopManager::Instance()
{
    // Lives until the process ends: never destroyed after the Qt application is gone.
    static auto* instance = new std::shared_ptr<CSFMessageLoopManager>(std::make_shared<CSFMessageLoopManager>());
    return *instance;
}

void CSFMessageLoopManager::RegisterLoop(const std::shared_ptr<CSFMessageLoop>& loop, int id)
{
    std::shared_ptr<CSFMessageLoop> old;
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    auto it = m_loops.find(id);
    if (it != m_loops.end()) {
        old.swap(it->second);
        m_loops.erase(it);
    }
    m_loops[id] = loop;
    lock.Unlock();
}

std::shared_ptr<CSFMessageLoop> CSFMessageLoopManager::GetMessageLoop(int id)
{
    SF_SOFT_BASE::CSFToolAutoMutexLock lock(m_lock);
    return m_loops[id];
}

} // namespace VeyraBase
