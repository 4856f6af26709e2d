// A TCP echo service, a device end of a proxy channel driven as the proxy server drives it, and a
// proxy client whose link-throughs are scripted by the test.
#pragma once

#include "Infra3/Time.h"
#include "Proxy/ProxyChannelServer.h"
#include "ProxyClient/ProxyClientImpl.h"
#include "proxy/ProxyTestSupport.h"
#include "support/SocketEcho.h"

#include <poll.h>

#include <atomic>
#include <map>
#include <memory>
#include <thread>

namespace clienttest {

using namespace Orvan::Tou;
using Orvan::Memory::TSharedPtr;
using Orvan::NATTraver::Socket;
using proxytest::ConnectTo;
using proxytest::WaitUntil;
using proxytest::EchoService;

// The device end of one loopback path: a server proxy channel and the thread that drives it.
class DeviceEnd
{
public:
    DeviceEnd(const TSharedPtr<Socket>& socket, uint16_t localPort, uint16_t clientPort)
    {
        ProxyLink link;
        link.id = "DEVFAKE";
        link.socket = socket;
        std::strcpy(link.info.localIp, "127.0.0.1");
        std::strcpy(link.info.remoteIp, "127.0.0.1");
        link.info.localPort = localPort;
        link.info.remotePort = clientPort;
        link.mediaType = 2;
        m_channel.reset(new CProxyChannelServer(link, TSharedPtr<CProxyServerConfig>(new CProxyServerConfig),
                                                CProxyChannelServer::SwitchHandler()));
        m_driver = std::thread([this] {
            uint64_t turns = 0;
            while (!m_stop) {
                m_channel->heartbeat();
                if (++turns % 100 == 0)
                    m_channel->longTimeTaskDeal(Orvan::Infra::CTime::getTickCountMs());
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }
    ~DeviceEnd()
    {
        m_stop = true;
        m_driver.join();
    }
    CProxyChannelServer& Channel() { return *m_channel; }

private:
    std::unique_ptr<CProxyChannelServer> m_channel;
    std::atomic<bool> m_stop{false};
    std::thread m_driver;
};

// A link-through whose state the test sets.
class ScriptedAttempt : public ILinkAttempt
{
public:
    LinkThroughInfo getLinkThroughInfo() override
    {
        std::lock_guard<std::mutex> lock(m_mu);
        return m_info;
    }
    void Set(const LinkThroughInfo& info)
    {
        std::lock_guard<std::mutex> lock(m_mu);
        m_info = info;
    }

private:
    std::mutex m_mu;
    LinkThroughInfo m_info;
};

// Port events as the handler receives them.
struct PortEvents
{
    void OnEvent(int port, int result, const char* message)
    {
        std::lock_guard<std::mutex> lock(mu);
        seen.push_back({port, result, message ? message : ""});
    }
    struct Event
    {
        int port;
        int result;
        std::string message;
    };
    std::vector<Event> All()
    {
        std::lock_guard<std::mutex> lock(mu);
        return seen;
    }
    std::mutex mu;
    std::vector<Event> seen;
};

// A proxy client whose mappings get scripted link-throughs; the server it names never answers.
class ScriptedClient : public CProxyClientImpl
{
public:
    ScriptedClient(int serverPort, PortEvents& events)
        : CProxyClientImpl("127.0.0.1", serverPort, "key", PortEventHandler(&PortEvents::OnEvent, &events), "")
    {
    }
    std::shared_ptr<ScriptedAttempt> Attempt(uint16_t port)
    {
        std::lock_guard<std::mutex> lock(m_mu);
        return m_attempts[port];
    }

protected:
    LinkAttemptPtr createLinkAttempt(const std::string&, uint16_t localPort, int) override
    {
        auto attempt = std::make_shared<ScriptedAttempt>();
        LinkThroughInfo info;
        info.p2pState = linkStateRunning;
        attempt->Set(info);
        std::lock_guard<std::mutex> lock(m_mu);
        m_attempts[localPort] = attempt;
        return attempt;
    }

private:
    std::mutex m_mu;
    std::map<uint16_t, std::shared_ptr<ScriptedAttempt>> m_attempts;
};

// A UDP socket on loopback with the kernel's port, as a link-through leaves it.
inline TSharedPtr<Socket> LoopbackUdp(uint16_t* port)
{
    return TSharedPtr<Socket>(new Socket(proxytest::BoundUdp(port), true));
}

inline LinkChannelInfo ClientLink(const TSharedPtr<Socket>& socket, uint16_t localPort, uint16_t devicePort,
                                  uint16_t mappedPort)
{
    LinkChannelInfo link;
    link.id = "DEVFAKE";
    link.socket = socket;
    std::strcpy(link.conn.localIp, "127.0.0.1");
    std::strcpy(link.conn.remoteIp, "127.0.0.1");
    link.conn.localPort = localPort;
    link.conn.remotePort = devicePort;
    link.localPort = mappedPort;
    link.peerVersion = "5.2.1";
    return link;
}

using vxtest::RandomBytes;
using vxtest::RoundTrip;

// True when a connection to the port is made and then closed by the far end.
inline bool ClosedAtOnce(uint16_t port)
{
    int fd = ConnectTo(port);
    if (fd < 0)
        return false;
    pollfd p{fd, POLLIN, 0};
    char c;
    bool closed = poll(&p, 1, 3000) == 1 && recv(fd, &c, 1, MSG_DONTWAIT) == 0;
    close(fd);
    return closed;
}

} // namespace clienttest
