// Loopback TCP connections, a recording stand-in for a channel, and a condition wait.
#pragma once

#include "Memory/Packet.h"
#include "Proxy/ProxySession.h"
#include "Proxy/TouMessage.h"
#include "../support/SocketEcho.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace proxytest {

using Orvan::Memory::CPacket;

inline bool WaitUntil(const std::function<bool()>& pred, int limitMs)
{
    auto stop = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > stop)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A UDP socket bound to 127.0.0.1 with a port of the kernel's choice.
inline int BoundUdp(uint16_t* port)
{
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    socklen_t len = sizeof sa;
    getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
    *port = ntohs(sa.sin_port);
    return fd;
}

// A listening socket on 127.0.0.1 with a port of the kernel's choice.
struct Listener {
    int fd = -1;
    uint16_t port = 0;
    Listener()
    {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        listen(fd, 8);
        socklen_t len = sizeof sa;
        getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
        port = ntohs(sa.sin_port);
    }
    ~Listener() { close(fd); }
    int Accept() { return accept(fd, nullptr, nullptr); }
};

// A TCP echo service on loopback: one thread per connection.
class EchoService
{
public:
    EchoService()
    {
        m_accept = std::thread([this] { Run(); });
    }
    ~EchoService()
    {
        m_stop = true;
        m_accept.join();
        for (auto& t : m_conns)
            t.join();
    }
    uint16_t Port() const { return m_listener.port; }
    int Accepted() const { return m_accepted; }
    int Closed() const { return m_closed; }

private:
    void Run()
    {
        while (!m_stop) {
            pollfd p{m_listener.fd, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            int fd = m_listener.Accept();
            if (fd < 0)
                continue;
            ++m_accepted;
            m_conns.emplace_back([this, fd] { Echo(fd); });
        }
    }
    void Echo(int fd)
    {
        char buf[65536];
        while (!m_stop) {
            const ssize_t n = vxtest::ReadReady(fd, buf, sizeof buf);
            if (n == 0)
                continue;
            if (n < 0)
                break;
            for (ssize_t off = 0; off < n;) {
                ssize_t w = send(fd, buf + off, size_t(n - off), MSG_NOSIGNAL);
                if (w <= 0)
                    break;
                off += w;
            }
        }
        ++m_closed;
        close(fd);
    }

    Listener m_listener;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_accepted{0};
    std::atomic<int> m_closed{0};
    std::thread m_accept;
    std::vector<std::thread> m_conns;
};

inline int ConnectTo(uint16_t port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = htons(port);
    if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Both ends of one loopback TCP connection: "near" is handed to a session, "far" is the test's.
struct TcpPair {
    Listener listener;
    int nearFd = -1;
    int farFd = -1;
    TcpPair()
    {
        farFd = ConnectTo(listener.port);
        nearFd = listener.Accept();
    }
    ~TcpPair()
    {
        if (farFd >= 0)
            close(farFd);
    }
    // Waits until the near end has at least n bytes waiting.
    bool WaitReadable(int n)
    {
        return WaitUntil(
            [&] {
                int avail = 0;
                ioctl(nearFd, FIONREAD, &avail);
                return avail >= n;
            },
            5000);
    }
    std::string ReadFar(size_t n, int limitMs = 5000)
    {
        std::string out;
        auto stop = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        char buf[65536];
        while (out.size() < n && std::chrono::steady_clock::now() < stop) {
            ssize_t got = recv(farFd, buf, std::min(sizeof buf, n - out.size()), MSG_DONTWAIT);
            if (got > 0)
                out.append(buf, size_t(got));
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return out;
    }
};

// What a channel would see of a session: room to report, messages taken, control sent.
struct FakeChannel {
    int room = 0;
    std::mutex mu;
    std::vector<CPacket> taken;
    std::vector<CPacket> sent;

    int queryBuf() { return room; }
    int sendData(const CPacket& p)
    {
        std::lock_guard<std::mutex> lock(mu);
        sent.push_back(p);
        return int(p.getSize());
    }
    int writev(const CPacket* p, int count, int* out)
    {
        std::lock_guard<std::mutex> lock(mu);
        int bytes = 0;
        for (int i = 0; i < count; ++i) {
            taken.push_back(p[i]);
            bytes += int(p[i].getSize());
        }
        room -= bytes; // as a real channel's free space shrinks
        *out = count;
        return bytes;
    }
    std::vector<int> Payloads()
    {
        std::lock_guard<std::mutex> lock(mu);
        std::vector<int> sizes;
        for (const CPacket& p : taken)
            sizes.push_back(int(p.getSize()) - 12);
        return sizes;
    }
    std::vector<std::string> AckTexts()
    {
        std::lock_guard<std::mutex> lock(mu);
        std::vector<std::string> texts;
        for (const CPacket& p : sent)
            if (p.getSize() == 16 && (p.getBuffer()[0] & 0x0F) == Orvan::Tou::touTypeAck)
                texts.emplace_back(reinterpret_cast<const char*>(p.getBuffer()) + 12, 4);
        return texts;
    }
    Orvan::Tou::CProxySession* Make(uint32_t id, int mtu)
    {
        using namespace Orvan::Tou;
        return new CProxySession(id, SessionSendProc(&FakeChannel::sendData, this),
                                 SessionQueryProc(&FakeChannel::queryBuf, this),
                                 SessionWritevProc(&FakeChannel::writev, this), "127.0.0.1", 37777, mtu);
    }
};

inline CPacket DataMessage(uint32_t sessionId, const std::string& payload)
{
    CPacket p(12 + payload.size());
    Orvan::Tou::TouMessage::writeHeader(p.getBuffer(), Orvan::Tou::touTypeData, uint16_t(payload.size()), sessionId);
    std::memcpy(p.getBuffer() + 12, payload.data(), payload.size());
    return p;
}

inline CPacket AckMessage(uint32_t sessionId, const char* body)
{
    CPacket p(16);
    Orvan::Tou::TouMessage::writeHeader(p.getBuffer(), Orvan::Tou::touTypeAck, 0, sessionId);
    std::memcpy(p.getBuffer() + 12, body, 4);
    return p;
}

} // namespace proxytest
