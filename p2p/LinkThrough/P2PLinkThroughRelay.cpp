#include "LinkThrough/P2PLinkThroughRelay.h"

#include "Infra3/Time.h"
#include "LinkThrough/LinkSupport.h"
#include "LinkThrough/P2PMessageParser.h"
#include "P2PSDK/Print.h"
#include "P2PSDK/StateName.h"

#include <cstdio>
#include <cstring>

namespace Orvan {
namespace Tou {

using NATTraver::CandidateAddr;
using NATTraver::ConnInfo;

namespace {

enum
{
    kRelayTimeoutMs = 10000,
    kRelayIceTimeoutMs = 6000,
    kMaxPendingPaths = 64
};

} // namespace

CP2PLinkThroughRelay::CP2PLinkThroughRelay(const std::string& id, const P2PServerInfo& server,
                                           const LinkResultProc& onResult, int channelType, int localPort)
    : m_server(server), m_state(relayInit), m_cseq(0), m_agentTargetPort(0), m_socket(new Socket(true)), m_id(id),
      m_onResult(onResult), m_createdAt(Infra::CTime::getTickCountMs()), m_resendAt(m_createdAt),
      m_resendInterval(0), m_channelType(channelType), m_localPort(localPort), m_peerVersionKnown(false),
      m_reported(false)
{
    if (m_socket->bind(Address("0.0.0.0", 0)) != 0)
        TOU_PRINT(printLevelError, "bind relay link socket failed! localPort:%d\n", localPort);
    m_channelClient = std::make_shared<CP2PSDKChannelClient>(m_socket);
    std::memset(&m_localCand, 0, sizeof(m_localCand));
    std::memset(&m_iceConfig, 0, sizeof(m_iceConfig));
    std::memset(&m_conn, 0, sizeof(m_conn));
}

CP2PLinkThroughRelay::~CP2PLinkThroughRelay()
{
    TOU_PRINT(printLevelTrace, "[%p][%d] release CP2PLinkThroughRelay state[%s]!\n", static_cast<void*>(this), m_cseq,
              stateText(getState()).c_str());
    m_iceAgent = Component::TComPtr<NATTraver::IICEAgent>();
    m_channelClient.reset();
}

std::string CP2PLinkThroughRelay::stateText(int state)
{
    return CStateName::text(&CStateName::getRelayChannelStateName, state);
}

int CP2PLinkThroughRelay::getState()
{
    return m_state.low();
}

void CP2PLinkThroughRelay::setState(uint32_t value)
{
    m_state.set(value);
}

bool CP2PLinkThroughRelay::isCandidateFlagSet()
{
    return m_state.has(flagCandidates);
}

void CP2PLinkThroughRelay::setPeerVersion(const std::string& version)
{
    m_peerVersion = version;
    m_peerVersionKnown = true;
}

void CP2PLinkThroughRelay::send(P2PRequest& request, const std::string& host, int port, uint64_t now)
{
    P2PServerInfo target;
    target.host = host;
    target.port = port;
    target.key = m_server.key;
    target.userName = m_server.userName;
    request.cseq = m_cseq;
    if (!m_channelClient->sendRequest(target, request, true))
        TOU_PRINT(printLevelWarn, "send %s failed! localPort:%d\n", request.path.c_str(), m_localPort);
    m_cseq = request.cseq;
    if (m_pendingPaths.size() < kMaxPendingPaths || m_pendingPaths.count(m_cseq))
        m_pendingPaths[m_cseq] = request.path;
    m_resendInterval = m_resendInterval == 0 ? 100 : m_resendInterval * 2;
    m_resendAt = now + uint64_t(m_resendInterval);
}

void CP2PLinkThroughRelay::report(int state)
{
    if (m_reported)
        return; // once, even if the owner keeps calling
    m_reported = true;
    if (state == linkStateFound)
        m_onResult(linkStateFound, makeLinkInfo(m_id, m_socket, m_conn, m_channelType, m_localPort, m_peerVersion),
                   linkTypeRelay);
    else
        reportLinkFailed(m_onResult, m_localPort, linkTypeRelay);
}

void CP2PLinkThroughRelay::heartbeat(uint64_t now)
{
    if (getState() < relayIceStart)
        m_channelClient->recvResponse();
    P2PResponse response;
    while (m_channelClient->popResponse(response))
        onRelayResponse(response);

    const int state = getState();
    switch (state) {
    case relayInit: {
        P2PRequest request;
        request.path = "/online/relay";
        send(request, m_server.host, m_server.port, now);
        setState(relayGetRelayStart);
        break;
    }
    case relayGetRelayStart:
        onWaitRelayConfig(now);
        break;
    case relayGetRelaySuccess: {
        P2PRequest request;
        request.path = "/relay/agent";
        send(request, m_relayServer.host, m_relayServer.port, now);
        setState(relayAgentStart);
        break;
    }
    case relayAgentStart:
        onWaitAgentConfig(now);
        break;
    case relayAgentSuccess: {
        P2PRequest request;
        request.path = "/relay/start/" + m_agent.token;
        request.fields["Client"] = m_clientAddr.host + ":" + std::to_string(unsigned(m_clientAddr.port));
        send(request, m_agentTargetHost, m_agentTargetPort, now);
        setState(relayWaitStart);
        break;
    }
    case relayWaitStart:
        onWaitStartInfo(now);
        break;
    case relayWaitVersion:
        onBindSucess(now);
        break;
    case relayIceWaitConfig:
        if (isCandidateFlagSet())
            startIce();
        else
            onICEWaitConfig(now);
        break;
    case relayIceSuccess:
        report(linkStateFound);
        break;
    case relayGetRelayFail:
    case relayAgentFail:
    case relayStunFail:
    case relayBindTokenFail:
    case relayIceFail:
        if (!m_reported)
            TOU_PRINT(printLevelWarn, "relay unvalid p2p channel state[%d:%s]\n", state, stateText(state).c_str());
        setState(relayIceFail);
        report(linkStateFailed);
        break;
    default:
        break;
    }
}

bool CP2PLinkThroughRelay::wait(uint64_t now, int resendState, int failState, const char* line, int level)
{
    if (now >= m_createdAt + kRelayTimeoutMs) {
        TOU_PRINT(level, "%s", line);
        setState(uint32_t(failState));
        return true;
    }
    if (now > m_resendAt)
        setState(uint32_t(resendState));
    return false;
}

void CP2PLinkThroughRelay::onWaitRelayConfig(uint64_t now)
{
    wait(now, relayInit, relayGetRelayFail, "wait relay config timeout!!!\n", printLevelWarn);
}

void CP2PLinkThroughRelay::onWaitAgentConfig(uint64_t now)
{
    wait(now, relayGetRelaySuccess, relayAgentFail, "wait relay agent timeout!!!\n", printLevelWarn);
}

void CP2PLinkThroughRelay::onWaitStartInfo(uint64_t now)
{
    wait(now, relayAgentSuccess, relayGetRelayFail, "wait relay start config timeout!!!\n", printLevelError);
}

void CP2PLinkThroughRelay::onICEWaitConfig(uint64_t now)
{
    wait(now, relayWaitVersion, relayIceFail, "relay bind token timeout!!!\n", printLevelError);
}

void CP2PLinkThroughRelay::onBindSucess(uint64_t now)
{
    if (now >= m_createdAt + kRelayTimeoutMs) {
        TOU_PRINT(printLevelWarn, "onBindSucess timeout!!!\n");
        setState(relayIceFail);
        return;
    }
    if (!m_peerVersionKnown)
        return;
    CP2PMessageParser parser;
    P2PRequest request;
    request.deviceId = m_id;
    if (!m_peerVersion.empty()) {
        TOU_PRINT(printLevelTrace, "peer version:%s, we use relay-channel to link!\n", m_peerVersion.c_str());
        request.path = "relay-channel";
        parser.packAgentAddr(m_agent.host, m_agent.port, request.fields);
    } else {
        TOU_PRINT(printLevelTrace, "peer version is empty, we use p2p-channel to link!\n");
        request.path = "p2p-channel";
        parser.packIdentifyAndPubAddr(m_localCand, m_agent.host, m_agent.port, request.fields);
    }
    if (m_channelType != 0)
        request.fields["Type"] = m_channelType == 1 ? "audio" : "video";
    send(request, m_server.host, m_server.port, now);
    setState(relayIceWaitConfig);
}

bool CP2PLinkThroughRelay::onRelayResponse(const P2PResponse& response)
{
    auto pending = m_pendingPaths.find(response.cseq);
    const std::string path = pending != m_pendingPaths.end() ? pending->second : std::string();
    const int code = response.statusCode;
    const int state = getState();
    bool result = true;
    auto refuse = [&](int failState) {
        TOU_PRINT(printLevelError, "resp code:[%d][%s]\n", code, response.text.c_str());
        setState(uint32_t(failState));
        result = false;
    };
    CP2PMessageParser parser;
    if (path.find("/online/relay") != std::string::npos) {
        if (code == 200) {
            if (state < relayGetRelaySuccess) {
                m_cseq = 0;
                m_resendInterval = 0;
                auto address = response.fields.find("Address");
                parser.parseAgentAddr(address != response.fields.end() ? address->second : std::string(),
                                      m_relayServer);
                setState(relayGetRelaySuccess);
            }
        } else if (code == 401) {
            setState(relayInit);
        } else {
            refuse(relayGetRelayFail);
        }
    } else if (path.find("/relay/agent") != std::string::npos) {
        if (code == 200) {
            if (state < relayAgentSuccess) {
                m_cseq = 0;
                m_resendInterval = 0;
                RelayAgentInfo agent;
                auto a = response.fields.find("Agent");
                auto t = response.fields.find("Token");
                parser.parseAgentAddr(a != response.fields.end() ? a->second : std::string(), agent);
                parser.parseToken(t != response.fields.end() ? t->second : std::string(), agent);
                setRelayAgentInfo(agent);
                m_agentTargetHost = agent.host.substr(0, 127);
                m_agentTargetPort = agent.port;
                // The token goes into a request path: one that could break the start line is refused.
                if (!isSafePathToken(agent.token)) {
                    TOU_PRINT(printLevelError, "invalid relay token [%s]\n", agent.token.c_str());
                    setState(relayAgentFail);
                    result = false;
                } else {
                    setState(relayAgentSuccess);
                }
            }
        } else if (code == 401) {
            setState(relayGetRelaySuccess);
        } else {
            refuse(relayAgentFail);
        }
    } else if (path.find("/relay/start/") != std::string::npos) {
        TOU_PRINT(printLevelTrace, "%s resp code: %d\n", "/relay/start/", code);
        if (code != 200 && code != 401) {
            TOU_PRINT(printLevelError, "resp code:[%d][%s]\n", code, response.text.c_str());
            result = false;
        }
        if (state < relayWaitVersion) {
            m_cseq = 0;
            m_resendInterval = 0;
            setState(relayWaitVersion);
        }
    } else if (path.find("p2p-channel") != std::string::npos) {
        if (code == 100)
            return true; // the final answer follows under the same CSeq
        if (code == 200) {
            CandidateAddr remote;
            if (!parser.parseCandidate(response.fields, remote))
                return false;
            setRemoteCandidateAddr(remote);
        } else if (code == 401) {
            setState(relayWaitVersion);
        } else {
            refuse(relayAgentFail);
        }
    } else if (path.find("relay-channel") != std::string::npos) {
        TOU_PRINT(printLevelTrace, "Relay Channel Response!\n");
        if (code == 100)
            return true;
        if (code == 200) {
            fillLinkConn(m_conn, *m_socket, m_agent.host.c_str(), m_agent.port);
            setState(relayIceSuccess);
        } else if (code == 401) {
            setState(relayWaitVersion);
        } else {
            refuse(relayAgentFail);
        }
    } else if (path.find("/relay/unbind/") != std::string::npos) {
        TOU_PRINT(printLevelTrace, "%s resp code: %d\n", "/relay/unbind/", code);
    } else {
        TOU_PRINT(printLevelWarn, "recv retran message, [%d, %s]!\n", code, response.text.c_str());
        return false;
    }
    m_pendingPaths.erase(response.cseq);
    return result;
}

bool CP2PLinkThroughRelay::startIce()
{
    if (!isCandidateFlagSet())
        return false;
    m_iceAgent = NATTraver::createIceAgent();
    if (m_iceAgent.empty()) {
        setState(relayIceFail);
        TOU_PRINT(printLevelError, "CRelayChannel::startIce create ice agent failed\n");
        return false;
    }
    m_iceConfig.fd = m_socket->getFd();
    std::memcpy(m_iceConfig.localIdentify, m_localCand.localIdentify, 8);
    m_iceConfig.checkTimeoutMs = kRelayIceTimeoutMs;
    m_iceConfig.localValueT = NATTraver::kValueTNoGuess;
    m_iceConfig.remoteValueT = NATTraver::kValueTNoGuess;
    m_iceAgent->setConfig(m_iceConfig);
    m_iceAgent->setConnInfoHandler(NATTraver::ConnInfoHandler(&CP2PLinkThroughRelay::onIce, this), 0);
    setState(relayIceStart);
    if (!m_iceAgent->startConnectCheck()) {
        setState(relayIceFail);
        TOU_PRINT(printLevelError, "CRelayChannel::startIce start ice fail!\n");
        return false;
    }
    return true;
}

void CP2PLinkThroughRelay::onIce(bool success, const ConnInfo* result, int)
{
    if (!success || !result) {
        TOU_PRINT(printLevelWarn, "CRelayChannel::onIce ICE check fail!\n");
        setState(relayIceFail);
        return;
    }
    TOU_PRINT(printLevelTrace, "CRelayChannel::onIce ICE check sucess!\n");
    setLinkBuffers(*m_socket);
    m_conn = *result;
    setState(relayIceSuccess);
}

bool CP2PLinkThroughRelay::getCandidateAddr(CandidateAddr& out)
{
    int state = getState();
    if (state == relayStunFail || state <= 7) {
        TOU_PRINT(printLevelError, "CRelayChannel::getCandidateAddr get nat error, check stun server!\n");
        return false;
    }
    out = m_localCand;
    return true;
}

bool CP2PLinkThroughRelay::setRemoteCandidateAddr(const CandidateAddr& remote)
{
    m_iceConfig = remote;
    setState(flagCandidates);
    return true;
}

void CP2PLinkThroughRelay::setRelayAgentInfo(const RelayAgentInfo& agent)
{
    m_agent = agent;
    TOU_PRINT(printLevelTrace, "CRelayChannel::setRelayAgentInfo [addr:%s:%u]\n", agent.host.c_str(),
              unsigned(agent.port));
}

bool CP2PLinkThroughRelay::getRelaySvrAddr(RelayAgentInfo& out)
{
    int state = getState();
    if (state == relayGetRelayFail || state <= relayGetRelayStart) {
        TOU_PRINT(printLevelError, "CRelayChannel::getRelaySvrAddr error, check P2P server!\n");
        return false;
    }
    out = m_relayServer;
    return true;
}

void CP2PLinkThroughRelay::unbind()
{
    if (getState() < relayAgentStart || !isSafePathToken(m_agent.token))
        return;
    P2PRequest request;
    request.path = "/relay/unbind/" + m_agent.token;
    P2PServerInfo target = m_server;
    target.host = m_relayServer.host;
    target.port = m_relayServer.port;
    request.cseq = 0;
    if (m_channelClient->sendRequest(target, request, true) && m_pendingPaths.size() < kMaxPendingPaths)
        m_pendingPaths[request.cseq] = request.path;
}

} // namespace Tou
} // namespace Orvan
