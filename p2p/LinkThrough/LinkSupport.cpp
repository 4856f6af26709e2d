#include "LinkThrough/LinkSupport.h"

#include <cstring>

namespace Orvan {
namespace Tou {

namespace {

enum
{
    kLinkBufferBytes = 1048576
};

} // namespace

void setLinkBuffers(Socket& socket)
{
    socket.setOption(NATTraver::optRecvBuffer, kLinkBufferBytes);
    socket.setOption(NATTraver::optSendBuffer, kLinkBufferBytes);
}

void fillLinkConn(NATTraver::ConnInfo& conn, Socket& socket, const char* remoteIp, int remotePort)
{
    Address local;
    socket.getLocalAddress(local);
    conn.fd = socket.getFd();
    copyText(conn.localIp, sizeof(conn.localIp), local.getIp());
    conn.localPort = uint16_t(local.getPort());
    copyText(conn.remoteIp, sizeof(conn.remoteIp), remoteIp);
    conn.remotePort = uint16_t(remotePort);
}

LinkChannelInfo makeLinkInfo(const std::string& id, const SocketPtr& socket, const NATTraver::ConnInfo& conn,
                             int channelType, int localPort, const std::string& peerVersion)
{
    LinkChannelInfo info;
    info.id = id;
    info.socket = socket;
    info.conn = conn;
    info.channelType = channelType;
    info.localPort = uint16_t(localPort);
    info.peerVersion = peerVersion;
    return info;
}

void reportLinkFailed(const LinkResultProc& onResult, int localPort, int linkType)
{
    LinkChannelInfo none;
    none.localPort = uint16_t(localPort);
    onResult(linkStateFailed, none, linkType);
}

} // namespace Tou
} // namespace Orvan
