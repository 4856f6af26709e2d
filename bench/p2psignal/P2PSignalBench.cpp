// Requests per second of the P2P server stand-in and the server client with 100 devices sending
// heartbeats, and the STUN codec's encode and decode time beside coturn's answer time for the
// same binding. Run inside a namespace with loopback up (scripts/in-netns.sh).
#include "P2PSDK/P2PClient.h"
#include "nattraver/stunpro/StunMsg.h"
#include "p2pserver/P2PServerSim.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Orvan::NATTraver;
using namespace Orvan::Tou;

namespace {

const int kDevices = 100;

int Bound()
{
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    return fd;
}

sockaddr_in Loopback(int port)
{
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(uint16_t(port));
    return a;
}

bool WaitReadable(int fd, int ms)
{
    pollfd p = {fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

// 100 devices: each sends its heartbeat and reads the 200 before the next round.
class Fleet
{
public:
    explicit Fleet(int serverPort) : to_(Loopback(serverPort))
    {
        for (int i = 0; i < kDevices; ++i) {
            fds_.push_back(Bound());
            char text[128];
            std::snprintf(text, sizeof(text), "GET /heartbeat/device/SN%05d HTTP/1.1\r\n\r\n", i);
            texts_.push_back(text);
        }
    }
    ~Fleet()
    {
        for (int fd : fds_)
            ::close(fd);
    }
    // One heartbeat from every device; the number of answers received.
    int Round()
    {
        for (int i = 0; i < kDevices; ++i)
            ::sendto(fds_[size_t(i)], texts_[size_t(i)].data(), texts_[size_t(i)].size(), 0,
                     reinterpret_cast<const sockaddr*>(&to_), sizeof(to_));
        int answers = 0;
        char buf[2048];
        for (int fd : fds_)
            if (WaitReadable(fd, 1000) && ::recv(fd, buf, sizeof(buf), 0) > 0)
                ++answers;
        return answers;
    }

private:
    sockaddr_in to_;
    std::vector<int> fds_;
    std::vector<std::string> texts_;
};

void BM_ServerHeartbeats(benchmark::State& state)
{
    p2psim::P2PServerSim server(p2psim::ServerOptions{});
    if (!server.Start()) {
        state.SkipWithError("cannot start the stand-in");
        return;
    }
    Fleet fleet(server.Port());
    int64_t answered = 0;
    for (auto _ : state)
        answered += fleet.Round();
    state.SetItemsProcessed(answered);
    state.counters["requests/s"] = benchmark::Counter(double(answered), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ServerHeartbeats)->UseRealTime()->Unit(benchmark::kMillisecond);

class NullListener : public INotify
{
};

// Signed questions of the server client while the 100 devices keep sending heartbeats.
void BM_ClientQueriesUnderHeartbeats(benchmark::State& state)
{
    p2psim::ServerOptions opt;
    opt.key = "bench-key";
    p2psim::P2PServerSim server(opt);
    if (!server.Start()) {
        state.SkipWithError("cannot start the stand-in");
        return;
    }
    std::atomic<bool> stop{false};
    std::atomic<int64_t> heartbeats{0};
    std::thread devices([&] {
        Fleet fleet(server.Port());
        while (!stop)
            heartbeats += fleet.Round();
    });
    NullListener listener;
    IP2PClient* client = createP2PClient(&listener);
    P2PServerInfo info{"127.0.0.1", server.Port(), "bench-key", "P2PClient"};
    int64_t ok = 0;
    int64_t before = heartbeats;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        ok += client->isServerOnline(info, 3000) ? 1 : 0;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int64_t beats = heartbeats - before;
    stop = true;
    devices.join();
    client->stop();
    state.counters["queries/s"] = benchmark::Counter(double(ok), benchmark::Counter::kIsRate);
    state.counters["heartbeats/s"] = seconds > 0 ? double(beats) / seconds : 0;
    if (ok != int64_t(state.iterations()))
        state.SkipWithError("a query went unanswered");
}
BENCHMARK(BM_ClientQueriesUnderHeartbeats)->UseRealTime()->Unit(benchmark::kMicrosecond);

double g_codecNs = 0;
double g_coturnNs = 0;

std::vector<uint8_t> SampleAnswer()
{
    const uint8_t id[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::vector<uint8_t> m = {1, 1, 0, 12, 0x21, 0x12, 0xa4, 0x42};
    m.insert(m.end(), id, id + 12);
    const uint8_t xorMapped[] = {0, 0x20, 0, 8, 0, 1, 0x3e, 0x82, 0x5e, 0x12, 0xa4, 0x43};
    m.insert(m.end(), xorMapped, xorMapped + sizeof(xorMapped));
    return m;
}

// Encode a Binding request as the STUN client does and decode an answer with XOR-MAPPED-ADDRESS.
void BM_StunCodecBinding(benchmark::State& state)
{
    std::vector<uint8_t> answer = SampleAnswer();
    uint8_t out[2048];
    for (auto _ : state) {
        CStunMSG request;
        request.createBindingRequest();
        request.addSoftware("orvanstunclient");
        benchmark::DoNotOptimize(request.toBuffer(out, sizeof(out)));
        CStunMSG reader;
        reader.parse(answer.data(), int(answer.size()));
        Address mapped;
        benchmark::DoNotOptimize(reader.getXorMappedAddress(mapped));
    }
}
BENCHMARK(BM_StunCodecBinding);

// Round trip of the same binding through coturn on loopback.
void BM_CoturnBinding(benchmark::State& state)
{
    if (::access("/usr/bin/turnserver", X_OK) != 0) {
        state.SkipWithError("coturn is not installed");
        return;
    }
    int probe = Bound();
    sockaddr_in at = {};
    socklen_t len = sizeof(at);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&at), &len);
    ::close(probe);
    std::string portArg = "--listening-port=" + std::to_string(ntohs(at.sin_port));
    pid_t pid = ::fork();
    if (pid == 0) {
        int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execl("/usr/bin/turnserver", "turnserver", "-n", "--stun-only", "--no-cli", "--no-tls", "--no-dtls",
                "--no-tcp", "--listening-ip=127.0.0.1", portArg.c_str(), "--log-file=stdout",
                "--userdb=/tmp/p2p-bench-turndb", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int fd = Bound();
    uint8_t out[2048], in[2048];
    auto roundTrip = [&]() {
        CStunMSG request;
        request.createBindingRequest();
        request.addSoftware("orvanstunclient");
        int n = request.toBuffer(out, sizeof(out));
        ::sendto(fd, out, size_t(n), 0, reinterpret_cast<const sockaddr*>(&at), sizeof(at));
        return WaitReadable(fd, 1000) && ::recv(fd, in, sizeof(in), 0) > 0;
    };
    bool ready = false;
    for (int i = 0; i < 50 && !ready; ++i)
        ready = roundTrip();
    if (!ready)
        state.SkipWithError("coturn did not answer");
    else
        for (auto _ : state)
            if (!roundTrip())
                state.SkipWithError("coturn stopped answering");
    ::close(fd);
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}
BENCHMARK(BM_CoturnBinding)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Keeps the per-iteration times of the two STUN benchmarks for the ratio line.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            if (r.error_occurred || r.iterations == 0)
                continue;
            double ns = r.GetAdjustedRealTime() * (r.time_unit == benchmark::kMicrosecond ? 1e3
                                                   : r.time_unit == benchmark::kMillisecond ? 1e6
                                                                                            : 1.0);
            if (r.benchmark_name().find("BM_StunCodecBinding") == 0)
                g_codecNs = ns;
            if (r.benchmark_name().find("BM_CoturnBinding") == 0)
                g_coturnNs = ns;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (g_codecNs > 0 && g_coturnNs > 0)
        std::printf("STUN codec encode+decode %.0f ns, coturn binding round trip %.0f ns: codec takes %.4f of "
                    "the answer time (coturn is %.0f times slower)\n",
                    g_codecNs, g_coturnNs, g_codecNs / g_coturnNs, g_coturnNs / g_codecNs);
    benchmark::Shutdown();
    return 0;
}
