// Life cycle of the SDK: options, the embedded fleet, the callback and reconnect threads.
#include "devsdk/SdkCore.h"

#include "devsim/Fleet.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace devsdk {

namespace {

std::mutex g_optMu;
bool g_optSet = false;
SimOptions g_opt;

std::vector<std::string> SplitComma(const std::string& s)
{
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == ',') {
            if (!cur.empty())
                out.push_back(cur);
            cur.clear();
        } else if (c != ' ') {
            cur.push_back(c);
        }
    }
    if (!cur.empty())
        out.push_back(cur);
    return out;
}

// "ADDR+COUNT[:PORT]" or "ADDR[:PORT]" or a fleet file.
void ExpandFleet(const std::string& spec, uint16_t defPort, std::vector<std::pair<std::string, uint16_t>>& out)
{
    if (spec.find('/') != std::string::npos || spec.find(".json") != std::string::npos) {
        std::ifstream in(spec);
        std::stringstream ss;
        ss << in.rdbuf();
        Json::Value v;
        devsim::Fleet::Options opt;
        opt.probePort = defPort;
        std::vector<devsim::DeviceState> devs;
        if (!in || !wire::ParseObject(ss.str(), v) || !devsim::Fleet::FromJson(v, opt, devs)) {
            std::fprintf(stderr, "devsdk: cannot read fleet file %s\n", spec.c_str());
            return;
        }
        for (const auto& d : devs)
            if (IsLoopback(d.ip))
                out.emplace_back(d.ip, opt.probePort);
        return;
    }
    std::string s = spec;
    uint16_t port = defPort;
    size_t colon = s.find(':');
    if (colon != std::string::npos) {
        port = uint16_t(std::strtoul(s.c_str() + colon + 1, nullptr, 10));
        s.resize(colon);
    }
    size_t count = 1;
    size_t plus = s.find('+');
    if (plus != std::string::npos) {
        count = std::strtoul(s.c_str() + plus + 1, nullptr, 10);
        s.resize(plus);
    }
    if (count > 1000000)
        count = 1000000;
    for (size_t i = 0; i < count; ++i) {
        std::string a = devsim::NextAddress(s, i);
        if (a.empty() || !IsLoopback(a))
            break;
        out.emplace_back(a, port);
    }
}

} // namespace

SimOptions SimOptionsFromEnvironment()
{
    SimOptions o;
    if (const char* p = std::getenv("VX_DEVSIM_PROBE_PORT"))
        if (int v = std::atoi(p); v > 0 && v < 65536)
            o.probePort = uint16_t(v);
    if (const char* f = std::getenv("VX_DEVSIM_FLEET"); f && *f) {
        o.fleets = SplitComma(f);
        o.embedded = false;
    }
    if (const char* e = std::getenv("VX_DEVSIM_EMBEDDED"); e && *e)
        o.embedded = std::atoi(e) != 0;
    if (const char* a = std::getenv("VX_DEVSIM_FIRST"); a && IsLoopback(a))
        o.embeddedFirst = a;
    if (const char* l = std::getenv("VX_DEVSIM_LOCAL_IP"); l && IsLoopback(l))
        o.localIp = l;
    return o;
}

void SetSimOptions(const SimOptions& opt)
{
    std::lock_guard<std::mutex> lk(g_optMu);
    g_opt = opt;
    g_optSet = true;
}

void ResetSimOptions()
{
    std::lock_guard<std::mutex> lk(g_optMu);
    g_optSet = false;
}

devsim::Fleet* EmbeddedFleet() { return Core::Get().Embedded(); }

void PrepareEmbeddedDevices() { Core::Get().PrepareEmbedded(); }

std::vector<std::pair<std::string, uint16_t>> KnownDeviceAddresses() { return Core::Get().KnownAddresses(); }

bool IsLoopback(const std::string& ip)
{
    in_addr a{};
    if (inet_pton(AF_INET, ip.c_str(), &a) != 1)
        return false;
    return (ntohl(a.s_addr) >> 24) == 127;
}

Core& Core::Get()
{
    static Core* core = new Core(); // lives for the whole process: SDK threads may outlive statics
    return *core;
}

bool Core::Init(fDisConnect cb, void* user)
{
    std::unique_lock<std::mutex> lk(mu_);
    disconnectCb_ = cb;
    disconnectUser_ = user;
    if (inited_)
        return true;
    {
        std::lock_guard<std::mutex> olk(g_optMu);
        opts_ = g_optSet ? g_opt : SimOptionsFromEnvironment();
    }
    loginWait_ = opts_.loginWaitMs;
    broadcastPort_ = uint16_t(kSdkDefaultBroadcastPort);
    LoadFleetSpecs();
    // A fleet started ahead with other options is started again.
    if (embedded_ && (!opts_.embedded || embeddedOpts_.embeddedFirst != opts_.embeddedFirst ||
                      embeddedOpts_.probePort != opts_.probePort ||
                      embeddedOpts_.embeddedRebootMs != opts_.embeddedRebootMs)) {
        embedded_->Stop();
        embedded_.reset();
    }
    if (opts_.embedded && !embedded_)
        StartEmbedded(opts_);
    stopping_ = false;
    cleaning_ = false;
    inited_ = true;
    callbackThread_ = std::thread([this] { CallbackLoop(); });
    reconnectThread_ = std::thread([this] { ReconnectLoop(); });
    return true;
}

void Core::StartEmbedded(const SimOptions& opts)
{
    devsim::Fleet::Options fo;
    fo.probePort = opts.probePort;
    fo.rebootMs = opts.embeddedRebootMs;
    // When another process already serves the usual addresses (a second instance, tests
    // in parallel), the fleet moves to a block of this process's own.
    std::string first = opts.embeddedFirst;
    for (int attempt = 0; attempt < 8; ++attempt) {
        embedded_ = std::make_unique<devsim::Fleet>(fo);
        for (auto& d : devsim::MakeDefaultFleet(first))
            embedded_->Add(d);
        std::string err;
        if (embedded_->Start(&err))
            break;
        embedded_->Stop();
        unsigned p = unsigned(getpid()) * 2654435761u + unsigned(attempt) * 40503u;
        first = "127." + std::to_string(64 + p % 128) + "." + std::to_string((p >> 8) % 256) + ".2";
        if (attempt == 7) {
            std::fprintf(stderr, "devsdk: embedded devices partly offline: %s\n", err.c_str());
            embedded_->Start(nullptr);
        }
    }
    embeddedOpts_ = opts;
}

void Core::PrepareEmbedded()
{
    std::lock_guard<std::mutex> lk(mu_);
    if (inited_ || embedded_)
        return;
    SimOptions opts;
    {
        std::lock_guard<std::mutex> olk(g_optMu);
        opts = g_optSet ? g_opt : SimOptionsFromEnvironment();
    }
    if (opts.embedded)
        StartEmbedded(opts);
}

void Core::LoadFleetSpecs()
{
    fleetAddrs_.clear();
    for (const std::string& spec : opts_.fleets)
        ExpandFleet(spec, opts_.probePort, fleetAddrs_);
}

void Core::SetReconnect(fHaveReConnect cb, void* user)
{
    std::lock_guard<std::mutex> lk(mu_);
    reconnectCb_ = cb;
    reconnectUser_ = user;
}

void Core::Cleanup()
{
    std::vector<LONG> searches, upgrades;
    std::map<LONG, SessionPtr> sessions;
    {
        std::lock_guard<std::mutex> lk(mu_);
        if (!inited_ || cleaning_)
            return;
        cleaning_ = true;
        for (auto& s : searches_)
            searches.push_back(s.first);
        for (auto& u : upgrades_)
            upgrades.push_back(u.first);
    }
    for (LONG h : searches)
        StopSearch(h);
    for (LONG h : upgrades)
        StopUpgrade(h);
    StopPlaysOf(nullptr);
    StopCloudDownloads();
    {
        std::lock_guard<std::mutex> lk(mu_);
        sessions.swap(sessions_);
    }
    for (auto& kv : sessions) {
        SessionPtr s = kv.second;
        std::lock_guard<std::mutex> lk(s->mu);
        s->ended = true;
        if (s->sock)
            shutdown(s->sock->fd, SHUT_RDWR);
    }
    {
        std::unique_lock<std::mutex> lk(mu_);
        stopping_ = true;
        queue_.clear();
        cv_.notify_all();
        readersCv_.wait(lk, [this] { return readers_ == 0; });
    }
    callbackThread_.join();
    reconnectThread_.join();
    std::unique_ptr<devsim::Fleet> fleet;
    {
        std::lock_guard<std::mutex> lk(mu_);
        fleet.swap(embedded_);
        macs_.clear();
        learned_.clear();
        reconnectCb_ = nullptr;
        disconnectCb_ = nullptr;
        inited_ = false;
    }
    if (fleet)
        fleet->Stop();
}

void Core::Post(std::function<void()> f)
{
    std::lock_guard<std::mutex> lk(mu_);
    if (stopping_ || !inited_)
        return;
    queue_.push_back(std::move(f));
    cv_.notify_all();
}

void Core::CallbackLoop()
{
    for (;;) {
        std::function<void()> f;
        {
            std::unique_lock<std::mutex> lk(mu_);
            cv_.wait(lk, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            f = std::move(queue_.front());
            queue_.pop_front();
        }
        f();
    }
}

void Core::ReconnectLoop()
{
    for (;;) {
        std::vector<SessionPtr> down;
        {
            std::unique_lock<std::mutex> lk(mu_);
            cv_.wait_for(lk, std::chrono::milliseconds(300), [this] { return stopping_; });
            if (stopping_)
                return;
            if (!reconnectCb_)
                continue;
            for (auto& kv : sessions_) {
                std::lock_guard<std::mutex> slk(kv.second->mu);
                if (!kv.second->sock && !kv.second->ended)
                    down.push_back(kv.second);
            }
        }
        for (const SessionPtr& s : down) {
            Json::Value reply;
            int loginError = 0;
            DWORD lastError = 0;
            SocketPtr sock = Handshake(s->ip, s->port, s->user, s->password, s->spec, std::min(LoginWait(), 2000),
                                       reply, &loginError, &lastError);
            if (!sock)
                continue;
            bool unwatch = false;
            {
                std::lock_guard<std::mutex> slk(s->mu);
                if (s->ended || s->sock)
                    continue; // logged out meanwhile: the socket closes with sock
                s->sock = sock;
                // The re-established login of an upgrade stays open until SdkLogout.
                unwatch = s->watchOnly;
                s->watchOnly = false;
                if (unwatch)
                    s->upgradeWatch = false;
            }
            StartReader(s, sock);
            fHaveReConnect cb;
            void* user;
            {
                std::lock_guard<std::mutex> lk(mu_);
                cb = reconnectCb_;
                user = reconnectUser_;
            }
            LONG h = s->handle;
            std::string ip = s->ip;
            LONG port = s->port;
            if (cb)
                Post([cb, user, h, ip, port] { cb(h, ip.c_str(), port, user); });
        }
    }
}

std::vector<std::pair<std::string, uint16_t>> Core::KnownAddresses()
{
    std::vector<std::pair<std::string, uint16_t>> out;
    std::set<std::string> seen;
    devsim::Fleet* fleet = nullptr;
    {
        std::lock_guard<std::mutex> lk(mu_);
        out = fleetAddrs_;
        for (const auto& a : out)
            seen.insert(a.first);
        for (const std::string& a : learned_)
            if (seen.insert(a).second)
                out.emplace_back(a, opts_.probePort);
        fleet = embedded_.get();
    }
    if (fleet)
        for (const std::string& a : fleet->Addresses())
            if (seen.insert(a).second)
                out.emplace_back(a, fleet->ProbePort());
    return out;
}

uint16_t Core::ProbePortFor(const std::string& ip)
{
    std::lock_guard<std::mutex> lk(mu_);
    for (const auto& a : fleetAddrs_)
        if (a.first == ip)
            return a.second;
    return opts_.probePort;
}

void Core::Learn(const std::string& mac, const std::string& ip, int port)
{
    std::lock_guard<std::mutex> lk(mu_);
    if (!mac.empty())
        macs_[mac] = {ip, port};
    bool known = false;
    for (const auto& a : fleetAddrs_)
        if (a.first == ip) {
            known = true;
            break;
        }
    if (!known && IsLoopback(ip))
        learned_.insert(ip);
}

bool Core::Locate(const std::string& mac, std::string& ip, int& port)
{
    std::lock_guard<std::mutex> lk(mu_);
    for (const auto& kv : macs_) {
        if (kv.first.size() == mac.size() && strcasecmp(kv.first.c_str(), mac.c_str()) == 0) {
            ip = kv.second.first;
            port = kv.second.second;
            return true;
        }
    }
    return false;
}

} // namespace devsdk

// ---- Public life-cycle calls ----------------------------------------------------------

using devsdk::Core;

BOOL SdkInit(fDisConnect cbDisConnect, void* dwUser)
{
    Core::Get().Init(cbDisConnect, dwUser);
    return devsdk::Ok();
}

void SdkSetAutoReconnect(fHaveReConnect cbAutoConnect, void* dwUser)
{
    Core::Get().SetReconnect(cbAutoConnect, dwUser);
    devsdk::SetLastError(0);
}

void SdkCleanup()
{
    Core::Get().Cleanup();
    devsdk::SetLastError(0);
}

DWORD SdkGetLastError() { return devsdk::LastError(); }

void SdkSetNetworkParam(const NET_PARAM* pNetParam)
{
    if (!pNetParam) {
        devsdk::SetLastError(SDK_ILLEGAL_PARAM);
        return;
    }
    Core::Get().SetLoginWait(pNetParam->nWaittime);
    devsdk::SetLastError(0);
}
