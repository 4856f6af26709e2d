// Cloud update calls: the update check and firmware downloads from the update service. Both ask
// the service at the address in the request, without a login, on a fresh connection per request
// (sim/cloudsvc/PROTOCOL.md); only loopback addresses are reached. A download runs on a thread of
// its own, writes "<path>.part" and renames it to the path once the whole file has arrived, and
// reports to the request's callback from that thread: (3, percent) as it goes, then exactly one
// of 1 (success), 2 (failed), 4 (no disk space) or a state the service scripted. Nothing is
// reported after SdkCloudDownloadStop returns.
#include "devsdk/SdkCore.h"

#include "devsdk/CloudWire.h"

#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace devsdk {

namespace {

constexpr int kPieceWaitMs = 10000;

// Connects to the service. Sets the last error: 0x80000002 when the service did not answer in
// time, SDK_ERROR when it cannot be reached at all.
SocketPtr ConnectService(const cloud::Address& a, int64_t deadline)
{
    if (!IsLoopback(a.host)) {
        SetLastError(SDK_ERROR);
        return nullptr;
    }
    bool refused = false;
    SocketPtr sock = ConnectTo(a.host, a.port, deadline, &refused);
    if (!sock)
        SetLastError(refused ? SDK_ERROR : SDK_NETWORK_ERROR);
    return sock;
}

// The connection of a request in flight, shut down to end the request early.
struct Cancel {
    std::mutex mu;
    SocketPtr sock;
    bool cancelled = false;
    bool Set(const SocketPtr& s)
    {
        std::lock_guard<std::mutex> lk(mu);
        sock = s;
        return !cancelled;
    }
    void Fire()
    {
        std::lock_guard<std::mutex> lk(mu);
        cancelled = true;
        if (sock)
            shutdown(sock->fd, SHUT_RDWR);
    }
};

// One request and its reply on a fresh connection; false with the last error set.
bool Ask(const cloud::Address& a, uint16_t op, const Json::Value& body, int waitMs, Json::Value& reply,
         std::string* bin = nullptr, Cancel* cancel = nullptr)
{
    const int64_t deadline = NowMs() + (waitMs > 0 ? waitMs : 1000);
    SocketPtr sock = ConnectService(a, deadline);
    if (!sock)
        return false;
    if (cancel && !cancel->Set(sock))
        return Fail(SDK_ERROR);
    if (!SendAll(sock->fd, wire::Encode(wire::kRequest, op, 1, body), deadline))
        return Fail(SDK_ERROR);
    wire::FrameReader reader;
    wire::Frame f;
    const int r = RecvFrame(sock->fd, reader, deadline, f);
    if (r == 1)
        return Fail(SDK_NETWORK_ERROR);
    if (r != 0)
        return Fail(SDK_ERROR); // closed, or not our protocol
    if (f.kind != wire::kReply || f.op != op || f.seq != 1 || !wire::ParseObject(f.json, reply))
        return Fail(SDK_RETURN_DATA_ERROR);
    const DWORD code = DWORD(wire::GetInt(reply, "error", SDK_RETURN_DATA_ERROR));
    if (code != 0)
        return Fail(code);
    if (bin)
        *bin = std::move(f.bin);
    return Ok();
}

class CloudDownload {
public:
    LONG handle = 0;
    cloud::Address address;
    std::string path;
    fCloudDownloadCallBack cb = nullptr;
    void* user = nullptr;
    std::atomic<bool> stop{false};
    Cancel cancel;
    std::thread thread;

    void Run()
    {
        const std::string part = path + ".part";
        const int state = Fetch(part);
        if (state != RemoteUpdateState_Success)
            std::remove(part.c_str());
        if (!stop)
            Report(state, state == RemoteUpdateState_Success ? 100 : 0);
    }

private:
    void Report(int state, int percent)
    {
        if (!stop && cb)
            cb(handle, state, 0, 0, DWORD(percent), user);
    }

    // Writes the file; the state to report at the end.
    int Fetch(const std::string& part)
    {
        FILE* out = std::fopen(part.c_str(), "wb");
        if (!out)
            return errno == ENOSPC ? RemoteUpdateState_NoDiskSpace : RemoteUpdateState_Failed;
        int64_t offset = 0, total = -1;
        int lastPercent = -1;
        int state = 0;
        while (!stop && (total < 0 || offset < total)) {
            Json::Value body(Json::objectValue), reply;
            body["path"] = address.path;
            body["offset"] = Json::Int64(offset);
            body["length"] = Json::UInt(cloud::kMaxPiece);
            std::string bin;
            cloud::PieceReply piece;
            if (!Ask(address, cloud::kOpDownload, body, kPieceWaitMs, reply, &bin, &cancel) ||
                !cloud::ParsePieceReply(reply, bin.size(), offset, piece)) {
                state = RemoteUpdateState_Failed;
                break;
            }
            if (piece.state != 0) {
                state = piece.state;
                break;
            }
            if (total >= 0 && piece.total != total) { // the file changed under the download
                state = RemoteUpdateState_Failed;
                break;
            }
            total = piece.total;
            if (!bin.empty() && std::fwrite(bin.data(), 1, bin.size(), out) != bin.size()) {
                state = errno == ENOSPC ? RemoteUpdateState_NoDiskSpace : RemoteUpdateState_Failed;
                break;
            }
            offset += int64_t(bin.size());
            const int percent = total > 0 ? int(offset * 100 / total) : 100;
            if (percent != lastPercent && offset < total) {
                lastPercent = percent;
                Report(RemoteUpdateState_Downloading, percent);
            }
        }
        if (std::fflush(out) != 0 && state == 0)
            state = errno == ENOSPC ? RemoteUpdateState_NoDiskSpace : RemoteUpdateState_Failed;
        if (std::fclose(out) != 0 && state == 0)
            state = RemoteUpdateState_Failed;
        if (stop)
            return RemoteUpdateState_Failed;
        if (state != 0)
            return state;
        if (std::rename(part.c_str(), path.c_str()) != 0)
            return RemoteUpdateState_Failed;
        return RemoteUpdateState_Success;
    }
};

std::mutex g_mu;
std::map<LONG, std::shared_ptr<CloudDownload>> g_downloads;

void Finish(const std::shared_ptr<CloudDownload>& d)
{
    d->stop = true;
    d->cancel.Fire();
    if (!d->thread.joinable())
        return;
    if (d->thread.get_id() == std::this_thread::get_id())
        d->thread.detach(); // stopped from its own callback
    else
        d->thread.join();
}

} // namespace

void StopCloudDownloads()
{
    std::map<LONG, std::shared_ptr<CloudDownload>> all;
    {
        std::lock_guard<std::mutex> lk(g_mu);
        all.swap(g_downloads);
    }
    for (auto& kv : all)
        Finish(kv.second);
}

} // namespace devsdk

using devsdk::Core;
using devsdk::Fail;
using devsdk::Ok;
namespace cloud = devsdk::cloud;

BOOL SdkCloudUpgraderCheck(const NET_IN_CLOUD_UPGRADER_CHECK* pInParam, NET_OUT_CLOUD_UPGRADER_CHECK* pOutParam,
                           int nWaitTime)
{
    if (!pInParam || !pOutParam || pInParam->dwSize < sizeof *pInParam || pOutParam->dwSize < sizeof *pOutParam)
        return Fail(SDK_ILLEGAL_PARAM);
    if (!Core::Get().Inited())
        return Fail(SDK_NOINIT);
    cloud::Address a;
    if (!cloud::ParseUrl(pInParam->szUrl, sizeof pInParam->szUrl, a))
        return Fail(SDK_ERROR);
    Json::Value reply;
    if (!devsdk::Ask(a, cloud::kOpCheck, cloud::CheckRequestBody(*pInParam), nWaitTime, reply))
        return 0;
    if (!cloud::FillCheckAnswer(reply, *pOutParam))
        return Fail(SDK_RETURN_DATA_ERROR);
    return Ok();
}

LONG SdkCloudDownloadStart(const NET_IN_CLOUD_DOWNLOAD* pInParam, NET_OUT_CLOUD_DOWNLOAD* pOutParam)
{
    if (!pInParam || !pOutParam || pInParam->dwSize < sizeof *pInParam)
        return Fail(SDK_ILLEGAL_PARAM);
    Core& core = Core::Get();
    if (!core.Inited())
        return Fail(SDK_NOINIT);
    auto d = std::make_shared<devsdk::CloudDownload>();
    const size_t pathLen = strnlen(pInParam->szSavePath, sizeof pInParam->szSavePath);
    if (!cloud::ParseUrl(pInParam->szUrl, sizeof pInParam->szUrl, d->address) || pathLen == 0 ||
        pathLen == sizeof pInParam->szSavePath)
        return Fail(SDK_ILLEGAL_PARAM);
    if (!devsdk::IsLoopback(d->address.host))
        return Fail(SDK_ERROR);
    d->path.assign(pInParam->szSavePath, pathLen);
    d->cb = pInParam->cbDownload;
    d->user = pInParam->dwUser;
    d->handle = core.NewHandle();
    {
        std::lock_guard<std::mutex> lk(devsdk::g_mu);
        devsdk::g_downloads[d->handle] = d;
        // Started under the lock: a stop that finds the download also finds its thread.
        d->thread = std::thread([d] {
            pthread_setname_np(pthread_self(), "sdk-download");
            d->Run();
        });
    }
    Ok();
    return d->handle;
}

BOOL SdkCloudDownloadStop(LONG lDownloadHandle)
{
    std::shared_ptr<devsdk::CloudDownload> d;
    {
        std::lock_guard<std::mutex> lk(devsdk::g_mu);
        auto it = devsdk::g_downloads.find(lDownloadHandle);
        if (it == devsdk::g_downloads.end())
            return Fail(SDK_INVALID_HANDLE); // 0, the placeholder 1, or stopped before
        d = it->second;
        devsdk::g_downloads.erase(it);
    }
    devsdk::Finish(d);
    return Ok();
}
