#include "Proxy/ProxyChannelClient.h"

#include "Infra3/Time.h"
#include "P2PSDK/Print.h"
#include "Proxy/TouMessage.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include <unistd.h>

namespace Orvan {
namespace Tou {
namespace {

std::mutex g_hooksLock;
ProxySwitchHooks g_hooks;

ProxySwitchHooks hooks()
{
    std::lock_guard<std::mutex> lock(g_hooksLock);
    return g_hooks;
}

uint64_t tickMs() { return Infra::CTime::getTickCountMs(); }

} // namespace

void CProxyChannelClient::setSwitchHooks(const ProxySwitchHooks& value)
{
    std::lock_guard<std::mutex> lock(g_hooksLock);
    g_hooks = value;
}

CProxyChannelClient::CProxyChannelClient(const ProxyLink& link, int linkType, const P2PServerInfo& server,
                                         const Memory::TSharedPtr<CProxyClientConfig>& config,
                                         const TraversalHandler& handler)
    : m_config(config), m_handler(handler), m_server(server), m_channelType(link.channelType), m_deviceId(link.id)
{
    PtcpChannelPtr channel;
    CPtcpChannelMng::create(channel, m_config->getConfig(proxyOptPtcpThreadNum),
                            m_config->getConfig(proxyOptPtcpSendBuffer), m_config->getConfig(proxyOptPtcpRecvBuffer),
                            ChannelNotifyProc(&CProxyChannelClient::onPtcp, this), link.info, link.socket, link.id,
                            linkType);
    setPtcpChannel(channel);
    channel->connect(); // a connect that never completes is ended by the heartbeat's limit
    m_createTime = tickMs();
    m_peerSupportsSwitch = isPeerSupportLinkSwitchAndLocalP2P(link.peerVersion);
    m_reportPending = bool(m_handler);
}

CProxyChannelClient::~CProxyChannelClient()
{
    TOU_PRINT(printLevelTrace, "~~CProxyChannelClient [%p]\r\n", static_cast<void*>(this));
    setState(proxyChannelDisconnect);
    PtcpChannelPtr main = getPtcpChannel();
    PtcpChannelPtr spare = getSwitchChannel();
    if (main.get())
        main->stopRecvTimer();
    if (spare.get())
        spare->stopRecvTimer();
    if (m_timerRegistered) {
        ProxySwitchHooks h = hooks();
        if (h.removeTimedProc)
            h.removeTimedProc(timerProc());
    }
    dropSwitchChannel();
    std::vector<HeldSession> held;
    {
        Infra::CMutexGuard lock(m_heldLock);
        held.swap(m_held);
    }
    for (const HeldSession& h : held)
        ::close(h.fd);
    m_config.reset();
    m_switchLink.reset();
}

uint32_t CProxyChannelClient::createSessionId()
{
    static std::mutex lock;
    static uint32_t v = 0;
    std::lock_guard<std::mutex> guard(lock);
    v = (uint32_t(std::rand() ^ std::rand()) | v) << 16;
    v = ((uint32_t(std::rand() ^ std::rand()) | v) & 0xFFFFFF00u) << 8;
    v = (uint32_t(std::rand() ^ std::rand()) | v) + 1;
    TOU_PRINT(printLevelTrace, "CProxyChannelClient::createSessionId: createSessionId:[%u]\n", v);
    return v;
}

bool CProxyChannelClient::isPeerSupportLinkSwitchAndLocalP2P(const std::string& version)
{
    if (version.empty()) {
        TOU_PRINT(printLevelTrace, "peer version is old version.\r\n");
        return false;
    }
    TOU_PRINT(printLevelTrace, "peer p2p version:%s.\r\n", version.c_str());
    size_t first = version.find('.');
    if (first == std::string::npos || version.find('.', first + 1) == std::string::npos || first == 0)
        return false;
    long major = 0;
    for (size_t i = 0; i < first; ++i) {
        if (version[i] < '0' || version[i] > '9')
            return false;
        major = major * 10 + (version[i] - '0');
        if (major > 1000000)
            break;
    }
    return major >= 5;
}

bool CProxyChannelClient::createTcpSession(int fd, const std::string& host, uint16_t port)
{
    Infra::CMutexGuard hold(m_heldLock);
    if (m_holding) {
        TOU_PRINT(printLevelTrace, "channel switching, session of fd[%d] waits for the new link\n", fd);
        m_held.push_back(HeldSession{fd, host, port});
        return true;
    }
    uint32_t id = createSessionId();
    for (;;) {
        bool taken;
        {
            Infra::CMutexGuard lock(m_sessionLock);
            taken = m_sessions.count(id) != 0;
        }
        if (!taken)
            break;
        TOU_PRINT(printLevelWarn, "repeat key[%d], recreate session id\n", int(id));
        id = createSessionId();
    }
    SessionPtr session = createSession(id, m_config->getConfig(proxyOptMtu), host, port);
    session->attachSocket(fd);
    {
        // in the map before the Syn goes out: the device's answer may come back at once
        Infra::CMutexGuard lock(m_sessionLock);
        m_sessions[id] = session;
    }
    sendSyn(id, host, port);
    return true;
}

void CProxyChannelClient::holdNewSessions()
{
    Infra::CMutexGuard lock(m_heldLock);
    m_holding = true;
}

void CProxyChannelClient::releaseHeldSessions()
{
    std::vector<HeldSession> held;
    {
        Infra::CMutexGuard lock(m_heldLock);
        m_holding = false;
        held.swap(m_held);
    }
    for (const HeldSession& h : held)
        createTcpSession(h.fd, h.host, h.port);
}

CProxyChannel::PtcpChannelPtr CProxyChannelClient::getSwitchChannel()
{
    Infra::CReadGuard lock(m_channelLock);
    return m_switchChannel;
}

void CProxyChannelClient::dropSwitchChannel()
{
    PtcpChannelPtr spare;
    {
        Infra::CWriteGuard lock(m_channelLock);
        spare = m_switchChannel;
        m_switchChannel.reset();
    }
    if (spare.get())
        CPtcpChannelMng::destroyByChannel(spare);
}

void CProxyChannelClient::onPtcp(uint64_t, uint32_t ptcpChannelId)
{
    receiveMessages(
        [this, ptcpChannelId] {
            if (m_ptcpChannel.get() && m_ptcpChannel->getChannelId() == ptcpChannelId)
                return m_ptcpChannel;
            return m_switchChannel;
        },
        [this](const CPacket& message, bool& consumed) { onTouPacket(message, consumed); });
}

void CProxyChannelClient::onTouPacket(const CPacket& message, bool& consumed)
{
    if (!checkTouPacket(message))
        return;
    const uint8_t* p = message.getBuffer();
    int type = TouMessage::getType(p);
    if (handleCommonTouPacket(type, message, consumed))
        return;
    switch (type) {
    case touTypeSyn:
        TOU_PRINT(printLevelWarn, "CProxyChannelClient::onTouPacket: recv error msg[touTypeSyn]!\n");
        break;
    case touTypePauseAck:
        TOU_PRINT(printLevelWarn, "recv touTypePauseAck\r\n");
        if (getSwitchState() == switchStatePause) {
            m_resumeValue = TouMessage::getChannelId(p);
            setSwitchState(switchStateResumeDue);
        } else {
            TOU_PRINT(printLevelError, "recv touTypePauseAck in switch state[%d].\r\n", getSwitchState());
        }
        break;
    case touTypeResumeAck: {
        TOU_PRINT(printLevelWarn, "recv touTypeResumeAck\r\n");
        int state = getSwitchState();
        if (state == switchStateResume)
            setSwitchState(switchStateSwitched);
        else if (state == switchStateResumeAckTimeout)
            setSwitchState(switchStateBackToRelay);
        break;
    }
    default:
        TOU_PRINT(printLevelError, "invalid tou message[%d]\r\n", type);
        break;
    }
}

void CProxyChannelClient::heartbeat()
{
    uint64_t now = tickMs();
    PtcpChannelPtr main = getPtcpChannel();
    PtcpChannelPtr spare = getSwitchChannel();
    if (main.get())
        main->heartbeat(now);
    if (spare.get())
        spare->heartbeat(now);
    transferState();
    if (spare.get() && spare->getState() == PTCP_CHANNEL_DISCONNECT) {
        dropSwitchChannel();
        // once the Pause is out, session reading is stopped on both ends: only the switch's own
        // time limits (falling back to the relay) may end it
        if (getSwitchState() <= switchStateReady)
            setSwitchState(switchStateInit);
    }
    switch (getState()) {
    case proxyChannelInit:
        if (now - m_createTime > CPtcpChannel::kConnectLimitMs)
            setState(proxyChannelDisconnect);
        return;
    case proxyChannelDisconnect:
        return;
    case proxyChannelConnSuccess:
        sessionCheck();
        break;
    default:
        TOU_PRINT(printLevelError, "error state[%d].\r\n", getState());
        break;
    }
    queryLinkState();
    procLinkSwitch(now);
    reportTraversalInfo();
}

void CProxyChannelClient::sessionCheck()
{
    {
        // a "DISC" sent now could reach the device's channel after it moved to the new link
        Infra::CMutexGuard lock(m_heldLock);
        if (m_holding)
            return;
    }
    std::vector<SessionPtr> repeated;
    superviseSessions(&repeated);
    // the device refused the id, not the connection: the same TCP connection goes on under a new id
    for (SessionPtr& old : repeated)
        createTcpSession(old->detachSocket(), old->getRemoteHost(), old->getRemotePort());
}

bool CProxyChannelClient::checkAlive(uint64_t now)
{
    PtcpChannelPtr main = getPtcpChannel();
    PtcpChannelPtr spare = getSwitchChannel();
    if (main.get())
        main->longTimeTaskDeal(now);
    if (spare.get())
        spare->longTimeTaskDeal(now);
    int state = getState();
    if (state == proxyChannelDisconnect)
        return false;
    if (state != proxyChannelConnSuccess || getSwitchState() >= switchStateReady)
        return true;
    if (m_keepAliveCount++ % 5 == 0)
        CProxyChannel::sendKeepAlive();

    if (getLinkType() == linkTypeRelay && m_config->getConfig(proxyOptLinkSwitch) == 1 &&
        getSwitchState() == switchStateInit && m_peerSupportsSwitch && m_switchAttempts == 0 && m_firstP2PFinished) {
        ProxySwitchHooks h = hooks();
        if (!m_timerRegistered && h.addTimedProc) {
            h.addTimedProc(now, timerProc());
            m_timerRegistered = true;
        }
        bool fire;
        {
            Infra::CMutexGuard lock(m_timerLock);
            fire = m_timerFired;
            if (fire)
                m_timerFired = false;
        }
        if (fire) {
            m_timerRegistered = false;
            startLinkSwitch(now);
        }
    }
    sweepDisconnected();
    return true;
}

ProxySwitchHooks::Proc CProxyChannelClient::timerProc()
{
    return ProxySwitchHooks::Proc(&CProxyChannelClient::onSwitchTimer, this);
}

void CProxyChannelClient::onSwitchTimer()
{
    Infra::CMutexGuard lock(m_timerLock);
    m_timerFired = true;
}

void CProxyChannelClient::startLinkSwitch(uint64_t now)
{
    ProxySwitchHooks h = hooks();
    if (!h.startLink)
        return;
    SwitchLinkPtr link = h.startLink(m_server, m_deviceId, m_channelType, m_config->getConfig(proxyOptPortGuess) == 1,
                                     m_config->getConfig(proxyOptLinkSwitch) == 1,
                                     m_config->getConfig(proxyOptMultiHolePunch) == 1);
    if (!link.get())
        return;
    m_switchLink = link;
    m_switchStartTime = now;
    setSwitchState(switchStateIce);
}

bool CProxyChannelClient::replaceLink(const SwitchLinkPtr& link)
{
    if (getState() != proxyChannelConnSuccess)
        return false;
    int state = getSwitchState();
    if (state == switchStateInit || state == switchStateIce) {
        m_switchLink = link;
        if (state == switchStateInit)
            m_switchStartTime = tickMs();
        setSwitchState(switchStateIce);
        TOU_PRINT(printLevelWarn, "Replace LinkThroughClient[%p]\n", static_cast<void*>(link.get()));
        return true;
    }
    TOU_PRINT(printLevelWarn, "Channel Switching[%p]\n", static_cast<void*>(this));
    return true;
}

void CProxyChannelClient::queryLinkState()
{
    if (getSwitchState() != switchStateIce || !m_switchLink.get())
        return;
    switch (m_switchLink->getP2PState()) {
    case IProxySwitchLink::p2pRunning:
        return;
    case IProxySwitchLink::p2pSuccess: {
        TOU_PRINT(printLevelWarn, "ice success, begin to link switch!\n");
        ProxyLink link;
        PtcpChannelPtr spare;
        if (m_switchLink->getP2PLink(link))
            CPtcpChannelMng::create(spare, m_config->getConfig(proxyOptPtcpThreadNum),
                                    m_config->getConfig(proxyOptPtcpSendBuffer),
                                    m_config->getConfig(proxyOptPtcpRecvBuffer),
                                    ChannelNotifyProc(&CProxyChannelClient::onPtcp, this), link.info, link.socket,
                                    link.id, linkTypeP2P);
        if (spare.get() && spare->connect()) {
            {
                Infra::CWriteGuard lock(m_channelLock);
                m_switchChannel = spare;
            }
            m_resumeValue = 0;
            setSwitchState(switchStateReady);
        } else {
            TOU_PRINT(printLevelError, "connect failed.\r\n");
            if (spare.get())
                CPtcpChannelMng::destroyByChannel(spare);
            setSwitchState(switchStateInit);
        }
        break;
    }
    case IProxySwitchLink::p2pFailure:
        ++m_switchAttempts;
        TOU_PRINT(printLevelTrace, "Link Through Notify Exception! localPort:%d\n", m_switchLink->getLocalPort());
        setSwitchState(switchStateInit);
        break;
    default:
        m_switchLink.reset();
        return;
    }
    m_switchLink.reset();
}

void CProxyChannelClient::resumeFailed(const char* line, uint64_t now)
{
    TOU_PRINT(printLevelWarn, "%s", line);
    setSwitchState(switchStateResumeAckTimeout);
    m_relayResumeTime = now;
    CProxyChannel::sendResume(m_resumeValue);
    ++m_switchAttempts;
}

void CProxyChannelClient::procLinkSwitch(uint64_t now)
{
    int state = getSwitchState();
    switch (state) {
    case switchStateInit:
        break;
    case switchStateIce:
        if (now - m_switchStartTime > kSwitchIceLimitMs) {
            TOU_PRINT(printLevelError, "ice check timeout, set switch state to switchStateInit.\r\n");
            m_switchLink.reset();
            dropSwitchChannel();
            setSwitchState(switchStateInit);
            ++m_switchAttempts;
        }
        break;
    case switchStateReady:
        stopSessionReading();
        holdNewSessions(); // before the Pause: no Syn may follow it on the old link
        // each step's state is set before its message goes out: the answer may be back first
        TOU_PRINT(printLevelTrace, "set switch state to switchStatePause\r\n");
        m_pauseTime = now;
        setSwitchState(switchStatePause);
        sendPause();
        break;
    case switchStatePause:
        if (now - m_pauseTime > kSwitchStepLimitMs) {
            TOU_PRINT(printLevelError, "recv touTypePauseAck timeout, set state to Disconnect.\r\n");
            setState(proxyChannelDisconnect);
        }
        break;
    case switchStateResumeDue:
        if (now - m_pauseTime > kSwitchStepLimitMs) {
            resumeFailed("send touTypeResume timeout, set switch state to switchStateResumeAckTimeout.\r\n", now);
        } else {
            setSwitchState(switchStateResume);
            if (sendResume(m_resumeValue))
                TOU_PRINT(printLevelWarn, "set switch state switchStateResume\r\n");
            else
                setSwitchState(switchStateResumeDue); // nothing to answer: tried again next turn
        }
        break;
    case switchStateResume:
        if (now - m_pauseTime > kSwitchStepLimitMs)
            resumeFailed("recv touTypeResumeAck in p2p channel timeout, set switch state to "
                         "linkSwitchStateSwitchResumeTimeout.\r\n",
                         now);
        break;
    case switchStateResumeAckTimeout:
        if (now - m_relayResumeTime > kSwitchStepLimitMs) {
            TOU_PRINT(printLevelError, "recv touTypeResumeAck in relay channel timeout, set state to disconnect.\r\n");
            setState(proxyChannelDisconnect);
        }
        break;
    case switchStateBackToRelay:
        TOU_PRINT(printLevelWarn, "resume channel to relay.\r\n");
        dropSwitchChannel();
        sendResumeSuccess();
        releaseHeldSessions();
        startSessionReading();
        setSwitchState(switchStateInit);
        break;
    case switchStateSwitched: {
        PtcpChannelPtr old;
        {
            Infra::CWriteGuard lock(m_channelLock);
            old = m_ptcpChannel;
            m_ptcpChannel = m_switchChannel;
            m_switchChannel.reset();
        }
        if (old.get()) {
            old->stopRecvTimer();
            CPtcpChannelMng::destroyByChannel(old);
        }
        sendResumeSuccess();
        releaseHeldSessions();
        startSessionReading();
        setSwitchState(switchStateInit);
        TOU_PRINT(printLevelWarn, "link switch success.\r\n");
        break;
    }
    default:
        TOU_PRINT(printLevelError, "error link switch state[%d]\r\n", state);
        break;
    }
}

int CProxyChannelClient::getLinkType()
{
    Infra::CReadGuard lock(m_channelLock);
    return m_ptcpChannel.get() ? m_ptcpChannel->getLinkType() : -1;
}

void CProxyChannelClient::reportTraversalInfo()
{
    if (!m_reportPending)
        return;
    if (getLinkType() == linkTypeRelay && m_peerSupportsSwitch && m_switchAttempts != 1)
        return;
    PtcpTraversalInfo info;
    {
        Infra::CReadGuard lock(m_channelLock);
        if (!m_ptcpChannel.get())
            return;
        m_ptcpChannel->getTraversalInfo(&info);
    }
    m_handler(info.key, info.remoteIp, info.remotePort, info.localIp, info.localPort, info.linkType);
    m_reportPending = false;
    TOU_PRINT(printLevelTrace, "[%s] LinkType: %d\n", info.key.c_str(), info.linkType);
}

void CProxyChannelClient::notifyFirstP2PFinish()
{
    TOU_PRINT(printLevelTrace, "First P2P Finished\n");
    m_firstP2PFinished = true;
}

void CProxyChannelClient::setLinkSwitch(bool on) { m_config->setConfig(proxyOptLinkSwitch, on ? 1 : 0); }

bool CProxyChannelClient::setRemoteOption(int option, int value)
{
    uint8_t m[TouMessage::kCommandSize];
    TouMessage::writeCommand(m, uint16_t(option), uint32_t(value));
    CPacket packet(sizeof m);
    int rc = 0;
    if (packet.valid()) {
        std::memcpy(packet.getBuffer(), m, sizeof m);
        rc = sendData(packet);
    }
    int port = getLocalPort();
    if (rc == 0 || rc == -1) {
        TOU_PRINT(printLevelError, "call sendData failed.\r\n");
        TOU_PRINT(printLevelWarn, "channel[local port %u] set remote option[%d] to value %d failed.\r\n",
                  unsigned(port), option, value);
        return false;
    }
    TOU_PRINT(printLevelTrace, "channel[local port %u] set remote option[%d] to value %d success.\r\n", unsigned(port),
              option, value);
    return true;
}

int CProxyChannelClient::sendDataInSwitchChannel(const CPacket& packet)
{
    Infra::CReadGuard lock(m_channelLock);
    if (!m_switchChannel.get()) {
        TOU_PRINT(printLevelError, "switch channel is close.\r\n");
        return 0;
    }
    if (m_switchChannel->getState() != PTCP_CHANNEL_CONN_SUCCESS) {
        TOU_PRINT(printLevelError, "switch channel is not connect success.\r\n");
        return 0;
    }
    int rc = m_switchChannel->send(packet);
    if (rc < 0) {
        TOU_PRINT(printLevelError, "send ret == -1, error!!!!\n");
        return -1;
    }
    return rc;
}

bool CProxyChannelClient::sendKeepAlive()
{
    TOU_PRINT(printLevelWarn, "send keep alive.\r\n");
    CPacket packet(size_t(TouMessage::kHeaderSize));
    if (!packet.valid())
        return false;
    TouMessage::writeHeader(packet.getBuffer(), touTypeKeepAlive, 0, 0);
    int rc = sendDataInSwitchChannel(packet);
    if (rc == 0 || rc == -1) {
        TOU_PRINT(printLevelError, "call sendDataInSwitchChannel failed.\r\n");
        return false;
    }
    return true;
}

bool CProxyChannelClient::sendResume(uint32_t resumeValue)
{
    CPacket packet(size_t(TouMessage::kChannelIdSize));
    if (!packet.valid())
        return false;
    TouMessage::writeChannelId(packet.getBuffer(), touTypeResume, resumeValue);
    int rc = sendDataInSwitchChannel(packet);
    if (rc == 0 || rc == -1) {
        TOU_PRINT(printLevelError, "send touTypeResume failed.\r\n");
        return false;
    }
    return true;
}

} // namespace Tou
} // namespace Orvan
