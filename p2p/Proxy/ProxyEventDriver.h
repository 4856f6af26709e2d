// The worker thread of one proxy client: a non-blocking pass of its reactor (accepting the TCP
// connections of mapped ports), then the client's periodic task, every 10 ms.
#ifndef ORVAN_TOU_PROXYEVENTDRIVER_H
#define ORVAN_TOU_PROXYEVENTDRIVER_H

#include "Infra3/Function.h"
#include "Infra3/Mutex.h"
#include "Infra3/Thread.h"
#include "Memory/SharedPtr.h"
#include "nattraver/net/Reactor.h"

#include <vector>

namespace Orvan {
namespace Tou {

class CProxyEventDriver : public Infra::CThread
{
public:
    using Task = Infra::TFunction0<void>;

    // Starts the thread at once.
    explicit CProxyEventDriver(const Task& task);
    ~CProxyEventDriver() override;

    Memory::TSharedPtr<IReactorImp> getReactor();
    void stop();

private:
    void threadProc() override;

    Infra::CMutex m_lock;
    std::vector<Memory::TSharedPtr<IReactorImp>> m_reactors;
    Task m_task;
};

} // namespace Tou
} // namespace Orvan

#endif
