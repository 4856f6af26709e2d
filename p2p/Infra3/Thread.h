#ifndef ORVAN_INFRA_THREAD_H
#define ORVAN_INFRA_THREAD_H

#include "Infra3/Mutex.h"

#include <cstdint>
#include <map>
#include <string>

namespace Orvan {
namespace Infra {

struct ThreadInternal;
class ThreadManagerInternal;

// Named worker thread. A subclass supplies threadProc, which loops while isLooping() is true.
// A subclass must stop its thread (DestroyThread) in its own destructor when threadProc uses its members.
class CThread
{
public:
    enum
    {
        priorDefault = 64,
        policyNormal = 0,
        policyRealtime = 1
    };

    explicit CThread(const char* name = nullptr, int priority = priorDefault, int policy = policyNormal,
                     int stackSize = 0);
    virtual ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    bool CreateThread();
    // Asks the body to stop; from another thread, waits for it to end.
    bool DestroyThread();
    bool cancelThread();
    // Forced termination has no safe equivalent here: stops the thread as DestroyThread does and returns false.
    bool terminateThread();

    bool isLooping() const;
    bool hasExited() const;
    int getThreadId() const;
    const char* getName() const;
    void rename(const char* name);
    void setDeadline(uint32_t milliseconds);
    static bool setDeadlineOfCaller(uint32_t milliseconds);
    bool isOverdue() const;

    static void sleepMs(uint32_t milliseconds);
    static void load(int percent);

    // The system level (15, 2, 1, 0, -1, -2, -15) for a priority 1..127 and a policy.
    static int systemPriorityLevel(int priority, int policy);

protected:
    virtual void threadProc() = 0;

private:
    friend struct ThreadBody;
    ThreadInternal* m_internal;
};

class CThreadManager
{
public:
    static CThreadManager* instance();

    void printThreads();
    bool getOverdueThreads(std::string& names);
    bool getThreadName(int threadId, std::string& name);
    bool hasThread(int threadId);
    void markMainThread();

private:
    CThreadManager();
    ThreadManagerInternal* m_internal;
};

// Balances two shares of load per key; not used by the stack.
class CThreadLoadingController : public CThread
{
public:
    static CThreadLoadingController* instance();

    void attachLoad(int key, int firstShare, int secondShare);
    void detachLoad(int key);
    ~CThreadLoadingController() override;

private:
    CThreadLoadingController();
    void threadProc() override;

    struct Entry
    {
        int firstShare;
        int secondShare;
        int firstCount;
        int secondCount;
    };
    CMutex m_mutex;
    std::map<int, Entry> m_loads;
};

} // namespace Infra
} // namespace Orvan

#endif
