#ifndef ORVAN_NATTRAVER_SOCKET_H
#define ORVAN_NATTRAVER_SOCKET_H

#include "nattraver/net/Address.h"

#include <cstddef>

struct iovec;

namespace Orvan {
namespace NATTraver {

// Socket option numbers of setOption and getOption.
enum SocketOption
{
    optReuseAddr = 0,
    optReusePort = 1,
    optSendBuffer = 2,
    optRecvBuffer = 3,
    optNonBlocking = 4,
    optNoDelay = 5,
    optSendTimeout = 6,
    optRecvTimeout = 7,
    optBroadcast = 8,
    optNoEffect = 11,
    optSocketType = 12,
    optTtl = 13
};

// Error numbers that callers of the stack see, kept at their familiar values.
enum SocketError
{
    sockErrInvalid = 22,
    sockErrWouldBlock = 10035,
    sockErrAborted = 10053,
    sockErrReset = 10054,
    sockErrNotConnected = 10057
};

// Non-blocking socket handle. Descriptors are made on first use with the family of the address used.
class Socket
{
public:
    enum
    {
        typeUnknown = -1,
        typeStream = 1,
        typeDatagram = 2
    };
    enum
    {
        selectRead = 1,
        selectWrite = 2
    };

    Socket();
    explicit Socket(bool datagram);
    Socket(int fd, bool autoClose);
    virtual ~Socket();
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int createSocket(const Address& address);
    int close();
    int connect(const Address& address, int waitMs);
    int send(const void* data, int length, int timeoutMs = 0);
    int sendv(iovec* pieces, int count, int timeoutMs = 0);
    int sendTo(const void* data, int length, const Address& address);
    int recv(void* buffer, int size, int waitMs = 0);
    int recvFrom(void* buffer, int size, Address& sender, int waitMs = 0);
    // Ready flags (selectRead/selectWrite) of this descriptor, 0 on time-out, -1 on error.
    int select(int flags, int timeoutMs);
    int bind(const Address& address);
    int listen();
    int accept(Address& peer, int waitMs);
    int getOption(int id, int& value);
    int setOption(int id, int value);
    int getLocalAddress(Address& address);
    int getPeerAddress(Address& address);
    int joinMulticastGroup(const char* group);
    int leaveMulticastGroup(const char* group);

    int getFd() const { return m_fd; }
    int getType() const { return m_type; }
    bool isConnected() const { return m_connected; }
    void setConnected(bool connected) { m_connected = connected; }
    void setAutoClose(bool autoClose) { m_autoClose = autoClose; }

private:
    int ensure(const Address& address);
    static int mapResult(long result, bool isReceive);

    int m_fd;
    int m_family;
    int m_type;
    int m_protocol;
    bool m_autoClose;
    bool m_connected;
};

} // namespace NATTraver
} // namespace Orvan

#endif
