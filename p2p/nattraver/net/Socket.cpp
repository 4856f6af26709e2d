#include "nattraver/net/Socket.h"

#include "Infra3/Thread.h"
#include "Infra3/Time.h"
#include "P2PSDK/Print.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace Orvan {
namespace NATTraver {

namespace {

std::mutex g_bindLock;
bool g_bindSeeded = false;
int g_bindBase = 0;
uint16_t g_bindCounter = 0;

void toTimeval(int ms, timeval& tv)
{
    tv.tv_sec = ms / 1000;
    tv.tv_usec = (ms % 1000) * 1000;
}

} // namespace

Socket::Socket()
    : m_fd(-1), m_family(AF_INET), m_type(typeUnknown), m_protocol(0), m_autoClose(true), m_connected(false)
{
}

Socket::Socket(bool datagram) : Socket()
{
    m_type = datagram ? typeDatagram : typeStream;
}

Socket::Socket(int fd, bool autoClose) : Socket()
{
    m_fd = fd;
    m_autoClose = autoClose;
    sockaddr_storage local = {};
    socklen_t len = sizeof(local);
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) == 0)
        m_family = local.ss_family;
    int type = 0;
    if (getOption(optSocketType, type) != 0) {
        TOU_PRINT(Tou::printLevelError, "getOption[SOCKTYPE] failed\n");
        m_type = typeUnknown;
    } else {
        m_type = type == SOCK_DGRAM ? typeDatagram : type == SOCK_STREAM ? typeStream : typeUnknown;
    }
    setOption(optNonBlocking, 1);
}

Socket::~Socket()
{
    if (m_autoClose && m_fd >= 0)
        ::close(m_fd);
}

int Socket::createSocket(const Address& address)
{
    if (m_fd >= 0)
        return m_fd;
    m_family = address.isIpv6() ? AF_INET6 : AF_INET;
    int fd = ::socket(m_family, m_type == typeStream ? SOCK_STREAM : SOCK_DGRAM, m_protocol);
    if (fd < 0) {
        TOU_PRINT(Tou::printLevelError, "[Socket::createSocket]create socket error, errno %d, info: %s\n", errno,
                  std::strerror(errno));
        return -1;
    }
    m_fd = fd;
    setOption(optNonBlocking, 1);
    setOption(optSendBuffer, 65536);
    setOption(optRecvBuffer, 262144);
    setOption(optNoEffect, 1);
    if (m_type == typeStream)
        setOption(optNoDelay, 1);
    return m_fd;
}

int Socket::ensure(const Address& address)
{
    return m_fd >= 0 ? m_fd : createSocket(address);
}

int Socket::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_connected = false;
    return 0;
}

int Socket::mapResult(long result, bool isReceive)
{
    if (result < 0)
        return (errno == 0 || errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
    if (result == 0 && isReceive)
        return -1; // the peer closed
    return int(result);
}

int Socket::select(int flags, int timeoutMs)
{
    if (m_fd < 0)
        return -1;
    pollfd p = {m_fd, short(((flags & selectRead) ? POLLIN : 0) | ((flags & selectWrite) ? POLLOUT : 0)), 0};
    for (;;) {
        int rc = ::poll(&p, 1, timeoutMs < 0 ? -1 : timeoutMs);
        if (rc > 0) {
            int ready = 0;
            if (p.revents & (POLLIN | POLLERR | POLLHUP))
                ready |= selectRead & flags;
            if (p.revents & (POLLOUT | POLLERR | POLLHUP))
                ready |= selectWrite & flags;
            return ready ? ready : (p.revents & POLLNVAL) ? -1 : flags;
        }
        if (rc == 0)
            return 0;
        if (errno == EINTR || errno == EAGAIN)
            continue;
        TOU_PRINT(Tou::printLevelError, "[Socket::select] errno = %d, strerror = %s\n", errno, std::strerror(errno));
        return -1;
    }
}

int Socket::connect(const Address& address, int waitMs)
{
    if (m_connected)
        return 0;
    if (ensure(address) < 0)
        return -1;
    if (::connect(m_fd, address.sockAddr(), socklen_t(address.length())) == 0) {
        m_connected = true;
        return 0;
    }
    if (errno != EINPROGRESS && errno != EWOULDBLOCK) {
        TOU_PRINT(Tou::printLevelError, "[Socket::connect] errno = %d, strerror = %s\n", errno, std::strerror(errno));
        return -1;
    }
    if (waitMs == 0)
        return -1;
    int rc = select(selectWrite, waitMs);
    if (rc > 0) {
        int err = 0;
        socklen_t len = sizeof(err);
        getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &err, &len);
        if (err == 0) {
            m_connected = true;
            return 0;
        }
        errno = err;
    }
    if (rc != 0)
        TOU_PRINT(Tou::printLevelError, "[Socket::connect] selct return %d, errno = %d, strerror = %s\n", rc, errno,
                  std::strerror(errno));
    return -1;
}

int Socket::send(const void* data, int length, int timeoutMs)
{
    if (m_fd < 0 || !data || length < 0)
        return -1;
    uint64_t start = timeoutMs > 0 ? Infra::CTime::getTickCountMs() : 0;
    int sent = 0;
    for (;;) {
        int rc = mapResult(::send(m_fd, static_cast<const char*>(data) + sent, size_t(length - sent), MSG_NOSIGNAL),
                           false);
        if (rc < 0)
            return rc;
        sent += rc;
        if (sent >= length || timeoutMs <= 0)
            return sent;
        Infra::CThread::sleepMs(10);
        if (Infra::CTime::getTickCountMs() - start > uint64_t(timeoutMs))
            return sent;
    }
}

int Socket::sendv(iovec* pieces, int count, int timeoutMs)
{
    if (m_fd < 0 || !pieces || count <= 0)
        return -1;
    uint64_t start = timeoutMs > 0 ? Infra::CTime::getTickCountMs() : 0;
    size_t total = 0;
    for (int i = 0; i < count; ++i)
        total += pieces[i].iov_len;
    size_t sent = 0;
    for (;;) {
        int first = 0;
        while (first < count && pieces[first].iov_len == 0)
            ++first;
        if (first == count)
            return int(sent);
        msghdr msg = {};
        msg.msg_iov = pieces + first;
        msg.msg_iovlen = size_t(count - first);
        int rc = mapResult(::sendmsg(m_fd, &msg, MSG_NOSIGNAL), false);
        if (rc < 0)
            return rc;
        sent += size_t(rc);
        size_t left = size_t(rc);
        for (int i = first; i < count && left > 0; ++i) {
            size_t take = std::min(left, pieces[i].iov_len);
            pieces[i].iov_base = static_cast<char*>(pieces[i].iov_base) + take;
            pieces[i].iov_len -= take;
            left -= take;
        }
        if (sent >= total || timeoutMs <= 0)
            return int(sent);
        Infra::CThread::sleepMs(10);
        if (Infra::CTime::getTickCountMs() - start > uint64_t(timeoutMs))
            return int(sent);
    }
}

int Socket::sendTo(const void* data, int length, const Address& address)
{
    if (!data || length < 0 || ensure(address) < 0)
        return -1;
    return mapResult(::sendto(m_fd, data, size_t(length), MSG_NOSIGNAL, address.sockAddr(),
                              socklen_t(address.length())),
                     false);
}

int Socket::recv(void* buffer, int size, int waitMs)
{
    if (m_fd < 0 || !m_connected || !buffer || size <= 0)
        return -1;
    if (waitMs > 0 && select(selectRead, waitMs) <= 0)
        return -1;
    return mapResult(::recv(m_fd, buffer, size_t(size), 0), true);
}

int Socket::recvFrom(void* buffer, int size, Address& sender, int waitMs)
{
    if (m_fd < 0 || !buffer || size <= 0)
        return -1;
    if (waitMs > 0 && select(selectRead, waitMs) <= 0)
        return -1;
    sockaddr_storage from = {};
    socklen_t len = sizeof(from);
    long rc = ::recvfrom(m_fd, buffer, size_t(size), 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (rc > 0)
        sender.assign(reinterpret_cast<sockaddr*>(&from), int(len));
    return mapResult(rc, true);
}

int Socket::bind(const Address& address)
{
    if (ensure(address) < 0)
        return -1;
    int port = address.isIpv6() ? ntohs(reinterpret_cast<const sockaddr_in6*>(address.sockAddr())->sin6_port)
                                : address.getPort();
    if (port != 0)
        return ::bind(m_fd, address.sockAddr(), socklen_t(address.length())) == 0 ? 0 : -1;
    std::lock_guard<std::mutex> guard(g_bindLock);
    if (!g_bindSeeded) {
        std::srand(unsigned(time(nullptr)));
        g_bindBase = std::rand();
        g_bindSeeded = true;
    }
    ++g_bindCounter;
    Address target(address);
    for (int i = 0; i < 30000; ++i) {
        int candidate = int((unsigned(i) + g_bindCounter + unsigned(g_bindBase)) % 48777u) + 16759;
        target.setPort(candidate);
        if (::bind(m_fd, target.sockAddr(), socklen_t(target.length())) == 0) {
            g_bindCounter = uint16_t(g_bindCounter + i);
            return 0;
        }
    }
    return -1;
}

int Socket::listen()
{
    if (m_fd < 0)
        return -1;
    return ::listen(m_fd, 32) == 0 ? 0 : -1;
}

int Socket::accept(Address& peer, int waitMs)
{
    if (m_fd < 0)
        return -1;
    if (waitMs > 0 && select(selectRead, waitMs) <= 0)
        return -1;
    sockaddr_storage from = {};
    socklen_t len = sizeof(from);
    int fd = ::accept(m_fd, reinterpret_cast<sockaddr*>(&from), &len);
    if (fd < 0)
        return -1;
    peer.assign(reinterpret_cast<sockaddr*>(&from), int(len));
    int on = 1;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
    int sndbuf = 65536, rcvbuf = 262144;
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof(sndbuf));
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof(rcvbuf));
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    return fd;
}

int Socket::setOption(int id, int value)
{
    if (m_fd < 0)
        return -1;
    timeval tv;
    switch (id) {
    case optReuseAddr: return setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &value, sizeof(value)) == 0 ? 0 : -1;
    case optReusePort: return setsockopt(m_fd, SOL_SOCKET, SO_REUSEPORT, &value, sizeof(value)) == 0 ? 0 : -1;
    case optSendBuffer: return setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &value, sizeof(value)) == 0 ? 0 : -1;
    case optRecvBuffer: return setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &value, sizeof(value)) == 0 ? 0 : -1;
    case optNonBlocking: {
        int flags = fcntl(m_fd, F_GETFL, 0);
        if (flags < 0)
            return -1;
        return fcntl(m_fd, F_SETFL, value ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK)) == 0 ? 0 : -1;
    }
    case optNoDelay: return setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &value, sizeof(value)) == 0 ? 0 : -1;
    case optSendTimeout:
        toTimeval(value, tv);
        return setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv)) == 0 ? 0 : -1;
    case optRecvTimeout:
        toTimeval(value, tv);
        return setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv)) == 0 ? 0 : -1;
    case optBroadcast: return setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &value, sizeof(value)) == 0 ? 0 : -1;
    case optNoEffect: return 0;
    case optTtl: return setsockopt(m_fd, IPPROTO_IP, IP_TTL, &value, sizeof(value)) == 0 ? 0 : -1;
    default: return -1;
    }
}

int Socket::getOption(int id, int& value)
{
    if (m_fd < 0)
        return -1;
    socklen_t len = sizeof(value);
    timeval tv = {};
    socklen_t tvLen = sizeof(tv);
    int rc = -1;
    switch (id) {
    case optReuseAddr: rc = getsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &value, &len); break;
    case optReusePort: rc = getsockopt(m_fd, SOL_SOCKET, SO_REUSEPORT, &value, &len); break;
    case optSendBuffer: rc = getsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &value, &len); break;
    case optRecvBuffer: rc = getsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &value, &len); break;
    case optNoDelay: rc = getsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &value, &len); break;
    case optSendTimeout:
    case optRecvTimeout:
        rc = getsockopt(m_fd, SOL_SOCKET, id == optSendTimeout ? SO_SNDTIMEO : SO_RCVTIMEO, &tv, &tvLen);
        value = int(tv.tv_sec * 1000 + tv.tv_usec / 1000);
        break;
    case optBroadcast: rc = getsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &value, &len); break;
    case optSocketType: rc = getsockopt(m_fd, SOL_SOCKET, SO_TYPE, &value, &len); break;
    case optTtl: rc = getsockopt(m_fd, IPPROTO_IP, IP_TTL, &value, &len); break;
    default: return -1;
    }
    return rc == 0 ? 0 : -1;
}

int Socket::getLocalAddress(Address& address)
{
    sockaddr_storage s = {};
    socklen_t len = sizeof(s);
    if (m_fd < 0 || getsockname(m_fd, reinterpret_cast<sockaddr*>(&s), &len) != 0)
        return -1;
    address.assign(reinterpret_cast<sockaddr*>(&s), int(len));
    return 0;
}

int Socket::getPeerAddress(Address& address)
{
    sockaddr_storage s = {};
    socklen_t len = sizeof(s);
    if (m_fd < 0 || getpeername(m_fd, reinterpret_cast<sockaddr*>(&s), &len) != 0)
        return -1;
    address.assign(reinterpret_cast<sockaddr*>(&s), int(len));
    return 0;
}

static int membership(int fd, int family, const char* group, int option)
{
    if (fd < 0 || family != AF_INET || !group)
        return -1;
    ip_mreq req = {};
    if (inet_pton(AF_INET, group, &req.imr_multiaddr) != 1)
        return -1;
    req.imr_interface.s_addr = htonl(INADDR_ANY);
    return setsockopt(fd, IPPROTO_IP, option, &req, sizeof(req)) == 0 ? 0 : -1;
}

int Socket::joinMulticastGroup(const char* group) { return membership(m_fd, m_family, group, IP_ADD_MEMBERSHIP); }
int Socket::leaveMulticastGroup(const char* group) { return membership(m_fd, m_family, group, IP_DROP_MEMBERSHIP); }

} // namespace NATTraver
} // namespace Orvan
