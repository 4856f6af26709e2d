#include "nattraver/net/Reactor.h"

#include "Infra3/CurrentThread.h"
#include "P2PSDK/Print.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/time.h>

namespace Orvan {
namespace Tou {

IReactorImp* createReactor(int /*type*/, int ownerThreadId)
{
    return new ReactorSelect(ownerThreadId);
}

ReactorSelect::ReactorSelect(int ownerThreadId) : m_maxFd(-1), m_ownerThreadId(ownerThreadId) {}

int ReactorSelect::getFdCount()
{
    Infra::CMutexGuard guard(m_lock);
    return int(m_handlers.size());
}

int ReactorSelect::registFd(int fd, const ReactorHandler& handler)
{
    if (fd <= 0)
        return -1;
    if (Infra::currentThreadId() != m_ownerThreadId)
        TOU_PRINT(printLevelTrace, "regist with diff thread!\n");
    Infra::CMutexGuard guard(m_lock);
    if (std::find(m_readSet.begin(), m_readSet.end(), fd) == m_readSet.end() && int(m_readSet.size()) < kMaxFds)
        m_readSet.push_back(fd);
    m_handlers[fd] = handler;
    m_maxFd = std::max(m_maxFd, fd);
    TOU_PRINT(printLevelTrace, "registFd Inner [%d]!!!\n", fd);
    return 0;
}

int ReactorSelect::unregistFd(int fd)
{
    if (fd <= 0)
        return -1;
    if (Infra::currentThreadId() != m_ownerThreadId)
        TOU_PRINT(printLevelTrace, "unregistFd with diff thread!\n");
    Infra::CMutexGuard guard(m_lock);
    m_readSet.erase(std::remove(m_readSet.begin(), m_readSet.end(), fd), m_readSet.end());
    m_handlers.erase(fd);
    TOU_PRINT(printLevelTrace, "unregistFd Inner [%d]!!!\n", fd);
    return 0;
}

int ReactorSelect::dispatch(const timeval* timeout)
{
    std::vector<pollfd> scratch;
    {
        Infra::CMutexGuard guard(m_lock);
        if (m_readSet.empty())
            return -1;
        for (int fd : m_readSet)
            scratch.push_back(pollfd{fd, POLLIN, 0});
    }
    int ms = timeout ? int(timeout->tv_sec * 1000 + (timeout->tv_usec + 999) / 1000) : -1;
    int rc = ::poll(scratch.data(), scratch.size(), ms);
    if (rc < 0)
        return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
    if (rc == 0)
        return 0;
    std::vector<int> ready;
    for (const pollfd& p : scratch)
        if (p.revents & (POLLIN | POLLERR | POLLHUP | POLLNVAL))
            ready.push_back(p.fd);
    std::sort(ready.begin(), ready.end());
    Infra::CMutexGuard guard(m_lock);
    for (int fd : ready) {
        auto it = m_handlers.find(fd);
        if (it == m_handlers.end())
            continue;
        if (it->second.empty()) {
            TOU_PRINT(printLevelError, "Select Inner ERROR!!!\n");
            continue;
        }
        ReactorHandler handler = it->second;
        if (handler(fd))
            continue;
        // Dropped under the same lock, and only if still this handler's: once the lock is released
        // the owner may close the descriptor and a new registration take its number.
        it = m_handlers.find(fd);
        if (it != m_handlers.end() && it->second == handler) {
            m_handlers.erase(it);
            m_readSet.erase(std::remove(m_readSet.begin(), m_readSet.end(), fd), m_readSet.end());
            TOU_PRINT(printLevelTrace, "unregistFd Inner [%d]!!!\n", fd);
        }
    }
    return 0;
}

} // namespace Tou
} // namespace Orvan
