// The player's calls: a table of ports, each a PlayerPort.
#include "player/Player.h"

#include "player/AvLib.h"
#include "player/PlayerPort.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

using player::PlayerPort;

namespace {

std::mutex g_mu;
std::shared_ptr<PlayerPort> g_ports[kPlayerMaxPorts + 1];

std::shared_ptr<PlayerPort> PortOf(LONG port)
{
    if (port < 1 || port > kPlayerMaxPorts)
        return nullptr;
    std::lock_guard<std::mutex> lk(g_mu);
    return g_ports[port];
}

} // namespace

BOOL PlayerGetFreePort(LONG* plPort)
{
    if (!plPort)
        return FALSE;
    std::lock_guard<std::mutex> lk(g_mu);
    for (LONG p = 1; p <= kPlayerMaxPorts; ++p)
        if (!g_ports[p]) {
            g_ports[p] = std::make_shared<PlayerPort>(p);
            *plPort = p;
            return TRUE;
        }
    *plPort = 0;
    return FALSE;
}

BOOL PlayerOpenStream(LONG nPort, BYTE* /*pFileHeadBuf*/, DWORD /*nSize*/, DWORD nBufPoolSize)
{
    std::shared_ptr<PlayerPort> p = PortOf(nPort);
    // The pool is capped so that a caller cannot make the port hold more than 16 MiB.
    return p && p->Open(std::min<DWORD>(nBufPoolSize, 16u << 20)) ? TRUE : FALSE;
}

BOOL PlayerPlay(LONG nPort, HWND hWnd)
{
    std::shared_ptr<PlayerPort> p = PortOf(nPort);
    return p && p->Play(hWnd) ? TRUE : FALSE;
}

BOOL PlayerInputData(LONG nPort, BYTE* pBuf, DWORD nSize)
{
    std::shared_ptr<PlayerPort> p = PortOf(nPort);
    return p && p->Input(pBuf, nSize) ? TRUE : FALSE;
}

BOOL PlayerSetInfoCallBack(LONG nPort, fPlayerInfoCallBack cb, void* pUser)
{
    std::shared_ptr<PlayerPort> p = PortOf(nPort);
    if (!p)
        return FALSE;
    p->SetInfoCallBack(cb, pUser);
    return TRUE;
}

BOOL PlayerClearCallBack(LONG nPort, void* /*cb*/, void* /*pUser*/)
{
    std::shared_ptr<PlayerPort> p = PortOf(nPort);
    if (!p)
        return FALSE;
    p->SetDecodeCallBack(nullptr, nullptr);
    return TRUE;
}

BOOL PlayerSetDecodeCallBack(LONG nPort, fDecodeCallBack cb, void* pUser)
{
    std::shared_ptr<PlayerPort> p = PortOf(nPort);
    if (!p)
        return FALSE;
    p->SetDecodeCallBack(cb, pUser);
    return TRUE;
}

BOOL PlayerStop(LONG nPort)
{
    std::shared_ptr<PlayerPort> p = PortOf(nPort);
    if (!p)
        return FALSE;
    p->Stop();
    return TRUE;
}

BOOL PlayerCloseStream(LONG nPort)
{
    std::shared_ptr<PlayerPort> p = PortOf(nPort);
    if (!p)
        return FALSE;
    p->Close();
    return TRUE;
}

BOOL PlayerReleasePort(LONG nPort)
{
    std::shared_ptr<PlayerPort> p;
    {
        std::lock_guard<std::mutex> lk(g_mu);
        if (nPort < 1 || nPort > kPlayerMaxPorts || !g_ports[nPort])
            return FALSE;
        p.swap(g_ports[nPort]);
    }
    p->Stop(); // joins the thread outside the table lock
    return TRUE;
}

int PlayerQueryTime(LONG nPort)
{
    std::shared_ptr<PlayerPort> p = PortOf(nPort);
    return p ? p->FramesDecoded() : 0;
}

BOOL PlayerGetStats(LONG nPort, PLAYER_STATS* pStats)
{
    std::shared_ptr<PlayerPort> p = PortOf(nPort);
    if (!p || !pStats)
        return FALSE;
    *pStats = p->Stats();
    return TRUE;
}

BOOL PlayerDecoderLoaded(char* pReason, DWORD nSize)
{
    if (player::LoadAvLib())
        return TRUE;
    if (pReason && nSize > 0) {
        std::string why = player::AvLibError();
        size_t n = std::min<size_t>(why.size(), size_t(nSize) - 1);
        std::memcpy(pReason, why.data(), n);
        pReason[n] = '\0';
    }
    return FALSE;
}
