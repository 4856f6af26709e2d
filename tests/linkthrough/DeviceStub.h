// A scripted device end for the link-through tests: heartbeats to the P2P server stand-in, answers a
// forwarded "p2p-channel" with its candidates and runs an ICE agent against the client's public address.
#pragma once

#include "LinkThrough/P2PMessageParser.h"
#include "P2PSDK/HttpMessage.h"
#include "nattraver/iceagent/IceAgent.h"
#include "nattraver/net/Socket.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace linktest {

using namespace Orvan::Tou;
using namespace Orvan::NATTraver;

class DeviceStub
{
public:
    enum Answer
    {
        answerCandidates, // 100 Trying, then 200 with candidates
        answerRefuse,     // 404
        answerSilent      // nothing
    };

    DeviceStub(const std::string& id, int serverPort, Answer answer, const std::string& version = "5.2.1")
        : id_(id), serverPort_(serverPort), answer_(answer), version_(version)
    {
        socket_.bind(Address("127.0.0.1", 0));
        Address local;
        socket_.getLocalAddress(local);
        port_ = local.getPort();
        iceSocket_.bind(Address("127.0.0.1", 0));
        iceSocket_.getLocalAddress(local);
        icePort_ = local.getPort();
        IICEAgent::generateID(identify_, 8);
        thread_ = std::thread([this] { Run(); });
    }

    ~DeviceStub()
    {
        stop_ = true;
        thread_.join();
        agent_ = Orvan::Component::TComPtr<IICEAgent>();
    }

    int port() const { return port_; }
    // The link socket that the ICE check and the path use, apart from the registration socket.
    int icePort() const { return icePort_; }
    bool registered() const { return heartbeats_ > 0; }
    int channelRequests() const { return requests_; }
    int relayRequests() const { return relayRequests_; }
    int rawDatagrams() const { return rawDatagrams_; }
    bool iceDone() const { return iceCalls_ > 0; }
    bool iceOk() const { return iceOk_; }
    std::string lastRequestFields()
    {
        std::lock_guard<std::mutex> lock(mu_);
        return lastFields_;
    }

private:
    void OnIce(bool success, const ConnInfo*, int)
    {
        iceOk_ = success;
        ++iceCalls_;
    }

    void Run()
    {
        auto lastBeat = std::chrono::steady_clock::now() - std::chrono::seconds(10);
        while (!stop_) {
            if (std::chrono::steady_clock::now() - lastBeat > std::chrono::milliseconds(300)) {
                std::string beat = "GET /heartbeat/device/" + id_ + " HTTP/1.1\r\n\r\n";
                socket_.sendTo(beat.data(), int(beat.size()), Address("127.0.0.1", serverPort_));
                lastBeat = std::chrono::steady_clock::now();
            }
            char buf[8192];
            Address from;
            int n = socket_.recvFrom(buf, sizeof(buf) - 1, from, 10);
            if (n <= 0)
                continue;
            buf[n] = '\0';
            HttpMessage msg;
            if (parseHttpMessage(&msg, buf, n) < 0) {
                ++rawDatagrams_; // relayed link data
                continue;
            }
            if (msg.kind == kHttpResponse) {
                ++heartbeats_;
                continue;
            }
            if (std::strstr(msg.url, "/relay-channel")) {
                OnRelayChannel(msg);
                continue;
            }
            if (!std::strstr(msg.url, "/p2p-channel"))
                continue;
            ++requests_;
            FieldMap fields;
            if (msg.contentLength > 0)
                parseXmlBody(std::string(msg.body, size_t(msg.contentLength)).c_str(), fields);
            {
                std::lock_guard<std::mutex> lock(mu_);
                lastFields_.clear();
                for (const auto& f : fields)
                    lastFields_ += f.first + "=" + f.second + ";";
            }
            if (answer_ == answerSilent)
                continue;
            if (answer_ == answerRefuse) {
                Reply(from, msg.CSeq, 404, "Not Found", {});
                continue;
            }
            Reply(from, msg.CSeq, 100, "Trying", {});
            const std::string self = "127.0.0.1:" + std::to_string(icePort_);
            FieldMap answer = {{"LocalAddr", self}, {"PubAddr", self},
                               {"Identify", CP2PMessageParser::identifyToText(identify_)},
                               {"NatValueT", std::to_string(int(kValueTNoGuess))}};
            if (!version_.empty())
                answer["version"] = version_;
            Reply(from, msg.CSeq, 200, "Server Nat Info!", answer);
            StartIce(fields);
        }
    }

    // A device with a version answers the relay agent directly; the agent passes it on to the client.
    void OnRelayChannel(const HttpMessage& msg)
    {
        ++relayRequests_;
        FieldMap fields;
        if (msg.contentLength > 0)
            parseXmlBody(std::string(msg.body, size_t(msg.contentLength)).c_str(), fields);
        {
            std::lock_guard<std::mutex> lock(mu_);
            lastFields_.clear();
            for (const auto& f : fields)
                lastFields_ += f.first + "=" + f.second + ";";
        }
        RelayAgentInfo agent;
        CP2PMessageParser().parseAgentAddr(fields["agentAddr"], agent);
        if (answer_ == answerCandidates && !agent.host.empty())
            Reply(Address(agent.host.c_str(), agent.port), msg.CSeq, 200, "OK", {});
    }

    void StartIce(const FieldMap& fields)
    {
        // Only the public address the server saw: the complemented local ones lead nowhere.
        CandidateAddr peer;
        std::memset(&peer, 0, sizeof(peer));
        auto pub = fields.find("PubAddr");
        auto identify = fields.find("Identify");
        if (pub == fields.end() || identify == fields.end())
            return;
        CP2PMessageParser().string2Addr(pub->second, peer, 2);
        CP2PMessageParser::textToIdentify(identify->second, peer.peerIdentify);
        std::memcpy(peer.localIdentify, identify_, 8);
        peer.fd = iceSocket_.getFd();
        peer.checkTimeoutMs = 4000;
        peer.localValueT = kValueTNoGuess;
        peer.remoteValueT = kValueTNoGuess;
        agent_ = createIceAgent();
        agent_->setConfig(peer);
        agent_->setConnInfoHandler(ConnInfoHandler(&DeviceStub::OnIce, this), 0);
        if (fields.count("version"))
            agent_->setInvertMode();
        agentStarted_ = true;
        agent_->startConnectCheck();
    }

    void Reply(const Address& to, int cseq, int status, const char* reason, const FieldMap& fields)
    {
        HttpMessage msg;
        std::string body;
        buildResponseMessage(cseq, status, reason, fields, msg, body);
        char out[kHttpBufferSize];
        int n = serializeHttpMessage(&msg, out, sizeof(out));
        if (n > 0)
            socket_.sendTo(out, n, to);
    }

    std::string id_;
    int serverPort_;
    Answer answer_;
    std::string version_;
    Socket socket_{true};
    int port_ = 0;
    Socket iceSocket_{true};
    int icePort_ = 0;
    uint8_t identify_[8];
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> heartbeats_{0};
    std::atomic<int> requests_{0};
    std::atomic<int> relayRequests_{0};
    std::atomic<int> rawDatagrams_{0};
    std::atomic<bool> agentStarted_{false};
    std::atomic<int> iceCalls_{0};
    std::atomic<bool> iceOk_{false};
    std::mutex mu_;
    std::string lastFields_;
    Orvan::Component::TComPtr<IICEAgent> agent_;
};

} // namespace linktest
