// Sits between a client and a target on loopback: what the client sends to the forwarder's
// address goes to the target, the target's answers go back to the client that spoke last. Each
// datagram may be dropped, duplicated, held back (reordered) or delayed, each direction with its
// own seeded generator, so the n-th datagram of a direction meets the same fate in every run.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace udpfwd {

struct Profile {
    double loss = 0;        // 0..1
    double duplicate = 0;   // 0..1
    double reorder = 0;     // 0..1: held back by reorderMs
    uint32_t delayMs = 0;   // every datagram
    uint32_t reorderMs = 10;
    uint32_t seed = 1;
};

struct Counters {
    uint64_t received = 0;
    uint64_t dropped = 0;
    uint64_t duplicated = 0;
    uint64_t reordered = 0;
    uint64_t sent = 0;
};

class UdpForwarder {
public:
    UdpForwarder() = default;
    ~UdpForwarder();
    UdpForwarder(const UdpForwarder&) = delete;
    UdpForwarder& operator=(const UdpForwarder&) = delete;

    // Listens on listenIp:listenPort (0: any free port) and forwards to targetIp:targetPort.
    // Returns false with Error() set when a socket cannot be made.
    bool Start(const std::string& listenIp, uint16_t listenPort, const std::string& targetIp, uint16_t targetPort,
               const Profile& profile);
    void Stop();
    uint16_t Port() const { return port_; }
    const std::string& Error() const { return error_; }
    Counters Totals();

private:
    void Run();

    int front_ = -1;
    int back_ = -1;
    int wake_[2] = {-1, -1};
    uint16_t port_ = 0;
    std::string error_;
    Profile profile_;
    std::thread thread_;
    std::mutex mu_;
    Counters totals_;
};

// Parses "loss=0.1,dup=0.02,reorder=0.05,delay=5,reorderms=10,seed=7"; false on a bad field.
bool ParseProfile(const std::string& text, Profile* out, std::string* error);

} // namespace udpfwd
