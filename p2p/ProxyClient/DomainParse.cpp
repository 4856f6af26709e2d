#include "ProxyClient/DomainParse.h"

#include "P2PSDK/Print.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace Orvan {
namespace Tou {

namespace {

bool isVerbatim(const char* host)
{
    if (*host == '\0' || std::strchr(host, ':'))
        return true;
    for (const char* p = host; *p; ++p)
        if (!((*p >= '0' && *p <= '9') || *p == '.'))
            return false;
    return true;
}

} // namespace

bool CDomainParse::getDomainIP(const char* host, int /*port*/, char* output)
{
    if (!host || !output)
        return false;
    if (std::strlen(host) >= size_t(kOutputSize)) {
        TOU_PRINT(printLevelError, "host text too long [%zu]\n", std::strlen(host));
        return false;
    }
    if (isVerbatim(host)) {
        std::strcpy(output, host);
        return true;
    }
    addrinfo* result = nullptr;
    int rc = ::getaddrinfo(host, nullptr, nullptr, &result);
    if (rc != 0) {
        errno = rc == EAI_SYSTEM ? errno : EHOSTUNREACH;
        return false;
    }
    bool ok = true;
    if (result && result->ai_family == AF_INET) {
        const sockaddr_in* sa = reinterpret_cast<const sockaddr_in*>(result->ai_addr);
        const char* text = ::inet_ntoa(sa->sin_addr);
        if (text) {
            std::strncpy(output, text, kOutputSize - 1);
        } else {
            TOU_PRINT(printLevelWarn, "CDomainParse::getDomainIP inet_ntoa NULL\n");
            ok = false;
        }
    } else if (result && result->ai_family == AF_INET6) {
        TOU_PRINT(printLevelWarn, "CDomainParse::getDomainIP WIN32 dosen't support inet_ntop\n");
        ok = false;
    }
    ::freeaddrinfo(result);
    return ok;
}

} // namespace Tou
} // namespace Orvan
