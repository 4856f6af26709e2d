#include "nattraver/net/Address.h"

#include "P2PSDK/Print.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace Orvan {
namespace NATTraver {

namespace {
std::atomic<bool> g_ipv6{false};
std::mutex g_prefixLock;
std::string g_prefix;
} // namespace

Address::Address() : m_ipv6(0), m_length(0)
{
    m_text[0] = '\0';
    init(g_ipv6 ? 1 : 0);
}

Address::Address(const char* ip, int port) : Address()
{
    setIp(ip);
    setPort(port);
}

Address::Address(const Address& other) : m_ipv6(other.m_ipv6), m_length(other.m_length)
{
    std::memcpy(m_storage, other.m_storage, sizeof(m_storage));
    m_text[0] = '\0';
}

Address& Address::operator=(const Address& other)
{
    m_ipv6 = other.m_ipv6;
    m_length = other.m_length;
    std::memcpy(m_storage, other.m_storage, sizeof(m_storage));
    return *this;
}

bool Address::operator==(const Address& other) const
{
    return m_length == other.m_length && std::memcmp(m_storage, other.m_storage, size_t(m_length)) == 0;
}

void Address::init(int ipv6)
{
    std::memset(m_storage, 0, sizeof(m_storage));
    m_ipv6 = ipv6;
    if (ipv6) {
        reinterpret_cast<sockaddr_in6*>(m_storage)->sin6_family = AF_INET6;
        m_length = sizeof(sockaddr_in6);
    } else {
        reinterpret_cast<sockaddr_in*>(m_storage)->sin_family = AF_INET;
        m_length = sizeof(sockaddr_in);
    }
}

const sockaddr* Address::sockAddr() const { return reinterpret_cast<const sockaddr*>(m_storage); }
sockaddr* Address::sockAddr() { return reinterpret_cast<sockaddr*>(m_storage); }

void Address::assign(const sockaddr* addr, int length)
{
    if (!addr)
        return;
    if (addr->sa_family == AF_INET6 && length >= int(sizeof(sockaddr_in6))) {
        init(1);
        std::memcpy(m_storage, addr, sizeof(sockaddr_in6));
    } else if (addr->sa_family == AF_INET && length >= int(sizeof(sockaddr_in))) {
        init(0);
        std::memcpy(m_storage, addr, sizeof(sockaddr_in));
    }
}

const char* Address::getIp() const
{
    if (m_ipv6)
        return nullptr;
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(m_storage)->sin_addr, m_text, sizeof(m_text));
    return m_text;
}

int Address::getPort() const
{
    if (m_ipv6)
        return 0;
    return ntohs(reinterpret_cast<const sockaddr_in*>(m_storage)->sin_port);
}

void Address::setPort(int port)
{
    // IPv6 keeps its port too: NAT64 peers cannot be reached without it.
    if (m_ipv6)
        reinterpret_cast<sockaddr_in6*>(m_storage)->sin6_port = htons(uint16_t(port));
    else
        reinterpret_cast<sockaddr_in*>(m_storage)->sin_port = htons(uint16_t(port));
}

void Address::setIp(const char* host)
{
    if (!host)
        return;
    std::string text = host;
    if (g_ipv6)
        text = synthesizeIpv6(host);
    addrinfo hints = {};
    addrinfo* result = nullptr;
    int rc = getaddrinfo(text.c_str(), nullptr, &hints, &result);
    if (rc != 0 || !result) {
        TOU_PRINT(Tou::printLevelError, "getaddrinfo failed with error: %d\n", rc);
        return;
    }
    if (result->ai_family == AF_INET) {
        init(0);
        std::memcpy(m_storage, result->ai_addr, sizeof(sockaddr_in));
        reinterpret_cast<sockaddr_in*>(m_storage)->sin_port = 0;
    } else if (result->ai_family == AF_INET6) {
        init(1);
        std::memcpy(m_storage, result->ai_addr, sizeof(sockaddr_in6));
        reinterpret_cast<sockaddr_in6*>(m_storage)->sin6_port = 0;
    } else {
        TOU_PRINT(Tou::printLevelWarn, "Address family: unknown\n");
    }
    freeaddrinfo(result);
}

std::string Address::toString() const
{
    if (m_ipv6) {
        char text[INET6_ADDRSTRLEN] = "";
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(m_storage)->sin6_addr, text, sizeof(text));
        return std::string("[") + text + "]:" +
               std::to_string(ntohs(reinterpret_cast<const sockaddr_in6*>(m_storage)->sin6_port));
    }
    return std::string(getIp()) + ":" + std::to_string(getPort());
}

void Address::enableIpv6(bool on) { g_ipv6 = on; }
bool Address::ipv6Enabled() { return g_ipv6; }

void Address::setIpv6Prefix(const char* prefix)
{
    if (!prefix) {
        TOU_PRINT(Tou::printLevelError, "Invalid IPv6 Prefix\n");
        return;
    }
    std::lock_guard<std::mutex> guard(g_prefixLock);
    g_prefix = prefix;
}

std::string Address::synthesizeIpv6(const char* ipv4)
{
    if (!ipv4) {
        TOU_PRINT(Tou::printLevelError, "Invalid IP Address\n");
        return "";
    }
    if (std::strcmp(ipv4, "0.0.0.0") == 0)
        return "::";
    if (std::strcmp(ipv4, "127.0.0.1") == 0)
        return "::1";
    if (std::strchr(ipv4, ':'))
        return ipv4;
    unsigned a = 0, b = 0, c = 0, d = 0;
    int dots = 0;
    for (const char* p = ipv4; *p; ++p)
        dots += *p == '.';
    if (dots != 3 || std::sscanf(ipv4, "%u.%u.%u.%u", &a, &b, &c, &d) != 4) {
        TOU_PRINT(Tou::printLevelError, "Wrong IP Address: %s\n", ipv4);
        return "";
    }
    std::string prefix;
    {
        std::lock_guard<std::mutex> guard(g_prefixLock);
        prefix = g_prefix;
    }
    char text[128];
    std::snprintf(text, sizeof(text), "%s::%x%02x:%x%02x", prefix.c_str(), a & 0xFF, b & 0xFF, c & 0xFF, d & 0xFF);
    return text;
}

bool Address::getLocalIP(std::vector<std::string>& list)
{
    list.clear();
    char name[256];
    if (gethostname(name, sizeof(name)) != 0) {
        TOU_PRINT(Tou::printLevelError, "gethostname error!\n");
        return false;
    }
    name[sizeof(name) - 1] = '\0';
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &result) != 0)
        return true; // a host name that does not resolve is not an error
    for (addrinfo* ai = result; ai; ai = ai->ai_next) {
        char text[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(ai->ai_addr)->sin_addr, text, sizeof(text));
        list.push_back(text);
    }
    freeaddrinfo(result);
    return true;
}

} // namespace NATTraver
} // namespace Orvan
