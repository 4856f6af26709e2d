// Device registration with the P2P server: DS lookup, setup, heartbeats, forwarded requests and LAN answers.
#include "ProxyP2P/P2PDeviceImpl.h"

#include "ProxyP2P/DeviceMessages.h"

#include "P2PSDK/Print.h"
#include "Proxy/ProxyClientConfig.h"
#include "Proxy/ProxyServerConfig.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace Orvan {
namespace Tou {

namespace {

// Paces the heartbeats of every device object of the process.
std::atomic<int> g_resendCounter(0);

const char kDsAddrFile[] = "DS.addr";

std::string jsonAnswerOrEmpty(const char* startLine, const std::string& info)
{
    return std::string(startLine) + "Content-Type: application/json\r\nContent-Length: " +
           std::to_string(info.size()) + "\r\n\r\n" + info;
}

} // namespace

IP2PDevice* createP2PDevice(const char* deviceId, INotify* listener, const ProxyServerConfigPtr& config)
{
    setPrivateMethods(1);
    if (!deviceId || !listener)
        return nullptr;
    // The id becomes the last element of every request path.
    if (!isSafePathToken(deviceId)) {
        TOU_PRINT(printLevelError, "invalid device id [%s]\n", deviceId);
        return nullptr;
    }
    CP2PDeviceImpl* device = new CP2PDeviceImpl(deviceId, listener, config);
    if (!device->m_udpStarted) {
        TOU_PRINT(printLevelError, "start udp client failed, device[%s]\n", deviceId);
        delete device;
        return nullptr;
    }
    return device;
}

void CP2PDeviceImpl::resetHeartbeatPacing()
{
    g_resendCounter = 0;
}

CP2PDeviceImpl::CP2PDeviceImpl(const char* deviceId, INotify* listener, const ProxyServerConfigPtr& config)
    : m_udpClient(new CUdpClient(this)), m_udpStarted(false), m_deviceId(deviceId), m_listener(listener),
      m_state(deviceStopped), m_dsPort(0), m_startRequested(false), m_stopRequested(false),
      m_lastHeartbeatAnswer(0), m_heartbeatAnswered(true), m_broadcastListening(false), m_config(config)
{
    if (localOption())
        m_broadcastListening = m_udpClient->bindBroadCastPort();
    m_udpStarted = m_udpClient->start();
}

CP2PDeviceImpl::~CP2PDeviceImpl()
{
    // The UDP client has stopped already (release); deleting it frees its sockets.
    delete m_udpClient;
    m_config.reset();
}

void CP2PDeviceImpl::release()
{
    m_udpClient->stop();
}

void CP2PDeviceImpl::onStop()
{
    notify(deviceEventReleased);
    delete this;
}

void CP2PDeviceImpl::notify(int event)
{
    if (m_listener)
        m_listener->onEvent(event);
}

bool CP2PDeviceImpl::start(const P2PServerInfo& server)
{
    if (m_state != deviceStopped)
        return false;
    {
        Infra::CMutexGuard guard(m_dsLock);
        m_server = server;
    }
    m_startRequested = true;
    m_udpClient->setTimer(0);
    return true;
}

bool CP2PDeviceImpl::stop()
{
    m_stopRequested = true;
    m_udpClient->setTimer(0);
    return true;
}

bool CP2PDeviceImpl::isOnline()
{
    return m_state == deviceOnline;
}

std::string CP2PDeviceImpl::dsHost() const
{
    Infra::CMutexGuard guard(m_dsLock);
    return m_dsHost;
}

bool CP2PDeviceImpl::localOption()
{
    return !m_config.get() || m_config->getConfig(proxyOptLocal) > 0;
}

bool CP2PDeviceImpl::setDeviceInfo(const char* info)
{
    if (!info) {
        TOU_PRINT(printLevelError, "Invalid parameter\n");
        return false;
    }
    if (strnlen(info, kMaxDeviceInfo + 1) > size_t(kMaxDeviceInfo)) {
        TOU_PRINT(printLevelError, "DeviceInfo length is out of range\n");
        return false;
    }
    Infra::CMutexGuard guard(m_infoLock);
    m_deviceInfo = info;
    return true;
}

void CP2PDeviceImpl::onAuthFailure(int status)
{
    if (status == 401)
        notify(deviceEventUnauthorized);
    else if (status == 403)
        notify(deviceEventForbidden);
}

void CP2PDeviceImpl::onTimer()
{
    if (m_startRequested.exchange(false)) {
        TOU_PRINT(printLevelTrace, "device start!\n");
        m_state = deviceGettingServer;
        m_heartbeatAnswered = true;
    }
    if (m_stopRequested.exchange(false)) {
        TOU_PRINT(printLevelTrace, "device stop!\n");
        notify(deviceEventOffline);
        m_state = deviceStopped;
    }
    if (m_state == deviceGettingServer) {
        int status = 0;
        if (!getServer(status)) {
            onAuthFailure(status);
            TOU_PRINT(printLevelTrace, "get server fail, retrying...\n");
            m_udpClient->setTimer(kRetrySeconds);
            return;
        }
        m_state = deviceRegistering;
    }
    if (m_state == deviceRegistering) {
        int status = 0;
        setup(status);
        TOU_PRINT(printLevelTrace, "device setup return %d\n", status);
        if (status != 200) {
            onAuthFailure(status);
            TOU_PRINT(printLevelTrace, "setup fail, re-get server\n");
            m_state = deviceGettingServer;
            m_udpClient->setTimer(kRetrySeconds);
            return;
        }
        m_state = deviceOnline;
        notify(deviceEventOnline);
        m_lastHeartbeatAnswer = time(nullptr);
    }
    if (m_state == deviceOnline)
        keepAlive();
}

void CP2PDeviceImpl::keepAlive()
{
    if (time(nullptr) - m_lastHeartbeatAnswer >= kOfflineSeconds) {
        TOU_PRINT(printLevelTrace, "device disconnected!\n");
        notify(deviceEventOffline);
        m_state = deviceGettingServer;
        m_udpClient->setTimer(0);
        return;
    }
    if (!m_heartbeatAnswered) {
        if (g_resendCounter++ < 3) {
            sendHeatbeat();
            m_udpClient->setTimer(kResendSeconds);
        } else {
            m_heartbeatAnswered = true;
            m_udpClient->setTimer(kHeartbeatSeconds);
            g_resendCounter = 0;
        }
    } else if (g_resendCounter == 0) {
        sendHeatbeat();
        m_udpClient->setTimer(kResendSeconds);
        ++g_resendCounter;
    } else {
        m_udpClient->setTimer(kHeartbeatSeconds);
        g_resendCounter = 0;
    }
}

bool CP2PDeviceImpl::getServer(int& status)
{
    P2PServerInfo server;
    {
        Infra::CMutexGuard guard(m_dsLock);
        server = m_server;
    }
    HttpResponse response;
    if (!queryP2PServer(server, "/online/p2psrv/" + m_deviceId, server.host, server.port, response, kQueryTimeoutMs))
        return false;
    status = response.status;
    const std::string ds = response.fields["DS"];
    TOU_PRINT(printLevelTrace, "get p2psrv ds %s\n", ds.c_str());
    size_t colon = ds.find(':');
    if (ds.empty() || colon == std::string::npos)
        return false;
    std::string host = colon == 0 ? server.host : ds.substr(0, colon);
    int port = 0;
    if (!parsePortText(ds.substr(colon + 1), port)) {
        TOU_PRINT(printLevelError, "bad ds port [%s]\n", ds.c_str());
        return false;
    }
    Address address(host.c_str(), port);
    const char* ip = address.getIp();
    if (!ip || !*ip || std::strcmp(ip, "0.0.0.0") == 0) {
        TOU_PRINT(printLevelError, "bad ds host [%s]\n", host.c_str());
        return false;
    }
    Infra::CMutexGuard guard(m_dsLock);
    m_dsHost = ip;
    m_dsPort = port;
    return true;
}

bool CP2PDeviceImpl::setup(int& status)
{
    P2PServerInfo server;
    std::string host;
    {
        Infra::CMutexGuard guard(m_dsLock);
        server = m_server;
        host = m_dsHost;
    }
    HttpResponse response;
    if (!queryP2PServer(server, "/setup/device/" + m_deviceId, host, m_dsPort, response, kQueryTimeoutMs))
        return false;
    status = response.status;
    return true;
}

void CP2PDeviceImpl::sendHeatbeat()
{
    Infra::CMutexGuard guard(m_infoLock);
    const std::string start = "GET /heartbeat/device/" + m_deviceId + " HTTP/1.1\r\n";
    const std::string datagram = m_deviceInfo.empty() ? start + "\r\n" : jsonAnswerOrEmpty(start.c_str(), m_deviceInfo);
    if (datagram.size() > size_t(kHttpBufferSize)) {
        m_deviceInfo.clear();
        TOU_PRINT(printLevelError, "Info length is out of range, reset deviceInfo\n");
        return;
    }
    m_udpClient->sendTo(datagram.data(), int(datagram.size()), Address(dsHost().c_str(), m_dsPort));
    m_heartbeatAnswered = false;
    TOU_PRINT(printLevelTrace, "send heartbeat\n");
}

int CP2PDeviceImpl::receive(bool broadcast, char* buffer, Address& sender)
{
    // One byte more than a message may have: a datagram that fills it did not fit and is dropped
    // instead of being read cut short.
    int n = broadcast ? m_udpClient->recvBroadcast(buffer, kHttpBufferSize, sender, 0)
                      : m_udpClient->recvFrom(buffer, kHttpBufferSize, sender);
    if (n <= 0)
        return 0;
    if (n >= kHttpBufferSize) {
        TOU_PRINT(printLevelWarn, "drop oversized datagram from [%s]\n", sender.toString().c_str());
        return 0;
    }
    buffer[n] = '\0';
    return n;
}

void CP2PDeviceImpl::onReceive()
{
    onPacket();
}

void CP2PDeviceImpl::onPacket()
{
    if (m_state != deviceOnline)
        return;
    char buffer[kHttpBufferSize + 1];
    Address sender;
    int n = receive(false, buffer, sender);
    if (n <= 0)
        return;
    if (sender != Address(dsHost().c_str(), m_dsPort))
        return;
    HttpMessage msg;
    if (parseHttpMessage(&msg, buffer, n) < 0)
        return;
    if (msg.kind == kHttpResponse)
        onResponseFromDS(msg.status, msg.reason);
    else
        onRequestFromDS(msg, sender);
}

void CP2PDeviceImpl::onResponseFromDS(int status, const char* reason)
{
    TOU_PRINT(printLevelTrace, "recv %d %s\n", status, reason);
    if (status == 200) {
        m_lastHeartbeatAnswer = time(nullptr);
        m_heartbeatAnswered = true;
    } else if (status == 401) {
        TOU_PRINT(printLevelWarn, "Not heartbeat recv!\n");
    } else {
        TOU_PRINT(printLevelTrace, "device heartbeat fail, will re-get server right now!\n");
        m_state = deviceGettingServer;
        m_udpClient->setTimer(0);
    }
}

bool CP2PDeviceImpl::sendCached(const CachedResponse& cached, const Address& sender)
{
    if (cached.fd == -1)
        return m_udpClient->sendTo(cached.text.data(), int(cached.text.size()), sender) >= 0;
    Socket socket(cached.fd, false);
    if (socket.sendTo(cached.text.data(), int(cached.text.size()), cached.address) < 0) {
        TOU_PRINT(printLevelError, "ReUse m_tou handle sendTo failed!\n");
        return false;
    }
    return true;
}

void CP2PDeviceImpl::onRequestFromDS(const HttpMessage& msg, const Address& sender)
{
    CachedResponse cached;
    if (!m_filter.getResponse(msg.CSeq, cached).empty()) {
        sendCached(cached, sender);
        return;
    }
    P2PRequest request;
    if (!readForwardedRequest(msg, request))
        return;
    if (m_filter.isRequestExist(msg.CSeq)) {
        TOU_PRINT(printLevelTrace, "request exist[%d]: op[%s] dev_id[%s]\n", msg.CSeq, request.path.c_str(),
                  request.deviceId.c_str());
        return;
    }
    m_filter.addRequest(msg.CSeq);
    TOU_PRINT(printLevelTrace, "onRequest[%d]: op[%s] dev_id[%s]\n", msg.CSeq, request.path.c_str(),
              request.deviceId.c_str());
    if (m_listener)
        m_listener->onRequest(request);
}

void CP2PDeviceImpl::onReceiveBroadcast()
{
    onBroadCast();
}

void CP2PDeviceImpl::onBroadCast()
{
    if (!localOption()) {
        if (m_broadcastListening) {
            m_udpClient->closeBroadcastSocket();
            m_broadcastListening = false;
        }
        return;
    }
    if (!m_broadcastListening)
        m_broadcastListening = m_udpClient->bindBroadCastPort();
    if (!m_broadcastListening)
        return;
    char buffer[kHttpBufferSize + 1];
    Address sender;
    if (receive(true, buffer, sender) <= 0)
        return;
    const LanRequest kind = classifyLanDatagram(buffer, m_deviceId);
    if (kind == lanInfoProbe) {
        std::string answer;
        {
            Infra::CMutexGuard guard(m_infoLock);
            if (m_deviceInfo.empty())
                answer = "HTTP/1.1 404 Not Found\r\n\r\n";
            else
                answer = jsonAnswerOrEmpty("HTTP/1.1 200 OK\r\n", m_deviceInfo);
            if (answer.size() > size_t(kHttpBufferSize))
                answer = "HTTP/1.1 507 Insufficient Storage\r\n\r\n";
        }
        if (m_udpClient->sendTo(answer.data(), int(answer.size()), sender) >= 0)
            TOU_PRINT(printLevelTrace, "Send BroadCast Response Success\n");
        else
            TOU_PRINT(printLevelError, "Send BroadCast Response Failed\n");
        return;
    }
    if (kind == lanLocalChannel) {
        const char* ip = sender.getIp();
        if (!ip)
            return;
        P2PRequest request;
        request.cseq = 0;
        request.path = "local-channel";
        request.deviceId = m_deviceId;
        request.fields["ClientIP"] = ip;
        request.fields["ClientPort"] = std::to_string(sender.getPort());
        if (m_listener)
            m_listener->onRequest(request);
    }
}

bool CP2PDeviceImpl::sendResponse(const P2PResponse& response, int fd, const NATTraver::Address& to)
{
    HttpMessage msg;
    std::string body;
    buildResponseMessage(response.cseq, response.statusCode, response.text.c_str(), response.fields, msg, body);
    char out[kHttpBufferSize];
    int length = serializeHttpMessage(&msg, out, sizeof(out));
    if (length < 0) {
        TOU_PRINT(printLevelError, "sendResponse[%d]: message does not fit\n", response.cseq);
        return false;
    }
    TOU_PRINT(printLevelTrace, "sendResponse[%d]: %d %s\n", response.cseq, response.statusCode, response.text.c_str());
    m_filter.addResponse(response.cseq, std::string(out, size_t(length)), fd, to);
    if (fd == -1)
        return m_udpClient->sendTo(out, length, Address(dsHost().c_str(), m_dsPort)) >= 0;
    Socket socket(fd, false);
    if (socket.sendTo(out, length, to) < 0) {
        TOU_PRINT(printLevelError, "ReUse m_tou handle sendTo failed!\n");
        return false;
    }
    return true;
}

bool CP2PDeviceImpl::readDSAddr()
{
    FILE* file = std::fopen(kDsAddrFile, "r");
    if (!file)
        return false;
    char host[256] = "";
    int port = 0;
    bool ok = std::fscanf(file, "%255s %d", host, &port) == 2;
    std::fclose(file);
    if (!ok || port <= 0 || port > 65535)
        return false;
    TOU_PRINT(printLevelTrace, "Read DS.addr [%s:%d]\n", host, port);
    Infra::CMutexGuard guard(m_dsLock);
    m_dsHost = host;
    m_dsPort = port;
    return true;
}

bool CP2PDeviceImpl::writeDSAddr()
{
    FILE* file = std::fopen(kDsAddrFile, "w");
    if (!file)
        return false;
    bool ok = std::fprintf(file, "%s %d", dsHost().c_str(), int(m_dsPort)) > 0;
    return std::fclose(file) == 0 && ok;
}

} // namespace Tou
} // namespace Orvan
