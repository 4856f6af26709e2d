#include "../p2p/LogCapture.h"
#include "ProxyTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace proxytest {
namespace {

using namespace Orvan::Tou;

void SendAll(int fd, const std::string& bytes)
{
    size_t off = 0;
    while (off < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
        ASSERT_GT(n, 0);
        off += size_t(n);
    }
}

std::string Pattern(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char('a' + (i * 7 + i / 251) % 26);
    return s;
}

TEST(ProxySessionTest, ReadsAsMuchAsTheChannelCanTakeInMtuMessages)
{
    struct Case {
        int room;
        std::vector<int> payloads;
        bool full;
    } cases[] = {
        {652, {640}, false},   {651, {}, true},        {1305, {1280, 1}, false},
        {1292, {1280}, false}, {1304, {1280}, false},  {0, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.room);
        TcpPair tcp;
        FakeChannel channel;
        std::unique_ptr<CProxySession> session(channel.Make(5, 1280));
        session->attachSocket(tcp.nearFd);
        session->setState(sessionConnSuccess);
        SendAll(tcp.farFd, Pattern(5000));
        ASSERT_TRUE(tcp.WaitReadable(5000));
        channel.room = c.room;
        bool full = false;
        EXPECT_TRUE(session->readTcp(full));
        EXPECT_EQ(channel.Payloads(), c.payloads);
        EXPECT_EQ(full, c.full);
    }
}

TEST(ProxySessionTest, OneFullReadFillsTheBufferWithHeadersAndPayloadExactly)
{
    TcpPair tcp;
    FakeChannel channel;
    std::unique_ptr<CProxySession> session(channel.Make(0x01020304, 0));
    EXPECT_EQ(session->getMtu(), 1280);
    std::unique_ptr<CProxySession> huge(channel.Make(7, 1 << 20));
    EXPECT_EQ(huge->getMtu(), CProxySession::kMaxMtu); // a data message must fit one datagram
    session->attachSocket(tcp.nearFd);
    session->setState(sessionConnSuccess);
    const std::string data = Pattern(200000);
    SendAll(tcp.farFd, data);
    ASSERT_TRUE(tcp.WaitReadable(200000));
    channel.room = 131072;
    bool full = false;
    EXPECT_TRUE(session->readTcp(full));

    std::vector<int> sizes = channel.Payloads();
    ASSERT_EQ(sizes.size(), 102u);
    EXPECT_EQ(std::count(sizes.begin(), sizes.begin() + 101, 1280), 101);
    EXPECT_EQ(sizes[101], 568);
    std::string carried;
    for (const CPacket& p : channel.taken) {
        const uint8_t* b = p.getBuffer();
        EXPECT_EQ(b[0], 0x10);
        EXPECT_EQ(TouMessage::getSessionId(b), 0x01020304u);
        EXPECT_EQ(TouMessage::getLength(b) + 12, int(p.getSize()));
        carried.append(reinterpret_cast<const char*>(b) + 12, p.getSize() - 12);
    }
    EXPECT_EQ(carried, data.substr(0, 131072 - 102 * 12));
}

TEST(ProxySessionTest, PeerThatSendsThenClosesGivesItsBytesThenDisconnect)
{
    TcpPair tcp;
    FakeChannel channel;
    std::unique_ptr<CProxySession> session(channel.Make(9, 1280));
    session->attachSocket(tcp.nearFd);
    session->setState(sessionConnSuccess);
    SendAll(tcp.farFd, Pattern(300));
    close(tcp.farFd);
    tcp.farFd = -1;
    ASSERT_TRUE(tcp.WaitReadable(300));
    channel.room = 1 << 20;
    bool full = false;
    EXPECT_TRUE(session->readTcp(full));
    EXPECT_EQ(channel.Payloads(), std::vector<int>{300});
    EXPECT_FALSE(session->readTcp(full));
    EXPECT_EQ(session->getState(), sessionDisconnect);
    EXPECT_FALSE(session->readTcp(full)); // stays refused
}

TEST(ProxySessionTest, BlockedSocketKeepsOneMessageAndRefusesTheNextUntilItHasGone)
{
    TcpPair tcp;
    FakeChannel channel;
    std::unique_ptr<CProxySession> session(channel.Make(4, 1280));
    session->attachSocket(tcp.nearFd);
    session->setState(sessionConnSuccess);

    // fill the connection while the far end reads nothing
    std::string filler;
    const std::string chunk = Pattern(65536);
    for (;;) {
        ssize_t n = send(tcp.nearFd, chunk.data(), chunk.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n <= 0)
            break;
        filler.append(chunk, 0, size_t(n));
    }
    const std::string first(1000, 'X'), second(500, 'Y');
    bool consumed = true;
    session->onData(DataMessage(4, first), consumed);
    EXPECT_TRUE(consumed); // taken, though held back
    EXPECT_FALSE(session->isPendingEmpty());
    session->onData(DataMessage(4, second), consumed);
    EXPECT_FALSE(consumed); // stays in the channel

    std::string got;
    const size_t total = filler.size() + first.size();
    ASSERT_TRUE(WaitUntil(
        [&] {
            got += tcp.ReadFar(total - got.size(), 20);
            session->flushPending();
            return got.size() == total && session->isPendingEmpty();
        },
        10000));
    consumed = true;
    session->onData(DataMessage(4, second), consumed);
    EXPECT_TRUE(consumed);
    got += tcp.ReadFar(second.size());
    EXPECT_TRUE(got == filler + first + second);
    EXPECT_EQ(session->getState(), sessionConnSuccess);
}

TEST(ProxySessionTest, AcknowledgementsMoveTheState)
{
    struct Case {
        int from;
        const char* body;
        int to;
    } cases[] = {{sessionInit, "CONN", sessionConnAcked},
                 {sessionInit, "SINV", sessionConnRepeatId},
                 {sessionConnSuccess, "DISC", sessionDisconnect},
                 {sessionConnSuccess, "ABCD", sessionDisconnect}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        FakeChannel channel;
        std::unique_ptr<CProxySession> session(channel.Make(1, 1280));
        session->setState(c.from);
        bool consumed = true;
        session->onData(AckMessage(1, c.body), consumed);
        EXPECT_EQ(session->getState(), c.to);
        EXPECT_TRUE(consumed);
    }
    FakeChannel channel;
    std::unique_ptr<CProxySession> session(channel.Make(1, 1280));
    bool consumed = true;
    session->onData(AckMessage(1, "CONN"), consumed);
    session->heartbeat();
    EXPECT_EQ(session->getState(), sessionConnSuccess);
}

TEST(ProxySessionTest, DataForAClosedSessionIsDroppedNotHeld)
{
    FakeChannel channel;
    std::unique_ptr<CProxySession> session(channel.Make(2, 1280));
    session->setState(sessionDisconnect);
    bool consumed = true;
    session->onData(DataMessage(2, "lost"), consumed);
    EXPECT_TRUE(consumed);
    EXPECT_TRUE(session->isPendingEmpty());
}

TEST(ProxySessionTest, ServerSideConnectAnswersConnOrDisc)
{
    Listener listener;
    FakeChannel channel;
    std::unique_ptr<CProxySession> ok(channel.Make(11, 1280));
    ok->connect("127.0.0.1", listener.port, 65536, 65536);
    EXPECT_EQ(ok->getState(), sessionConn);
    ASSERT_TRUE(WaitUntil(
        [&] {
            ok->heartbeat();
            return ok->getState() == sessionConnSuccess;
        },
        3000));
    EXPECT_EQ(channel.AckTexts(), std::vector<std::string>{"CONN"});

    uint16_t closedPort;
    {
        Listener gone;
        closedPort = gone.port;
    }
    FakeChannel refusedChannel;
    std::unique_ptr<CProxySession> refused(refusedChannel.Make(12, 1280));
    refused->connect("127.0.0.1", closedPort, 65536, 65536);
    ASSERT_TRUE(WaitUntil(
        [&] {
            refused->heartbeat();
            return refused->getState() != sessionConn;
        },
        3000));
    EXPECT_EQ(refused->getState(), sessionConnFail);
    EXPECT_EQ(refusedChannel.AckTexts(), std::vector<std::string>{"DISC"});
}

TEST(ProxySessionTest, ConnectLimitEndsUnansweredAndBrokenSessionsWithDisc)
{
    FakeChannel channel;
    std::unique_ptr<CProxySession> waiting(channel.Make(21, 1280));
    std::unique_ptr<CProxySession> broken(channel.Make(22, 1280));
    broken->setState(sessionDisconnect);
    waiting->heartbeat();
    broken->heartbeat();
    EXPECT_EQ(waiting->getState(), sessionInit);
    EXPECT_EQ(broken->getState(), sessionDisconnect);
    EXPECT_TRUE(channel.AckTexts().empty());

    std::this_thread::sleep_for(std::chrono::milliseconds(CProxySession::kConnectLimitMs + 100));
    waiting->heartbeat();
    broken->heartbeat();
    EXPECT_EQ(waiting->getState(), sessionConnTimeout);
    EXPECT_EQ(broken->getState(), sessionConnTimeout);
    EXPECT_EQ(channel.AckTexts(), (std::vector<std::string>{"DISC", "DISC"}));
}

TEST(ProxySessionTest, DestructionSaysDiscAndClosesTheConnection)
{
    TcpPair tcp;
    FakeChannel channel;
    {
        LogCapture log;
        CProxySession session(3, SessionSendProc(&FakeChannel::sendData, &channel),
                              SessionQueryProc(&FakeChannel::queryBuf, &channel),
                              SessionWritevProc(&FakeChannel::writev, &channel), "127.0.0.1", 80, 1280);
        session.attachSocket(tcp.nearFd);
        session.setsockopt(3, 100);
        EXPECT_EQ(log.count("Invalid option[3]."), 1u);
    }
    EXPECT_EQ(channel.AckTexts(), std::vector<std::string>{"DISC"});
    char b;
    EXPECT_EQ(recv(tcp.farFd, &b, 1, 0), 0); // orderly close seen by the peer
}

TEST(ProxySessionTest, HandedOverDescriptorStaysOpenAndNoDiscIsSent)
{
    TcpPair tcp;
    FakeChannel channel;
    {
        std::unique_ptr<CProxySession> session(channel.Make(6, 1280));
        session->attachSocket(tcp.nearFd);
        EXPECT_EQ(session->detachSocket(), tcp.nearFd);
    }
    EXPECT_TRUE(channel.AckTexts().empty());
    EXPECT_EQ(send(tcp.nearFd, "x", 1, MSG_NOSIGNAL), 1);
    EXPECT_EQ(tcp.ReadFar(1), "x");
    close(tcp.nearFd);
}

} // namespace
} // namespace proxytest
