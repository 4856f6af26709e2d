// Client end of a proxy channel: every TCP connection accepted on one mapped port becomes a
// session announced to the device by a Syn; the channel runs over the PTCP channel of the link the
// link-through found, keeps it alive, reports the traversal once, and may move a relay channel to
// a direct P2P path without closing its sessions.
#ifndef ORVAN_TOU_PROXYCHANNELCLIENT_H
#define ORVAN_TOU_PROXYCHANNELCLIENT_H

#include "LinkThrough/LinkThroughInfo.h"
#include "P2PSDK/P2PClient.h"
#include "Proxy/ProxyChannel.h"
#include "Proxy/ProxyClientConfig.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace Orvan {
namespace Tou {

enum ClientSwitchState
{
    switchStateIce = 1,
    switchStateReady = 2,
    switchStatePause = 3,
    switchStateResumeDue = 4,
    switchStateResume = 5,
    switchStateResumeAckTimeout = 6,
    switchStateBackToRelay = 7,
    switchStateSwitched = 8
};

// Link types: linkTypeLocal, linkTypeP2P, linkTypeRelay.
using ProxyLinkType = LinkType;

// The P2P negotiation of a link switch, run by the proxy client's link-through.
class IProxySwitchLink
{
public:
    enum
    {
        p2pRunning = 1,
        p2pSuccess = 2,
        p2pFailure = 3
    };
    virtual ~IProxySwitchLink() {}
    virtual int getP2PState() = 0;
    virtual bool getP2PLink(ProxyLink& link) = 0;
    virtual int getLocalPort() = 0;
};
using SwitchLinkPtr = Memory::TSharedPtr<IProxySwitchLink>;

// What a switch needs from the link-through and the process-wide STUN prober. Without them no
// switch starts and relay channels stay on the relay.
struct ProxySwitchHooks
{
    using Proc = Infra::TFunction0<void>;
    // server, device id, channel type, port guess, link switch, multi-hole punch
    std::function<SwitchLinkPtr(const P2PServerInfo&, const std::string&, int, bool, bool, bool)> startLink;
    // proc runs once the link-switch interval has passed since the last switch allowed
    std::function<void(uint64_t key, const Proc& proc)> addTimedProc;
    std::function<void(const Proc& proc)> removeTimedProc;
};

class CProxyChannelClient : public CProxyChannel
{
public:
    // deviceId, remoteIp, remotePort, localIp, localPort, linkType
    using TraversalHandler =
        std::function<void(const std::string&, const std::string&, int, const std::string&, int, int)>;

    static constexpr uint64_t kSwitchIceLimitMs = 100000;
    static constexpr uint64_t kSwitchStepLimitMs = 2000;

    static void setSwitchHooks(const ProxySwitchHooks& hooks);

    CProxyChannelClient(const ProxyLink& link, int linkType, const P2PServerInfo& server,
                        const Memory::TSharedPtr<CProxyClientConfig>& config, const TraversalHandler& handler);
    ~CProxyChannelClient() override;

    bool createTcpSession(int fd, const std::string& host, uint16_t port);
    void heartbeat();
    bool checkAlive(uint64_t now);
    bool replaceLink(const SwitchLinkPtr& link);
    void notifyFirstP2PFinish();
    bool setRemoteOption(int option, int value);
    bool isSwitching() { return getSwitchState() >= switchStateReady; }
    void setLinkSwitch(bool on);
    int sendDataInSwitchChannel(const CPacket& packet);
    bool sendKeepAlive() override;
    bool sendResume(uint32_t resumeValue) override;
    static uint32_t createSessionId();
    static bool isPeerSupportLinkSwitchAndLocalP2P(const std::string& version);
    void onPtcp(uint64_t tick, uint32_t ptcpChannelId);
    void onTouPacket(const CPacket& message, bool& consumed);
    int getLinkType();

private:
    void sessionCheck();
    void startLinkSwitch(uint64_t now);
    void queryLinkState();
    void procLinkSwitch(uint64_t now);
    void resumeFailed(const char* line, uint64_t now);
    void reportTraversalInfo();
    void onSwitchTimer();
    ProxySwitchHooks::Proc timerProc();
    PtcpChannelPtr getSwitchChannel();
    void dropSwitchChannel();
    void holdNewSessions();
    void releaseHeldSessions();

    uint64_t m_pauseTime = 0;
    std::atomic<uint32_t> m_resumeValue{0}; // written by the receiving thread
    uint64_t m_relayResumeTime = 0;
    uint64_t m_switchStartTime = 0;
    bool m_peerSupportsSwitch = false;
    int m_switchAttempts = 0;
    Memory::TSharedPtr<CProxyClientConfig> m_config;
    TraversalHandler m_handler;
    bool m_reportPending = false;
    bool m_timerRegistered = false;
    Infra::CMutex m_timerLock;
    bool m_timerFired = false;
    std::atomic<bool> m_firstP2PFinished{false};
    P2PServerInfo m_server;
    int m_channelType;
    std::string m_deviceId;
    SwitchLinkPtr m_switchLink;
    PtcpChannelPtr m_switchChannel; // under the channel lock

    // Connections accepted once the Pause is out: their Syn waits for the link the switch ends on,
    // as the device may already have moved off the old one when it arrives there.
    struct HeldSession
    {
        int fd;
        std::string host;
        uint16_t port;
    };
    Infra::CMutex m_heldLock; // also orders a Syn against the Pause
    bool m_holding = false;
    std::vector<HeldSession> m_held;
};

} // namespace Tou
} // namespace Orvan

#endif
