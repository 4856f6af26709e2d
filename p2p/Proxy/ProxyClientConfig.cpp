#include "Proxy/ProxyClientConfig.h"

#include "P2PSDK/Print.h"

#include <mutex>

namespace Orvan {
namespace Tou {
namespace {

std::mutex g_switchSpaceLock;
CProxyClientConfig::LinkSwitchSpaceSetter g_switchSpaceSetter = nullptr;
bool g_switchSpacePending = false;
int64_t g_switchSpace = 0;

void handOverLinkSwitchSpace(int64_t value)
{
    CProxyClientConfig::LinkSwitchSpaceSetter setter;
    {
        std::lock_guard<std::mutex> lock(g_switchSpaceLock);
        g_switchSpace = value;
        g_switchSpacePending = g_switchSpaceSetter == nullptr;
        setter = g_switchSpaceSetter;
    }
    if (setter)
        setter(value);
}

} // namespace

void CProxyClientConfig::setLinkSwitchSpaceSetter(LinkSwitchSpaceSetter setter)
{
    bool pending;
    int64_t value;
    {
        std::lock_guard<std::mutex> lock(g_switchSpaceLock);
        g_switchSpaceSetter = setter;
        pending = g_switchSpacePending && setter;
        value = g_switchSpace;
        if (pending)
            g_switchSpacePending = false;
    }
    if (pending)
        setter(value);
}

CProxyClientConfig::CProxyClientConfig() {}

bool CProxyClientConfig::setConfig(unsigned option, int value)
{
    Infra::CMutexGuard lock(m_lock);
    switch (option) {
    case proxyOptRelay:
        return setFlag(m_relay, "set config[Relay] value[%d]\r\n", value);
    case proxyOptLinkSwitch:
        return setFlag(m_linkSwitch, "set config[Link Switch] value[%d]\r\n", value);
    case proxyOptLinkSwitchSpace:
        handOverLinkSwitchSpace(int64_t(value));
        TOU_PRINT(printLevelTrace, "set config[LinkSwitchSpace] value[%d]\r\n", value);
        return true;
    default:
        return setCommon(option, value);
    }
}

int CProxyClientConfig::getConfig(unsigned option)
{
    Infra::CMutexGuard lock(m_lock);
    switch (option) {
    case proxyOptRelay:
        return m_relay;
    case proxyOptLinkSwitch:
        return m_linkSwitch;
    default:
        return getCommon(option);
    }
}

} // namespace Tou
} // namespace Orvan
