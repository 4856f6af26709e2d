// Blocking request exchange with the P2P server.
#include "P2PSDK/UdpClient.h"

#include "Infra3/Time.h"
#include "P2PSDK/Print.h"

#include <cstring>

namespace Orvan {
namespace Tou {

namespace {

// Waits up to waitMs for the answer to cseq from server; other datagrams are strays and are dropped.
int receiveAnswer(Socket& socket, const Address* server, const int* cseq, char* buffer, int waitMs)
{
    uint64_t deadline = Infra::CTime::getTickCountMs() + uint64_t(waitMs);
    for (;;) {
        uint64_t now = Infra::CTime::getTickCountMs();
        if (now >= deadline)
            return -1;
        Address sender;
        int n = socket.recvFrom(buffer, kHttpBufferSize - 1, sender, int(deadline - now));
        if (n <= 0)
            continue;
        buffer[n] = '\0';
        HttpMessage msg;
        if (server && sender != *server) {
            TOU_PRINT(printLevelTrace, "drop datagram from [%s], waiting for [%s]\n", sender.toString().c_str(),
                      server->toString().c_str());
            continue;
        }
        if (cseq && (parseHttpMessage(&msg, buffer, n) < 0 || msg.CSeq != *cseq)) {
            TOU_PRINT(printLevelTrace, "drop answer with CSeq[%d], waiting for [%d]\n", msg.CSeq, *cseq);
            continue;
        }
        return n;
    }
}

SocketPtr socketFor(const SocketPtr& given)
{
    if (given.get())
        return given;
    SocketPtr own(new Socket(true));
    own->setConnected(true);
    return own;
}

} // namespace

int exchangeDatagram(const SocketPtr& given, const char* data, int length, const Address& to,
                     const Address* expectedFrom, const int* cseq, char* buffer, const std::vector<int>& waits)
{
    SocketPtr socket = socketFor(given);
    for (int wait : waits) {
        if (socket->sendTo(data, length, to) < 0)
            return -1;
        int n = receiveAnswer(*socket, expectedFrom, cseq, buffer, wait);
        if (n > 0)
            return n;
    }
    return -1;
}

std::vector<int> exchangeSchedule(int timeoutMs)
{
    std::vector<int> waits;
    if (timeoutMs <= 0)
        return waits;
    int wait = 200, spent = 0;
    do {
        waits.push_back(wait);
        wait += 100;
        spent += wait;
    } while (spent < timeoutMs);
    return waits;
}

bool HttpQuery(SocketPtr socket, HttpRequest& request, const char* host, int port, HttpResponse& response,
               int timeoutMs)
{
    request.CSeq = generateRandomId();
    HttpMessage msg;
    std::string body;
    buildRequestMessage(request, msg, body, 0);
    if (host)
        TOU_PRINT(printLevelTrace, "Send Request[%d] to [%s:%d] %s\n", request.CSeq, host, port, request.url.c_str());
    else
        TOU_PRINT(printLevelTrace, "Send Request[%d] %s\n", request.CSeq, request.url.c_str());
    char out[kHttpBufferSize];
    int length = serializeHttpMessage(&msg, out, sizeof(out));
    if (length < 0)
        return false;
    Address server(host ? host : "", port);
    char in[kHttpBufferSize];
    int n = exchangeDatagram(socket, out, length, server, &server, &request.CSeq, in, exchangeSchedule(timeoutMs));
    if (n <= 0)
        return false;
    HttpMessage answer;
    if (parseHttpMessage(&answer, in, n) < 0)
        return false;
    bool logged = false;
    for (int retryWait = 200; answer.status == 401; retryWait += 100) {
        if (!logged) {
            TOU_PRINT(printLevelTrace, "Response 401 with ServerTime[%s]\n", answer.date);
            logged = true;
        }
        if (retryWait >= timeoutMs)
            break;
        msg.wsse = 1;
        std::memcpy(msg.created, answer.date, sizeof(msg.created));
        signRequest(msg, request.password.c_str());
        length = serializeHttpMessage(&msg, out, sizeof(out));
        if (length < 0)
            return false;
        // Strays land in the scratch buffer, so the 401 in hand stays readable when nothing comes.
        char scratch[kHttpBufferSize];
        n = exchangeDatagram(socket, out, length, server, &server, &request.CSeq, scratch, std::vector<int>{retryWait});
        if (n > 0) {
            std::memcpy(in, scratch, size_t(n) + 1);
            if (parseHttpMessage(&answer, in, n) < 0)
                return false;
        }
    }
    TOU_PRINT(printLevelTrace, "Send Request[%d] Return %d %s\n", request.CSeq, answer.status, answer.reason);
    response.CSeq = answer.CSeq;
    response.status = answer.status;
    response.reason = answer.reason;
    response.fields.clear();
    if (answer.contentLength > 0) {
        std::string bodyText(answer.body, size_t(answer.contentLength));
        parseXmlBody(bodyText.c_str(), response.fields);
    }
    return true;
}

} // namespace Tou
} // namespace Orvan
