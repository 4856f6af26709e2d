#include "ProxyServer/ProxyServerImpl.h"

#include "Infra3/Time.h"
#include "P2PSDK/Print.h"
#include "Proxy/ProxyLinkOf.h"
#include "nattraver/net/Address.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace Orvan {
namespace Tou {

using Infra::CMutexGuard;
using Infra::CTime;

CProxyServerImpl::CProxyServerImpl(const char* host, int port, const char* key, const char* deviceId, int, int,
                                   const char* userName, const Memory::TSharedPtr<CProxyServerConfig>& config)
    : Infra::CThread("Proxy Server Thread", priorDefault, policyNormal),
      m_linkThrough(new LinkThroughServerHolder),
      m_lastLongTime(CTime::getTickCountMs()),
      m_config(config.get() ? config : Memory::TSharedPtr<CProxyServerConfig>(new CProxyServerConfig))
{
    CreateThread();
    const std::string hostText = host ? host : "";
    if (hostText.find(':') != std::string::npos) {
        NATTraver::Address::enableIpv6(true);
        TOU_PRINT(printLevelWarn, "Enable Ipv6\n");
        size_t pos = hostText.find("::");
        if (pos != std::string::npos) {
            std::string prefix = hostText.substr(0, pos < 127 ? pos : 127);
            NATTraver::Address::setIpv6Prefix(prefix.c_str());
            TOU_PRINT(printLevelWarn, "IPv6 prefix: %s\n", prefix.c_str());
        } else {
            TOU_PRINT(printLevelError, "Can't find double colon, Use the well-known prefix\n");
        }
    }
    m_linkThrough->server.reset(new CLinkThroughServerImpl(
        hostText, port, key ? key : "", deviceId ? deviceId : "",
        LinkResultProc(&CProxyServerImpl::onLinkThroughNotify, this), m_config, userName ? userName : ""));
    std::srand(unsigned(std::time(nullptr)));
}

CProxyServerImpl::~CProxyServerImpl()
{
    m_linkThrough.reset();
    if (!hasExited())
        DestroyThread();
    std::list<ChannelPtr> channels;
    {
        CMutexGuard lock(m_listLock);
        channels.swap(m_channels);
    }
}

int CProxyServerImpl::getState()
{
    return m_linkThrough->server->getState();
}

bool CProxyServerImpl::setDeviceInfo(const char* info)
{
    return m_linkThrough->server->setDeviceInfo(info);
}

void CProxyServerImpl::setLogLevel(int level)
{
    setPrintLevel(level);
}

void CProxyServerImpl::threadProc()
{
    while (isLooping()) {
        step(CTime::getTickCountMs());
        sleepMs(kStepMs);
    }
}

void CProxyServerImpl::step(uint64_t now)
{
    std::list<ChannelPtr> released; // destroyed outside the list lock
    if (now >= m_lastLongTime + kLongPeriodMs) {
        m_lastLongTime = now;
        CMutexGuard lock(m_listLock);
        for (auto it = m_channels.begin(); it != m_channels.end();) {
            if ((*it)->longTimeTaskDeal(now)) {
                ++it;
                continue;
            }
            TOU_PRINT(printLevelTrace, "release proxy channel server\n");
            released.push_back(*it);
            it = m_channels.erase(it);
        }
    }
    CMutexGuard lock(m_listLock);
    for (auto& channel : m_channels)
        channel->heartbeat();
}

size_t CProxyServerImpl::channelCount()
{
    CMutexGuard lock(m_listLock);
    return m_channels.size();
}

void CProxyServerImpl::onLinkThroughNotify(int state, const LinkChannelInfo& link, int)
{
    if (state != linkStateFound) {
        TOU_PRINT(printLevelError, "Invalid notify State!\n");
        return;
    }
    TOU_PRINT(printLevelTrace, "Link Through Success!\n");
    ChannelPtr channel(new CProxyChannelServer(
        proxyLinkOf(link), m_config, CProxyChannelServer::SwitchHandler(&CProxyServerImpl::onPtcpChannelSwitch, this)));
    CMutexGuard lock(m_listLock);
    m_channels.push_back(channel);
}

bool CProxyServerImpl::onPtcpChannelSwitch(uint32_t id1, uint32_t id2)
{
    if (id1 == id2) {
        TOU_PRINT(printLevelError, "onPtcpChannelSwitch:: id1 is equal to id2[%u]\r\n", id1);
        return false;
    }
    TOU_PRINT(printLevelWarn, "switch channel between [%u] and [%u]\r\n", id1, id2);
    CProxyChannelServer* first = nullptr;
    CProxyChannelServer* second = nullptr;
    CMutexGuard lock(m_listLock);
    for (auto& channel : m_channels) {
        const uint32_t id = channel->getChannelId();
        if (!first && id == id1) {
            first = channel.get();
            TOU_PRINT(printLevelWarn, "channel %u found.\r\n", id);
        } else if (!second && id == id2) {
            second = channel.get();
            TOU_PRINT(printLevelWarn, "channel %u found.\r\n", id);
        }
        if (first && second)
            break;
    }
    if (!first || !second)
        return false;
    first->setSwitchChannelId(id2);
    second->setSwitchChannelId(id1);
    return true;
}

void CProxyServerImpl::getStatistics(const Memory::TSharedPtr<ProxyServerStat>& stat)
{
    if (!stat.get())
        return;
    CMutexGuard lock(m_listLock);
    stat->channels.assign(m_channels.size(), ProxyServerChannelStat());
    size_t i = 0;
    for (auto& channel : m_channels) {
        ProxyServerChannelStat& entry = stat->channels[i++];
        std::memset(&entry, 0, sizeof(entry));
        entry.inUse = 1;
        channel->getRemoteInfo(&entry.remote);
        channel->getStatistics(&entry.statistics);
    }
    stat->count = int(stat->channels.size());
}

void CProxyServerImpl::getLinkInfo(std::vector<PtcpSendQueueInfo>& records)
{
    records.clear();
    bool audio = false, video = false;
    CMutexGuard lock(m_listLock);
    for (auto it = m_channels.rbegin(); it != m_channels.rend() && !(audio && video); ++it) {
        const int media = (*it)->getMediaType();
        bool& seen = media == 1 ? audio : video;
        if ((media != 1 && media != 2) || seen)
            continue;
        seen = true;
        PtcpSendQueueInfo info;
        (*it)->getSendQueueInfo(&info);
        info.reserved = uint32_t(media);
        records.push_back(info);
    }
}

} // namespace Tou
} // namespace Orvan
