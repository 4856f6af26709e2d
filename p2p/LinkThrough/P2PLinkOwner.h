#ifndef ORVAN_TOU_P2PLINKOWNER_H
#define ORVAN_TOU_P2PLINKOWNER_H

#include "Memory/SharedPtr.h"
#include "P2PSDK/P2PClient.h"

namespace Orvan {
namespace Tou {

// What a link-through needs of its owner, the proxy's door to the P2P server: the P2P client state
// and the server record. The link-through keeps the owner alive for its own life.
class IP2PLinkOwner
{
public:
    enum
    {
        stateOnline = 6 // "p2p client Online"
    };

    virtual ~IP2PLinkOwner() {}
    virtual int getState() = 0;
    virtual void getServerInfo(P2PServerInfo& server) = 0;
};

using P2PLinkOwnerPtr = Memory::TSharedPtr<IP2PLinkOwner>;

} // namespace Tou
} // namespace Orvan

#endif
