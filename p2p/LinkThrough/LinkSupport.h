// Pieces the link-through negotiations on both sides share: the locked state word, the found link's
// address record and socket sizes, the result handed to the owner.
#ifndef ORVAN_TOU_LINKSUPPORT_H
#define ORVAN_TOU_LINKSUPPORT_H

#include "Infra3/Mutex.h"
#include "LinkThrough/LinkThroughInfo.h"
#include "P2PSDK/CopyText.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Orvan {
namespace Tou {

// A negotiation's state: the state in the low byte, flags above it.
class CLinkStateWord
{
public:
    explicit CLinkStateWord(uint32_t state = 0) : m_state(state) {}

    int low()
    {
        Infra::CMutexGuard guard(m_lock);
        return int(m_state & 0xFF);
    }
    // Below 255: replaces the low byte; 255 or more: OR-ed into the word.
    void set(uint32_t value)
    {
        Infra::CMutexGuard guard(m_lock);
        if (value < 255)
            m_state = (m_state & 0xFFFFFF00u) | value;
        else
            m_state |= value;
    }
    // Clears the low byte and sets flags.
    void restart(uint32_t flags)
    {
        Infra::CMutexGuard guard(m_lock);
        m_state = (m_state & 0xFFFFFF00u) | flags;
    }
    bool has(uint32_t flag)
    {
        Infra::CMutexGuard guard(m_lock);
        return (m_state & flag) != 0;
    }

private:
    Infra::CMutex m_lock;
    uint32_t m_state;
};

// A found link's socket gets 1 MiB buffers each way.
void setLinkBuffers(Socket& socket);

// Fills conn with the socket's descriptor and local address and the given remote end.
void fillLinkConn(NATTraver::ConnInfo& conn, Socket& socket, const char* remoteIp, int remotePort);

LinkChannelInfo makeLinkInfo(const std::string& id, const SocketPtr& socket, const NATTraver::ConnInfo& conn,
                             int channelType, int localPort, const std::string& peerVersion = std::string());

// Tells the owner no link of this type was found.
void reportLinkFailed(const LinkResultProc& onResult, int localPort, int linkType);

} // namespace Tou
} // namespace Orvan

#endif
