// A PTCP connection on a bound, connected UDP descriptor: the engine, its receive handler on the
// reactor thread and its clock on the timer thread, with socket-style options. CPtcp is the handle
// the channel holds.
#ifndef ORVAN_TOU_PHONYTCPTRANSPORT_H
#define ORVAN_TOU_PHONYTCPTRANSPORT_H

#include "Memory/SharedPtr.h"
#include "PTCP/PhonyTcp.h"
#include "nattraver/net/Address.h"
#include "nattraver/net/Socket.h"

#include <memory>

namespace Orvan {
namespace Tou {

// Events of a transport, as its channel sees them.
class IPtcpNotify
{
public:
    virtual ~IPtcpNotify() {}
    virtual void onConnect(int code) = 0;
    virtual void onException(int code) = 0;
    virtual void onClose() = 0;
    virtual void onRead() {}
    virtual void onWrite() {}
};

class CPhonyTcpTransport;

class CRecvTimer
{
public:
    explicit CRecvTimer(CPhonyTcpTransport* transport) : m_transport(transport) {}
    void startTimer();
    void stopTimer();
    bool recvData(int fd);

private:
    CPhonyTcpTransport* m_transport;
    bool m_started = false;
};

class CPhonyTcpTransport : public IPhonyTcpNotify
{
public:
    CPhonyTcpTransport(IPtcpNotify* channel, int timerArg);
    ~CPhonyTcpTransport() override;

    int bind(int fd);
    int listen(const char* ip, int port);
    int connect(const char* ip, int port);
    int send(const CPacket& packet) { return m_tcp->send(packet); }
    int recv(CPacket& packet, bool peek) { return m_tcp->recv(packet, peek); }
    void pop() { m_tcp->pop(); }
    int writev(const CPacket* packets, int count, int* taken) { return m_tcp->writev(packets, count, taken); }
    int readv(int a, int b) { return m_tcp->readv(a, b); }
    int getLastError() const { return m_tcp->getLastError(); }
    void getSendQueueInfo(PtcpSendQueueInfo* info) { m_tcp->getSendQueueInfo(info); }
    int setsockopt(int id, const int* value, int length);
    int getsockopt(int id, int* value, int length);
    void stopRecvTimer() { m_recvTimer.stopTimer(); }
    // Stops the timers, then deletes this transport.
    void close();
    void handleTimeout(uint64_t tick);

    CPhonyTcp* engine() { return m_tcp.get(); }
    IPtcpNotify* channel() { return m_channel; }
    NATTraver::Socket* socket() { return m_socketPtr.get(); }
    static bool IsValidSockfd(int fd);

    void OnTcpOpen(CPhonyTcp* tcp) override;
    void OnTcpReadable(CPhonyTcp* tcp) override;
    void OnTcpWriteable(CPhonyTcp* tcp) override;
    void OnTcpClosed(CPhonyTcp* tcp, int error) override;
    int TcpWritePacket(CPhonyTcp* tcp, const PtcpIovec* pieces, int count) override;

private:
    int doConnect(bool open);

    IPtcpNotify* m_channel;
    std::unique_ptr<CPhonyTcp> m_tcp;
    int m_sock_handle = -1;
    std::unique_ptr<NATTraver::Socket> m_socketPtr;
    NATTraver::Address m_remote;
    CRecvTimer m_recvTimer;
};

// The handle a channel holds; close() deletes it.
class CPtcp
{
public:
    CPtcp(IPtcpNotify* channel, int timerArg);
    ~CPtcp();
    CPtcp(const CPtcp&) = delete;
    CPtcp& operator=(const CPtcp&) = delete;

    int bind(int fd) { return m_transport->bind(fd); }
    int listen(const char* ip, int port) { return m_transport->listen(ip, port); }
    int connect(const char* ip, int port) { return m_transport->connect(ip, port); }
    int send(const CPacket& packet) { return m_transport->send(packet); }
    int send(const void* data, int length, int flags);
    int recv(CPacket& packet, bool peek) { return m_transport->recv(packet, peek); }
    void pop() { m_transport->pop(); }
    int writev(const CPacket* packets, int count, int* taken) { return m_transport->writev(packets, count, taken); }
    int readv(int a, int b) { return m_transport->readv(a, b); }
    int setsockopt(int id, const int* value, int length) { return m_transport->setsockopt(id, value, length); }
    int getsockopt(int id, int* value, int length) { return m_transport->getsockopt(id, value, length); }
    int getLastError() const { return m_transport->getLastError(); }
    void getSendQueueInfo(PtcpSendQueueInfo* info) { m_transport->getSendQueueInfo(info); }
    void stopRecvTimer() { m_transport->stopRecvTimer(); }
    // Statistics with the period's rates in kilobits per second; reset starts a new period.
    int perform(PtcpStats* stats, bool reset);
    // Closes the transport and deletes this handle.
    void close();
    CPhonyTcpTransport* transport() { return m_transport; }

private:
    CPhonyTcpTransport* m_transport;
};

// Releasing a shared CPtcp never deletes it: its channel closes it.
struct PTCPDeleter {
    void operator()(CPtcp*) const {}
};

} // namespace Tou
} // namespace Orvan

#endif
