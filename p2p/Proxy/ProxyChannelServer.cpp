#include "Proxy/ProxyChannelServer.h"

#include "Infra3/Time.h"
#include "P2PSDK/Print.h"
#include "Proxy/ProxyClientConfig.h"
#include "Proxy/TouMessage.h"

#include <arpa/inet.h>

namespace Orvan {
namespace Tou {

CProxyChannelServer::CProxyChannelServer(const ProxyLink& link, const Memory::TSharedPtr<CProxyServerConfig>& config,
                                         const SwitchHandler& switchHandler)
    : m_mediaType(link.mediaType), m_switchHandler(switchHandler), m_config(config)
{
    PtcpChannelPtr channel;
    CPtcpChannelMng::create(channel, m_config->getConfig(proxyOptPtcpThreadNum),
                            m_config->getConfig(proxyOptPtcpSendBuffer), m_config->getConfig(proxyOptPtcpRecvBuffer),
                            ChannelNotifyProc(&CProxyChannelServer::onPtcpData, this), link.info, link.socket, link.id,
                            link.channelType);
    setPtcpChannel(channel);
    channel->listen();
    m_createTime = Infra::CTime::getTickCountMs();
}

CProxyChannelServer::~CProxyChannelServer()
{
    TOU_PRINT(printLevelTrace, "~~CProxyChannelServer [%p]\r\n", static_cast<void*>(this));
    setState(proxyChannelDisconnect);
    PtcpChannelPtr channel = getPtcpChannel();
    if (channel.get())
        channel->stopRecvTimer(); // no notification reaches this object any more
    m_config.reset();
}

void CProxyChannelServer::onPtcpData(uint64_t, uint32_t)
{
    receiveMessages([this] { return m_ptcpChannel; },
                    [this](const CPacket& message, bool& consumed) { onTouPacket(message, consumed); });
}

void CProxyChannelServer::onTouPacket(const CPacket& message, bool& consumed)
{
    if (!checkTouPacket(message))
        return;
    TouFields f;
    if (!TouMessage::parse(message.getBuffer(), message.getSize(), f))
        return;
    if (handleCommonTouPacket(f.type, message, consumed))
        return;
    switch (f.type) {
    case touTypeSyn:
        createTcpSession(f.host, f.port, f.sessionId);
        break;
    case touTypeCommand:
        onTouCommand(f.option, f.value);
        break;
    case touTypePause:
        TOU_PRINT(printLevelWarn, "recv touTypePause\r\n");
        setSwitchState(switchStatePauseRecv);
        break;
    case touTypeResume:
        onResume(f.channelId);
        break;
    case touTypeResumeSuccess:
        TOU_PRINT(printLevelWarn, "recv touTypeResumeSuccess.\r\n");
        if (getSwitchState() == switchStateResumeAckSent)
            setSwitchState(switchStateResumeSuccessRecv);
        else
            TOU_PRINT(printLevelError, "recv touTypeResumeSuccess in error state[%d].\r\n", getSwitchState());
        break;
    default:
        TOU_PRINT(printLevelError, "invalid tou message[%d].\r\n", f.type);
        break;
    }
}

void CProxyChannelServer::onResume(uint32_t bodyId)
{
    uint32_t own = getChannelId();
    switch (getSwitchState()) {
    case switchStateInit:
        TOU_PRINT(printLevelWarn, "recv touTypeResume in p2p channel in switch state [switchStateInit].\r\n");
        stopSessionReading();
        setSwitchState(switchStateResumeRecv);
        if (m_switchHandler.empty() || !m_switchHandler(bodyId, own))
            TOU_PRINT(printLevelError, "call m_switchHandler failed.[%u][%u]\r\n", bodyId, own);
        break;
    case switchStatePauseAck:
        TOU_PRINT(printLevelWarn, "recv touTypeResume in relay channel in switch state [switchStatePauseAck].\r\n");
        sendResumeAck(own);
        setSwitchState(switchStateResumeAckSent);
        break;
    case switchStateWaitSwitchAgain: {
        TOU_PRINT(printLevelWarn,
                  "recv touTypeResume in relay channel in switch state [switchStateWaitSwitchAgain].\r\n");
        uint32_t stored;
        {
            Infra::CMutexGuard lock(m_switchIdLock);
            stored = m_switchChannelId;
        }
        if (m_switchHandler.empty() || !m_switchHandler(stored, own))
            TOU_PRINT(printLevelError, "call m_switchHandler failed.[%u][%u]\r\n", bodyId, own);
        break;
    }
    default:
        TOU_PRINT(printLevelError, "state[%d] is not correct.\r\n", getSwitchState());
        break;
    }
}

bool CProxyChannelServer::isAllowedTarget(const std::string& host)
{
    in_addr addr{};
    return inet_pton(AF_INET, host.c_str(), &addr) == 1 && (ntohl(addr.s_addr) >> 24) == 127;
}

bool CProxyChannelServer::createTcpSession(const std::string& host, uint16_t port, uint32_t sessionId)
{
    {
        Infra::CMutexGuard lock(m_sessionLock);
        if (m_sessions.count(sessionId)) {
            TOU_PRINT(printLevelError, "repeat key, recreate session id[%d]\n", int(sessionId));
            sendAck(sessionId, touAckSinv);
            return false;
        }
    }
    // the channel reaches this device's own services only, never other hosts of its network
    if (!isAllowedTarget(host)) {
        TOU_PRINT(printLevelError, "session[%u] target <%s:%u> refused: not a local address.\n", sessionId,
                  host.c_str(), unsigned(port));
        sendAck(sessionId, touAckDisc);
        return false;
    }
    SessionPtr session = createSession(sessionId, m_config->getConfig(proxyOptMtu), host, port);
    session->connect(host, port, m_config->getConfig(proxyOptSessionRecvBuffer),
                     m_config->getConfig(proxyOptSessionSendBuffer));
    Infra::CMutexGuard lock(m_sessionLock);
    m_sessions[sessionId] = session;
    return true;
}

void CProxyChannelServer::sessionCheck() { superviseSessions(nullptr); }

void CProxyChannelServer::onTouCommand(uint16_t option, uint32_t value)
{
    // the switch that guards remote commands is the device's own: a peer never turns it
    if (option == proxyOptRemoteCommand) {
        TOU_PRINT(printLevelWarn, "Remote Command option refused.\n");
        return;
    }
    if (m_config->getConfig(proxyOptRemoteCommand) != 1) {
        TOU_PRINT(printLevelWarn, "Remote Command Disable\n");
        return;
    }
    m_config->setConfig(option, int(value));
}

void CProxyChannelServer::setSwitchChannelId(uint32_t id)
{
    {
        Infra::CMutexGuard lock(m_switchIdLock);
        m_switchChannelId = id;
    }
    switch (getSwitchState()) {
    case switchStatePauseAck:
        setSwitchState(switchStateMoveToNew);
        break;
    case switchStateResumeRecv:
        setSwitchState(switchStateTakeOld);
        break;
    case switchStateWaitSwitchAgain:
        setSwitchState(switchStateGiveBack);
        break;
    case switchStateResumeAckSent:
        setSwitchState(switchStateMoveBack);
        break;
    default:
        TOU_PRINT(printLevelError, "setSwitchChannelId::error switch state[%d]\r\n", getSwitchState());
        break;
    }
}

bool CProxyChannelServer::switchChannel()
{
    Infra::CWriteGuard lock(m_channelLock);
    uint32_t target;
    {
        Infra::CMutexGuard idLock(m_switchIdLock);
        target = m_switchChannelId;
    }
    TOU_PRINT(printLevelWarn, "switch channel  to %u\r\n", target);
    uint32_t oldId = m_ptcpChannel.get() ? m_ptcpChannel->getChannelId() : 0;
    m_ptcpChannel.reset();
    PtcpChannelPtr found;
    if (!CPtcpChannelMng::getPtcpChannel(target, found)) {
        TOU_PRINT(printLevelError, "switch channel failed.\r\n");
        setState(proxyChannelDisconnect);
        return false;
    }
    m_ptcpChannel = found;
    found->setNotifyProc(ChannelNotifyProc(&CProxyChannelServer::onPtcpData, this));
    Infra::CMutexGuard idLock(m_switchIdLock);
    m_switchChannelId = oldId;
    return true;
}

void CProxyChannelServer::procLinkSwitch()
{
    int state = getSwitchState();
    switch (state) {
    case switchStateInit:
    case switchStatePauseAck:
    case switchStateResumeRecv:
    case switchStateWaitSwitchAgain:
    case switchStateResumeAckSent:
        break;
    case switchStatePauseRecv:
        // each step's state is set before its message goes out: the answer may be back first
        stopSessionReading();
        setSwitchState(switchStatePauseAck);
        sendPauseAck(getChannelId());
        break;
    case switchStateMoveToNew:
    case switchStateMoveBack:
        if (switchChannel()) {
            setSwitchState(switchStateResumeAckSent);
            sendResumeAck(getChannelId());
        }
        break;
    case switchStateTakeOld:
        if (switchChannel())
            setSwitchState(switchStateWaitSwitchAgain);
        break;
    case switchStateGiveBack:
        if (switchChannel())
            setSwitchState(switchStateInit);
        break;
    case switchStateResumeSuccessRecv:
        startSessionReading();
        setSwitchState(switchStateInit);
        break;
    default:
        TOU_PRINT(printLevelError, "error link switch state[%d]\r\n", state);
        break;
    }
}

void CProxyChannelServer::heartbeat()
{
    PtcpChannelPtr channel = getPtcpChannel();
    uint64_t now = Infra::CTime::getTickCountMs();
    if (channel.get())
        channel->heartbeat(now);
    transferState();
    switch (getState()) {
    case proxyChannelDisconnect:
        return;
    case proxyChannelInit:
        if (now - m_createTime > CPtcpChannel::kConnectLimitMs)
            setState(proxyChannelDisconnect);
        return;
    case proxyChannelConnSuccess:
        // once a switch began, answers and "DISC"s wait for its end: on the link being left they
        // could come after the client stopped listening there
        if (getSwitchState() == switchStateInit)
            sessionCheck();
        break;
    default:
        TOU_PRINT(printLevelError, "error state[%d].\r\n", getState());
        return;
    }
    procLinkSwitch();
}

bool CProxyChannelServer::longTimeTaskDeal(uint64_t now)
{
    PtcpChannelPtr channel = getPtcpChannel();
    if (channel.get())
        channel->longTimeTaskDeal(now);
    int state = getState();
    if (state == proxyChannelDisconnect)
        return false;
    if (state != proxyChannelConnSuccess || getSwitchState() >= switchStatePauseRecv)
        return true;
    if (m_keepAliveCount++ % 5 == 0)
        sendKeepAlive();
    sweepDisconnected();
    return true;
}

void CProxyChannelServer::getSendQueueInfo(PtcpSendQueueInfo* info)
{
    Infra::CReadGuard lock(m_channelLock);
    if (!info)
        return;
    *info = PtcpSendQueueInfo();
    if (m_ptcpChannel.get())
        m_ptcpChannel->getSendQueueInfo(info);
    info->reserved = uint32_t(m_mediaType);
}

} // namespace Tou
} // namespace Orvan
