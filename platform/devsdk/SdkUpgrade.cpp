// Firmware transfer: the file goes to the device in pieces on the login's connection, then the
// device reports its installation as events. Progress reaches the caller's callback from the
// transfer's own thread: (total, sent) while sending, (-1, percent) while installing, then
// (0, -1) on success or (0, -2) on failure.
//
// Pieces are sent ahead of their answers (a few at a time, in order, on the one connection), so
// that reading the file, the wire and the device's check overlap instead of taking turns.
#include "devsdk/SdkCore.h"

#include <sys/time.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <memory>

namespace devsdk {

namespace {
constexpr size_t kPiece = 1024 * 1024;
constexpr size_t kPiecesAhead = 16; // sent and not yet answered
constexpr int kPieceWaitMs = 10000;
constexpr int kInstallWaitMs = 15 * 60 * 1000;

int Remaining(int64_t deadline)
{
    int64_t r = deadline - NowMs();
    return r < 0 ? 0 : int(std::min<int64_t>(r, 1 << 30));
}

// Writes the frame head and the piece without joining them first. The socket blocks (only this
// transfer writes without MSG_DONTWAIT), bounded by a send timeout set to the deadline.
bool SendFrame(int fd, const std::string& head, const char* tail, size_t tailSize, int64_t deadline)
{
    iovec iov[2] = {{const_cast<char*>(head.data()), head.size()}, {const_cast<char*>(tail), tailSize}};
    iovec* v = iov;
    int count = 2;
    while (count > 0) {
        const int ms = Remaining(deadline);
        if (ms <= 0)
            return false;
        timeval tv{ms / 1000, (ms % 1000) * 1000};
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
        msghdr m{};
        m.msg_iov = v;
        m.msg_iovlen = size_t(count);
        ssize_t n = sendmsg(fd, &m, MSG_NOSIGNAL);
        if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue; // the deadline decides
        if (n <= 0)
            return false;
        size_t left = size_t(n);
        while (count > 0 && left >= v->iov_len) {
            left -= v->iov_len;
            ++v;
            --count;
        }
        if (count > 0) {
            v->iov_base = static_cast<char*>(v->iov_base) + left;
            v->iov_len -= left;
        }
    }
    return true;
}

// A piece on its way: the reader thread fills the waiter when the device answers.
struct PieceInFlight {
    uint32_t seq = 0;
    int64_t end = 0; // file offset after the piece
    int64_t deadline = 0;
    Waiter waiter;
};
} // namespace

class Upgrade : public std::enable_shared_from_this<Upgrade> {
public:
    LONG handle = 0;
    LONG login = 0;
    SessionPtr session;
    std::string path;
    int64_t size = 0;
    fUpgradeCallBack cb = nullptr;
    void* user = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<bool> succeeded{false};
    bool started = false;
    std::thread thread;

    std::mutex mu;
    std::condition_variable cv;
    std::deque<Json::Value> events;

    void OnEvent(const wire::Frame& f)
    {
        Json::Value v;
        if (f.op != wire::kOpUpgradeProgress || !wire::ParseObject(f.json, v))
            return;
        std::lock_guard<std::mutex> lk(mu);
        events.push_back(v);
        cv.notify_all();
    }

    void Report(int total, int sent)
    {
        if (!stop && cb)
            cb(login, handle, total, sent, user);
    }

    // Sends one piece at offset; false when the link is down (last error set).
    bool SendPiece(PieceInFlight& p, int64_t offset, const std::string& piece)
    {
        SocketPtr sock;
        {
            std::lock_guard<std::mutex> lk(session->mu);
            if (!session->sock) {
                SetLastError(SDK_NETWORK_ERROR);
                return false;
            }
            sock = session->sock;
            p.seq = session->nextSeq++;
            if (session->nextSeq == 0)
                session->nextSeq = 1;
            session->waiters[p.seq] = &p.waiter;
        }
        Json::Value body(Json::objectValue);
        body["offset"] = Json::Int64(offset);
        // The head announces the piece as the frame's binary tail, which follows it unjoined.
        std::string head = wire::Encode(wire::kRequest, wire::kOpUpgradeData, p.seq, body);
        const uint32_t tail = uint32_t(piece.size());
        for (int i = 0; i < 4; ++i)
            head[16 + size_t(i)] = char((tail >> (8 * i)) & 0xFF);
        p.end = offset + int64_t(piece.size());
        p.deadline = NowMs() + kPieceWaitMs;
        std::lock_guard<std::mutex> wlk(session->writeMu);
        if (!SendFrame(sock->fd, head, piece.data(), piece.size(), p.deadline)) {
            SetLastError(SDK_NETWORK_ERROR);
            return false;
        }
        return true;
    }

    // Waits for the answer to the oldest piece; its error code, or 0.
    DWORD AwaitPiece(PieceInFlight& p)
    {
        std::unique_lock<std::mutex> lk(session->mu);
        while (!p.waiter.done && !stop && NowMs() < p.deadline)
            session->cv.wait_for(lk, std::chrono::milliseconds(std::min(100, Remaining(p.deadline))));
        session->waiters.erase(p.seq); // a repeated answer must not write into the frame read below
        if (!p.waiter.done)
            return SDK_NETWORK_ERROR;
        if (p.waiter.error)
            return p.waiter.error;
        lk.unlock();
        Json::Value reply;
        if (!wire::ParseObject(p.waiter.frame.json, reply))
            return SDK_RETURN_DATA_ERROR;
        return DWORD(wire::GetInt(reply, "error", SDK_RETURN_DATA_ERROR));
    }

    // Sends the file; true once the device has taken all of it.
    bool SendFile()
    {
        std::deque<std::unique_ptr<PieceInFlight>> ahead;
        struct Forget { // no waiter outlives its piece
            Upgrade* u;
            std::deque<std::unique_ptr<PieceInFlight>>& pieces;
            ~Forget()
            {
                std::lock_guard<std::mutex> lk(u->session->mu);
                for (const auto& p : pieces)
                    if (p->seq)
                        u->session->waiters.erase(p->seq);
            }
        } forget{this, ahead};
        std::ifstream in(path, std::ios::binary);
        std::string piece(kPiece, '\0');
        int64_t read = 0, sent = 0;
        while (!stop && sent < size) {
            if (read < size && ahead.size() < kPiecesAhead) {
                in.read(&piece[0], std::streamsize(std::min<int64_t>(int64_t(kPiece), size - read)));
                std::streamsize n = in.gcount();
                if (n <= 0) {
                    Report(0, -2); // the file shrank under us
                    return false;
                }
                piece.resize(size_t(n));
                ahead.push_back(std::make_unique<PieceInFlight>());
                if (!SendPiece(*ahead.back(), read, piece))
                    return false; // a lost link ends the transfer silently (the disconnect is reported)
                read += n;
                continue;
            }
            PieceInFlight& oldest = *ahead.front();
            DWORD code = AwaitPiece(oldest);
            if (stop)
                return false;
            if (code != 0) {
                SetLastError(code);
                // A refusal by the device is a failed upgrade.
                if (code != SDK_NETWORK_ERROR)
                    Report(0, -2);
                return false;
            }
            sent = oldest.end;
            ahead.pop_front();
            Report(int(size), int(sent));
        }
        return !stop;
    }

    void Run()
    {
        if (!SendFile())
            return;
        int64_t deadline = NowMs() + kInstallWaitMs;
        while (!stop && NowMs() < deadline) {
            Json::Value e;
            {
                std::unique_lock<std::mutex> lk(mu);
                cv.wait_for(lk, std::chrono::milliseconds(200), [this] { return stop || !events.empty(); });
                if (events.empty())
                    continue;
                e = events.front();
                events.pop_front();
            }
            std::string result = wire::GetStr(e, "result");
            if (result == "success") {
                succeeded = true;
                Report(0, -1);
                return;
            }
            if (!result.empty()) {
                Core::Get().Unwatch(session);
                Report(0, -2);
                return;
            }
            Report(-1, int(wire::GetInt(e, "percent")));
        }
    }
};

LONG Core::StartUpgrade(LONG login, int type, const char* file, fUpgradeCallBack cb, void* user)
{
    SessionPtr s = Find(login);
    if (!s)
        return Fail(SDK_INVALID_HANDLE);
    if (type != SDK_UPGRADE_BIOS_TYPE || !file)
        return Fail(SDK_ILLEGAL_PARAM);
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        return Fail(SDK_ILLEGAL_PARAM);
    int64_t size = int64_t(in.tellg());
    if (size <= 0 || size > 0x7FFFFFFF)
        return Fail(SDK_ILLEGAL_PARAM);
    Json::Value body(Json::objectValue), reply;
    body["size"] = Json::Int64(size);
    if (!CallSession(s, wire::kOpUpgradeStart, body, std::string(), 5000, reply))
        return 0;
    auto u = std::make_shared<Upgrade>();
    u->handle = NewHandle();
    u->login = login;
    u->session = s;
    u->path = file;
    u->size = size;
    u->cb = cb;
    u->user = user;
    std::weak_ptr<Upgrade> weak = u;
    {
        std::lock_guard<std::mutex> lk(s->mu);
        s->upgradeWatch = true;
        s->sinks[wire::kOpUpgradeProgress] = [weak](const wire::Frame& f) {
            if (auto up = weak.lock())
                up->OnEvent(f);
        };
    }
    {
        std::lock_guard<std::mutex> lk(mu_);
        if (cleaning_ || !inited_)
            return Fail(SDK_NOINIT);
        upgrades_[u->handle] = u;
    }
    SetLastError(0);
    return u->handle;
}

bool Core::SendUpgrade(LONG handle)
{
    std::shared_ptr<Upgrade> u;
    {
        std::lock_guard<std::mutex> lk(mu_);
        auto it = upgrades_.find(handle);
        if (it == upgrades_.end())
            return Fail(SDK_INVALID_HANDLE);
        u = it->second;
        if (u->started)
            return Fail(SDK_ILLEGAL_PARAM);
        if (cleaning_)
            return Fail(SDK_NOINIT);
        u->started = true;
        // Set under the lock: a stop that finds the transfer also finds its thread.
        u->thread = std::thread([u] {
            pthread_setname_np(pthread_self(), "sdk-upgrade");
            u->Run();
        });
    }
    return Ok();
}

bool Core::StopUpgrade(LONG handle)
{
    std::shared_ptr<Upgrade> u;
    {
        std::lock_guard<std::mutex> lk(mu_);
        auto it = upgrades_.find(handle);
        if (it == upgrades_.end())
            return Fail(SDK_INVALID_HANDLE); // 0, the placeholder 1, or an ended transfer
        u = it->second;
        upgrades_.erase(it);
    }
    u->stop = true;
    u->cv.notify_all();
    if (u->thread.joinable()) {
        if (u->thread.get_id() == std::this_thread::get_id())
            u->thread.detach(); // stopped from its own callback
        else
            u->thread.join();
    }
    // Stopped before it succeeded: no reboot to wait for.
    if (!u->succeeded)
        Unwatch(u->session);
    return Ok();
}

} // namespace devsdk

using devsdk::Core;

LONG SdkStartUpgrade(LONG lLoginID, int emType, const char* pchFileName, fUpgradeCallBack cbUpgrade, void* dwUser)
{
    return Core::Get().StartUpgrade(lLoginID, emType, pchFileName, cbUpgrade, dwUser);
}

BOOL SdkSendUpgrade(LONG lUpgradeID) { return Core::Get().SendUpgrade(lUpgradeID); }

BOOL SdkStopUpgrade(LONG lUpgradeID) { return Core::Get().StopUpgrade(lUpgradeID); }
