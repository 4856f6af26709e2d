// Firmware transfer: the file goes to the device in pieces on the login's connection, then the
// device reports its installation as events. Progress reaches the caller's callback from the
// transfer's own thread: (total, sent) while sending, (-1, percent) while installing, then
// (0, -1) on success or (0, -2) on failure.
#include "devsdk/SdkCore.h"

#include <fstream>

namespace devsdk {

namespace {
constexpr size_t kPiece = 1024 * 1024;
constexpr int kPieceWaitMs = 10000;
constexpr int kInstallWaitMs = 15 * 60 * 1000;
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

    void Run()
    {
        std::ifstream in(path, std::ios::binary);
        std::string piece(kPiece, '\0');
        int64_t sent = 0;
        while (!stop && sent < size) {
            in.read(&piece[0], std::streamsize(std::min<int64_t>(int64_t(piece.size()), size - sent)));
            std::streamsize n = in.gcount();
            if (n <= 0) {
                Report(0, -2); // the file shrank under us
                return;
            }
            Json::Value body(Json::objectValue), reply;
            body["offset"] = Json::Int64(sent);
            if (size_t(n) < piece.size())
                piece.resize(size_t(n)); // the last piece
            if (!Core::Get().CallSession(session, wire::kOpUpgradeData, body, piece, kPieceWaitMs, reply)) {
                // A lost link ends the transfer silently (the disconnect is reported);
                // a refusal by the device is a failed upgrade.
                if (LastError() != SDK_NETWORK_ERROR)
                    Report(0, -2);
                return;
            }
            sent += n;
            Report(int(size), int(sent));
        }
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
        u->thread = std::thread([u] { u->Run(); });
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
