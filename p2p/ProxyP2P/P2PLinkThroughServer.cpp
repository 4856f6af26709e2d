#include "ProxyP2P/P2PLinkThroughServer.h"

#include "LinkThrough/LinkSupport.h"
#include "LinkThrough/P2PMessageParser.h"
#include "P2PSDK/Print.h"
#include "ProxyP2P/ProxyP2PClient.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

namespace Orvan {
namespace Tou {

namespace {

const char kServerVersion[] = "5.2.1";

} // namespace

CP2PLinkThroughServer::CP2PLinkThroughServer(const P2PLinkOwnerPtr& owner, CProxyP2PClient* p2p,
                                             const std::string& deviceId, const LinkResultProc& notify,
                                             bool portGuess, bool multiHolePunch, int mediaType, int seq)
    : CP2PLinkThrough(owner, 0, deviceId, notify, mediaType, seq, portGuess, multiHolePunch, 0), m_p2p(p2p)
{
}

CP2PLinkThroughServer::~CP2PLinkThroughServer() {}

bool CP2PLinkThroughServer::heartbeat()
{
    const int state = getState();
    switch (state) {
    case directInit:
        if (isStunArmed())
            startStun(m_peerVersion.empty() ? 0 : 1);
        else
            setState(directWaitStun);
        return true;
    case directWaitStun:
    case directStunStart:
    case directIceStart:
        return true;
    case directStunSuccess:
        onChannelStateStunSucess();
        return true;
    case directStunFail:
        m_p2p->sendResponse(getSeq(), 500, "Stun Fail");
        return false;
    case directIceSuccess:
        TOU_PRINT(printLevelTrace, "P2P channel ICE success!\n");
        if (!m_onResult.empty())
            m_onResult(linkStateFound, makeChannelInfo(), linkTypeP2P);
        return false;
    default:
        TOU_PRINT(printLevelError, "state[%d:%s]\n", state, stateText(state).c_str());
        return false;
    }
}

void CP2PLinkThroughServer::onChannelStateStunSucess()
{
    P2PResponse answer;
    answer.cseq = getSeq();
    answer.statusCode = 200;
    answer.text = "Server Nat Info!";
    NATTraver::CandidateAddr local;
    if (!getCandidateAddr(local))
        return;
    if (!loadLocalIps()) {
        setState(directIceFail);
        return;
    }
    packNatInfo(answer.fields, local, kServerVersion);
    m_p2p->sendResponse(answer, -1, Address());
    // The state leaves Stun Sucess here even when ICE cannot start, so the answer goes out once.
    setState(directWaitIce);
    startIce(!m_peerVersion.empty());
}

bool CP2PLinkThroughServer::answerFromLink(const P2PResponse& response, const Address& to)
{
    if (!m_p2p->sendResponse(response, m_socket->getFd(), to)) {
        setState(directException);
        return false;
    }
    setLinkBuffers(*m_socket);
    fillLinkConn(m_conn, *m_socket, to.getIp(), to.getPort());
    setState(directIceSuccess);
    return true;
}

bool CP2PLinkThroughServer::onLocalRequest(const P2PRequest& request)
{
    std::string ip;
    int clientPort = 0;
    if (!readClientAddress(request.fields, ip, clientPort)) {
        TOU_PRINT(printLevelError, "bad local-channel client address\n");
        setState(directException); // ends at the next step instead of waiting for ever
        return false;
    }
    P2PResponse answer;
    answer.cseq = 0;
    answer.statusCode = 200;
    answer.text = "OK";
    return answerFromLink(answer, Address(ip.c_str(), clientPort));
}

bool CP2PLinkThroughServer::setRelayAgentAddr(const std::string& host, int port)
{
    in_addr addr;
    if (inet_pton(AF_INET, host.c_str(), &addr) != 1 || port <= 0 || port > 65535) {
        TOU_PRINT(printLevelError, "bad relay agent address\n");
        setState(directException);
        return false;
    }
    P2PResponse answer;
    answer.cseq = getSeq();
    answer.statusCode = 200;
    answer.text = "Server Nat Info!";
    answer.fields["version"] = kServerVersion;
    if (!answerFromLink(answer, Address(host.c_str(), port)))
        return false;
    TOU_PRINT(printLevelTrace, "ProxyServer RelayChannel Sunccess!\n");
    return true;
}

} // namespace Tou
} // namespace Orvan
