// Stand-in for the port-probing service: a run of consecutive UDP ports that answer "/p2p/stun/probe"
// with the public address each probe came from, as a NAT would have mapped it.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace p2psim {

struct ProbeOptions
{
    std::string ip = "127.0.0.1";
    int count = 3;
    // Reported public port = source port + step * (index of the probed port): 0 acts as a cone NAT,
    // a step of n as a symmetric NAT that hands out every n-th port.
    int step = 0;
    int silentFrom = -1; // ports from this index on never answer (-1: all answer)
};

class ProbeServiceSim
{
public:
    explicit ProbeServiceSim(const ProbeOptions& options);
    ~ProbeServiceSim();
    ProbeServiceSim(const ProbeServiceSim&) = delete;
    ProbeServiceSim& operator=(const ProbeServiceSim&) = delete;

    // Binds count consecutive ports; false with Error() when no run of them is free.
    bool Start();
    void Stop();
    int BasePort() const { return base_; }
    // "ip:base", as the P2P server names the service.
    std::string Address() const;
    int Answered() const { return answered_; }
    const std::string& Error() const { return error_; }

private:
    void Run();

    ProbeOptions options_;
    std::vector<int> fds_;
    int base_ = 0;
    std::string error_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
};

} // namespace p2psim
