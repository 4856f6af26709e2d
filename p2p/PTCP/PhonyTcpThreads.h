// The two process-wide threads of PTCP: "Phony Tcp Timer" ticks every attached transport every
// 10 ms; "Phony Tcp Reactor" reads the datagrams of every registered descriptor.
#ifndef ORVAN_TOU_PHONYTCPTHREADS_H
#define ORVAN_TOU_PHONYTCPTHREADS_H

#include "Infra3/Function.h"
#include "Infra3/Thread.h"
#include "nattraver/net/Reactor.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace Orvan {
namespace Tou {

using TimerProc = Infra::TFunction1<void, uint64_t>;

class CPhonyTcpTimer : public Infra::CThread
{
public:
    static CPhonyTcpTimer* instance();
    ~CPhonyTcpTimer() override;

    // Number of callbacks held after the attach; -4 empty functor, -2 already attached. The table
    // grows as needed, so every connection of the process gets its clock.
    int attach(const TimerProc& proc);
    // Number left, or -1 when none matched. Once it returns, the callback is not running.
    int detach(const TimerProc& proc);
    int count();

private:
    CPhonyTcpTimer();
    void threadProc() override;

    struct Slot {
        TimerProc proc;
        bool inUse = false;
        int busy = 0;
        uint64_t lastCallUs = 0;
    };
    std::recursive_mutex m_round; // held while a round of calls runs
    std::mutex m_table;
    std::vector<Slot> m_slots;
};

class CPhonyTcpReactor : public Infra::CThread
{
public:
    static CPhonyTcpReactor* instance();
    ~CPhonyTcpReactor() override;
    int registFd(int fd, const ReactorHandler& handler);
    // Once it returns, the handler of fd is not running.
    int unregistFd(int fd);

private:
    CPhonyTcpReactor();
    void threadProc() override;

    std::unique_ptr<IReactorImp> m_reactor;
};

} // namespace Tou
} // namespace Orvan

#endif
