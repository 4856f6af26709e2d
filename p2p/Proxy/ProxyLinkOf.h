// A link as a link-through leaves it, as a proxy channel takes it.
#ifndef ORVAN_TOU_PROXYLINKOF_H
#define ORVAN_TOU_PROXYLINKOF_H

#include "LinkThrough/LinkThroughInfo.h"
#include "Proxy/ProxyChannel.h"

namespace Orvan {
namespace Tou {

inline ProxyLink proxyLinkOf(const LinkChannelInfo& info)
{
    ProxyLink link;
    link.id = info.id;
    link.socket = info.socket;
    link.info = info.conn;
    link.peerVersion = info.peerVersion;
    link.channelType = info.channelType;
    link.mediaType = info.channelType;
    return link;
}

} // namespace Tou
} // namespace Orvan

#endif
