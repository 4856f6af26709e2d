// A message loop: two task queues (A for every post, B of lower priority) and one driver.
#pragma once

#include "Common/SFMessageControl.h"
#include "Common/SFTaskQueue.h"

#include <memory>

namespace VeyraBase {

class CSFMessageLoop : public CSFMessageControl::CDelegate, public std::enable_shared_from_this<CSFMessageLoop> {
public:
    CSFMessageLoop() = default;
    virtual ~CSFMessageLoop();
    CSFMessageLoop(const CSFMessageLoop&) = delete;
    CSFMessageLoop& operator=(const CSFMessageLoop&) = delete;

    // Queues the task and wakes the loop's thread; an empty pointer is ignored. Any thread.
    void PostTask(const std::shared_ptr<CSFTask>& task);
    // Queue B; the system never posts there, the drivers poll it after A.
    void PostTaskB(const std::shared_ptr<CSFTask>& task);
    void Run();
    std::shared_ptr<CSFMessageControl> GetControl() const { return m_control; }
    void SetControl(const std::shared_ptr<CSFMessageControl>& control) { m_control = control; }

    int RunTaskA() override { return m_queueA.ExecuteOne(); }
    int Reserved() override { return 0; }
    int RunTaskB() override { return m_queueB.ExecuteOne(); }
    int IsIdle() override { return m_queueA.IsEmpty() && m_queueB.IsEmpty(); }

private:
    CSFTaskQueue m_queueA;
    CSFTaskQueue m_queueB;
    std::shared_ptr<CSFMessageControl> m_control;
};

// Driver type 0: the Qt GUI thread (needs the application object); 1: a worker thread.
enum { SF_LOOP_QT = 0, SF_LOOP_DEFAULT = 1 };
std::shared_ptr<CSFMessageLoop> CreateMessageLoop(int driverType);

} // namespace VeyraBase
