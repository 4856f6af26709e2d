#include "Proxy/ProxyChannel.h"

#include "Infra3/Time.h"
#include "P2PSDK/Print.h"
#include "P2PSDK/StateName.h"
#include "Proxy/TouMessage.h"

#include <cstring>

namespace Orvan {
namespace Tou {

CProxyChannel::CProxyChannel() : m_createTime(Infra::CTime::getTickCountMs()) { startSessionReading(); }

CProxyChannel::~CProxyChannel()
{
    TOU_PRINT(printLevelTrace, "~~CProxyChannel [%p]\r\n", static_cast<void*>(this));
    SessionMap doomed;
    {
        Infra::CMutexGuard lock(m_sessionLock);
        doomed.swap(m_sessions);
    }
    doomed.clear(); // each session says "DISC" while the PTCP channel is still there
    PtcpChannelPtr channel = getPtcpChannel();
    if (channel.get())
        CPtcpChannelMng::destroyByChannel(channel);
    stopSessionReading();
    setPtcpChannel(PtcpChannelPtr());
}

ProxyTask CProxyChannel::readTask() { return ProxyTask(&CProxyChannel::readSessions, this); }

void CProxyChannel::stopSessionReading()
{
    Infra::CMutexGuard lock(m_readingLock);
    if (!m_reading)
        return;
    CProxyThreadPool::instance(1)->detach(readTask());
    m_reading = false;
}

void CProxyChannel::startSessionReading()
{
    Infra::CMutexGuard lock(m_readingLock);
    if (m_reading)
        return;
    CProxyThreadPool::instance(1)->attach(readTask());
    m_reading = true;
}

bool CProxyChannel::sendControl(const uint8_t* bytes, int size)
{
    CPacket packet(size_t(kControlCapacity), 0);
    if (!packet.valid() || !packet.resize(0) || packet.append(bytes, size_t(size)) != size_t(size)) {
        TOU_PRINT(printLevelError, "call sendData failed.\r\n");
        return false;
    }
    int rc = sendData(packet);
    // a send error loses the message as surely as a missing channel does
    if (rc == 0 || rc == -1) {
        TOU_PRINT(printLevelError, "call sendData failed.\r\n");
        return false;
    }
    return true;
}

bool CProxyChannel::sendKeepAlive()
{
    uint8_t m[TouMessage::kHeaderSize];
    return sendControl(m, TouMessage::writeHeader(m, touTypeKeepAlive, 0, 0));
}

bool CProxyChannel::sendPause()
{
    uint8_t m[TouMessage::kHeaderSize];
    return sendControl(m, TouMessage::writeHeader(m, touTypePause, 0, 0));
}

bool CProxyChannel::sendPauseAck(uint32_t ptcpChannelId)
{
    uint8_t m[TouMessage::kChannelIdSize];
    return sendControl(m, TouMessage::writeChannelId(m, touTypePauseAck, ptcpChannelId));
}

bool CProxyChannel::sendResume(uint32_t ptcpChannelId)
{
    uint8_t m[TouMessage::kChannelIdSize];
    return sendControl(m, TouMessage::writeChannelId(m, touTypeResume, ptcpChannelId));
}

bool CProxyChannel::sendResumeAck(uint32_t ptcpChannelId)
{
    uint8_t m[TouMessage::kChannelIdSize];
    return sendControl(m, TouMessage::writeChannelId(m, touTypeResumeAck, ptcpChannelId));
}

bool CProxyChannel::sendResumeSuccess()
{
    uint8_t m[TouMessage::kHeaderSize];
    return sendControl(m, TouMessage::writeHeader(m, touTypeResumeSuccess, 0, 0));
}

bool CProxyChannel::sendSyn(uint32_t sessionId, const std::string& host, uint16_t port)
{
    TOU_PRINT(printLevelTrace, "connect remote [%s:%u] sessoin[%u].\r\n", host.c_str(), unsigned(port), sessionId);
    uint8_t m[TouMessage::kSynSize];
    return sendControl(m, TouMessage::writeSyn(m, sessionId, host.c_str(), port));
}

bool CProxyChannel::sendAck(uint32_t sessionId, int status)
{
    uint8_t m[TouMessage::kAckSize];
    return sendControl(m, TouMessage::writeAck(m, sessionId, status));
}

bool CProxyChannel::checkTouPacket(const CPacket& message)
{
    int size = int(message.getSize());
    if (size < TouMessage::kHeaderSize || !message.getBuffer()) {
        TOU_PRINT(printLevelWarn, "unkown message packet! size:%d, dropping\n", size);
        return false;
    }
    const uint8_t* p = message.getBuffer();
    int expected = TouMessage::expectedSize(p);
    if (size != expected) {
        TOU_PRINT(printLevelWarn,
                  "CProxyChannel::onTouPacket: recv error packet! packet.size()[%d] != [%d]packetLength message "
                  "type[%d]!\n",
                  size, expected, TouMessage::getType(p));
        return false;
    }
    return true;
}

bool CProxyChannel::isSessionData(const CPacket& message)
{
    if (message.getSize() < size_t(TouMessage::kHeaderSize) || !message.getBuffer()) {
        TOU_PRINT(printLevelWarn, "unkown message packet! size:%d, dropping\n", int(message.getSize()));
        return false;
    }
    int type = TouMessage::getType(message.getBuffer());
    return type == touTypeData || type == touTypeDataEx;
}

void CProxyChannel::transferState()
{
    if (getState() == proxyChannelDisconnect)
        return;
    PtcpChannelPtr channel = getPtcpChannel();
    int ptcpState = channel.get() ? channel->getState() : PTCP_CHANNEL_DISCONNECT;
    switch (ptcpState) {
    case PTCP_CHANNEL_INIT:
    case PTCP_CHANNEL_CONN_START:
        setState(proxyChannelInit);
        break;
    case PTCP_CHANNEL_CONN_FAIL:
    case PTCP_CHANNEL_DISCONNECT:
        setState(proxyChannelDisconnect);
        break;
    case PTCP_CHANNEL_CONN_SUCCESS:
        setState(proxyChannelConnSuccess);
        break;
    default:
        TOU_PRINT(printLevelError, "error state[%d]\r\n", ptcpState);
    }
}

int CProxyChannel::getState()
{
    Infra::CMutexGuard lock(m_stateLock);
    return m_state;
}

void CProxyChannel::setState(int state)
{
    Infra::CMutexGuard lock(m_stateLock);
    m_state = state;
}

int CProxyChannel::getSwitchState()
{
    Infra::CMutexGuard lock(m_switchLock);
    return m_switchState;
}

void CProxyChannel::setSwitchState(int state)
{
    Infra::CMutexGuard lock(m_switchLock);
    m_switchState = state;
}

int CProxyChannel::queryBuf()
{
    Infra::CReadGuard lock(m_channelLock);
    if (!m_ptcpChannel.get()) {
        TOU_PRINT(printLevelWarn, "ptcp channel has closed!\n");
        return 0;
    }
    int room = m_ptcpChannel->queryBuf() - kQueryMargin;
    return room < 0 ? 0 : room;
}

int CProxyChannel::sendData(const CPacket& message)
{
    Infra::CReadGuard lock(m_channelLock);
    if (!m_ptcpChannel.get()) {
        TOU_PRINT(printLevelWarn, "ptcp channel has closed!\n");
        return 0;
    }
    int rc = m_ptcpChannel->send(message);
    if (rc < 0) {
        TOU_PRINT(printLevelError, "send ret == -1, error!!!!\n");
        return -1;
    }
    return rc;
}

int CProxyChannel::writev(const CPacket* messages, int count, int* taken)
{
    if (taken)
        *taken = 0;
    if (getState() != proxyChannelConnSuccess)
        return 0;
    Infra::CReadGuard lock(m_channelLock);
    if (!m_ptcpChannel.get()) {
        TOU_PRINT(printLevelWarn, "ptcp channel has closed!\n");
        return 0;
    }
    int rc = m_ptcpChannel->writev(messages, count, taken);
    if (rc < 0) {
        TOU_PRINT(printLevelError, "send ret == -1, error!!!!\n");
        return -1;
    }
    return rc;
}

CProxyChannel::SessionPtr CProxyChannel::createSession(uint32_t sessionId, int mtu, const std::string& host,
                                                       uint16_t port)
{
    return SessionPtr(new CProxySession(sessionId, SessionSendProc(&CProxyChannel::sendData, this),
                                        SessionQueryProc(&CProxyChannel::queryBuf, this),
                                        SessionWritevProc(&CProxyChannel::writev, this), host, port, mtu));
}

bool CProxyChannel::readSessions()
{
    serveSessions([](CProxySession& s, bool& full) { return s.readTcp(full); });
    return true;
}

void CProxyChannel::serveSessions(const SessionReader& reader)
{
    Infra::CMutexGuard lock(m_sessionLock);
    if (m_sessions.empty())
        return;
    SessionMap::iterator start = m_sessions.find(m_lastSessionId);
    if (start == m_sessions.end())
        start = m_sessions.begin();
    SessionMap::iterator it = start;
    do {
        CProxySession& session = *it->second;
        if (session.getState() == sessionConnSuccess) {
            bool full = false;
            reader(session, full);
            if (full) {
                m_lastSessionId = it->first;
                return;
            }
        }
        if (++it == m_sessions.end())
            it = m_sessions.begin();
    } while (it != start);
}

void CProxyChannel::receiveMessages(const ChannelPicker& pick, const MessageHandler& handle)
{
    if (getState() == proxyChannelDisconnect)
        return;
    Infra::CMutexGuard pass(m_receiveLock);
    {
        Infra::CMutexGuard lock(m_sessionLock);
        for (auto& entry : m_sessions)
            if (!entry.second->isPendingEmpty())
                entry.second->flushPending();
    }
    for (;;) {
        CPacket message;
        bool removed = false;
        {
            Infra::CReadGuard lock(m_channelLock);
            PtcpChannelPtr channel = pick();
            if (!channel.get())
                return;
            int rc = channel->recv(message);
            if (rc < 0)
                return;
            if (rc == 0) {
                setState(proxyChannelDisconnect);
                return;
            }
            if (!isSessionData(message)) {
                channel->pop();
                removed = true;
            }
        }
        bool consumed = true;
        handle(message, consumed);
        if (removed)
            continue;
        if (!consumed)
            return; // the session is blocked: the message waits for the next notification
        Infra::CReadGuard lock(m_channelLock);
        PtcpChannelPtr channel = pick();
        if (channel.get())
            channel->pop();
    }
}

bool CProxyChannel::handleCommonTouPacket(int type, const CPacket& message, bool& consumed)
{
    switch (type) {
    case touTypeData:
    case touTypeAck:
        dispatchToSession(message, consumed);
        return true;
    case touTypeKeepAlive:
    case touTypeDataEx:
        return true;
    case touTypeClose:
        setState(proxyChannelDisconnect);
        return true;
    default:
        return false;
    }
}

void CProxyChannel::dispatchToSession(const CPacket& message, bool& consumed)
{
    SessionPtr session;
    {
        Infra::CMutexGuard lock(m_sessionLock);
        auto it = m_sessions.find(TouMessage::getSessionId(message.getBuffer()));
        if (it != m_sessions.end())
            session = it->second;
    }
    if (session.get())
        session->onData(message, consumed);
}

void CProxyChannel::superviseSessions(std::vector<SessionPtr>* repeated)
{
    std::vector<SessionPtr> finished; // released after the mutex
    Infra::CMutexGuard lock(m_sessionLock);
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        CProxySession& s = *it->second;
        s.heartbeat();
        uint32_t id = it->first;
        switch (s.getState()) {
        case sessionConnRepeatId:
            TOU_PRINT(printLevelWarn, "repeat session id[%u], recreate session!\n", id);
            if (repeated)
                repeated->push_back(it->second);
            else
                finished.push_back(it->second);
            break;
        case sessionConnFail:
            TOU_PRINT(printLevelTrace, "session[%u] connect failed!\n", id);
            finished.push_back(it->second);
            break;
        case sessionConnTimeout:
            TOU_PRINT(printLevelTrace, "session[%u] connect timeout!\n", id);
            finished.push_back(it->second);
            break;
        case sessionDisconnect:
            TOU_PRINT(printLevelTrace, "session[%u] connect disconnected!\n", id);
            finished.push_back(it->second);
            break;
        default:
            ++it;
            continue;
        }
        it = m_sessions.erase(it);
    }
}

void CProxyChannel::sweepDisconnected()
{
    std::vector<SessionPtr> finished;
    Infra::CMutexGuard lock(m_sessionLock);
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (it->second->getState() == sessionDisconnect) {
            it->second->sendAck(touAckDisc);
            finished.push_back(it->second);
            it = m_sessions.erase(it);
        } else {
            ++it;
        }
    }
}

CProxyChannel::PtcpChannelPtr CProxyChannel::getPtcpChannel()
{
    Infra::CReadGuard lock(m_channelLock);
    return m_ptcpChannel;
}

void CProxyChannel::setPtcpChannel(const PtcpChannelPtr& channel)
{
    Infra::CWriteGuard lock(m_channelLock);
    m_ptcpChannel = channel;
}

uint32_t CProxyChannel::getChannelId()
{
    Infra::CReadGuard lock(m_channelLock);
    return m_ptcpChannel.get() ? m_ptcpChannel->getChannelId() : 0;
}

int CProxyChannel::getLocalPort()
{
    Infra::CReadGuard lock(m_channelLock);
    return m_ptcpChannel.get() ? m_ptcpChannel->getLocalPort() : 0;
}

bool CProxyChannel::getRemoteInfo(PtcpRemoteInfo* info)
{
    Infra::CReadGuard lock(m_channelLock);
    if (!m_ptcpChannel.get() || !info)
        return false;
    m_ptcpChannel->getRemoteInfo(info);
    return true;
}

bool CProxyChannel::getStatistics(PtcpChannelStatistics* stats)
{
    Infra::CReadGuard lock(m_channelLock);
    if (!m_ptcpChannel.get() || !stats)
        return false;
    m_ptcpChannel->getStatistics(stats);
    return true;
}

size_t CProxyChannel::sessionCount()
{
    Infra::CMutexGuard lock(m_sessionLock);
    return m_sessions.size();
}

std::string CProxyChannel::stateName(int state)
{
    return CStateName::text(&CStateName::getProxyChannelStateName, state);
}

} // namespace Tou
} // namespace Orvan
