// Device side of the P2P server protocol: keeps a device registered with its dispatch server, passes
// the requests that clients send through it to a listener and answers LAN probes on port 28591.
#ifndef ORVAN_TOU_P2PDEVICE_H
#define ORVAN_TOU_P2PDEVICE_H

#include "Memory/SharedPtr.h"
#include "P2PSDK/P2PClient.h"

namespace Orvan {
namespace Tou {

class CProxyServerConfig;
using ProxyServerConfigPtr = Memory::TSharedPtr<CProxyServerConfig>;

// Events that a device object sends to its listener's onEvent.
enum P2PDeviceEvent
{
    deviceEventReleased = 0,
    deviceEventOnline = 1,
    deviceEventOffline = 2,
    deviceEventUnauthorized = 3,
    deviceEventForbidden = 4
};

class IP2PDevice
{
public:
    // Ends in the listener's onEvent(0) and the object's destruction.
    virtual void release() = 0;
    // False unless stopped; the registration runs on the udp client thread.
    virtual bool start(const P2PServerInfo& server) = 0;
    virtual bool stop() = 0;
    virtual bool isOnline() = 0;
    // fd -1: through the dispatch server; otherwise from that descriptor to `to`.
    virtual bool sendResponse(const P2PResponse& response, int fd, const NATTraver::Address& to) = 0;
    // A JSON text of at most 8192 characters, sent with heartbeats and LAN answers.
    virtual bool setDeviceInfo(const char* info) = 0;

protected:
    virtual ~IP2PDevice() {}
};

// Null for a null or unusable device id or a null listener. The configuration's Local option switches the
// LAN socket; without a configuration it is on.
IP2PDevice* createP2PDevice(const char* deviceId, INotify* listener, const ProxyServerConfigPtr& config);

} // namespace Tou
} // namespace Orvan

#endif
