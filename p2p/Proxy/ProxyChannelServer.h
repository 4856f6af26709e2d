// Device end of a proxy channel: a passive PTCP channel on the link's socket, a TCP session to
// the target of every Syn, remote option commands, and the device side of the link switch.
#ifndef ORVAN_TOU_PROXYCHANNELSERVER_H
#define ORVAN_TOU_PROXYCHANNELSERVER_H

#include "Proxy/ProxyChannel.h"
#include "Proxy/ProxyServerConfig.h"

namespace Orvan {
namespace Tou {

enum ServerSwitchState
{
    switchStatePauseRecv = 3,
    switchStatePauseAck = 4,
    switchStateResumeRecv = 5,
    switchStateMoveToNew = 9,
    switchStateTakeOld = 10,
    switchStateWaitSwitchAgain = 11,
    switchStateGiveBack = 12,
    switchStateMoveBack = 13,
    switchStateResumeAckSent = 14,
    switchStateResumeSuccessRecv = 15
};

class CProxyChannelServer : public CProxyChannel
{
public:
    using SwitchHandler = Infra::TFunction2<bool, uint32_t, uint32_t>;

    CProxyChannelServer(const ProxyLink& link, const Memory::TSharedPtr<CProxyServerConfig>& config,
                        const SwitchHandler& switchHandler);
    ~CProxyChannelServer() override;

    void heartbeat();
    bool longTimeTaskDeal(uint64_t now);
    void onPtcpData(uint64_t tick, uint32_t ptcpChannelId);
    void onTouPacket(const CPacket& message, bool& consumed);
    bool createTcpSession(const std::string& host, uint16_t port, uint32_t sessionId);
    void sessionCheck();
    void onTouCommand(uint16_t option, uint32_t value);
    void setSwitchChannelId(uint32_t id);
    bool switchChannel();
    void procLinkSwitch();
    bool isSwitching() { return getSwitchState() > 2; }
    int getMediaType() const { return m_mediaType; }
    void getSendQueueInfo(PtcpSendQueueInfo* info);

private:
    void onResume(uint32_t bodyId);
    static bool isAllowedTarget(const std::string& host);

    int m_mediaType;
    SwitchHandler m_switchHandler;
    Infra::CMutex m_switchIdLock;
    uint32_t m_switchChannelId = 0;
    Memory::TSharedPtr<CProxyServerConfig> m_config;
};

} // namespace Tou
} // namespace Orvan

#endif
