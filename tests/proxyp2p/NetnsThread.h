// A thread in a network namespace of its own, with only loopback up: sockets it makes (port 28591
// among them) are apart from every other test's. Runs the tasks it is given, one at a time.
#pragma once

#include <sched.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace p2ptest {

class NetnsThread
{
public:
    NetnsThread()
    {
        thread_ = std::thread([this] { Run(); });
        std::unique_lock<std::mutex> lock(mu_);
        cv_.wait(lock, [this] { return ready_; });
    }
    ~NetnsThread()
    {
        {
            std::lock_guard<std::mutex> lock(mu_);
            stop_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    NetnsThread(const NetnsThread&) = delete;
    NetnsThread& operator=(const NetnsThread&) = delete;

    // Empty when the namespace is there.
    const std::string& Error() const { return error_; }

    void Do(const std::function<void()>& task)
    {
        std::unique_lock<std::mutex> lock(mu_);
        task_ = task;
        done_ = false;
        cv_.notify_all();
        cv_.wait(lock, [this] { return done_; });
    }

private:
    void Run()
    {
        std::string error;
        if (::unshare(CLONE_NEWNET) != 0)
            error = std::string("unshare(CLONE_NEWNET): ") + std::strerror(errno);
        else if (std::system("ip link set lo up >/dev/null 2>&1") != 0)
            error = "loopback cannot be brought up";
        std::unique_lock<std::mutex> lock(mu_);
        error_ = error;
        ready_ = true;
        cv_.notify_all();
        for (;;) {
            cv_.wait(lock, [this] { return stop_ || task_; });
            if (stop_)
                return;
            std::function<void()> task = task_;
            task_ = nullptr;
            lock.unlock();
            if (error_.empty())
                task();
            lock.lock();
            done_ = true;
            cv_.notify_all();
        }
    }

    std::thread thread_;
    std::mutex mu_;
    std::condition_variable cv_;
    std::string error_;
    std::function<void()> task_;
    bool ready_ = false;
    bool done_ = false;
    bool stop_ = false;
};

} // namespace p2ptest
