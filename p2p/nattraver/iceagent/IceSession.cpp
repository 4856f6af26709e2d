#include "nattraver/iceagent/IceSession.h"

#include "P2PSDK/Print.h"

#include <cstring>

namespace Orvan {
namespace NATTraver {

CICESession::CICESession(const Address& remote, int socketIndex, const std::shared_ptr<CSCLink>& link, int index,
                         int timeoutMs, bool invert, uint64_t now)
    : m_remote(remote), m_index(index), m_socketIndex(socketIndex), m_state(stateNew), m_link(link),
      m_created(int64_t(now)), m_timeout(timeoutMs), m_synAckInterval(100), m_invert(invert)
{
    std::memset(m_transactionId, 0, sizeof(m_transactionId));
    // Session k sends its first SYN 40 x k ms after creation.
    m_lastSend = m_created + int64_t(index) * 40 - timeoutMs / 10;
}

void CICESession::sent(int result)
{
    if (result < 0) {
        TOU_PRINT(Tou::printLevelError, "<ICE> send message fail, dos or socket close?\n");
        m_state = stateSendFailed;
    }
}

void CICESession::sendSyn()
{
    CStunMSG msg;
    msg.createBindingRequest();
    msg.addIceControlling(m_link->localIdentify());
    msg.addSourceAddress(m_remote);
    int rc = m_link->send(msg, m_remote, m_invert);
    m_state = stateSynSent;
    sent(rc);
}

void CICESession::sendSynAck()
{
    m_link->setTransactionId(m_transactionId);
    CStunMSG msg;
    msg.createBindingResponse(m_link->transactionId());
    msg.addIceControlled(m_link->localIdentify());
    msg.addSourceAddress(m_remote);
    sent(m_link->send(msg, m_remote, m_invert));
}

void CICESession::sendAck()
{
    m_link->setTransactionId(m_transactionId);
    CStunMSG msg;
    msg.createBindingResponse(m_link->transactionId());
    msg.addIceControlled(m_link->localIdentify());
    sent(m_link->send(msg, m_remote, m_invert));
}

bool CICESession::heartbeat(uint64_t tick)
{
    int64_t now = int64_t(tick);
    if (m_state > stateAckReceived) {
        m_state = stateStopped;
        return false;
    }
    switch (m_state) {
    case stateNew:
    case 1:
        if (now > m_lastSend + m_timeout / 10) {
            sendSyn();
            m_lastSend = now;
        }
        break;
    case stateSynSent:
        if (now > m_lastSend + m_timeout / 3) {
            sendSyn();
            m_lastSend = now;
        }
        break;
    case stateSynReceived:
        if (now > m_lastSend + m_synAckInterval) {
            m_synAckInterval *= 2;
            sendSynAck();
            m_lastSend = now;
        }
        break;
    case stateSynAckReceived:
        for (int i = 0; i < 5 && m_state == stateSynAckReceived; ++i)
            sendAck();
        if (m_state == stateSynAckReceived)
            m_state = stateConnected;
        break;
    case stateAckReceived:
        m_state = stateConnected;
        break;
    default:
        break;
    }
    if (now > m_created + m_timeout && m_state != stateStopped && m_state != stateConnected)
        m_state = stateTimedOut;
    return true;
}

void CICESession::onMessage(const CStunMSG& msg, const Address& sender)
{
    if (msg.getType() == stunBindingResponse) {
        msg.getMessageId(m_transactionId);
        Address source;
        if (msg.getSourceAddress(source)) {
            m_remote = sender;
            m_localCandidate = source;
            m_state = m_state == stateSynAckReceived ? stateConnected : stateSynAckReceived;
        } else if (msg.hasAttribute(attrIceControlled)) {
            m_state = stateAckReceived;
        }
        return;
    }
    if (msg.getMethod() != stunBindingRequest) {
        TOU_PRINT(Tou::printLevelWarn, "<ICE> recv unkown message! drop it\n");
        return;
    }
    Address source;
    if (msg.getSourceAddress(source) && msg.hasAttribute(attrIceControlling)) {
        msg.getMessageId(m_transactionId);
        if (m_state <= stateSynSent) {
            m_synAckInterval = 100;
            m_state = stateSynReceived;
            m_localCandidate = source;
            m_remote = sender;
        }
    }
}

} // namespace NATTraver
} // namespace Orvan
