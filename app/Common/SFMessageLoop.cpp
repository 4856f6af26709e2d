#include "Common/SFMessageLoop.h"

#include "Common/SFMessageControlDefault.h"
#include "Common/SFMessageControlQt.h"

namespace VeyraBase {

CSFMessageLoop::~CSFMessageLoop() { m_control.reset(); }

void CSFMessageLoop::PostTask(const std::shared_ptr<CSFTask>& task)
{
    if (!task)
        return;
    m_queueA.Push(task);
    if (m_control)
        m_control->Notify();
}

void CSFMessageLoop::PostTaskB(const std::shared_ptr<CSFTask>& task)
{
    if (!task)
        return;
    m_queueB.Push(task);
    if (m_control)
        m_control->Notify();
}

void CSFMessageLoop::Run()
{
    if (m_control)
        m_control->Run();
}

std::shared_ptr<CSFMessageLoop> CreateMessageLoop(int driverType)
{
    auto loop = std::make_shared<CSFMessageLoop>();
    std::weak_ptr<CSFMessageControl::CDelegate> weak = std::static_pointer_cast<CSFMessageControl::CDelegate>(loop);
    if (driverType == SF_LOOP_QT)
        loop->SetControl(std::make_shared<CSFMessageControl_Qt>(weak));
    else if (driverType == SF_LOOP_DEFAULT)
        loop->SetControl(std::make_shared<CSFMessageControl_Default>(weak));
    else
        return nullptr;
    return loop;
}

} // namespace VeyraBase
