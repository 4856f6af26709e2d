#ifndef ORVAN_NATTRAVER_ADDRESS_H
#define ORVAN_NATTRAVER_ADDRESS_H

#include <string>
#include <vector>

struct sockaddr;

namespace Orvan {
namespace NATTraver {

// Socket address value; resolves host texts, optionally into NAT64 addresses.
class Address
{
public:
    Address();
    Address(const char* ip, int port);
    Address(const Address& other);
    Address& operator=(const Address& other);
    bool operator==(const Address& other) const;
    bool operator!=(const Address& other) const { return !(*this == other); }

    void init(int ipv6);
    // Dotted IPv4 text (held by the address), or null for IPv6.
    const char* getIp() const;
    int getPort() const;
    void setIp(const char* host);
    void setPort(int port);
    bool isIpv6() const { return m_ipv6 != 0; }
    int length() const { return m_length; }
    const sockaddr* sockAddr() const;
    sockaddr* sockAddr();
    // Takes a platform address of the given length (IPv4 or IPv6).
    void assign(const sockaddr* addr, int length);
    // "ip:port" for log lines.
    std::string toString() const;

    static void enableIpv6(bool on);
    static bool ipv6Enabled();
    static void setIpv6Prefix(const char* prefix);
    static std::string synthesizeIpv6(const char* ipv4);
    static bool getLocalIP(std::vector<std::string>& list);

private:
    int m_ipv6;
    int m_length;
    alignas(8) unsigned char m_storage[128];
    mutable char m_text[64];
};

} // namespace NATTraver
} // namespace Orvan

#endif
