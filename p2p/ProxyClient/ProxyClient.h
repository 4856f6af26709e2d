// Facade of one proxy client: a client of one P2P server that maps local TCP ports to TCP ports of
// remote devices.
#ifndef ORVAN_TOU_PROXYCLIENT_H
#define ORVAN_TOU_PROXYCLIENT_H

#include "ProxyClient/ProxyClientImpl.h"

#include <memory>

namespace Orvan {
namespace Tou {

class CProxyClient
{
public:
    CProxyClient(const char* host, int port, const char* key, const CProxyClientImpl::PortEventHandler& handler,
                 const char* userName);
    ~CProxyClient();
    CProxyClient(const CProxyClient&) = delete;
    CProxyClient& operator=(const CProxyClient&) = delete;

    bool addPort(const char* deviceId, int remotePort, uint16_t& localPort, int linkType);
    bool addPort(const char* deviceId, const char* remoteHost, int remotePort, uint16_t& localPort, int linkType);
    bool addPortSync(const char* deviceId, int remotePort, uint16_t& localPort, int timeoutMs, int linkType);
    bool deletePort(uint16_t localPort);
    void getP2PStat(const Memory::TSharedPtr<P2PStat>& stat);
    int queryRate(uint16_t localPort, PtcpChannelStatistics& stats);
    int getRemoteInfo(uint16_t localPort, ProxyRemoteInfo& info);
    int getState();
    int getState(const char* deviceId);
    int getChannelState(uint16_t localPort);
    bool setRemoteInfo(const char* remoteHost, int remotePort, uint16_t localPort);
    bool setConfig(unsigned option, int value);
    int getConfig(unsigned option);
    void setLogLevel(int level);
    bool getDeviceInfo(const char* deviceId, int size, char* buffer);
    void regP2PTraversalInfoHandler(const CProxyClientImpl::TraversalHandler& handler);

private:
    std::unique_ptr<CProxyClientImpl> m_impl;
};

} // namespace Tou
} // namespace Orvan

#endif
