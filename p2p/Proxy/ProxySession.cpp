#include "Proxy/ProxySession.h"

#include "Infra3/Time.h"
#include "P2PSDK/Print.h"
#include "P2PSDK/StateName.h"
#include "Proxy/TouMessage.h"

#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace Orvan {
namespace Tou {

CProxySession::CProxySession(uint32_t sessionId, const SessionSendProc& sendData, const SessionQueryProc& queryBuf,
                             const SessionWritevProc& writev, const std::string& host, uint16_t port, int mtu)
    : m_sessionId(sessionId), m_socket(new NATTraver::Socket(false)), m_startTime(now()), m_sendData(sendData),
      m_queryBuf(queryBuf), m_writev(writev), m_readBuffer(kReadBufferSize), m_remoteHost(host), m_remotePort(port),
      m_mtu(mtu <= 0 ? kDefaultMtu : std::min(mtu, kMaxMtu))
{
    TOU_PRINT(printLevelTrace, "CProxySession MTU :%d\n", m_mtu);
}

CProxySession::~CProxySession()
{
    if (!m_handedOver)
        sendAck(touAckDisc);
    TOU_PRINT(printLevelTrace, "[%p][%u]CProxySession::~CProxySession state:[%s]()\n", static_cast<void*>(this),
              m_sessionId, getSessionStateText(getState()).c_str());
    if (!m_handedOver)
        m_socket->close();
    m_pending.reset();
}

uint64_t CProxySession::now() const { return Infra::CTime::getTickCountMs(); }

bool CProxySession::connect(const std::string& host, uint16_t port, int recvBuffer, int sendBuffer)
{
    TOU_PRINT(printLevelTrace, "session connect <%s:%d>\n", host.c_str(), port);
    NATTraver::Address address(host.c_str(), port);
    m_socket->createSocket(address);
    m_socket->setOption(NATTraver::optRecvBuffer, recvBuffer);
    m_socket->setOption(NATTraver::optSendBuffer, sendBuffer);
    m_socket->connect(address, 0);
    m_startTime = now();
    setState(sessionConn);
    return true;
}

bool CProxySession::attachSocket(int fd)
{
    m_socket = Memory::TSharedPtr<NATTraver::Socket>(new NATTraver::Socket(fd, false));
    m_socket->setOption(NATTraver::optRecvBuffer, kAttachBufferSize);
    m_socket->setOption(NATTraver::optSendBuffer, kAttachBufferSize);
    m_socket->setConnected(true);
    return true;
}

int CProxySession::detachSocket()
{
    m_handedOver = true;
    return m_socket->getFd();
}

void CProxySession::setsockopt(unsigned option, uint16_t value)
{
    if (option == sessionOptRecvBuffer)
        m_socket->setOption(NATTraver::optRecvBuffer, value);
    else if (option == sessionOptSendBuffer)
        m_socket->setOption(NATTraver::optSendBuffer, value);
    else
        TOU_PRINT(printLevelError, "Invalid option[%u].\r\n", option);
}

bool CProxySession::readTcp(bool& channelFull)
{
    if (getState() == sessionDisconnect) {
        TOU_PRINT(printLevelWarn, "session disconnect!\n");
        return false;
    }
    const int unit = m_mtu + TouMessage::kHeaderSize;
    bool attempted = false;
    for (;;) {
        int room = std::min(std::max(m_queryBuf(), 0), kReadBufferSize);
        int whole = room / unit;
        int rest = room % unit;
        int count = whole;
        int toRead = whole * m_mtu;
        if (rest > TouMessage::kHeaderSize) {
            toRead += rest - TouMessage::kHeaderSize;
            ++count;
        }
        if (toRead < m_mtu / 2 || toRead == 0) {
            if (!attempted)
                channelFull = true;
            return true;
        }
        attempted = true;
        int got = m_socket->recv(m_readBuffer.data(), toRead);
        if (got < 0) {
            TOU_PRINT(printLevelWarn, "[%u] CProxySession::read recv < 0 !\n", m_sessionId);
            setState(sessionDisconnect);
            return false;
        }
        if (got == 0)
            return true;

        std::vector<CPacket> messages;
        messages.reserve(size_t(count));
        for (int offset = 0; offset < got;) {
            int payload = std::min(m_mtu, got - offset);
            CPacket message(size_t(TouMessage::kHeaderSize + payload));
            if (!message.valid())
                break;
            uint8_t* p = message.getBuffer();
            TouMessage::writeHeader(p, touTypeData, uint16_t(payload), m_sessionId);
            std::memcpy(p + TouMessage::kHeaderSize, m_readBuffer.data() + offset, size_t(payload));
            messages.push_back(message);
            offset += payload;
        }
        int taken = 0;
        m_writev(messages.data(), int(messages.size()), &taken);
        if (taken < int(messages.size()))
            TOU_PRINT(printLevelError, "not send complete, need send %d, actual send %d\r\n", int(messages.size()),
                      taken);
        if (got < toRead)
            return true;
    }
}

void CProxySession::onData(const CPacket& message, bool& consumed)
{
    const uint8_t* p = message.getBuffer();
    if (!p || message.getSize() < size_t(TouMessage::kHeaderSize))
        return;
    switch (TouMessage::getType(p)) {
    case touTypeData:
        writeData(message, consumed);
        return;
    case touTypeAck:
        if (message.getSize() < size_t(TouMessage::kAckSize))
            return;
        switch (TouMessage::getAckStatus(p)) {
        case touAckConn:
            setState(sessionConnAcked);
            return;
        case touAckSinv:
            setState(sessionConnRepeatId);
            return;
        default:
            TOU_PRINT(printLevelWarn, "recv dissconn tou message![%d]\n", getSocketFd());
            setState(sessionDisconnect);
            return;
        }
    case touTypeSyn:
        TOU_PRINT(printLevelError, "error message! syn message deal must on p2pchannel!\n");
        return;
    default:
        return;
    }
}

void CProxySession::writeData(const CPacket& message, bool& consumed)
{
    int state = getState();
    if (state == sessionDisconnect || state == sessionConnTimeout) {
        // nobody can take these bytes any more: drop them so the channel keeps moving
        TOU_PRINT(printLevelWarn, "socket has closed!\n");
        m_pending.reset();
        m_pendingOffset = 0;
        return;
    }
    if (m_pending.valid()) {
        flushPending();
        if (m_pending.valid()) {
            consumed = false;
            return;
        }
    }
    int offset = 0;
    sendMessage(message, offset);
    if (offset < int(message.getSize()) && getState() != sessionDisconnect) {
        m_pending = message;
        m_pendingOffset = offset;
    }
}

void CProxySession::sendMessage(const CPacket& message, int& offset)
{
    int state = getState();
    if (state == sessionDisconnect || state == sessionConnTimeout) {
        TOU_PRINT(printLevelWarn, "socket has closed!\n");
        return;
    }
    if (offset == 0)
        offset = TouMessage::kHeaderSize;
    sendNode(message, offset);
}

int CProxySession::sendNode(const CPacket& message, int& offset)
{
    int size = int(message.getSize());
    if (offset >= size)
        return 0;
    int sent = m_socket->send(message.getBuffer() + offset, size - offset);
    if (sent < 0) {
        if (getState() != sessionDisconnect)
            TOU_PRINT(printLevelWarn, "send message fail![%d]\n", getSocketFd());
        TOU_PRINT(printLevelWarn, "CProxySession::sendNode sessionDisconnect !\n");
        setState(sessionDisconnect);
        return -1;
    }
    offset += sent;
    return 0;
}

void CProxySession::flushPending()
{
    if (!m_pending.valid())
        return;
    int state = getState();
    if (state == sessionDisconnect || state == sessionConnTimeout) {
        m_pending.reset();
        m_pendingOffset = 0;
        return;
    }
    sendMessage(m_pending, m_pendingOffset);
    if (m_pendingOffset >= int(m_pending.getSize()) || getState() == sessionDisconnect) {
        m_pending.reset();
        m_pendingOffset = 0;
    }
}

bool CProxySession::connectFailed()
{
    int err = 0;
    socklen_t len = sizeof err;
    return ::getsockopt(m_socket->getFd(), SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0;
}

void CProxySession::heartbeat()
{
    int state = getState();
    if (state == sessionConnSuccess)
        return;
    if (state == sessionConnAcked) {
        TOU_PRINT(printLevelTrace, "session [%u] connect success.\r\n", m_sessionId);
        setState(sessionConnSuccess);
        return;
    }
    if (now() - m_startTime <= kConnectLimitMs) {
        if (state != sessionConn || m_socket->select(NATTraver::Socket::selectWrite, 0) <= 0)
            return;
        // a refused connect also reads as writable here; its error says which it was
        if (connectFailed()) {
            TOU_PRINT(printLevelWarn, "session [%u] connect <%s:%u> refused.\r\n", m_sessionId,
                      m_remoteHost.c_str(), unsigned(m_remotePort));
            sendAck(touAckDisc);
            setState(sessionConnFail);
            return;
        }
        sendAck(touAckConn);
        m_socket->setConnected(true);
        setState(sessionConnSuccess);
        TOU_PRINT(printLevelTrace, "session [%u] connect success.\r\n", m_sessionId);
        return;
    }
    TOU_PRINT(printLevelWarn, "connect time out, session[%u], current state[%d]\n", m_sessionId, state);
    sendAck(touAckDisc);
    setState(sessionConnTimeout);
}

void CProxySession::sendAck(int status)
{
    CPacket packet(size_t(TouMessage::kAckSize));
    if (!packet.valid())
        return;
    TouMessage::writeAck(packet.getBuffer(), m_sessionId, status);
    m_sendData(packet);
}

int CProxySession::getState()
{
    Infra::CMutexGuard lock(m_stateLock);
    return m_state;
}

void CProxySession::setState(int state)
{
    Infra::CMutexGuard lock(m_stateLock);
    m_state = state;
}

int CProxySession::getSocketFd() const { return m_socket->getFd(); }

void CProxySession::setMtu(uint16_t mtu) { m_mtu = mtu == 0 ? kDefaultMtu : std::min(int(mtu), kMaxMtu); }

std::string CProxySession::getSessionStateText(int state)
{
    return CStateName::text(&CStateName::getSessionStateName, state);
}

} // namespace Tou
} // namespace Orvan
