#include "p2pserver/ProbeServiceSim.h"

#include "P2PSDK/HttpMessage.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <random>

using namespace Orvan::Tou;

namespace p2psim {

ProbeServiceSim::ProbeServiceSim(const ProbeOptions& options) : options_(options) {}

ProbeServiceSim::~ProbeServiceSim()
{
    Stop();
}

std::string ProbeServiceSim::Address() const
{
    return options_.ip + ":" + std::to_string(base_);
}

bool ProbeServiceSim::Start()
{
    if (options_.count <= 0 || options_.count > 64) {
        error_ = "probe port count out of range";
        return false;
    }
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 200; ++attempt) {
        int base = 20000 + int(random() % 40000);
        std::vector<int> fds;
        for (int i = 0; i < options_.count; ++i) {
            int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in a = {};
            a.sin_family = AF_INET;
            a.sin_port = htons(uint16_t(base + i));
            inet_pton(AF_INET, options_.ip.c_str(), &a.sin_addr);
            if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) {
                if (fd >= 0)
                    ::close(fd);
                break;
            }
            fds.push_back(fd);
        }
        if (int(fds.size()) == options_.count) {
            fds_ = fds;
            base_ = base;
            thread_ = std::thread(&ProbeServiceSim::Run, this);
            return true;
        }
        for (int fd : fds)
            ::close(fd);
    }
    error_ = "no free run of probe ports";
    return false;
}

void ProbeServiceSim::Stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    for (int fd : fds_)
        ::close(fd);
    fds_.clear();
}

void ProbeServiceSim::Run()
{
    std::vector<pollfd> polls;
    for (int fd : fds_)
        polls.push_back({fd, POLLIN, 0});
    char buf[kHttpBufferSize];
    while (!stop_) {
        if (::poll(polls.data(), polls.size(), 20) <= 0)
            continue;
        for (size_t i = 0; i < polls.size(); ++i) {
            if (!(polls[i].revents & POLLIN))
                continue;
            sockaddr_in from = {};
            socklen_t len = sizeof(from);
            long n = ::recvfrom(polls[i].fd, buf, sizeof(buf) - 1, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n <= 0 || (options_.silentFrom >= 0 && int(i) >= options_.silentFrom))
                continue;
            buf[n] = 0;
            HttpMessage msg;
            if (parseHttpMessage(&msg, buf, int(n)) < 0 || std::strcmp(msg.url, "/p2p/stun/probe") != 0)
                continue;
            FieldMap fields;
            if (msg.contentLength > 0)
                parseXmlBody(std::string(msg.body, size_t(msg.contentLength)).c_str(), fields);
            char ip[INET_ADDRSTRLEN] = "";
            inet_ntop(AF_INET, &from.sin_addr, ip, sizeof(ip));
            int port = ntohs(from.sin_port) + options_.step * int(i);
            HttpMessage answer;
            std::string body;
            buildResponseMessage(msg.CSeq, 200, "OK",
                                 {{"ip", ip}, {"port", std::to_string(port)}, {"seq", fields["seq"]}}, answer, body);
            char out[kHttpBufferSize];
            int m = serializeHttpMessage(&answer, out, sizeof(out));
            if (m > 0 && ::sendto(polls[i].fd, out, size_t(m), 0, reinterpret_cast<sockaddr*>(&from), len) > 0)
                ++answered_;
        }
    }
}

} // namespace p2psim
