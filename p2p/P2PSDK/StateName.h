#ifndef ORVAN_TOU_STATENAME_H
#define ORVAN_TOU_STATENAME_H

#include <cstddef>
#include <map>
#include <string>

namespace Orvan {
namespace Tou {

// Texts of the numeric channel and session states, for log lines.
class CStateName
{
public:
    static CStateName* instance();

    bool getProxyStateName(int state, char* buf, size_t size) const;
    bool getP2PChannelStateName(int state, char* buf, size_t size) const;
    bool getDirectChannelStateName(int state, char* buf, size_t size) const;
    bool getProxyChannelStateName(int state, char* buf, size_t size) const;
    bool getP2PClientStateName(int state, char* buf, size_t size) const;
    bool getSessionStateName(int state, char* buf, size_t size) const;
    bool getRelayChannelStateName(int state, char* buf, size_t size) const;
    bool getLocalChannelStateName(int state, char* buf, size_t size) const;
    bool getPtcpChannelStateName(int state, char* buf, size_t size) const;

    using Getter = bool (CStateName::*)(int state, char* buf, size_t size) const;
    // What getter gives for state (at most 63 characters), or "unkown state".
    static std::string text(Getter getter, int state);

private:
    using Table = std::map<int, std::string>;
    CStateName();
    static bool lookup(const Table& table, int state, char* buf, size_t size);

    Table m_proxy, m_p2pChannel, m_directChannel, m_proxyChannel, m_p2pClient, m_session, m_relayChannel,
        m_localChannel, m_ptcpChannel;
};

} // namespace Tou
} // namespace Orvan

#endif
