// The cloud update service stand-in on a TCP address: one thread accepts, each connection is
// served by a thread of its own (at most kMaxConnections at once), requests answered in order
// through the catalog. A connection idle or holding part of a request for 15 s is closed.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "cloudsvc/CloudCatalog.h"

namespace cloudsvc {

constexpr int kMaxConnections = 64;
constexpr int kIdleMs = 15000;

class Server {
public:
    explicit Server(Options options);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Listens on the options' address; false with a reason.
    bool Start(std::string& error);
    void Stop();
    int Port() const { return port_; }
    // "http://host:port": the update-server address to give the SDK.
    std::string Url() const;
    Catalog& GetCatalog() { return catalog_; }

private:
    void AcceptLoop();
    void Serve(int fd);

    Options opt_;
    Catalog catalog_;
    int listenFd_ = -1;
    int wakeFd_ = -1;
    int port_ = 0;
    std::thread acceptThread_;
    std::atomic<bool> stopping_{false};
    std::mutex mu_;
    std::condition_variable cv_;
    std::set<int> live_;
};

} // namespace cloudsvc
