#ifndef ORVAN_TOU_P2PCLIENT_H
#define ORVAN_TOU_P2PCLIENT_H

#include "P2PSDK/HttpMessage.h"
#include "P2PSDK/UdpClient.h"

#include <string>

namespace Orvan {
namespace Tou {

struct P2PRequest
{
    int cseq = 0;
    std::string path;
    std::string deviceId;
    FieldMap fields;
};

struct P2PResponse
{
    int cseq = 0;
    int statusCode = 0;
    std::string text;
    FieldMap fields;
};

// Listener of a P2P server client or device object.
class INotify
{
public:
    virtual ~INotify() {}
    virtual void onEvent(int /*event*/) {}
    virtual void onRequest(const P2PRequest& /*request*/) {}
    virtual void onResponse(const P2PResponse& /*response*/) {}
};

struct P2PServerInfo
{
    std::string host;
    int port = 0;
    std::string key;
    std::string userName;
};

// The request to server as one datagram in out: its path under /device/<id>/ when it names a
// device, signed with the server's account when auth, a new CSeq (written back) when it has none.
// Answers the length, below 0 when it does not fit.
int serializeP2PRequest(P2PRequest& request, const P2PServerInfo& server, bool auth, int serverTimeDiff, char* out,
                        int size);

// A GET of url at host:port signed with the server's account, waiting at most timeoutMs.
bool queryP2PServer(const P2PServerInfo& server, const std::string& url, const std::string& host, int port,
                    HttpResponse& response, int timeoutMs);

class IP2PClient
{
public:
    // Ends in the listener's onEvent(0) and the object's destruction.
    virtual void stop() = 0;
    virtual bool isServerOnline(const P2PServerInfo& server, int timeoutMs) = 0;
    virtual bool isDeviceOnline(const P2PServerInfo& server, const char* deviceId, int timeoutMs) = 0;
    virtual bool sendRequest(const P2PServerInfo& server, P2PRequest& request, bool auth) = 0;
    virtual bool getDeviceInfo(const P2PServerInfo& server, const char* deviceId, int size, char* buffer,
                               int timeoutMs) = 0;
    virtual bool getFromServer(const P2PServerInfo& server, const char* deviceId, int size, char* buffer,
                               int timeoutMs) = 0;
    virtual bool getFromDevice(const char* deviceId, int size, char* buffer, int timeoutMs) = 0;

protected:
    virtual ~IP2PClient() {}
};

IP2PClient* createP2PClient(INotify* listener);

} // namespace Tou
} // namespace Orvan

#endif
