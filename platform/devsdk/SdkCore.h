// Inside of the device SDK: the process-wide state, sessions, and the helpers the calls use.
#pragma once

#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "devsdk/LastError.h"
#include "devsdk/Wire.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace devsdk {

// A socket closed when the last user lets go of it, so that a number is never reused while
// a call still writes to it.
struct Socket {
    int fd = -1;
    explicit Socket(int f) : fd(f) {}
    ~Socket();
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
};
using SocketPtr = std::shared_ptr<Socket>;

struct Waiter {
    bool done = false;
    DWORD error = 0;
    wire::Frame frame;
};

struct Session {
    LONG handle = 0;
    std::string ip;
    int port = 0;
    std::string user;
    std::string password;
    int spec = 0;

    std::mutex mu;
    std::condition_variable cv;
    SocketPtr sock;          // null while the connection is down
    bool ended = false;      // logged out
    bool upgradeWatch = false; // a firmware transfer was opened on this login
    bool watchOnly = false;    // logged out, kept to see the reboot of an upgrade
    std::map<uint16_t, std::function<void(const wire::Frame&)>> sinks; // device events by operation
    uint32_t nextSeq = 1;
    std::map<uint32_t, Waiter*> waiters;
    std::mutex writeMu;
};
using SessionPtr = std::shared_ptr<Session>;

class Search;
class Upgrade;

// Blocking helpers on a raw socket, each bounded by a deadline (steady-clock ms).
int64_t NowMs();
// Connects with a deadline. Returns the socket or null with *refused telling refused from
// timed out.
SocketPtr ConnectTo(const std::string& ip, int port, int64_t deadline, bool* refused);
bool SendAll(int fd, const std::string& bytes, int64_t deadline);
// Reads until one whole frame arrived. 0 ok, 1 timed out, 2 closed or bad data.
int RecvFrame(int fd, wire::FrameReader& reader, int64_t deadline, wire::Frame& out);
// One request on a fresh connection, for calls that need no login. Sets the last error.
bool OneShot(const std::string& ip, int port, uint16_t op, const Json::Value& body, int waitMs, Json::Value& reply);
bool IsLoopback(const std::string& ip);
// Ends the live views of a login (all of them for null).
void StopPlaysOf(const SessionPtr& s);
// Ends every cloud download (SdkCleanup).
void StopCloudDownloads();

class Core {
public:
    static Core& Get();

    bool Init(fDisConnect cb, void* user);
    // Starts the embedded fleet ahead of Init (any thread).
    void PrepareEmbedded();
    void Cleanup();
    bool Inited() const { return inited_; }
    void SetReconnect(fHaveReConnect cb, void* user);

    LONG NewHandle() { return nextHandle_.fetch_add(1); }
    int LoginWait() const { return loginWait_.load(); }
    void SetLoginWait(int ms) { loginWait_ = ms > 0 ? ms : opts_.loginWaitMs; }
    uint16_t BroadcastPort() const { return broadcastPort_.load(); }
    void SetBroadcastPort(uint16_t p) { broadcastPort_ = p; }
    const SimOptions& Options() const { return opts_; }

    // Sessions
    LONG Login(const char* ip, int port, const char* user, const char* pwd, int spec, SDK_LOGIN_DEVICE_INFO* info,
               int* error);
    bool Logout(LONG handle);
    SessionPtr Find(LONG handle);
    // A request on a login; fills reply and returns true, or sets the last error.
    bool Call(LONG handle, uint16_t op, const Json::Value& body, int waitMs, Json::Value& reply,
              const std::string& bin = std::string(), std::string* replyBin = nullptr);
    bool CallSession(const SessionPtr& s, uint16_t op, const Json::Value& body, const std::string& bin, int waitMs,
                     Json::Value& reply, std::string* replyBin = nullptr);
    // Ends the watch of an upgrade login; a login already logged out then really ends.
    void Unwatch(const SessionPtr& s);

    // Firmware transfers
    LONG StartUpgrade(LONG login, int type, const char* file, fUpgradeCallBack cb, void* user);
    bool SendUpgrade(LONG handle);
    bool StopUpgrade(LONG handle);

    // Searches
    LONG StartSearch(fSearchDevicesCB cb, void* user, const char* localIp);
    bool StopSearch(LONG handle);
    uint64_t SearchAnswers(LONG handle);

    // Addresses
    std::vector<std::pair<std::string, uint16_t>> KnownAddresses();
    void Learn(const std::string& mac, const std::string& ip, int port);
    bool Locate(const std::string& mac, std::string& ip, int& port);
    uint16_t ProbePortFor(const std::string& ip);

    devsim::Fleet* Embedded() { return embedded_.get(); }

    void Post(std::function<void()> f);

private:
    Core() = default;
    void StartReader(const SessionPtr& s, const SocketPtr& sock);
    void OnDrop(const SessionPtr& s, const SocketPtr& sock);
    void CallbackLoop();
    void ReconnectLoop();
    // Connects and logs in; returns the socket or null with the login error values set.
    SocketPtr Handshake(const std::string& ip, int port, const std::string& user, const std::string& pwd, int spec,
                        int waitMs, Json::Value& reply, int* loginError, DWORD* lastError);
    void LoadFleetSpecs();
    // Under mu_.
    void StartEmbedded(const SimOptions& opts);

    std::mutex mu_;
    std::atomic<bool> inited_{false};
    SimOptions opts_;
    fDisConnect disconnectCb_ = nullptr;
    void* disconnectUser_ = nullptr;
    fHaveReConnect reconnectCb_ = nullptr;
    void* reconnectUser_ = nullptr;
    std::atomic<LONG> nextHandle_{2};
    std::atomic<int> loginWait_{5000};
    std::atomic<uint16_t> broadcastPort_{5050};
    std::map<LONG, SessionPtr> sessions_;
    std::map<LONG, std::shared_ptr<Search>> searches_;
    std::map<LONG, std::shared_ptr<Upgrade>> upgrades_;
    std::unique_ptr<devsim::Fleet> embedded_;
    SimOptions embeddedOpts_; // what embedded_ was started with
    std::vector<std::pair<std::string, uint16_t>> fleetAddrs_;
    std::map<std::string, std::pair<std::string, int>> macs_; // mac -> (ip, port)
    std::set<std::string> learned_;

    // threads
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    bool cleaning_ = false; // SdkCleanup under way: no new search, transfer or login
    std::thread callbackThread_;
    std::thread reconnectThread_;
    int readers_ = 0;
    std::condition_variable readersCv_;
};

} // namespace devsdk
