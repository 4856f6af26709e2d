// Discovery. Loopback has no broadcast: a "broadcast" search sends the probe to every address
// of the fleets the SDK knows (embedded, external, and addresses it learnt), from a socket
// bound to the broadcast port; an address-list search probes exactly the listed addresses.
#include "devsdk/SdkCore.h"

#include "devsdk/NetInfoCodec.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace devsdk {

namespace {

constexpr int kRcvBuf = 4 << 20;
constexpr size_t kBatch = 128;

// Stops still to fail (a test seam; always 0 in the program).
std::atomic<int> g_failStops{0};

bool TakeFailedStop()
{
    int left = g_failStops.load();
    while (left > 0 && !g_failStops.compare_exchange_weak(left, left - 1)) {
    }
    return left > 0;
}

int OpenUdp(const std::string& localIp, uint16_t port, DWORD* error)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (inet_pton(AF_INET, localIp.c_str(), &sa.sin_addr) != 1) {
        *error = SDK_ILLEGAL_PARAM;
        return -1;
    }
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = SDK_ERROR;
        return -1;
    }
    int sz = kRcvBuf;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &sz, sizeof sz);
    if (bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        *error = errno == EADDRINUSE ? SDK_BROADCAST_PORT_IN_USE : SDK_ILLEGAL_PARAM;
        close(fd);
        return -1;
    }
    return fd;
}

void SendProbe(int fd, const std::string& ip, uint16_t port, uint32_t seq)
{
    if (!IsLoopback(ip))
        return; // nothing leaves 127.0.0.0/8
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (inet_pton(AF_INET, ip.c_str(), &sa.sin_addr) != 1)
        return;
    static const std::string probe = wire::Encode(wire::kRequest, wire::kOpDiscover, 0, std::string("{}"));
    std::string bytes = probe;
    // sequence number in the header (offset 8)
    for (int i = 0; i < 4; ++i)
        bytes[8 + i] = char((seq >> (8 * i)) & 0xFF);
    sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
}

// Reads every waiting answer; calls back once per good one. Returns the source addresses.
void DrainAnswers(int fd, int waitMs, const std::function<void(const std::string& from, DEVICE_NET_INFO_EX&)>& on)
{
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, waitMs) <= 0)
        return;
    char buf[wire::kMaxDatagram];
    for (;;) {
        sockaddr_in from{};
        socklen_t fl = sizeof from;
        ssize_t n = recvfrom(fd, buf, sizeof buf, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fl);
        if (n < 0)
            return;
        wire::Frame f;
        Json::Value v;
        if (!wire::DecodeDatagram(buf, size_t(n), f) || f.kind != wire::kReply || f.op != wire::kOpDiscover ||
            !wire::ParseObject(f.json, v))
            continue;
        char ip[INET_ADDRSTRLEN] = "";
        inet_ntop(AF_INET, &from.sin_addr, ip, sizeof ip);
        DEVICE_NET_INFO_EX rec;
        FillNetInfo(v, rec);
        Core::Get().Learn(TextField(rec.szMacAddr, sizeof rec.szMacAddr), TextField(rec.szIpAddr, sizeof rec.szIpAddr),
                          rec.nPort);
        on(ip, rec);
    }
}

} // namespace

class Search : public std::enable_shared_from_this<Search> {
public:
    Search(int fd, fSearchDevicesCB cb, void* user) : fd_(fd), cb_(cb), user_(user) {}
    ~Search() { close(fd_); }
    void Start()
    {
        auto self = shared_from_this();
        thread_ = std::thread([self] { self->Run(); });
    }
    void Stop()
    {
        stop_ = true;
        if (thread_.joinable()) {
            if (thread_.get_id() == std::this_thread::get_id())
                thread_.detach(); // stopped from its own callback
            else
                thread_.join();
        }
    }

private:
    void Run()
    {
        std::set<std::string> answered;
        int64_t nextRound = 0;
        int rounds = 0;
        uint32_t seq = 1;
        while (!stop_) {
            int64_t now = NowMs();
            if (now >= nextRound) {
                // Unanswered addresses every 500 ms; everything again every fourth round.
                if (rounds++ % 4 == 0)
                    answered.clear();
                auto targets = Core::Get().KnownAddresses();
                size_t sent = 0;
                for (const auto& t : targets) {
                    if (stop_)
                        break;
                    if (answered.count(t.first))
                        continue;
                    SendProbe(fd_, t.first, t.second, seq++);
                    if (++sent % kBatch == 0)
                        Drain(answered, 0);
                }
                nextRound = NowMs() + 500;
            }
            Drain(answered, 20);
        }
    }
    void Drain(std::set<std::string>& answered, int waitMs)
    {
        DrainAnswers(fd_, waitMs, [&](const std::string& from, DEVICE_NET_INFO_EX& rec) {
            answered.insert(from);
            if (!stop_ && cb_) {
                cb_(&rec, user_);
                ++answers_;
            }
        });
    }

    int fd_;
    fSearchDevicesCB cb_;
    void* user_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::atomic<uint64_t> answers_{0};

public:
    uint64_t Answers() const { return answers_.load(); }
};

LONG Core::StartSearch(fSearchDevicesCB cb, void* user, const char* localIp)
{
    if (!inited_)
        return Fail(SDK_NOINIT);
    std::string local = localIp && *localIp ? localIp : opts_.localIp;
    if (!IsLoopback(local))
        local = opts_.localIp;
    DWORD error = 0;
    int fd = OpenUdp(local, BroadcastPort(), &error);
    if (fd < 0)
        return Fail(error);
    auto s = std::make_shared<Search>(fd, cb, user);
    LONG h = 0;
    {
        // Its thread is set before any other thread can see the search, so that a stop always
        // finds it; a cleanup that has begun stops every search it saw and admits no new one.
        std::lock_guard<std::mutex> lk(mu_);
        if (inited_ && !cleaning_) {
            h = NewHandle();
            s->Start();
            searches_[h] = s;
        }
    }
    if (h == 0)
        return Fail(SDK_NOINIT); // the socket closes with the search
    SetLastError(0);
    return h;
}

bool Core::StopSearch(LONG handle)
{
    std::shared_ptr<Search> s;
    {
        std::lock_guard<std::mutex> lk(mu_);
        auto it = searches_.find(handle);
        if (it != searches_.end() && TakeFailedStop())
            return Fail(SDK_ERROR); // the search runs on
        if (it != searches_.end()) {
            s = it->second;
            searches_.erase(it);
        }
    }
    if (!s)
        return Fail(SDK_INVALID_HANDLE);
    s->Stop();
    return Ok();
}

uint64_t Core::SearchAnswers(LONG handle)
{
    std::lock_guard<std::mutex> lk(mu_);
    auto it = searches_.find(handle);
    return it == searches_.end() ? 0 : it->second->Answers();
}

void FailNextSearchStops(int count) { g_failStops = count > 0 ? count : 0; }

uint64_t SearchAnswerCount(int32_t handle) { return Core::Get().SearchAnswers(handle); }

} // namespace devsdk

using devsdk::Core;

LONG SdkStartSearchDevices(fSearchDevicesCB cbSearchDevices, void* pUserData, const char* szLocalIp)
{
    return Core::Get().StartSearch(cbSearchDevices, pUserData, szLocalIp);
}

BOOL SdkStopSearchDevices(LONG lSearchHandle) { return Core::Get().StopSearch(lSearchHandle); }

BOOL SdkSetSearchParam(const SDK_SEARCH_PARAM* pSearchParam)
{
    if (!pSearchParam || pSearchParam->wBroadcastPort == 0)
        return devsdk::Fail(SDK_ILLEGAL_PARAM);
    Core::Get().SetBroadcastPort(pSearchParam->wBroadcastPort);
    return devsdk::Ok();
}

BOOL SdkSearchDevicesByIPs(const SDK_SEARCH_IP_LIST* pIpSearchInfo, fSearchDevicesCB cbSearchDevices,
                           void* dwUserData, const char* szLocalIp, DWORD dwWaitTime)
{
    using namespace devsdk;
    Core& core = Core::Get();
    if (!core.Inited())
        return Fail(SDK_NOINIT);
    if (!pIpSearchInfo || pIpSearchInfo->dwSize < sizeof(SDK_SEARCH_IP_LIST) || pIpSearchInfo->nIpNum < 0 ||
        pIpSearchInfo->nIpNum > 256)
        return Fail(SDK_ILLEGAL_PARAM);
    std::string local = szLocalIp && *szLocalIp && IsLoopback(szLocalIp) ? szLocalIp : core.Options().localIp;
    DWORD error = 0;
    int fd = OpenUdp(local, 0, &error);
    if (fd < 0)
        return Fail(error);
    std::set<std::string> wanted;
    for (int i = 0; i < pIpSearchInfo->nIpNum; ++i) {
        std::string ip = TextField(pIpSearchInfo->szIP[i], sizeof pIpSearchInfo->szIP[i]);
        if (IsLoopback(ip) && wanted.insert(ip).second)
            SendProbe(fd, ip, core.ProbePortFor(ip), uint32_t(i + 1));
    }
    std::set<std::string> answered;
    int64_t deadline = NowMs() + dwWaitTime;
    int64_t resend = NowMs() + 500;
    // Returns once every address answered or the wait is over.
    while (answered.size() < wanted.size() && NowMs() < deadline) {
        DrainAnswers(fd, int(std::min<int64_t>(50, std::max<int64_t>(0, deadline - NowMs()))),
                     [&](const std::string& from, DEVICE_NET_INFO_EX& rec) {
                         if (!wanted.count(from) || !answered.insert(from).second)
                             return;
                         if (cbSearchDevices)
                             cbSearchDevices(&rec, dwUserData);
                     });
        if (NowMs() >= resend) {
            for (const std::string& ip : wanted)
                if (!answered.count(ip))
                    SendProbe(fd, ip, core.ProbePortFor(ip), 0);
            resend = NowMs() + 500;
        }
    }
    close(fd);
    return Ok();
}
