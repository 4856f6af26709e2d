// fwmake: writes a firmware image for the emulated devices.
#include "fwmake/FirmwareImage.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Usage()
{
    std::fprintf(stderr,
                 "usage: fwmake --family FAMILY --version TEXT [--size BYTES] [--seed N] -o FILE\n"
                 "              [--magic XY] [--truncate BYTES] [--corrupt]\n"
                 "  --family F     model family the image is for (\"IPC-VX\" for IPC-VX2431)\n"
                 "  --version V    version the device reports after installing it\n"
                 "  --size N       payload bytes (default 1048576)\n"
                 "  --magic XY     other first two bytes (an image nothing accepts)\n"
                 "  --truncate N   cut the file to N bytes (a damaged image)\n"
                 "  --corrupt      change one payload byte after the checksum (a damaged image)\n");
}

} // namespace

int main(int argc, char** argv)
{
    fwmake::ImageOptions opt;
    opt.payloadSize = 1 << 20;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "fwmake: %s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--family")
            opt.family = next();
        else if (a == "--version")
            opt.version = next();
        else if (a == "--size")
            opt.payloadSize = std::strtoull(next().c_str(), nullptr, 10);
        else if (a == "--seed")
            opt.seed = uint32_t(std::strtoul(next().c_str(), nullptr, 10));
        else if (a == "--magic")
            opt.magic = next();
        else if (a == "--truncate")
            opt.truncateTo = std::strtoll(next().c_str(), nullptr, 10);
        else if (a == "--corrupt")
            opt.corruptPayload = true;
        else if (a == "-o" || a == "--output")
            out = next();
        else {
            Usage();
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }
    if (opt.family.empty() || opt.version.empty() || out.empty()) {
        Usage();
        return 2;
    }
    std::string err;
    if (!fwmake::WriteImage(out, opt, &err)) {
        std::fprintf(stderr, "fwmake: %s\n", err.c_str());
        return 1;
    }
    return 0;
}
