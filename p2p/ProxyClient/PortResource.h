// Per-port resources of the proxy client: the mapping's target, its listening socket, and the way
// back from a ready descriptor to its port.
#ifndef ORVAN_TOU_PORTRESOURCE_H
#define ORVAN_TOU_PORTRESOURCE_H

#include "Infra3/Mutex.h"
#include "Memory/SharedPtr.h"
#include "nattraver/net/Socket.h"

#include <cstdint>
#include <map>
#include <string>

namespace Orvan {
namespace Tou {

struct PortKeyInfo
{
    std::string deviceId;
    std::string remoteHost; // the address the device side connects to
    int remotePort = 0;
};

class CPortResource
{
public:
    using SocketPtr = Memory::TSharedPtr<NATTraver::Socket>;

    bool isKeyExist(uint16_t port);
    bool getKey(uint16_t port, PortKeyInfo& key);
    bool updateKey(uint16_t port, const PortKeyInfo& key);
    void add(uint16_t port, const PortKeyInfo& key, const SocketPtr& socket);
    bool getFd(uint16_t port, int& fd);
    bool get(int fd, uint16_t& port, PortKeyInfo& key, SocketPtr& socket);
    // Returns the listening socket it dropped, so that the caller can keep it open until the
    // descriptor is unregistered.
    SocketPtr remove(uint16_t port);
    void clear();

private:
    Infra::CMutex m_lock;
    std::map<uint16_t, PortKeyInfo> m_keys;
    std::map<uint16_t, SocketPtr> m_sockets;
    std::map<int, uint16_t> m_fds;
};

} // namespace Tou
} // namespace Orvan

#endif
