// devsim: serves a fleet of emulated devices until interrupted.
#include "devsim/Fleet.h"

#include "devsdk/Wire.h"

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

void Usage()
{
    std::fprintf(stderr,
                 "usage: devsim [--count N] [--first ADDR] [--probe-port P] [--reboot-ms MS] [--seed S]\n"
                 "              [--fleet FILE] [--write-fleet FILE]\n"
                 "  --count N        mixed fleet of N devices from ADDR (default 16 from 127.1.0.1)\n"
                 "  --fleet FILE     devices from a fleet file instead\n"
                 "  --write-fleet F  write the fleet file of the running fleet\n"
                 "Point the SDK at the fleet with the printed VX_DEVSIM_FLEET value.\n");
}

} // namespace

int main(int argc, char** argv)
{
    size_t count = 16;
    std::string first = "127.1.0.1";
    std::string fleetFile, writeFile;
    devsim::Fleet::Options opt;
    uint32_t seed = 1;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "devsim: %s needs a value\n", what);
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--count")
            count = std::strtoul(next("--count"), nullptr, 10);
        else if (a == "--first")
            first = next("--first");
        else if (a == "--probe-port")
            opt.probePort = uint16_t(std::strtoul(next("--probe-port"), nullptr, 10));
        else if (a == "--reboot-ms")
            opt.rebootMs = std::atoi(next("--reboot-ms"));
        else if (a == "--seed")
            seed = uint32_t(std::strtoul(next("--seed"), nullptr, 10));
        else if (a == "--fleet")
            fleetFile = next("--fleet");
        else if (a == "--write-fleet")
            writeFile = next("--write-fleet");
        else {
            Usage();
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }
    rlimit rl{};
    if (getrlimit(RLIMIT_NOFILE, &rl) == 0) {
        rl.rlim_cur = rl.rlim_max;
        setrlimit(RLIMIT_NOFILE, &rl);
    }
    std::vector<devsim::DeviceState> devices;
    if (!fleetFile.empty()) {
        std::ifstream in(fleetFile);
        std::stringstream ss;
        ss << in.rdbuf();
        Json::Value v;
        if (!in || !devsdk::wire::ParseObject(ss.str(), v) || !devsim::Fleet::FromJson(v, opt, devices)) {
            std::fprintf(stderr, "devsim: cannot read fleet file %s\n", fleetFile.c_str());
            return 1;
        }
    } else {
        devices = devsim::MakeMixedFleet(count, first, seed);
        if (devices.size() < count) {
            std::fprintf(stderr, "devsim: only %zu addresses from %s stay inside 127.0.0.0/8\n", devices.size(),
                         first.c_str());
            return 1;
        }
    }
    devsim::Fleet fleet(opt);
    for (auto& d : devices)
        fleet.Add(d);
    std::string err;
    if (!fleet.Start(&err))
        std::fprintf(stderr, "devsim: some devices are offline: %s\n", err.c_str());
    if (!writeFile.empty()) {
        std::ofstream out(writeFile);
        out << devsdk::wire::WriteCompact(fleet.ToJson()) << "\n";
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::vector<std::string> addrs = fleet.Addresses();
    if (!addrs.empty())
        std::printf("devsim: %zu devices %s .. %s, probe port %u\nVX_DEVSIM_FLEET=%s+%zu:%u\n", addrs.size(),
                    addrs.front().c_str(), addrs.back().c_str(), unsigned(opt.probePort), addrs.front().c_str(),
                    addrs.size(), unsigned(opt.probePort));
    std::fflush(stdout);
    while (!g_stop)
        pause();
    fleet.Stop();
    return 0;
}
