#include "LinkThrough/P2PSDKChannelClient.h"

#include "P2PSDK/Print.h"

#include <ctime>

namespace Orvan {
namespace Tou {

namespace {

enum
{
    kMaxQueued = 256 // answers nobody takes are dropped beyond this
};

} // namespace

CP2PSDKChannelClient::CP2PSDKChannelClient(const SocketPtr& socket) : m_socket(socket), m_serverTimeDiff(0) {}

CP2PSDKChannelClient::~CP2PSDKChannelClient()
{
    Infra::CMutexGuard guard(m_queueLock);
    m_responses.clear();
}

bool CP2PSDKChannelClient::sendRequest(const P2PServerInfo& server, P2PRequest& request, bool auth)
{
    if (!m_socket.get())
        return false;
    // The id is pasted into the request path: anything that could break the start line is refused.
    if (!request.deviceId.empty() && !isSafePathToken(request.deviceId)) {
        TOU_PRINT(printLevelError, "invalid device id [%s]\n", request.deviceId.c_str());
        return false;
    }
    char out[kHttpBufferSize];
    int length = serializeP2PRequest(request, server, auth, m_serverTimeDiff, out, sizeof(out));
    if (length <= 0)
        return false;
    return m_socket->sendTo(out, length, Address(server.host.c_str(), server.port)) >= 0;
}

bool CP2PSDKChannelClient::receive(P2PResponse& response, bool withBody, Address& sender, std::string& date)
{
    if (!m_socket.get())
        return false;
    // One byte more than an answer may have: a datagram that fills it was cut by the kernel and is dropped.
    char in[kHttpBufferSize + 1];
    int n = m_socket->recvFrom(in, sizeof(in), sender, 0);
    if (n <= 0 || n >= kHttpBufferSize)
        return false;
    in[n] = '\0';
    HttpMessage msg;
    if (parseHttpMessage(&msg, in, n) < 0 || msg.kind != kHttpResponse)
        return false;
    response.cseq = msg.CSeq;
    response.statusCode = msg.status;
    response.text = msg.reason;
    if (withBody && msg.contentLength > 0 && msg.body) {
        std::string body(msg.body, size_t(msg.contentLength));
        parseXmlBody(body.c_str(), response.fields);
    }
    date = msg.date;
    return true;
}

void CP2PSDKChannelClient::recvResponse()
{
    P2PResponse response;
    Address sender;
    std::string date;
    if (!receive(response, true, sender, date))
        return;
    {
        Infra::CMutexGuard guard(m_queueLock);
        if (m_responses.size() >= kMaxQueued)
            m_responses.pop_front();
        m_responses.push_back(response);
    }
    if (response.statusCode == 401 && !date.empty()) {
        time_t server = parseIsoTime(date.c_str());
        if (server > 0)
            m_serverTimeDiff = int(time(nullptr) - server);
    }
}

bool CP2PSDKChannelClient::recvResponseFrom(Address& sender)
{
    P2PResponse response;
    std::string date;
    if (!receive(response, false, sender, date))
        return false;
    Infra::CMutexGuard guard(m_queueLock);
    if (m_responses.size() >= kMaxQueued)
        m_responses.pop_front();
    m_responses.push_back(response);
    return true;
}

bool CP2PSDKChannelClient::popResponse(P2PResponse& response)
{
    Infra::CMutexGuard guard(m_queueLock);
    if (m_responses.empty())
        return false;
    response = m_responses.front();
    m_responses.pop_front();
    return true;
}

} // namespace Tou
} // namespace Orvan
