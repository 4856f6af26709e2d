// Port mapping of a Manual Add by serial number: a proxy client on the P2P server carries a local
// TCP port to the device's SDK service port.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "Common/AppSettings.h"
#include "Main/CLoginDevEventImp.h"
#include "ProxyClient/ProxyClientSdk.h"

namespace {

const int kServerPort = 8800;
const char kAccessKey[] = "Bq8Tzn4W-7K-Gd2_";
const int kDevicePort = 37777;
const int kAttempts = 10;
// A channel that neither connects nor fails must not hold the SDK loop for ever.
const int kMapTimeoutMs = 20000;

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

// Polls `query` until it reports 3 (online); false after the last attempt.
template <class Query> bool PollOnline(Query query, const char* failed, const char* online)
{
    int state = 0;
    for (int i = 0; i < kAttempts; ++i) {
        if (query(&state) < 0)
            std::printf("%s\n", failed);
        if (state == 3) {
            std::printf("%s\n", online);
            return true;
        }
        Pause();
    }
    return false;
}

} // namespace

void CLoginDevEventImp::P2PServerOf(std::string& host, int& port)
{
    host = CAppSettings::Language == 0 ? "p2p-cn.vantyx.net" : "p2p.vantyx.net";
    port = kServerPort;
    const char* over = std::getenv("VX_P2P_SERVER");
    if (!over || !*over)
        return;
    std::string text(over);
    const std::string::size_type colon = text.rfind(':');
    if (colon != std::string::npos) {
        const int value = std::atoi(text.c_str() + colon + 1);
        if (value > 0 && value < 65536)
            port = value;
        text.resize(colon);
    }
    if (!text.empty())
        host = text;
}

int CLoginDevEventImp::P2PGetPort(const std::string& serial)
{
    int reason = 0;
    return P2PGetPort(serial, reason);
}

int CLoginDevEventImp::P2PGetPort(const std::string& serial, int& reason)
{
    std::string host;
    int serverPort = kServerPort;
    P2PServerOf(host, serverPort);
    reason = P2P_UNRESOLVED;
    // The client stays up after the add, so the mapped port keeps leading to the device.
    ProxyHandle client = ZRProxyClientInit(host.c_str(), serverPort, kAccessKey);
    if (!client)
        return 0;
    reason = P2P_SERVER_OFFLINE;
    if (!PollOnline([&](int* s) { return ZRProxyClientState(client, s); }, "[Demo] proxy client check state failed!",
                    "[Demo] proxy client check state:On line"))
        return 0;
    reason = P2P_DEVICE_OFFLINE;
    if (!PollOnline([&](int* s) { return ZRProxyClientServerState(client, serial.c_str(), s); },
                    "[Demo] proxy client check device state failed!",
                    "[Demo] proxy client check device state:On line"))
        return 0;
    reason = P2P_MAP_FAILED;
    for (int i = 0; i < kAttempts; ++i) {
        int localPort = 0;
        if (ZRProxyClientAddPortSync(client, serial.c_str(), kDevicePort, &localPort, kMapTimeoutMs) < 0) {
            std::printf("[Demo] channel connect failed!\n");
            continue;
        }
        std::printf("[Demo] channel connect success!\n");
        Pause();
        reason = 0;
        return localPort;
    }
    return 0;
}
