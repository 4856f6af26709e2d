#include "ProxyClient/PortResource.h"

#include "P2PSDK/Print.h"

namespace Orvan {
namespace Tou {

bool CPortResource::isKeyExist(uint16_t port)
{
    Infra::CMutexGuard guard(m_lock);
    return m_keys.count(port) != 0;
}

bool CPortResource::getKey(uint16_t port, PortKeyInfo& key)
{
    Infra::CMutexGuard guard(m_lock);
    auto it = m_keys.find(port);
    if (it == m_keys.end()) {
        TOU_PRINT(printLevelError, "key with port [%d] is not exist.\r\n", int(port));
        return false;
    }
    key = it->second;
    return true;
}

bool CPortResource::updateKey(uint16_t port, const PortKeyInfo& key)
{
    Infra::CMutexGuard guard(m_lock);
    auto it = m_keys.find(port);
    if (it == m_keys.end()) {
        TOU_PRINT(printLevelError, "key with port [%d] is not exist.\r\n", int(port));
        return false;
    }
    it->second = key;
    return true;
}

void CPortResource::add(uint16_t port, const PortKeyInfo& key, const SocketPtr& socket)
{
    Infra::CMutexGuard guard(m_lock);
    m_keys[port] = key;
    m_sockets[port] = socket;
    if (socket.get())
        m_fds[socket->getFd()] = port;
}

bool CPortResource::getFd(uint16_t port, int& fd)
{
    Infra::CMutexGuard guard(m_lock);
    auto it = m_sockets.find(port);
    if (it == m_sockets.end())
        return false;
    if (!it->second.get()) {
        TOU_PRINT(printLevelError, "socket with port [%d] is not exist.\r\n", int(port));
        return false;
    }
    fd = it->second->getFd();
    return true;
}

bool CPortResource::get(int fd, uint16_t& port, PortKeyInfo& key, SocketPtr& socket)
{
    Infra::CMutexGuard guard(m_lock);
    auto f = m_fds.find(fd);
    if (f == m_fds.end()) {
        TOU_PRINT(printLevelError, "can not find fd [%d]\r\n", fd);
        return false;
    }
    auto s = m_sockets.find(f->second);
    if (s == m_sockets.end()) {
        TOU_PRINT(printLevelError, "can not find socket with port [%d]\r\n", int(f->second));
        return false;
    }
    auto k = m_keys.find(f->second);
    if (k == m_keys.end()) {
        TOU_PRINT(printLevelError, "can not find key with port [%d]\r\n", int(f->second));
        return false;
    }
    port = f->second;
    key = k->second;
    socket = s->second;
    return true;
}

CPortResource::SocketPtr CPortResource::remove(uint16_t port)
{
    Infra::CMutexGuard guard(m_lock);
    m_keys.erase(port);
    auto it = m_sockets.find(port);
    if (it == m_sockets.end())
        return SocketPtr();
    SocketPtr socket = it->second;
    if (socket.get())
        m_fds.erase(socket->getFd());
    m_sockets.erase(it);
    return socket;
}

void CPortResource::clear()
{
    Infra::CMutexGuard guard(m_lock);
    m_fds.clear();
    m_sockets.clear();
    m_keys.clear();
}

} // namespace Tou
} // namespace Orvan
