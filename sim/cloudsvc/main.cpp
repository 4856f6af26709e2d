// cloudsvc: the cloud update service stand-in.
//   cloudsvc [--host 127.0.0.1] [--port P] [--config FILE] [--fleet FLEETFILE] [--default-fleet FIRST]
//            [--no-account-check]
// --config reads the catalog and faults (PROTOCOL.md); --fleet adds one entry per device of an
// emulated fleet's file, --default-fleet one per device of the program's embedded fleet that
// starts at address FIRST. Prints the service's address, then serves until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "cloudsvc/CloudServer.h"
#include "devsdk/Wire.h"
#include "devsim/Fleet.h"

namespace {

bool ReadFile(const std::string& path, std::string& text)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    std::ostringstream ss;
    ss << f.rdbuf();
    text = ss.str();
    return text.size() <= (64u << 20);
}

} // namespace

int main(int argc, char** argv)
{
    cloudsvc::Options opt;
    std::string config, fleet, defaultFirst;
    bool noAccount = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--no-account-check") noAccount = true;
        else if (a == "--host" && hasValue) opt.host = argv[++i];
        else if (a == "--port" && hasValue) opt.port = std::atoi(argv[++i]);
        else if (a == "--config" && hasValue) config = argv[++i];
        else if (a == "--fleet" && hasValue) fleet = argv[++i];
        else if (a == "--default-fleet" && hasValue) defaultFirst = argv[++i];
        else {
            std::fprintf(stderr, "usage: cloudsvc [--host H] [--port P] [--config FILE] [--fleet FLEETFILE] "
                                 "[--default-fleet FIRST] [--no-account-check]\n");
            return 2;
        }
    }
    std::string text, error;
    if (!config.empty() && (!ReadFile(config, text) || !cloudsvc::ParseOptions(text, opt, error))) {
        std::fprintf(stderr, "cloudsvc: %s: %s\n", config.c_str(), error.empty() ? "cannot read" : error.c_str());
        return 1;
    }
    if (!fleet.empty() && (!ReadFile(fleet, text) || !cloudsvc::EntriesFromFleet(text, opt.entries, error))) {
        std::fprintf(stderr, "cloudsvc: %s: %s\n", fleet.c_str(), error.empty() ? "cannot read" : error.c_str());
        return 1;
    }
    if (!defaultFirst.empty()) {
        Json::Value v(Json::objectValue), devices(Json::arrayValue);
        for (const devsim::DeviceState& d : devsim::MakeDefaultFleet(defaultFirst))
            devices.append(devsim::DeviceModel::ToJson(d));
        v["devices"] = devices;
        if (!cloudsvc::EntriesFromFleet(devsdk::wire::WriteCompact(v), opt.entries, error)) {
            std::fprintf(stderr, "cloudsvc: --default-fleet %s: %s\n", defaultFirst.c_str(), error.c_str());
            return 1;
        }
    }
    if (noAccount)
        opt.checkAccount = false;
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr); // threads started below inherit the mask
    cloudsvc::Server server(opt);
    if (!server.Start(error)) {
        std::fprintf(stderr, "cloudsvc: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", server.Url().c_str());
    std::fflush(stdout);
    int sig = 0;
    sigwait(&set, &sig);
    server.Stop();
    return 0;
}
