#include "p2pserver/P2PServerSim.h"

#include "P2PSDK/HttpMessage.h"
#include "nattraver/net/Address.h"
#include "nattraver/stunpro/StunMsg.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

using namespace Orvan::Tou;
using Orvan::NATTraver::Address;
using Orvan::NATTraver::CStunMSG;

namespace p2psim {

namespace {

std::string AddrText(const void* sa)
{
    const sockaddr_in* in = static_cast<const sockaddr_in*>(sa);
    char ip[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &in->sin_addr, ip, sizeof(ip));
    return std::string(ip) + ":" + std::to_string(ntohs(in->sin_port));
}

bool ParseAddr(const std::string& text, sockaddr_in& out)
{
    size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        return false;
    out = {};
    out.sin_family = AF_INET;
    out.sin_port = htons(uint16_t(std::atoi(text.c_str() + colon + 1)));
    return inet_pton(AF_INET, text.substr(0, colon).c_str(), &out.sin_addr) == 1;
}

// "/a/b/c" -> {"a","b","c"}
std::vector<std::string> PathParts(const char* url)
{
    std::vector<std::string> parts;
    splitString(url, '/', parts);
    return parts;
}

} // namespace

P2PServerSim::P2PServerSim(const ServerOptions& options) : options_(options) {}

P2PServerSim::~P2PServerSim()
{
    Stop();
}

time_t P2PServerSim::Now() const
{
    return time(nullptr) + options_.clockOffset;
}

namespace {

// A UDP socket on ip:port (0: any free port); -1 with the reason in error.
int BindUdp(const std::string& ip, int port, int& boundPort, std::string& error)
{
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, ip.c_str(), &addr.sin_addr);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        error = "cannot bind " + ip + ":" + std::to_string(port) + ": " + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    socklen_t len = sizeof(addr);
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    boundPort = ntohs(addr.sin_port);
    return fd;
}

} // namespace

bool P2PServerSim::Start()
{
    fd_ = BindUdp(options_.ip, options_.port, port_, error_);
    if (fd_ < 0)
        return false;
    relayFd_ = BindUdp(options_.ip, 0, relayPort_, error_);
    if (relayFd_ < 0) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    stop_ = false;
    thread_ = std::thread(&P2PServerSim::Run, this);
    return true;
}

void P2PServerSim::Stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (fd_ >= 0)
        ::close(fd_);
    if (relayFd_ >= 0)
        ::close(relayFd_);
    for (Agent& a : agents_)
        ::close(a.fd);
    agents_.clear();
    fd_ = relayFd_ = -1;
}

std::vector<SeenRequest> P2PServerSim::Requests() const
{
    std::lock_guard<std::mutex> lock(mu_);
    return seen_;
}

void P2PServerSim::Run()
{
    std::vector<uint8_t> buf(kHttpBufferSize);
    while (!stop_) {
        std::vector<pollfd> fds = {{fd_, POLLIN, 0}, {relayFd_, POLLIN, 0}};
        for (const Agent& a : agents_)
            fds.push_back({a.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), 20) <= 0)
            continue;
        for (size_t i = 0; i < fds.size(); ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            sockaddr_storage from = {};
            socklen_t len = sizeof(from);
            long n = ::recvfrom(fds[i].fd, buf.data(), buf.size() - 1, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n <= 0 || from.ss_family != AF_INET || options_.silent)
                continue;
            buf[size_t(n)] = 0;
            if (i == 0)
                OnDatagram(buf.data(), int(n), &from, len);
            else if (i == 1)
                OnRelay(reinterpret_cast<const char*>(buf.data()), int(n), &from, len);
            else
                OnAgent(agents_[i - 2], reinterpret_cast<const char*>(buf.data()), int(n), &from, len);
        }
    }
}

void P2PServerSim::OnDatagram(const uint8_t* data, int length, const void* from, unsigned fromLength)
{
    if (length >= 20 && data[0] <= 1 && OnStun(data, length, from, fromLength))
        return;
    OnText(reinterpret_cast<const char*>(data), length, from, fromLength);
}

bool P2PServerSim::OnStun(const uint8_t* data, int length, const void* from, unsigned fromLength)
{
    CStunMSG request;
    if (request.parse(data, length) != 0 || request.getType() != Orvan::NATTraver::stunBindingRequest)
        return false;
    uint8_t id[12];
    request.getMessageId(id);
    CStunMSG answer;
    answer.createBindingResponse(id);
    // Keep the request's cookie field: a classic (RFC 3489) client puts transaction bytes there.
    Address source;
    source.assign(static_cast<const sockaddr*>(from), int(fromLength));
    if (options_.stunMode != ServerOptions::StunXorOnly)
        answer.addMappedAddress(source);
    uint8_t out[2048];
    int n = answer.toBuffer(out, sizeof(out));
    if (n < 0)
        return true;
    std::memcpy(out + 4, data + 4, 4);
    if (options_.stunMode != ServerOptions::StunMappedOnly) {
        // XOR-MAPPED-ADDRESS, written here because the codec's writers have no adder for it.
        const sockaddr_in* in = static_cast<const sockaddr_in*>(from);
        uint8_t attr[12] = {0x00, 0x20, 0x00, 0x08, 0x00, 0x01};
        std::memcpy(attr + 6, &in->sin_port, 2);
        std::memcpy(attr + 8, &in->sin_addr, 4);
        for (int i = 0; i < 2; ++i)
            attr[6 + i] ^= out[4 + i];
        for (int i = 0; i < 4; ++i)
            attr[8 + i] ^= out[4 + i];
        std::memcpy(out + n, attr, sizeof(attr));
        n += int(sizeof(attr));
        out[2] = uint8_t((n - 20) >> 8);
        out[3] = uint8_t(n - 20);
    }
    ::sendto(fd_, out, size_t(n), 0, static_cast<const sockaddr*>(from), fromLength);
    ++stunAnswered_;
    return true;
}

bool P2PServerSim::SignatureOk(const void* m) const
{
    const HttpMessage& msg = *static_cast<const HttpMessage*>(m);
    if (options_.key.empty())
        return true;
    long long diff = (long long)Now() - (long long)parseIsoTime(msg.created);
    if (diff > options_.allowedSkew || diff < -options_.allowedSkew)
        return false;
    std::string user = msg.username;
    std::string secret = user.find('\\') == std::string::npos ? "ZRP2P:" + user + ":" + options_.key : options_.key;
    char digest[32];
    computeWsseDigest(msg.nonce, msg.created, digest, secret.c_str());
    return std::strcmp(digest, msg.passwordDigest) == 0;
}

void P2PServerSim::SendText(const std::string& text, const void* to, unsigned toLength)
{
    ::sendto(fd_, text.data(), text.size(), 0, static_cast<const sockaddr*>(to), toLength);
}

void P2PServerSim::Reply(const void* to, unsigned toLength, int cseq, int status, const char* reason,
                         const std::map<std::string, std::string>& fields, const std::string& raw, bool challenge)
{
    HttpMessage msg;
    std::string body;
    buildResponseMessage(cseq, status, reason, fields, msg, body);
    if (challenge) {
        setUnauthorizedResponse(msg);
        formatIsoTime(msg.date, sizeof(msg.date), Now());
    }
    if (!raw.empty()) {
        std::strcpy(msg.contentType, "application/json");
        msg.body = raw.c_str();
        msg.contentLength = int(raw.size());
    }
    char out[kHttpBufferSize];
    int n = serializeHttpMessage(&msg, out, sizeof(out));
    if (n < 0)
        return;
    if (options_.strayFirst) {
        HttpMessage stray = msg;
        stray.CSeq = cseq + 1;
        stray.status = 404;
        char strayOut[kHttpBufferSize];
        int m = serializeHttpMessage(&stray, strayOut, sizeof(strayOut));
        if (m > 0)
            SendText(std::string(strayOut, size_t(m)), to, toLength);
    }
    SendText(std::string(out, size_t(n)), to, toLength);
}

void P2PServerSim::OnText(const char* data, int length, const void* from, unsigned fromLength)
{
    HttpMessage msg;
    if (parseHttpMessage(&msg, data, length) < 0)
        return;
    ++handled_;
    std::string source = AddrText(from);
    std::string body = msg.contentLength > 0 ? std::string(msg.body, size_t(msg.contentLength)) : std::string();

    if (msg.kind == kHttpResponse) {
        // A device's answer to a forwarded request goes back to the client that asked.
        std::string client;
        {
            std::lock_guard<std::mutex> lock(mu_);
            auto it = pending_.find(msg.CSeq);
            if (it == pending_.end())
                return;
            client = it->second;
            if (msg.status >= 200)
                pending_.erase(it);
        }
        sockaddr_in to;
        if (ParseAddr(client, to))
            SendText(std::string(data, size_t(length)), &to, sizeof(to));
        return;
    }

    {
        std::lock_guard<std::mutex> lock(mu_);
        if (seen_.size() < 10000)
            seen_.push_back({msg.kind == kHttpGet ? "GET" : "POST", msg.url, msg.CSeq, msg.wsse != 0, msg.created,
                             source});
    }
    if (msg.wsse && (options_.alwaysChallenge || !SignatureOk(&msg))) {
        Reply(from, fromLength, msg.CSeq, 401, "Unauthorized", {}, std::string(), true);
        return;
    }

    std::vector<std::string> parts = PathParts(msg.url);
    const std::string self = ":" + std::to_string(port_);
    auto is = [&](size_t n, const char* a, const char* b = nullptr) {
        return parts.size() == n && parts[0] == a && (!b || parts[1] == b);
    };
    if (is(2, "probe", "p2psrv")) {
        Reply(from, fromLength, msg.CSeq, 200, "OK", {});
    } else if (is(3, "online", "p2psrv")) {
        Reply(from, fromLength, msg.CSeq, 200, "OK", {{"US", self}, {"DS", self}});
    } else if (is(3, "heartbeat", "device") || is(3, "setup", "device")) {
        if (parts[0] == "heartbeat") {
            std::lock_guard<std::mutex> lock(mu_);
            Device& d = devices_[parts[2]];
            d.addr = source; // forwarded requests go where heartbeats come from
            d.lastHeartbeat = time(nullptr);
            if (!body.empty())
                d.info = body;
        }
        Reply(from, fromLength, msg.CSeq, 200, "OK", {});
    } else if (is(3, "probe", "device") || is(3, "info", "device")) {
        Device d;
        bool known;
        {
            std::lock_guard<std::mutex> lock(mu_);
            auto it = devices_.find(parts[2]);
            known = it != devices_.end() && time(nullptr) - it->second.lastHeartbeat <= 75;
            if (known)
                d = it->second;
        }
        if (!known)
            Reply(from, fromLength, msg.CSeq, 404, "Not Found", {});
        else if (parts[0] == "probe")
            Reply(from, fromLength, msg.CSeq, 200, "OK", {});
        else
            Reply(from, fromLength, msg.CSeq, 200, "OK", {}, d.info.empty() ? "{}" : d.info);
    } else if (is(2, "online", "stun")) {
        const std::string stun =
            options_.stunService.empty() ? options_.ip + ":" + std::to_string(port_) : options_.stunService;
        Reply(from, fromLength, msg.CSeq, 200, "OK",
              {{"STUN", stun}, {"PortNum", std::to_string(options_.stunPortNum)}});
    } else if (is(2, "online", "relay")) {
        Reply(from, fromLength, msg.CSeq, 200, "OK", {{"Address", options_.ip + ":" + std::to_string(relayPort_)}});
    } else if (is(3, "p2p", "stun")) {
        FieldMap fields;
        parseXmlBody(body.c_str(), fields);
        size_t colon = source.rfind(':');
        Reply(from, fromLength, msg.CSeq, 200, "OK",
              {{"ip", source.substr(0, colon)}, {"port", source.substr(colon + 1)}, {"seq", fields["seq"]}});
    } else if (parts.size() == 3 && parts[0] == "device") {
        std::string deviceAddr;
        {
            std::lock_guard<std::mutex> lock(mu_);
            auto it = devices_.find(parts[1]);
            if (it != devices_.end()) {
                deviceAddr = it->second.addr;
                pending_[msg.CSeq] = source;
            }
        }
        sockaddr_in to;
        if (deviceAddr.empty() || !ParseAddr(deviceAddr, to)) {
            Reply(from, fromLength, msg.CSeq, 404, "Not Found", {});
            return;
        }
        // The device needs the client's public address, which only this server sees.
        FieldMap fields;
        parseXmlBody(body.c_str(), fields);
        if (parts[2] == "p2p-channel")
            fields["PubAddr"] = source;
        HttpMessage fwd = msg;
        std::string fwdBody;
        buildXmlBody(fields, fwdBody);
        fwd.body = fields.empty() ? nullptr : fwdBody.c_str();
        fwd.contentLength = fields.empty() ? 0 : int(fwdBody.size());
        char out[kHttpBufferSize];
        int n = serializeHttpMessage(&fwd, out, sizeof(out));
        if (n > 0)
            SendText(std::string(out, size_t(n)), &to, sizeof(to));
    } else {
        Reply(from, fromLength, msg.CSeq, 404, "Not Found", {});
    }
}

void P2PServerSim::ReplyOn(int fd, const void* to, unsigned toLength, int cseq, int status, const char* reason,
                           const std::map<std::string, std::string>& fields)
{
    HttpMessage msg;
    std::string body;
    buildResponseMessage(cseq, status, reason, fields, msg, body);
    char out[kHttpBufferSize];
    int n = serializeHttpMessage(&msg, out, sizeof(out));
    if (n > 0)
        ::sendto(fd, out, size_t(n), 0, static_cast<const sockaddr*>(to), toLength);
}

// Relay server: "/relay/agent" opens an agent port with a token of its own.
void P2PServerSim::OnRelay(const char* data, int length, const void* from, unsigned fromLength)
{
    HttpMessage msg;
    if (parseHttpMessage(&msg, data, length) < 0 || msg.kind == kHttpResponse)
        return;
    ++handled_;
    if (std::strcmp(msg.url, "/relay/agent") != 0 || agents_.size() >= 64) {
        ReplyOn(relayFd_, from, fromLength, msg.CSeq, 404, "Not Found", {});
        return;
    }
    Agent agent;
    std::string err;
    agent.fd = BindUdp(options_.ip, 0, agent.port, err);
    if (agent.fd < 0) {
        ReplyOn(relayFd_, from, fromLength, msg.CSeq, 500, "Internal Server Error", {});
        return;
    }
    char token[32];
    std::snprintf(token, sizeof(token), "%08x%04x", unsigned(generateRandomId()), unsigned(agents_.size()));
    agent.token = token;
    agents_.push_back(agent);
    ReplyOn(relayFd_, from, fromLength, msg.CSeq, 200, "OK",
            {{"Agent", options_.ip + ":" + std::to_string(agent.port)}, {"Token", agent.token}});
}

// Agent port: "/relay/start/<token>" names the client; the first other source is the device.
// After that, datagrams of either side go to the other, whatever they hold.
void P2PServerSim::OnAgent(Agent& agent, const char* data, int length, const void* from, unsigned fromLength)
{
    const std::string source = AddrText(from);
    if (agent.client.empty() || source == agent.client) {
        HttpMessage msg;
        if (parseHttpMessage(&msg, data, length) >= 0 && msg.kind != kHttpResponse &&
            std::strncmp(msg.url, "/relay/start/", 13) == 0) {
            bool ok = agent.token == msg.url + 13;
            if (ok)
                agent.client = source;
            ReplyOn(agent.fd, from, fromLength, msg.CSeq, ok ? 200 : 403, ok ? "OK" : "Forbidden", {});
            return;
        }
    }
    if (agent.client.empty())
        return;
    if (agent.device.empty() && source != agent.client)
        agent.device = source;
    const std::string& target = source == agent.client ? agent.device : agent.client;
    sockaddr_in to;
    if (!target.empty() && (source == agent.client || source == agent.device) && ParseAddr(target, to))
        ::sendto(agent.fd, data, size_t(length), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
}

} // namespace p2psim
