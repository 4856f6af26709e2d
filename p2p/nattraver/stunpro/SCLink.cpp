#include "nattraver/stunpro/SCLink.h"

#include <cstring>

namespace Orvan {
namespace NATTraver {

void invertBytes(uint8_t* data, int length)
{
    for (int i = 0; i < length; ++i)
        data[i] = uint8_t(~data[i]);
}

CSCLink::CSCLink(const SocketPtr& socket, const uint8_t localIdentify[8]) : m_socket(socket)
{
    std::memset(m_transactionId, 0, sizeof(m_transactionId));
    std::memcpy(m_localIdentify, localIdentify, sizeof(m_localIdentify));
}

void CSCLink::setTransactionId(const uint8_t id[12])
{
    std::memcpy(m_transactionId, id, sizeof(m_transactionId));
}

int CSCLink::send(const CStunMSG& msg, const Address& to, bool invert)
{
    uint8_t datagram[kStunDatagramMax];
    int length = msg.toBuffer(datagram, sizeof(datagram));
    if (length < 0 || !m_socket.get())
        return -1;
    if (invert)
        invertBytes(datagram, length);
    return m_socket->sendTo(datagram, length, to);
}

int CSCLink::receive(uint8_t* buffer, int size, Address& from, bool invert)
{
    if (!m_socket.get())
        return -1;
    int n = m_socket->recvFrom(buffer, size, from, 0);
    if (n > 0 && invert)
        invertBytes(buffer, n);
    return n;
}

} // namespace NATTraver
} // namespace Orvan
