#ifndef ORVAN_NATTRAVER_NATEVENTDRIVER_H
#define ORVAN_NATTRAVER_NATEVENTDRIVER_H

#include "Infra3/Function.h"
#include "Infra3/Mutex.h"
#include "Infra3/Thread.h"

#include <cstdint>
#include <vector>

namespace Orvan {
namespace NATTraver {

// Called with the millisecond tick; false ends it.
using NATEvent = Infra::TFunction1<bool, uint64_t>;

// Thread that calls its attached functors every 10 ms until each says it is finished.
class CNATEventDriver : public Infra::CThread
{
public:
    explicit CNATEventDriver(const char* name = "Nat Event Driver");
    ~CNATEventDriver() override;

    void attach(const NATEvent& event);
    void start();
    void stop();
    int eventCount();

protected:
    void threadProc() override;

private:
    Infra::CMutex m_lock;
    std::vector<NATEvent> m_events;
    bool m_running;
};

// The process-wide driver.
class CNATEventDriverInstance
{
public:
    static CNATEventDriver* instance();
};

} // namespace NATTraver
} // namespace Orvan

#endif
