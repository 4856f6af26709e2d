// The local link-through on a small LAN: the client and a device each in a network namespace of
// their own, joined by a veth pair that the test makes. Skipped when namespaces cannot be made.
#include "../p2p/LogCapture.h"
#include "Infra3/Time.h"
#include "LinkThrough/P2PLinkThroughLocal.h"
#include "P2PSDK/HttpMessage.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

using namespace Orvan::Tou;

namespace {

// A thread in a network namespace of its own (a thread's namespace is its own on Linux); runs the
// tasks it is given, one at a time, in that namespace.
class NamespaceThread
{
public:
    NamespaceThread()
    {
        thread_ = std::thread([this] { Run(); });
        std::unique_lock<std::mutex> lock(mu_);
        cv_.wait(lock, [this] { return tid_ != 0 || !error_.empty(); });
    }
    ~NamespaceThread()
    {
        {
            std::lock_guard<std::mutex> lock(mu_);
            stop_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }

    const std::string& Error() const { return error_; }
    long Tid() const { return tid_; }

    void Do(const std::function<void()>& task)
    {
        std::unique_lock<std::mutex> lock(mu_);
        task_ = task;
        done_ = false;
        cv_.notify_all();
        cv_.wait(lock, [this] { return done_; });
    }

    // Shell commands in this namespace; false when one fails.
    bool Sh(const std::string& commands)
    {
        bool ok = false;
        Do([&] { ok = std::system((commands + " >/dev/null 2>&1").c_str()) == 0; });
        return ok;
    }

private:
    void Run()
    {
        long tid = 0;
        std::string error;
        if (::unshare(CLONE_NEWNET) != 0)
            error = std::string("unshare(CLONE_NEWNET): ") + std::strerror(errno);
        else
            tid = long(::syscall(SYS_gettid));
        {
            std::lock_guard<std::mutex> lock(mu_);
            tid_ = tid;
            error_ = error;
        }
        cv_.notify_all();
        if (!error.empty())
            return;
        std::unique_lock<std::mutex> lock(mu_);
        for (;;) {
            cv_.wait(lock, [this] { return stop_ || task_; });
            if (stop_)
                return;
            std::function<void()> task = task_;
            task_ = nullptr;
            lock.unlock();
            task();
            lock.lock();
            done_ = true;
            cv_.notify_all();
        }
    }

    std::thread thread_;
    std::mutex mu_;
    std::condition_variable cv_;
    long tid_ = 0;
    std::string error_;
    std::function<void()> task_;
    bool done_ = false;
    bool stop_ = false;
};

// The device end of "local-channel" on port 28591: 200 for its own id, 401 for "DEV401".
class LocalDevice
{
public:
    explicit LocalDevice(const std::string& id) : id_(id) {}
    ~LocalDevice() { Stop(); }

    bool Start()
    {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        int on = 1;
        setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_port = htons(kBroadcastPort);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0)
            return false;
        thread_ = std::thread([this] { Run(); });
        return true;
    }
    void Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    std::set<int> CSeqs()
    {
        std::lock_guard<std::mutex> lock(mu_);
        return cseqs_;
    }
    std::string LastUrl()
    {
        std::lock_guard<std::mutex> lock(mu_);
        return lastUrl_;
    }

private:
    void Run()
    {
        while (!stop_) {
            pollfd p = {fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buf[8192];
            sockaddr_in from = {};
            socklen_t len = sizeof(from);
            long n = ::recvfrom(fd_, buf, sizeof(buf) - 1, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n <= 0)
                continue;
            buf[n] = 0;
            HttpMessage msg;
            if (parseHttpMessage(&msg, buf, int(n)) < 0 || msg.kind == kHttpResponse)
                continue;
            {
                std::lock_guard<std::mutex> lock(mu_);
                cseqs_.insert(msg.CSeq);
                lastUrl_ = msg.url;
            }
            int status = 0;
            if (std::string(msg.url) == "/device/" + id_ + "/local-channel")
                status = 200;
            else if (std::string(msg.url) == "/device/DEV401/local-channel")
                status = 401;
            if (!status)
                continue;
            std::string text = "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Unauthorized") +
                               "\r\nCSeq: 0\r\n\r\n";
            ::sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
        }
    }

    std::string id_;
    int fd_ = -1;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mu_;
    std::set<int> cseqs_;
    std::string lastUrl_;
};

struct Outcome
{
    void OnResult(int s, const LinkChannelInfo& info, int type)
    {
        ++calls;
        state = s;
        link = info;
        linkType = type;
    }
    int calls = 0;
    int state = -1;
    int linkType = -1;
    LinkChannelInfo link;
};

// Drives one local link-through in the client namespace until it reports; the time it took.
uint64_t RunLocal(NamespaceThread& client, const std::string& id, Outcome& out)
{
    uint64_t took = 0;
    client.Do([&] {
        CP2PLinkThroughLocal local(id, LinkResultProc(&Outcome::OnResult, &out), 1, 7001);
        const uint64_t start = Orvan::Infra::CTime::getTickCountMs();
        while (out.calls == 0 && Orvan::Infra::CTime::getTickCountMs() - start < 5000) {
            local.heartbeat(Orvan::Infra::CTime::getTickCountMs());
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        took = Orvan::Infra::CTime::getTickCountMs() - start;
    });
    return took;
}

} // namespace

TEST(LocalLinkThrough, FindsTheDeviceByBroadcastOnTheSegment)
{
    NamespaceThread client, device;
    if (!client.Error().empty() || !device.Error().empty())
        GTEST_SKIP() << "network namespaces cannot be made here: " << client.Error() << device.Error();
    const std::string a = "vxl" + std::to_string(::getpid() % 100000) + "a";
    const std::string b = "vxl" + std::to_string(::getpid() % 100000) + "b";
    if (!client.Sh("ip link add " + a + " type veth peer name " + b))
        GTEST_SKIP() << "a veth pair cannot be made here";
    ASSERT_TRUE(client.Sh("ip link set " + b + " netns " + std::to_string(device.Tid())));
    ASSERT_TRUE(client.Sh("ip link set lo up && ip addr add 10.201.0.1/24 dev " + a + " && ip link set " + a +
                          " up && ip route add default dev " + a));
    ASSERT_TRUE(device.Sh("ip link set lo up && ip addr add 10.201.0.2/24 dev " + b + " && ip link set " + b +
                          " up && ip route add default dev " + b));

    LocalDevice dev("DEVLAN");
    bool started = false;
    device.Do([&] { started = dev.Start(); });
    ASSERT_TRUE(started);
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // the veth link comes up

    {
        SCOPED_TRACE("device answers 200");
        Outcome out;
        RunLocal(client, "DEVLAN", out);
        ASSERT_EQ(out.calls, 1);
        EXPECT_EQ(out.state, linkStateFound);
        EXPECT_EQ(out.linkType, linkTypeLocal);
        EXPECT_EQ(out.link.id, "DEVLAN");
        EXPECT_STREQ(out.link.conn.remoteIp, "10.201.0.2");
        EXPECT_EQ(out.link.conn.remotePort, kBroadcastPort);
        EXPECT_EQ(out.link.localPort, 7001);
        EXPECT_EQ(out.link.channelType, 1);
        EXPECT_TRUE(out.link.peerVersion.empty());
        ASSERT_NE(out.link.socket.get(), nullptr);
        EXPECT_EQ(dev.LastUrl(), "/device/DEVLAN/local-channel");
    }
    {
        SCOPED_TRACE("device answers only 401");
        Outcome out;
        LogCapture log;
        uint64_t took = RunLocal(client, "DEV401", out);
        ASSERT_EQ(out.calls, 1);
        EXPECT_EQ(out.state, linkStateFailed);
        EXPECT_EQ(out.link.localPort, 7001);
        EXPECT_EQ(out.link.socket.get(), nullptr);
        EXPECT_GE(took, 2000u);
        EXPECT_LT(took, 2500u);
        EXPECT_EQ(log.count("wait local channel response timeout!"), 1u);
        // Broadcast at about 0, 100, 300, 700 and 1500 ms, each with a new CSeq.
        EXPECT_GE(dev.CSeqs().size(), 6u); // with the first search's
    }
    dev.Stop();
    client.Sh("ip link del " + a);
}
