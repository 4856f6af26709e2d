#include "udpfwd/UdpForwarder.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <queue>
#include <random>
#include <sstream>
#include <vector>

namespace udpfwd {

namespace {

using Clock = std::chrono::steady_clock;

struct Pending {
    Clock::time_point due;
    uint64_t order;
    bool toTarget;
    sockaddr_in to;
    std::string bytes;
    bool operator>(const Pending& o) const { return due != o.due ? due > o.due : order > o.order; }
};

bool MakeAddr(const std::string& ip, uint16_t port, sockaddr_in* sa)
{
    std::memset(sa, 0, sizeof *sa);
    sa->sin_family = AF_INET;
    sa->sin_port = htons(port);
    return inet_pton(AF_INET, ip.c_str(), &sa->sin_addr) == 1;
}

} // namespace

UdpForwarder::~UdpForwarder() { Stop(); }

bool UdpForwarder::Start(const std::string& listenIp, uint16_t listenPort, const std::string& targetIp,
                         uint16_t targetPort, const Profile& profile)
{
    profile_ = profile;
    sockaddr_in listenAddr{}, target{};
    if (!MakeAddr(listenIp, listenPort, &listenAddr) || !MakeAddr(targetIp, targetPort, &target)) {
        error_ = "not an IPv4 address: " + listenIp + " or " + targetIp;
        return false;
    }
    front_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    back_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int bufSize = 4 << 20;
    for (int fd : {front_, back_}) {
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufSize, sizeof bufSize);
        setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bufSize, sizeof bufSize);
    }
    if (front_ < 0 || back_ < 0 || bind(front_, reinterpret_cast<sockaddr*>(&listenAddr), sizeof listenAddr) != 0 ||
        connect(back_, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0 || pipe2(wake_, O_CLOEXEC) != 0) {
        error_ = std::string("cannot set up the forwarder sockets: ") + std::strerror(errno);
        Stop();
        return false;
    }
    sockaddr_in bound{};
    socklen_t len = sizeof bound;
    getsockname(front_, reinterpret_cast<sockaddr*>(&bound), &len);
    port_ = ntohs(bound.sin_port);
    thread_ = std::thread([this] { Run(); });
    return true;
}

void UdpForwarder::Stop()
{
    if (thread_.joinable()) {
        char c = 'q';
        if (write(wake_[1], &c, 1) < 0) {
        }
        thread_.join();
    }
    for (int* fd : {&front_, &back_, &wake_[0], &wake_[1]}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

Counters UdpForwarder::Totals()
{
    std::lock_guard<std::mutex> lock(mu_);
    return totals_;
}

void UdpForwarder::Run()
{
    std::mt19937 rng[2] = {std::mt19937(profile_.seed), std::mt19937(profile_.seed * 2654435761u + 1)};
    std::uniform_real_distribution<double> u(0, 1);
    std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> pending;
    uint64_t order = 0;
    sockaddr_in client{};
    bool haveClient = false;
    std::vector<char> buf(65536);
    const size_t kMaxPending = 100000; // bounds memory when a peer floods

    for (;;) {
        int timeout = -1;
        if (!pending.empty()) {
            auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(pending.top().due - Clock::now());
            timeout = wait.count() < 0 ? 0 : int(wait.count()) + 1;
        }
        pollfd fds[3] = {{front_, POLLIN, 0}, {back_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        poll(fds, 3, timeout);
        if (fds[2].revents)
            return;
        for (int dir = 0; dir < 2; ++dir) {
            if (!(fds[dir].revents & POLLIN))
                continue;
            for (;;) {
                sockaddr_in from{};
                socklen_t fromLen = sizeof from;
                ssize_t n = recvfrom(fds[dir].fd, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from),
                                     &fromLen);
                if (n < 0)
                    break;
                if (dir == 0) {
                    client = from;
                    haveClient = true;
                } else if (!haveClient) {
                    continue;
                }
                std::lock_guard<std::mutex> lock(mu_);
                ++totals_.received;
                std::mt19937& g = rng[dir];
                double dropRoll = u(g), dupRoll = u(g), reorderRoll = u(g);
                if (dropRoll < profile_.loss || pending.size() >= kMaxPending) {
                    ++totals_.dropped;
                    continue;
                }
                int copies = dupRoll < profile_.duplicate ? 2 : 1;
                totals_.duplicated += uint64_t(copies - 1);
                auto due = Clock::now() + std::chrono::milliseconds(profile_.delayMs);
                if (reorderRoll < profile_.reorder) {
                    due += std::chrono::milliseconds(profile_.reorderMs);
                    ++totals_.reordered;
                }
                for (int c = 0; c < copies; ++c)
                    pending.push({due, order++, dir == 0, client, std::string(buf.data(), size_t(n))});
            }
        }
        auto now = Clock::now();
        while (!pending.empty() && pending.top().due <= now) {
            const Pending& p = pending.top();
            if (p.toTarget)
                send(back_, p.bytes.data(), p.bytes.size(), 0);
            else
                sendto(front_, p.bytes.data(), p.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&p.to),
                       sizeof p.to);
            {
                std::lock_guard<std::mutex> lock(mu_);
                ++totals_.sent;
            }
            pending.pop();
        }
    }
}

bool ParseProfile(const std::string& text, Profile* out, std::string* error)
{
    std::stringstream ss(text);
    std::string field;
    while (std::getline(ss, field, ',')) {
        if (field.empty())
            continue;
        size_t eq = field.find('=');
        std::string key = field.substr(0, eq);
        std::string value = eq == std::string::npos ? "" : field.substr(eq + 1);
        char* end = nullptr;
        double v = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0' || v < 0) {
            *error = "bad value in \"" + field + "\"";
            return false;
        }
        bool rate = key == "loss" || key == "dup" || key == "reorder";
        if (rate && v > 1) {
            *error = "a rate is between 0 and 1: \"" + field + "\"";
            return false;
        }
        if (key == "loss")
            out->loss = v;
        else if (key == "dup")
            out->duplicate = v;
        else if (key == "reorder")
            out->reorder = v;
        else if (key == "delay" && v <= 60000)
            out->delayMs = uint32_t(v);
        else if (key == "reorderms" && v <= 60000)
            out->reorderMs = uint32_t(v);
        else if (key == "seed" && v <= 4294967295.0)
            out->seed = uint32_t(v);
        else {
            *error = "unknown or out-of-range field \"" + field + "\"";
            return false;
        }
    }
    return true;
}

} // namespace udpfwd
