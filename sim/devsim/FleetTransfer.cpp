// Connections that carry a firmware transfer are read by a thread of their own: receiving and
// taking apart megabytes of pieces for several devices at once would otherwise all fall on the
// fleet's one loop. The thread reads and splits frames without the fleet's lock and takes it only
// to hand each whole request to the device; answers, events and timers stay with the loop.
#include "devsim/Fleet.h"
#include "devsim/FleetConn.h"

#include "devsdk/Wire.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <system_error>

namespace devsim {

namespace wire = devsdk::wire;

namespace {
constexpr size_t kMaxOwnReaders = 16;       // beyond that, transfers share the loop
constexpr size_t kOwnReadBlock = 512 * 1024;
constexpr size_t kDirectTail = 64 * 1024; // binary tails from this size are received in place
constexpr int kPollMs = 500;
} // namespace

void Fleet::ServeOnOwnThread(Conn& c)
{
    ReapReaders();
    if (c.ownReader || readers_.size() >= kMaxOwnReaders)
        return;
    // A second descriptor of the socket: closing the loop's one cannot hand its number to
    // another connection while this thread still reads.
    const int readFd = fcntl(c.fd, F_DUPFD_CLOEXEC, 0);
    if (readFd < 0)
        return;
    std::thread reader;
    try {
        // Bytes already read go with it. The loop, which runs this, reads the socket no more.
        reader = std::thread([this, id = c.id, fd = c.fd, readFd, buffered = c.reader]() mutable {
            OwnReaderLoop(id, fd, readFd, std::move(buffered));
        });
    } catch (const std::system_error&) {
        close(readFd); // no thread to be had: the loop keeps reading it
        return;
    }
    readers_.emplace(c.id, std::move(reader));
    c.reader = wire::FrameReader();
    c.ownReader = true;
    // The loop watches the socket only while answers wait to be written.
    if (c.wantOut) {
        epoll_event ev{};
        ev.events = EPOLLOUT;
        ev.data.fd = c.fd;
        epoll_ctl(epfd_, EPOLL_CTL_MOD, c.fd, &ev);
    } else {
        epoll_ctl(epfd_, EPOLL_CTL_DEL, c.fd, nullptr);
    }
}

void Fleet::OwnReaderLoop(uint64_t connId, int fd, int readFd, wire::FrameReader reader)
{
    pthread_setname_np(pthread_self(), "devsim-transfer");
    wire::Frame f; // reused: a megabyte piece after another lands in the same memory
    size_t tailAt = 0; // while a large binary tail is received straight into f.bin: bytes in
    bool inTail = false;
    int64_t lastByte = NowMs();
    bool ended = false; // closed by the peer, or a read error
    bool hold = false;  // the device asked to wait for more bytes before the next request
    bool quiet = false; // nothing arrived for a while: see whether the connection still exists
    for (;;) {
        wire::FrameReader::Status st = wire::FrameReader::kNeedMore;
        if (inTail) {
            if (tailAt == f.bin.size()) {
                inTail = false;
                st = wire::FrameReader::kFrame;
            }
        } else if (!hold) {
            st = reader.Next(f);
            size_t have = 0;
            if (st == wire::FrameReader::kNeedMore && (st = reader.NextHead(f, kDirectTail, &have)) == wire::FrameReader::kFrame) {
                inTail = true;
                tailAt = have;
                st = wire::FrameReader::kNeedMore;
            }
        }
        const bool stalled = (inTail || reader.Buffered() > 0) && NowMs() - lastByte > opt_.partialMs;
        if (st != wire::FrameReader::kNeedMore || ended || stalled || quiet) {
            std::lock_guard<std::mutex> lk(mu_);
            auto it = connIds_.find(connId);
            if (stopping_ || it == connIds_.end() || it->second != fd)
                break; // closed by the loop (reboot, sweep, stop)
            conns_[fd]->lastActive = std::max(conns_[fd]->lastActive, lastByte);
            if (st == wire::FrameReader::kFrame) {
                const int64_t firstTimer = timers_.empty() ? std::numeric_limits<int64_t>::max() : timers_.begin()->first;
                const Dispatch d = DispatchFrame(fd, f);
                // The loop sleeps until its next timer: wake it for an earlier one.
                if (!timers_.empty() && timers_.begin()->first < firstTimer)
                    Wake();
                if (d == Dispatch::Gone)
                    break;
                hold = d == Dispatch::Later;
                continue;
            }
            if (st == wire::FrameReader::kBad || ended || stalled) {
                CloseConn(fd); // bad bytes, the peer gone, or half a request for too long
                break;
            }
            quiet = false;
        }
        // Read at once while bytes flow, wait only when there are none; and no further than the
        // end of the current request (of its head while its tail may go straight to the frame),
        // so that nothing is copied twice or moved.
        char* into;
        size_t want;
        if (inTail) {
            into = &f.bin[tailAt];
            want = std::min(f.bin.size() - tailAt, kOwnReadBlock);
        } else {
            const size_t head = reader.HeadMissing();
            want = std::min(std::max<size_t>(head ? head : reader.Missing(), 1), kOwnReadBlock);
            into = reader.Room(want);
        }
        ssize_t n = recv(readFd, into, want, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            pollfd p{readFd, POLLIN, 0};
            const int r = poll(&p, 1, kPollMs);
            if (r < 0 && errno != EINTR)
                ended = true;
            quiet = r == 0;
            continue;
        }
        if (n > 0) {
            if (inTail)
                tailAt += size_t(n);
            else
                reader.Commit(size_t(n));
            lastByte = NowMs();
            hold = false;
        } else {
            ended = true;
        }
    }
    close(readFd);
    std::lock_guard<std::mutex> lk(mu_);
    readersDone_.push_back(connId);
}

// Joins the threads of connections that have ended. Under the fleet's lock.
void Fleet::ReapReaders()
{
    for (uint64_t id : readersDone_) {
        auto it = readers_.find(id);
        if (it != readers_.end()) {
            it->second.join();
            readers_.erase(it);
        }
    }
    readersDone_.clear();
}

} // namespace devsim
