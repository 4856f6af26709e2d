// udpfwd LISTEN_IP:PORT TARGET_IP:PORT [loss=..,dup=..,reorder=..,delay=..,reorderms=..,seed=..]
#include "udpfwd/UdpForwarder.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

bool SplitHostPort(const std::string& s, std::string* ip, uint16_t* port)
{
    size_t colon = s.rfind(':');
    if (colon == std::string::npos)
        return false;
    *ip = s.substr(0, colon);
    long p = std::strtol(s.c_str() + colon + 1, nullptr, 10);
    if (p < 0 || p > 65535)
        return false;
    *port = uint16_t(p);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LISTEN_IP:PORT TARGET_IP:PORT [loss=0.1,dup=0.02,reorder=0.05,delay=5,"
                             "reorderms=10,seed=1]\n", argv[0]);
        return 2;
    }
    std::string lip, tip;
    uint16_t lport = 0, tport = 0;
    if (!SplitHostPort(argv[1], &lip, &lport) || !SplitHostPort(argv[2], &tip, &tport)) {
        std::fprintf(stderr, "addresses are IP:PORT\n");
        return 2;
    }
    udpfwd::Profile profile;
    std::string error;
    if (argc > 3 && !udpfwd::ParseProfile(argv[3], &profile, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    udpfwd::UdpForwarder fwd;
    if (!fwd.Start(lip, lport, tip, tport, profile)) {
        std::fprintf(stderr, "%s\n", fwd.Error().c_str());
        return 1;
    }
    std::printf("forwarding %s:%u -> %s:%u\n", lip.c_str(), fwd.Port(), tip.c_str(), tport);
    std::fflush(stdout);
    std::signal(SIGINT, [](int) { g_stop = 1; });
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    while (!g_stop)
        pause();
    fwd.Stop();
    udpfwd::Counters c = fwd.Totals();
    std::printf("received %llu dropped %llu duplicated %llu reordered %llu sent %llu\n",
                (unsigned long long)c.received, (unsigned long long)c.dropped, (unsigned long long)c.duplicated,
                (unsigned long long)c.reordered, (unsigned long long)c.sent);
    return 0;
}
