#ifndef ORVAN_TOU_P2PLINKTHROUGHLOCAL_H
#define ORVAN_TOU_P2PLINKTHROUGHLOCAL_H

#include "Infra3/Mutex.h"
#include "LinkThrough/LinkThroughInfo.h"
#include "LinkThrough/P2PSDKChannelClient.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Orvan {
namespace Tou {

enum LocalChannelState
{
    localSend = 0,
    localWait = 1,
    localFound = 2,
    localFailed = 3
};

// Looks for the device on the local segment: broadcasts "local-channel" to port 28591 and takes the
// sender of the first 200 answer as the path. 2000 ms in all. heartbeat runs on the link-through thread.
class CP2PLinkThroughLocal
{
public:
    CP2PLinkThroughLocal(const std::string& id, const LinkResultProc& onResult, int channelType, int localPort);
    ~CP2PLinkThroughLocal();
    CP2PLinkThroughLocal(const CP2PLinkThroughLocal&) = delete;
    CP2PLinkThroughLocal& operator=(const CP2PLinkThroughLocal&) = delete;

    void heartbeat(uint64_t now);
    int getState();
    void setState(int state);

    // Where the request is broadcast; tests move it to a port of their own.
    void setTarget(const std::string& host, int port);

private:
    void sendLocalRequest(uint64_t now);
    void onChannelWait(uint64_t now);

    Infra::CMutex m_lock;
    int m_state;
    SocketPtr m_socket;
    std::string m_id;
    NATTraver::ConnInfo m_conn;
    LinkResultProc m_onResult;
    std::shared_ptr<CP2PSDKChannelClient> m_channelClient;
    int m_channelType;
    int m_localPort;
    uint64_t m_createdAt;
    uint64_t m_resendAt;
    int m_resendInterval;
    std::string m_targetHost;
    int m_targetPort;
};

} // namespace Tou
} // namespace Orvan

#endif
