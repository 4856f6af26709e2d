#include "devsim/Fleet.h"

#include <arpa/inet.h>

#include <cstdio>

namespace devsim {

std::string NextAddress(const std::string& first, size_t offset)
{
    in_addr a{};
    if (inet_pton(AF_INET, first.c_str(), &a) != 1)
        return std::string();
    uint64_t h = ntohl(a.s_addr);
    uint64_t n = h;
    // Skip the .0 and .255 host bytes.
    for (size_t i = 0; i < offset; ++i) {
        ++n;
        while ((n & 0xFF) == 0 || (n & 0xFF) == 255)
            ++n;
    }
    if ((n >> 24) != 127 || n > 0x7FFFFFFFull)
        return std::string();
    a.s_addr = htonl(uint32_t(n));
    char buf[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &a, buf, sizeof buf);
    return buf;
}

namespace {

struct Kind {
    const char* type;
    const char* model;
    int channels;
    int alarmIn;
    int alarmOut;
    int typeFlag;
};

const Kind kKinds[] = {
    {"IPC", "IPC-VX2431", 1, 1, 1, 0},
    {"IPC", "IPC-VD5241", 1, 2, 1, 0},
    {"IP CAMERA", "IPC-VB4631", 1, 0, 0, 0},
    {"SD", "SD-VX9225", 1, 7, 2, 20},
    {"PTZ", "SD-VX6445", 1, 7, 2, 20},
    {"DVR", "DVR-VX108", 8, 8, 3, 0},
    {"HCVR", "HCVR-VX216", 16, 16, 3, 0},
    {"NVR", "NVR-VX216", 16, 16, 4, 0},
    {"NVR", "NVR-VX832", 32, 16, 6, 0},
    {"NVS", "NVS-VX104", 4, 4, 1, 0},
    {"ITC", "ITC237-PU1B-IR", 1, 2, 2, 0},
};

DeviceState Make(size_t i, const Kind& k, const std::string& ip, uint32_t seed, bool initialised)
{
    DeviceState s;
    unsigned h = unsigned(i * 2654435761u + seed * 40503u);
    s.type = k.type;
    s.model = k.model;
    s.detail = k.model;
    s.name = std::string(k.type) + "-" + std::to_string(i + 1);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%cG%02u%07zu", 'A' + char(h % 26), (h >> 5) % 100, i + 1);
    s.serial = buf;
    std::snprintf(buf, sizeof buf, "3c:ef:%02x:%02x:%02x:%02x", unsigned(seed & 0xFF), unsigned((i >> 16) & 0xFF),
                  unsigned((i >> 8) & 0xFF), unsigned(i & 0xFF));
    s.mac = buf;
    unsigned major = 2 + (h % 3), minor = 600 + (h >> 3) % 300;
    std::snprintf(buf, sizeof buf, "%u.%03u.%04u000.%u.R", major, minor, (h >> 7) % 10000, (h >> 11) % 20);
    s.version = buf;
    unsigned year = 2016 + (h >> 13) % 8, month = 1 + (h >> 17) % 12, day = 1 + (h >> 21) % 28;
    s.buildDate = (year << 16) | (month << 8) | day;
    s.videoStandard = (h >> 9) % 4 == 0 ? 1 : 0;
    s.channels = k.channels;
    s.alarmIn = k.alarmIn;
    s.alarmOut = k.alarmOut;
    s.typeFlag = k.typeFlag;
    s.ip = ip;
    s.initState = initialised ? 2 : 1;
    s.resetWay = (h >> 4) & 1;
    s.pnOffer = initialised ? 0 : 2;
    if (initialised)
        s.users.push_back(User{"admin", "admin123", 1, false, 0, 0});
    else
        s.users.push_back(User{"admin", "", 1, false, 0, 0});
    s.users.push_back(User{"user", "user1234", 2, false, 0, 0});
    return s;
}

} // namespace

std::vector<DeviceState> MakeMixedFleet(size_t count, const std::string& first, uint32_t seed)
{
    std::vector<DeviceState> out;
    const size_t nk = sizeof kKinds / sizeof kKinds[0];
    for (size_t i = 0; i < count; ++i) {
        std::string ip = NextAddress(first, i);
        if (ip.empty())
            break;
        bool initialised = (i % 6) != 5;
        out.push_back(Make(i, kKinds[i % nk], ip, seed, initialised));
        if (i % 4 == 3)
            AddSecondNic(out.back(), i);
    }
    return out;
}

std::vector<DeviceState> MakeDefaultFleet(const std::string& first)
{
    // Three uninitialised devices: an IPC, a dome and an NVR.
    static const int kinds[16] = {0, 1, 2, 0, 3, 4, 5, 6, 7, 8, 9, 10, 1, 2, 3, 7};
    static const bool uninit[16] = {false, false, false, true, false, false, false, false,
                                    false, false, false, false, false, false, true, true};
    std::vector<DeviceState> out;
    for (size_t i = 0; i < 16; ++i) {
        std::string ip = NextAddress(first, i);
        if (ip.empty())
            break;
        DeviceState s = Make(i, kKinds[kinds[i]], ip, 7, !uninit[i]);
        if (i == 11) { // the "other" device
            s.type = "EVS";
            s.model = s.detail = "EVS-VX016";
            s.name = "EVS-12";
        }
        out.push_back(std::move(s));
    }
    return out;
}

} // namespace devsim
