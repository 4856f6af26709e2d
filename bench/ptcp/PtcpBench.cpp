// Throughput of one stream over loopback: PTCP on a clean link and through the lossy forwarder at
// 1 % and 5 % loss, beside UDT on the same links and kernel TCP on clean loopback, in one run.
//   build/bin/ptcp_bench            (inside a network namespace with loopback up)
#include "PtcpLoopback.h"

#include <benchmark/benchmark.h>

#include <netinet/tcp.h>

#ifdef VX_HAVE_UDT
#include <udt/udt.h>
#endif

namespace {

using namespace ptcptest;

const size_t kChunk = 1200;

udpfwd::Profile Loss(double rate)
{
    udpfwd::Profile p;
    p.loss = rate;
    p.delayMs = 1;
    p.seed = 5;
    return p;
}

void PtcpStream(benchmark::State& state, double loss, size_t bytes)
{
    for (auto _ : state) {
        Pair pair;
        udpfwd::Profile p = Loss(loss);
        if (!pair.Open(loss > 0 ? &p : nullptr)) {
            state.SkipWithError("PTCP did not connect");
            return;
        }
        auto start = std::chrono::steady_clock::now();
        CPacket chunk(kChunk);
        std::memset(chunk.getBuffer(), 'p', kChunk);
        for (size_t off = 0; off < bytes; off += kChunk) {
            CPacket copy(kChunk);
            std::memcpy(copy.getBuffer(), chunk.getBuffer(), kChunk);
            if (!pair.client.SendBlocking(copy, 60000)) {
                state.SkipWithError("PTCP send stalled");
                return;
            }
        }
        pair.server.WaitFor([&] { return pair.server.bytes.load() >= bytes; }, 300000);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void KernelTcp(benchmark::State& state, size_t bytes)
{
    for (auto _ : state) {
        int ls = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        inet_pton(AF_INET, "127.0.0.1", &sa.sin_addr);
        bind(ls, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        socklen_t len = sizeof sa;
        getsockname(ls, reinterpret_cast<sockaddr*>(&sa), &len);
        listen(ls, 1);
        std::thread rx([&] {
            int c = accept(ls, nullptr, nullptr);
            std::vector<char> buf(65536);
            size_t got = 0;
            while (got < bytes) {
                ssize_t n = recv(c, buf.data(), buf.size(), 0);
                if (n <= 0)
                    break;
                got += size_t(n);
            }
            close(c);
        });
        int s = socket(AF_INET, SOCK_STREAM, 0);
        connect(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        auto start = std::chrono::steady_clock::now();
        std::vector<char> chunk(kChunk, 't');
        for (size_t off = 0; off < bytes; off += kChunk)
            send(s, chunk.data(), kChunk, 0);
        rx.join();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        close(s);
        close(ls);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

#ifdef VX_HAVE_UDT
void Udt(benchmark::State& state, double loss, size_t bytes)
{
    UDT::startup();
    for (auto _ : state) {
        UDTSOCKET serv = UDT::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        inet_pton(AF_INET, "127.0.0.1", &sa.sin_addr);
        UDT::bind(serv, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        int len = sizeof sa;
        UDT::getsockname(serv, reinterpret_cast<sockaddr*>(&sa), &len);
        UDT::listen(serv, 1);
        udpfwd::UdpForwarder fwd;
        sockaddr_in target = sa;
        if (loss > 0) {
            fwd.Start("127.0.0.1", 0, "127.0.0.1", ntohs(sa.sin_port), Loss(loss));
            target.sin_port = htons(fwd.Port());
        }
        std::thread rx([&] {
            UDTSOCKET c = UDT::accept(serv, nullptr, nullptr);
            std::vector<char> buf(65536);
            size_t got = 0;
            while (got < bytes) {
                int n = UDT::recv(c, buf.data(), int(buf.size()), 0);
                if (n <= 0)
                    break;
                got += size_t(n);
            }
            UDT::close(c);
        });
        UDTSOCKET s = UDT::socket(AF_INET, SOCK_STREAM, 0);
        if (UDT::connect(s, reinterpret_cast<sockaddr*>(&target), sizeof target) == UDT::ERROR) {
            state.SkipWithError("UDT did not connect");
            UDT::close(serv);
            rx.detach();
            return;
        }
        auto start = std::chrono::steady_clock::now();
        std::vector<char> chunk(kChunk, 'u');
        for (size_t off = 0; off < bytes; off += kChunk)
            UDT::send(s, chunk.data(), int(kChunk), 0);
        rx.join();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        UDT::close(s);
        UDT::close(serv);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
    UDT::cleanup();
}
#endif

const size_t kClean = 64 << 20;
const size_t kLossy = 16 << 20;

BENCHMARK_CAPTURE(PtcpStream, clean, 0.0, kClean)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PtcpStream, loss1, 0.01, kLossy)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PtcpStream, loss5, 0.05, kLossy)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
#ifdef VX_HAVE_UDT
BENCHMARK_CAPTURE(Udt, clean, 0.0, kClean)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Udt, loss1, 0.01, kLossy)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Udt, loss5, 0.05, kLossy)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK_CAPTURE(KernelTcp, clean, kClean)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
