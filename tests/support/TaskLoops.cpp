#include "TaskLoops.h"

#include <memory>

#include "Common/SFMessageLoopManager.h"
#include "Common/SFThreadEx.h"

using namespace VeyraBase;

namespace vxtest {
namespace {

std::shared_ptr<CSFThreadEx_Qt> StartLoops()
{
    if (!CSFMessageLoopManager::Instance()->GetMessageLoop(ML_MAIN))
        CSFMessageLoopManager::Instance()->RegisterLoop(CreateMessageLoop(SF_LOOP_QT), ML_MAIN);
    std::shared_ptr<CSFThreadEx_Qt> worker = CSFThreadEx_Qt::Create(SF_THREAD_CREATE{});
    worker->Start();
    CSFMessageLoopManager::Instance()->RegisterLoop(worker->GetMessageLoop(), ML_SDK);
    return worker;
}

std::shared_ptr<CSFThreadEx_Qt> s_suiteWorker;

} // namespace

void EnsureTaskLoops()
{
    static std::shared_ptr<CSFThreadEx_Qt> worker;
    if (!worker)
        worker = StartLoops();
}

void StartSuiteLoops()
{
    s_suiteWorker = StartLoops();
}

void StopSuiteLoops()
{
    s_suiteWorker->StopAndJoin(20000);
    s_suiteWorker.reset();
}

} // namespace vxtest
