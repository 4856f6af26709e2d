// Small helpers of the signalling tests: waits on conditions and a scripted UDP peer.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace nettest {

inline bool WaitUntil(const std::function<bool()>& pred, int limitMs = 10000)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (std::chrono::steady_clock::now() < end) {
        if (pred())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return pred();
}

// A UDP socket on 127.0.0.1 with a port of the system's choice.
class UdpPeer
{
public:
    UdpPeer()
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
        socklen_t len = sizeof(a);
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~UdpPeer() { ::close(fd_); }
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    int port() const { return port_; }
    int fd() const { return fd_; }

    // One datagram within waitMs, or an empty string; from receives the sender.
    std::string Receive(int waitMs, sockaddr_in* from = nullptr)
    {
        pollfd p = {fd_, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0)
            return std::string();
        char buf[9000];
        sockaddr_in src = {};
        socklen_t len = sizeof(src);
        long n = ::recvfrom(fd_, buf, sizeof(buf), 0, reinterpret_cast<sockaddr*>(&src), &len);
        if (from)
            *from = src;
        return n > 0 ? std::string(buf, size_t(n)) : std::string();
    }

    void SendTo(const std::string& data, const sockaddr_in& to)
    {
        ::sendto(fd_, data.data(), data.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
    }

    void SendTo(const std::string& data, int port)
    {
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(uint16_t(port));
        SendTo(data, to);
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

} // namespace nettest
