// Throughput of one TCP stream carried through a client and a device proxy channel over a PTCP
// pair on loopback, beside the same stream over kernel TCP alone. The argument is the PTCP send
// and receive buffer size: sessions are read every 10 ms, at most a send buffer's worth at a time.
//   build/bin/proxy_bench            (inside a network namespace with loopback up)
#include "Proxy/ProxyChannelClient.h"
#include "Proxy/ProxyChannelServer.h"
#include "ProxyTestSupport.h"

#include <benchmark/benchmark.h>

#include <poll.h>

#include <atomic>
#include <memory>

namespace {

using namespace proxytest;
using namespace Orvan::Tou;
using Orvan::Memory::TSharedPtr;
using Orvan::NATTraver::ConnInfo;
using Orvan::NATTraver::Socket;

const size_t kBytes = 32 << 20;

// Accepts one connection and counts what arrives.
struct Sink {
    Listener listener;
    std::atomic<uint64_t> bytes{0};
    std::atomic<bool> stop{false};
    std::thread thread;
    Sink()
    {
        thread = std::thread([this] {
            int fd = -1;
            while (!stop && fd < 0) {
                pollfd p{listener.fd, POLLIN, 0};
                if (poll(&p, 1, 20) > 0)
                    fd = listener.Accept();
            }
            std::vector<char> buf(1 << 16);
            while (!stop && fd >= 0) {
                pollfd p{fd, POLLIN, 0};
                if (poll(&p, 1, 20) <= 0)
                    continue;
                ssize_t n = recv(fd, buf.data(), buf.size(), 0);
                if (n <= 0)
                    break;
                bytes += uint64_t(n);
            }
            if (fd >= 0)
                close(fd);
        });
    }
    ~Sink()
    {
        stop = true;
        thread.join();
    }
};

bool SendAll(int fd, size_t total)
{
    std::vector<char> chunk(1 << 16, 'b');
    for (size_t off = 0; off < total;) {
        ssize_t n = send(fd, chunk.data(), std::min(chunk.size(), total - off), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        off += size_t(n);
    }
    return true;
}

// A bound UDP socket whose receive buffer holds a whole window burst.
int WideUdp(uint16_t* port)
{
    int fd = BoundUdp(port);
    int size = 4 << 20;
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    return fd;
}

ConnInfo Info(uint16_t localPort, uint16_t remotePort)
{
    ConnInfo c{};
    std::strcpy(c.localIp, "127.0.0.1");
    std::strcpy(c.remoteIp, "127.0.0.1");
    c.localPort = localPort;
    c.remotePort = remotePort;
    return c;
}

void ThroughProxy(benchmark::State& state)
{
    for (auto _ : state) {
        Sink sink;
        uint16_t cport = 0, sport = 0;
        TSharedPtr<Socket> csock(new Socket(WideUdp(&cport), true));
        TSharedPtr<Socket> ssock(new Socket(WideUdp(&sport), true));
        ProxyLink clink, slink;
        clink.id = slink.id = "bench";
        clink.socket = csock;
        clink.info = Info(cport, sport);
        slink.socket = ssock;
        slink.info = Info(sport, cport);
        TSharedPtr<CProxyServerConfig> serverConfig(new CProxyServerConfig);
        TSharedPtr<CProxyClientConfig> clientConfig(new CProxyClientConfig);
        if (state.range(0) > 0) {
            int size = int(state.range(0));
            for (int option : {proxyOptPtcpSendBuffer, proxyOptPtcpRecvBuffer}) {
                serverConfig->setConfig(unsigned(option), size);
                clientConfig->setConfig(unsigned(option), size);
            }
        }
        std::unique_ptr<CProxyChannelServer> server(
            new CProxyChannelServer(slink, serverConfig, CProxyChannelServer::SwitchHandler()));
        std::unique_ptr<CProxyChannelClient> client(
            new CProxyChannelClient(clink, linkTypeP2P, P2PServerInfo(), clientConfig, nullptr));
        std::atomic<bool> stop{false};
        std::thread driver([&] {
            while (!stop) {
                server->heartbeat();
                client->heartbeat();
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        Listener mapped;
        int app = ConnectTo(mapped.port);
        bool ok = WaitUntil([&] { return client->getState() == proxyChannelConnSuccess; }, 5000);
        if (ok) {
            client->createTcpSession(mapped.Accept(), "127.0.0.1", sink.listener.port);
            auto start = std::chrono::steady_clock::now();
            ok = SendAll(app, kBytes) && WaitUntil([&] { return sink.bytes.load() >= kBytes; }, 120000);
            state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        close(app);
        stop = true;
        driver.join();
        client.reset();
        server.reset();
        if (!ok) {
            state.SkipWithError("the stream did not get through");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

void KernelTcpAlone(benchmark::State& state)
{
    for (auto _ : state) {
        Sink sink;
        int fd = ConnectTo(sink.listener.port);
        auto start = std::chrono::steady_clock::now();
        bool ok = SendAll(fd, kBytes) && WaitUntil([&] { return sink.bytes.load() >= kBytes; }, 60000);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        close(fd);
        if (!ok) {
            state.SkipWithError("kernel TCP stalled");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

} // namespace

BENCHMARK(ThroughProxy)->Arg(0)->Arg(1 << 20)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(KernelTcpAlone)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
