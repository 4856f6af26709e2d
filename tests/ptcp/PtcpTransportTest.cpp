#include "PtcpLoopback.h"

#include "PTCP/PhonyTcpThreads.h"

#include <openssl/sha.h>

#include <gtest/gtest.h>

#include <random>

namespace ptcptest {
namespace {

struct Sha256 {
    SHA256_CTX ctx;
    Sha256() { SHA256_Init(&ctx); }
    void Add(const uint8_t* d, size_t n) { SHA256_Update(&ctx, d, n); }
    std::string Hex()
    {
        unsigned char out[32];
        SHA256_Final(out, &ctx);
        char hex[65];
        for (int i = 0; i < 32; ++i)
            std::snprintf(hex + 2 * i, 3, "%02x", out[i]);
        return hex;
    }
};

// Sends total bytes of a seeded pattern from client to server; returns both digests.
void Transfer(Pair& pair, size_t total, std::string* sent, std::string* received)
{
    Sha256 rx;
    std::mutex rxMu;
    pair.server.sink = [&](const uint8_t* d, size_t n) {
        std::lock_guard<std::mutex> lock(rxMu);
        rx.Add(d, n);
    };
    Sha256 tx;
    std::mt19937 g(99);
    std::vector<uint8_t> chunk(1200);
    for (size_t off = 0; off < total;) {
        size_t n = std::min(chunk.size(), total - off);
        for (size_t i = 0; i < n; ++i)
            chunk[i] = uint8_t(g());
        CPacket p(n);
        std::memcpy(p.getBuffer(), chunk.data(), n);
        ASSERT_TRUE(pair.client.SendBlocking(p)) << "stuck at " << off;
        tx.Add(chunk.data(), n);
        off += n;
    }
    ASSERT_TRUE(pair.server.WaitFor([&] { return pair.server.bytes.load() >= total; }, 120000));
    *sent = tx.Hex();
    std::lock_guard<std::mutex> lock(rxMu);
    *received = rx.Hex();
}

TEST(PtcpTransport, CarriesAStreamByteExactOverLoopback)
{
    Pair pair;
    ASSERT_TRUE(pair.Open());
    std::string sent, received;
    Transfer(pair, 16 << 20, &sent, &received);
    EXPECT_EQ(sent, received);
    EXPECT_EQ(pair.client.exceptions.load(), 0);
}

TEST(PtcpTransport, CarriesAStreamByteExactThroughALossyLink)
{
    udpfwd::Profile p;
    p.loss = 0.10;
    p.reorder = 0.05;
    p.duplicate = 0.02;
    p.delayMs = 1;
    p.reorderMs = 5;
    p.seed = 2024;
    Pair pair;
    ASSERT_TRUE(pair.Open(&p));
    std::string sent, received;
    Transfer(pair, 64 << 20, &sent, &received);
    EXPECT_EQ(sent, received);
    udpfwd::Counters c = pair.fwd.Totals();
    EXPECT_GT(c.dropped, 0u);
    EXPECT_GT(c.duplicated, 0u);
    EXPECT_GT(c.reordered, 0u);
}

TEST(PtcpTransport, SetupRefusalsAndOptions)
{
    CPtcp* t = new CPtcp(nullptr, 0);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    EXPECT_EQ(t->bind(fds[0]), -1);          // not a socket
    EXPECT_EQ(t->listen("127.0.0.1", 9), -1); // before bind
    EXPECT_EQ(t->connect("127.0.0.1", 9), -1);
    int one = 1, v = 0;
    EXPECT_EQ(t->setsockopt(8, &one, sizeof one), 0);
    EXPECT_EQ(t->setsockopt(6, &one, sizeof one), -1);
    EXPECT_EQ(t->setsockopt(7, &one, sizeof one), -1);
    EXPECT_EQ(t->getsockopt(1, &v, sizeof v), -1);
    EXPECT_EQ(t->setsockopt(99, &one, sizeof one), -1);
    t->close();
    close(fds[0]);
    close(fds[1]);
}

TEST(PtcpTransport, EveryConnectionGetsAClockBeyondThirtyTwo)
{
    std::vector<std::unique_ptr<Peer>> peers;
    int before = Orvan::Tou::CPhonyTcpTimer::instance()->count();
    uint16_t far = 0;
    int farFd = BoundUdp(&far);
    for (int i = 0; i < 40; ++i) {
        peers.emplace_back(new Peer);
        ASSERT_EQ(peers.back()->ptcp->connect("127.0.0.1", far), 0);
    }
    EXPECT_EQ(Orvan::Tou::CPhonyTcpTimer::instance()->count(), before + 40);
    // the 40th connection resends its connect segment: it has a clock
    char buf[64];
    int got = 0;
    auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < stop && got < 80) {
        if (recv(farFd, buf, sizeof buf, MSG_DONTWAIT) > 0)
            ++got;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(got, 80); // each sent its connect at least twice
    peers.clear();
    close(farFd);
}

TEST(PtcpTransport, APeerResetRaisesAnException)
{
    Pair pair;
    ASSERT_TRUE(pair.Open());
    uint8_t rst[24] = {'P', 'T', 'C', 'P'};
    rst[13] = 0x04;
    // from the client's own socket, so the server's connected socket takes it
    send(pair.client.fd, rst, sizeof rst, 0);
    EXPECT_TRUE(pair.server.WaitFor([&] { return pair.server.exceptions.load() > 0; }, 5000));
}

} // namespace
} // namespace ptcptest
