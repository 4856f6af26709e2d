// Logins: the TCP session to a device, requests with their waits, the reader thread that
// notices a lost connection, and logout.
#include "devsdk/SdkCore.h"

#include "devsdk/NetInfoCodec.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace devsdk {

Socket::~Socket()
{
    if (fd >= 0)
        close(fd);
}

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

int Remaining(int64_t deadline)
{
    int64_t r = deadline - NowMs();
    return r < 0 ? 0 : int(std::min<int64_t>(r, 1 << 30));
}

} // namespace

SocketPtr ConnectTo(const std::string& ip, int port, int64_t deadline, bool* refused)
{
    *refused = true;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(uint16_t(port));
    if (port <= 0 || port > 65535 || inet_pton(AF_INET, ip.c_str(), &sa.sin_addr) != 1)
        return nullptr;
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    SocketPtr sock = std::make_shared<Socket>(fd);
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        if (errno != EINPROGRESS)
            return nullptr;
        pollfd p{fd, POLLOUT, 0};
        int r = poll(&p, 1, Remaining(deadline));
        if (r <= 0) {
            *refused = false;
            return nullptr;
        }
        int err = 0;
        socklen_t len = sizeof err;
        getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
        if (err != 0) {
            *refused = err == ECONNREFUSED || err == ENETUNREACH || err == EHOSTUNREACH;
            return nullptr;
        }
    }
    // Back to blocking: the reader thread blocks in recv, senders poll with their deadline.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return sock;
}

bool SendAll(int fd, const std::string& bytes, int64_t deadline)
{
    size_t off = 0;
    while (off < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            off += size_t(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, Remaining(deadline)) <= 0)
                return false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return false;
    }
    return true;
}

int RecvFrame(int fd, wire::FrameReader& reader, int64_t deadline, wire::Frame& out)
{
    char buf[16384];
    for (;;) {
        wire::FrameReader::Status st = reader.Next(out);
        if (st == wire::FrameReader::kFrame)
            return 0;
        if (st == wire::FrameReader::kBad)
            return 2;
        pollfd p{fd, POLLIN, 0};
        int r = poll(&p, 1, Remaining(deadline));
        if (r == 0)
            return 1;
        if (r < 0 && errno == EINTR)
            continue;
        ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n == 0)
            return 2;
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            return 2;
        }
        reader.Feed(buf, size_t(n));
    }
}

bool OneShot(const std::string& ip, int port, uint16_t op, const Json::Value& body, int waitMs, Json::Value& reply)
{
    int64_t deadline = NowMs() + (waitMs > 0 ? waitMs : 1000);
    bool refused = false;
    SocketPtr sock = ConnectTo(ip, port, deadline, &refused);
    if (!sock)
        return Fail(SDK_NETWORK_ERROR);
    if (!SendAll(sock->fd, wire::Encode(wire::kRequest, op, 1, body), deadline))
        return Fail(SDK_NETWORK_ERROR);
    wire::FrameReader reader;
    wire::Frame f;
    int r = RecvFrame(sock->fd, reader, deadline, f);
    if (r != 0)
        return Fail(SDK_NETWORK_ERROR);
    if (f.kind != wire::kReply || f.seq != 1 || !wire::ParseObject(f.json, reply))
        return Fail(SDK_RETURN_DATA_ERROR);
    DWORD code = DWORD(wire::GetInt(reply, "error", SDK_RETURN_DATA_ERROR));
    if (code != 0)
        return Fail(code);
    return Ok();
}

SocketPtr Core::Handshake(const std::string& ip, int port, const std::string& user, const std::string& pwd, int spec,
                          int waitMs, Json::Value& reply, int* loginError, DWORD* lastError)
{
    int64_t deadline = NowMs() + waitMs;
    bool refused = false;
    SocketPtr sock = ConnectTo(ip, port, deadline, &refused);
    if (!sock) {
        *loginError = refused ? SDK_LOGIN_CONNECT_FAILED : SDK_LOGIN_TIMEOUT;
        *lastError = refused ? SDK_LOGIN_ERROR_CONNECT : SDK_LOGIN_ERROR_TIMEOUT;
        return nullptr;
    }
    Json::Value body(Json::objectValue);
    body["user"] = user;
    body["password"] = pwd;
    body["spec"] = spec;
    wire::FrameReader reader;
    wire::Frame f;
    int r = SendAll(sock->fd, wire::Encode(wire::kRequest, wire::kOpLogin, 0, body), deadline)
                ? RecvFrame(sock->fd, reader, deadline, f)
                : 2;
    if (r == 1) {
        *loginError = SDK_LOGIN_TIMEOUT;
        *lastError = SDK_LOGIN_ERROR_TIMEOUT;
        return nullptr;
    }
    if (r == 2 || f.kind != wire::kReply || f.op != wire::kOpLogin || !wire::ParseObject(f.json, reply)) {
        *loginError = SDK_LOGIN_CONNECTION_LOST;
        *lastError = SDK_LOGIN_ERROR_NETWORK;
        return nullptr;
    }
    // PROTOCOL.md, "Emulated behaviour": a bad answer fails the login as a lost connection (9).
    const int64_t code = wire::GetInt(reply, "error", -1);
    const int64_t e = wire::GetInt(reply, "loginError", -1);
    if (code < 0 || code > 0xFFFFFFFFLL || (code != 0 && (e < 1 || e > 10))) {
        *loginError = SDK_LOGIN_CONNECTION_LOST;
        *lastError = SDK_LOGIN_ERROR_NETWORK;
        return nullptr;
    }
    if (code != 0) {
        *loginError = int(e);
        *lastError = DWORD(code);
        return nullptr;
    }
    *loginError = 0;
    *lastError = 0;
    return sock;
}

LONG Core::Login(const char* ip, int port, const char* user, const char* pwd, int spec, SDK_LOGIN_DEVICE_INFO* info,
                 int* error)
{
    int dummy = 0;
    int& err = error ? *error : dummy;
    err = SDK_LOGIN_CONNECT_FAILED;
    if (!inited_)
        return Fail(SDK_NOINIT);
    if (!ip || !*ip || !user || (spec != EM_LOGIN_SPEC_CAP_TCP && spec != EM_LOGIN_SPEC_CAP_P2P))
        return Fail(SDK_ILLEGAL_PARAM);
    if (port <= 0 || port > 65535)
        return Fail(SDK_LOGIN_ERROR_CONNECT);
    Json::Value reply;
    DWORD lastError = 0;
    SocketPtr sock = Handshake(ip, port, user, pwd ? pwd : "", spec, LoginWait(), reply, &err, &lastError);
    if (!sock)
        return Fail(lastError);
    auto s = std::make_shared<Session>();
    s->handle = NewHandle();
    s->ip = ip;
    s->port = port;
    s->user = user;
    s->password = pwd ? pwd : "";
    s->spec = spec;
    s->sock = sock;
    {
        std::lock_guard<std::mutex> lk(mu_);
        if (!inited_ || stopping_ || cleaning_)
            return Fail(SDK_NOINIT);
        sessions_[s->handle] = s;
    }
    StartReader(s, sock);
    if (info)
        FillLoginInfo(reply, *info);
    err = 0;
    SetLastError(0);
    return s->handle;
}

void Core::StartReader(const SessionPtr& s, const SocketPtr& sock)
{
    {
        std::lock_guard<std::mutex> lk(mu_);
        ++readers_;
    }
    std::thread([this, s, sock] {
        wire::FrameReader reader;
        char buf[16384];
        for (;;) {
            ssize_t n = recv(sock->fd, buf, sizeof buf, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            reader.Feed(buf, size_t(n));
            wire::Frame f;
            wire::FrameReader::Status st;
            while ((st = reader.Next(f)) == wire::FrameReader::kFrame) {
                if (f.kind == wire::kEvent) {
                    std::function<void(const wire::Frame&)> sink;
                    {
                        std::lock_guard<std::mutex> lk(s->mu);
                        auto it = s->sinks.find(f.op);
                        if (it != s->sinks.end())
                            sink = it->second;
                    }
                    if (sink)
                        sink(f);
                    continue;
                }
                if (f.kind != wire::kReply)
                    continue;
                std::lock_guard<std::mutex> lk(s->mu);
                auto it = s->waiters.find(f.seq);
                if (it != s->waiters.end()) {
                    it->second->frame = std::move(f);
                    it->second->done = true;
                    s->cv.notify_all();
                }
            }
            if (st == wire::FrameReader::kBad)
                break; // a device that sends garbage loses the session
        }
        OnDrop(s, sock);
        std::lock_guard<std::mutex> lk(mu_);
        --readers_;
        readersCv_.notify_all();
    }).detach();
}

void Core::OnDrop(const SessionPtr& s, const SocketPtr& sock)
{
    bool report = false;
    {
        std::lock_guard<std::mutex> lk(s->mu);
        if (s->sock == sock) {
            s->sock.reset();
            report = !s->ended;
        }
        for (auto& w : s->waiters) {
            if (!w.second->done) {
                w.second->done = true;
                w.second->error = SDK_NETWORK_ERROR;
            }
        }
        s->cv.notify_all();
    }
    shutdown(sock->fd, SHUT_RDWR);
    if (!report)
        return;
    fDisConnect cb;
    void* user;
    {
        std::lock_guard<std::mutex> lk(mu_);
        cb = disconnectCb_;
        user = disconnectUser_;
    }
    if (cb) {
        LONG h = s->handle;
        std::string ip = s->ip;
        LONG port = s->port;
        Post([cb, user, h, ip, port] { cb(h, ip.c_str(), port, user); });
    }
}

bool Core::Logout(LONG handle)
{
    SessionPtr s;
    {
        std::lock_guard<std::mutex> lk(mu_);
        auto it = sessions_.find(handle);
        if (it == sessions_.end())
            return Fail(SDK_INVALID_HANDLE);
        s = it->second;
        std::lock_guard<std::mutex> slk(s->mu);
        if (s->upgradeWatch) {
            // Keep watching: the transfer goes on, and the device's reboot after a good
            // upgrade is reported as disconnect and reconnect of this handle.
            s->watchOnly = true;
        } else {
            sessions_.erase(it);
        }
    }
    StopPlaysOf(s);
    {
        std::lock_guard<std::mutex> lk(s->mu);
        if (s->watchOnly && s->upgradeWatch)
            return Ok();
    }
    SocketPtr sock;
    {
        std::lock_guard<std::mutex> lk(s->mu);
        s->ended = true;
        sock = s->sock;
    }
    if (sock) {
        std::lock_guard<std::mutex> wlk(s->writeMu);
        std::string bye = wire::Encode(wire::kRequest, wire::kOpLogout, 0, Json::Value(Json::objectValue));
        SendAll(sock->fd, bye, NowMs() + 200);
        shutdown(sock->fd, SHUT_RDWR);
    }
    return Ok();
}

SessionPtr Core::Find(LONG handle)
{
    std::lock_guard<std::mutex> lk(mu_);
    auto it = sessions_.find(handle);
    return it == sessions_.end() ? nullptr : it->second;
}

void Core::Unwatch(const SessionPtr& s)
{
    bool end = false;
    {
        std::lock_guard<std::mutex> lk(s->mu);
        s->upgradeWatch = false;
        s->sinks.erase(wire::kOpUpgradeProgress);
        end = s->watchOnly;
    }
    if (end)
        Logout(s->handle);
}

bool Core::Call(LONG handle, uint16_t op, const Json::Value& body, int waitMs, Json::Value& reply,
                const std::string& bin, std::string* replyBin)
{
    SessionPtr s = Find(handle);
    if (!s)
        return Fail(SDK_INVALID_HANDLE);
    return CallSession(s, op, body, bin, waitMs, reply, replyBin);
}

bool Core::CallSession(const SessionPtr& s, uint16_t op, const Json::Value& body, const std::string& bin, int waitMs,
                       Json::Value& reply, std::string* replyBin)
{
    int64_t deadline = NowMs() + (waitMs > 0 ? waitMs : 1000);
    Waiter w;
    uint32_t seq;
    SocketPtr sock;
    {
        std::lock_guard<std::mutex> lk(s->mu);
        if (!s->sock)
            return Fail(SDK_NETWORK_ERROR);
        sock = s->sock;
        seq = s->nextSeq++;
        if (s->nextSeq == 0)
            s->nextSeq = 1;
        s->waiters[seq] = &w;
    }
    bool sent;
    {
        std::lock_guard<std::mutex> wlk(s->writeMu);
        sent = SendAll(sock->fd, wire::Encode(wire::kRequest, op, seq, body, bin), deadline);
    }
    std::unique_lock<std::mutex> lk(s->mu);
    if (sent)
        s->cv.wait_until(lk, std::chrono::steady_clock::now() + std::chrono::milliseconds(Remaining(deadline)),
                         [&] { return w.done; });
    s->waiters.erase(seq);
    if (!w.done)
        return Fail(SDK_NETWORK_ERROR);
    if (w.error)
        return Fail(w.error);
    lk.unlock();
    if (!wire::ParseObject(w.frame.json, reply))
        return Fail(SDK_RETURN_DATA_ERROR);
    DWORD code = DWORD(wire::GetInt(reply, "error", SDK_RETURN_DATA_ERROR));
    if (code != 0)
        return Fail(code);
    if (replyBin)
        *replyBin = std::move(w.frame.bin);
    return Ok();
}

} // namespace devsdk

// ---- Public login calls ----------------------------------------------------------------

using devsdk::Core;

LONG SdkLogin(const char* pchDVRIP, int nDVRPort, const char* pchUserName, const char* pchPassword,
              SDK_LOGIN_DEVICE_INFO* lpDeviceInfo, int* error)
{
    return Core::Get().Login(pchDVRIP, nDVRPort, pchUserName, pchPassword, EM_LOGIN_SPEC_CAP_TCP, lpDeviceInfo,
                             error);
}

LONG SdkLoginEx(const char* pchDVRIP, int nDVRPort, const char* pchUserName, const char* pchPassword, int nSpecCap,
                void* /*pCapParam*/, SDK_LOGIN_DEVICE_INFO* lpDeviceInfo, int* error)
{
    return Core::Get().Login(pchDVRIP, nDVRPort, pchUserName, pchPassword, nSpecCap, lpDeviceInfo, error);
}

BOOL SdkLogout(LONG lLoginID) { return Core::Get().Logout(lLoginID); }
