// A set of emulated devices served from one thread: each device listens for discovery probes
// (UDP) and sessions (TCP) on its own loopback address.
#pragma once

#include "devsim/DeviceModel.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace devsim {

class DeviceVideo;

class Fleet {
public:
    struct Options {
        uint16_t probePort = 5050;  // discovery port of every device
        int rebootMs = 3000;        // time a device stays away after a reboot
        int partialMs = 15000;      // a connection holding part of a request this long is closed
        int idleMs = 30000;         // a connection without a login that sends nothing this long too
        int sessionIdleMs = 1800000;  // and a login that sends nothing this long
    };

    Fleet();
    explicit Fleet(Options opt);
    ~Fleet();
    Fleet(const Fleet&) = delete;
    Fleet& operator=(const Fleet&) = delete;

    // Adds a device (before or after Start). Returns its index.
    size_t Add(DeviceState state);
    // Binds every device and starts serving. A device whose address cannot be bound stays
    // offline and is retried; err gets the first such reason.
    bool Start(std::string* err = nullptr);
    void Stop();

    size_t Size() const;
    uint16_t ProbePort() const { return opt_.probePort; }
    // Current addresses of all devices (moved devices included).
    std::vector<std::string> Addresses() const;
    // Runs f on a device's model under the fleet's lock.
    void With(size_t index, const std::function<void(DeviceModel&)>& f);
    // Copy of a device's state.
    DeviceState StateOf(size_t index) const;
    bool Online(size_t index) const;
    // Drops every session of a device and takes it away for ms (reboot without a request).
    void Reboot(size_t index, int ms = -1);
    // Drops every session of a device without taking it away.
    void CutSessions(size_t index);
    // Sessions currently open to the device (logged in or not).
    size_t OpenSessions(size_t index) const;

    // Fleet file: {"probePort":..,"rebootMs":..,"devices":[...]}
    Json::Value ToJson() const;
    static bool FromJson(const Json::Value& v, Options& opt, std::vector<DeviceState>& devices);

private:
    struct Conn;
    struct Dev;
    void Loop();
    void Wake();
    bool BindDevice(Dev& d, std::string* err);
    void UnbindDevice(Dev& d);
    void CloseConn(int fd);
    void OnUdp(Dev& d);
    void OnAccept(Dev& d);
    void OnConnReadable(int fd);
    void FlushConn(Conn& c);
    void RunAction(size_t index, Action a, uint64_t connId = 0);
    void PushEvent(uint64_t connId, uint16_t op, const Json::Value& body);
    void AddTimer(int64_t atMs, std::function<void()> f);
    void PauseAccept(Dev& d);
    void SweepConns();
    static int64_t NowMs();
    // One request of a connection, answered; Later: the rest waits for the next read.
    enum class Dispatch { Next, Later, Gone };
    Dispatch DispatchFrame(int fd, devsdk::wire::Frame& f);
    // A connection that opened a firmware transfer is read by a thread of its own (the loop
    // still writes its answers and events); see FleetTransfer.cpp.
    void ServeOnOwnThread(Conn& c);
    void OwnReaderLoop(uint64_t connId, int fd, int readFd, devsdk::wire::FrameReader reader);
    void ReapReaders();
    std::map<uint64_t, std::thread> readers_;
    std::vector<uint64_t> readersDone_;

    Options opt_;
    mutable std::mutex mu_;
    std::vector<std::unique_ptr<Dev>> devs_;
    std::map<int, std::unique_ptr<Conn>> conns_;
    std::map<uint64_t, int> connIds_;
    struct Play {
        uint64_t conn;
        size_t dev;
        int channel;
        uint32_t frame = 0;
        std::shared_ptr<DeviceVideo> video; // the encoder of this live view
    };
    std::map<int, Play> plays_;
    int nextPlay_ = 1;
    void StreamTick(int play);
    uint64_t nextConnId_ = 1;
    std::map<int, size_t> udpFds_, listenFds_;
    std::multimap<int64_t, std::function<void()>> timers_;
    int epfd_ = -1;
    int wakeFd_ = -1;
    bool running_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

// A mixed fleet: IPCs, domes, DVRs and HCVRs, NVRs and an "other", every fifth to seventh
// uninitialised, with different models, versions and build dates. first = first address.
std::vector<DeviceState> MakeMixedFleet(size_t count, const std::string& first, uint32_t seed = 1);
// The default embedded fleet: sixteen devices, three of them uninitialised.
std::vector<DeviceState> MakeDefaultFleet(const std::string& first);
// The address count positions after first ("127.0.0.2" + 300 -> "127.0.1.46"); "" past 127/8.
std::string NextAddress(const std::string& first, size_t offset);

} // namespace devsim
