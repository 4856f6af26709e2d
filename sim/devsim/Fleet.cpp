#include "devsim/Fleet.h"
#include "devsim/FleetConn.h"
#include "devsim/DeviceVideo.h"

#include "devsdk/Wire.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <algorithm>
#include <cstring>

namespace devsim {

namespace wire = devsdk::wire;

struct Fleet::Dev {
    DeviceModel model;
    int udp = -1;
    int listen = -1;
    bool online = false;     // sockets bound
    bool away = false;       // rebooting: not to be bound until the timer
    explicit Dev(DeviceState s) : model(std::move(s)) {}
};

namespace {

constexpr size_t kMaxPendingOut = 8u << 20;  // answers a peer has not read
constexpr int kAcceptPauseMs = 100;

bool MakeAddr(const std::string& ip, uint16_t port, sockaddr_in& sa)
{
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    return inet_pton(AF_INET, ip.c_str(), &sa.sin_addr) == 1;
}

} // namespace

Fleet::Fleet() : Fleet(Options()) {}

Fleet::Fleet(Options opt) : opt_(opt) {}

Fleet::~Fleet() { Stop(); }

int64_t Fleet::NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

size_t Fleet::Add(DeviceState state)
{
    std::lock_guard<std::mutex> lk(mu_);
    devs_.push_back(std::make_unique<Dev>(std::move(state)));
    size_t i = devs_.size() - 1;
    if (running_) {
        BindDevice(*devs_[i], nullptr);
        Wake();
    }
    return i;
}

size_t Fleet::Size() const
{
    std::lock_guard<std::mutex> lk(mu_);
    return devs_.size();
}

std::vector<std::string> Fleet::Addresses() const
{
    std::lock_guard<std::mutex> lk(mu_);
    std::vector<std::string> out;
    out.reserve(devs_.size());
    for (const auto& d : devs_)
        out.push_back(d->model.State().ip);
    return out;
}

void Fleet::With(size_t index, const std::function<void(DeviceModel&)>& f)
{
    std::lock_guard<std::mutex> lk(mu_);
    if (index < devs_.size())
        f(devs_[index]->model);
}

DeviceState Fleet::StateOf(size_t index) const
{
    std::lock_guard<std::mutex> lk(mu_);
    return index < devs_.size() ? devs_[index]->model.State() : DeviceState();
}

bool Fleet::Online(size_t index) const
{
    std::lock_guard<std::mutex> lk(mu_);
    return index < devs_.size() && devs_[index]->online;
}

size_t Fleet::OpenSessions(size_t index) const
{
    std::lock_guard<std::mutex> lk(mu_);
    size_t n = 0;
    for (const auto& c : conns_)
        if (c.second->dev == index)
            ++n;
    return n;
}

bool Fleet::BindDevice(Dev& d, std::string* err)
{
    const DeviceState& s = d.model.State();
    sockaddr_in sa;
    if (!MakeAddr(s.ip, opt_.probePort, sa)) {
        if (err && err->empty())
            *err = "bad address " + s.ip;
        return false;
    }
    int one = 1;
    int u = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (u < 0 || bind(u, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        if (err && err->empty())
            *err = "cannot bind " + s.ip + ":" + std::to_string(opt_.probePort) + " (" + std::strerror(errno) + ")";
        if (u >= 0)
            close(u);
        return false;
    }
    MakeAddr(s.ip, uint16_t(s.port), sa);
    int l = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (l >= 0)
        setsockopt(l, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (l < 0 || bind(l, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || listen(l, 256) != 0) {
        if (err && err->empty())
            *err = "cannot listen on " + s.ip + ":" + std::to_string(s.port) + " (" + std::strerror(errno) + ")";
        close(u);
        if (l >= 0)
            close(l);
        return false;
    }
    d.udp = u;
    d.listen = l;
    d.online = true;
    size_t idx = 0;
    for (; idx < devs_.size(); ++idx)
        if (devs_[idx].get() == &d)
            break;
    udpFds_[u] = idx;
    listenFds_[l] = idx;
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = u;
    epoll_ctl(epfd_, EPOLL_CTL_ADD, u, &ev);
    ev.data.fd = l;
    epoll_ctl(epfd_, EPOLL_CTL_ADD, l, &ev);
    return true;
}

void Fleet::UnbindDevice(Dev& d)
{
    size_t idx = 0;
    for (; idx < devs_.size(); ++idx)
        if (devs_[idx].get() == &d)
            break;
    std::vector<int> fds;
    for (const auto& c : conns_)
        if (c.second->dev == idx)
            fds.push_back(c.first);
    for (int fd : fds)
        CloseConn(fd);
    if (d.udp >= 0) {
        udpFds_.erase(d.udp);
        close(d.udp);
    }
    if (d.listen >= 0) {
        listenFds_.erase(d.listen);
        close(d.listen);
    }
    d.udp = d.listen = -1;
    d.online = false;
}

bool Fleet::Start(std::string* err)
{
    std::lock_guard<std::mutex> lk(mu_);
    if (running_)
        return true;
    epfd_ = epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epfd_ < 0 || wakeFd_ < 0) {
        if (err)
            *err = "epoll unavailable";
        return false;
    }
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = wakeFd_;
    epoll_ctl(epfd_, EPOLL_CTL_ADD, wakeFd_, &ev);
    bool all = true;
    for (size_t i = 0; i < devs_.size(); ++i) {
        if (!BindDevice(*devs_[i], err)) {
            all = false;
            // Retry later: the address may be taken by a device that is moving away.
            AddTimer(NowMs() + 1000, [this, i] {
                if (i < devs_.size() && !devs_[i]->online && !devs_[i]->away)
                    BindDevice(*devs_[i], nullptr);
            });
        }
    }
    running_ = true;
    stopping_ = false;
    AddTimer(NowMs() + 1000, [this] { SweepConns(); });
    thread_ = std::thread([this] { Loop(); });
    return all;
}

void Fleet::Stop()
{
    {
        std::lock_guard<std::mutex> lk(mu_);
        if (!running_)
            return;
        stopping_ = true;
        Wake();
    }
    thread_.join();
    std::map<uint64_t, std::thread> readers;
    {
        std::lock_guard<std::mutex> lk(mu_);
        for (auto& d : devs_)
            UnbindDevice(*d);
        readers.swap(readers_);
        readersDone_.clear();
    }
    for (auto& r : readers)
        r.second.join();
    std::lock_guard<std::mutex> lk(mu_);
    timers_.clear();
    close(epfd_);
    close(wakeFd_);
    epfd_ = wakeFd_ = -1;
    running_ = false;
}

void Fleet::Wake()
{
    uint64_t one = 1;
    if (wakeFd_ >= 0) {
        ssize_t n = write(wakeFd_, &one, sizeof one);
        (void)n;
    }
}

void Fleet::AddTimer(int64_t atMs, std::function<void()> f) { timers_.emplace(atMs, std::move(f)); }

void Fleet::PauseAccept(Dev& d)
{
    const int fd = d.listen;
    epoll_ctl(epfd_, EPOLL_CTL_DEL, fd, nullptr);
    AddTimer(NowMs() + kAcceptPauseMs, [this, fd] {
        if (!listenFds_.count(fd))
            return;  // the device was unbound meanwhile
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.fd = fd;
        epoll_ctl(epfd_, EPOLL_CTL_ADD, fd, &ev);
    });
}

// Closes connections that hold part of a request, or send nothing, for too long; runs every
// second on the loop.
void Fleet::SweepConns()
{
    const int64_t now = NowMs();
    std::vector<int> stale;
    for (const auto& entry : conns_) {
        const Conn& c = *entry.second;
        const int64_t quiet = now - c.lastActive;
        bool streaming = false;
        for (const auto& p : plays_)
            streaming = streaming || p.second.conn == c.id;
        if (streaming)
            continue;
        if ((c.reader.Buffered() > 0 && quiet > opt_.partialMs) || (!c.ctx.loggedIn && quiet > opt_.idleMs) ||
            quiet > opt_.sessionIdleMs)
            stale.push_back(entry.first);
    }
    for (int fd : stale)
        CloseConn(fd);
    ReapReaders();
    AddTimer(now + 1000, [this] { SweepConns(); });
}

void Fleet::Loop()
{
    epoll_event evs[256];
    for (;;) {
        int timeout = 1000;
        {
            std::lock_guard<std::mutex> lk(mu_);
            if (stopping_)
                return;
            int64_t now = NowMs();
            while (!timers_.empty() && timers_.begin()->first <= now) {
                auto f = std::move(timers_.begin()->second);
                timers_.erase(timers_.begin());
                f();
            }
            if (!timers_.empty())
                timeout = int(std::min<int64_t>(1000, timers_.begin()->first - now));
        }
        int n = epoll_wait(epfd_, evs, 256, timeout);
        std::lock_guard<std::mutex> lk(mu_);
        if (stopping_)
            return;
        for (int i = 0; i < n; ++i) {
            int fd = evs[i].data.fd;
            if (fd == wakeFd_) {
                uint64_t v;
                ssize_t r = read(wakeFd_, &v, sizeof v);
                (void)r;
                continue;
            }
            auto u = udpFds_.find(fd);
            if (u != udpFds_.end()) {
                OnUdp(*devs_[u->second]);
                continue;
            }
            auto l = listenFds_.find(fd);
            if (l != listenFds_.end()) {
                OnAccept(*devs_[l->second]);
                continue;
            }
            auto c = conns_.find(fd);
            if (c == conns_.end())
                continue;
            if (evs[i].events & EPOLLOUT)
                FlushConn(*c->second);
            c = conns_.find(fd);
            if (c != conns_.end() && (evs[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR))) {
                if (c->second->ownReader)
                    FlushConn(*c->second); // its thread reads; a broken link ends here too
                else
                    OnConnReadable(fd);
            }
        }
    }
}

void Fleet::OnUdp(Dev& d)
{
    char buf[wire::kMaxDatagram];
    for (int k = 0; k < 64; ++k) {
        sockaddr_in from{};
        socklen_t fl = sizeof from;
        ssize_t n = recvfrom(d.udp, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fl);
        if (n < 0)
            return;
        wire::Frame f;
        if (!wire::DecodeDatagram(buf, size_t(n), f) || f.kind != wire::kRequest || f.op != wire::kOpDiscover)
            continue;
        std::string reply = wire::Encode(wire::kReply, wire::kOpDiscover, f.seq, d.model.DiscoveryInfo());
        sendto(d.udp, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), fl);
    }
}

void Fleet::OnAccept(Dev& d)
{
    size_t idx = listenFds_[d.listen];
    for (;;) {
        sockaddr_in from{};
        socklen_t fl = sizeof from;
        int fd = accept4(d.listen, reinterpret_cast<sockaddr*>(&from), &fl, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // Out of descriptors or memory: the pending connection stays queued and the listening
            // socket readable, so accepting again at once would spin.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                PauseAccept(d);
            return;
        }
        int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto c = std::make_unique<Conn>();
        c->fd = fd;
        c->dev = idx;
        char ip[INET_ADDRSTRLEN] = "";
        inet_ntop(AF_INET, &from.sin_addr, ip, sizeof ip);
        c->ctx.peerIp = ip;
        c->id = nextConnId_++;
        c->lastActive = NowMs();
        connIds_[c->id] = fd;
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.fd = fd;
        epoll_ctl(epfd_, EPOLL_CTL_ADD, fd, &ev);
        conns_[fd] = std::move(c);
    }
}

void Fleet::CloseConn(int fd)
{
    auto it = conns_.find(fd);
    if (it == conns_.end())
        return;
    devs_[it->second->dev]->model.SessionClosed(it->second->ctx);
    connIds_.erase(it->second->id);
    epoll_ctl(epfd_, EPOLL_CTL_DEL, fd, nullptr);
    if (it->second->ownReader)
        shutdown(fd, SHUT_RDWR); // wakes its thread, which holds a second descriptor
    close(fd);
    conns_.erase(it);
}

void Fleet::FlushConn(Conn& c)
{
    while (!c.out.empty()) {
        ssize_t n = send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
        if (n > 0) {
            c.out.erase(0, size_t(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!c.wantOut) {
                c.wantOut = true;
                epoll_event ev{};
                ev.events = c.ownReader ? EPOLLOUT : EPOLLIN | EPOLLOUT;
                ev.data.fd = c.fd;
                epoll_ctl(epfd_, c.ownReader ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, c.fd, &ev);
            }
            return;
        }
        CloseConn(c.fd);
        return;
    }
    if (c.wantOut) {
        c.wantOut = false;
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.fd = c.fd;
        epoll_ctl(epfd_, c.ownReader ? EPOLL_CTL_DEL : EPOLL_CTL_MOD, c.fd, &ev);
    }
    if (c.closeAfterFlush)
        CloseConn(c.fd);
}

void Fleet::OnConnReadable(int fd)
{
    // Firmware pieces are large: read them in few calls (one fleet thread serves every device),
    // but no more than a few blocks per turn, so that other devices get theirs.
    static thread_local std::vector<char> bigBuf(256 * 1024);
    char* buf = bigBuf.data();
    const size_t bufSize = bigBuf.size();
    Conn* c = conns_[fd].get();
    for (int blocks = 0; blocks < 4; ++blocks) {
        ssize_t n = recv(fd, buf, bufSize, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            CloseConn(fd);
            return;
        }
        if (n < 0)
            break;
        c->lastActive = NowMs();
        c->reader.Feed(buf, size_t(n));
        if (size_t(n) < bufSize)
            break;
    }
    wire::Frame f;
    for (;;) {
        wire::FrameReader::Status st = c->reader.Next(f);
        if (st == wire::FrameReader::kNeedMore)
            return;
        if (st == wire::FrameReader::kBad) {
            // A device answers garbage by ending the session.
            CloseConn(fd);
            return;
        }
        if (DispatchFrame(fd, f) != Dispatch::Next || c->ownReader)
            return;
    }
}

Fleet::Dispatch Fleet::DispatchFrame(int fd, wire::Frame& f)
{
    Conn* c = conns_[fd].get();
    if (f.kind != wire::kRequest) {
        CloseConn(fd);
        return Dispatch::Gone;
    }
    size_t idx = c->dev;
    Reply r = devs_[idx]->model.Handle(f, c->ctx, NowMs());
    if (!r.send)
        return Dispatch::Next;
    if (r.action == Action::Play) {
        int id = nextPlay_++;
        plays_[id] = Play{c->id, idx, r.arg2, 0, std::make_shared<DeviceVideo>()};
        r.body["play"] = id;
        AddTimer(NowMs() + 40, [this, id] { StreamTick(id); });
    } else if (r.action == Action::StopPlay) {
        auto p = plays_.find(r.arg);
        if (p == plays_.end() || p->second.conn != c->id)
            r.body["error"] = Json::UInt(0x80000004);
        else
            plays_.erase(p);
    }
    c->out += wire::Encode(wire::kReply, f.op, f.seq, r.body, r.bin);
    if (c->out.size() > kMaxPendingOut) {
        // A peer that asks without reading its answers loses the connection.
        CloseConn(fd);
        return Dispatch::Gone;
    }
    if (r.action == Action::Close)
        c->closeAfterFlush = true;
    const bool transferOpened = f.op == wire::kOpUpgradeStart && wire::GetInt(r.body, "error", -1) == 0;
    FlushConn(*c);
    if (r.action == Action::Install) {
        RunAction(idx, r.action, c->id);
    } else if (r.action == Action::Reboot || r.action == Action::Move || r.action == Action::Restore) {
        RunAction(idx, r.action);
        return conns_.count(fd) ? Dispatch::Later : Dispatch::Gone;
    }
    if (!conns_.count(fd))
        return Dispatch::Gone;
    if (transferOpened)
        ServeOnOwnThread(*c);
    return Dispatch::Next;
}

void Fleet::StreamTick(int play)
{
    auto it = plays_.find(play);
    if (it == plays_.end())
        return;
    Play& p = it->second;
    auto c = connIds_.find(p.conn);
    if (c == connIds_.end()) {
        plays_.erase(it); // the session ended
        return;
    }
    Conn& conn = *conns_[c->second];
    // A reader that does not keep up loses blocks rather than growing the buffer.
    if (conn.out.size() < 256 * 1024) {
        Json::Value e(Json::objectValue);
        e["play"] = play;
        std::string block = devs_[p.dev]->model.StreamBlock(p.channel, p.frame, NowMs());
        AppendVideo(block, *p.video, devs_[p.dev]->model, p.channel, p.frame);
        conn.out += wire::Encode(wire::kEvent, wire::kOpStreamData, 0, e, block);
        FlushConn(conn);
    } else {
        p.video->RequestKeyFrame();
    }
    ++p.frame;
    AddTimer(NowMs() + p.video->IntervalMs(), [this, play] { StreamTick(play); });
}

void Fleet::PushEvent(uint64_t connId, uint16_t op, const Json::Value& body)
{
    auto it = connIds_.find(connId);
    if (it == connIds_.end())
        return;
    Conn& c = *conns_[it->second];
    c.out += wire::Encode(wire::kEvent, op, 0, body);
    FlushConn(c);
}

void Fleet::RunAction(size_t index, Action a, uint64_t connId)
{
    Dev& d = *devs_[index];
    switch (a) {
    case Action::Install: {
        // Installing: ten progress events, then the result; a good image reboots the device.
        int ms = std::max(10, d.model.State().installMs);
        for (int k = 1; k <= 10; ++k)
            AddTimer(NowMs() + int64_t(ms) * k / 10, [this, connId, k] {
                Json::Value e(Json::objectValue);
                e["percent"] = k * 10;
                PushEvent(connId, wire::kOpUpgradeProgress, e);
            });
        AddTimer(NowMs() + ms + 5, [this, index, connId] {
            Dev& dd = *devs_[index];
            bool ok = dd.model.UpgradeAccepted();
            Json::Value e(Json::objectValue);
            e["result"] = ok ? "success" : "failure";
            PushEvent(connId, wire::kOpUpgradeProgress, e);
            if (ok) {
                dd.model.CommitUpgrade();
                RunAction(index, Action::Reboot);
            }
        });
        break;
    }
    case Action::Reboot:
    case Action::Restore: {
        if (a == Action::Restore)
            d.model.RestoreDefaults();
        int ms = d.model.State().rebootMs >= 0 ? d.model.State().rebootMs : opt_.rebootMs;
        // Let the reply leave before the device goes away.
        AddTimer(NowMs() + 20, [this, index, ms] {
            Dev& dd = *devs_[index];
            UnbindDevice(dd);
            dd.away = true;
            AddTimer(NowMs() + ms, [this, index] {
                Dev& d2 = *devs_[index];
                d2.away = false;
                if (!d2.online)
                    BindDevice(d2, nullptr);
            });
        });
        break;
    }
    case Action::Move:
        AddTimer(NowMs() + 20, [this, index] {
            Dev& dd = *devs_[index];
            UnbindDevice(dd);
            dd.model.CommitMove();
            if (!BindDevice(dd, nullptr))
                AddTimer(NowMs() + 1000, [this, index] {
                    if (!devs_[index]->online)
                        BindDevice(*devs_[index], nullptr);
                });
        });
        break;
    default: break;
    }
}

void Fleet::Reboot(size_t index, int ms)
{
    std::lock_guard<std::mutex> lk(mu_);
    if (index >= devs_.size() || !running_)
        return;
    if (ms >= 0)
        devs_[index]->model.State().rebootMs = ms;
    RunAction(index, Action::Reboot);
    Wake();
}

void Fleet::CutSessions(size_t index)
{
    std::lock_guard<std::mutex> lk(mu_);
    std::vector<int> fds;
    for (const auto& c : conns_)
        if (c.second->dev == index)
            fds.push_back(c.first);
    for (int fd : fds)
        CloseConn(fd);
}

Json::Value Fleet::ToJson() const
{
    std::lock_guard<std::mutex> lk(mu_);
    Json::Value v(Json::objectValue);
    v["probePort"] = opt_.probePort;
    v["rebootMs"] = opt_.rebootMs;
    Json::Value arr(Json::arrayValue);
    for (const auto& d : devs_)
        arr.append(DeviceModel::ToJson(d->model.State()));
    v["devices"] = arr;
    return v;
}

bool Fleet::FromJson(const Json::Value& v, Options& opt, std::vector<DeviceState>& devices)
{
    if (!v.isObject())
        return false;
    opt.probePort = uint16_t(wire::GetInt(v, "probePort", opt.probePort));
    opt.rebootMs = int(wire::GetInt(v, "rebootMs", opt.rebootMs));
    const Json::Value& arr = wire::GetMember(v, "devices");
    if (!arr.isArray())
        return false;
    for (const Json::Value& e : arr)
        if (e.isObject())
            devices.push_back(DeviceModel::FromJson(e));
    return true;
}

} // namespace devsim
