// A worker thread whose body is the driver of its own message loop.
#pragma once

#include "Common/SFEvent.h"
#include "Common/SFMessageLoop.h"
#include "Common/SFThread.h"

#include <memory>

namespace VeyraBase {

class CSFThreadEx {
public:
    class CDelegate {
    public:
        virtual int ThreadProc() = 0;
        virtual ~CDelegate() = default;
    };
};

struct CThreadHandle {
    std::shared_ptr<SF_SOFT_BASE::CSFThreadHandle> handle;
};

// Creation record: driver type (1 for every worker) and a second value that is always 0.
struct SF_THREAD_CREATE {
    int nDriverType = SF_LOOP_DEFAULT;
    int nReserved = 0;
};

class CSFThreadEx_Qt : public CSFThreadEx::CDelegate, public std::enable_shared_from_this<CSFThreadEx_Qt> {
public:
    struct CSFThreadData {
        int nDriverType = SF_LOOP_DEFAULT;
        int nReserved = 0;
    };

    static std::shared_ptr<CSFThreadEx_Qt> Create(const SF_THREAD_CREATE& create);

    // Starts the thread without waiting for it; returns 0.
    int Start();
    std::shared_ptr<CSFMessageLoop> GetMessageLoop() const { return m_loop; }
    int ThreadProc() override;

    // Stops the loop's driver after the task at hand and waits up to `milliseconds` for the thread to
    // end; 1 when it ended. For a clean process exit after the Qt loop has returned.
    int StopAndJoin(uint32_t milliseconds = SF_SOFT_BASE::SF_INFINITE);

    CSFThreadEx_Qt() = default;

private:
    static unsigned ThreadEntry(void* param);

    std::shared_ptr<CThreadHandle> m_threadHandle;
    std::shared_ptr<CSFThreadData> m_startData;
    std::shared_ptr<CSFMessageLoop> m_loop;
    SF_SOFT_BASE::CSFThread m_thread;
};

} // namespace VeyraBase
