#include "PTCP/PhonyTcpTransport.h"

#include "Infra3/Time.h"
#include "PTCP/PhonyTcpThreads.h"
#include "PTCP/PtcpLog.h"

#include <sys/socket.h>
#include <sys/uio.h>

#include <cerrno>
#include <fcntl.h>
#include <vector>

namespace Orvan {
namespace Tou {

namespace {
const char* const kPath = "Src/PTCP/PhonyTcpTransport";
const char* const kPtcpPath = "Src/PTCP/Ptcp";
// A whole datagram always fits, so a long one is never taken for a short valid one.
const size_t kReadBuffer = 65536;
} // namespace

// ---- receive handler and clock

void CRecvTimer::startTimer()
{
    NATTraver::Socket* s = m_transport->socket();
    if (!s) {
        PTCP_PRINT(1, "m_transport->m_socketPtr is NULL!\n");
        return;
    }
    CPhonyTcpReactor::instance()->registFd(s->getFd(), ReactorHandler(&CRecvTimer::recvData, this));
    CPhonyTcpTimer::instance()->attach(TimerProc(&CPhonyTcpTransport::handleTimeout, m_transport));
    m_started = true;
}

void CRecvTimer::stopTimer()
{
    if (!m_started)
        return;
    NATTraver::Socket* s = m_transport->socket();
    if (s)
        CPhonyTcpReactor::instance()->unregistFd(s->getFd());
    else
        PTCP_PRINT(4, "m_transport->m_socketPtr is NULL!\n");
    CPhonyTcpTimer::instance()->detach(TimerProc(&CPhonyTcpTransport::handleTimeout, m_transport));
    m_started = false;
}

bool CRecvTimer::recvData(int fd)
{
    thread_local std::vector<uint8_t> buf(kReadBuffer);
    for (;;) {
        ssize_t n = ::recv(fd, buf.data(), buf.size(), MSG_DONTWAIT);
        if (n < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                PTCP_PRINT(1, "%s:%d, sock recv failed, act_len = %d\n", kPath, __LINE__, int(n));
            return true; // a refused port is not fatal: the engine's retransmissions cover it
        }
        if (n == 0)
            continue; // an empty datagram
        if (!m_transport->engine()->notifyPacket(buf.data(), uint32_t(n))) {
            PTCP_PRINT(1, "%s %d notify packet failed!\n", kPath, __LINE__);
            if (m_transport->channel())
                m_transport->channel()->onException(0);
            return false;
        }
    }
}

// ---- transport

CPhonyTcpTransport::CPhonyTcpTransport(IPtcpNotify* channel, int)
    : m_channel(channel), m_tcp(new CPhonyTcp(this)), m_recvTimer(this)
{
}

CPhonyTcpTransport::~CPhonyTcpTransport() { m_recvTimer.stopTimer(); }

bool CPhonyTcpTransport::IsValidSockfd(int fd)
{
    int type = 0;
    socklen_t len = sizeof type;
    if (fd < 0 || ::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &len) != 0) {
        PTCP_PRINT(1, "%s:%d, ioctlsocket failed, invalid socket handle\n", kPath, __LINE__);
        return false;
    }
    int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    return true;
}

int CPhonyTcpTransport::bind(int fd)
{
    if (!IsValidSockfd(fd)) {
        PTCP_PRINT(1, "%s:%d, this fd is not a valid sockfd.\n", kPath, __LINE__);
        return -1;
    }
    m_sock_handle = fd;
    m_socketPtr.reset(new NATTraver::Socket(fd, false));
    if (m_socketPtr->getFd() != m_sock_handle) {
        PTCP_PRINT(1, "%s:%d, m_sock_handle = %d, current socket fd = %d\n", kPath, __LINE__, m_sock_handle,
                   m_socketPtr->getFd());
        return -1;
    }
    return 0;
}

int CPhonyTcpTransport::listen(const char* ip, int port)
{
    if (!ip || port <= 0)
        return -1;
    m_remote = NATTraver::Address(ip, port);
    if (!m_socketPtr) {
        PTCP_PRINT(1, "%s %d invalid process on user , must be bind before listen or connect!\n", kPath, __LINE__);
        return -1;
    }
    m_socketPtr->connect(m_remote, 0);
    m_recvTimer.startTimer();
    return 0;
}

int CPhonyTcpTransport::connect(const char* ip, int port)
{
    if (!ip || port <= 0)
        return -1;
    m_remote = NATTraver::Address(ip, port);
    if (doConnect(true) != 0) {
        PTCP_PRINT(1, "%s %d do connect failed!this:%p\n", kPath, __LINE__, static_cast<void*>(this));
        return -1;
    }
    m_recvTimer.startTimer();
    return 0;
}

int CPhonyTcpTransport::doConnect(bool open)
{
    if (!m_socketPtr) {
        PTCP_PRINT(1, "%s %d invalid process on user , must be bind before listen or connect!\n", kPath, __LINE__);
        return -1;
    }
    m_socketPtr->connect(m_remote, 0);
    if (open && m_tcp->connect() < 0) {
        PTCP_PRINT(1, "%s:%d, connect ptcp stack failed.\n", kPath, __LINE__);
        return -1;
    }
    return 0;
}

int CPhonyTcpTransport::setsockopt(int id, const int* value, int)
{
    if (!value)
        return -1;
    switch (id) {
    case 0: return m_tcp->setOption(3, *value);
    case 2: return m_tcp->setOption(2, *value);
    case 4: return m_tcp->setOption(0, *value);
    case 5: return m_tcp->setOption(1, *value);
    case 6: return m_tcp->setOption(5, *value);
    case 7: return m_tcp->setOption(4, *value);
    case 8: return m_tcp->setOption(6, *value);
    case 1:
    case 3: {
        int v = *value;
        if (m_sock_handle < 0 ||
            ::setsockopt(m_sock_handle, SOL_SOCKET, id == 1 ? SO_SNDBUF : SO_RCVBUF, &v, sizeof v) != 0) {
            PTCP_PRINT(1, "%s %d set sock opt failed!\n", kPath, __LINE__);
            return -1;
        }
        return 0;
    }
    default:
        PTCP_PRINT(1, "%s %d option[%d] is not support!\n", kPath, __LINE__, id);
        return -1;
    }
}

int CPhonyTcpTransport::getsockopt(int id, int* value, int)
{
    if (!value)
        return -1;
    switch (id) {
    case 0: return m_tcp->getOption(3, value);
    case 2: return m_tcp->getOption(2, value);
    case 4: return m_tcp->getOption(0, value);
    case 5: return m_tcp->getOption(1, value);
    case 6: return m_tcp->getOption(5, value);
    case 7: return m_tcp->getOption(4, value);
    default:
        PTCP_PRINT(1, "%s %d option[%d] is not support!\n", kPath, __LINE__, id);
        return -1;
    }
}

void CPhonyTcpTransport::close()
{
    m_recvTimer.stopTimer();
    delete this;
}

void CPhonyTcpTransport::handleTimeout(uint64_t tick)
{
    uint32_t now = uint32_t(tick);
    int32_t delay = 0;
    if (!m_tcp->clock_check(now, &delay)) {
        PTCP_PRINT(1, "%s %d get next clock failed!\n", kPath, __LINE__);
        return;
    }
    m_tcp->notifyClock(now);
}

void CPhonyTcpTransport::OnTcpOpen(CPhonyTcp* tcp)
{
    if (tcp == m_tcp.get() && m_channel)
        m_channel->onConnect(0);
}

void CPhonyTcpTransport::OnTcpReadable(CPhonyTcp* tcp)
{
    if (tcp == m_tcp.get() && m_channel)
        m_channel->onRead();
}

void CPhonyTcpTransport::OnTcpWriteable(CPhonyTcp* tcp)
{
    if (tcp == m_tcp.get() && m_channel)
        m_channel->onWrite();
}

void CPhonyTcpTransport::OnTcpClosed(CPhonyTcp* tcp, int)
{
    if (tcp != m_tcp.get())
        return;
    PTCP_PRINT(2, "CPhonyTcpTransport::OnTcpClosed onException!\n");
    if (m_channel)
        m_channel->onException(0);
}

int CPhonyTcpTransport::TcpWritePacket(CPhonyTcp* tcp, const PtcpIovec* pieces, int count)
{
    if (tcp != m_tcp.get() || !m_socketPtr)
        return WR_SUCCESS;
    iovec iov[4];
    int n = count < 4 ? count : 4;
    for (int i = 0; i < n; ++i) {
        iov[i].iov_base = const_cast<uint8_t*>(pieces[i].data);
        iov[i].iov_len = pieces[i].len;
    }
    m_socketPtr->sendv(iov, n, 0);
    return WR_SUCCESS; // a lost datagram is the engine's to resend
}

// ---- handle

CPtcp::CPtcp(IPtcpNotify* channel, int timerArg) : m_transport(new CPhonyTcpTransport(channel, timerArg)) {}

CPtcp::~CPtcp() { PTCP_PRINT(4, "~~CPtcp [%p]\r\n", static_cast<void*>(this)); }

int CPtcp::send(const void*, int, int)
{
    PTCP_PRINT(1, "%s:%d,  un-implement now.\n", kPtcpPath, __LINE__);
    return -1;
}

int CPtcp::perform(PtcpStats* stats, bool reset)
{
    if (!stats) {
        PTCP_PRINT(1, "%s %d Invalid param!\n", kPtcpPath, __LINE__);
        return -1;
    }
    CPhonyTcp* tcp = m_transport->engine();
    *stats = tcp->stats();
    uint64_t elapsed = Infra::CTime::getTickCountMs() - tcp->statsPeriodStart();
    if (elapsed == 0)
        elapsed = 1; // within the first millisecond of a period
    stats->sendRate = double(stats->bytesSent) * 8 * 1000 / (double(elapsed) * 1024);
    stats->recvRate = double(stats->bytesReceived) * 8 * 1000 / (double(elapsed) * 1024);
    if (reset)
        tcp->resetStats();
    return 0;
}

void CPtcp::close()
{
    m_transport->close();
    m_transport = nullptr;
    delete this;
}

} // namespace Tou
} // namespace Orvan
