#ifndef ORVAN_TOU_P2PLINKTHROUGHCLIENT_H
#define ORVAN_TOU_P2PLINKTHROUGHCLIENT_H

#include "LinkThrough/P2PLinkThrough.h"
#include "LinkThrough/P2PSDKChannelClient.h"

#include <memory>

namespace Orvan {
namespace Tou {

// onVersion: the device's P2P version text (empty for old devices).
using PeerVersionProc = Infra::TFunction1<void, const std::string&>;

// Client end of a P2P link: sends "p2p-channel" for the device through the P2P server over the link's
// own socket, takes the device's candidates from the answer and lets the base run the ICE check.
// Always in local mode. heartbeat runs on the link-through thread.
class CP2PLinkThroughClient : public CP2PLinkThrough
{
public:
    CP2PLinkThroughClient(const P2PLinkOwnerPtr& owner, const std::string& id, const LinkResultProc& onResult,
                          const PeerVersionProc& onVersion, bool portGuess, bool multiHolePunch, uint16_t localPort,
                          int channelType);
    ~CP2PLinkThroughClient() override;

    void heartbeat();
    bool onP2PResponse(const P2PResponse& response);

    uint64_t resendDeadline() const { return m_lastSend + uint64_t(m_resendInterval); }
    int resendInterval() const { return m_resendInterval; }

private:
    void fail();
    void onChannelStateUnvalid(int state);
    void onChannelStateStunSucess();
    void onChannelStateIceWaitConfig();

    std::shared_ptr<CP2PSDKChannelClient> m_channelClient;
    uint64_t m_lastSend;
    int m_resendInterval;
    PeerVersionProc m_onVersion;
    bool m_reported;
};

} // namespace Tou
} // namespace Orvan

#endif
