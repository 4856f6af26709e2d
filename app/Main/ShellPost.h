// Posts a bound call of an owner object to a numbered message loop, with its trace labels.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"

template <class T>
bool ShellPostTask(int loopId, const std::shared_ptr<T>& owner, std::function<void()> call, const char* file,
                   int line, const char* taskName, const char* callerName)
{
    std::shared_ptr<VeyraBase::CSFMessageLoop> loop =
        VeyraBase::CSFMessageLoopManager::Instance()->GetMessageLoop(loopId);
    if (!loop)
        return false;
    std::shared_ptr<VeyraBase::CSFTask> task = VeyraBase::CreateTask<T>(call, owner);
    VeyraBase::SetTaskDebugInfo(task, loopId, file, line, taskName, callerName, 1);
    loop->PostTask(task);
    return true;
}
