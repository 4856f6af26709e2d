#include "udpfwd/UdpForwarder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

struct Udp {
    int fd = -1;
    uint16_t port = 0;
    explicit Udp(const char* ip = "127.0.0.1")
    {
        fd = socket(AF_INET, SOCK_DGRAM, 0);
        int size = 8 << 20;
        // beyond rmem_max where the test may (it runs as root in CI)
        if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
            setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        inet_pton(AF_INET, ip, &sa.sin_addr);
        bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        socklen_t len = sizeof sa;
        getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
        port = ntohs(sa.sin_port);
    }
    ~Udp() { close(fd); }
    void SendTo(uint16_t toPort, const void* data, size_t n)
    {
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(toPort);
        inet_pton(AF_INET, "127.0.0.1", &sa.sin_addr);
        sendto(fd, data, n, 0, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    }
    // Every datagram that arrives until the line is quiet for quietMs.
    std::vector<uint32_t> ReceiveAll(int quietMs, uint16_t* fromPort = nullptr)
    {
        std::vector<uint32_t> got;
        pollfd p{fd, POLLIN, 0};
        while (poll(&p, 1, quietMs) > 0) {
            uint32_t v = 0;
            sockaddr_in from{};
            socklen_t len = sizeof from;
            if (recvfrom(fd, &v, sizeof v, 0, reinterpret_cast<sockaddr*>(&from), &len) == sizeof v) {
                got.push_back(v);
                if (fromPort)
                    *fromPort = ntohs(from.sin_port);
            }
        }
        return got;
    }
};

// Sends n numbered datagrams from a client through a forwarder to a target; returns what arrived.
std::vector<uint32_t> SendThrough(const udpfwd::Profile& profile, uint32_t n)
{
    Udp target;
    Udp client;
    udpfwd::UdpForwarder fwd;
    EXPECT_TRUE(fwd.Start("127.0.0.1", 0, "127.0.0.1", target.port, profile)) << fwd.Error();
    std::vector<uint32_t> got;
    std::thread reader([&] { got = target.ReceiveAll(500); });
    for (uint32_t i = 0; i < n; ++i) {
        client.SendTo(fwd.Port(), &i, sizeof i);
        if (i % 200 == 199)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    reader.join();
    return got;
}

TEST(UdpForwarder, CarriesBothWaysUntouchedWithAZeroProfile)
{
    Udp target;
    Udp client;
    udpfwd::UdpForwarder fwd;
    ASSERT_TRUE(fwd.Start("127.0.0.1", 0, "127.0.0.1", target.port, {}));
    uint32_t v = 7;
    client.SendTo(fwd.Port(), &v, sizeof v);
    uint16_t from = 0;
    ASSERT_EQ(target.ReceiveAll(300, &from), std::vector<uint32_t>{7});
    uint32_t answer = 9;
    target.SendTo(from, &answer, sizeof answer);
    EXPECT_EQ(client.ReceiveAll(300), std::vector<uint32_t>{9});
}

TEST(UdpForwarder, DropsDuplicatesAndReordersAtTheGivenRatesRepeatably)
{
    udpfwd::Profile p;
    p.loss = 0.10;
    p.duplicate = 0.02;
    p.reorder = 0.05;
    p.reorderMs = 20;
    p.seed = 11;
    const uint32_t n = 4000;
    std::vector<uint32_t> got = SendThrough(p, n);
    std::set<uint32_t> unique(got.begin(), got.end());
    double delivered = double(unique.size()) / n;
    EXPECT_NEAR(delivered, 0.90, 0.03);
    EXPECT_GT(got.size(), unique.size()); // duplicates
    size_t outOfOrder = 0;
    for (size_t i = 1; i < got.size(); ++i)
        outOfOrder += got[i] < got[i - 1];
    EXPECT_GT(outOfOrder, 0u);

    std::vector<uint32_t> again = SendThrough(p, n);
    EXPECT_EQ(std::set<uint32_t>(again.begin(), again.end()), unique);
}

TEST(UdpForwarder, ProfileTextIsCheckedFieldByField)
{
    struct Case {
        const char* text;
        bool ok;
    } cases[] = {
        {"loss=0.1,dup=0.02,reorder=0.05,delay=5,reorderms=10,seed=7", true},
        {"", true},
        {"loss=1.5", false},
        {"loss=-0.1", false},
        {"loss=abc", false},
        {"jitter=3", false},
        {"delay=100000", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        udpfwd::Profile p;
        std::string error;
        EXPECT_EQ(udpfwd::ParseProfile(c.text, &p, &error), c.ok);
        EXPECT_EQ(error.empty(), c.ok);
    }
    udpfwd::Profile p;
    std::string error;
    ASSERT_TRUE(udpfwd::ParseProfile("loss=0.25,seed=9", &p, &error));
    EXPECT_DOUBLE_EQ(p.loss, 0.25);
    EXPECT_EQ(p.seed, 9u);
}

} // namespace
