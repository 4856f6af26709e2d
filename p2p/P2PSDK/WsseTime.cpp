// WSSE digest, ISO time texts, random ids and small text helpers of the message format.
#include "P2PSDK/HttpMessage.h"

#include "Infra3/Mutex.h"
#include "Infra3/Time.h"
#include "P2PSDK/Print.h"
#include "Utils/Sha1.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Orvan {
namespace Tou {

namespace {
std::atomic<int>& privateSwitch()
{
    static std::atomic<int> on{0};
    return on;
}
// The C library's zone conversions share state (the zone rules they load): one caller at a time.
Infra::CMutex& zoneLock()
{
    static Infra::CMutex lock;
    return lock;
}

} // namespace

void computeWsseDigest(const char* nonce, const char* created, char* digest, const char* secret)
{
    std::string input = std::string(nonce ? nonce : "") + (created ? created : "") + (secret ? secret : "");
    Utils::CSha1 sha;
    sha.update(input.data(), input.size());
    uint8_t hash[Utils::Sha1HashSize];
    sha.final(hash, sizeof(hash));
    base64Encode(hash, sizeof(hash), digest);
}

int localZoneOffset()
{
    Infra::CMutexGuard guard(zoneLock());
    time_t now = time(nullptr);
    struct tm local, utc;
    localtime_r(&now, &local);
    gmtime_r(&now, &utc);
    utc.tm_isdst = local.tm_isdst;
    return int(now - mktime(&utc));
}

void formatIsoTime(char* buffer, int size, time_t seconds)
{
    if (!buffer || size <= 0)
        return;
    struct tm local;
    {
        Infra::CMutexGuard guard(zoneLock());
        localtime_r(&seconds, &local);
    }
    char text[64];
    std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%S", &local);
    int offset = localZoneOffset();
    if (offset == 0) {
        std::snprintf(buffer, size_t(size), "%sZ", text);
    } else {
        int a = offset < 0 ? -offset : offset;
        std::snprintf(buffer, size_t(size), "%s%c%02d:%02d", text, offset < 0 ? '-' : '+', a / 3600, a % 3600 / 60);
    }
}

time_t parseIsoTime(const char* text)
{
    if (!text || std::strlen(text) < 20)
        return 0;
    struct tm t = {};
    if (std::sscanf(text, "%d-%d-%dT%d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour, &t.tm_min,
                    &t.tm_sec) != 6)
        return 0;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    time_t result = timegm(&t);
    const char* rest = text + 19;
    if (std::strlen(rest) == 6 && (rest[0] == '+' || rest[0] == '-')) {
        int hours = 0, minutes = 0;
        std::sscanf(rest + 1, "%d:%d", &hours, &minutes);
        long offset = hours * 3600L + minutes * 60L;
        result += rest[0] == '+' ? -offset : offset;
    }
    return result;
}

int generateRandomId()
{
    static Infra::CMutex lock;
    static bool seeded = false;
    static uint32_t counter = 0;
    Infra::CMutexGuard guard(lock);
    if (!seeded) {
        std::srand(unsigned(time(nullptr)));
        seeded = true;
    }
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | (uint32_t(std::rand()) & 0xFF);
    v ^= uint32_t(Infra::CTime::getTickCountUs());
    v += ++counter;
    return int(v);
}

int splitString(const char* text, char separator, std::vector<std::string>& parts)
{
    if (!text)
        return 0;
    int count = 0;
    const char* p = std::strchr(text, separator);
    while (p) {
        ++count;
        const char* next = std::strchr(p + 1, separator);
        parts.emplace_back(p + 1, next ? size_t(next - p - 1) : std::strlen(p + 1));
        p = next;
    }
    return count;
}

void setPrivateMethods(int on)
{
    privateSwitch() = on;
}

int privateMethods()
{
    return privateSwitch();
}

bool isSafePathToken(const std::string& text)
{
    if (text.empty() || text.size() > 128)
        return false;
    for (char c : text) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                  c == '_' || c == '.';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace Tou
} // namespace Orvan
