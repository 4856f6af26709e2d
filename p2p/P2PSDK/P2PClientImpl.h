#ifndef ORVAN_TOU_P2PCLIENTIMPL_H
#define ORVAN_TOU_P2PCLIENTIMPL_H

#include "P2PSDK/P2PClient.h"

#include <atomic>

namespace Orvan {
namespace Tou {

class CP2PClientImpl : public IP2PClient, public IUdpClientNotify
{
public:
    explicit CP2PClientImpl(INotify* listener);
    ~CP2PClientImpl() override;
    bool startUdp();

    void stop() override;
    bool isServerOnline(const P2PServerInfo& server, int timeoutMs) override;
    bool isDeviceOnline(const P2PServerInfo& server, const char* deviceId, int timeoutMs) override;
    bool sendRequest(const P2PServerInfo& server, P2PRequest& request, bool auth) override;
    bool getDeviceInfo(const P2PServerInfo& server, const char* deviceId, int size, char* buffer,
                       int timeoutMs) override;
    bool getFromServer(const P2PServerInfo& server, const char* deviceId, int size, char* buffer,
                       int timeoutMs) override;
    bool getFromDevice(const char* deviceId, int size, char* buffer, int timeoutMs) override;

    void onReceive() override;
    void onStop() override;

    int serverTimeDifference() const { return m_serverTimeDifference; }

private:
    // The registration server of a device ("US"): false when unknown.
    bool findRegistrationServer(const P2PServerInfo& server, const char* deviceId, std::string& host, int& port,
                                int timeoutMs);
    static bool checkDeviceId(const char* deviceId);

    INotify* m_listener;
    CUdpClient* m_udpClient;
    std::atomic<int> m_serverTimeDifference;
};

} // namespace Tou
} // namespace Orvan

#endif
