// Live view: the device sends stream blocks as events on the login's connection; each live
// view hands them to its data callback from a thread of its own, dropping the oldest blocks
// when the callback falls behind.
#include "devsdk/SdkCore.h"

namespace devsdk {

namespace {
constexpr size_t kMaxQueued = 50;
}

class Play {
public:
    LONG handle = 0;
    int deviceId = 0;
    SessionPtr session;
    std::mutex mu;
    std::condition_variable cv;
    std::deque<std::string> blocks;
    fRealDataCallBack cb = nullptr;
    void* user = nullptr;
    bool stop = false;
    std::thread thread;

    void Push(std::string block)
    {
        std::lock_guard<std::mutex> lk(mu);
        if (blocks.size() >= kMaxQueued)
            blocks.pop_front();
        blocks.push_back(std::move(block));
        cv.notify_all();
    }

    void Run()
    {
        std::unique_lock<std::mutex> lk(mu);
        for (;;) {
            cv.wait(lk, [this] { return stop || !blocks.empty(); });
            if (stop)
                return;
            std::string b = std::move(blocks.front());
            blocks.pop_front();
            fRealDataCallBack f = cb;
            void* u = user;
            if (!f)
                continue;
            lk.unlock();
            f(handle, 0, reinterpret_cast<BYTE*>(&b[0]), DWORD(b.size()), 0, u);
            lk.lock();
        }
    }

    void Stop()
    {
        {
            std::lock_guard<std::mutex> lk(mu);
            stop = true;
            cv.notify_all();
        }
        if (thread.joinable()) {
            if (thread.get_id() == std::this_thread::get_id())
                thread.detach();
            else
                thread.join();
        }
    }
};

namespace {

std::mutex g_playMu;
std::map<LONG, std::shared_ptr<Play>> g_plays;

// Routes the session's stream blocks to its live views.
void RouteStream(const SessionPtr& s)
{
    std::weak_ptr<Session> weak = s;
    std::lock_guard<std::mutex> lk(s->mu);
    s->sinks[wire::kOpStreamData] = [weak](const wire::Frame& f) {
        Json::Value v;
        if (!wire::ParseObject(f.json, v))
            return;
        int id = int(wire::GetInt(v, "play"));
        SessionPtr owner = weak.lock();
        std::shared_ptr<Play> play;
        {
            std::lock_guard<std::mutex> plk(g_playMu);
            for (auto& kv : g_plays)
                if (kv.second->deviceId == id && kv.second->session == owner)
                    play = kv.second;
        }
        if (play)
            play->Push(f.bin);
    };
}

} // namespace

// Ends the live views of a login (logout, cleanup).
void StopPlaysOf(const SessionPtr& s)
{
    std::vector<std::shared_ptr<Play>> mine;
    {
        std::lock_guard<std::mutex> lk(g_playMu);
        for (auto it = g_plays.begin(); it != g_plays.end();) {
            if (!s || it->second->session == s) {
                mine.push_back(it->second);
                it = g_plays.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& p : mine)
        p->Stop();
}

} // namespace devsdk

using namespace devsdk;

LONG SdkStartRealPlay(LONG lLoginID, int nChannelID, HWND /*hWnd*/)
{
    SessionPtr s = Core::Get().Find(lLoginID);
    if (!s)
        return Fail(SDK_INVALID_HANDLE);
    RouteStream(s);
    auto p = std::make_shared<Play>();
    p->handle = Core::Get().NewHandle();
    p->session = s;
    {
        // Registered before the request so that no early block is lost.
        std::lock_guard<std::mutex> lk(g_playMu);
        p->deviceId = -1;
        g_plays[p->handle] = p;
    }
    Json::Value body(Json::objectValue), reply;
    body["channel"] = nChannelID;
    if (!Core::Get().CallSession(s, wire::kOpStartPlay, body, std::string(), 3000, reply)) {
        DWORD e = LastError();
        std::lock_guard<std::mutex> lk(g_playMu);
        g_plays.erase(p->handle);
        return Fail(e);
    }
    {
        std::lock_guard<std::mutex> lk(g_playMu);
        p->deviceId = int(wire::GetInt(reply, "play"));
    }
    p->thread = std::thread([p] { p->Run(); });
    SetLastError(0);
    return p->handle;
}

BOOL SdkStopRealPlay(LONG lRealHandle)
{
    std::shared_ptr<Play> p;
    {
        std::lock_guard<std::mutex> lk(g_playMu);
        auto it = g_plays.find(lRealHandle);
        if (it == g_plays.end())
            return Fail(SDK_INVALID_HANDLE);
        p = it->second;
        g_plays.erase(it);
    }
    p->Stop();
    Json::Value body(Json::objectValue), reply;
    body["play"] = p->deviceId;
    Core::Get().CallSession(p->session, wire::kOpStopPlay, body, std::string(), 1000, reply);
    return Ok();
}

BOOL SdkSetRealDataCallBack(LONG lRealHandle, fRealDataCallBack cbRealData, void* dwUser, DWORD /*dwFlag*/)
{
    std::shared_ptr<Play> p;
    {
        std::lock_guard<std::mutex> lk(g_playMu);
        auto it = g_plays.find(lRealHandle);
        if (it == g_plays.end())
            return Fail(SDK_INVALID_HANDLE);
        p = it->second;
    }
    std::lock_guard<std::mutex> lk(p->mu);
    p->cb = cbRealData;
    p->user = dwUser;
    return Ok();
}
