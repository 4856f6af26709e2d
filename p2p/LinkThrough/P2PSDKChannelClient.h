#ifndef ORVAN_TOU_P2PSDKCHANNELCLIENT_H
#define ORVAN_TOU_P2PSDKCHANNELCLIENT_H

#include "Infra3/Mutex.h"
#include "P2PSDK/P2PClient.h"
#include "P2PSDK/UdpClient.h"

#include <atomic>
#include <deque>

namespace Orvan {
namespace Tou {

// Sends P2P requests and queues their answers over a link-through's own UDP socket, so that the
// answers arrive on the socket that later carries the traversal.
class CP2PSDKChannelClient
{
public:
    explicit CP2PSDKChannelClient(const SocketPtr& socket);
    ~CP2PSDKChannelClient();
    CP2PSDKChannelClient(const CP2PSDKChannelClient&) = delete;
    CP2PSDKChannelClient& operator=(const CP2PSDKChannelClient&) = delete;

    // True when the datagram was handed to the socket; request.cseq holds the CSeq used.
    bool sendRequest(const P2PServerInfo& server, P2PRequest& request, bool auth);
    // Reads at most one datagram without waiting and queues its answer.
    void recvResponse();
    // As recvResponse, without the body and the clock step; true with the sender when an answer was queued.
    bool recvResponseFrom(Address& sender);
    bool popResponse(P2PResponse& response);

    int serverTimeDifference() const { return m_serverTimeDiff; }

private:
    // Reads and parses one datagram; false when there was none or it was not an answer.
    bool receive(P2PResponse& response, bool withBody, Address& sender, std::string& date);

    SocketPtr m_socket;
    std::atomic<int> m_serverTimeDiff;
    Infra::CMutex m_queueLock;
    std::deque<P2PResponse> m_responses;
};

} // namespace Tou
} // namespace Orvan

#endif
