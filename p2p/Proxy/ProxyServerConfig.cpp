#include "Proxy/ProxyServerConfig.h"

namespace Orvan {
namespace Tou {

bool CProxyServerConfig::setConfig(unsigned option, int value)
{
    Infra::CMutexGuard lock(m_lock);
    if (option == proxyOptRemoteCommand)
        return setFlag(m_remoteCommand, "set config[Remote Command] value[%d]\r\n", value);
    return setCommon(option, value);
}

int CProxyServerConfig::getConfig(unsigned option)
{
    Infra::CMutexGuard lock(m_lock);
    if (option == proxyOptRemoteCommand)
        return m_remoteCommand;
    return getCommon(option);
}

} // namespace Tou
} // namespace Orvan
