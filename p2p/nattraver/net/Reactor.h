#ifndef ORVAN_TOU_REACTOR_H
#define ORVAN_TOU_REACTOR_H

#include "Infra3/Function.h"
#include "Infra3/Mutex.h"

#include <map>
#include <vector>

struct timeval;

namespace Orvan {
namespace Tou {

using ReactorHandler = Infra::TFunction1<bool, int>;

class IReactorImp
{
public:
    virtual ~IReactorImp() {}
    // -1 when nothing is registered or the wait failed, else 0. A null time-out waits without limit.
    virtual int dispatch(const timeval* timeout) = 0;
    virtual const char* getName() = 0;
    virtual int getFdCount() = 0;
    virtual int registFd(int fd, const ReactorHandler& handler) = 0;
    virtual int unregistFd(int fd) = 0;
};

// Readability reactor; a handler returning false is unregistered after the pass.
class ReactorSelect : public IReactorImp
{
public:
    static const int kMaxFds = 1024;

    explicit ReactorSelect(int ownerThreadId);
    int dispatch(const timeval* timeout) override;
    const char* getName() override { return "select"; }
    int getFdCount() override;
    int registFd(int fd, const ReactorHandler& handler) override;
    int unregistFd(int fd) override;

private:
    int m_maxFd;
    int m_ownerThreadId;
    std::vector<int> m_readSet;
    std::map<int, ReactorHandler> m_handlers;
    Infra::CMutex m_lock;
};

IReactorImp* createReactor(int type, int ownerThreadId);

} // namespace Tou
} // namespace Orvan

#endif
