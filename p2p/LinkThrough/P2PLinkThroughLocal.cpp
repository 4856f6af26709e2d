#include "LinkThrough/P2PLinkThroughLocal.h"

#include "Infra3/Time.h"
#include "LinkThrough/LinkSupport.h"
#include "P2PSDK/Print.h"
#include "P2PSDK/StateName.h"

#include <cstdio>
#include <cstring>

namespace Orvan {
namespace Tou {

namespace {

enum
{
    kLocalTimeoutMs = 2000
};

std::string localStateText(int state)
{
    return CStateName::text(&CStateName::getLocalChannelStateName, state);
}

} // namespace

CP2PLinkThroughLocal::CP2PLinkThroughLocal(const std::string& id, const LinkResultProc& onResult, int channelType,
                                           int localPort)
    : m_state(localSend), m_socket(new Socket(true)), m_id(id), m_onResult(onResult), m_channelType(channelType),
      m_localPort(localPort), m_createdAt(Infra::CTime::getTickCountMs()), m_resendAt(m_createdAt),
      m_resendInterval(0), m_targetHost("255.255.255.255"), m_targetPort(kBroadcastPort)
{
    if (m_socket->bind(Address("0.0.0.0", 0)) != 0)
        TOU_PRINT(printLevelError, "bind local link socket failed! localPort:%d\n", localPort);
    m_socket->setOption(NATTraver::optBroadcast, 1);
    std::memset(&m_conn, 0, sizeof(m_conn));
    m_channelClient = std::make_shared<CP2PSDKChannelClient>(m_socket);
}

CP2PLinkThroughLocal::~CP2PLinkThroughLocal()
{
    TOU_PRINT(printLevelTrace, "[%p]release CP2PLinkThroughLocal state[%s]! localPort:%d\n",
              static_cast<void*>(this), localStateText(getState()).c_str(), m_localPort);
    m_channelClient.reset();
}

int CP2PLinkThroughLocal::getState()
{
    Infra::CMutexGuard guard(m_lock);
    return m_state;
}

void CP2PLinkThroughLocal::setState(int state)
{
    Infra::CMutexGuard guard(m_lock);
    m_state = state;
}

void CP2PLinkThroughLocal::setTarget(const std::string& host, int port)
{
    m_targetHost = host;
    m_targetPort = port;
}

void CP2PLinkThroughLocal::heartbeat(uint64_t now)
{
    if (getState() < localFound) {
        Address sender;
        if (m_channelClient->recvResponseFrom(sender) && sender.getIp())
            fillLinkConn(m_conn, *m_socket, sender.getIp(), sender.getPort());
        P2PResponse response;
        while (m_channelClient->popResponse(response)) {
            if (response.statusCode != 200)
                continue;
            setLinkBuffers(*m_socket);
            setState(localFound);
        }
    }
    switch (getState()) {
    case localSend:
        sendLocalRequest(now);
        break;
    case localWait:
        onChannelWait(now);
        break;
    case localFound: {
        TOU_PRINT(printLevelTrace, "Local Channel Success\n");
        m_onResult(linkStateFound, makeLinkInfo(m_id, m_socket, m_conn, m_channelType, m_localPort), linkTypeLocal);
        break;
    }
    default:
        break;
    }
}

void CP2PLinkThroughLocal::sendLocalRequest(uint64_t now)
{
    P2PServerInfo target;
    target.host = m_targetHost;
    target.port = m_targetPort;
    target.userName = "P2PClient";
    P2PRequest request;
    request.path = "local-channel";
    request.deviceId = m_id;
    if (!m_channelClient->sendRequest(target, request, true))
        TOU_PRINT(printLevelWarn, "send local-channel request failed! localPort:%d\n", m_localPort);
    setState(localWait);
    m_resendInterval = m_resendInterval == 0 ? 100 : m_resendInterval * 2;
    m_resendAt = now + uint64_t(m_resendInterval);
}

void CP2PLinkThroughLocal::onChannelWait(uint64_t now)
{
    if (now >= m_createdAt + kLocalTimeoutMs) {
        TOU_PRINT(printLevelWarn, "wait local channel response timeout!\n");
        setState(localFailed);
        reportLinkFailed(m_onResult, m_localPort, linkTypeLocal);
        return;
    }
    if (now > m_resendAt)
        setState(localSend);
}

} // namespace Tou
} // namespace Orvan
