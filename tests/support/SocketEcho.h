// Data for the echo tests over a connected socket: a writer thread and a reader that waits for
// the whole echo.
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>

namespace vxtest {

// Waits up to pollMs for data on fd and reads what is there: the bytes read, 0 when none came
// in time, -1 when the peer closed or the read failed.
inline ssize_t ReadReady(int fd, char* buf, size_t size, int pollMs = 20)
{
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, pollMs) <= 0)
        return 0;
    const ssize_t n = recv(fd, buf, size, 0);
    return n > 0 ? n : -1;
}

// Writes everything on one thread (64 KiB at a time) while this one reads the echo back; what
// came back by limitMs.
inline std::string RoundTrip(int fd, const std::string& data, int limitMs = 30000)
{
    std::thread writer([&] {
        for (size_t off = 0; off < data.size();) {
            ssize_t n = send(fd, data.data() + off, std::min<size_t>(65536, data.size() - off), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            off += size_t(n);
        }
    });
    std::string got;
    auto stopAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    char buf[65536];
    while (got.size() < data.size() && std::chrono::steady_clock::now() < stopAt) {
        const ssize_t n = ReadReady(fd, buf, sizeof buf);
        if (n < 0)
            break;
        got.append(buf, size_t(n));
    }
    writer.join();
    return got;
}

// n bytes from a generator seeded with seed: the same bytes for the same seed.
inline std::string RandomBytes(size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = char(gen());
    return s;
}

} // namespace vxtest
