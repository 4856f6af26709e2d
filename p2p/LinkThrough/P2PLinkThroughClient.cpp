#include "LinkThrough/P2PLinkThroughClient.h"

#include "Infra3/Time.h"
#include "LinkThrough/LinkSupport.h"
#include "LinkThrough/P2PMessageParser.h"
#include "P2PSDK/Print.h"

#include <cstdlib>

namespace Orvan {
namespace Tou {

namespace {

enum
{
    kChannelTimeoutMs = 10000
};

const char kFallbackLocalIp[] = "192.168.1.100";
const char kClientVersion[] = "5.2.1";

} // namespace

CP2PLinkThroughClient::CP2PLinkThroughClient(const P2PLinkOwnerPtr& owner, const std::string& id,
                                             const LinkResultProc& onResult, const PeerVersionProc& onVersion,
                                             bool portGuess, bool multiHolePunch, uint16_t localPort, int channelType)
    : CP2PLinkThrough(owner, 1, id, onResult, channelType, 0, portGuess, multiHolePunch, localPort),
      m_channelClient(std::make_shared<CP2PSDKChannelClient>(m_socket)), m_lastSend(0), m_resendInterval(0),
      m_onVersion(onVersion), m_reported(false)
{
}

CP2PLinkThroughClient::~CP2PLinkThroughClient()
{
    m_channelClient.reset();
}

void CP2PLinkThroughClient::heartbeat()
{
    if (getState() < directIceStart)
        m_channelClient->recvResponse();
    if (m_owner.get() && m_owner->getState() == IP2PLinkOwner::stateOnline) {
        P2PResponse response;
        while (m_channelClient->popResponse(response))
            onP2PResponse(response);
    }
    const int state = getState();
    switch (state) {
    case directInit:
        if (isStunArmed())
            startStun(0);
        else
            setState(directWaitStun);
        break;
    case directWaitStun:
    case directStunStart:
    case directIceStart:
    case directFinish:
        break;
    case directStunSuccess:
        onChannelStateStunSucess();
        break;
    case directWaitIce:
        if (isIceArmed())
            startIce(!m_peerVersion.empty());
        else
            onChannelStateIceWaitConfig();
        break;
    case directIceSuccess:
        if (m_reported)
            break; // reported once, even if the owner keeps calling
        m_reported = true;
        TOU_PRINT(printLevelTrace, "P2P Channel Success\n");
        m_onResult(linkStateFound, makeChannelInfo(), linkTypeP2P);
        break;
    case directIceFail:
        fail();
        break;
    default:
        onChannelStateUnvalid(state);
        break;
    }
}

void CP2PLinkThroughClient::fail()
{
    m_reported = true;
    LinkChannelInfo none;
    none.localPort = m_localPort;
    m_onResult(linkStateFailed, none, linkTypeP2P);
    setState(directFinish);
}

void CP2PLinkThroughClient::onChannelStateUnvalid(int state)
{
    TOU_PRINT(printLevelError, "unvalid p2p channel state[%d:%s]\n", state, stateText(state).c_str());
    fail();
}

void CP2PLinkThroughClient::onChannelStateStunSucess()
{
    NATTraver::CandidateAddr local;
    if (!getCandidateAddr(local)) {
        TOU_PRINT(printLevelError, "call getCandidateAddr failed!\n");
        return;
    }
    if (!loadLocalIps())
        m_localIps.insert(kFallbackLocalIp);
    P2PRequest request;
    request.path = "p2p-channel";
    request.deviceId = m_id;
    packNatInfo(request.fields, local, kClientVersion);
    request.cseq = getSeq();

    m_resendInterval = m_resendInterval == 0 ? 100 : m_resendInterval * 2;
    m_lastSend = Infra::CTime::getTickCountMs();
    P2PServerInfo server;
    if (m_owner.get())
        m_owner->getServerInfo(server);
    if (!m_channelClient->sendRequest(server, request, true))
        TOU_PRINT(printLevelWarn, "send p2p-channel request failed! localPort[%d]\n", int(m_localPort));
    setSeq(request.cseq);
    setState(directWaitIce);
}

void CP2PLinkThroughClient::onChannelStateIceWaitConfig()
{
    const uint64_t now = Infra::CTime::getTickCountMs();
    if (now > m_createdAt + kChannelTimeoutMs) {
        TOU_PRINT(printLevelWarn, "wait p2p-channel response timeout! seq[%d] localPort[%d]\n", getSeq(),
                  int(m_localPort));
        fail();
        return;
    }
    if (now > resendDeadline())
        setState(directStunSuccess);
}

bool CP2PLinkThroughClient::onP2PResponse(const P2PResponse& response)
{
    // Only the answer to this link's own request counts: a late or foreign datagram on the socket
    // must not decide the link.
    if (getSeq() == 0 || response.cseq != getSeq()) {
        TOU_PRINT(printLevelWarn, "drop response of another request [%d, %d]!\n", response.cseq, getSeq());
        return true;
    }
    switch (response.statusCode) {
    case 100:
        m_lastSend = Infra::CTime::getTickCountMs();
        return true;
    case 200: {
        NATTraver::CandidateAddr remote;
        if (!CP2PMessageParser().parseCandidate(response.fields, remote))
            return false;
        setRemoteCandidateAddr(remote);
        auto version = response.fields.find("version");
        if (version != response.fields.end())
            m_peerVersion = version->second;
        if (!m_onVersion.empty())
            m_onVersion(m_peerVersion);
        auto valueT = response.fields.find("NatValueT");
        setRemoteValueT(valueT != response.fields.end() ? std::atoi(valueT->second.c_str())
                                                        : int(NATTraver::kValueTUnknown));
        return true;
    }
    case 401:
        TOU_PRINT(printLevelWarn, "server return [%d, %s]!\n", 401, response.text.c_str());
        return true;
    default:
        TOU_PRINT(printLevelError, "server error, [%d, %s]!\n", response.statusCode, response.text.c_str());
        setState(directException);
        return true;
    }
}

} // namespace Tou
} // namespace Orvan
