/* The proxy client's C interface: a handle stands for one proxy client that maps local TCP ports to
   TCP ports of remote devices named by their serial number. 0 is success and -1 failure unless said. */
#ifndef ORVAN_PROXYCLIENTSDK_H
#define ORVAN_PROXYCLIENTSDK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* ProxyHandle;

typedef struct ProxyRemoteInfo
{
    char deviceId[64];
    char ip[64];
    uint16_t port;
} ProxyRemoteInfo;

typedef struct ProxyRateInfo
{
    uint64_t recvKBytes;
    uint64_t sentKBytes;
    double recvRate; /* kbit/s of the current measuring interval */
    double sendRate;
    double ratio;    /* always 0.0 */
    double elapsedSeconds;
} ProxyRateInfo;

/* linkType 0 local, 1 P2P, 2 relay; the return value is ignored. */
typedef int (*P2PTraversalInfoHandler)(const char* deviceId, const char* remoteIp, int remotePort,
                                       const char* localIp, int localPort, int linkType);

ProxyHandle ZRProxyClientInit(const char* host, int port, const char* key);
ProxyHandle ZRProxyClientInitEx(const char* host, int port, const char* key, const char* userName);
void ZRProxyClientRelease(ProxyHandle handle);
int ZRProxyClientState(ProxyHandle handle, int* state);
int ZRProxyClientServerState(ProxyHandle handle, const char* deviceId, int* state);
int ZRProxyClientAddPort(ProxyHandle handle, const char* deviceId, int remotePort, int* localPort);
int ZRProxyClientAddPortSync(ProxyHandle handle, const char* deviceId, int remotePort, int* localPort, int timeoutMs);
int ZRProxyClientDelPort(ProxyHandle handle, int localPort);
int ZRProxyClientChannelstate(ProxyHandle handle, int localPort, int* state);
int ZRProxyClientQueryRemoetInfo(ProxyHandle handle, int localPort, ProxyRemoteInfo* info);
int ZRProxyClientQueryRate(ProxyHandle handle, int localPort, ProxyRateInfo* rate);
int ZRProxySetOption(ProxyHandle handle, unsigned option, int value);
int ZRProxyGetOption(ProxyHandle handle, unsigned option);
void ZRProxySetLogLevel(ProxyHandle handle, int level);
int ZRProxyGetDeviceInfo(ProxyHandle handle, const char* deviceId, int bufferSize, void* buffer);
void ZRProxyRegP2PTraversalInfoHandler(ProxyHandle handle, P2PTraversalInfoHandler handler);

#ifdef __cplusplus
}
#endif

#endif
