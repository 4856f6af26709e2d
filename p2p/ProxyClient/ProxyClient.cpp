#include "ProxyClient/ProxyClient.h"

#include "P2PSDK/Print.h"

namespace Orvan {
namespace Tou {

namespace {
const char kLoopback[] = "127.0.0.1";
}

CProxyClient::CProxyClient(const char* host, int port, const char* key,
                           const CProxyClientImpl::PortEventHandler& handler, const char* userName)
    : m_impl(new CProxyClientImpl(host ? host : "", port, key ? key : "", handler, userName ? userName : ""))
{
    TOU_PRINT(printLevelTrace, "version information: major[%u]minor[%u]revision[%u]type[%s]\r\n", 5u, 2u, 1u,
              "Beta");
}

CProxyClient::~CProxyClient() = default;

bool CProxyClient::addPort(const char* deviceId, int remotePort, uint16_t& localPort, int linkType)
{
    return m_impl->addPort(deviceId, kLoopback, remotePort, localPort, linkType);
}

bool CProxyClient::addPort(const char* deviceId, const char* remoteHost, int remotePort, uint16_t& localPort,
                           int linkType)
{
    return m_impl->addPort(deviceId, remoteHost, remotePort, localPort, linkType);
}

bool CProxyClient::addPortSync(const char* deviceId, int remotePort, uint16_t& localPort, int timeoutMs,
                               int linkType)
{
    return m_impl->addPortSync(deviceId, remotePort, localPort, timeoutMs, linkType);
}

bool CProxyClient::deletePort(uint16_t localPort) { return m_impl->deletePort(localPort); }
void CProxyClient::getP2PStat(const Memory::TSharedPtr<P2PStat>& stat) { m_impl->getP2PStat(stat); }
int CProxyClient::queryRate(uint16_t localPort, PtcpChannelStatistics& stats)
{
    return m_impl->queryRate(localPort, stats);
}
int CProxyClient::getRemoteInfo(uint16_t localPort, ProxyRemoteInfo& info)
{
    return m_impl->getRemoteInfo(localPort, info);
}
int CProxyClient::getState() { return m_impl->getState(); }
int CProxyClient::getState(const char* deviceId) { return m_impl->getState(deviceId); }
int CProxyClient::getChannelState(uint16_t localPort) { return m_impl->getChannel(localPort); }
bool CProxyClient::setRemoteInfo(const char* remoteHost, int remotePort, uint16_t localPort)
{
    return m_impl->setRemoteInfo(remoteHost, remotePort, localPort);
}
bool CProxyClient::setConfig(unsigned option, int value) { return m_impl->setConfig(option, value); }
int CProxyClient::getConfig(unsigned option) { return m_impl->getConfig(option); }
void CProxyClient::setLogLevel(int level) { setPrintLevel(level); }
bool CProxyClient::getDeviceInfo(const char* deviceId, int size, char* buffer)
{
    return m_impl->getDeviceInfo(deviceId, size, buffer);
}
void CProxyClient::regP2PTraversalInfoHandler(const CProxyClientImpl::TraversalHandler& handler)
{
    m_impl->regP2PTraversalInfoHandler(handler);
}

} // namespace Tou
} // namespace Orvan
