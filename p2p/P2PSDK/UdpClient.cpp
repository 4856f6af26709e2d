#include "P2PSDK/UdpClient.h"

#include "P2PSDK/Print.h"

#include <ctime>

namespace Orvan {
namespace Tou {

CUdpClient::CUdpClient(IUdpClientNotify* listener)
    : m_listener(listener), m_timerSeconds(0), m_timerStart(0), m_registered(false)
{
}

CUdpClient::~CUdpClient()
{
    if (m_registered)
        CUdpClientSingleThread::instance()->remove(UdpPoll(&CUdpClient::poll, this));
}

bool CUdpClient::start(const Address* local)
{
    SocketPtr socket(new Socket(true));
    Address any("0.0.0.0", 0);
    if (socket->createSocket(local ? *local : any) < 0)
        return false;
    if (local)
        socket->bind(*local);
    socket->setConnected(true);
    {
        Infra::CMutexGuard guard(m_lock);
        m_socket = socket;
    }
    CUdpClientSingleThread::instance()->add(UdpPoll(&CUdpClient::poll, this));
    m_registered = true;
    return true;
}

void CUdpClient::stop()
{
    if (m_registered) {
        CUdpClientSingleThread::instance()->remove(UdpPoll(&CUdpClient::poll, this));
        m_registered = false;
    }
    {
        Infra::CMutexGuard guard(m_lock);
        m_socket.reset();
    }
    if (m_listener)
        m_listener->onStop();
}

bool CUdpClient::poll()
{
    if (m_listener) {
        m_listener->onReceive();
        m_listener->onReceiveBroadcast();
    }
    bool fire = false;
    {
        Infra::CMutexGuard guard(m_lock);
        if (m_timerStart != 0) {
            int64_t elapsed = int64_t(time(nullptr)) - m_timerStart;
            if (!(elapsed >= 0 && elapsed < m_timerSeconds)) {
                m_timerStart = 0;
                fire = true;
            }
        }
    }
    if (fire && m_listener)
        m_listener->onTimer();
    return true;
}

void CUdpClient::setTimer(int seconds)
{
    Infra::CMutexGuard guard(m_lock);
    m_timerSeconds = seconds;
    m_timerStart = int64_t(time(nullptr));
}

SocketPtr CUdpClient::getSocket()
{
    Infra::CMutexGuard guard(m_lock);
    return m_socket;
}

int CUdpClient::sendTo(const void* data, int length, const Address& address)
{
    SocketPtr socket = getSocket();
    return socket.get() ? socket->sendTo(data, length, address) : -1;
}

int CUdpClient::recvFrom(void* buffer, int size, Address& sender)
{
    SocketPtr socket = getSocket();
    return socket.get() ? socket->recvFrom(buffer, size, sender, 0) : -1;
}

int CUdpClient::recvBroadcast(void* buffer, int size, Address& sender, int waitMs)
{
    SocketPtr socket;
    {
        Infra::CMutexGuard guard(m_lock);
        socket = m_broadcastSocket;
    }
    return socket.get() ? socket->recvFrom(buffer, size, sender, waitMs) : -1;
}

bool CUdpClient::bindBroadCastPort()
{
    SocketPtr socket(new Socket(true));
    Address local("0.0.0.0", kBroadcastPort);
    if (socket->createSocket(local) < 0) {
        TOU_PRINT(printLevelError, "create socket fail\n");
        return false;
    }
    if (socket->bind(local) != 0)
        return false;
    socket->setOption(NATTraver::optReuseAddr, 1);
    TOU_PRINT(printLevelTrace, "bind success, port:%d\n", kBroadcastPort);
    Infra::CMutexGuard guard(m_lock);
    m_broadcastSocket = socket;
    return true;
}

void CUdpClient::closeBroadcastSocket()
{
    Infra::CMutexGuard guard(m_lock);
    if (m_broadcastSocket.get())
        m_broadcastSocket->close();
}

CUdpClientSingleThread::CUdpClientSingleThread() : Infra::CThread("udp client thread") {}

CUdpClientSingleThread* CUdpClientSingleThread::instance()
{
    static CUdpClientSingleThread* thread = [] {
        auto* t = new CUdpClientSingleThread; // lives until the process ends
        t->CreateThread();
        return t;
    }();
    return thread;
}

void CUdpClientSingleThread::add(const UdpPoll& poll)
{
    Infra::CMutexGuard guard(m_lock);
    m_polls.push_back(poll);
}

void CUdpClientSingleThread::remove(const UdpPoll& poll)
{
    Infra::CMutexGuard guard(m_lock);
    for (auto it = m_polls.begin(); it != m_polls.end(); ++it)
        if (*it == poll) {
            m_polls.erase(it);
            return;
        }
}

void CUdpClientSingleThread::threadProc()
{
    while (isLooping()) {
        {
            Infra::CMutexGuard guard(m_lock);
            for (size_t i = 0; i < m_polls.size();) {
                UdpPoll poll = m_polls[i];
                if (!poll())
                    m_polls.erase(m_polls.begin() + long(i));
                else
                    ++i;
            }
        }
        sleepMs(10);
    }
}

} // namespace Tou
} // namespace Orvan
