#ifndef ORVAN_NATTRAVER_SCLINK_H
#define ORVAN_NATTRAVER_SCLINK_H

#include "Memory/SharedPtr.h"
#include "nattraver/net/Socket.h"
#include "nattraver/stunpro/StunMsg.h"

#include <cstdint>

namespace Orvan {
namespace NATTraver {

using SocketPtr = Memory::TSharedPtr<Socket>;

enum
{
    kStunDatagramMax = 2048
};

// Complements every byte (the "invert" mode of STUN and ICE datagrams).
void invertBytes(uint8_t* data, int length);

// One local socket of a STUN client or ICE agent and what its answers carry.
class CSCLink
{
public:
    CSCLink(const SocketPtr& socket, const uint8_t localIdentify[8]);

    // Joins the message into one datagram (inverted when asked) and sends it; the send result or -1.
    int send(const CStunMSG& msg, const Address& to, bool invert);
    // Reads one datagram without waiting (inverted back when asked); its length, 0 when none, -1 on error.
    int receive(uint8_t* buffer, int size, Address& from, bool invert);

    void setTransactionId(const uint8_t id[12]);
    const uint8_t* transactionId() const { return m_transactionId; }
    const uint8_t* localIdentify() const { return m_localIdentify; }
    const SocketPtr& socket() const { return m_socket; }

private:
    SocketPtr m_socket;
    uint8_t m_transactionId[12];
    uint8_t m_localIdentify[8];
};

} // namespace NATTraver
} // namespace Orvan

#endif
