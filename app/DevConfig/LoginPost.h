// How the device configuration worker and its GUI logic post bound calls to each other.
#pragma once

#include "DevConfig/CLoginLogic.h"
#include "DevConfig/CLoginUILogic.h"
#include "Main/ShellPost.h"

// Locks the GUI logic and posts `call(logic)` to loop 1; a GUI logic that is gone drops it.
template <class F>
void CLoginLogic::PostUi(F call, const char* taskName, const char* callerName, int line)
{
    std::shared_ptr<CLoginUILogic> ui = m_wpUILogic.lock();
    if (!ui)
        return;
    ShellPostTask<CLoginUILogic>(
        VeyraBase::ML_MAIN, ui, [ui, call]() mutable { call(*ui); }, __FILE__, line, taskName, callerName);
}

// Posts `call(worker)` to loop 3.
template <class F>
void CLoginUILogic::PostWorker(F call, const char* taskName, const char* callerName, int line)
{
    std::shared_ptr<CLoginLogic> worker = m_pWorker;
    if (!worker)
        return;
    ShellPostTask<CLoginLogic>(
        VeyraBase::ML_SDK, worker, [worker, call]() mutable { call(*worker); }, __FILE__, line, taskName,
        callerName);
}
