// Stand-in for the P2P server: server questions, device registration and heartbeats, forwarding of
// device requests with the client's public address, and a STUN responder on the same port.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace p2psim {

struct ServerOptions
{
    std::string ip = "127.0.0.1";
    int port = 0;         // 0: any free port
    std::string key;      // empty: signatures are not checked
    int clockOffset = 0;  // seconds added to this server's clock (Date headers, signature times)
    int allowedSkew = 300;
    bool alwaysChallenge = false; // every signed request gets 401
    bool strayFirst = false;      // send an answer with a wrong CSeq before each real one
    bool silent = false;          // read and drop everything
    enum StunMode { StunBoth, StunMappedOnly, StunXorOnly } stunMode = StunBoth;
    std::string stunService; // "ip:port" named by "/online/stun"; empty: this server's own port
    int stunPortNum = 1;
};

struct SeenRequest
{
    std::string method;
    std::string url;
    int cseq = 0;
    bool wsse = false;
    std::string created;
    std::string from;
};

class P2PServerSim
{
public:
    explicit P2PServerSim(const ServerOptions& options);
    ~P2PServerSim();
    P2PServerSim(const P2PServerSim&) = delete;
    P2PServerSim& operator=(const P2PServerSim&) = delete;

    // Binds and starts the thread; false with error() when the port cannot be bound.
    bool Start();
    void Stop();
    int Port() const { return port_; }
    // The relay server's port ("/online/relay" names it).
    int RelayPort() const { return relayPort_; }
    const std::string& Error() const { return error_; }

    std::vector<SeenRequest> Requests() const;
    uint64_t Handled() const { return handled_; }
    uint64_t StunAnswered() const { return stunAnswered_; }
    // Current time of this server's clock.
    time_t Now() const;

private:
    struct Device
    {
        std::string addr; // ip:port of its heartbeats
        time_t lastHeartbeat = 0;
        std::string info; // body of the last heartbeat
    };

    struct Agent
    {
        int fd = -1;
        int port = 0;
        std::string token;
        std::string client; // ip:port that sent "/relay/start/<token>"
        std::string device; // first other source
    };

    void Run();
    void OnRelay(const char* data, int length, const void* from, unsigned fromLength);
    void OnAgent(Agent& agent, const char* data, int length, const void* from, unsigned fromLength);
    void ReplyOn(int fd, const void* to, unsigned toLength, int cseq, int status, const char* reason,
                 const std::map<std::string, std::string>& fields);
    void OnDatagram(const uint8_t* data, int length, const void* from, unsigned fromLength);
    bool OnStun(const uint8_t* data, int length, const void* from, unsigned fromLength);
    void OnText(const char* data, int length, const void* from, unsigned fromLength);
    bool SignatureOk(const void* msg) const;
    void Reply(const void* to, unsigned toLength, int cseq, int status, const char* reason,
               const std::map<std::string, std::string>& fields, const std::string& raw = std::string(),
               bool challenge = false);
    void SendText(const std::string& text, const void* to, unsigned toLength);

    ServerOptions options_;
    int fd_ = -1;
    int port_ = 0;
    int relayFd_ = -1;
    int relayPort_ = 0;
    std::vector<Agent> agents_; // touched by the server thread only
    std::string error_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<uint64_t> handled_{0};
    std::atomic<uint64_t> stunAnswered_{0};
    mutable std::mutex mu_;
    std::vector<SeenRequest> seen_;
    std::map<std::string, Device> devices_;
    std::map<int, std::string> pending_; // CSeq of a forwarded request -> client ip:port
};

} // namespace p2psim
