// The cloud update service's sockets; see the header.
#include "cloudsvc/CloudServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "devsdk/CloudWire.h"

namespace cloudsvc {

namespace wire = devsdk::wire;

namespace {

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool SendAllBytes(int fd, const std::string& bytes, int64_t deadline)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const int64_t left = deadline - NowMs();
        if (left <= 0)
            return false;
        pollfd p{fd, POLLOUT, 0};
        if (poll(&p, 1, int(left)) <= 0)
            continue;
        const ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

} // namespace

Server::Server(Options options) : opt_(options), catalog_(std::move(options)) {}

Server::~Server() { Stop(); }

bool Server::Start(std::string& error)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(uint16_t(opt_.port));
    if (inet_pton(AF_INET, opt_.host.c_str(), &sa.sin_addr) != 1) {
        error = "not an IPv4 address: " + opt_.host;
        return false;
    }
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        listen(listenFd_, 128) != 0) {
        error = "cannot listen on " + opt_.host + ":" + std::to_string(opt_.port) + ": " + std::strerror(errno);
        if (listenFd_ >= 0)
            close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    socklen_t len = sizeof sa;
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&sa), &len);
    port_ = ntohs(sa.sin_port);
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    catalog_.SetBaseUrl(Url());
    acceptThread_ = std::thread([this] {
        pthread_setname_np(pthread_self(), "cloudsvc-accept");
        AcceptLoop();
    });
    return true;
}

std::string Server::Url() const { return "http://" + opt_.host + ":" + std::to_string(port_); }

void Server::Stop()
{
    if (listenFd_ < 0 || stopping_.exchange(true))
        return;
    uint64_t one = 1;
    (void)!write(wakeFd_, &one, sizeof one);
    acceptThread_.join();
    {
        std::unique_lock<std::mutex> lk(mu_);
        for (int fd : live_)
            shutdown(fd, SHUT_RDWR);
        cv_.wait(lk, [this] { return live_.empty(); });
    }
    close(listenFd_);
    close(wakeFd_);
    listenFd_ = -1;
}

void Server::AcceptLoop()
{
    while (!stopping_) {
        pollfd p[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (poll(p, 2, -1) < 0 && errno != EINTR)
            break;
        if (stopping_)
            break;
        if (!(p[0].revents & POLLIN))
            continue;
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE)
                poll(nullptr, 0, 100); // out of descriptors: let connections end first
            continue;
        }
        {
            std::lock_guard<std::mutex> lk(mu_);
            if (int(live_.size()) >= kMaxConnections) {
                close(fd);
                continue;
            }
            live_.insert(fd);
        }
        std::thread([this, fd] {
            pthread_setname_np(pthread_self(), "cloudsvc-conn");
            Serve(fd);
        }).detach();
    }
}

void Server::Serve(int fd)
{
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    wire::FrameReader reader;
    wire::Frame frame;
    bool open = true;
    char buf[16384];
    int64_t deadline = NowMs() + kIdleMs;
    bool holding = false; // a request left unanswered: wait for the peer to go
    while (open && !stopping_) {
        if (!holding) {
            const wire::FrameReader::Status st = reader.Next(frame);
            if (st == wire::FrameReader::kBad)
                break;
            if (st == wire::FrameReader::kFrame) {
                std::string reply;
                const int delay = frame.op == devsdk::cloud::kOpDownload ? catalog_.GetFaults().pieceDelayMs : 0;
                for (int waited = 0; waited < delay && !stopping_; waited += 10)
                    poll(nullptr, 0, 10);
                const Outcome o = catalog_.Handle(frame, reply);
                if (o == Outcome::Close)
                    break;
                if (o == Outcome::NoAnswer)
                    holding = true;
                else if (!SendAllBytes(fd, reply, NowMs() + kIdleMs))
                    break;
                deadline = NowMs() + kIdleMs;
                continue;
            }
        }
        const int64_t left = holding ? 200 : deadline - NowMs();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        const int r = poll(&p, 1, int(left));
        if (r < 0 && errno != EINTR)
            break;
        if (r <= 0)
            continue;
        const ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            open = false;
        else if (n > 0 && !holding)
            reader.Feed(buf, size_t(n));
    }
    std::lock_guard<std::mutex> lk(mu_);
    live_.erase(fd);
    close(fd); // under the lock: Stop never shuts down a number that was handed out again
    cv_.notify_all();
}

} // namespace cloudsvc
