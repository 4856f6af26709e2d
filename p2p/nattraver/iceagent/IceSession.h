#ifndef ORVAN_NATTRAVER_ICESESSION_H
#define ORVAN_NATTRAVER_ICESESSION_H

#include "nattraver/stunpro/SCLink.h"

#include <cstdint>
#include <memory>

namespace Orvan {
namespace NATTraver {

// One connectivity check between a local socket and a remote address: SYN, SYN-ACK, ACK.
class CICESession
{
public:
    enum State
    {
        stateNew = 0,
        stateSynSent = 2,
        stateSynReceived = 3,
        stateSynAckReceived = 4,
        stateAckReceived = 5,
        stateConnected = 6,
        stateTimedOut = 7,
        stateStopped = 8,
        stateSendFailed = 9
    };

    CICESession(const Address& remote, int socketIndex, const std::shared_ptr<CSCLink>& link, int index,
                int timeoutMs, bool invert, uint64_t now);

    // One step; false once the session is finished (stopped).
    bool heartbeat(uint64_t now);
    void onMessage(const CStunMSG& msg, const Address& sender);

    int state() const { return m_state; }
    void setState(int state) { m_state = state; }
    int index() const { return m_index; }
    int socketIndex() const { return m_socketIndex; }
    const Address& remote() const { return m_remote; }
    const Address& localCandidate() const { return m_localCandidate; }
    const std::shared_ptr<CSCLink>& link() const { return m_link; }

private:
    void sendSyn();
    void sendSynAck();
    void sendAck();
    void sent(int result);

    Address m_localCandidate;
    Address m_remote;
    uint8_t m_transactionId[12];
    int m_index;
    int m_socketIndex;
    int m_state;
    std::shared_ptr<CSCLink> m_link;
    int64_t m_created;
    int64_t m_lastSend;
    int m_timeout;
    int m_synAckInterval;
    bool m_invert;
};

} // namespace NATTraver
} // namespace Orvan

#endif
