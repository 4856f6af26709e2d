#ifndef ORVAN_TOU_P2PLINKTHROUGHSERVER_H
#define ORVAN_TOU_P2PLINKTHROUGHSERVER_H

#include "LinkThrough/P2PLinkThrough.h"
#include "ProxyP2P/DeviceMessages.h"

#include <string>

namespace Orvan {
namespace Tou {

class CProxyP2PClient;

// Device end of one channel request: answers it through the dispatch server (P2P) or straight from the
// link socket (local, relay), runs STUN and ICE where needed and hands the finished link to the notify
// functor. Driven by the link through server thread.
class CP2PLinkThroughServer : public CP2PLinkThrough
{
public:
    // `p2p` is the object behind `owner`, which keeps it alive.
    CP2PLinkThroughServer(const P2PLinkOwnerPtr& owner, CProxyP2PClient* p2p, const std::string& deviceId,
                          const LinkResultProc& notify, bool portGuess, bool multiHolePunch, int mediaType, int seq);
    ~CP2PLinkThroughServer() override;

    // One step; false when the negotiation is over.
    bool heartbeat();
    void onChannelStateStunSucess();
    // Answers a "local-channel" request at ClientIP:ClientPort; false when those are unusable.
    bool onLocalRequest(const P2PRequest& request);
    bool setRelayAgentAddr(const std::string& host, int port);
    void setPeerVersion(const std::string& version) { m_peerVersion = version; }
    int mediaType() const { return m_channelType; }

private:
    // Answers from the link socket to `to`, records it as the remote end and completes the link.
    bool answerFromLink(const P2PResponse& response, const Address& to);

    CProxyP2PClient* m_p2p;
};

} // namespace Tou
} // namespace Orvan

#endif
