// Addresses, sockets, the select reactor and the NAT event driver over loopback.
#include "../p2psdk/NetTestSupport.h"
#include "nattraver/net/Address.h"
#include "nattraver/net/NATEventDriver.h"
#include "nattraver/net/Reactor.h"
#include "nattraver/net/Socket.h"

#include "Infra3/CurrentThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sys/socket.h>
#include <sys/time.h>

using namespace Orvan::NATTraver;
using Orvan::Tou::ReactorHandler;
using Orvan::Tou::ReactorSelect;
using nettest::WaitUntil;

TEST(AddressTest, TextsAndNat64)
{
    Address a("127.0.0.1", 8800);
    EXPECT_STREQ(a.getIp(), "127.0.0.1");
    EXPECT_EQ(a.getPort(), 8800);
    EXPECT_EQ(a, Address("127.0.0.1", 8800));
    EXPECT_NE(a, Address("127.0.0.1", 8801));
    Address unresolved("no.such.host.invalid", 1);
    EXPECT_STREQ(unresolved.getIp(), "0.0.0.0");

    Address::setIpv6Prefix("64:ff9b");
    struct Case
    {
        const char* in;
        const char* out;
    } cases[] = {{"192.168.1.10", "64:ff9b::c0a8:10a"}, {"10.0.0.1", "64:ff9b::a00:001"}, {"0.0.0.0", "::"},
                 {"127.0.0.1", "::1"},                  {"fe80::1", "fe80::1"},           {"10.0.1", ""}};
    for (const Case& c : cases)
        EXPECT_EQ(Address::synthesizeIpv6(c.in), c.out) << c.in;
    EXPECT_EQ(Address::synthesizeIpv6(nullptr), "");
}

TEST(SocketTest, RandomBindsAndReceives)
{
    Socket a(true), b(true);
    ASSERT_EQ(a.bind(Address("127.0.0.1", 0)), 0);
    ASSERT_EQ(b.bind(Address("127.0.0.1", 0)), 0);
    Address la, lb;
    a.getLocalAddress(la);
    b.getLocalAddress(lb);
    EXPECT_NE(la.getPort(), lb.getPort());
    for (int port : {la.getPort(), lb.getPort()}) {
        EXPECT_GE(port, 16759);
        EXPECT_LE(port, 65535);
    }
    char buf[64];
    Address from;
    EXPECT_EQ(a.recvFrom(buf, sizeof(buf), from, 0), 0); // nothing there
    EXPECT_EQ(a.recv(buf, sizeof(buf), 0), -1);          // never marked connected
    ASSERT_EQ(b.sendTo("ping", 4, la), 4);
    ASSERT_EQ(a.recvFrom(buf, sizeof(buf), from, 1000), 4);
    EXPECT_EQ(from, lb);
    a.setConnected(true);
    ASSERT_EQ(b.sendTo("pong", 4, la), 4);
    EXPECT_EQ(a.recv(buf, sizeof(buf), 1000), 4);
    EXPECT_EQ(a.recv(buf, sizeof(buf), 50), -1); // the wait ran out

    int v = 0;
    EXPECT_EQ(a.getOption(optNonBlocking, v), -1);
    EXPECT_EQ(a.setOption(optNoEffect, 1), 0);
    EXPECT_EQ(a.setOption(9, 1), -1);
    ASSERT_EQ(a.getOption(optSocketType, v), 0);
    EXPECT_EQ(v, SOCK_DGRAM);
    Socket none;
    EXPECT_EQ(none.setOption(optReuseAddr, 1), -1);
}

TEST(SocketTest, StreamConnectWaitsOrReturnsPending)
{
    Socket listener(false);
    ASSERT_EQ(listener.bind(Address("127.0.0.1", 0)), 0);
    ASSERT_EQ(listener.listen(), 0);
    Address at;
    listener.getLocalAddress(at);
    Socket client(false);
    ASSERT_EQ(client.connect(at, 2000), 0);
    Address peer;
    int fd = listener.accept(peer, 2000);
    ASSERT_GT(fd, 0);
    Socket accepted(fd, true);
    EXPECT_EQ(accepted.getType(), Socket::typeStream);
    EXPECT_EQ(client.send("hello", 5, 1000), 5);
    accepted.setConnected(true);
    char buf[8];
    EXPECT_EQ(accepted.recv(buf, sizeof(buf), 1000), 5);
    client.close();
    EXPECT_EQ(accepted.recv(buf, sizeof(buf), 1000), -1); // peer closed

    // Wait 0: either done at once or left pending, and then it completes.
    Socket quick(false);
    if (quick.connect(at, 0) != 0) {
        EXPECT_FALSE(quick.isConnected());
        EXPECT_GT(quick.select(Socket::selectWrite, 1000), 0);
    }
}

TEST(ReactorTest, DispatchRegistrationAndRemoval)
{
    ReactorSelect reactor(Orvan::Infra::currentThreadId());
    timeval zero = {0, 0};
    EXPECT_EQ(reactor.dispatch(&zero), -1);
    EXPECT_EQ(reactor.registFd(0, ReactorHandler()), -1);
    EXPECT_EQ(reactor.unregistFd(12345), 0);

    int a[2], b[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_DGRAM, 0, a), 0);
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_DGRAM, 0, b), 0);
    static std::atomic<int> keepCalls{0}, dropCalls{0};
    struct H
    {
        static bool keep(int fd)
        {
            char c;
            ::recv(fd, &c, 1, 0);
            ++keepCalls;
            return true;
        }
        static bool drop(int) { return ++dropCalls, false; }
    };
    EXPECT_EQ(reactor.registFd(a[0], ReactorHandler(&H::drop)), 0);
    EXPECT_EQ(reactor.registFd(a[0], ReactorHandler(&H::keep)), 0); // replaces the handler
    EXPECT_EQ(reactor.registFd(b[0], ReactorHandler(&H::drop)), 0);
    EXPECT_EQ(reactor.getFdCount(), 2);
    ::send(a[1], "x", 1, 0);
    ::send(b[1], "y", 1, 0);
    timeval wait = {1, 0};
    EXPECT_EQ(reactor.dispatch(&wait), 0);
    EXPECT_EQ(keepCalls, 1);
    EXPECT_EQ(dropCalls, 1);
    EXPECT_EQ(reactor.getFdCount(), 1);
    EXPECT_STREQ(reactor.getName(), "select");
    for (int fd : {a[0], a[1], b[0], b[1]})
        ::close(fd);
}

// A handler that ends its registration (returns false) may meanwhile have seen its descriptor closed
// and the number taken by a new registration: only its own registration goes.
TEST(ReactorTest, AFinishedHandlerRemovesOnlyItsOwnRegistration)
{
    static ReactorSelect* reactor = nullptr;
    static std::atomic<int> laterCalls{0};
    struct H
    {
        static bool later(int fd)
        {
            char c;
            ::recv(fd, &c, 1, 0);
            ++laterCalls;
            return true;
        }
        // the owner lets go of the number, another connection registers it, then this one finishes
        static bool finishing(int fd)
        {
            char c;
            ::recv(fd, &c, 1, 0);
            reactor->unregistFd(fd);
            reactor->registFd(fd, ReactorHandler(&H::later));
            return false;
        }
    };
    ReactorSelect r(Orvan::Infra::currentThreadId());
    reactor = &r;
    int s[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_DGRAM, 0, s), 0);
    ASSERT_EQ(r.registFd(s[0], ReactorHandler(&H::finishing)), 0);
    ::send(s[1], "x", 1, 0);
    timeval wait = {1, 0};
    EXPECT_EQ(r.dispatch(&wait), 0);
    EXPECT_EQ(r.getFdCount(), 1);
    ::send(s[1], "y", 1, 0);
    EXPECT_EQ(r.dispatch(&wait), 0);
    EXPECT_EQ(laterCalls, 1);
    ::close(s[0]);
    ::close(s[1]);
    reactor = nullptr;
}

namespace {
std::atomic<int> s_onceCalls{0};
std::atomic<int> s_countedCalls{0};
bool OnceEvent(uint64_t) { return ++s_onceCalls, false; }
bool ThreeTimes(uint64_t) { return ++s_countedCalls < 3; }
} // namespace

TEST(NATEventDriverTest, FunctorsRunUntilTheyFinish)
{
    CNATEventDriver driver;
    driver.attach(NATEvent(&OnceEvent));
    driver.attach(NATEvent(&ThreeTimes));
    driver.start();
    EXPECT_TRUE(WaitUntil([&] { return driver.eventCount() == 0; }, 3000));
    driver.stop();
    EXPECT_EQ(s_onceCalls, 1);
    EXPECT_EQ(s_countedCalls, 3);
}
