// Two PTCP handles over real UDP sockets on loopback, optionally through the lossy forwarder.
#pragma once

#include "PTCP/PhonyTcpTransport.h"
#include "udpfwd/UdpForwarder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ptcptest {

using Orvan::Memory::CPacket;
using Orvan::Tou::CPtcp;

inline int BoundUdp(uint16_t* port)
{
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    int size = 4 << 20;
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.1", &sa.sin_addr);
    bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    socklen_t len = sizeof sa;
    getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
    *port = ntohs(sa.sin_port);
    return fd;
}

// Records a handle's events; the receiving side drains on every readable event.
struct Peer : Orvan::Tou::IPtcpNotify {
    CPtcp* ptcp = nullptr;
    int fd = -1;
    uint16_t port = 0;
    std::atomic<int> connected{0};
    std::atomic<int> exceptions{0};
    std::atomic<uint64_t> bytes{0};
    std::mutex mu;
    std::condition_variable cv;
    std::function<void(const uint8_t*, size_t)> sink;

    Peer()
    {
        fd = BoundUdp(&port);
        ptcp = new CPtcp(this, 0);
        int v = 1;
        ptcp->setsockopt(8, &v, sizeof v);
        v = 10; // acknowledgement delay as the channels set it
        ptcp->setsockopt(5, &v, sizeof v);
        ptcp->bind(fd);
    }
    ~Peer()
    {
        ptcp->close();
        close(fd);
    }
    void onConnect(int) override
    {
        connected = 1;
        cv.notify_all();
    }
    void onException(int) override
    {
        ++exceptions;
        cv.notify_all();
    }
    void onClose() override {}
    void onRead() override
    {
        CPacket p;
        while (ptcp->recv(p, true) > 0) {
            if (sink)
                sink(p.getBuffer(), p.getSize());
            bytes += p.getSize();
            ptcp->pop();
        }
        cv.notify_all();
    }
    void onWrite() override { cv.notify_all(); }

    // Sends one packet, waiting while the send buffer is full; false after limitMs.
    bool SendBlocking(const CPacket& p, int limitMs = 30000)
    {
        auto stop = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (ptcp->send(p) < 0) {
            if (ptcp->getLastError() != Orvan::Tou::PTCP_EWOULDBLOCK || exceptions)
                return false;
            std::unique_lock<std::mutex> lock(mu);
            cv.wait_for(lock, std::chrono::milliseconds(5));
            if (std::chrono::steady_clock::now() > stop)
                return false;
        }
        return true;
    }
    template <class Pred> bool WaitFor(Pred pred, int limitMs)
    {
        std::unique_lock<std::mutex> lock(mu);
        return cv.wait_for(lock, std::chrono::milliseconds(limitMs), pred);
    }
};

// Client connects to server, through a forwarder when a profile is given.
struct Pair {
    Peer client;
    Peer server;
    udpfwd::UdpForwarder fwd;

    bool Open(const udpfwd::Profile* profile = nullptr)
    {
        uint16_t serverSeesPort = client.port;
        uint16_t clientSendsTo = server.port;
        if (profile) {
            if (!fwd.Start("127.0.0.1", 0, "127.0.0.1", server.port, *profile))
                return false;
            clientSendsTo = fwd.Port();
            // the forwarder's own socket towards the server is the server's peer: learn it from a
            // first datagram before the server connects its socket
            serverSeesPort = 0;
        }
        if (serverSeesPort != 0 && server.ptcp->listen("127.0.0.1", serverSeesPort) != 0)
            return false;
        if (client.ptcp->connect("127.0.0.1", clientSendsTo) != 0)
            return false;
        if (serverSeesPort == 0) {
            sockaddr_in from{};
            socklen_t len = sizeof from;
            char b[64];
            // the client's connect segment arrives through the forwarder; peek to learn its port
            for (int i = 0; i < 500 && recvfrom(server.fd, b, sizeof b, MSG_PEEK | MSG_DONTWAIT,
                                                 reinterpret_cast<sockaddr*>(&from), &len) < 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (server.ptcp->listen("127.0.0.1", ntohs(from.sin_port)) != 0)
                return false;
        }
        return client.WaitFor([&] { return client.connected.load() == 1; }, 15000) &&
               server.WaitFor([&] { return server.connected.load() == 1; }, 15000);
    }
};

} // namespace ptcptest
