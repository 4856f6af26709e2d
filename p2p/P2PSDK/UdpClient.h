#ifndef ORVAN_TOU_UDPCLIENT_H
#define ORVAN_TOU_UDPCLIENT_H

#include "Infra3/Function.h"
#include "Infra3/Mutex.h"
#include "Infra3/Thread.h"
#include "Memory/SharedPtr.h"
#include "P2PSDK/HttpMessage.h"
#include "nattraver/net/Socket.h"

#include <cstdint>
#include <vector>

namespace Orvan {
namespace Tou {

using NATTraver::Address;
using NATTraver::Socket;
using SocketPtr = Memory::TSharedPtr<Socket>;

enum
{
    kBroadcastPort = 28591
};

class IUdpClientNotify
{
public:
    virtual ~IUdpClientNotify() {}
    virtual void onReceive() {}
    virtual void onReceiveBroadcast() {}
    virtual void onStop() {}
    virtual void onTimer() {}
};

// Long-lived UDP endpoint; its listener is polled every 10 ms from the shared "udp client thread".
class CUdpClient
{
public:
    explicit CUdpClient(IUdpClientNotify* listener);
    virtual ~CUdpClient();

    bool start(const Address* local = nullptr);
    void stop();
    bool poll();
    void setTimer(int seconds);
    int sendTo(const void* data, int length, const Address& address);
    int recvFrom(void* buffer, int size, Address& sender);
    int recvBroadcast(void* buffer, int size, Address& sender, int waitMs);
    bool bindBroadCastPort();
    void closeBroadcastSocket();
    SocketPtr getSocket();

private:
    IUdpClientNotify* m_listener;
    Infra::CMutex m_lock;
    SocketPtr m_socket;
    SocketPtr m_broadcastSocket;
    int m_timerSeconds;
    int64_t m_timerStart;
    bool m_registered;
};

using UdpPoll = Infra::TFunction0<bool>;

// The one thread that polls every UDP client of the process.
class CUdpClientSingleThread : public Infra::CThread
{
public:
    static CUdpClientSingleThread* instance();
    void add(const UdpPoll& poll);
    void remove(const UdpPoll& poll);

protected:
    void threadProc() override;

private:
    CUdpClientSingleThread();
    Infra::CMutex m_lock;
    std::vector<UdpPoll> m_polls;
};

// Sends one request and waits for its answer (matched by CSeq and by the server's address); a 401
// with a Date is signed again with the server's clock. True when an answer was received and parsed.
bool HttpQuery(SocketPtr socket, HttpRequest& request, const char* host, int port, HttpResponse& response,
               int timeoutMs);

// Sends data to `to` at each wait of the schedule until an answer comes; when given, the answer must come
// from expectedFrom and carry cseq. The datagram's length (NUL-terminated in buffer of kHttpBufferSize), or -1.
int exchangeDatagram(const SocketPtr& socket, const char* data, int length, const Address& to,
                     const Address* expectedFrom, const int* cseq, char* buffer, const std::vector<int>& waits);

// Waits of one exchange: 200, 300, 400 ... ms while their running sum (each plus 100) stays below timeoutMs.
std::vector<int> exchangeSchedule(int timeoutMs);

} // namespace Tou
} // namespace Orvan

#endif
