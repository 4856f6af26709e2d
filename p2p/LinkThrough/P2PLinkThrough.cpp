#include "LinkThrough/P2PLinkThrough.h"

#include "Infra3/Time.h"
#include "LinkThrough/LinkSupport.h"
#include "LinkThrough/P2PMessageParser.h"
#include "P2PSDK/Print.h"
#include "P2PSDK/StateName.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace Orvan {
namespace Tou {

using NATTraver::CandidateAddr;
using NATTraver::ConnInfo;
using NATTraver::IICEAgent;

namespace {

enum
{
    kMaxLocalAddresses = 12
};

// The dotted text of the bitwise complement of an IPv4 address; empty for anything else.
std::string complementIp(const std::string& ip)
{
    in_addr addr;
    if (inet_pton(AF_INET, ip.c_str(), &addr) != 1)
        return std::string();
    addr.s_addr = ~addr.s_addr;
    char text[INET_ADDRSTRLEN];
    return inet_ntop(AF_INET, &addr, text, sizeof(text)) ? text : std::string();
}

} // namespace

CP2PLinkThrough::CP2PLinkThrough(const P2PLinkOwnerPtr& owner, int mode, const std::string& id,
                                 const LinkResultProc& onResult, int channelType, int seq, bool portGuess,
                                 bool multiHolePunch, uint16_t localPort)
    : m_owner(owner), m_id(id), m_socket(new Socket(true)), m_createdAt(Infra::CTime::getTickCountMs()),
      m_onResult(onResult), m_channelType(channelType), m_seq(seq), m_localPort(localPort),
      m_localValueT(NATTraver::kValueTUnknown), m_remoteValueT(NATTraver::kValueTUnknown), m_mode(mode),
      m_portGuess(portGuess), m_multiHolePunch(multiHolePunch)
{
    if (m_socket->bind(Address("0.0.0.0", 0)) != 0)
        TOU_PRINT(printLevelError, "bind link socket failed! localPort:%d\n", int(m_localPort));
    std::vector<std::string> ips;
    Address::getLocalIP(ips);
    m_localIps.insert(ips.begin(), ips.end());
    std::memset(&m_conn, 0, sizeof(m_conn));
    std::memset(&m_localCand, 0, sizeof(m_localCand));
    std::memset(&m_iceConfig, 0, sizeof(m_iceConfig));
}

CP2PLinkThrough::~CP2PLinkThrough()
{
    TOU_PRINT(printLevelTrace, "[%p][%u]release CP2PLinkThrough state[%s]! localPort:%d\n", static_cast<void*>(this),
              unsigned(m_seq), stateText(getState()).c_str(), int(m_localPort));
    // Released outside the lock: their threads may be waiting for it in onIce or onStun.
    m_iceAgent = Component::TComPtr<IICEAgent>();
    m_stunClient = Component::TComPtr<NATTraver::IStunClient>();
}

std::string CP2PLinkThrough::stateText(int state)
{
    return CStateName::text(&CStateName::getDirectChannelStateName, state);
}

int CP2PLinkThrough::getState()
{
    return m_state.low();
}

void CP2PLinkThrough::setState(uint32_t value)
{
    m_state.set(value);
}

void CP2PLinkThrough::setLowByte(int state)
{
    setState(uint32_t(state) & 0xFF);
}

bool CP2PLinkThrough::setStunConfig(const NATTraver::StunConfig& config)
{
    m_stunConfig = config;
    m_state.restart(flagStunArmed);
    return true;
}

bool CP2PLinkThrough::isStunArmed()
{
    return m_state.has(flagStunArmed);
}

bool CP2PLinkThrough::isIceArmed()
{
    return m_state.has(flagIceArmed);
}

bool CP2PLinkThrough::getCandidateAddr(CandidateAddr& out)
{
    int state = getState();
    if (state <= directStunStart || state == directStunFail) {
        TOU_PRINT(printLevelError, "get nat info error, check stun server!\n");
        return false;
    }
    out = m_localCand;
    return true;
}

bool CP2PLinkThrough::setRemoteCandidateAddr(const CandidateAddr& remote)
{
    m_iceConfig = remote;
    setState(flagIceArmed);
    return true;
}

void CP2PLinkThrough::setLocalValueT(int valueT)
{
    TOU_PRINT(printLevelWarn, "set Local Value T: %d\n", valueT);
    m_localValueT = valueT;
}

int CP2PLinkThrough::getLocalValueT()
{
    if (!m_portGuess)
        m_localValueT = NATTraver::kValueTNoGuess;
    else if (!m_multiHolePunch)
        m_localValueT = NATTraver::kValueTOldFlow;
    return m_localValueT;
}

void CP2PLinkThrough::setRemoteValueT(int valueT)
{
    TOU_PRINT(printLevelWarn, "set Remote Value T: %d\n", valueT);
    m_remoteValueT = valueT;
}

int CP2PLinkThrough::startStun(int userValue)
{
    if (!isStunArmed())
        return 0;
    if (m_mode == 1) {
        Address local;
        m_socket->getLocalAddress(local);
        m_localCand.count = 1;
        copyText(m_localCand.addresses[0].ip, sizeof(m_localCand.addresses[0].ip), local.getIp());
        m_localCand.addresses[0].port = local.getPort();
        IICEAgent::generateID(m_localCand.localIdentify, 8);
        setLowByte(directStunSuccess);
        return 1;
    }
    m_stunClient = NATTraver::createStunClient();
    if (m_stunClient.empty()) {
        setLowByte(directStunFail);
        TOU_PRINT(printLevelError, "create stun client failed\n");
        return 0;
    }
    NATTraver::StunConfig config = m_stunConfig;
    config.fd = m_socket->getFd();
    config.timeoutMs = 3000;
    config.async = 1;
    config.handler = NATTraver::StunHandler(&CP2PLinkThrough::onStun, this);
    config.userData = userValue;
    m_stunClient->setConfig(config);
    setLowByte(directStunStart);
    m_stunClient->sendBindingRequest();
    return 1;
}

void CP2PLinkThrough::onStun(bool success, const NATTraver::StunResult& result, int)
{
    if (!success) {
        TOU_PRINT(printLevelWarn, "STUN check FAIL!\n");
        setLowByte(directStunFail);
        return;
    }
    TOU_PRINT(printLevelTrace, "STUN check sucess!\n");
    Address local;
    m_socket->getLocalAddress(local);
    m_localCand.count = 2;
    copyText(m_localCand.addresses[0].ip, sizeof(m_localCand.addresses[0].ip), local.getIp());
    m_localCand.addresses[0].port = local.getPort();
    char ip[128];
    std::memcpy(ip, result.ip, sizeof(ip));
    ip[sizeof(ip) - 1] = '\0';
    copyText(m_localCand.addresses[1].ip, sizeof(m_localCand.addresses[1].ip), ip);
    m_localCand.addresses[1].port = result.port;
    m_localCand.checkTimeoutMs = 2000;
    m_localCand.fd = m_socket->getFd();
    IICEAgent::generateID(m_localCand.localIdentify, 8);
    setLowByte(directStunSuccess);
}

int CP2PLinkThrough::startIce(bool peerFlag)
{
    if (!isIceArmed())
        return 0;
    m_stunClient = Component::TComPtr<NATTraver::IStunClient>();
    m_iceAgent = NATTraver::createIceAgent();
    if (m_iceAgent.empty()) {
        setLowByte(directIceFail);
        TOU_PRINT(printLevelError, "create ice agent failed\n");
        return 0;
    }
    m_iceConfig.fd = m_socket->getFd();
    m_iceConfig.checkTimeoutMs = m_mode == 1 ? 2000 : 4000;
    std::memcpy(m_iceConfig.localIdentify, m_localCand.localIdentify, 8);
    m_iceConfig.localValueT = getLocalValueT();
    m_iceConfig.remoteValueT = m_remoteValueT;
    m_iceAgent->setConfig(m_iceConfig);
    m_iceAgent->setConnInfoHandler(NATTraver::ConnInfoHandler(&CP2PLinkThrough::onIce, this), 0);
    setLowByte(directIceStart);
    if (peerFlag)
        m_iceAgent->setInvertMode();
    if (m_iceAgent->startConnectCheck())
        return 1;
    setLowByte(directIceFail);
    TOU_PRINT(printLevelError, "start ice fail!\n");
    return 0;
}

void CP2PLinkThrough::onIce(bool success, const ConnInfo* result, int)
{
    if (!success || !result) {
        TOU_PRINT(printLevelWarn, "ICE check fail!\n");
        setLowByte(directIceFail);
        return;
    }
    TOU_PRINT(printLevelTrace, "ICE check sucess!\n");
    m_conn = *result;
    if (result->fd != m_socket->getFd())
        m_socket = SocketPtr(new Socket(result->fd, true));
    setLinkBuffers(*m_socket);
    setLowByte(directIceSuccess);
}

void CP2PLinkThrough::getRemoteInfo(LinkRemoteInfo& info)
{
    std::memset(&info, 0, sizeof(info));
    copyText(info.id, sizeof(info.id), m_id.c_str());
    copyText(info.ip, sizeof(info.ip), m_conn.remoteIp);
    info.port = m_conn.remotePort;
}

LinkChannelInfo CP2PLinkThrough::makeChannelInfo()
{
    return makeLinkInfo(m_id, m_socket, m_conn, m_channelType, m_localPort, m_peerVersion);
}

bool CP2PLinkThrough::loadLocalIps()
{
    if (m_localIps.empty()) {
        std::vector<std::string> ips;
        Address::getLocalIP(ips);
        m_localIps.insert(ips.begin(), ips.end());
        if (m_localIps.empty()) {
            TOU_PRINT(printLevelError, "get localIP failed\n");
            return false;
        }
    }
    return true;
}

void CP2PLinkThrough::packNatInfo(FieldMap& fields, const CandidateAddr& local, const char* version)
{
    std::set<std::string> disguised;
    for (const std::string& ip : m_localIps) {
        std::string text = complementIp(ip);
        if (!text.empty())
            disguised.insert(text);
    }
    fields["IpEncrpt"] = "true";
    fields["version"] = version;
    fields["NatValueT"] = std::to_string(getLocalValueT());
    CP2PMessageParser().packCandidate(local, disguised, fields, kMaxLocalAddresses);
}

} // namespace Tou
} // namespace Orvan
