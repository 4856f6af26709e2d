#include "Common/SFThreadEx.h"

namespace VeyraBase {

std::shared_ptr<CSFThreadEx_Qt> CSFThreadEx_Qt::Create(const SF_THREAD_CREATE& create)
{
    auto thread = std::make_shared<CSFThreadEx_Qt>();
    thread->m_threadHandle = std::make_shared<CThreadHandle>();
    thread->m_startData = std::make_shared<CSFThreadData>();
    thread->m_startData->nDriverType = create.nDriverType;
    thread->m_startData->nReserved = create.nReserved;
    thread->m_loop = CreateMessageLoop(create.nDriverType);
    return thread;
}

int CSFThreadEx_Qt::Start()
{
    // No handshake: the loop exists already, takes posts before it runs and a stop before it runs
    // ends it at once.
    auto* self = new std::shared_ptr<CSFThreadEx_Qt>(shared_from_this());
    if (!m_thread.Start(0, &CSFThreadEx_Qt::ThreadEntry, self, 0, nullptr)) {
        delete self;
        return 0;
    }
    m_threadHandle->handle = m_thread.GetThreadData()->hThread;
    return 0;
}

unsigned CSFThreadEx_Qt::ThreadEntry(void* param)
{
    auto* handed = static_cast<std::shared_ptr<CSFThreadEx_Qt>*>(param);
    std::shared_ptr<CSFThreadEx_Qt> self = *handed;
    delete handed;
    self->ThreadProc();
    self.reset();
    return 0;
}

int CSFThreadEx_Qt::ThreadProc()
{
    if (m_loop)
        m_loop->Run();
    return 0;
}

int CSFThreadEx_Qt::StopAndJoin(uint32_t milliseconds)
{
    if (m_loop) {
        if (auto control = m_loop->GetControl())
            control->Stop();
    }
    auto handle = m_threadHandle ? m_threadHandle->handle : nullptr;
    if (!handle)
        return 1;
    return handle->Wait(milliseconds) == SF_SOFT_BASE::SF_WAIT_OBJECT_0 ? 1 : 0;
}

} // namespace VeyraBase
