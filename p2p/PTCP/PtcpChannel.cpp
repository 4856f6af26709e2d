#include "PTCP/PtcpChannel.h"

#include "Infra3/Time.h"
#include "P2PSDK/CopyText.h"
#include "P2PSDK/StateName.h"
#include "PTCP/PtcpLog.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace Orvan {
namespace Tou {

CPtcpChannel::CPtcpChannel(int ptcpThreadNum, int sendBufferSize, int recvBufferSize, const ChannelNotifyProc& notify,
                           const NATTraver::ConnInfo& info, const Memory::TSharedPtr<NATTraver::Socket>& socket,
                           const std::string& key, int linkType)
    : m_notify(notify), m_info(info), m_socket(socket), m_key(key), m_linkType(linkType),
      m_sendBufferSize(sendBufferSize), m_recvBufferSize(recvBufferSize), m_ptcp(new CPtcp(this, ptcpThreadNum))
{
    m_lastData = m_startTime = now();
}

CPtcpChannel::~CPtcpChannel()
{
    PTCP_PRINT(4, "~CPtcpChannel [%p][%u]\r\n", static_cast<void*>(this), getChannelId());
    m_ptcp->close(); // stops the timers first: no callback reaches this channel afterwards
    m_ptcp = nullptr;
}

uint64_t CPtcpChannel::now() const { return Infra::CTime::getTickCountMs(); }

bool CPtcpChannel::open(bool active)
{
    int v = 1;
    m_ptcp->setsockopt(8, &v, sizeof v);
    m_ptcp->setsockopt(0, &m_sendBufferSize, sizeof m_sendBufferSize);
    m_ptcp->setsockopt(2, &m_recvBufferSize, sizeof m_recvBufferSize);
    v = 10;
    m_ptcp->setsockopt(5, &v, sizeof v);
    bool ok = true;
    int fd = m_socket.get() ? m_socket->getFd() : -1;
    if (m_ptcp->bind(fd) != 0) {
        PTCP_PRINT(1, "ptcp bind fd[%d] fail\n", fd);
        setState(PTCP_CHANNEL_CONN_FAIL);
        ok = false;
    } else {
        setState(PTCP_CHANNEL_CONN_START);
        int r = active ? m_ptcp->connect(m_info.remoteIp, m_info.remotePort)
                       : m_ptcp->listen(m_info.remoteIp, m_info.remotePort);
        if (r != 0) {
            PTCP_PRINT(1, active ? "ptcp connect addr<%s:%d> fail\n" : "ptcp listen addr<%s:%d> fail\n",
                       m_info.remoteIp, int(m_info.remotePort));
            setState(PTCP_CHANNEL_CONN_FAIL);
            ok = false;
        }
    }
    Infra::CMutexGuard lock(m_timeLock);
    m_startTime = m_lastData = now();
    return ok;
}

bool CPtcpChannel::connect() { return open(true); }
bool CPtcpChannel::listen() { return open(false); }

void CPtcpChannel::heartbeat(uint64_t now)
{
    Infra::CMutexGuard t(m_timeLock);
    Infra::CMutexGuard s(m_stateLock);
    switch (m_state) {
    case PTCP_CHANNEL_CONN_SUCCESS:
    case PTCP_CHANNEL_INIT:
    case PTCP_CHANNEL_DISCONNECT:
        return;
    case PTCP_CHANNEL_CONN_START:
        if (now > m_startTime + kConnectLimitMs) {
            m_state = PTCP_CHANNEL_CONN_FAIL;
            PTCP_PRINT(1, "state[%d:%s] ptcpChannel[%p]\n", m_state, stateName(m_state).c_str(),
                       static_cast<void*>(this));
        }
        return;
    case PTCP_CHANNEL_CONN_FAIL:
        m_state = PTCP_CHANNEL_DISCONNECT;
        return;
    default:
        PTCP_PRINT(1, "error ptcp channel state[%d]\r\n", m_state);
    }
}

void CPtcpChannel::longTimeTaskDeal(uint64_t now)
{
    Infra::CMutexGuard t(m_timeLock);
    Infra::CMutexGuard s(m_stateLock);
    if (m_state == PTCP_CHANNEL_CONN_SUCCESS && now > m_lastData + kSilenceLimitMs) {
        PTCP_PRINT(2, "ptcp channel heartbeat timeout![%lld] [%lld]\n", (long long)now, (long long)m_lastData);
        m_state = PTCP_CHANNEL_DISCONNECT;
    }
}

int CPtcpChannel::send(const CPacket& packet) { return m_ptcp->send(packet); }
int CPtcpChannel::recv(CPacket& packet) { return m_ptcp->recv(packet, true); }
void CPtcpChannel::pop() { m_ptcp->pop(); }
int CPtcpChannel::writev(const CPacket* packets, int count, int* taken) { return m_ptcp->writev(packets, count, taken); }

int CPtcpChannel::queryBuf()
{
    int v = 0;
    m_ptcp->getsockopt(6, &v, sizeof v);
    return v;
}

void CPtcpChannel::getStatistics(PtcpChannelStatistics* out)
{
    PtcpStats st;
    m_ptcp->perform(&st, false);
    uint64_t start;
    {
        Infra::CMutexGuard lock(m_timeLock);
        start = m_startTime;
    }
    uint64_t seconds = (now() - start) / 1000;
    std::memset(out, 0, sizeof *out);
    out->recvKB = st.bytesReceived >> 10;
    out->sendKB = st.bytesSent >> 10;
    out->recvRate = st.recvRate;
    out->sendRate = st.sendRate;
    out->elapsedSeconds = seconds;
    // averages over whole seconds; nothing to report in the first second
    if (st.bytesReceived != 0 && seconds != 0) {
        out->avgRecvRate = double(out->recvKB) * 8 / double(seconds);
        out->avgSendRate = double(out->sendKB) * 8 / double(seconds);
    }
}

void CPtcpChannel::getSendQueueInfo(PtcpSendQueueInfo* info) { m_ptcp->getSendQueueInfo(info); }
int CPtcpChannel::setsockopt(int id, const int* value, int length) { return m_ptcp->setsockopt(id, value, length); }

void CPtcpChannel::stopRecvTimer()
{
    m_ptcp->stopRecvTimer();
    PTCP_PRINT(4, "Stop RecvTimer [%p][%u]\r\n", static_cast<void*>(this), getChannelId());
}

uint64_t CPtcpChannel::getLastDataTime()
{
    Infra::CMutexGuard lock(m_timeLock);
    return m_lastData;
}

uint64_t CPtcpChannel::getStartTime()
{
    Infra::CMutexGuard lock(m_timeLock);
    return m_startTime;
}

int CPtcpChannel::getState()
{
    Infra::CMutexGuard lock(m_stateLock);
    return m_state;
}

void CPtcpChannel::setState(int state)
{
    Infra::CMutexGuard lock(m_stateLock);
    m_state = state;
}

uint32_t CPtcpChannel::getChannelId()
{
    Infra::CMutexGuard lock(m_idLock);
    return m_channelId;
}

void CPtcpChannel::setChannelId(uint32_t id)
{
    Infra::CMutexGuard lock(m_idLock);
    m_channelId = id;
}

void CPtcpChannel::getRemoteInfo(PtcpRemoteInfo* info)
{
    copyText(info->key, sizeof info->key, m_key.c_str());
    copyText(info->remoteIp, sizeof info->remoteIp, m_info.remoteIp);
    info->remotePort = m_info.remotePort;
}

void CPtcpChannel::getTraversalInfo(PtcpTraversalInfo* info)
{
    info->key = m_key;
    copyText(info->remoteIp, sizeof info->remoteIp, m_info.remoteIp);
    info->remotePort = m_info.remotePort;
    copyText(info->localIp, sizeof info->localIp, m_info.localIp);
    info->localPort = m_info.localPort;
    info->linkType = m_linkType;
}

void CPtcpChannel::setNotifyProc(const ChannelNotifyProc& notify)
{
    Infra::CMutexGuard lock(m_notifyLock);
    m_notify = notify;
}

std::string CPtcpChannel::stateName(int state)
{
    return CStateName::text(&CStateName::getPtcpChannelStateName, state);
}

void CPtcpChannel::onConnect(int code)
{
    if (code == 1) {
        PTCP_PRINT(2, "CPtcpChannel::onConnect: ptcp connect fail!\n");
        setState(PTCP_CHANNEL_CONN_FAIL);
        return;
    }
    PTCP_PRINT(4, "ptcp connect sucess, ptcpChannel[%p]!\n", static_cast<void*>(this));
    {
        Infra::CMutexGuard lock(m_timeLock);
        m_lastData = now();
    }
    setState(PTCP_CHANNEL_CONN_SUCCESS);
}

void CPtcpChannel::onException(int code)
{
    PTCP_PRINT(2, "CPtcpChannel::onException: PTCP disconnect[%d]!\n", code);
    setState(PTCP_CHANNEL_DISCONNECT);
}

void CPtcpChannel::onClose() { PTCP_PRINT(2, "CPtcpChannel::onClose: ptcp close!\n"); }

void CPtcpChannel::onRead()
{
    uint64_t t = now();
    {
        Infra::CMutexGuard lock(m_timeLock);
        m_lastData = t;
    }
    ChannelNotifyProc notify;
    {
        Infra::CMutexGuard lock(m_notifyLock);
        notify = m_notify;
    }
    if (!notify.empty())
        notify(t, getChannelId());
}

// ---- manager

namespace {

struct Registry {
    Infra::CReadWriteMutex lock;
    std::map<uint32_t, CPtcpChannelMng::ChannelPtr> channels;
    uint32_t lastId = 0;
};

Registry& registry()
{
    static Registry* r = new Registry; // lives until the process ends
    return *r;
}

struct WriteLock {
    explicit WriteLock(Infra::CReadWriteMutex& m) : m_(m) { m_.lockWrite(); }
    ~WriteLock() { m_.unlock(); }
    Infra::CReadWriteMutex& m_;
};

struct ReadLock {
    explicit ReadLock(Infra::CReadWriteMutex& m) : m_(m) { m_.lockRead(); }
    ~ReadLock() { m_.unlock(); }
    Infra::CReadWriteMutex& m_;
};

} // namespace

CPtcpChannelMng::ChannelPtr CPtcpChannelMng::create(ChannelPtr& out, int ptcpThreadNum, int sendBufferSize,
                                                    int recvBufferSize, const ChannelNotifyProc& notify,
                                                    const NATTraver::ConnInfo& info,
                                                    const Memory::TSharedPtr<NATTraver::Socket>& socket,
                                                    const std::string& key, int linkType)
{
    ChannelPtr channel(
        new CPtcpChannel(ptcpThreadNum, sendBufferSize, recvBufferSize, notify, info, socket, key, linkType));
    Registry& r = registry();
    {
        WriteLock lock(r.lock);
        uint32_t id = createId();
        while (r.channels.count(id)) {
            PTCP_PRINT(2, "repeat key[%d], recreate channel id\n", int(id));
            id = createId();
        }
        channel->setChannelId(id);
        r.channels[id] = channel;
    }
    out = channel;
    return channel;
}

bool CPtcpChannelMng::destroy(uint32_t id)
{
    ChannelPtr removed;
    Registry& r = registry();
    {
        WriteLock lock(r.lock);
        auto it = r.channels.find(id);
        if (it == r.channels.end()) {
            PTCP_PRINT(2, "not found the channel id[%u]\n", id);
            return false;
        }
        removed = it->second;
        r.channels.erase(it);
    }
    return true; // a last reference is released here, outside the lock
}

bool CPtcpChannelMng::getPtcpChannel(uint32_t id, ChannelPtr& out)
{
    Registry& r = registry();
    ReadLock lock(r.lock);
    auto it = r.channels.find(id);
    if (it == r.channels.end()) {
        PTCP_PRINT(1, "Not found ptcp channel with id[%u]\r\n", id);
        return false;
    }
    out = it->second;
    return true;
}

void CPtcpChannelMng::destroyByChannel(ChannelPtr channel)
{
    std::vector<ChannelPtr> removed;
    Registry& r = registry();
    {
        WriteLock lock(r.lock);
        for (auto it = r.channels.begin(); it != r.channels.end();) {
            if (it->second.get() == channel.get()) {
                removed.push_back(it->second);
                it = r.channels.erase(it);
            } else {
                ++it;
            }
        }
    }
    removed.clear();
    channel.reset();
}

size_t CPtcpChannelMng::count()
{
    Registry& r = registry();
    ReadLock lock(r.lock);
    return r.channels.size();
}

uint32_t CPtcpChannelMng::createId()
{
    // called under the registry's write lock
    uint32_t& v = registry().lastId;
    v = (uint32_t(std::rand() ^ std::rand()) | v) << 16;
    v = ((uint32_t(std::rand() ^ std::rand()) | v) & 0xFFFFFF00u) << 8;
    v = (uint32_t(std::rand() ^ std::rand()) | v) + 1;
    PTCP_PRINT(4, "CPtcpChannelMng::createId:[%u]\n", v);
    return v;
}

// ---- thread pool

CProxySingleThread::CProxySingleThread() : CThread("ProxyChannel Thread", priorDefault, policyNormal) {}

CProxySingleThread::~CProxySingleThread() { DestroyThread(); }

void CProxySingleThread::attach(const ProxyTask& task)
{
    Infra::CMutexGuard lock(m_lock);
    m_tasks.push_back(task);
}

bool CProxySingleThread::detach(const ProxyTask& task)
{
    Infra::CMutexGuard lock(m_lock);
    for (auto it = m_tasks.begin(); it != m_tasks.end(); ++it) {
        if (*it == task) {
            m_tasks.erase(it);
            return true;
        }
    }
    return false;
}

size_t CProxySingleThread::taskCount()
{
    Infra::CMutexGuard lock(m_lock);
    return m_tasks.size();
}

void CProxySingleThread::threadProc()
{
    while (isLooping()) {
        {
            Infra::CMutexGuard lock(m_lock);
            for (auto it = m_tasks.begin(); it != m_tasks.end();) {
                if (!(*it)())
                    it = m_tasks.erase(it);
                else
                    ++it;
            }
        }
        sleepMs(10);
    }
}

CProxyThreadPool* CProxyThreadPool::instance(int count)
{
    static std::mutex creation;
    static CProxyThreadPool* pool = nullptr;
    std::lock_guard<std::mutex> lock(creation);
    if (!pool)
        pool = new CProxyThreadPool(count < 1 ? 1 : count); // lives until the process ends
    return pool;
}

CProxyThreadPool::CProxyThreadPool(int count)
{
    for (int i = 0; i < count; ++i) {
        m_workers.push_back(new CProxySingleThread);
        m_workers.back()->CreateThread();
    }
}

void CProxyThreadPool::attach(const ProxyTask& task)
{
    CProxySingleThread* least = m_workers.front();
    size_t fewest = least->taskCount();
    for (CProxySingleThread* w : m_workers) {
        size_t n = w->taskCount();
        if (n < fewest) {
            fewest = n;
            least = w;
        }
    }
    least->attach(task);
}

bool CProxyThreadPool::detach(const ProxyTask& task)
{
    for (CProxySingleThread* w : m_workers)
        if (w->detach(task))
            return true;
    return false;
}

} // namespace Tou
} // namespace Orvan
