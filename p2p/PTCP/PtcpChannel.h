// What the proxy sees of a PTCP connection: a channel over the UDP socket a link-through produced,
// with a connect limit and a silence limit; the process-wide channel map by random id; and the
// "ProxyChannel Thread" pool that runs the proxy's periodic per-channel tasks.
#ifndef ORVAN_TOU_PTCPCHANNEL_H
#define ORVAN_TOU_PTCPCHANNEL_H

#include "Infra3/Function.h"
#include "Infra3/Mutex.h"
#include "Infra3/ReadWriteMutex.h"
#include "Infra3/Thread.h"
#include "Memory/SharedPtr.h"
#include "PTCP/PhonyTcpTransport.h"
#include "nattraver/iceagent/IceAgent.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

namespace Orvan {
namespace Tou {

enum PtcpChannelState
{
    PTCP_CHANNEL_INIT = 0,
    PTCP_CHANNEL_CONN_START = 1,
    PTCP_CHANNEL_CONN_FAIL = 2,
    PTCP_CHANNEL_CONN_SUCCESS = 3,
    PTCP_CHANNEL_DISCONNECT = 4
};

struct PtcpChannelStatistics
{
    uint64_t recvKB;
    uint64_t sendKB;
    double recvRate;
    double sendRate;
    double avgRecvRate;
    double avgSendRate;
    double reserved;
    uint64_t elapsedSeconds;
};

struct PtcpRemoteInfo
{
    char key[64];
    char remoteIp[64];
    uint16_t remotePort;
};

struct PtcpTraversalInfo
{
    std::string key;
    char remoteIp[128];
    uint16_t remotePort;
    char localIp[128];
    uint16_t localPort;
    int linkType;
};

using ChannelNotifyProc = Infra::TFunction2<void, uint64_t, uint32_t>;

class CPtcpChannel : public IPtcpNotify
{
public:
    static const uint64_t kConnectLimitMs = 10000;
    static const uint64_t kSilenceLimitMs = 30000;

    CPtcpChannel(int ptcpThreadNum, int sendBufferSize, int recvBufferSize, const ChannelNotifyProc& notify,
                 const NATTraver::ConnInfo& info, const Memory::TSharedPtr<NATTraver::Socket>& socket,
                 const std::string& key, int linkType);
    ~CPtcpChannel() override;

    bool connect();
    bool listen();
    void heartbeat(uint64_t now);
    void longTimeTaskDeal(uint64_t now);
    int send(const CPacket& packet);
    int recv(CPacket& packet);
    void pop();
    int writev(const CPacket* packets, int count, int* taken);
    int queryBuf();
    void getStatistics(PtcpChannelStatistics* stats);
    void getSendQueueInfo(PtcpSendQueueInfo* info);
    int setsockopt(int id, const int* value, int length);
    void stopRecvTimer();
    int getState();
    void setState(int state);
    uint32_t getChannelId();
    void setChannelId(uint32_t id);
    uint64_t getLastDataTime();
    uint64_t getStartTime();
    int getLinkType() const { return m_linkType; }
    int getLocalPort() const { return m_info.localPort; }
    void getRemoteInfo(PtcpRemoteInfo* info);
    void getTraversalInfo(PtcpTraversalInfo* info);
    void setNotifyProc(const ChannelNotifyProc& notify);
    static std::string stateName(int state);

    void onConnect(int code) override;
    void onException(int code) override;
    void onClose() override;
    void onRead() override;
    void onWrite() override {}

private:
    bool open(bool active);
    uint64_t now() const;

    Infra::CMutex m_stateLock;
    int m_state = PTCP_CHANNEL_INIT;
    Infra::CMutex m_notifyLock;
    ChannelNotifyProc m_notify;
    Infra::CMutex m_timeLock;
    uint64_t m_lastData;
    uint64_t m_startTime;
    NATTraver::ConnInfo m_info;
    Memory::TSharedPtr<NATTraver::Socket> m_socket;
    std::string m_key;
    Infra::CMutex m_idLock;
    uint32_t m_channelId = 0;
    int m_linkType;
    int m_sendBufferSize;
    int m_recvBufferSize;
    CPtcp* m_ptcp;
};

class CPtcpChannelMng
{
public:
    using ChannelPtr = Memory::TSharedPtr<CPtcpChannel>;

    static ChannelPtr create(ChannelPtr& out, int ptcpThreadNum, int sendBufferSize, int recvBufferSize,
                             const ChannelNotifyProc& notify, const NATTraver::ConnInfo& info,
                             const Memory::TSharedPtr<NATTraver::Socket>& socket, const std::string& key,
                             int linkType);
    static bool destroy(uint32_t id);
    static bool getPtcpChannel(uint32_t id, ChannelPtr& out);
    static void destroyByChannel(ChannelPtr channel);
    static uint32_t createId();
    static size_t count();
};

using ProxyTask = Infra::TFunction0<bool>;

class CProxySingleThread : public Infra::CThread
{
public:
    CProxySingleThread();
    ~CProxySingleThread() override;
    void attach(const ProxyTask& task);
    bool detach(const ProxyTask& task);
    size_t taskCount();

private:
    void threadProc() override;

    Infra::CMutex m_lock;
    std::list<ProxyTask> m_tasks;
};

class CProxyThreadPool
{
public:
    // Made with count workers on first use; later calls return the same pool.
    static CProxyThreadPool* instance(int count);
    void attach(const ProxyTask& task);
    bool detach(const ProxyTask& task);
    int workerCount() const { return int(m_workers.size()); }

private:
    explicit CProxyThreadPool(int count);
    std::vector<CProxySingleThread*> m_workers;
};

} // namespace Tou
} // namespace Orvan

#endif
