#ifndef ORVAN_INFRA_TIMER_H
#define ORVAN_INFRA_TIMER_H

#include "Infra3/Function.h"

#include <cstdint>

namespace Orvan {
namespace Infra {

struct TimerInternal;
class TimerManagerInternal;

// Named timer; its procedure runs on a pooled thread, once or periodically, never twice at once.
class CTimer
{
public:
    using TimerProc = TFunction1<void, unsigned int>;

    explicit CTimer(const char* name = nullptr);
    virtual ~CTimer();
    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;

    // A delay of 0 fires at once; a period of 0 makes a one-shot timer.
    bool start(const TimerProc& proc, uint32_t delayMs, uint32_t periodMs, uint32_t param = 0,
               uint32_t timeoutMs = 0);
    bool cancel(bool fireNow = false);
    // Cancels and waits for a running call (not when called from the timer's own procedure).
    bool Stop();
    void setPeriod(uint32_t periodMs);
    void setStatistics(bool on);

    const char* getName() const;
    bool isStarted() const;
    bool isFired() const;
    bool isCalling() const;

private:
    TimerInternal* m_internal;
};

class CTimerManager
{
public:
    static CTimerManager* instance();

    bool setMaxIdleThreads(int count);
    void printTimerTable();

private:
    CTimerManager();
    TimerManagerInternal* m_internal;
};

} // namespace Infra
} // namespace Orvan

#endif
