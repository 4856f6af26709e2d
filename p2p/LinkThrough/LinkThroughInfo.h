#ifndef ORVAN_TOU_LINKTHROUGHINFO_H
#define ORVAN_TOU_LINKTHROUGHINFO_H

#include "P2PSDK/UdpClient.h"
#include "nattraver/iceagent/IceAgent.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace Orvan {
namespace Tou {

// Link types handed to the result callbacks of the negotiations.
enum LinkType
{
    linkTypeLocal = 0,
    linkTypeP2P = 1,
    linkTypeRelay = 2
};

// States of one negotiation in LinkThroughInfo and of the result callbacks.
enum LinkState
{
    linkStateIdle = 0,
    linkStateRunning = 1,
    linkStateFound = 2,
    linkStateFailed = 3
};

// One usable link to a device. Copies share the socket.
struct LinkChannelInfo
{
    LinkChannelInfo() : channelType(0), localPort(0) { std::memset(&conn, 0, sizeof(conn)); }

    std::string id;
    SocketPtr socket;
    NATTraver::ConnInfo conn;
    int channelType; // 0 plain, 1 audio, other video
    uint16_t localPort;
    std::string peerVersion;
};

// The state of one connection attempt with its three negotiations.
struct LinkThroughInfo
{
    int localState = linkStateIdle;
    int p2pState = linkStateIdle;
    int relayState = linkStateIdle;
    LinkChannelInfo local;
    LinkChannelInfo p2p;
    LinkChannelInfo relay;
    bool peerSupportsLinkSwitch = true;
};

struct RelayAgentInfo
{
    std::string host;
    std::string token;
    int port = 0;
};

// onResult of the negotiations: state, link, link type.
using LinkResultProc = Infra::TFunction3<void, int, const LinkChannelInfo&, int>;

} // namespace Tou
} // namespace Orvan

#endif
