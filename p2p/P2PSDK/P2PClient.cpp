// The program's side of the P2P server protocol.
#include "P2PSDK/P2PClientImpl.h"

#include "P2PSDK/Print.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace Orvan {
namespace Tou {

IP2PClient* createP2PClient(INotify* listener)
{
    setPrivateMethods(1);
    if (!listener)
        return nullptr;
    auto* client = new CP2PClientImpl(listener);
    if (!client->startUdp()) {
        delete client;
        return nullptr;
    }
    return client;
}

CP2PClientImpl::CP2PClientImpl(INotify* listener)
    : m_listener(listener), m_udpClient(new CUdpClient(this)), m_serverTimeDifference(0)
{
}

CP2PClientImpl::~CP2PClientImpl()
{
    delete m_udpClient;
}

bool CP2PClientImpl::startUdp()
{
    return m_udpClient->start();
}

void CP2PClientImpl::stop()
{
    m_udpClient->stop();
}

void CP2PClientImpl::onStop()
{
    if (m_listener)
        m_listener->onEvent(0);
    delete this;
}

bool CP2PClientImpl::checkDeviceId(const char* deviceId)
{
    // The id is pasted into the request path: anything that could break the start line is refused.
    if (deviceId && isSafePathToken(deviceId))
        return true;
    TOU_PRINT(printLevelError, "invalid device id [%s]\n", deviceId ? deviceId : "(null)");
    return false;
}

bool queryP2PServer(const P2PServerInfo& server, const std::string& url, const std::string& host, int port,
                    HttpResponse& response, int timeoutMs)
{
    HttpRequest request;
    request.method = kHttpGet;
    request.url = url;
    request.auth = true;
    request.username = server.userName;
    request.password = server.key;
    return HttpQuery(SocketPtr(), request, host.c_str(), port, response, timeoutMs);
}

bool CP2PClientImpl::isServerOnline(const P2PServerInfo& server, int timeoutMs)
{
    HttpResponse response;
    if (!queryP2PServer(server, "/probe/p2psrv", server.host, server.port, response, timeoutMs))
        return false;
    if (response.status == 200) {
        TOU_PRINT(printLevelTrace, "server<%s:%d> is online\n", server.host.c_str(), server.port);
        return true;
    }
    TOU_PRINT(printLevelTrace, "server<%s:%d> is offline\n", server.host.c_str(), server.port);
    return false;
}

bool CP2PClientImpl::findRegistrationServer(const P2PServerInfo& server, const char* deviceId, std::string& host,
                                            int& port, int timeoutMs)
{
    HttpResponse response;
    if (!queryP2PServer(server, std::string("/online/p2psrv/") + deviceId, server.host, server.port, response,
                        timeoutMs))
        return false;
    const std::string us = response.fields["US"];
    if (us.empty())
        return false;
    TOU_PRINT(printLevelTrace, "find device<%s> @ p2psrv us[%s]\n", deviceId, us.c_str());
    size_t colon = us.find(':');
    if (colon == std::string::npos)
        return false;
    host = colon == 0 ? server.host : us.substr(0, colon);
    port = std::atoi(us.c_str() + colon + 1);
    return true;
}

bool CP2PClientImpl::isDeviceOnline(const P2PServerInfo& server, const char* deviceId, int timeoutMs)
{
    if (!checkDeviceId(deviceId))
        return false;
    std::string host;
    int port = 0;
    if (!findRegistrationServer(server, deviceId, host, port, timeoutMs))
        return false;
    HttpResponse response;
    if (!queryP2PServer(server, std::string("/probe/device/") + deviceId, host, port, response, timeoutMs))
        return false;
    if (response.status == 200) {
        TOU_PRINT(printLevelTrace, "device<%s> is online\n", deviceId);
        return true;
    }
    TOU_PRINT(printLevelTrace, "device<%s> is offline\n", deviceId);
    return false;
}

namespace {

// Copies the body of a 200 answer into the caller's buffer (no NUL added).
bool copyBody(const char* datagram, int length, int size, char* buffer)
{
    HttpMessage answer;
    if (parseHttpMessage(&answer, datagram, length) < 0 || answer.status != 200)
        return false;
    if (answer.contentLength > size) {
        TOU_PRINT(printLevelError, "Buffer Overflow\n");
        return false;
    }
    std::memcpy(buffer, answer.body, size_t(answer.contentLength));
    return true;
}

} // namespace

bool CP2PClientImpl::getFromServer(const P2PServerInfo& server, const char* deviceId, int size, char* buffer,
                                   int timeoutMs)
{
    if (!buffer || !checkDeviceId(deviceId))
        return false;
    std::string host;
    int port = 0;
    if (!findRegistrationServer(server, deviceId, host, port, timeoutMs))
        return false;
    HttpRequest request;
    request.CSeq = generateRandomId();
    request.url = std::string("/info/device/") + deviceId;
    request.auth = true;
    request.username = server.userName;
    request.password = server.key;
    HttpMessage msg;
    std::string body;
    buildRequestMessage(request, msg, body, 0);
    char out[kHttpBufferSize];
    int length = serializeHttpMessage(&msg, out, sizeof(out));
    if (length < 0)
        return false;
    Address to(host.c_str(), port);
    char in[kHttpBufferSize];
    SocketPtr socket(new Socket(true));
    int n = exchangeDatagram(socket, out, length, to, &to, &request.CSeq, in, exchangeSchedule(timeoutMs));
    if (n <= 0 || !copyBody(in, n, size, buffer))
        return false;
    TOU_PRINT(printLevelTrace, "Get From Server Success\n");
    return true;
}

bool CP2PClientImpl::getFromDevice(const char* deviceId, int size, char* buffer, int timeoutMs)
{
    if (!buffer || !checkDeviceId(deviceId))
        return false;
    char out[512];
    int length = std::snprintf(out, sizeof(out), "ZRGET /info/device/%s HTTP/1.1\r\n\r\n", deviceId);
    SocketPtr socket(new Socket(true));
    Address any("0.0.0.0", 0);
    if (socket->bind(any) != 0)
        return false;
    socket->setOption(NATTraver::optBroadcast, 1);
    Address to("255.255.255.255", kBroadcastPort);
    char in[kHttpBufferSize];
    // Any device on the LAN may answer, and its answer carries no CSeq.
    int n = exchangeDatagram(socket, out, length, to, nullptr, nullptr, in, exchangeSchedule(timeoutMs));
    if (n <= 0 || !copyBody(in, n, size, buffer))
        return false;
    TOU_PRINT(printLevelTrace, "Get From Device Success\n");
    return true;
}

bool CP2PClientImpl::getDeviceInfo(const P2PServerInfo& server, const char* deviceId, int size, char* buffer,
                                   int timeoutMs)
{
    if (!buffer) {
        TOU_PRINT(printLevelError, "Invalid parameter\n");
        return false;
    }
    bool fromServer = getFromServer(server, deviceId, size, buffer, timeoutMs);
    bool fromDevice = getFromDevice(deviceId, size, buffer, 300);
    return fromServer || fromDevice;
}

int serializeP2PRequest(P2PRequest& request, const P2PServerInfo& server, bool auth, int serverTimeDiff, char* out,
                        int size)
{
    if (request.cseq == 0)
        request.cseq = generateRandomId();
    HttpRequest http;
    http.CSeq = request.cseq;
    http.method = request.fields.empty() ? kHttpGet : kHttpPost;
    http.url = request.deviceId.empty() ? request.path : "/device/" + request.deviceId + "/" + request.path;
    http.auth = auth;
    http.username = server.userName;
    http.password = server.key;
    http.fields = request.fields;
    HttpMessage msg;
    std::string body;
    buildRequestMessage(http, msg, body, serverTimeDiff);
    return serializeHttpMessage(&msg, out, size);
}

bool CP2PClientImpl::sendRequest(const P2PServerInfo& server, P2PRequest& request, bool auth)
{
    if (!request.deviceId.empty() && !checkDeviceId(request.deviceId.c_str()))
        return false;
    char out[kHttpBufferSize];
    int length = serializeP2PRequest(request, server, auth, m_serverTimeDifference, out, sizeof(out));
    if (length < 0)
        return false;
    return m_udpClient->sendTo(out, length, Address(server.host.c_str(), server.port)) >= 0;
}

void CP2PClientImpl::onReceive()
{
    char in[kHttpBufferSize];
    Address sender;
    int n = m_udpClient->recvFrom(in, kHttpBufferSize - 1, sender);
    if (n <= 0)
        return;
    in[n] = '\0';
    HttpMessage msg;
    if (parseHttpMessage(&msg, in, n) < 0)
        return;
    P2PResponse response;
    response.cseq = msg.CSeq;
    response.statusCode = msg.status;
    response.text = msg.reason;
    if (msg.contentLength > 0) {
        std::string body(msg.body, size_t(msg.contentLength));
        parseXmlBody(body.c_str(), response.fields);
    }
    if (m_listener)
        m_listener->onResponse(response);
    if (msg.status == 401 && msg.date[0])
        m_serverTimeDifference = int(time(nullptr) - parseIsoTime(msg.date));
}

} // namespace Tou
} // namespace Orvan
