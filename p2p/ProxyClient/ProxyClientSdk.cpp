// The C interface over CProxyClient.
#include "ProxyClient/ProxyClientSdk.h"

#include "P2PSDK/Print.h"
#include "ProxyClient/DomainParse.h"
#include "ProxyClient/ProxyClient.h"

#include <cstring>

using namespace Orvan::Tou;

namespace {

const unsigned kLastSettableOption = proxyOptMultiHolePunch;
const unsigned kLastReadableOption = proxyOptRemoteCommand;

void ignorePortEvent(int, int, const char*) {}

CProxyClient* clientOf(ProxyHandle handle)
{
    if (!handle)
        TOU_PRINT(printLevelError, "SDK Clent need has one instance first!\n");
    return static_cast<CProxyClient*>(handle);
}

bool checkOutput(const void* output)
{
    if (!output)
        TOU_PRINT(printLevelError, "SDK client invalid param!please check input param!\n");
    return output != nullptr;
}

uint16_t portOf(int value)
{
    return uint16_t(value & 0xFFFF);
}

} // namespace

extern "C" {

ProxyHandle ZRProxyClientInit(const char* host, int port, const char* key)
{
    return ZRProxyClientInitEx(host, port, key, nullptr);
}

ProxyHandle ZRProxyClientInitEx(const char* host, int port, const char* key, const char* userName)
{
    char address[CDomainParse::kOutputSize] = {0};
    if (!CDomainParse::getDomainIP(host, port, address)) {
        TOU_PRINT(printLevelError, "SDK ZRProxyClientInit getDomainIP error!\n");
        return nullptr;
    }
    return new CProxyClient(address, port, key, CProxyClientImpl::PortEventHandler(&ignorePortEvent),
                            userName && *userName ? userName : "P2PClient");
}

void ZRProxyClientRelease(ProxyHandle handle)
{
    delete static_cast<CProxyClient*>(handle);
}

int ZRProxyClientState(ProxyHandle handle, int* state)
{
    CProxyClient* client = clientOf(handle);
    if (!client || !checkOutput(state))
        return -1;
    *state = client->getState();
    return 0;
}

int ZRProxyClientServerState(ProxyHandle handle, const char* deviceId, int* state)
{
    CProxyClient* client = clientOf(handle);
    if (!client || !checkOutput(state))
        return -1;
    *state = client->getState(deviceId);
    return 0;
}

int ZRProxyClientAddPort(ProxyHandle handle, const char* deviceId, int remotePort, int* localPort)
{
    CProxyClient* client = clientOf(handle);
    if (!client || !checkOutput(localPort))
        return -1;
    uint16_t port = portOf(*localPort);
    bool ok = client->addPort(deviceId, remotePort, port, linkTypeLocal);
    *localPort = port;
    return ok ? 0 : -1;
}

int ZRProxyClientAddPortSync(ProxyHandle handle, const char* deviceId, int remotePort, int* localPort, int timeoutMs)
{
    CProxyClient* client = clientOf(handle);
    if (!client || !checkOutput(localPort))
        return -1;
    uint16_t port = portOf(*localPort);
    bool ok = client->addPortSync(deviceId, remotePort, port, timeoutMs, linkTypeLocal);
    *localPort = port;
    return ok ? 0 : -1;
}

int ZRProxyClientDelPort(ProxyHandle handle, int localPort)
{
    CProxyClient* client = clientOf(handle);
    if (!client)
        return -1;
    return client->deletePort(portOf(localPort)) ? 0 : -1;
}

int ZRProxyClientChannelstate(ProxyHandle handle, int localPort, int* state)
{
    CProxyClient* client = clientOf(handle);
    if (!client || !checkOutput(state))
        return -1;
    *state = client->getChannelState(portOf(localPort));
    return 0;
}

int ZRProxyClientQueryRemoetInfo(ProxyHandle handle, int localPort, ProxyRemoteInfo* info)
{
    CProxyClient* client = clientOf(handle);
    if (!client || !checkOutput(info))
        return -1;
    ProxyRemoteInfo remote;
    if (client->getRemoteInfo(portOf(localPort), remote) != portChannelActive) {
        TOU_PRINT(printLevelError, "Current P2P Channel has not created!\n");
        return -1;
    }
    *info = remote;
    return 0;
}

int ZRProxyClientQueryRate(ProxyHandle handle, int localPort, ProxyRateInfo* rate)
{
    if (!handle || !rate) {
        TOU_PRINT(printLevelError, "client sdk uninit or unvalid param!\n");
        return -1;
    }
    PtcpChannelStatistics stats;
    static_cast<CProxyClient*>(handle)->queryRate(portOf(localPort), stats);
    rate->recvKBytes = stats.recvKB;
    rate->sentKBytes = stats.sendKB;
    rate->recvRate = stats.recvRate;
    rate->sendRate = stats.sendRate;
    rate->ratio = stats.reserved;
    rate->elapsedSeconds = double(stats.elapsedSeconds);
    return 0;
}

int ZRProxySetOption(ProxyHandle handle, unsigned option, int value)
{
    CProxyClient* client = clientOf(handle);
    if (!client)
        return -1;
    TOU_PRINT(printLevelTrace, "ZRProxySetOption option:%d, value:%d\n", int(option), value);
    if (option > kLastSettableOption) {
        TOU_PRINT(printLevelError, "invalid p2p option[%u]!\n", option);
        return -1;
    }
    return client->setConfig(option, value) ? 0 : -1;
}

int ZRProxyGetOption(ProxyHandle handle, unsigned option)
{
    CProxyClient* client = clientOf(handle);
    if (!client)
        return -1;
    if (option > kLastReadableOption) {
        TOU_PRINT(printLevelError, "invalid p2p option[%u]!\n", option);
        return -1;
    }
    return client->getConfig(option);
}

void ZRProxySetLogLevel(ProxyHandle handle, int level)
{
    CProxyClient* client = clientOf(handle);
    if (client)
        client->setLogLevel(level);
}

int ZRProxyGetDeviceInfo(ProxyHandle handle, const char* deviceId, int bufferSize, void* buffer)
{
    CProxyClient* client = clientOf(handle);
    if (!client)
        return 0;
    return client->getDeviceInfo(deviceId, bufferSize, static_cast<char*>(buffer)) ? 1 : 0;
}

void ZRProxyRegP2PTraversalInfoHandler(ProxyHandle handle, P2PTraversalInfoHandler handler)
{
    CProxyClient* client = clientOf(handle);
    if (!client)
        return;
    CProxyClientImpl::TraversalHandler functor;
    if (handler)
        functor = [handler](const std::string& deviceId, const std::string& remoteIp, int remotePort,
                            const std::string& localIp, int localPort, int linkType) {
            handler(deviceId.c_str(), remoteIp.c_str(), remotePort, localIp.c_str(), localPort, linkType);
        };
    client->regP2PTraversalInfoHandler(functor);
}

} // extern "C"
