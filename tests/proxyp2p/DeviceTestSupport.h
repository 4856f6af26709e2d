// Helpers of the device-side tests: a recording listener, options without the LAN socket, and a
// scripted server end that answers requests by hand.
#pragma once

#include "../p2psdk/NetTestSupport.h"
#include "P2PSDK/HttpMessage.h"
#include "P2PSDK/P2PClient.h"
#include "Proxy/ProxyClientConfig.h"
#include "Proxy/ProxyServerConfig.h"
#include "ProxyP2P/P2PDevice.h"

#include <mutex>
#include <string>
#include <vector>

namespace p2ptest {

using namespace Orvan::Tou;

struct Listener : INotify
{
    void onEvent(int event) override
    {
        std::lock_guard<std::mutex> lock(mu);
        events.push_back(event);
    }
    void onRequest(const P2PRequest& request) override
    {
        std::lock_guard<std::mutex> lock(mu);
        requests.push_back(request);
    }
    std::vector<int> Events()
    {
        std::lock_guard<std::mutex> lock(mu);
        return events;
    }
    std::vector<P2PRequest> Requests()
    {
        std::lock_guard<std::mutex> lock(mu);
        return requests;
    }
    bool Saw(int event)
    {
        for (int e : Events())
            if (e == event)
                return true;
        return false;
    }

    std::mutex mu;
    std::vector<int> events;
    std::vector<P2PRequest> requests;
};

// Tests that run side by side must not all take port 28591.
inline ProxyServerConfigPtr WithoutLocal()
{
    ProxyServerConfigPtr config(new CProxyServerConfig);
    config->setConfig(proxyOptLocal, 0);
    return config;
}

inline P2PServerInfo ServerAt(int port)
{
    P2PServerInfo server;
    server.host = "127.0.0.1";
    server.port = port;
    server.key = "key";
    server.userName = "P2PDevice";
    return server;
}

// One received message of a scripted peer.
struct Seen
{
    std::string text;
    std::string url;
    int cseq = 0;
    int kind = -1;
    int status = 0;
    FieldMap fields;
    sockaddr_in from = {};
};

inline bool ReceiveMessage(nettest::UdpPeer& peer, Seen& out, int waitMs)
{
    out.text = peer.Receive(waitMs, &out.from);
    HttpMessage msg;
    if (out.text.empty() || parseHttpMessage(&msg, out.text.c_str(), int(out.text.size())) < 0)
        return false;
    out.url = msg.url;
    out.cseq = msg.CSeq;
    out.kind = msg.kind;
    out.status = msg.status;
    out.fields.clear();
    if (msg.contentLength > 0)
        parseXmlBody(std::string(msg.body, size_t(msg.contentLength)).c_str(), out.fields);
    return true;
}

// The next message whose url starts with `prefix` (other messages are skipped), within waitMs.
inline bool ReceiveRequest(nettest::UdpPeer& peer, const std::string& prefix, Seen& out, int waitMs)
{
    return nettest::WaitUntil([&] { return ReceiveMessage(peer, out, 20) && out.url.compare(0, prefix.size(), prefix) == 0; },
                              waitMs);
}

inline std::string ResponseText(int cseq, int status, const char* reason, const FieldMap& fields = {})
{
    HttpMessage msg;
    std::string body;
    buildResponseMessage(cseq, status, reason, fields, msg, body);
    char out[kHttpBufferSize];
    int n = serializeHttpMessage(&msg, out, sizeof(out));
    return n > 0 ? std::string(out, size_t(n)) : std::string();
}

} // namespace p2ptest
