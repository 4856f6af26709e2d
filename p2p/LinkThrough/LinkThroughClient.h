#ifndef ORVAN_TOU_LINKTHROUGHCLIENT_H
#define ORVAN_TOU_LINKTHROUGHCLIENT_H

#include "Infra3/Mutex.h"
#include "Infra3/Thread.h"
#include "LinkThrough/LinkThroughInfo.h"
#include "LinkThrough/P2PLinkOwner.h"

#include <list>
#include <memory>
#include <string>

namespace Orvan {
namespace Tou {

class CP2PLinkThroughClient;
class CP2PLinkThroughRelay;
class CP2PLinkThroughLocal;

// Options of one connection attempt, from the proxy options of the same names.
struct LinkThroughOptions
{
    bool relay = true;
    bool portGuess = true;
    bool local = true;
    bool linkSwitch = true; // kept, not consulted here
    bool multiHolePunch = true;
};

// One connection attempt: the P2P negotiation always, the relay and local ones as the options say,
// their results gathered in one LinkThroughInfo. Driven by the link through client thread.
class CLinkThroughClientImpl
{
public:
    CLinkThroughClientImpl(const P2PLinkOwnerPtr& owner, const P2PServerInfo& server,
                           const LinkThroughOptions& options, const std::string& id, uint16_t localPort,
                           int channelType, bool useValueT);
    virtual ~CLinkThroughClientImpl();
    CLinkThroughClientImpl(const CLinkThroughClientImpl&) = delete;
    CLinkThroughClientImpl& operator=(const CLinkThroughClientImpl&) = delete;

    LinkThroughInfo getLinkThroughInfo();
    bool isRunning();
    // One heartbeat of each negotiation still running; then isRunning.
    bool step();

    static bool isPeerSupportLinkSwitchAndLocalP2P(const std::string& version);

    // For tests: the Value T given to the P2P negotiation.
    int p2pLocalValueT() const { return m_p2pValueT; }

private:
    void start(const std::string& id, uint16_t localPort, int channelType, bool useValueT);
    void onP2PResult(int state, const LinkChannelInfo& info, int linkType);
    void onRelayResult(int state, const LinkChannelInfo& info, int linkType);
    void onLocalResult(int state, const LinkChannelInfo& info, int linkType);
    void onPeerVersion(const std::string& version);

    P2PLinkOwnerPtr m_owner;
    P2PServerInfo m_server;
    std::unique_ptr<CP2PLinkThroughClient> m_p2p;
    std::unique_ptr<CP2PLinkThroughRelay> m_relay;
    std::unique_ptr<CP2PLinkThroughLocal> m_local;
    Infra::CMutex m_lock;
    LinkThroughInfo m_info;
    LinkThroughOptions m_options;
    bool m_p2pRunning;
    bool m_relayRunning;
    bool m_localRunning;
    int m_p2pValueT;
};

using LinkThroughClientImplPtr = std::shared_ptr<CLinkThroughClientImpl>;

// The public face of an attempt: attaches it to the thread on construction, detaches it when destroyed.
class CLinkThroughClient
{
public:
    CLinkThroughClient(const P2PLinkOwnerPtr& owner, const P2PServerInfo& server, const LinkThroughOptions& options,
                       const std::string& id, uint16_t localPort, int channelType, bool useValueT);
    ~CLinkThroughClient();
    CLinkThroughClient(const CLinkThroughClient&) = delete;
    CLinkThroughClient& operator=(const CLinkThroughClient&) = delete;

    LinkThroughInfo getLinkThroughInfo();

private:
    LinkThroughClientImplPtr m_impl;
};

// "link through client thread": drives every attempt of the process every 10 ms and drops an attempt
// once none of its negotiations is running.
class CLinkThroughSingleThread : public Infra::CThread
{
public:
    static CLinkThroughSingleThread* instance();

    void attach(const LinkThroughClientImplPtr& client);
    void detach(const LinkThroughClientImplPtr& client);
    size_t attached();

protected:
    void threadProc() override;

private:
    CLinkThroughSingleThread();

    Infra::CMutex m_lock;
    std::list<LinkThroughClientImplPtr> m_clients;
};

} // namespace Tou
} // namespace Orvan

#endif
