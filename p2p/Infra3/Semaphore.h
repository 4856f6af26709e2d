#ifndef ORVAN_INFRA_SEMAPHORE_H
#define ORVAN_INFRA_SEMAPHORE_H

#include <condition_variable>
#include <mutex>

namespace Orvan {
namespace Infra {

// Counting semaphore, maximum count 0x7FFFFFFF. Every call returns 0 on success, -1 otherwise.
class CSemaphore
{
public:
    explicit CSemaphore(int initialCount = 0);
    ~CSemaphore();
    CSemaphore(const CSemaphore&) = delete;
    CSemaphore& operator=(const CSemaphore&) = delete;

    int pend();
    int pend(unsigned int timeoutMs);
    int tryPend();
    int post();

private:
    std::mutex m_mutex;
    std::condition_variable m_cond;
    long m_count;
};

} // namespace Infra
} // namespace Orvan

#endif
