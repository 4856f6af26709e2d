// Runs `devsim --count 1000` as a separate process and measures the SDK against it:
// broadcast search until the last of the 1000 devices was delivered, logins per second,
// and devsim's resident memory per device.
#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"

#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace {

constexpr int kDevices = 1000;
const char* const kFirst = "127.201.0.1";

struct Devsim {
    pid_t pid = -1;
    bool Start(int count, const char* first)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], 1);
            close(fds[0]);
            close(fds[1]);
            std::string n = std::to_string(count);
            execl(DEVSIM_PATH, "devsim", "--count", n.c_str(), "--first", first, "--probe-port", "5071",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Ready once it printed its fleet line.
        FILE* f = fdopen(fds[0], "r");
        char line[256];
        bool ready = false;
        while (fgets(line, sizeof line, f))
            if (std::strncmp(line, "VX_DEVSIM_FLEET=", 16) == 0) {
                ready = true;
                break;
            }
        fclose(f);
        return ready;
    }
    long RssKiB() const
    {
        std::ifstream in("/proc/" + std::to_string(pid) + "/status");
        std::string key;
        while (in >> key) {
            if (key == "VmRSS:") {
                long v = 0;
                in >> v;
                return v;
            }
            in.ignore(4096, '\n');
        }
        return 0;
    }
    ~Devsim()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

Devsim& Fleet()
{
    static Devsim* d = [] {
        auto* x = new Devsim;
        std::atexit([] {
            SdkCleanup();
            delete d;
        });
        if (!x->Start(kDevices, kFirst))
            std::fprintf(stderr, "devsim did not start\n");
        devsdk::SimOptions o;
        o.embedded = false;
        o.fleets = {std::string(kFirst) + "+" + std::to_string(kDevices) + ":5071"};
        o.localIp = "127.201.255.1";
        devsdk::SetSimOptions(o);
        SdkInit(nullptr, nullptr);
        return x;
    }();
    return *d;
}

struct Found {
    std::mutex mu;
    std::set<std::string> macs;
    std::chrono::steady_clock::time_point last;
};

void OnFound(DEVICE_NET_INFO_EX* rec, void* user)
{
    auto* f = static_cast<Found*>(user);
    std::lock_guard<std::mutex> lk(f->mu);
    if (f->macs.insert(rec->szMacAddr).second)
        f->last = std::chrono::steady_clock::now();
}

void BM_BroadcastSearch1000(benchmark::State& state)
{
    Fleet();
    double worst = 0;
    for (auto _ : state) {
        Found found;
        auto t0 = std::chrono::steady_clock::now();
        LONG h = SdkStartSearchDevices(OnFound, &found, nullptr);
        if (h == 0) {
            state.SkipWithError("search did not start");
            return;
        }
        for (;;) {
            {
                std::lock_guard<std::mutex> lk(found.mu);
                if (found.macs.size() >= size_t(kDevices) ||
                    std::chrono::steady_clock::now() - t0 > std::chrono::seconds(30))
                    break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        SdkStopSearchDevices(h);
        std::lock_guard<std::mutex> lk(found.mu);
        double s = std::chrono::duration<double>(found.last - t0).count();
        worst = std::max(worst, s);
        state.SetIterationTime(s);
        state.counters["found"] = double(found.macs.size());
    }
    state.counters["last_result_s"] = worst;
    std::printf("broadcast search: all %d devices delivered after %.3f s (goal < 2 s)\n", kDevices, worst);
}
BENCHMARK(BM_BroadcastSearch1000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_LoginLogout(benchmark::State& state)
{
    Fleet();
    int i = 0;
    int64_t ok = 0;
    for (auto _ : state) {
        // device addresses skip .0 and .255; every sixth device is not initialised
        int d = (i++ % 800);
        if (d % 6 == 5)
            ++d;
        int err = 0;
        std::string addr = std::string("127.201.") + std::to_string(d / 254) + "." + std::to_string(d % 254 + 1);
        LONG h = SdkLogin(addr.c_str(), 37777, "admin", "admin123", nullptr, &err);
        if (h > 0) {
            ++ok;
            SdkLogout(h);
        }
    }
    state.counters["logins_per_s"] = benchmark::Counter(double(ok), benchmark::Counter::kIsRate);
    state.counters["ok"] = double(ok);
}
BENCHMARK(BM_LoginLogout)->MinTime(2.0)->UseRealTime();

void BM_DevsimMemoryPerDevice(benchmark::State& state)
{
    long full = Fleet().RssKiB();
    Devsim one;
    one.Start(1, "127.202.0.1");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    long base = one.RssKiB();
    double perDevice = double(full - base) / (kDevices - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(perDevice);
    state.counters["rss_total_KiB"] = double(full);
    state.counters["KiB_per_device"] = perDevice;
    std::printf("devsim memory: %ld KiB for %d devices, %.1f KiB per device (goal < 200 KiB)\n", full, kDevices,
                perDevice);
}
BENCHMARK(BM_DevsimMemoryPerDevice)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
