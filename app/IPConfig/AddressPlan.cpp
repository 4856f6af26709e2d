#include "IPConfig/AddressPlan.h"

#include <cstdint>
#include <cstdio>

#include "Common/StrHelpers.h"

namespace {

bool Read(const std::string& text, uint32_t& value)
{
    bool ok = false;
    value = IpTextToUInt(text, &ok);
    return ok && value != 0xFFFFFFFFu;
}

bool IsHost(uint32_t address, uint32_t mask)
{
    const uint32_t host = address & ~mask;
    return host != 0 && host != ~mask;
}

std::string Text(uint32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    return buf;
}

} // namespace

bool IsHostAddress(const std::string& address, const std::string& mask)
{
    uint32_t a = 0, m = 0;
    return Read(address, a) && Read(mask, m) && IsHost(a, m);
}

std::string PlanAddress(const std::string& start, const std::string& mask, int n, int same)
{
    if (same)
        return start;
    uint32_t v = 0, m = 0;
    if (!Read(start, v) || !Read(mask, m) || n < 0)
        return std::string();
    // A mask with fewer than two host bits leaves no host address at all.
    if ((~m & 0xFFFFFFFEu) == 0)
        return std::string();
    for (int found = 0;; ++v) {
        if (IsHost(v, m) && found++ == n)
            return Text(v);
        if (v == 0xFFFFFFFEu)
            return std::string();
    }
}
