#include "P2PSDK/StateName.h"

#include <cstring>

namespace Orvan {
namespace Tou {

CStateName* CStateName::instance()
{
    static CStateName names; // made once, thread-safe
    return &names;
}

CStateName::CStateName()
{
    m_proxy = {{0, "Proxy Unauthorized"}, {1, "Proxy Forbidden"}, {2, "Proxy Offline"}, {3, "Proxy Online"}};
    m_p2pChannel = {{0, "p2p channel Init"}, {1, "p2p channel Active"}, {2, "p2p channel NonExist"}};
    m_directChannel = {{0, "direct channel Init"},        {1, "direct channel Wait Stun"},
                       {2, "direct channel Stun Start"},  {3, "direct channel Stun Sucess"},
                       {4, "direct channel Stun Fail"},   {5, "direct channel Wait Ice"},
                       {6, "direct channel Ice Start"},   {7, "direct channel Ice Sucess"},
                       {8, "direct channel Ice Fail"},    {9, "direct channel Exception"},
                       {10, "direct channel Finish"}};
    m_proxyChannel = {{0, "proxy channel Init"}, {1, "proxy channel Disconnect"}, {2, "proxy channel Conn Sucess"}};
    m_p2pClient = {{0, "p2p client Init"},         {1, "p2p client Config"},    {2, "p2p client OffLine"},
                   {3, "p2p client Login"},        {4, "p2p client Unauthorized"}, {5, "p2p client Forbidden"},
                   {6, "p2p client Online"}};
    m_session = {{0, "Session Init"},         {1, "Session Conn"},        {2, "Session Conn RepeatId"},
                 {3, "Session Conn Fail"},    {4, "Session Conn Timeout"}, {6, "Session Conn Sucess"},
                 {7, "Session DisConnect"}};
    m_relayChannel = {{0, "relay channel Init"},
                      {1, "relay channel GetRelayStart"},
                      {2, "relay channel GetRelaySuccess"},
                      {3, "relay channel GetRelayFail"},
                      {4, "relay channel AgentStart"},
                      {5, "relay channel AgentSuccess"},
                      {6, "relay channel AgentFail"},
                      {7, "relay channel StunStart"},
                      {8, "relay channel StunSuccess"},
                      {9, "relay channel StunFail"},
                      {10, "relay channel BindTokenStart"},
                      {11, "relay channel BindTokenSuccess"},
                      {12, "relay channel BindTokenFail"},
                      {16, "relay channel IceWaitConfig"},
                      {17, "relay channel IceStart"},
                      {18, "relay channel IceSucess"},
                      {19, "relay channel IceFail"}};
    m_localChannel = {{0, "local channel Init"}, {1, "local channel Wait"}, {2, "local channel Success"},
                      {3, "local channel Fail"}};
    m_ptcpChannel = {{0, "ptcp channel Init"}, {1, "ptcp channel Conn Start"}, {2, "ptcp channel Conn Fail"},
                     {3, "ptcp channel Conn Success"}, {4, "ptcp channel Disconnect"}};
}

std::string CStateName::text(Getter getter, int state)
{
    char buf[64];
    if (!(instance()->*getter)(state, buf, sizeof(buf)))
        return "unkown state";
    return buf;
}

bool CStateName::lookup(const Table& table, int state, char* buf, size_t size)
{
    auto it = table.find(state);
    if (it == table.end() || !buf || size == 0)
        return false;
    size_t n = std::min(it->second.size(), size - 1);
    std::memcpy(buf, it->second.data(), n);
    buf[n] = '\0';
    return true;
}

bool CStateName::getProxyStateName(int s, char* b, size_t n) const { return lookup(m_proxy, s, b, n); }
bool CStateName::getP2PChannelStateName(int s, char* b, size_t n) const { return lookup(m_p2pChannel, s, b, n); }
bool CStateName::getDirectChannelStateName(int s, char* b, size_t n) const { return lookup(m_directChannel, s, b, n); }
bool CStateName::getProxyChannelStateName(int s, char* b, size_t n) const { return lookup(m_proxyChannel, s, b, n); }
bool CStateName::getP2PClientStateName(int s, char* b, size_t n) const { return lookup(m_p2pClient, s, b, n); }
bool CStateName::getSessionStateName(int s, char* b, size_t n) const { return lookup(m_session, s, b, n); }
bool CStateName::getRelayChannelStateName(int s, char* b, size_t n) const { return lookup(m_relayChannel, s, b, n); }
bool CStateName::getLocalChannelStateName(int s, char* b, size_t n) const { return lookup(m_localChannel, s, b, n); }
bool CStateName::getPtcpChannelStateName(int s, char* b, size_t n) const { return lookup(m_ptcpChannel, s, b, n); }

} // namespace Tou
} // namespace Orvan
