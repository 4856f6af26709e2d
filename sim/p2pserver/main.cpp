// p2pserver: the P2P server stand-in as a program.
#include "p2pserver/P2PServerSim.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }
} // namespace

int main(int argc, char** argv)
{
    p2psim::ServerOptions options;
    options.port = 8800;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--ip")
            options.ip = next();
        else if (a == "--port")
            options.port = std::atoi(next());
        else if (a == "--key")
            options.key = next();
        else if (a == "--clock-offset")
            options.clockOffset = std::atoi(next());
        else if (a == "--challenge")
            options.alwaysChallenge = true;
        else {
            std::fprintf(stderr,
                         "usage: p2pserver [--ip A] [--port N] [--key K] [--clock-offset S] [--challenge]\n");
            return 2;
        }
    }
    p2psim::P2PServerSim server(options);
    if (!server.Start()) {
        std::fprintf(stderr, "p2pserver: %s\n", server.Error().c_str());
        return 1;
    }
    std::printf("p2pserver listening on %s:%d\n", options.ip.c_str(), server.Port());
    std::fflush(stdout);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!g_stop)
        pause();
    return 0;
}
