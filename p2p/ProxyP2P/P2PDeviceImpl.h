#ifndef ORVAN_TOU_P2PDEVICEIMPL_H
#define ORVAN_TOU_P2PDEVICEIMPL_H

#include "Infra3/Mutex.h"
#include "P2PSDK/UdpClient.h"
#include "Proxy/MsgFilter.h"
#include "ProxyP2P/P2PDevice.h"

#include <atomic>
#include <ctime>
#include <string>

namespace Orvan {
namespace Tou {

// Registration states.
enum P2PDeviceState
{
    deviceStopped = 0,
    deviceGettingServer = 1,
    deviceRegistering = 2,
    deviceOnline = 3
};

// IP2PDevice on a CUdpClient: the main socket talks to the dispatch server (DS), the optional broadcast
// socket answers the LAN, and the one-shot timer drives registration and heartbeats. Every notification
// runs on the udp client thread; start, stop, setDeviceInfo and sendResponse come from other threads.
class CP2PDeviceImpl : public IP2PDevice, public IUdpClientNotify
{
public:
    enum
    {
        kMaxDeviceInfo = 8192,
        kQueryTimeoutMs = 3000,
        kRetrySeconds = 10,
        kHeartbeatSeconds = 20,
        kResendSeconds = 1,
        kOfflineSeconds = 75
    };

    CP2PDeviceImpl(const char* deviceId, INotify* listener, const ProxyServerConfigPtr& config);

    void release() override;
    bool start(const P2PServerInfo& server) override;
    bool stop() override;
    bool isOnline() override;
    bool sendResponse(const P2PResponse& response, int fd, const NATTraver::Address& to) override;
    bool setDeviceInfo(const char* info) override;

    void onReceive() override;
    void onReceiveBroadcast() override;
    void onStop() override;
    void onTimer() override;

    // "DS.addr" in the working directory; not used by the registration.
    bool readDSAddr();
    bool writeDSAddr();

    int getState() const { return m_state; }
    std::string dsHost() const;
    int dsPort() const { return m_dsPort; }
    bool broadcastListening() const { return m_broadcastListening; }

protected:
    ~CP2PDeviceImpl() override;

private:
    friend IP2PDevice* createP2PDevice(const char*, INotify*, const ProxyServerConfigPtr&);
    void notify(int event);
    void onAuthFailure(int status);
    // The DS of this device from the P2P server; status receives the answer's status (0 for none).
    bool getServer(int& status);
    bool setup(int& status);
    void keepAlive();
    void sendHeatbeat();
    void onPacket();
    void onBroadCast();
    void onResponseFromDS(int status, const char* reason);
    void onRequestFromDS(const HttpMessage& msg, const Address& sender);
    // The datagram's length, or 0 when there was none or it did not fit the buffer.
    int receive(bool broadcast, char* buffer, Address& sender);
    bool localOption();
    bool sendCached(const CachedResponse& cached, const Address& sender);

    CUdpClient* m_udpClient;
    bool m_udpStarted;
    std::string m_deviceId;
    INotify* m_listener;
    std::atomic<int> m_state;
    P2PServerInfo m_server;
    mutable Infra::CMutex m_dsLock; // the DS address and the server record
    std::string m_dsHost;
    std::atomic<int> m_dsPort;
    std::atomic<bool> m_startRequested;
    std::atomic<bool> m_stopRequested;
    std::atomic<time_t> m_lastHeartbeatAnswer;
    CMsgFilter m_filter;
    std::atomic<bool> m_heartbeatAnswered;
    Infra::CMutex m_infoLock;
    std::string m_deviceInfo;
    std::atomic<bool> m_broadcastListening;
    ProxyServerConfigPtr m_config;
};

} // namespace Tou
} // namespace Orvan

#endif
