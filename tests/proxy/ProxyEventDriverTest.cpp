#include "Proxy/ProxyEventDriver.h"
#include "ProxyTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

namespace proxytest {
namespace {

using namespace Orvan::Tou;

struct Counter {
    std::atomic<int> ticks{0};
    std::atomic<int> accepted{0};
    int listenFd = -1;
    void tick() { ++ticks; }
    bool onReadable(int fd)
    {
        int conn = accept(fd, nullptr, nullptr);
        if (conn >= 0) {
            ++accepted;
            close(conn);
        }
        return true;
    }
};

TEST(ProxyEventDriverTest, RunsTheTaskWithoutPortsAndAcceptsOnItsReactor)
{
    Counter counter;
    CProxyEventDriver driver(CProxyEventDriver::Task(&Counter::tick, &counter));
    EXPECT_TRUE(WaitUntil([&] { return counter.ticks >= 5; }, 3000));

    auto reactor = driver.getReactor();
    EXPECT_EQ(reactor.get(), driver.getReactor().get());
    Listener listener;
    reactor->registFd(listener.fd, ReactorHandler(&Counter::onReadable, &counter));
    int c1 = ConnectTo(listener.port);
    int c2 = ConnectTo(listener.port);
    EXPECT_TRUE(WaitUntil([&] { return counter.accepted == 2; }, 3000));
    reactor->unregistFd(listener.fd);
    close(c1);
    close(c2);
}

TEST(ProxyEventDriverTest, StoppingTwiceIsHarmless)
{
    Counter counter;
    CProxyEventDriver driver(CProxyEventDriver::Task(&Counter::tick, &counter));
    ASSERT_TRUE(WaitUntil([&] { return counter.ticks >= 1; }, 3000));
    driver.stop();
    int after = counter.ticks;
    driver.stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(counter.ticks.load(), after);
}

} // namespace
} // namespace proxytest
